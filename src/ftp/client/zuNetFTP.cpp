// The FTP client: waiting with the event loop running, the control connection, the login and
// the commands without data (the transfers are in zuNetFTPData.cpp).

#include "ftp/client/zuNetFTP.h"

#include "ftp/client/zuFTPErrors.h"

#include "Platform/core/QtBridge.h"
#include "Platform/text/Format.h"

#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

const char* const sReplyTooSlow = "The FTP server did not finish its reply in time";

} // namespace

TNetFTP::TCall::TCall(TNetFTP& client) : FClient(client)
{
    if (client.FBusy)
        throw ENetFTPBusy("The FTP connection is busy with another command");
    client.FBusy = true;
    client.FAborted = false;
}

TNetFTP::TCall::~TCall()
{
    FClient.FBusy = false;
}

TNetFTP::TNetFTP() : FTimer(std::make_unique<QTimer>())
{
    FTimer->setSingleShot(true);
    connect(FTimer.get(), &QTimer::timeout, this, [this] {
        FTimedOut = true;
        Wake();
    });
}

TNetFTP::~TNetFTP()
{
    // why: the owner is going away; nobody may hear of the connection any more.
    OnDisconnected = nullptr;
    CloseAll();
}

// ---- waiting

void TNetFTP::Wake()
{
    FWoken = true;
    if (FLoop)
        FLoop->quit();
}

void TNetFTP::WatchSocket(QTcpSocket& socket)
{
    const auto wake = [this] { Wake(); };
    connect(&socket, &QTcpSocket::readyRead, this, wake);
    connect(&socket, &QTcpSocket::bytesWritten, this, wake);
    connect(&socket, &QTcpSocket::connected, this, wake);
    connect(&socket, &QTcpSocket::disconnected, this, wake);
    connect(&socket, &QTcpSocket::errorOccurred, this, wake);
    connect(&socket, &QTcpSocket::stateChanged, this, wake);
}

void TNetFTP::WaitUntil(const std::function<bool()>& ready, std::chrono::milliseconds timeout, TDeadline deadline)
{
    if (FAborted) {
        CloseAll();
        throw ENetFTPAborted("The FTP command was cancelled");
    }
    if (ready())
        return;
    QEventLoop loop;
    QEventLoop* const outer = std::exchange(FLoop, &loop);
    struct TRestore {
        TNetFTP& Client;
        QEventLoop* Outer;
        ~TRestore()
        {
            Client.FLoop = Outer;
            Client.FTimer->stop();
        }
    } restore{*this, outer};
    // The silence allowed now: the time-out, or less when the deadline comes first.
    bool untilDeadline = false;
    const auto interval = [&] {
        if (!deadline)
            return timeout;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - std::chrono::steady_clock::now());
        untilDeadline = left < timeout;
        return std::clamp(left, std::chrono::milliseconds(0), timeout);
    };
    FTimedOut = false;
    FTimer->start(interval());
    while (!ready()) {
        if (FAborted) {
            CloseAll();
            throw ENetFTPAborted("The FTP command was cancelled");
        }
        if (FTimedOut) {
            CloseAll();
            if (untilDeadline)
                throw ENetFTPError(sReplyTooSlow);
            throw ENetFTPError("The FTP server did not answer in time");
        }
        FWoken = false;
        loop.exec();
        // why: a loop that ends without being woken was ended from outside (the program is
        // closing); waiting on would spin, as every new loop would end at once.
        if (!FWoken)
            FAborted = true;
        if (FTimedOut || FAborted)
            continue;
        FTimer->start(interval());
    }
}

void TNetFTP::Abort()
{
    if (!FBusy)
        return;
    FAborted = true;
    Wake();
}

void TNetFTP::CloseAll()
{
    const bool wasOpen = FControl != nullptr && FOpen;
    CloseData();
    if (FControl) {
        FControl->disconnect(this);
        FControl->abort();
        FControl.reset();
    }
    FInput.Clear();
    FServerType = -1;
    FResumeSupported = -1;
    FOpen = false;
    if (wasOpen) {
        Status("Disconnected.");
        if (OnDisconnected)
            OnDisconnected();
    }
}

void TNetFTP::WaitConnected(QTcpSocket& socket, const char* failure)
{
    WaitUntil(
        [&] {
            if (socket.state() == QAbstractSocket::ConnectedState)
                return true;
            if (socket.state() == QAbstractSocket::UnconnectedState)
                RaiseSocketError(socket, failure);
            return false;
        },
        ConnectTimeout);
}

