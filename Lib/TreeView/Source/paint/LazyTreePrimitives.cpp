// The painting primitives of TBaseLazyTree: buttons and the line pattern, the vertical anchor
// of images and buttons, tree and band lines, row backgrounds and the background picture, cell
// selection and focus, node and check images, the rubber band, the drop mark, the canvas font
// hook and the timed animation.

#include "TreeView/Source/core/LazyTree.h"

#include "TreeView/Source/core/LTColors.h"
#include "TreeView/Source/header/LTHeader.h"
#include "TreeView/Source/paint/LTBlend.h"

#include "Platform/graphics/Canvas.h"
#include "Platform/graphics/ImgList.h"
#include "Platform/graphics/PainterState.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

constexpr int ButtonSize = 9;
constexpr std::array<std::uint16_t, 8> DottedPattern{0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
constexpr std::array<std::uint16_t, 8> SolidPattern{};

QImage BlankButton()
{
    QImage image(ButtonSize, ButtonSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The fmShaded look: a softly shaded plate with a dark frame, as the platform's own buttons.
void DrawShadedPlate(QPainter& p)
{
    QLinearGradient gradient(0, 0, ButtonSize, ButtonSize);
    gradient.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
    gradient.setColorAt(1, QColor(0xC6, 0xBE, 0xB2));
    p.fillRect(QRect(0, 0, ButtonSize, ButtonSize), gradient);
    p.setPen(QColor(0x7A, 0x98, 0xAF));
    p.drawRect(0, 0, ButtonSize - 1, ButtonSize - 1);
}

// A picture blended half-way towards `color` where it is not transparent.
QImage Blended(const QImage& image, const QColor& color)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&result);
    p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    QColor half = color;
    half.setAlpha(128);
    p.fillRect(result.rect(), half);
    return result;
}

void DrawFocusFrame(QPainter& p, const TRect& r)
{
    if (r.IsEmpty())
        return;
    const TPainterStateGuard guard(p);
    p.setBrush(Qt::NoBrush);
    const QRect q(r.Left, r.Top, r.Width() - 1, r.Height() - 1);
    p.setPen(QPen(Qt::white, 1));
    p.drawRect(q);
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    p.drawRect(q);
}

} // namespace

QPainter& TTreeCellPaintRecord::Painter() const
{
    return *Canvas->Handle();
}

void TBaseLazyTree::BuildButtonAndLineImages(bool needButtons, bool needLines)
{
    if (needButtons) {
        FMinusButton = BlankButton();
        FPlusButton = BlankButton();
        for (QImage* image : {&FMinusButton, &FPlusButton}) {
            const bool plus = image == &FPlusButton;
            QPainter p(image);
            if (FButtonStyle == TLTButtonStyle::bsTriangle) {
                p.setPen(Qt::NoPen);
                p.setBrush(Qt::black);
                const QPolygon triangle = plus ? QPolygon({QPoint(2, 0), QPoint(6, 4), QPoint(2, 8)})
                                               : QPolygon({QPoint(0, 2), QPoint(8, 2), QPoint(4, 6)});
                p.drawPolygon(triangle);
            } else if (FButtonFillMode == TLTButtonFillMode::fmShaded) {
                DrawShadedPlate(p);
                p.setPen(Qt::black);
                p.drawLine(2, 4, 6, 4);
                if (plus)
                    p.drawLine(4, 2, 4, 6);
            } else {
                if (FButtonFillMode != TLTButtonFillMode::fmTransparent) {
                    const TColor fill = FButtonFillMode == TLTButtonFillMode::fmTreeColor ? Color() : clWindow;
                    p.fillRect(QRect(0, 0, ButtonSize, ButtonSize), ToQColor(fill));
                }
                p.setPen(ToQColor(FColors->TreeLineColor()));
                p.drawRect(0, 0, ButtonSize - 1, ButtonSize - 1);
                p.setPen(ToQColor(FFont.Color()));
                p.drawLine(2, 4, 6, 4);
                if (plus)
                    p.drawLine(4, 2, 4, 6);
            }
            if (FStates.Contains(tsUseThemes)) {
                image->fill(Qt::transparent);
                QStyleOption option;
                option.rect = QRect(0, 0, ButtonSize, ButtonSize);
                option.palette = palette();
                option.state = QStyle::State_Enabled | QStyle::State_Children;
                if (!plus)
                    option.state |= QStyle::State_Open;
                style()->drawPrimitive(QStyle::PE_IndicatorBranch, &option, &p, this);
            }
        }
    }
    if (needLines) {
        FLinePattern = FLineStyle == TLTLineStyle::lsSolid ? SolidPattern : DottedPattern;
        if (FLineStyle == TLTLineStyle::lsCustomStyle) {
            const void* bits = DottedPattern.data();
            FireGetLineStyle(bits);
            if (bits)
                std::copy_n(static_cast<const std::uint16_t*>(bits), 8, FLinePattern.begin());
        }
        FLineBrushKey = {};
    }
}

