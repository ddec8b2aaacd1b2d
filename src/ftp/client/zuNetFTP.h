#pragma once
// TNetFTP: the FTP client (RFC 959) over QTcpSocket, with passive and active data
// connections, ASCII and binary transfers, the proxy logins of zuFTPLogin.h, and the parsed
// directory listing.
//
// Every call blocks its caller until the server has answered, while the event loop keeps
// running (windows repaint, buttons can be pressed): such a call may be entered again only
// after it returned. A call made meanwhile on the same client raises ENetFTPBusy; Abort,
// from a handler, ends the running call with ENetFTPAborted and closes the connection.
// The client must not be destroyed while one of its calls runs.
//
// Errors are ENetFTPError (zuFTPErrors.h); the server's own refusals ENetFTPReplyError, with
// the server's text as it was received. A server is trusted only within bounds: a reply may
// not grow beyond ReplyLimits or take longer than ReadTimeout in all, the greeting may be put
// off by at most MaxPreliminaryReplies "120" replies, and a listing may not grow beyond
// ListingLimits; beyond them the call fails and the connection is closed.

#include "ftp/client/zuFTPLineBuffer.h"
#include "ftp/client/zuFTPListing.h"
#include "ftp/client/zuFTPListingReader.h"
#include "ftp/client/zuFTPLogin.h"
#include "ftp/client/zuFTPReply.h"

#include <QObject>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QEventLoop;
class QTcpServer;
class QTcpSocket;
class QTimer;
class TStream;

enum class TFTPTransferType { ftASCII, ftBinary };
// What a reply line longer than MaxLineLength does: raise, or end the line there.
enum class TMaxLineAction { maException, maSplit };
enum class TWorkMode { wmRead, wmWrite };

// What a log sees of the conversation: the lines sent (passwords included: the log masks
// them), each complete reply, and the client's own status texts.
struct TFTPIntercept {
    std::function<void(const std::string& line)> OnSent;
    std::function<void(const std::string& reply)> OnReceived;
    std::function<void(const std::string& status)> OnStatus;
};

class TNetFTP : public QObject {
public:
    TNetFTP();
    ~TNetFTP() override;
    TNetFTP(const TNetFTP&) = delete;
    TNetFTP& operator=(const TNetFTP&) = delete;

    std::string Host;
    int Port = 21;
    std::string Username;
    std::string Password;
    bool Passive = true;
    TFTPProxySettings ProxySettings;
    TMaxLineAction MaxLineAction = TMaxLineAction::maException;
    std::size_t MaxLineLength = 16384;
    std::chrono::milliseconds ConnectTimeout{30000};
    // How long the server may stay silent while a reply or data is awaited, and how long one
    // reply may take from its first byte awaited to its last line.
    std::chrono::milliseconds ReadTimeout{60000};
    TFTPReplyLimits ReplyLimits;
    int MaxPreliminaryReplies = 16;
    TFTPListingLimits ListingLimits;

    // The type of later transfers; while connected, TYPE goes out before the next transfer
    // when it differs from what the server was last told.
    TFTPTransferType TransferType() const { return FTransferType; }
    void SetTransferType(TFTPTransferType type) { FTransferType = type; }

    // Events; each runs inside the call that causes it.
    std::function<void()> OnConnected;
    std::function<void()> OnDisconnected;
    std::function<void()> OnAfterClientLogin;
    // A data transfer: its begin (with the expected byte count, 0 when unknown), the count so
    // far after every piece, its end.
    std::function<void(TWorkMode mode, std::int64_t expected)> OnWorkBegin;
    std::function<void(TWorkMode mode, std::int64_t count)> OnWork;
    std::function<void(TWorkMode mode)> OnWorkEnd;
    TFTPIntercept Intercept;

    // Connects (to the proxy when one is set) and logs in; then announces the transfer type
    // and sends SYST. A connection already open is closed first.
    void Connect();
    // QUIT when connected (a refusal or a broken line does not matter), then closes. While a
    // call runs it only aborts that call.
    void Disconnect();
    bool Connected() const;
    // True while one of the calls runs.
    bool Busy() const { return FBusy; }
    // Ends the running call (ENetFTPAborted) and closes the connection; nothing when idle.
    void Abort();

