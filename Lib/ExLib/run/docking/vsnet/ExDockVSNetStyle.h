#pragma once
// The dock style of the main window: the caption-bar style with auto-hide. A tool window docked
// in one of the main window's dock panels can be unpinned: it leaves the panel (which keeps its
// place) and shows as a tab in the channel along the same edge. Resting the mouse on the tab, or
// clicking it, slides the window out over the main window's content; it slides back once the
// mouse has stayed away for the hold time, when another window takes the focus, or when the main
// window is resized. Pinning it returns it to its place in the panel.

#include "ExLib/run/docking/vid/ExDockVIDStyle.h"

#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

class QTimer;
class TExDockVSChannel;
class TExDockVSNetStyle;

// The channel settings.
class TExDockVSNETChannelOption : public TExDockBasicServerOption {
public:
    explicit TExDockVSNETChannelOption(TExDockBasicStyle* style) : TExDockBasicServerOption(style) {}

    // The longest tab of a block's active pane; at least 24.
    int ActivePaneSize() const { return FActivePaneSize; }
    void SetActivePaneSize(int value);
    // Kept and copied; nothing depends on it.
    bool ShowImage() const { return FShowImage; }
    void SetShowImage(bool value) { FShowImage = value; }
    // Popups slide in by themselves after the mouse has left them.
    bool MouseleaveHide() const { return FMouseleaveHide; }
    void SetMouseleaveHide(bool value) { FMouseleaveHide = value; }
    // Milliseconds the mouse stays away before popups slide in; at least 100.
    int HideHoldTime() const { return FHideHoldTime; }
    void SetHideHoldTime(int value) { FHideHoldTime = std::max(100, value); }
    TColor TabColor() const { return FTabColor; }
    void SetTabColor(TColor value) { FTabColor = value; }

    void ResetDockControlOption() override;
    void ResetDockServerOption(TExDockServer* server) override;
    void ResetDockClientOption(TExDockClient* client) override;
    void Assign(const TPersistent& source) override;

private:
    int FActivePaneSize = 100;
    bool FShowImage = true;
    bool FMouseleaveHide = true;
    int FHideHoldTime = 1000;
    TColor FTabColor = clBtnFace;
};

class TExDockVSNetStyle : public TExDockVIDStyle {
public:
    explicit TExDockVSNetStyle(TComponent* AOwner);
    ~TExDockVSNetStyle() override;

    std::function<std::unique_ptr<TExDockVSNETChannelOption>(TExDockBasicStyle*)> ChannelOptionClass;
    TExDockVSNETChannelOption* ChannelOption() const { return FChannelOption.get(); }
    void SetChannelOption(const TExDockVSNETChannelOption& option);

    // The dock servers that use the style.
    const std::vector<TExDockServer*>& ChannelServers() const { return FChannelServers; }
    int HideCountdown = 0;
    bool MouseLeftClient = true;
    bool HideTimerRunning() const { return FHideTimer != nullptr; }

    void CreateServerOptions() override;
    void FreeServerOptions() override;
    bool ServerMessageHook(TExDockServer* server, TMessage& message) override;
    bool ClientMessageHook(TExDockClient* client, TMessage& message) override;
    void AddDockControl(TExDockBaseControl* control) override;
    void RemoveDockControl(TExDockBaseControl* control) override;
    void ShowForm(TCustomForm* form) override;
    void HideForm(TCustomForm* form) override;
    void RestoreClient(TExDockClient* client) override;
    void HideClient(TExDockClient* client) override;
    bool IsClientShowing(TExDockClient* client) override;
    void RedockClient(TExDockClient* client) override;

    // Shows the form's popup at once and returns the form to its dock panel.
    void ShowFormInChannel(TCustomForm* form);
    // The pane of the client's form in its channel shows or not.
    void SetPaneVisible(TExDockClient* client, bool visible);

    // Started at the end of every slide-out; each tick of 100 ms counts the hold time down.
    void StartHideTimer();
    void StopHideTimer();
    void HideTimerTick();

protected:
    void UseVSNETClasses();
    bool KeepsEmptyHosts(TWinControlCore* control) override;

private:

    std::unique_ptr<TExDockVSNETChannelOption> FChannelOption;
    std::vector<TExDockServer*> FChannelServers;
    std::unique_ptr<QTimer> FHideTimer;
};

// The channel that holds a form docked in `site`: the channel of a popup panel, or of the popup
// panel its host form is docked in; null otherwise.
TExDockVSChannel* ChannelOfDockSite(TDockSite* site);
// The channel that holds `control`, or null.
TExDockVSChannel* ChannelOfControl(const TWinControlCore* control);
// The channels of a dock server: top, bottom, left, right, those that exist.
std::vector<TExDockVSChannel*> ChannelsOf(const TExDockServer* server);
// Every channel of every registered dock server collapses its popup at once, except `except`.
void CollapseOtherChannels(TExDockVSChannel* except);
