#pragma once
// The office colour panel: 40 fixed colours in an 8 x 5 grid of swatch buttons, an optional
// automatic button above the grid and an optional other-colours button below it that opens the
// system colour dialog. At most one of its buttons is down: the one of the selected colour.

#include "ExLib/run/buttons/ExSpeedButton.h"
#include "ExLib/run/controls/ExComponent.h"

#include "Platform/controls/ColorDialog.h"

#include <array>
#include <functional>
#include <string>

// The look of a colour panel. A change is reported by property name.
class TExOfficeColorPanelProperties : public TPersistent {
public:
    using TChangeCallback = std::function<void(const std::string& name)>;

    TExOfficeColorPanelProperties();

    bool ShowAutoButton() const { return FShowAutoButton; }
    void SetShowAutoButton(bool value) { ChangeFlag(FShowAutoButton, value, "ShowAutoButton"); }
    bool ShowOtherButton() const { return FShowOtherButton; }
    void SetShowOtherButton(bool value) { ChangeFlag(FShowOtherButton, value, "ShowOtherButton"); }
    bool ShowColorHint() const { return FShowColorHint; }
    void SetShowColorHint(bool value) { ChangeFlag(FShowColorHint, value, "ShowColorHint"); }
    // Metrics: a write below the default stores the default.
    int TopMargin() const { return FTopMargin; }
    void SetTopMargin(int value) { ChangeMetric(FTopMargin, value, 2, "TopMargin"); }
    int BottomMargin() const { return FBottomMargin; }
    void SetBottomMargin(int value) { ChangeMetric(FBottomMargin, value, 4, "BottomMargin"); }
    int HorizontalMargin() const { return FHorizontalMargin; }
    void SetHorizontalMargin(int value) { ChangeMetric(FHorizontalMargin, value, 7, "HorizontalMargin"); }
    int ColorSpace() const { return FColorSpace; }
    void SetColorSpace(int value) { ChangeMetric(FColorSpace, value, 0, "ColorSpace"); }
    int ColorSpaceTop() const { return FColorSpaceTop; }
    void SetColorSpaceTop(int value) { ChangeMetric(FColorSpaceTop, value, 4, "ColorSpaceTop"); }
    int ColorSpaceBottom() const { return FColorSpaceBottom; }
    void SetColorSpaceBottom(int value) { ChangeMetric(FColorSpaceBottom, value, 4, "ColorSpaceBottom"); }
    int ColorSize() const { return FColorSize; }
    void SetColorSize(int value) { ChangeMetric(FColorSize, value, 18, "ColorSize"); }
    int ButtonHeight() const { return FButtonHeight; }
    void SetButtonHeight(int value) { ChangeMetric(FButtonHeight, value, 22, "ButtonHeight"); }
    const std::string& AutoCaption() const { return FAutoCaption; }
    void SetAutoCaption(const std::string& value) { ChangeText(FAutoCaption, value, "AutoCaption"); }
    const std::string& OtherCaption() const { return FOtherCaption; }
    void SetOtherCaption(const std::string& value) { ChangeText(FOtherCaption, value, "OtherCaption"); }
    const std::string& AutoHint() const { return FAutoHint; }
    void SetAutoHint(const std::string& value) { ChangeText(FAutoHint, value, "AutoHint"); }
    const std::string& OtherHint() const { return FOtherHint; }
    void SetOtherHint(const std::string& value) { ChangeText(FOtherHint, value, "OtherHint"); }
    // These two report every write.
    bool RightClickSelect() const { return FRightClickSelect; }
    void SetRightClickSelect(bool value);
    bool SelectIfPopup() const { return FSelectIfPopup; }
    void SetSelectIfPopup(bool value);
    // The automatic button's colour; not published.
    TColor AutoColor() const { return FAutoColor; }
    void SetAutoColor(TColor value);

    // Copies every value without reporting.
    void Assign(const TPersistent& source) override;
    virtual void LoadDefaultCaptions();

    TChangeCallback OnChange;

protected:
    virtual void NotifyChange(const std::string& name);
    void ChangeFlag(bool& field, bool value, const char* name);
    void ChangeMetric(int& field, int value, int minimum, const char* name);
    void ChangeInt(int& field, int value, const char* name);
    void ChangeText(std::string& field, const std::string& value, const char* name);

private:
    bool FShowAutoButton = true;
    bool FShowOtherButton = true;
    bool FShowColorHint = true;
    int FTopMargin = 2;
    int FBottomMargin = 4;
    int FHorizontalMargin = 7;
    int FColorSpace = 0;
    int FColorSpaceTop = 4;
    int FColorSpaceBottom = 4;
    int FColorSize = 18;
    int FButtonHeight = 22;
    std::string FAutoCaption;
    std::string FOtherCaption;
    std::string FAutoHint;
    std::string FOtherHint;
    bool FRightClickSelect = false;
    bool FSelectIfPopup = false;
    TColor FAutoColor = clDefault;
};

