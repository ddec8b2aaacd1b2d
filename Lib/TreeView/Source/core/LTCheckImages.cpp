#include "TreeView/Source/core/LTCheckImages.h"

#include "Platform/graphics/ImgList.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionButton>
#include <array>
#include <memory>

namespace {

constexpr int TileSize = 16;

enum class TMark { Cross, Tick };

// How one drawn set looks; the colours follow the palette as the strips were remapped to the
// system colours.
struct TSetLook {
    QColor Frame;
    QColor Fill;
    QColor HotFill;
    QColor PressedFill;
    QColor MarkColor;
    TMark Mark;
    bool Flat;
};

enum class TGroup { Empty, RadioOff, RadioOn, BoxOff, BoxOn, BoxMixed, Button };
enum class TVariant { Normal, Hot, Pressed, Disabled };

void DrawMark(QPainter& p, const QRectF& box, TMark mark, const QColor& color)
{
    QPen pen(color, 2.0);
    pen.setCapStyle(Qt::SquareCap);
    p.setPen(pen);
    const QRectF m = box.adjusted(3.5, 3.5, -3.5, -3.5);
    if (mark == TMark::Cross) {
        p.drawLine(m.topLeft(), m.bottomRight());
        p.drawLine(m.topRight(), m.bottomLeft());
    } else {
        QPainterPath path;
        path.moveTo(m.left(), m.center().y());
        path.lineTo(m.left() + m.width() * 0.4, m.bottom());
        path.lineTo(m.right(), m.top());
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }
}

QPixmap DrawTile(const TSetLook& look, TGroup group, TVariant variant)
{
    QPixmap tile(TileSize, TileSize);
    tile.fill(Qt::transparent);
    if (group == TGroup::Empty)
        return tile;
    QPainter p(&tile);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette pal = QApplication::palette();
    const bool disabled = variant == TVariant::Disabled;
    QColor fill = variant == TVariant::Hot ? look.HotFill : variant == TVariant::Pressed ? look.PressedFill : look.Fill;
    if (disabled)
        fill = pal.color(QPalette::Button);
    const QColor frame = disabled ? pal.color(QPalette::Mid) : look.Frame;
    const QColor markColor = disabled ? pal.color(QPalette::Mid) : look.MarkColor;
    const QRectF box(1.5, 1.5, 12, 12);
    p.setPen(QPen(frame, look.Flat ? 1.0 : 1.5));
    p.setBrush(fill);
    switch (group) {
    case TGroup::RadioOff:
    case TGroup::RadioOn:
        p.drawEllipse(box);
        if (group == TGroup::RadioOn) {
            p.setPen(Qt::NoPen);
            p.setBrush(markColor);
            p.drawEllipse(box.center(), 2.5, 2.5);
        }
        break;
    case TGroup::Button: {
        const QRectF button(0.5, 0.5, 15, 15);
        p.setBrush(disabled ? pal.color(QPalette::Button) : variant == TVariant::Pressed ? pal.color(QPalette::Mid)
                                                                                          : pal.color(QPalette::Button));
        p.setPen(QPen(pal.color(QPalette::Shadow), 1.0));
        p.drawRect(button);
        if (variant != TVariant::Pressed && !look.Flat) {
            p.setPen(pal.color(QPalette::Light));
            p.drawLine(QPointF(1.5, 1.5), QPointF(14, 1.5));
            p.drawLine(QPointF(1.5, 1.5), QPointF(1.5, 14));
        }
        if (variant == TVariant::Hot) {
            p.setPen(QPen(pal.color(QPalette::Highlight), 1.0));
            p.drawRect(button.adjusted(1, 1, -1, -1));
        }
        break;
    }
    default:
        p.drawRect(box);
        if (group == TGroup::BoxOn)
            DrawMark(p, box, look.Mark, markColor);
        else if (group == TGroup::BoxMixed) {
            p.setPen(Qt::NoPen);
            p.setBrush(markColor);
            p.drawRect(box.adjusted(3, 3, -3, -3));
        }
        break;
    }
    return tile;
}

void FillDrawnSet(TCustomImageList& list, const TSetLook& look)
{
    list.SetSize(TileSize, TileSize);
    list.Add(DrawTile(look, TGroup::Empty, TVariant::Normal).toImage());
    for (TGroup group : {TGroup::RadioOff, TGroup::RadioOn, TGroup::BoxOff, TGroup::BoxOn, TGroup::BoxMixed,
                         TGroup::Button})
        for (TVariant variant : {TVariant::Normal, TVariant::Hot, TVariant::Pressed, TVariant::Disabled})
            list.Add(DrawTile(look, group, variant).toImage());
}

// The platform's own check boxes and radio buttons, drawn by the style.
void FillSystemSet(TCustomImageList& list, bool flat, const TCustomImageList& buttons)
{
    QStyle* style = QApplication::style();
    const int w = style->pixelMetric(QStyle::PM_IndicatorWidth) + 3;
    const int h = style->pixelMetric(QStyle::PM_IndicatorHeight) + 3;
    list.SetSize(w, h);
    QPixmap empty(w, h);
    empty.fill(Qt::transparent);
    list.Add(empty.toImage());
    for (int i = 0; i < 20; ++i) {
        QPixmap tile(w, h);
        tile.fill(Qt::transparent);
        QPainter p(&tile);
        QStyleOptionButton option;
        option.rect = QRect(1, 2, w - 3, h - 3);
        option.palette = QApplication::palette();
        const int state = i % 4;
        option.state = state == 3 ? QStyle::State_None : QStyle::State_Enabled;
        if (state == 1)
            option.state |= QStyle::State_MouseOver;
        if (state == 2)
            option.state |= QStyle::State_Sunken;
        if (flat)
            option.features |= QStyleOptionButton::Flat;
        const bool checked = (i >= 4 && i <= 7) || i >= 12;
        if (i >= 16)
            option.state |= QStyle::State_NoChange;
        else
            option.state |= checked ? QStyle::State_On : QStyle::State_Off;
        style->drawPrimitive(i <= 7 ? QStyle::PE_IndicatorRadioButton : QStyle::PE_IndicatorCheckBox, &option, &p);
        p.end();
        list.Add(tile.toImage());
    }
    for (int i = 21; i <= 24; ++i) {
        QPixmap tile(w, h);
        tile.fill(Qt::transparent);
        QPainter p(&tile);
        p.drawImage((w - TileSize) / 2, (h - TileSize) / 2, buttons.Image(i));
        p.end();
        list.Add(tile.toImage());
    }
}

void FillUtilitySet(TCustomImageList& list)
{
    const QPalette pal = QApplication::palette();
    list.SetSize(TileSize, TileSize);
    auto tile = [&](auto draw) {
        QPixmap pixmap(TileSize, TileSize);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
        p.end();
        list.Add(pixmap.toImage());
    };
    const QColor mark = pal.color(QPalette::Highlight);
    const QColor text = pal.color(QPalette::ButtonText);
    auto dropMark = [&](bool left) {
        tile([&](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(mark);
            const qreal x = left ? 1 : 13;
            p.drawRect(QRectF(x, 1, 2, 14));
        });
    };
    auto sortGlyph = [&](bool up, bool themed) {
        tile([&](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(themed ? pal.color(QPalette::Mid) : text);
            const QPolygonF triangle = up ? QPolygonF({QPointF(4, 10), QPointF(12, 10), QPointF(8, 5)})
                                          : QPolygonF({QPointF(4, 6), QPointF(12, 6), QPointF(8, 11)});
            p.drawPolygon(triangle);
        });
    };
    dropMark(true);
    dropMark(false);
    sortGlyph(false, false); // 2 descending
    sortGlyph(true, false);  // 3 ascending
    sortGlyph(false, true);  // 4 descending, themed
    sortGlyph(true, true);   // 5 ascending, themed
    for (int part = 0; part < 3; ++part)
        tile([&](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xF8, 0xB3, 0x30));
            p.drawRect(QRectF(part == 0 ? 1 : 0, 13, part == 2 ? 15 : 16, 3));
        });
}

