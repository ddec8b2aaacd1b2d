// The internal HTTP server with the real php-cgi: methods and parameters, the script's status
// and headers, index files, MIME types, which files run as PHP, interpreter failures, the
// time-out, stopping, port stepping and the loopback-only listener.

#include "src/http/HttpTestSupport.h"

#include "http/zuHttpPaths.h"

#include "Platform/files/FileNames.h"
#include "Platform/core/QtBridge.h"
#include "Platform/text/TextUtils.h"

#include <QCryptographicHash>
#include <QProcess>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <fstream>
#include <future>
#include <mutex>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// A script that reports what PHP saw of the request, one "key=value" line each.
constexpr std::string_view ReportScript = R"(<?php
echo "METHOD=", $_SERVER['REQUEST_METHOD'], "\n";
echo "GET=", json_encode($_GET), "\n";
echo "POST=", json_encode($_POST), "\n";
echo "QUERY=", $_SERVER['QUERY_STRING'] ?? '(none)', "\n";
echo "URI=", $_SERVER['REQUEST_URI'], "\n";
echo "SELF=", $_SERVER['PHP_SELF'], "\n";
echo "INPUT=", bin2hex(file_get_contents('php://input')), "\n";
)";

std::string Line(const std::string& body, const std::string& key)
{
    const std::string prefix = key + "=";
    size_t start = body.rfind("\n" + prefix);
    start = body.compare(0, prefix.size(), prefix) == 0 ? 0 : (start == std::string::npos ? start : start + 1);
    if (start == std::string::npos)
        return "(missing)";
    const size_t end = body.find('\n', start);
    return body.substr(start + prefix.size(), end == std::string::npos ? std::string::npos : end - start - prefix.size());
}

