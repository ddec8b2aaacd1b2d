// The main window's docking: a first start docks the output and server logs windows from the
// default layout of the data folder, the arrangement (with an auto-hidden window) comes back
// after a restart with the same layout file, preview mode hides the dock panels and channels,
// and the syntax check fills the output window with the interpreter's messages.

#include "src/run/ShellTestSupport.h"

#include "app/zuMainDockArea.h"
#include "app/zuToolWindows.h"
#include "app/zuTypes.h"
#include "run/zuConsoleCommand.h"
#include "windows/zuLogForm.h"
#include "windows/zuOutputForm.h"

#include "ExLib/run/docking/control/ExDockServer.h"
#include "ExLib/run/docking/vsnet/ExDockVSChannel.h"
#include "ExLib/run/docking/vsnet/ExDockVSNetStyle.h"
#include "ExLib/run/lists/ExTextListBox.h"

#include <QElapsedTimer>

#include <algorithm>
#include <map>
#include <QFile>
#include <QMenu>
#include <QMenuBar>

namespace {

struct MainFormDockingTest : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
        WriteDefaultDockLayout(Dir.File("program/data/docking.dat"));
    }
    TExDockServer& Server() const { return *Form->DockArea->DockServer; }
    TExDockVSNETPanel* Bottom() const
    {
        return dynamic_cast<TExDockVSNETPanel*>(Server().DockPanelWithAlign(TAlign::alBottom));
    }
    static std::string Bytes(const std::string& path)
    {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }
    std::vector<std::string> OutputRows() const
    {
        std::vector<std::string> rows;
        TStrings& items = Form->OutputForm()->OutputEdit->Items();
        for (int i = 0; i < items.Count(); ++i)
            rows.push_back(items[i]);
        return rows;
    }
    void WaitForSyntaxCheck()
    {
        QElapsedTimer clock;
        clock.start();
        while ((Form->ProcessWrapper->Running() || OutputRows().empty()) && clock.elapsed() < 15000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
};

} // namespace

TEST_F(MainFormDockingTest, AFirstStartDocksOutputAndServerLogsAsTabsOfTheBottomPanel)
{
    Start();
    TOutputForm* output = Form->OutputForm();
    TLogForm* log = Form->LogForm();
    ASSERT_NE(output, nullptr);
    ASSERT_NE(log, nullptr);
    auto* pages = dynamic_cast<TExDockTabPageControl*>(HostDockSite(*output));
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(HostDockSite(*log), pages);
    EXPECT_EQ(HostDockSite(*pages->Host()), Bottom());
    EXPECT_GT(Bottom()->Height(), 100);
    EXPECT_TRUE(output->isVisible());
    EXPECT_EQ(pages->ActivePage(), pages->PageOfControl(output));
    EXPECT_EQ(Server().DockPanelWithAlign(TAlign::alTop)->Height(), 0);
    EXPECT_EQ(Form->DockArea->Name(), "MainForm");
}

TEST_F(MainFormDockingTest, AFirstStartDocksEveryToolWindowAsATabOfItsEdgeWithTheFirstInFront)
{
    Start();
    const std::span<const TToolWindowKind> kinds = ToolWindowKinds();
    ASSERT_EQ(kinds.size(), 8u);
    std::map<TAlign, TToolWindowForm*> front;
    for (std::size_t i = 0; i < kinds.size(); ++i)
        if (!kinds[i].Place.Behind)
            front.try_emplace(kinds[i].Place.Edge, Form->ToolWindows[i].get());
    EXPECT_EQ(front.size(), 3u) << "left, right and bottom";
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        SCOPED_TRACE(kinds[i].ActionName);
        TToolWindowForm* window = Form->ToolWindows[i].get();
        auto* pages = dynamic_cast<TExDockTabPageControl*>(HostDockSite(*window));
        ASSERT_NE(pages, nullptr);
        EXPECT_TRUE(Server().DockPanelWithAlign(kinds[i].Place.Edge)->isAncestorOf(window));
        EXPECT_EQ(pages->ActivePage(), pages->PageOfControl(front[kinds[i].Place.Edge]));
        EXPECT_EQ(window->isVisible(), window == front[kinds[i].Place.Edge]);
    }
    EXPECT_EQ(Form->ToolWindows[0]->Name(), "ProjectExplorerForm") << "the project explorer in front on the left";
}

