#include "ExLib/run/menus/ExMenuItemPainter.h"
#include "ExLib/run/menus/ExXPMenuItemPainter.h"

#include "ExLib/run/controls/ExDrawUtils.h"
#include "ExLib/run/controls/ExTextDraw.h"

#include "Platform/core/Application.h"
#include "Platform/core/Exceptions.h"

#include <QPainter>

namespace {

constexpr unsigned CaptionFormat = DT_SINGLELINE | DT_EXPANDTABS;

bool IsMono(const QImage& image)
{
    return image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB;
}

// Draws the set (dark) pixels of a monochrome picture in `color`; the others stay as they are.
void StampMono(TCanvas& canvas, int x, int y, const QImage& mono, TColor color)
{
    QImage stamp(mono.size(), QImage::Format_ARGB32);
    stamp.fill(Qt::transparent);
    const QRgb ink = ToQColor(ColorToRGB(color)).rgb();
    for (int row = 0; row < mono.height(); ++row)
        for (int col = 0; col < mono.width(); ++col)
            if (qGray(mono.pixel(col, row)) < 128)
                stamp.setPixel(col, row, ink);
    canvas.Draw(x, y, stamp);
}

// The system's check mark (or radio bullet) as a monochrome picture: dark on light.
QImage CheckGlyph(int size, bool radio)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        if (radio) {
            const int d = std::max(2, size / 3);
            p.drawEllipse(QRect((size - d) / 2, (size - d) / 2, d, d));
        } else {
            const int w = size;
            const QPoint mark[] = {{w * 2 / 10, w * 5 / 10}, {w * 4 / 10, w * 7 / 10}, {w * 8 / 10, w * 3 / 10},
                                   {w * 8 / 10, w * 5 / 10}, {w * 4 / 10, w * 9 / 10}, {w * 2 / 10, w * 7 / 10}};
            p.drawPolygon(mark, 6);
        }
    }
    return image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
}

} // namespace

TExCustomMenuItemPainter::TExCustomMenuItemPainter(TComponent* AOwner) : TExComponent(AOwner) {}

TExCustomMenuItemPainter::~TExCustomMenuItemPainter() = default;

void TExCustomMenuItemPainter::Attach(TExMainMenu* menu, TCanvas* canvas, QWidget* window)
{
    FMenu = menu;
    FCanvas = canvas;
    FWindow = window;
}

TCanvas& TExCustomMenuItemPainter::Canvas() const
{
    if (!FCanvas)
        throw EInvalidOperation("Canvas does not allow drawing");
    return *FCanvas;
}

bool TExCustomMenuItemPainter::IsBarItem() const
{
    return FMenu && FMenu->IsBarItem(FItem);
}

int TExCustomMenuItemPainter::CheckGlyphHeight()
{
    return FMenu && FMenu->ShowCheckMarks ? MenuCheckSize() : 0;
}

int TExCustomMenuItemPainter::CheckGlyphWidth()
{
    return FMenu && FMenu->ShowCheckMarks ? MenuCheckSize() : 0;
}

bool TExCustomMenuItemPainter::EmbossDisabled()
{
    return false;
}

TColor TExCustomMenuItemPainter::DimmedTextColor()
{
    return clGrayText;
}

int TExCustomMenuItemPainter::GlyphHeight()
{
    if (FMenu && FMenu->Images())
        return FMenu->Images()->Height();
    if (!FGraphic.isNull())
        return FGraphic.height();
    return FImageSize.Height;
}

int TExCustomMenuItemPainter::GlyphWidth()
{
    if (FMenu && FMenu->Images())
        return FMenu->Images()->Width();
    if (!FGraphic.isNull())
        return FNumGlyphs >= 2 && FNumGlyphs <= 5 ? FGraphic.width() / FNumGlyphs : FGraphic.width();
    return FImageSize.Width;
}

int TExCustomMenuItemPainter::CaptionIndent()
{
    return FMenu ? FMenu->TextMargin : 0;
}

void TExCustomMenuItemPainter::LoadMenuSettings()
{
    if (!FMenu)
        return;
    FImageMargin.Assign(FMenu->ImageMargin());
    FImageSize.Assign(FMenu->ImageSize());
}

void TExCustomMenuItemPainter::AddMargins(int left, int top, int right, int bottom)
{
    FImageMargin.Left += left;
    FImageMargin.Top += top;
    FImageMargin.Right += right;
    FImageMargin.Bottom += bottom;
}

