// The run commands in the running shell: the file that runs (the document's own or a run copy,
// deleted at exit), the URL through the internal server of the current project, GET and POST
// parameters reaching the script, the browser panel taking the whole window and giving it back,
// its source page, the user's browser, the console run and the script parameters dialog. The
// browser engine is a stand-in that sends the request to the real server.

#include "src/http/HttpTestSupport.h"
#include "src/run/ShellTestSupport.h"

#include "run/zuBrowserFrame.h"
#include "projects/zuCurrentProject.h"
#include "app/zuFolders.h"
#include "http/zuHTTPModule.h"
#include "projects/zuProjects.h"
#include "run/zuScriptParametersForm.h"
#include "app/zuTypes.h"

#include "SrcEdit/Source/highlighters/SrcEditHighlighterMulti.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterPhp.h"

#include "ExLib/run/process/ExProcessRunner.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTableWidget>
#include <QToolBar>
#include <QUrl>

namespace {

// A browser engine that fetches pages from the server with the test client.
class TFakeBrowserView : public TBrowserView {
public:
    explicit TFakeBrowserView(QWidget* parent) : FWidget(new QWidget(parent)) {}
    ~TFakeBrowserView() override { delete FWidget.data(); }

    QWidget* Widget() override { return FWidget; }
    void Navigate(const TBrowserRequest& request) override
    {
        Requests.push_back(request);
        if (OnBeforeNavigate)
            OnBeforeNavigate(request.URL);
        const QUrl url(QString::fromStdString(request.URL));
        if (url.scheme() != QLatin1String("http"))
            return;
        const std::string target =
            url.toString(QUrl::FullyEncoded | QUrl::RemoveScheme | QUrl::RemoveAuthority).toStdString();
        std::string head = (request.Post ? "POST " : "GET ") + target + " HTTP/1.1\r\nHost: " +
                           url.host().toStdString() + ":" + std::to_string(url.port()) + "\r\n";
        for (const auto& [name, value] : request.Headers)
            head += name + ": " + value + "\r\n";
        if (request.Post)
            head += "Content-Length: " + std::to_string(request.Body.size()) + "\r\n";
        Reply = SendRaw(url.port(), head + "\r\n" + request.Body);
        if (OnTitleChange)
            OnTitleChange("Title of " + url.path().toStdString());
        if (OnDocumentComplete)
            OnDocumentComplete(Reply.Status == 200);
    }
    void GoBack() override {}
    void GoForward() override {}
    void Stop() override { ++Stops; }
    void Refresh() override {}
    bool CanGoBack() const override { return false; }
    bool CanGoForward() const override { return false; }
    bool Busy() const override { return false; }
    void RequestHtml(std::function<void(const std::string&)> done) override { done(Reply.Body); }

