#include "ExLib/run/colors/ExOfficeColorPanel.h"

#include "ExLib/run/common/ExResources.h"
#include "ExLib/run/common/ExStrUtils.h"

namespace {

constexpr TColor SwatchGray = 0x808080;

// The grid's colours, row by row (0x00BBGGRR).
constexpr std::array<TColor, TExCustomOfficeColorPanel::ColorCount> CellColors = {
    0x000000, 0x003399, 0x003333, 0x003300, 0x663300, 0x800000, 0x993333, 0x333333,
    0x000080, 0x0066FF, 0x008080, 0x008000, 0x808000, 0xFF0000, 0x996666, 0x808080,
    0x0000FF, 0x0099FF, 0x00CC99, 0x669933, 0xCCCC33, 0xFF6633, 0x800080, 0x999999,
    0xFF00FF, 0x00CCFF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFFCC00, 0x663399, 0xC0C0C0,
    0xCC99FF, 0x99CCFF, 0x99FFFF, 0xCCFFCC, 0xFFFFCC, 0xFFCC99, 0xFF99CC, 0xFFFFFF,
};

// True when the control or a parent of it offers a context menu.
bool HasPopupMenuAbove(const QWidget* widget)
{
    for (; widget; widget = widget->parentWidget()) {
        const Qt::ContextMenuPolicy policy = widget->contextMenuPolicy();
        if (policy == Qt::CustomContextMenu || policy == Qt::ActionsContextMenu)
            return true;
    }
    return false;
}

} // namespace

// ---- properties

TExOfficeColorPanelProperties::TExOfficeColorPanelProperties()
{
    LoadDefaultCaptions();
}

void TExOfficeColorPanelProperties::LoadDefaultCaptions()
{
    FAutoCaption = ExRes::Automatic;
    FOtherCaption = ExRes::OtherColors;
}

void TExOfficeColorPanelProperties::NotifyChange(const std::string& name)
{
    if (OnChange)
        OnChange(name);
}

void TExOfficeColorPanelProperties::ChangeFlag(bool& field, bool value, const char* name)
{
    if (value == field)
        return;
    field = value;
    NotifyChange(name);
}

void TExOfficeColorPanelProperties::ChangeMetric(int& field, int value, int minimum, const char* name)
{
    if (value == field)
        return;
    field = std::max(value, minimum);
    NotifyChange(name);
}

void TExOfficeColorPanelProperties::ChangeInt(int& field, int value, const char* name)
{
    if (value == field)
        return;
    field = value;
    NotifyChange(name);
}

void TExOfficeColorPanelProperties::ChangeText(std::string& field, const std::string& value, const char* name)
{
    if (value == field)
        return;
    field = value;
    NotifyChange(name);
}

void TExOfficeColorPanelProperties::SetRightClickSelect(bool value)
{
    FRightClickSelect = value;
    NotifyChange("RightClickSelect");
}

void TExOfficeColorPanelProperties::SetSelectIfPopup(bool value)
{
    FSelectIfPopup = value;
    NotifyChange("SelectIfPopup");
}

void TExOfficeColorPanelProperties::SetAutoColor(TColor value)
{
    if (value == FAutoColor)
        return;
    FAutoColor = value;
    NotifyChange("AutoColor");
}

void TExOfficeColorPanelProperties::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TExOfficeColorPanelProperties*>(&source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    FShowAutoButton = other->FShowAutoButton;
    FShowOtherButton = other->FShowOtherButton;
    FShowColorHint = other->FShowColorHint;
    FTopMargin = other->FTopMargin;
    FBottomMargin = other->FBottomMargin;
    FHorizontalMargin = other->FHorizontalMargin;
    FColorSpace = other->FColorSpace;
    FColorSpaceTop = other->FColorSpaceTop;
    FColorSpaceBottom = other->FColorSpaceBottom;
    FColorSize = other->FColorSize;
    FButtonHeight = other->FButtonHeight;
    FAutoCaption = other->FAutoCaption;
    FOtherCaption = other->FOtherCaption;
    FAutoHint = other->FAutoHint;
    FOtherHint = other->FOtherHint;
    FRightClickSelect = other->FRightClickSelect;
    FSelectIfPopup = other->FSelectIfPopup;
    FAutoColor = other->FAutoColor;
}

// ---- colour buttons

void TExColorSpeedButton::SetButtonColor(TColor value)
{
    if (value == FButtonColor)
        return;
    FButtonColor = value;
    Invalidate();
}

