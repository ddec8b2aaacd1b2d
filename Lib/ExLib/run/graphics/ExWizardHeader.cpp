#include "ExLib/run/graphics/ExWizardHeader.h"

#include "ExLib/run/controls/ExTextDraw.h"

#include "Platform/core/QtBridge.h"
#include "Platform/graphics/PainterState.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

// The line of `list` a page shows, or `fallback` for an empty list.
std::string PageLine(const TStrings& list, int pageNo, const char* fallback)
{
    if (list.Count() == 0)
        return fallback;
    return list[std::clamp(std::min(list.Count() - 1, pageNo), 0, list.Count() - 1)];
}

} // namespace

TJvgWizardHeader::TJvgWizardHeader(TComponent* AOwner, QWidget* parent)
    : TExGraphicControl(AOwner, parent), FFont(*this)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(width(), 60);
    FFont.Font().SetStyle(FFont.Font().Style() + TFontStyles{fsBold});
    FSymbolFont.SetName("Wingdings");
    FSymbolFont.SetSize(26);
    FSymbolFont.SetColor(clHighlightText);
    FSymbolFont.SetStyle({fsBold});
    FGradient.SetActive(true);
    FGradient.SetFromColor(clHighlight);
    FGradient.SetToColor(clWindow);
    FGradient.SetOrientation(TglGradientDir::fgdVertical);
    FCommentFont.OnChange = [this](TObject*) { Invalidate(); };
    FSymbolFont.OnChange = [this](TObject*) { Invalidate(); };
}

TJvgWizardHeader::~TJvgWizardHeader() = default;

void TJvgWizardHeader::SetCaptionFont(const TFont& font)
{
    if (&font != &FFont.Font())
        FFont.SetFont(font);
    Invalidate();
}

void TJvgWizardHeader::SetCommentFont(const TFont& font)
{
    if (&font != &FCommentFont)
        FCommentFont.Assign(font);
    Invalidate();
}

void TJvgWizardHeader::SetSymbolFont(const TFont& font)
{
    FSymbolFont.Assign(font);
    Invalidate();
}

void TJvgWizardHeader::SetPageNo(int value)
{
    if (value == FPageNo)
        return;
    FPageNo = value;
    Invalidate();
}

void TJvgWizardHeader::SetCaptions(const TStrings& captions)
{
    FCaptions.Assign(captions);
    Invalidate();
}

void TJvgWizardHeader::SetComments(const TStrings& comments)
{
    FComments.Assign(comments);
    Invalidate();
}

void TJvgWizardHeader::SetSymbol(const std::string& symbol)
{
    if (symbol == FSymbol)
        return;
    FSymbol = symbol;
    Invalidate();
}

TJvgWizardHeader::Layout TJvgWizardHeader::ComputeLayout()
{
    Layout l;
    const QList<uint> symbol = QStr(FSymbol).toUcs4();
    if (!symbol.isEmpty()) {
        const char32_t first = symbol.front();
        l.Symbol = StdStr(QString::fromUcs4(&first, 1));
    }
    l.Caption = PageLine(FCaptions, FPageNo, "Caption");
    l.Comment = PageLine(FComments, FPageNo, "Some comment text");
    const int w = Width(), h = Height();
    l.CaptionRect = Rect(20, 8, w - 60, h - 5);
    TRect comment = l.CaptionRect;
    comment.Top += QFontMetrics(FFont.Font().ToQFont()).height();
    comment.Left += 20;
    TCanvas measure;
    measure.Font().Assign(FCommentFont);
    TRect measured = comment;
    DrawTextOnCanvas(measure, l.Comment, -1, DT_WORDBREAK | DT_CALCRECT, measured);
    OffsetRect(measured, 0, (comment.Bottom - measured.Bottom) / 2);
    l.CommentRect = measured;
    l.ShowsGlyph = !FGlyph.isNull() && FGlyph.width() > 0;
    if (l.ShowsGlyph) {
        const int m = (h - FGlyph.height()) / 2;
        l.GlyphPos = {w - FGlyph.width() - m, m};
    } else if (!l.Symbol.empty()) {
        l.SymbolRect = Rect(w - 50, 5, w - 5, h - 5 - (FGradient.Active() ? 3 : 0));
    }
    return l;
}

void TJvgWizardHeader::PaintOn(TCanvas& canvas)
{
    const Layout l = ComputeLayout();
    const int w = Width(), h = Height();
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    canvas.Brush().SetColor(clWindow);
    canvas.FillRect(ClientRect());
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.Font().Assign(FFont.Font());
    TRect caption = l.CaptionRect;
    DrawTextOnCanvas(canvas, l.Caption, -1, DT_SINGLELINE | DT_NOPREFIX, caption);
    canvas.Font().Assign(FCommentFont);
    TRect comment = l.CommentRect;
    DrawTextOnCanvas(canvas, l.Comment, -1, DT_WORDBREAK | DT_NOPREFIX, comment);
    QPainter& painter = *canvas.Handle();
    if (l.ShowsGlyph) {
        PaintBitmapPlaced(painter, FGlyph, ClientRect(), l.GlyphPos.X, l.GlyphPos.Y, 0, 0, true,
                          CornerPixelColor(FGlyph, 2), 0);
    } else if (!l.Symbol.empty()) {
        canvas.Brush().SetStyle(TBrushStyle::bsSolid);
        canvas.Brush().SetColor(clHighlight);
        canvas.FillRect(l.SymbolRect);
        canvas.Brush().SetStyle(TBrushStyle::bsClear);
        canvas.Font().Assign(FSymbolFont);
        TRect symbol = l.SymbolRect;
        DrawTextOnCanvas(canvas, l.Symbol, -1, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, symbol);
    }
    // The etched edge along the bottom.
    canvas.Pen().SetColor(clBtnShadow);
    canvas.MoveTo(0, h - 2);
    canvas.LineTo(w, h - 2);
    canvas.Pen().SetColor(clBtnHighlight);
    canvas.MoveTo(0, h - 1);
    canvas.LineTo(w, h - 1);
    if (FGradient.Active())
        DrawGradientBox(painter, Rect(0, h - 5, w, h - 1), FGradient, TPenStyle::psSolid, 1);
}

void TJvgWizardHeader::Paint()
{
    if (!BufferedDraw) {
        PaintOn(Canvas());
        return;
    }
    QImage buffer(size(), QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&buffer);
        TCanvas canvas(&p);
        PaintOn(canvas);
        canvas.SetHandle(nullptr);
    }
    Canvas().Draw(0, 0, buffer);
}
