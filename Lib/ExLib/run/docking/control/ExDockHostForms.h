#pragma once
// Host forms: when one dockable form is dropped onto another, both go into a host form made for
// them: a conjoin host shows them side by side in a zone tree, a tab host as tabs. Hosts float
// or dock like any tool window, and close themselves when fewer than two forms are left.

#include "ExLib/run/docking/control/ExDockPanel.h"
#include "ExLib/run/docking/sites/ExDockPageControl.h"

#include "Platform/controls/Forms.h"

class TExDockClient;

class TExDockableForm : public TExForm {
public:
    explicit TExDockableForm(TComponent* AOwner);
    ~TExDockableForm() override;

    TExDockClient* DockClient() const { return FDockClient; }
    // The side-by-side panel or the tab control that holds the docked forms.
    TExDockCustomControl* DockableControl() const { return FDockableControl; }
    void SetDockableControl(TExDockCustomControl* control) { FDockableControl = control; }
    TWinControlCore* UndockingControl = nullptr;
    TWinControlCore* FloatingChild = nullptr;
    // The docking control as a dock site.
    TDockSite* DockingSite() const { return FDockableControl; }

protected:
    void DoClose(TCloseAction& action) override;

private:
    void FloatAtHostPosition(TWinControlCore* control);

    TExDockClient* FDockClient;
    TExDockCustomControl* FDockableControl = nullptr;
};

class TExDockConjoinPanel;
class TExDockTabPageControl;

class TExDockConjoinHostForm : public TExDockableForm {
public:
    explicit TExDockConjoinHostForm(TComponent* AOwner);
    TExDockConjoinPanel* Panel() const;
};

class TExDockTabHostForm : public TExDockableForm {
public:
    explicit TExDockTabHostForm(TComponent* AOwner);
    TExDockTabPageControl* PageControl() const;
    virtual void SelectTabOfControl(TWinControlCore* control);
    virtual void RefreshTabCaption(TWinControlCore* control);
    // The single control on the active page, or null.
    TWinControlCore* ActiveDockForm() const;
};

class TExDockConjoinPanel : public TExDockCustomPanel {
public:
    explicit TExDockConjoinPanel(TExDockConjoinHostForm* host);
    TExDockConjoinHostForm* Host() const { return FHost; }

    void StartDockDrag(TExDockDragDockObject& source) override;
    void QuerySiteInfo(TExDockDragDockObject& source, TWinControlCore* client, TRect& influenceRect,
                       TPoint mousePos, bool& canDock) override;
    void DragOverSite(TExDockDragDockObject& source, int x, int y, TDragState state, bool& accept) override;
    void DropOnSite(TExDockDragDockObject& source, int x, int y) override;
    bool UndockFromSite(TWinControlCore* newTarget, TWinControlCore* client) override;
    bool DoUnDock(TWinControlCore* newTarget, TWinControlCore* client) override;
    void DockDrop(TDragDockObject& source, int x, int y) override;
    TWinControlCore* ReloadDockedControl(const std::string& name) override;

protected:
    std::unique_ptr<IDockManager> CreateDockManager() override;
    void UndockClientMessage(TMessage& m) override;
    bool LeaveWouldEmpty(TWinControlCore* newTarget, bool checkTarget) const;

private:
    TExDockConjoinHostForm* FHost;
};

class TExDockAdvConjoinPanel : public TExDockConjoinPanel {
public:
    using TExDockConjoinPanel::TExDockConjoinPanel;
    void DropOnSite(TExDockDragDockObject& source, int x, int y) override;
    bool UndockFromSite(TWinControlCore* newTarget, TWinControlCore* client) override;
    bool DoUnDock(TWinControlCore* newTarget, TWinControlCore* client) override;
    void DockDrop(TDragDockObject& source, int x, int y) override;
};

class TExDockTabPageControl : public TExDockPageControl {
public:
    explicit TExDockTabPageControl(TExDockTabHostForm* host);
    ~TExDockTabPageControl() override;

    TExDockClient* DockClient() const { return FDockClient; }
    TExDockTabHostForm* Host() const { return FHost; }
    int StreamVersion = 262144;
    virtual void LoadFromStream(TStream& stream);
    virtual void SaveToStream(TStream& stream);
    // Whether the layout records `page` (a form docked here) as shown: a page that is hidden only
    // for a while, as the inactive pages of an auto-hidden tab host are, is shown.
    virtual bool PageShown(const TWinControlCore& page) const;

    void QuerySiteInfo(TExDockDragDockObject& source, TWinControlCore* client, TRect& influenceRect,
                       TPoint mousePos, bool& canDock) override;
    void DragOverSite(TExDockDragDockObject& source, int x, int y, TDragState state, bool& accept) override;
    void DropOnSite(TExDockDragDockObject& source, int x, int y) override;
    bool UndockFromSite(TWinControlCore* newTarget, TWinControlCore* client) override;
    bool DoUnDock(TWinControlCore* newTarget, TWinControlCore* client) override;
    void DockDrop(TDragDockObject& source, int x, int y) override;
    TWinControlCore* ReloadDockedControl(const std::string& name) override;
    void AdjustClientRect(TRect& rect) const override;

private:
    bool LeaveClosesHost() const;
    TExDockTabHostForm* FHost;
    TExDockClient* FDockClient;
};

class TExDockAdvTabPageControl : public TExDockTabPageControl {
public:
    using TExDockTabPageControl::TExDockTabPageControl;
    void DropOnSite(TExDockDragDockObject& source, int x, int y) override;
    bool UndockFromSite(TWinControlCore* newTarget, TWinControlCore* client) override;
    bool DoUnDock(TWinControlCore* newTarget, TWinControlCore* client) override;
    void DockDrop(TDragDockObject& source, int x, int y) override;
};
