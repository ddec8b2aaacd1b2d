// Where the client connects and what it sends to log in, directly and through each kind of
// proxy.

#include "ftp/client/zuFTPLogin.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TPlanCase {
    TFTPProxyType Type;
    bool ProxyLogin;
    int Port;
    std::string Host;
    int ConnectPort;
    std::vector<std::string> Commands;
};

TEST(FTPLogin, EachProxyTypeHasItsSequence)
{
    using enum TFTPProxyType;
    const TPlanCase cases[] = {
        {fpcmNone, true, 2121, "site.test", 2121, {"USER u", "PASS p"}},
        {fpcmUserSite, false, 21, "proxy.test", 8021, {"USER u@site.test", "PASS p"}},
        {fpcmUserSite, true, 2121, "proxy.test", 8021, {"USER pu", "PASS pp", "USER u@site.test:2121", "PASS p"}},
        {fpcmSite, true, 21, "proxy.test", 8021, {"USER pu", "PASS pp", "SITE site.test", "USER u", "PASS p"}},
        {fpcmSite, false, 2121, "proxy.test", 8021, {"SITE site.test:2121", "USER u", "PASS p"}},
        {fpcmOpen, true, 21, "proxy.test", 8021, {"USER pu", "PASS pp", "OPEN site.test", "USER u", "PASS p"}},
        {fpcmUserPass, true, 21, "proxy.test", 8021, {"USER u@pu@site.test", "PASS p@pp"}},
        {fpcmUserPass, false, 2121, "proxy.test", 8021, {"USER u@site.test:2121", "PASS p"}},
        {fpcmTransparent, true, 21, "proxy.test", 8021, {"USER pu", "PASS pp", "USER u", "PASS p"}},
        {fpcmTransparent, false, 21, "proxy.test", 8021, {"USER u", "PASS p"}},
    };
    for (const TPlanCase& c : cases) {
        TFTPProxySettings proxy;
        proxy.ProxyType = c.Type;
        proxy.Host = "proxy.test";
        proxy.Port = 8021;
        if (c.ProxyLogin) {
            proxy.UserName = "pu";
            proxy.Password = "pp";
        }
        const TFTPLoginPlan plan = PlanLogin("site.test", c.Port, "u", "p", proxy);
        EXPECT_EQ(plan.Host, c.Host) << static_cast<int>(c.Type);
        EXPECT_EQ(plan.Port, c.ConnectPort) << static_cast<int>(c.Type);
        std::vector<std::string> commands;
        for (const TFTPLoginStep& step : plan.Steps)
            commands.push_back(step.Command);
        EXPECT_EQ(commands, c.Commands) << static_cast<int>(c.Type) << " proxy login " << c.ProxyLogin;
    }
}

} // namespace
