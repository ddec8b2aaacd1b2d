#pragma once
// The project records of "projects.dat": one section per project, named by the project's
// GUID text, with the keys below; the defaults each reader passes; and the list of projects
// that the project manager shows.

#include "common/zuGuid.h"

#include <string>
#include <string_view>
#include <vector>

class TIniFileEx;

namespace ProjectKeys {
inline constexpr std::string_view LocalURL = "LocalURL";
inline constexpr std::string_view LocalPath = "LocalPath";
inline constexpr std::string_view ProjectName = "ProjectName";
inline constexpr std::string_view RemoteURL = "RemoteURL";
inline constexpr std::string_view RemotePath = "RemotePath";
inline constexpr std::string_view FTPAccount = "FTPAccount";
inline constexpr std::string_view HTTPServer = "HTTPServer";
} // namespace ProjectKeys

// The server choice stored under HTTPServer.
enum TProjectServer : int {
    psInternal = 0, // the internal HTTP server
    psThirdParty = 1, // another web server ([HTTPServer] ServerURL and DocumentPath)
    psNone = 2,
};

// Defaults of the readers that differ.
namespace ProjectDefaults {
inline constexpr std::string_view ProjectName = "Untitled Project";
inline constexpr std::string_view DialogLocalURL = "http://127.0.0.1";
inline constexpr std::string_view DialogRemoteURL = "http://www.";
inline constexpr std::string_view RemotePath = "/public_html/";
inline constexpr std::string_view ExplorerRemotePath = "/";
inline constexpr std::string_view RunLocalURL = "127.0.0.1";
inline constexpr std::string_view RunRemoteURL = "127.0.0.1";
// The name of an FTP account row without a Name key.
inline constexpr std::string_view AccountName = "Untitled";
} // namespace ProjectDefaults

// The section name of a project.
std::string ProjectSection(const TGUID& project);

std::string ReadProjectString(const TIniFileEx& projects, const TGUID& project, std::string_view key,
                              std::string_view defaultValue);
void WriteProjectString(TIniFileEx& projects, const TGUID& project, std::string_view key, const std::string& value);
// HTTPServer, default 0.
int ReadProjectServer(const TIniFileEx& projects, const TGUID& project);
// FTPAccount as a GUID; the all-zero GUID when missing or not GUID text.
TGUID ReadProjectAccount(const TIniFileEx& projects, const TGUID& project);

struct TProjectListEntry {
    TGUID ID;
    std::string Name;
};
// Every section of "projects.dat" in file order with its ProjectName ("Untitled Project"
// when missing). A section name that is not GUID text raises EConvertError.
std::vector<TProjectListEntry> ReadProjectList(const TIniFileEx& projects);
// The same for "ftp.dat": each account's Name ("Untitled" when missing).
std::vector<TProjectListEntry> ReadAccountList(const TIniFileEx& accounts);
