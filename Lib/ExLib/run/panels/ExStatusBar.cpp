#include "ExLib/run/panels/ExStatusBar.h"

#include "ExLib/run/common/ExExceptions.h"
#include "ExLib/run/common/ExResources.h"
#include "ExLib/run/common/ExStrUtils.h"
#include "ExLib/run/controls/ExTextDraw.h"

#include "Platform/controls/ControlFont.h"
#include "Platform/core/QtBridge.h"

#include <QStatusBar>

// ---- panels

TExStatusPanel::~TExStatusPanel()
{
    // Destroying a panel first lets its control go.
    if (FControl) {
        FControl->RemoveFreeNotification(&FBar);
        FControl = nullptr;
    }
}

void TExStatusPanel::Changed()
{
    FBar.Invalidate();
    FBar.PlaceControls();
}

void TExStatusPanel::SetWidth(int width)
{
    if (width == FWidth)
        return;
    FWidth = width;
    Changed();
}

void TExStatusPanel::SetText(const std::string& text)
{
    if (text == FText)
        return;
    FText = text;
    Changed();
}

void TExStatusPanel::SetAlignment(TAlignment alignment)
{
    if (alignment == FAlignment)
        return;
    FAlignment = alignment;
    Changed();
}

void TExStatusPanel::SetControl(TWinControlCore* control)
{
    if (FControl)
        FControl->RemoveFreeNotification(&FBar);
    FControl = nullptr;
    if (control == &FBar) {
        Changed();
        throw EExLibException(ExRes::InvalidControlSelection);
    }
    FControl = control;
    if (control) {
        control->SetParent(FBar.Widget());
        control->Widget()->resize(control->Width(), FBar.ClientHeight() - 4);
        control->FreeNotification(&FBar);
    }
    Changed();
}

void TExStatusPanel::SetMarginLeft(int value)
{
    if (value == FMarginLeft)
        return;
    FMarginLeft = value;
    Changed();
}

void TExStatusPanel::SetMarginTop(int value)
{
    if (value == FMarginTop)
        return;
    FMarginTop = value;
    Changed();
}

// ---- the bar

TExStatusBar::TExStatusBar(TComponent* AOwner, QWidget* parent) : TExExStatusBar(AOwner, parent)
{
    SetCustomPaint(true);
    setSizeGripEnabled(false);
}

TExStatusBar::~TExStatusBar()
{
    Destroying();
    QObject::disconnect(FMessageConnection);
    FPanels.clear();
}

TExStatusPanel& TExStatusBar::AddPanel()
{
    FPanels.push_back(std::make_unique<TExStatusPanel>(*this));
    Invalidate();
    return *FPanels.back();
}

void TExStatusBar::DeletePanel(int index)
{
    FPanels.erase(FPanels.begin() + index);
    Invalidate();
    PlaceControls();
}

void TExStatusBar::PlaceControls()
{
    int sum = 0;
    for (const auto& panel : FPanels) {
        if (panel->FControl)
            panel->FControl->Widget()->move(sum + panel->FMarginLeft, panel->FMarginTop);
        sum += panel->FWidth;
    }
}

void TExStatusBar::Resized()
{
    TExExStatusBar::Resized();
    PlaceControls();
}

void TExStatusBar::Notification(TComponent* component, TOperation operation)
{
    TExExStatusBar::Notification(component, operation);
    if (operation != TOperation::opRemove || ComponentState().Contains(csDestroying))
        return;
    for (const auto& panel : FPanels)
        if (static_cast<TComponent*>(panel->FControl) == component)
            panel->FControl = nullptr;
}

void TExStatusBar::SetAutoHint(bool value)
{
    if (value == FAutoHint)
        return;
    FAutoHint = value;
    QObject::disconnect(FMessageConnection);
    if (value)
        FMessageConnection = QObject::connect(this, &QStatusBar::messageChanged, this,
                                              [this](const QString& text) { ShowActionHint(StdStr(text)); });
}

bool TExStatusBar::ShowActionHint(const std::string& hint)
{
    if (TrimSpaces(hint).empty()) {
        LeaveHintMode();
        return true;
    }
    if (!FHintMode) {
        FHintMode = true;
        FHidden.clear();
        for (QObject* child : children())
            if (auto* widget = qobject_cast<QWidget*>(child); widget && widget->isVisibleTo(this)) {
                FHidden.emplace_back(widget);
                widget->hide();
            }
    }
    FHintText = hint;
    Invalidate();
    return true;
}

void TExStatusBar::LeaveHintMode()
{
    if (!FHintMode)
        return;
    FHintMode = false;
    FHintText.clear();
    for (const QPointer<QWidget>& widget : FHidden)
        if (widget)
            widget->show();
    FHidden.clear();
    Invalidate();
}

void TExStatusBar::Paint()
{
    TCanvas& canvas = Canvas();
    AssignQFont(canvas.Font(), font());
    canvas.Font().SetColor(clBtnText);
    canvas.Brush().SetColor(Color());
    canvas.FillRect(ClientRect());
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    const int h = ClientHeight();
    if (FHintMode) {
        TRect r = Rect(2, 0, ClientWidth() - 2, h);
        DrawTextOnCanvas(canvas, FHintText, -1, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, r);
        return;
    }
    int x = 0;
    for (size_t i = 0; i < FPanels.size(); ++i) {
        const TExStatusPanel& panel = *FPanels[i];
        const int right = i + 1 == FPanels.size() ? std::max(x + panel.Width(), ClientWidth()) : x + panel.Width();
        const TRect cell = Rect(x, 2, right - 2, h);
        canvas.Pen().SetColor(clBtnShadow);
        canvas.MoveTo(cell.Left, cell.Bottom - 1);
        canvas.LineTo(cell.Left, cell.Top);
        canvas.LineTo(cell.Right, cell.Top);
        canvas.Pen().SetColor(clBtnHighlight);
        canvas.MoveTo(cell.Right - 1, cell.Top + 1);
        canvas.LineTo(cell.Right - 1, cell.Bottom - 1);
        canvas.LineTo(cell.Left, cell.Bottom - 1);
        const unsigned align = panel.Alignment() == TAlignment::taCenter        ? DT_CENTER
                               : panel.Alignment() == TAlignment::taRightJustify ? DT_RIGHT
                                                                                 : DT_LEFT;
        TRect text = Rect(cell.Left + 2, cell.Top + 1, cell.Right - 2, cell.Bottom - 1);
        DrawTextOnCanvas(canvas, panel.Text(), -1, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, text);
        x += panel.Width();
    }
}
