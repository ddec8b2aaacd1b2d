#pragma once
// TLTHeader: the header of a tree. It owns the columns, lies above the tree's client area (a
// child widget at the top of the scroll area), turns the mouse and keyboard messages over that
// area into column clicks, resizing by dragging a splitter, reordering by dragging a column,
// hover tracking and the header popup menu, keeps the main and the sort column, and reads and
// writes its settings as a binary stream.
//
// The header's messages carry points in the tree's client coordinates, so the header area has
// y from -Height to 0; header events receive y + Height.

#include "TreeView/Source/header/LTColumn.h"

#include "Platform/controls/Keys.h"
#include "Platform/core/Messages.h"
#include "Platform/graphics/Graphics.h"

#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <memory>

class TCustomImageList;
class TLTDragImage;

enum TLTHeaderOption {
    hoAutoResize, hoColumnResize, hoDblClickResize, hoDrag, hoHotTrack, hoOwnerDraw, hoRestrictDrag, hoShowHint,
    hoShowImages, hoShowSortGlyphs, hoVisible, hoAutoSpring,
};
using TLTHeaderOptions = TSet<TLTHeaderOption>;

enum class TLTHeaderStyle { hsThickButtons, hsFlatButtons, hsPlates, hsXPStyle };

enum TLTHeaderStateFlag { hsAutoSizing, hsDragging, hsDragPending, hsLoading, hsTracking, hsTrackPending };
using TLTHeaderStates = TSet<TLTHeaderStateFlag>;

// The timer number of header hover tracking (a timer of the tree).
constexpr std::uintptr_t HeaderTimer = 3;

class TLTHeader;

// The widget that shows the header above the tree's client area and hands its mouse input to
// the header as messages.
class TLTHeaderWidget : public QWidget {
public:
    TLTHeaderWidget(TLTHeader& header, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    LPARAM ClientPoint(const QPointF& local) const;
    WPARAM KeyFlags(const QMouseEvent* event) const;
    void Send(UINT msg, QMouseEvent* event);
    TLTHeader& FHeader;
};

class TLTHeader : public TPersistent {
public:
    explicit TLTHeader(TBaseLazyTree& tree);
    ~TLTHeader() override;

    TBaseLazyTree& Tree() const { return FTree; }
    TLazyTreeColumns& Columns() const { return *FColumns; }
    TLTHeaderWidget* Widget() const { return FWidget; }

    TColumnIndex AutoSizeIndex() const { return FAutoSizeIndex; }
    void SetAutoSizeIndex(TColumnIndex value);
    TColor Background() const { return FBackground; }
    void SetBackground(TColor value);
    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& value);
    int Height() const { return FHeight; }
    void SetHeight(int value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* value);
    // The image list is being destroyed: forget it without touching it.
    void ImagesRemoved();
    // -1 while there are no columns.
    TColumnIndex MainColumn() const;
    void SetMainColumn(TColumnIndex value);
    TLTHeaderOptions Options() const { return FOptions; }
    void SetOptions(TLTHeaderOptions value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool value);
    QMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu* value) { FPopupMenu = value; }
    TColumnIndex SortColumn() const { return FSortColumn; }
    void SetSortColumn(TColumnIndex value);
    TSortDirection SortDirection() const { return FSortDirection; }
    void SetSortDirection(TSortDirection value);
    TLTHeaderStyle Style() const { return FStyle; }
    void SetStyle(TLTHeaderStyle value);

    TLTHeaderStates States() const { return FStates; }
    // The picture of a dragged column that follows the mouse.
    TLTDragImage& DragImage() const { return *FDragImage; }
    bool HasColumns() const { return FColumns->Count() > 0; }
    // The header area in the tree's client coordinates: (0, -Height, client width, 0).
    TRect HeaderRect() const;
    bool PointInHeader(TPoint p) const;
    void RepaintHeader(TColumnIndex column = InvalidColumn, bool expandToBorder = false);
    // Every visible, resizable column to the widest cell of its column; restoring gives each its
    // previous width.
    void FitColumnsToContent(bool animated);
    void RestoreColumnWidths();

    void Assign(const TPersistent& source) override;

    // Called by the tree for every message first; true when the header handled it.
    virtual bool HeaderMessage(TMessage& message);
    virtual bool ShouldStreamColumns() const { return true; }
    virtual void ScaleHeader(int m, int d);
    // Whether a splitter lies at the client point `p`; sets the track column.
    virtual bool SplitterIndexAt(TPoint p);
    virtual void RecomputeHeaderFrame();
    virtual void ReadHeaderStream(TStream& stream);
    virtual void WriteHeaderStream(TStream& stream) const;

    // The header's own popup menu and font follow the tree.
    void ParentFontChanged();
    void ParentBiDiModeChanged();

private:
    friend class TLTHeaderWidget;
    friend class TLazyTreeColumns;
    void HandleClick(TPoint p, TMouseButton button, bool force, bool doubleClick);
    bool HandleCapturedMove(TPoint p);
    void EndHeaderDrag(TPoint p, bool insideWindow);
    void UpdateDropTarget(TPoint p);
    void StopColumnDrag();
    void PrepareColumnDragImage(TColumnIndex column, TPoint p);
    TShiftState KeyboardShift() const;
    void UpdateCursor(TPoint p);
    bool Loading() const;

    TBaseLazyTree& FTree;
    std::unique_ptr<TLazyTreeColumns> FColumns;
    TLTHeaderWidget* FWidget = nullptr; // owned by the tree's widget
    TColumnIndex FAutoSizeIndex = NoColumn;
    TColor FBackground = clBtnFace;
    TFont FFont;
    int FHeight = 17;
    TCustomImageList* FImages = nullptr;
    int FImagesLink = 0;
    TColumnIndex FMainColumn = NoColumn;
    TLTHeaderOptions FOptions{hoColumnResize, hoDrag};
    bool FParentFont = false;
    QPointer<QMenu> FPopupMenu;
    TColumnIndex FSortColumn = NoColumn;
    TSortDirection FSortDirection = TSortDirection::sdAscending;
    TLTHeaderStyle FStyle = TLTHeaderStyle::hsThickButtons;
    TLTHeaderStates FStates;
    TPoint FDragStart;
    std::unique_ptr<TLTDragImage> FDragImage;
    TPoint FTrackStart;
    int FTrackLeft = 0;
};
