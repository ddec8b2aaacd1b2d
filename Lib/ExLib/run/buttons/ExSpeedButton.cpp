#include "ExLib/run/buttons/ExSpeedButton.h"

#include "ExLib/run/common/ExStrUtils.h"
#include "ExLib/run/controls/ExDrawUtils.h"
#include "ExLib/run/controls/ExThemes.h"

#include "Platform/core/Application.h"
#include "Platform/core/QtBridge.h"
#include "Platform/graphics/Frame3D.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace {

TColor DarkerShade(TColor face)
{
    const TColor c = ColorToRGB(face);
    return RGBColor(std::max(0, GetRValue(c) - 64), std::max(0, GetGValue(c) - 64), std::max(0, GetBValue(c) - 64));
}

TColor LighterShade(TColor face)
{
    const TColor c = ColorToRGB(face);
    return RGBColor(std::min(255, GetRValue(c) + 64), std::min(255, GetGValue(c) + 64), std::min(255, GetBValue(c) + 64));
}

} // namespace

// ---- TExCustomSpeedButton

TExCustomSpeedButton::TExCustomSpeedButton(TComponent* AOwner, QWidget* parent)
    : TExGraphicControl(AOwner, parent), FFont(*this)
{
    SetInitialColor(clBtnFace);
    resize(25, 25);
    SetControlStyle(TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks, csReplicatable});
    ApplyTrackFontOptions(FHotTrackFont, FFont.Font(), FHotTrackFontOptions);
    FHotTrackFont.OnChange = [this](TObject*) { Invalidate(); };
}

TExCustomSpeedButton::~TExCustomSpeedButton()
{
    QObject::disconnect(FActionConnection);
    if (FDropDownMenu)
        FDropDownMenu->RemoveFreeNotification(this);
}

void TExCustomSpeedButton::SetLook(bool& field, bool value)
{
    if (field == value)
        return;
    field = value;
    Invalidate();
}

void TExCustomSpeedButton::SetHotTrackFontOptions(TExTrackFontOptions options)
{
    if (options == FHotTrackFontOptions)
        return;
    FHotTrackFontOptions = options;
    ApplyTrackFontOptions(FHotTrackFont, FFont.Font(), options);
}

void TExCustomSpeedButton::SetStyle(TButtonStyle style)
{
    if (style == FStyle)
        return;
    FStyle = style;
    Invalidate();
}

void TExCustomSpeedButton::SetLayout(TButtonLayout layout)
{
    if (layout == FLayout)
        return;
    FLayout = layout;
    Invalidate();
}

void TExCustomSpeedButton::SetMargin(int value)
{
    if (value < -1 || value == FMargin)
        return;
    FMargin = value;
    Invalidate();
}

void TExCustomSpeedButton::SetSpacing(int value)
{
    if (value == FSpacing)
        return;
    FSpacing = value;
    Invalidate();
}

void TExCustomSpeedButton::SetAlignment(TAlignment alignment)
{
    if (alignment == FAlignment)
        return;
    FAlignment = alignment;
    Invalidate();
}

void TExCustomSpeedButton::SetWordWrap(bool value)
{
    if (value == FWordWrap)
        return;
    FWordWrap = value;
    Invalidate();
}

void TExCustomSpeedButton::SetGrayNewStyle(bool value)
{
    if (value == FGrayNewStyle)
        return;
    FGrayNewStyle = value;
    MainGlyph().SetGrayNewStyle(value);
    Invalidate();
}

// ---- down state and groups

void TExCustomSpeedButton::SetDown(bool value)
{
    if (FGroupIndex == 0)
        value = false;
    if (value == FDown || (FDown && !FAllowAllUp))
        return;
    FDown = value;
    FState = value ? TExButtonState::bsExclusive : TExButtonState::bsUp;
    Invalidate();
    if (value)
        NotifyGroupMates();
}

void TExCustomSpeedButton::SetGroupIndex(int value)
{
    if (value == FGroupIndex)
        return;
    FGroupIndex = value;
    NotifyGroupMates();
}

void TExCustomSpeedButton::SetAllowAllUp(bool value)
{
    if (value == FAllowAllUp)
        return;
    FAllowAllUp = value;
    NotifyGroupMates();
}

void TExCustomSpeedButton::NotifyGroupMates()
{
    TWinControlCore* parent = Parent();
    if (FGroupIndex == 0 || !parent)
        return;
    const QObjectList children = parent->Widget()->children();
    for (QObject* child : children)
        if (TWinControlCore* control = TWinControlCore::ControlOf(qobject_cast<QWidget*>(child)))
            control->Perform(CM_BUTTONGROUP, static_cast<WPARAM>(FGroupIndex), reinterpret_cast<LPARAM>(this));
}

