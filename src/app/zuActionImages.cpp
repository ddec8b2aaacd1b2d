// Command images from the icon theme, and the few drawn here.

#include "app/zuActionImages.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStandardPaths>

#include <functional>

namespace {

// The sizes the tool bar, the menus and the tab strip ask for.
constexpr int ImageSizes[] = {16, 22, 24, 32, 48};

// Tango's palette, so that drawn images sit well beside the theme's.
const QColor PaperFill(0xFF, 0xFF, 0xFF);
const QColor PaperEdge(0x88, 0x8A, 0x85);
const QColor DiskFill(0x34, 0x65, 0xA4);
const QColor DiskEdge(0x20, 0x4A, 0x87);
const QColor DiskMetal(0xBA, 0xBD, 0xB6);
const QColor CrossRed(0xCC, 0x00, 0x00);

QIcon DrawIcon(const std::function<void(QPainter&, int size)>& draw)
{
    QIcon icon;
    for (const int size : ImageSizes) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter, size);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// A sheet of paper with a folded corner filling `r`.
void DrawPage(QPainter& p, const QRectF& r)
{
    const qreal fold = r.width() / 3;
    QPainterPath sheet;
    sheet.moveTo(r.topLeft());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.bottomRight());
    sheet.lineTo(r.bottomLeft());
    sheet.closeSubpath();
    p.setPen(QPen(PaperEdge, 1));
    p.setBrush(PaperFill);
    p.drawPath(sheet);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

// A floppy disk filling `r`.
void DrawDisk(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(DiskEdge, 1));
    p.setBrush(DiskFill);
    p.drawRoundedRect(r, r.width() / 10, r.width() / 10);
    p.setPen(Qt::NoPen);
    p.setBrush(PaperFill);
    p.drawRect(QRectF(r.left() + r.width() * 0.2, r.top() + 1, r.width() * 0.6, r.height() * 0.45));
    p.setBrush(DiskMetal);
    p.drawRect(QRectF(r.left() + r.width() * 0.3, r.bottom() - r.height() * 0.3, r.width() * 0.4, r.height() * 0.3));
}

void DrawCross(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(CrossRed, std::max<qreal>(2, r.width() / 4), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

// Two disks, the theme's own when it has one.
QIcon DrawSaveAll()
{
    const QIcon disk = QIcon::fromTheme(QStringLiteral("document-save"));
    return DrawIcon([&disk](QPainter& p, int size) {
        const int s = size * 3 / 4;
        for (const QRect r : {QRect(size - s, 0, s, s), QRect(0, size - s, s, s)}) {
            if (disk.isNull())
                DrawDisk(p, QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5));
            else
                p.drawPixmap(r, disk.pixmap(s));
        }
    });
}

// A page with a red cross over its lower corner.
QIcon DrawClose()
{
    return DrawIcon([](QPainter& p, int size) {
        const qreal s = size;
        DrawPage(p, QRectF(s * 0.12 + 0.5, 0.5, s * 0.7, s - 1));
        const qreal m = s * 0.45;
        DrawCross(p, QRectF(s - m - s * 0.05, s - m - s * 0.05, m * 0.8, m * 0.8));
    });
}

} // namespace

void UseIconThemeOfDesktopOrFallback()
{
    // why: some platforms (the offscreen one among them) look only in the program's own
    // resources; the freedesktop folders hold the installed themes.
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString& folder :
         QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"), QStandardPaths::LocateDirectory))
        if (!paths.contains(folder))
            paths << folder;
    QIcon::setThemeSearchPaths(paths);
    const QString fallback = QString::fromLatin1(FallbackIconTheme.data(), qsizetype(FallbackIconTheme.size()));
    QIcon::setFallbackThemeName(fallback);
    // why: without a desktop Qt looks only in "hicolor", which holds application icons, not
    // the images of commands.
    const QString desktop = QIcon::themeName();
    if (desktop.isEmpty() || desktop == QLatin1String("hicolor"))
        QIcon::setThemeName(fallback);
}

QIcon ActionImage(std::string_view name)
{
    const QString themeName = QString::fromLatin1(name.data(), qsizetype(name.size()));
    if (QIcon::hasThemeIcon(themeName))
        return QIcon::fromTheme(themeName);
    if (name == "document-save-all")
        return DrawSaveAll();
    if (name == "document-close")
        return DrawClose();
    return {};
}
