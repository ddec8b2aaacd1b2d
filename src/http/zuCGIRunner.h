#pragma once
// TNetCGIRunner: runs the PHP interpreter as a CGI/1.1 program for one request of the internal
// HTTP server: the environment block built from the request, the request body on the
// interpreter's standard input, its output split into the script's header lines and the body
// of the answer; plus the header lookups the environment is built with.

#include "http/zuCGIProcess.h"
#include "http/zuCGIRunSlots.h"

#include "Platform/core/Component.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TNetHTTPServer;
class TNetHTTPRequestInfo;
class TNetHTTPResponseInfo;
class THTTPConnectionThread;

// The name without a leading "HTTP_", else the name.
std::string StripHTTPPrefix(std::string_view name);
// The value of the request header `name` (letter case ignored); when that is empty,
// FindRequestHeaderAlt.
std::string FindRequestHeader(std::string_view name, const TNetHTTPRequestInfo& request);
// The header named StripHTTPPrefix(name); when that is empty, the same name with every "_"
// turned into "-".
std::string FindRequestHeaderAlt(std::string_view name, const TNetHTTPRequestInfo& request);
// A variable of the program's own environment ("" when unset). Values longer than 4096 bytes
// are passed whole.
std::string ReadParentEnvVar(const std::string& name);

// The interpreter to start for CGI runs, from the interpreter setting: an empty setting finds
// "php-cgi" on PATH; a command-line interpreter ("php", "php8.2") that has a "php-cgi" of the
// same version beside it is replaced by that one (the command-line build does not speak CGI);
// anything else stays as it is.
std::string CGIExecutableFor(const std::string& interpreter);

// What a run knows besides the request.
struct TCGIRunContext {
    std::string Executable;
    std::string DocumentRoot;     // as passed, with its trailing "/"
    std::string ScriptPath;       // the file the request maps to
    std::string PathInfo;         // extra path after the script's name; empty for none
    std::string LocalIP;
    int LocalPort = 0;
    std::string RemoteHost;
    bool HasServer = false;
    std::string ServerSoftware;
    bool PHPSupport = true;
    std::string PHPIniPath;
    std::string ServerAdmin;
};

// The environment of a run as "NAME=VALUE" texts, in the fixed order of the CGI hand-over;
// variables with empty values are passed too.
std::vector<std::string> BuildCGIEnvironment(const TNetHTTPRequestInfo& request, const TCGIRunContext& context);

// Turns the collected standard output into the answer, writing the header. One Content-Type
// goes out: the script's own line when it wrote one, else the server's "text/html". A failed
// run shows why in an error page (500, the text escaped as HTML): output without a blank line
// after its header lines shows that output (`errorText` when it is empty), and a script that
// `failed` (ended with an error code) with a 500 of its own shows `errorText` when there is
// one, as a parse or fatal error leaves it.
void SendCGIOutput(std::string output, const std::string& errorText, bool failed, TNetHTTPResponseInfo& response);

// The error page of a failed run: `text` escaped as HTML in a page of its own, status 500.
void AnswerInterpreterFailure(const std::string& text, TNetHTTPResponseInfo& response);

class TNetCGIRunner : public TObject {
public:
    TNetCGIRunner();

    // The server whose ServerSoftware becomes SERVER_SOFTWARE; set and cleared by its owner.
    TNetHTTPServer* Server() const { return FServer.load(); }
    void SetServer(TNetHTTPServer* server) { FServer.store(server); }

    // Milliseconds a run may take; changed by the GUI thread while runs read it.
    int TimeOut() const { return FTimeOut.load(); }
    void SetTimeOut(int milliseconds) { FTimeOut.store(milliseconds); }
    std::string PHPIniPath() const;
    void SetPHPIniPath(const std::string& path);

    // Set once before the server starts.
    std::string TimeOutMsg = "<html><body><h1><center>Process was terminated.</body></html>";
    std::string ErrorMsg = "<html><body><h1><center>Internal Server Error</body></html>";
    std::string ServerAdmin = "webmaster@localhost";
    bool PHPSupport = true;
    // Fired on the connection thread at the start of every run and at the end of every run
    // that started its process.
    TNotifyEvent BeforeExecute;
    TNotifyEvent AfterExecute;
    // The interpreter's standard error of a run (never part of the answer), with the script's
    // path; called on the connection thread.
    std::function<void(const std::string& scriptPath, const std::string& text)> OnErrorOutput;

    // Runs `executable` for the request and fills and writes the answer. `documentRoot` ends
    // with "/"; an empty `pathInfo` means none. Returns the answer's content length (-1 when
    // none was sent).
    //
    // The request body streams from the connection to the interpreter. A run waits for one of
    // the interpreter slots (503 when the queue is full or no slot came within the time-out)
    // and keeps it until its answer has gone out (within the time-out), which bounds the
    // memory answers take. A client that goes away ends its run (and its wait) with no answer.
    virtual std::int64_t RunCGI(const std::string& executable, THTTPConnectionThread& thread,
                                TNetHTTPRequestInfo& request, TNetHTTPResponseInfo& response,
                                const std::string& documentRoot, const std::string& pathInfo);

    // The runs in progress: EndRuns ends each with its process tree and refuses new runs
    // (and the ones waiting for a slot) until AllowRuns.
    void EndRuns();
    void AllowRuns();
    size_t RunningCount() const { return FGroups.Count(); }

    // How many interpreters run at once and how many requests may wait for one.
    void SetRunLimits(size_t running, size_t waiting) { FSlots.SetLimits(running, waiting); }
    size_t MaxRuns() const { return FSlots.MaxRunning(); }
    size_t MaxWaitingRuns() const { return FSlots.MaxWaiting(); }

private:
    void Answer(int code, const std::string& body, TNetHTTPResponseInfo& response);

    std::atomic<TNetHTTPServer*> FServer{nullptr};
    std::atomic<int> FTimeOut{5000};
    mutable std::mutex FLock;
    std::string FPHPIniPath;
    TCGIProcessGroups FGroups;
    TCGIRunSlots FSlots;
};