void TExCustomMenuItemPainter::BeginItem(TMenuItem* item, const TRect& r, bool measuring, TOwnerDrawState state)
{
    LoadMenuSettings();
    FItem = item;
    FState = state;
    FGraphic = QImage();
    FNumGlyphs = 1;
    TColor color = Canvas().Brush().Color();
    if (FMenu && FMenu->OnGetItemParams) {
        QImage graphic;
        int glyphs = 1;
        FMenu->OnGetItemParams(FMenu, item, state, Canvas().Font(), color, graphic, glyphs);
        if (!item->IsLine()) {
            FGraphic = graphic;
            FNumGlyphs = glyphs;
        }
    }
    if (!measuring && color != clNone)
        FillRect(r, color);
    FImageIndex = item->ImageIndex();
    if (FMenu && FMenu->Images() && !item->IsLine() && FMenu->OnGetImageIndex)
        FMenu->OnGetImageIndex(FMenu, item, state, FImageIndex);
}

// ---- helpers

void TExCustomMenuItemPainter::FillRect(const TRect& r, TColor color)
{
    TCanvas& canvas = Canvas();
    const TColor previous = canvas.Brush().Color();
    const TBrushStyle style = canvas.Brush().Style();
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    canvas.Brush().SetColor(color);
    canvas.FillRect(r);
    canvas.Brush().SetColor(previous);
    canvas.Brush().SetStyle(style);
}

void TExCustomMenuItemPainter::Line(int x1, int y1, int x2, int y2, TColor color)
{
    TCanvas& canvas = Canvas();
    canvas.Pen().SetColor(color);
    canvas.Pen().SetStyle(TPenStyle::psSolid);
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
}

int TExCustomMenuItemPainter::TextHeightOf(const std::string& text)
{
    TRect r = Rect(0, 0, 0, 0);
    DrawTextOnCanvas(Canvas(), text.empty() ? std::string(" ") : text, -1, CaptionFormat | DT_CALCRECT, r);
    return r.Height();
}

int TExCustomMenuItemPainter::TextWidthOf(const std::string& text)
{
    if (text.empty())
        return 0;
    TRect r = Rect(0, 0, 0, 0);
    DrawTextOnCanvas(Canvas(), text, -1, CaptionFormat | DT_CALCRECT, r);
    return r.Width();
}

int TExCustomMenuItemPainter::AlignedTop(const TRect& r, int height) const
{
    switch (FMenu ? FMenu->TextVAlignment : TExVerticalAlignment::vaMiddle) {
    case TExVerticalAlignment::vaTop: return r.Top;
    case TExVerticalAlignment::vaBottom: return r.Bottom - height;
    case TExVerticalAlignment::vaMiddle: break;
    }
    return r.Top + (r.Height() - height + 1) / 2;
}

int TExCustomMenuItemPainter::WidestCaption()
{
    int widest = TextWidthOf(FItem->Caption());
    if (const TMenuItem* parent = FItem->Parent())
        for (int i = 0; i < parent->Count(); ++i)
            widest = std::max(widest, TextWidthOf(parent->Items(i)->Caption()));
    return widest;
}

int TExCustomMenuItemPainter::WidestShortcut(bool& anyShortcut, bool& anySubItems)
{
    anyShortcut = FItem->ShortCut() != 0;
    anySubItems = FItem->Count() > 0;
    int widest = anyShortcut ? TextWidthOf(ShortCutToText(FItem->ShortCut())) : 0;
    if (const TMenuItem* parent = FItem->Parent())
        for (int i = 0; i < parent->Count(); ++i) {
            const TMenuItem* sibling = parent->Items(i);
            if (sibling->ShortCut() != 0) {
                anyShortcut = true;
                widest = std::max(widest, TextWidthOf(ShortCutToText(sibling->ShortCut())));
            }
            anySubItems = anySubItems || sibling->Count() > 0;
        }
    return widest;
}

