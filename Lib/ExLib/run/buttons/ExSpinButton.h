#pragma once
// TExSpinButton: a windowless button split in two halves, the upper one stepping up and the
// lower one stepping down. A press steps at once and repeats while held (after 400 ms, then
// every 100 ms). The pictures of each state are rendered once per size and style into a
// process-wide cache shared by every spin button of that size.

#include "ExLib/run/controls/ExComponent.h"

#include <QImage>
#include <QTimer>
#include <memory>
#include <vector>

enum class TExSpinButtonStyle { sbsDefault, sbsClassic };
enum class TSpinButtonState { dsNone, dsTop, dsBottom };

class TSpinButtonBitmapsManager;

// One cache entry: the six pictures of a spin button of one size and style.
class TSpinButtonBitmaps {
public:
    enum Picture { PressedUp, PressedDown, Normal, DisabledPicture, HotUp, HotDown, PictureCount };

    TSpinButtonBitmaps(int width, int height, TExSpinButtonStyle style, bool customGlyphs);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    TExSpinButtonStyle Style() const { return FStyle; }
    bool CustomGlyphs() const { return FCustomGlyphs; }
    bool Themed() const { return FThemed; }
    // Sort order of the cache: width, height, style, custom-glyphs flag.
    bool Less(int width, int height, TExSpinButtonStyle style, bool customGlyphs) const;
    bool Matches(int width, int height, TExSpinButtonStyle style, bool customGlyphs) const;

    void Render();
    void Draw(TCanvas& canvas, TSpinButtonState state, bool hoverUp, bool hoverDown, bool enabled);
    void DrawGlyphs(TCanvas& canvas, TSpinButtonState state, const QImage& upGlyph, const QImage& downGlyph,
                    bool enabled);
    const QImage& Image(Picture p) const { return FImages[p]; }

    bool NeedsRender = true;
    int RefCount = 0;
    // How often Render ran; the cache is checked by it.
    int RenderCount = 0;

private:
    void RenderClassic(bool themed);
    void RenderDiagonal(bool themed);
    void DrawArrows(QImage& image, Picture p);

    int FWidth;
    int FHeight;
    TExSpinButtonStyle FStyle;
    bool FCustomGlyphs;
    bool FThemed = false;
    QImage FImages[PictureCount];
};

class TSpinButtonBitmapsManager {
public:
    // Finds or makes (and renders) the entry; the caller holds one reference.
    TSpinButtonBitmaps* Acquire(int width, int height, TExSpinButtonStyle style, bool customGlyphs);
    // Drops one reference; the entry goes at none.
    void Release(TSpinButtonBitmaps* entry);
    void AddClient() { ++FClientCount; }
    int ClientCount() const { return FClientCount; }
    int EntryCount() const { return static_cast<int>(FEntries.size()); }

private:
    friend void RemoveSpinButtonClient();
    std::vector<std::unique_ptr<TSpinButtonBitmaps>> FEntries;
    int FClientCount = 0;
};

// The process's cache, made on first use.
TSpinButtonBitmapsManager& SpinButtonBitmapsManager();
// True while a cache exists.
bool SpinButtonBitmapsManagerExists();
// A spin button goes: the cache is freed with its last client.
void RemoveSpinButtonClient();

// The arrow pictures, black on white: 6 x 6 arrows and 7 x 4 "pole" arrows.
QImage SpinArrowPicture(bool up, bool pole);

class TExSpinButton : public TExGraphicControl {
public:
    explicit TExSpinButton(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExSpinButton() override;

    TExSpinButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TExSpinButtonStyle style);
    const QImage& UpGlyph() const { return FUpGlyph; }
    // A null picture clears the glyph; another is copied (made transparent by its bottom-left pixel).
    void SetUpGlyph(const QImage& glyph);
    const QImage& DownGlyph() const { return FDownGlyph; }
    void SetDownGlyph(const QImage& glyph);
    TWinControlCore* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControlCore* control);

    TSpinButtonState DownState() const { return FDownState; }
    // True when the client point lies in the lower (down) half.
    bool InBottomHalf(int x, int y) const;
    // The repeat timer, once a press made it.
    QTimer* RepeatTimer() const { return FRepeatTimer.get(); }
    TSpinButtonBitmaps* Bitmaps() const { return FBitmaps; }

    TNotifyEvent OnTopClick;
    TNotifyEvent OnBottomClick;

protected:
    void Paint() override;
    void WndProc(TMessage& message) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter(TWinControlCore* control) override;
    void MouseLeave(TWinControlCore* control) override;
    void Notification(TComponent* component, TOperation operation) override;
    virtual void TopClick();
    virtual void BottomClick();

private:
    void TimerExpired();
    void GlyphChanged();
    void ReleaseBitmaps();
    void SetDownState(TSpinButtonState state);

    TExSpinButtonStyle FButtonStyle = TExSpinButtonStyle::sbsDefault;
    QImage FUpGlyph;
    QImage FDownGlyph;
    TWinControlCore* FFocusControl = nullptr;
    TSpinButtonState FDownState = TSpinButtonState::dsNone;
    TSpinButtonState FPressState = TSpinButtonState::dsNone;
    bool FDragging = false;
    bool FHoverUp = false;
    bool FHoverDown = false;
    std::unique_ptr<QTimer> FRepeatTimer;
    TSpinButtonBitmaps* FBitmaps = nullptr;
};
