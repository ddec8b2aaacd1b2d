// What the run commands compute before anything runs: run-copy names, run URLs, the query or
// body of the script parameters, and the console run's arguments, which must carry any file
// name through the terminal's shell untouched.

#include "run/zuRunCommands.h"
#include "run/zuScriptParameters.h"

#include "Platform/files/FileNames.h"
#include "Platform/text/Strings.h"
#include "support/TempDir.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

TEST(RunCopies, TheMarkerGoesBeforeTheLastDotOfTheName)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/site/index.php", "/site/index~znt~.php"},
        {"/site/script", "/site/script~znt~"},
        {"/si.te/script", "/si.te/script~znt~"},
        {"/a/b.tar.gz", "/a/b.tar~znt~.gz"},
        {"/a/.htaccess", "/a/~znt~.htaccess"},
        {"Untitled0.php", "Untitled0~znt~.php"},
    };
    for (const auto& [name, copy] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(RunCopyFileName(name), copy);
    }
}

TEST(RunURLs, LocalDocumentsRunAtTheProjectsURL)
{
    struct Case {
        int choice;
        std::string localURL;
        std::string runFile;
        std::string url;
    };
    const std::string root = "/srv/www/";
    const std::vector<Case> cases = {
        // Scheme and port of the project's URL dropped, its path kept, the bound port used.
        {0, "http://127.0.0.1:8080/site/", "/srv/www/sub/a.php", "http://127.0.0.1:7906/site/sub/a.php"},
        {0, "127.0.0.1", "/srv/www/a.php", "http://127.0.0.1:7906/a.php"},
        {0, "HTTPS://Example.test:8443/app", "/srv/www/a.php", "http://Example.test:7906/app/a.php"},
        {0, "localhost", "/srv/www/sub/a~znt~.php", "http://localhost:7906/sub/a~znt~.php"},
        // Backslashes become slashes, doubled slashes collapse.
        {0, "http://127.0.0.1//site//", "/srv/www/sub\\b.php", "http://127.0.0.1:7906/site/sub/b.php"},
        // Characters that would end or bend the path are encoded.
        {0, "127.0.0.1", "/srv/www/a b#1?.php", "http://127.0.0.1:7906/a%20b%231%3F.php"},
        {0, "127.0.0.1", "/srv/www/100%.php", "http://127.0.0.1:7906/100%25.php"},
        {0, "127.0.0.1", "/srv/www/\xC3\xA4.php", "http://127.0.0.1:7906/%C3%A4.php"},
        // Another web server, no server, an unknown choice.
        {1, "", "/srv/www/sub/a.php", "http://127.0.0.1:80/sub/a.php"},
        {2, "", "/srv/www/sub/a b.php", "file:///srv/www/sub/a%20b.php"},
        {7, "", "/srv/www/a.php", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.localURL + " " + c.runFile);
        TScriptURLInputs inputs;
        inputs.ServerChoice = c.choice;
        inputs.LocalURL = c.localURL;
        inputs.ServerURL = "http://127.0.0.1:80/";
        inputs.BoundPort = 7906;
        inputs.RunFile = c.runFile;
        inputs.DocumentRoot = root;
        EXPECT_EQ(LocalScriptURL(inputs), c.url);
    }
}

TEST(RunURLs, OnlyFilesBelowTheDocumentRootAreServed)
{
    struct Case {
        const char* Root;
        const char* File;
        bool Inside;
    };
    for (const Case& c : std::vector<Case>{{"/srv/www/", "/srv/www/index.php", true},
                                           {"/srv/www", "/srv/www/sub/a.php", true},
                                           {"/srv/www/", "/srv/www/./sub/../b.php", true},
                                           {"/srv/www/", "/srv/other/a.php", false},
                                           {"/srv/www/", "/srv/www-old/a.php", false},
                                           {"/srv/www/", "/srv/www/../a.php", false},
                                           {"/srv/www/", "/srv/www", false},
                                           {"/", "/home/user/a.php", true}}) {
        SCOPED_TRACE(std::string(c.Root) + " " + c.File);
        EXPECT_EQ(InsideDocumentRoot(c.Root, c.File), c.Inside);
    }
}

TEST(RunURLs, FTPDocumentsRunOnTheRemoteSite)
{
    EXPECT_EQ(RemoteScriptURL("http://127.0.0.1", "/public_html/", "/public_html/x/y.php"), "http://127.0.0.1/x/y.php");
    EXPECT_EQ(RemoteScriptURL("http://www.example.test/", "/public_html/", "/PUBLIC_HTML/y.php"),
              "http://www.example.test/y.php");
    EXPECT_EQ(RemoteScriptURL("www.example.test", "/public_html/", "/other/y.php"),
              "http://www.example.test/other/y.php");
}

