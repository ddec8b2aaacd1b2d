// The login sequences.

#include "ftp/client/zuFTPLogin.h"

namespace {

void AddLogin(TFTPLoginPlan& plan, const std::string& user, const std::string& password)
{
    plan.Steps.push_back({TFTPLoginStepKind::lsUser, "USER " + user});
    plan.Steps.push_back({TFTPLoginStepKind::lsPass, "PASS " + password});
}

} // namespace

TFTPLoginPlan PlanLogin(const std::string& host, int port, const std::string& user, const std::string& password,
                        const TFTPProxySettings& proxy)
{
    TFTPLoginPlan plan;
    if (proxy.ProxyType == TFTPProxyType::fpcmNone) {
        plan.Host = host;
        plan.Port = port;
        AddLogin(plan, user, password);
        return plan;
    }
    plan.Host = proxy.Host;
    plan.Port = proxy.Port;
    const std::string site = port == 21 ? host : host + ":" + std::to_string(port);
    const bool proxyLogin = !proxy.UserName.empty();
    switch (proxy.ProxyType) {
    case TFTPProxyType::fpcmUserSite:
        if (proxyLogin)
            AddLogin(plan, proxy.UserName, proxy.Password);
        AddLogin(plan, user + "@" + site, password);
        break;
    case TFTPProxyType::fpcmSite:
    case TFTPProxyType::fpcmOpen:
        if (proxyLogin)
            AddLogin(plan, proxy.UserName, proxy.Password);
        plan.Steps.push_back({TFTPLoginStepKind::lsCommand,
                              (proxy.ProxyType == TFTPProxyType::fpcmSite ? "SITE " : "OPEN ") + site});
        AddLogin(plan, user, password);
        break;
    case TFTPProxyType::fpcmUserPass:
        if (proxyLogin)
            AddLogin(plan, user + "@" + proxy.UserName + "@" + site, password + "@" + proxy.Password);
        else
            AddLogin(plan, user + "@" + site, password);
        break;
    case TFTPProxyType::fpcmTransparent:
        if (proxyLogin)
            AddLogin(plan, proxy.UserName, proxy.Password);
        AddLogin(plan, user, password);
        break;
    case TFTPProxyType::fpcmNone:
        break;
    }
    return plan;
}
