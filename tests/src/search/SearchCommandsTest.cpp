// The main window's search commands: where they sit, Find with Find Next and Find Previous,
// Replace with its confirmation and undo steps, and Find in Files into the results window.

#include "src/run/ShellTestSupport.h"

#include "app/zuMainDockArea.h"
#include "app/zuToolWindows.h"
#include "search/zuConfirmationForm.h"
#include "search/zuExFindForm.h"
#include "search/zuReplaceForm.h"
#include "search/zuSearchResultForm.h"
#include "search/zuSearchResultTree.h"

#include "SrcEdit/Source/search/SrcEditRegexSearch.h"

#include "ExLib/run/docking/control/ExDockPanel.h"
#include "ExLib/run/docking/control/ExDockServer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace {

class SearchCommandsTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        SearchCaseSensitive = SearchWholeWords = SearchSelectedOnly = SearchFromCaret = SearchRegExp =
            SearchBackwards = false;
        LastSearchText.clear();
        LastReplaceText.clear();
    }

    // A document with `text`, the caret at its start.
    TSrcEdit* OpenText(const std::string& text)
    {
        TCodeEditorForm* document = Open(WriteWork("doc.php", text));
        EXPECT_NE(document, nullptr);
        return document ? document->Editor() : nullptr;
    }

    // The Find or Replace dialog answers with these texts; the confirmations with `answers`.
    void AnswerDialogs(const std::string& search, const std::string& replace = "", std::vector<int> answers = {})
    {
        Confirmations = 0;
        Form->ModalHook = [=, this](QDialog& dialog) mutable {
            if (dynamic_cast<TConfirmationForm*>(&dialog)) {
                ++Confirmations;
                if (answers.empty()) {
                    ADD_FAILURE() << "unexpected confirmation";
                    return int(QDialog::Rejected);
                }
                const int answer = answers.front();
                answers.erase(answers.begin());
                return answer;
            }
            auto& form = dynamic_cast<TSearchForm&>(dialog);
            form.cmbSearchText->setEditText(QString::fromStdString(search));
            if (auto* replaceForm = dynamic_cast<TReplaceForm*>(&dialog))
                replaceForm->cmbReplaceText->setEditText(QString::fromStdString(replace));
            form.accept();
            return form.result();
        };
    }

    std::string Selected() { return Form->ActiveEditor()->GetSelectedText(); }

    int Confirmations = 0;
};

} // namespace

