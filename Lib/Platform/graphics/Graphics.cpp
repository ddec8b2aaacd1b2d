#include "Platform/graphics/Graphics.h"

#include "Platform/core/QtBridge.h"
#include "Platform/text/TextUtils.h"

#include <QFontDatabase>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace {

bool IsFixedPitchFamily(const std::string& name)
{
    static const char* const fixed[] = {"Courier New", "Courier", "Lucida Console", "Consolas", "Fixedsys", "Terminal"};
    for (const char* f : fixed)
        if (SameText(name, f))
            return true;
    return false;
}

} // namespace

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    const std::int64_t divisor = std::abs(static_cast<std::int64_t>(denominator));
    const std::int64_t magnitude = (std::abs(product) + divisor / 2) / divisor;
    if (magnitude > std::numeric_limits<int>::max())
        return -1;
    return static_cast<int>((product < 0) != (denominator < 0) ? -magnitude : magnitude);
}

TFont::TFont() = default;

void TFont::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TFont::SetName(const std::string& name)
{
    if (name.empty() || name == FName)
        return;
    FName = name;
    Changed();
}

int TFont::Size() const
{
    return -MulDiv(FHeight, 72, FPixelsPerInch);
}

void TFont::SetSize(int points)
{
    SetHeight(-MulDiv(points, FPixelsPerInch, 72));
}

void TFont::SetHeight(int pixels)
{
    if (pixels == FHeight)
        return;
    FHeight = pixels;
    Changed();
}

void TFont::SetStyle(TFontStyles style)
{
    if (style == FStyle)
        return;
    FStyle = style;
    Changed();
}

void TFont::SetColor(TColor color)
{
    if (color == FColor)
        return;
    FColor = color;
    Changed();
}

void TFont::SetCharset(TFontCharset charset)
{
    if (charset == FCharset)
        return;
    FCharset = charset;
    Changed();
}

void TFont::SetPitch(TFontPitch pitch)
{
    if (pitch == FPitch)
        return;
    FPitch = pitch;
    Changed();
}

void TFont::SetPixelsPerInch(int ppi)
{
    if (ppi > 0)
        FPixelsPerInch = ppi;
}

std::string ResolveFontFamily(const std::string& name)
{
    const QString family = QStr(name);
    if (QFontDatabase::families().contains(family, Qt::CaseInsensitive))
        return name;
    if (IsFixedPitchFamily(name))
        return StdStr(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    return name;
}

QFont TFont::ToQFont() const
{
    QFont font(QStr(ResolveFontFamily(FName)));
    font.setPixelSize(std::max(1, std::abs(FHeight)));
    font.setBold(FStyle.Contains(fsBold));
    font.setItalic(FStyle.Contains(fsItalic));
    font.setUnderline(FStyle.Contains(fsUnderline));
    font.setStrikeOut(FStyle.Contains(fsStrikeOut));
    if (FPitch == TFontPitch::fpFixed || IsFixedPitchFamily(FName)) {
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
    }
    return font;
}

void TFont::Assign(const TPersistent& source)
{
    if (auto f = dynamic_cast<const TFont*>(&source)) {
        if (f == this)
            return;
        FName = f->FName;
        FHeight = f->FHeight;
        FStyle = f->FStyle;
        FColor = f->FColor;
        FCharset = f->FCharset;
        FPitch = f->FPitch;
        FPixelsPerInch = f->FPixelsPerInch;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

// ---- TPen

void TPen::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TPen::SetColor(TColor color)
{
    if (color != FColor) {
        FColor = color;
        Changed();
    }
}

void TPen::SetWidth(int width)
{
    if (width != FWidth) {
        FWidth = width;
        Changed();
    }
}

void TPen::SetStyle(TPenStyle style)
{
    if (style != FStyle) {
        FStyle = style;
        Changed();
    }
}

void TPen::SetMode(TPenMode mode)
{
    if (mode != FMode) {
        FMode = mode;
        Changed();
    }
}

QPen TPen::ToQPen() const
{
    if (FStyle == TPenStyle::psClear)
        return QPen(Qt::NoPen);
    QPen pen(ToQColor(FColor));
    pen.setWidth(std::max(1, FWidth));
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    switch (FStyle) {
    case TPenStyle::psDash: pen.setStyle(Qt::DashLine); break;
    case TPenStyle::psDot: pen.setStyle(Qt::DotLine); break;
    case TPenStyle::psDashDot: pen.setStyle(Qt::DashDotLine); break;
    case TPenStyle::psDashDotDot: pen.setStyle(Qt::DashDotDotLine); break;
    default: pen.setStyle(Qt::SolidLine); break;
    }
    return pen;
}

void TPen::Assign(const TPersistent& source)
{
    if (auto p = dynamic_cast<const TPen*>(&source)) {
        FColor = p->FColor;
        FWidth = p->FWidth;
        FStyle = p->FStyle;
        FMode = p->FMode;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

// ---- TBrush

void TBrush::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TBrush::SetColor(TColor color)
{
    if (color != FColor) {
        FColor = color;
        if (FStyle == TBrushStyle::bsClear)
            FStyle = TBrushStyle::bsSolid;
        Changed();
    }
}

void TBrush::SetStyle(TBrushStyle style)
{
    if (style != FStyle) {
        FStyle = style;
        Changed();
    }
}

QBrush TBrush::ToQBrush() const
{
    const QColor c = ToQColor(FColor);
    switch (FStyle) {
    case TBrushStyle::bsClear: return QBrush(Qt::NoBrush);
    case TBrushStyle::bsHorizontal: return QBrush(c, Qt::HorPattern);
    case TBrushStyle::bsVertical: return QBrush(c, Qt::VerPattern);
    case TBrushStyle::bsFDiagonal: return QBrush(c, Qt::FDiagPattern);
    case TBrushStyle::bsBDiagonal: return QBrush(c, Qt::BDiagPattern);
    case TBrushStyle::bsCross: return QBrush(c, Qt::CrossPattern);
    case TBrushStyle::bsDiagCross: return QBrush(c, Qt::DiagCrossPattern);
    default: return QBrush(c);
    }
}

void TBrush::Assign(const TPersistent& source)
{
    if (auto b = dynamic_cast<const TBrush*>(&source)) {
        FColor = b->FColor;
        FStyle = b->FStyle;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}
