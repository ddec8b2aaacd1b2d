#pragma once
// The option sets, root kinds and column kinds of the explorer controls.

#include "ShellBrowsing/Source/sort/ShellSortHelper.h"

#include "Platform/core/Set.h"

#include <cstdint>

enum TVETFolderOption {
    toFoldersExpandable, toHideRootFolder, toForceHideRecycleBin, toForceShowMyDocuments, toShowOpenIconOnSelect,
    toDisableGhostedFolders, toNoUseVETColorsProp, toThreadedExpandMark,
};
using TVETFolderOptions = TSet<TVETFolderOption>;

enum TVETShellOption {
    toRightAlignSizeColumn, toContextMenus, toDragDrop, toShellHints, toShellColumnMenu,
    toFullRowContextMenuActivate,
};
using TVETShellOptions = TSet<TVETShellOption>;

enum TVETMiscOption {
    toBrowseExecuteFolder, toBrowseExecuteFolderShortcut, toBrowseExecuteZipFolder, toChangeNotifierThread,
    toListviewLimitBrowseToRoot, toNoRebuildIconListOnAssocChange, toTrackChangesInMappedDrives,
    toPersistentColumns, toExecuteOnDblClk, toExecuteOnDblClkFullRow, toRightButtonSelect,
    toRemoveContextMenuShortCut, toUserSort, toAutoScrollHorz, toVETReadOnly, toRestoreTopNodeOnRefresh,
    toPersistListviewColumnSort,
};
using TVETMiscOptions = TSet<TVETMiscOption>;

enum TVETImageOption { toHideOverlay, toImages, toThreadedImages, toLargeImages, toMarkCutAndCopy };
using TVETImageOptions = TSet<TVETImageOption>;

enum TVETSyncOption { toCollapseTargetFirst, toExpandTarget, toSelectTarget };
using TVETSyncOptions = TSet<TVETSyncOption>;

// The root folder kinds that have a counterpart on this system, then the custom kinds.
enum class TRootFolder : std::uint8_t { rfDesktop, rfDrives, rfPersonal, rfBitBucket, rfCustom, rfCustomPIDL };

enum class TColumnDetailType { cdUser, cdVETColumns, cdShellColumns };
enum class TColumnDetails {
    cdFileName, cdSize, cdType, cdModified, cdAccessed, cdCreated, cdAttributes, cdPath, cdDOSName, cdCustom,
};
enum class TFileSizeFormat { fsfExplorer, fsfActual, fsfDiskUsage };

enum class TNamespaceStructureChange { nscDelete, nscAdd };
