#pragma once
// TCustomShellExplorerTree: the string tree turned into a browser of the namespace. Every node
// stands for one item, whose TNamespace lives in the node's internal area; a folder's children
// are created when it is expanded, sorted by the header's column, looked up by identifier list,
// refreshed in place when the file system changes (notify events arrive as VM_SHELLEVENTS) and
// painted with icons that the icon thread finds (VM_ICONREADY). The tree and list views of the
// file explorer derive from it (ExplorerViews.h).
//
// The implementation is split by concern: ShellExplorerTree (root, nodes, sorting, lookup,
// refresh), ExplorerColumns (columns, cell texts, header), ExplorerChanges (change events and
// the merge refresh), ExplorerCommands (keys, mouse, clipboard and item commands) and
// ExplorerDragDrop (drops and the context menu).

#include "ShellBrowsing/Source/explorer/ExplorerContextMenuManager.h"
#include "ShellBrowsing/Source/explorer/ExplorerOptions.h"
#include "ShellBrowsing/Source/namespace/Namespace.h"
#include "ShellBrowsing/Source/notify/ShellNotifyManager.h"

#include "TreeView/Source/strings/LazyStringTree.h"

#include "Platform/graphics/Colors.h"

#include <functional>
#include <memory>
#include <unordered_set>

class TShellKitEvent;
class TShellKitEventList;
class TShellBackGndEnumThread;
struct TEnumListing;
struct TEnumEntry;
class TVETPersistent;
class TViewManager;
class TCustomShellExplorerTree;

// Window messages of the explorer controls.
enum : UINT { VM_RETRYRENAME = 0x8035 };

// Per-node column toggles: a column hidden or fitted by a Shift or Ctrl click on the header,
// with the width it had before.
class TColumnManager {
public:
    void ToggleColumnHidden(TCustomShellExplorerTree& tree, TColumnIndex column);
    void ToggleColumnFit(TCustomShellExplorerTree& tree, TColumnIndex column);

private:
    struct TColumnWidth {
        int Width = 0;
        std::uint8_t State = 0; // 0 normal, 1 widened to fit, 2 hidden
    };
    TColumnWidth& Entry(TCustomShellExplorerTree& tree, TColumnIndex column);
    std::vector<TColumnWidth> FColumnWidths;
};

// The colours of item names.
struct TVETColors {
    TColor FileTextColor = 0x000000;
    TColor FolderTextColor = 0x000000;
    TColor CompressedTextColor = 0xFF0000; // blue
};

using TVETEnumFolderEvent =
    std::function<void(TCustomShellExplorerTree* Sender, TNamespace* Namespace, bool& AllowAsChild)>;
using TVETRootChangingEvent = std::function<void(TCustomShellExplorerTree* Sender, TRootFolder NewValue,
                                                 TNamespace* Namespace, bool& Allow)>;
using TVETNotifyEvent = std::function<void(TCustomShellExplorerTree* Sender)>;
using TVETGetVETTextEvent = std::function<void(TCustomShellExplorerTree* Sender, TColumnIndex Column,
                                               PLazyNode Node, TNamespace* Namespace, QString& Text)>;
using TVETStructureChangeEvent = std::function<void(TCustomShellExplorerTree* Sender, PLazyNode Node,
                                                    TNamespace* Namespace, TNamespaceStructureChange Change)>;
using TVETShellExecuteEvent = std::function<void(TCustomShellExplorerTree* Sender, TNamespace* Namespace,
                                                 QString& WorkingDir, QString& CmdLineArgument, bool& Allow)>;
using TVETClipboardEvent = std::function<void(TCustomShellExplorerTree* Sender, bool& Handled)>;
using TVETClipboardCutEvent =
    std::function<void(TCustomShellExplorerTree* Sender, bool& MarkSelectedCut, bool& Handled)>;
using TVETShellNotifyEvent = std::function<void(TCustomShellExplorerTree* Sender, TShellKitEvent* ShellEvent)>;
using TVETTreeDblClickEvent =
    std::function<void(TCustomShellExplorerTree* Sender, PLazyNode Node, TMouseButton Button, TPoint& Point)>;
