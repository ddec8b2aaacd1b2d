#pragma once
// TNetHTTPServer: the internal HTTP/1.1 server. It listens on 127.0.0.1 only. One pooled
// thread at a time listens: it accepts connections and receives their request heads without
// tying up a thread per waiting client. When a head is complete, that thread passes the
// listening on to another pooled thread and serves the connection itself: it hands GET, POST
// and HEAD requests to OnCommandGet, writes the answer and closes the connection. The server
// also serves files and knows the MIME type of a file name.
//
// Connections are capped (by default from the open-file limit). At the cap, a new connection
// displaces the oldest one that has not sent its whole request head yet; with none such, the
// new one is refused. Either way the connection that goes is answered 503 at once and closed.

#include "http/zuHttpConnection.h"
#include "http/zuHttpResponse.h"
#include "http/zuWorkerPool.h"

#include "Platform/core/Exceptions.h"

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

ZENTU_DECLARE_EXCEPTION(EIdSocketError, Exception);

class TNetHTTPServer;

// One accepted connection and, while a request on it is served, the thread serving it.
class THTTPConnectionThread {
public:
    THTTPConnectionThread(int fd, int timeOutMs, const sockaddr_in& local, const sockaddr_in& peer);
    THTTPConnectionThread(const THTTPConnectionThread&) = delete;
    THTTPConnectionThread& operator=(const THTTPConnectionThread&) = delete;

    THTTPConnection& Connection() { return FConnection; }
    // Asks the thread to end: its connection is closed, so blocked reads and writes return.
    void Stop();
    bool Stopped() const { return FStopped.load(); }

private:
    friend class TNetHTTPServer;
    THTTPConnection FConnection;
    std::atomic<bool> FStopped{false};
    // Where the server keeps it (the listener's list while the head arrives, then the list of
    // connections being served).
    std::list<std::unique_ptr<THTTPConnectionThread>>::iterator FPosition;
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
    // fails; False closes the listener, then, holding the lock of the connection list, closes
    // every connection, and waits for their threads.
    bool Active() const { return FActive.load(); }
    void SetActive(bool value);

    std::string ServerSoftware = "Zentu HTTP Server";

    // Milliseconds a client has to send its whole request head (and, once asked for, its
    // body), and the longest a write may wait for the client to take bytes; then its
    // connection is closed. Applies to connections accepted afterwards.
    int ReadTimeOut() const { return FReadTimeOut.load(); }
    void SetReadTimeOut(int milliseconds) { FReadTimeOut.store(milliseconds); }

    // The most connections open at once; 0 (the default) derives it from the open-file limit
    // when the server starts (ConnectionCapForOpenFiles). Takes effect at the next start.
    void SetMaxConnections(int count) { FMaxConnections.store(count); }
    // The cap in force since the last start.
    int ConnectionCap() const { return FConnectionCap.load(); }
    // Connections open now (waiting for their head or being served).
    int ConnectionCount() const { return FReadingCount.load() + FServedCount.load(); }

    // Runs on a connection thread for every GET, POST and HEAD request. An exception that
    // escapes it is answered with 500 and its message. Safe to change while running.
    void SetOnCommandGet(TNetHTTPCommandEvent handler);

    // Writes the header (content length = the file's size; the content type is looked up only
    // when the response has none) and then the file's bytes. Raises EFOpenError when the file
    // cannot be opened.
    void ServeFile(THTTPConnectionThread& thread, TNetHTTPResponseInfo& response, const std::string& fileName);

private:
    // The listening task: runs until a head is complete (or the server stops).
    void Listen();
    void AcceptAll(std::vector<std::unique_ptr<THTTPConnectionThread>>& complete);
    void Admit(int fd, const sockaddr_in& peer, std::vector<std::unique_ptr<THTTPConnectionThread>>& complete);
    void ProgressHead(THTTPConnectionThread& thread, std::vector<std::unique_ptr<THTTPConnectionThread>>& complete);
    // Closes the connections whose head is overdue; the milliseconds until the next is due
    // (-1: none waits).
    int ExpireHeads();
    void StopWaitingForHead(THTTPConnectionThread& thread);
    THTTPConnectionThread& Register(std::unique_ptr<THTTPConnectionThread> thread);
    void Serve(THTTPConnectionThread& thread);
    void HandleRequest(THTTPConnectionThread& thread);
    void RefuseBusy(THTTPConnection& connection);

    std::atomic<int> FDefaultPort{0};
    std::atomic<bool> FActive{false};
    std::atomic<bool> FStopping{false};
    sockaddr_in FLocalAddress{};
    std::atomic<int> FReadTimeOut{THTTPConnection::DefaultTimeOutMs};
    std::atomic<int> FMaxConnections{0};
    std::atomic<int> FConnectionCap{0};
    int FListenFd = -1;
    int FWakeFd = -1;
    int FEpollFd = -1;
    // why: a descriptor kept in reserve, so that even at the open-file limit an excess
    // connection can be accepted, answered and closed instead of waiting in the backlog.
    int FSpareFd = -1;
    std::mutex FHandlerLock;
    std::shared_ptr<const TNetHTTPCommandEvent> FOnCommandGet;
    // invariant: only the thread that listens touches the connections waiting for their head;
    // the pool hands the listening from thread to thread.
    std::list<std::unique_ptr<THTTPConnectionThread>> FReading;
    std::atomic<int> FReadingCount{0};
    std::mutex FServedLock;
    std::list<std::unique_ptr<THTTPConnectionThread>> FServed;
    std::atomic<int> FServedCount{0};
    TWorkerPool FWorkers;
};

// The connection cap that the open-file limit leaves room for: two descriptors per connection
// (its socket and a file it serves) after a reserve for the rest of the program and the
// interpreters' pipes, between 16 and 1024.
int ConnectionCapForOpenFiles();

// Raises the soft limit of open files to the hard limit (the program calls it at start, so
// that the server's cap is not the small default); returns the soft limit in force.
long RaiseOpenFileLimit();

// The MIME type of a file: by its name, and by its first bytes when the name tells nothing.
std::string MimeTypeOfFile(const std::string& fileName);
