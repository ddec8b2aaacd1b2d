// The main window's edit, bookmark, view, insert, window and help commands: what each does to
// the active document, which dialog it opens, its menu entries and keys, and the status bar.

#include "src/run/ShellTestSupport.h"

#include "code/zuCodeExplorerForm.h"
#include "experts/zuCharmapForm.h"
#include "experts/zuGotoForm.h"
#include "experts/zuSelectSyntaxForm.h"
#include "experts/zuTableExpertForm.h"
#include "experts/zuTagCaseForm.h"
#include "help/zuHelpRouter.h"

#include "Platform/controls/ColorDialog.h"

#include <QClipboard>
#include <QImage>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QStatusTipEvent>

namespace {

class TPagesViewer : public THelpViewer {
public:
    explicit TPagesViewer(std::vector<std::string>& pages) : FPages(pages) {}
    bool ShowPage(const QUrl& page) override
    {
        FPages.push_back(page.isLocalFile() ? QFileInfo(page.toLocalFile()).fileName().toStdString()
                                            : page.toString().toStdString());
        return true;
    }
    void ShowPopup(const std::string&, QPoint) override {}
    void CloseAll() override {}

private:
    std::vector<std::string>& FPages;
};

struct Commands : ShellTest {
    void StartWithDocument(const std::string& text, const std::string& name = "a.php")
    {
        Start();
        Document = Open(WriteWork(name, text));
        ASSERT_NE(Document, nullptr);
    }
    TSrcEdit* Editor() const { return Document->Editor(); }
    void Select(TBufferCoord from, TBufferCoord to) const
    {
        Editor()->SetSelectionStart(from);
        Editor()->SetSelectionEnd(to);
    }
    std::vector<int> MarkedLines() const
    {
        std::vector<int> lines;
        for (int i = 0; i < Editor()->MarkList().Count(); ++i)
            lines.push_back(Editor()->MarkList().GetMark(i)->Line());
        return lines;
    }
    // The captions of a menu of the menu bar, separators as "-".
    std::vector<std::string> MenuEntries(const QString& title) const
    {
        std::vector<std::string> entries;
        for (QAction* menu : Form->menuBar()->actions())
            if (menu->text() == title)
                for (QAction* entry : menu->menu()->actions())
                    entries.push_back(entry->isSeparator() ? "-" : entry->text().section('\t', 0, 0).toStdString());
        return entries;
    }
    QAction* MenuEntry(const QString& title, const QString& caption) const
    {
        for (QAction* menu : Form->menuBar()->actions())
            if (menu->text() == title)
                for (QAction* entry : menu->menu()->actions())
                    if (entry->text().section('\t', 0, 0) == caption)
                        return entry;
        return nullptr;
    }
    // Records the class of each modal dialog and closes it.
    void RecordDialogs()
    {
        Form->ModalHook = [this](QDialog& dialog) {
            Dialogs.push_back(dialog.windowTitle().toStdString());
            return int(QDialog::Rejected);
        };
    }

    TCodeEditorForm* Document = nullptr;
    std::vector<std::string> Dialogs;
};

} // namespace

// ---- clipboard

TEST_F(Commands, CopyAppendAddsTheSelectionToTheClipboardText)
{
    StartWithDocument("def ghi");
    QApplication::clipboard()->setText(QStringLiteral("abc"));
    Select(MakeBufferCoord(1, 1), MakeBufferCoord(4, 1));
    Form->acCopyAppend->Execute();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "abcdef");
    EXPECT_EQ(Editor()->GetAllText(), "def ghi");
}

TEST_F(Commands, WithoutTextOnTheClipboardAppendCopiesOrCutsAlone)
{
    StartWithDocument("def ghi");
    QApplication::clipboard()->setImage(QImage(4, 4, QImage::Format_RGB32));
    Select(MakeBufferCoord(1, 1), MakeBufferCoord(4, 1));
    Form->acCopyAppend->Execute();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "def");
    QApplication::clipboard()->clear();
    Select(MakeBufferCoord(5, 1), MakeBufferCoord(8, 1));
    Form->acCutAppend->Execute();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "ghi");
    EXPECT_EQ(Editor()->GetAllText(), "def ");
}