void TExSubColorButton::SetEdgeWidth(int value)
{
    if (value == FEdgeWidth)
        return;
    FEdgeWidth = value;
    Invalidate();
}

void TExSubColorButton::Paint()
{
    TExColorSpeedButton::Paint();
    if (!Visible())
        return;
    TCanvas& canvas = Canvas();
    const TColor swatch = Enabled() ? ButtonColor() : SwatchGray;
    int e = EdgeIndent();
    if (e < 0)
        e = Height() / 5;
    canvas.Pen().SetColor(SwatchGray);
    canvas.Pen().SetStyle(TPenStyle::psSolid);
    canvas.Brush().SetColor(swatch);
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    if (Glyph().isNull() && Caption().empty()) {
        canvas.Rectangle(e, e, Width() - e, Height() - e);
    } else if (Glyph().isNull()) {
        canvas.Brush().SetStyle(TBrushStyle::bsClear);
        canvas.Rectangle(e - 1, e - 1, Width() - (e - 1), Height() - (e - 1));
        canvas.Brush().SetStyle(TBrushStyle::bsSolid);
        canvas.Rectangle(e + 1, e + 1, Height(), Height() - e);
    } else {
        const int shift = State() == TExButtonState::bsDown ? 1 : 0;
        const int x = Width() / 2 - 9 + shift, y = Height() / 2 + 4 + shift;
        canvas.FillRect(Rect(x, y, x + 17, y + 4));
    }
}

// ---- panel

TColor TExCustomOfficeColorPanel::CellColor(int tag)
{
    return CellColors.at(static_cast<size_t>(tag));
}

TExCustomOfficeColorPanel::TExCustomOfficeColorPanel(TComponent* AOwner, QWidget* parent)
    : TExCustomPanel(AOwner, parent), FProperties(std::make_unique<TExOfficeColorPanelProperties>())
{
    SetControlStyle(ControlStyle() - TControlStyle{csAcceptsControls});
    FProperties->OnChange = [this](const std::string& name) { SettingChanged(name); };
    FAutoButton = MakeButton(AutoButtonTag, FProperties->AutoColor());
    FAutoButton->SetDown(true);
    FOtherButton = MakeButton(OtherButtonTag, clDefault);
    FDialog = new TExOfficeColorDialog(this);
    for (int tag = 0; tag < ColorCount; ++tag) {
        TExSubColorButton* cell = MakeButton(tag, CellColors[static_cast<size_t>(tag)]);
        cell->OnMouseUp = [this, cell](TObject*, TMouseButton button, TShiftState, int, int) { CellMouseUp(cell, button); };
        FCells[static_cast<size_t>(tag)] = cell;
    }
    FConstructed = true;
    LayOutPanel();
}

TExSubColorButton* TExCustomOfficeColorPanel::MakeButton(int tag, TColor color)
{
    auto* button = new TExSubColorButton(this, this);
    button->Tag = tag;
    button->SetButtonColor(color);
    button->SetHint(ColorToString(color));
    button->SetFlat(true);
    button->SetGroupIndex(1);
    button->SetAllowAllUp(true);
    button->OnClick = [this, button](TObject*) { AnyButtonClick(button); };
    return button;
}

void TExCustomOfficeColorPanel::ForEachButton(const std::function<void(TExSubColorButton*)>& action)
{
    action(FAutoButton);
    action(FOtherButton);
    for (TExSubColorButton* cell : FCells)
        action(cell);
}

void TExCustomOfficeColorPanel::SetSelectedColor(TColor color)
{
    if (color == FSelectedColor)
        return;
    FSelectedColor = color;
    if (color == FAutoButton->ButtonColor()) {
        FAutoButton->SetDown(true);
    } else {
        FAutoButton->SetDown(false);
        for (TExSubColorButton* cell : FCells) {
            if (cell->ButtonColor() == color) {
                cell->SetDown(true);
                break;
            }
            cell->SetDown(false);
        }
    }
    if (OnColorChange)
        OnColorChange(this);
}

void TExCustomOfficeColorPanel::SetFlat(bool value)
{
    if (value == FFlat)
        return;
    FFlat = value;
    Invalidate();
}

void TExCustomOfficeColorPanel::SetShowHint(bool value)
{
    FShowHint = value;
    ForEachButton([value](TExSubColorButton* b) { b->SetShowHint(value); });
}

