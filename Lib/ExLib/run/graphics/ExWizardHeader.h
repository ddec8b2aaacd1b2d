#pragma once
// TJvgWizardHeader: a header strip for dialogs: a bold caption, a wrapped comment under it, a
// picture or a one-character symbol at the right, an etched line at the bottom with a thin
// gradient above it.

#include "ExLib/run/controls/ExComponent.h"
#include "ExLib/run/graphics/ExGradient.h"

#include "Platform/controls/ControlFont.h"
#include "Platform/text/Strings.h"

#include <QImage>

class TJvgWizardHeader : public TExGraphicControl {
public:
    explicit TJvgWizardHeader(TComponent* AOwner, QWidget* parent = nullptr);
    ~TJvgWizardHeader() override;

    // The caption font is the control's own font.
    TFont& CaptionFont() { return FFont.Font(); }
    void SetCaptionFont(const TFont& font);
    TFont& CommentFont() { return FCommentFont; }
    void SetCommentFont(const TFont& font);
    TFont& SymbolFont() { return FSymbolFont; }
    void SetSymbolFont(const TFont& font);
    int PageNo() const { return FPageNo; }
    void SetPageNo(int value);
    // The header's own lists: changes made through them repaint only when asked to.
    TStrings& Captions() { return FCaptions; }
    void SetCaptions(const TStrings& captions);
    TStrings& Comments() { return FComments; }
    void SetComments(const TStrings& comments);
    const std::string& Symbol() const { return FSymbol; }
    void SetSymbol(const std::string& symbol);
    TJvgGradient& Gradient() { return FGradient; }
    void SetGradient(const TJvgGradient& gradient) { FGradient.Assign(gradient); }
    QImage& Glyph() { return FGlyph; }
    void SetGlyph(const QImage& glyph) { FGlyph = glyph; }
    bool BufferedDraw = false;

    // What painting shows, for the current size.
    struct Layout {
        std::string Caption, Comment, Symbol;
        TRect CaptionRect, CommentRect, SymbolRect;
        TPoint GlyphPos;
        bool ShowsGlyph = false;
    };
    Layout ComputeLayout();

protected:
    void Paint() override;

private:
    void PaintOn(TCanvas& canvas);
    TControlFont FFont;
    TFont FCommentFont;
    TFont FSymbolFont;
    int FPageNo = 1;
    TStringList FCaptions;
    TStringList FComments;
    std::string FSymbol;
    TJvgGradient FGradient;
    QImage FGlyph;
};
