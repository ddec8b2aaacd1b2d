// The internal HTTP server: listener, connection cap, connection threads, file serving and
// MIME types.

#include "http/zuHttpServer.h"

#include "http/zuHttpRequest.h"

#include "Platform/text/Format.h"
#include "Platform/core/QtBridge.h"

#include <QMimeDatabase>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// epoll tags besides the connections' own addresses.
constexpr std::uint64_t WakeTag = 0;
constexpr std::uint64_t ListenTag = 1;

// Descriptors kept for the rest of the program and the interpreters' pipes.
constexpr long ReservedFiles = 256;
constexpr int MinConnectionCap = 16;
constexpr int MaxConnectionCap = 1024;

} // namespace

THTTPConnectionThread::THTTPConnectionThread(int fd, int timeOutMs, const sockaddr_in& local, const sockaddr_in& peer)
    : FConnection(fd, timeOutMs, local, peer)
{
}

void THTTPConnectionThread::Stop()
{
    FStopped.store(true);
    FConnection.Close();
}

int ConnectionCapForOpenFiles()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return MaxConnectionCap;
    const long room = (static_cast<long>(std::min<rlim_t>(limit.rlim_cur, LONG_MAX)) - ReservedFiles) / 2;
    return static_cast<int>(std::clamp<long>(room, MinConnectionCap, MaxConnectionCap));
}

long RaiseOpenFileLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return -1;
    if (limit.rlim_cur < limit.rlim_max) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max;
        if (::setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit = raised;
    }
    return limit.rlim_cur == RLIM_INFINITY ? LONG_MAX : static_cast<long>(std::min<rlim_t>(limit.rlim_cur, LONG_MAX));
}

TNetHTTPServer::TNetHTTPServer() = default;

TNetHTTPServer::~TNetHTTPServer()
{
    try {
        SetActive(false);
    } catch (...) {
    }
}

void TNetHTTPServer::SetOnCommandGet(TNetHTTPCommandEvent handler)
{
    auto shared = handler ? std::make_shared<const TNetHTTPCommandEvent>(std::move(handler)) : nullptr;
    const std::lock_guard lock(FHandlerLock);
    FOnCommandGet = std::move(shared);
}

void TNetHTTPServer::SetActive(bool value)
{
    if (value == FActive.load())
        return;
    if (value) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0)
            RaiseLastOSError();
        // why: without it, connections of an earlier run that wait in TIME_WAIT block the
        // port after every restart. On Linux the flag never lets two listeners share a port,
        // so a port taken by another program still fails to bind.
        const int one = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const int port = FDefaultPort.load();
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        if (port < 0 || port > 65535 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(fd, SOMAXCONN) != 0) {
            const int error = port < 0 || port > 65535 ? EINVAL : errno;
            ::close(fd);
            throw EIdSocketError(Format("Could not bind socket. 127.0.0.1:%d: %s", {port, SysErrorMessage(error)}));
        }
        socklen_t length = sizeof address;
        if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            FDefaultPort.store(ntohs(address.sin_port));
        FLocalAddress = address;
        const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        const int poller = ::epoll_create1(EPOLL_CLOEXEC);
        epoll_event wakeEvent{EPOLLIN, {.u64 = WakeTag}};
        epoll_event listenEvent{EPOLLIN, {.u64 = ListenTag}};
        if (wake < 0 || poller < 0 || ::epoll_ctl(poller, EPOLL_CTL_ADD, wake, &wakeEvent) != 0 ||
            ::epoll_ctl(poller, EPOLL_CTL_ADD, fd, &listenEvent) != 0) {
            const int error = errno;
            for (const int open : {fd, wake, poller})
                if (open >= 0)
                    ::close(open);
            RaiseLastOSError(error);
        }
        FListenFd = fd;
        FWakeFd = wake;
        FEpollFd = poller;
        FSpareFd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        const int cap = FMaxConnections.load() > 0 ? FMaxConnections.load() : ConnectionCapForOpenFiles();
        FConnectionCap.store(cap);
        // One thread more than connections: the one that listens.
        FWorkers.SetMaxThreads(static_cast<size_t>(cap) + 1);
        FStopping.store(false);
        FActive.store(true);
        FWorkers.Post([this] { Listen(); });
        return;
    }

    FStopping.store(true);
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(FWakeFd, &one, sizeof one);
    {
        const std::lock_guard lock(FServedLock);
        for (const auto& thread : FServed)
            thread->Stop();
    }
    // why: a closed connection ends its thread quickly unless the handler still waits for a
    // CGI run; that run ends at its own time-out at the latest, so waiting is bounded.
    FWorkers.Stop();
    // Nothing listens or serves any more; what is left never got a thread.
    FReading.clear();
    FReadingCount.store(0);
    {
        const std::lock_guard lock(FServedLock);
        FServed.clear();
        FServedCount.store(0);
    }
    for (int* fd : {&FListenFd, &FWakeFd, &FEpollFd, &FSpareFd}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    FActive.store(false);
}

