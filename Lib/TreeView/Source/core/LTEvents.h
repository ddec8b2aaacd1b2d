#pragma once
// The event types of the tree. Every event is fired by one overridable operation of the tree
// whose name begins with Fire; an unassigned event leaves the preset values of its reference
// arguments as the answer. Events never receive the hidden root: nil stands for it.

#include "TreeView/Source/core/LTGlobals.h"
#include "TreeView/Source/core/LTTypes.h"
#include "TreeView/Source/editing/LTEditLink.h"

#include "Platform/controls/Keys.h"
#include "Platform/docking/DockCore.h"
#include "Platform/graphics/Colors.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class TCanvas;
class TCustomImageList;
class TStream;
class TLTHeader;
class QMenu;
class QMimeData;
class QObject;
class QByteArray;
class TLTDragManager;

// Node life cycle and structure.
using TLTInitNodeEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode ParentNode, PLazyNode Node, TShellNodeInitStates& InitialStates)>;
using TLTInitChildrenEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, std::uint32_t& ChildCount)>;
using TLTFreeNodeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node)>;
using TLTChangeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node)>;
using TLTGetNodeDataSizeEvent = std::function<void(TBaseLazyTree* Sender, int& NodeDataSize)>;
using TLTMeasureItemEvent =
    std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node, int& NodeHeight)>;
using TLTStructureChangeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TChangeReason Reason)>;
using TLTStateChangeEvent = std::function<void(TBaseLazyTree* Sender, TLazyTreeStates Enter, TLazyTreeStates Leave)>;
using TLTUpdatingEvent = std::function<void(TBaseLazyTree* Sender, TLTUpdateState State)>;
using TLTCompareEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node1, PLazyNode Node2, TColumnIndex Column, int& Result)>;
using TLTNodeMovingEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, PLazyNode Target, bool& Allowed)>;
using TLTNodeMovedEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node)>;
using TLTNodeCopyingEvent = TLTNodeMovingEvent;
using TLTNodeCopiedEvent = TLTNodeMovedEvent;
using TLTSaveNodeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TStream& Stream)>;

// Expanding, collapsing, checking, focus.
using TLTChangingEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, bool& Allowed)>;
using TLTCheckChangingEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TCheckState& NewState, bool& Allowed)>;
using TLTFocusChangingEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode OldNode, PLazyNode NewNode,
                                                 TColumnIndex OldColumn, TColumnIndex NewColumn, bool& Allowed)>;
using TLTFocusChangeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column)>;
using TLTHotNodeChangeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode OldNode, PLazyNode NewNode)>;

// Editing, searching, keys, popup, help.
using TLTEditChangingEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column, bool& Allowed)>;
using TLTCreateEditorEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column, PLTEditLink& EditLink)>;
using TLTEditChangeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column)>;
using TLTEditCancelEvent = std::function<void(TBaseLazyTree* Sender, TColumnIndex Column)>;
using TLTIncrementalSearchEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, const QString& SearchText, int& Result)>;
using TLTKeyActionEvent = std::function<void(TBaseLazyTree* Sender, WORD& CharCode, TShiftState& Shift, bool& DoDefault)>;
using TLTPopupEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column, TPoint P,
                                         bool& AskParent, QMenu*& PopupMenu)>;
using TLTHelpContextEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column, int& HelpContext)>;

// Drag and drop.
using TLTDragAllowedEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column, bool& Allowed)>;
// Source: the tree a drag comes from when it is one of this process, else nil. Effects are the
// drop effects (copy 1, move 2, link 4), Formats the format ids the data object offers.
using TLTDragOverEvent = std::function<void(TBaseLazyTree* Sender, QObject* Source, TShiftState Shift,
                                            TDragState State, TPoint Pt, TDropMode Mode, int& Effect, bool& Accept)>;
using TLTDragDropEvent =
    std::function<void(TBaseLazyTree* Sender, QObject* Source, const QMimeData* DataObject,
                       const std::vector<std::uint16_t>& Formats, TShiftState Shift, TPoint Pt, int& Effect,
                       TDropMode Mode)>;
using TLTCreateDragManagerEvent =
    std::function<void(TBaseLazyTree* Sender, std::unique_ptr<TLTDragManager>& DragManager)>;
using TLTCreateDataObjectEvent = std::function<void(TBaseLazyTree* Sender, std::unique_ptr<QMimeData>& DataObject)>;
using TLTGetUserClipboardFormatsEvent = std::function<void(TBaseLazyTree* Sender, TFormatEtcArray& Formats)>;
using TLTRenderOLEDataEvent = std::function<void(TBaseLazyTree* Sender, const TFormatEtc& FormatEtcIn,
                                                 QByteArray& Medium, bool ForClipboard, int& Result)>;

