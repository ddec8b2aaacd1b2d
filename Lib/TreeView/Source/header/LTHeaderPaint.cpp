// Header painting: the background, each visible column's cell (button edges by header style, the
// XP-style plate or the platform's theme), and inside it the header glyph, the caption shortened
// with an ellipsis, the sort glyph and the drop mark, laid out by the column. Applications may
// paint whole cells (owner-draw columns) or single elements (advanced owner draw).

#include "TreeView/Source/header/LTColumn.h"

#include "TreeView/Source/core/LTCheckImages.h"
#include "TreeView/Source/core/LTColors.h"
#include "TreeView/Source/core/LazyTree.h"
#include "TreeView/Source/header/LTHeader.h"

#include "Platform/graphics/Canvas.h"
#include "Platform/graphics/Edges.h"
#include "Platform/graphics/ImgList.h"
#include "Platform/graphics/PainterState.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionHeader>

namespace {

constexpr int UtilityDropMarkLeft = 0;
constexpr int UtilityDropMarkRight = 1;
constexpr int UtilityHotStripeLeft = 6;
constexpr int UtilityHotStripeMiddle = 7;
constexpr int UtilityHotStripeRight = 8;

int SortGlyphIndex(TSortDirection direction, bool themed)
{
    if (direction == TSortDirection::sdAscending)
        return themed ? 5 : 3;
    return themed ? 4 : 2;
}

bool RightToLeft(TBiDiMode mode)
{
    return mode != TBiDiMode::bdLeftToRight;
}

TAlignment Mirrored(TAlignment alignment)
{
    return alignment == taLeftJustify ? taRightJustify : alignment == taRightJustify ? taLeftJustify : alignment;
}

// The plate of the XP-style header: its fill, the splitter, the pressed frame and the hot stripe.
void DrawXPButton(QPainter& p, const TRect& bounds, bool drawSplitter, bool pressed, bool hot)
{
    const TColor fill = pressed ? 0xD8DFDE : hot ? 0xF3F8FA : 0xDBEAEB;
    p.fillRect(bounds.ToQt(), ToQColor(fill));
    if (pressed) {
        p.setPen(ToQColor(0x97A5A5));
        p.setBrush(Qt::NoBrush);
        p.drawRect(bounds.Left, bounds.Top, bounds.Width() - 1, bounds.Height() - 1);
        p.setPen(ToQColor(0xB8C2C1));
        p.drawLine(bounds.Left + 1, bounds.Top + 1, bounds.Right - 2, bounds.Top + 1);
        p.setPen(ToQColor(0xC9D1D0));
        p.drawLine(bounds.Left + 1, bounds.Top + 2, bounds.Right - 2, bounds.Top + 2);
        return;
    }
    if (hot) {
        const TCustomImageList* glyphs = UtilityGlyphSet();
        const int y = bounds.Bottom - glyphs->Height();
        const QImage left = glyphs->Image(UtilityHotStripeLeft);
        const QImage middle = glyphs->Image(UtilityHotStripeMiddle);
        const QImage right = glyphs->Image(UtilityHotStripeRight);
        const TPainterStateGuard guard(p);
        p.setClipRect(bounds.ToQt(), Qt::IntersectClip);
        if (bounds.Width() > 32)
            for (int x = bounds.Left + 16; x < bounds.Right - 16; x += 16)
                p.drawImage(x, y, middle);
        p.drawImage(bounds.Left, y, left);
        p.drawImage(bounds.Right - 16, y, right);
        return;
    }
    // Shading lines along the lower edge, darkest at the bottom.
    const QColor base = ToQColor(0xDBEAEB);
    const QColor dark = ToQColor(0xB8C7CB);
    for (int i = 0; i < 3; ++i) {
        const double t = (i + 1) / 3.0;
        const QColor c(static_cast<int>(base.red() + (dark.red() - base.red()) * t),
                       static_cast<int>(base.green() + (dark.green() - base.green()) * t),
                       static_cast<int>(base.blue() + (dark.blue() - base.blue()) * t));
        p.fillRect(QRect(bounds.Left, bounds.Bottom - 3 + i, bounds.Width(), 1), c);
    }
    if (drawSplitter) {
        p.fillRect(QRect(bounds.Right - 2, bounds.Top + 4, 1, bounds.Height() - 8), ToQColor(0xB2C5C7));
        p.fillRect(QRect(bounds.Right - 1, bounds.Top + 4, 1, bounds.Height() - 8), Qt::white);
    }
}

// The caption: shortened with an ellipsis when it does not fit, transparent, hot or disabled look.
void DrawCaption(QPainter& p, const QFont& font, TColor fontColor, TColor hotColor, const QString& caption,
                 const TRect& bounds, bool enabled, bool hot, bool rightToLeft)
{
    const QFontMetrics metrics(font);
    QString text = caption;
    if (metrics.horizontalAdvance(text) > bounds.Width())
        text = ShortenWithEllipsis(metrics, text, bounds.Width(), rightToLeft);
    const TPainterStateGuard guard(p);
    p.setFont(font);
    p.setClipRect(bounds.ToQt(), Qt::IntersectClip);
    const int flags = Qt::AlignVCenter | (rightToLeft ? Qt::AlignRight : Qt::AlignLeft) | Qt::TextSingleLine;
    if (enabled) {
        p.setPen(ToQColor(hot ? hotColor : fontColor));
        p.drawText(bounds.ToQt(), flags, text);
        return;
    }
    p.setPen(ToQColor(clBtnHighlight));
    p.drawText(bounds.ToQt().translated(1, 1), flags, text);
    p.setPen(ToQColor(clBtnShadow));
    p.drawText(bounds.ToQt(), flags, text);
}

} // namespace

