#include "ExLib/run/docking/vid/ExDockVIDOptions.h"

#include "ExLib/run/docking/support/ExDockSupportProc.h"
#include "ExLib/run/docking/vid/ExDockVIDStyle.h"
#include "ExLib/run/docking/vid/ExDockVIDTabs.h"

// ---- caption bars

TExDockVIDConjoinServerOption::TExDockVIDConjoinServerOption(TExDockBasicStyle* style)
    : TExDockBasicConjoinServerOption(style)
{
    SetGrabbersSize(18);
    FActiveFont.OnChange = [this](TObject*) { FontChanged(); };
    FInactiveFont.OnChange = [this](TObject*) { FontChanged(); };
    SetSystemInfo(true);
}

TExDockVIDConjoinServerOption::~TExDockVIDConjoinServerOption()
{
    if (FListening)
        RemoveSystemChangeHandler(this);
}

template <class T>
void TExDockVIDConjoinServerOption::Store(T& field, T value)
{
    if (field == value)
        return;
    field = value;
    SetSystemInfo(false);
    Changed();
}

void TExDockVIDConjoinServerOption::SetTextAlignment(TAlignment value) { Store(FTextAlignment, value); }
void TExDockVIDConjoinServerOption::SetActiveTitleStartColor(TColor value) { Store(FActiveTitleStartColor, value); }
void TExDockVIDConjoinServerOption::SetActiveTitleEndColor(TColor value) { Store(FActiveTitleEndColor, value); }
void TExDockVIDConjoinServerOption::SetActiveTitleVerticalGradient(bool value)
{
    Store(FActiveTitleVerticalGradient, value);
}
void TExDockVIDConjoinServerOption::SetActiveDockGrabber(bool value) { Store(FActiveDockGrabber, value); }
void TExDockVIDConjoinServerOption::SetInactiveTitleStartColor(TColor value)
{
    Store(FInactiveTitleStartColor, value);
}
void TExDockVIDConjoinServerOption::SetInactiveTitleEndColor(TColor value) { Store(FInactiveTitleEndColor, value); }
void TExDockVIDConjoinServerOption::SetInactiveTitleVerticalGradient(bool value)
{
    Store(FInactiveTitleVerticalGradient, value);
}
void TExDockVIDConjoinServerOption::SetTextEllipsis(bool value) { Store(FTextEllipsis, value); }

void TExDockVIDConjoinServerOption::FontChanged()
{
    SetSystemInfo(false);
    Changed();
}

void TExDockVIDConjoinServerOption::SetSystemInfo(bool value)
{
    if (value == FSystemInfo)
        return;
    if (FListening) {
        RemoveSystemChangeHandler(this);
        FListening = false;
    }
    FSystemInfo = value;
    if (value) {
        AddSystemChangeHandler(this, [](void* target, TExMsgWindow&) {
            auto* option = static_cast<TExDockVIDConjoinServerOption*>(target);
            if (option->SystemInfo())
                option->ApplySystemValues();
        });
        FListening = true;
        ApplySystemValues();
    }
}

void TExDockVIDConjoinServerOption::ApplySystemValues()
{
    // why: the setters turn SystemInfo off; held off here, it is on again afterwards.
    BeginUpdate();
    const bool saved = FSystemInfo;
    FSystemInfo = false;
    try {
        ApplySystemCaptionInfo();
    } catch (...) {
        FSystemInfo = saved;
        EndUpdate();
        throw;
    }
    FSystemInfo = saved;
    EndUpdate();
}

void TExDockVIDConjoinServerOption::ApplySystemCaptionInfo()
{
    SetActiveTitleStartColor(ActiveCaptionColor());
    SetActiveTitleEndColor(ActiveCaptionGradientColor());
    SetActiveTitleVerticalGradient(false);
    SetInactiveTitleStartColor(InactiveCaptionColor());
    SetInactiveTitleEndColor(InactiveCaptionGradientColor());
    SetInactiveTitleVerticalGradient(false);
    SetActiveDockGrabber(false);
    SetTextAlignment(taLeftJustify);
    SetTextEllipsis(true);
    TFont& caption = SystemCaptionFont();
    FActiveFont.Assign(caption);
    FActiveFont.SetStyle(FActiveFont.Style() + TFontStyles{fsBold});
    FInactiveFont.Assign(FActiveFont);
    FActiveFont.SetColor(ActiveCaptionTextColor());
    FInactiveFont.SetColor(InactiveCaptionTextColor());
    SetGrabbersSize(18);
    SetSplitterWidth(4);
}

