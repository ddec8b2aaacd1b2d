#pragma once
// The FTP accounts of "ftp.dat" (one section per account, named by its GUID text, with the
// login name and the password enciphered, zuSecurity.h) and the proxy settings that all
// accounts share, in [FTP Client] of the main settings file. "ftp.dat" is readable by its
// owner alone.

#include "common/zuGuid.h"

#include <string>
#include <string_view>

class TIniFileEx;

namespace FTPAccountKeys {
inline constexpr std::string_view Name = "Name";
inline constexpr std::string_view Host = "Host";
inline constexpr std::string_view Rdir = "Rdir";
inline constexpr std::string_view User = "User";
inline constexpr std::string_view Pass = "Pass";
inline constexpr std::string_view Port = "Port";
inline constexpr std::string_view Pasv = "Pasv";
inline constexpr std::string_view Prxy = "Prxy";
} // namespace FTPAccountKeys

// The login of an account that stores none, and its password.
inline constexpr std::string_view AnonymousUser = "anonymous";
inline constexpr std::string_view AnonymousPassword = "zentuuser@";
// The host a document caption shows for an account without one.
inline constexpr std::string_view CaptionHostDefault = "ftp";

// One account as the account dialog shows it; User and Pass deciphered.
struct TFTPAccount {
    std::string Name;
    std::string Host;
    std::string Rdir = "/";
    std::string User;
    std::string Pass;
    int Port = 21;
    bool Passive = true;
    bool UseProxy = false;
};

// The account's section with the account dialog's defaults (all of them when there is none).
TFTPAccount ReadFTPAccount(const TIniFileEx& accounts, const TGUID& account);
// Writes every key in the dialog's order, the credentials enciphered, as one change of the file.
void WriteFTPAccount(TIniFileEx& accounts, const TGUID& account, const TFTPAccount& values);
void DeleteFTPAccount(TIniFileEx& accounts, const TGUID& account);

// [FTP Client] of the main settings file; user name and password deciphered.
struct TFTPProxyConfig {
    int ProxyType = 0;
    std::string Host;
    std::string User;
    std::string Pass;
    int Port = 21;
};
TFTPProxyConfig ReadFTPProxy(const TIniFileEx& settings);
void WriteFTPProxy(TIniFileEx& settings, const TFTPProxyConfig& proxy);

// The six proxy choices as the user sees them, by stored index.
inline constexpr std::string_view ProxyTypeNames[6] = {
    "None (Direct Connection)",
    "UserSite (Send command USER user@hostname)",
    "Site (Send command SITE (with logon))",
    "Open (Send command OPEN)'",
    "UserPass (USER / PASS)",
    "Transparent",
};

// Makes the file private to its owner: created empty with mode 0600 when missing, narrowed to
// 0600 when it exists. Raises EFCreateError when it cannot be made.
void MakeFilePrivate(const std::string& fileName);

// The Host of an account as document captions show it ("ftp" when it has none).
std::string AccountCaptionHost(const TIniFileEx& accounts, const TGUID& account);
