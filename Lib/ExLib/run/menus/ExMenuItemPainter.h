#pragma once
// Menu item painters. A painter lays an item out in a check column, an image column and a text
// column and draws background, selection, check mark, image or bitmap, separator, caption and
// shortcut; the painters differ in a handful of virtual operations. A painter serves one menu
// at a time: the menu attaches itself before each measure and draw.

#include "ExLib/run/controls/ExComponent.h"
#include "ExLib/run/menus/ExMainMenu.h"

class TExCustomMenuItemPainter : public TExComponent {
public:
    explicit TExCustomMenuItemPainter(TComponent* AOwner);
    ~TExCustomMenuItemPainter() override;

    // Binds the painter to the menu and the canvas it measures or draws with.
    // `window` is the menu bar or drop-down window being drawn on.
    void Attach(TExMainMenu* menu, TCanvas* canvas, QWidget* window = nullptr);
    TExMainMenu* Menu() const { return FMenu; }
    QWidget* Window() const { return FWindow; }

    // A strip at the items' left, as high as the menu window.
    int LeftMargin = 0;
    std::function<void(TExMainMenu* Sender, const TRect& Rect)> OnDrawLeftMargin;

    virtual int CheckGlyphHeight();
    virtual int CheckGlyphWidth();
    virtual bool EmbossDisabled();
    virtual TColor DimmedTextColor();
    virtual int GlyphHeight();
    virtual int GlyphWidth();
    virtual int CaptionIndent();
    virtual void LoadMenuSettings();
    virtual void RenderCheckedBox(const TRect& r);
    virtual void BeginItem(TMenuItem* item, const TRect& r, bool measuring, TOwnerDrawState state);
    virtual void RenderItemBackground(const TRect& r) { (void)r; }
    virtual void RenderCheckColumn(const TRect& r) { (void)r; }
    virtual void RenderImageColumn(const TRect& r) { (void)r; }
    virtual void RenderTextArea(const TRect& r) { (void)r; }
    virtual void RenderSelectionFrame(const TRect& r) { (void)r; }
    virtual void RenderDisabledBitmap(int x, int y, const QImage& bitmap);
    virtual void RenderBitmap(int x, int y, const QImage& bitmap);
    virtual void RenderDisabledImage(int x, int y);
    virtual void RenderImage(int x, int y);
    virtual void RenderCheckGlyph(const TRect& r);
    virtual void RenderCheckedImageBox(const TRect& r) { (void)r; }
    virtual void RenderPlainImageBox(const TRect& r) { (void)r; }
    virtual void RenderSeparatorLine(const TRect& r);
    virtual void RenderCaption(const TRect& r, const std::string& text, unsigned format);
    virtual void RenderLeftStrip(const TRect& r);
    virtual void ComputeItemSize(TMenuItem* item, int& width, int& height);
    virtual void RenderItem(TMenuItem* item, const TRect& r, TOwnerDrawState state);

    // The columns of the item being drawn (after BeginItem and the layout).
    struct Layout {
        TRect Check, Image, Text, Selection, Strip, ImageRect, CaptionRect;
    };
    const Layout& ItemLayout() const { return FLayout; }

protected:
    TCanvas& Canvas() const;
    TMenuItem* Item() const { return FItem; }
    TOwnerDrawState State() const { return FState; }
    bool Selected() const { return FState.Contains(odSelected); }
    bool Disabled() const { return FState.Contains(odDisabled) || FState.Contains(odGrayed); }
    bool IsBarItem() const;
    bool RightToLeft() const { return false; }
    int ImageIndex() const { return FImageIndex; }
    const QImage& Graphic() const { return FGraphic; }
    int NumGlyphs() const { return FNumGlyphs; }
    TExImageMargin& Margins() { return FImageMargin; }
    TExMenuImageSize& ImageSizeOf() { return FImageSize; }
    TColor ImageBackground = clBtnFace;

    // Adds the painter's own image margins; called by LoadMenuSettings.
    void AddMargins(int left, int top, int right, int bottom);
    // The height of `text` without its accelerator marker in the canvas font.
    int TextHeightOf(const std::string& text);
    int TextWidthOf(const std::string& text);
    // Places a glyph of `height` vertically in `r` by the menu's TextVAlignment.
    int AlignedTop(const TRect& r, int height) const;
    void ComputeLayout(const TRect& r);
    // The widest caption among the item and its siblings, and the widest shortcut.
    int WidestCaption();
    int WidestShortcut(bool& anyShortcut, bool& anySubItems);
    void FillRect(const TRect& r, TColor color);
    void Line(int x1, int y1, int x2, int y2, TColor color);

private:
    void RenderPicture();
    void RenderCaptionAndShortcut();

    TExMainMenu* FMenu = nullptr;
    TCanvas* FCanvas = nullptr;
    QWidget* FWindow = nullptr;
    TMenuItem* FItem = nullptr;
    TOwnerDrawState FState;
    int FImageIndex = -1;
    QImage FGraphic;
    int FNumGlyphs = 1;
    TExImageMargin FImageMargin;
    TExMenuImageSize FImageSize;
    Layout FLayout;
};

class TExStandardMenuItemPainter : public TExCustomMenuItemPainter {
public:
    using TExCustomMenuItemPainter::TExCustomMenuItemPainter;
    int CaptionIndent() override;
    int GlyphWidth() override;
    void RenderCheckedImageBox(const TRect& r) override;
};

class TExOwnerDrawMenuItemPainter : public TExCustomMenuItemPainter {
public:
    using TExCustomMenuItemPainter::TExCustomMenuItemPainter;
    void ComputeItemSize(TMenuItem* item, int& width, int& height) override;
    void RenderItem(TMenuItem* item, const TRect& r, TOwnerDrawState state) override;
};

class TExBtnMenuItemPainter : public TExCustomMenuItemPainter {
public:
    explicit TExBtnMenuItemPainter(TComponent* AOwner, bool lowered = true);
    bool Lowered;
    bool EmbossDisabled() override;
    TColor DimmedTextColor() override;
    void LoadMenuSettings() override;
    void RenderSelectionFrame(const TRect& r) override;
};

class TExOfficeMenuItemPainter : public TExCustomMenuItemPainter {
public:
    using TExCustomMenuItemPainter::TExCustomMenuItemPainter;
    int CaptionIndent() override;
    bool EmbossDisabled() override;
    void LoadMenuSettings() override;
    void RenderItemBackground(const TRect& r) override;
    void RenderSelectionFrame(const TRect& r) override;
    void RenderCheckedImageBox(const TRect& r) override;
    void RenderPlainImageBox(const TRect& r) override;
    void RenderCheckGlyph(const TRect& r) override;
    void RenderCaption(const TRect& r, const std::string& text, unsigned format) override;

private:
    // The rectangle filled with the image background and framed raised (or sunken).
    void RenderBox(const TRect& r, bool sunken);
};

// A painter of the kind that `style` asks for (the standard one for msItemPainter).
std::unique_ptr<TExCustomMenuItemPainter> CreateStylePainter(TExMenuStyle style);
std::unique_ptr<TExCustomMenuItemPainter> CreateXPMenuItemPainter();
