#include "ExLib/run/menus/ExXPMenuItemPainter.h"

#include "Platform/graphics/PainterState.h"

#include <QPainter>

namespace {

constexpr TColor White = RGBColor(255, 255, 255);

} // namespace

TExXPMenuItemPainter::TExXPMenuItemPainter(TComponent* AOwner) : TExCustomMenuItemPainter(AOwner)
{
    ImageBackground = RGBColor(216, 216, 209);
    FSelectionBrush.SetStyle(TBrushStyle::bsSolid);
    FSelectionBrush.SetColor(RGBColor(182, 189, 210));
    FSelectionPen.SetStyle(TPenStyle::psSolid);
    FSelectionPen.SetColor(RGBColor(10, 36, 106));
}

std::unique_ptr<TExCustomMenuItemPainter> CreateXPMenuItemPainter()
{
    return std::make_unique<TExXPMenuItemPainter>(nullptr);
}

bool TExXPMenuItemPainter::EmbossDisabled()
{
    return IsBarItem();
}

int TExXPMenuItemPainter::CaptionIndent()
{
    return (Menu() ? Menu()->TextMargin : 0) + 2;
}

void TExXPMenuItemPainter::LoadMenuSettings()
{
    TExCustomMenuItemPainter::LoadMenuSettings();
    AddMargins(6, 4, 4, 4);
}

void TExXPMenuItemPainter::BeginItem(TMenuItem* item, const TRect& r, bool measuring, TOwnerDrawState state)
{
    // Items are not pre-filled unless OnGetItemParams gives a colour.
    Canvas().Brush().SetColor(clNone);
    TExCustomMenuItemPainter::BeginItem(item, r, measuring, state);
}

void TExXPMenuItemPainter::ComputeItemSize(TMenuItem* item, int& width, int& height)
{
    TExCustomMenuItemPainter::ComputeItemSize(item, width, height);
    if (item->IsLine())
        height = 3;
    else
        height += 2;
}

void TExXPMenuItemPainter::FramedRect(const TRect& r, const TPen& pen, TColor fill)
{
    TCanvas& canvas = Canvas();
    canvas.Pen().Assign(pen);
    const TBrushStyle style = canvas.Brush().Style();
    canvas.Brush().SetStyle(fill == clNone ? TBrushStyle::bsClear : TBrushStyle::bsSolid);
    if (fill != clNone)
        canvas.Brush().SetColor(fill);
    canvas.Rectangle(r);
    canvas.Brush().SetStyle(style);
}

void TExXPMenuItemPainter::RenderItemBackground(const TRect& r)
{
    if (!IsBarItem()) {
        FillRect(r, White);
        return;
    }
    if (State().Contains(odHotLight)) {
        FramedRect(r, FSelectionPen, FSelectionBrush.Color());
        return;
    }
    // No flat-menu setting here: the classic look.
    TPen pen;
    pen.SetColor(clBtnFace);
    FramedRect(r, pen, clBtnFace);
}

void TExXPMenuItemPainter::RenderCheckColumn(const TRect& r)
{
    RenderImageColumn(r);
}

void TExXPMenuItemPainter::RenderImageColumn(const TRect& r)
{
    FillRect(Rect(r.Left, r.Top, r.Right, r.Bottom + 1), ImageBackground);
}

void TExXPMenuItemPainter::RenderSelectionFrame(const TRect& r)
{
    Canvas().Font().SetColor(clMenuText);
    if (IsBarItem()) {
        TPen pen;
        pen.SetColor(RGBColor(128, 128, 128));
        FramedRect(r, pen, RGBColor(192, 192, 192));
        return;
    }
    FillRect(Rect(0, r.Top, r.Right + 4, r.Bottom - 1), FSelectionBrush.Color());
    TCanvas& canvas = Canvas();
    canvas.Pen().Assign(FSelectionPen);
    canvas.MoveTo(0, r.Top);
    canvas.LineTo(r.Right + 4, r.Top);
    canvas.MoveTo(0, r.Bottom - 2);
    canvas.LineTo(r.Right + 4, r.Bottom - 2);
}

void TExXPMenuItemPainter::RenderCheckedImageBox(const TRect& r)
{
    FramedRect(Rect(r.Left, r.Top + 1, r.Right - 3, r.Bottom - 2), FSelectionPen,
               Selected() ? CheckedImageBackColorSelected : CheckedImageBackColor);
}

void TExXPMenuItemPainter::RenderCheckGlyph(const TRect& r)
{
    TExCustomMenuItemPainter::RenderCheckGlyph(Rect(r.Left - 2, r.Top, r.Right - 2, r.Bottom - 1));
}

