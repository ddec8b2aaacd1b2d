#pragma once
// TBaseLazyTree: a tree or list control whose nodes hold no content of their own. Texts,
// images, check boxes and heights come from events, and nodes are created and initialised only
// when something needs them. The control is a scroll area; its header is a child widget above
// the client area.
//
// Node invariants, kept by every structural operation:
//   1. SubtreeCount of a node = 1 + the sum of its children's SubtreeCount.
//   2. SubtreeHeight = RowHeight, plus, while nsOpen, the SubtreeHeight of each nsShown child.
//      The tree's extent is SubtreeHeight(HiddenRoot) - RowHeight(HiddenRoot).
//   3. SiblingIndex runs 0, 1, 2 ... along NextLink; NumChildren is the chain's length.
//   4. nsMayHaveChildren is set whenever NumChildren > 0.
//   5. nsKidsAllHidden: a node with children of which none is shown, or with neither children
//      nor nsMayHaveChildren.
//   6. VisibleRowCount counts the shown nodes whose ancestors are all open and shown.
//
// The implementation is split by concern: LazyTreeCore (records, structure), LazyTreeStates
// (states, timers, notifications), LazyTreeProperties (construction, properties, loading),
// LazyTreeNavigation (walking, hit tests, geometry), LazyTreeOperations (node operations),
// LazyTreeSort, LazyTreeScroll, cache/LazyTreeCache, selection/LazyTreeSelection,
// selection/LazyTreeChecks, editing/LazyTreeEditing, stream/LazyTreeStream,
// stream/LazyTreeClipboard and paint/LazyTreePaint.

#include "TreeView/Source/core/LTEvents.h"
#include "TreeView/Source/core/LTGlobals.h"
#include "TreeView/Source/core/LTNode.h"
#include "TreeView/Source/core/LTOptions.h"
#include "TreeView/Source/core/LTTypes.h"
#include "TreeView/Source/paint/LTFontCache.h"
#include "TreeView/Source/paint/LTPaintRecord.h"

#include "Platform/controls/Control.h"
#include "Platform/graphics/Colors.h"

#include <QAbstractScrollArea>
#include <QBrush>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMimeData;
class TCustomImageList;
class TLazyTreeColumn;
class TLazyTreeColumns;
class TLTColors;
class TLTHeader;
class TScrollBarOptions;
class TStream;
class TWorkerThread;
class TLTPanningWindow;
class TLTDragImage;
class QDrag;
class QDragEnterEvent;
class QDragLeaveEvent;
class QDragMoveEvent;
class QDropEvent;
class TLazyTreeHintWindow;
struct TTVItem;
struct TLTHintData;
class QContextMenuEvent;
class QKeyEvent;
class QMouseEvent;

// The message by which the cache worker reports to a tree (WParam: states to enter, LParam:
// states to leave; bit 1 tsStopValidation, 2 tsUseCache, 4 tsValidating, 8 tsValidationNeeded).
constexpr UINT WM_CHANGESTATE = 0x8020;

// One entry of the position cache: a visible node and the upper edge of its row.
struct TLTCacheEntry {
    PLazyNode EntryNode = nullptr;
    std::uint32_t EntryTop = 0;
};
// Visible rows above which a cache is built, and between two entries.
constexpr std::uint32_t CacheThreshold = 2000;

// Bits of the stream format: the chunk types of a node block.
enum : std::int32_t { AnchorChunk = 1, NodeChunk = 2, CaptionChunk = 3, UserChunk = 4 };

class TBaseLazyTree : public TQtScrollControl<QAbstractScrollArea> {
public:
    explicit TBaseLazyTree(TComponent* AOwner = nullptr, QWidget* parent = nullptr);
    ~TBaseLazyTree() override;

    virtual const TLTTreeClass* TreeClass() const { return &BaseLazyTreeClass; }

    // ---- structure (node record and tree structure)
    PLazyNode HiddenRoot() const { return FRoot; }
    std::uint32_t VisibleRowCount() const { return FVisibleRowCount; }
    int InternalAreaSize() const { return FInternalAreaSize; }
    // Where the application's data starts in a node: behind the internal areas, aligned for any
    // field a node's slot can hold (internal areas grow in steps of 4 bytes).
    int UserDataOffset() const { return (NodeHeaderSize + FInternalAreaSize + 7) / 8 * 8; }
    int NodeDataSize() const { return FNodeDataSize; }
    void SetNodeDataSize(int value);
    std::uint32_t DefaultNodeHeight() const { return FDefaultNodeHeight; }
    void SetDefaultNodeHeight(std::uint32_t value);
    int UpdateDepth() const { return FUpdateDepth; }
    std::uint32_t RootNodeCount() const { return FRoot->NumChildren; }
    void SetRootNodeCount(std::uint32_t value);
    // Node slots of the tree's pool, for memory figures.
    const TLTNodePool& NodePool() const { return FNodePool; }

    std::uint32_t GetNodeChildCount(PLazyNode node) const;
    void SetNodeChildCount(PLazyNode node, std::uint32_t newCount);
    void SetNodeHasChildren(PLazyNode node, bool value);
    bool ChildrenReady(PLazyNode node) const;
    int GetRowHeight(PLazyNode node);
    void SetRowHeight(PLazyNode node, int height);
    void MeasureRowHeight(TCanvas* canvas, PLazyNode node);
    bool ReachableRow(PLazyNode node) const;
    bool AncestorsOpen(PLazyNode node) const;
    bool GetNodeShown(PLazyNode node);
    // Shows or hides a node; a hidden node takes no row.
    void SetNodeShown(PLazyNode node, bool value);
    bool GetNodeExpanded(PLazyNode node) const;
    void SetNodeExpanded(PLazyNode node, bool value);
    bool GetNodeDisabled(PLazyNode node) const;
    void SetNodeDisabled(PLazyNode node, bool value);
    int TreeOrderCompare(PLazyNode node1, PLazyNode node2) const;
    bool ShownSiblingFollows(PLazyNode node) const;
    bool FirstShownChildIs(PLazyNode parent, PLazyNode node) const;
    bool LastShownChildIs(PLazyNode parent, PLazyNode node) const;
    // The address of a node's application data; nil for nil and the hidden root.
    void* NodeUserData(PLazyNode node) const;
    template <class T>
    T* NodeData(PLazyNode node) const { return static_cast<T*>(NodeUserData(node)); }

    // ---- states and notifications
    TLazyTreeStates TreeStates() const { return FStates; }
    std::uint32_t ChangeDelay() const { return FChangeDelay; }
    void SetChangeDelay(std::uint32_t value) { FChangeDelay = value; }

    // ---- position cache
    int PositionCacheSlots() const;
    void DropPositionCache();
    void HaltCacheWorker();
    // Builds the cache; runs on the worker thread.
    // why: not virtual: a tree may already be half destroyed (its subclass parts gone) when it
    // halts the worker from its base destructor, so the worker must not reach subclass code or
    // read the object's dispatch table meanwhile.
    bool RebuildPositionCache();
    const std::vector<TLTCacheEntry>& PositionCache() const { return FPositionCache; }
    // Entry for a content position (precondition: tsUseCache, y >= 0); nil without entries.
    PLazyNode CacheEntryForY(std::uint32_t y, std::uint32_t& entryTop) const;
    PLazyNode CacheEntryForNode(PLazyNode node, std::uint32_t& entryTop) const;