    QPointer<QWidget> FWidget;
    std::vector<TBrowserRequest> Requests;
    THttpReply Reply;
    int Stops = 0;
};

struct RunShellTest : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
        Dir.Write("program/data/NotFound.html", "<html>no php</html>");
        Dir.Write("www/sub/echo.php",
                  "<?php echo $_SERVER['REQUEST_METHOD'], ' ', json_encode($_GET), ' ', json_encode($_POST), ' ', "
                  "basename(__FILE__);");
        Setting("HTTPServer", "Port", "0");
        Project = CreateGUID();
        TIniFileEx projects(UserFile("projects.dat"));
        projects.WriteString(ProjectSection(Project), "LocalPath", Root());
        projects.WriteString(ProjectSection(Project), "LocalURL", "http://localhost:8080/");
        projects.WriteInteger(ProjectSection(Project), "HTTPServer", 0);
        Setting("Application", "Project", GUIDToString(Project));
    }

    void TearDown() override
    {
        StopWithServer();
        ShellTest::TearDown();
    }

    // Starts as the program does: main window, server module, editor module.
    void StartWithServer()
    {
        Form = std::make_unique<TMainForm>();
        ASSERT_TRUE(Form->FormCreate(ProgramFolder(), AppDataFolder(), DataHomeFolder()));
        Form->resize(900, 600);
        Form->show();
        Server = std::make_unique<THTTPModule>();
        HTTPModule = Server.get();
        TMainForm* form = Form.get();
        Server->ProjectHostSource = [form] { return form->ProjectLocalHost(); };
        Server->DataModuleCreate(*SettingsFile, *Form->CurrentProject, "", DataFolder);
        Module = std::make_unique<TEditorModule>();
        Form->BrowserFrame->CreateView = [this](QWidget* parent) {
            auto view = std::make_unique<TFakeBrowserView>(parent);
            View = view.get();
            return view;
        };
        Form->OpenURLHook = [this](const std::string& url) { OpenedURLs.push_back(url); };
        Form->activateWindow();
        QApplication::setActiveWindow(Form.get());
        QApplication::processEvents();
    }

    void StopWithServer()
    {
        Server.reset();
        HTTPModule = nullptr;
        Stop();
    }

    std::string Root() const { return Dir.File("www") + "/"; }
    // A file that may run as a program.
    std::string Executable(const std::string& name, const std::string& text) const
    {
        const std::string file = Dir.Write(name, text);
        QFile::setPermissions(QString::fromStdString(file), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return file;
    }
    // A terminal without a window: it runs what follows "-e" with no input, then `afterwards`,
    // the time its window would stay open.
    std::string FakeTerminal(const std::string& afterwards) const
    {
        return Executable("bin/fake-terminal", "#!/bin/sh\n"
                                               "while [ \"$1\" != -e ]; do shift; done\n"
                                               "shift\n"
                                               "\"$@\" </dev/null >/dev/null\n" +
                                                   afterwards);
    }
    std::string URLOf(const std::string& path) const
    {
        return "http://localhost:" + std::to_string(Server->BoundPort()) + path;
    }
    bool ChromeHidden() const
    {
        return Form->menuBar()->isHidden() && Form->statusBar()->isHidden() &&
               Form->findChild<QToolBar*>(QStringLiteral("ToolBar"))->isHidden() && !Form->FileTabs->isVisible();
    }

    TGUID Project;
    std::unique_ptr<THTTPModule> Server;
    TFakeBrowserView* View = nullptr;
    std::vector<std::string> OpenedURLs;
};

} // namespace

TEST_F(RunShellTest, ASavedDocumentRunsFromItsOwnFileAtTheProjectsURL)
{
    StartWithServer();
    ASSERT_TRUE(Server->Active());
    Open(Dir.File("www/sub/echo.php"));
    Form->acInternalPreview->Execute();
    ASSERT_NE(View, nullptr);
    ASSERT_EQ(View->Requests.size(), 1u);
    EXPECT_EQ(View->Requests[0].URL, URLOf("/sub/echo.php"));
    EXPECT_FALSE(View->Requests[0].Post);
    EXPECT_EQ(View->Reply.Status, 200);
    EXPECT_EQ(View->Reply.Body, "GET [] [] echo.php");
    EXPECT_EQ(Form->RunCopyList.Count(), 0);
}

TEST_F(RunShellTest, AModifiedDocumentRunsFromACopyBesideItThatIsGoneAfterExit)
{
    StartWithServer();
    const std::string original = ReadWholeFile(Dir.File("www/sub/echo.php"));
    Open(Dir.File("www/sub/echo.php"));
    Form->ActiveEditor()->SetSelectedText("<?php echo 'changed '; ?>\r\n");
    ASSERT_TRUE(Form->ActiveEditor()->ContentModified());
    Form->acInternalPreview->Execute();
    const std::string copy = Dir.File("www/sub/echo~znt~.php");
    EXPECT_EQ(View->Requests.back().URL, URLOf("/sub/echo~znt~.php"));
    EXPECT_EQ(View->Reply.Body, "changed GET [] [] echo~znt~.php");
    EXPECT_EQ(ReadWholeFile(copy).substr(0, 26), "<?php echo 'changed '; ?>\n") << "the document's line breaks";
    EXPECT_EQ(ReadWholeFile(Dir.File("www/sub/echo.php")), original) << "the document's file stays as it was";

    // A second run overwrites the copy and lists it once.
    Form->BrowserCloseButtonClick();
    Type("x");
    Form->acInternalPreview->Execute();
    EXPECT_EQ(Form->RunCopyList.Count(), 1);

    Form->BrowserCloseButtonClick();
    Answers = {IDNO};
    EXPECT_TRUE(Form->close());
    EXPECT_FALSE(FileExists(copy));
}

