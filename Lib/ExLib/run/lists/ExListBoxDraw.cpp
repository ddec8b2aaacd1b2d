// The list box's item drawing and measuring, its background picture, the scroll requests and
// the reordering of items by drag and drop.

#include "ExLib/run/lists/ExListBox.h"

#include "ExLib/run/controls/ExTextDraw.h"
#include "ExLib/run/data/ExDataItemsExt.h"
#include "ExLib/run/lists/ExProviderRows.h"

#include "Platform/core/QtBridge.h"
#include "Platform/graphics/FocusRect.h"

#include <QApplication>
#include <QDrag>
#include <QDragMoveEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>

namespace {

constexpr const char* DragMimeType = "application/x-zentu-listbox-item";

unsigned AlignmentFlag(TAlignment alignment)
{
    return alignment == taRightJustify ? DT_RIGHT : alignment == taCenter ? DT_CENTER : DT_LEFT;
}

} // namespace

// ---- measuring

void TExCustomListBox::MeasureItem(int index, int& height)
{
    if (OnMeasureItem) {
        OnMeasureItem(this, index, height);
        return;
    }
    if ((!FMultiLine && !FProviderMode) || index < 0 || index >= ItemsShowing().Count())
        return;
    if (FProviderMode) {
        FConsumer->WithAccess([&] {
            IExDataItem* item = ViewRowItem(*FConsumer, index);
            TSize size{0, 0};
            if (auto* own = Supports<IExDataItemPainter>(item))
                size = own->SizeOfSelf(FMeasure);
            else if (IExDataItemsPainter* painter = FindListPainter(item))
                size = painter->SizeOfItem(FMeasure, item);
            height = std::clamp(std::max(height, size.cy), FItemHeight, 255);
        });
        return;
    }
    height = MeasureString(ItemsShowing().Get(index), MultiLineNoHScroll() ? viewport()->width() : 0).cy;
}

int TExCustomListBox::RowHeight(int index)
{
    if (!IsOwnerDrawn())
        return -1;
    int height = FItemHeight;
    if (FStyle == TListBoxStyle::lbOwnerDrawVariable || FProviderMode)
        MeasureItem(index, height);
    return height;
}

// ---- drawing

void TExCustomListBox::DoGetText(int index, std::string& text)
{
    if (OnGetText)
        OnGetText(this, index, text);
}

void TExCustomListBox::DrawRow(TCanvas& canvas, int index, const TRect& rect, TOwnerDrawState state)
{
    if (!IsOwnerDrawn()) {
        // Without owner drawing the rows look as the platform draws them.
        canvas.Brush().SetColor(state.Contains(odSelected) ? FSelectedColor : Color());
        if (!FBackground.DoDraw() || state.Contains(odSelected))
            canvas.FillRect(rect);
        canvas.Font().Assign(Font());
        canvas.Font().SetColor(state.Contains(odSelected) ? FSelectedTextColor : Font().Color());
        if (!Enabled())
            canvas.Font().SetColor(FDisabledTextColor);
        TRect r{rect.Left + 2, rect.Top, rect.Right, rect.Bottom};
        std::string text = index < ItemsShowing().Count() ? ItemsShowing().Get(index) : std::string();
        DrawTextOnCanvas(canvas, text, -1, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, r);
        return;
    }
    canvas.Font().Assign(Font());
    canvas.Brush().SetColor(Color());
    if (state.Contains(odSelected)) {
        canvas.Brush().SetColor(FSelectedColor);
        canvas.Font().SetColor(FSelectedTextColor);
    }
    if (state.Contains(odGrayed) || state.Contains(odDisabled) || !Enabled())
        canvas.Font().SetColor(FDisabledTextColor);
    const TExItemCanvasScope scope(FItemCanvas, canvas);
    DrawItem(index, rect, state);
}

void TExCustomListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state)
{
    if (ComponentState().Contains(csDestroying))
        return;
    if (OnDrawItem) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    DoDrawItem(index, rect, state);
    if (FShowFocusRect && state.Contains(odFocused))
        DrawFocusRect(ItemCanvas(), rect);
}

