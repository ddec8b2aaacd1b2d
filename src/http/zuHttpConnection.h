#pragma once
// THTTPConnection: one accepted TCP connection of the internal HTTP server: receiving a
// request head from it, streaming the request body on demand, writing the answer, and closing
// it, also from another thread while its own thread is blocked on it.

#include "http/zuHttpRequest.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <netinet/in.h>
#include <string>
#include <string_view>

class THTTPConnection {
public:
    using TClock = std::chrono::steady_clock;

    // Takes over the non-blocking socket `fd` with its local and peer addresses. `timeOutMs`
    // bounds the request head from now on, the body from when it is first asked for, and
    // every stall of a write.
    THTTPConnection(int fd, int timeOutMs, const sockaddr_in& local, const sockaddr_in& peer);
    ~THTTPConnection();
    THTTPConnection(const THTTPConnection&) = delete;
    THTTPConnection& operator=(const THTTPConnection&) = delete;

    // The connection's local and peer addresses (dotted IPv4 text) and ports.
    const std::string& LocalIP() const { return FLocalIP; }
    int LocalPort() const { return FLocalPort; }
    const std::string& PeerIP() const { return FPeerIP; }
    int PeerPort() const { return FPeerPort; }
    // For waiting on the socket together with other descriptors.
    int Fd() const { return FFd; }

    enum class THeadState { Complete, Waiting, Failed };
    // Takes what has arrived without waiting: Complete once the head's blank line is there (or
    // the head has passed its size limit), Failed when the peer went away.
    THeadState ReceiveHead();
    // When the head must be complete.
    TClock::time_point HeadDeadline() const { return FHeadDeadline; }

    // Reads and parses the request head, waiting for it until the head deadline. The result's
    // Status is 0 for a complete request, the status to answer with for a refused one, and -1
    // when the peer went away or did not send the whole head in time (a peer that trickles
    // bytes gains no time). The body is not read: it waits in the connection.
    TRequestParseResult ReadRequest(TNetHTTPRequestInfo& request);

    // Bytes of the body that nobody has taken yet.
    std::int64_t BodyLeft() const { return FBodyLeft; }
    // Appends at most `limit` bytes of the body that have arrived, without waiting (a client
    // that waits for "100 Continue" is sent it first). False when the rest will not come: the
    // peer went away or the body's time-out passed.
    bool ReadBody(std::string& into, size_t limit);
    // Reads the rest of the body and drops it, waiting at most until the body's time-out.
    // False when it did not arrive. A client still waiting for "100 Continue" is not asked.
    bool DiscardBody();

    // Sends every byte; false once the peer has gone, the connection was closed, the peer took
    // nothing for the time-out, or the write deadline passed.
    bool Write(std::string_view data);
    // The latest moment a write may still go on (none by default).
    void SetWriteDeadline(TClock::time_point deadline) { FWriteDeadline = deadline; }

    // True when the peer has closed its side or the connection failed; does not wait.
    bool PeerGone() const;

    // Ends both directions at once; safe from any thread. The owner's blocked reads and
    // writes return.
    void Close();
    bool Closed() const { return FClosed.load(); }

    // The owner's orderly end after an answer: no more writes; when request bytes are still on
    // their way and `linger` is set, they are drained for a moment (so the peer sees the whole
    // answer, not a reset); then the socket is closed.
    void Finish(bool linger = true);

    static constexpr int DefaultTimeOutMs = 30000;

private:
    // Appends what arrives to FBuffer, waiting until `deadline`; false at the end of the
    // stream, at the deadline or close.
    bool ReadMore(TClock::time_point deadline);
    bool BeginBody();
    // Where the head ends in FBuffer (npos while incomplete) and the length of its blank line.
    size_t HeadEnd(size_t& separator);

    // invariant: only the owner's thread reads, writes and closes FFd; Close() from another
    // thread shuts it down under FCloseLock, which the owner also holds while closing it.
    int FFd;
    int FTimeOutMs;
    std::mutex FCloseLock;
    std::atomic<bool> FClosed{false};
    std::string FBuffer;
    size_t FSearchFrom = 0;
    TClock::time_point FHeadDeadline;
    TClock::time_point FBodyDeadline{};
    TClock::time_point FWriteDeadline = TClock::time_point::max();
    std::int64_t FBodyLeft = 0;
    bool FBodyStarted = false;
    bool FExpectContinue = false;
    std::string FLocalIP;
    int FLocalPort = 0;
    std::string FPeerIP;
    int FPeerPort = 0;
};
