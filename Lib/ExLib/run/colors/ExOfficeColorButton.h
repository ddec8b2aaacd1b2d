#pragma once
// TExOfficeColorButton: a split button for choosing a colour. The left half shows the selected
// colour (a swatch, or a glyph with a colour bar under it); the narrow right half drops down the
// colour window under the button, on the button's own screen.

#include "ExLib/run/colors/ExOfficeColorForm.h"

// The look of the colour window and of the two halves; a change is reported by name.
class TExOfficeColorButtonProperties : public TExOfficeColorPanelProperties {
public:
    TExOfficeColorButtonProperties();

    bool ShowDragBar() const { return FShowDragBar; }
    void SetShowDragBar(bool value) { ChangeFlag(FShowDragBar, value, "ShowDragBar"); }
    const std::string& DragCaption() const { return FDragCaption; }
    void SetDragCaption(const std::string& value) { ChangeText(FDragCaption, value, "DragCaption"); }
    // The minimums apply where these are used, not when they are stored.
    int EdgeWidth() const { return FEdgeWidth; }
    void SetEdgeWidth(int value) { ChangeInt(FEdgeWidth, value, "EdgeWidth"); }
    int ArrowWidth() const { return FArrowWidth; }
    void SetArrowWidth(int value) { ChangeInt(FArrowWidth, value, "ArrowWidth"); }
    int DragBarHeight() const { return FDragBarHeight; }
    void SetDragBarHeight(int value) { ChangeInt(FDragBarHeight, value, "DragBarHeight"); }
    int DragBarSpace() const { return FDragBarSpace; }
    void SetDragBarSpace(int value) { ChangeInt(FDragBarSpace, value, "DragBarSpace"); }
    const std::string& DragBarHint() const { return FDragBarHint; }
    void SetDragBarHint(const std::string& value) { ChangeText(FDragBarHint, value, "DragBarHint"); }

    void Assign(const TPersistent& source) override;

private:
    bool FShowDragBar = true;
    std::string FDragCaption;
    int FEdgeWidth = 4;
    int FArrowWidth = 13;
    int FDragBarHeight = 7;
    int FDragBarSpace = 3;
    std::string FDragBarHint;
};

// The left half: a swatch inset by the edge width.
class TExColorMainButton : public TExSubColorButton {
public:
    using TExSubColorButton::TExSubColorButton;
    int EdgeIndent() override { return EdgeWidth(); }
};

// The right half: a small arrow, with a frame that follows the pressed and hot states.
class TExColorArrowButton : public TExColorSpeedButton {
public:
    using TExColorSpeedButton::TExColorSpeedButton;

protected:
    void Paint() override;
};

// Where the colour window goes: at `origin`, below a button `buttonHeight` high, kept inside
// `screen` on the right and put above the button when it would pass the screen's lower edge.
TPoint PlaceColorPopup(const TRect& screen, TPoint origin, TSize window, int buttonHeight);

class TExCustomOfficeColorButton : public TExCustomPanel {
public:
    static constexpr int MainButtonTag = 43;
    static constexpr int ArrowButtonTag = 44;

    explicit TExCustomOfficeColorButton(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExCustomOfficeColorButton() override;

    // The chosen colour (the panel's); any colour, clNone and clDefault too.
    TColor SelectedColor() const { return FWindow->ColorPanel().SelectedColor(); }
    void SetSelectedColor(TColor color);
    // The background of both halves (the published Color); clDefault is ignored.
    TColor FaceColor() const { return FArrowButton->Color(); }
    void SetFaceColor(TColor color);
    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    TStrings& CustomColors() { return FWindow->ColorPanel().CustomColors(); }
    TColorDialogOptions Options() const { return FWindow->ColorPanel().Options(); }
    void SetOptions(TColorDialogOptions options) { FWindow->ColorPanel().SetOptions(options); }
    const QImage& Glyph() const { return FMainButton->Glyph(); }
    void SetGlyph(const QImage& glyph) { FMainButton->SetGlyph(glyph); }
    TExOfficeColorButtonProperties& Properties() { return *FProperties; }
    // Copies the given look into the button's and the panel's settings, without reporting.
    void SetProperties(const TExOfficeColorButtonProperties& properties);

    TExColorMainButton* MainButton() const { return FMainButton; }
    TExColorArrowButton* ArrowButton() const { return FArrowButton; }
    TExOfficeColorForm& ColorWindow() const { return *FWindow; }
    // The window was dropped down by the arrow.
    bool Dropped() const { return FDropped; }

    virtual void DropDownAt(int x, int y);
    virtual void SettingChanged(const std::string& name);
    // Keeps the button at least 23 pixels plus the arrow wide and 22 high, and places the halves.
    void AdjustSize();
    // Places the window under the button (at (x, y) when either is not 0).
    void PlacePopup(int x, int y);

    TNotifyEvent OnDropDown;
    TNotifyEvent OnArrowClick;
    TNotifyEvent OnColorChange;
    // Sender: the clicked button of the window.
    TNotifyEvent OnColorButtonClick;

protected:
    void Resize() override;
    void FontChanged() override;
    void EnabledChanged() override;

private:
    void ArrowButtonClick();
    void PanelColorButtonClick(TObject* sender);
    void PanelColorChange();
    void PopupFocusLost();
    void PopupShowingChanged();
    void PopupClose(TCloseAction& action);
    void PopupStyleChanged();
    // Hides the window, back in drop-down style, with the arrow released.
    void CloseUp();
    void ButtonsMouseEnter();
    void ButtonsMouseLeave(TObject* sender);
    // Sends a mouse-enter or mouse-leave notification to a half, without echoes.
    void TellHalf(TExColorSpeedButton* half, UINT message);

    TExColorMainButton* FMainButton = nullptr;
    TExColorArrowButton* FArrowButton = nullptr;
    TExOfficeColorForm* FWindow = nullptr;
    std::unique_ptr<TExOfficeColorButtonProperties> FProperties;
    bool FFlat = true;
    bool FDropped = false;
    bool FConstructed = false;
    bool FAdjusting = false;
    bool FTelling = false;
    bool FDestroying = false;
};

class TExOfficeColorButton : public TExCustomOfficeColorButton {
public:
    using TExCustomOfficeColorButton::TExCustomOfficeColorButton;
};