// A speed button with a colour of its own, whose hint can be switched off.
class TExColorSpeedButton : public TExSpeedButton {
public:
    using TExSpeedButton::TExSpeedButton;
    TColor ButtonColor() const { return FButtonColor; }
    void SetButtonColor(TColor value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value) { FShowHint = value; }

protected:
    bool HintShow(THintInfo& hintInfo) override { return !FShowHint || TExSpeedButton::HintShow(hintInfo); }

private:
    TColor FButtonColor = clDefault;
    bool FShowHint = true;
};

// A colour button that paints a swatch of its colour: a filled square for a grid cell, a framed
// swatch beside the caption of the automatic and other buttons, a bar under a glyph.
class TExSubColorButton : public TExColorSpeedButton {
public:
    using TExColorSpeedButton::TExColorSpeedButton;
    int EdgeWidth() const { return FEdgeWidth; }
    void SetEdgeWidth(int value);
    // How far the swatch lies inside the button.
    virtual int EdgeIndent() { return Height() / 5; }

protected:
    void Paint() override;

private:
    int FEdgeWidth = 4;
};

// The system colour dialog with OnShow and OnClose.
class TExOfficeColorDialog : public TColorDialog {
public:
    using TColorDialog::TColorDialog;
};

// What the user clicked last in a colour panel.
enum class TExColorButtonKind { cbkColor, cbkAuto, cbkOther, cbkNone };

class TExCustomOfficeColorPanel : public TExCustomPanel {
public:
    static constexpr int ColorCount = 40;
    static constexpr int AutoButtonTag = 41;
    static constexpr int OtherButtonTag = 42;

    explicit TExCustomOfficeColorPanel(TComponent* AOwner, QWidget* parent = nullptr);

    // The selected colour (published as the panel's Color, not its background). Setting it puts
    // the matching button down and raises OnColorChange.
    TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor color);
    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    TStrings& CustomColors() { return FDialog->CustomColors(); }
    TColorDialogOptions Options() const { return FOptions; }
    void SetOptions(TColorDialogOptions options) { FOptions = options; }
    TExOfficeColorPanelProperties& Properties() { return *FProperties; }
    // Copies the given look.
    void SetProperties(const TExOfficeColorPanelProperties& properties) { FProperties->Assign(properties); }
    TExOfficeColorDialog& ColorDialog() { return *FDialog; }
    TExColorButtonKind ClickedKind() const { return FClickedKind; }
    // Passed to all 42 buttons.
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value);

    TExSubColorButton* Cell(int tag) const { return FCells.at(static_cast<size_t>(tag)); }
    TExSubColorButton* AutoButton() const { return FAutoButton; }
    TExSubColorButton* OtherButton() const { return FOtherButton; }

    // Reacts to a change of the look, by property name (compared without letter case).
    virtual void SettingChanged(const std::string& name);
    // Places the buttons and sizes the panel (once constructed, with a parent).
    void LayOutPanel();

    TNotifyEvent OnColorChange;
    // Sender: the clicked button.
    TNotifyEvent OnColorButtonClick;

    // The colour of cell `tag`.
    static TColor CellColor(int tag);

protected:
    void Paint() override;
    void Resize() override;
    void AnyButtonClick(TExSubColorButton* button);
    void CellMouseUp(TExSubColorButton* cell, TMouseButton button);

private:
    TExSubColorButton* MakeButton(int tag, TColor color);
    void ForEachButton(const std::function<void(TExSubColorButton*)>& action);

    std::unique_ptr<TExOfficeColorPanelProperties> FProperties;
    std::array<TExSubColorButton*, ColorCount> FCells{};
    TExSubColorButton* FAutoButton = nullptr;
    TExSubColorButton* FOtherButton = nullptr;
    TExOfficeColorDialog* FDialog = nullptr;
    TColor FSelectedColor = clBlack;
    TColorDialogOptions FOptions;
    bool FFlat = true;
    bool FShowHint = true;
    bool FConstructed = false;
    TExColorButtonKind FClickedKind = TExColorButtonKind::cbkNone;
};

class TExOfficeColorPanel : public TExCustomOfficeColorPanel {
public:
    using TExCustomOfficeColorPanel::TExCustomOfficeColorPanel;
};
