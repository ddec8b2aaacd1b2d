// The HTTP server module: start, stop, port stepping and the request handler.

#include "http/zuHTTPModule.h"

#include "projects/zuCurrentProject.h"
#include "http/zuHttpPaths.h"
#include "http/zuHttpRequest.h"
#include "settings/zuSettings.h"

#include "Platform/files/FileNames.h"
#include "Platform/text/Format.h"
#include "Platform/text/TextUtils.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterPhp.h"

#include <QDebug>

#include <algorithm>
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

THTTPModule* HTTPModule = nullptr;

namespace {

constexpr std::string_view CacheControlValue = "no-store, no-cache, must-revalidate";

bool IsRegularFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsLoopbackAddress(const sockaddr* address)
{
    if (address->sa_family == AF_INET)
        return (ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr) >> 24) == 127;
    if (address->sa_family == AF_INET6) {
        const in6_addr& a = reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr;
        return IN6_IS_ADDR_LOOPBACK(&a) || (IN6_IS_ADDR_V4MAPPED(&a) && a.s6_addr[12] == 127);
    }
    return false;
}

// Splits "name", "name:port", "[v6]" or "[v6]:port" into the name (brackets removed); false
// for anything else.
bool HostName(std::string_view host, std::string& name)
{
    std::string_view port;
    if (!host.empty() && host.front() == '[') {
        const size_t close = host.find(']');
        if (close == std::string_view::npos)
            return false;
        name = std::string(host.substr(1, close - 1));
        const std::string_view rest = host.substr(close + 1);
        if (!rest.empty() && rest.front() != ':')
            return false;
        port = rest.empty() ? rest : rest.substr(1);
    } else {
        const size_t colon = host.find(':');
        name = std::string(host.substr(0, colon));
        if (colon != std::string_view::npos)
            port = host.substr(colon + 1);
        if (port.find(':') != std::string_view::npos)
            return false;
    }
    if (port.size() > 5 || !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    if (!name.empty() && name.back() == '.')
        name.pop_back();
    return !name.empty();
}

bool IsExecutableFile(const std::string& path)
{
    return !path.empty() && IsRegularFile(path) && ::access(path.c_str(), X_OK) == 0;
}

} // namespace

bool ResolvesToLoopback(const std::string& hostName)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (hostName.empty() || ::getaddrinfo(hostName.c_str(), nullptr, &hints, &found) != 0 || !found)
        return false;
    bool loopback = true;
    for (const addrinfo* entry = found; entry; entry = entry->ai_next)
        loopback = loopback && entry->ai_addr && IsLoopbackAddress(entry->ai_addr);
    ::freeaddrinfo(found);
    return loopback;
}

bool HostHeaderAllowed(std::string_view host, std::string_view projectHost,
                       const std::function<bool(const std::string&)>& resolvesToLoopback)
{
    if (host.empty())
        return true;
    std::string name;
    if (!HostName(host, name))
        return false;
    in6_addr v6{};
    const bool isV6 = ::inet_pton(AF_INET6, name.c_str(), &v6) == 1;
    // A bracketed host is an IPv6 address or nothing.
    if (host.front() == '[' && !isV6)
        return false;
    if (SameText(name, "localhost"))
        return true;
    in_addr v4{};
    if (::inet_pton(AF_INET, name.c_str(), &v4) == 1)
        return (ntohl(v4.s_addr) >> 24) == 127;
    if (isV6) {
        sockaddr_in6 address{};
        address.sin6_family = AF_INET6;
        address.sin6_addr = v6;
        return IsLoopbackAddress(reinterpret_cast<const sockaddr*>(&address));
    }
    std::string project(projectHost);
    if (!project.empty() && project.back() == '.')
        project.pop_back();
    return !project.empty() && SameText(name, project) && resolvesToLoopback && resolvesToLoopback(name);
}

