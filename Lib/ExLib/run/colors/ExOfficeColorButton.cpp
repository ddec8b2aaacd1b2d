#include "ExLib/run/colors/ExOfficeColorButton.h"

#include "ExLib/run/common/ExResources.h"
#include "ExLib/run/common/ExStrUtils.h"
#include "ExLib/run/controls/ExThemes.h"

#include "Platform/graphics/Frame3D.h"

#include <QPainter>
#include <QScreen>

// ---- properties

TExOfficeColorButtonProperties::TExOfficeColorButtonProperties() : FDragBarHint(ExRes::DragToFloating) {}

void TExOfficeColorButtonProperties::Assign(const TPersistent& source)
{
    TExOfficeColorPanelProperties::Assign(source);
    const auto* other = dynamic_cast<const TExOfficeColorButtonProperties*>(&source);
    if (!other)
        return;
    FShowDragBar = other->FShowDragBar;
    FDragCaption = other->FDragCaption;
    FEdgeWidth = other->FEdgeWidth;
    FArrowWidth = other->FArrowWidth;
    FDragBarHeight = other->FDragBarHeight;
    FDragBarSpace = other->FDragBarSpace;
    FDragBarHint = other->FDragBarHint;
}

// ---- the arrow half

void TExColorArrowButton::Paint()
{
    TExColorSpeedButton::Paint();
    TCanvas& canvas = Canvas();
    TRect r = ClientRect();
    if (CurrentThemeServices().ThemesEnabled())
        r.Left -= 1;
    const bool pressed = Down() || State() == TExButtonState::bsDown || State() == TExButtonState::bsExclusive;
    if (!Flat()) {
        unsigned state = DFCS_BUTTONPUSH;
        if (pressed)
            state |= DFCS_PUSHED;
        if (MouseInside())
            state |= DFCS_HOT;
        PaintThemedFrameControl(this, *canvas.Handle(), r, DFC_BUTTON, state);
    } else if ((MouseInside() && Enabled()) || ComponentState().Contains(csDesigning)) {
        TRect edge = r;
        if (pressed)
            Frame3D(canvas, edge, clBtnShadow, clBtnHighlight); // sunken outer
        else
            Frame3D(canvas, edge, clBtnHighlight, clBtnShadow); // raised inner
    }
    const int x = (Width() - 6) / 2, y = Height() / 2 - 2;
    canvas.Pen().SetColor(Enabled() ? clBlack : clBtnShadow);
    canvas.Brush().SetColor(Enabled() ? clBlack : clBtnShadow);
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    canvas.Polygon({{x, y}, {x + 6, y}, {x + 3, y + 3}});
}

// ---- placement

TPoint PlaceColorPopup(const TRect& screen, TPoint origin, TSize window, int buttonHeight)
{
    TPoint place{origin.X, origin.Y + buttonHeight};
    if (place.X + window.cx > screen.Right)
        place.X = screen.Right - window.cx;
    if (place.Y + window.cy > screen.Bottom)
        place.Y = origin.Y - window.cy;
    return place;
}

// ---- the button

TExCustomOfficeColorButton::TExCustomOfficeColorButton(TComponent* AOwner, QWidget* parent)
    : TExCustomPanel(AOwner, parent)
{
    SetControlStyle(ControlStyle() - TControlStyle{csAcceptsControls, csSetCaption} + TControlStyle{csOpaque});
    SetBevelOuter(TPanelBevel::bvNone);
    resize(36, 22);

    FMainButton = new TExColorMainButton(this, this);
    FMainButton->Tag = MainButtonTag;
    FMainButton->SetNumGlyphs(2);
    FMainButton->OnClick = [this](TObject*) {
        if (OnClick)
            OnClick(this);
    };
    FArrowButton = new TExColorArrowButton(this, this);
    FArrowButton->Tag = ArrowButtonTag;
    FArrowButton->SetGroupIndex(2);
    FArrowButton->SetAllowAllUp(true);
    FArrowButton->OnClick = [this](TObject*) { ArrowButtonClick(); };

    FWindow = new TExOfficeColorForm(this);
    FWindow->SetFormStyle(TFormStyle::fsStayOnTop);
    FWindow->SetTornOff(false);
    FWindow->OnWindowShownOrHidden = [this](TObject*) { PopupShowingChanged(); };
    FWindow->OnWindowFocusGone = [this](TObject*) { PopupFocusLost(); };
    FWindow->OnClose = [this](TObject*, TCloseAction& action) { PopupClose(action); };
    FWindow->OnTearOffChanged = [this](TObject*) { PopupStyleChanged(); };
    TExOfficeColorPanel& panel = FWindow->ColorPanel();
    panel.OnColorChange = [this](TObject*) { PanelColorChange(); };
    panel.OnColorButtonClick = [this](TObject* sender) { PanelColorButtonClick(sender); };

    FProperties = std::make_unique<TExOfficeColorButtonProperties>();
    FProperties->Assign(panel.Properties());
    FProperties->OnChange = [this](const std::string& name) { SettingChanged(name); };
    // why: every change reaches the panel through the button.
    panel.Properties().OnChange = nullptr;

    for (TExColorSpeedButton* half : {static_cast<TExColorSpeedButton*>(FMainButton),
                                      static_cast<TExColorSpeedButton*>(FArrowButton)}) {
        half->SetFlat(true);
        half->OnMouseEnter = [this](TObject*) { ButtonsMouseEnter(); };
        half->OnMouseLeave = [this](TObject* sender) { ButtonsMouseLeave(sender); };
    }
    FConstructed = true;
    AdjustSize();
}

