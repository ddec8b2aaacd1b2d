// Code insight in the running shell: the PHP list and parameter hints, tag closing, HTML and CSS
// completion, entities, auto-correction with its file, the settings that switch it off, and
// missing data files. Keys go to the active document's editor as the user types them.

#include "code/zuCodeInsight.h"

#include "src/code/CaretText.h"
#include "src/run/ShellTestSupport.h"
#include "support/WaitFor.h"

#include "SrcEdit/Source/autocorrect/SrcEditAutoCorrect.h"

#include "Platform/text/TextUtils.h"

#include <QDir>

namespace {

const std::string InstalledData = ZENTU_TEST_SOURCE_DIR "/../../src/data";

struct CodeInsightTest : ShellTest {
    // The program's data files beside the test program.
    void InstallData()
    {
        const QStringList names = QDir(QString::fromStdString(InstalledData)).entryList(QDir::Files);
        for (const QString& name : names)
            Dir.Write("program/data/" + name.toStdString(), ReadWholeFile(InstalledData + "/" + name.toStdString()));
    }
    void StartWithData()
    {
        InstallData();
        Start();
        Insight = Module->CodeInsight;
        Insight->CompletionProposal->SetTimerInterval(20);
        Insight->ParameterProposal->SetTimerInterval(20);
    }
    TSrcEdit* Editor() const { return Form->ActiveEditor(); }
    // A new document of this name holding `text`, with the caret where "|" stands.
    void Document(const std::string& name, const std::string& text)
    {
        const TCaretText document(text);
        ASSERT_NE(Open(WriteWork(name, document.Text)), nullptr);
        ASSERT_EQ(Insight->AttachedEditor(), Editor());
        Editor()->SetCaretCoord(document.Caret);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(Editor(), key, modifiers); }
    void CtrlSpace() { Key(Qt::Key_Space, Qt::ControlModifier); }
    std::string Line(int n) const { return Editor()->Lines().Get(n - 1); }
    TBufferCoord Caret() const { return Editor()->GetCaretCoord(); }
    bool ListShown() const { return Insight->CompletionProposal->Visible(); }
    bool HintShown() const { return Insight->ParameterProposal->Visible(); }
    // The list's lines without their formatting.
    std::vector<std::string> Shown() const
    {
        std::vector<std::string> lines;
        TSrcBaseCompletionProposalForm& form = Insight->CompletionProposal->Form();
        for (int i = 0; i < form.AssignedCount(); ++i)
            lines.push_back(Trim(StripPrettyText(form.AssignedText(i))));
        return lines;
    }
    std::string Hint() const
    {
        const TStringList& items = Insight->ParameterProposal->ItemList();
        return items.Count() > 0 ? StripPrettyText(items.Get(0)) : std::string();
    }

    TCodeInsight* Insight = nullptr;
};

} // namespace

TEST_F(CodeInsightTest, CtrlSpaceOpensThePHPListTypingNarrowsItAndEnterInsertsTheFunction)
{
    StartWithData();
    Document("page.php", "<?php\n$x = |;\n?>\n");
    Type("str");
    CtrlSpace();
    ASSERT_TRUE(ListShown());
    EXPECT_EQ(Line(2), "$x = str;");
    const std::vector<std::string> all = Shown();
    EXPECT_GT(all.size(), 20u);
    for (const std::string& line : all)
        EXPECT_NE(line.find(" str"), std::string::npos) << line;
    Type("_re");
    const std::vector<std::string> narrowed = Shown();
    ASSERT_GE(narrowed.size(), 2u);
    EXPECT_LT(narrowed.size(), all.size());
    EXPECT_EQ(narrowed[0], "string str_repeat (string $string, int $times)");
    Key(Qt::Key_Down);
    EXPECT_EQ(Shown()[1].substr(0, 19), "array|string str_re");
    Key(Qt::Key_Return);
    EXPECT_FALSE(ListShown());
    EXPECT_EQ(Line(2), "$x = str_replace();");
    EXPECT_EQ(Caret(), MakeBufferCoord(18, 2));
    // The caret between the parentheses brings the function's parameters.
    EXPECT_TRUE(HintShown());
    EXPECT_NE(Hint().find("str_replace (array|string\xC2\xA0$search, "), std::string::npos) << Hint();
}

TEST_F(CodeInsightTest, AnEndCharacterTypedInTheListKeepsTheFunctionWithoutParentheses)
{
    StartWithData();
    Document("page.php", "<?php\n|\n");
    Type("strle");
    CtrlSpace();
    ASSERT_TRUE(ListShown());
    EXPECT_EQ(Shown(), std::vector<std::string>{"int strlen (string $string)"});
    Type("(");
    EXPECT_EQ(Line(2), "strlen(");
    EXPECT_TRUE(HintShown());
}

