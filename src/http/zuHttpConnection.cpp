// One connection of the internal HTTP server.

#include "http/zuHttpConnection.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <climits>
#include <fcntl.h>
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

} // namespace

THTTPConnection::THTTPConnection(int fd, int timeOutMs) : FFd(fd), FTimeOutMs(std::max(0, timeOutMs))
{
    // why: a blocking send to a peer that stops reading would wait forever; every wait on the
    // socket goes through poll with a time-out instead.
    ::fcntl(FFd, F_SETFL, ::fcntl(FFd, F_GETFL) | O_NONBLOCK);
    // why: an answer goes out as header and body in separate writes; waiting for the peer's
    // acknowledgement of the first before sending the second costs a delayed-ACK period.
    const int one = 1;
    ::setsockopt(FFd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getsockname(FFd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        AddressOf(address, FLocalIP, FLocalPort);
    length = sizeof address;
    if (::getpeername(FFd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        AddressOf(address, FPeerIP, FPeerPort);
}

THTTPConnection::~THTTPConnection()
{
    if (FFd >= 0)
        ::close(FFd);
}

bool THTTPConnection::ReadMore(TClock::time_point deadline)
{
    if (FClosed.load())
        return false;
    char chunk[16384];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now()).count();
        if (left <= 0)
            return false;
        pollfd p{FFd, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(std::min<long long>(left, INT_MAX)));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        const ssize_t n = ::recv(FFd, chunk, sizeof chunk, 0);
        if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
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
    // invariant: one deadline for the whole request, so a peer cannot hold the thread by
    // sending a byte just before each read would give up.
    const auto deadline = TClock::now() + std::chrono::milliseconds(FTimeOutMs);
    size_t headEnd = std::string::npos;
    size_t separator = 0;
    size_t searchFrom = 0;
    for (;;) {
        // A lone LF pair ends the head too, as lenient clients send it.
        const size_t crlf = FBuffer.find("\r\n\r\n", searchFrom);
        const size_t lf = FBuffer.find("\n\n", searchFrom);
        if (crlf != std::string::npos && (lf == std::string::npos || crlf < lf)) {
            headEnd = crlf;
            separator = 4;
        } else if (lf != std::string::npos) {
            headEnd = lf;
            separator = 2;
        }
        if (headEnd != std::string::npos)
            break;
        if (FBuffer.size() > MaxRequestHeadSize) {
            result.Status = 431;
            return result;
        }
        searchFrom = FBuffer.size() > 3 ? FBuffer.size() - 3 : 0;
        if (!ReadMore(deadline)) {
            result.Status = -1;
            return result;
        }
    }
    if (headEnd > MaxRequestHeadSize) {
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
    if (result.Status != 0)
        return result;

    const auto length = static_cast<size_t>(result.ContentLength);
    if (result.ExpectContinue && FBuffer.size() < length && !Write("HTTP/1.1 100 Continue\r\n\r\n")) {
        result.Status = -1;
        return result;
    }
    while (FBuffer.size() < length)
        if (!ReadMore(deadline)) {
            result.Status = -1;
            return result;
        }
    request.PostBody = FBuffer.substr(0, length);
    FBuffer.erase(0, length);
    return result;
}

bool THTTPConnection::Write(std::string_view data)
{
    while (!data.empty()) {
        if (FClosed.load())
            return false;
        const ssize_t n = ::send(FFd, data.data(), data.size(), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                pollfd p{FFd, POLLOUT, 0};
                const int ready = ::poll(&p, 1, FTimeOutMs);
                if (ready < 0 && errno == EINTR)
                    continue;
                if (ready <= 0)
                    return false;
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

void THTTPConnection::Close()
{
    const std::lock_guard lock(FCloseLock);
    if (!FClosed.exchange(true) && FFd >= 0)
        ::shutdown(FFd, SHUT_RDWR);
}

void THTTPConnection::Finish()
{
    if (FFd < 0)
        return;
    if (!FClosed.load()) {
        ::shutdown(FFd, SHUT_WR);
        using Clock = std::chrono::steady_clock;
        const auto deadline = Clock::now() + std::chrono::milliseconds(1000);
        char chunk[4096];
        while (!FClosed.load()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                break;
            pollfd p{FFd, POLLIN, 0};
            const int ready = ::poll(&p, 1, static_cast<int>(left));
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready <= 0)
                break;
            const ssize_t n = ::recv(FFd, chunk, sizeof chunk, 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                continue;
            if (n <= 0)
                break;
        }
    }
    const std::lock_guard lock(FCloseLock);
    FClosed.store(true);
    ::close(FFd);
    FFd = -1;
}