QBrush TBaseLazyTree::LinePatternBrush(TColor lineColor) const
{
    const QColor line = ToQColor(lineColor);
    const QColor background = ToQColor(Color());
    const std::pair<QRgb, QRgb> key{line.rgba(), background.rgba()};
    if (FLineBrushKey != key || FLineBrush.style() == Qt::NoBrush) {
        QImage pattern(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const bool set = (FLinePattern[static_cast<size_t>(y)] >> (7 - x)) & 1;
                pattern.setPixel(x, y, set ? background.rgb() : line.rgb());
            }
        FLineBrush = QBrush(pattern);
        FLineBrushKey = key;
    }
    return FLineBrush;
}

void TBaseLazyTree::RowAlignOffsets(bool showImages, bool showStateImages, PLazyNode node, int& imageAnchor,
                                    int& buttonTop)
{
    const int rowHeight = node->RowHeight;
    const int align = node->RowAlign;
    switch (FNodeAlignment) {
    case TLTNodeAlignment::naFromBottom:
        imageAnchor = rowHeight - align;
        break;
    case TLTNodeAlignment::naFromTop:
        imageAnchor = align;
        break;
    default: {
        int imageHeight = 0;
        if (showImages && FImages)
            imageHeight = FImages->Height();
        if (showStateImages && FStateImages)
            imageHeight = std::max(imageHeight, FStateImages->Height());
        if (imageHeight > 0)
            imageAnchor = MulDiv(rowHeight - imageHeight, align, 100) + imageHeight / 2;
        else if (HasOption(toShowButtons))
            imageAnchor = MulDiv(rowHeight - ButtonSize, align, 100) + ButtonSize / 2;
        else
            imageAnchor = MulDiv(rowHeight, align, 100);
        break;
    }
    }
    buttonTop = imageAnchor - ButtonSize / 2;
}

void TBaseLazyTree::PlaceImage(TCustomImageList* images, bool rightToLeft, int anchor, TRect& r, TLTImageSlot& slot)
{
    if (!images)
        return;
    if (rightToLeft) {
        slot.Position.X = r.Right - images->Width();
        r.Right -= images->Width() + 2;
    } else {
        slot.Position.X = r.Left;
        r.Left += images->Width() + 2;
    }
    slot.Position.Y = r.Top + anchor - images->Height() / 2;
}

void TBaseLazyTree::ShiftForIndent(TTreeCellPaintRecord& record, int levels)
{
    // The content's near edge moves past the indentation; its far edge stays at the cell's.
    const int shift = (record.RightToLeft() ? -1 : 1) * levels * static_cast<int>(FIndent);
    if (record.RightToLeft())
        record.ContentRect.Right += shift;
    else
        record.ContentRect.Left += shift;
    for (TLTImageSlot& slot : record.ImageSlots)
        slot.Position.X += shift;
}

