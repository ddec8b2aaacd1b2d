#include "ExLib/run/controls/ExTextDraw.h"

#include "Platform/core/Exceptions.h"
#include "Platform/graphics/PainterState.h"
#include "Platform/core/QtBridge.h"
#include "Platform/text/TextChars.h"

#include <QFontMetrics>
#include <QPainter>
#include <vector>

namespace {

// Byte offsets at which the characters of `text` start.
std::vector<size_t> CharStarts(std::string_view text)
{
    std::vector<size_t> starts;
    for (size_t i = 0; i < text.size(); i = TextChars::NextCharStart(text, i))
        starts.push_back(i);
    return starts;
}

int Width(const QFontMetrics& metrics, std::string_view text)
{
    return metrics.horizontalAdvance(QStr(text));
}

std::string ElidePath(std::string_view path, const QFontMetrics& metrics, int maxWidth)
{
    if (Width(metrics, path) <= maxWidth)
        return std::string(path);
    const size_t slash = path.rfind('/');
    const std::string_view head = slash == std::string_view::npos ? path : path.substr(0, slash);
    const std::string_view tail = slash == std::string_view::npos ? std::string_view() : path.substr(slash);
    const std::vector<size_t> starts = CharStarts(head);
    for (size_t k = starts.size(); k-- > 0;) {
        std::string candidate = std::string(head.substr(0, starts[k])) + "..." + std::string(tail);
        if (Width(metrics, candidate) <= maxWidth)
            return candidate;
    }
    return "..." + std::string(tail);
}

int QtTextFlags(unsigned format)
{
    int flags = 0;
    flags |= (format & DT_CENTER) ? Qt::AlignHCenter : (format & DT_RIGHT) ? Qt::AlignRight : Qt::AlignLeft;
    if (format & DT_SINGLELINE)
        flags |= (format & DT_VCENTER) ? Qt::AlignVCenter : (format & DT_BOTTOM) ? Qt::AlignBottom : Qt::AlignTop;
    else
        flags |= Qt::AlignTop;
    if (format & DT_WORDBREAK)
        flags |= Qt::TextWordWrap;
    if (format & DT_SINGLELINE)
        flags |= Qt::TextSingleLine;
    if (format & DT_EXPANDTABS)
        flags |= Qt::TextExpandTabs;
    if (format & DT_NOCLIP)
        flags |= Qt::TextDontClip;
    if (!(format & DT_NOPREFIX))
        flags |= Qt::TextShowMnemonic;
    return flags;
}

} // namespace

std::string ShortenTextToWidth(std::string_view text, const TCanvas& canvas, int maxWidth)
{
    const std::vector<size_t> starts = CharStarts(text);
    const int length = static_cast<int>(starts.size());
    std::string result(text);
    for (int i = 2; i - 1 <= length && canvas.TextWidth(result) > maxWidth; ++i) {
        const int keep = std::max(0, length - i);
        result = std::string(text.substr(0, keep < length ? starts[static_cast<size_t>(keep)] : text.size())) + "...";
    }
    return result;
}

std::string ShortenPathToWidth(std::string_view path, TCanvas& canvas, int maxWidth)
{
    const QFontMetrics metrics(canvas.Font().ToQFont());
    if (metrics.height() <= 0)
        return std::string(path);
    return ElidePath(path, metrics, maxWidth);
}

int DrawTextOnCanvas(TCanvas& canvas, std::string_view text, int length, unsigned format, TRect& rect)
{
    format &= ~static_cast<unsigned>(DT_MODIFYSTRING);
    if (length >= 0 && static_cast<size_t>(length) < text.size())
        text = text.substr(0, static_cast<size_t>(length));
    const QFont font = canvas.Font().ToQFont();
    const QFontMetrics metrics(font);
    std::string shown(text);
    if (format & DT_PATH_ELLIPSIS)
        shown = ElidePath(shown, metrics, rect.Width());
    else if (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS))
        shown = StdStr(metrics.elidedText(QStr(shown), Qt::ElideRight, rect.Width()));
    const int flags = QtTextFlags(format);
    const bool wraps = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
    const QRect area(rect.Left, rect.Top, wraps ? std::max(1, rect.Width()) : std::max(rect.Width(), 0x3FFFFFF),
                     0x3FFFFFF);
    const QRect extent = metrics.boundingRect(area, flags, QStr(shown));
    if (format & DT_CALCRECT) {
        rect.Right = rect.Left + extent.width();
        rect.Bottom = rect.Top + extent.height();
        return extent.height();
    }
    QPainter* painter = canvas.Handle();
    if (!painter)
        throw EInvalidOperation("Canvas does not allow drawing");
    const TPainterStateGuard state(*painter);
    painter->setFont(font);
    painter->setPen(ToQColor(canvas.Font().Color()));
    painter->drawText(rect.ToQt(), flags, QStr(shown));
    return extent.height();
}

bool CopyBits(QPainter& dest, int x, int y, int width, int height, const QImage& source, int sourceX, int sourceY,
              unsigned rasterOp)
{
    const QRect target(x, y, width, height);
    switch (rasterOp) {
    case BLACKNESS:
        dest.fillRect(target, Qt::black);
        return true;
    case WHITENESS:
        dest.fillRect(target, Qt::white);
        return true;
    default:
        break;
    }
    QPainter::CompositionMode mode;
    switch (rasterOp) {
    case SRCCOPY: mode = QPainter::CompositionMode_Source; break;
    case SRCPAINT: mode = QPainter::RasterOp_SourceOrDestination; break;
    case SRCAND: mode = QPainter::RasterOp_SourceAndDestination; break;
    case SRCINVERT: mode = QPainter::RasterOp_SourceXorDestination; break;
    case SRCERASE: mode = QPainter::RasterOp_SourceAndNotDestination; break;
    case NOTSRCCOPY: mode = QPainter::RasterOp_NotSource; break;
    case NOTSRCERASE: mode = QPainter::RasterOp_NotSourceAndNotDestination; break;
    case MERGEPAINT: mode = QPainter::RasterOp_NotSourceOrDestination; break;
    case DSTINVERT: mode = QPainter::RasterOp_NotDestination; break;
    default: return false;
    }
    const QPainter::CompositionMode previous = dest.compositionMode();
    dest.setCompositionMode(mode);
    if (rasterOp == DSTINVERT)
        dest.fillRect(target, Qt::black);
    else
        dest.drawImage(target, source, QRect(sourceX, sourceY, width, height));
    dest.setCompositionMode(previous);
    return true;
}