void TExCustomMenuItemPainter::ComputeLayout(const TRect& r)
{
    Layout& l = FLayout;
    if (IsBarItem()) {
        l.Check = l.Image = l.Text = l.Selection = l.ImageRect = l.CaptionRect = r;
        l.Strip = Rect(r.Left, r.Top, r.Left, r.Bottom);
        return;
    }
    const int check = CheckGlyphWidth();
    const int image = FImageMargin.Left + GlyphWidth() + FImageMargin.Right;
    l.Check = Rect(r.Left, r.Top, r.Left + check, r.Bottom);
    l.Image = Rect(l.Check.Right, r.Top, l.Check.Right + image, r.Bottom);
    l.Text = Rect(l.Image.Right, r.Top, r.Right, r.Bottom);
    l.Selection = Rect(r.Left + LeftMargin, r.Top, r.Right, r.Bottom);
    for (TRect* column : {&l.Check, &l.Image, &l.Text})
        OffsetRect(*column, LeftMargin, 0);
    l.Text.Right = std::max(l.Text.Left, r.Right);
    const int windowHeight = FWindow ? FWindow->height() - 2 * OwnerDrawMenuFrame : r.Bottom;
    l.Strip = Rect(r.Left, 0, r.Left + LeftMargin, windowHeight);
    l.ImageRect = Rect(l.Image.Left + FImageMargin.Left, l.Image.Top + FImageMargin.Top,
                       l.Image.Right - FImageMargin.Right, l.Image.Bottom - FImageMargin.Bottom);
    l.CaptionRect = l.Text;
    l.CaptionRect.Left += CaptionIndent();
}

// ---- drawing

void TExCustomMenuItemPainter::RenderItem(TMenuItem* item, const TRect& r, TOwnerDrawState state)
{
    if (!item) {
        ShowMessageBox("The menu item painter was asked to draw an item that does not exist. Please report the "
                       "conditions under which this happened.",
                       "error in menu painter", MB_ICONERROR);
        return;
    }
    BeginItem(item, r, false, state);
    ComputeLayout(r);
    const bool bar = IsBarItem();
    const bool checkMarks = FMenu && FMenu->ShowCheckMarks;
    RenderItemBackground(r);
    if (LeftMargin != 0)
        RenderLeftStrip(FLayout.Strip);
    if (!bar) {
        if (checkMarks)
            RenderCheckColumn(FLayout.Check);
        RenderImageColumn(FLayout.Image);
    }
    RenderTextArea(FLayout.Text);
    if (Selected())
        RenderSelectionFrame(FLayout.Selection);
    if (!bar && item->Checked() && checkMarks)
        RenderCheckGlyph(FLayout.Check);
    if (!bar)
        RenderPicture();
    if (item->IsLine()) {
        RenderSeparatorLine(FLayout.Selection);
        return;
    }
    RenderCaptionAndShortcut();
}

void TExCustomMenuItemPainter::RenderPicture()
{
    const bool checkMarks = FMenu && FMenu->ShowCheckMarks;
    const bool checkedBox = FItem->Checked() && !checkMarks;
    const TRect& ir = FLayout.ImageRect;
    const auto imageBox = [&] {
        if (checkedBox)
            RenderCheckedImageBox(FLayout.Image);
        else
            RenderPlainImageBox(FLayout.Image);
    };
    const TCustomImageList* images = FMenu ? FMenu->Images() : nullptr;
    if (!FItem->IsLine() && images && images->ValidIndex(FImageIndex)) {
        imageBox();
        if (Disabled())
            RenderDisabledImage(ir.Left, ir.Top);
        else
            RenderImage(ir.Left, ir.Top);
        return;
    }
    if (FGraphic.isNull() || FItem->IsLine()) {
        if (checkedBox && !FItem->IsLine()) {
            RenderCheckedImageBox(FLayout.Image);
            RenderCheckGlyph(ir);
        }
        return;
    }
    imageBox();
    if (FNumGlyphs >= 2 && FNumGlyphs <= 5) {
        int cell = Disabled() ? 1 : FItem->Checked() ? 3 : Selected() ? 2 : 0;
        if (cell >= FNumGlyphs)
            cell = 0;
        QImage glyph;
        ExtractBitmapCell(FGraphic, glyph, FNumGlyphs, 1, cell);
        RenderBitmap(ir.Left, ir.Top, glyph);
    } else {
        RenderBitmap(ir.Left, ir.Top, FGraphic);
    }
}

void TExCustomMenuItemPainter::RenderCaptionAndShortcut()
{
    TCanvas& canvas = Canvas();
    int shortcutStart = TextWidthOf(FItem->Caption());
    if (FItem->Parent() && FItem->ShortCut() != 0) {
        const TMenuItem* parent = FItem->Parent();
        for (int i = 0; i < parent->Count(); ++i)
            shortcutStart = std::max(shortcutStart, TextWidthOf(parent->Items(i)->Caption() + "        "));
    }
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    RenderCaption(FLayout.CaptionRect, FItem->Caption(), CaptionFormat);
    if (!IsBarItem() && FItem->ShortCut() != 0 && FItem->Count() == 0) {
        TRect r = FLayout.CaptionRect;
        r.Left += shortcutStart;
        RenderCaption(r, ShortCutToText(FItem->ShortCut()), CaptionFormat | DT_NOPREFIX);
    }
}