void TExCustomSpeedButton::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case CM_BUTTONGROUP: {
        auto* sender = reinterpret_cast<TExCustomSpeedButton*>(message.LParam);
        if (static_cast<int>(message.WParam) == FGroupIndex && sender && sender != this) {
            if (sender->Down() && FDown) {
                FDown = false;
                FState = TExButtonState::bsUp;
                Invalidate();
            }
            FAllowAllUp = sender->AllowAllUp();
        }
        return;
    }
    case WM_LBUTTONUP:
        // why: the button clicks from FinishPress, not where the platform clicks.
        DefaultHandler(message);
        MouseUp(TMouseButton::mbLeft, ShiftStateFromMouseFlags(message.WParam), LowWordSigned(message.LParam),
                HighWordSigned(message.LParam));
        return;
    case WM_LBUTTONDBLCLK:
        if (FMenuTracking)
            return;
        DefaultHandler(message);
        MouseDown(TMouseButton::mbLeft, ShiftStateFromMouseFlags(message.WParam) + TShiftState{ssDouble},
                  LowWordSigned(message.LParam), HighWordSigned(message.LParam));
        if (FDown)
            DblClick();
        return;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        TExGraphicControl::WndProc(message);
        RefreshMouseOver();
        return;
    case CM_SYSCOLORCHANGE:
        MainGlyph().ReleaseStatePictures();
        Invalidate();
        return;
    default: TExGraphicControl::WndProc(message);
    }
}

// ---- mouse

TPoint TExCustomSpeedButton::DropDownMenuOrigin() const
{
    TPoint p;
    const TPopupAlignment alignment = FDropDownMenu ? FDropDownMenu->Alignment : TPopupAlignment::paLeft;
    if (MenuPosition == TExDropDownMenuPos::dmpBottom) {
        p = alignment == TPopupAlignment::paLeft    ? TPoint{-1, Height()}
            : alignment == TPopupAlignment::paRight ? TPoint{Width() + 1, Height()}
                                                    : TPoint{Width() / 2, Height()};
    } else {
        p = alignment == TPopupAlignment::paLeft    ? TPoint{Width(), -1}
            : alignment == TPopupAlignment::paRight ? TPoint{-1, -1}
                                                    : TPoint{Width() / 2, Height()};
    }
    return ClientToScreen(p);
}

void TExCustomSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (FMenuTracking)
        return;
    TExGraphicControl::MouseDown(button, shift, x, y);
    if (!FMouseOver && Enabled()) {
        FMouseOver = true;
        Invalidate();
    }
    if (button != TMouseButton::mbLeft || !Enabled())
        return;
    if (!FDown) {
        FState = TExButtonState::bsDown;
        Repaint();
    }
    FPressing = true;
    FMenuTracking = true;
    try {
        if (FDropDownMenu && FDropDownMenu->AutoPopup) {
            FDropDownMenu->PopupComponent = this;
            const TPoint origin = DropDownMenuOrigin();
            const TPoint topLeft = ClientToScreen({0, 0});
            // The press that closes the menu on the button ends there: no second press.
            const TRect self = Bounds(topLeft.X, topLeft.Y, Width(), Height() + 1);
            FDropDownMenu->Popup(origin.X, origin.Y, &self);
            FinishPress(TMouseButton::mbLeft, x, y);
        }
    } catch (...) {
        FMenuTracking = false;
        throw;
    }
    FMenuTracking = false;
    if (FAllowTimer) {
        if (!FRepeatTimer) {
            FRepeatTimer = std::make_unique<QTimer>();
            QObject::connect(FRepeatTimer.get(), &QTimer::timeout, FRepeatTimer.get(), [this] {
                try {
                    TimerExpired();
                } catch (...) {
                    HandleCurrentException();
                }
            });
        }
        FRepeatTimer->setInterval(InitPause);
        FRepeatTimer->start();
    }
}

void TExCustomSpeedButton::TimerExpired()
{
    FRepeatTimer->setInterval(RepeatInterval);
    if (FState != TExButtonState::bsDown || !FPressing)
        return;
    try {
        Click();
    } catch (...) {
        FRepeatTimer->stop();
        throw;
    }
}

void TExCustomSpeedButton::MouseMove(TShiftState shift, int x, int y)
{
    TExGraphicControl::MouseMove(shift, x, y);
    if (!FPressing)
        return;
    const TExButtonState state = FDown ? TExButtonState::bsExclusive
                                 : Inside(x, y) ? TExButtonState::bsDown
                                                : TExButtonState::bsUp;
    if (state != FState) {
        FState = state;
        Invalidate();
    }
}

void TExCustomSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TExGraphicControl::MouseUp(button, shift, x, y);
    FinishPress(button, x, y);
    if (FRepeatTimer)
        FRepeatTimer->stop();
}

void TExCustomSpeedButton::FinishPress(TMouseButton button, int x, int y)
{
    if (button != TMouseButton::mbLeft || !FPressing)
        return;
    FPressing = false;
    const bool inside = Inside(x, y);
    if (FGroupIndex == 0) {
        FState = TExButtonState::bsUp;
        Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
        Invalidate();
    } else if (inside) {
        SetDown(!FDown);
        if (FDown)
            Invalidate();
    } else if (FDown) {
        FState = TExButtonState::bsExclusive;
        Invalidate();
    }
    if (inside && !FMenuTracking)
        Click();
    RefreshMouseOver();
}

void TExCustomSpeedButton::RefreshMouseOver()
{
    const bool over =
        Enabled() && QApplication::widgetAt(QCursor::pos()) == static_cast<QWidget*>(this) && ThreadOwnsActiveWindow();
    if (over == FMouseOver)
        return;
    Perform(over ? CM_MOUSEENTER : CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
}

void TExCustomSpeedButton::MouseEnter(TWinControlCore* control)
{
    if (!ComponentState().Contains(csDesigning) && !FMouseOver && Enabled()) {
        FMouseOver = true;
        const bool flatRepaint = FFlat && QWidget::mouseGrabber() == nullptr;
        if (CurrentThemeServices().ThemesEnabled() || FHotTrack || flatRepaint)
            Invalidate();
    }
    TExGraphicControl::MouseEnter(control);
}

void TExCustomSpeedButton::MouseLeave(TWinControlCore* control)
{
    if (FMouseOver && Enabled()) {
        FMouseOver = false;
        if (CurrentThemeServices().ThemesEnabled() || FHotTrack || (FFlat && !FPressing))
            Invalidate();
    }
    TExGraphicControl::MouseLeave(control);
}

void TExCustomSpeedButton::Click()
{
    if (ModalResult != 0)
        if (auto* dialog = qobject_cast<QDialog*>(window()))
            dialog->done(ModalResult);
    if (FAction)
        FAction->Execute();
    else
        TExGraphicControl::Click();
}

// ---- notifications

void TExCustomSpeedButton::EnabledChanged()
{
    TExGraphicControl::EnabledChanged();
    MainGlyph().StatePicture(Enabled() ? FState : TExButtonState::bsDisabled);
    RefreshMouseOver();
    Invalidate();
}

void TExCustomSpeedButton::VisibleChanged()
{
    TExGraphicControl::VisibleChanged();
    RefreshMouseOver();
}

void TExCustomSpeedButton::FontChanged()
{
    FFont.Sync();
    ApplyTrackFontOptions(FHotTrackFont, FFont.Font(), FHotTrackFontOptions);
    Invalidate();
    TExGraphicControl::FontChanged();
}

void TExCustomSpeedButton::TextChanged()
{
    Invalidate();
    TExGraphicControl::TextChanged();
}

bool TExCustomSpeedButton::DialogChar(char32_t key, TShiftState shift, const std::u32string& keyText)
{
    if (IsAccelerator(key, Caption()) && shift.Contains(ssAlt) && Enabled()) {
        Click();
        return true;
    }
    return TExGraphicControl::DialogChar(key, shift, keyText);
}

void TExCustomSpeedButton::SetDropDownMenu(TPopupMenu* menu)
{
    if (menu == FDropDownMenu)
        return;
    if (FDropDownMenu)
        FDropDownMenu->RemoveFreeNotification(this);
    FDropDownMenu = menu;
    if (menu)
        menu->FreeNotification(this);
    Invalidate();
}

void TExCustomSpeedButton::SetAllowTimer(bool value)
{
    FAllowTimer = value;
    if (!value)
        FRepeatTimer.reset();
}

void TExCustomSpeedButton::Notification(TComponent* component, TOperation operation)
{
    TExGraphicControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FDropDownMenu)
        FDropDownMenu = nullptr;
}

void TExCustomSpeedButton::SetAction(TAction* action)
{
    QObject::disconnect(FActionConnection);
    FAction = action;
    if (action) {
        FActionConnection = QObject::connect(action, &QAction::changed, this, [this] { ActionChange(); });
        QObject::connect(action, &QObject::destroyed, this, [this, action] {
            if (FAction == action)
                FAction = nullptr;
        });
        ActionChange();
    }
}