void TLazyTreeColumn::LayoutHeaderCell(const QFontMetrics& metrics, const TRect& client, TRect& textBounds,
                                       TPoint& sortGlyphPos, TPoint& glyphPos, bool showSortGlyph,
                                       bool showHeaderGlyph) const
{
    textBounds = {};
    sortGlyphPos = {};
    glyphPos = {};
    const bool hasText = !FText.isEmpty();
    if (!hasText && !showSortGlyph && !showHeaderGlyph)
        return;
    const TCustomImageList* images = FOwner.Header().Images();
    const int gw = showHeaderGlyph && images ? images->Width() : 0;
    const int gh = showHeaderGlyph && images ? images->Height() : 0;
    const bool glyph = gw > 0;
    const TCustomImageList* utility = UtilityGlyphSet();
    const int sw = showSortGlyph ? utility->Width() : 0;
    const int sh = showSortGlyph ? utility->Height() : 0;
    const int tw = hasText ? metrics.horizontalAdvance(FText) + 2 : 0;
    const int th = hasText ? metrics.height() : 0;
    const int spacing = hasText ? FSpacing : 0;
    const int w = client.Width();
    const int h = client.Height();
    const bool rtl = RightToLeft(FBiDiMode);
    const TAlignment alignment = rtl ? Mirrored(FAlignment) : FAlignment;
    const bool sideLayout = FLayout == TLTHeaderColumnLayout::blGlyphLeft || FLayout == TLTHeaderColumnLayout::blGlyphRight;
    const bool glyphFirst = FLayout == TLTHeaderColumnLayout::blGlyphLeft;
    int textX = 0;
    int textY = 0;

    if (!hasText && !glyph) {
        sortGlyphPos = {(w - sw) / 2, (h - sh) / 2};
    } else {
        // Vertical places.
        if (sideLayout || !glyph) {
            glyphPos.Y = (h - gh) / 2;
            textY = (h - th) / 2;
        } else {
            const int start = (h - (gh + spacing + th)) / 2;
            if (FLayout == TLTHeaderColumnLayout::blGlyphTop) {
                glyphPos.Y = start;
                textY = start + gh + spacing;
            } else {
                textY = start;
                glyphPos.Y = start + th + spacing;
            }
        }
        sortGlyphPos.Y = (h - sh) / 2;
        // Horizontal places.
        const int glyphStep = glyph ? gw + spacing : 0;
        switch (alignment) {
        case taCenter:
            if (sideLayout) {
                const int block = glyphStep + tw;
                int x = (w - block) / 2;
                const int start = x;
                if (glyph && glyphFirst) {
                    glyphPos.X = x;
                    x += glyphStep;
                }
                textX = x;
                x += tw;
                if (glyph && !glyphFirst) {
                    glyphPos.X = x + spacing;
                    x += glyphStep;
                }
                sortGlyphPos.X = rtl ? start - spacing - sw : x + spacing;
            } else {
                glyphPos.X = (w - gw) / 2;
                textX = (w - tw) / 2 - (showSortGlyph ? sw / 2 : 0);
                sortGlyphPos.X = rtl ? textX - spacing - sw : textX + tw + spacing;
            }
            break;
        case taRightJustify: {
            int x = w - FMargin;
            if (!rtl && showSortGlyph) {
                sortGlyphPos.X = x - sw;
                x = sortGlyphPos.X - spacing;
            }
            if (sideLayout) {
                if (glyph && !glyphFirst) {
                    glyphPos.X = x - gw;
                    x = glyphPos.X - spacing;
                }
                textX = x - tw;
                x = textX - spacing;
                if (glyph && glyphFirst)
                    glyphPos.X = x - gw;
            } else {
                textX = x - tw;
                glyphPos.X = std::min((w - gw) / 2, x - gw);
            }
            if (rtl && showSortGlyph)
                sortGlyphPos.X = std::min(textX, glyph ? glyphPos.X : textX) - spacing - sw;
            break;
        }
        default: {
            int x = FMargin;
            if (rtl && showSortGlyph) {
                sortGlyphPos.X = x;
                x += sw + spacing;
            }
            if (sideLayout) {
                if (glyph && glyphFirst) {
                    glyphPos.X = x;
                    x += glyphStep;
                }
                textX = x;
                x += tw + spacing;
                if (glyph && !glyphFirst) {
                    glyphPos.X = x;
                    x += glyphStep;
                }
            } else {
                textX = x;
                glyphPos.X = std::max(FMargin, (w - gw) / 2);
                x += tw + spacing;
            }
            if (!rtl && showSortGlyph)
                sortGlyphPos.X = x;
            break;
        }
        }
    }
    // Limits: everything stays inside the cell's margins, the caption behind the glyphs.
    const int rightLimit = w - FMargin;
    if (showSortGlyph)
        sortGlyphPos.X = std::max(FMargin, std::min(sortGlyphPos.X, rightLimit - sw));
    if (glyph)
        glyphPos.X = std::max(FMargin, std::min(glyphPos.X, rightLimit - gw));
    int textRight = rightLimit;
    if (showSortGlyph && !rtl && sortGlyphPos.X >= textX)
        textRight = std::min(textRight, sortGlyphPos.X - spacing);
    if (glyph && sideLayout && !glyphFirst && glyphPos.X >= textX)
        textRight = std::min(textRight, glyphPos.X - spacing);
    if (glyph && sideLayout && glyphFirst)
        textX = std::max(textX, glyphPos.X + gw + spacing);
    if (hasText)
        textBounds = {textX, textY, std::max(textX, std::min(textX + tw, textRight)), textY + th};
    OffsetRect(textBounds, client.Left, client.Top);
    sortGlyphPos.X += client.Left;
    sortGlyphPos.Y += client.Top;
    glyphPos.X += client.Left;
    glyphPos.Y += client.Top;
}