TEST_F(CodeInsightTest, TheParameterHintFollowsTheArgumentIndex)
{
    StartWithData();
    Document("page.php", "<?php\n|\n");
    Type("$a = substr(");
    EXPECT_EQ(Line(2), "$a = substr()");
    ASSERT_TRUE(HintShown());
    EXPECT_EQ(Hint(), "string substr (string\xC2\xA0$string, int\xC2\xA0$offset, ?int\xC2\xA0$length\xC2\xA0=\xC2\xA0null)");
    EXPECT_EQ(Insight->ParameterProposal->CurrentIndex(), 2);
    // The hint keeps the editor's focus and its keys.
    EXPECT_TRUE(Editor()->hasFocus());
    Type("$s, ");
    EXPECT_EQ(Insight->ParameterProposal->CurrentIndex(), 3);
    Type("strlen($t");
    EXPECT_EQ(Hint(), "int strlen (string\xC2\xA0$string)");
    Key(Qt::Key_Right);
    Type(", ");
    EXPECT_EQ(Hint().substr(0, 13), "string substr");
    EXPECT_EQ(Insight->ParameterProposal->CurrentIndex(), 4);
    EXPECT_EQ(Line(2), "$a = substr($s, strlen($t), )");
    Key(Qt::Key_End);
    EXPECT_FALSE(HintShown());
    // A semicolon met on the way back shows nothing; an unknown function shows nothing.
    Type(";");
    Key(Qt::Key_Return);
    Type("nosuchfunction(");
    EXPECT_FALSE(HintShown());
    Insight->ParameterProposal->OpenForEditor();
    EXPECT_FALSE(HintShown());
}

TEST_F(CodeInsightTest, TheHintShowsTheDescriptionWhenAsked)
{
    StartWithData();
    Document("page.php", "<?php\n|\n");
    Type("trim(");
    ASSERT_TRUE(HintShown());
    EXPECT_EQ(Insight->ParameterProposal->ItemList().Count(), 1); // no description
    Insight->Data.PHPDescriptions.Put(Insight->Data.FindPHPName("strlen"), "Length in bytes.");
    Type("strlen(");
    ASSERT_EQ(Insight->ParameterProposal->ItemList().Count(), 2);
    EXPECT_EQ(Insight->ParameterProposal->ItemList().Get(1), "Length\xC2\xA0in\xC2\xA0" "bytes.");
    Setting("CodeInsight", "DisplayDescription", "0");
    Key(Qt::Key_Left);
    Key(Qt::Key_Right);
    EXPECT_EQ(Insight->ParameterProposal->ItemList().Count(), 1);
    Setting("CodeInsight", "ParameterHints", "0");
    Key(Qt::Key_Left);
    EXPECT_FALSE(HintShown());
}

TEST_F(CodeInsightTest, TagsCloseThemselves)
{
    StartWithData();
    Document("page.html", "|");
    Type("<div>");
    EXPECT_EQ(Line(1), "<div></div>");
    EXPECT_EQ(Caret(), MakeBufferCoord(6, 1));
    Type("<br>");
    EXPECT_EQ(Line(1), "<div><br></div>");
    Type("<section>");
    EXPECT_EQ(Line(1), "<div><br><section></section></div>");
    Insight->SelfClosingTags = true;
    Key(Qt::Key_End);
    Type("<hr>");
    EXPECT_EQ(Line(1), "<div><br><section></section></div><hr />");
    // Nothing closes after "/", "!", "?" or a closing tag.
    Key(Qt::Key_Return);
    Type("<br/></p><!-- x -->");
    EXPECT_EQ(Line(2), "<br/></p><!-- x -->");
    // The end tag goes before text that follows the caret, and undoes with the typing.
    Key(Qt::Key_Return);
    Type("x");
    Key(Qt::Key_Home);
    Type("<p>");
    EXPECT_EQ(Line(3), "<p></p>x");
    Editor()->UndoLastChange();
    EXPECT_EQ(Line(3), "x");
}

TEST_F(CodeInsightTest, TagsCloseInTheHTMLOfAPHPPageButNotInItsPHP)
{
    StartWithData();
    Document("page.php", "<html>\n|\n<?php\n\n?>\n");
    Type("<b>");
    EXPECT_EQ(Line(2), "<b></b>");
    Editor()->SetCaretCoord(MakeBufferCoord(1, 4));
    Type("if ($a <b>");
    EXPECT_EQ(Line(4), "if ($a <b>)");
}