// After each folder listing, with the folder's node (the hidden root for the top level).
using TVETCustomNamespaceEvent = std::function<void(TCustomShellExplorerTree* Sender, PLazyNode ParentNode)>;
using TVETEnumLengthyOperationEvent = std::function<void(TCustomShellExplorerTree* Sender, bool& ShowAnimation)>;
using TVETContextMenuShowEvent =
    std::function<void(TCustomShellExplorerTree* Sender, TNamespace* Namespace, QMenu* Menu, bool& Allow)>;
using TVETContextMenuCmdEvent = std::function<void(TCustomShellExplorerTree* Sender, TNamespace* Namespace,
                                                   const QString& Verb, int MenuItemID, bool& Handled)>;

class TCustomShellExplorerTree : public TCustomLazyStringTree, public IShellKitNotify {
public:
    explicit TCustomShellExplorerTree(TComponent* AOwner = nullptr, QWidget* parent = nullptr);
    ~TCustomShellExplorerTree() override;

    // ---- nodes
    bool NamespaceOfNode(PLazyNode node, TNamespace*& ns) const;
    TNamespace* NodeNamespace(PLazyNode node) const;
    // The node's column manager, made on first use (nil for no node).
    TColumnManager* ColumnManagerOfNode(PLazyNode node);

    // ---- options
    TVETFolderOptions VETFolderOptions() const { return FFolderOptions; }
    void SetVETFolderOptions(TVETFolderOptions value)
    {
        FFolderOptions = value;
        SetThreadedExpandMark(Has(toThreadedExpandMark));
    }
    TVETShellOptions VETShellOptions() const { return FShellOptions; }
    void SetVETShellOptions(TVETShellOptions value) { FShellOptions = value; }
    TVETMiscOptions VETMiscOptions() const { return FMiscOptions; }
    void SetVETMiscOptions(TVETMiscOptions value);
    TVETImageOptions VETImageOptions() const { return FImageOptions; }
    void SetVETImageOptions(TVETImageOptions value);
    TVETSyncOptions VETSyncOptions() const { return FSyncOptions; }
    void SetVETSyncOptions(TVETSyncOptions value) { FSyncOptions = value; }
    bool Has(TVETFolderOption o) const { return FFolderOptions.Contains(o); }
    bool Has(TVETShellOption o) const { return FShellOptions.Contains(o); }
    bool Has(TVETMiscOption o) const { return FMiscOptions.Contains(o); }
    bool Has(TVETImageOption o) const { return FImageOptions.Contains(o); }
    bool Has(TVETSyncOption o) const { return FSyncOptions.Contains(o); }
    TFileObjects FileObjects() const { return FFileObjects; }
    void SetFileObjects(TFileObjects value);
    std::uint32_t EnumFlags() const { return FileObjectsToFlags(FFileObjects); }
    TVETColors& VETColors() { return FColors; }

    // ---- root and activation
    bool Active() const { return FActive; }
    void SetActive(bool value);
    TRootFolder RootFolder() const { return FRootFolder; }
    void SetRootFolder(TRootFolder value);
    const QString& RootFolderCustomPath() const { return FRootFolderCustomPath; }
    void SetRootFolderCustomPath(const QString& path);
    void SetRootFolderCustomPIDL(PCItemIDList list);
    TNamespace* RootNamespace() const { return FRootNamespace.get(); }
    virtual void RebuildTree();
    void BeginRootRebuildLock() { ++FRootRebuildLock; }
    bool RootRebuildLocked() const { return FRootRebuildLock > 0; }
    void EndRootRebuildLock();
    // False (after OnInvalidRootNamespace) when the root is gone.
    bool ValidateRootNamespace();

    // ---- lookup and browsing
    PLazyNode FindExistingNodeByPIDL(PCItemIDList list);
    PLazyNode LocateNodeByPIDL(PCItemIDList list, bool select, bool expandPath, bool reinitializeChildren,
                               bool doExpansion);
    PLazyNode FindNodeForPIDL(PCItemIDList list) { return LocateNodeByPIDL(list, false, false, false, false); }
    virtual bool BrowseTo(PCItemIDList list, bool expandTarget = true, bool selectTarget = true,
                          bool takeFocus = false, bool collapseAllFirst = false, bool expandPath = true);
    // BrowseTo with the sync options (the path of a folder; false when it names nothing).
    bool BrowseToPath(const QString& path);
    virtual bool BrowseAllowed(PCItemIDList list);
    // The node at the top of what the tree shows: the hidden root or the single root node.
    PLazyNode RootNode();

