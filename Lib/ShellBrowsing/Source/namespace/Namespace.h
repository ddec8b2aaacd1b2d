#pragma once
// TNamespace: one item of the namespace (the desktop, Home, Computer, a volume, the trash, a
// trashed item, a file or folder) held on its absolute item identifier list. It answers every
// question about its item (attributes, names in each form, file data and times, sizes, type,
// icon indices, details columns, child enumeration) by asking its parent folder, and caches
// each answer until it is told that the item changed (InvalidateCache, InvalidateNamespace).
// The actions on items (menus, verbs, clipboard, drag and drop, opening, renaming, properties)
// are in NamespaceOperations.h.
//
// A namespace is used by one thread at a time.

#include "ShellBrowsing/Source/namespace/ItemData.h"
#include "ShellBrowsing/Source/namespace/ShellConsts.h"
#include "ShellBrowsing/Source/namespace/ShellFolder.h"

#include "Platform/core/Component.h"
#include "Platform/core/ResultCodes.h"

#include <QString>
#include <functional>
#include <memory>

class QDialog;
class QMenu;
class QMimeData;
class QPoint;
class QWidget;
class TNamespace;
class TPopupMenu;

using TNamespaceArray = std::vector<TNamespace*>;
using TPIDLArray = std::vector<PItemIDList>;

// Called for each child of an enumeration with its relative list, which it takes over; answers
// whether it kept the item, and may set `terminate` to stop.
using TEnumFolderCallback = std::function<bool(TNamespace& folder, PItemIDList relativePIDL, bool& terminate)>;

// Handlers of a context menu: before it shows (clearing `allow` cancels it), for a chosen command
// that is not one of the caller's own items (setting `handled` keeps the verb from running), and
// after a verb ran.
using TContextMenuShowEvent = std::function<void(TNamespace* item, QMenu* menu, bool& allow)>;
using TContextMenuCmdEvent = std::function<void(TNamespace* item, const QString& verb, int command, bool& handled)>;
using TContextMenuAfterCmdEvent = std::function<void(TNamespace* item, const QString& verb, int command, bool succeeded)>;

struct TContextMenuHandlers {
    TContextMenuCmdEvent OnCommand;
    TContextMenuShowEvent OnShow;
    TContextMenuAfterCmdEvent AfterCommand;
};

enum : std::uint32_t { DROPEFFECT_NONE = 0, DROPEFFECT_COPY = 1, DROPEFFECT_MOVE = 2, DROPEFFECT_LINK = 4 };
// Key state of drags (with the mouse-message bits MK_SHIFT 0x4 and MK_CONTROL 0x8).
enum : std::uint32_t { MK_ALT_KEY = 0x20 };

class TNamespace : public TObject {
public:
    // Takes ownership of `pidl`. With a parent whose list is the desktop, `pidl` is both the
    // absolute and the relative list; with any other parent it is appended to the parent's
    // list (and freed); without a parent a nil or empty list names the desktop, any other is
    // the absolute list.
    explicit TNamespace(PItemIDList pidl = nullptr, TNamespace* parent = nullptr);
    // Raises EVSTInvalidFileName "Trying to create a TNamespace on a non existant File object"
    // when the path names nothing.
    static std::unique_ptr<TNamespace> CreateFromFileName(const QString& path);
    static std::unique_ptr<TNamespace> CreateFromFileName(const std::string& pathBytes);
    ~TNamespace() override;

    PItemIDList AbsolutePIDL() const { return FAbsolutePIDL; }
    PItemIDList RelativePIDL() const { return FRelativePIDL; }
    TNamespace* Parent() const { return FParent; }
    // Moves the item under another namespace of the same folder (items listed on a worker
    // thread join the folder's namespace of the GUI thread).
    void SetParentOfSameFolder(TNamespace* parent) { FParent = parent; }
    bool FreePIDLOnDestroy() const { return FFlags & FlagFreePIDL; }
    void SetFreePIDLOnDestroy(bool value);
    bool OwnsParent() const { return FFlags & FlagOwnsParent; }

