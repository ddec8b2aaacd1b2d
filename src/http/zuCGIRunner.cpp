// The CGI runner of the internal HTTP server.

#include "http/zuCGIRunner.h"

#include "http/zuHttpPaths.h"
#include "http/zuHttpRequest.h"
#include "http/zuHttpResponse.h"
#include "http/zuHttpServer.h"

#include "Platform/files/FileNames.h"
#include "Platform/core/QtBridge.h"
#include "Platform/text/TextUtils.h"

#include <QStandardPaths>

#include <algorithm>
#include <arpa/inet.h>
#include <cstdlib>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

std::string StripHTTPPrefix(std::string_view name)
{
    return std::string(name.substr(0, 5) == "HTTP_" ? name.substr(5) : name);
}

std::string FindRequestHeader(std::string_view name, const TNetHTTPRequestInfo& request)
{
    std::string value = request.Header(name);
    return value.empty() ? FindRequestHeaderAlt(name, request) : value;
}

std::string FindRequestHeaderAlt(std::string_view name, const TNetHTTPRequestInfo& request)
{
    std::string stripped = StripHTTPPrefix(name);
    std::string value = request.Header(stripped);
    if (!value.empty())
        return value;
    for (char& c : stripped)
        if (c == '_')
            c = '-';
    return request.Header(stripped);
}

std::string ReadParentEnvVar(const std::string& name)
{
    const char* value = std::getenv(name.c_str());
    return value ? std::string(value) : std::string();
}

namespace {

bool IsExecutable(const std::string& path)
{
    return FileExists(path) && ::access(path.c_str(), X_OK) == 0;
}

std::string FindOnPath(const std::string& name)
{
    return StdStr(QStandardPaths::findExecutable(QStr(name)));
}

// "php", "php8", "php8.2": the command-line interpreter's names; the rest after "php".
bool IsCommandLineName(const std::string& name, std::string& version)
{
    if (name.size() < 3 || name.compare(0, 3, "php") != 0)
        return false;
    version = name.substr(3);
    for (const char c : version)
        if (!(c >= '0' && c <= '9') && c != '.')
            return false;
    return true;
}

std::string RemoteHostName(const std::string& address)
{
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    if (::inet_pton(AF_INET, address.c_str(), &peer.sin_addr) != 1)
        return address;
    char host[NI_MAXHOST] = {};
    if (::getnameinfo(reinterpret_cast<const sockaddr*>(&peer), sizeof peer, host, sizeof host, nullptr, 0,
                      NI_NAMEREQD) != 0)
        return address;
    return host;
}

std::string UrlOf(const std::string& document)
{
    const size_t exe = LowerCase(document).find(".exe");
    return exe == std::string::npos ? document : document.substr(0, exe + 4);
}

// The script's header lines: split at CR, LF or CR LF, empty lines dropped.
std::vector<std::string> HeaderLines(std::string_view head)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i <= head.size(); ++i) {
        if (i == head.size() || head[i] == '\r' || head[i] == '\n') {
            if (i > start)
                lines.emplace_back(head.substr(start, i - start));
            start = i + 1;
        }
    }
    return lines;
}

// The value of the header line `name`: the text after the first ": "; "" when the line is
// missing or has no blank after its colon.
std::string HeaderValue(const std::vector<std::string>& lines, std::string_view name)
{
    for (const std::string& line : lines) {
        const size_t separator = line.find(": ");
        if (separator != std::string::npos && SameText(std::string_view(line).substr(0, separator), name))
            return line.substr(separator + 2);
    }
    return {};
}

// Whether the script wrote a header line of that name, with or without a blank after the
// colon.
bool HasHeaderLine(const std::vector<std::string>& lines, std::string_view name)
{
    for (const std::string& line : lines) {
        const size_t colon = line.find(':');
        if (colon != std::string::npos && SameText(Trim(line.substr(0, colon)), name))
            return true;
    }
    return false;
}

} // namespace