std::string Hex(std::string_view bytes)
{
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (const unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

class HttpServerTest : public ::testing::Test {
protected:
    TServerTestEnvironment Env;
};

} // namespace

TEST_F(HttpServerTest, GetParametersReachTheScript)
{
    ASSERT_TRUE(Env.Module->Active());
    Env.WriteDoc("a.php", ReportScript);
    const THttpReply reply = HttpGet(Env.Port(), "/a.php?x=1&y=2");
    ASSERT_EQ(reply.Status, 200) << reply.Raw;
    EXPECT_EQ(Line(reply.Body, "METHOD"), "GET");
    EXPECT_EQ(Line(reply.Body, "GET"), R"({"x":"1","y":"2"})");
    EXPECT_EQ(Line(reply.Body, "QUERY"), "x=1&y=2");
    EXPECT_EQ(Line(reply.Body, "URI"), "/a.php");
    // A doubled PATH_INFO would make this "/a.php/a.php".
    EXPECT_EQ(Line(reply.Body, "SELF"), "/a.php");
    EXPECT_EQ(Line(reply.Body, "INPUT"), "");
}

TEST_F(HttpServerTest, PostBodyIsTheInputAloneAndTheQueryStaysTheQuery)
{
    Env.WriteDoc("a.php", ReportScript);
    const std::string body = "p=5&s=a+b&last=end";
    const THttpReply reply = HttpPost(Env.Port(), "/a.php?q=7", body);
    ASSERT_EQ(reply.Status, 200) << reply.Raw;
    EXPECT_EQ(Line(reply.Body, "METHOD"), "POST");
    EXPECT_EQ(Line(reply.Body, "POST"), R"({"p":"5","s":"a b","last":"end"})");
    EXPECT_EQ(Line(reply.Body, "GET"), R"({"q":"7"})");
    EXPECT_EQ(Line(reply.Body, "QUERY"), "q=7");
    // Exactly the body: no zero byte, no CR LF and query after it.
    EXPECT_EQ(Line(reply.Body, "INPUT"), Hex(body));
}

TEST_F(HttpServerTest, LargeBodiesArriveWholeAndUnreadOnesDoNotBlock)
{
    Env.WriteDoc("sum.php", "<?php $in = file_get_contents('php://input'); echo strlen($in), ':', md5($in);");
    Env.WriteDoc("ignore.php", "<?php echo 'ignored';");
    std::string body(3 * 1024 * 1024, 'x');
    for (size_t i = 0; i < body.size(); i += 997)
        body[i] = static_cast<char>('a' + i % 26);
    const THttpReply sum = HttpPost(Env.Port(), "/sum.php", body, "application/octet-stream");
    ASSERT_EQ(sum.Status, 200) << sum.Raw.substr(0, 300);
    const std::string md5 = StdStr(QCryptographicHash::hash(QByteArray::fromStdString(body), QCryptographicHash::Md5).toHex());
    EXPECT_EQ(sum.Body, std::to_string(body.size()) + ":" + md5);

    const auto start = std::chrono::steady_clock::now();
    const THttpReply ignored = HttpPost(Env.Port(), "/ignore.php", body, "application/octet-stream");
    EXPECT_EQ(ignored.Status, 200);
    EXPECT_EQ(ignored.Body, "ignored");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST_F(HttpServerTest, AClientWaitingForContinueIsAskedForItsBodyOnlyWhenItIsNeeded)
{
    Env.WriteDoc("sum.php", "<?php $in = file_get_contents('php://input'); echo strlen($in), ':', $in;");
    Env.WriteDoc("ok.txt", "OK");
    struct Case {
        std::string target;
        bool asked;       // "100 Continue" comes first
        std::string body; // of the final answer
    };
    const std::vector<Case> cases = {
        {"/sum.php", true, "5:hello"},
        {"/ok.txt", false, "OK"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        const int fd = ConnectLoopback(Env.Port());
        ASSERT_GE(fd, 0);
        ASSERT_TRUE(SendAll(fd, "POST " + c.target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 5\r\n"
                                "Expect: 100-continue\r\n\r\n"));
        const std::string received = ReceiveUntilClosed(fd, 5000, [fd](const std::string& sofar) {
            if (sofar == "HTTP/1.1 100 Continue\r\n\r\n")
                SendAll(fd, "hello");
        });
        ::close(fd);
        const std::string continued = "HTTP/1.1 100 Continue\r\n\r\n";
        EXPECT_EQ(received.compare(0, continued.size(), continued) == 0, c.asked) << received;
        EXPECT_NE(received.find("HTTP/1.1 200 OK\r\n"), std::string::npos) << received;
        EXPECT_EQ(received.substr(received.rfind("\r\n\r\n") + 4), c.body);
    }
}

TEST_F(HttpServerTest, HeadAnswersTypeAndSizeWithoutRunningTheScript)
{
    const std::string marker = Env.Dir.File("ran.txt");
    const std::string script = "<?php file_put_contents('" + marker + "', 'ran'); echo 'body';";
    Env.WriteDoc("a.php", script);
    Env.WriteDoc("style.css", "body { color: red; }\n");

    const THttpReply php = HttpHead(Env.Port(), "/a.php");
    EXPECT_EQ(php.Status, 200);
    EXPECT_EQ(php.Header("Content-Length"), std::to_string(script.size()));
    EXPECT_TRUE(php.Body.empty());
    EXPECT_FALSE(FileExists(marker));

    const THttpReply css = HttpHead(Env.Port(), "/style.css");
    EXPECT_EQ(css.Status, 200);
    EXPECT_EQ(css.Header("Content-Type"), "text/css");
    EXPECT_EQ(css.Header("Content-Length"), "21");
    EXPECT_TRUE(css.Body.empty());

    // Even a refusal carries no body for HEAD.
    const THttpReply missing = HttpHead(Env.Port(), "/missing.html");
    EXPECT_EQ(missing.Status, 403);
    EXPECT_TRUE(missing.Body.empty());
}

TEST_F(HttpServerTest, TheScriptSetsStatusAndHeaders)
{
    struct Case {
        std::string script;
        int status;
        std::string header, value;
        std::string body;
    };
    const std::vector<Case> cases = {
        {"<?php http_response_code(404); header('X-Test: yes'); echo 'gone';", 404, "X-Test", "yes", "gone"},
        {"<?php header('Location: /b.php'); echo 'moved';", 302, "Location", "/b.php", "moved"},
        {"<?php header('Status: 301 Moved'); header('Location: /c.php');", 302, "Location", "/c.php", ""},
        {"<?php header('Content-Type: text/plain'); echo 'plain';", 200, "Content-Type", "text/plain", "plain"},
        {"<?php setcookie('k', 'v'); echo 'c';", 200, "Set-Cookie", "k=v", "c"},
        {"<?php header('HTTP/1.1 418 Teapot'); echo 't';", 418, "X-Powered-By", "", "t"},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.script);
        const std::string name = "s" + std::to_string(i) + ".php";
        Env.WriteDoc(name, c.script);
        const THttpReply reply = HttpGet(Env.Port(), "/" + name);
        EXPECT_EQ(reply.Status, c.status) << reply.Raw;
        if (!c.value.empty()) {
            EXPECT_TRUE(StartsText(c.value, reply.Header(c.header))) << reply.Header(c.header);
        }
        EXPECT_EQ(reply.Body, c.body);
        EXPECT_EQ(reply.Header("Connection"), "close");
        EXPECT_EQ(reply.Header("Cache-control"), "no-store, no-cache, must-revalidate");
        EXPECT_EQ(reply.Header("Server"), "Zentu HTTP Server");
    }
}

TEST_F(HttpServerTest, FoldersAreAnsweredWithTheirIndexFile)
{
    struct Case {
        std::string indexFiles;
        std::vector<std::pair<std::string, std::string>> files; // inside the case's folder
        std::string request;                                    // after "/cN"
        int status;
        std::string body;
    };
    const std::string uriScript = "<?php echo 'PHP ', $_SERVER['REQUEST_URI'];";
    const std::vector<Case> cases = {
        {"index.php,index.phtml,index.html,index.htm", {{"index.php", uriScript}, {"index.htm", "HTM"}}, "/", 200,
         "PHP /cN/index.php"},
        {"index.php,index.phtml,index.html,index.htm", {{"index.htm", "HTM"}}, "/", 200, "HTM"},
        {"index.php,index.phtml,index.html,index.htm", {{"sub/index.php", uriScript}}, "/sub", 200,
         "PHP /cN/sub/index.php"},
        {",index.html", {{"index.html", "HTML"}}, "/", 200, "HTML"},
        {"index.php", {{"other.php", uriScript}}, "/", 403, std::string(AccessDeniedPage)},
        {"index.php,index.html", {{"index.php/keep", "a folder named like an index file"}, {"index.html", "HTML"}}, "/",
         200, "HTML"},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const std::string folder = "c" + std::to_string(i);
        SCOPED_TRACE(folder + " " + c.indexFiles);
        for (const auto& [name, bytes] : c.files)
            Env.WriteDoc(folder + "/" + name, bytes);
        Env.Module->UpdateServerValues([&](TServerValues& values) { values.IndexFiles = c.indexFiles; });
        const THttpReply reply = HttpGet(Env.Port(), "/" + folder + c.request);
        EXPECT_EQ(reply.Status, c.status);
        EXPECT_EQ(reply.Body, StringReplace(c.body, "/cN/", "/" + folder + "/", TReplaceFlags{rfReplaceAll}));
    }
}

TEST_F(HttpServerTest, StaticFilesGoOutUnchangedWithTheirMimeType)
{
    struct Case {
        std::string name, bytes, type;
    };
    const std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    const std::vector<Case> cases = {
        {"style.css", "p { margin: 0 }", "text/css"},
        {"page.html", "<p>x</p>", "text/html"},
        {"notes.txt", "just text", "text/plain"},
        {"pic.png", png, "image/png"},
        {"data.json", "{\"a\":1}", "application/json"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Env.WriteDoc(c.name, c.bytes);
        const THttpReply reply = HttpGet(Env.Port(), "/" + c.name);
        EXPECT_EQ(reply.Status, 200);
        EXPECT_EQ(reply.Header("Content-Type"), c.type);
        EXPECT_EQ(reply.Header("Content-Length"), std::to_string(c.bytes.size()));
        EXPECT_EQ(reply.Body, c.bytes);
    }
    Env.WriteDoc("app.js", "var a = 1;");
    const std::string jsType = HttpGet(Env.Port(), "/app.js").Header("Content-Type");
    EXPECT_TRUE(jsType == "application/javascript" || jsType == "text/javascript") << jsType;
}

TEST_F(HttpServerTest, OnlyFilesThatMatchAMaskOfTheFilterRun)
{
    const std::string script = "<?php echo 'R', 'AN';";
    struct Case {
        std::string name;
        bool runs;
    };
    const std::vector<Case> cases = {
        {"a.php", true}, {"b.PHP", true},    {"c.inc", true},      {"d.phtml", true}, {"e.php3", true},
        {"f.p", false},  {"g.ph", false},    {"h.php.txt", false}, {"i.hp", false},   {"noext", false},
        {"j.in", false}, {"k.phpx", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Env.WriteDoc(c.name, script);
        const THttpReply reply = HttpGet(Env.Port(), "/" + c.name);
        EXPECT_EQ(reply.Status, 200);
        EXPECT_EQ(reply.Body, c.runs ? "RAN" : script);
    }

    // A dotted folder name gives no extension to the file below it.
    Env.WriteDoc("lib.php/readme", script);
    EXPECT_EQ(HttpGet(Env.Port(), "/lib.php/readme").Body, script);
}

TEST(FileFilters, EachMaskIsMatchedAgainstTheWholeName)
{
    const std::string filter = "PHP Files (*.php;*.php3;*.phtml;*.inc)|*.php;*.php3;*.phtml;*.inc";
    EXPECT_EQ(FilterMasks(filter), (std::vector<std::string>{"*.php", "*.php3", "*.phtml", "*.inc"}));
    EXPECT_EQ(FilterMasks("A|*.a|B| *.b ; *.c"), (std::vector<std::string>{"*.a", "*.b", "*.c"}));
    EXPECT_EQ(FilterMasks("*.x;*.y"), (std::vector<std::string>{"*.x", "*.y"}));
    struct Case {
        std::string name, mask;
        bool matches;
    };
    const std::vector<Case> cases = {
        {"a.php", "*.php", true},   {"A.PHP", "*.php", true},  {"a.ph", "*.php", false},  {"a.phpx", "*.php", false},
        {"a.php", "?.php", true},   {"ab.php", "?.php", false}, {".php", "*.php", true},  {"x", "*.*", false},
        {"x.y", "*.*", true},       {"index", "index", true},  {"a.b.php", "*.php", true}, {"aaa", "a*a*a", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + " " + c.mask);
        EXPECT_EQ(MatchesMask(c.name, c.mask), c.matches);
    }
    EXPECT_TRUE(IsFileInFilter("/srv/www/x.inc", filter));
    EXPECT_FALSE(IsFileInFilter("/srv/www.php/x", filter));
}

TEST_F(HttpServerTest, InterpreterOutputWithoutHeadersIsAnErrorThatShowsItsText)
{
    const std::string fake = Env.Dir.Write("bin/fake-cgi", "#!/bin/sh\necho 'Security Alert! cannot run'\necho 'on stderr' >&2\n");
    ::chmod(fake.c_str(), 0755);
    std::mutex lock;
    std::string logged;
    Env.Module->OnErrorOutput = [&](const std::string&, const std::string& text) {
        const std::lock_guard guard(lock);
        logged += text;
    };
    Env.Module->UpdateServerValues([&](TServerValues& values) { values.PHPExecutable = fake; });
    Env.WriteDoc("a.php", "<?php echo 1;");
    const THttpReply reply = HttpGet(Env.Port(), "/a.php");
    EXPECT_EQ(reply.Status, 500);
    EXPECT_EQ(reply.Header("Content-Type"), "text/html; charset=utf-8");
    EXPECT_EQ(PreformattedText(reply.Body), "Security Alert! cannot run\n");
    EXPECT_EQ(logged, "on stderr\n");
}

TEST_F(HttpServerTest, APHPErrorIsShownInThePage)
{
    struct Case {
        std::string name, script;
        std::vector<std::string> shown; // escaped as the page holds them
        std::string hidden;             // never in the page as markup
    };
    const std::vector<Case> cases = {
        {"parse", "<?php\necho 'a'\n$x = ;\n", {"PHP Parse error:", "parse.php on line 3"}, ""},
        {"fatal", "<?php\necho '<p>before</p>';\nundefined_function();\n",
         {"PHP Fatal error:", "undefined_function()", "fatal.php"}, "<p>before</p>"},
        {"markup", "<?php throw new Exception('<b>bold</b> & \"quoted\"');",
         {"&lt;b&gt;bold&lt;/b&gt; &amp; &quot;quoted&quot;"}, "<b>bold</b>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Env.WriteDoc(c.name + ".php", c.script);
        const THttpReply reply = HttpGet(Env.Port(), "/" + c.name + ".php");
        EXPECT_EQ(reply.Status, 500);
        EXPECT_EQ(reply.HeaderCount("Content-Type"), 1);
        EXPECT_EQ(reply.Header("Content-Type"), "text/html; charset=utf-8");
        EXPECT_EQ(reply.Header("Content-Length"), std::to_string(reply.Body.size()));
        const std::string text = PreformattedText(reply.Body);
        for (const std::string& part : c.shown)
            EXPECT_NE(text.find(part), std::string::npos) << part << " in " << reply.Body;
        if (!c.hidden.empty()) {
            EXPECT_EQ(reply.Body.find(c.hidden), std::string::npos) << reply.Body;
        }
    }

    // A page that sets 500 itself and runs to its end keeps its own page.
    Env.WriteDoc("own.php", "<?php http_response_code(500); trigger_error('noted'); echo 'own page';");
    const THttpReply own = HttpGet(Env.Port(), "/own.php");
    EXPECT_EQ(own.Status, 500);
    EXPECT_EQ(own.Body, "own page");
}

TEST_F(HttpServerTest, AnAnswerCarriesOneContentType)
{
    struct Case {
        std::string script, type;
    };
    const std::vector<Case> cases = {
        {"<?php echo 1;", "text/html; charset=UTF-8"},
        {"<?php header('Content-Type: text/plain'); echo 1;", "text/plain;charset=UTF-8"},
        {"<?php header('Content-Type: application/json'); echo '{}';", "application/json"},
        // No header line at all: the output starts with its blank line.
        {"<?php header('Content-Type: text/plain'); header_remove('Content-Type'); echo 1;", "text/html"},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.script);
        const std::string name = "t" + std::to_string(i) + ".php";
        Env.WriteDoc(name, c.script);
        const THttpReply reply = HttpGet(Env.Port(), "/" + name);
        EXPECT_EQ(reply.Status, 200);
        EXPECT_EQ(reply.HeaderCount("Content-Type"), 1) << reply.Raw;
        EXPECT_EQ(reply.Header("Content-Type"), c.type) << reply.Raw;
        EXPECT_EQ(reply.Body, c.type == "application/json" ? "{}" : "1");
    }
}

TEST_F(HttpServerTest, StandardErrorIsLoggedApartFromThePage)
{
    std::mutex lock;
    std::string logged, script;
    Env.Module->OnErrorOutput = [&](const std::string& path, const std::string& text) {
        const std::lock_guard guard(lock);
        logged += text;
        script = path;
    };
    const std::string path = Env.WriteDoc("e.php", "<?php file_put_contents('php://stderr', 'trace line'); echo 'page';");
    const THttpReply reply = HttpGet(Env.Port(), "/e.php");
    EXPECT_EQ(reply.Status, 200);
    EXPECT_EQ(reply.Body, "page");
    EXPECT_EQ(logged, "trace line");
    EXPECT_EQ(script, path);
}

TEST_F(HttpServerTest, MissingInterpreterIsAServerError)
{
    Env.Module->UpdateServerValues([](TServerValues& values) { values.PHPExecutable = "/nonexistent/php-cgi"; });
    Env.WriteDoc("a.php", "<?php echo 1;");
    Env.WriteDoc("a.txt", "text");
    const THttpReply php = HttpGet(Env.Port(), "/a.php");
    EXPECT_EQ(php.Status, 500);
    EXPECT_EQ(php.Body, NotFoundPage);
    EXPECT_EQ(HttpGet(Env.Port(), "/a.txt").Body, "text");
}

TEST_F(HttpServerTest, AMissingDataPageBecomesA500WithTheMessage)
{
    DeleteFile(Env.Dir.File("data/AccessDenied.html"));
    const THttpReply reply = HttpGet(Env.Port(), "/missing.txt");
    EXPECT_EQ(reply.Status, 500);
    EXPECT_NE(reply.Body.find("AccessDenied.html"), std::string::npos) << reply.Body;
}

TEST_F(HttpServerTest, TimeOutEndsTheInterpreterAndWhatItStarted)
{
    Env.Module->CGIRunner.SetTimeOut(1500);
    const std::string pids = Env.Dir.File("pids.txt");
    Env.WriteDoc("slow.php", "<?php $child = trim(shell_exec('sleep 60 > /dev/null 2>&1 & echo $!'));\n"
                             "file_put_contents('" + pids + "', getmypid() . ' ' . $child);\nsleep(60);");
    const auto start = std::chrono::steady_clock::now();
    const THttpReply reply = HttpGet(Env.Port(), "/slow.php");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(reply.Status, 500);
    EXPECT_EQ(reply.Body, Env.Module->CGIRunner.TimeOutMsg);

    std::ifstream in(pids);
    int php = 0, child = 0;
    in >> php >> child;
    ASSERT_GT(php, 0);
    ASSERT_GT(child, 0);
    EXPECT_TRUE(WaitFor([&] { return !ProcessAlive(php) && !ProcessAlive(child); }, std::chrono::seconds(3)));
    EXPECT_EQ(Env.Module->CGIRunner.RunningCount(), 0u);
}

TEST_F(HttpServerTest, StoppingEndsOnlyTheInterpretersThisServerStarted)
{
    // Another php-cgi of this very program, not started by the server.
    const std::string other = Env.Dir.Write("other.php", "<?php sleep(60);");
    QProcess foreign;
    QProcessEnvironment environment;
    environment.insert("REDIRECT_STATUS", "200");
    environment.insert("SCRIPT_FILENAME", QString::fromStdString(other));
    environment.insert("REQUEST_METHOD", "GET");
    foreign.setProcessEnvironment(environment);
    foreign.start(QString::fromStdString(CGIExecutableFor("")), {});
    ASSERT_TRUE(foreign.waitForStarted());

    const std::string pidFile = Env.Dir.File("pid.txt");
    Env.WriteDoc("slow.php", "<?php file_put_contents('" + pidFile + "', getmypid()); sleep(60);");
    const int port = Env.Port();
    auto pending = std::async(std::launch::async, [port] { return HttpGet(port, "/slow.php"); });
    ASSERT_TRUE(WaitFor([&] { return ReadPid(pidFile) > 0; }, std::chrono::seconds(10)));
    const int served = ReadPid(pidFile);

    const auto start = std::chrono::steady_clock::now();
    Env.Module->RestartServer(false);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_FALSE(Env.Module->Active());
    EXPECT_TRUE(WaitFor([&] { return !ProcessAlive(served); }, std::chrono::seconds(3)));
    EXPECT_EQ(pending.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(foreign.state(), QProcess::Running);
    EXPECT_TRUE(ProcessAlive(static_cast<int>(foreign.processId())));
    foreign.kill();
    foreign.waitForFinished();

    // Started again, it serves PHP again.
    Env.Module->RestartServer(true);
    Env.WriteDoc("quick.php", "<?php echo 'again';");
    EXPECT_EQ(HttpGet(Env.Port(), "/quick.php").Body, "again");
}

TEST_F(HttpServerTest, SeveralRequestsAreServedAtOnce)
{
    Env.WriteDoc("n.php", "<?php usleep(200000); echo $_GET['n'];");
    std::vector<std::future<THttpReply>> replies;
    for (int i = 0; i < 8; ++i)
        replies.push_back(std::async(std::launch::async, [this, i] { return HttpGet(Env.Port(), "/n.php?n=" + std::to_string(i)); }));
    for (int i = 0; i < 8; ++i) {
        const THttpReply reply = replies[static_cast<size_t>(i)].get();
        EXPECT_EQ(reply.Status, 200);
        EXPECT_EQ(reply.Body, std::to_string(i));
    }
}

TEST_F(HttpServerTest, RequestsTheServerCannotTakeAreRefusedByIt)
{
    struct Case {
        std::string raw;
        int status;
    };
    const std::vector<Case> cases = {
        {"GARBAGE\r\n\r\n", 400},
        {"PUT /a.txt HTTP/1.1\r\nHost: x\r\n\r\n", 501},
        {"DELETE /a.txt HTTP/1.1\r\n\r\n", 501},
        {"GET /a.txt HTTP/2.0\r\n\r\n", 505},
        {"GET a.txt HTTP/1.1\r\n\r\n", 400},
        {"POST /a.txt HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n", 411},
        {"POST /a.txt HTTP/1.1\r\nContent-Length: -5\r\n\r\n", 400},
        {"POST /a.txt HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab", 400},
        {"GET /a.txt HTTP/1.1\r\nBad Header\r\n\r\n", 400},
        {"GET /a.txt HTTP/1.1\r\n\r\n", 200},
        {"GET /a.txt HTTP/1.0\r\n\r\n", 200},
        {"GET http://127.0.0.1/a.txt HTTP/1.1\r\n\r\n", 200},
    };
    Env.WriteDoc("a.txt", "text");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raw);
        EXPECT_EQ(SendRaw(Env.Port(), c.raw).Status, c.status);
    }
}

TEST(HttpServerPorts, ATakenPortIsSteppedOverAndTheStepStays)
{
    // Find a port P with P and P + 1 free, then take P.
    int taken = -1, fd = -1;
    for (int attempt = 0; attempt < 20 && taken < 0; ++attempt) {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(fd, 1);
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        const int port = ntohs(address.sin_port);
        const int probe = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        address.sin_port = htons(static_cast<std::uint16_t>(port + 1));
        const bool nextFree = port < 65535 && ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(probe);
        if (nextFree)
            taken = port;
        else
            ::close(fd);
    }
    ASSERT_GT(taken, 0);

    TServerTestEnvironment env;
    env.WriteDoc("a.txt", "served");
    env.Module->RestartServer(false);
    env.Module->HTTPServer.SetDefaultPort(taken);
    env.Module->RestartServer(true);
    ASSERT_TRUE(env.Module->Active());
    EXPECT_EQ(env.Module->BoundPort(), taken + 1);
    EXPECT_EQ(HttpGet(taken + 1, "/a.txt").Body, "served");

    // Once the port is free again, a restart still begins at the stepped port.
    ::close(fd);
    env.Module->RestartServer(true);
    EXPECT_EQ(env.Module->BoundPort(), taken + 1);
    EXPECT_EQ(HttpGet(taken + 1, "/a.txt").Body, "served");
}

TEST(HttpServerPorts, ListensOnTheLoopbackAddressOnly)
{
    TServerTestEnvironment env;
    char portHex[8];
    std::snprintf(portHex, sizeof portHex, "%04X", env.Port());
    auto listeners = [&](const char* table) {
        std::vector<std::string> addresses;
        std::ifstream in(table);
        std::string line;
        std::getline(in, line);
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            std::string slot, local, remote, state;
            fields >> slot >> local >> remote >> state;
            const size_t colon = local.rfind(':');
            if (state == "0A" && colon != std::string::npos && local.substr(colon + 1) == portHex)
                addresses.push_back(local.substr(0, colon));
        }
        return addresses;
    };
    EXPECT_EQ(listeners("/proc/net/tcp"), std::vector<std::string>{"0100007F"});
    EXPECT_TRUE(listeners("/proc/net/tcp6").empty());
}