TEST_F(Commands, CutAppendDeletesTheSelectionAsOneUndoStep)
{
    StartWithDocument("one two three");
    QApplication::clipboard()->setText(QStringLiteral("x:"));
    Select(MakeBufferCoord(5, 1), MakeBufferCoord(8, 1));
    Form->acCutAppend->Execute();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "x:two");
    EXPECT_EQ(Editor()->GetAllText(), "one  three");
    Form->acUndo->Execute();
    EXPECT_EQ(Editor()->GetAllText(), "one two three");
}

TEST_F(Commands, TheAppendCommandsFollowTheSelection)
{
    StartWithDocument("abc");
    EXPECT_FALSE(Form->acCopyAppend->Enabled());
    EXPECT_FALSE(Form->acCutAppend->Enabled());
    Select(MakeBufferCoord(1, 1), MakeBufferCoord(2, 1));
    QApplication::processEvents();
    EXPECT_TRUE(Form->acCopyAppend->Enabled());
    EXPECT_TRUE(Form->acCutAppend->Enabled());
}

// ---- bookmarks

TEST_F(Commands, ToggleBookmarkTwiceLeavesNoMarkAndKeepsNumberedBookmarks)
{
    StartWithDocument("a\nb\nc\n");
    Editor()->SetCaretCoord(MakeBufferCoord(1, 2));
    Form->acToggleBookmark->Execute();
    EXPECT_EQ(MarkedLines(), std::vector<int>{2});
    Form->acToggleBookmark->Execute();
    EXPECT_TRUE(MarkedLines().empty());
    Editor()->PlaceBookmark(4, 1, 3);
    Editor()->SetCaretCoord(MakeBufferCoord(1, 3));
    Form->acToggleBookmark->Execute();
    EXPECT_NE(Editor()->Bookmark(4), nullptr) << "numbered bookmarks stay";
}

struct TJumpCase {
    const char* Name;
    std::vector<int> Marks;
    int From;
    bool Next;
    int Expected;
};

TEST_F(Commands, NextAndPreviousBookmarkWrapAroundTheDocument)
{
    StartWithDocument("1\n2\n3\n4\n5\n6");
    const TJumpCase cases[] = {
        {"NextFromTheLastLineWraps", {3}, 6, true, 3},
        {"NextSkipsTheCaretLine", {2, 4}, 2, true, 4},
        {"NextFindsTheCaretLineLast", {2}, 2, true, 2},
        {"PreviousFindsTheLineAbove", {1, 6}, 2, false, 1},
        {"PreviousFromTheFirstLineWraps", {1, 6}, 1, false, 6},
        {"NoMarksStay", {}, 4, true, 4},
        {"NoMarksStayBackwards", {}, 4, false, 4},
    };
    for (const TJumpCase& c : cases) {
        Form->acRemoveBookmarks->Execute();
        for (int line : c.Marks) {
            Editor()->SetCaretCoord(MakeBufferCoord(1, line));
            Form->acToggleBookmark->Execute();
        }
        Editor()->SetCaretCoord(MakeBufferCoord(1, c.From));
        (c.Next ? Form->acNextBookmark : Form->acPreviousBookmark)->Execute();
        EXPECT_EQ(Editor()->CaretLine(), c.Expected) << c.Name;
    }
}

TEST_F(Commands, ABookmarkRemembersItsColumn)
{
    StartWithDocument("abcdef\nxyz");
    Editor()->SetCaretCoord(MakeBufferCoord(5, 1));
    Form->acToggleBookmark->Execute();
    Editor()->SetCaretCoord(MakeBufferCoord(2, 2));
    Form->acNextBookmark->Execute();
    EXPECT_EQ(Editor()->CaretLine(), 1);
    EXPECT_EQ(Editor()->CaretChar(), 5);
    Form->acRemoveBookmarks->Execute();
    EXPECT_TRUE(MarkedLines().empty());
}