TEST_F(SearchCommandsTest, TheCommandsSitInTheSearchMenuAndNeedADocument)
{
    Start();
    QMenu* search = nullptr;
    QMenu* view = nullptr;
    for (QAction* entry : Form->menuBar()->actions()) {
        if (entry->text() == "&Search")
            search = entry->menu();
        if (entry->text() == "&View")
            view = entry->menu();
    }
    ASSERT_TRUE(search && view);
    std::vector<std::string> entries;
    for (QAction* entry : search->actions())
        entries.push_back(entry->text().section(QLatin1Char('\t'), 0, 0).toStdString());
    // Go to line and the bookmarks follow the search commands.
    EXPECT_EQ(entries, (std::vector<std::string>{"&Find...", "Find &Next", "Find &Previous", "&Replace...", "",
                                                 "Find in Files...", "", "&Goto Line/Column...", "",
                                                 "Toggle Bookmark", "Next Bookmark", "Previous Bookmark",
                                                 "Remove Bookmarks"}));
    EXPECT_EQ(Form->acFind->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
    EXPECT_EQ(Form->acFindNext->shortcut(), QKeySequence(Qt::Key_F3));
    EXPECT_EQ(Form->acFindPrevious->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F3));
    EXPECT_EQ(Form->acReplace->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    EXPECT_TRUE(view->actions().contains(Form->ActionList.Find("acSearchResults")));
    const QList<QAction*> buttons = Form->findChild<QToolBar*>(QStringLiteral("ToolBar"))->actions();
    const qsizetype find = buttons.indexOf(Form->acFind);
    ASSERT_GT(find, 0);
    EXPECT_EQ(buttons.value(find + 1), Form->acReplace);
    EXPECT_EQ(buttons.value(find + 2), Form->acExFind);
    EXPECT_EQ(buttons.indexOf(Form->acPaste), find - 2);

    for (TAction* action : {Form->acFind, Form->acFindNext, Form->acFindPrevious, Form->acReplace})
        EXPECT_FALSE(action->Enabled()) << action->Name();
    EXPECT_TRUE(Form->acExFind->Enabled());
    OpenText("x");
    EXPECT_TRUE(Form->acFind->Enabled());
}

TEST_F(SearchCommandsTest, FindThenFindNextAndPreviousAndNotFound)
{
    Start();
    TSrcEdit* editor = OpenText("alpha Alpha alpha\nbeta");
    // Before a search has given the editor an engine, Find Next does nothing.
    Form->acFindNext->trigger();
    EXPECT_EQ(editor->SearchEngine(), nullptr);

    AnswerDialogs("alpha");
    Form->acFind->trigger();
    EXPECT_EQ(Selected(), "alpha");
    EXPECT_EQ(editor->GetSelectionStart(), MakeBufferCoord(1, 1));
    Form->acFindNext->trigger();
    EXPECT_EQ(editor->GetSelectionStart(), MakeBufferCoord(7, 1)) << "case is ignored";
    Form->acFindNext->trigger();
    EXPECT_EQ(editor->GetSelectionStart(), MakeBufferCoord(13, 1));
    Answers.push_back(IDOK);
    Form->acFindNext->trigger();
    EXPECT_EQ(QuestionTexts(), (std::vector<std::string>{"\"alpha\" not found"}));
    EXPECT_FALSE(editor->HasSelection());
    EXPECT_EQ(editor->GetCaretCoord(), MakeBufferCoord(18, 1)) << "the end of the former selection";
    Form->acFindPrevious->trigger();
    EXPECT_EQ(editor->GetSelectionStart(), MakeBufferCoord(13, 1));
    Form->acFindPrevious->trigger();
    EXPECT_EQ(editor->GetSelectionStart(), MakeBufferCoord(7, 1));

    // Case sensitivity and regular expressions from the dialog.
    SearchCaseSensitive = true;
    SearchRegExp = true;
    AnswerDialogs("A[a-z]+");
    Form->acFind->trigger();
    EXPECT_EQ(Selected(), "Alpha");
    EXPECT_EQ(editor->SearchEngine(), Module->RegExpSearch);
    EXPECT_TRUE(Form->SearchFlags.Contains(sfMatchCase));
}

TEST_F(SearchCommandsTest, ReplaceAsksForEachMatchAndLeavesOneUndoStepPerAnswer)
{
    Start();
    const std::string original = "a x a x a x a";
    struct Case {
        const char* Name;
        std::vector<int> Answers;
        std::string Expected;
        int UndoSteps;
    };
    const int yes = TConfirmationForm::caYes;
    const int no = TConfirmationForm::caNo;
    const int all = TConfirmationForm::caYesToAll;
    const int cancel = QDialog::Rejected;
    const std::vector<Case> cases = {
        {"yes, no, cancel", {yes, no, cancel}, "b x a x a x a", 1},
        {"yes to all at once", {all}, "b x b x b x b", 1},
        {"no to each", {no, no, no, no}, original, 0},
        {"yes, no, then yes to all", {yes, no, all}, "b x a x b x b", 2},
        {"yes to each", {yes, yes, yes, yes}, "b x b x b x b", 4},
    };
    for (const Case& c : cases) {
        TSrcEdit* editor = OpenText(original);
        AnswerDialogs("a", "b", c.Answers);
        Form->acReplace->trigger();
        EXPECT_EQ(Confirmations, static_cast<int>(c.Answers.size())) << c.Name;
        EXPECT_EQ(editor->Lines().Text(), c.Expected) << c.Name;
        int steps = 0;
        while (editor->Lines().Text() != original && steps < 10) {
            editor->UndoLastChange();
            ++steps;
        }
        EXPECT_EQ(steps, c.UndoSteps) << c.Name;
        Close(Form->ActiveEditorForm());
    }
}

TEST_F(SearchCommandsTest, AMatchEqualToItsReplacementIsSkippedWithoutAsking)
{
    Start();
    TSrcEdit* editor = OpenText("same and same");
    AnswerDialogs("same", "same");
    Form->acReplace->trigger();
    EXPECT_EQ(Confirmations, 0);
    EXPECT_EQ(editor->Lines().Text(), "same and same");
    EXPECT_TRUE(QuestionTexts().empty()) << "the matches were found";
}

TEST_F(SearchCommandsTest, FindInFilesListsTheHitsInTheDockedWindowAndADoubleClickOpensTheLine)
{
    WriteDefaultDockLayout(Dir.File("program/data/docking.dat"));
    Start();
    WriteWork("site/index.php", "<?php\n// needle\n?>");
    WriteWork("site/lib/util.php", "needle();\n");
    Form->ModalHook = [this](QDialog& dialog) {
        auto& form = dynamic_cast<TExFindForm&>(dialog);
        form.cmPattern->setEditText("needle");
        form.cmPath->setText(QString::fromStdString(Work("site")));
        form.ckbxSubDirs->setChecked(true);
        form.accept();
        return form.result();
    };
    Form->acExFind->trigger();
    TSearchResultForm* results = Form->SearchResultForm();
    ASSERT_NE(results, nullptr);
    EXPECT_TRUE(results->isVisible());
    EXPECT_TRUE(Form->DockArea->DockServer->DockPanelWithAlign(TAlign::alBottom)->isAncestorOf(results));
    TSearchResultTree* list = results->ResultList;
    std::vector<PLazyNode> rows = list->Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(list->FileOf(rows[0])->FileName, Work("site/index.php"));
    list->ExpandAll();
    rows = list->Rows();
    ASSERT_EQ(rows.size(), 4u);
    list->SelectRow(rows[1]);
    QTest::keyClick(list, Qt::Key_Return);
    TCodeEditorForm* opened = Form->ActiveEditorForm();
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->FileName(), Work("site/index.php"));
    EXPECT_EQ(opened->Editor()->CaretLine(), 2);

    // The View command shows the window again at its place after Esc hid it.
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(results->isVisible());
    Form->ActionList.Find("acSearchResults")->trigger();
    EXPECT_TRUE(results->isVisible());
    EXPECT_TRUE(Form->DockArea->DockServer->DockPanelWithAlign(TAlign::alBottom)->isAncestorOf(results));
}