THTTPModule::THTTPModule()
{
    TServerValues values;
    values.PHPFilter = TSrcPHPSyn::BuiltInFilter;
    FValues = std::make_shared<const TServerValues>(std::move(values));
    // The runner's and the server's own defaults hold the module's messages, administrator and
    // server name.
    CGIRunner.SetServer(&HTTPServer);
    CGIRunner.SetTimeOut(30000);
    CGIRunner.OnErrorOutput = [this](const std::string& scriptPath, const std::string& text) {
        if (OnErrorOutput)
            OnErrorOutput(scriptPath, text);
        else
            qWarning("PHP (%s): %s", scriptPath.c_str(), text.c_str());
    };
    HTTPServer.SetDefaultPort(Settings::HTTPServer::Port.Default);
    HTTPServer.SetOnCommandGet([this](THTTPConnectionThread& thread, TNetHTTPRequestInfo& request,
                                      TNetHTTPResponseInfo& response) {
        HTTPServerCommandGet(thread, request, response);
    });
}

THTTPModule::~THTTPModule()
{
    DataModuleDestroy();
}

void THTTPModule::DataModuleCreate(const TIniFileEx& settings, TCurrentProject& project, const std::string& interpreter,
                                   const std::string& dataFolder)
{
    // No keep-alive and a reusable address need no settings: TNetHTTPServer always closes
    // after an answer and always binds over lingering connections of an earlier run.
    HTTPServer.SetDefaultPort(Settings::HTTPServer::Port.Read(settings));
    CGIRunner.SetPHPIniPath(Settings::Environment::INI.Read(settings));
    const long long timeOut = static_cast<long long>(Settings::HTTPServer::TimeOut.Read(settings)) * 1000;
    CGIRunner.SetTimeOut(static_cast<int>(std::clamp<long long>(timeOut, 0, INT_MAX)));

    UpdateServerValues([&](TServerValues& values) {
        values.IndexFiles = Settings::HTTPServer::IndexFiles.Read(settings);
        values.PHPExecutable = CGIExecutableFor(interpreter);
        values.DataFolder = IncludeTrailingPathDelimiter(dataFolder);
    });
    SetDocumentRootSource([&project] { return project.DocumentRoot(); });
    project.OnRestartServer = [this](bool start) {
        const std::string host = ProjectHostSource ? ProjectHostSource() : std::string();
        UpdateServerValues([&](TServerValues& values) { values.ProjectHost = host; });
        RestartServer(start);
    };
    FProject = &project;

    TGUID saved;
    if (!TryStringToGUID(Settings::Application::Project.Read(settings), saved))
        saved = NullGUID;
    project.OpenProject(saved);
}

void THTTPModule::DataModuleDestroy()
{
    HTTPServer.SetOnCommandGet(nullptr);
    CGIRunner.SetServer(nullptr);
    if (FProject) {
        FProject->OnRestartServer = nullptr;
        FProject = nullptr;
    }
    RestartServer(false);
}

void THTTPModule::RestartServer(bool start)
{
    if (HTTPServer.Active()) {
        // why: only the interpreters this server started are ended, each with its whole process
        // tree, so a script's own children go too and nobody else's processes are touched.
        CGIRunner.EndRuns();
        // Deactivating closes every connection under the lock of the thread list, then waits.
        try {
            HTTPServer.SetActive(false);
        } catch (...) {
        }
    }
    if (!start)
        return;
    CGIRunner.AllowRuns();
    for (;;) {
        try {
            HTTPServer.SetActive(true);
            return;
        } catch (const std::exception&) {
            const int port = HTTPServer.DefaultPort();
            if (port >= 65535)
                return;
            HTTPServer.SetDefaultPort(port + 1);
        }
    }
}

std::shared_ptr<const TServerValues> THTTPModule::Snapshot() const
{
    const std::lock_guard lock(FValuesLock);
    return FValues;
}

TServerValues THTTPModule::ServerValues() const
{
    return *Snapshot();
}