    bool IsDesktop() const;
    bool IsRecycleBin();
    bool IsControlPanel() const { return false; }
    bool IsMyComputer() const;
    bool IsNetworkNeighborhood() const { return false; }
    bool IsNetworkNeighborhoodChild() const { return false; }
    // A new parentless namespace on a copy of the absolute list.
    std::unique_ptr<TNamespace> CloneNamespace(bool ownsPIDL = true) const;

    // Folders: the parent's (creating a parent namespace when there is none) and the item's own.
    PShellFolder ParentShellFolder();
    PShellFolder ShellFolder();

    // ---- attributes
    bool TestAttributesOf(std::uint32_t mask);
    virtual bool IsArchiveAttr();
    virtual bool IsCompressedAttr();
    virtual bool IsDirectoryAttr();
    virtual bool IsHiddenAttr();
    virtual bool IsNormalAttr();
    virtual bool IsOfflineAttr();
    virtual bool IsReadOnlyAttr();
    virtual bool IsSystemAttr();
    virtual bool IsTemporaryAttr();
    virtual QString AttributesText();
    virtual bool CanCopyItem();
    virtual bool CanDeleteItem();
    virtual bool CanLinkItem();
    virtual bool CanMoveItem();
    virtual bool CanRenameItem();
    virtual bool AcceptsDrops();
    virtual bool IsFileSystemAncestor();
    virtual bool IsFileSystemItem();
    virtual bool IsFolderItem();
    virtual bool IsHiddenItem();
    virtual bool HasPropertySheet();
    virtual bool HasSubFolders();
    virtual bool IsShellLinkItem();
    virtual bool HasNewContent();
    virtual bool IsNonEnumerated();
    virtual bool IsReadOnlyItem();
    virtual bool IsRemovableItem();
    virtual bool IsSharedItem();

    // ---- names (display names are UTF-8 with replacement characters for other bytes)
    QString DisplayNameOf(std::uint32_t flags);
    virtual QString NameForAddressBar();
    virtual QString NameForAddressBarInFolder();
    virtual QString NameForEditing();
    virtual QString NameForEditingInFolder();
    virtual QString ParsingPath();
    virtual QString ParsingNameInFolder();
    virtual QString DisplayNameInFolder();
    virtual QString DisplayNameNormal();
    virtual QString ParsingPathForAddressBar();
    virtual QString ParsingNameInFolderForAddressBar();
    virtual QString ExtensionText();
    virtual QString InfoTipText();
    // The item's file-system path as the file system's bytes ("" when it has none).
    std::string PathBytes();

    // ---- file data, times and sizes
    // The item's file data; nil for an item without one (not asked again until invalidation).
    const TItemData* FindData();
    virtual QString FindDataFileName();
    virtual QString ShortFileName();
    virtual FILETIME CreatedTime();
    virtual FILETIME AccessedTime();
    virtual FILETIME ModifiedTime();
    virtual QString CreatedText();
    virtual QString AccessedText();
    virtual QString ModifiedText();
    virtual std::int64_t FileSizeBytes();
    virtual QString SizeText();
    virtual QString SizeKBText();
    virtual QString DiskUsageText();
    virtual QString FileTypeText();

    // ---- icons
    // The system image list index of the item's normal or open icon (size 0 small, 1 large).
    virtual int IconIndexFor(bool openIcon, int iconSize = 0, bool forceLookup = false);
    int OverlayIndex();
    bool ThreadIconLoaded() const { return FFlags & FlagThreadIconLoaded; }
    bool ThreadIconLoading() const { return FFlags & FlagThreadIconLoading; }
    void SetThreadIconLoading(bool value);
    void SetIconIndexFromThread(int index, bool clearPending);
    // The icon-theme names behind IconIndexFor (for threads that hand names to the GUI).
    QString IconName(bool openIcon);

    // ---- children
    bool HasChildren(std::uint32_t shcontf);
    bool HasChildrenEx(std::uint32_t shcontf) { return HasChildren(shcontf); }
    virtual bool HasAnyChildItem();
    bool OkToBrowse();
    int EnumerateFolder(TFileObjects objects, const TEnumFolderCallback& callback);
    int EnumerateFolderEx(bool folders, bool nonFolders, bool hidden, const TEnumFolderCallback& callback);

