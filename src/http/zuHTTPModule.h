#pragma once
// THTTPModule: the program's own web server. It owns the HTTP server and the CGI runner,
// configures them from the settings, starts and stops the server (stepping to the next port
// when one is taken), and answers each request from the current project's document root:
// index files for folders, PHP files through the CGI runner, other files as they are.
//
// The request handler runs on the server's connection threads. The values it needs that the
// GUI thread owns reach it as an immutable snapshot (TServerValues) that the GUI thread
// replaces; each request takes one snapshot at its start. The document root comes from the
// current project, which serves it safely to any thread.
//
// Requests whose Host header names a foreign host are refused like a missing file, so that a
// web page whose name was rebound to 127.0.0.1 cannot read the project's pages.

#include "http/zuCGIRunner.h"
#include "app/zuConstants.h"
#include "http/zuHttpServer.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

class TIniFileEx;
class TCurrentProject;

struct TServerValues {
    // [HTTPServer] IndexFiles.
    std::string IndexFiles{sDefaultIndexFiles};
    // The PHP highlighter's DefaultFilter: which files run through the interpreter.
    std::string PHPFilter;
    // The interpreter started for PHP files (see CGIExecutableFor).
    std::string PHPExecutable;
    // The data folder with its "/": "AccessDenied.html" and "NotFound.html".
    std::string DataFolder;
    // The host named by the current project's local URL ("" for none): requests may name it
    // in their Host header when it resolves to the loopback address.
    std::string ProjectHost;
};

// Whether a request's Host header lets it reach the server. A web page that a DNS name
// rebound to 127.0.0.1 still names its own host there, so only these pass: no Host header,
// "localhost", an IPv4 address of the loopback range and "[::1]", each with or without a
// port; and `projectHost` when `resolvesToLoopback` says its every address is a loopback one.
bool HostHeaderAllowed(std::string_view host, std::string_view projectHost,
                       const std::function<bool(const std::string&)>& resolvesToLoopback);
// True when the name resolves, and only to loopback addresses.
bool ResolvesToLoopback(const std::string& hostName);

class THTTPModule {
public:
    THTTPModule();
    // DataModuleDestroy: the server stops before the module goes.
    ~THTTPModule();
    THTTPModule(const THTTPModule&) = delete;
    THTTPModule& operator=(const THTTPModule&) = delete;

    TNetHTTPServer HTTPServer;
    TNetCGIRunner CGIRunner;

    // Start-up: port, php.ini path and time-out from `settings`, the server values from the
    // settings, the interpreter setting and the data folder; then opens the project saved in
    // [Application] Project, which starts or stops the server. The PHP filter is the PHP
    // highlighter's built-in one until the editor module sets its own (UpdateServerValues).
    void DataModuleCreate(const TIniFileEx& settings, TCurrentProject& project, const std::string& interpreter,
                          const std::string& dataFolder);
    // Unhooks the handler and the runner and stops the server.
    void DataModuleDestroy();

    // Stops the server when it runs (ending the CGI runs it started and closing every
    // connection); then, with `start`, binds 127.0.0.1 at DefaultPort, stepping up one port
    // at a time while the bind fails (the server stays stopped after 65535). GUI thread.
    void RestartServer(bool start);

    bool Active() const { return HTTPServer.Active(); }
    // The port the run URLs use: DefaultPort, which is the bound port while the server runs.
    int BoundPort() const { return HTTPServer.DefaultPort(); }

    // The snapshot the next requests take; GUI thread.
    TServerValues ServerValues() const;
    void SetServerValues(const TServerValues& values);
    void UpdateServerValues(const std::function<void(TServerValues&)>& change);

    // Where requests take the document root (with its trailing "/"); must be safe to call
    // from any thread. DataModuleCreate points it at the current project.
    void SetDocumentRootSource(std::function<std::string()> source);

    // The interpreter's standard error of each run, with the script's path; called on a
    // connection thread, so it must be set before the server starts. Unset: written to the
    // program's log.
    std::function<void(const std::string& scriptPath, const std::string& text)> OnErrorOutput;

    // The host of the current project's local URL; asked each time a project opens (before the
    // server starts or stops). Unset: no project host is allowed.
    std::function<std::string()> ProjectHostSource;
    // How the project host is checked; called on connection threads, so set it before the
    // server starts.
    std::function<bool(const std::string& hostName)> HostResolvesToLoopback = ResolvesToLoopback;

    // OnCommandGet: one request, on a connection thread.
    void HTTPServerCommandGet(THTTPConnectionThread& thread, TNetHTTPRequestInfo& request,
                              TNetHTTPResponseInfo& response);

private:
    std::shared_ptr<const TServerValues> Snapshot() const;
    void RefuseRequest(THTTPConnectionThread& thread, TNetHTTPResponseInfo& response, const TServerValues& values);

    TCurrentProject* FProject = nullptr;
    mutable std::mutex FValuesLock;
    std::shared_ptr<const TServerValues> FValues;
    std::shared_ptr<const std::function<std::string()>> FDocumentRoot;
};

// The program's one module, set by whoever creates it (null before and after).
extern THTTPModule* HTTPModule;
