#include "Platform/graphics/Colors.h"

#include "Platform/core/Exceptions.h"
#include "Platform/text/TextUtils.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

struct NamedColor {
    TColor Value;
    const char* Name;
};

constexpr NamedColor ColorNames[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"}, {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"}, {clActiveCaption, "clActiveCaption"}, {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"}, {clBtnFace, "clBtnFace"}, {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"}, {clBtnText, "clBtnText"}, {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"}, {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"}, {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"}, {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"}, {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"}, {clInfoBk, "clInfoBk"}, {clInfoText, "clInfoText"},
    {clMenu, "clMenu"}, {clMenuBar, "clMenuBar"}, {clMenuHighlight, "clMenuHighlight"}, {clMenuText, "clMenuText"},
    {clNone, "clNone"}, {clScrollBar, "clScrollBar"}, {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"}, {clWindowFrame, "clWindowFrame"}, {clWindowText, "clWindowText"},
};

QColor SystemQColor(int index)
{
    const QPalette palette = QGuiApplication::palette();
    switch (index) {
    case 0: return palette.color(QPalette::Button);                  // scroll bar
    case 1: return palette.color(QPalette::Window);                  // desktop
    case 2: return palette.color(QPalette::Active, QPalette::Highlight);
    case 3: return palette.color(QPalette::Inactive, QPalette::Highlight);
    case 4: return palette.color(QPalette::Window);                  // menu
    case 5: return palette.color(QPalette::Base);                    // window
    case 6: return palette.color(QPalette::Shadow);                  // window frame
    case 7: return palette.color(QPalette::WindowText);              // menu text
    case 8: return palette.color(QPalette::Text);                    // window text
    case 9: return palette.color(QPalette::Active, QPalette::HighlightedText);
    case 10:
    case 11: return palette.color(QPalette::Button);                 // borders
    case 12: return palette.color(QPalette::Dark);                   // application work space
    case 13: return palette.color(QPalette::Highlight);
    case 14: return palette.color(QPalette::HighlightedText);
    case 15: return palette.color(QPalette::Button);                 // button face
    case 16: return palette.color(QPalette::Mid);                    // button shadow
    case 17: return palette.color(QPalette::Disabled, QPalette::Text);
    case 18: return palette.color(QPalette::ButtonText);
    case 19: return palette.color(QPalette::Inactive, QPalette::HighlightedText);
    case 20: return palette.color(QPalette::Light);                  // button highlight
    case 21: return palette.color(QPalette::Shadow);                 // 3D dark shadow
    case 22: return palette.color(QPalette::Midlight);               // 3D light
    case 23: return palette.color(QPalette::ToolTipText);
    case 24: return palette.color(QPalette::ToolTipBase);
    case 26: return palette.color(QPalette::Link);                   // hot light
    case 27: return palette.color(QPalette::Active, QPalette::Highlight).lighter(150);
    case 28: return palette.color(QPalette::Inactive, QPalette::Highlight).lighter(150);
    case 29: return palette.color(QPalette::Highlight);              // menu highlight
    case 30: return palette.color(QPalette::Window);                 // menu bar
    default: return palette.color(QPalette::Window);
    }
}

} // namespace

TColor ColorToRGB(TColor color)
{
    if (color == clNone)
        return clWhite;
    if (color == clDefault)
        return clBlack;
    if (IsSystemColor(color))
        return FromQColor(SystemQColor(color & 0xFF));
    return color & 0x00FFFFFF;
}

QColor ToQColor(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQColor(const QColor& color)
{
    return RGBColor(color.red(), color.green(), color.blue());
}

bool ColorToIdent(TColor color, std::string& ident)
{
    for (const auto& named : ColorNames)
        if (named.Value == color) {
            ident = named.Name;
            return true;
        }
    return false;
}

bool IdentToColor(const std::string& ident, TColor& color)
{
    for (const auto& named : ColorNames)
        if (SameText(named.Name, ident)) {
            color = named.Value;
            return true;
        }
    return false;
}

std::string ColorToString(TColor color)
{
    std::string name;
    if (ColorToIdent(color, name))
        return name;
    std::string text = "$";
    text += IntToHex(static_cast<std::uint32_t>(color), 8);
    return text;
}

TColor StringToColor(const std::string& text)
{
    TColor color = 0;
    if (IdentToColor(text, color))
        return color;
    return StrToInt(text);
}