void TNetHTTPServer::Listen()
{
    std::vector<std::unique_ptr<THTTPConnectionThread>> complete;
    epoll_event events[64];
    while (complete.empty()) {
        const int wait = ExpireHeads();
        const int ready = ::epoll_wait(FEpollFd, events, 64, wait);
        if (ready < 0 && errno != EINTR)
            return;
        bool incoming = false;
        for (int i = 0; i < ready; ++i) {
            const std::uint64_t tag = events[i].data.u64;
            if (tag == WakeTag)
                return;
            if (tag == ListenTag)
                incoming = true;
            else
                ProgressHead(*reinterpret_cast<THTTPConnectionThread*>(static_cast<std::uintptr_t>(tag)), complete);
        }
        // invariant: accepting may displace a waiting connection, so it comes after every
        // event of the batch that names one.
        if (incoming)
            AcceptAll(complete);
        if (FStopping.load())
            return;
    }
    // why: the thread that received the head serves it at once, without waking another for
    // it; the next listener starts meanwhile.
    if (!FStopping.load())
        FWorkers.Post([this] { Listen(); });
    THTTPConnectionThread& mine = Register(std::move(complete.back()));
    complete.pop_back();
    for (auto& other : complete) {
        THTTPConnectionThread& served = Register(std::move(other));
        FWorkers.Post([this, &served] { Serve(served); });
    }
    Serve(mine);
}

int TNetHTTPServer::ExpireHeads()
{
    const auto now = THTTPConnection::TClock::now();
    auto next = THTTPConnection::TClock::time_point::max();
    for (auto it = FReading.begin(); it != FReading.end();) {
        const auto deadline = (*it)->Connection().HeadDeadline();
        if (deadline <= now) {
            // A head that did not arrive in time gets no answer.
            THTTPConnectionThread& thread = **it++;
            StopWaitingForHead(thread);
        } else {
            next = std::min(next, deadline);
            ++it;
        }
    }
    if (next == THTTPConnection::TClock::time_point::max())
        return -1;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count() + 1;
    return static_cast<int>(std::min<long long>(left, INT_MAX));
}

void TNetHTTPServer::StopWaitingForHead(THTTPConnectionThread& thread)
{
    ::epoll_ctl(FEpollFd, EPOLL_CTL_DEL, thread.Connection().Fd(), nullptr);
    FReading.erase(thread.FPosition);
    FReadingCount.store(static_cast<int>(FReading.size()));
}