int TBaseLazyTree::BuildLineImage(PLazyNode node, TLineImage& lineImage)
{
    const bool showRoot = HasOption(toShowRoot);
    const int level = DepthOfNode(node);
    lineImage.assign(static_cast<size_t>(level + (showRoot ? 1 : 0)), ltNone);
    int selected = 0;
    for (PLazyNode run = node->ParentLink; run != FRoot; run = run->ParentLink)
        if (run->Has(nsPicked))
            ++selected;
    if (!HasOption(toShowTreeLines) || lineImage.empty())
        return selected;
    // Entry i belongs to the ancestor (or the node) at depth i - (showRoot ? 0 : 1) below the root.
    auto entryOf = [&](int depth) { return static_cast<size_t>(depth + (showRoot ? 0 : -1)); };
    if (level > 0) {
        lineImage[entryOf(level)] = ShownSiblingFollows(node) ? ltTopDownRight : ltTopRight;
        int depth = level - 1;
        for (PLazyNode run = node->ParentLink; run->ParentLink != FRoot; run = run->ParentLink, --depth)
            lineImage[entryOf(depth)] = ShownSiblingFollows(run) ? ltTopDown : ltNone;
    }
    if (showRoot) {
        if (level == 0) {
            const bool first = FirstShownChildIs(FRoot, node);
            const bool last = !ShownSiblingFollows(node);
            lineImage[0] = first && last ? ltRight : last ? ltTopRight : first ? ltBottomRight : ltTopDownRight;
        } else {
            PLazyNode top = node;
            while (top->ParentLink != FRoot)
                top = top->ParentLink;
            lineImage[0] = ShownSiblingFollows(top) ? ltTopDown : ltNone;
        }
    }
    return selected;
}

void TBaseLazyTree::DotLineAcross(TTreeCellPaintRecord& record, int left, int right, int y)
{
    if (right <= left)
        return;
    record.Painter().fillRect(QRect(left, y, right - left, 1), LinePatternBrush(record.Canvas->Font().Color()));
}

void TBaseLazyTree::DotLineDown(TTreeCellPaintRecord& record, int y1, int y2, int x)
{
    if (y2 <= y1)
        return;
    record.Painter().fillRect(QRect(x, y1, 1, y2 - y1), LinePatternBrush(record.Canvas->Font().Color()));
}

void TBaseLazyTree::DrawLineSegment(TTreeCellPaintRecord& record, int x, int rowTop, int rowHeight, int anchor,
                                    TLTLineType kind, bool rightToLeft)
{
    const int indent = static_cast<int>(FIndent);
    const int centre = x + indent / 2;
    const int a = rowTop + anchor;
    const int bottom = rowTop + rowHeight;
    const int endX = rightToLeft ? x : x + indent;
    auto across = [&] {
        if (rightToLeft)
            DotLineAcross(record, endX, centre, a);
        else
            DotLineAcross(record, centre, endX, a);
    };
    const int edge = rightToLeft ? x + indent : x;
    switch (kind) {
    case ltBottomRight:
        DotLineDown(record, a, bottom, centre);
        across();
        break;
    case ltTopDown:
        DotLineDown(record, rowTop, bottom, centre);
        break;
    case ltTopDownRight:
        DotLineDown(record, rowTop, bottom, centre);
        across();
        break;
    case ltRight:
        across();
        break;
    case ltTopRight:
        DotLineDown(record, rowTop, a, centre);
        across();
        break;
    case ltLeft:
        DotLineDown(record, rowTop, bottom, edge);
        break;
    case ltLeftBottom:
        DotLineDown(record, rowTop, bottom, edge);
        DotLineAcross(record, x, x + indent, bottom - 1);
        break;
    default:
        break;
    }
}

void TBaseLazyTree::DrawConnectorLines(TTreeCellPaintRecord& record, int anchor, int levels, const TLineImage& lineImage)
{
    const int indent = static_cast<int>(FIndent);
    const bool rtl = record.RightToLeft();
    const int start = rtl ? record.CellRect.Right - indent : record.CellRect.Left;
    const int step = rtl ? -indent : indent;
    const int height = record.CellRect.Height();
    if (FLineMode == TLTLineMode::lmBands) {
        if (!record.PaintFlags.Contains(tpGridLines))
            return;
        // Bands: from the innermost level outwards, each level either continues the inner band or
        // gets an edge; where a band ends it is closed at the row's lower edge.
        TLineImage bands(lineImage.begin(), lineImage.begin() + std::min<size_t>(lineImage.size(), levels));
        const bool closed = !record.Node->Has(nsOpen) || record.Node->Has(nsKidsAllHidden);
        for (int i = static_cast<int>(bands.size()) - 1; i >= 0; --i) {
            const TLTLineType entry = bands[static_cast<size_t>(i)];
            const bool ends = entry == ltTopRight || (entry == ltNone && i < static_cast<int>(bands.size()) - 1);
            bands[static_cast<size_t>(i)] = closed && ends ? ltLeftBottom : ltLeft;
        }
        const TColor saved = record.Canvas->Font().Color();
        record.Canvas->Font().SetColor(FColors->GridLineColor());
        for (int i = 0; i < static_cast<int>(bands.size()); ++i)
            DrawLineSegment(record, start + i * step, 0, height - 1, anchor, bands[static_cast<size_t>(i)], rtl);
        record.Canvas->Font().SetColor(saved);
        return;
    }
    const TColor saved = record.Canvas->Font().Color();
    record.Canvas->Font().SetColor(FColors->TreeLineColor());
    for (int i = 0; i < levels && i < static_cast<int>(lineImage.size()); ++i)
        DrawLineSegment(record, start + i * step, 0, height, anchor, lineImage[static_cast<size_t>(i)], rtl);
    record.Canvas->Font().SetColor(saved);
}