// ---- insert

TEST_F(Commands, InsertColorWritesTheChosenColourAsHtml)
{
    StartWithDocument("color: ;");
    Editor()->SetCaretCoord(MakeBufferCoord(8, 1));
    TColor started = 0;
    std::string customA, customP;
    bool fullOpen = false;
    Form->ColorDialogHook = [&](TColorDialog& dialog) {
        started = dialog.Color();
        customA = dialog.CustomColors().Values("ColorA");
        customP = dialog.CustomColors().Values("ColorP");
        fullOpen = dialog.Options().Contains(cdFullOpen);
        dialog.SetColor(0x000080FF);
        return true;
    };
    Form->acInsertColor->Execute();
    EXPECT_EQ(Editor()->GetAllText(), "color: #FF8000;");
    EXPECT_EQ(started, TColor(0x00C13EAA));
    EXPECT_EQ(customA, "9494FE");
    EXPECT_EQ(customP, "C13EAA");
    EXPECT_TRUE(fullOpen);
    Form->ColorDialogHook = [](TColorDialog&) { return false; };
    Form->acInsertColor->Execute();
    EXPECT_EQ(Editor()->GetAllText(), "color: #FF8000;") << "a cancelled dialog inserts nothing";
}

struct TDateCase {
    const char* Format;
    const char* Expected;
};

TEST_F(Commands, InsertDateFollowsTheDateTimeFormat)
{
    StartWithDocument("");
    Form->Clock = [] { return EncodeDate(2026, 3, 7) + EncodeTime(9, 5, 4, 0); };
    const TDateCase cases[] = {
        {nullptr, "07/03/2026 [09:05:04]"},   // the default
        {"yyyy-mm-dd", "2026-03-07"},         // date fields only: only the date
        {"hh:nn", "09:05"},
        {"yyyy\"-W\"ww", "2026-W10"},         // the ISO week
    };
    for (const TDateCase& c : cases) {
        if (c.Format)
            SettingsFile->WriteString("General", "DateTimeFormat", c.Format);
        Editor()->SetAllText("");
        Form->acInsertDate->Execute();
        EXPECT_EQ(Editor()->GetAllText(), c.Expected) << (c.Format ? c.Format : "default");
    }
}

TEST_F(Commands, SpecialCharacterOpensAWindowThatStaysInFrontEachTimeANewOne)
{
    Dir.Write("program/data/htmlentity.dat",
              ReadWholeFile(ZENTU_TEST_SOURCE_DIR "/../../src/data/htmlentity.dat"));
    StartWithDocument("x");
    Form->acInsertEntity->Execute();
    Form->acInsertEntity->Execute();
    std::vector<TCharmapForm*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* form = dynamic_cast<TCharmapForm*>(widget); form && form->isVisible())
            windows.push_back(form);
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_TRUE(windows[0]->windowFlags() & Qt::WindowStaysOnTopHint);
    Editor()->SetCaretCoord(MakeBufferCoord(2, 1));
    windows[0]->CellDoubleClick(1, 0);
    EXPECT_EQ(Editor()->GetAllText(), "x&amp;");
    for (TCharmapForm* window : windows)
        window->close();
    Flush();
}

TEST_F(Commands, SpecialCharacterWithoutTheEntityFileSaysSo)
{
    StartWithDocument("x");
    Answers = {IDOK};
    Form->acInsertEntity->trigger();
    ASSERT_EQ(Questions.size(), 1u);
    EXPECT_NE(Questions[0].Text.find("HTMLEntity.dat"), std::string::npos) << Questions[0].Text;
}