TExCustomOfficeColorButton::~TExCustomOfficeColorButton()
{
    FDestroying = true;
    if (FWindow->isVisible()) {
        FWindow->OnWindowShownOrHidden = nullptr;
        FWindow->OnWindowFocusGone = nullptr;
        FWindow->OnTearOffChanged = nullptr;
        FWindow->Hide();
    }
    FWindow->OnWindowShownOrHidden = nullptr;
    FWindow->OnWindowFocusGone = nullptr;
    FWindow->OnTearOffChanged = nullptr;
    FWindow->ColorPanel().OnColorChange = nullptr;
    FWindow->ColorPanel().OnColorButtonClick = nullptr;
    FProperties.reset();
}

void TExCustomOfficeColorButton::SetSelectedColor(TColor color)
{
    if (color != SelectedColor())
        FWindow->ColorPanel().SetSelectedColor(color);
}

void TExCustomOfficeColorButton::SetFaceColor(TColor color)
{
    if (color == clDefault || color == FaceColor())
        return;
    FMainButton->SetColor(color);
    FArrowButton->SetColor(color);
}

void TExCustomOfficeColorButton::SetFlat(bool value)
{
    if (value == FFlat)
        return;
    FFlat = value;
    FMainButton->SetFlat(value);
    FArrowButton->SetFlat(value);
}

void TExCustomOfficeColorButton::SetProperties(const TExOfficeColorButtonProperties& properties)
{
    FProperties->Assign(properties);
    FWindow->ColorPanel().Properties().Assign(properties);
}

void TExCustomOfficeColorButton::AdjustSize()
{
    if (!FConstructed || FAdjusting)
        return;
    if (FProperties->ArrowWidth() < 13) {
        FProperties->SetArrowWidth(13); // reported as "ArrowWidth", which adjusts again
        return;
    }
    FAdjusting = true;
    const int arrow = FProperties->ArrowWidth();
    const int width = Width() - arrow < 23 ? arrow + 23 : Width();
    const int height = std::max(Height(), 22);
    if (width != Width() || height != Height())
        resize(width, height);
    FMainButton->SetBounds(0, 0, width - arrow, height);
    FArrowButton->SetBounds(width - arrow, 0, arrow, height);
    FAdjusting = false;
}

void TExCustomOfficeColorButton::Resize()
{
    TExCustomPanel::Resize();
    AdjustSize();
}

void TExCustomOfficeColorButton::FontChanged()
{
    TExCustomPanel::FontChanged();
    if (FWindow)
        FWindow->setFont(font());
}

void TExCustomOfficeColorButton::EnabledChanged()
{
    TExCustomPanel::EnabledChanged();
    if (FWindow)
        FWindow->ColorPanel().SetEnabled(Enabled());
}

void TExCustomOfficeColorButton::PlacePopup(int x, int y)
{
    const TPoint origin = x != 0 || y != 0 ? TPoint{x, y} : FMainButton->ClientToScreen({0, 0});
    // why: the window opens on the screen that shows the button, not on the primary screen.
    const QScreen* shown = screen();
    const TRect area = shown ? TRect::FromQt(shown->geometry()) : Rect(0, 0, 0x3FFFFFFF, 0x3FFFFFFF);
    const TPoint place = PlaceColorPopup(area, origin, {FWindow->Width(), FWindow->Height()}, Height());
    FWindow->move(place.X, place.Y);
}

void TExCustomOfficeColorButton::DropDownAt(int x, int y)
{
    PlacePopup(x, y);
    FWindow->Show();
    FWindow->raise();
    FWindow->activateWindow();
    FWindow->setFocus();
    FDropped = true;
}

void TExCustomOfficeColorButton::ArrowButtonClick()
{
    if (FWindow->isVisible() || FDropped) {
        FWindow->Hide();
        FDropped = false;
        FArrowButton->SetDown(false);
    } else {
        if (OnDropDown)
            OnDropDown(this);
        DropDownAt(0, 0);
    }
    if (OnArrowClick)
        OnArrowClick(this);
}