void TBaseLazyTree::DrawExpandButton(QPainter& painter, PLazyNode node, const TRect& r, int buttonX, int buttonY,
                                     bool rightToLeft)
{
    const QImage& image = node->Has(nsOpen) ? FMinusButton : FPlusButton;
    const int x = rightToLeft ? r.Right - buttonX - image.width() : r.Left + buttonX;
    painter.drawImage(QPoint(x, r.Top + buttonY), image);
}

void TBaseLazyTree::PaintFixedBackground(QPainter& painter, TPoint origin, const TRect& r)
{
    painter.fillRect(r.ToQt(), ToQColor(Color()));
    // The picture stands still in the client area: its place there, in the painter's coordinates.
    const QPoint at(FBackgroundOffsetX - FOffsetX - origin.X, FBackgroundOffsetY - FOffsetY - origin.Y);
    const QRect picture(at, FBackground.size());
    const QRect part = picture.intersected(r.ToQt());
    if (!part.isEmpty())
        painter.drawImage(part.topLeft(), FBackground, part.translated(-at));
}

void TBaseLazyTree::PaintTiledBackground(QPainter& painter, TPoint origin, const TRect& r)
{
    const int w = FBackground.width();
    const int h = FBackground.height();
    if (w <= 0 || h <= 0 || r.IsEmpty())
        return;
    auto positive = [](int v, int m) { return ((v % m) + m) % m; };
    // Tiles move with the content: a point's picture coordinate follows its content coordinate.
    const int px = positive(r.Left + origin.X + FBackgroundOffsetX, w);
    const int py = positive(r.Top + origin.Y + FBackgroundOffsetY, h);
    painter.drawTiledPixmap(r.ToQt(), QPixmap::fromImage(FBackground), QPoint(px, py));
}

void TBaseLazyTree::EraseRowBackground(TTreeCellPaintRecord& record, bool useBackground, bool floating, TRect r)
{
    QPainter& p = record.Painter();
    TColor color = Color();
    TItemEraseAction action = TItemEraseAction::eaDefault;
    const int rowTop = FPaintRowTop;
    TPoint origin{0, rowTop};
    if (floating) {
        OffsetRect(r, 0, -r.Top);
        origin = {FOffsetX, rowTop + r.Top};
    }
    FireBeforeItemErase(*record.Canvas, record.Node, r, color, action);
    switch (action) {
    case TItemEraseAction::eaColor:
        p.fillRect(r.ToQt(), ToQColor(color));
        break;
    case TItemEraseAction::eaNone:
        break;
    default:
        if (useBackground) {
            if (HasOption(toStaticBackground))
                PaintFixedBackground(p, origin, r);
            else
                PaintTiledBackground(p, origin, r);
        } else if (record.PaintFlags.Contains(tpSelection) && HasOption(toFullRowSelect) &&
                   record.Node->Has(nsPicked) && !HasOption(toUseBlendedSelection)) {
            p.fillRect(r.ToQt(), ToQColor(Color()));
            const bool focused = hasFocus() || HasOption(toPopupMode);
            TRect band = r;
            if (HasOption(toShowHorzGridLines))
                --band.Bottom;
            const TPainterStateGuard guard(p);
            p.setPen(ToQColor(focused ? FColors->FocusedSelectionBorderColor() : FColors->UnfocusedSelectionBorderColor()));
            p.setBrush(ToQColor(focused ? FColors->FocusedSelectionColor() : FColors->UnfocusedSelectionColor()));
            const int radius = static_cast<int>(FSelectionCurveRadius);
            const QRect q(band.Left, band.Top, band.Width() - 1, band.Height() - 1);
            if (radius > 0)
                p.drawRoundedRect(q, radius, radius);
            else
                p.drawRect(q);
        } else {
            p.fillRect(r.ToQt(), ToQColor(Color()));
        }
        break;
    }
    FireAfterItemErase(*record.Canvas, record.Node, r);
}