TEST_F(RunShellTest, TheRunCopyHoldsTheBytesASaveWouldWrite)
{
    StartWithServer();
    Setting("General", "LineEnding", "0");
    const std::string original = "<?php\necho 'a';\r\necho 'b';\recho 'c';\n";
    const std::string path = Dir.Write("www/sub/mixed.php", original);
    TCodeEditorForm* document = Open(path);
    document->Editor()->SetCaretCoord(MakeBufferCoord(1, 2));
    Type("echo 7; ");
    Form->acInternalPreview->Execute();
    const std::string copy = Dir.File("www/sub/mixed~znt~.php");
    EXPECT_EQ(ReadWholeFile(copy), "<?php\necho 7; echo 'a';\r\necho 'b';\recho 'c';\n");
    EXPECT_EQ(ReadWholeFile(copy), document->FileText());
    ASSERT_NE(View, nullptr);
    EXPECT_EQ(View->Reply.Body, "7abc");
    EXPECT_EQ(ReadWholeFile(path), original);
    Form->BrowserCloseButtonClick();
}

TEST_F(RunShellTest, AModifiedDocumentOutsideTheRootIsNamedNotItsRunCopy)
{
    StartWithServer();
    const std::string outside = WriteWork("elsewhere.php", "<?php echo 1;");
    Open(outside);
    Type("// ");
    Answers = {IDOK};
    Form->acInternalPreview->trigger();
    ASSERT_EQ(Questions.size(), 1u);
    EXPECT_TRUE(Questions[0].Text.starts_with(outside + " lies outside the document root")) << Questions[0].Text;
    EXPECT_EQ(Questions[0].Text.find("~znt~"), std::string::npos);
}

TEST_F(RunShellTest, RunCopiesOfNewAndModifiedDocumentsAreDeletedAtExit)
{
    StartWithServer();
    Form->OpenFile(Dir.File("program/template/PHP Page.php"), true, 0);
    Form->acInternalPreview->Execute();
    const std::string untitled = Root() + "Untitled0~znt~.php";
    EXPECT_TRUE(FileExists(untitled)) << "a new document runs from a copy in the document root";
    EXPECT_EQ(View->Requests.back().URL, URLOf("/Untitled0~znt~.php"));
    EXPECT_EQ(View->Reply.Body, "new");
    Form->BrowserCloseButtonClick();

    Open(Dir.File("www/sub/echo.php"));
    Type(" ");
    Form->acExternalPreview->Execute();
    const std::string modified = Dir.File("www/sub/echo~znt~.php");
    EXPECT_TRUE(FileExists(modified));

    Answers = {IDNO};
    EXPECT_TRUE(Form->close());
    EXPECT_FALSE(FileExists(untitled));
    EXPECT_FALSE(FileExists(modified));
    EXPECT_TRUE(FileExists(Dir.File("www/sub/echo.php")));
}

TEST_F(RunShellTest, ParametersTravelAsAQueryOrAsTheBody)
{
    StartWithServer();
    TCodeEditorForm* document = Open(Dir.File("www/sub/echo.php"));
    document->ScriptParameters().Add("a=1");
    document->ScriptParameters().Add("b=x y&z");

    Form->acInternalPreview->Execute();
    EXPECT_EQ(View->Requests.back().URL, URLOf("/sub/echo.php?a=1&b=x+y%26z"));
    EXPECT_EQ(View->Reply.Body, "GET {\"a\":\"1\",\"b\":\"x y&z\"} [] echo.php");
    Form->BrowserCloseButtonClick();

    document->RequestMethod = 1;
    Form->acInternalPreview->Execute();
    const TBrowserRequest& post = View->Requests.back();
    EXPECT_TRUE(post.Post);
    EXPECT_EQ(post.URL, URLOf("/sub/echo.php"));
    EXPECT_EQ(post.Body, "a=1&b=x+y%26z") << "no zero byte behind the parameters";
    EXPECT_EQ(post.Headers, (std::vector<std::pair<std::string, std::string>>{
                                {"Content-Type", "application/x-www-form-urlencoded"}}));
    EXPECT_EQ(View->Reply.Body, "POST [] {\"a\":\"1\",\"b\":\"x y&z\"} echo.php");
}

TEST_F(RunShellTest, TheExternalBrowserGetsTheSameURLWithGETParametersOnly)
{
    StartWithServer();
    TCodeEditorForm* document = Open(Dir.File("www/sub/echo.php"));
    document->ScriptParameters().Add("q=a b");
    Form->acExternalPreview->Execute();
    document->RequestMethod = 1;
    Form->acExternalPreview->Execute();
    EXPECT_EQ(OpenedURLs, (std::vector<std::string>{URLOf("/sub/echo.php?q=a+b"), URLOf("/sub/echo.php")}));
    EXPECT_FALSE(Form->PreviewMode());
}

