#include "TreeView/Source/paint/LTDrawText.h"

#include "Platform/graphics/PainterState.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

int QtFlags(unsigned flags)
{
    int qt = 0;
    if (flags & DT_CENTER)
        qt |= Qt::AlignHCenter;
    else if (flags & DT_RIGHT)
        qt |= Qt::AlignRight;
    else
        qt |= Qt::AlignLeft;
    if (flags & DT_SINGLELINE) {
        qt |= Qt::TextSingleLine;
        qt |= (flags & DT_VCENTER) ? Qt::AlignVCenter : (flags & DT_BOTTOM) ? Qt::AlignBottom : Qt::AlignTop;
    } else {
        qt |= Qt::AlignTop;
        if (flags & DT_WORDBREAK)
            qt |= Qt::TextWordWrap;
    }
    if (!(flags & DT_NOPREFIX))
        qt |= Qt::TextShowMnemonic;
    return qt;
}

} // namespace

int DrawTextInRect(QPainter* painter, const QFont& font, const QString& text, TRect& r, unsigned flags)
{
    const QFontMetrics metrics(font);
    const int qtFlags = QtFlags(flags);
    if (flags & DT_CALCRECT) {
        const int width = (flags & (DT_WORDBREAK)) && !(flags & DT_SINGLELINE) ? std::max(r.Width(), 1) : 1 << 20;
        const QRect bounds = metrics.boundingRect(QRect(r.Left, r.Top, width, 1 << 20), qtFlags & ~Qt::AlignVCenter, text);
        const int height = text.isEmpty() ? metrics.height() : bounds.height();
        r.Bottom = r.Top + height;
        if (!(flags & DT_WORDBREAK) || (flags & DT_SINGLELINE) || bounds.width() > r.Width())
            r.Right = r.Left + bounds.width();
        return height;
    }
    if (!painter)
        return 0;
    QString shown = text;
    if ((flags & DT_END_ELLIPSIS) && (flags & DT_SINGLELINE))
        shown = metrics.elidedText(text, (flags & DT_RTLREADING) ? Qt::ElideLeft : Qt::ElideRight, r.Width());
    const TPainterStateGuard guard(*painter);
    painter->setFont(font);
    if (flags & DT_RTLREADING)
        painter->setLayoutDirection(Qt::RightToLeft);
    QRect bounds;
    const QRect area = r.ToQt();
    if (flags & DT_NOCLIP) {
        painter->drawText(area, qtFlags | Qt::TextDontClip, shown, &bounds);
    } else {
        painter->setClipRect(area, Qt::IntersectClip);
        painter->drawText(area, qtFlags, shown, &bounds);
    }
    return bounds.height();
}