void TExCustomSpeedButton::ActionChange()
{
    if (!FAction)
        return;
    SetCaption(FAction->Caption());
    SetEnabled(FAction->Enabled());
    SetHint(StdStr(FAction->toolTip()));
    if (FGroupIndex != 0 && FAllowAllUp && FAction->Checked() != FDown)
        SetDown(FAction->Checked());
}

// ---- painting

void TExCustomSpeedButton::PaintButtonBorder(TCanvas& canvas, TRect& r, bool pressed)
{
    const TColor face = Color();
    const TColor s = DarkerShade(face), h = LighterShade(face), w = clWindowFrame;
    const bool win31 = FStyle == TButtonStyle::bsWin31;
    if (!win31 && !FFlat) {
        if (pressed) {
            Frame3D(canvas, r, w, h);
            Frame3D(canvas, r, s, face);
        } else {
            Frame3D(canvas, r, h, w);
            Frame3D(canvas, r, face, s);
        }
    } else if (!win31) {
        Frame3D(canvas, r, pressed ? s : h, pressed ? h : s);
    } else if (!FFlat) {
        Frame3D(canvas, r, w, w);
        if (pressed) {
            canvas.Pen().SetColor(clBtnShadow);
            canvas.MoveTo(r.Left, r.Bottom - 1);
            canvas.LineTo(r.Left, r.Top);
            canvas.LineTo(r.Right, r.Top);
        } else {
            Frame3D(canvas, r, h, s);
        }
    } else {
        Frame3D(canvas, r, pressed ? w : h, pressed ? h : w);
    }
    InflateRect(r, -1, -1);
}

void TExCustomSpeedButton::Paint()
{
    TCanvas& canvas = Canvas();
    const bool designing = ComponentState().Contains(csDesigning);
    if (!Enabled()) {
        FState = TExButtonState::bsDisabled;
        FPressing = false;
    } else if (FState == TExButtonState::bsDisabled) {
        FState = FDown && FGroupIndex != 0 ? TExButtonState::bsExclusive : TExButtonState::bsUp;
    }
    TExButtonState pictureState = FFlat && !FMouseOver && !designing ? TExButtonState::bsInactive : FState;
    if (!FGrayedInactive)
        pictureState = FState;
    if (!Enabled())
        pictureState = TExButtonState::bsDisabled;
    const bool pressed = FState == TExButtonState::bsDown || FState == TExButtonState::bsExclusive;

    TJvxButtonGlyph& glyph = MainGlyph();
    glyph.Alignment = FAlignment;
    glyph.WordWrap = FWordWrap;
    canvas.Font().Assign(FFont.Font());
    TRect content = ClientRect();
    TPoint offset;
    const bool themed = CurrentThemeServices().ThemesEnabled();
    if (themed) {
        if (FTransparent)
            PaintParentImage(*this, canvas);
        else
            PaintThemedBackground(*this, canvas, ClientRect(), Color());
        if (FHotTrack && Hot())
            canvas.Font().Assign(FHotTrackFont);
        const TThemedState state = FState == TExButtonState::bsDisabled ? TThemedState::Disabled
                                   : pressed                            ? TThemedState::Pressed
                                   : Hot()                              ? TThemedState::Hot
                                                                        : TThemedState::Normal;
        if (FFlat) {
            QStyleOptionToolButton option;
            option.initFrom(this);
            option.rect = ClientRect().ToQt();
            option.state |= QStyle::State_AutoRaise;
            if (state == TThemedState::Pressed)
                option.state |= QStyle::State_Sunken | QStyle::State_On;
            else if (state == TThemedState::Hot)
                option.state |= QStyle::State_MouseOver | QStyle::State_Raised;
            if (state != TThemedState::Normal && state != TThemedState::Disabled)
                style()->drawPrimitive(QStyle::PE_PanelButtonTool, &option, canvas.Handle(), this);
        } else {
            const TThemedElementDetails details =
                TExThemeServices::GetElementDetails(TThemedElement::PushButton, state);
            CurrentThemeServices().DrawElement(*canvas.Handle(), details, ClientRect(), this);
            content = CurrentThemeServices().ContentRect(details, ClientRect(), this);
        }
        if (pressed)
            offset = {1, 0};
    } else {
        if (FTransparent) {
            PaintParentImage(*this, canvas);
        } else {
            canvas.Brush().SetStyle(TBrushStyle::bsSolid);
            canvas.Brush().SetColor(Color());
            canvas.FillRect(ClientRect());
        }
        TRect r = ClientRect();
        if (pictureState != TExButtonState::bsInactive || FState == TExButtonState::bsExclusive)
            PaintButtonBorder(canvas, r, pressed);
        else if (FFlat)
            InflateRect(r, -2, -2);
        if (FState == TExButtonState::bsExclusive && !FTransparent &&
            (!FFlat || pictureState == TExButtonState::bsInactive)) {
            TRect inner = r;
            InflateRect(inner, 1, 1);
            canvas.Handle()->fillRect(inner.ToQt(), QBrush(MakeCheckerPattern(clBtnFace, clBtnHighlight)));
        }
        if (pressed)
            offset = {1, 1};
        if (FHotTrack && (Hot() || (FDown && HotTrackOptions.Enabled))) {
            canvas.Font().Assign(FHotTrackFont);
            if (HotTrackOptions.Enabled) {
                canvas.Pen().SetColor(HotTrackOptions.FrameColor);
                if (FDown) {
                    canvas.Handle()->fillRect(ClientRect().ToQt(),
                                              QBrush(MakeCheckerPattern(HotTrackOptions.Color, clWindow)));
                    canvas.Brush().SetStyle(TBrushStyle::bsClear);
                } else {
                    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
                    canvas.Brush().SetColor(HotTrackOptions.Color);
                }
                canvas.Rectangle(0, 0, Width(), Height());
                canvas.Brush().SetStyle(TBrushStyle::bsSolid);
            }
        }
        content = r;
    }
    PaintContent(canvas, content, offset, FMarkDropDown && FDropDownMenu, pictureState);
}