// Painting.
using TLTPaintEvent = std::function<void(TBaseLazyTree* Sender, TCanvas& TargetCanvas)>;
using TLTBackgroundPaintEvent = std::function<void(TBaseLazyTree* Sender, TCanvas& TargetCanvas, TRect R, bool& Handled)>;
using TLTBeforeItemEraseEvent = std::function<void(TBaseLazyTree* Sender, TCanvas& TargetCanvas, PLazyNode Node,
                                                   TRect ItemRect, TColor& ItemColor, TItemEraseAction& EraseAction)>;
using TLTAfterItemEraseEvent =
    std::function<void(TBaseLazyTree* Sender, TCanvas& TargetCanvas, PLazyNode Node, TRect ItemRect)>;
using TLTBeforeItemPaintEvent =
    std::function<void(TBaseLazyTree* Sender, TCanvas& TargetCanvas, PLazyNode Node, TRect ItemRect, bool& CustomDraw)>;
using TLTAfterItemPaintEvent = TLTAfterItemEraseEvent;
using TLTBeforeCellPaintEvent = std::function<void(TBaseLazyTree* Sender, TCanvas& TargetCanvas, PLazyNode Node,
                                                   TColumnIndex Column, TRect CellRect)>;
using TLTAfterCellPaintEvent = TLTBeforeCellPaintEvent;
using TLTGetImageExEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TLTImageKind Kind, TColumnIndex Column, bool& Ghosted,
                       int& ImageIndex, TCustomImageList*& ImageList)>;
using TLTGetImageEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TLTImageKind Kind,
                                            TColumnIndex Column, bool& Ghosted, int& ImageIndex)>;
using TLTGetLineStyleEvent = std::function<void(TBaseLazyTree* Sender, const void*& Bits)>;
using TLTGetCellIsEmptyEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column, bool& IsEmpty)>;
using TLTGetCursorEvent = std::function<void(TBaseLazyTree* Sender, TCursor& Cursor)>;
using TLTScrollbarShowEvent = std::function<void(TBaseLazyTree* Sender, int Bar, bool Show)>;
using TLTScrollEvent = std::function<void(TBaseLazyTree* Sender, int DeltaX, int DeltaY)>;

// Columns (the tree is the sender) and header (the header is the sender).
using TLTColumnClickEvent = std::function<void(TBaseLazyTree* Sender, TColumnIndex Column, TShiftState Shift)>;
using TLTColumnDblClickEvent = TLTColumnClickEvent;
using TLTHeaderClickEvent = std::function<void(TLTHeader* Sender, TColumnIndex Column, TMouseButton Button,
                                               TShiftState Shift, int X, int Y)>;
using TLTHeaderMouseEvent =
    std::function<void(TLTHeader* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TLTHeaderMouseMoveEvent = std::function<void(TLTHeader* Sender, TShiftState Shift, int X, int Y)>;
using TLTHeaderDraggingEvent = std::function<void(TLTHeader* Sender, TColumnIndex Column, bool& Allowed)>;
using TLTHeaderDraggedEvent = std::function<void(TLTHeader* Sender, TColumnIndex Column, int OldPosition)>;
using TLTHeaderDraggedOutEvent = std::function<void(TLTHeader* Sender, TColumnIndex Column, TPoint DropPosition)>;
using TLTHeaderPaintEvent = std::function<void(TLTHeader* Sender, TCanvas& HeaderCanvas, TColumnIndex Column, TRect R,
                                               bool Hover, bool Pressed, int DropMark)>;
using TLTHeaderNotifyEvent = std::function<void(TLTHeader* Sender, TColumnIndex Column)>;

// What the advanced header painting events are told about a cell (PaintedColumn nil: the
// background behind the cells).
class TLazyTreeColumn;
enum class TLTDropMarkMode { dmmNone, dmmLeft, dmmRight };
struct THeaderPaintInfo {
    TCanvas* HeaderCanvas = nullptr;
    TLazyTreeColumn* PaintedColumn = nullptr;
    TRect CellRect;
    TRect CaptionRect;
    bool HeaderHot = false;
    bool HeaderPressed = false;
    bool HeaderEnabled = false;
    bool WithGlyph = false;
    bool WithSortGlyph = false;
    bool WithRightBorder = false;
    TLTDropMarkMode DropMarkSide = TLTDropMarkMode::dmmNone;
    TPoint GlyphPoint;
    TPoint SortGlyphPoint;
};
enum THeaderPaintElement { hpeBackground, hpeDropMark, hpeHeaderGlyph, hpeSortGlyph, hpeText };
using THeaderPaintElements = TSet<THeaderPaintElement>;
using TLTHeaderPaintQueryElementsEvent =
    std::function<void(TLTHeader* Sender, THeaderPaintInfo& PaintInfo, THeaderPaintElements& Elements)>;
using TLTAdvancedHeaderPaintEvent =
    std::function<void(TLTHeader* Sender, THeaderPaintInfo& PaintInfo, THeaderPaintElements Elements)>;
using TLTGetHeaderCursorEvent = std::function<void(TLTHeader* Sender, TCursor& Cursor)>;

// Scroll bar numbers of OnShowScrollbar.
enum : int { SB_HORZ = 0, SB_VERT = 1 };