void TExXPMenuItemPainter::RenderShadow(int x, int y, const QImage& image)
{
    if (image.isNull())
        return;
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(ToQColor(ColorToRGB(Canvas().Brush().Color())));
    {
        QPainter p(&flat);
        p.drawImage(0, 0, image);
    }
    const QRgb background = flat.pixel(0, flat.height() - 1);
    QImage shadow(image.size(), QImage::Format_ARGB32);
    shadow.fill(Qt::transparent);
    const QRgb ink = ToQColor(ColorToRGB(ShadowColor)).rgb();
    for (int row = 0; row < flat.height(); ++row)
        for (int col = 0; col < flat.width(); ++col)
            if (flat.pixel(col, row) != background)
                shadow.setPixel(col, row, ink);
    Canvas().Draw(x + 1, y + 1, shadow);
}

void TExXPMenuItemPainter::RenderImage(int x, int y)
{
    x -= 3;
    if (Selected()) {
        const TCustomImageList* hot = Menu()->HotImages();
        const TCustomImageList* list = hot && hot->ValidIndex(ImageIndex()) ? hot : Menu()->Images();
        RenderShadow(x, y, list->Image(ImageIndex()));
        --x;
        --y;
    }
    TExCustomMenuItemPainter::RenderImage(x, y);
}

void TExXPMenuItemPainter::RenderDisabledImage(int x, int y)
{
    TExCustomMenuItemPainter::RenderDisabledImage(x - 3, y);
}

void TExXPMenuItemPainter::RenderBitmap(int x, int y, const QImage& bitmap)
{
    if (Disabled()) {
        RenderDisabledBitmap(x, y, bitmap);
        return;
    }
    if (Selected() && !Graphic().isNull()) {
        RenderShadow(x, y, bitmap);
        --x;
        --y;
    }
    TExCustomMenuItemPainter::RenderBitmap(x, y, bitmap);
}

void TExXPMenuItemPainter::RenderSeparatorLine(const TRect& r)
{
    const int left = r.Left + CheckGlyphWidth() + Margins().Left + GlyphWidth() + Margins().Right + CaptionIndent();
    Line(left, r.Top + 1, r.Right, r.Top + 1, SeparatorColor);
}

void TExXPMenuItemPainter::RenderCaption(const TRect& r, const std::string& text, unsigned format)
{
    TExCustomMenuItemPainter::RenderCaption(Rect(r.Left, r.Top, r.Right, r.Bottom - 1), text, format);
}

void TExXPMenuItemPainter::RenderItem(TMenuItem* item, const TRect& r, TOwnerDrawState state)
{
    if (item && Menu() && !Menu()->IsBarItem(item) && !Menu()->ComponentState().Contains(csDesigning) && Window()) {
        LoadMenuSettings();
        RenderDropDownFrame(r, state.Contains(odSelected));
    }
    TExCustomMenuItemPainter::RenderItem(item, r, state);
}

void TExXPMenuItemPainter::RenderDropDownFrame(const TRect& item, bool selected)
{
    QPainter* painter = Canvas().Handle();
    if (!painter)
        return;
    const TPainterStateGuard guard(painter);
    painter->setClipping(false);
    // The canvas works in client coordinates; the frame lies in the window's own.
    painter->translate(-OwnerDrawMenuFrame, -OwnerDrawMenuFrame);
    const int left = 0, top = 0, right = Window()->width(), bottom = Window()->height();
    const int bandTop = top + item.Top + 3, bandBottom = top + item.Bottom + 3;
    const int column = left + CheckGlyphWidth() + Margins().Left + GlyphWidth() + Margins().Right + 1;
    const int extra = item.Left >= 1 ? 1 : 0;

    TPen outline;
    outline.SetColor(RGBColor(102, 102, 102));
    FramedRect(Rect(left, top, right, bottom), outline, clNone);
    for (int y : {top + 1, top + 2, bottom - 3, bottom - 2})
        Line(left + 1, y, right - 1, y, White);
    Line(right - 2, bandTop, right - 2, bandBottom, White);
    Line(right - 3, bandTop, right - 3, bandBottom, White);
    Line(left + 1, bandTop, left + 1, bandBottom, ImageBackground);
    Line(left + 2, bandTop, left + 2, bandBottom, ImageBackground);
    Line(left + 1, top + 2, column + extra, top + 2, ImageBackground);
    Line(left + 1, bottom - 3, column + extra, bottom - 3, ImageBackground);
    if (extra)
        Line(left + 3, bandTop, left + 3, bandBottom, ImageBackground);
    if (!selected)
        return;
    const TColor pen = FSelectionPen.Color();
    const int bandEnd = top + item.Bottom + 2;
    Line(left + 2, bandTop, left + 2, bandEnd, pen);
    Line(right - 3, bandTop, right - 3, bandEnd, pen);
    const int stripEnd = top + item.Bottom + 1;
    Line(left + 3, bandTop, left + 3, stripEnd, FSelectionBrush.Color());
    Line(left + 3, bandTop, left + 3, bandTop + 1, pen);
    Line(left + 3, stripEnd - 1, left + 3, stripEnd, pen);
}
