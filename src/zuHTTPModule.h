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

#include "zuCGIRunner.h"
#include "zuHttpServer.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>

class TIniFileEx;
class TCurrentProject;

struct TServerValues {
    // [HTTPServer] IndexFiles.
    std::string IndexFiles = "index.php,index.phtml,index.html,index.htm";
    // The PHP highlighter's DefaultFilter: which files run through the interpreter.
    std::string PHPFilter;
    // The interpreter started for PHP files (see CGIExecutableFor).
    std::string PHPExecutable;
    // The data folder with its "/": "AccessDenied.html" and "NotFound.html".
    std::string DataFolder;
};

class THTTPModule {
public:
    THTTPModule();
    // DataModuleDestroy: the server stops before the module goes.
    ~THTTPModule();
    THTTPModule(const THTTPModule&) = delete;
    THTTPModule& operator=(const THTTPModule&) = delete;

    TIdHTTPServer HTTPServer;
    TidCGIRunner CGIRunner;

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

    // OnCommandGet: one request, on a connection thread.
    void HTTPServerCommandGet(THTTPConnectionThread& thread, TIdHTTPRequestInfo& request,
                              TIdHTTPResponseInfo& response);

private:
    std::shared_ptr<const TServerValues> Snapshot() const;
    void RefuseRequest(THTTPConnectionThread& thread, TIdHTTPResponseInfo& response, const TServerValues& values);

    TCurrentProject* FProject = nullptr;
    mutable std::mutex FValuesLock;
    std::shared_ptr<const TServerValues> FValues;
    std::shared_ptr<const std::function<std::string()>> FDocumentRoot;
};

// The program's one module, set by whoever creates it (null before and after).
extern THTTPModule* HTTPModule;
