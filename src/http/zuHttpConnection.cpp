// One connection of the internal HTTP server.

#include "http/zuHttpConnection.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <climits>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

void AddressOf(const sockaddr_in& address, std::string& ip, int& port)
{
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    ip = text;
    port = ntohs(address.sin_port);
}

// Milliseconds from now until `deadline` for poll, at most `cap` (negative: no cap).
int PollWait(THTTPConnection::TClock::time_point deadline, int cap = -1)
{
    using namespace std::chrono;
    if (deadline == THTTPConnection::TClock::time_point::max())
        return cap;
    const long long left =
        std::max<long long>(0, duration_cast<milliseconds>(deadline - THTTPConnection::TClock::now()).count() + 1);
    return static_cast<int>(cap >= 0 ? std::min<long long>(left, cap) : std::min<long long>(left, INT_MAX));
}

bool WouldBlock()
{
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

} // namespace

THTTPConnection::THTTPConnection(int fd, int timeOutMs, const sockaddr_in& local, const sockaddr_in& peer)
    : FFd(fd), FTimeOutMs(std::max(0, timeOutMs)),
      FHeadDeadline(TClock::now() + std::chrono::milliseconds(FTimeOutMs))
{
    // why: an answer may go out in several writes; waiting for the peer's acknowledgement of
    // one before sending the next costs a delayed-ACK period.
    const int one = 1;
    ::setsockopt(FFd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    AddressOf(local, FLocalIP, FLocalPort);
    AddressOf(peer, FPeerIP, FPeerPort);
}

THTTPConnection::~THTTPConnection()
{
    if (FFd >= 0)
        ::close(FFd);
}

size_t THTTPConnection::HeadEnd(size_t& separator)
{
    // A lone LF pair ends the head too, as lenient clients send it.
    const size_t crlf = FBuffer.find("\r\n\r\n", FSearchFrom);
    const size_t lf = FBuffer.find("\n\n", FSearchFrom);
    if (crlf != std::string::npos && (lf == std::string::npos || crlf < lf)) {
        separator = 4;
        return crlf;
    }
    if (lf != std::string::npos) {
        separator = 2;
        return lf;
    }
    FSearchFrom = FBuffer.size() > 3 ? FBuffer.size() - 3 : 0;
    return std::string::npos;
}

THTTPConnection::THeadState THTTPConnection::ReceiveHead()
{
    char chunk[16384];
    for (;;) {
        size_t separator = 0;
        if (HeadEnd(separator) != std::string::npos || FBuffer.size() > MaxRequestHeadSize)
            return THeadState::Complete;
        if (FClosed.load())
            return THeadState::Failed;
        const ssize_t n = ::recv(FFd, chunk, sizeof chunk, 0);
        if (n > 0)
            FBuffer.append(chunk, static_cast<size_t>(n));
        else if (n < 0 && errno == EINTR)
            continue;
        else
            return n < 0 && WouldBlock() ? THeadState::Waiting : THeadState::Failed;
    }
}

bool THTTPConnection::ReadMore(TClock::time_point deadline)
{
    for (;;) {
        if (FClosed.load() || TClock::now() >= deadline)
            return false;
        pollfd p{FFd, POLLIN, 0};
        const int ready = ::poll(&p, 1, PollWait(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        char chunk[65536];
        const ssize_t n = ::recv(FFd, chunk, sizeof chunk, 0);
        if (n < 0 && WouldBlock())
            continue;
        if (n <= 0 || FClosed.load())
            return false;
        FBuffer.append(chunk, static_cast<size_t>(n));
        return true;
    }
}

TRequestParseResult THTTPConnection::ReadRequest(TNetHTTPRequestInfo& request)
{
    TRequestParseResult result;
    for (;;) {
        const THeadState state = ReceiveHead();
        if (state == THeadState::Complete)
            break;
        if (state == THeadState::Failed || !ReadMore(FHeadDeadline)) {
            result.Status = -1;
            return result;
        }
    }
    size_t separator = 0;
    const size_t headEnd = HeadEnd(separator);
    if (headEnd == std::string::npos || headEnd > MaxRequestHeadSize) {
        result.Status = 431;
        return result;
    }
    // why: some clients send blank lines between requests; they are not part of the head.
    size_t headStart = 0;
    while (headStart < headEnd && (FBuffer[headStart] == '\r' || FBuffer[headStart] == '\n'))
        ++headStart;
    result = ParseRequestHead(std::string_view(FBuffer).substr(headStart, headEnd - headStart), request);
    request.RemoteIP = FPeerIP;
    FBuffer.erase(0, headEnd + separator);
    // invariant: a refused request's body still counts, so that closing waits for it.
    FBodyLeft = result.ContentLength;
    FExpectContinue = result.ExpectContinue;
    return result;
}

bool THTTPConnection::BeginBody()
{
    if (FBodyStarted)
        return true;
    FBodyStarted = true;
    // why: a request may wait long for its turn; the time its body may take starts when the
    // server asks for it.
    FBodyDeadline = TClock::now() + std::chrono::milliseconds(FTimeOutMs);
    return !FExpectContinue || FBuffer.size() >= static_cast<size_t>(FBodyLeft) ||
           Write("HTTP/1.1 100 Continue\r\n\r\n");
}

bool THTTPConnection::ReadBody(std::string& into, size_t limit)
{
    if (FBodyLeft <= 0 || limit == 0)
        return true;
    if (!BeginBody())
        return false;
    const size_t want = std::min(limit, static_cast<size_t>(FBodyLeft));
    if (!FBuffer.empty()) {
        const size_t n = std::min(want, FBuffer.size());
        into.append(FBuffer, 0, n);
        FBuffer.erase(0, n);
        FBodyLeft -= static_cast<std::int64_t>(n);
        return true;
    }
    if (FClosed.load() || TClock::now() >= FBodyDeadline)
        return false;
    const size_t old = into.size();
    into.resize(old + want);
    const ssize_t n = ::recv(FFd, into.data() + old, want, 0);
    into.resize(old + static_cast<size_t>(std::max<ssize_t>(n, 0)));
    if (n > 0) {
        FBodyLeft -= n;
        return true;
    }
    return n < 0 && WouldBlock();
}

bool THTTPConnection::DiscardBody()
{
    if (FBodyLeft <= 0)
        return true;
    // why: a client waiting for "100 Continue" has not sent its body; it gets the answer
    // instead and the connection closes after it.
    if (FExpectContinue && !FBodyStarted && FBuffer.size() < static_cast<size_t>(FBodyLeft))
        return true;
    BeginBody();
    const size_t buffered = std::min(FBuffer.size(), static_cast<size_t>(FBodyLeft));
    FBuffer.erase(0, buffered);
    FBodyLeft -= static_cast<std::int64_t>(buffered);
    char chunk[65536];
    while (FBodyLeft > 0) {
        if (FClosed.load() || TClock::now() >= FBodyDeadline)
            return false;
        pollfd p{FFd, POLLIN, 0};
        const int ready = ::poll(&p, 1, PollWait(FBodyDeadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        const ssize_t n = ::recv(FFd, chunk, std::min(sizeof chunk, static_cast<size_t>(FBodyLeft)), 0);
        if (n > 0)
            FBodyLeft -= n;
        else if (n == 0 || !WouldBlock())
            return false;
    }
    return true;
}

bool THTTPConnection::Write(std::string_view data)
{
    while (!data.empty()) {
        if (FClosed.load())
            return false;
        const ssize_t n = ::send(FFd, data.data(), data.size(), MSG_NOSIGNAL);
        if (n >= 0) {
            data.remove_prefix(static_cast<size_t>(n));
            continue;
        }
        if (errno == EINTR)
            continue;
        if (!WouldBlock() || TClock::now() >= FWriteDeadline)
            return false;
        pollfd p{FFd, POLLOUT, 0};
        const int ready = ::poll(&p, 1, PollWait(FWriteDeadline, FTimeOutMs));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
    }
    return true;
}

bool THTTPConnection::PeerGone() const
{
    if (FClosed.load())
        return true;
    pollfd p{FFd, POLLRDHUP, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void THTTPConnection::Close()
{
    const std::lock_guard lock(FCloseLock);
    if (!FClosed.exchange(true) && FFd >= 0)
        ::shutdown(FFd, SHUT_RDWR);
}

void THTTPConnection::Finish(bool linger)
{
    if (FFd < 0)
        return;
    char peek = 0;
    // why: closing with request bytes unread resets the connection, which can take the answer
    // with it; without such bytes the close itself ends the answer in order.
    if (!FClosed.load() && linger && (FBodyLeft > 0 || ::recv(FFd, &peek, 1, MSG_PEEK | MSG_DONTWAIT) > 0)) {
        ::shutdown(FFd, SHUT_WR);
        const auto deadline = TClock::now() + std::chrono::milliseconds(1000);
        char chunk[16384];
        while (!FClosed.load() && TClock::now() < deadline) {
            pollfd p{FFd, POLLIN, 0};
            const int ready = ::poll(&p, 1, PollWait(deadline));
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready <= 0)
                break;
            const ssize_t n = ::recv(FFd, chunk, sizeof chunk, 0);
            if (n == 0 || (n < 0 && !WouldBlock()))
                break;
        }
    }
    const std::lock_guard lock(FCloseLock);
    FClosed.store(true);
    ::close(FFd);
    FFd = -1;
}
