// The Convert Case and Syntax Highlighting dialogs on a running shell.

#include "experts/zuSelectSyntaxForm.h"
#include "experts/zuTagCaseForm.h"

#include "src/run/ShellTestSupport.h"

#include "SrcEdit/Source/highlighters/SrcEditHighlighterSql.h"

#include <QListWidget>
#include <QRadioButton>

namespace {

struct TagCaseAndSyntax : ShellTest {
    std::vector<std::string> Items(const QListWidget& list) const
    {
        std::vector<std::string> items;
        for (int i = 0; i < list.count(); ++i)
            items.push_back(list.item(i)->text().toStdString());
        return items;
    }
};

} // namespace

TEST_F(TagCaseAndSyntax, ConvertCaseRewritesTagsOnlyAndMarksTheDocumentModified)
{
    Start();
    TCodeEditorForm* document = Open(WriteWork("a.html", "<p class=\"Big\">Text <B>bold</B></p>\n"));
    TTagCaseForm dialog;
    dialog.TargetEditor = [this] { return Form->ActiveEditor(); };
    EXPECT_TRUE(dialog.UpperCaseButton->isChecked()) << "upper case is the default";
    dialog.ApplyClick();
    EXPECT_EQ(document->Editor()->GetAllText(), "<P CLASS=\"Big\">Text <B>bold</B></P>\r\n")
        << "the final line end stays";
    EXPECT_TRUE(document->Editor()->ContentModified());
    TTagCaseForm lower;
    lower.TargetEditor = [this] { return Form->ActiveEditor(); };
    lower.LowerCaseButton->setChecked(true);
    lower.ApplyClick();
    EXPECT_EQ(document->Editor()->GetAllText(), "<p class=\"Big\">Text <b>bold</b></p>\r\n");
    TCodeEditorForm* noFinalBreak = Open(WriteWork("b.html", "<i>a</i>\n<br>"));
    TTagCaseForm upper;
    upper.TargetEditor = [this] { return Form->ActiveEditor(); };
    upper.ApplyClick();
    EXPECT_EQ(noFinalBreak->Editor()->GetAllText(), "<I>a</I>\r\n<BR>");
}

TEST_F(TagCaseAndSyntax, TheSchemeListNamesEveryHighlighterThenNone)
{
    Start();
    TCodeEditorForm* document = Open(WriteWork("a.php", "<?php ?>"));
    TSelectSyntaxForm dialog(Module->Highlighters(), Module->SQL, document->Editor());
    const std::vector<std::string> schemes = Items(*dialog.SchemeBox);
    ASSERT_EQ(schemes.size(), Module->Highlighters().size() + 1);
    EXPECT_EQ(schemes.front(), "PHP+HTML+XML+CSS+JS");
    EXPECT_EQ(schemes.back(), "-- None --");
    EXPECT_EQ(dialog.SchemeBox->currentRow(), 0) << "the document's own highlighter";
    EXPECT_EQ(Items(*dialog.SQLSchemeBox),
              (std::vector<std::string>{"Standard ", "Interbase 6 ", "MS SQL7 ", "MySQL ", "Oracle", "Sybase ",
                                        "Ingres ", "MS SQL2K"}));
    EXPECT_EQ(dialog.SQLSchemeBox->currentRow(), static_cast<int>(Module->SQL->SQLDialect()));
}

TEST_F(TagCaseAndSyntax, ApplyGivesTheHighlighterAndTheDialectAndCancelChangesNothing)
{
    Start();
    TCodeEditorForm* document = Open(WriteWork("a.php", "<?php ?>"));
    const auto dialect = Module->SQL->SQLDialect();
    {
        TSelectSyntaxForm dialog(Module->Highlighters(), Module->SQL, document->Editor());
        dialog.SchemeBox->setCurrentRow(dialog.SchemeBox->count() - 1);
        dialog.SQLSchemeBox->setCurrentRow(sqlOracle);
        dialog.reject();
    }
    EXPECT_NE(document->Editor()->Highlighter(), nullptr);
    EXPECT_EQ(Module->SQL->SQLDialect(), dialect);

    TSelectSyntaxForm none(Module->Highlighters(), Module->SQL, document->Editor());
    none.SchemeBox->setCurrentRow(none.SchemeBox->count() - 1);
    none.SQLSchemeBox->setCurrentRow(sqlOracle);
    none.ApplyClick();
    EXPECT_EQ(document->Editor()->Highlighter(), nullptr);
    EXPECT_EQ(Module->SQL->SQLDialect(), sqlOracle);

    TSelectSyntaxForm again(Module->Highlighters(), Module->SQL, document->Editor());
    EXPECT_EQ(again.SchemeBox->currentRow(), again.SchemeBox->count() - 1) << "no highlighter: None is selected";
    again.SchemeBox->setCurrentRow(2);
    again.ApplyClick();
    EXPECT_EQ(document->Editor()->Highlighter(), Module->Highlighters()[2]);
}