    // Sends a command and reads its reply; raises ENetFTPReplyError unless the code is one of
    // `accepted` (any positive code when it is empty). Returns the code.
    int SendCmd(const std::string& command, std::vector<int> accepted = {});
    const TFTPReply& LastReply() const { return FLastReply; }

    void ChangeDir(const std::string& folder);
    void ChangeDirUp();
    // PWD: the folder the server names.
    std::string RetrieveCurrentDir();
    void MakeDir(const std::string& name);
    void RemoveDir(const std::string& name);
    void Delete(const std::string& name);
    void Rename(const std::string& from, const std::string& to);
    // SITE with its argument text ("CHMOD 755 name").
    void Site(const std::string& command);
    void Noop();
    // The size in bytes (asked in binary mode, where it is the file's own size); -1 when the
    // server cannot tell (no such file, or SIZE not supported).
    std::int64_t Size(const std::string& name);
    // MDTM: the file's time in UTC; false when the server cannot tell.
    bool FileDate(const std::string& name, TDateTime& date);
    // Whether the server can restart a download: "REST 1" answered with 350, then "REST 0".
    // Asked once per connection.
    bool ResumeSupported();

    // LIST (with `mask` as its argument when not empty): the lines and their entries.
    void List(const std::string& mask = {});
    const std::vector<std::string>& ListResult() const { return FListResult; }
    const std::vector<TFTPListItem>& DirectoryListing() const { return FListing; }

    // RETR into `dest` at its position; with `resume`, REST from the stream's size first and
    // append. The server's final reply must say that the transfer is complete.
    void Get(const std::string& name, TStream& dest, bool resume = false);
    // STOR (or APPE) of `source` from its position to its end.
    void Put(TStream& source, const std::string& name, bool append = false);

private:
    // One public call: refuses to start while another runs; an Abort before it does not count.
    class TCall {
    public:
        explicit TCall(TNetFTP& client);
        ~TCall();
        TCall(const TCall&) = delete;
        TCall& operator=(const TCall&) = delete;

    private:
        TNetFTP& FClient;
    };

    using TDeadline = std::optional<std::chrono::steady_clock::time_point>;
    // Waits, running the event loop, until `ready` holds. Raises ENetFTPAborted after Abort
    // (or when the loop is ended from outside), ENetFTPError after `timeout` of silence or
    // once `deadline` has passed.
    void WaitUntil(const std::function<bool()>& ready, std::chrono::milliseconds timeout, TDeadline deadline = {});
    void Wake();
    // Waits until the socket has connected; raises with the socket's error, or `failure`.
    void WaitConnected(QTcpSocket& socket, const char* failure);
    void WatchSocket(QTcpSocket& socket);
    // Closes every socket without QUIT.
    void CloseAll();
    // The socket or server of the current call failed: its text.
    [[noreturn]] void RaiseSocketError(const QTcpSocket& socket, const char* fallback);
    void Status(const std::string& text);

    void DoConnect();
    void DoLogin(const TFTPLoginPlan& plan);
    void Send(const std::string& line);
    std::string ReadLine(TDeadline deadline);
    TFTPReply ReadReply();
    int Command(const std::string& command, const std::vector<int>& accepted);
    void EnsureType(TFTPTransferType type);

    // The data connection of one transfer: passive (connected before the command) or active
    // (listening before the command, accepted after its preliminary reply).
    void OpenData();
    void AcceptData();
    void CloseData();
    int StartTransfer(const std::string& command);
    void FinishTransfer();
    // Reads the data connection to its end; each piece goes to `sink`.
    void ReceiveData(TWorkMode mode, const std::function<void(std::string_view)>& sink);

    TFTPTransferType FTransferType = TFTPTransferType::ftASCII;
    // What the server was last told (none after connecting).
    int FServerType = -1;
    int FResumeSupported = -1;
    bool FBusy = false;
    bool FAborted = false;
    bool FWoken = false;
    bool FTimedOut = false;
    bool FOpen = false;
    std::unique_ptr<QTcpSocket> FControl;
    std::unique_ptr<QTcpSocket> FData;
    std::unique_ptr<QTcpServer> FListener;
    std::unique_ptr<QTimer> FTimer;
    QEventLoop* FLoop = nullptr;
    TFTPLineBuffer FInput;
    TFTPReply FLastReply;
    std::vector<std::string> FListResult;
    std::vector<TFTPListItem> FListing;
};