TEST_F(RunShellTest, WithoutAWebBrowserTheExternalRunSaysSo)
{
    StartWithServer();
    Form->OpenURLHook = nullptr;
    Open(Dir.File("www/sub/echo.php"));
    const std::string message = "No web browser could be started to show " + URLOf("/sub/echo.php") +
                                ".\r\nInstall a web browser, or make one the default web browser of your desktop.";

    // The opener is there but finds no browser: it ends with an error code.
    Form->BrowserOpenerProgram = Executable("bin/opener", "#!/bin/sh\nexit 3\n");
    Answers = {IDOK};
    Form->acExternalPreview->trigger();
    for (int i = 0; i < 500 && Questions.empty(); ++i)
        QTest::qWait(10);
    EXPECT_EQ(QuestionTexts(), std::vector<std::string>{message});

    // No opener at all.
    Questions.clear();
    Form->BrowserOpenerProgram = Dir.File("bin/no-such-opener");
    Answers = {IDOK};
    Form->acExternalPreview->trigger();
    EXPECT_EQ(QuestionTexts(), std::vector<std::string>{message});

    // A browser that opens says nothing.
    Questions.clear();
    const std::string opened = Dir.File("opened.txt");
    Form->BrowserOpenerProgram = Executable("bin/opener", "#!/bin/sh\nprintf '%s' \"$1\" > \"" + opened + "\"\n");
    Form->acExternalPreview->trigger();
    for (int i = 0; i < 500 && !FileExists(opened); ++i)
        QTest::qWait(10);
    QTest::qWait(100);
    EXPECT_EQ(ReadWholeFile(opened), URLOf("/sub/echo.php"));
    EXPECT_TRUE(Questions.empty());
}

TEST_F(RunShellTest, AFileOutsideTheDocumentRootIsExplainedInsteadOfRefused)
{
    StartWithServer();
    const std::string outside = WriteWork("elsewhere.php", "<?php echo 1;");
    Open(outside);
    const std::string message = outside + " lies outside the document root of the current project (" + Root() +
                                "), so the web server cannot serve it.\r\nTo run it, make a project for its folder: "
                                "File > New Project..., with that folder as the local document root, or choose that "
                                "folder as the current project's document root in Project > Project Options...";
    Answers = {IDOK, IDOK};
    Form->acInternalPreview->trigger();
    Form->acExternalPreview->trigger();
    EXPECT_EQ(QuestionTexts(), (std::vector<std::string>{message, message}));
    EXPECT_EQ(Questions[0].Flags, unsigned(MB_OK | MB_ICONINFORMATION));
    EXPECT_FALSE(Form->PreviewMode()) << "nothing was opened";
    EXPECT_TRUE(View == nullptr || View->Requests.empty());
    EXPECT_TRUE(OpenedURLs.empty());

    // A folder whose name only starts like the root's is outside too; a project without a
    // server opens the file itself.
    Questions.clear();
    Open(Dir.Write("www-old/a.php", "<?php"));
    Answers = {IDOK};
    Form->acExternalPreview->trigger();
    EXPECT_EQ(Questions.size(), 1u);
    ProjectsFile->WriteInteger(ProjectSection(Project), "HTTPServer", 2);
    Form->acExternalPreview->trigger();
    EXPECT_EQ(OpenedURLs, std::vector<std::string>{"file://" + Dir.File("www-old/a.php")});
}

