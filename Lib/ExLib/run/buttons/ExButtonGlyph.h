#pragma once
// The picture engine of the speed buttons: a strip of up to five pictures (up, disabled, down,
// exclusive, inactive) from which each state's picture is built once and kept in a process-wide
// cache of picture lists, one list per picture size; and the layout and drawing of picture,
// caption and drop-down mark inside a button.

#include "ExLib/run/common/ExLibTypes.h"

#include "Platform/graphics/Canvas.h"
#include "Platform/graphics/ImgList.h"

#include <QImage>
#include <memory>
#include <vector>

enum class TExButtonState { bsUp, bsDisabled, bsDown, bsExclusive, bsInactive };
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// One list of same-size pictures with its used slots.
class TExGlyphList {
public:
    TExGlyphList(int width, int height) : FWidth(width), FHeight(height) {}
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int Count() const { return FCount; }
    // The first free slot (an empty one is appended when none is free).
    int ClaimSlot();
    void Store(int slot, const QImage& picture);
    void FreeSlot(int slot);
    const QImage& Picture(int slot) const { return FSlots[static_cast<size_t>(slot)]; }

private:
    int FWidth;
    int FHeight;
    std::vector<QImage> FSlots;
    std::vector<bool> FUsed;
    int FCount = 0;
};

class TExGlyphCache {
public:
    // The newest list of that size; a new one when none fits.
    TExGlyphList* ListForSize(int width, int height);
    // Frees the list when nothing is stored in it.
    void GiveBackList(TExGlyphList* list);
    int ListCount() const { return static_cast<int>(FLists.size()); }

private:
    std::vector<std::unique_ptr<TExGlyphList>> FLists;
};

// The process's cache while picture objects exist; null otherwise.
TExGlyphCache* GlyphCache();

// The grey of a colour as an inactive button shows it.
QRgb InactiveShade(QRgb color);

struct TExContentLayout {
    TPoint GlyphPos;
    TRect TextRect;
    TSize GlyphSize; // the picture's own size
};

// Places picture and caption in `client` (offset added), as the speed buttons lay them out.
TExContentLayout ComputeContentLayout(TCanvas& canvas, const TRect& client, TPoint offset, bool offsetText,
                                      const std::string& caption, TButtonLayout layout, int margin, int spacing,
                                      TSize glyph, bool dropDownMark, bool wordWrap, std::string* fitted = nullptr);

// The small triangle of a button with a drop-down menu, with its top row one above (x, y).
void PaintDropDownMark(TCanvas& canvas, int x, int y, bool enabled);

class TJvxButtonGlyph {
public:
    TJvxButtonGlyph();
    ~TJvxButtonGlyph();
    TJvxButtonGlyph(const TJvxButtonGlyph&) = delete;
    TJvxButtonGlyph& operator=(const TJvxButtonGlyph&) = delete;

    const QImage& Glyph() const { return FGlyph; }
    // Takes the strip: its bottom-left colour becomes transparent, and a strip whose width is a
    // whole multiple of its height holds that many pictures (1 beyond 5).
    void SetGlyph(const QImage& glyph);
    int NumGlyphs() const { return FNumGlyphs; }
    // 1 to 5; larger values are stored as 5.
    void SetNumGlyphs(int value);
    TColor TransparentColor() const { return FTransparentColor; }
    bool GrayNewStyle() const { return FGrayNewStyle; }
    void SetGrayNewStyle(bool value);
    TAlignment Alignment = TAlignment::taCenter;
    bool WordWrap = false;

    // The picture of a state (built once); a null image for an empty strip.
    QImage StatePicture(TExButtonState state);
    // The size of one picture of the strip (0 x 0 without one).
    TSize PictureSize() const;
    // Frees every built picture.
    void ReleaseStatePictures();

    // Draws picture, caption and drop-down mark into `client`; returns the caption's rectangle.
    TRect Draw(TCanvas& canvas, const TRect& client, TPoint offset, bool offsetText, const std::string& caption,
               TButtonLayout layout, int margin, int spacing, TExButtonState state, bool dropDownMark,
               const TCustomImageList* images = nullptr, int imageIndex = -1);

    TNotifyEvent OnChange;

private:
    void DrawPicture(TCanvas& canvas, TPoint at, TExButtonState state, const TCustomImageList* images, int index);
    void DrawCaption(TCanvas& canvas, const std::string& caption, TRect r, TExButtonState state);

    QImage FGlyph;
    int FNumGlyphs = 1;
    TColor FTransparentColor = clFuchsia;
    bool FGrayNewStyle = true;
    int FSlots[5] = {-1, -1, -1, -1, -1};
    TExGlyphList* FList = nullptr;
    // The greyed copy of an image-list picture, for the index it was made from.
    QImage FInactiveImage;
    int FInactiveIndex = -1;
};