    // ---- captured state, named views and node storage (views/)
    TVETPersistent& ViewState() { return *FViewState; }
    TViewManager& ViewManager() { return *FViewManager; }
    // Keeps the root folder's column layout in the node storage (with toPersistentColumns).
    virtual void StoreColumnState();
    // Applies a column layout stored for the root folder.
    virtual void RestoreColumnState();
    int ColumnMenuItemCount() const { return FColumnMenuItemCount; }
    void SetColumnMenuItemCount(int value) { FColumnMenuItemCount = value; }
    // The column menu of the header at a screen point; "More ..." opens the column settings.
    void ShowColumnMenu(const QPoint& screenPos);
    // Runs the column settings dialog over the header; answers whether it closed with OK.
    bool ShowColumnSettings();
    TVETNotifyEvent OnColumnUserChangedVisiblility;

    // ---- refresh
    bool RefreshNode(PLazyNode node);
    bool RefreshKeepingState(bool restoreUppermost);
    virtual void RefreshNodeChildren(PLazyNode node, bool sortAfterwards);
    void InvalidateChildNamespaces(PLazyNode node, bool forgetIcons);

    // ---- selection
    TNamespaceArray SelectedNamespaces();
    TPIDLArray SelectedRelativePIDLs();

    // ---- columns (ExplorerColumns.cpp)
    TColumnDetailType ColumnDetails() const { return FColumnDetails; }
    void SetColumnDetails(TColumnDetailType value);
    void RebuildColumns();
    TColumnDetails ColumnKind(TColumnIndex column) const;
    TFileSizeFormat FileSizeFormat() const { return FFileSizeFormat; }
    void SetFileSizeFormat(TFileSizeFormat value);
    TFileSort FileSort() const { return FFileSort; }
    void SetFileSort(TFileSort value);
    int ShellColumnCount() const { return FShellColumnCount; }
    // Sorts the tree by a header column as a plain click on it does.
    void SortByColumn(TColumnIndex column);
    void ApplyHeaderClick(TColumnIndex column, TShiftState shift);

    // ---- commands (ExplorerCommands.cpp)
    virtual bool PasteFromClipboard();
    virtual void PasteIntoSelection(bool all);
    void DeleteSelection();
    void ShowSelectionProperties();
    virtual void ExecuteNode(PLazyNode node);
    void ShellExecuteItem(TNamespace* ns, const QString& workingDir, const QString& arguments);
    virtual void BrowseShortcutTarget(TNamespace* ns);
    // Creates a folder (S, or "New Folder", numbered while taken) in `folder` and starts editing
    // its name; answers the new folder's name, empty when nothing was made.
    QString CreateNewFolder(PCItemIDList folder, const QString& suggestedName = {});
    // Fires OnTreeDblClick with the node at the client point.
    virtual void FireTreeDblClick(TMouseButton button, TPoint point);
    // A counted hourglass, shared by every explorer of the process.
    void WaitCursor(bool show);
    void MarkSelectionCopied();
    void MarkSelectionCut();
    // Starts editing the name of the single selected node (the menu's Rename).
    bool EditSelectedName();

    // ---- change links (ExplorerViews.cpp holds the dispatcher)
    void SuppressChangeLinks();
    void ReleaseChangeLinks();
    virtual void DispatchChangeLink();
    bool FollowingNow() const { return FFollowing; }
    void SetFollowing(bool value) { FFollowing = value; }
    // Follows a control that shows `list` now.
    virtual void ChangeLinkDispatch(QObject* server, PCItemIDList list);

    // ---- change events
    bool IsReadyForShellEvents() override;
    void DeliverShellEvents(TMessage& message) override;
    bool ChangeNotifierOn() const { return FChangeNotifierOn; }
    void SetChangeNotifierThread(bool on);
    bool ThreadedImagesOn() const { return FThreadedImagesOn; }
    void SetThreadedImages(bool on);
    // Expand buttons of slow folders settled by the expand-mark thread (ExplorerExpandMarks.cpp).
    bool ThreadedExpandMarkOn() const { return FThreadedExpandMarkOn; }
    void SetThreadedExpandMark(bool on);
    // Whether the context menu is showing (events wait meanwhile).
    bool ContextMenuShown() const { return FContextMenuManager->MenuShown(); }
    TContextMenuManager& ContextMenuManager() { return *FContextMenuManager; }
    // The files' data of the items being dragged out (nil when no drag of this tree runs).
    const QMimeData* SelectionDataObject() const { return FSelectionDataObject.get(); }