TEST(RunURLs, TheProjectHostIsTheNameAlone)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"127.0.0.1", "127.0.0.1"},
        {"http://mysite.test:8080/site/", "mysite.test"},
        {"localhost/app", "localhost"},
        {"", ""},
    };
    for (const auto& [url, host] : cases) {
        SCOPED_TRACE(url);
        EXPECT_EQ(URLHost(url), host);
    }
}

TEST(ScriptParameters, FormEncodingKeepsOnlyLettersAndDigits)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a b", "a+b"},
        {"x&y", "x%26y"},
        {"a.b", "a%2Eb"},
        {"-_.*", "%2D%5F%2E%2A"},
        {std::string(1, char(228)), "%E4"},
        {"Zz09", "Zz09"},
        {"", ""},
    };
    for (const auto& [text, encoded] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(FormEncode(text), encoded);
    }
}

TEST(ScriptParameters, GETGivesAQueryAndPOSTABody)
{
    TStringList parameters;
    parameters.Add("q=a b");
    parameters.Add("r=x&y");
    EXPECT_EQ(BuildQueryString(parameters, RequestMethodGET), "?q=a+b&r=x%26y");
    EXPECT_EQ(BuildQueryString(parameters, RequestMethodPOST), "q=a+b&r=x%26y");

    TStringList none;
    EXPECT_EQ(BuildQueryString(none, RequestMethodGET), "");
    EXPECT_EQ(BuildQueryString(none, RequestMethodPOST), "");

    // Each parameter keeps its own value, also when names differ only in letter case; a value
    // may hold "=".
    TStringList tricky;
    tricky.Add("a=1");
    tricky.Add("A=2");
    tricky.Add("k=a=b");
    EXPECT_EQ(BuildQueryString(tricky, RequestMethodGET), "?a=1&A=2&k=a%3Db");
}

TEST(ConsoleRun, TheFileNameReachesTheInterpreterUntouched)
{
    TempDir dir;
    const std::string seen = dir.File("seen.txt");
    const std::string interpreter = dir.Write("php", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" +
                                                         seen + "\"\n");
    QFile::setPermissions(QString::fromStdString(interpreter), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const std::vector<std::string> names = {
        dir.File("with spaces.php"),
        dir.File("it's \"quoted\".php"),
        dir.File("$(touch pwned) `touch pwned2`; touch pwned3 & x.php"),
        dir.File("-f"),
    };
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::vector<std::string> arguments = ConsoleRunArguments("xterm", interpreter, name);
        ASSERT_GE(arguments.size(), 4u);
        EXPECT_EQ(arguments.front(), "xterm");
        EXPECT_EQ(arguments.back(), name) << "the file travels as an argument of its own";
        // What the terminal runs after "-e", run here without a terminal and with no input, so
        // the closing "read" returns at once.
        const auto e = std::find(arguments.begin(), arguments.end(), "-e");
        ASSERT_NE(e, arguments.end());
        QStringList rest;
        for (auto it = e + 2; it != arguments.end(); ++it)
            rest << QString::fromStdString(*it);
        QProcess shell;
        shell.setWorkingDirectory(QString::fromStdString(dir.Path()));
        shell.setStandardInputFile(QProcess::nullDevice());
        shell.start(QString::fromStdString(*(e + 1)), rest);
        ASSERT_TRUE(shell.waitForFinished(10000));
        EXPECT_EQ(ReadWholeFile(seen), "-f\n" + name + "\n");
        EXPECT_FALSE(FileExists(dir.File("pwned")));
        EXPECT_FALSE(FileExists(dir.File("pwned2")));
        EXPECT_FALSE(FileExists(dir.File("pwned3")));
        EXPECT_TRUE(shell.readAllStandardOutput().contains("Press Enter to close this window..."));
    }
}

TEST(ConsoleRun, TheCGIBuildGivesWayToTheCommandLineBuildBesideIt)
{
    TempDir dir;
    const std::string cgi = dir.Write("bin/php-cgi8.2", "");
    const std::string cli = dir.Write("bin/php8.2", "");
    EXPECT_EQ(ConsoleInterpreterFor(cgi), cli);
    const std::string lone = dir.Write("lone/php-cgi", "");
    EXPECT_EQ(ConsoleInterpreterFor(lone), lone) << "without a command-line build the setting stays";
    EXPECT_EQ(ConsoleInterpreterFor("/opt/php/bin/php"), "/opt/php/bin/php");
}