void TExCustomMenuItemPainter::RenderCaption(const TRect& r, const std::string& text, unsigned format)
{
    if (text.empty())
        return;
    TCanvas& canvas = Canvas();
    TRect rect = r;
    const int height = TextHeightOf(text);
    if (FMenu && FMenu->TextVAlignment == TExVerticalAlignment::vaMiddle)
        rect.Top += (rect.Height() - height + 1) / 2;
    else if (FMenu && FMenu->TextVAlignment == TExVerticalAlignment::vaBottom)
        rect.Top = rect.Bottom - height;
    if (IsBarItem())
        rect.Left += (rect.Width() - TextWidthOf(text)) / 2;
    const TColor color = canvas.Font().Color();
    const TBrushStyle brush = canvas.Brush().Style();
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    if (Disabled()) {
        if (EmbossDisabled()) {
            TRect shadow = rect;
            OffsetRect(shadow, 1, 1);
            canvas.Font().SetColor(clBtnHighlight);
            DrawTextOnCanvas(canvas, text, -1, format, shadow);
        }
        canvas.Font().SetColor(DimmedTextColor());
    }
    DrawTextOnCanvas(canvas, text, -1, format, rect);
    canvas.Font().SetColor(color);
    canvas.Brush().SetStyle(brush);
}

void TExCustomMenuItemPainter::RenderCheckGlyph(const TRect& r)
{
    const QImage glyph = CheckGlyph(MenuCheckSize(), FItem && FItem->RadioItem());
    const int y = AlignedTop(r, glyph.height()) + (FItem && FItem->RadioItem() ? 1 : 0);
    const int x = r.Left + (r.Width() - glyph.width() + 1) / 2;
    RenderBitmap(x, y, glyph);
}

void TExCustomMenuItemPainter::RenderBitmap(int x, int y, const QImage& bitmap)
{
    if (Disabled()) {
        RenderDisabledBitmap(x, y, bitmap);
        return;
    }
    const bool checkMarks = FMenu && FMenu->ShowCheckMarks;
    if (IsMono(bitmap) && (!FItem->Checked() || checkMarks)) {
        StampMono(Canvas(), x, y, bitmap, Canvas().Font().Color());
        return;
    }
    if (bitmap.hasAlphaChannel())
        Canvas().Draw(x, y, bitmap);
    else
        DrawBitmapMasked(Canvas(), x, y, bitmap.convertToFormat(QImage::Format_RGB32), clDefault);
}

void TExCustomMenuItemPainter::RenderDisabledBitmap(int x, int y, const QImage& bitmap)
{
    const TColor dimmed = Selected() ? clGrayText : clBtnShadow;
    if (IsMono(bitmap)) {
        if (EmbossDisabled())
            StampMono(Canvas(), x + 1, y + 1, bitmap, clBtnHighlight);
        StampMono(Canvas(), x, y, bitmap, dimmed);
        return;
    }
    const QImage disabled =
        MakeDisabledBitmapWith(bitmap.convertToFormat(QImage::Format_RGB32), clBlack, clMenu, EmbossDisabled(), dimmed,
                               clBtnHighlight);
    DrawBitmapMasked(Canvas(), x, y, disabled, clMenu);
}

void TExCustomMenuItemPainter::RenderImage(int x, int y)
{
    const TCustomImageList* hot = FMenu ? FMenu->HotImages() : nullptr;
    const TCustomImageList* list = Selected() && hot && hot->ValidIndex(FImageIndex) ? hot : FMenu->Images();
    list->Draw(Canvas(), x, y, FImageIndex);
}

void TExCustomMenuItemPainter::RenderDisabledImage(int x, int y)
{
    const TCustomImageList* disabled = FMenu->DisabledImages();
    if (disabled && disabled->ValidIndex(FImageIndex)) {
        disabled->Draw(Canvas(), x, y, FImageIndex);
        return;
    }
    DrawImageDisabled(FMenu->Images()->Image(FImageIndex), Canvas(), x, y, EmbossDisabled(), DimmedTextColor(),
                      clBtnHighlight);
}