void TExCustomOfficeColorButton::CloseUp()
{
    FWindow->Hide();
    FWindow->SetTornOff(false);
    FArrowButton->SetDown(false);
    FDropped = false;
}

void TExCustomOfficeColorButton::PanelColorButtonClick(TObject* sender)
{
    if (!FWindow->TornOff())
        CloseUp();
    else if (sender == FWindow->ColorPanel().OtherButton())
        FWindow->SetFormStyle(TFormStyle::fsNormal);
    if (OnColorButtonClick)
        OnColorButtonClick(sender);
}

void TExCustomOfficeColorButton::PanelColorChange()
{
    FMainButton->SetButtonColor(SelectedColor());
    if (FWindow->TornOff())
        FWindow->SetFormStyle(TFormStyle::fsStayOnTop);
    if (OnColorChange)
        OnColorChange(this);
}

void TExCustomOfficeColorButton::PopupFocusLost()
{
    if (!FWindow->TornOff() && !MouseInClientRect(*FArrowButton))
        CloseUp();
}

void TExCustomOfficeColorButton::PopupShowingChanged()
{
    if (FWindow->isVisible())
        return;
    FArrowButton->SetDown(false);
    // why: a window hidden by Escape is no longer dropped, so the next arrow click opens it again.
    FDropped = false;
    TellHalf(FMainButton, CM_MOUSELEAVE);
    TellHalf(FArrowButton, CM_MOUSELEAVE);
}

void TExCustomOfficeColorButton::PopupClose(TCloseAction& action)
{
    if (FWindow->TornOff())
        FDropped = false;
    action = FDestroying ? TCloseAction::caFree : TCloseAction::caHide;
}

void TExCustomOfficeColorButton::PopupStyleChanged()
{
    if (!FWindow->TornOff())
        return;
    FArrowButton->SetDown(false);
    TellHalf(FMainButton, CM_MOUSELEAVE);
    TellHalf(FArrowButton, CM_MOUSELEAVE);
}

void TExCustomOfficeColorButton::TellHalf(TExColorSpeedButton* half, UINT message)
{
    if (FTelling)
        return;
    FTelling = true;
    try {
        half->Perform(message, 0, reinterpret_cast<LPARAM>(half));
    } catch (...) {
        FTelling = false;
        throw;
    }
    FTelling = false;
}

void TExCustomOfficeColorButton::ButtonsMouseEnter()
{
    if (!FFlat || !Enabled() || FTelling)
        return;
    TellHalf(FMainButton, CM_MOUSEENTER);
    TellHalf(FArrowButton, CM_MOUSEENTER);
}

void TExCustomOfficeColorButton::ButtonsMouseLeave(TObject* sender)
{
    if (!FFlat || !Enabled() || FTelling)
        return;
    const bool shown = FWindow->isVisible();
    if (sender == FMainButton)
        TellHalf(shown ? static_cast<TExColorSpeedButton*>(FMainButton) : FArrowButton,
                 shown ? CM_MOUSEENTER : CM_MOUSELEAVE);
    else
        TellHalf(shown ? static_cast<TExColorSpeedButton*>(FArrowButton) : FMainButton,
                 shown ? CM_MOUSEENTER : CM_MOUSELEAVE);
}

void TExCustomOfficeColorButton::SettingChanged(const std::string& name)
{
    auto is = [&](const char* n) { return SameTextIgnoringCase(name, n); };
    if (is("ShowDragBar")) {
        if (FProperties->ShowDragBar() != FWindow->ShowDragBar()) {
            FWindow->SwitchDragBar(FProperties->ShowDragBar());
            if (!FProperties->ShowDragBar() && FWindow->Dragged())
                PlacePopup(0, 0);
        }
    } else if (is("DragCaption")) {
        FWindow->SetCaption(FProperties->DragCaption());
    } else if (is("DragBarHeight") || is("DragBarSpace")) {
        FWindow->SetDragBarMetric(is("DragBarHeight"),
                                  is("DragBarHeight") ? FProperties->DragBarHeight() : FProperties->DragBarSpace());
        PlacePopup(0, 0);
    } else if (is("DragBarHint")) {
        FWindow->ChangeDragBarHint(FProperties->DragBarHint());
    } else if (is("ArrowWidth")) {
        AdjustSize();
    } else if (is("EdgeWidth")) {
        FMainButton->SetEdgeWidth(FProperties->EdgeWidth());
    } else {
        TExOfficeColorPanel& panel = FWindow->ColorPanel();
        panel.Properties().Assign(*FProperties);
        panel.SettingChanged(name);
        FWindow->LayOutWindow();
    }
}
