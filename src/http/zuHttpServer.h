#pragma once
// TNetHTTPServer: the internal HTTP/1.1 server. It listens on 127.0.0.1 only, runs one
// listener thread and one thread per accepted connection, reads one request per connection,
// hands GET, POST and HEAD requests to OnCommandGet, writes the answer and closes the
// connection. It also serves files and knows the MIME type of a file name.

#include "http/zuHttpConnection.h"
#include "http/zuHttpResponse.h"

#include "Platform/core/Exceptions.h"

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

ZENTU_DECLARE_EXCEPTION(EIdSocketError, Exception);

class TNetHTTPServer;

// The thread of one accepted connection.
class THTTPConnectionThread {
public:
    THTTPConnectionThread(TNetHTTPServer& server, int fd);
    ~THTTPConnectionThread();
    THTTPConnectionThread(const THTTPConnectionThread&) = delete;
    THTTPConnectionThread& operator=(const THTTPConnectionThread&) = delete;

    THTTPConnection& Connection() { return FConnection; }
    // Asks the thread to end: its connection is closed, so blocked reads and writes return.
    void Stop();
    bool Stopped() const { return FStopped.load(); }
    bool Finished() const { return FFinished.load(); }

    void Start();
    void Join();

private:
    void Run();

    TNetHTTPServer& FServer;
    THTTPConnection FConnection;
    std::atomic<bool> FStopped{false};
    std::atomic<bool> FFinished{false};
    std::thread FThread;
};

using TNetHTTPCommandEvent =
    std::function<void(THTTPConnectionThread& thread, TNetHTTPRequestInfo& request, TNetHTTPResponseInfo& response)>;

class TNetHTTPServer {
public:
    TNetHTTPServer();
    // Stops listening and waits for the connection threads.
    ~TNetHTTPServer();
    TNetHTTPServer(const TNetHTTPServer&) = delete;
    TNetHTTPServer& operator=(const TNetHTTPServer&) = delete;

    // The port to listen on; after a successful start, the port really bound (0 asks the
    // system for a free one).
    int DefaultPort() const { return FDefaultPort.load(); }
    void SetDefaultPort(int port) { FDefaultPort.store(port); }

    // True binds 127.0.0.1 at DefaultPort and listens, raising EIdSocketError when the bind
    // fails; False closes the listener, then, holding the lock of the thread list, closes every
    // connection, and waits for their threads.
    bool Active() const { return FActive.load(); }
    void SetActive(bool value);

    std::string ServerSoftware = "Zentu HTTP Server";

    // Milliseconds a client has to send its whole request, and the longest a write may wait
    // for the client to take bytes; then its connection is closed. Applies to connections
    // accepted afterwards.
    int ReadTimeOut() const { return FReadTimeOut.load(); }
    void SetReadTimeOut(int milliseconds) { FReadTimeOut.store(milliseconds); }

    // Runs on a connection thread for every GET, POST and HEAD request. An exception that
    // escapes it is answered with 500 and its message. Safe to change while running.
    void SetOnCommandGet(TNetHTTPCommandEvent handler);

    // Writes the header (content length = the file's size; the content type is looked up only
    // when the response has none) and then the file's bytes. Raises EFOpenError when the file
    // cannot be opened.
    void ServeFile(THTTPConnectionThread& thread, TNetHTTPResponseInfo& response, const std::string& fileName);

private:
    friend class THTTPConnectionThread;
    void Listen();
    void HandleRequest(THTTPConnectionThread& thread);
    void ReapFinished();

    std::atomic<int> FDefaultPort{0};
    std::atomic<bool> FActive{false};
    std::atomic<int> FReadTimeOut{THTTPConnection::DefaultTimeOutMs};
    int FListenFd = -1;
    int FWakeFd = -1;
    std::thread FListener;
    std::mutex FHandlerLock;
    std::shared_ptr<const TNetHTTPCommandEvent> FOnCommandGet;
    std::mutex FThreadsLock;
    std::list<std::unique_ptr<THTTPConnectionThread>> FThreads;
};

// The MIME type of a file: by its name, and by its first bytes when the name tells nothing.
std::string MimeTypeOfFile(const std::string& fileName);