TEST_F(RunShellTest, ThePanelTakesTheWholeWindowAndTheCloseButtonGivesItBack)
{
    StartWithServer();
    Open(Dir.File("www/sub/echo.php"));
    EXPECT_FALSE(Form->BrowserFrame->isVisible());
    Form->acInternalPreview->Execute();
    EXPECT_TRUE(Form->PreviewMode());
    EXPECT_TRUE(ChromeHidden());
    EXPECT_TRUE(Form->BrowserFrame->isVisible());
    EXPECT_TRUE(Form->BrowserFrame->isEnabled());
    EXPECT_FALSE(Form->MDIArea->isVisible());
    EXPECT_EQ(Form->BrowserFrame->TitleLabel->text(), "Title of /sub/echo.php");
    EXPECT_EQ(Form->BrowserFrame->URLEdit->text().toStdString(), URLOf("/sub/echo.php"));
    // The status text sits in the row below the pages, beside the tabs, not over the title.
    const TBrowserFrame& frame = *Form->BrowserFrame;
    const QRect status(frame.StatusText->mapTo(&frame, QPoint(0, 0)), frame.StatusText->size());
    EXPECT_GE(status.top(), frame.PageControl->geometry().bottom());
    EXPECT_FALSE(status.intersects(frame.TitlePanel->geometry()));
    EXPECT_GE(status.left(), frame.TabBar->mapTo(&frame, QPoint(frame.TabBar->width(), 0)).x());

    // Keys belong to the panel now: the commands' shortcuts are asleep.
    QTest::keyClick(Form->BrowserFrame->Browser().Widget(), Qt::Key_F9);
    EXPECT_EQ(View->Requests.size(), 1u);

    QTest::mouseClick(Form->BrowserFrame->CloseButton, Qt::LeftButton);
    EXPECT_FALSE(Form->PreviewMode());
    EXPECT_FALSE(ChromeHidden());
    EXPECT_FALSE(Form->BrowserFrame->isVisible());
    EXPECT_FALSE(Form->BrowserFrame->isEnabled());
    EXPECT_TRUE(Form->MDIArea->isVisible());
    EXPECT_EQ(View->Requests.back().URL, "about:blank");
    EXPECT_EQ(View->Stops, 1);

    // The shortcuts are awake again.
    QTest::keyClick(Form->ActiveEditor(), Qt::Key_F9);
    EXPECT_EQ(View->Requests.back().URL, URLOf("/sub/echo.php"));
}

TEST_F(RunShellTest, ClosingTheWindowDuringARunOnlyClosesThePanel)
{
    StartWithServer();
    Open(Dir.File("www/sub/echo.php"));
    Form->acInternalPreview->Execute();
    EXPECT_FALSE(Form->close());
    EXPECT_FALSE(Form->PreviewMode());
    EXPECT_FALSE(Form->BrowserFrame->isVisible());
    EXPECT_EQ(View->Requests.back().URL, "about:blank");
    EXPECT_TRUE(Form->close());
}

TEST_F(RunShellTest, TheSourcePageShowsThePageAsLoaded)
{
    StartWithServer();
    Open(Dir.File("www/sub/echo.php"));
    Form->acInternalPreview->Execute();
    TBrowserFrame& frame = *Form->BrowserFrame;
    EXPECT_EQ(frame.Editor->GetAllText(), "GET [] [] echo.php");
    EXPECT_TRUE(frame.Editor->ReadOnly());
    EXPECT_EQ(frame.Editor->Highlighter(), static_cast<TSrcCustomHighlighter*>(Module->PHP_HTML_XML_CSS_JS));
    EXPECT_EQ(frame.PageControl->currentIndex(), 0);
    frame.TabBar->setCurrentIndex(1);
    EXPECT_EQ(frame.PageControl->currentWidget(), frame.Editor);
    frame.TabBar->setCurrentIndex(0);
    EXPECT_EQ(frame.PageControl->currentWidget(), frame.ScrollBox1);

    // Enter in the address box goes elsewhere without leaving the panel.
    frame.URLEdit->setText(QString::fromStdString(URLOf("/sub/echo.php?x=2")));
    QTest::keyClick(frame.URLEdit, Qt::Key_Return);
    EXPECT_EQ(View->Requests.back().URL, URLOf("/sub/echo.php?x=2"));
    EXPECT_EQ(frame.Editor->GetAllText(), "GET {\"x\":\"2\"} [] echo.php");
    EXPECT_TRUE(Form->PreviewMode());
}

TEST_F(RunShellTest, FixedViewportSizesStopAtTheHeightOfTheBox)
{
    StartWithServer();
    Open(Dir.File("www/sub/echo.php"));
    Form->acInternalPreview->Execute();
    TBrowserFrame& frame = *Form->BrowserFrame;
    const int scrollBar = frame.ScrollBox1->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, frame.ScrollBox1);
    const int boxHeight = frame.ScrollBox1->height() - frame.ExRuler1->height();
    ASSERT_LT(boxHeight, 600) << "the window is lower than the viewport";

    frame.SizeItems[2]->trigger(); // 800 x 600
    EXPECT_EQ(frame.BrowserTag(), 600);
    EXPECT_TRUE(frame.SizeItems[2]->isChecked());
    EXPECT_EQ(frame.BrowserSize(), QSize(800, boxHeight - scrollBar));

    Form->resize(900, 1000);
    QApplication::processEvents();
    EXPECT_EQ(frame.BrowserSize(), QSize(800, 600)) << "a higher box keeps the viewport's own height";

    frame.FitToWindowItem->trigger();
    QApplication::processEvents();
    EXPECT_EQ(frame.BrowserTag(), 0);
    EXPECT_EQ(frame.BrowserSize().width(), frame.ScrollBox1->viewport()->width());
    EXPECT_EQ(ViewportHeight(600, 500, 17), 483);
    EXPECT_EQ(ViewportHeight(600, 700, 17), 600);
}

