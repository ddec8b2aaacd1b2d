#pragma once
// The two option objects of the caption-bar style: the caption bars (fonts, title colours and
// gradients, text alignment, grabber size and splitter width), which follow the system's caption
// settings while SystemInfo is on, and the tab strips of tab hosts (sheet colours, fonts, hot
// tracking, images and tab position).

#include "ExLib/run/docking/control/ExDockStyle.h"

#include "Platform/controls/ControlTypes.h"
#include "Platform/graphics/Graphics.h"

class TExDockVIDTabPageControl;

class TExDockVIDConjoinServerOption : public TExDockBasicConjoinServerOption {
public:
    explicit TExDockVIDConjoinServerOption(TExDockBasicStyle* style);
    ~TExDockVIDConjoinServerOption() override;

    const TFont& ActiveFont() const { return FActiveFont; }
    void SetActiveFont(const TFont& font) { FActiveFont.Assign(font); }
    const TFont& InactiveFont() const { return FInactiveFont; }
    void SetInactiveFont(const TFont& font) { FInactiveFont.Assign(font); }
    // The fonts for changes of single properties; each change turns SystemInfo off.
    TFont& ActiveFontRef() { return FActiveFont; }
    TFont& InactiveFontRef() { return FInactiveFont; }

    TAlignment TextAlignment() const { return FTextAlignment; }
    void SetTextAlignment(TAlignment value);
    TColor ActiveTitleStartColor() const { return FActiveTitleStartColor; }
    void SetActiveTitleStartColor(TColor value);
    TColor ActiveTitleEndColor() const { return FActiveTitleEndColor; }
    void SetActiveTitleEndColor(TColor value);
    bool ActiveTitleVerticalGradient() const { return FActiveTitleVerticalGradient; }
    void SetActiveTitleVerticalGradient(bool value);
    bool ActiveDockGrabber() const { return FActiveDockGrabber; }
    void SetActiveDockGrabber(bool value);
    TColor InactiveTitleStartColor() const { return FInactiveTitleStartColor; }
    void SetInactiveTitleStartColor(TColor value);
    TColor InactiveTitleEndColor() const { return FInactiveTitleEndColor; }
    void SetInactiveTitleEndColor(TColor value);
    bool InactiveTitleVerticalGradient() const { return FInactiveTitleVerticalGradient; }
    void SetInactiveTitleVerticalGradient(bool value);
    bool TextEllipsis() const { return FTextEllipsis; }
    void SetTextEllipsis(bool value);

    // While on, every caption value follows the system's and changes with it; setting any of
    // them turns it off; turning it on takes the system's values at once.
    bool SystemInfo() const { return FSystemInfo; }
    void SetSystemInfo(bool value);
    // Takes the system's caption colours, fonts and metrics.
    virtual void ApplySystemCaptionInfo();

    void ResetDockControlOption() override;
    void Assign(const TPersistent& source) override;

private:
    void ApplySystemValues();
    void FontChanged();
    template <class T>
    void Store(T& field, T value);

    TFont FActiveFont;
    TFont FInactiveFont;
    TAlignment FTextAlignment = taLeftJustify;
    TColor FActiveTitleStartColor = clActiveCaption;
    TColor FActiveTitleEndColor = clGradientActiveCaption;
    bool FActiveTitleVerticalGradient = false;
    bool FActiveDockGrabber = false;
    TColor FInactiveTitleStartColor = clInactiveCaption;
    TColor FInactiveTitleEndColor = clGradientInactiveCaption;
    bool FInactiveTitleVerticalGradient = false;
    bool FTextEllipsis = true;
    bool FSystemInfo = false;
    bool FListening = false;
};

class TExDockVIDTabServerOption : public TExDockBasicTabServerOption {
public:
    explicit TExDockVIDTabServerOption(TExDockBasicStyle* style);

    TColor ActiveSheetColor() const { return FActiveSheetColor; }
    void SetActiveSheetColor(TColor value);
    TColor InactiveSheetColor() const { return FInactiveSheetColor; }
    void SetInactiveSheetColor(TColor value);
    const TFont& ActiveFont() const { return FActiveFont; }
    void SetActiveFont(const TFont& font) { FActiveFont.Assign(font); }
    const TFont& InactiveFont() const { return FInactiveFont; }
    void SetInactiveFont(const TFont& font) { FInactiveFont.Assign(font); }
    TFont& ActiveFontRef() { return FActiveFont; }
    TFont& InactiveFontRef() { return FInactiveFont; }
    TColor HotTrackColor() const { return FHotTrackColor; }
    void SetHotTrackColor(TColor value);
    bool ShowTabImages() const { return FShowTabImages; }
    void SetShowTabImages(bool value);
    // Kept and copied; nothing depends on it.
    bool ShowCloseButtonOnTabs() const { return FShowCloseButtonOnTabs; }
    void SetShowCloseButtonOnTabs(bool value);
    // Whether a tab host docked in a dock panel shows the close button in its caption bar.
    bool ShowCloseButtonOnGrabber() const { return FShowCloseButtonOnGrabber; }
    void SetShowCloseButtonOnGrabber(bool value);

    void ResetTabPageControl(TExDockTabPageControl* control) override;
    void Assign(const TPersistent& source) override;

private:
    template <class T>
    void Store(T& field, T value);

    TColor FActiveSheetColor = clBtnFace;
    TColor FInactiveSheetColor = clBtnShadow;
    TFont FActiveFont;
    TFont FInactiveFont;
    TColor FHotTrackColor = clBlue;
    bool FShowTabImages = false;
    bool FShowCloseButtonOnTabs = false;
    bool FShowCloseButtonOnGrabber = true;
};