std::string CGIExecutableFor(const std::string& interpreter)
{
    if (interpreter.empty()) {
        const std::string found = FindOnPath("php-cgi");
        return found.empty() ? std::string("php-cgi") : found;
    }
    std::string version;
    if (IsCommandLineName(ExtractFileName(interpreter), version)) {
        const std::string folder = ExtractFilePath(interpreter);
        for (const std::string& name : {"php-cgi" + version, std::string("php-cgi")}) {
            const std::string sibling = folder.empty() ? FindOnPath(name) : folder + name;
            if (!sibling.empty() && IsExecutable(sibling))
                return sibling;
        }
    }
    return interpreter;
}

std::vector<std::string> BuildCGIEnvironment(const TNetHTTPRequestInfo& request, const TCGIRunContext& context)
{
    std::vector<std::string> env;
    env.reserve(48);
    auto add = [&env](std::string_view name, const std::string& value) {
        std::string entry(name);
        entry += '=';
        entry += value;
        env.push_back(std::move(entry));
    };
    const std::string url = UrlOf(request.Document);
    if (context.HasServer)
        add("SERVER_SOFTWARE", context.ServerSoftware);
    add("HTTP_CONTENT_TYPE", request.Header("Content-Type"));
    add("CONTENT_TYPE", request.Header("Content-Type"));
    add("URL", url);
    if (context.PHPSupport) {
        add("PHPRC", context.PHPIniPath);
        add("REDIRECT_STATUS", "200");
        add("HTTP_REDIRECT_STATUS", "200");
        add("REDIRECT_URL", request.Document);
    }
    add("CONTENT_LENGTH", request.Header("Content-Length"));
    add("HTTP_CONTENT_LENGTH", request.Header("Content-Length"));
    add("SERVER_NAME", request.Host());
    add("SERVER_PROTOCOL", request.Version);
    add("SERVER_PORT", std::to_string(context.LocalPort));
    add("GATEWAY_INTERFACE", "CGI/1.1");
    add("REQUEST_METHOD", request.Command);
    add("SCRIPT_NAME", url);
    // why: the URL's query belongs to every method; a POST script reads it as $_GET.
    add("QUERY_STRING", request.QueryParams);
    add("REMOTE_ADDR", request.RemoteIP);
    add("REMOTE_HOST", context.RemoteHost);
    add("SystemRoot", ReadParentEnvVar("SystemRoot"));
    add("COMSPEC", ReadParentEnvVar("COMSPEC"));
    add("WINDIR", ReadParentEnvVar("WINDIR"));
    add("PATH", ReadParentEnvVar("PATH"));
    // why: PHP appends PATH_INFO to SCRIPT_NAME for PHP_SELF; passing the document again
    // would make every PHP_SELF "/a.php/a.php".
    add("PATH_INFO", context.PathInfo);
    add("REQUEST_URI", request.Document);
    add("PATH_TRANSLATED", context.ScriptPath);
    // why: today's php-cgi runs the file SCRIPT_FILENAME names; the interpreter's own path
    // there would make it parse itself.
    add("SCRIPT_FILENAME", context.ScriptPath);
    static constexpr std::string_view lookedUp[][2] = {
        {"HTTP_DATE", "DATE"},
        {"HTTP_CACHE_CONTROL", "CACHE_CONTROL"},
        {"HTTP_ACCEPT", "ACCEPT"},
        {"HTTP_FROM", "FROM"},
        {"HTTP_HOST", "HOST"},
        {"HTTP_IF_MODIFIED_SINCE", "IF-MODIFIED-SINCE"},
        {"HTTP_REFERER", "REFERER"},
        {"HTTP_CONTENT_ENCODING", "CONTENT-ENCODING"},
        {"HTTP_CONTENT_VERSION", "CONTENT-VERSION"},
        {"HTTP_DERIVED_FROM", "DERIVED-FROM"},
        {"HTTP_EXPIRES", "EXPIRES"},
        {"HTTP_TITLE", "TITLE"},
        {"HTTP_CONNECTION", "CONNECTION"},
        {"HTTP_AUTHORIZATION", "AUTHORIZATION"},
        {"HTTP_ACCEPT_LANGUAGE", "ACCEPT-LANGUAGE"},
        {"HTTP_ACCEPT_ENCODING", "ACCEPT-ENCODING"},
    };
    for (const auto& [variable, header] : lookedUp)
        add(variable, FindRequestHeader(header, request));
    add("HTTP_USER_AGENT", request.Header("User-Agent"));
    add("HTTP_COOKIE", request.Header("cookie"));
    add("SERVER_ADDR", context.LocalIP);
    add("DOCUMENT_ROOT", context.DocumentRoot);
    add("SERVER_ADMIN", context.ServerAdmin);
    return env;
}