TEST_F(RunShellTest, ConsoleRunsGetTheFileAsAnArgumentWhateverItsName)
{
    StartWithServer();
    const std::string seen = Dir.File("seen.txt");
    const std::string interpreter =
        Executable("bin/php", "#!/bin/sh\n{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"" + seen + "\"\n");
    Form->ConsoleTerminalProgram = FakeTerminal("");
    PHPEnvironment.PHPExecutable = interpreter;
    const std::string script = Dir.Write("www/it's a \"test\" $(touch pwned).php", "<?php");

    std::vector<std::uint32_t> ends;
    Form->ProcessManager->OnTerminate = [&](TObject*, std::uint32_t code) { ends.push_back(code); };
    Open(script);
    Form->acRunConsole->trigger();
    EXPECT_EQ(Form->ProcessManager->RunState(), TExProcessRunState::psRunning) << "watched until the window closes";
    for (int i = 0; i < 500 && ends.empty(); ++i)
        QTest::qWait(10);
    EXPECT_EQ(ends.size(), 1u) << "the runner sees the end of the run";
    EXPECT_EQ(Form->ProcessManager->RunState(), TExProcessRunState::psReady);
    EXPECT_EQ(ReadWholeFile(seen), Dir.File("www") + "\n-f\n" + script + "\n") << "run in the script's folder";
    EXPECT_FALSE(FileExists(Dir.File("www/pwned")));
    EXPECT_FALSE(FileExists(Dir.File("pwned")));
    PHPEnvironment.PHPExecutable.clear();
}

TEST_F(RunShellTest, WhatAConsoleRunStartedEndsWithItsWindow)
{
    StartWithServer();
    Form->ConsoleTerminalProgram = FakeTerminal("");
    PHPEnvironment.PHPExecutable = "/usr/bin/php";
    const std::string pidFile = Dir.File("child.pid");
    Open(Dir.Write("www/start.php", "<?php file_put_contents('" + pidFile +
                                        "', exec('setsid sleep 300 > /dev/null 2>&1 & echo $!'));"));
    std::vector<std::uint32_t> ends;
    Form->ProcessManager->OnTerminate = [&](TObject*, std::uint32_t code) { ends.push_back(code); };
    Form->acRunConsole->trigger();
    for (int i = 0; i < 1000 && ends.empty(); ++i)
        QTest::qWait(10);
    ASSERT_EQ(ends.size(), 1u);
    const int child = ReadPid(pidFile);
    ASSERT_GT(child, 0);
    EXPECT_FALSE(ProcessAlive(child)) << "the script's child outlived the console window";
    PHPEnvironment.PHPExecutable.clear();
}

TEST_F(RunShellTest, ASecondConsoleRunWaitsUntilTheFirstWindowHasClosed)
{
    StartWithServer();
    // A terminal window that stays open until the test closes it.
    const std::string closeSignal = Dir.File("close-the-window");
    Form->ConsoleTerminalProgram = FakeTerminal("while [ ! -e \"" + closeSignal + "\" ]; do sleep 0.05; done\n");
    PHPEnvironment.PHPExecutable = Executable("bin/php", "#!/bin/sh\n");
    std::vector<std::uint32_t> ends;
    Form->ProcessManager->OnTerminate = [&](TObject*, std::uint32_t code) { ends.push_back(code); };
    Open(Dir.File("www/sub/echo.php"));

    Form->acRunConsole->trigger();
    Answers = {IDOK};
    Form->acRunConsole->trigger();
    EXPECT_EQ(QuestionTexts(), std::vector<std::string>{"Cannot perform this operation when process is running."});

    Dir.Write("close-the-window", "");
    for (int i = 0; i < 500 && ends.empty(); ++i)
        QTest::qWait(10);
    ASSERT_EQ(ends.size(), 1u);
    QFile::remove(QString::fromStdString(closeSignal));
    Form->acRunConsole->trigger();
    EXPECT_EQ(Form->ProcessManager->RunState(), TExProcessRunState::psRunning) << "a new window opens";
    EXPECT_EQ(Questions.size(), 1u);
    Dir.Write("close-the-window", "");
    for (int i = 0; i < 500 && ends.size() < 2; ++i)
        QTest::qWait(10);
    EXPECT_EQ(ends.size(), 2u);
    PHPEnvironment.PHPExecutable.clear();
}