void TExCustomMenuItemPainter::RenderCheckedBox(const TRect& r)
{
    TRect box = r;
    InflateRect(box, -1, -1);
    if (box.IsEmpty())
        return;
    if (Selected()) {
        FillRect(box, clMenu);
    } else {
        const QImage pattern = MakeCheckerPattern(clMenu, clBtnHighlight);
        Canvas().Handle()->fillRect(box.ToQt(), QBrush(pattern));
    }
    const TColor dimmed = DimmedTextColor();
    Line(box.Left, box.Bottom - 1, box.Left, box.Top, dimmed);
    Line(box.Left, box.Top, box.Right, box.Top, dimmed);
    Line(box.Right - 1, box.Top + 1, box.Right - 1, box.Bottom, clBtnHighlight);
    Line(box.Left, box.Bottom - 1, box.Right - 1, box.Bottom - 1, clBtnHighlight);
}

void TExCustomMenuItemPainter::RenderSeparatorLine(const TRect& r)
{
    const int y = (r.Top + r.Bottom) / 2;
    Line(r.Left - 1, y - 1, r.Right, y - 1, clBtnShadow);
    Line(r.Left, y, r.Right, y, clBtnHighlight);
}

void TExCustomMenuItemPainter::RenderLeftStrip(const TRect& r)
{
    if (OnDrawLeftMargin) {
        OnDrawLeftMargin(FMenu, r);
        return;
    }
    const TRect band = Rect(r.Left, r.Top, r.Right - 3, r.Bottom);
    FillGradient(Canvas(), band, RGBColor(0, 0, 255), RGBColor(0, 0, 63), 0, 32);
    Line(r.Right - 3, r.Top, r.Right - 3, r.Bottom, clBtnFace);
    Line(r.Right - 2, r.Top, r.Right - 2, r.Bottom, clBtnShadow);
    Line(r.Right - 1, r.Top, r.Right - 1, r.Bottom, clBtnHighlight);
}

void TExCustomMenuItemPainter::ComputeItemSize(TMenuItem* item, int& width, int& height)
{
    BeginItem(item, TRect{}, true, TOwnerDrawState{});
    if (IsBarItem()) {
        width = CaptionIndent() + TextWidthOf(item->Caption());
        height = std::max(MenuBarHeight(), TextHeightOf(item->Caption()));
        return;
    }
    bool anyShortcut = false;
    bool anySubItems = false;
    const int shortcut = WidestShortcut(anyShortcut, anySubItems);
    int textColumn = WidestCaption();
    if (anyShortcut)
        textColumn += shortcut + TextWidthOf("        ");
    else if (anySubItems)
        textColumn += TextWidthOf("  ");
    width = CheckGlyphWidth() + FImageMargin.Left + GlyphWidth() + FImageMargin.Right + CaptionIndent() + textColumn +
            LeftMargin;
    if (item->IsLine())
        height = std::max(TextHeightOf("-") / 2, 9);
    else
        height = std::max({MenuBarHeight(), TextHeightOf(item->Caption()), CheckGlyphHeight(),
                           GlyphHeight() + FImageMargin.Top + FImageMargin.Bottom});
}

// ---- the standard, owner-draw, button and Office painters

int TExStandardMenuItemPainter::CaptionIndent()
{
    return TExCustomMenuItemPainter::CaptionIndent() + 2;
}

int TExStandardMenuItemPainter::GlyphWidth()
{
    int width = TExCustomMenuItemPainter::GlyphWidth();
    if (const TMenuItem* parent = Item() ? Item()->Parent() : nullptr)
        for (int i = 0; i < parent->Count(); ++i)
            if (parent->Items(i)->Checked())
                return std::max(width, MenuCheckSize());
    return width;
}

void TExStandardMenuItemPainter::RenderCheckedImageBox(const TRect& r)
{
    RenderCheckedBox(r);
}

void TExOwnerDrawMenuItemPainter::ComputeItemSize(TMenuItem* item, int& width, int& height)
{
    if (Menu() && Menu()->OnMeasureItem)
        Menu()->OnMeasureItem(Menu(), item, width, height);
}

void TExOwnerDrawMenuItemPainter::RenderItem(TMenuItem* item, const TRect& r, TOwnerDrawState state)
{
    if (Menu() && Menu()->OnDrawItem)
        Menu()->OnDrawItem(Menu(), item, r, state);
}

TExBtnMenuItemPainter::TExBtnMenuItemPainter(TComponent* AOwner, bool lowered)
    : TExCustomMenuItemPainter(AOwner), Lowered(lowered)
{
}

bool TExBtnMenuItemPainter::EmbossDisabled()
{
    return true;
}

