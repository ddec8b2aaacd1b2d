#pragma once
// A scripted FTP server inside the test process, on 127.0.0.1, for servers that misbehave:
// replies that never end, endless delays, listings without end, or any bytes at all. It serves
// from the test's own event loop, which the client keeps running while it waits.
//
// What it sends comes from streams: a stream gives the piece with each index, and an empty
// piece ends it. Pieces go out as fast as the client takes them (with a bounded backlog), or
// one per Pace when that is set.

#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

using TPeerStream = std::function<std::string(std::size_t index)>;

// One piece, once.
TPeerStream PeerText(std::string text);
// The same piece `times` times.
TPeerStream PeerRepeat(std::string piece, std::size_t times);
// `first` to its end, then `second`.
TPeerStream PeerThen(TPeerStream first, TPeerStream second);

struct TPeerReply {
    TPeerStream Pieces;
    // Closes the control connection when the pieces end.
    bool CloseAtEnd = false;
};

class TScriptedFtpPeer : public QObject {
public:
    TScriptedFtpPeer();
    ~TScriptedFtpPeer() override;
    TScriptedFtpPeer(const TScriptedFtpPeer&) = delete;
    TScriptedFtpPeer& operator=(const TScriptedFtpPeer&) = delete;

    int Port() const { return FServer.serverPort(); }

    // Sent on each new control connection ("220 Scripted peer ready." unless set).
    TPeerReply Greeting;
    // Replies by command verb, over the plain defaults (USER 331, PASS 230, TYPE 200,
    // SYST 215, PWD 257 "/", QUIT 221 and a close, others 200). PASV and LIST are answered by
    // the peer itself: PASV with its data port, LIST with 150, the listing and 226.
    std::map<std::string, TPeerReply> Replies;
    // The bytes of LIST's data connection.
    TPeerStream ListingData;
    // False: commands are taken without an answer (the greeting then says all there is).
    bool Answering = true;
    std::chrono::milliseconds Pace{0};

    // The command lines received, and the bytes sent on the control and data connections.
    std::vector<std::string> Commands;
    std::size_t ControlBytesSent = 0;
    std::size_t DataBytesSent = 0;
    // Whether a control connection is open now.
    bool ClientConnected() const;

private:
    struct TOutput {
        QTcpSocket* Socket = nullptr;
        TPeerStream Pieces;
        std::size_t Index = 0;
        std::size_t* Counter = nullptr;
        std::function<void()> AtEnd;
        bool Running = false;
    };

    void AcceptControl();
    void AcceptData();
    void ReadCommands();
    void Answer(const std::string& line);
    void Start(TOutput& output, QTcpSocket* socket, TPeerStream pieces, std::size_t* counter, std::function<void()> atEnd);
    void StartReply(const TPeerReply& reply);
    void StartListing();
    void Pump(TOutput& output);

    QTcpServer FServer;
    QTcpServer FDataServer;
    std::unique_ptr<QTcpSocket> FControl;
    std::unique_ptr<QTcpSocket> FData;
    std::string FInput;
    TOutput FControlOut;
    TOutput FDataOut;
    bool FListingWanted = false;
    QTimer FPacer;
};