    // ---- listing on the enumeration thread (ExplorerEnumeration.cpp)
    bool ThreadedEnum() const { return FThreadedEnum; }
    void SetThreadedEnum(bool value) { FThreadedEnum = value; }
    bool Enumerating() const;
    TShellBackGndEnumThread* EnumThread() const;
    void StopBackgroundEnum();
    // Selects the item once the listing running now has ended (nothing without a listing).
    void SelectWhenListed(PCItemIDList list);
    // The busy animation shown while the first rows are long in coming (nil when none shows).
    QWidget* EnumAnimation() const;
    TVETNotifyEvent OnEnumFinished;
    TVETEnumLengthyOperationEvent OnEnumThreadLengthyOperation;

    TVETEnumFolderEvent OnEnumFolder;
    TVETCustomNamespaceEvent OnCustomNamespace;
    TVETTreeDblClickEvent OnTreeDblClick;
    TVETRootChangingEvent OnRootChanging;
    TVETNotifyEvent OnRootChange;
    TVETNotifyEvent OnRootRebuild;
    TVETNotifyEvent OnInvalidRootNamespace;
    TVETGetVETTextEvent OnGetVETText;
    TVETStructureChangeEvent OnNamespaceStructureChange;
    TVETShellExecuteEvent OnShellExecute;
    TVETClipboardEvent OnClipboardCopy;
    TVETClipboardCutEvent OnClipboardCut;
    TVETClipboardEvent OnClipboardPaste;
    TVETShellNotifyEvent OnShellNotify;
    TVETContextMenuShowEvent OnContextMenuShow;
    TVETContextMenuCmdEvent OnContextMenuCmd;
    TVETContextMenuAfterCmdEvent OnContextMenuAfterCmd;
    TVETContextMenuItemChangeEvent OnContextMenuItemChange;
    TVETNotifyEvent OnHeaderRebuild;

    // Shows the context menu of the selection (or of the node at a client point), as a right
    // click or the menu key does; answers whether a command ran.
    bool ShowContextMenuAt(PLazyNode node, const QPoint& screenPos);

protected:
    void WndProc(TMessage& message) override;
    void FireInitNode(PLazyNode parentNode, PLazyNode node, TShellNodeInitStates& initialStates) override;
    void FireInitChildren(PLazyNode node, std::uint32_t& childCount) override;
    void FireFreeNodeAndDispose(PLazyNode node) override;
    int FireCompareNodes(PLazyNode node1, PLazyNode node2, TColumnIndex column) override;
    bool FireExpanding(PLazyNode node) override;
    bool FireCollapsing(PLazyNode node) override;
    void FireCollapsed(PLazyNode node) override;
    void FireUpdating(TLTUpdateState state) override;
    void FireChange(PLazyNode node) override;
    TCustomImageList* FireGetImageIndex(PLazyNode node, TLTImageKind kind, TColumnIndex column, bool& ghosted,
                                        int& index) override;
    void FireGetText(PLazyNode node, TColumnIndex column, TVSTTextType textType, QString& text) override;
    void FireNewText(PLazyNode node, TColumnIndex column, const QString& text) override;
    void FirePaintText(PLazyNode node, TCanvas& canvas, TColumnIndex column, TVSTTextType textType) override;
    void FireEditing(PLazyNode node, TColumnIndex column, bool& allowed) override;
    bool FireKeyAction(WORD& charCode, TShiftState& shift) override;
    void FireHeaderClick(TColumnIndex column, TMouseButton button, TShiftState shift, int x, int y) override;
    void FireHeaderMouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void FireHeaderDragged(TColumnIndex column, int oldPosition) override;
    void ColumnResized(TColumnIndex column) override;
    void FireChecked(PLazyNode node) override;
    // Check marks of new nodes: stored ones come back, checked parents pass theirs on.
    void ApplyStoredCheckState(PLazyNode parentNode, PLazyNode node);
    QString NodeHintText(PLazyNode node, TColumnIndex column, TLTTooltipLineBreakStyle& lineBreakStyle) override;
    void ReadTreeStream(TStream& stream) override;
    void WriteTreeStream(TStream& stream, PLazyNode node = nullptr) override;
    void CopySelectionToClipboard() override;
    void CutSelectionToClipboard() override;
    bool PasteClipboardNodes() override;
    void MouseDoubleClicked(TMessage& message, const TLTHitRecord& hit) override;
    void MousePressed(TMessage& message, const TLTHitRecord& hit) override;
    QMenu* FireGetPopupMenu(PLazyNode node, TColumnIndex column, TPoint p) override;
    int OleDragEntered(TShiftState shift, TPoint pt, int& effect) override;
    int OleDragMoved(TBaseLazyTree* source, TShiftState shift, TDragState state, TPoint pt, int& effect) override;
    void OleDragLeft() override;
    int OleDropped(const QMimeData* dataObject, TShiftState shift, TPoint pt, int& effect) override;
    bool FireDragAllowed(PLazyNode node, TColumnIndex column) override;
    bool FireDragOver(QObject* source, TShiftState shift, TDragState state, TPoint pt, TDropMode mode,
                      int& effect) override;
    bool PopupAvailable(PLazyNode node, TColumnIndex column, TPoint p) override;
    void ShowNodePopup(PLazyNode node, TColumnIndex column, TPoint p) override;
    // The node that takes a drop aimed at `node`.
    PLazyNode DropTargetFor(PLazyNode node);
    void TrackShellDropNode(PLazyNode node, TShiftState shift, TPoint pt, int& effect);
    // Whether `node` is still a node of the tree (a linear walk; for rare checks only).
    bool NodeExists(PLazyNode node);
    void FireCreateDataObject(std::unique_ptr<QMimeData>& dataObject) override;
    void CollectClipboardFormats(TFormatEtcArray& formats) override;
    void RunOleDrag(TPoint hotSpot) override;
    // The right button's press, moves and release: the context menu and the right-button drag.
    bool HandleMenuAndDragMessage(TMessage& message);

