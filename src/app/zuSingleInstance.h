#pragma once
// One running instance per user. The first start holds a lock and listens on a local socket
// named after the instance GUID; a second start hands its file arguments (made absolute,
// each followed by CR LF) to it and ends.
//
// The exchange: the second start sends a 32-bit little-endian length and the text; the
// first answers "R" when it has the whole text; the second commits with "C", and only then
// does the first act on the text. A second start that gives up before committing leaves
// nothing behind in the first, so what it reports as not opened is indeed not opened.

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QLocalServer;
class QLocalSocket;

inline constexpr std::string_view InstanceGUID = "{7AA71302-529E-465A-AC87-FAB5885A3A86}";

// "zentu-<uid>-{GUID}" in $XDG_RUNTIME_DIR, or in the temporary folder without one.
std::string InstanceChannelPath();

// Every argument followed by CR LF ("" for none).
std::string BuildHandOverText(const std::vector<std::string>& arguments);
// The text cut at its first zero byte, split at CR LF, lone CR and lone LF.
std::vector<std::string> SplitHandOverText(std::string_view text);
// Relative arguments resolved against `currentFolder`; empty ones stay empty.
std::vector<std::string> AbsoluteFileArguments(const std::vector<std::string>& arguments,
                                               const std::string& currentFolder);

// The instance lock: a file lock that the system drops when its holder ends, however it ends.
class TInstanceLock {
public:
    explicit TInstanceLock(std::string lockFileName);
    ~TInstanceLock();
    TInstanceLock(const TInstanceLock&) = delete;
    TInstanceLock& operator=(const TInstanceLock&) = delete;

    // True when this process holds the lock now, and also when no lock can be made at all
    // (then every start runs as a first instance); false while another process holds it.
    bool TryClaim();
    bool Held() const { return FHandle >= 0; }
    void Release();

private:
    std::string FFileName;
    int FHandle = -1;
};

// The first instance's side of the exchange.
class TInstanceServer : public QObject {
    Q_OBJECT

public:
    explicit TInstanceServer(std::string channelPath, QObject* parent = nullptr);
    ~TInstanceServer() override;

    // Removes a socket file that an ended instance left and listens; the caller must hold the
    // instance lock. False when the socket cannot be made.
    bool Listen();
    void Close();

    // A committed hand-over text, on the GUI thread.
    std::function<void(const std::string& text)> OnHandOver;

private:
    void AcceptConnections();

    std::string FChannelPath;
    std::unique_ptr<QLocalServer> FServer;
};

enum class THandOverResult {
    hrDelivered,   // the running instance took the text
    hrNoListener,  // nobody listens on the channel (yet)
    hrFailed,      // a listener did not take the text in time
};

// One attempt to deliver the text, waiting at most until `deadline`.
THandOverResult SendHandOver(const std::string& channelPath, const std::string& text,
                             std::chrono::steady_clock::time_point deadline);

enum class TInstanceRole {
    irFirst,        // holds the lock (or no lock can be made): start normally
    irHandedOver,   // the running instance has the arguments: end now
    irUnreachable,  // another instance holds the lock but did not take the arguments in time:
                    // say so and end (never run beside it over the same settings)
};

// The start-up decision: the lock, or the hand-over retried every 100 ms for `patience`,
// taking the lock when the running instance goes away meanwhile.
class TSingleInstance {
public:
    explicit TSingleInstance(std::string channelPath);
    ~TSingleInstance();

    TInstanceRole Start(const std::string& handOverText, std::chrono::milliseconds patience);
    // For the first instance: listen for hand-overs; false when the socket cannot be made.
    bool Listen(std::function<void(const std::string& text)> onHandOver);
    // Stops listening and lets the next start become the first instance.
    void Release();

private:
    std::string FChannelPath;
    TInstanceLock FLock;
    std::unique_ptr<TInstanceServer> FServer;
};