void TExDockVIDConjoinServerOption::ResetDockControlOption()
{
    TExDockBasicConjoinServerOption::ResetDockControlOption();
    if (GrabbersSize() != 18 || SplitterWidth() != 4)
        SetSystemInfo(false);
    if (auto* style = dynamic_cast<TExDockVIDStyle*>(DockStyle()); style && style->SystemInfoChange)
        style->SystemInfoChange(FSystemInfo);
}

void TExDockVIDConjoinServerOption::Assign(const TPersistent& source)
{
    if (const auto* other = dynamic_cast<const TExDockVIDConjoinServerOption*>(&source)) {
        BeginUpdate();
        try {
            SetTextEllipsis(other->TextEllipsis());
            SetTextAlignment(other->TextAlignment());
            SetInactiveTitleEndColor(other->InactiveTitleEndColor());
            SetInactiveTitleStartColor(other->InactiveTitleStartColor());
            SetInactiveTitleVerticalGradient(other->InactiveTitleVerticalGradient());
            SetActiveTitleEndColor(other->ActiveTitleEndColor());
            SetActiveTitleStartColor(other->ActiveTitleStartColor());
            SetActiveTitleVerticalGradient(other->ActiveTitleVerticalGradient());
            SetActiveDockGrabber(other->ActiveDockGrabber());
            FActiveFont.Assign(other->ActiveFont());
            FInactiveFont.Assign(other->InactiveFont());
            SetSystemInfo(other->SystemInfo());
            TExDockBasicConjoinServerOption::Assign(source);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return;
    }
    TExDockBasicConjoinServerOption::Assign(source);
}

// ---- tab strips

TExDockVIDTabServerOption::TExDockVIDTabServerOption(TExDockBasicStyle* style) : TExDockBasicTabServerOption(style)
{
    SetTabPosition(TTabPosition::tpBottom);
    FInactiveFont.SetColor(clWhite);
    FActiveFont.OnChange = [this](TObject*) { Changed(); };
    FInactiveFont.OnChange = [this](TObject*) { Changed(); };
}

template <class T>
void TExDockVIDTabServerOption::Store(T& field, T value)
{
    if (field == value)
        return;
    field = value;
    Changed();
}

void TExDockVIDTabServerOption::SetActiveSheetColor(TColor value) { Store(FActiveSheetColor, value); }
void TExDockVIDTabServerOption::SetInactiveSheetColor(TColor value) { Store(FInactiveSheetColor, value); }
void TExDockVIDTabServerOption::SetHotTrackColor(TColor value) { Store(FHotTrackColor, value); }
void TExDockVIDTabServerOption::SetShowTabImages(bool value) { Store(FShowTabImages, value); }
void TExDockVIDTabServerOption::SetShowCloseButtonOnTabs(bool value) { Store(FShowCloseButtonOnTabs, value); }
void TExDockVIDTabServerOption::SetShowCloseButtonOnGrabber(bool value)
{
    Store(FShowCloseButtonOnGrabber, value);
}

void TExDockVIDTabServerOption::ResetTabPageControl(TExDockTabPageControl* control)
{
    TExDockBasicTabServerOption::ResetTabPageControl(control);
    if (auto* vid = dynamic_cast<TExDockVIDTabPageControl*>(control)) {
        vid->SetActiveFont(FActiveFont);
        vid->SetActiveSheetColor(FActiveSheetColor);
        vid->SetHotTrackColor(FHotTrackColor);
        vid->SetInactiveFont(FInactiveFont);
        vid->SetInactiveSheetColor(FInactiveSheetColor);
        vid->SetShowTabImages(FShowTabImages);
        vid->SetTabPosition(TabPosition());
    }
}

void TExDockVIDTabServerOption::Assign(const TPersistent& source)
{
    if (const auto* other = dynamic_cast<const TExDockVIDTabServerOption*>(&source)) {
        BeginUpdate();
        try {
            FActiveFont.Assign(other->ActiveFont());
            SetActiveSheetColor(other->ActiveSheetColor());
            SetHotTrackColor(other->HotTrackColor());
            FInactiveFont.Assign(other->InactiveFont());
            SetInactiveSheetColor(other->InactiveSheetColor());
            SetShowTabImages(other->ShowTabImages());
            TExDockBasicTabServerOption::Assign(source);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return;
    }
    TExDockBasicTabServerOption::Assign(source);
}
