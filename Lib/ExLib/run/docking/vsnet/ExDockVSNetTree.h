#pragma once
// The panels, zone tree and tab controls of the auto-hide style. Each dock panel owns the channel
// of its edge; the caption bar carries an auto-hide ("pin") button beside the close button,
// which moves a docked form into the channel and back; the buttons are flat with hover and
// pressed frames and inactive captions get a grey rounded outline; and the zone-tree stream
// carries one extra byte per zone, the form's visibility in its channel.

#include "ExLib/run/docking/vid/ExDockVIDOptions.h"
#include "ExLib/run/docking/vid/ExDockVIDTabs.h"
#include "ExLib/run/docking/vid/ExDockVIDTree.h"

#include <functional>

class TExDockVSChannel;

// The auto-hide button's hit-test code.
enum : int { HTAUTOHIDE_ZONE = 40 };

class TExDockVSNETPanel : public TExDockVIDPanel {
public:
    explicit TExDockVSNETPanel(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExDockVSNETPanel() override;

    std::function<TExDockVSChannel*(TExDockVSNETPanel* panel)> ChannelClass;
    TExDockVSChannel* Channel() const { return FChannel; }

    void DockServerAttached(TExDockServer* server) override;
    void DockServerDetached(TExDockServer* server) override;
    TExDockPanel* PopupPanel() const override;
    void DropOnSite(TExDockDragDockObject& source, int x, int y) override;

    // Unpins or pins the control, by where it is.
    virtual void TogglePin(TWinControlCore* control);
    // Moves a docked form into the channel, keeping its hidden zone here.
    void AutoHideForm(TWinControlCore* form);

protected:
    void CreateChannel();
    void FreeChannel();
    void Notification(TComponent* component, TOperation operation) override;
    void Resized() override;

private:
    TExDockVSChannel* FChannel = nullptr;
};

class TExDockVSNETConjoinPanel : public TExDockVIDConjoinPanel {
public:
    using TExDockVIDConjoinPanel::TExDockVIDConjoinPanel;
};

class TExDockVSNETSplitter : public TExDockVIDSplitter {
public:
    using TExDockVIDSplitter::TExDockVIDSplitter;
};

class TExDockVSNETZone : public TExDockVIDZone {
public:
    explicit TExDockVSNETZone(TExDockTree* tree) : TExDockVIDZone(tree) {}
    // Button states: 0 raised (hover), 1 flat, 2 sunken (pressed).
    bool PinPressStarted = false;
    int PinState = 1;
    int CloseState = 1;
    bool PaneVisible = true;
    void BeforeReload() override;
};

class TExDockVSNETTree : public TExDockVIDTree {
public:
    TExDockVSNETTree(TDockSite& site, TExDockZoneFactory zoneClass);
    ~TExDockVSNETTree() override;

    TExDockVSNETZone* PinPressedZone = nullptr;

    void StartControlDrag(TWinControlCore* control, bool immediate, int threshold) override;
    void MouseMoveHook(TMessage& message, TExDockZone*& zone, int& code) override;
    bool LButtonDownHook(TMessage& message, TExDockZone*& zone, int& code) override;
    void LButtonUpHook(TMessage& message, TExDockZone*& zone, int& code) override;
    void LButtonDblClkHook(TMessage& message, TExDockZone*& zone, int& code) override;
    void CloseZoneControl(TExDockZone* zone) override;
    void CustomHintText(TExDockZone* zone, int code, std::string& text) override;
    void WriteZone(TStream& stream, TExDockZone* zone) override;
    TExDockZone* ReadZone(TStream& stream, TExDockZone* zone) override;
    void TopGrabberHitTest(TPoint p, int& code, TExDockZone* zone) override;
    void DrawGrabber(TWinControlCore* control, const TRect& r) override;
    void CaptionTextRect(TRect& r) override;
    void DrawCaptionFrame(TCanvas& canvas, TWinControlCore* control, bool frame, const TRect& r) override;
    void DrawCloseButton(TCanvas& canvas, TExDockZone* zone, int top, int left) override;
    virtual void DrawAutoHideButton(TExDockZone* zone, int left, int top);

    // The site is a popup panel of a channel.
    bool InPopup() const;

private:
    void DrawButtonFrame(TCanvas& canvas, int x, int y, int state, bool active);
    void SetButtonStates(TExDockVSNETZone* zone, int pin, int close);
};

// A tab page of an auto-hide tab host: whether its form shows in the channel while the host is
// auto-hidden.
class TExDockVSNETTabSheet : public TExDockVIDTabSheet {
public:
    explicit TExDockVSNETTabSheet(TComponent* AOwner) : TExDockVIDTabSheet(AOwner) {}
    bool ShownInChannel = true;
};

class TExDockVSNETTabPanel : public TExDockTabPanel {
public:
    explicit TExDockVSNETTabPanel(TComponent* AOwner, QWidget* parent = nullptr);
};

class TExDockVSNETTabPageControl : public TExDockVIDTabPageControl {
public:
    explicit TExDockVSNETTabPageControl(TExDockTabHostForm* host);
    bool PageShown(const TWinControlCore& page) const override;

protected:
    // A page that leaves an auto-hidden tab host takes the host's whole block out of its channel.
    void UndockClientMessage(TMessage& m) override;
};

class TExDockVSNETConjoinServerOption : public TExDockVIDConjoinServerOption {
public:
    explicit TExDockVSNETConjoinServerOption(TExDockBasicStyle* style);
    void ApplySystemCaptionInfo() override;
};

class TExDockVSNETTabServerOption : public TExDockVIDTabServerOption {
public:
    explicit TExDockVSNETTabServerOption(TExDockBasicStyle* style);
};

TExDockZoneFactory VSNETZoneClass();
