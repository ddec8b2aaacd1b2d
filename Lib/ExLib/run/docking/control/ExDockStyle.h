#pragma once
// A dock style decides how docking looks and behaves for every dock server and client attached
// to it: what its panels, splitters, host controls and zone trees are made of, what happens at
// each step of a drag, how a form is shown, hidden and sent back to its last place, and which
// options (grabber size, splitter width, tab position) the sites get. The server options are
// re-applied to every site of every attached control whenever one changes.

#include "ExLib/run/controls/ExComponent.h"
#include "ExLib/run/docking/sites/ExDockPageControl.h"
#include "ExLib/run/docking/tree/ExDockTree.h"

#include "Platform/controls/Forms.h"

#include <functional>
#include <memory>
#include <vector>

class TExDockBaseControl;
class TExDockBasicStyle;
class TExDockClient;
class TExDockConjoinHostForm;
class TExDockConjoinPanel;
class TExDockDragDockObject;
class TExDockPanel;
class TExDockServer;
class TExDockSplitter;
class TExDockTabHostForm;
class TExDockTabPageControl;

// The classes a style names: each makes a new object of its kind.
using TExDockPanelClass = std::function<TExDockPanel*(TExDockServer* server)>;
using TExDockSplitterClass = std::function<TExDockSplitter*(TExDockServer* server)>;
using TExDockConjoinPanelClass = std::function<TExDockConjoinPanel*(TExDockConjoinHostForm* host)>;
using TExDockTabDockClass = std::function<TExDockTabPageControl*(TExDockTabHostForm* host)>;
using TExDockTreeClass = std::function<std::unique_ptr<TExDockTree>(TDockSite& site, TExDockZoneFactory zoneClass)>;

class TExDockBasicServerOption : public TPersistent {
public:
    explicit TExDockBasicServerOption(TExDockBasicStyle* style) : FDockStyle(style) {}
    TExDockBasicStyle* DockStyle() const { return FDockStyle; }
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    void Changed();
    virtual void ResetDockControlOption() = 0;
    virtual void ResetDockServerOption(TExDockServer* server) { (void)server; }
    virtual void ResetDockClientOption(TExDockClient* client) { (void)client; }
    void Assign(const TPersistent& source) override;

private:
    TExDockBasicStyle* FDockStyle;
    int FUpdateCount = 0;
    bool FChangePending = false;
};

class TExDockBasicConjoinServerOption : public TExDockBasicServerOption {
public:
    explicit TExDockBasicConjoinServerOption(TExDockBasicStyle* style);
    int GrabbersSize() const { return FGrabbersSize; }
    virtual void SetGrabbersSize(int value);
    int SplitterWidth() const { return FSplitterWidth; }
    virtual void SetSplitterWidth(int value);
    virtual void ResetDockPanel(TExDockPanel* panel);
    virtual void ResetConjoinPanel(TExDockConjoinPanel* panel);
    void ResetDockControlOption() override;
    void ResetDockServerOption(TExDockServer* server) override;
    void ResetDockClientOption(TExDockClient* client) override;
    void Assign(const TPersistent& source) override;

private:
    int FGrabbersSize = 12;
    int FSplitterWidth = 4;
};

class TExDockBasicTabServerOption : public TExDockBasicServerOption {
public:
    using TExDockBasicServerOption::TExDockBasicServerOption;
    TTabPosition TabPosition() const { return FTabPosition; }
    virtual void SetTabPosition(TTabPosition value);
    bool HotTrack() const { return FHotTrack; }
    virtual void SetHotTrack(bool value);
    virtual void ResetTabPageControl(TExDockTabPageControl* control);
    void ResetDockControlOption() override;
    void ResetDockClientOption(TExDockClient* client) override;
    void Assign(const TPersistent& source) override;

private:
    TTabPosition FTabPosition = TTabPosition::tpTop;
    bool FHotTrack = false;
};

// The constructor makes the option objects from their classes; a descendant that names other
// classes frees them and makes them again in its own constructor.
class TExDockBasicStyle : public TExComponent {
public:
    explicit TExDockBasicStyle(TComponent* AOwner);
    ~TExDockBasicStyle() override;

    TExDockPanelClass DockPanelClass;
    TExDockSplitterClass DockSplitterClass;
    TExDockConjoinPanelClass ConjoinPanelClass;
    TExDockTabDockClass TabDockClass;
    TExDockTreeClass DockPanelTreeClass;
    TExDockZoneFactory DockPanelZoneClass;
    TExDockTreeClass ConjoinPanelTreeClass;
    TExDockZoneFactory ConjoinPanelZoneClass;
    std::function<std::unique_ptr<TExDockBasicConjoinServerOption>(TExDockBasicStyle*)> ConjoinServerOptionClass;
    std::function<std::unique_ptr<TExDockBasicTabServerOption>(TExDockBasicStyle*)> TabServerOptionClass;

