#include "code/zuCodeImages.h"

#include "Platform/graphics/ImgList.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// A rounded square in `fill` with a white letter, the way editors mark kinds of symbols.
QImage Badge(QColor fill, char letter)
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(fill.darker(140));
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 3, 3);
    QFont font = painter.font();
    font.setPixelSize(11);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(1, 1, 14, 14), Qt::AlignCenter, QString(QChar(letter)));
    return image;
}

} // namespace

void AddCodeKindImages(TCustomImageList& images)
{
    images.Add(Badge(QColor(0x2f, 0x6f, 0xc0), 'C'));
    images.Add(Badge(QColor(0x8a, 0x3f, 0xb0), 'f'));
    images.Add(Badge(QColor(0x1f, 0x8f, 0x8a), 'v'));
    images.Add(Badge(QColor(0x4a, 0x8f, 0x2a), 'i'));
}

void AddLibraryImages(TCustomImageList& images)
{
    QImage book(16, 16, QImage::Format_ARGB32_Premultiplied);
    book.fill(Qt::transparent);
    {
        QPainter painter(&book);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QColor(0x7a, 0x55, 0x20));
        painter.setBrush(QColor(0xe8, 0xb8, 0x4a));
        painter.drawRoundedRect(QRectF(2.5, 1.5, 11, 13), 1.5, 1.5);
        painter.setPen(QColor(0xfff4dc));
        painter.drawLine(QPointF(5, 5), QPointF(11, 5));
        painter.drawLine(QPointF(5, 8), QPointF(11, 8));
    }
    images.Add(book);
    QImage page(16, 16, QImage::Format_ARGB32_Premultiplied);
    page.fill(Qt::transparent);
    {
        QPainter painter(&page);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QColor(0x80, 0x80, 0x80));
        painter.setBrush(Qt::white);
        QPainterPath sheet;
        sheet.moveTo(3.5, 1.5);
        sheet.lineTo(10, 1.5);
        sheet.lineTo(12.5, 4);
        sheet.lineTo(12.5, 14.5);
        sheet.lineTo(3.5, 14.5);
        sheet.closeSubpath();
        painter.drawPath(sheet);
        painter.setPen(QColor(0x4a, 0x7a, 0xc0));
        for (int y = 6; y <= 12; y += 3)
            painter.drawLine(QPointF(5.5, y), QPointF(10.5, y));
    }
    images.Add(page);
}