void TNetFTP::RaiseSocketError(const QTcpSocket& socket, const char* fallback)
{
    const bool control = &socket == FControl.get();
    std::string text = socket.error() == QAbstractSocket::UnknownSocketError ? std::string(fallback)
                                                                              : StdStr(socket.errorString());
    if (socket.error() == QAbstractSocket::RemoteHostClosedError)
        text = fallback;
    if (control)
        CloseAll();
    else
        CloseData();
    throw ENetFTPError(text);
}

void TNetFTP::Status(const std::string& text)
{
    if (Intercept.OnStatus)
        Intercept.OnStatus(text);
}

// ---- the control connection

bool TNetFTP::Connected() const
{
    return FControl && FOpen && FControl->state() == QAbstractSocket::ConnectedState;
}

void TNetFTP::Connect()
{
    TCall call(*this);
    DoConnect();
}

void TNetFTP::DoConnect()
{
    CloseAll();
    const TFTPLoginPlan plan = PlanLogin(Host, Port, Username, Password, ProxySettings);
    if (plan.Host.empty())
        throw ENetFTPError("No FTP host is given");
    Status(Format("Connecting to %s:%d.", {plan.Host, plan.Port}));
    FControl = std::make_unique<QTcpSocket>();
    WatchSocket(*FControl);
    FControl->connectToHost(QStr(plan.Host), static_cast<quint16>(std::clamp(plan.Port, 0, 65535)));
    WaitConnected(*FControl, "Unable to connect");
    TFTPReply greeting = ReadReply();
    // "120": the server will be ready later; a server that only ever says so is not waited for.
    for (int delays = 1; greeting.Code == 120; ++delays) {
        if (delays > MaxPreliminaryReplies) {
            CloseAll();
            throw ENetFTPError(Format("The FTP server sent more than %d preliminary replies", {MaxPreliminaryReplies}));
        }
        greeting = ReadReply();
    }
    FLastReply = greeting;
    if (greeting.Code != 220) {
        CloseAll();
        throw ENetFTPReplyError(greeting.Message(), greeting.Code);
    }
    Status("Connected.");
    FOpen = true;
    if (OnConnected)
        OnConnected();
    try {
        DoLogin(plan);
    } catch (const ENetFTPReplyError&) {
        // why: a refused login leaves a connection nobody can use.
        CloseAll();
        throw;
    }
    if (OnAfterClientLogin)
        OnAfterClientLogin();
    EnsureType(FTransferType);
    try {
        Command("SYST", {});
    } catch (const ENetFTPReplyError&) {
        // The system type is only announced; a server that does not tell is still usable.
    }
}

void TNetFTP::DoLogin(const TFTPLoginPlan& plan)
{
    bool loggedIn = false;
    for (const TFTPLoginStep& step : plan.Steps) {
        switch (step.Kind) {
        case TFTPLoginStepKind::lsUser:
            loggedIn = Command(step.Command, {230, 331}) == 230;
            break;
        case TFTPLoginStepKind::lsPass:
            if (!loggedIn)
                Command(step.Command, {230, 202});
            loggedIn = false;
            break;
        case TFTPLoginStepKind::lsCommand:
            Command(step.Command, {});
            break;
        }
    }
}