    // ---- parts of the tree
    TCustomLazyTreeOptions& TreeOptions() const;
    void SetTreeOptions(const TCustomLazyTreeOptions& value);
    TLTHeader& Header() const;
    void SetHeader(const TLTHeader& value);
    TLTColors& Colors() const;
    void SetColors(const TLTColors& value);
    TScrollBarOptions& ScrollBarOptions() const;
    void SetScrollBarOptions(const TScrollBarOptions& value);

    bool HasOption(TLTPaintOption o) const;
    bool HasOption(TLTAnimationOption o) const;
    bool HasOption(TLTAutoOption o) const;
    bool HasOption(TLTSelectionOption o) const;
    bool HasOption(TLTMiscOption o) const;

    // ---- published properties (construction and loading)
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    std::uint32_t AnimationDuration() const { return FAnimationDuration; }
    void SetAnimationDuration(std::uint32_t value);
    std::uint32_t AutoExpandDelay() const { return FAutoExpandDelay; }
    void SetAutoExpandDelay(std::uint32_t value) { FAutoExpandDelay = value; }
    std::uint32_t AutoScrollDelay() const { return FAutoScrollDelay; }
    void SetAutoScrollDelay(std::uint32_t value) { FAutoScrollDelay = value; }
    std::uint32_t AutoScrollInterval() const { return FAutoScrollInterval; }
    void SetAutoScrollInterval(std::uint32_t value) { FAutoScrollInterval = value; }
    const QImage& Background() const { return FBackground; }
    void SetBackground(const QImage& value);
    int BackgroundOffsetX() const { return FBackgroundOffsetX; }
    int BackgroundOffsetY() const { return FBackgroundOffsetY; }
    void SetBackgroundOffset(int index, int value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    TLTButtonFillMode ButtonFillMode() const { return FButtonFillMode; }
    void SetButtonFillMode(TLTButtonFillMode value);
    TLTButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TLTButtonStyle value);
    TCheckImageKind CheckImageKind() const { return FCheckImageKind; }
    void SetCheckImageKind(TCheckImageKind value);
    TCustomImageList* CheckImages() const { return FCheckImages; }
    TCustomImageList* CustomCheckImages() const { return FCustomCheckImages; }
    void SetCustomCheckImages(TCustomImageList* value);
    // Names of the clipboard formats the tree offers (sorted, no duplicates).
    const std::vector<std::string>& ClipboardFormats() const { return FClipboardFormats; }
    void SetClipboardFormats(const std::vector<std::string>& names);
    TLTNodeAttachMode DefaultPasteMode() const { return FDefaultPasteMode; }
    void SetDefaultPasteMode(TLTNodeAttachMode value) { FDefaultPasteMode = value; }
    int DragHeight() const { return FDragHeight; }
    void SetDragHeight(int value) { FDragHeight = value; }
    int DragWidth() const { return FDragWidth; }
    void SetDragWidth(int value) { FDragWidth = value; }
    TLTDragImageKind DragImageKind() const { return FDragImageKind; }
    void SetDragImageKind(TLTDragImageKind value) { FDragImageKind = value; }
    TDragOperations DragOperations() const { return FDragOperations; }
    void SetDragOperations(TDragOperations value) { FDragOperations = value; }
    TLTDragType DragType() const { return FDragType; }
    void SetDragType(TLTDragType value) { FDragType = value; }
    TLTDrawSelectionMode DrawSelectionMode() const { return FDrawSelectionMode; }
    void SetDrawSelectionMode(TLTDrawSelectionMode value) { FDrawSelectionMode = value; }
    std::uint32_t EditDelay() const { return FEditDelay; }
    void SetEditDelay(std::uint32_t value) { FEditDelay = value; }
    THintAnimationType HintAnimation() const { return FHintAnimation; }
    void SetHintAnimation(THintAnimationType value) { FHintAnimation = value; }
    TLTHintMode HintMode() const { return FHintMode; }
    void SetHintMode(TLTHintMode value) { FHintMode = value; }
    TCursor HotCursor() const { return FHotCursor; }
    void SetHotCursor(TCursor value) { FHotCursor = value; }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* value);
    TCustomImageList* StateImages() const { return FStateImages; }
    void SetStateImages(TCustomImageList* value);
    TLTIncrementalSearch IncrementalSearch() const { return FIncrementalSearch; }
    void SetIncrementalSearch(TLTIncrementalSearch value);
    TLTSearchDirection IncrementalSearchDirection() const { return FIncrementalSearchDirection; }
    void SetIncrementalSearchDirection(TLTSearchDirection value) { FIncrementalSearchDirection = value; }
    TLTSearchStart IncrementalSearchStart() const { return FIncrementalSearchStart; }
    void SetIncrementalSearchStart(TLTSearchStart value) { FIncrementalSearchStart = value; }
    std::uint32_t IncrementalSearchTimeout() const { return FIncrementalSearchTimeout; }
    void SetIncrementalSearchTimeout(std::uint32_t value) { FIncrementalSearchTimeout = value; }
    std::uint32_t Indent() const { return FIndent; }
    void SetIndent(std::uint32_t value);
    TLTLineMode LineMode() const { return FLineMode; }
    void SetLineMode(TLTLineMode value);
    TLTLineStyle LineStyle() const { return FLineStyle; }
    void SetLineStyle(TLTLineStyle value);
    int Margin() const { return FMargin; }
    void SetMargin(int value);
    TLTNodeAlignment NodeAlignment() const { return FNodeAlignment; }
    void SetNodeAlignment(TLTNodeAlignment value);
    std::uint8_t SelectionBlendFactor() const { return FSelectionBlendFactor; }
    void SetSelectionBlendFactor(std::uint8_t value) { FSelectionBlendFactor = value; }
    std::uint32_t SelectionCurveRadius() const { return FSelectionCurveRadius; }
    void SetSelectionCurveRadius(std::uint32_t value);
    int TextMargin() const { return FTextMargin; }
    void SetTextMargin(int value);
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool value) { FWantTabs = value; }
    // The control's popup menu (shown on the context menu request when no node popup was).
    QMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu* value) { FPopupMenu = value; }
    TPoint LastClickPos() const { return FLastClickPos; }
    const QString& SearchBuffer() const { return FSearchBuffer; }
    PLazyNode LastSearchHit() const { return FLastSearchHit; }
    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& value);

    // Loading from a form: properties are only stored until Loaded.
    void Loaded() override;
    bool Loading() const { return ComponentState().Contains(csLoading); }
    // The stored option names of the legacy "Options" set ("voShowRoot", ...).
    void ReadLegacyOptions(const std::vector<std::string>& names);
    // Copies the published settings of another tree.
    void CopySettingsFrom(const TPersistent& source);
    void Assign(const TPersistent& source) override;
    // Form scaling: DefaultNodeHeight and the header follow under toAutoChangeScale.
    void ScaleTo(int m, int d);
    TAlignment ControlsAlignment() const { return FAlignment; }
    bool AcceptsFocus() const;
    // The free notification: drops the tree's references to a list or menu being destroyed.
    void Notification(TComponent* component, TOperation operation) override;

    // ---- navigation and geometry
    PLazyNode FirstNode();
    PLazyNode FirstNodeRaw() const;
    PLazyNode FirstChildOf(PLazyNode node);
    PLazyNode FirstVisibleNode();
    PLazyNode FirstVisibleNodeRaw() const;
    PLazyNode FirstVisibleChildOf(PLazyNode node);
    PLazyNode FirstSelectedNode() const;
    PLazyNode FirstCutCopyNode() const;
    PLazyNode FirstInitializedNode() const;
    PLazyNode LastChildOf(PLazyNode node);
    PLazyNode LastChildOfRaw(PLazyNode node) const;
    PLazyNode LastNode(PLazyNode node = nullptr);
    PLazyNode LastNodeRaw(PLazyNode node = nullptr) const;
    PLazyNode LastVisibleChildOf(PLazyNode node);
    PLazyNode LastVisibleChildOfRaw(PLazyNode node) const;
    PLazyNode LastVisibleNode(PLazyNode node = nullptr);
    PLazyNode LastVisibleNodeRaw(PLazyNode node = nullptr) const;
    PLazyNode NextNodeInOrder(PLazyNode node);
    PLazyNode NextNodeRaw(PLazyNode node) const;
    PLazyNode NextVisibleAfter(PLazyNode node);
    PLazyNode NextVisibleAfterRaw(PLazyNode node) const;
    PLazyNode NextSiblingOf(PLazyNode node);
    PLazyNode NextVisibleSiblingOf(PLazyNode node);
    PLazyNode NextSelectedAfter(PLazyNode node) const;
    PLazyNode NextCutCopyAfter(PLazyNode node) const;
    PLazyNode NextInitializedAfter(PLazyNode node) const;
    PLazyNode PreviousNodeInOrder(PLazyNode node);
    PLazyNode PreviousNodeRaw(PLazyNode node) const;
    PLazyNode PreviousSiblingOf(PLazyNode node);
    PLazyNode PreviousVisibleSiblingOf(PLazyNode node);
    PLazyNode PreviousVisibleSiblingOfRaw(PLazyNode node) const;
    PLazyNode PreviousVisibleBefore(PLazyNode node);
    PLazyNode PreviousVisibleBeforeRaw(PLazyNode node) const;
    PLazyNode VisibleParentOf(PLazyNode node) const;
    int DepthOfNode(PLazyNode node) const;
    bool IsDescendantOf(PLazyNode node, PLazyNode ancestor) const;

    PLazyNode NodeAtY(int y, bool relative, int* rowY = nullptr);
    PLazyNode NodeAtPoint(int x, int y, int* rowY = nullptr);
    void HitTestAt(int x, int y, bool relative, TLTHitRecord& hit);
    TRect NodeDisplayRect(PLazyNode node, TColumnIndex column, bool textOnly, bool unclipped = false);
    bool MakeNodeVisible(PLazyNode node, bool center = false, bool horizontally = true);
    int WidestCellInColumn(TColumnIndex column);
    TRect ShellExtentRect() const;
    // The first row in the client area, and making a node that row.
    PLazyNode NodeAtTop();
    void SetNodeAtTop(PLazyNode node);

    // ---- selection and focus
    std::uint32_t SelectionCount() const { return FSelectionCount; }
    bool GetNodeSelected(PLazyNode node) const { return node && node->Has(nsPicked); }
    void SetNodeSelected(PLazyNode node, bool value);
    PLazyNode RangeAnchor() const { return FRangeAnchor; }
    PLazyNode FocusNode() const { return FFocusNode; }
    void AssignFocusedNode(PLazyNode node);
    TColumnIndex FocusedColumn() const { return FFocusedColumn; }
    void AssignFocusedColumn(TColumnIndex column);
    PLazyNode HotNode() const { return FHotNode; }
    PLazyNode DropTargetNode() const { return FDropTargetNode; }
    TDropMode LastDropMode() const { return FLastDropMode; }
    void DeselectAll();
    void SelectAllNodes(bool visibleOnly);
    void FlipSelection(bool visibleOnly);
    std::vector<PLazyNode> CollectSelectedNodes(bool resolve) const;
    std::vector<PLazyNode> CollectCutCopyNodes(bool resolve) const;
    void ApplyClickSelection(PLazyNode oldFocus, PLazyNode newNode, TShiftState shift, bool dragAllowed);
    TRect BandRect() const { return FBandRect; }
    // Starts a rubber band at a client point (its corner in content coordinates).
    void StartBandSelection(int x, int y, TShiftState shift);

    // ---- checks
    TCheckState GetNodeCheckMark(PLazyNode node) const { return node ? node->CheckMark : csUncheckedNormal; }
    void SetNodeCheckMark(PLazyNode node, TCheckState state);
    TLTCheckKind GetNodeCheckKind(PLazyNode node) const { return node ? node->CheckKind : chkNone; }
    void SetNodeCheckKind(PLazyNode node, TLTCheckKind kind);
    // A press on a check control computes the next state and shows its pressed look; the
    // release applies it; a cancelled press restores the look.
    bool PressCheckControl(PLazyNode node);
    void ReleaseCheckControl(PLazyNode node);
    void CancelCheckPress();
    PLazyNode CheckNode() const { return FCheckNode; }

    // ---- node operations
    void StartBatchUpdate();
    void FinishBatchUpdate();
    PLazyNode AppendChildNode(PLazyNode parent, std::uint32_t userData = 0);
    PLazyNode PlaceNewNode(PLazyNode node, TLTNodeAttachMode mode, std::uint32_t userData = 0);
    void RemoveNode(PLazyNode node, bool reindex = true);
    void RemoveChildNodes(PLazyNode node, bool resetHasChildren = false);
    void RelocateNode(PLazyNode source, PLazyNode target, TLTNodeAttachMode mode, bool childrenOnly);
    void FlipExpanded(PLazyNode node);
    void DropCutCopyMarks();
    void RemoveCutNodes();
    void EnsureChildrenReady(PLazyNode node, bool recursive);
    void EnsureNodeReady(PLazyNode node, bool recursive);
    bool FinishNodeEdit();
    bool CancelNodeEdit();
    bool EditorActive() const { return FStates.Contains(tsEditing); }
    bool DragInProgress() const;
    bool MouseSelecting() const;
    // Inserts the tree data of `data` (copied or moved from `sourceTree`) at `target`.
    bool InsertFromDataObject(TBaseLazyTree* sourceTree, const QMimeData* data, bool isMove,
                              TLTNodeAttachMode mode, PLazyNode target);
    // The tree of this process that made `data`, or nil.
    virtual TBaseLazyTree* SourceTreeOfDataObject(const QMimeData* data) const;

    // ---- sorting
    void SortAllNodes(TColumnIndex column, TSortDirection direction, bool doInit = true);

    // ---- streams
    void ReadTreeFile(const std::string& fileName);

    // ---- scrolling
    int OffsetX() const { return FOffsetX; }
    int OffsetY() const { return FOffsetY; }
    void SetOffsetX(int value);
    void SetOffsetY(int value);
    TPoint GetScrollOffset() const { return {FOffsetX, FOffsetY}; }
    void SetScrollOffset(TPoint value) { ApplyScrollOffset(value); }
    int RangeX() const { return FRangeX; }
    int RangeY() const { return FRangeY; }

    // ---- repainting
    void RepaintColumn(TColumnIndex column);
    void RepaintToBottom(PLazyNode node);
    void RedrawNodeNow(PLazyNode node);
    // Paints the part `window` of the tree surface (content coordinates) into `target` with its
    // upper left corner at `targetPoint`.
    void PaintTree(QPainter& target, const TRect& window, TPoint targetPoint, TTreePaintFlags flags);
    // The tree as the control paints it, for a client rectangle.
    virtual void PaintControl(QPainter& painter, const TRect& updateRect);
    // The button pictures (9 x 9, transparent around them).
    const QImage& PlusButton() const { return FPlusButton; }
    const QImage& MinusButton() const { return FMinusButton; }

    // ---- events
    TLTInitNodeEvent OnInitNode;
    TLTInitChildrenEvent OnInitChildren;
    TLTFreeNodeEvent OnFreeNode;
    TLTChangeEvent OnResetNode;
    TLTGetNodeDataSizeEvent OnGetNodeDataSize;
    TLTMeasureItemEvent OnMeasureItem;
    TLTStructureChangeEvent OnStructureChange;
    TLTChangeEvent OnChange;
    TLTStateChangeEvent OnStateChange;
    TLTUpdatingEvent OnUpdating;
    TLTCompareEvent OnCompareNodes;
    TLTNodeMovingEvent OnNodeMoving;
    TLTNodeMovedEvent OnNodeMoved;
    TLTNodeCopyingEvent OnNodeCopying;
    TLTNodeCopiedEvent OnNodeCopied;
    TLTSaveNodeEvent OnSaveNode;
    TLTSaveNodeEvent OnLoadNode;
    TLTChangingEvent OnExpanding;
    TLTChangeEvent OnExpanded;
    TLTChangingEvent OnCollapsing;
    TLTChangeEvent OnCollapsed;
    TLTCheckChangingEvent OnChecking;
    TLTChangeEvent OnChecked;
    TLTFocusChangingEvent OnFocusChanging;
    TLTFocusChangeEvent OnFocusChanged;
    TLTHotNodeChangeEvent OnHotChange;
    TLTEditChangingEvent OnEditing;
    TLTCreateEditorEvent OnCreateEditor;
    TLTEditChangeEvent OnEdited;
    TLTEditCancelEvent OnEditCancelled;
    TLTIncrementalSearchEvent OnIncrementalSearch;
    TLTKeyActionEvent OnKeyAction;
    TLTDragAllowedEvent OnDragAllowed;
    TLTDragOverEvent OnDragOver;
    TLTDragDropEvent OnDragDrop;
    TLTCreateDragManagerEvent OnCreateDragManager;
    TLTCreateDataObjectEvent OnCreateDataObject;
    TLTGetUserClipboardFormatsEvent OnGetUserClipboardFormats;
    TLTRenderOLEDataEvent OnRenderOLEData;
    TLTPopupEvent OnGetPopupMenu;
    TLTHelpContextEvent OnGetHelpContext;
    TLTPaintEvent OnBeforePaint;
    TLTPaintEvent OnAfterPaint;
    TLTBackgroundPaintEvent OnPaintBackground;
    TLTBeforeItemEraseEvent OnBeforeItemErase;
    TLTAfterItemEraseEvent OnAfterItemErase;
    TLTBeforeItemPaintEvent OnBeforeItemPaint;
    TLTAfterItemPaintEvent OnAfterItemPaint;
    TLTBeforeCellPaintEvent OnBeforeCellPaint;
    TLTAfterCellPaintEvent OnAfterCellPaint;
    TLTGetImageExEvent OnGetImageIndexEx;
    TLTGetImageEvent OnGetImageIndex;
    TLTGetLineStyleEvent OnGetLineStyle;
    TLTGetCellIsEmptyEvent OnGetCellIsEmpty;
    TLTGetCursorEvent OnGetCursor;
    TLTScrollbarShowEvent OnShowScrollbar;
    TLTScrollEvent OnScroll;
    TLTColumnClickEvent OnColumnClick;
    TLTColumnDblClickEvent OnColumnDblClick;
    TLTHeaderClickEvent OnHeaderClick;
    TLTHeaderClickEvent OnHeaderDblClick;
    TLTHeaderMouseEvent OnHeaderMouseDown;
    TLTHeaderMouseEvent OnHeaderMouseUp;
    TLTHeaderMouseMoveEvent OnHeaderMouseMove;
    TLTHeaderDraggingEvent OnHeaderDragging;
    TLTHeaderDraggedEvent OnHeaderDragged;
    TLTHeaderDraggedOutEvent OnHeaderDraggedOut;
    TLTHeaderPaintEvent OnHeaderDraw;
    TLTHeaderPaintQueryElementsEvent OnHeaderDrawQueryElements;
    TLTAdvancedHeaderPaintEvent OnAdvancedHeaderDraw;
    TLTHeaderNotifyEvent OnColumnResize;
    TLTGetHeaderCursorEvent OnGetHeaderCursor;

    // ---- drag and drop, clipboard formats
    TLTDragManager& ObtainDragManager();
    const std::vector<PLazyNode>& DragSelection() const { return FDragSelection; }
    TLTDragImage& DragImage() const { return *FDragImage; }
    // The target side of drags, called by the drag manager; answers S_OK or a failure.
    virtual int OleDragEntered(TShiftState shift, TPoint pt, int& effect);
    virtual int OleDragMoved(TBaseLazyTree* source, TShiftState shift, TDragState state, TPoint pt, int& effect);
    virtual void OleDragLeft();
    virtual int OleDropped(const QMimeData* dataObject, TShiftState shift, TPoint pt, int& effect);
    virtual int ProposeDropEffect(TBaseLazyTree* source, TShiftState shift, TPoint pt, int allowedEffects);
    virtual void CollectClipboardFormats(TFormatEtcArray& formats);
    virtual int RenderDataFormat(const TFormatEtc& format, QByteArray& medium, bool forClipboard);
    virtual bool FireDragOver(QObject* source, TShiftState shift, TDragState state, TPoint pt, TDropMode mode,
                              int& effect);
    virtual void FireDragDrop(QObject* source, const QMimeData* dataObject, const std::vector<std::uint16_t>& formats,
                              TShiftState shift, TPoint pt, int& effect, TDropMode mode);
    virtual void FireCreateDragManager(std::unique_ptr<TLTDragManager>& manager);
    virtual void FireCreateDataObject(std::unique_ptr<QMimeData>& dataObject);
    virtual void FireGetUserClipboardFormats(TFormatEtcArray& formats);
    virtual int FireRenderOLEData(const TFormatEtc& format, QByteArray& medium, bool forClipboard);

    // ---- operations a subclass may replace (see also the protected ones)
    virtual int ReserveInternalNodeData(int size);
    virtual void ShiftTreeStates(TLazyTreeStates enter, TLazyTreeStates leave);
    virtual void NotifyNodeChange(PLazyNode node);
    virtual void NotifyStructureChange(PLazyNode node, TChangeReason reason);
    virtual int LevelDistance(PLazyNode node1, PLazyNode node2) const;
    virtual std::uint32_t VisibleDescendantCount(PLazyNode node) const;
    virtual void UpdateAllChildrenHiddenFlag(PLazyNode node);
    virtual void UpdateAllChildrenHiddenFlags();
    virtual void AddNodeToSelection(PLazyNode node);
    virtual void AddNodesToSelection(PLazyNode* nodes, int count, bool force);
    virtual void UnselectNode(PLazyNode node);
    virtual void UnselectNodeQuiet(PLazyNode node);
    virtual void DropWholeSelection();
    virtual void ResetSelectionAnchor();
    virtual bool SelectionBinarySearch(PLazyNode node, int& index, int lowBound, int highBound) const;
    virtual void SelectNodeRange(PLazyNode startNode, PLazyNode endNode, bool addOnly);
    virtual void ToggleRangeSelection(PLazyNode startNode, PLazyNode endNode);
    virtual void UnselectNodeRange(PLazyNode startNode, PLazyNode endNode);
    virtual void AddScratchNode(PLazyNode node);
    virtual void ResetScratchNodeList();
    // Makes a visible column (the main one if it is) the focused one when none or a hidden one is.
    void FocusShownColumnForSelection();
    virtual bool ComputeDrawSelectionRect(int x, int y);
    virtual TCheckState NextCheckMarkFor(TLTCheckKind kind, TCheckState state) const;
    virtual int CheckImageIndexFor(PLazyNode node) const;
    virtual bool DeriveParentCheckMark(PLazyNode node, TCheckState newState);
    virtual void ApplyCheckClick(PLazyNode node, TCheckState newState);
    virtual bool EditAllowed(PLazyNode node, TColumnIndex column);
    virtual void OpenNodeEditor();
    virtual bool CommitNodeEdit();
    virtual bool AbortNodeEdit();
    virtual void PositionEditor();
    virtual void MainColumnSwitched();
    virtual void MoveFocusTo(PLazyNode node, bool ask);
    virtual void FocusNodeAndColumn(PLazyNode node, TColumnIndex column);
    virtual void ColumnResized(TColumnIndex column);
    virtual void RemoveSelectedNodes();
    virtual void RemoveAllNodes();
    virtual void CopySelectionToClipboard();
    virtual void CutSelectionToClipboard();
    virtual bool PasteClipboardNodes();
    virtual bool BeginNodeEdit(PLazyNode node, TColumnIndex column);
    virtual void CollapseSubtree(PLazyNode node);
    virtual void ExpandSubtree(PLazyNode node);
    virtual void CellTextInfo(PLazyNode node, TColumnIndex column, TFont& font, TRect& r, QString& text);
    virtual void RepaintNode(PLazyNode node);
    virtual void ReadTreeStream(TStream& stream);
    virtual void WriteTreeStream(TStream& stream, PLazyNode node = nullptr);
    virtual void ReinitializeChildren(PLazyNode node, bool recursive);
    virtual void ReinitializeNode(PLazyNode node, bool recursive);
    virtual void ResetNodeToUninitialized(PLazyNode node);
    virtual void SortChildren(PLazyNode node, TColumnIndex column, TSortDirection direction, bool doInit = true);
    virtual void RefreshScrollBars(bool doRepaint);
    virtual int NodeContentWidth(PLazyNode node, TColumnIndex column, TCanvas* canvas);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value);
    virtual THintAnimationType HintAnimationToUse() const;
    bool HintShown() const;
    const TRect& LastHintRect() const { return FLastHintRect; }
    TLazyTreeHintWindow* HintWindow() const { return FHintWindow.get(); }
    // A column hint for a point of the header (client coordinates).
    void ShowHeaderHint(TPoint p);
    virtual std::unique_ptr<TLazyTreeHintWindow> HintWindowClassToUse();
    // The hint and the tooltip of a cell (base: the control's hint).
    virtual QString NodeHintText(PLazyNode node, TColumnIndex column, TLTTooltipLineBreakStyle& lineBreakStyle);
    virtual QString NodeTooltipText(PLazyNode node, TColumnIndex column, TLTTooltipLineBreakStyle& lineBreakStyle);
    // The Qt font and metrics of a class-library font (cached).
    const QFont& QtFontOf(const TFont& font) const { return FFontCache.Font(font); }
    const QFontMetrics& MetricsOf(const TFont& font) const { return FFontCache.Metrics(font); }
    virtual bool NodeHasImage(PLazyNode node, TLTImageKind kind, TColumnIndex column);

