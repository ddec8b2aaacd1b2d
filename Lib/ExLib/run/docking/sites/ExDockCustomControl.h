#pragma once
// The windowed controls that serve as dock sites: TExDockCustomControl answers the framework's
// own drag protocol (the drag manager calls its site operations) and builds the caption of a
// host form from the forms docked in it; TExDockCustomPanel makes its zone tree as its dock
// manager.

#include "ExLib/run/controls/ExComponent.h"
#include "ExLib/run/docking/tree/ExDockTree.h"

#include "Platform/docking/DockCore.h"

class TExDockDragDockObject;

class TExDockCustomControl : public TExCustomControl, public TDockSite {
public:
    explicit TExDockCustomControl(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExDockCustomControl() override;

    // ---- the site side of the drag protocol
    virtual void StartDockDrag(TExDockDragDockObject& source) { (void)source; }
    // The influence rectangle becomes the site's window rectangle grown by 10 on each side.
    virtual void QuerySiteInfo(TExDockDragDockObject& source, TWinControlCore* client, TRect& influenceRect,
                               TPoint mousePos, bool& canDock);
    virtual void DragOverSite(TExDockDragDockObject& source, int x, int y, TDragState state, bool& accept);
    virtual void PositionDropRect(TExDockDragDockObject& source);
    virtual void DropOnSite(TExDockDragDockObject& source, int x, int y);
    virtual void EndDockDrag(TWinControlCore* target, int x, int y) { (void)target, (void)x, (void)y; }
    // True when CM_UNDOCKCLIENT lets the client go.
    virtual bool UndockFromSite(TWinControlCore* newTarget, TWinControlCore* client);
    virtual void QueryDockEdge(TExDockDragDockObject& source, TPoint mousePos, TAlign& align);
    // The captions of the visible docked forms, each followed by " ", as the host form's caption.
    virtual void RefreshHostCaption(TWinControlCore* exclude);

    // The zone tree when the dock manager is one.
    IExDockManager* ExDockManager() const { return ExDockManagerOf(this); }

protected:
    void WndProc(TMessage& m) override;
    void Paint() override;
    void Resized() override;
    // The site's own handling of a dock message, before the platform's.
    virtual void DockClientMessage(TMessage& m) { DefaultDockHandler(m); }
    virtual void UndockClientMessage(TMessage& m);
    virtual void DockNotification(TMessage& m) { (void)m; }

public:
    // A host form that closes with one form left hands its place here to that form.
    void HandOverToFloatingChild(TWinControlCore* leaving);
};

class TExDockCustomPanel : public TExDockCustomControl {
public:
    explicit TExDockCustomPanel(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExDockCustomPanel() override;

protected:
    // A plain custom panel gets the base tree.
    std::unique_ptr<IDockManager> CreateDockManager() override;
};
