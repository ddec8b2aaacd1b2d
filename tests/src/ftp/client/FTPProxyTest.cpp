// Logging in through an FTP proxy, for each login style, against a fake proxy in front of
// pyftpdlib: what the proxy receives, and that the connection then lists and transfers.

#include "src/ftp/FtpTestSupport.h"

#include "ftp/client/zuFTPErrors.h"

#include "Platform/files/Streams.h"

#include <gtest/gtest.h>

namespace {

struct TProxyCase {
    TFTPProxyType Type;
    const char* Mode;
    bool ProxyLogin;
    // What the proxy receives first; a "SITE" at the end of a line stands for the server's
    // "127.0.0.1:port".
    std::vector<std::string> Received;
};

// The lines with their trailing "SITE" replaced by the server's address.
std::vector<std::string> WithSite(std::vector<std::string> lines, const std::string& site)
{
    for (std::string& line : lines)
        if (line.size() >= 4 && line.compare(line.size() - 4, 4, "SITE") == 0)
            line.replace(line.size() - 4, 4, site);
    return lines;
}

TEST(FTPProxy, EachLoginStyleReachesTheServer)
{
    using enum TFTPProxyType;
    const TProxyCase cases[] = {
        {fpcmUserSite, "usersite", false, {"USER user@SITE", "PASS secret"}},
        {fpcmUserSite, "usersite", true, {"USER pu", "PASS pp", "USER user@SITE", "PASS secret"}},
        {fpcmSite, "site", true, {"USER pu", "PASS pp", "SITE SITE", "USER user", "PASS secret"}},
        {fpcmOpen, "open", true, {"USER pu", "PASS pp", "OPEN SITE", "USER user", "PASS secret"}},
        {fpcmUserPass, "userpass", true, {"USER user@pu@SITE", "PASS secret@pp"}},
        {fpcmTransparent, "transparent", true, {"USER pu", "PASS pp", "USER user", "PASS secret"}},
    };
    TFtpServerFixture server;
    server.WriteHome("page.php", "<?php phpinfo();\n");
    const std::string site = "127.0.0.1:" + std::to_string(server.Peer->Port());
    for (const TProxyCase& c : cases) {
        SCOPED_TRACE(c.Mode);
        const std::string log = server.Dir.File(std::string("proxy-") + c.Mode + (c.ProxyLogin ? "-login" : "") + ".log");
        const std::unique_ptr<TFtpPeer> proxy =
            TFtpPeer::Proxy(c.Mode, server.Peer->Port(), c.ProxyLogin ? "pu" : "", c.ProxyLogin ? "pp" : "", log);
        TNetFTP client;
        server.SetUp(client);
        client.ProxySettings.ProxyType = c.Type;
        client.ProxySettings.Host = "127.0.0.1";
        client.ProxySettings.Port = proxy->Port();
        if (c.ProxyLogin) {
            client.ProxySettings.UserName = "pu";
            client.ProxySettings.Password = "pp";
        }
        client.Connect();
        client.List();
        ASSERT_EQ(client.DirectoryListing().size(), 1u);
        EXPECT_EQ(client.DirectoryListing()[0].FileName, "page.php");
        TMemoryStream page;
        client.Get("page.php", page);
        EXPECT_EQ(std::string(page.View()), "<?php phpinfo();\n");
        client.Disconnect();
        std::vector<std::string> received = ReadLines(log);
        ASSERT_GE(received.size(), c.Received.size());
        received.resize(c.Received.size());
        EXPECT_EQ(received, WithSite(c.Received, site));
    }
}

TEST(FTPProxy, WrongProxyPasswordIsRefused)
{
    TFtpServerFixture server;
    const std::unique_ptr<TFtpPeer> proxy =
        TFtpPeer::Proxy("site", server.Peer->Port(), "pu", "pp", server.Dir.File("proxy.log"));
    TNetFTP client;
    server.SetUp(client);
    client.ProxySettings = {TFTPProxyType::fpcmSite, "127.0.0.1", proxy->Port(), "pu", "wrong"};
    try {
        client.Connect();
        FAIL() << "the proxy let a wrong password through";
    } catch (const ENetFTPReplyError& e) {
        EXPECT_EQ(e.Code(), 530);
    }
    EXPECT_FALSE(client.Connected());
}

} // namespace