void TExCustomListBox::DoDrawItem(int index, const TRect& rect, TOwnerDrawState state)
{
    if (ComponentState().Contains(csDestroying))
        return;
    TCanvas& canvas = ItemCanvas();
    TRect r = rect;
    if (HorizontalScrollBarOn())
        r.Right = r.Left + std::max(viewport()->width(), FMaxWidth);
    const bool picture = FBackground.DoDraw();
    if (picture) {
        canvas.Brush().SetStyle(TBrushStyle::bsClear);
        canvas.Font().SetColor(Font().Color());
        canvas.Save();
        canvas.IntersectClipRect(r);
        DrawBackground(canvas, true);
        canvas.Restore();
    }
    if (index >= ItemsShowing().Count())
        return;
    if (!picture)
        canvas.FillRect(r);
    unsigned flags = AlignmentFlag(FAlignment) | DT_NOPREFIX;
    flags |= FMultiLine ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER;
    r.Left += 2;
    if (FProviderMode) {
        DrawProviderItem(index, r, state);
    } else {
        std::string text = ItemsShowing().Get(index);
        DoGetText(index, text);
        DrawTextOnCanvas(canvas, text, -1, flags, r);
    }
    if (picture && state.Contains(odSelected)) {
        QPainter& painter = *canvas.Handle();
        painter.save();
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.fillRect(rect.ToQt(), Qt::black);
        painter.restore();
    }
}

void TExCustomListBox::DrawProviderItem(int index, TRect rect, TOwnerDrawState state)
{
    TCanvas& canvas = ItemCanvas();
    FConsumer->WithAccess([&] {
        IExDataItem* item = ViewRowItem(*FConsumer, index);
        if (!item)
            return;
        rect.Left += FConsumer->ViewList()->RowLevel(index) * FConsumer->ViewList()->LevelIndent();
        TProviderDrawState drawState = ProviderDrawStateOf(state);
        if (!Enabled())
            drawState |= pdsDisabled | pdsGrayed;
        PaintRowItem(canvas, item, rect, drawState, [&](std::string& text) { DoGetText(index, text); });
    });
}

void TExCustomListBox::DrawBackground(TCanvas& canvas, bool useScrollOffset)
{
    if (!canvas.Handle() || !FBackground.DoDraw() || ComponentState().Contains(csDestroying))
        return;
    TRect r = ClientRect();
    TRect clip = canvas.ClipRect();
    if (clip.IsEmpty())
        clip = r;
    if (useScrollOffset)
        OffsetRect(r, FLeftPosition, 0);
    const QImage& image = FBackground.Image();
    if (FBackground.FillMode() == TExListboxFillMode::bfmStretch) {
        canvas.StretchDraw(r, image);
        return;
    }
    for (int y = 0; y < r.Bottom; y += image.height())
        for (int x = 0; x < r.Right; x += image.width()) {
            TRect tile = Bounds(x, y, image.width(), image.height()), common;
            if (IntersectRect(common, tile, clip))
                canvas.Draw(x, y, image);
        }
}

bool TExCustomListBox::EraseBackground(TCanvas& canvas, LPARAM param)
{
    if (!FBackground.DoDraw())
        return TExExCustomListBox::EraseBackground(canvas, param);
    DrawBackground(canvas, false);
    return true;
}

// ---- scrolling

void TExCustomListBox::ScrollRequested(bool vertical, int action)
{
    const TExScrollEvent& event = vertical ? OnVerticalScroll : OnHorizontalScroll;
    if (!event)
        return;
    QScrollBar* bar = vertical ? verticalScrollBar() : horizontalScrollBar();
    TWMScroll message;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: message.ScrollCode = SB_LINEDOWN; break;
    case QAbstractSlider::SliderSingleStepSub: message.ScrollCode = SB_LINEUP; break;
    case QAbstractSlider::SliderPageStepAdd: message.ScrollCode = SB_PAGEDOWN; break;
    case QAbstractSlider::SliderPageStepSub: message.ScrollCode = SB_PAGEUP; break;
    case QAbstractSlider::SliderToMinimum: message.ScrollCode = SB_TOP; break;
    case QAbstractSlider::SliderToMaximum: message.ScrollCode = SB_BOTTOM; break;
    default: message.ScrollCode = SB_THUMBTRACK; break;
    }
    message.Pos = bar->sliderPosition();
    bool dontScroll = false;
    event(this, message, dontScroll);
    if (dontScroll)
        bar->setSliderPosition(bar->value());
}

// ---- drag and drop

