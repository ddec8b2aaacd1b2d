// The environment options: what the dialog shows, what Apply gives to the running program and
// writes, the move of the built-in server to a new port, the input rules and Cancel.

#include "src/run/ShellTestSupport.h"

#include "options/zuEnvironmentOptionsForm.h"

#include "app/zuTypes.h"
#include "http/zuHTTPModule.h"

#include "SrcEdit/Source/highlighters/SrcEditHighlighterPhp.h"

#include "ExLib/run/edits/ExFileDirEdit.h"
#include "ExLib/run/edits/ExSpinEdit.h"

#include "Platform/core/QtBridge.h"

#include <QLineEdit>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

struct EnvironmentOptionsTest : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
        SavedEnvironment = PHPEnvironment;
    }
    void TearDown() override
    {
        Server.reset();
        HTTPModule = nullptr;
        PHPEnvironment = SavedEnvironment;
        ShellTest::TearDown();
    }
    // The server module with the built-in server running on a port the system chose.
    void StartServer(bool running = true)
    {
        Server = std::make_unique<THTTPModule>();
        HTTPModule = Server.get();
        const std::string root = Dir.Path() + "/program/project/";
        Server->SetDocumentRootSource([root] { return root; });
        Server->HTTPServer.SetDefaultPort(FreePort());
        Server->CGIRunner.SetTimeOut(30000);
        Server->RestartServer(running);
    }
    static int FreePort()
    {
        QTcpServer probe;
        EXPECT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        return probe.serverPort();
    }
    static bool Answers(int port)
    {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
        return socket.waitForConnected(3000);
    }
    std::string SettingsBytes() const { return ReadWholeFile(UserFile("Zentupad.dat")); }

    std::unique_ptr<THTTPModule> Server;
    TEnvironment SavedEnvironment;
};

} // namespace

TEST_F(EnvironmentOptionsTest, OpeningShowsTheValuesInUse)
{
    Setting("HTTPServer", "ServerURL", "http://localhost:8080/");
    Setting("HTTPServer", "DocumentPath", "/var/www");
    Setting("HTTPServer", "AccessLog", "/var/log/access.log");
    Setting("HTTPServer", "ErrorLog", "/var/log/error.log");
    Start();
    StartServer();
    PHPEnvironment.PHPExecutable = "/usr/bin/php-cgi";
    PHPEnvironment.PHPManual = "/usr/share/doc/php-doc/html";
    Server->CGIRunner.SetPHPIniPath("/etc/php/php.ini");
    Server->CGIRunner.SetTimeOut(45000);
    Module->PHP->SetDefaultFilter("*.PHP;*.inc");

    TEnvironmentOptionsForm form(Form.get());
    EXPECT_EQ(StdStr(form.edCGIExecutable->text()), "/usr/bin/php-cgi");
    EXPECT_EQ(StdStr(form.edHelpFile->text()), "/usr/share/doc/php-doc/html");
    EXPECT_EQ(StdStr(form.edFilter->text()), "*.php;*.inc");
    EXPECT_EQ(StdStr(form.edPHPIniFile->text()), "/etc/php/php.ini");
    EXPECT_EQ(form.edServerPort->IntValue(), Server->BoundPort());
    EXPECT_EQ(form.edTimeOut->IntValue(), 45);
    EXPECT_EQ(StdStr(form.edIndexFiles->text()), "index.php,index.phtml,index.html,index.htm");
    EXPECT_EQ(StdStr(form.edServerURL->text()), "http://localhost:8080/");
    EXPECT_EQ(StdStr(form.edServerPath->text()), "/var/www");
    EXPECT_EQ(StdStr(form.edAccessLog->text()), "/var/log/access.log");
    EXPECT_EQ(StdStr(form.edErrorLog->text()), "/var/log/error.log");
}