TEST_F(MainFormDockingTest, EveryToolWindowHasAViewCommandInTheViewMenuThatShowsItAtItsPlace)
{
    Start();
    const std::span<const TToolWindowKind> kinds = ToolWindowKinds();
    ASSERT_EQ(Form->ToolWindows.size(), kinds.size());
    QMenu* view = nullptr;
    for (QAction* entry : Form->menuBar()->actions())
        if (entry->text() == QStringLiteral("&View"))
            view = entry->menu();
    ASSERT_NE(view, nullptr);
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        SCOPED_TRACE(kinds[i].ActionName);
        TToolWindowForm* window = Form->ToolWindows[i].get();
        TAction* action = Form->ActionList.Find(kinds[i].ActionName);
        ASSERT_NE(action, nullptr);
        const QList<QAction*> entries = view->actions();
        EXPECT_TRUE(entries.contains(action) || std::any_of(entries.begin(), entries.end(), [&](const QAction* entry) {
                        return entry->text() == action->text();
                    })) << "the action or an entry of its own";
        window->Close();
        ASSERT_FALSE(window->isVisible());
        action->trigger();
        EXPECT_TRUE(window->isVisible());
        if (kinds[i].Place.Edge != TAlign::alNone) {
            EXPECT_TRUE(Server().DockPanelWithAlign(kinds[i].Place.Edge)->isAncestorOf(window));
        }
    }
}

TEST_F(MainFormDockingTest, TheArrangementComesBackAfterARestartAndSavesTheSameBytes)
{
    Start();
    TOutputForm* output = Form->OutputForm();
    auto* host = dynamic_cast<TExDockTabPageControl*>(HostDockSite(*output))->Host();
    Bottom()->AutoHideForm(host);
    ASSERT_EQ(Bottom()->Height(), 0);
    ASSERT_TRUE(Bottom()->Channel()->isVisible());
    Form->close();
    ASSERT_FALSE(Bytes(UserFile("docking.dat")).empty());
    Stop();

    std::vector<std::string> saves;
    for (int start = 0; start < 2; ++start) {
        Start();
        TExDockVSChannel* channel = Bottom()->Channel();
        EXPECT_TRUE(channel->isVisible());
        ASSERT_EQ(channel->Blocks.size(), 1u);
        // Every window of the bottom panel is a tab of the one auto-hidden host.
        const std::span<const TToolWindowKind> kinds = ToolWindowKinds();
        EXPECT_EQ(channel->Blocks[0]->PaneCount(),
                  std::count_if(kinds.begin(), kinds.end(),
                                [](const TToolWindowKind& kind) { return kind.Place.Edge == TAlign::alBottom; }));
        EXPECT_EQ(ChannelOfControl(Form->OutputForm()), channel) << "output is auto-hidden again";
        EXPECT_EQ(ChannelOfControl(Form->LogForm()), channel);
        EXPECT_TRUE(channel->PaneForControl(Form->LogForm())->Visible) << "the page behind keeps its tab";
        EXPECT_EQ(Bottom()->Height(), 0);
        Form->close();
        saves.push_back(Bytes(UserFile("docking.dat")));
        Stop();
    }
    EXPECT_EQ(saves[0], saves[1]) << "a restored arrangement saves the same bytes";
}

TEST_F(MainFormDockingTest, PreviewModeHidesTheDockPanelsAndChannels)
{
    Start();
    Form->SetPreviewMode(true);
    EXPECT_FALSE(Bottom()->isVisible());
    EXPECT_FALSE(Form->OutputForm()->isVisible());
    Form->SetPreviewMode(false);
    EXPECT_TRUE(Bottom()->isVisible());
    EXPECT_TRUE(Form->OutputForm()->isVisible());
    EXPECT_TRUE(Server().SplitterWithAlign(TAlign::alBottom)->isVisible());
    EXPECT_FALSE(Server().SplitterWithAlign(TAlign::alTop)->isVisible());
}

