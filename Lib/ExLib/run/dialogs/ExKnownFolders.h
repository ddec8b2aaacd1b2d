#pragma once
// Special folders that the folder browser can take as its root: each has the shell's folder
// number, the shell version it needs, whether it needs the NT family, whether a path lookup can
// give it, and what to fall back to when it is missing.

#include <cstdint>
#include <optional>

enum class TFromDirectory {
    fdNoSpecialFolder, fdRootFolder, fdRecycleBin, fdControlPanel, fdDesktop, fdDesktopDirectory, fdMyComputer,
    fdFonts, fdNetHood, fdNetwork, fdPersonal, fdPrinters, fdPrograms, fdRecent, fdSendTo, fdStartMenu, fdStartup,
    fdTemplates, fdStartUpNonLocalized, fdCommonStartUpNonLocalized, fdCommonDocuments, fdCommonFavorites,
    fdCommonPrograms, fdCommonStartUp, fdCommonTemplates, fdCookies, fdFavorites, fdHistory, fdInternet, fdMyMusic,
    fdPrinthood, fdConnections, fdAppData, fdInternetCache, fdAdminTools, fdCommonAdminTools, fdCommonAppData,
    fdLocalAppData, fdMyPictures, fdProfile, fdProgramFiles, fdProgramFilesCommon, fdSystem, fdWindows, fdCDBurnArea,
    fdCommonMusic, fdCommonPictures, fdCommonVideo, fdMyDocuments, fdMyVideo, fdProfiles, fdResources,
    fdResourcesLocalized, fdCommonOEMLinks, fdComputersNearMe,
};

struct TSpecialFolderInfo {
    int Csidl = 0;
    std::uint32_t MinVersion = 0;
    bool NTOnly = false;
    bool ByPath = false;
    std::optional<TFromDirectory> Fallback;
};

const TSpecialFolderInfo& SpecialFolderInfo(TFromDirectory folder);
// Whether the special folder is there with a shell of `version` (the NT family is assumed).
bool SpecialFolderSupported(TFromDirectory folder, std::uint32_t version);
// Follows the fallbacks from `folder` while it is neither supported nor to be found by path.
TFromDirectory ResolveSpecialFolder(TFromDirectory folder, std::uint32_t version);