TEST_F(CodeInsightTest, AnHTMLAttributeAndItsValueComplete)
{
    StartWithData();
    Document("page.html", "<form>\n<input ty|\n</form>\n");
    CtrlSpace();
    ASSERT_TRUE(ListShown());
    EXPECT_EQ(Shown(), std::vector<std::string>{"type"});
    Key(Qt::Key_Return);
    EXPECT_EQ(Line(2), "<input type=\"\"");
    EXPECT_EQ(Caret(), MakeBufferCoord(14, 2));
    CtrlSpace();
    ASSERT_TRUE(ListShown());
    EXPECT_EQ(Shown()[0], "text");
    Type("pa");
    Key(Qt::Key_Tab);
    EXPECT_EQ(Line(2), "<input type=\"password\"");
    // Tags after "<", in any letter case.
    Key(Qt::Key_End);
    Key(Qt::Key_Return);
    Type("<TEXTA");
    CtrlSpace();
    ASSERT_TRUE(ListShown());
    EXPECT_EQ(Shown(), std::vector<std::string>{"textarea"});
    Key(Qt::Key_Return);
    EXPECT_EQ(Line(3), "<textarea");
}

TEST_F(CodeInsightTest, ASpaceInATagOffersTheAttributesAfterTheDelay)
{
    StartWithData();
    Document("page.html", "<table|\n");
    Type(" ");
    ASSERT_TRUE(WaitFor([&] { return ListShown(); }));
    const std::vector<std::string> shown = Shown();
    EXPECT_NE(std::find(shown.begin(), shown.end(), "cellpadding"), shown.end());
    Key(Qt::Key_Escape);
    EXPECT_FALSE(ListShown());
    // Typing "<" offers the tags after the delay.
    Key(Qt::Key_End);
    Key(Qt::Key_Return);
    Type("<");
    ASSERT_TRUE(WaitFor([&] { return ListShown(); }));
    EXPECT_EQ(Shown().size(), 91u);
    Type("sp");
    EXPECT_EQ(Shown(), std::vector<std::string>{"span"});
}

TEST_F(CodeInsightTest, ACSSPropertyCompletesAndItsValuesFollow)
{
    StartWithData();
    Document("style.css", "p {\n  bord|\n}\n");
    CtrlSpace();
    ASSERT_TRUE(ListShown());
    EXPECT_EQ(Shown()[0], "border");
    Key(Qt::Key_Return);
    EXPECT_EQ(Line(2), "  border: ");
    // The values open by themselves after a property.
    ASSERT_TRUE(WaitFor([&] { return ListShown(); }));
    EXPECT_EQ(Shown()[0], "[color]");
    Type("so");
    Key(Qt::Key_Return);
    EXPECT_EQ(Line(2), "  border: solid;");
}

TEST_F(CodeInsightTest, DashedNamesCompleteAsAWhole)
{
    StartWithData();
    Document("style.css", "p {\n  fo|\n}\n");
    CtrlSpace();
    ASSERT_TRUE(ListShown());
    // A dash typed into the list goes on filtering.
    Type("nt-w");
    EXPECT_EQ(Shown(), std::vector<std::string>{"font-weight"});
    Key(Qt::Key_Return);
    EXPECT_EQ(Line(2), "  font-weight: ");
    ASSERT_TRUE(WaitFor([&] { return ListShown(); }));
    Key(Qt::Key_Escape);
    Type("bold;");
    // A name typed up to its dash before the list opens is taken whole.
    Key(Qt::Key_Return);
    Type("list-style-t");
    CtrlSpace();
    ASSERT_TRUE(ListShown());
    EXPECT_EQ(Shown(), std::vector<std::string>{"list-style-type"});
    Key(Qt::Key_Return);
    EXPECT_EQ(Line(3), "  list-style-type: ");
    Document("page.html", "<meta http-e|");
    CtrlSpace();
    ASSERT_TRUE(ListShown());
    Key(Qt::Key_Return);
    EXPECT_EQ(Line(1), "<meta http-equiv=\"\"");
}

TEST_F(CodeInsightTest, ACSSValueRequestLooksThePropertyUpByItsWholeName)
{
    StartWithData();
    Document("style.css", "p {\n  border-left: |\n  left: \n}\n");
    CtrlSpace();
    ASSERT_TRUE(ListShown());
    EXPECT_EQ(Shown()[0], "[color]");
    Key(Qt::Key_Escape);
    Editor()->SetCaretCoord(MakeBufferCoord(9, 3));
    CtrlSpace();
    ASSERT_TRUE(ListShown());
    EXPECT_EQ(Shown(), (std::vector<std::string>{"0", "auto", "inherit"}));
    Key(Qt::Key_Escape);
    // An unknown property offers nothing.
    Editor()->SetCaretCoord(MakeBufferCoord(3, 3));
    Type("size: ");
    CtrlSpace();
    EXPECT_FALSE(ListShown());
}