    // ---- details columns
    int DetailsColumnCount();
    bool IsValidDetailsColumn(int index);
    QString FolderColumnTitle(int index);
    TSHColumnStates DetailsColumnState(int index);
    QString DetailsOf(int index);
    virtual QString DetailsColumnTitle(int index) const;
    virtual QString DetailsColumnText(int index);
    virtual int DetailsColumnCountDefault() const { return 5; }

    // -1, 0 or 1 by the parent folder's order of `pidl` against this item; NotEqual when the
    // lists cannot be compared.
    static constexpr int NotEqual = -1;
    int ComparePIDL(PCItemIDList pidl, bool isAbsolute, int column);

    // ---- cache
    void InvalidateCache();
    void InvalidateNamespace(bool forgetIcons = true);
    // Looks the item up again in its parent folder (its attributes changed).
    void ReloadPIDL(TFileObjects objects);
    // Renaming replaces the item's lists (NamespaceOperations).
    void ReplaceRelativePIDL(PItemIDList newRelative);

    // ---- actions on items (operations/NamespaceOperations.cpp, operations/ContextMenu.cpp)
    // Shows the item's context menu at `position` (screen; the mouse position when nil), with the
    // caller's popup (when given) as a submenu named `customCaption` after a separator. Raises
    // EAssertionFailed without an owner. True when a command ran successfully.
    bool ShowContextMenu(QWidget* owner, const TContextMenuHandlers& handlers, const QPoint* position = nullptr,
                         TPopupMenu* customPopup = nullptr, const QString& customCaption = {});
    bool ShowContextMenuMulti(QWidget* owner, const TNamespaceArray& items, bool useDesktop,
                              const TContextMenuHandlers& handlers, const QPoint* position = nullptr,
                              TPopupMenu* customPopup = nullptr, const QString& customCaption = {});
    // Runs a verb ("open", "cut", "copy", "paste", "pastelink", "delete", "deletepermanently",
    // "restore", "link", "newfolder", "properties") on the lists (children of this item's parent
    // folder) or, without lists, on this item.
    bool InvokeVerb(const QString& verb, const TPIDLArray* lists = nullptr, QWidget* window = nullptr);
    // Every item must be a sibling of this one, else the warning "PIDLs to operate on are not
    // siblings of the Namespace doing the operation." captioned "Error".
    bool SameParentCheck(const TNamespaceArray& items);
    bool Copy(const TNamespaceArray& items);
    bool Cut(const TNamespaceArray& items);
    // To the trash (permanently after a question while Shift is held).
    bool Delete(const TNamespaceArray& items);
    // Pastes the clipboard's files into the first item: copies them, or moves them after a cut;
    // with `asCopy` false makes links to them.
    bool Paste(const TNamespaceArray& items, bool asCopy);
    // A non-modal properties dialog of the items (it deletes itself when closed); nil when an
    // item has no properties.
    QDialog* ShowPropertySheetMulti(const TNamespaceArray& items);
    std::unique_ptr<QMimeData> DataObjectInterface(const TPIDLArray* lists = nullptr);
    std::unique_ptr<QMimeData> DataObjectMulti(const TNamespaceArray& items);
    HRESULT DragEnter(const QMimeData* data, std::uint32_t keyState, const QPoint& point, std::uint32_t& effect);
    HRESULT DragOver(std::uint32_t keyState, const QPoint& point, std::uint32_t& effect);
    HRESULT DragLeave();
    // With MK_RBUTTON in `keyState` (a drag made with the right button) the drop menu asks what
    // to do among the effects offered.
    HRESULT Drop(const QMimeData* data, std::uint32_t keyState, const QPoint& point, std::uint32_t& effect);
    // Opens the item (the program's handler, else the desktop's default application); folders
    // only with `executeFolders`, links to folders only with `executeFolderShortcuts`. Arguments
    // cannot be handed to the default application and are left out.
    bool ShellExecuteNamespace(const QString& workingDir, const QString& parameters, bool executeFolderShortcuts,
                               bool executeFolders);
    // Renames the item in its folder (never over another item); its lists follow the new name.
    bool SetNameOf(const QString& newName);
    bool SetNameOfBytes(const std::string& newName);

