#pragma once
// The value types of the tree view: node and tree state sets, check states, attach modes,
// change reasons, hit parts and the enumerations of the tree's published properties.

#include "Platform/controls/ControlTypes.h"
#include "Platform/core/Set.h"
#include "Platform/core/Types.h"

#include <cstdint>

class TBaseLazyTree;
struct TLTNodeRecord;
using PLazyNode = TLTNodeRecord*;

// A column index: -1 is no column (the tree without header columns), -2 an invalid column.
using TColumnIndex = std::int32_t;
constexpr TColumnIndex NoColumn = -1;
constexpr TColumnIndex InvalidColumn = -2;
using TColumnPosition = std::int32_t;

// Bits of a node's StateBits (0x8000 is never set).
enum TLTNodeStateFlag : std::uint16_t {
    nsReady = 0x0001,
    nsCheckChanging = 0x0002,
    nsCutCopyMarked = 0x0004,
    nsInactive = 0x0008,
    nsBeingRemoved = 0x0010,
    nsOpen = 0x0020,
    nsMayHaveChildren = 0x0040,
    nsShown = 0x0080,
    nsPicked = 0x0100,
    nsFreeCallNeeded = 0x0200,
    nsKidsAllHidden = 0x0400,
    nsClearingKids = 0x0800,
    nsWrapText = 0x1000,
    nsHeightKnown = 0x2000,
    nsToggling = 0x4000,
};

enum TCheckState : std::uint8_t {
    csUncheckedNormal, csUncheckedPressed, csCheckedNormal, csCheckedPressed, csMixedNormal, csMixedPressed,
};
enum TLTCheckKind : std::uint8_t { chkNone, chkTriState, chkBox, chkRadio, chkButton };
enum class TCheckImageKind {
    ckLightCheck, ckDarkCheck, ckLightTick, ckDarkTick, ckFlat, ckXP, ckCustom, ckSystem, ckSystemFlat,
};

// The transient states of a tree, by ordinal.
enum TLazyTreeState {
    tsCancelHintAnimation, tsChangePending, tsCheckPropagation, tsCollapsing, tsToggleFocusedSelection,
    tsClearPending, tsClipboardFlushing, tsCopyPending, tsCutPending, tsDrawSelPending, tsDrawSelecting,
    tsEditing, tsEditPending, tsExpanding, tsHint, tsInAnimation, tsIncrementalSearching,
    tsIncrementalSearchPending, tsIterating, tsKeyCheckPending, tsLeftButtonDown, tsMouseCheckPending,
    tsMiddleButtonDown, tsNeedScale, tsNeedRootCountUpdate, tsOLEDragging, tsOLEDragPending, tsPainting,
    tsRightButtonDown, tsPopupMenuShown, tsScrolling, tsScrollPending, tsSizing, tsStopValidation,
    tsStructureChangePending, tsSynchMode, tsThumbTracking, tsUpdateHiddenChildrenNeeded, tsUpdating,
    tsUseCache, tsUserDragObject, tsUseThemes, tsValidating, tsValidationNeeded, tsVCLDragging,
    tsVCLDragPending, tsWheelPanning, tsWheelScrolling, tsWindowCreating,
};
using TLazyTreeStates = TSet<TLazyTreeState>;

enum class TChangeReason { crIgnore, crAccumulated, crChildAdded, crChildDeleted, crNodeAdded, crNodeCopied, crNodeMoved };
enum class TLTUpdateState { usBegin, usBeginSynch, usSynch, usUpdate, usEnd, usEndSynch };
enum class TLTNodeAttachMode { amNoWhere, amInsertBefore, amInsertAfter, amAddChildFirst, amAddChildLast };
enum class TSortDirection { sdAscending, sdDescending };

// What OnInitNode may ask of a new node.
enum TShellNodeInitState { ivsDisabled, ivsExpanded, ivsHasChildren, ivsMultiline, ivsSelected };
using TShellNodeInitStates = TSet<TShellNodeInitState>;

enum class TLTImageKind { ikNormal, ikSelected, ikState, ikOverlay };
enum class TItemEraseAction { eaColor, eaDefault, eaNone };
enum class TDropMode { dmNowhere, dmAbove, dmOnNode, dmBelow };

enum TLTHitPart {
    htAbove, htBelow, htNowhere, htOnRow, htOnButton, htOnCheckBox, htOnIndent, htOnLabel, htRowLeft,
    htRowRight, htOnNormalImage, htOnStateImage, htLeftOfTree, htRightOfTree,
};
using TLTHitParts = TSet<TLTHitPart>;

struct TLTHitRecord {
    PLazyNode HitNode = nullptr;
    TLTHitParts HitParts;
    TColumnIndex HitColumn = NoColumn;
};

// Published property types of the tree (their painting and input meaning lies with the painter
// and the input handling).
enum class TLTNodeAlignment { naFromBottom, naFromTop, naProportional };
enum class TLTLineMode { lmNormal, lmBands };
enum class TLTLineStyle { lsCustomStyle, lsDotted, lsSolid };
enum class TLTButtonStyle { bsRectangle, bsTriangle };
enum class TLTButtonFillMode { fmTreeColor, fmWindowColor, fmShaded, fmTransparent };
enum class TLTDrawSelectionMode { smDottedRectangle, smBlendedRectangle };
enum class TLTDragImageKind { diComplete, diMainColumnOnly, diNoImage };
enum class TLTDragType { dtOLE, dtVCL };
enum TDragOperation { doCopy, doMove, doLink };
using TDragOperations = TSet<TDragOperation>;
enum class TLTTooltipLineBreakStyle { hlbDefault, hlbForceSingleLine, hlbForceMultiLine };
enum class TLTHintMode { hmDefault, hmHint, hmHintAndDefault, hmTooltip };
enum class THintAnimationType { hatNone, hatFade, hatSlide, hatSystemDefault };
enum class TLTIncrementalSearch { isAll, isNone, isInitializedOnly, isVisibleOnly };
enum class TLTSearchDirection { sdForward, sdBackward };
enum class TLTSearchStart { ssAlwaysStartOver, ssLastHit, ssFocusedNode };
// Directions of automatic scrolling.
enum TScrollDirection { sdLeft, sdUp, sdRight, sdDown };
using TScrollDirections = TSet<TScrollDirection>;
// What ApplyScrollOffset updates besides the offset.
enum TScrollUpdateOption { suoRepaintHeader, suoRepaintScrollbars, suoScrollClientArea, suoUpdateNCArea };
using TScrollUpdateOptions = TSet<TScrollUpdateOption>;
constexpr TScrollUpdateOptions AllScrollUpdates{suoRepaintHeader, suoRepaintScrollbars, suoScrollClientArea,
                                                suoUpdateNCArea};
enum class TScrollBarStyle { sbmRegular, sbmFlat, sbm3D };
