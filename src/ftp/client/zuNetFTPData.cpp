// The FTP client's data connections: passive and active set-up, listings and the transfers of
// files in both directions.

#include "ftp/client/zuNetFTP.h"

#include "ftp/client/zuFTPAscii.h"
#include "ftp/client/zuFTPErrors.h"

#include "Platform/core/QtBridge.h"
#include "Platform/files/Streams.h"
#include "Platform/text/Format.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <vector>

namespace {

// Bytes handed to the socket at a time, and how many may wait in its buffer before more go.
constexpr std::int64_t SendPiece = 256 * 1024;
constexpr qint64 SendBacklog = 1024 * 1024;

bool SameHost(const QHostAddress& a, const QHostAddress& b)
{
    return a.isEqual(b, QHostAddress::TolerantConversion);
}

bool IsIPv6(const QHostAddress& address)
{
    bool mapped = false;
    address.toIPv4Address(&mapped);
    return address.protocol() == QAbstractSocket::IPv6Protocol && !mapped;
}

// Begin and end of a transfer for the work events; the end also when the transfer fails.
class TWorkScope {
public:
    TWorkScope(TNetFTP& client, TWorkMode mode, std::int64_t expected) : FClient(client), FMode(mode)
    {
        if (client.OnWorkBegin)
            client.OnWorkBegin(mode, expected);
    }
    ~TWorkScope()
    {
        if (!FClient.OnWorkEnd)
            return;
        try {
            FClient.OnWorkEnd(FMode);
        } catch (...) {
            // An end handler cannot stop what has already ended.
        }
    }
    TWorkScope(const TWorkScope&) = delete;
    TWorkScope& operator=(const TWorkScope&) = delete;

private:
    TNetFTP& FClient;
    TWorkMode FMode;
};

} // namespace

void TNetFTP::CloseData()
{
    if (FData) {
        FData->disconnect(this);
        FData->abort();
        FData.reset();
    }
    if (FListener) {
        FListener->disconnect(this);
        FListener->close();
        FListener.reset();
    }
}

void TNetFTP::OpenData()
{
    CloseData();
    if (!FControl)
        throw ENetFTPError("Not connected to an FTP server");
    const QHostAddress server = FControl->peerAddress();
    if (Passive) {
        int port = 0;
        if (IsIPv6(server)) {
            Command("EPSV", {229});
            port = ParseExtendedPassiveReply(FLastReply.Text()).value_or(0);
        } else {
            Command("PASV", {227});
            port = ParsePassiveReply(FLastReply.Text()).value_or(0);
        }
        if (port <= 0 || port > 65535)
            throw ENetFTPError(Format("Invalid passive mode reply: %s", {FLastReply.Text()}));
        // why: the address in the reply is ignored: behind NAT it is wrong, and it must not send
        // the connection to any other host than the server's.
        FData = std::make_unique<QTcpSocket>();
        WatchSocket(*FData);
        FData->connectToHost(server, static_cast<quint16>(port));
        WaitConnected(*FData, "Unable to open the data connection");
        return;
    }
    FListener = std::make_unique<QTcpServer>();
    connect(FListener.get(), &QTcpServer::newConnection, this, [this] { Wake(); });
    const QHostAddress local = FControl->localAddress();
    if (!FListener->listen(local, 0)) {
        const std::string text = StdStr(FListener->errorString());
        CloseData();
        throw ENetFTPError(text);
    }
    const int port = FListener->serverPort();
    if (IsIPv6(local))
        Command(Format("EPRT |2|%s|%d|", {StdStr(local.toString()), port}), {200});
    else
        Command("PORT " + PortArgument(StdStr(QHostAddress(local.toIPv4Address()).toString()), port), {200});
}

void TNetFTP::AcceptData()
{
    if (!FListener)
        return;
    const QHostAddress server = FControl ? FControl->peerAddress() : QHostAddress();
    for (;;) {
        QTcpServer& listener = *FListener;
        WaitUntil([&] { return listener.hasPendingConnections(); }, ReadTimeout);
        std::unique_ptr<QTcpSocket> socket(listener.nextPendingConnection());
        socket->setParent(nullptr);
        // why: only the server may deliver the data; anyone else who connects is turned away.
        // A connection that is gone already (the server sent an empty file and reset it) tells
        // no address; it carries nothing either.
        const bool gone = socket->state() != QAbstractSocket::ConnectedState && socket->peerAddress().isNull();
        if (!gone && !SameHost(socket->peerAddress(), server)) {
            socket->abort();
            continue;
        }
        FData = std::move(socket);
        WatchSocket(*FData);
        break;
    }
    FListener->disconnect(this);
    FListener->close();
    FListener.reset();
}

int TNetFTP::StartTransfer(const std::string& command)
{
    try {
        const int code = Command(command, {125, 150});
        AcceptData();
        return code;
    } catch (...) {
        CloseData();
        throw;
    }
}

