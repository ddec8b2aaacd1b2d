// Account sections of "ftp.dat" and the shared proxy settings.

#include "ftp/zuFTPAccounts.h"

#include "ftp/zuSecurity.h"
#include "settings/zentuIniFiles.h"
#include "settings/zuSettings.h"

#include "Platform/core/Exceptions.h"
#include "Platform/text/Format.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Key(std::string_view key)
{
    return std::string(key);
}

} // namespace

TFTPAccount ReadFTPAccount(const TIniFileEx& accounts, const TGUID& account)
{
    using namespace FTPAccountKeys;
    const std::string section = GUIDToString(account);
    TFTPAccount values;
    values.Name = accounts.ReadString(section, Key(Name), "");
    values.Host = accounts.ReadString(section, Key(Host), "");
    values.Rdir = accounts.ReadString(section, Key(Rdir), "/");
    values.User = DecryptCredential(accounts.ReadString(section, Key(User), ""));
    values.Pass = DecryptCredential(accounts.ReadString(section, Key(Pass), ""));
    values.Port = accounts.ReadInteger(section, Key(Port), 21);
    values.Passive = accounts.ReadBool(section, Key(Pasv), true);
    values.UseProxy = accounts.ReadBool(section, Key(Prxy), false);
    return values;
}

void WriteFTPAccount(TIniFileEx& accounts, const TGUID& account, const TFTPAccount& values)
{
    using namespace FTPAccountKeys;
    const std::string section = GUIDToString(account);
    accounts.Modify([&](TIniText& text) {
        text.WriteValue(section, Name, values.Name);
        text.WriteValue(section, Host, values.Host);
        text.WriteValue(section, Rdir, values.Rdir);
        text.WriteValue(section, User, EncryptCredential(values.User));
        text.WriteValue(section, Pass, EncryptCredential(values.Pass));
        text.WriteValue(section, Port, std::to_string(values.Port));
        text.WriteValue(section, Pasv, values.Passive ? "1" : "0");
        text.WriteValue(section, Prxy, values.UseProxy ? "1" : "0");
    });
}

void DeleteFTPAccount(TIniFileEx& accounts, const TGUID& account)
{
    accounts.EraseSection(GUIDToString(account));
}

TFTPProxyConfig ReadFTPProxy(const TIniFileEx& settings)
{
    using namespace Settings::FTPClient;
    TFTPProxyConfig proxy;
    proxy.ProxyType = ProxyType.Read(settings);
    proxy.Host = ProxyHost.Read(settings);
    proxy.User = DecryptCredential(ProxyUser.Read(settings));
    proxy.Pass = DecryptCredential(ProxyPass.Read(settings));
    proxy.Port = ProxyPort.Read(settings);
    return proxy;
}

void WriteFTPProxy(TIniFileEx& settings, const TFTPProxyConfig& proxy)
{
    using namespace Settings::FTPClient;
    settings.Modify([&](TIniText& text) {
        text.WriteValue(Section, ProxyType.Key, std::to_string(proxy.ProxyType));
        text.WriteValue(Section, ProxyHost.Key, proxy.Host);
        text.WriteValue(Section, ProxyUser.Key, EncryptCredential(proxy.User));
        text.WriteValue(Section, ProxyPass.Key, EncryptCredential(proxy.Pass));
        text.WriteValue(Section, ProxyPort.Key, std::to_string(proxy.Port));
    });
}

void MakeFilePrivate(const std::string& fileName)
{
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        throw EFCreateError(Format("Cannot create file \"%s\". %s", {fileName, SysErrorMessage(errno)}));
    // why: a file made by an earlier version, or by hand, may be readable by others.
    const int changed = ::fchmod(fd, 0600);
    const int error = errno;
    ::close(fd);
    if (changed != 0)
        throw EFCreateError(Format("Cannot create file \"%s\". %s", {fileName, SysErrorMessage(error)}));
}

std::string AccountCaptionHost(const TIniFileEx& accounts, const TGUID& account)
{
    return accounts.ReadString(GUIDToString(account), Key(FTPAccountKeys::Host), std::string(CaptionHostDefault));
}