void TExCustomOfficeColorPanel::AnyButtonClick(TExSubColorButton* button)
{
    FClickedKind = button == FAutoButton    ? TExColorButtonKind::cbkAuto
                   : button == FOtherButton ? TExColorButtonKind::cbkOther
                                            : TExColorButtonKind::cbkColor;
    if (OnColorButtonClick)
        OnColorButtonClick(button);
    if (button == FOtherButton) {
        FDialog->SetOptions(FOptions);
        FDialog->SetColor(FSelectedColor);
        if (FDialog->Execute()) {
            const TColor chosen = FDialog->Color();
            SetSelectedColor(chosen);
            FOtherButton->SetButtonColor(chosen);
            FOtherButton->SetHint(ColorToString(chosen));
        }
        return;
    }
    button->SetDown(true);
    SetSelectedColor(button->ButtonColor());
}

void TExCustomOfficeColorPanel::CellMouseUp(TExSubColorButton* cell, TMouseButton button)
{
    if (OnMouseUp)
        OnMouseUp(cell, button, {}, 0, 0);
    if (HasPopupMenuAbove(this) && !FProperties->SelectIfPopup())
        return;
    if (FProperties->RightClickSelect() && button == TMouseButton::mbRight)
        AnyButtonClick(cell);
}

void TExCustomOfficeColorPanel::SettingChanged(const std::string& name)
{
    auto is = [&](const char* n) { return SameTextIgnoringCase(name, n); };
    if (is("ShowAutoButton") || is("ShowOtherButton")) {
        LayOutPanel();
    } else if (is("AutoCaption")) {
        if (FProperties->AutoCaption().empty())
            FProperties->SetShowAutoButton(false);
    } else if (is("OtherCaption")) {
        if (FProperties->OtherCaption().empty())
            FProperties->SetShowOtherButton(false);
    } else if (is("AutoHint")) {
        FAutoButton->SetHint(FProperties->AutoHint());
    } else if (is("OtherHint")) {
        FOtherButton->SetHint(FProperties->OtherHint());
    } else if (is("AutoColor")) {
        FAutoButton->SetButtonColor(FProperties->AutoColor());
    } else if (is("ShowColorHint")) {
        SetShowHint(FProperties->ShowColorHint());
    } else {
        LayOutPanel();
    }
}

void TExCustomOfficeColorPanel::LayOutPanel()
{
    if (!FConstructed || !parentWidget())
        return;
    const TExOfficeColorPanelProperties& p = *FProperties;
    const int shownButtons = (p.ShowAutoButton() ? 1 : 0) + (p.ShowOtherButton() ? 1 : 0);
    const int width = 2 * p.HorizontalMargin() + 8 * p.ColorSize() + 7 * p.ColorSpace();
    const int height = p.TopMargin() + p.BottomMargin() + p.ColorSpaceTop() + p.ColorSpaceBottom() +
                       5 * p.ColorSize() + 4 * p.ColorSpace() + shownButtons * p.ButtonHeight();
    if (Width() != width || Height() != height)
        resize(width, height);
    const int buttonWidth = ClientWidth() - 2 * p.HorizontalMargin();
    int gridX = p.HorizontalMargin(), gridY = 0;
    FAutoButton->SetVisible(p.ShowAutoButton());
    if (p.ShowAutoButton()) {
        FAutoButton->SetCaption(p.AutoCaption());
        FAutoButton->SetBounds(p.HorizontalMargin(), p.TopMargin(), buttonWidth, p.ButtonHeight());
        gridY = p.TopMargin() + p.ButtonHeight();
    }
    const int step = p.ColorSize() + p.ColorSpace();
    for (int tag = 0; tag < ColorCount; ++tag)
        FCells[static_cast<size_t>(tag)]->SetBounds(gridX + (tag % 8) * step, gridY + p.ColorSpaceTop() + (tag / 8) * step,
                                                    p.ColorSize(), p.ColorSize());
    FOtherButton->SetVisible(p.ShowOtherButton());
    if (p.ShowOtherButton()) {
        FOtherButton->SetCaption(p.OtherCaption());
        const int lastTop = FCells.back()->Top();
        FOtherButton->SetBounds(p.HorizontalMargin(), lastTop + p.ColorSize() + p.ColorSpaceBottom(), buttonWidth,
                                p.ButtonHeight());
    }
}

void TExCustomOfficeColorPanel::Paint()
{
    TExCustomPanel::Paint();
    if (FFlat) {
        Canvas().Brush().SetColor(clBtnFace);
        Canvas().FrameRect(ClientRect());
    }
    LayOutPanel();
}

void TExCustomOfficeColorPanel::Resize()
{
    TExCustomPanel::Resize();
    LayOutPanel();
}
