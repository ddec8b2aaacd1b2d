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

#include <arpa/inet.h>
#include <cstdlib>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
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

void SendCGIOutput(const std::string& output, const std::string& errorText, TNetHTTPResponseInfo& response)
{
    const size_t end = output.find("\r\n\r\n");
    if (end == std::string::npos) {
        // why: output without a header block is what the interpreter says when it cannot run
        // the script at all; an empty 200 page would hide that.
        response.SetResponseNo(500);
        response.ContentType = "text/plain; charset=utf-8";
        response.ContentText = !output.empty() ? output
                               : !errorText.empty() ? errorText
                                                    : std::string("The PHP interpreter ended without any output.");
        response.ContentLength = static_cast<std::int64_t>(response.ContentText.size());
        return;
    }
    const std::vector<std::string> lines = HeaderLines(std::string_view(output).substr(0, end));
    response.ContentType = HeaderValue(lines, "content-type");
    const std::string status = HeaderValue(lines, "status").substr(0, 3);
    int code = 0;
    const bool numeric = status.size() == 3 && TryStrToInt(status, code) && code >= 100 && code <= 599;
    response.SetResponseNo(numeric ? code : 200);
    response.RawHeaders = lines;
    if (!HeaderValue(lines, "Location").empty())
        response.SetResponseNo(302);
    response.CustomHeaders = response.RawHeaders;
    response.ContentLength = -1;
    response.WriteHeader();
    response.ContentText = output.substr(end + 4);
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

void TNetCGIRunner::Answer500(TNetHTTPResponseInfo& response, const std::string& body)
{
    response.SetResponseNo(500);
    response.ContentType = "text/html";
    response.ContentText = body;
    response.ContentLength = static_cast<std::int64_t>(body.size());
}

std::int64_t TNetCGIRunner::RunCGI(const std::string& executable, THTTPConnectionThread& thread,
                                  TNetHTTPRequestInfo& request, TNetHTTPResponseInfo& response,
                                  const std::string& documentRoot, const std::string& pathInfo)
{
    if (BeforeExecute)
        BeforeExecute(this);
    TCGIRunContext context;
    context.Executable = executable;
    context.DocumentRoot = documentRoot;
    if (!MapDocumentToPath(documentRoot, request.Document, context.ScriptPath))
        throw Exception("The document lies outside the document root");
    context.PathInfo = pathInfo;
    context.LocalIP = thread.Connection().LocalIP();
    context.LocalPort = thread.Connection().LocalPort();
    context.RemoteHost = RemoteHostName(request.RemoteIP);
    if (const TNetHTTPServer* server = Server()) {
        context.HasServer = true;
        context.ServerSoftware = server->ServerSoftware;
    }
    context.PHPSupport = PHPSupport;
    context.PHPIniPath = PHPIniPath();
    context.ServerAdmin = ServerAdmin;

    TCGIProcessRequest run;
    run.Executable = executable;
    run.Environment = BuildCGIEnvironment(request, context);
    // why: the interpreter reads the body alone; the query reaches it as QUERY_STRING.
    run.Input = request.PostBody;
    run.TimeOut = std::chrono::milliseconds(std::max(0, TimeOut()));
    const TCGIProcessResult result = RunCGIProcess(run, FGroups);
    if (result.PipeFailed) {
        Answer500(response, ErrorMsg);
        return response.ContentLength;
    }
    if (!result.ErrorOutput.empty() && OnErrorOutput)
        OnErrorOutput(context.ScriptPath, result.ErrorOutput);
    if (result.StartError != 0 || result.TimedOut || result.Killed || result.OutputTooLarge)
        Answer500(response, TimeOutMsg);
    else
        SendCGIOutput(result.Output, result.ErrorOutput, response);
    if (AfterExecute)
        AfterExecute(this);
    return response.ContentLength;
}
