#pragma once
// TExStatusBar: a status bar whose panels can each host a control, kept in place when the bar
// resizes, and which shows an action's hint as one full-width text, hiding the hosted controls
// meanwhile.

#include "ExLib/run/common/ExLibTypes.h"
#include "ExLib/run/controls/ExExComCtrls.h"

#include <QPointer>
#include <memory>
#include <vector>

class TExStatusBar;

class TExStatusPanel {
public:
    explicit TExStatusPanel(TExStatusBar& bar) : FBar(bar) {}
    ~TExStatusPanel();
    TExStatusPanel(const TExStatusPanel&) = delete;
    TExStatusPanel& operator=(const TExStatusPanel&) = delete;

    int Width() const { return FWidth; }
    void SetWidth(int width);
    const std::string& Text() const { return FText; }
    void SetText(const std::string& text);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);
    TWinControlCore* Control() const { return FControl; }
    // Raises EExLibException "Invalid control selection" for the bar itself.
    void SetControl(TWinControlCore* control);
    int MarginLeft() const { return FMarginLeft; }
    void SetMarginLeft(int value);
    int MarginTop() const { return FMarginTop; }
    void SetMarginTop(int value);

private:
    friend class TExStatusBar;
    void Changed();
    TExStatusBar& FBar;
    int FWidth = 50;
    std::string FText;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    TWinControlCore* FControl = nullptr;
    int FMarginLeft = 3;
    int FMarginTop = 3;
};

class TExStatusBar : public TExExStatusBar {
public:
    explicit TExStatusBar(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExStatusBar() override;

    int PanelCount() const { return static_cast<int>(FPanels.size()); }
    TExStatusPanel& Panels(int index) const { return *FPanels.at(static_cast<size_t>(index)); }
    TExStatusPanel& AddPanel();
    void DeletePanel(int index);

    // Show action hints in the bar (also the hints Qt shows as status tips).
    bool AutoHint() const { return FAutoHint; }
    void SetAutoHint(bool value);
    // An action's hint: a non-blank text enters hint mode, an empty one leaves it; true when
    // the bar took it.
    bool ShowActionHint(const std::string& hint);
    // Any other action leaves hint mode.
    void OtherAction() { LeaveHintMode(); }
    bool HintMode() const { return FHintMode; }
    const std::string& HintText() const { return FHintText; }

    using TExExStatusBar::HintColor;
    using TExExStatusBar::OnMouseEnter;
    using TExExStatusBar::OnMouseLeave;
    using TExExStatusBar::OnParentColorChange;
    using TExExStatusBar::SetHintColor;

protected:
    void Paint() override;
    void Resized() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TExStatusPanel;
    void PlaceControls();
    void LeaveHintMode();

    std::vector<std::unique_ptr<TExStatusPanel>> FPanels;
    bool FAutoHint = false;
    bool FHintMode = false;
    std::string FHintText;
    std::vector<QPointer<QWidget>> FHidden;
    QMetaObject::Connection FMessageConnection;
};