void TBaseLazyTree::PaintCellSelection(TTreeCellPaintRecord& record, int windowOrgX, int maxWidth)
{
    QPainter& p = record.Painter();
    if (record.PaintFlags.Contains(tpColumnColors))
        if (const TLazyTreeColumn* column = FHeader ? FHeader->Columns().ColumnAt(record.Column) : nullptr)
            p.fillRect(record.CellRect.ToQt(), ToQColor(column->Color()));
    FireBeforeCellPaint(*record.Canvas, record.Node, record.Column, record.CellRect);
    const bool focusedColumn = record.Column == FFocusedColumn || HasOption(toFullRowSelect);
    if (!focusedColumn)
        return;
    TRect inner = record.ContentRect;
    if (!HasOption(toGridExtensions) && record.NodeWidth < inner.Width()) {
        switch (record.Alignment) {
        case taRightJustify:
            inner.Left = inner.Right - record.NodeWidth;
            break;
        case taCenter:
            inner.Left = (inner.Left + inner.Right - record.NodeWidth) / 2;
            inner.Right = inner.Left + record.NodeWidth;
            break;
        default:
            inner.Right = inner.Left + record.NodeWidth;
            break;
        }
    }
    const bool treeFocused = hasFocus() || HasOption(toPopupMode);
    PLazyNode node = record.Node;
    if (record.PaintFlags.Contains(tpSelection)) {
        TColor fill = clNone;
        TColor border = clNone;
        if (node == FDropTargetNode && (FLastDropMode == TDropMode::dmOnNode || node->Has(nsPicked))) {
            fill = FColors->DropTargetColor();
            border = FColors->DropTargetBorderColor();
        } else if (node->Has(nsPicked)) {
            fill = treeFocused ? FColors->FocusedSelectionColor() : FColors->UnfocusedSelectionColor();
            border = treeFocused ? FColors->FocusedSelectionBorderColor() : FColors->UnfocusedSelectionBorderColor();
        }
        if (fill != clNone && !inner.IsEmpty()) {
            if (HasOption(toUseBlendedSelection)) {
                TRect area;
                IntersectRect(area, inner, record.CellRect);
                IntersectRect(area, area, {windowOrgX, area.Top, windowOrgX + maxWidth, area.Bottom});
                QColor tint = ToQColor(fill);
                tint.setAlpha(FSelectionBlendFactor);
                p.fillRect(area.ToQt(), tint);
            } else {
                const TPainterStateGuard guard(p);
                p.setPen(ToQColor(border));
                p.setBrush(ToQColor(fill));
                const int radius = static_cast<int>(FSelectionCurveRadius);
                const QRect q(inner.Left, inner.Top, inner.Width() - 1, inner.Height() - 1);
                if (radius > 0)
                    p.drawRoundedRect(q, radius, radius);
                else
                    p.drawRect(q);
            }
        }
    }
    if (record.PaintFlags.Contains(tpFocusRect) && record.Column == FFocusedColumn && treeFocused &&
        node == FFocusNode)
        DrawFocusFrame(p, HasOption(toGridExtensions) ? record.CellRect : inner);
}

void TBaseLazyTree::ResolveImageIndex(TTreeCellPaintRecord& record, TLTImageKind kind, TLTImageSlotKind slot,
                                      TCustomImageList* defaultImages)
{
    TLTImageSlot& s = record.ImageSlots[slot];
    s.Index = -1;
    s.Ghosted = false;
    TCustomImageList* list = FireGetImageIndex(record.Node, kind, record.Column, s.Ghosted, s.Index);
    s.Images = list ? list : defaultImages;
}

