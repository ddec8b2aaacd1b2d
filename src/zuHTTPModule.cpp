// The HTTP server module: start, stop, port stepping and the request handler.

#include "zuHTTPModule.h"

#include "zuCurrentProject.h"
#include "zuHttpPaths.h"
#include "zuHttpRequest.h"
#include "zuSettings.h"

#include "Platform/FileNames.h"
#include "Platform/Format.h"
#include "Platform/TextUtils.h"
#include "SrcEditHighlighterPhp.h"

#include <QDebug>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

THTTPModule* HTTPModule = nullptr;

namespace {

constexpr std::string_view CacheControlValue = "no-store, no-cache, must-revalidate";

bool IsRegularFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsExecutableFile(const std::string& path)
{
    return !path.empty() && IsRegularFile(path) && ::access(path.c_str(), X_OK) == 0;
}

} // namespace

THTTPModule::THTTPModule()
{
    TServerValues values;
    values.PHPFilter = TSrcPHPSyn::BuiltInFilter;
    FValues = std::make_shared<const TServerValues>(std::move(values));
    CGIRunner.SetServer(&HTTPServer);
    CGIRunner.TimeOutMsg = "<html><body><h1><center>Process was terminated.</body></html>";
    CGIRunner.ErrorMsg = "<html><body><h1><center>Internal Server Error</body></html>";
    CGIRunner.ServerAdmin = "webmaster@localhost";
    CGIRunner.SetTimeOut(30000);
    CGIRunner.OnErrorOutput = [this](const std::string& scriptPath, const std::string& text) {
        if (OnErrorOutput)
            OnErrorOutput(scriptPath, text);
        else
            qWarning("PHP (%s): %s", scriptPath.c_str(), text.c_str());
    };
    HTTPServer.SetDefaultPort(Settings::HTTPServer::Port.Default);
    HTTPServer.ServerSoftware = "Zentu HTTP Server";
    HTTPServer.SetOnCommandGet([this](THTTPConnectionThread& thread, TIdHTTPRequestInfo& request,
                                      TIdHTTPResponseInfo& response) {
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
    // No keep-alive and a reusable address need no settings: TIdHTTPServer always closes
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
    project.OnRestartServer = [this](bool start) { RestartServer(start); };
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
        // why: only the interpreters this server started are ended, each with its process
        // group, so a script's own children go too and nobody else's processes are touched.
        CGIRunner.EndRuns();
        HTTPServer.ForEachThread([](THTTPConnectionThread& thread) {
            try {
                thread.Stop();
            } catch (...) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        });
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

void THTTPModule::RefuseRequest(THTTPConnectionThread& thread, TIdHTTPResponseInfo& response,
                                const TServerValues& values)
{
    response.SetResponseNo(403);
    response.ContentType = "text/html";
    HTTPServer.ServeFile(thread, response, values.DataFolder + "AccessDenied.html");
}

void THTTPModule::HTTPServerCommandGet(THTTPConnectionThread& thread, TIdHTTPRequestInfo& request,
                                       TIdHTTPResponseInfo& response)
{
    response.CacheControl = std::string(CacheControlValue);
    std::shared_ptr<const TServerValues> values;
    std::shared_ptr<const std::function<std::string()>> rootSource;
    {
        const std::lock_guard lock(FValuesLock);
        values = FValues;
        rootSource = FDocumentRoot;
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