    // The defaults of the core; the views replace them.
    virtual void AssignDefaultOptions();
    // Applies the options that register with threads (after construction and option changes).
    void ApplyRegistrations();
    // Enumerates a node's folder into new child nodes; answers their count.
    int EnumerateNodeChildren(PLazyNode node);
    // Orders new children by name through sort keys when the tree sorts by name; false when
    // the ordinary sort must run.
    bool PresortByName(std::vector<TNamespace*>& items);
    bool SortsByName() const;
    bool ColumnSortsByName(TColumnIndex column) const;
    // Sorts by name through sort keys made once per item (ExplorerKeyedSort.cpp).
    void SortChildren(PLazyNode node, TColumnIndex column, TSortDirection direction, bool doInit = true) override;
    int CompareSortKeys(PLazyNode node1, PLazyNode node2) const;
    // Whether the folder's expand button comes from the expand-mark thread (folders on network
    // file systems).
    virtual bool ExpandMarkFromThread(TNamespace* ns);
    bool QueueExpandMark(PLazyNode node, TNamespace* ns);
    void ApplyExpandMarkAnswer(TMessage& message);
    // The node's requests (all of the tree's for nil).
    void WithdrawExpandMarks(PLazyNode node);
    void StartBackgroundEnum();
    virtual void ShowEnumAnimation();
    void TakeEnumBatch(TMessage& message);
    // A refresh of the folder being listed waits for the listing's end; true when it waits.
    bool DeferRefreshWhileListing();
    bool RowsAreEntries(PLazyNode root, const std::vector<TEnumEntry>& rows) const;
    void AppendEnumRows(PLazyNode root, TEnumListing& listing, std::vector<TEnumEntry>& taken);
    void MergeEnumRows(PLazyNode root, TEnumListing& listing, std::vector<TEnumEntry>& taken);
    PLazyNode AddNamespaceNode(PLazyNode parent, std::unique_ptr<TNamespace> ns, bool hasChildren);
    // Adds the documents folder (with toForceShowMyDocuments), then fires OnCustomNamespace.
    virtual void FireCustomNamespace(PLazyNode parentNode);
    // Adds the user's documents folder under the desktop's node when it is not listed there.
    void AddMyDocumentsNode(PLazyNode node);
    // Ctrl+Page Up and Ctrl+Page Down: the focus moves a page, the selection stays.
    void FocusPageUp();
    void FocusPageDown();
    // The last sibling that the page starting at the uppermost node shows whole.
    PLazyNode PageLastNode();
    void FireNamespaceStructureChange(PLazyNode node, TNamespace* ns, TNamespaceStructureChange change);
    // Deletes a node; the focus moves to its next sibling, else its parent.
    void DeleteNodeKeepFocus(PLazyNode node);
    bool MayHaveChildren(TNamespace* ns, PLazyNode node);
    int CompareShellColumn(TColumnIndex column, TNamespace* ns1, TNamespace* ns2);
    void HandleShellEvents(TShellKitEventList* list);
    void HandleShellEvent(TShellKitEvent& event);
    void ApplyIconAnswer(TMessage& message);
    // Withdraws the icon lookups of the rows a collapse hid.
    void WithdrawHiddenIconRequests(PLazyNode collapsed);
    void DrainPostedShellEvents();
    void WatchNodeFolder(PLazyNode node);
    void FreeHiddenRootNamespace();
    std::unique_ptr<TNamespace> RootFolderNamespace(TRootFolder value);
    void ApplyRoot(TRootFolder value);
    void BuildVETColumns();
    void BuildShellColumns(TNamespace* ns);
    int ColumnDefaultWidth(TNamespace* ns, int index) const;
    void RetryRename(PLazyNode node);
    PLazyNode TopNodeOfView() { return RootNode(); }

private:
    struct TNodeArea {
        TNamespace* Namespace;
        TColumnManager* ColumnManager;
    };
    // why: copied in and out, since the area's offset need not suit a pointer's alignment.
    TNodeArea AreaOf(PLazyNode node) const;
    void SetAreaOf(PLazyNode node, const TNodeArea& area);