struct TImageSets {
    std::array<std::unique_ptr<TCustomImageList>, 9> Lists;
};

TImageSets& Sets()
{
    static TImageSets sets;
    return sets;
}

// Slots of Sets().Lists by kind; 8 is the utility set.
int SlotOf(TCheckImageKind kind)
{
    switch (kind) {
    case TCheckImageKind::ckLightCheck:
        return 0;
    case TCheckImageKind::ckDarkCheck:
        return 1;
    case TCheckImageKind::ckLightTick:
        return 2;
    case TCheckImageKind::ckDarkTick:
        return 3;
    case TCheckImageKind::ckFlat:
        return 4;
    case TCheckImageKind::ckXP:
        return 5;
    case TCheckImageKind::ckSystem:
        return 6;
    case TCheckImageKind::ckSystemFlat:
        return 7;
    default:
        return -1;
    }
}

} // namespace

TCustomImageList* CheckImagesForKind(TCheckImageKind kind)
{
    const int slot = SlotOf(kind);
    return slot < 0 ? nullptr : Sets().Lists[static_cast<size_t>(slot)].get();
}

TCustomImageList* UtilityGlyphSet()
{
    return Sets().Lists[8].get();
}

void CreateCheckImageSets()
{
    auto& lists = Sets().Lists;
    for (auto& list : lists)
        list = std::make_unique<TCustomImageList>(nullptr);
    const QPalette pal = QApplication::palette();
    const QColor window = pal.color(QPalette::Base);
    const QColor face = pal.color(QPalette::Button);
    const QColor shadow = pal.color(QPalette::Mid);
    const QColor text = pal.color(QPalette::ButtonText);
    const QColor hot = window.darker(108);
    FillDrawnSet(*lists[0], {shadow, window, hot, face, text, TMark::Cross, false});
    FillDrawnSet(*lists[1], {text, face, face.lighter(110), shadow, text, TMark::Cross, false});
    FillDrawnSet(*lists[2], {shadow, window, hot, face, text, TMark::Tick, false});
    FillDrawnSet(*lists[3], {text, face, face.lighter(110), shadow, text, TMark::Tick, false});
    FillDrawnSet(*lists[4], {shadow, window, hot, face, text, TMark::Tick, true});
    // why: the XP look keeps its own colours, as its strip was not remapped.
    FillDrawnSet(*lists[5], {QColor(0x1C, 0x51, 0x80), QColor(0xF4, 0xF4, 0xF0), QColor(0xFF, 0xF0, 0xCF),
                             QColor(0xB0, 0xB0, 0xA7), QColor(0x21, 0xA1, 0x21), TMark::Tick, false});
    FillUtilitySet(*lists[8]);
    FillSystemSet(*lists[6], false, *lists[1]);
    FillSystemSet(*lists[7], true, *lists[4]);
}

void FreeCheckImageSets()
{
    for (auto& list : Sets().Lists)
        list.reset();
}
