#include "Platform/controls/ControlFont.h"

#include "Platform/core/QtBridge.h"

#include <QFontInfo>
#include <QWidget>

void AssignQFont(TFont& font, const QFont& qfont)
{
    const QFontInfo info(qfont);
    TFont copy;
    copy.SetColor(font.Color());
    copy.SetName(StdStr(qfont.family()));
    copy.SetHeight(-std::max(1, info.pixelSize()));
    TFontStyles style;
    if (qfont.bold())
        style.Include(fsBold);
    if (qfont.italic())
        style.Include(fsItalic);
    if (qfont.underline())
        style.Include(fsUnderline);
    if (qfont.strikeOut())
        style.Include(fsStrikeOut);
    copy.SetStyle(style);
    if (qfont.fixedPitch())
        copy.SetPitch(TFontPitch::fpFixed);
    font.Assign(copy);
}

TControlFont::TControlFont(QWidget& widget) : FWidget(widget)
{
    FSyncing = true;
    AssignQFont(FFont, widget.font());
    FSyncing = false;
    FFont.OnChange = [this](TObject*) { Apply(); };
}

void TControlFont::Sync()
{
    FSyncing = true;
    AssignQFont(FFont, FWidget.font());
    FSyncing = false;
}

void TControlFont::Apply()
{
    if (FSyncing)
        return;
    // why: a palette of its own would cut the widget off from its parent's colours, so the
    // default text colour leaves the palette alone.
    if (FFont.Color() != clWindowText) {
        QPalette palette = FWidget.palette();
        const QColor color = ToQColor(FFont.Color());
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
            for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
                palette.setColor(group, role, color);
        FWidget.setPalette(palette);
    }
    FWidget.setFont(FFont.ToQFont());
}