TEST_F(Commands, EachDialogCommandOpensItsDialogModally)
{
    StartWithDocument("<p>x</p>");
    RecordDialogs();
    for (TAction* action : {Form->acGoto, Form->acInsertTable, Form->acConvertTagCase, Form->acChangeSyntax})
        action->Execute();
    EXPECT_EQ(Dialogs, (std::vector<std::string>{"Go To", "Table Designer", "Convert Case", "Syntax Highlighting"}));
    EXPECT_EQ(Editor()->GetAllText(), "<p>x</p>") << "cancelled dialogs change nothing";
}

TEST_F(Commands, ApplyingTheSyntaxChoiceShowsItInTheStatusBar)
{
    StartWithDocument("<?php ?>");
    Form->ModalHook = [](QDialog& dialog) {
        auto& syntax = dynamic_cast<TSelectSyntaxForm&>(dialog);
        syntax.SchemeBox->setCurrentRow(syntax.SchemeBox->count() - 1);
        syntax.ApplyClick();
        return dialog.result();
    };
    Form->acChangeSyntax->Execute();
    EXPECT_EQ(Editor()->Highlighter(), nullptr);
    EXPECT_EQ(Form->StatusPanel(3), "--");
}

// ---- status bar

TEST_F(Commands, StatusBarClicksOpenGoToAndTheSyntaxChoice)
{
    StartWithDocument("x");
    RecordDialogs();
    for (int x : {0, 40, 75, 76, 150, 224, 225, 300, 375, 376, 600})
        Form->StatusBarClick(x);
    EXPECT_EQ(Dialogs, (std::vector<std::string>{"Go To", "Go To", "Go To", "Syntax Highlighting",
                                                 "Syntax Highlighting", "Syntax Highlighting"}));
    Close(Document);
    Dialogs.clear();
    Form->StatusBarClick(10);
    EXPECT_TRUE(Dialogs.empty()) << "a one-panel status bar opens nothing";
}

TEST_F(Commands, AClickOnTheFirstPanelIsMeasuredInWindowCoordinates)
{
    StartWithDocument("x");
    RecordDialogs();
    QWidget* bar = Form->statusBar();
    const int x = 30 - bar->mapTo(Form.get(), QPoint(0, 0)).x();
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(x, bar->height() / 2));
    EXPECT_EQ(Dialogs, std::vector<std::string>{"Go To"});
}

TEST_F(Commands, HintsGoToTheFifthPanel)
{
    StartWithDocument("x");
    QStatusTipEvent tip(QStringLiteral("Inserts a table"));
    QApplication::sendEvent(Form.get(), &tip);
    EXPECT_EQ(Form->StatusPanel(4), "Inserts a table");
    EXPECT_TRUE(Form->statusBar()->currentMessage().isEmpty()) << "the panels stay";
}

// ---- keys and menus