void TNetFTP::FinishTransfer()
{
    CloseData();
    FLastReply = ReadReply();
    if (FLastReply.Code != 226 && FLastReply.Code != 250)
        throw ENetFTPReplyError(FLastReply.Message(), FLastReply.Code);
}

void TNetFTP::ReceiveData(TWorkMode mode, const std::function<void(std::string_view)>& sink)
{
    std::int64_t count = 0;
    for (;;) {
        QTcpSocket& data = *FData;
        WaitUntil([&] { return data.bytesAvailable() > 0 || data.state() != QAbstractSocket::ConnectedState; },
                  ReadTimeout);
        const QByteArray piece = data.readAll();
        if (piece.isEmpty()) {
            if (data.state() == QAbstractSocket::ConnectedState)
                continue;
            // The server ends a transfer by closing the data connection; anything else failed.
            if (data.error() != QAbstractSocket::RemoteHostClosedError &&
                data.error() != QAbstractSocket::UnknownSocketError)
                RaiseSocketError(data, "The data connection failed");
            return;
        }
        sink(std::string_view(piece.constData(), static_cast<size_t>(piece.size())));
        count += piece.size();
        if (OnWork)
            OnWork(mode, count);
    }
}

void TNetFTP::List(const std::string& mask)
{
    TCall call(*this);
    OpenData();
    StartTransfer(mask.empty() ? std::string("LIST") : "LIST " + mask);
    TFTPListingReader listing(Now(), ListingLimits);
    {
        TWorkScope work(*this, TWorkMode::wmRead, 0);
        try {
            ReceiveData(TWorkMode::wmRead, [&](std::string_view piece) { listing.Add(piece); });
            listing.Finish();
        } catch (...) {
            // why: a listing refused half-way leaves the rest of it and its reply on the way.
            CloseAll();
            throw;
        }
        FinishTransfer();
    }
    FListResult = std::move(listing.Lines);
    FListing = std::move(listing.Items);
}

void TNetFTP::Get(const std::string& name, TStream& dest, bool resume)
{
    TCall call(*this);
    EnsureType(FTransferType);
    if (resume) {
        const std::int64_t offset = dest.Size();
        if (offset > 0)
            Command("REST " + std::to_string(offset), {350});
        dest.Seek(0, TSeekOrigin::soEnd);
    }
    OpenData();
    StartTransfer("RETR " + name);
    TWorkScope work(*this, TWorkMode::wmRead, 0);
    const bool ascii = FTransferType == TFTPTransferType::ftASCII;
    TAsciiReceiver lineEnds;
    const auto write = [&](std::string_view bytes) {
        dest.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    };
    try {
        ReceiveData(TWorkMode::wmRead, [&](std::string_view piece) {
            if (ascii)
                write(lineEnds.Convert(piece));
            else
                write(piece);
        });
        write(lineEnds.Finish());
    } catch (...) {
        // why: after a broken transfer the control connection may still carry its replies.
        CloseAll();
        throw;
    }
    FinishTransfer();
}

void TNetFTP::Put(TStream& source, const std::string& name, bool append)
{
    TCall call(*this);
    EnsureType(FTransferType);
    OpenData();
    StartTransfer((append ? "APPE " : "STOR ") + name);
    const std::int64_t total = source.Size() - source.Position();
    TWorkScope work(*this, TWorkMode::wmWrite, total);
    const bool ascii = FTransferType == TFTPTransferType::ftASCII;
    TAsciiSender lineEnds;
    try {
        std::vector<char> buffer(static_cast<size_t>(SendPiece));
        std::int64_t count = 0;
        QTcpSocket& data = *FData;
        const auto sendable = [&](qint64 backlog) {
            return [&data, backlog, this] {
                if (data.state() != QAbstractSocket::ConnectedState)
                    RaiseSocketError(data, "The FTP server closed the data connection");
                return data.bytesToWrite() <= backlog;
            };
        };
        for (;;) {
            const std::int64_t read = source.Read(buffer.data(), SendPiece);
            if (read <= 0)
                break;
            if (ascii) {
                const std::string converted = lineEnds.Convert(std::string_view(buffer.data(), static_cast<size_t>(read)));
                data.write(converted.data(), static_cast<qint64>(converted.size()));
            } else {
                data.write(buffer.data(), read);
            }
            WaitUntil(sendable(SendBacklog), ReadTimeout);
            count += read;
            if (OnWork)
                OnWork(TWorkMode::wmWrite, count);
        }
        WaitUntil(sendable(0), ReadTimeout);
        // The end of the data connection is the end of the file.
        data.disconnectFromHost();
        WaitUntil([&data] { return data.state() == QAbstractSocket::UnconnectedState; }, ReadTimeout);
    } catch (...) {
        CloseAll();
        throw;
    }
    FinishTransfer();
}
