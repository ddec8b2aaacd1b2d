// The CGI runner's pieces: the environment block, the header lookups, how output becomes the
// answer, the interpreter that CGI runs start, and process runs with their groups, input,
// separate standard error, time-out and output limit.

#include "http/zuCGIRunner.h"

#include "src/http/HttpTestSupport.h"

#include "http/zuHttpRequest.h"
#include "http/zuHttpResponse.h"

#include "Platform/text/TextUtils.h"

#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

TNetHTTPRequestInfo MakeRequest(const std::string& head)
{
    TNetHTTPRequestInfo request;
    EXPECT_EQ(ParseRequestHead(head, request).Status, 0);
    request.RemoteIP = "127.0.0.1";
    return request;
}

TCGIRunContext MakeContext()
{
    TCGIRunContext context;
    context.Executable = "/usr/bin/php-cgi";
    context.DocumentRoot = "/srv/www/";
    context.ScriptPath = "/srv/www/a.php";
    context.LocalIP = "127.0.0.1";
    context.LocalPort = 7905;
    context.RemoteHost = "localhost";
    context.HasServer = true;
    context.ServerSoftware = "Zentu HTTP Server";
    context.PHPIniPath = "/etc/zentu/php.ini";
    context.ServerAdmin = "admin@example.invalid";
    return context;
}

std::vector<std::string> Names(const std::vector<std::string>& environment)
{
    std::vector<std::string> names;
    for (const std::string& entry : environment)
        names.push_back(entry.substr(0, entry.find('=')));
    return names;
}

// The value of NAME, or "(absent)".
std::string Value(const std::vector<std::string>& environment, const std::string& name)
{
    for (const std::string& entry : environment)
        if (entry.compare(0, name.size() + 1, name + "=") == 0)
            return entry.substr(name.size() + 1);
    return "(absent)";
}

std::vector<std::string> ReadLinesOf(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::string MakeScript(const TempDir& dir, const std::string& name, const std::string& text)
{
    const std::string path = dir.Write(name, "#!/bin/sh\n" + text);
    ::chmod(path.c_str(), 0755);
    return path;
}

} // namespace

TEST(CGIEnvironment, AllVariablesInTheirOrder)
{
    const TNetHTTPRequestInfo request = MakeRequest("GET /a.php?x=1&y=2 HTTP/1.1\r\nHost: 127.0.0.1:7905");
    const std::vector<std::string> expected = {
        "SERVER_SOFTWARE", "HTTP_CONTENT_TYPE", "CONTENT_TYPE", "URL", "PHPRC", "REDIRECT_STATUS",
        "HTTP_REDIRECT_STATUS", "REDIRECT_URL", "CONTENT_LENGTH", "HTTP_CONTENT_LENGTH", "SERVER_NAME",
        "SERVER_PROTOCOL", "SERVER_PORT", "GATEWAY_INTERFACE", "REQUEST_METHOD", "SCRIPT_NAME", "QUERY_STRING",
        "REMOTE_ADDR", "REMOTE_HOST", "SystemRoot", "COMSPEC", "WINDIR", "PATH", "PATH_INFO", "REQUEST_URI",
        "PATH_TRANSLATED", "SCRIPT_FILENAME", "HTTP_DATE", "HTTP_CACHE_CONTROL", "HTTP_ACCEPT", "HTTP_FROM",
        "HTTP_HOST", "HTTP_IF_MODIFIED_SINCE", "HTTP_REFERER", "HTTP_CONTENT_ENCODING", "HTTP_CONTENT_VERSION",
        "HTTP_DERIVED_FROM", "HTTP_EXPIRES", "HTTP_TITLE", "HTTP_CONNECTION", "HTTP_AUTHORIZATION",
        "HTTP_ACCEPT_LANGUAGE", "HTTP_ACCEPT_ENCODING", "HTTP_USER_AGENT", "HTTP_COOKIE", "SERVER_ADDR",
        "DOCUMENT_ROOT", "SERVER_ADMIN"};
    EXPECT_EQ(Names(BuildCGIEnvironment(request, MakeContext())), expected);

    TCGIRunContext bare = MakeContext();
    bare.HasServer = false;
    bare.PHPSupport = false;
    const std::vector<std::string> names = Names(BuildCGIEnvironment(request, bare));
    EXPECT_EQ(names.size(), 43u);
    for (const char* absent : {"SERVER_SOFTWARE", "PHPRC", "REDIRECT_STATUS", "HTTP_REDIRECT_STATUS", "REDIRECT_URL"})
        EXPECT_EQ(std::count(names.begin(), names.end(), absent), 0) << absent;
}