void TBaseLazyTree::DrawNodeImage(TTreeCellPaintRecord& record, TLTImageSlotKind slot, bool doOverlay)
{
    const TLTImageSlot& s = record.ImageSlots[slot];
    if (!s.Images || !s.Images->ValidIndex(s.Index))
        return;
    QPainter& p = record.Painter();
    PLazyNode node = record.Node;
    const bool cut = node->Has(nsCutCopyMarked) && FStates.Contains(tsCutPending);
    const bool focused = hasFocus() || HasOption(toGhostedIfUnfocused);
    int overlay = -1;
    if (doOverlay) {
        bool ghosted = false;
        FireGetImageIndex(node, TLTImageKind::ikOverlay, record.Column, ghosted, overlay);
    }
    const QImage image = s.Images->Image(s.Index);
    const QImage overlayImage = overlay >= 0 ? s.Images->Image(overlay) : QImage();
    if (node->Has(nsInactive) || !isEnabled()) {
        p.drawImage(s.Position.ToQt(), GrayedImage(image));
        if (!overlayImage.isNull())
            p.drawImage(s.Position.ToQt(), GrayedImage(overlayImage));
        record.Canvas->Font().SetColor(FFont.Color());
        return;
    }
    const bool selected = node->Has(nsPicked);
    const bool popupFocus = hasFocus() || HasOption(toPopupMode);
    QColor blendColor = ToQColor(Color());
    if (selected && !cut && !s.Ghosted)
        blendColor = ToQColor(popupFocus ? FColors->FocusedSelectionColor() : FColors->UnfocusedSelectionColor());
    const bool blend = (focused && HasOption(toUseBlendedImages) && s.Ghosted) ||
                       (selected && !HasOption(toFullRowSelect) && !HasOption(toGridExtensions)) || cut;
    p.drawImage(s.Position.ToQt(), blend ? Blended(image, blendColor) : image);
    if (!overlayImage.isNull())
        p.drawImage(s.Position.ToQt(), overlayImage);
}

void TBaseLazyTree::DrawCheckImage(TTreeCellPaintRecord& record)
{
    const TLTImageSlot& s = record.ImageSlots[iiCheck];
    if (!s.Images || !s.Images->ValidIndex(s.Index))
        return;
    QPainter& p = record.Painter();
    if (!FStates.Contains(tsUseThemes) || FCheckImageKind == TCheckImageKind::ckCustom) {
        p.drawImage(s.Position.ToQt(), s.Images->Image(s.Index));
        return;
    }
    QStyleOptionButton option;
    option.rect = QRect(s.Position.X - 1, s.Position.Y, 17, 16);
    option.palette = palette();
    const int index = s.Index;
    const int variant = (index - 1) % 4;
    option.state = variant == 3 ? QStyle::State_None : QStyle::State_Enabled;
    if (variant == 1)
        option.state |= QStyle::State_MouseOver;
    if (variant == 2)
        option.state |= QStyle::State_Sunken;
    if (index >= 1 && index < 9) {
        option.state |= index >= 5 ? QStyle::State_On : QStyle::State_Off;
        style()->drawPrimitive(QStyle::PE_IndicatorRadioButton, &option, &p, this);
    } else if (index >= 9 && index <= 20) {
        option.state |= index >= 17 ? QStyle::State_NoChange : index >= 13 ? QStyle::State_On : QStyle::State_Off;
        style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &p, this);
    } else {
        style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &option, &p, this);
    }
}

void TBaseLazyTree::DrawRubberBand(QPainter& painter, int windowOrgX, const TRect& bandRect, const TRect& targetRect)
{
    TRect band = NormalizeRect(bandRect);
    TRect target = targetRect;
    OffsetRect(target, windowOrgX, 0);
    const bool blended = FDrawSelectionMode == TLTDrawSelectionMode::smBlendedRectangle || FStates.Contains(tsUseThemes);
    if (blended && MMXAvailable()) {
        TRect area;
        if (!IntersectRect(area, band, target))
            return;
        QColor tint = ToQColor(FColors->SelectionRectangleBlendColor());
        tint.setAlpha(FSelectionBlendFactor);
        painter.fillRect(area.ToQt(), tint);
        const TPainterStateGuard guard(painter);
        painter.setClipRect(target.ToQt(), Qt::IntersectClip);
        painter.setPen(ToQColor(FColors->SelectionRectangleBorderColor()));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(band.Left, band.Top, band.Width() - 1, band.Height() - 1);
        return;
    }
    const TPainterStateGuard guard(painter);
    painter.setClipRect(target.ToQt(), Qt::IntersectClip);
    DrawFocusFrame(painter, band);
}

