#pragma once
// Where the client connects and which commands log it in, for a direct connection and for the
// five ways of passing an FTP proxy. "site" below is the host, with ":port" when the port is
// not 21; the proxy's own login (USER and PASS with the proxy's user name and password) is sent
// only when a proxy user name is given.
//
//   none         the server itself:  USER user, PASS password
//   UserSite     the proxy:  [proxy login], USER user@site, PASS password
//   Site         the proxy:  [proxy login], SITE site, USER user, PASS password
//   Open         the proxy:  [proxy login], OPEN site, USER user, PASS password
//   UserPass     the proxy:  USER user@proxyuser@site, PASS password@proxypassword
//                (without a proxy user: USER user@site, PASS password)
//   Transparent  the proxy, which knows where it leads:  [proxy login], USER user, PASS password

#include <string>
#include <vector>

enum class TFTPProxyType { fpcmNone, fpcmUserSite, fpcmSite, fpcmOpen, fpcmUserPass, fpcmTransparent };

struct TFTPProxySettings {
    TFTPProxyType ProxyType = TFTPProxyType::fpcmNone;
    std::string Host;
    int Port = 0;
    std::string UserName;
    std::string Password;
};

enum class TFTPLoginStepKind {
    lsUser,    // USER: 230 ends this login, 331 asks for the PASS that follows
    lsPass,    // PASS: 230 or 202; skipped when its USER got 230
    lsCommand, // SITE or OPEN: any positive reply
};

struct TFTPLoginStep {
    TFTPLoginStepKind Kind;
    std::string Command;
};

struct TFTPLoginPlan {
    std::string Host;
    int Port = 21;
    std::vector<TFTPLoginStep> Steps;
};

TFTPLoginPlan PlanLogin(const std::string& host, int port, const std::string& user, const std::string& password,
                        const TFTPProxySettings& proxy);