void AnswerInterpreterFailure(const std::string& text, TNetHTTPResponseInfo& response)
{
    response.SetResponseNo(500);
    response.ContentType = "text/html; charset=utf-8";
    response.RawHeaders.clear();
    response.CustomHeaders.clear();
    // why: interpreter messages name long paths; wrapped, they stay readable in the panel.
    response.ContentText = "<html><head><title>500 Internal Server Error</title></head><body>"
                           "<pre style=\"white-space: pre-wrap\">" +
                           HTMLEscaped(text) + "</pre></body></html>";
    response.ContentLength = static_cast<std::int64_t>(response.ContentText.size());
}

void SendCGIOutput(std::string output, const std::string& errorText, bool failed, TNetHTTPResponseInfo& response)
{
    // A script that removed every header line starts its output with the blank line.
    const bool noLines = output.compare(0, 2, "\r\n") == 0;
    const size_t end = noLines ? 0 : output.find("\r\n\r\n");
    if (end == std::string::npos) {
        // why: output without a header block is what the interpreter says when it cannot run
        // the script at all; an empty 200 page would hide that.
        AnswerInterpreterFailure(!output.empty()      ? output
                                 : !errorText.empty() ? errorText
                                                      : std::string("The PHP interpreter ended without any output."),
                                 response);
        return;
    }
    const std::vector<std::string> lines = HeaderLines(std::string_view(output).substr(0, end));
    const std::string status = HeaderValue(lines, "status").substr(0, 3);
    int code = 0;
    const bool numeric = status.size() == 3 && TryStrToInt(status, code) && code >= 100 && code <= 599;
    // why: a parse or fatal error answers an empty 500 page (or the part of the page made
    // before it) and tells why only on the interpreter's standard error.
    if (failed && numeric && code == 500 && !errorText.empty()) {
        AnswerInterpreterFailure(errorText, response);
        return;
    }
    response.SetResponseNo(numeric ? code : 200);
    // invariant: one Content-Type goes out; the script's own line, when it wrote one, is it.
    response.ContentType = HasHeaderLine(lines, "content-type") ? std::string() : std::string("text/html");
    response.RawHeaders = lines;
    if (!HeaderValue(lines, "Location").empty())
        response.SetResponseNo(302);
    response.CustomHeaders = response.RawHeaders;
    response.ContentLength = -1;
    response.WriteHeader();
    output.erase(0, noLines ? 2 : end + 4);
    response.ContentText = std::move(output);
}

TNetCGIRunner::TNetCGIRunner()
{
    const size_t cores = std::thread::hardware_concurrency();
    FSlots.SetLimits(std::clamp<size_t>(cores, 4, 8), 64);
}

void TNetCGIRunner::EndRuns()
{
    FSlots.Close();
    FGroups.EndAll();
}

void TNetCGIRunner::AllowRuns()
{
    FGroups.AllowRuns();
    FSlots.Open();
}

std::string TNetCGIRunner::PHPIniPath() const
{
    const std::lock_guard lock(FLock);
    return FPHPIniPath;
}

void TNetCGIRunner::SetPHPIniPath(const std::string& path)
{
    const std::lock_guard lock(FLock);
    FPHPIniPath = path;
}

