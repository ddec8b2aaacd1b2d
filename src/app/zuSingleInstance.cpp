// The single-instance lock and the hand-over of a second start's arguments.

#include "app/zuSingleInstance.h"

#include "Platform/files/FileNames.h"
#include "Platform/core/QtBridge.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr char ReadyByte = 'R';
constexpr char CommitByte = 'C';
constexpr std::uint32_t MaxTextSize = 16u << 20;
constexpr auto RetryInterval = std::chrono::milliseconds(100);

int MillisecondsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// why: in a shared temporary folder another user could put a socket there to collect names.
bool OwnSocketFile(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_uid == ::getuid();
}

// One connection of the server: collects the text, answers "R", acts on "C".
struct Exchange {
    QByteArray Buffer;
    std::string Text;
    bool TextComplete = false;
    bool Committed = false;
};

} // namespace

std::string InstanceChannelPath()
{
    std::string folder;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime && DirectoryExists(runtime))
        folder = runtime;
    else
        folder = StdStr(QDir::tempPath());
    return IncludeTrailingPathDelimiter(folder) + "zentu-" + std::to_string(::getuid()) + "-" + std::string(InstanceGUID);
}

std::string BuildHandOverText(const std::vector<std::string>& arguments)
{
    std::string text;
    for (const std::string& argument : arguments)
        text += argument + "\r\n";
    return text;
}

std::vector<std::string> SplitHandOverText(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

std::vector<std::string> AbsoluteFileArguments(const std::vector<std::string>& arguments,
                                               const std::string& currentFolder)
{
    std::vector<std::string> result;
    result.reserve(arguments.size());
    for (const std::string& argument : arguments) {
        if (argument.empty())
            result.push_back(argument);
        else if (argument.front() == PathDelim)
            result.push_back(ExpandFileName(argument));
        else
            result.push_back(ExpandFileName(IncludeTrailingPathDelimiter(currentFolder) + argument));
    }
    return result;
}

TInstanceLock::TInstanceLock(std::string lockFileName) : FFileName(std::move(lockFileName)) {}

TInstanceLock::~TInstanceLock()
{
    Release();
}

bool TInstanceLock::TryClaim()
{
    if (FHandle >= 0)
        return true;
    // O_CLOEXEC: a child process (an interpreter, a console run) must not keep the lock alive.
    const int fd = ::open(FFileName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return true;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_uid != ::getuid()) {
        ::close(fd);
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return error != EWOULDBLOCK;
    }
    FHandle = fd;
    return true;
}

void TInstanceLock::Release()
{
    if (FHandle >= 0) {
        ::close(FHandle);
        FHandle = -1;
    }
}

TInstanceServer::TInstanceServer(std::string channelPath, QObject* parent)
    : QObject(parent), FChannelPath(std::move(channelPath))
{
}

TInstanceServer::~TInstanceServer()
{
    Close();
}

bool TInstanceServer::Listen()
{
    Close();
    FServer = std::make_unique<QLocalServer>();
    FServer->setSocketOptions(QLocalServer::UserAccessOption);
    // invariant: the caller holds the instance lock, so a socket file here is a stale one.
    QLocalServer::removeServer(QStr(FChannelPath));
    if (!FServer->listen(QStr(FChannelPath))) {
        FServer.reset();
        return false;
    }
    connect(FServer.get(), &QLocalServer::newConnection, this, &TInstanceServer::AcceptConnections);
    return true;
}

void TInstanceServer::Close()
{
    if (FServer) {
        FServer->close();
        FServer.reset();
    }
}

void TInstanceServer::AcceptConnections()
{
    while (QLocalSocket* socket = FServer ? FServer->nextPendingConnection() : nullptr) {
        // The socket is a child of the server; it goes with the connection or with the server.
        auto exchange = std::make_shared<Exchange>();
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, exchange] {
            exchange->Buffer += socket->readAll();
            if (!exchange->TextComplete && exchange->Buffer.size() >= 4) {
                const auto* b = reinterpret_cast<const unsigned char*>(exchange->Buffer.constData());
                const std::uint32_t size = b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24;
                if (size > MaxTextSize) {
                    socket->abort();
                    return;
                }
                if (static_cast<std::uint32_t>(exchange->Buffer.size()) - 4 < size)
                    return;
                exchange->Text.assign(exchange->Buffer.constData() + 4, size);
                exchange->Buffer.remove(0, static_cast<qsizetype>(size) + 4);
                exchange->TextComplete = true;
                socket->write(&ReadyByte, 1);
                socket->flush();
            }
            if (exchange->TextComplete && !exchange->Committed && exchange->Buffer.contains(CommitByte)) {
                exchange->Committed = true;
                socket->disconnectFromServer();
                if (OnHandOver)
                    OnHandOver(exchange->Text);
            }
        });
        if (socket->bytesAvailable() > 0)
            emit socket->readyRead();
    }
}

THandOverResult SendHandOver(const std::string& channelPath, const std::string& text, Clock::time_point deadline)
{
    if (!OwnSocketFile(channelPath))
        return THandOverResult::hrNoListener;
    QLocalSocket socket;
    socket.connectToServer(QStr(channelPath));
    if (!socket.waitForConnected(std::max(MillisecondsLeft(deadline), 1)))
        return THandOverResult::hrNoListener;

    QByteArray frame;
    const auto size = static_cast<std::uint32_t>(text.size());
    for (int shift = 0; shift < 32; shift += 8)
        frame += static_cast<char>((size >> shift) & 0xFF);
    frame += QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    socket.write(frame);
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(MillisecondsLeft(deadline)))
            return THandOverResult::hrFailed;

    QByteArray answer;
    while (!answer.contains(ReadyByte)) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(MillisecondsLeft(deadline)))
            return THandOverResult::hrFailed;
        answer += socket.readAll();
    }
    socket.write(&CommitByte, 1);
    // The commit is one byte into an open local socket: once written the first instance has it.
    if (!socket.waitForBytesWritten(std::max(MillisecondsLeft(deadline), 1000)) && socket.bytesToWrite() > 0)
        return THandOverResult::hrFailed;
    socket.disconnectFromServer();
    return THandOverResult::hrDelivered;
}

TSingleInstance::TSingleInstance(std::string channelPath)
    : FChannelPath(std::move(channelPath)), FLock(FChannelPath + ".lock")
{
}

TSingleInstance::~TSingleInstance()
{
    Release();
}

TInstanceRole TSingleInstance::Start(const std::string& handOverText, std::chrono::milliseconds patience)
{
    const auto deadline = Clock::now() + patience;
    for (;;) {
        if (FLock.TryClaim())
            return TInstanceRole::irFirst;
        switch (SendHandOver(FChannelPath, handOverText, deadline)) {
        case THandOverResult::hrDelivered:
            return TInstanceRole::irHandedOver;
        case THandOverResult::hrFailed:
            return TInstanceRole::irUnreachable;
        case THandOverResult::hrNoListener:
            break;
        }
        // The running instance has not started listening yet, or is ending.
        if (Clock::now() >= deadline)
            return TInstanceRole::irUnreachable;
        std::this_thread::sleep_for(RetryInterval);
    }
}

bool TSingleInstance::Listen(std::function<void(const std::string& text)> onHandOver)
{
    FServer = std::make_unique<TInstanceServer>(FChannelPath);
    FServer->OnHandOver = std::move(onHandOver);
    if (!FServer->Listen()) {
        FServer.reset();
        return false;
    }
    return true;
}

void TSingleInstance::Release()
{
    FServer.reset();
    FLock.Release();
}