TEST_F(Commands, TheColorEntrysOwnKeyBeatsAnActionCarryingIt)
{
    ForceDirectories(UserFile(""));
    TIniFileEx(UserFile("keymap.dat")).WriteInteger("Keymap", "acGoto", ShortCut('R', {ssCtrl, ssAlt}));
    StartWithDocument("x");
    EXPECT_EQ(Form->acGoto->ShortCut(), ShortCut('R', {ssCtrl, ssAlt})) << "the key map keeps the action's key";
    EXPECT_TRUE(Form->acGoto->shortcut().isEmpty()) << "but the entry answers it";
    int colours = 0;
    Form->ColorDialogHook = [&](TColorDialog&) {
        ++colours;
        return false;
    };
    RecordDialogs();
    QTest::keyClick(Editor(), Qt::Key_R, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(colours, 1);
    EXPECT_TRUE(Dialogs.empty());
}

TEST_F(Commands, CtrlAltCShowsTheCodeExplorerAndInsertsNoColour)
{
    StartWithDocument("<?php function f() {} ?>");
    ASSERT_NE(Form->CodeExplorerForm(), nullptr);
    Form->CodeExplorerForm()->Close();
    int colours = 0;
    Form->ColorDialogHook = [&](TColorDialog&) {
        ++colours;
        return false;
    };
    QTest::keyClick(Editor(), Qt::Key_C, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(Form->CodeExplorerForm()->isVisible());
    EXPECT_EQ(colours, 0);
}

TEST_F(Commands, EveryMenuEntryWithAKeyOfItsOwnBeatsTheActions)
{
    ForceDirectories(UserFile(""));
    TIniFileEx keymap(UserFile("keymap.dat"));
    keymap.WriteInteger("Keymap", "acGoto", ShortCut('F', {ssCtrl, ssAlt}));
    keymap.WriteInteger("Keymap", "acRemoveBookmarks", ShortCut('Q', {ssCtrl, ssAlt}));
    Start();
    EXPECT_TRUE(Form->acGoto->shortcut().isEmpty()) << "the FTP Explorer entry's Ctrl+Alt+F";
    EXPECT_EQ(Form->acRemoveBookmarks->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Q));
}

TEST_F(Commands, DefaultKeysOfTheCommands)
{
    Start();
    const std::pair<TAction*, QKeySequence> keys[] = {
        {Form->acGoto, QKeySequence(Qt::CTRL | Qt::Key_G)},
        {Form->acToggleBookmark, QKeySequence(Qt::CTRL | Qt::Key_F2)},
        {Form->acNextBookmark, QKeySequence(Qt::Key_F2)},
        {Form->acPreviousBookmark, QKeySequence(Qt::ALT | Qt::Key_F2)},
        {Form->acHelpTopics, QKeySequence(Qt::SHIFT | Qt::Key_F1)},
        {Form->acPHPHelp, QKeySequence(Qt::Key_F1)},
    };
    for (const auto& [action, key] : keys)
        EXPECT_EQ(action->shortcut(), key) << action->Name();
    EXPECT_EQ(MenuEntry("&Insert", "&Color...")->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_R));
    // Insert Color carries Ctrl+Alt+C, but the View menu's Code Explorer entry answers it.
    EXPECT_EQ(Form->acInsertColor->ShortCut(), ShortCut('C', {ssCtrl, ssAlt}));
    EXPECT_EQ(MenuEntry("&View", "Code Explorer")->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_C));
    EXPECT_NE(Form->ActionList.Find("acTransferLog"), nullptr) << "a name in the key map";
}

TEST_F(Commands, MenusHoldTheirCommandsInOrder)
{
    Start();
    const std::vector<std::string> edit = MenuEntries("&Edit");
    const auto at = [&](const char* caption) { return std::find(edit.begin(), edit.end(), caption) - edit.begin(); };
    EXPECT_LT(at("&Paste"), at("Cut && &Append"));
    EXPECT_LT(at("Cut && &Append"), at("Copy && Append"));
    EXPECT_LT(at("Copy && Append"), at("&Select All"));
    EXPECT_EQ(edit.back(), "Convert &Tag Case");
    EXPECT_EQ(MenuEntries("&Insert"), (std::vector<std::string>{"&Color...", "Date/Time", "Image...",
                                                                 "&Special Character...", "Table..."}));
    EXPECT_EQ(MenuEntries("&Help"), (std::vector<std::string>{"&Zentu Help Topics", "-", "&PHP Help Topics", "-",
                                                               "Zentu &Home Page", "Technical &Support"}));
    const std::vector<std::string> search = MenuEntries("&Search");
    EXPECT_NE(std::find(search.begin(), search.end(), "&Goto Line/Column..."), search.end());
    EXPECT_EQ(search.back(), "Remove Bookmarks");
    const std::vector<std::string> view = MenuEntries("&View");
    EXPECT_EQ(std::vector<std::string>(view.end() - 2, view.end()),
              (std::vector<std::string>{"Syntax Highlighting...", "Full &Screen"}));
    EXPECT_EQ(Form->TextEditorPopup->actions().value(0)->text(), QStringLiteral("&Topic Search"));
}

