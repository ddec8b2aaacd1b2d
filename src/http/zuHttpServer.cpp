// The internal HTTP server: listener, connection threads, file serving and MIME types.

#include "http/zuHttpServer.h"

#include "http/zuHttpRequest.h"

#include "Platform/text/Format.h"
#include "Platform/core/QtBridge.h"

#include <QMimeDatabase>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

THTTPConnectionThread::THTTPConnectionThread(TNetHTTPServer& server, int fd) : FServer(server), FConnection(fd, server.ReadTimeOut()) {}

THTTPConnectionThread::~THTTPConnectionThread()
{
    Stop();
    Join();
}

void THTTPConnectionThread::Stop()
{
    FStopped.store(true);
    FConnection.Close();
}

void THTTPConnectionThread::Start()
{
    FThread = std::thread([this] { Run(); });
}

void THTTPConnectionThread::Join()
{
    if (FThread.joinable())
        FThread.join();
}

void THTTPConnectionThread::Run()
{
    try {
        FServer.HandleRequest(*this);
    } catch (...) {
        // invariant: nothing escapes a connection thread; the connection just ends.
    }
    FConnection.Finish();
    FFinished.store(true);
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
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
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
        FWakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (FWakeFd < 0) {
            const int error = errno;
            ::close(fd);
            RaiseLastOSError(error);
        }
        FListenFd = fd;
        FActive.store(true);
        FListener = std::thread([this] { Listen(); });
        return;
    }

    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(FWakeFd, &one, sizeof one);
    if (FListener.joinable())
        FListener.join();
    ::close(FListenFd);
    ::close(FWakeFd);
    FListenFd = FWakeFd = -1;
    std::list<std::unique_ptr<THTTPConnectionThread>> threads;
    {
        const std::lock_guard lock(FThreadsLock);
        for (const auto& thread : FThreads)
            thread->Stop();
        threads.swap(FThreads);
    }
    // why: a closed connection ends its thread quickly unless the handler still waits for a
    // CGI run; that run ends at its own time-out at the latest, so joining is bounded.
    for (const auto& thread : threads)
        thread->Join();
    FActive.store(false);
}

void TNetHTTPServer::ReapFinished()
{
    // invariant: called with FThreadsLock held.
    for (auto it = FThreads.begin(); it != FThreads.end();) {
        if ((*it)->Finished()) {
            (*it)->Join();
            it = FThreads.erase(it);
        } else {
            ++it;
        }
    }
}

void TNetHTTPServer::Listen()
{
    for (;;) {
        pollfd fds[2] = {{FWakeFd, POLLIN, 0}, {FListenFd, POLLIN, 0}};
        const int ready = ::poll(fds, 2, 1000);
        if (ready < 0 && errno != EINTR)
            return;
        if (fds[0].revents & POLLIN)
            return;
        {
            const std::lock_guard lock(FThreadsLock);
            ReapFinished();
        }
        if (ready <= 0 || !(fds[1].revents & POLLIN))
            continue;
        const int fd = ::accept4(FListenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
                ::usleep(10000);
            continue;
        }
        const std::lock_guard lock(FThreadsLock);
        auto thread = std::make_unique<THTTPConnectionThread>(*this, fd);
        THTTPConnectionThread& started = *thread;
        FThreads.push_back(std::move(thread));
        try {
            started.Start();
        } catch (const std::system_error&) {
            FThreads.pop_back();
        }
    }
}

void TNetHTTPServer::HandleRequest(THTTPConnectionThread& thread)
{
    THTTPConnection& connection = thread.Connection();
    TNetHTTPRequestInfo request;
    const TRequestParseResult parsed = connection.ReadRequest(request);
    if (parsed.Status < 0)
        return;
    const bool headOnly = parsed.Status == 0 && request.Command == "HEAD";
    bool headerSent = false;
    TNetHTTPResponseInfo response([&connection, &headerSent, headOnly](std::string_view bytes) {
        // why: an answer to HEAD never carries a body, whatever the handler produced.
        if (headOnly && headerSent)
            return true;
        headerSent = true;
        return connection.Write(bytes);
    });
    response.ServerSoftware = ServerSoftware;
    if (parsed.Status != 0) {
        response.SetResponseNo(parsed.Status);
        response.ContentText = Format("<html><body><h1>%d %s</h1></body></html>",
                                      {parsed.Status, std::string(ReasonText(parsed.Status))});
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
    response.WriteHeader();
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || !response.WriteBody(std::string_view(chunk, static_cast<size_t>(n))))
            break;
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