void TLazyTreeColumns::PaintHeaderTo(QPainter& painter, const TRect& r)
{
    TBaseLazyTree& tree = *Tree();
    const TLTHeaderOptions options = FHeader.Options();
    const bool ownerDraw = options.Contains(hoOwnerDraw);
    const bool advanced = ownerDraw && tree.OnAdvancedHeaderDraw && tree.OnHeaderDrawQueryElements;
    const bool simple = ownerDraw && !advanced && tree.OnHeaderDraw;
    const bool themed = tree.TreeStates().Contains(tsUseThemes);
    const TLTHeaderStyle style = FHeader.Style();
    TCanvas canvas(&painter);
    canvas.Font().Assign(FHeader.Font());
    const QFont font = FHeader.Font().ToQFont();
    const QFontMetrics metrics(font);
    const int height = FHeader.Height();
    const TRect headerRect{r.Left, 0, r.Right, height};
    QStyle* qstyle = tree.style();

    THeaderPaintInfo info;
    info.HeaderCanvas = &canvas;
    THeaderPaintElements claimed;
    if (advanced) {
        info.CellRect = headerRect;
        tree.FireHeaderDrawQueryElements(info, claimed);
    }
    if (claimed.Contains(hpeBackground)) {
        tree.FireAdvancedHeaderDraw(info, THeaderPaintElements{hpeBackground});
    } else if (themed) {
        QStyleOptionHeader option;
        option.rect = headerRect.ToQt();
        option.state = QStyle::State_Horizontal | QStyle::State_Enabled;
        qstyle->drawControl(QStyle::CE_HeaderEmptyArea, &option, &painter, FHeader.Widget());
    } else if (style == TLTHeaderStyle::hsXPStyle) {
        DrawXPButton(painter, headerRect, false, false, false);
    } else {
        painter.fillRect(headerRect.ToQt(), ToQColor(FHeader.Background()));
    }

    const std::vector<TLazyTreeColumn*> visible = VisibleColumnList();
    const bool bevel = tree.frameShape() != QFrame::NoFrame;
    for (size_t i = 0; i < visible.size(); ++i) {
        TLazyTreeColumn* column = visible[i];
        const TColumnIndex index = column->Index();
        const int left = column->AbsoluteLeft() + (column->IsFixed() ? 0 : tree.OffsetX());
        const TRect cell{left, 0, left + column->Width(), height};
        if (cell.Right <= r.Left)
            continue;
        if (cell.Left >= r.Right)
            break;
        const TPainterStateGuard cellState(painter);
        painter.setClipRect(cell.ToQt(), Qt::IntersectClip);
        const TLTColumnOptions columnOptions = column->Options();
        const bool last = i + 1 == visible.size();
        const bool rightBorder =
            !(style != TLTHeaderStyle::hsThickButtons && options.Contains(hoAutoResize) && bevel && last);
        const bool enabled = columnOptions.Contains(coEnabled) && tree.isEnabled();
        const bool hover = index == HoverIndex && options.Contains(hoHotTrack) && columnOptions.Contains(coEnabled);
        const bool pressed = index == PressedIndex;
        TLTDropMarkMode dropMark = TLTDropMarkMode::dmmNone;
        if (columnOptions.Contains(coShowDropMark) && index == DropTarget && index != DragIndex)
            dropMark = DropBefore ? TLTDropMarkMode::dmmLeft : TLTDropMarkMode::dmmRight;
        const bool withGlyph = options.Contains(hoShowImages) && FHeader.Images() && column->ImageIndex() >= 0;
        const bool withSortGlyph = index == FHeader.SortColumn() && options.Contains(hoShowSortGlyphs);

        info = {};
        info.HeaderCanvas = &canvas;
        info.PaintedColumn = column;
        info.CellRect = cell;
        info.HeaderHot = hover;
        info.HeaderPressed = pressed;
        info.HeaderEnabled = enabled;
        info.WithGlyph = withGlyph;
        info.WithSortGlyph = withSortGlyph;
        info.WithRightBorder = rightBorder;
        info.DropMarkSide = dropMark;
        claimed = {};
        const bool ownerDrawnCell = simple && column->Style() == TLazyTreeColumnStyle::vsOwnerDraw;
        if (advanced)
            tree.FireHeaderDrawQueryElements(info, claimed);
        if (!ownerDrawnCell) {
            if (claimed.Contains(hpeBackground)) {
                tree.FireAdvancedHeaderDraw(info, THeaderPaintElements{hpeBackground});
            } else if (themed) {
                QStyleOptionHeader option;
                option.rect = cell.ToQt();
                option.state = QStyle::State_Horizontal | QStyle::State_Raised;
                if (enabled)
                    option.state |= QStyle::State_Enabled;
                if (pressed)
                    option.state |= QStyle::State_Sunken;
                if (hover)
                    option.state |= QStyle::State_MouseOver;
                qstyle->drawControl(QStyle::CE_HeaderSection, &option, &painter, FHeader.Widget());
            } else if (style == TLTHeaderStyle::hsXPStyle) {
                DrawXPButton(painter, cell, rightBorder, pressed, hover);
            } else {
                unsigned edge = 0;
                unsigned flags = 0;
                const bool plateHot = style == TLTHeaderStyle::hsPlates && hover &&
                                      columnOptions.Contains(coAllowClick) && enabled;
                switch (style) {
                case TLTHeaderStyle::hsThickButtons:
                    edge = 5;
                    flags = pressed ? 0x780F : 0x380B;
                    break;
                case TLTHeaderStyle::hsFlatButtons:
                    edge = pressed ? 2 : 4;
                    flags = pressed ? 0x280F : 0x280B;
                    break;
                default:
                    edge = pressed ? 2 : 4;
                    flags = pressed ? 0x280F : plateHot ? 0x280B : 0x380F;
                    break;
                }
                if (!pressed && rightBorder)
                    flags |= BF_RIGHT;
                TRect edgeRect = cell;
                DrawEdge(painter, edgeRect, edge, flags);
            }
        }
        if (ownerDrawnCell) {
            const int dropSide = dropMark == TLTDropMarkMode::dmmLeft ? 1 : dropMark == TLTDropMarkMode::dmmRight ? 2 : 0;
            tree.FireHeaderDraw(canvas, index, cell, hover, pressed, dropSide);
            continue;
        }
        TRect inner = cell;
        InflateRect(inner, -2, -2);
        TRect textBounds;
        TPoint sortPos;
        TPoint glyphPos;
        column->LayoutHeaderCell(metrics, inner, textBounds, sortPos, glyphPos, withSortGlyph, withGlyph);
        if (pressed) {
            OffsetRect(textBounds, 1, 1);
            sortPos = {sortPos.X + 1, sortPos.Y + 1};
            glyphPos = {glyphPos.X + 1, glyphPos.Y + 1};
        }
        info.CaptionRect = textBounds;
        info.GlyphPoint = glyphPos;
        info.SortGlyphPoint = sortPos;
        if (withGlyph && !claimed.Contains(hpeHeaderGlyph)) {
            const TCustomImageList* images = FHeader.Images();
            const bool overlaps =
                withSortGlyph && !RightToLeft(column->BiDiMode()) && sortPos.X < glyphPos.X + images->Width();
            if (!overlaps)
                images->Draw(canvas, glyphPos.X, glyphPos.Y, column->ImageIndex(), enabled);
        }
        if (!column->Text().isEmpty() && !claimed.Contains(hpeText))
            DrawCaption(painter, font, FHeader.Font().Color(), tree.Colors().HeaderHotColor(), column->Text(),
                        textBounds, enabled, hover && options.Contains(hoHotTrack) && !themed,
                        RightToLeft(column->BiDiMode()));
        if (withSortGlyph && !claimed.Contains(hpeSortGlyph))
            painter.drawImage(sortPos.ToQt(),
                              UtilityGlyphSet()->Image(SortGlyphIndex(FHeader.SortDirection(), themed)));
        if (dropMark != TLTDropMarkMode::dmmNone && !claimed.Contains(hpeDropMark)) {
            const TCustomImageList* utility = UtilityGlyphSet();
            const int y = cell.Top + (cell.Height() - utility->Height()) / 2;
            if (dropMark == TLTDropMarkMode::dmmLeft)
                painter.drawImage(cell.Left, y, utility->Image(UtilityDropMarkLeft));
            else
                painter.drawImage(cell.Right - 16, y, utility->Image(UtilityDropMarkRight));
        }
        const THeaderPaintElements own = claimed - THeaderPaintElements{hpeBackground};
        if (!own.Empty()) {
            const TPainterStateGuard saved(painter);
            tree.FireAdvancedHeaderDraw(info, own);
        }
    }
}

void TLazyTreeColumns::PaintColumnImage(QPainter& painter, TColumnIndex column)
{
    const TLazyTreeColumn* c = ColumnAt(column);
    if (!c)
        return;
    const TPainterStateGuard guard(painter);
    const int left = c->AbsoluteLeft() + (c->IsFixed() ? 0 : Tree()->OffsetX());
    painter.translate(-left, 0);
    PaintHeaderTo(painter, {left, 0, left + c->Width(), FHeader.Height()});
}