TEST(CGIEnvironment, ValuesFromTheRequest)
{
    struct Case {
        std::string head, name, value;
    };
    const std::string post = "POST /dir/a.php?q=7 HTTP/1.1\r\nHost: 127.0.0.1:7905\r\nContent-Type: "
                             "application/x-www-form-urlencoded\r\nContent-Length: 3\r\nCache-Control: no-cache\r\n"
                             "Cookie: k=v\r\nUser-Agent: Test/1.0\r\nIf-Modified-Since: Sat, 1 Jan 2000";
    const std::string get = "GET /a.php?x=1&y=2 HTTP/1.0\r\nHost: 127.0.0.1:7905";
    const std::vector<Case> cases = {
        {get, "QUERY_STRING", "x=1&y=2"},
        {get, "REQUEST_URI", "/a.php"},
        {get, "REQUEST_METHOD", "GET"},
        {get, "SERVER_PROTOCOL", "HTTP/1.0"},
        {get, "SERVER_NAME", "127.0.0.1:7905"},
        {get, "HTTP_HOST", "127.0.0.1:7905"},
        {get, "HTTP_REFERER", ""},
        {get, "CONTENT_LENGTH", ""},
        {get, "GATEWAY_INTERFACE", "CGI/1.1"},
        {get, "REDIRECT_STATUS", "200"},
        {get, "PHPRC", "/etc/zentu/php.ini"},
        {get, "SERVER_PORT", "7905"},
        {get, "SERVER_ADDR", "127.0.0.1"},
        {get, "REMOTE_ADDR", "127.0.0.1"},
        {get, "REMOTE_HOST", "localhost"},
        {get, "DOCUMENT_ROOT", "/srv/www/"},
        {get, "SERVER_ADMIN", "admin@example.invalid"},
        {get, "SERVER_SOFTWARE", "Zentu HTTP Server"},
        // The script itself, not the interpreter: today's php-cgi runs what SCRIPT_FILENAME names.
        {get, "SCRIPT_FILENAME", "/srv/www/a.php"},
        {get, "PATH_TRANSLATED", "/srv/www/a.php"},
        {get, "PATH_INFO", ""},
        {post, "QUERY_STRING", "q=7"},
        {post, "REQUEST_METHOD", "POST"},
        {post, "CONTENT_LENGTH", "3"},
        {post, "HTTP_CONTENT_LENGTH", "3"},
        {post, "CONTENT_TYPE", "application/x-www-form-urlencoded"},
        {post, "HTTP_CACHE_CONTROL", "no-cache"},
        {post, "HTTP_COOKIE", "k=v"},
        {post, "HTTP_USER_AGENT", "Test/1.0"},
        {post, "HTTP_IF_MODIFIED_SINCE", "Sat, 1 Jan 2000"},
        {post, "SCRIPT_NAME", "/dir/a.php"},
        {"GET /cgi/run.EXE/more HTTP/1.1", "URL", "/cgi/run.EXE"},
        {"GET /cgi/run.EXE/more HTTP/1.1", "SCRIPT_NAME", "/cgi/run.EXE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + " of " + c.head.substr(0, c.head.find('\r')));
        EXPECT_EQ(Value(BuildCGIEnvironment(MakeRequest(c.head), MakeContext()), c.name), c.value);
    }

    TCGIRunContext withPathInfo = MakeContext();
    withPathInfo.PathInfo = "/extra";
    EXPECT_EQ(Value(BuildCGIEnvironment(MakeRequest(get), withPathInfo), "PATH_INFO"), "/extra");
}

TEST(CGIEnvironment, HeaderLookups)
{
    const TNetHTTPRequestInfo request =
        MakeRequest("GET / HTTP/1.1\r\nCache-Control: max-age=0\r\nACCEPT: text/html\r\nX_Under: u");
    EXPECT_EQ(StripHTTPPrefix("HTTP_ACCEPT"), "ACCEPT");
    EXPECT_EQ(StripHTTPPrefix("ACCEPT_HTTP_"), "ACCEPT_HTTP_");
    EXPECT_EQ(FindRequestHeader("accept", request), "text/html");
    EXPECT_EQ(FindRequestHeader("HTTP_ACCEPT", request), "text/html");
    EXPECT_EQ(FindRequestHeader("CACHE_CONTROL", request), "max-age=0");
    EXPECT_EQ(FindRequestHeader("X_Under", request), "u");
    EXPECT_EQ(FindRequestHeaderAlt("HTTP_CACHE_CONTROL", request), "max-age=0");
    EXPECT_EQ(FindRequestHeader("REFERER", request), "");
}

TEST(CGIOutput, HeaderBlockBecomesStatusTypeAndHeaderLines)
{
    struct Case {
        std::string output;
        int status;
        // The one Content-Type line of the answer: the script's own, else the server's.
        std::string contentTypeLine;
        std::vector<std::string> scriptLines;
        std::string body;
    };
    const std::vector<Case> cases = {
        {"Content-type: text/html\r\n\r\nhello", 200, "Content-type: text/html", {"Content-type: text/html"}, "hello"},
        {"Status: 404 Not Found\r\nContent-type: text/plain\r\n\r\nx", 404, "Content-type: text/plain",
         {"Status: 404 Not Found", "Content-type: text/plain"}, "x"},
        {"Status: 301 Moved\r\nLocation: /b.php\r\n\r\n", 302, "Content-Type: text/html",
         {"Status: 301 Moved", "Location: /b.php"}, ""},
        {"Content-Type:text/html\r\n\r\nb", 200, "Content-Type:text/html", {"Content-Type:text/html"}, "b"},
        {"content-type : image/png\r\n\r\nb", 200, "content-type : image/png", {"content-type : image/png"}, "b"},
        {"Status: abc\r\n\r\nb", 200, "Content-Type: text/html", {"Status: abc"}, "b"},
        {"Status: 999\r\n\r\nb", 200, "Content-Type: text/html", {"Status: 999"}, "b"},
        {"Location: \r\n\r\nb", 200, "Content-Type: text/html", {"Location: "}, "b"},
        {"X-A: 1\nX-B: 2\r\n\r\nbody\r\n\r\nmore", 200, "Content-Type: text/html", {"X-A: 1", "X-B: 2"},
         "body\r\n\r\nmore"},
        {"\r\nno header lines", 200, "Content-Type: text/html", {}, "no header lines"},
        // A script's own 500 without a failed run stays the script's answer.
        {"Status: 500 Oops\r\nContent-type: text/html\r\n\r\ncustom", 500, "Content-type: text/html",
         {"Status: 500 Oops"}, "custom"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        std::string wire;
        TNetHTTPResponseInfo response([&wire](std::string_view bytes) {
            wire += bytes;
            return true;
        });
        SendCGIOutput(c.output, "PHP Warning: only logged", false, response);
        response.WriteContent();
        EXPECT_EQ(response.ResponseNo(), c.status);
        const std::string head = wire.substr(0, wire.find("\r\n\r\n") + 2);
        EXPECT_EQ(head.find("Content-Length"), std::string::npos) << head;
        std::vector<std::string> typeLines;
        for (const std::string& line : ReadLinesOf(head))
            if (SameText(Trim(line.substr(0, line.find(':'))), "content-type"))
                typeLines.push_back(line);
        EXPECT_EQ(typeLines, std::vector<std::string>{c.contentTypeLine}) << head;
        for (const std::string& line : c.scriptLines)
            EXPECT_NE(head.find("\r\n" + line + "\r\n"), std::string::npos) << line;
        EXPECT_EQ(wire.substr(wire.find("\r\n\r\n") + 4), c.body);
    }
}

TEST(CGIOutput, AFailedRunShowsWhyInAnErrorPage)
{
    const std::string php500 = "Status: 500 Internal Server Error\r\nContent-type: text/html; charset=UTF-8\r\n\r\n";
    struct Case {
        std::string name, output, errors;
        bool failed;
        std::string shown; // "" when the script's own answer stands
    };
    const std::vector<Case> cases = {
        {"no header block", "No input file specified.\n", "", true, "No input file specified.\n"},
        {"no header block, text on standard error", "", "PHP Fatal error: out of memory\n", true,
         "PHP Fatal error: out of memory\n"},
        {"header block without its blank line", "Content-type: text/html\r\nno blank line", "", false,
         "Content-type: text/html\r\nno blank line"},
        {"no output at all", "", "", true, "The PHP interpreter ended without any output."},
        {"markup in the text", "<b>x</b> & 'y'\n", "", false, "<b>x</b> & 'y'\n"},
        {"parse error", php500, "PHP Parse error:  syntax error, unexpected \"<\" in /a.php on line 3\n", true,
         "PHP Parse error:  syntax error, unexpected \"<\" in /a.php on line 3\n"},
        {"fatal error after some output", php500 + "<p>partial", "PHP Fatal error:  Uncaught Error\n", true,
         "PHP Fatal error:  Uncaught Error\n"},
        {"failed without a message", php500, "", true, ""},
        {"failed with a status of its own", "Status: 404 Not Found\r\n\r\nnot here", "PHP Warning: x\n", true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TNetHTTPResponseInfo response;
        SendCGIOutput(c.output, c.errors, c.failed, response);
        if (c.shown.empty()) {
            EXPECT_TRUE(response.HeaderHasBeenWritten());
            EXPECT_FALSE(response.CustomHeaders.empty());
            continue;
        }
        EXPECT_EQ(response.ResponseNo(), 500);
        EXPECT_EQ(response.ContentType, "text/html; charset=utf-8");
        EXPECT_TRUE(response.CustomHeaders.empty());
        EXPECT_EQ(response.ContentLength, static_cast<std::int64_t>(response.ContentText.size()));
        EXPECT_EQ(PreformattedText(response.ContentText), HTMLEscaped(c.shown));
        EXPECT_EQ(response.ContentText.find("partial"), std::string::npos);
    }
    EXPECT_EQ(HTMLEscaped("<a href=\"x\">&'</a>"), "&lt;a href=&quot;x&quot;&gt;&amp;&#39;&lt;/a&gt;");
}

TEST(CGIExecutable, TheSettingNamesTheCGIBuild)
{
    TempDir dir;
    const std::string cli = MakeScript(dir, "bin/php8.2", "");
    const std::string cgi = MakeScript(dir, "bin/php-cgi8.2", "");
    const std::string plainCli = MakeScript(dir, "other/php", "");
    const std::string plainCgi = MakeScript(dir, "other/php-cgi", "");
    const std::string lonely = MakeScript(dir, "lonely/php", "");
    EXPECT_EQ(CGIExecutableFor(cli), cgi);
    EXPECT_EQ(CGIExecutableFor(plainCli), plainCgi);
    EXPECT_EQ(CGIExecutableFor(cgi), cgi);
    EXPECT_EQ(CGIExecutableFor(lonely), lonely);
    EXPECT_EQ(CGIExecutableFor("/opt/custom-interpreter"), "/opt/custom-interpreter");
    const std::string found = CGIExecutableFor("");
    EXPECT_EQ(found.substr(found.rfind('/') + 1), "php-cgi");
    EXPECT_EQ(::access(found.c_str(), X_OK), 0);
}

TEST(CGIProcess, InputOutputAndErrorsStayApart)
{
    TempDir dir;
    TCGIProcessGroups groups;
    TCGIProcessRequest request;
    request.Executable = MakeScript(dir, "cat.sh", "echo \"[$GREETING]\"\nod -An -tx1\necho oops >&2\nexit 3\n");
    request.Environment = {"GREETING=hi", "PATH=/usr/bin:/bin"};
    request.Input = std::string("a\0b", 3);
    const TCGIProcessResult result = RunCGIProcess(request, groups);
    EXPECT_EQ(result.StartError, 0);
    EXPECT_FALSE(result.TimedOut);
    EXPECT_EQ(result.ExitCode, 3);
    EXPECT_EQ(result.Output.substr(0, 5), "[hi]\n");
    EXPECT_EQ(result.Output.substr(5), " 61 00 62\n");
    EXPECT_EQ(result.ErrorOutput, "oops\n");
    EXPECT_EQ(groups.Count(), 0u);
}

TEST(CGIProcess, OnlyTheGivenEnvironmentIsPassed)
{
    TempDir dir;
    TCGIProcessGroups groups;
    TCGIProcessRequest request;
    request.Executable = MakeScript(dir, "env.sh", "/usr/bin/env\n");
    request.Environment = {"ONLY=this"};
    const TCGIProcessResult result = [&] {
        const ScopedEnvironment leak("ZENTU_LEAK_CHECK", "leaked");
        return RunCGIProcess(request, groups);
    }();
    EXPECT_NE(result.Output.find("ONLY=this"), std::string::npos);
    EXPECT_EQ(result.Output.find("ZENTU_LEAK_CHECK"), std::string::npos);
}

TEST(CGIProcess, AMissingProgramIsAStartError)
{
    TCGIProcessGroups groups;
    TCGIProcessRequest request;
    request.Executable = "/nonexistent/php-cgi";
    const TCGIProcessResult result = RunCGIProcess(request, groups);
    EXPECT_NE(result.StartError, 0);
    EXPECT_FALSE(result.PipeFailed);
}

TEST(CGIProcess, TimeOutEndsTheWholeGroup)
{
    TempDir dir;
    TCGIProcessGroups groups;
    TCGIProcessRequest request;
    const std::string pids = dir.File("pids");
    request.Executable = MakeScript(dir, "slow.sh", "sleep 60 &\necho $$ $! > '" + pids + "'\nwait\n");
    request.Environment = {"PATH=/usr/bin:/bin"};
    request.TimeOut = std::chrono::milliseconds(500);
    const auto start = std::chrono::steady_clock::now();
    const TCGIProcessResult result = RunCGIProcess(request, groups);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(result.TimedOut);
    int shell = 0, child = 0;
    std::ifstream(pids) >> shell >> child;
    ASSERT_GT(child, 0);
    for (int i = 0; i < 100 && ProcessAlive(child); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(ProcessAlive(shell));
    EXPECT_FALSE(ProcessAlive(child));
}

TEST(CGIProcess, OutputBeyondTheLimitEndsTheRunAndIsNotKept)
{
    TempDir dir;
    TCGIProcessGroups groups;
    TCGIProcessRequest request;
    request.Environment = {"PATH=/usr/bin:/bin"};
    request.MaxOutput = 1 << 20;
    request.TimeOut = std::chrono::seconds(20);
    struct Case {
        const char* name;
        std::string script;
    };
    const std::vector<Case> cases = {
        {"stdout", "head -c 3000000 /dev/zero\nsleep 30\n"},
        {"stderr", "head -c 3000000 /dev/zero >&2\nsleep 30\n"},
        {"fast", "yes | head -c 50000000\nsleep 30\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        request.Executable = MakeScript(dir, std::string(c.name) + ".sh", c.script);
        const auto start = std::chrono::steady_clock::now();
        const TCGIProcessResult result = RunCGIProcess(request, groups);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        EXPECT_TRUE(result.OutputTooLarge);
        EXPECT_FALSE(result.TimedOut);
        EXPECT_LE(result.Output.size(), request.MaxOutput + 65536);
        EXPECT_LE(result.ErrorOutput.size(), request.MaxOutput + 65536);
        EXPECT_EQ(groups.Count(), 0u);
    }

    // Output up to the limit is kept whole.
    request.Executable = MakeScript(dir, "fits.sh", "head -c 1048576 /dev/zero\n");
    const TCGIProcessResult fits = RunCGIProcess(request, groups);
    EXPECT_FALSE(fits.OutputTooLarge);
    EXPECT_EQ(fits.Output.size(), request.MaxOutput);
    EXPECT_EQ(fits.ExitCode, 0);
}

TEST(CGIProcess, InputTheChildNeverReadsDoesNotHoldTheRun)
{
    TempDir dir;
    TCGIProcessGroups groups;
    TCGIProcessRequest request;
    request.Executable = MakeScript(dir, "deaf.sh", "sleep 60\n");
    request.Environment = {"PATH=/usr/bin:/bin"};
    request.Input = std::string(8 * 1024 * 1024, 'x');
    request.TimeOut = std::chrono::milliseconds(500);
    const auto start = std::chrono::steady_clock::now();
    const TCGIProcessResult result = RunCGIProcess(request, groups);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(result.TimedOut);
}

TEST(CGIProcess, EndAllEndsRunningGroupsAndRefusesNewOnes)
{
    TempDir dir;
    TCGIProcessGroups groups;
    TCGIProcessRequest request;
    request.Executable = MakeScript(dir, "wait.sh", "sleep 60\n");
    request.Environment = {"PATH=/usr/bin:/bin"};
    request.TimeOut = std::chrono::seconds(60);
    TCGIProcessResult result;
    std::thread run([&] { result = RunCGIProcess(request, groups); });
    for (int i = 0; i < 250 && groups.Count() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(groups.Count(), 1u);
    const auto start = std::chrono::steady_clock::now();
    groups.EndAll();
    run.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(result.Killed);
    EXPECT_FALSE(result.TimedOut);

    EXPECT_NE(RunCGIProcess(request, groups).StartError, 0);
    groups.AllowRuns();
    request.Executable = MakeScript(dir, "quick.sh", "echo done\n");
    EXPECT_EQ(RunCGIProcess(request, groups).Output, "done\n");
}

namespace {

// Input that arrives over a socket, as a request body does.
class TSocketInput : public TCGIInputSource {
public:
    TSocketInput(int fd, std::int64_t size) : FFd(fd), FLeft(size) {}
    std::int64_t InputLeft() const override { return FLeft; }
    int InputFd() const override { return FFd; }
    bool TakeInput(std::string& into, size_t limit) override
    {
        char chunk[65536];
        const ssize_t n = ::recv(FFd, chunk, std::min({limit, sizeof chunk, static_cast<size_t>(FLeft)}), MSG_DONTWAIT);
        if (n > 0) {
            into.append(chunk, static_cast<size_t>(n));
            FLeft -= n;
            return true;
        }
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
    }

private:
    int FFd;
    std::int64_t FLeft;
};

struct TSocketPair {
    int Ends[2] = {-1, -1};
    TSocketPair() { ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, Ends); }
    ~TSocketPair()
    {
        for (const int fd : Ends)
            if (fd >= 0)
                ::close(fd);
    }
    void CloseEnd(int i)
    {
        ::close(Ends[i]);
        Ends[i] = -1;
    }
};

} // namespace

TEST(CGIProcess, StreamedInputArrivesWholeAfterTheGivenBytes)
{
    TempDir dir;
    TCGIProcessGroups groups;
    TSocketPair pair;
    std::string streamed(5 * 1024 * 1024 + 17, '\0');
    for (size_t i = 0; i < streamed.size(); ++i)
        streamed[i] = static_cast<char>((i * 7919) >> 3);
    // The sender trickles in pieces that straddle the runner's chunks.
    std::thread sender([&] {
        std::string_view rest = streamed;
        while (!rest.empty()) {
            const ssize_t n = ::send(pair.Ends[1], rest.data(), std::min<size_t>(rest.size(), 40000), MSG_NOSIGNAL);
            if (n <= 0)
                break;
            rest.remove_prefix(static_cast<size_t>(n));
        }
    });
    TSocketInput source(pair.Ends[0], static_cast<std::int64_t>(streamed.size()));
    TCGIProcessRequest request;
    request.Executable = MakeScript(dir, "sum.sh", "md5sum\n");
    request.Environment = {"PATH=/usr/bin:/bin"};
    request.Input = "given:";
    request.InputSource = &source;
    request.ClientFd = pair.Ends[0];
    const TCGIProcessResult result = RunCGIProcess(request, groups);
    sender.join();
    const std::string expected =
        QCryptographicHash::hash(QByteArray::fromStdString("given:" + streamed), QCryptographicHash::Md5).toHex().toStdString();
    EXPECT_FALSE(result.ClientGone);
    EXPECT_EQ(result.Output.substr(0, 32), expected);
    EXPECT_EQ(source.InputLeft(), 0);
}

TEST(CGIProcess, AClientThatGoesAwayEndsTheRunWithItsGroup)
{
    struct Case {
        const char* name;
        std::int64_t announced; // input the source still owes
        bool closeSending;      // the peer stops sending (the input never completes)
    };
    const std::vector<Case> cases = {
        {"hang-up while the run goes on", 0, false},
        {"input that stops coming", 1000, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        TCGIProcessGroups groups;
        TSocketPair pair;
        const std::string pids = dir.File("pids");
        TCGIProcessRequest request;
        request.Executable = MakeScript(dir, "wait.sh", "sleep 60 &\necho $$ $! > '" + pids + "'\nwait\n");
        request.Environment = {"PATH=/usr/bin:/bin"};
        request.TimeOut = std::chrono::seconds(60);
        TSocketInput source(pair.Ends[0], c.announced);
        request.InputSource = &source;
        request.ClientFd = pair.Ends[0];
        std::thread peer([&] {
            WaitFor([&] { return ReadPid(pids) > 0; }, std::chrono::seconds(10));
            if (c.closeSending)
                ::send(pair.Ends[1], "abc", 3, MSG_NOSIGNAL);
            pair.CloseEnd(1);
        });
        const auto start = std::chrono::steady_clock::now();
        const TCGIProcessResult result = RunCGIProcess(request, groups);
        peer.join();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        EXPECT_TRUE(result.ClientGone);
        EXPECT_FALSE(result.TimedOut);
        int shell = 0, child = 0;
        std::ifstream(pids) >> shell >> child;
        ASSERT_GT(child, 0);
        EXPECT_TRUE(WaitFor([&] { return !ProcessAlive(shell) && !ProcessAlive(child); }, std::chrono::seconds(3)));
        EXPECT_EQ(groups.Count(), 0u);
    }
}

TEST(CGIProcess, WhatTheScriptStartedEndsWithTheRun)
{
    struct Case {
        const char* name;
        std::string script;
    };
    const std::vector<Case> cases = {
        {"child on its own", "sleep 60 > /dev/null 2>&1 &\necho $!\n"},
        // The child keeps the run's output open: the run must not wait for it.
        {"child holding the output", "sleep 60 &\necho $!\n"},
        {"child holding the error output", "sleep 60 > /dev/null &\necho $!\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        TCGIProcessGroups groups;
        TCGIProcessRequest request;
        request.Executable = MakeScript(dir, "bg.sh", c.script);
        request.Environment = {"PATH=/usr/bin:/bin"};
        request.TimeOut = std::chrono::seconds(30);
        const auto start = std::chrono::steady_clock::now();
        const TCGIProcessResult result = RunCGIProcess(request, groups);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_FALSE(result.TimedOut);
        EXPECT_EQ(result.ExitCode, 0);
        const int child = std::atoi(result.Output.c_str());
        ASSERT_GT(child, 0) << result.Output;
        EXPECT_TRUE(WaitFor([&] { return !ProcessAlive(child); }, std::chrono::seconds(3)));
    }
}