    TExDockBasicConjoinServerOption* ConjoinServerOption() const { return FConjoinServerOption.get(); }
    TExDockBasicTabServerOption* TabServerOption() const { return FTabServerOption.get(); }
    void SetConjoinServerOption(const TExDockBasicConjoinServerOption& option);
    void SetTabServerOption(const TExDockBasicTabServerOption& option);
    const std::vector<TExDockBaseControl*>& DockBaseControlList() const { return FDockBaseControlList; }

    // ---- the drag steps, called by the dock client's hooks
    // The object that carries a drag of `control` started by `client`.
    virtual std::unique_ptr<TExDockDragDockObject> CreateDragObject(TExDockClient* client, TWinControlCore* control);
    virtual void ClientBeginDrag(TExDockClient* client, TExDockDragDockObject& source);
    virtual void ClientSiteInfo(TExDockDragDockObject& source, TExDockClient* client, TWinControlCore* dragged,
                                TRect& influenceRect, TPoint mousePos, bool& canDock);
    virtual void ClientDockOver(TExDockClient* client, TExDockDragDockObject& source, int x, int y, TDragState state,
                                bool& accept);
    virtual void ClientDockRect(TExDockClient* client, TExDockDragDockObject& source);
    virtual void ClientDockDrop(TExDockClient* client, TExDockDragDockObject& source, int x, int y);
    virtual void ClientUndocked(TExDockClient* client, TWinControlCore* target, int x, int y);
    virtual bool ClientMayUndock(TExDockClient* client, TWinControlCore* newTarget, TWinControlCore* control);
    virtual void ClientDockEdge(TExDockClient* client, TExDockDragDockObject& source, TPoint mousePos, TAlign& align);
    virtual void CreateServerOptions();
    virtual void FreeServerOptions();
    virtual void PrepareDockControl(bool loadingOrDesigning, TExDockBaseControl* control);
    virtual bool ServerMessageHook(TExDockServer* server, TMessage& message);
    virtual bool ClientMessageHook(TExDockClient* client, TMessage& message);
    virtual void AddDockControl(TExDockBaseControl* control);
    virtual void RemoveDockControl(TExDockBaseControl* control);
    virtual void ApplyConjoinOptions(TWinControlCore* control);
    virtual void ApplyTabOptions(TExDockCustomTabControl* control);
    virtual bool AllowEnableDockChange(TExDockBaseControl* control) { (void)control; return true; }
    virtual bool AllowLeftDockChange(TExDockBaseControl* control) { (void)control; return true; }
    virtual bool AllowRightDockChange(TExDockBaseControl* control) { (void)control; return true; }
    virtual bool AllowTopDockChange(TExDockBaseControl* control) { (void)control; return true; }
    virtual bool AllowBottomDockChange(TExDockBaseControl* control) { (void)control; return true; }
    virtual bool AllowEachOtherDockChange(TExDockBaseControl* control) { (void)control; return true; }
    virtual void SetDragCursor(TExDockDragDockObject& source);
    // 0 without a client or form, 2 floating, 1 docked.
    virtual int ClientDockState(TExDockClient* client);
    virtual void ShowForm(TCustomForm* form);
    virtual void HideForm(TCustomForm* form);
    virtual void RestoreClient(TExDockClient* client);
    virtual void HideClient(TExDockClient* client);
    virtual bool IsClientShowing(TExDockClient* client);
    // Toggles between docked (in the last panel) and floating (at the last floating place).
    virtual void RedockClient(TExDockClient* client);

protected:
    // True where hiding a form stops climbing up its empty hosts (an auto-hidden form keeps its
    // channel's panel).
    virtual bool KeepsEmptyHosts(TWinControlCore* control) { (void)control; return false; }

private:
    void ShowOne(TWinControlCore* c, TWinControlCore* h);
    void HideTree(TWinControlCore* form);
    void CollapseUp(TWinControlCore* form);
    void FloatClient(TExDockClient* client);

    std::unique_ptr<TExDockBasicConjoinServerOption> FConjoinServerOption;
    std::unique_ptr<TExDockBasicTabServerOption> FTabServerOption;
    std::vector<TExDockBaseControl*> FDockBaseControlList;
};

// Double-clicking a floating form's caption docks it back, and a docked one's floats it.
class TExDockAdvStyle : public TExDockBasicStyle {
public:
    using TExDockBasicStyle::TExDockBasicStyle;
    bool ClientMessageHook(TExDockClient* client, TMessage& message) override;
};