// ---- TExSpeedButton

TExSpeedButton::TExSpeedButton(TComponent* AOwner, QWidget* parent) : TExCustomSpeedButton(AOwner, parent)
{
    FGlyph.OnChange = [this](TObject*) { Invalidate(); };
    FHotGlyph.OnChange = [this](TObject*) { Invalidate(); };
}

void TExSpeedButton::PaintContent(TCanvas& canvas, const TRect& content, TPoint offset, bool dropDownMark,
                                  TExButtonState pictureState)
{
    const bool offsetText = !CurrentThemeServices().ThemesEnabled();
    TJvxButtonGlyph* glyph = &FGlyph;
    if (HotTrack() && Hot() && !FHotGlyph.Glyph().isNull()) {
        FHotGlyph.Alignment = FGlyph.Alignment;
        FHotGlyph.SetGrayNewStyle(FGlyph.GrayNewStyle());
        FHotGlyph.SetNumGlyphs(FGlyph.NumGlyphs());
        FHotGlyph.WordWrap = FGlyph.WordWrap;
        glyph = &FHotGlyph;
    }
    glyph->Draw(canvas, content, offset, offsetText, Caption(), Layout(), Margin(), Spacing(), pictureState,
                dropDownMark);
}

// ---- TExImageSpeedButton

TExImageSpeedButton::TExImageSpeedButton(TComponent* AOwner, QWidget* parent) : TExCustomSpeedButton(AOwner, parent)
{
}

TExImageSpeedButton::~TExImageSpeedButton()
{
    if (FImages)
        FImages->UnRegisterChanges(FImagesLink);
}

void TExImageSpeedButton::SetImages(TCustomImageList* images)
{
    if (images == FImages)
        return;
    if (FImages) {
        FImages->UnRegisterChanges(FImagesLink);
        FImages->RemoveFreeNotification(this);
    }
    FImages = images;
    if (images) {
        FImagesLink = images->RegisterChanges([this](TObject*) { Invalidate(); });
        images->FreeNotification(this);
    }
    Invalidate();
}

void TExImageSpeedButton::SetImageIndex(int index)
{
    if (index == FImageIndex)
        return;
    FImageIndex = index;
    Invalidate();
}

void TExImageSpeedButton::SetHotTrackImageIndex(int index)
{
    if (index == FHotTrackImageIndex)
        return;
    FHotTrackImageIndex = index;
    Invalidate();
}

void TExImageSpeedButton::Notification(TComponent* component, TOperation operation)
{
    TExCustomSpeedButton::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FImages)
        FImages = nullptr;
}

void TExImageSpeedButton::PaintContent(TCanvas& canvas, const TRect& content, TPoint offset, bool dropDownMark,
                                       TExButtonState pictureState)
{
    const int index = HotTrack() && Hot() && FHotTrackImageIndex != -1 ? FHotTrackImageIndex : FImageIndex;
    FGlyph.Draw(canvas, content, offset, !CurrentThemeServices().ThemesEnabled(), Caption(), Layout(), Margin(),
                Spacing(), pictureState, dropDownMark, FImages, index);
}