TEST_F(Commands, DocumentCommandsWaitForADocumentWindowAndHelpDoesNot)
{
    Start();
    for (TAction* action : {Form->acGoto, Form->acToggleBookmark, Form->acNextBookmark, Form->acInsertColor,
                            Form->acInsertDate, Form->acInsertEntity, Form->acInsertTable, Form->acChangeSyntax,
                            Form->acConvertTagCase, Form->acRemoveBookmarks, Form->acCutAppend, Form->acCopyAppend})
        EXPECT_FALSE(action->Enabled()) << action->Name();
    EXPECT_FALSE(MenuEntry("&Insert", "&Color...")->isEnabled());
    for (TAction* action : {Form->acHelpTopics, Form->acPHPHelp, Form->acHomePage, Form->acCustomerSupport,
                            Form->acFullScreen, Form->acWndCascade, Form->acWndTileHorz})
        EXPECT_TRUE(action->Enabled()) << action->Name();
    Open(WriteWork("a.php", ""));
    EXPECT_TRUE(Form->acInsertTable->Enabled());
    EXPECT_TRUE(MenuEntry("&Insert", "&Color...")->isEnabled());
}

// ---- view and window

TEST_F(Commands, FullScreenTogglesAndComesBack)
{
    Start();
    Form->showNormal();
    Form->setGeometry(50, 60, 700, 500);
    QApplication::processEvents();
    const QRect before = Form->geometry();
    Form->acFullScreen->Execute();
    EXPECT_TRUE(Form->acFullScreen->Checked());
    EXPECT_TRUE(Form->isFullScreen());
    EXPECT_TRUE(Form->menuBar()->isVisible()) << "the menu bar stays";
    Form->acFullScreen->Execute();
    QApplication::processEvents();
    EXPECT_FALSE(Form->acFullScreen->Checked());
    EXPECT_FALSE(Form->isFullScreen());
    EXPECT_EQ(Form->geometry(), before);
}

TEST_F(Commands, WindowArrangements)
{
    Start();
    Open(WriteWork("a.php", ""));
    Open(WriteWork("b.php", ""));
    Open(WriteWork("c.php", ""));
    const QRect area = Form->MDIArea->viewport()->rect();
    const auto windows = Form->MDIArea->subWindowList(QMdiArea::CreationOrder);
    Form->acWndTileVert->Execute();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(windows[i]->geometry().top(), 0);
        EXPECT_EQ(windows[i]->geometry().height(), area.height());
        EXPECT_EQ(windows[i]->geometry().left(), area.width() * i / 3) << "side by side";
    }
    Form->acWndTileHorz->Execute();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(windows[i]->geometry().left(), 0);
        EXPECT_EQ(windows[i]->geometry().width(), area.width());
        EXPECT_EQ(windows[i]->geometry().top(), area.height() * i / 3) << "one below the other";
    }
    Form->acWndCascade->Execute();
    EXPECT_LT(windows[0]->geometry().top(), windows[2]->geometry().top());
    Form->acWndMinimizeAll->Execute();
    for (QMdiSubWindow* window : windows)
        EXPECT_TRUE(window->isMinimized());
    Form->acWndArrange->Execute();
    for (QMdiSubWindow* window : windows)
        EXPECT_EQ(window->geometry().bottom(), area.height() - 1) << "along the lower edge";
    EXPECT_EQ(windows[0]->geometry().left(), 0);
    EXPECT_EQ(windows[1]->geometry().left(), windows[0]->geometry().right() + 1);
}

