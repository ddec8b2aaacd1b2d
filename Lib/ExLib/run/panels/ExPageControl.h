#pragma once
// TExPageControl: a page control whose tabs can be hidden altogether, whose client border width
// can be set, and which adds tab hints, right-click selection, Ctrl+Tab page switching from
// anywhere on the form, refusal of clicks on disabled pages and an optional tab painter.

#include "ExLib/run/controls/ExComponent.h"
#include "ExLib/run/controls/ExExComCtrls.h"

#include <QPointer>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class TExPageControl;
class TCustomImageList;

// Paints the tabs of the page controls registered with it.
class TExTabControlPainter : public TExComponent {
public:
    using TExComponent::TExComponent;
    ~TExTabControlPainter() override;

    virtual void PaintTab(TExPageControl& control, TCanvas& canvas, TCustomImageList* images, int imageIndex,
                          const std::string& caption, const TRect& rect, bool active, bool enabled) = 0;
    // Repaints every client.
    virtual void NotifyClients();
    void RegisterClient(TExPageControl* control);
    void UnregisterClient(TExPageControl* control);
    int ClientCount() const { return FClients ? static_cast<int>(FClients->size()) : 0; }

private:
    std::unique_ptr<std::vector<TExPageControl*>> FClients;
};

enum class TExHintSource { hsDefault, hsForceMain, hsForceChildren, hsPreferMain, hsPreferChildren };

class TExPageControl : public TExExPageControl {
public:
    explicit TExPageControl(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExPageControl() override;

    TExTabControlPainter* TabPainter() const { return FTabPainter; }
    void SetTabPainter(TExTabControlPainter* painter);
    TExHintSource HintSource = TExHintSource::hsDefault;
    bool HandleGlobalTab = false;
    int ClientBorderWidth() const { return FClientBorderWidth; }
    void SetClientBorderWidth(int value);
    bool RightClickSelect = false;
    bool ReduceMemoryUse = false;
    bool HideAllTabs() const { return FHideAllTabs; }
    void SetHideAllTabs(bool value);
    // A page's own tab visibility (HideAllTabs hides every tab whatever it says).
    bool TabVisible(TTabSheet* page) const;
    void SetTabVisible(TTabSheet* page, bool visible);

    // Asked before the active page changes; false keeps it.
    virtual bool CanChange();
    std::function<void(TObject* Sender, bool& AllowChange)> OnChanging;
    TNotifyEvent OnChange;

    // The page of a tab (tab index counted over the visible tabs); null when there is none.
    TTabSheet* PageOfTab(int tabIndex) const;
    // The rectangle of the page's tab in the control's coordinates.
    TRect TabRect(int pageIndex) const;
    // The area the pages take.
    TRect PageArea() const;

    using TExExPageControl::HintColor;
    using TExExPageControl::OnMouseEnter;
    using TExExPageControl::OnMouseLeave;
    using TExExPageControl::OnParentColorChange;
    using TExExPageControl::SetHintColor;

    void Loaded() override;

protected:
    bool DialogChar(char32_t key, TShiftState shift, const std::u32string& keyText) override;
    bool HintShow(THintInfo& hintInfo) override;
    void WndProc(TMessage& message) override;
    void Notification(TComponent* component, TOperation operation) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class TabBar;
    class Style;
    void ApplyHideAllTabs();
    void Relayout();
    bool SelectPage(int index);
    // True when another page became active, false when the change was refused, none without one.
    std::optional<bool> SwitchPage(bool forward);

    TExTabControlPainter* FTabPainter = nullptr;
    int FClientBorderWidth = 4;
    bool FHideAllTabs = false;
    std::map<const TTabSheet*, bool> FTabVisible;
    std::unique_ptr<Style> FStyle;
    QMetaObject::Connection FChanged;
};