TEST_F(CodeInsightTest, AColourValueComesFromTheColourDialog)
{
    StartWithData();
    std::vector<int> asked;
    Insight->ColorDialogHook = [&](TColor& color) {
        asked.push_back(1);
        color = clRed;
        return true;
    };
    Document("page.php", "<p style=\"color: |\">\n");
    CtrlSpace();
    ASSERT_TRUE(ListShown());
    Key(Qt::Key_Return);
    EXPECT_EQ(Line(1), "<p style=\"color: #FF0000;\">");
    EXPECT_EQ(asked.size(), 1u);
}

TEST_F(CodeInsightTest, AnEntityCompletesAfterAnAmpersand)
{
    StartWithData();
    Document("page.html", "<p>|</p>\n");
    Type("&cop");
    CtrlSpace();
    ASSERT_TRUE(ListShown());
    EXPECT_EQ(Shown(), std::vector<std::string>{"\xC2\xA9&copy;"});
    Key(Qt::Key_Return);
    EXPECT_EQ(Line(1), "<p>&copy;</p>");
}

TEST_F(CodeInsightTest, SettingsSwitchEachLanguageOff)
{
    Setting("CodeInsight", "CodeCompletion", "0");
    Setting("CodeInsight", "HTMLCompletion", "0");
    StartWithData();
    Document("page.php", "<p>\n<?php\n|\n");
    Type("str");
    CtrlSpace();
    EXPECT_FALSE(ListShown());
    EXPECT_EQ(Line(3), "str");
    Editor()->SetCaretCoord(MakeBufferCoord(4, 1));
    CtrlSpace();
    EXPECT_FALSE(ListShown());
    Setting("CodeInsight", "CodeCompletion", "1");
    Editor()->SetCaretCoord(MakeBufferCoord(4, 3));
    CtrlSpace();
    EXPECT_TRUE(ListShown());
}

TEST_F(CodeInsightTest, WithoutDataFilesNothingIsOfferedAndNothingBreaks)
{
    Start();
    Insight = Module->CodeInsight;
    Document("page.php", "<p>\n<?php\n|\n");
    Type("str");
    CtrlSpace();
    EXPECT_FALSE(ListShown());
    Type("substr(");
    EXPECT_FALSE(HintShown());
    Editor()->SetCaretCoord(MakeBufferCoord(4, 1));
    Type("<div>");
    // Without the tag list every tag counts as one with an end tag.
    EXPECT_EQ(Line(1), "<p><div></div>");
}

TEST_F(CodeInsightTest, TheActiveDocumentsEditorIsTheOneServed)
{
    StartWithData();
    Document("one.php", "<?php\n|\n");
    TSrcEdit* first = Editor();
    Document("two.html", "|");
    EXPECT_EQ(Insight->AttachedEditor(), Editor());
    EXPECT_NE(Editor(), first);
    // The first editor has its own handlers back: its key press still closes brackets.
    QTest::keyClicks(first, "f(");
    EXPECT_EQ(first->Lines().Get(1), "f()");
    Type("<ul>");
    EXPECT_EQ(Line(1), "<ul></ul>");
    // Closing the attached document leaves nothing behind.
    Answers.push_back(IDNO);
    ASSERT_TRUE(Close(Form->ActiveEditorForm()));
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Insight->AttachedEditor(), Editor());
    Type("substr(");
    EXPECT_TRUE(HintShown());
}

TEST_F(CodeInsightTest, TypedAbbreviationsAreCorrectedAsTheSettingsSay)
{
    StartWithData();
    Document("page.php", "|");
    // why: the document would close each "(" as it is typed
    Form->ActiveEditorForm()->CloseParenthesis = false;
    Type("(c) (r) ");
    EXPECT_EQ(Line(1), "\xC2\xA9 \xC2\xAE ");
    Stop();
    Setting("AutoCorrection", "Enabled", "0");
    StartWithData();
    Document("other.php", "|");
    Form->ActiveEditorForm()->CloseParenthesis = false;
    Type("(c) ");
    EXPECT_EQ(Line(1), "(c) ");
}

TEST_F(CodeInsightTest, TheCorrectionListLoadsFromAndSavesToItsFileByteForByte)
{
    const std::string bytes = "teh\tthe\r\n(c)\t\xC2\xA9\r\nTM\t\xE2\x84\xA2\r\n";
    ForceDirectories(UserFile(""));
    Dir.Write("appdata/Zentu Systems/Zentu/autocorrect.dat", bytes);
    Setting("AutoCorrection", "MaintainCase", "0");
    StartWithData();
    ASSERT_EQ(Module->AutoCorrection->Items().Count(), 3);
    Document("page.php", "|");
    Type("Teh tm ");
    EXPECT_EQ(Line(1), "the \xE2\x84\xA2 ");
    Module->AutoCorrection->SaveItemsToFile(UserFile("autocorrect.dat"));
    EXPECT_EQ(ReadWholeFile(UserFile("autocorrect.dat")), bytes);
}