TEST_F(Commands, TheWindowMenuHoldsTheArrangementsBeforeTheDocuments)
{
    Start();
    Open(WriteWork("a.php", ""));
    QMenu* window = nullptr;
    for (QAction* menu : Form->menuBar()->actions())
        if (menu->text() == QStringLiteral("&Window"))
            window = menu->menu();
    ASSERT_NE(window, nullptr);
    emit window->aboutToShow();
    const std::vector<std::string> entries = MenuEntries("&Window");
    EXPECT_EQ(std::vector<std::string>(entries.begin(), entries.begin() + 8),
              (std::vector<std::string>{"&Next Window", "&Previous Window", "-", "&Cascade", "Tile &Horizontally",
                                        "Tile &Vertically", "&Minimize All", "&Arrange Icons"}));
    EXPECT_NE(entries.back().find("a.php"), std::string::npos);
}

// ---- help

TEST_F(Commands, HelpTopicsShowTheProgramsHelpContents)
{
    Dir.Write("program/data/help/index.html", "<html>contents</html>");
    Start();
    std::vector<std::string> pages;
    ASSERT_NE(Form->HelpRouter, nullptr);
    Form->HelpRouter->ViewerFactory = [&] { return std::make_unique<TPagesViewer>(pages); };
    Form->acHelpTopics->Execute();
    EXPECT_EQ(pages, std::vector<std::string>{"index.html"});
}

TEST_F(Commands, F1OpensTheManualAtTheWordAtTheCaret)
{
    Dir.Write("manual/index.html", "m");
    Dir.Write("manual/indexes.functions.html", "i");
    Dir.Write("manual/function.strlen.html", "s");
    Setting("Environment", "Documentation", Dir.File("manual"));
    StartWithDocument("<?php echo strlen($a); ?>");
    std::vector<std::string> pages;
    Form->HelpRouter->ViewerFactory = [&] { return std::make_unique<TPagesViewer>(pages); };
    Editor()->SetCaretCoord(MakeBufferCoord(14, 1));
    QTest::keyClick(Editor(), Qt::Key_F1);
    EXPECT_EQ(pages, (std::vector<std::string>{"index.html", "indexes.functions.html", "index.html",
                                               "function.strlen.html"}))
        << "contents, index at the word, then the topic found";
    pages.clear();
    Select(MakeBufferCoord(7, 1), MakeBufferCoord(11, 1));
    Form->acPHPHelp->Execute();
    EXPECT_EQ(pages.back(), "indexes.functions.html") << "the selection \"echo\" has no page of its own";
}

TEST_F(Commands, F1WithoutAManualOpensTheEnvironmentOptions)
{
    Setting("Environment", "Documentation", Dir.File("no-such-manual"));
    StartWithDocument("strlen");
    RecordDialogs();
    Form->acPHPHelp->Execute();
    ASSERT_EQ(Dialogs.size(), 1u);
    EXPECT_EQ(Dialogs[0], "Environment Options");
    EXPECT_FALSE(Form->HelpRouter->ViewerLoaded());
}

TEST_F(Commands, AManualOnTheWebOpensOnceInTheBrowserAtTheTopic)
{
    Setting("Environment", "Documentation", "https://www.php.net/manual/en/index.php");
    StartWithDocument("str_replace");
    std::vector<std::string> urls;
    Form->OpenURLHook = [&](const std::string& url) { urls.push_back(url); };
    Form->acPHPHelp->Execute();
    QApplication::processEvents();
    EXPECT_EQ(urls, std::vector<std::string>{"https://www.php.net/manual/en/function.str-replace.php"});
}

TEST_F(Commands, HomePageAndSupportGoToTheBrowserAndTheMailer)
{
    Start();
    std::vector<std::string> urls;
    Form->OpenURLHook = [&](const std::string& url) { urls.push_back(url); };
    Form->acHomePage->Execute();
    Form->acCustomerSupport->Execute();
    ASSERT_EQ(urls.size(), 2u);
    EXPECT_EQ(urls[0].rfind("https://", 0), 0u);
    EXPECT_EQ(urls[1].rfind("mailto:", 0), 0u);
    EXPECT_NE(urls[1].find("?subject=%22Zentu%22"), std::string::npos);
}
