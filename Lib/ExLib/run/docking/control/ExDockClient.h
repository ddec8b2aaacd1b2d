#pragma once
// The dock client makes its owner form a dockable tool window: the form floats as a frameless
// tool window with its own caption, is dragged by that caption into the dock panels of a dock
// server or onto another dockable form (to share a side-by-side or a tabbed host form), and
// remembers where it was docked and floating so that its style can send it back.

#include "ExLib/run/docking/control/ExDockBaseControl.h"
#include "ExLib/run/docking/control/ExDockStyle.h"

class TExDockClient;
class TExDockPanel;

enum class TExDockMouseStation { msFloat, msConjoin, msTabPage };

using TExDockNCButtonEvent = std::function<void(TExDockClient* DockClient, TMouseButton Button, int X, int Y,
                                                int HitTest, TExDockMouseStation MouseStation)>;
using TExDockNCMouseMoveEvent =
    std::function<void(TExDockClient* DockClient, int X, int Y, int HitTest, TExDockMouseStation MouseStation)>;
using TExDockCheckIsDockableEvent = std::function<void(TExDockClient* DockClient, TCustomForm* DockForm,
                                                       TExDockServer* DockServer, TExDockPanel* DockPanel,
                                                       bool& CanDock)>;
using TExDockTabHostFormCreatedEvent = std::function<void(TExDockClient* DockClient, TExDockTabHostForm* TabHost)>;
using TExDockFormShowHintEvent = std::function<void(int HTFlag, std::string& HintStr, bool& CanShow)>;
// The menu shown for a right click in the caption, at a screen point.
using TExDockPopupMenu = std::function<void(TCustomForm* PopupComponent, TPoint ScreenPoint)>;

class TExDockClient : public TExDockBaseControl {
public:
    explicit TExDockClient(TComponent* AOwner);
    ~TExDockClient() override;

    int LRDockWidth() const;
    void SetLRDockWidth(int value);
    int TBDockHeight() const;
    void SetTBDockHeight(int value);
    const TExDockPopupMenu& NCPopupMenu() const { return FNCPopupMenu; }
    void SetNCPopupMenu(TExDockPopupMenu menu) { FNCPopupMenu = std::move(menu); }
    bool DirectDrag = false;
    bool ShowHint = true;
    bool CanFloat = true;
    int DockLevel() const { return FDockLevel; }
    void SetDockLevel(int value);
    bool EnableCloseButton = true;

    TNotifyEvent OnFormShow;
    TNotifyEvent OnFormHide;
    TExDockCheckIsDockableEvent OnCheckIsDockable;
    TExDockTabHostFormCreatedEvent OnTabHostFormCreated;
    TExDockNCButtonEvent OnNCButtonDown;
    TExDockNCButtonEvent OnNCButtonUp;
    TExDockNCButtonEvent OnNCButtonDblClk;
    TExDockNCMouseMoveEvent OnNCMouseMove;
    TExDockFormShowHintEvent OnFormShowHint;

    TExDockConjoinPanelClass ConjoinPanelClass;
    TExDockTabDockClass TabDockClass;
    TWinControlCore* LastDockSite() const { return FLastDockSite; }
    // A new value also takes the form out of the old panel's zone tree.
    void SetLastDockSite(TWinControlCore* site);
    int UnDockLeft = 0;
    int UnDockTop = 0;
    int VSPaneWidth = 0;

    void Assign(const TPersistent& source) override;
    void SetLeftDock(bool value) override;
    void SetRightDock(bool value) override;
    void SetTopDock(bool value) override;
    void SetBottomDock(bool value) override;
    void SetEachOtherDock(bool value) override;
    void SetEnableDock(bool value) override;
    void AttachStyle(TExDockBasicStyle* style) override;
    void DetachStyle(TExDockBasicStyle* style) override;
    void FormCloseHook(TObject* sender, TCloseAction& action) override;
    void FormWindowProcHook(TMessage& message) override;

    virtual void ShowNCPopupMenu(int x, int y);
    virtual void FormExitHook();
    virtual void FormEnterHook();
    virtual void BeginDragHook(TExDockDragDockObject& source);
    virtual void DockRectHook(TExDockDragDockObject& source);
    virtual void DockOverHook(TExDockDragDockObject& source, int x, int y, TDragState state, bool& accept);
    virtual void DockDropHook(TExDockDragDockObject& source, int x, int y);
    virtual void UndockHook(TWinControlCore* target, int x, int y);
    virtual bool UndockQueryHook(TWinControlCore* newTarget, TWinControlCore* control);
    virtual void SiteInfoHook(TExDockDragDockObject& source, TWinControlCore* dragged, TRect& influenceRect,
                              TPoint mousePos, bool& canDock);
    virtual void DockEdgeHook(TExDockDragDockObject& source, TPoint mousePos, TAlign& align);
    virtual TExDockConjoinHostForm* CreateConjoinHost(TWinControlCore* control1, TWinControlCore* control2,
                                                      TAlign side);
    virtual TExDockTabHostForm* CreateTabHost(TWinControlCore* control1, TWinControlCore* control2);
    virtual void NCButtonDownHook(const TMessage& message, TMouseButton button, TExDockMouseStation station);
    virtual void NCButtonUpHook(const TMessage& message, TMouseButton button, TExDockMouseStation station);
    virtual void NCMouseMoveHook(const TMessage& message, TExDockMouseStation station);
    virtual void NCButtonDblClkHook(const TMessage& message, TMouseButton button, TExDockMouseStation station);

    // Announces the form as shown (OnFormShow when it is visible) or hidden (OnFormHide).
    void AnnounceShown(bool shown);
    // The style's view of where the form is: 0 none, 1 docked, 2 floating.
    int DockState();
    void Redock();

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void RedockFromSide(TAlign side);
    void RedockFromHost();
    bool DockedOnSide(TAlign side) const;
    bool DockedInHost() const;

    TWinControlCore* FLastDockSite = nullptr;
    TExDockPopupMenu FNCPopupMenu;
    int FDockLevel = 0;
    QObject* FFocusWatch = nullptr;
};