void THTTPModule::SetServerValues(const TServerValues& values)
{
    auto snapshot = std::make_shared<const TServerValues>(values);
    const std::lock_guard lock(FValuesLock);
    FValues = std::move(snapshot);
}

void THTTPModule::UpdateServerValues(const std::function<void(TServerValues&)>& change)
{
    TServerValues values = ServerValues();
    change(values);
    SetServerValues(values);
}

void THTTPModule::SetDocumentRootSource(std::function<std::string()> source)
{
    auto shared = source ? std::make_shared<const std::function<std::string()>>(std::move(source)) : nullptr;
    const std::lock_guard lock(FValuesLock);
    FDocumentRoot = std::move(shared);
}

void THTTPModule::RefuseRequest(THTTPConnectionThread& thread, TNetHTTPResponseInfo& response,
                                const TServerValues& values)
{
    response.SetResponseNo(403);
    response.ContentType = "text/html";
    HTTPServer.ServeFile(thread, response, values.DataFolder + "AccessDenied.html");
}

void THTTPModule::HTTPServerCommandGet(THTTPConnectionThread& thread, TNetHTTPRequestInfo& request,
                                       TNetHTTPResponseInfo& response)
{
    response.CacheControl = std::string(CacheControlValue);
    std::shared_ptr<const TServerValues> values;
    std::shared_ptr<const std::function<std::string()>> rootSource;
    {
        const std::lock_guard lock(FValuesLock);
        values = FValues;
        rootSource = FDocumentRoot;
    }
    // invariant: no byte of a project reaches a page whose address names a foreign host.
    if (!HostHeaderAllowed(request.Host(), values->ProjectHost, HostResolvesToLoopback)) {
        RefuseRequest(thread, response, *values);
        return;
    }
    const std::string root = IncludeTrailingPathDelimiter(rootSource ? (*rootSource)() : std::string());

    std::string path;
    if (!MapDocumentToPath(root, request.Document, path)) {
        RefuseRequest(thread, response, *values);
        return;
    }
    if (DirectoryExists(path)) {
        for (const std::string& item : SplitIndexFiles(values->IndexFiles)) {
            const std::string candidate = IncludeTrailingPathDelimiter(path) + item;
            if (!item.empty() && IsRegularFile(candidate)) {
                path = candidate;
                if (request.Document.empty() || request.Document.back() != '/')
                    request.Document += '/';
                request.Document += item;
                break;
            }
        }
    }
    std::string resolved;
    // invariant: nothing outside the root is ever answered, whichever links lead there.
    if (!IsRegularFile(path) || !ResolveInsideRoot(root, path, resolved)) {
        RefuseRequest(thread, response, *values);
        return;
    }

    if (SameText(request.Command, "HEAD")) {
        const int fd = ::open(resolved.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat info {};
        const bool readable = fd >= 0 && ::fstat(fd, &info) == 0;
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        if (!readable)
            throw EFOpenError(Format("Cannot open file \"%s\". %s", {path, SysErrorMessage(error)}));
        response.SetResponseNo(200);
        response.ContentType = MimeTypeOfFile(resolved);
        response.ContentLength = info.st_size;
        return;
    }

    if (!IsFileInFilter(path, values->PHPFilter)) {
        response.SetResponseNo(200);
        // why: browsers refuse style sheets and scripts sent under a wrong type.
        response.ContentType = MimeTypeOfFile(resolved);
        HTTPServer.ServeFile(thread, response, resolved);
        return;
    }
    if (IsExecutableFile(values->PHPExecutable)) {
        CGIRunner.RunCGI(values->PHPExecutable, thread, request, response, root, "");
        return;
    }
    // why: a missing interpreter is a server failure, not a page that loaded.
    response.SetResponseNo(500);
    response.ContentType = "text/html";
    HTTPServer.ServeFile(thread, response, values->DataFolder + "NotFound.html");
}
