#pragma once
// Owner drawing of the rows of a Qt item view (a combo box's drop-down list, a list box): the
// view's delegate hands each row to the control's draw operation on a canvas bound to the
// view's painter, and asks the control for each row's height.

#include "Platform/controls/ControlTypes.h"
#include "Platform/graphics/Canvas.h"

#include <QStyledItemDelegate>
#include <functional>
#include <utility>

class TWinControlCore;

// The owner-draw events of the list controls: draw item `Index` into `Rect` on the control's
// item canvas; give item `Index` its height.
using TExDrawItemEvent = std::function<void(TWinControlCore* Control, int Index, const TRect& Rect, TOwnerDrawState State)>;
using TExMeasureItemEvent = std::function<void(TWinControlCore* Control, int Index, int& Height)>;

// The owner-draw state of a row as a view paints it.
TOwnerDrawState OwnerDrawStateOf(const QStyleOptionViewItem& option);

// Points a control's item-canvas slot at `canvas` while an item draws, and back afterwards.
class TExItemCanvasScope {
public:
    TExItemCanvasScope(TCanvas*& slot, TCanvas& canvas) : FSlot(slot), FOuter(std::exchange(slot, &canvas)) {}
    ~TExItemCanvasScope() { FSlot = FOuter; }
    TExItemCanvasScope(const TExItemCanvasScope&) = delete;
    TExItemCanvasScope& operator=(const TExItemCanvasScope&) = delete;

private:
    TCanvas*& FSlot;
    TCanvas* FOuter;
};

class TExOwnerDrawDelegate : public QStyledItemDelegate {
public:
    // Draws row `index` into `rect` on `canvas`.
    using TDrawRow = std::function<void(TCanvas& canvas, int index, const TRect& rect, TOwnerDrawState state)>;
    // The height of row `index`; -1 keeps the view's own.
    using TRowHeight = std::function<int(int index)>;

    TExOwnerDrawDelegate(TDrawRow draw, TRowHeight height, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    TDrawRow FDraw;
    TRowHeight FHeight;
};