    int FWaitCount = 0;
    bool FThreadedEnum = false;
    // The sort keys of the children being sorted, by their sibling index before the sort.
    const std::vector<TEnumEntry>* FSortKeys = nullptr;
    std::unique_ptr<TEnumListing> FEnumListing;
    // Nodes whose folders the change notifier watches for this tree.
    std::unordered_set<PLazyNode> FWatched;

    int FAreaOffset = 0;
    bool FActive = false;
    bool FActiveApplied = false;
    TVETFolderOptions FFolderOptions;
    TVETShellOptions FShellOptions;
    TVETMiscOptions FMiscOptions;
    TVETImageOptions FImageOptions;
    TVETSyncOptions FSyncOptions;
    TFileObjects FFileObjects{TFileObject::foFolders};
    TVETColors FColors;
    TRootFolder FRootFolder = TRootFolder::rfDesktop;
    QString FRootFolderCustomPath;
    PItemIDList FRootFolderCustomPIDL = nullptr;
    std::unique_ptr<TNamespace> FRootNamespace;
    std::unique_ptr<TNamespace> FPendingRootNamespace;
    std::unique_ptr<TVETPersistent> FViewState;
    std::unique_ptr<TViewManager> FViewManager;
    int FColumnMenuItemCount = 8;
    int FRootRebuildLock = 0;
    TColumnDetailType FColumnDetails = TColumnDetailType::cdUser;
    TFileSizeFormat FFileSizeFormat = TFileSizeFormat::fsfExplorer;
    TFileSort FFileSort = TFileSort::fsFileType;
    int FShellColumnCount = 0;
    // What each header column shows, by index.
    std::vector<TColumnDetails> FColumnKinds;
    bool FColumnsBuilding = false;
    bool FBrowsing = false;
    bool FFollowing = false;
    bool FChangeLinksSuppressed = false;
    int FSuppressedDispatches = 0;
    bool FExpandButtonHit = false;
    bool FChangeNotifierOn = false;
    bool FThreadedImagesOn = false;
    bool FThreadedExpandMarkOn = false;
    bool FRegisteredWithManager = false;
    std::unique_ptr<TContextMenuManager> FContextMenuManager;
    std::shared_ptr<QMimeData> FSelectionDataObject;
    std::uint8_t FDragButton = 0; // 1 left, 2 right
    bool FDropping = false;
    PLazyNode FShellDropNode = nullptr;
    std::uint32_t FLastDropEffect = 0;
    const QMimeData* FDragData = nullptr;
    int FFolderImageIndex = 0;
    int FUnknownFileImageIndex = 0;

    friend class TVETPersistent;
    friend class TContextMenuManager;
    friend class TColumnManager;
};
