#pragma once
// The XP-look item painter: drop-down menus get a white body with a coloured image column, a
// flat outline drawn into the menu window's own frame, a framed light selection band reaching
// across the image column, raised images with a shadow under the selected item, thin separators
// that start at the caption, and menu-bar items that light up framed when hot and show silver
// when open.

#include "ExLib/run/menus/ExMenuItemPainter.h"

class TExXPMenuItemPainter : public TExCustomMenuItemPainter {
public:
    explicit TExXPMenuItemPainter(TComponent* AOwner);

    TColor ImageBackgroundColor() const { return ImageBackground; }
    void SetImageBackgroundColor(TColor color) { ImageBackground = color; }
    TBrush& SelectionFrameBrush() { return FSelectionBrush; }
    TPen& SelectionFramePen() { return FSelectionPen; }
    TColor SeparatorColor = RGBColor(166, 166, 166);
    TColor ShadowColor = RGBColor(136, 141, 157);
    TColor CheckedImageBackColor = RGBColor(212, 213, 216);
    TColor CheckedImageBackColorSelected = RGBColor(133, 146, 181);

    bool EmbossDisabled() override;
    int CaptionIndent() override;
    void LoadMenuSettings() override;
    void BeginItem(TMenuItem* item, const TRect& r, bool measuring, TOwnerDrawState state) override;
    void RenderItemBackground(const TRect& r) override;
    void RenderCheckColumn(const TRect& r) override;
    void RenderImageColumn(const TRect& r) override;
    void RenderSelectionFrame(const TRect& r) override;
    void RenderBitmap(int x, int y, const QImage& bitmap) override;
    void RenderDisabledImage(int x, int y) override;
    void RenderImage(int x, int y) override;
    void RenderCheckGlyph(const TRect& r) override;
    void RenderCheckedImageBox(const TRect& r) override;
    void RenderSeparatorLine(const TRect& r) override;
    void RenderCaption(const TRect& r, const std::string& text, unsigned format) override;
    void ComputeItemSize(TMenuItem* item, int& width, int& height) override;
    void RenderItem(TMenuItem* item, const TRect& r, TOwnerDrawState state) override;

private:
    // The outline and image-column pieces of the drop-down window around the item `r`.
    void RenderDropDownFrame(const TRect& r, bool selected);
    // Sets every pixel of `image` that differs from its bottom-left pixel to the shadow colour.
    void RenderShadow(int x, int y, const QImage& image);
    void FramedRect(const TRect& r, const TPen& pen, TColor fill);

    TBrush FSelectionBrush;
    TPen FSelectionPen;
};
