// FTP peers of the tests.

#include "src/ftp/FtpTestSupport.h"

#include "support/ConsumerTools.h"

#include <QDir>
#include <QTcpServer>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {

const char* const Python = "/usr/bin/python3";

QString Script()
{
    return QStringLiteral(ZENTU_TEST_SOURCE_DIR "/ftp/ftp_peer.py");
}

} // namespace

TFtpPeer::TFtpPeer(const QStringList& arguments)
{
    FProcess.setStandardErrorFile(QProcess::nullDevice());
    FProcess.start(QString::fromLatin1(Python), QStringList{Script()} + arguments);
    if (!FProcess.waitForStarted(10000)) {
        ADD_FAILURE() << "the FTP peer did not start: " << FProcess.errorString().toStdString();
        return;
    }
    while (!FProcess.canReadLine() && FProcess.state() == QProcess::Running)
        FProcess.waitForReadyRead(100);
    FPort = FProcess.readLine().trimmed().toInt();
    // why: a peer that cannot start names the package it misses rather than only failing.
    if (FPort <= 0 && RequirePythonModule("pyftpdlib"))
        ADD_FAILURE() << "the FTP peer gave no port";
}

TFtpPeer::~TFtpPeer()
{
    Kill();
}

std::unique_ptr<TFtpPeer> TFtpPeer::Server(const std::string& home, bool anonymous)
{
    QStringList arguments{QStringLiteral("server"), QString::fromStdString(home)};
    if (anonymous)
        arguments << QStringLiteral("anonymous");
    return std::unique_ptr<TFtpPeer>(new TFtpPeer(arguments));
}

std::unique_ptr<TFtpPeer> TFtpPeer::Proxy(const std::string& mode, int upstreamPort, const std::string& user,
                                          const std::string& password, const std::string& log)
{
    return std::unique_ptr<TFtpPeer>(new TFtpPeer({QStringLiteral("proxy"), QString::fromStdString(mode),
                                                   QString::number(upstreamPort), QString::fromStdString(user),
                                                   QString::fromStdString(password), QString::fromStdString(log)}));
}

void TFtpPeer::Kill()
{
    if (FProcess.state() == QProcess::NotRunning)
        return;
    FProcess.kill();
    FProcess.waitForFinished(10000);
}

int UnusedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

TFtpServerFixture::TFtpServerFixture()
{
    QDir().mkpath(QString::fromStdString(Home()));
    Peer = TFtpPeer::Server(Home());
}

std::string TFtpServerFixture::WriteHome(const std::string& name, const std::string& bytes) const
{
    return Dir.Write("home/" + name, bytes);
}

std::string TFtpServerFixture::ReadHome(const std::string& name) const
{
    return Dir.Read("home/" + name);
}

void TFtpServerFixture::SetUp(TNetFTP& client) const
{
    client.Host = "127.0.0.1";
    client.Port = Peer->Port();
    client.Username = "user";
    client.Password = "secret";
    client.Passive = true;
}

void WhenSent(TNetFTP& client, const std::string& prefix, std::function<void()> step)
{
    auto done = std::make_shared<bool>(false);
    client.Intercept.OnSent = [previous = client.Intercept.OnSent, prefix, step, done](const std::string& line) {
        if (previous)
            previous(line);
        if (!*done && line.rfind(prefix, 0) == 0) {
            *done = true;
            QTimer::singleShot(0, step);
        }
    };
}

std::string BinaryBytes(size_t size)
{
    std::string bytes(size, '\0');
    std::mt19937 random(12345);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i < 512 ? i % 256 : random() % 256);
    return bytes;
}