void TNetFTP::Send(const std::string& line)
{
    if (!FControl || FControl->state() != QAbstractSocket::ConnectedState) {
        CloseAll();
        throw ENetFTPError("Not connected to an FTP server");
    }
    if (Intercept.OnSent)
        Intercept.OnSent(line);
    const std::string bytes = line + "\r\n";
    FControl->write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string TNetFTP::ReadLine(TDeadline deadline)
{
    QTcpSocket& control = *FControl;
    std::string line;
    TFTPLineBuffer::TResult result = TFTPLineBuffer::TResult::lrIncomplete;
    WaitUntil(
        [&] {
            if (control.bytesAvailable() > 0) {
                const QByteArray bytes = control.readAll();
                FInput.Append(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
            }
            result = FInput.TakeLine(MaxLineLength, line);
            if (result != TFTPLineBuffer::TResult::lrIncomplete)
                return true;
            if (control.state() != QAbstractSocket::ConnectedState)
                RaiseSocketError(control, "The FTP server closed the connection");
            return false;
        },
        ReadTimeout, deadline);
    if (result == TFTPLineBuffer::TResult::lrTooLong) {
        if (MaxLineAction == TMaxLineAction::maException) {
            CloseAll();
            throw ENetFTPError("The FTP server sent a line longer than the maximum line length");
        }
        line = FInput.TakeBytes(MaxLineLength);
    }
    return line;
}

TFTPReply TNetFTP::ReadReply()
{
    // why: each line restarts the silence time-out, so a reply that trickles on for ever is
    // bounded by a deadline for the whole of it, counted from its first line.
    TDeadline deadline;
    TFTPReplyParser parser(ReplyLimits);
    try {
        while (!parser.Add(ReadLine(deadline))) {
            if (!deadline)
                deadline = std::chrono::steady_clock::now() + ReadTimeout;
            else if (std::chrono::steady_clock::now() >= *deadline)
                throw ENetFTPError(sReplyTooSlow);
        }
    } catch (const ENetFTPError&) {
        // why: what follows a reply that was refused cannot be told from the next reply.
        CloseAll();
        throw;
    }
    TFTPReply reply = parser.Take();
    if (Intercept.OnReceived)
        Intercept.OnReceived(reply.Text());
    return reply;
}

int TNetFTP::Command(const std::string& command, const std::vector<int>& accepted)
{
    Send(command);
    FLastReply = ReadReply();
    const int code = FLastReply.Code;
    const bool ok = accepted.empty() ? FLastReply.Positive()
                                     : std::find(accepted.begin(), accepted.end(), code) != accepted.end();
    if (ok)
        return code;
    const std::string message = FLastReply.Message();
    // 421: the server closes the connection.
    if (code == 421)
        CloseAll();
    throw ENetFTPReplyError(message, code);
}

void TNetFTP::EnsureType(TFTPTransferType type)
{
    const int wanted = static_cast<int>(type);
    if (FServerType == wanted)
        return;
    Command(type == TFTPTransferType::ftASCII ? "TYPE A" : "TYPE I", {200});
    FServerType = wanted;
}

// ---- commands

int TNetFTP::SendCmd(const std::string& command, std::vector<int> accepted)
{
    TCall call(*this);
    return Command(command, accepted);
}

void TNetFTP::Disconnect()
{
    if (FBusy) {
        Abort();
        return;
    }
    TCall call(*this);
    if (Connected()) {
        try {
            Command("QUIT", {});
        } catch (const ENetFTPError&) {
            // The connection closes all the same.
        }
    }
    CloseAll();
}

void TNetFTP::ChangeDir(const std::string& folder)
{
    TCall call(*this);
    Command("CWD " + folder, {250, 200});
}

void TNetFTP::ChangeDirUp()
{
    TCall call(*this);
    Command("CDUP", {250, 200});
}

std::string TNetFTP::RetrieveCurrentDir()
{
    TCall call(*this);
    Command("PWD", {257});
    const std::optional<std::string> folder = ParseQuotedPath(FLastReply.Message());
    return folder ? *folder : FLastReply.Message();
}

void TNetFTP::MakeDir(const std::string& name)
{
    TCall call(*this);
    Command("MKD " + name, {257, 250});
}

void TNetFTP::RemoveDir(const std::string& name)
{
    TCall call(*this);
    Command("RMD " + name, {250});
}

void TNetFTP::Delete(const std::string& name)
{
    TCall call(*this);
    Command("DELE " + name, {250});
}

void TNetFTP::Rename(const std::string& from, const std::string& to)
{
    TCall call(*this);
    Command("RNFR " + from, {350});
    Command("RNTO " + to, {250});
}

void TNetFTP::Site(const std::string& command)
{
    TCall call(*this);
    Command("SITE " + command, {200, 250});
}

void TNetFTP::Noop()
{
    TCall call(*this);
    Command("NOOP", {200});
}

std::int64_t TNetFTP::Size(const std::string& name)
{
    TCall call(*this);
    try {
        EnsureType(TFTPTransferType::ftBinary);
        Command("SIZE " + name, {213});
    } catch (const ENetFTPReplyError&) {
        return -1;
    }
    return ParseSizeReply(FLastReply.Message()).value_or(-1);
}

bool TNetFTP::FileDate(const std::string& name, TDateTime& date)
{
    TCall call(*this);
    try {
        Command("MDTM " + name, {213});
    } catch (const ENetFTPReplyError&) {
        return false;
    }
    const std::optional<TDateTime> parsed = ParseModifiedTime(FLastReply.Message());
    if (parsed)
        date = *parsed;
    return parsed.has_value();
}

bool TNetFTP::ResumeSupported()
{
    TCall call(*this);
    if (FResumeSupported < 0) {
        try {
            Command("REST 1", {350});
            FResumeSupported = 1;
        } catch (const ENetFTPReplyError&) {
            FResumeSupported = 0;
        }
        try {
            Command("REST 0", {350});
        } catch (const ENetFTPReplyError&) {
            // Nothing was restarted when the probe was refused.
        }
    }
    return FResumeSupported == 1;
}
