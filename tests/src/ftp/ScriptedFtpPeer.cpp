// The scripted FTP server of the tests.

#include "src/ftp/ScriptedFtpPeer.h"

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <utility>

namespace {

// Bytes that may wait in a socket before the next piece goes.
constexpr qint64 Backlog = 256 * 1024;

TPeerReply Line(const std::string& text, bool close = false)
{
    return {PeerText(text + "\r\n"), close};
}

} // namespace

TPeerStream PeerText(std::string text)
{
    return [text = std::move(text)](std::size_t index) { return index == 0 ? text : std::string(); };
}

TPeerStream PeerRepeat(std::string piece, std::size_t times)
{
    return [piece = std::move(piece), times](std::size_t index) { return index < times ? piece : std::string(); };
}

TPeerStream PeerThen(TPeerStream first, TPeerStream second)
{
    // The index where `first` ended, once known.
    auto split = std::make_shared<std::size_t>(SIZE_MAX);
    return [first = std::move(first), second = std::move(second), split](std::size_t index) {
        if (index < *split) {
            std::string piece = first(index);
            if (!piece.empty())
                return piece;
            *split = index;
        }
        return second(index - *split);
    };
}

TScriptedFtpPeer::TScriptedFtpPeer() : Greeting(Line("220 Scripted peer ready."))
{
    connect(&FServer, &QTcpServer::newConnection, this, [this] { AcceptControl(); });
    connect(&FDataServer, &QTcpServer::newConnection, this, [this] { AcceptData(); });
    connect(&FPacer, &QTimer::timeout, this, [this] {
        Pump(FControlOut);
        Pump(FDataOut);
    });
    if (!FServer.listen(QHostAddress::LocalHost, 0))
        ADD_FAILURE() << "the scripted peer cannot listen";
}

TScriptedFtpPeer::~TScriptedFtpPeer()
{
    for (std::unique_ptr<QTcpSocket>* socket : {&FControl, &FData}) {
        if (*socket) {
            (*socket)->disconnect(this);
            (*socket)->abort();
        }
    }
}

bool TScriptedFtpPeer::ClientConnected() const
{
    return FControl && FControl->state() == QAbstractSocket::ConnectedState;
}

void TScriptedFtpPeer::AcceptControl()
{
    while (QTcpSocket* next = FServer.nextPendingConnection()) {
        if (FControl) {
            FControl->disconnect(this);
            FControl->abort();
        }
        FControl.reset(next);
        FControl->setParent(nullptr);
        FInput.clear();
        FControlOut = TOutput();
        connect(FControl.get(), &QTcpSocket::readyRead, this, [this] { ReadCommands(); });
        connect(FControl.get(), &QTcpSocket::bytesWritten, this, [this] {
            if (Pace.count() == 0)
                Pump(FControlOut);
        });
        StartReply(Greeting);
    }
}

void TScriptedFtpPeer::AcceptData()
{
    while (QTcpSocket* next = FDataServer.nextPendingConnection()) {
        FData.reset(next);
        FData->setParent(nullptr);
        connect(FData.get(), &QTcpSocket::bytesWritten, this, [this] {
            if (Pace.count() == 0)
                Pump(FDataOut);
        });
    }
    if (FListingWanted)
        StartListing();
}

void TScriptedFtpPeer::ReadCommands()
{
    if (!FControl)
        return;
    FInput += FControl->readAll().toStdString();
    for (std::size_t end = FInput.find('\n'); end != std::string::npos; end = FInput.find('\n')) {
        std::string line = FInput.substr(0, end);
        FInput.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        Commands.push_back(line);
        if (Answering)
            Answer(line);
    }
}

void TScriptedFtpPeer::Answer(const std::string& line)
{
    std::string verb = line.substr(0, line.find(' '));
    for (char& c : verb)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (const auto own = Replies.find(verb); own != Replies.end()) {
        StartReply(own->second);
        return;
    }
    if (verb == "PASV") {
        if (!FDataServer.isListening())
            FDataServer.listen(QHostAddress::LocalHost, 0);
        const int port = FDataServer.serverPort();
        StartReply(Line("227 Entering passive mode (127,0,0,1," + std::to_string(port / 256) + "," +
                        std::to_string(port % 256) + ")."));
    } else if (verb == "LIST") {
        StartReply(Line("150 Here comes the listing."));
        FListingWanted = true;
        StartListing();
    } else {
        static const std::map<std::string, std::string> defaults = {
            {"USER", "331 Username ok, send password."}, {"PASS", "230 Login successful."},
            {"TYPE", "200 Type set."},                   {"SYST", "215 UNIX Type: L8"},
            {"PWD", "257 \"/\" is the current directory."}, {"QUIT", "221 Goodbye."},
        };
        const auto known = defaults.find(verb);
        StartReply(Line(known == defaults.end() ? std::string("200 OK.") : known->second, verb == "QUIT"));
    }
}

void TScriptedFtpPeer::StartReply(const TPeerReply& reply)
{
    const bool close = reply.CloseAtEnd;
    Start(FControlOut, FControl.get(), reply.Pieces, &ControlBytesSent, [this, close] {
        if (close && FControl)
            FControl->disconnectFromHost();
    });
}

void TScriptedFtpPeer::StartListing()
{
    if (!FData || !FListingWanted)
        return;
    FListingWanted = false;
    Start(FDataOut, FData.get(), ListingData ? ListingData : PeerText({}), &DataBytesSent, [this] {
        if (FData)
            FData->disconnectFromHost();
        StartReply(Line("226 Transfer complete."));
    });
}

void TScriptedFtpPeer::Start(TOutput& output, QTcpSocket* socket, TPeerStream pieces, std::size_t* counter,
                             std::function<void()> atEnd)
{
    output = TOutput{socket, std::move(pieces), 0, counter, std::move(atEnd), true};
    if (Pace.count() > 0) {
        if (!FPacer.isActive())
            FPacer.start(Pace);
        return;
    }
    Pump(output);
}

void TScriptedFtpPeer::Pump(TOutput& output)
{
    while (output.Running && output.Socket && output.Socket->state() == QAbstractSocket::ConnectedState &&
           output.Socket->bytesToWrite() < Backlog) {
        const std::string piece = output.Pieces(output.Index++);
        if (piece.empty()) {
            output.Running = false;
            // The end may start the next output in the same place.
            std::function<void()> atEnd = std::move(output.AtEnd);
            if (atEnd)
                atEnd();
            return;
        }
        output.Socket->write(piece.data(), static_cast<qint64>(piece.size()));
        *output.Counter += piece.size();
        if (Pace.count() > 0)
            return;
    }
}