    // While a context menu of this item is shown.
    QMenu* CurrentContextMenu = nullptr;
    // The verb of a command of the current context menu ("" for 0, -1 or without a menu).
    QString CurrentContextMenuVerb(int command) const;

private:
    enum : std::uint16_t {
        FlagFreePIDL = 0x0001,
        FlagRecycleBin = 0x0002,
        FlagRecycleBinKnown = 0x0004,
        FlagOwnsParent = 0x0008,
        FlagThreadIconLoaded = 0x0080,
        FlagThreadIconLoading = 0x0100,
    };
    enum TValid : int {
        vInFolderName, vNormalName, vParsingAddressBar, vNormalIcon, vOpenIcon, vOverlay, vCreatedText,
        vAccessedText, vModifiedText, vSizeText, vSizeKBText, vFileSize, vFileType, vNoFindData,
        vIsFileSystem, vIsFolder, vCanDelete, vCanRename, vIsHidden, vCanCopy, vCanMove, vCanLink,
        vIsShellLink, vIsFileSystemAncestor, vIsCompressed, vTimesRefreshed, vDetailsColumnCount, vCurrentRead,
        vCurrentIsFindData,
    };
    bool Valid(TValid bit) const { return (FCacheValid >> bit) & 1; }
    void SetValid(TValid bit) { FCacheValid |= std::uint32_t{1} << bit; }
    bool CachedAttribute(TValid bit, std::uint16_t cachedBit, std::uint32_t mask);
    QString CachedName(TValid bit, QString& text, std::uint32_t flags);
    bool FindDataAttr(std::uint32_t attribute);
    // The item's data as the disk has it in this cache period: read once and shared by the
    // answers that are cached (attributes, size, times, type, icon); nil when it cannot be read.
    const TItemData* CurrentData();
    void ForgetCurrentData();
    void FreeCaches();
    int LookupIcon(bool open);

    PItemIDList FAbsolutePIDL = nullptr;
    PItemIDList FRelativePIDL = nullptr;
    TNamespace* FParent = nullptr;
    std::unique_ptr<TNamespace> FOwnedParent;
    PShellFolder FShellFolder;
    bool FShellFolderTried = false;
    std::unique_ptr<TItemData> FFindData;
    std::unique_ptr<TItemData> FCurrentData; // when the find data was read in an earlier period
    std::uint16_t FFlags = FlagFreePIDL;
    std::uint32_t FCacheValid = 0;
    std::uint16_t FCachedBits = 0;
    int FNormalIconIndex = -1;
    int FOpenIconIndex = -1;
    QString FTextInFolderName;
    QString FTextNormalName;
    QString FTextParsingAddressBar;
    QString FTextCreated;
    QString FTextAccessed;
    QString FTextModified;
    QString FTextSize;
    QString FTextSizeKB;
    QString FTextFileType;
    std::int64_t FFileSize = 0;
    int FDetailsColumnCount = 0;
    int FOverlayIndex = -1;
    std::vector<std::string> FDragPaths;
    std::uint32_t FDragAllowed = 0;
    std::vector<std::string> ItemPaths(const TPIDLArray* lists);
    std::uint32_t DropEffectFor(std::uint32_t keyState, std::uint32_t allowed);
};

// Opens a path as ShellExecuteNamespace does (no folder checks): the program's handler first.
bool ExecutePath(const std::string& path);
// The program's own opener (the IDE opens files it edits); answers whether it opened the path.
using TShellExecuteHandler = std::function<bool(const std::string& path)>;
void SetShellExecuteHandler(TShellExecuteHandler handler);

// The parsing path of a list (PathToPIDL, its reverse, is in ShellLocations.h).
QString PIDLToPath(PCItemIDList pidl);
// Lists that stay owned by the namespaces.
TPIDLArray NamespaceArrayToRelativePIDLs(const TNamespaceArray& items);
TPIDLArray NamespaceArrayToAbsolutePIDLs(const TNamespaceArray& items);