protected:
    // The tree's window timers.
    enum : std::uintptr_t {
        ExpandTimer = 1, EditTimer = 2, HeaderTimerId = 3, ScrollTimer = 4, ChangeTimer = 5, StructureChangeTimer = 6,
        SearchTimer = 7,
    };

    // ---- mouse, focus and hot tracking
    virtual void MousePressed(TMessage& message, const TLTHitRecord& hit);
    virtual void MouseReleased(TMessage& message, const TLTHitRecord& hit);
    virtual void MouseDoubleClicked(TMessage& message, const TLTHitRecord& hit);
    void MouseMove(TShiftState shift, int x, int y) override;
    virtual void TrackHotNode(int x, int y);
    virtual void ShowNodePopup(PLazyNode node, TColumnIndex column, TPoint p);
    virtual bool PopupAvailable(PLazyNode node, TColumnIndex column, TPoint p);
    virtual bool FireDragAllowed(PLazyNode node, TColumnIndex column);
    // The source side of a drag: starts it from `hotSpot` (client coordinates).
    virtual void RunOleDrag(TPoint hotSpot);
    // Runs the platform's drag loop; answers the effect the drop took.
    virtual Qt::DropAction ExecuteDrag(QDrag& drag, Qt::DropActions allowed);
    virtual bool DragImageWanted() const { return FDragImageKind != TLTDragImageKind::diNoImage; }
    // The picture of the dragged rows around `hotSpot` (client coordinates) for `drag`.
    void BuildDragImage(TPoint hotSpot, QDrag* drag);
    virtual void ExpandDropTarget();
    virtual void OleDragDone();
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Keeps the tree's clipboard data when the tree goes (the data object renders everything).
    void FlushClipboard();
    // Routes the mouse messages of the client area; true when handled.
    bool RouteMouseMessage(TMessage& message);
    void MsgMouseLeave();
    void ApplyCursor();
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* e) override;

    // ---- keyboard
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyUp(WORD& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;
    LRESULT NativeDialogCode() const override;
    // The tree's own handling of a pressed key; true when the key was the tree's.
    virtual bool HandleTreeKey(WORD key, TShiftState shift);
    bool HandleNavigationKey(WORD key, TShiftState shift);
    bool HandleCommandKey(WORD key, TShiftState shift);

    // ---- scrolling, automatic scrolling, wheel panning, type-ahead
    bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;
    virtual bool AutoScrollAllowed();
    virtual TScrollDirections AutoScrollDirectionsAt(int x, int y);
    virtual void StartAutoScrollTimer(int x, int y);
    virtual void AutoScrollStep();
    virtual void BeginWheelPanning(TPoint position);
    virtual void EndWheelPanning();
    virtual void PickPanningCursor(int x, int y);
    virtual void IncrementalSearchKey(char32_t charCode);
    void StopAutoScroll();
    void EndIncrementalSearch();
    // The shift state of a message's keys plus the buttons the tree knows to be down.
    TShiftState ShiftWithButtons(TShiftState keys) const;

    // ---- other messages
    void MsgSetFocus();
    void MsgKillFocus();
    void MsgCancelMode();
    // Ends the hint the tree shows.
    void CancelHint();
    // The hint request for a client point: which hint shows, where and for which cursor area.
    void ShowHintAt(TPoint p);
    void ShowHintWindow(const TLTHintData& data, TPoint clientPlace, bool tooltip);
    bool viewportEvent(QEvent* e) override;
    // TVM_GETITEMA, TVM_GETITEMRECT and TVM_GETNEXTITEM; false for other messages.
    bool AnswerTreeViewQuery(TMessage& message);
    bool MsgItemQuery(TTVItem& item);

protected:
    // ---- messages and Qt glue
    void WndProc(TMessage& message) override;
    void Paint() override;
    void Resize() override;
    void scrollContentsBy(int dx, int dy) override;
    bool WindowExists() const { return FWindowExists && !ComponentState().Contains(csDestroying); }
    bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
    void MsgValidationState(TMessage& message);
    void MsgTimer(TMessage& message);
    void KillTreeTimer(std::uintptr_t id);

    // ---- class choices (asked on first use, so that a subclass's answer counts)
    virtual std::unique_ptr<TCustomLazyTreeOptions> OptionsClassToUse();
    virtual std::unique_ptr<TLTHeader> HeaderClassToUse();
public:
    virtual std::unique_ptr<TLazyTreeColumn> ColumnClassToUse(TLazyTreeColumns& columns);

protected:
    // ---- structure
    PLazyNode AllocateNode();
    virtual void ResolveNodeDataSize(int& size);
    virtual void FireFreeNodeAndDispose(PLazyNode node);
    virtual void PrepareNode(PLazyNode node);
    virtual void LoadChildNodes(PLazyNode node);
    virtual void LinkNodeAt(PLazyNode node, PLazyNode destination, TBaseLazyTree* tree, TLTNodeAttachMode mode);
    virtual void UnlinkNode(PLazyNode node, bool keepFocus, bool reindex);
    void BumpSubtreeCounts(PLazyNode node, std::int64_t value, bool relative);
    void BumpSubtreeHeights(PLazyNode node, std::int64_t value, bool relative);
    // Halts the cache worker when it holds this tree (before a change of what it reads).
    void StopWorkerBeforeChange();
    // After a change of visible rows or heights: the cache is stale; outside batch updates its
    // rebuild is scheduled and the scroll bars follow. True when that happened.
    bool AfterVisibleChange();

    // ---- states and notifications
    virtual void MarkChangePending(bool isStructure, PLazyNode node, TChangeReason reason = TChangeReason::crIgnore);
    virtual void FireChange(PLazyNode node);
    virtual void FireStructureChange(PLazyNode node, TChangeReason reason);
    virtual void FireUpdating(TLTUpdateState state);

    // ---- cache
    virtual void ScheduleCacheValidation();

    // ---- events
    virtual void FireInitNode(PLazyNode parentNode, PLazyNode node, TShellNodeInitStates& initialStates);
    virtual void FireInitChildren(PLazyNode node, std::uint32_t& childCount);
    virtual void FireResetNode(PLazyNode node);
    virtual void FireMeasureItem(TCanvas* canvas, PLazyNode node, int& nodeHeight);
    virtual int FireCompareNodes(PLazyNode node1, PLazyNode node2, TColumnIndex column);
    virtual bool FireNodeMoving(PLazyNode node, PLazyNode target);
    virtual void FireNodeMoved(PLazyNode node);
    virtual bool FireNodeCopying(PLazyNode node, PLazyNode target);
    virtual void FireNodeCopied(PLazyNode node);
    virtual void FireSaveNode(PLazyNode node, TStream& stream);
    virtual void FireLoadNode(PLazyNode node, TStream& stream);
    virtual bool FireExpanding(PLazyNode node);
    virtual void FireExpanded(PLazyNode node);
    virtual bool FireCollapsing(PLazyNode node);
    virtual void FireCollapsed(PLazyNode node);
    virtual bool FireChecking(PLazyNode node, TCheckState& newState);
    virtual void FireChecked(PLazyNode node);
    virtual bool FireFocusChanging(PLazyNode oldNode, PLazyNode newNode, TColumnIndex oldColumn,
                                   TColumnIndex newColumn);
    virtual void FireFocusChanged(PLazyNode node, TColumnIndex column);
    virtual void FireHotChange(PLazyNode oldNode, PLazyNode newNode);
    virtual void FireEditing(PLazyNode node, TColumnIndex column, bool& allowed);
    virtual void FireCreateEditor(PLazyNode node, TColumnIndex column, PLTEditLink& editLink);
    virtual int FireIncrementalSearch(PLazyNode node, const QString& searchText);
    virtual bool FireKeyAction(WORD& charCode, TShiftState& shift);
    virtual QMenu* FireGetPopupMenu(PLazyNode node, TColumnIndex column, TPoint p);
    virtual int FireGetHelpContext(PLazyNode node, TColumnIndex column);
    virtual void FireBeforePaint(TCanvas& canvas);
    virtual void FireAfterPaint(TCanvas& canvas);
    virtual bool FirePaintBackground(TCanvas& canvas, const TRect& r);
    virtual void FireBeforeItemErase(TCanvas& canvas, PLazyNode node, const TRect& itemRect, TColor& color,
                                     TItemEraseAction& eraseAction);
    virtual void FireAfterItemErase(TCanvas& canvas, PLazyNode node, const TRect& itemRect);
    virtual bool FireBeforeItemPaint(TCanvas& canvas, PLazyNode node, const TRect& itemRect);
    virtual void FireAfterItemPaint(TCanvas& canvas, PLazyNode node, const TRect& itemRect);
    virtual void FireBeforeCellPaint(TCanvas& canvas, PLazyNode node, TColumnIndex column, const TRect& cellRect);
    virtual void FireAfterCellPaint(TCanvas& canvas, PLazyNode node, TColumnIndex column, const TRect& cellRect);
    virtual TCustomImageList* FireGetImageIndex(PLazyNode node, TLTImageKind kind, TColumnIndex column,
                                                bool& ghosted, int& index);
    virtual void FireGetLineStyle(const void*& bits);
    virtual bool FireGetCellIsEmpty(PLazyNode node, TColumnIndex column);
    virtual void FireGetCursor(TCursor& cursor);
    virtual void FireShowScrollbar(int bar, bool show);
    virtual void FireScroll(int deltaX, int deltaY);
    virtual void FireColumnClick(TColumnIndex column, TShiftState shift);
    virtual void FireColumnDblClick(TColumnIndex column, TShiftState shift);

public:
    // Header events go through the tree so that subclasses can answer (the header calls them).
    virtual void FireHeaderClick(TColumnIndex column, TMouseButton button, TShiftState shift, int x, int y);
    virtual void FireHeaderDblClick(TColumnIndex column, TMouseButton button, TShiftState shift, int x, int y);
    virtual void FireHeaderDragged(TColumnIndex column, int oldPosition);
    virtual void FireHeaderDraggedOut(TColumnIndex column, TPoint dropPosition);
    virtual bool FireHeaderDragging(TColumnIndex column);
    virtual void FireHeaderDraw(TCanvas& canvas, TColumnIndex column, const TRect& r, bool hover, bool pressed,
                                int dropMark);
    virtual void FireHeaderDrawQueryElements(THeaderPaintInfo& paintInfo, THeaderPaintElements& elements);
    virtual void FireAdvancedHeaderDraw(THeaderPaintInfo& paintInfo, THeaderPaintElements elements);
    virtual void FireHeaderMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void FireHeaderMouseMove(TShiftState shift, int x, int y);
    virtual void FireHeaderMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void FireGetHeaderCursor(TCursor& cursor);
    // Recomputes the area the header takes above the client area.
    virtual void ComputeHeaderArea();
    void KillHeaderTimer() { KillTreeTimer(3); }
    void StartHeaderTimer() { SetTimer(3, 50); }
    void StopAutoScrollAndEditTimers();
    bool IsLoadingOrReading() const { return Loading(); }
    void NotifyFormDesigner() {}

protected:
    // ---- selection
    bool PickNodes(PLazyNode* nodes, int count, bool force);
    void PickOneNode(PLazyNode node, bool force);
    int PackMarkedNodes(int count, PLazyNode* nodes) const;
    void PackSelection();
    PLazyNode RangeStart(PLazyNode node) const;
    bool ApplyBandSelection(int x, int y);

    // ---- checks
    bool SwitchCheckMark(PLazyNode node, TCheckState newState);
    virtual TCustomImageList* CheckImagesForKind(TCheckImageKind kind) const;

    // ---- geometry
    virtual void HitTestPartsLeftToRight(TLTHitRecord& hit, int x, int cellRight, TAlignment alignment);
    virtual void HitTestPartsRightToLeft(TLTHitRecord& hit, int x, int cellRight, TAlignment alignment);
    // The image list and index of a node's image; nil without one.
    TCustomImageList* NodeImage(PLazyNode node, TLTImageKind kind, TColumnIndex column, int& index);
    int CheckImageWidth() const;
    bool HasCheckControl(PLazyNode node) const;

    // ---- streams
    virtual bool AppendFromStream(TStream& stream, int version, PLazyNode node);
    virtual void ParseNodeBlock(TStream& stream, int version, PLazyNode node);
    virtual bool ParseNodeChunk(TStream& stream, int version, PLazyNode node, std::int32_t chunkType,
                                std::int32_t chunkSize);
    virtual void SkipNodeBlock(TStream& stream);
    virtual void EmitNodeBlock(TStream& stream, PLazyNode node);
    virtual void EmitNodeChunks(TStream& stream, PLazyNode node);
    virtual void PatchChunkSize(TStream& stream, std::int64_t startPos, std::int64_t endPos);
    // Reads the node blocks of `stream` (validated version 2 blocks) into new nodes placed at
    // `target` in their order; `onNode` runs for each new node and may delete it (false).
    void InsertNodeBlocks(TStream& stream, PLazyNode target, TLTNodeAttachMode mode,
                          const std::function<bool(PLazyNode)>& onNode);

    // ---- clipboard
    virtual void FlagSelectedForCutCopy();
    // The tree data of the nodes marked for cut or copy, as "Lazy Tree Data" carries it.
    std::string RenderTreeData(const std::vector<PLazyNode>& nodes);

    // ---- scrolling and painting
    // The only change of the scroll offset: clamps it, scrolls the window content, keeps header
    // and scroll bars in step, tracks the hot node and fires OnScroll; false when nothing moved.
    virtual bool ApplyScrollOffset(TPoint offset, TScrollUpdateOptions options = AllScrollUpdates,
                                   const TRect* clipRect = nullptr);
    void RefreshHorizontalScrollBar(bool doRepaint);
    void RefreshVerticalScrollBar(bool doRepaint);
    virtual int WidestVisibleRowRight();
    void InvalidateClient(const TRect* r = nullptr);
    // A look property's setter: stores a new value and says whether it changed.
    template <typename T>
    static bool ChangeProperty(T& field, const T& value)
    {
        if (field == value)
            return false;
        field = value;
        return true;
    }
    // Repaints for a changed look, unless the tree is not shown yet or still loading.
    void InvalidateIfShown()
    {
        if (WindowExists() && !Loading())
            InvalidateClient();
    }

    // ---- painting primitives (on the cell being painted)
    void BuildButtonAndLineImages(bool needButtons, bool needLines);
    // The node under a drag and where the drop would land; repaints the rows that change.
    void SetDropTarget(PLazyNode node, TDropMode mode);
    void EnsurePaintResources();
    // The line pattern in `lineColor` over the tree colour.
    QBrush LinePatternBrush(TColor lineColor) const;
    void RowAlignOffsets(bool showImages, bool showStateImages, PLazyNode node, int& imageAnchor, int& buttonTop);
    void PlaceImage(TCustomImageList* images, bool rightToLeft, int anchor, TRect& r, TLTImageSlot& slot);
    void ShiftForIndent(TTreeCellPaintRecord& record, int levels);
    // The line image of a node's row; answers the number of its selected ancestors.
    int BuildLineImage(PLazyNode node, TLineImage& lineImage);
    virtual void DrawConnectorLines(TTreeCellPaintRecord& record, int anchor, int levels, const TLineImage& lineImage);
    void DrawLineSegment(TTreeCellPaintRecord& record, int x, int rowTop, int rowHeight, int anchor, TLTLineType kind,
                         bool rightToLeft);
    virtual void DotLineAcross(TTreeCellPaintRecord& record, int left, int right, int y);
    virtual void DotLineDown(TTreeCellPaintRecord& record, int y1, int y2, int x);
    virtual void DrawExpandButton(QPainter& painter, PLazyNode node, const TRect& r, int buttonX, int buttonY,
                                  bool rightToLeft);
    void EraseRowBackground(TTreeCellPaintRecord& record, bool useBackground, bool floating, TRect r);
    void PaintFixedBackground(QPainter& painter, TPoint offset, const TRect& r);
    void PaintTiledBackground(QPainter& painter, TPoint offset, const TRect& r);
    void PaintCellSelection(TTreeCellPaintRecord& record, int windowOrgX, int maxWidth);
    virtual void ResolveImageIndex(TTreeCellPaintRecord& record, TLTImageKind kind, TLTImageSlotKind slot,
                                   TCustomImageList* defaultImages);
    virtual void DrawNodeImage(TTreeCellPaintRecord& record, TLTImageSlotKind slot, bool doOverlay);
    virtual void DrawCheckImage(TTreeCellPaintRecord& record);
    virtual void DrawRubberBand(QPainter& painter, int windowOrgX, const TRect& bandRect, const TRect& targetRect);
    virtual void DrawDropMark(QPainter& painter, PLazyNode node, const TRect& r);
    virtual void DrawNodeContent(TTreeCellPaintRecord& record);
    // Widens the cell over the neighbours it may span and answers the next column to paint.
    virtual void FitPaintCell(TTreeCellPaintRecord& record, TColumnIndex& nextNonEmpty);
    virtual void HookCanvasFontChange(TCanvas& canvas);
    virtual void UnhookCanvasFontChange(TCanvas& canvas);
    virtual void HandleFontChange(TFont& font);
    // Set by the canvas font hook while painting when a handler changed the font.
    bool CanvasFontChanged() const { return FCanvasFontChanged; }
    void ClearCanvasFontChanged() { FCanvasFontChanged = false; }
    // Calls `callback` (step, step size) spread over `duration` milliseconds; a false answer ends it.
    using TLTAnimationCallback = std::function<bool(int step, int stepSize)>;
    virtual void RunAnimation(int steps, int duration, const TLTAnimationCallback& callback);
    // One step of the expand (positive `stepSize` down) or collapse animation over `area`.
    bool ToggleAnimationStep(int step, int stepSize, const TRect& area, bool expanding);

    // ---- the remaining structural helpers
    void ClearNodeReferences();
    void FinishScrollAfterExpand(PLazyNode node, PLazyNode oldTop, bool expanded);
    int AbsoluteTopOf(PLazyNode node);

private:
    friend class TWorkerThread;
    friend class TLazyTreeHintWindow;
    friend class TCustomLazyTreeOptions;
    friend class TLTHeader;
    friend class TLazyTreeColumns;
    friend class TLazyTreeColumn;
    friend class TScrollBarOptions;
    friend class TLTColors;

    void SetUpHiddenRoot(int oldSize);
    // The walks, once for both kinds: with Prepare they initialise the nodes they return and
    // create children where they descend; without, they read only links and states.
    template <bool Prepare>
    PLazyNode Ready(PLazyNode node);
    template <bool Prepare>
    void EnsureChildren(PLazyNode node);
    template <bool Prepare>
    PLazyNode LastChildWalk(PLazyNode node);
    template <bool Prepare>
    PLazyNode LastNodeWalk(PLazyNode node);
    template <bool Prepare>
    PLazyNode LastVisibleChildWalk(PLazyNode node);
    template <bool Prepare>
    PLazyNode LastVisibleNodeWalk(PLazyNode node);
    template <bool Prepare>
    PLazyNode NextNodeWalk(PLazyNode node);
    template <bool Prepare>
    PLazyNode PreviousNodeWalk(PLazyNode node);
    template <bool Prepare>
    PLazyNode PreviousVisibleSiblingWalk(PLazyNode node);
    template <bool Prepare>
    PLazyNode NextVisibleWalk(PLazyNode node);
    template <bool Prepare>
    PLazyNode PreviousVisibleWalk(PLazyNode node);
    TBaseLazyTree* Mutable() const { return const_cast<TBaseLazyTree*>(this); }
    void LinkNewChildren(PLazyNode node, std::uint32_t newCount);
    void SortChildrenChain(PLazyNode node, TColumnIndex column, TSortDirection direction);
    void SortSubtree(PLazyNode node, TColumnIndex column, TSortDirection direction, bool doInit);
    void MeasureVisibleRows();
    void ApplyWorkerStates(WPARAM enter, LPARAM leave);
    void ImageListChanged();
    void RegisterImages(TCustomImageList*& slot, int& link, TCustomImageList* value);
    void ApplyScrollBarPolicies();

    // Structure.
    std::unique_ptr<std::byte[]> FRootStorage;
    PLazyNode FRoot = nullptr;
    TLTNodePool FNodePool;
    int FInternalAreaSize = 0;
    int FNodeDataSize = -1;
    std::uint32_t FDefaultNodeHeight = 18;
    int FUpdateDepth = 0;
    std::uint32_t FVisibleRowCount = 0;
    bool FWindowExists = false;

    // States and change bookkeeping.
    TLazyTreeStates FStates;
    std::uint32_t FChangeDelay = 0;
    PLazyNode FLastChangedNode = nullptr;
    PLazyNode FPendingStructureNode = nullptr;
    TChangeReason FPendingStructureReason = TChangeReason::crIgnore;

    // Position cache; the worker fills it only while it holds this tree.
    std::vector<TLTCacheEntry> FPositionCache;
    std::atomic<bool> FStopValidation{false};
    std::atomic<bool> FInWorker{false};
    std::uint64_t FCacheRequest = 0; // written under the worker's lock, on the GUI thread only
    std::uint64_t FAcceptRequest = 0; // the request whose result may still be taken (GUI only)
    TWorkerThread* FWorker = nullptr;

    // Selection and focus.
    std::vector<PLazyNode> FSelection;
    std::uint32_t FSelectionCount = 0;
    PLazyNode FRangeAnchor = nullptr;
    int FLastSelectionLevel = -1;
    std::vector<PLazyNode> FScratchNodes;
    int FScratchCount = 0;
    TRect FBandRect;
    TRect FPreviousBandRect;
    TShiftState FBandShift;
    PLazyNode FFocusNode = nullptr;
    TColumnIndex FFocusedColumn = NoColumn;
    TColumnIndex FEditColumn = NoColumn;
    PLazyNode FHotNode = nullptr;
    PLazyNode FDropTargetNode = nullptr;
    PLTEditLink FEditLink;

    // Checks.
    int FCheckPropagationDepth = 0;
    PLazyNode FCheckNode = nullptr;
    TCheckState FPendingCheckState = csUncheckedNormal;
    TCheckImageKind FCheckImageKind = TCheckImageKind::ckLightCheck;
    TCustomImageList* FCustomCheckImages = nullptr;
    int FCustomCheckImagesLink = 0;
    TCustomImageList* FCheckImages = nullptr;

    // Parts.
    mutable std::unique_ptr<TCustomLazyTreeOptions> FOptions;
    mutable std::unique_ptr<TLTHeader> FHeader;
    std::unique_ptr<TLTColors> FColors;
    std::unique_ptr<TScrollBarOptions> FScrollBarOptions;

    // Geometry and scrolling.
    int FOffsetX = 0;
    int FOffsetY = 0;
    int FRangeX = 0;
    int FRangeY = 0;
    bool FSyncingScrollBars = false;

    // Published properties.
    TAlignment FAlignment = TAlignment::taLeftJustify;
    std::uint32_t FAnimationDuration = 200;
    std::uint32_t FAutoExpandDelay = 1000;
    std::uint32_t FAutoScrollDelay = 1000;
    std::uint32_t FAutoScrollInterval = 1;
    QImage FBackground;
    int FBackgroundOffsetX = 0;
    int FBackgroundOffsetY = 0;
    TBorderStyle FBorderStyle = TBorderStyle::bsSingle;
    TLTButtonFillMode FButtonFillMode = TLTButtonFillMode::fmTreeColor;
    TLTButtonStyle FButtonStyle = TLTButtonStyle::bsRectangle;
    std::vector<std::string> FClipboardFormats;
    TLTNodeAttachMode FDefaultPasteMode = TLTNodeAttachMode::amAddChildLast;
    int FDragHeight = 350;
    int FDragWidth = 200;
    TLTDragImageKind FDragImageKind = TLTDragImageKind::diComplete;
    TDragOperations FDragOperations{doCopy, doMove};
    TLTDragType FDragType = TLTDragType::dtOLE;
    TLTDrawSelectionMode FDrawSelectionMode = TLTDrawSelectionMode::smDottedRectangle;
    std::uint32_t FEditDelay = 1000;
    THintAnimationType FHintAnimation = THintAnimationType::hatSystemDefault;
    TLTHintMode FHintMode = TLTHintMode::hmDefault;
    TCursor FHotCursor = crDefault;
    TCustomImageList* FImages = nullptr;
    int FImagesLink = 0;
    TCustomImageList* FStateImages = nullptr;
    int FStateImagesLink = 0;
    TLTIncrementalSearch FIncrementalSearch = TLTIncrementalSearch::isNone;
    TLTSearchDirection FIncrementalSearchDirection = TLTSearchDirection::sdForward;
    TLTSearchStart FIncrementalSearchStart = TLTSearchStart::ssFocusedNode;
    std::uint32_t FIncrementalSearchTimeout = 1000;
    std::uint32_t FIndent = 18;
    TLTLineMode FLineMode = TLTLineMode::lmNormal;
    TLTLineStyle FLineStyle = TLTLineStyle::lsDotted;
    int FMargin = 4;
    TLTNodeAlignment FNodeAlignment = TLTNodeAlignment::naProportional;
    std::uint8_t FSelectionBlendFactor = 128;
    std::uint32_t FSelectionCurveRadius = 0;
    int FTextMargin = 4;
    bool FWantTabs = false;
    TFont FFont;
    QPointer<QMenu> FPopupMenu;

    // Input.
    TPoint FLastClickPos;
    TScrollDirections FScrollDirections;
    std::int64_t FScrollStartTime = 0;
    int FWheelRemainder = 0;
    QString FSearchBuffer;
    PLazyNode FLastSearchHit = nullptr;
    std::unique_ptr<TLTPanningWindow> FPanningWindow;
    int FLastQtKey = 0;
    TPoint FLastMousePos;
    bool FDropTargetNow = false; // a drag is over the tree
    int FPanningShape = -1;
    bool FShowHint = false;
    TRect FLastHintRect;
    std::unique_ptr<TLazyTreeHintWindow> FHintWindow;
    std::unique_ptr<TLTDragManager> FDragManager;
    std::unique_ptr<TLTDragImage> FDragImage;
    std::vector<PLazyNode> FDragSelection;

    // Painting resources.
    QImage FPlusButton;
    QImage FMinusButton;
    std::array<std::uint16_t, 8> FLinePattern{};
    std::array<std::int64_t, 8> FPaintResourceKey{};
    mutable TLTFontCache FFontCache;
    bool FCanvasFontChanged = false;
    TNotifyEvent FSavedCanvasFontChange;
    mutable QBrush FLineBrush;
    mutable std::pair<QRgb, QRgb> FLineBrushKey{};
    int FPaintRowTop = 0; // content position of the row being painted
    QWidget* FHeaderSpacer = nullptr; // owned by the vertical scroll bar's area
    TDropMode FLastDropMode = TDropMode::dmNowhere;
};