TEST_F(RunShellTest, AConsoleRunWithoutAnInterpreterSaysWhatIsMissing)
{
    StartWithServer();
    PHPEnvironment.PHPExecutable = Dir.File("no/such/php");
    Open(Dir.File("www/sub/echo.php"));
    Answers = {IDOK};
    Form->acRunConsole->Execute();
    EXPECT_EQ(QuestionTexts(), std::vector<std::string>{"Unable to find " + Dir.File("no/such/php") +
                                                        "! Please check environment options"});
    EXPECT_EQ(Form->ProcessManager->RunState(), TExProcessRunState::psReady);
    PHPEnvironment.PHPExecutable.clear();
}

TEST_F(RunShellTest, TheParametersDialogEditsTheActiveDocumentsParameters)
{
    StartWithServer();
    TCodeEditorForm* document = Open(Dir.File("www/sub/echo.php"));
    document->ScriptParameters().Add("old=1");

    // Cancel changes nothing.
    Form->ModalHook = [](QDialog& dialog) {
        auto& form = dynamic_cast<TScriptParametersForm&>(dialog);
        EXPECT_EQ(form.ParameterType->currentText(), "GET");
        form.ClearAllClick();
        return int(QDialog::Rejected);
    };
    Form->acScriptParameters->Execute();
    EXPECT_EQ(document->ScriptParameters().Text(), "old=1\r\n");

    // Two rows of one name are refused; Apply then hands the rows and the method over.
    Form->ModalHook = [this](QDialog& dialog) {
        auto& form = dynamic_cast<TScriptParametersForm&>(dialog);
        TStringList rows;
        EXPECT_EQ(form.ParameterEditor->rowCount(), 2) << "the row and an empty one to type into";
        rows.Add("a=1");
        rows.Add("a=2");
        form.SetParameterLines(rows);
        Answers = {IDOK};
        form.ApplyClick();
        EXPECT_EQ(form.result(), QDialog::Rejected);
        rows.Clear();
        rows.Add("a=1");
        rows.Add("b=x y");
        form.SetParameterLines(rows);
        form.ParameterType->setCurrentIndex(1);
        form.ApplyClick();
        return form.result();
    };
    Form->acScriptParameters->Execute();
    EXPECT_EQ(QuestionTexts(), std::vector<std::string>{"A key with the name of \"a\" already exists"});
    EXPECT_EQ(document->ScriptParameters().Text(), "a=1\r\nb=x y\r\n");
    EXPECT_EQ(document->RequestMethod, 1);
    EXPECT_EQ(document->BuildQueryString(), "a=1&b=x+y");
}

TEST_F(RunShellTest, TheServerRunsPHPByTheHighlightersFilterAndKnowsTheProjectsHost)
{
    StartWithServer();
    EXPECT_EQ(Server->ServerValues().PHPFilter, Module->PHP->DefaultFilter());
    EXPECT_EQ(Server->ServerValues().ProjectHost, "localhost");

    // Another project's host is taken when it opens.
    TIniFileEx& projects = *ProjectsFile;
    const TGUID other = CreateGUID();
    projects.WriteString(ProjectSection(other), "LocalURL", "http://mysite.test:81/x/");
    projects.WriteString(ProjectSection(other), "LocalPath", Root());
    Form->CurrentProject->OpenProject(other);
    EXPECT_EQ(Server->ServerValues().ProjectHost, "mysite.test");
}

TEST_F(RunShellTest, TheCurrentProjectIsRecordedAtExit)
{
    StartWithServer();
    EXPECT_EQ(Form->CurrentProject->CurrentProject(), Project);
    EXPECT_EQ(Form->ProjectLocalPath(), Root());
    EXPECT_TRUE(Form->close());
    StopWithServer();
    EXPECT_EQ(TIniFileEx(UserFile("Zentupad.dat")).ReadString("Application", "Project", ""), GUIDToString(Project));
}