TColor TExBtnMenuItemPainter::DimmedTextColor()
{
    return clBtnShadow;
}

void TExBtnMenuItemPainter::LoadMenuSettings()
{
    TExCustomMenuItemPainter::LoadMenuSettings();
    AddMargins(0, 1, 0, 1);
}

void TExBtnMenuItemPainter::RenderSelectionFrame(const TRect& r)
{
    const TColor topLeft = Lowered ? clBtnShadow : clBtnHighlight;
    const TColor bottomRight = Lowered ? clBtnHighlight : clBtnShadow;
    Line(r.Left, r.Bottom - 1, r.Left, r.Top, topLeft);
    Line(r.Left, r.Top, r.Right - 1, r.Top, topLeft);
    Line(r.Right - 1, r.Top, r.Right - 1, r.Bottom - 1, bottomRight);
    Line(r.Right - 1, r.Bottom - 1, r.Left - 1, r.Bottom - 1, bottomRight);
}

int TExOfficeMenuItemPainter::CaptionIndent()
{
    return TExCustomMenuItemPainter::CaptionIndent() + 3;
}

bool TExOfficeMenuItemPainter::EmbossDisabled()
{
    return IsBarItem();
}

void TExOfficeMenuItemPainter::LoadMenuSettings()
{
    TExCustomMenuItemPainter::LoadMenuSettings();
    AddMargins(2, 2, 3, 2);
}

void TExOfficeMenuItemPainter::RenderBox(const TRect& r, bool sunken)
{
    FillRect(r, ImageBackground);
    const TColor light = sunken ? clBtnShadow : clBtnHighlight;
    const TColor dark = sunken ? clBtnHighlight : clBtnShadow;
    Line(r.Left, r.Bottom - 1, r.Left, r.Top, light);
    Line(r.Left, r.Top, r.Right - 1, r.Top, light);
    Line(r.Right - 1, r.Top, r.Right - 1, r.Bottom - 1, dark);
    Line(r.Right - 1, r.Bottom - 1, r.Left - 1, r.Bottom - 1, dark);
}

void TExOfficeMenuItemPainter::RenderItemBackground(const TRect& r)
{
    if (IsBarItem() && State().Contains(odHotLight))
        RenderBox(Rect(r.Left - 1, r.Top, r.Right + 1, r.Bottom), false);
}

void TExOfficeMenuItemPainter::RenderSelectionFrame(const TRect& r)
{
    if (IsBarItem())
        RenderBox(Rect(r.Left - 1, r.Top, r.Right + 1, r.Bottom), true);
}

void TExOfficeMenuItemPainter::RenderCheckedImageBox(const TRect& r)
{
    FillRect(r, ImageBackground);
    RenderCheckedBox(r);
}

void TExOfficeMenuItemPainter::RenderPlainImageBox(const TRect& r)
{
    if (Selected() && !IsBarItem())
        RenderBox(r, false);
}

void TExOfficeMenuItemPainter::RenderCheckGlyph(const TRect& r)
{
    TExCustomMenuItemPainter::RenderCheckGlyph(Rect(r.Left + 2, r.Top, r.Right + 2, r.Bottom - 1));
}

void TExOfficeMenuItemPainter::RenderCaption(const TRect& r, const std::string& text, unsigned format)
{
    const TColor color = Canvas().Font().Color();
    if (IsBarItem())
        Canvas().Font().SetColor(clMenuText);
    TExCustomMenuItemPainter::RenderCaption(Rect(r.Left, r.Top, r.Right, r.Bottom - 1), text, format);
    Canvas().Font().SetColor(color);
}

std::unique_ptr<TExCustomMenuItemPainter> CreateStylePainter(TExMenuStyle style)
{
    switch (style) {
    case TExMenuStyle::msOwnerDraw: return std::make_unique<TExOwnerDrawMenuItemPainter>(nullptr);
    case TExMenuStyle::msBtnLowered: return std::make_unique<TExBtnMenuItemPainter>(nullptr, true);
    case TExMenuStyle::msBtnRaised: return std::make_unique<TExBtnMenuItemPainter>(nullptr, false);
    case TExMenuStyle::msOffice: return std::make_unique<TExOfficeMenuItemPainter>(nullptr);
    case TExMenuStyle::msXP: return CreateXPMenuItemPainter();
    case TExMenuStyle::msStandard:
    case TExMenuStyle::msItemPainter: break;
    }
    return std::make_unique<TExStandardMenuItemPainter>(nullptr);
}