int TExCustomListBox::ItemAtPos(TPoint point) const
{
    const QModelIndex index = indexAt(point.ToQt());
    return index.isValid() ? index.row() : -1;
}

bool TExCustomListBox::DefaultStartDrag()
{
    FDragIndex = ItemIndex();
    if (FDragIndex < 0)
        return false;
    const std::string text = FItems->Get(FDragIndex);
    TSize size{FMeasure.TextWidth(text), FMeasure.TextHeight(text)};
    if (FMultiLine) {
        const TSize wrapped = MeasureString(text, MultiLineNoHScroll() ? viewport()->width() : 0);
        size = {wrapped.cx - 4, wrapped.cy};
    }
    QImage image(size.cx + 15, std::max(1, size.cy), QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TCanvas canvas(&painter);
        canvas.Font().Assign(Font());
        canvas.Font().SetColor(clBlack);
        TRect r{15, 0, image.width(), image.height()};
        DrawTextOnCanvas(canvas, text, -1, DT_NOPREFIX | (FMultiLine ? DT_WORDBREAK : 0u), r);
        canvas.SetHandle(nullptr);
    }
    // White is the mask colour: only the text shows while dragging.
    FDragImage = image;
    for (int y = 0; y < FDragImage.height(); ++y)
        for (int x = 0; x < FDragImage.width(); ++x)
            if (FDragImage.pixel(x, y) == qRgb(255, 255, 255))
                FDragImage.setPixel(x, y, qRgba(0, 0, 0, 0));
    return true;
}

bool TExCustomListBox::DefaultDragOver(TObject* source, TPoint point)
{
    if (source != this)
        return false;
    QScrollBar* bar = verticalScrollBar();
    if (point.Y < 4)
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (point.Y > viewport()->height() - 5)
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    return true;
}

void TExCustomListBox::DefaultDragDrop(TObject* source, TPoint point)
{
    if (source != this || FProviderMode || FDragIndex < 0 || FDragIndex >= FItems->Count())
        return;
    const int top = verticalScrollBar()->value();
    int target = ItemAtPos(point);
    const std::string text = FItems->Get(FDragIndex);
    TObject* object = FItems->GetObject(FDragIndex);
    FItems->Delete(FDragIndex);
    if (FDragIndex < target)
        --target;
    int placed = 0;
    if (target < 0) {
        placed = FItems->Add(text);
    } else {
        FItems->Insert(target, text);
        placed = target;
    }
    FItems->PutObject(placed, object);
    verticalScrollBar()->setValue(top);
}

void TExCustomListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    FPressed = button == TMouseButton::mbLeft && ItemAtPos({x, y}) >= 0;
    FPressPoint = {x, y};
    TExExCustomListBox::MouseDown(button, shift, x, y);
}

void TExCustomListBox::MouseMove(TShiftState shift, int x, int y)
{
    TExExCustomListBox::MouseMove(shift, x, y);
    if (!FPressed || DragMode != TDragMode::dmAutomatic || !shift.Contains(ssLeft) || FProviderMode)
        return;
    if (QPoint(x - FPressPoint.X, y - FPressPoint.Y).manhattanLength() < QApplication::startDragDistance())
        return;
    FPressed = false;
    StartMouseDrag();
}

void TExCustomListBox::StartMouseDrag()
{
    if (!DefaultStartDrag())
        return;
    viewport()->setAcceptDrops(true);
    auto* drag = new QDrag(this);
    auto* data = new QMimeData;
    data->setData(DragMimeType, QByteArray::number(FDragIndex));
    drag->setMimeData(data);
    drag->setPixmap(QPixmap::fromImage(FDragImage));
    drag->exec(Qt::MoveAction);
}

void TExCustomListBox::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->source() == this && event->mimeData()->hasFormat(DragMimeType))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TExCustomListBox::dragMoveEvent(QDragMoveEvent* event)
{
    const bool mine = event->source() == this && event->mimeData()->hasFormat(DragMimeType);
    if (mine && DefaultDragOver(this, TPoint::FromQt(event->position().toPoint())))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TExCustomListBox::dropEvent(QDropEvent* event)
{
    if (event->source() != this || !event->mimeData()->hasFormat(DragMimeType)) {
        event->ignore();
        return;
    }
    DefaultDragDrop(this, TPoint::FromQt(event->position().toPoint()));
    event->acceptProposedAction();
}