void TNetCGIRunner::Answer(int code, const std::string& body, TNetHTTPResponseInfo& response)
{
    response.SetResponseNo(code);
    response.ContentType = "text/html";
    response.ContentText = body;
    response.ContentLength = static_cast<std::int64_t>(body.size());
}

namespace {

// The request body as the interpreter's standard input, taken from the connection as it
// arrives.
class TBodyInput : public TCGIInputSource {
public:
    explicit TBodyInput(THTTPConnection& connection) : FConnection(connection) {}
    std::int64_t InputLeft() const override { return FConnection.BodyLeft(); }
    int InputFd() const override { return FConnection.Fd(); }
    bool TakeInput(std::string& into, size_t limit) override { return FConnection.ReadBody(into, limit); }

private:
    THTTPConnection& FConnection;
};

} // namespace

std::int64_t TNetCGIRunner::RunCGI(const std::string& executable, THTTPConnectionThread& thread,
                                  TNetHTTPRequestInfo& request, TNetHTTPResponseInfo& response,
                                  const std::string& documentRoot, const std::string& pathInfo)
{
    if (BeforeExecute)
        BeforeExecute(this);
    THTTPConnection& connection = thread.Connection();
    TCGIRunContext context;
    context.Executable = executable;
    context.DocumentRoot = documentRoot;
    if (!MapDocumentToPath(documentRoot, request.Document, context.ScriptPath))
        throw Exception("The document lies outside the document root");
    context.PathInfo = pathInfo;
    context.LocalIP = connection.LocalIP();
    context.LocalPort = connection.LocalPort();
    context.RemoteHost = RemoteHostName(request.RemoteIP);
    if (const TNetHTTPServer* server = Server()) {
        context.HasServer = true;
        context.ServerSoftware = server->ServerSoftware;
    }
    context.PHPSupport = PHPSupport;
    context.PHPIniPath = PHPIniPath();
    context.ServerAdmin = ServerAdmin;

    using Clock = std::chrono::steady_clock;
    const auto timeOut = std::chrono::milliseconds(std::max(0, TimeOut()));
    switch (FSlots.Acquire(Clock::now() + timeOut, [&connection] { return connection.PeerGone(); })) {
    case TCGIRunSlots::TTurn::Granted:
        break;
    case TCGIRunSlots::TTurn::Cancelled:
        connection.Close();
        return -1;
    case TCGIRunSlots::TTurn::Refused:
        Answer(500, TimeOutMsg, response);
        return response.ContentLength;
    case TCGIRunSlots::TTurn::QueueFull:
    case TCGIRunSlots::TTurn::TimedOut:
        Answer(503, StatusPageText(503), response);
        return response.ContentLength;
    }
    const TCGIRunSlot slot(FSlots);

    TCGIProcessRequest run;
    run.Executable = executable;
    run.Environment = BuildCGIEnvironment(request, context);
    // why: the interpreter reads the body alone; the query reaches it as QUERY_STRING.
    TBodyInput body(connection);
    run.InputSource = &body;
    run.ClientFd = connection.Fd();
    run.TimeOut = timeOut;
    TCGIProcessResult result = RunCGIProcess(run, FGroups);
    if (result.PipeFailed) {
        Answer(500, ErrorMsg, response);
        return response.ContentLength;
    }
    if (!result.ErrorOutput.empty() && OnErrorOutput)
        OnErrorOutput(context.ScriptPath, result.ErrorOutput);
    if (result.ClientGone)
        connection.Close();
    else if (result.StartError != 0 || result.TimedOut || result.Killed || result.OutputTooLarge)
        Answer(500, TimeOutMsg, response);
    else
        SendCGIOutput(std::move(result.Output), result.ErrorOutput, result.ExitCode != 0, response);
    if (AfterExecute)
        AfterExecute(this);
    // why: the slot bounds the memory that answers take, so it is kept until the answer has
    // gone out; a client that does not take it within the time-out is cut off.
    connection.SetWriteDeadline(Clock::now() + timeOut);
    response.WriteContent();
    response.ContentText = std::string();
    return result.ClientGone ? -1 : response.ContentLength;
}