void TNetHTTPServer::AcceptAll(std::vector<std::unique_ptr<THTTPConnectionThread>>& complete)
{
    for (;;) {
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        const int fd = ::accept4(FListenFd, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd >= 0) {
            Admit(fd, peer, complete);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        if ((errno == EMFILE || errno == ENFILE) && FSpareFd >= 0) {
            // Out of descriptors all the same: the spare one lets the newcomer be told.
            ::close(FSpareFd);
            sockaddr_in peer{};
            socklen_t length = sizeof peer;
            const int excess =
                ::accept4(FListenFd, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (excess >= 0) {
                THTTPConnection connection(excess, 0, FLocalAddress, peer);
                RefuseBusy(connection);
            }
            FSpareFd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
            if (excess >= 0)
                continue;
        }
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
            // why: the listening socket stays readable; without a pause this would spin.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return;
    }
}

void TNetHTTPServer::RefuseBusy(THTTPConnection& connection)
{
    // why: the listener must never wait on one client; a fresh socket takes a short answer
    // at once.
    connection.SetWriteDeadline(THTTPConnection::TClock::now());
    TNetHTTPResponseInfo response([&connection](std::string_view bytes) { return connection.Write(bytes); });
    response.ServerSoftware = ServerSoftware;
    response.SetResponseNo(503);
    response.ContentText = StatusPageText(503);
    response.WriteContent();
    connection.Finish(false);
}

void TNetHTTPServer::Admit(int fd, const sockaddr_in& peer, std::vector<std::unique_ptr<THTTPConnectionThread>>& complete)
{
    auto thread = std::make_unique<THTTPConnectionThread>(fd, ReadTimeOut(), FLocalAddress, peer);
    if (ConnectionCount() >= FConnectionCap.load()) {
        if (FReading.empty()) {
            RefuseBusy(thread->Connection());
            return;
        }
        const std::unique_ptr<THTTPConnectionThread> oldest = std::move(FReading.front());
        StopWaitingForHead(*oldest);
        RefuseBusy(oldest->Connection());
    }
    // why: a client usually sends its request before the server gets to accept it, so the
    // head is often complete at once.
    switch (thread->Connection().ReceiveHead()) {
    case THTTPConnection::THeadState::Complete:
        complete.push_back(std::move(thread));
        return;
    case THTTPConnection::THeadState::Failed:
        return;
    case THTTPConnection::THeadState::Waiting:
        break;
    }
    THTTPConnectionThread* waiting = thread.get();
    epoll_event event{EPOLLIN | EPOLLRDHUP, {.u64 = reinterpret_cast<std::uintptr_t>(waiting)}};
    if (::epoll_ctl(FEpollFd, EPOLL_CTL_ADD, thread->Connection().Fd(), &event) != 0)
        return;
    FReading.push_back(std::move(thread));
    waiting->FPosition = std::prev(FReading.end());
    FReadingCount.store(static_cast<int>(FReading.size()));
}

void TNetHTTPServer::ProgressHead(THTTPConnectionThread& thread,
                                  std::vector<std::unique_ptr<THTTPConnectionThread>>& complete)
{
    const THTTPConnection::THeadState state = thread.Connection().ReceiveHead();
    if (state == THTTPConnection::THeadState::Waiting)
        return;
    std::unique_ptr<THTTPConnectionThread> owned = std::move(*thread.FPosition);
    StopWaitingForHead(thread);
    if (state == THTTPConnection::THeadState::Complete)
        complete.push_back(std::move(owned));
}

THTTPConnectionThread& TNetHTTPServer::Register(std::unique_ptr<THTTPConnectionThread> thread)
{
    THTTPConnectionThread& served = *thread;
    const std::lock_guard lock(FServedLock);
    FServed.push_back(std::move(thread));
    served.FPosition = std::prev(FServed.end());
    FServedCount.fetch_add(1);
    // invariant: a connection registered after the stop began is stopped like the others.
    if (FStopping.load())
        served.Stop();
    return served;
}

void TNetHTTPServer::Serve(THTTPConnectionThread& thread)
{
    try {
        if (!thread.Stopped())
            HandleRequest(thread);
    } catch (...) {
        // invariant: nothing escapes a connection thread; the connection just ends.
    }
    thread.Connection().Finish();
    const std::lock_guard lock(FServedLock);
    FServed.erase(thread.FPosition);
    FServedCount.fetch_sub(1);
}

void TNetHTTPServer::HandleRequest(THTTPConnectionThread& thread)
{
    THTTPConnection& connection = thread.Connection();
    TNetHTTPRequestInfo request;
    const TRequestParseResult parsed = connection.ReadRequest(request);
    if (parsed.Status < 0)
        return;
    // A refused request's body is never read; the connection closes after the answer.
    bool bodyDone = parsed.Status != 0;
    TNetHTTPResponseInfo response([&connection, &bodyDone](std::string_view bytes) {
        // why: a client that is still sending its body reads nothing until it is done; taking
        // the rest of the body first keeps both sides from waiting on each other. A body that
        // does not arrive in time gets no answer.
        if (!bodyDone) {
            bodyDone = true;
            if (!connection.DiscardBody()) {
                connection.Close();
                return false;
            }
        }
        return connection.Write(bytes);
    });
    // why: an answer to HEAD never carries a body, whatever the handler produced.
    response.NoBody = parsed.Status == 0 && request.Command == "HEAD";
    response.ServerSoftware = ServerSoftware;
    if (parsed.Status != 0) {
        response.SetResponseNo(parsed.Status);
        response.ContentText = StatusPageText(parsed.Status);
        response.WriteContent();
        return;
    }
    std::shared_ptr<const TNetHTTPCommandEvent> handler;
    {
        const std::lock_guard lock(FHandlerLock);
        handler = FOnCommandGet;
    }
    if (!handler) {
        response.SetResponseNo(404);
    } else {
        try {
            (*handler)(thread, request, response);
        } catch (const std::exception& e) {
            if (!response.HeaderHasBeenWritten()) {
                response.SetResponseNo(500);
                response.ContentType = "text/html";
                response.ContentLength = -1;
                response.ContentText = e.what();
            }
        }
    }
    response.WriteContent();
}

void TNetHTTPServer::ServeFile(THTTPConnectionThread&, TNetHTTPResponseInfo& response, const std::string& fileName)
{
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = fd < 0 ? errno : EISDIR;
        if (fd >= 0)
            ::close(fd);
        throw EFOpenError(Format("Cannot open file \"%s\". %s", {fileName, SysErrorMessage(error)}));
    }
    struct TCloser {
        int Fd;
        ~TCloser() { ::close(Fd); }
    } closer{fd};
    response.ContentLength = info.st_size;
    if (response.ContentType.empty())
        response.ContentType = MimeTypeOfFile(fileName);
    response.ContentText.clear();
    char chunk[65536];
    const auto readChunk = [fd, &chunk] {
        ssize_t n;
        while ((n = ::read(fd, chunk, sizeof chunk)) < 0 && errno == EINTR) {
        }
        return std::max<ssize_t>(n, 0);
    };
    // why: the header and the first bytes in one write leave in one segment.
    ssize_t n = readChunk();
    response.WriteHeader(std::string_view(chunk, static_cast<size_t>(n)));
    while (n > 0 && (n = readChunk()) > 0 && response.WriteBody(std::string_view(chunk, static_cast<size_t>(n)))) {
    }
}

std::string MimeTypeOfFile(const std::string& fileName)
{
    // invariant: QMimeDatabase may be used from several threads at once.
    const QMimeDatabase database;
    QMimeType type = database.mimeTypeForFile(QStr(fileName), QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault())
        type = database.mimeTypeForFile(QStr(fileName), QMimeDatabase::MatchContent);
    return type.isValid() ? StdStr(type.name()) : std::string("application/octet-stream");
}
