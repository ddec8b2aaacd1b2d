#include "TreeView/Source/input/LTPanningWindow.h"

#include "TreeView/Source/core/LTErrors.h"

#include <QBitmap>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

constexpr int Size = 32;

// An arrow head pointing from the centre in direction (dx, dy), drawn at distance `reach`.
void ArrowHead(QPainter& p, double dx, double dy, double reach)
{
    const double length = std::hypot(dx, dy);
    dx /= length;
    dy /= length;
    const QPointF tip(15.5 + dx * reach, 15.5 + dy * reach);
    const QPointF back(15.5 + dx * (reach - 6), 15.5 + dy * (reach - 6));
    const QPointF side(-dy * 4.5, dx * 4.5);
    p.drawPolygon(QPolygonF({tip, back + side, back - side}));
}

struct TArrows {
    bool N = false, S = false, E = false, W = false, NE = false, NW = false, SE = false, SW = false;
};

TArrows ArrowsOf(TPanningShape shape)
{
    TArrows a;
    switch (shape) {
    case TPanningShape::MoveAll:
        a.N = a.S = a.E = a.W = true;
        break;
    case TPanningShape::MoveEW:
        a.E = a.W = true;
        break;
    case TPanningShape::MoveNS:
        a.N = a.S = true;
        break;
    case TPanningShape::MoveN:
        a.N = true;
        break;
    case TPanningShape::MoveS:
        a.S = true;
        break;
    case TPanningShape::MoveE:
        a.E = true;
        break;
    case TPanningShape::MoveW:
        a.W = true;
        break;
    case TPanningShape::MoveNE:
        a.NE = true;
        break;
    case TPanningShape::MoveNW:
        a.NW = true;
        break;
    case TPanningShape::MoveSE:
        a.SE = true;
        break;
    case TPanningShape::MoveSW:
        a.SW = true;
        break;
    }
    return a;
}

void DrawArrows(QPainter& p, const TArrows& a, double reach)
{
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(Qt::black);
    if (a.N)
        ArrowHead(p, 0, -1, reach);
    if (a.S)
        ArrowHead(p, 0, 1, reach);
    if (a.E)
        ArrowHead(p, 1, 0, reach);
    if (a.W)
        ArrowHead(p, -1, 0, reach);
    if (a.NE)
        ArrowHead(p, 1, -1, reach);
    if (a.NW)
        ArrowHead(p, -1, -1, reach);
    if (a.SE)
        ArrowHead(p, 1, 1, reach);
    if (a.SW)
        ArrowHead(p, -1, 1, reach);
    p.drawEllipse(QPointF(15.5, 15.5), 2, 2);
}

} // namespace

QImage PanningImage(TPanningShape shape)
{
    QImage image(Size, Size, QImage::Format_RGB32);
    image.fill(PanningKeyColor);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawEllipse(QRect(0, 0, Size - 1, Size - 1));
    DrawArrows(p, ArrowsOf(shape), 13);
    return image;
}

QCursor PanningCursor(TPanningShape shape)
{
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    DrawArrows(p, ArrowsOf(shape), 14);
    p.end();
    return QCursor(pixmap, Size / 2, Size / 2);
}

TLTPanningWindow::TLTPanningWindow(QWidget* owner, const QImage& image, QPoint screenCentre)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint), FImage(image)
{
    const QImage mask = image.createMaskFromColor(PanningKeyColor, Qt::MaskOutColor);
    const QBitmap bitmap = QBitmap::fromImage(mask);
    LTAssert(!image.isNull() && !QRegion(bitmap).isEmpty(), "Invalid wheel panning image.");
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    resize(image.size());
    setMask(bitmap);
    move(screenCentre - QPoint(image.width() / 2, image.height() / 2));
}

void TLTPanningWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, FImage);
}
