#pragma once
// A dock site on one edge of a dock server's form, its variant for the advanced styles, and the
// splitter that resizes it. A panel opens to its remembered size when a form is shown in it and
// collapses to nothing when the last visible one leaves.

#include "ExLib/run/docking/sites/ExDockCustomControl.h"
#include "ExLib/run/docking/sites/ExDockSplitter.h"

class TExDockServer;
class TExDockAdvTree;

class TExDockPanel : public TExDockCustomPanel {
public:
    explicit TExDockPanel(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExDockPanel() override;

    TExDockServer* DockServer() const { return FDockServer; }
    void SetDockServer(TExDockServer* server);
    bool IsCustomPanel = false;

    virtual void DockServerAttached(TExDockServer* server) { (void)server; }
    virtual void DockServerDetached(TExDockServer* server) { (void)server; }
    // Opens the panel (and its splitter) for `client`, or collapses it.
    virtual void ShowDockPanel(bool makeVisible, TWinControlCore* client, bool sizeFromClient);
    virtual void CollectDockedForms(std::vector<TWinControlCore*>* list) { (void)list; }
    // The popup panel of the panel's auto-hide channel, for styles that have one.
    virtual TExDockPanel* PopupPanel() const { return nullptr; }
    virtual bool IsPopupPanel() const { return false; }
    // Puts the panel just inside the other controls aligned to the same edge.
    void PlaceAtEdge();

    void QuerySiteInfo(TExDockDragDockObject& source, TWinControlCore* client, TRect& influenceRect,
                       TPoint mousePos, bool& canDock) override;
    void DragOverSite(TExDockDragDockObject& source, int x, int y, TDragState state, bool& accept) override;
    void PositionDropRect(TExDockDragDockObject& source) override;
    void DropOnSite(TExDockDragDockObject& source, int x, int y) override;
    bool UndockFromSite(TWinControlCore* newTarget, TWinControlCore* client) override;
    bool DoUnDock(TWinControlCore* newTarget, TWinControlCore* client) override;
    void DockDrop(TDragDockObject& source, int x, int y) override;
    TWinControlCore* ReloadDockedControl(const std::string& name) override;

protected:
    std::unique_ptr<IDockManager> CreateDockManager() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    TExDockServer* FDockServer = nullptr;
};

// The panel of the advanced styles: it records where a leaving form was, and keeps the zone of a
// form that leaves without a new site so that the form can come back to it.
class TExDockAdvPanel : public TExDockPanel {
public:
    using TExDockPanel::TExDockPanel;
    TExDockAdvTree* AdvTree = nullptr;

    void DropOnSite(TExDockDragDockObject& source, int x, int y) override;
    bool UndockFromSite(TWinControlCore* newTarget, TWinControlCore* client) override;
    bool DoUnDock(TWinControlCore* newTarget, TWinControlCore* client) override;
    void DockDrop(TDragDockObject& source, int x, int y) override;
    void CollectDockedForms(std::vector<TWinControlCore*>* list) override;

protected:
    void UndockClientMessage(TMessage& m) override;
};

class TExDockSplitter : public TExDockCustomPanelSplitter {
public:
    explicit TExDockSplitter(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExDockSplitter() override;
    TExDockServer* DockServer() const { return FDockServer; }
    void SetDockServer(TExDockServer* server);
    TWinControlCore* FindSizedControl() override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TExDockServer* FDockServer = nullptr;
};