TEST_F(MainFormDockingTest, TheSyntaxCheckShowsTheInterpretersMessagesForABrokenAndACleanFile)
{
    Start();
    PHPEnvironment.PHPExecutable = "/usr/bin/php";
    TCodeEditorForm* broken = Open(WriteWork("broken.php", "<?php\necho 'a'\necho 'b';\n"));
    ASSERT_NE(broken, nullptr);
    Form->acSyntaxCheck->trigger();
    WaitForSyntaxCheck();
    std::vector<std::string> rows = OutputRows();
    ASSERT_FALSE(rows.empty());
    bool parseError = false;
    for (const std::string& row : rows)
        parseError = parseError || (row.find("Parse error") != std::string::npos && row.find("line 3") != std::string::npos);
    EXPECT_TRUE(parseError) << rows.front();
    EXPECT_EQ(rows.back().rfind("Errors parsing ", 0), 0u) << rows.back();
    EXPECT_TRUE(Form->OutputForm()->isVisible());

    Open(WriteWork("clean.php", "<?php\necho 'fine';\n"));
    Form->acSyntaxCheck->trigger();
    WaitForSyntaxCheck();
    rows = OutputRows();
    EXPECT_EQ(rows, std::vector<std::string>{"No syntax errors detected in " + Work("clean.php")});
    PHPEnvironment.PHPExecutable.clear();
}

TEST_F(MainFormDockingTest, WithDockingOffTheWindowHasNoDockServerAndNoToolWindows)
{
    Form = std::make_unique<TMainForm>();
    Form->DockingEnabled = false;
    ASSERT_TRUE(Form->FormCreate(ProgramFolder(), AppDataFolder(), DataHomeFolder()));
    EXPECT_EQ(Form->DockArea->DockServer, nullptr);
    EXPECT_TRUE(Form->ToolWindows.empty());
    EXPECT_EQ(Form->OutputForm(), nullptr);
    Form->ActionList.Find("acViewOutput")->trigger();
}

TEST_F(MainFormDockingTest, ADoubleClickOnAMessageWithALineMovesTheCaretThere)
{
    Start();
    PHPEnvironment.PHPExecutable = "/usr/bin/php";
    TCodeEditorForm* other = Open(WriteWork("other.php", "<?php\n\n\n\n\n\n"));
    TCodeEditorForm* broken = Open(WriteWork("broken.php", "<?php\n$a = 1;\n$b = 2;\n\necho 'a'\necho 'b';\n"));
    ASSERT_NE(other, nullptr);
    ASSERT_NE(broken, nullptr);
    broken->Editor()->SetCaretCoord(MakeBufferCoord(1, 1));
    // Unsaved changes: the check runs the run copy, whose messages name the copy.
    broken->Editor()->SetSelectedText("// changed\n");
    Form->acSyntaxCheck->trigger();
    WaitForSyntaxCheck();
    const std::vector<std::string> rows = OutputRows();
    const auto message =
        std::find_if(rows.begin(), rows.end(), [](const std::string& row) { return row.find(" on line ") != std::string::npos; });
    ASSERT_NE(message, rows.end()) << rows.front();
    EXPECT_NE(message->find("on line 7"), std::string::npos) << *message;

    Form->BringDocumentToFront(other);
    QListWidget& list = *Form->OutputForm()->OutputEdit;
    ASSERT_TRUE(list.isVisible());
    const QRect row = list.visualItemRect(list.item(static_cast<int>(message - rows.begin())));
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(Form->ActiveEditorForm(), broken) << "the document the message names comes to the front";
    EXPECT_EQ(broken->Editor()->GetCaretCoord().LineNumber, 7);
    EXPECT_EQ(broken->Editor()->GetCaretCoord().CharIndex, 1);
}