void TBaseLazyTree::DrawDropMark(QPainter& painter, PLazyNode, const TRect& r)
{
    if (FLastDropMode != TDropMode::dmAbove && FLastDropMode != TDropMode::dmBelow)
        return;
    QPolygon mark;
    const int u = r.Top;
    const int b = r.Bottom;
    if (FLastDropMode == TDropMode::dmAbove)
        mark << QPoint(r.Left + 2, u) << QPoint(r.Right - 2, u) << QPoint(r.Right - 2, u + 6)
             << QPoint(r.Right - 6, u + 2) << QPoint(r.Left + 6, u + 2) << QPoint(r.Left + 2, u + 6);
    else
        mark << QPoint(r.Left + 2, b - 1) << QPoint(r.Right - 2, b - 1) << QPoint(r.Right - 2, b - 8)
             << QPoint(r.Right - 7, b - 3) << QPoint(r.Left + 7, b - 3) << QPoint(r.Left + 2, b - 8);
    const TPainterStateGuard guard(painter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ToQColor(FColors->DropMarkColor()));
    painter.drawPolygon(mark);
}

void TBaseLazyTree::DrawNodeContent(TTreeCellPaintRecord&) {}

void TBaseLazyTree::FitPaintCell(TTreeCellPaintRecord& record, TColumnIndex& nextNonEmpty)
{
    nextNonEmpty = FHeader && FHeader->Columns().Count() > 0 ? FHeader->Columns().NextShownColumn(record.Column)
                                                              : InvalidColumn;
    if (nextNonEmpty < 0)
        nextNonEmpty = InvalidColumn;
}

void TBaseLazyTree::HookCanvasFontChange(TCanvas& canvas)
{
    FSavedCanvasFontChange = canvas.Font().OnChange;
    canvas.Font().OnChange = [this, &canvas](TObject* sender) {
        HandleFontChange(canvas.Font());
        if (FSavedCanvasFontChange)
            FSavedCanvasFontChange(sender);
    };
}

void TBaseLazyTree::UnhookCanvasFontChange(TCanvas& canvas)
{
    canvas.Font().OnChange = FSavedCanvasFontChange;
    FSavedCanvasFontChange = nullptr;
}

void TBaseLazyTree::HandleFontChange(TFont&)
{
    FCanvasFontChanged = true;
}

void TBaseLazyTree::RunAnimation(int steps, int duration, const TLTAnimationCallback& callback)
{
    if (FStates.Contains(tsInAnimation) || duration <= 0 || steps <= 0)
        return;
    using TClock = std::chrono::steady_clock;
    ShiftTreeStates(tsInAnimation, {});
    try {
        int stepSize = std::max(static_cast<int>(std::lround(static_cast<double>(steps) / duration)), 1);
        int remaining = steps / stepSize;
        int step = 0;
        while (remaining > 0 && duration > 0 && !QCoreApplication::closingDown()) {
            const TClock::time_point start = TClock::now();
            if (!callback(step, stepSize))
                break;
            const auto wait = std::chrono::milliseconds(duration / remaining);
            while (TClock::now() - start < wait)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            const int elapsed =
                static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - start).count());
            const int rest = duration - elapsed;
            remaining = rest <= 0 ? 0 : remaining - 1;
            while (remaining > 0 && rest / remaining == 0) {
                ++stepSize;
                remaining = rest / stepSize;
            }
            step = steps - remaining;
            duration = rest;
        }
        if (!QCoreApplication::closingDown())
            callback(0, 0);
    } catch (...) {
        ShiftTreeStates({}, tsInAnimation);
        throw;
    }
    ShiftTreeStates({}, tsInAnimation);
}

bool TBaseLazyTree::ToggleAnimationStep(int, int stepSize, const TRect& area, bool expanding)
{
    if (stepSize > 0 && WindowExists()) {
        // The moved part keeps its pixels; the strip it uncovers is painted in the paint event,
        // which shows the rows as they now are.
        viewport()->scroll(0, expanding ? stepSize : -stepSize, area.ToQt());
        viewport()->repaint(area.ToQt());
    }
    return true;
}
