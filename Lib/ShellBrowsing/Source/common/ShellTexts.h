#pragma once
// The shell browsing library's user-visible texts, the platform tests it asks, and the
// exceptions it raises.
//
// The library always takes the wide (UTF-16, QString) path: IsWinNT answers true, and the
// system bindings that have no Linux counterpart (the old drives' free-space query) answer
// "not available".

#include "Platform/core/Exceptions.h"

#include <array>

ZENTU_DECLARE_EXCEPTION(EStringListError, EListError);
ZENTU_DECLARE_EXCEPTION(EVSTInvalidFileName, Exception);

namespace ShellTexts {

// Column captions of the explorer's own columns and the default details titles.
inline constexpr const char* Name = "Name";
inline constexpr const char* Size = "Size";
inline constexpr const char* Type = "Type";
inline constexpr const char* Modified = "Modified";
inline constexpr const char* Attributes = "Attributes";
inline constexpr const char* Created = "Created";
inline constexpr const char* Accessed = "Accessed";
inline constexpr const char* Path = "Path";
inline constexpr const char* DOSName = "DOS Name";
inline constexpr const char* Custom = "Custom";

// Column settings dialog and column menu.
inline constexpr const char* ColumnSettings = "Column settings";
inline constexpr const char* ColumnSettingsHint =
    "Check the columns you would like to make visible in this Folder.  Drag and Drop to reorder the columns. ";
inline constexpr const char* ColumnWidthPrefix = "The selected column should be ";
inline constexpr const char* ColumnWidthSuffix = "pixels wide";
inline constexpr const char* LiveUpdate = "LiveUpdate";
inline constexpr const char* OK = "OK";
inline constexpr const char* Cancel = "Cancel";
inline constexpr const char* MoreColumns = "More ...";

// Path errors of the combo box: the message is the first part, the typed path between the two
// double quotes, then the second part.
inline constexpr const char* InvalidPath = "Invalid Path";
inline constexpr const char* InvalidPathFirst = "Windows can not find \"";
inline constexpr const char* InvalidPathSecond = "\" Please check the spelling and try again.";

// Namespace texts.
inline constexpr const char* KBFormat = "%.0n KB";
inline constexpr const char* ZeroKB = "0 KB";
inline constexpr const char* OneKB = "1 KB";
inline constexpr const char* AttrArchive = "A";
inline constexpr const char* AttrHidden = "H";
inline constexpr const char* AttrReadOnly = "R";
inline constexpr const char* AttrSystem = "S";
inline constexpr const char* AttrCompressed = "C";
inline constexpr const char* SystemFolder = "System Folder";
inline constexpr const char* FileSuffix = " File";
inline constexpr const char* UnknownCommand = "Unknown Command";
inline constexpr const char* Error = "Error";
inline constexpr const char* NotSiblings = "PIDLs to operate on are not siblings of the Namespace doing the operation.";
inline constexpr const char* NewFolder = "New Folder";
inline constexpr const char* InvalidFileName = "Trying to create a TNamespace on a non existant File object";
inline constexpr const char* ContextMenuOwner = "To show a Context Menu using TNamespace you must pass a valid Owner TWinControl";

// Notifier assertions.
inline constexpr const char* KernelStillRegistered = "A KernelChangeNotifier is still registered with a Control";
inline constexpr const char* ShellStillRegistered = "A ShellChangeThread is still registered with a Control";
inline constexpr const char* DispatchStillRegistered = "ChangeDispatchThread is still registered";
inline constexpr const char* MustRegisterFirst =
    "A control must be registered with the ShellChangeNotifier using RegisterShellChangeNotify before this method may be used.";

// Names of the change event kinds, in kind order.
inline constexpr std::array<const char*, 20> EventKindNames = {
    "Assocciation Changed", "Attributes", "Item Create", "Item Delete", "Drive Add", "Drive Add GUI",
    "Drive Removed", "Free Space", "Media Inserted", "Media Removed", "Make Directory", "Network Share",
    "Network Unshare", "Folder Rename", "Item Rename", "Remove Directory", "Server Disconnect",
    "Update Directory", "Update Image", "Update Item"};

} // namespace ShellTexts

// Platform tests: the library runs the wide family's code paths everywhere.
constexpr bool IsWinNT() { return true; }
constexpr bool IsWinNT4() { return false; }
constexpr bool IsWin95Early() { return false; }

struct TDriveFreeSpace {
    unsigned SectorsPerCluster = 0;
    unsigned BytesPerSector = 0;
    unsigned TotalClusters = 0;
    unsigned FreeClusters = 0;
};
// The old systems' extended free-space query: not available here, always false.
bool Win9xDriveFreeSpace(const char* driveRoot, TDriveFreeSpace& space);
