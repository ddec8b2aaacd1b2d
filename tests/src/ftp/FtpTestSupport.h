#pragma once
// The FTP peers of the tests, each a process of its own on 127.0.0.1 that the test starts and
// ends: Debian's pyftpdlib over a temporary home ("user" / "secret"), and a fake proxy for
// each proxy login style that records what the client sends.

#include "ftp/client/zuNetFTP.h"

#include "support/TempDir.h"

#include <QProcess>

#include <memory>
#include <string>
#include <vector>

class TFtpPeer {
public:
    // pyftpdlib serving `home`; with `anonymous`, anonymous logins too.
    static std::unique_ptr<TFtpPeer> Server(const std::string& home, bool anonymous = false);
    // The fake proxy in `mode` (usersite, site, open, userpass, transparent) before the server
    // at `upstreamPort`, logging the client's lines to `log`.
    static std::unique_ptr<TFtpPeer> Proxy(const std::string& mode, int upstreamPort, const std::string& user,
                                           const std::string& password, const std::string& log);
    ~TFtpPeer();

    int Port() const { return FPort; }
    // Ends the process at once, as a crash would: its connections drop.
    void Kill();

private:
    explicit TFtpPeer(const QStringList& arguments);

    QProcess FProcess;
    int FPort = 0;
};

// A port on 127.0.0.1 where nothing listens.
int UnusedPort();

// A home folder with a pyftpdlib server over it, and a client set up for it ("user", passive).
class TFtpServerFixture {
public:
    TFtpServerFixture();
    std::string Home() const { return Dir.Path() + "/home"; }
    std::string HomeFile(const std::string& name) const { return Home() + "/" + name; }
    std::string WriteHome(const std::string& name, const std::string& bytes) const;
    std::string ReadHome(const std::string& name) const;
    // Sets the client up for the server (it connects nothing).
    void SetUp(TNetFTP& client) const;

    TempDir Dir;
    std::unique_ptr<TFtpPeer> Peer;
};

// Bytes 0..255 over and over, then some random ones: `size` bytes in all.
std::string BinaryBytes(size_t size);