TEST_F(EnvironmentOptionsTest, ApplyGivesTheValuesToTheProgramAndWritesEveryKey)
{
    Start();
    StartServer();
    const int port = Server->BoundPort();
    {
        TEnvironmentOptionsForm form(Form.get());
        form.edCGIExecutable->setText(QStringLiteral("/usr/local/bin/php-cgi"));
        form.edHelpFile->setText(QStringLiteral("https://www.php.net/manual/en/"));
        form.edFilter->setText(QStringLiteral("*.php;*.tpl"));
        form.edPHPIniFile->setText(QStringLiteral("/etc/php.ini"));
        form.edTimeOut->SetIntValue(7);
        form.edIndexFiles->setText(QStringLiteral("  main.php,index.html "));
        form.edServerURL->setText(QStringLiteral("http://127.0.0.1:8000/"));
        form.edServerPath->setText(QStringLiteral("/srv/www"));
        form.edAccessLog->setText(QStringLiteral("/srv/access.log"));
        form.edErrorLog->setText(QStringLiteral("/srv/error.log"));
        form.Apply();
        EXPECT_EQ(form.result(), QDialog::Accepted);
    }
    EXPECT_EQ(PHPEnvironment.PHPExecutable, "/usr/local/bin/php-cgi");
    EXPECT_EQ(PHPEnvironment.PHPManual, "https://www.php.net/manual/en/");
    EXPECT_EQ(Module->PHP->DefaultFilter(), "*.php;*.tpl");
    EXPECT_EQ(Module->HighlighterForExtension(".tpl"), reinterpret_cast<TSrcCustomHighlighter*>(Module->PHP));
    EXPECT_EQ(Server->CGIRunner.PHPIniPath(), "/etc/php.ini");
    EXPECT_EQ(Server->CGIRunner.TimeOut(), 7000);
    EXPECT_EQ(Server->ServerValues().PHPFilter, "*.php;*.tpl");
    EXPECT_EQ(Server->ServerValues().IndexFiles, "main.php,index.html");
    EXPECT_NE(Form->OpenDialog.Filter.find("PHP Formats|*.php;*.tpl|"), std::string::npos);
    // A time-out alone leaves the server where it was.
    EXPECT_TRUE(Server->Active());
    EXPECT_EQ(Server->BoundPort(), port);

    const TIniFileEx& ini = *SettingsFile;
    const std::vector<std::tuple<const char*, const char*, std::string>> keys = {
        {"Environment", "CGI", "/usr/local/bin/php-cgi"},
        {"Environment", "INI", "/etc/php.ini"},
        {"Environment", "Documentation", "https://www.php.net/manual/en/"},
        {"PHP", "Filter", "*.php;*.tpl"},
        {"HTTPServer", "IndexFiles", "main.php,index.html"},
        {"HTTPServer", "Port", std::to_string(port)},
        {"HTTPServer", "TimeOut", "7"},
        {"HTTPServer", "ServerURL", "http://127.0.0.1:8000/"},
        {"HTTPServer", "DocumentPath", "/srv/www"},
        {"HTTPServer", "AccessLog", "/srv/access.log"},
        {"HTTPServer", "ErrorLog", "/srv/error.log"},
    };
    for (const auto& [section, key, value] : keys) {
        SCOPED_TRACE(key);
        EXPECT_EQ(ini.ReadString(section, key, "(missing)"), value);
    }

    // The next dialog reads them back.
    TEnvironmentOptionsForm again(Form.get());
    EXPECT_EQ(StdStr(again.edIndexFiles->text()), "main.php,index.html");
    EXPECT_EQ(StdStr(again.edServerPath->text()), "/srv/www");
    EXPECT_EQ(again.edTimeOut->IntValue(), 7);
}

TEST_F(EnvironmentOptionsTest, APortChangeMovesARunningServerToTheNewPort)
{
    Start();
    StartServer();
    const int oldPort = Server->BoundPort();
    const int newPort = FreePort();
    ASSERT_NE(oldPort, newPort);
    TEnvironmentOptionsForm form(Form.get());
    form.edServerPort->SetIntValue(newPort);
    form.Apply();
    EXPECT_TRUE(Server->Active());
    EXPECT_EQ(Server->BoundPort(), newPort);
    EXPECT_TRUE(Answers(newPort));
    EXPECT_FALSE(Answers(oldPort));
    EXPECT_EQ(Settings::HTTPServer::Port.Read(*SettingsFile), newPort);
}

TEST_F(EnvironmentOptionsTest, APortChangeWhileTheServerIsStoppedOnlyStoresThePort)
{
    Start();
    StartServer(false);
    const int newPort = FreePort();
    TEnvironmentOptionsForm form(Form.get());
    form.edServerPort->SetIntValue(newPort);
    form.Apply();
    EXPECT_FALSE(Server->Active());
    EXPECT_FALSE(Answers(newPort));
    EXPECT_EQ(Server->HTTPServer.DefaultPort(), newPort);
    EXPECT_EQ(Settings::HTTPServer::Port.Read(*SettingsFile), newPort);
}

TEST_F(EnvironmentOptionsTest, BlanksAreRefusedAndExtensionsShowInLowerCase)
{
    Start();
    TEnvironmentOptionsForm form(Form.get());
    form.show();
    for (QLineEdit* edit : {form.edFilter, form.edIndexFiles, form.edServerURL}) {
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("a b\tC"));
    }
    EXPECT_EQ(StdStr(form.edFilter->text()), "abc");
    EXPECT_EQ(StdStr(form.edIndexFiles->text()), "abC");
    EXPECT_EQ(StdStr(form.edServerURL->text()), "abC");
}

TEST_F(EnvironmentOptionsTest, PortAndTimeOutStayInTheirRanges)
{
    Start();
    TEnvironmentOptionsForm form(Form.get());
    form.edServerPort->SetIntValue(70000);
    form.edTimeOut->SetIntValue(0);
    EXPECT_EQ(form.edServerPort->IntValue(), 65535);
    EXPECT_EQ(form.edTimeOut->IntValue(), 1);
}

TEST_F(EnvironmentOptionsTest, TheHeaderShowsTheHintOfTheFieldWithTheFocus)
{
    Start();
    TEnvironmentOptionsForm form(Form.get());
    form.show();
    QApplication::setActiveWindow(&form);
    form.edServerPort->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(form.HeaderComment(), "Specify the port number for internal HTTP server");
    form.edFilter->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(form.HeaderComment(), "Specify PHP extension(s)");
}

TEST_F(EnvironmentOptionsTest, CancelChangesNothing)
{
    Setting("HTTPServer", "TimeOut", "30");
    Start();
    StartServer();
    const std::string before = SettingsBytes();
    const int port = Server->BoundPort();
    const std::string interpreter = PHPEnvironment.PHPExecutable;
    TEnvironmentOptionsForm form(Form.get());
    form.edServerPort->SetIntValue(FreePort());
    form.edFilter->setText(QStringLiteral("*.x"));
    form.edCGIExecutable->setText(QStringLiteral("/nowhere/php"));
    form.reject();
    EXPECT_EQ(SettingsBytes(), before);
    EXPECT_EQ(Server->BoundPort(), port);
    EXPECT_EQ(Module->PHP->DefaultFilter(), "*.php;*.php3;*.phtml;*.inc");
    EXPECT_EQ(PHPEnvironment.PHPExecutable, interpreter);
}
