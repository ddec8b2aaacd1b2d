#pragma once
// THTTPConnection: one accepted TCP connection of the internal HTTP server: reading a request
// from it, writing the answer, and closing it, also from another thread while its own thread
// is blocked on it.

#include "http/zuHttpRequest.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <string_view>

class THTTPConnection {
public:
    // Takes over the socket `fd`. `timeOutMs` bounds the whole request read (head and body)
    // and every stall of a write.
    explicit THTTPConnection(int fd, int timeOutMs = DefaultTimeOutMs);
    ~THTTPConnection();
    THTTPConnection(const THTTPConnection&) = delete;
    THTTPConnection& operator=(const THTTPConnection&) = delete;

    // The connection's local and peer addresses (dotted IPv4 text) and ports.
    const std::string& LocalIP() const { return FLocalIP; }
    int LocalPort() const { return FLocalPort; }
    const std::string& PeerIP() const { return FPeerIP; }
    int PeerPort() const { return FPeerPort; }

    // Reads the request head and body. The result's Status is 0 for a complete request, the
    // status to answer with for a refused one, and -1 when the peer went away or did not send
    // the whole request within the time-out (a peer that trickles bytes gains no time).
    TRequestParseResult ReadRequest(TNetHTTPRequestInfo& request);

    // Sends every byte; false once the peer has gone, the connection was closed, or the peer
    // took nothing for the time-out.
    bool Write(std::string_view data);

    // Ends both directions at once; safe from any thread. The owner's blocked reads and
    // writes return.
    void Close();
    bool Closed() const { return FClosed.load(); }

    // The owner's orderly end after an answer: no more writes, unread request bytes drained
    // for a moment (so the peer sees the whole answer, not a reset), then the socket closed.
    void Finish();

    static constexpr int DefaultTimeOutMs = 30000;

private:
    using TClock = std::chrono::steady_clock;
    // Appends what arrives to FBuffer; false at the end of the stream, at `deadline` or close.
    bool ReadMore(TClock::time_point deadline);

    // invariant: only the owner's thread reads, writes and closes FFd; Close() from another
    // thread shuts it down under FCloseLock, which the owner also holds while closing it.
    int FFd;
    int FTimeOutMs;
    std::mutex FCloseLock;
    std::atomic<bool> FClosed{false};
    std::string FBuffer;
    std::string FLocalIP;
    int FLocalPort = 0;
    std::string FPeerIP;
    int FPeerPort = 0;
};
