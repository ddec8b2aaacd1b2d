#pragma once
// The auto-hide channel of one edge of a dock server's form: a 22-pixel strip with a tab for each
// auto-hidden window, grouped in blocks (single forms share one block, a tab host has a block of
// its own with a tab per page). An auto-hidden window lives in the channel's popup panel, which
// slides out over the form's content next to the channel and back, with a splitter at its far
// edge that sets how far it comes out. One animator serves every channel: 20 pixels a tick, a
// tick every 20 ms.

#include "ExLib/run/docking/vsnet/ExDockVSNetTree.h"

#include "Platform/graphics/ImgList.h"

#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class TExDockVSBlock;
class TExDockVSChannel;
class TExDockVSPopupPanelSplitter;
class TExDockVSNetStyle;

class TExDockVSPane {
public:
    TExDockVSPane(TExDockVSBlock* block, TCustomForm* form, int index, int paneSize, bool visible)
        : Block(block), Form(form), Index(index), PaneSize(paneSize), Visible(visible)
    {
    }
    TExDockVSBlock* Block;
    TCustomForm* Form;
    int Index;
    // How far the popup slides out: its height for top and bottom channels, else its width.
    int PaneSize;
    bool Visible;
};

class TExDockVSBlock {
public:
    explicit TExDockVSBlock(TExDockVSChannel* channel);
    ~TExDockVSBlock();
    TExDockVSBlock(const TExDockVSBlock&) = delete;
    TExDockVSBlock& operator=(const TExDockVSBlock&) = delete;

    TExDockVSChannel* Channel;
    std::vector<std::unique_ptr<TExDockVSPane>> Panes;
    int ActiveTabWidth = 24;
    int InactiveTabWidth = 24;
    TCustomForm* ActiveForm = nullptr;
    // 0: single forms, 1: one tab host.
    int BlockType = 0;
    TCustomImageList Images{nullptr, 16, 16};
    int StartPos = 0;

    int PaneCount() const { return static_cast<int>(Panes.size()); }
    TExDockVSPane* Pane(int i) const { return Panes[static_cast<size_t>(i)].get(); }
    int BlockExtent() const { return (PaneCount() - 1) * InactiveTabWidth + ActiveTabWidth; }
    void AddBlockForm(TCustomForm* form);
    void AddPane(TCustomForm* form, int size);
    void DeletePane(int index);
    void SetActiveForm(TCustomForm* form);
    void ActivateFirstVisible(int start);
    void UpdateActiveTabWidth();
};

// The panel an auto-hidden window is docked in while it is out of (or hidden behind) its channel.
class TExDockVSPopupPanel : public TExDockVSNETPanel {
public:
    explicit TExDockVSPopupPanel(TExDockVSNETPanel* dockPanel);
    ~TExDockVSPopupPanel() override;

    // The dock panel whose channel this belongs to.
    TExDockVSNETPanel* OwnerPanel() const { return FOwnerPanel; }
    bool IsPopupPanel() const override { return true; }
    TExDockPanel* PopupPanel() const override { return nullptr; }
    void ShowDockPanel(bool makeVisible, TWinControlCore* client, bool sizeFromClient) override;
    void DockServerAttached(TExDockServer* server) override { (void)server; }
    void TogglePin(TWinControlCore* control) override;
    // Returns an auto-hidden form (a tab host as a whole) to its dock panel.
    void PinForm(TWinControlCore* control);

protected:
    std::unique_ptr<IDockManager> CreateDockManager() override;
    void UndockClientMessage(TMessage& m) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    TExDockVSNETPanel* FOwnerPanel;
};

// The bar at the popup's far edge: dragging it sets how far the popup comes out.
class TExDockVSPopupPanelSplitter : public TExCustomControl {
public:
    explicit TExDockVSPopupPanelSplitter(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExDockVSPopupPanelSplitter() override;

    TExDockVSPopupPanel* PopupPanel() const { return FPopupPanel; }
    void SetPopupPanel(TExDockVSPopupPanel* panel);
    // The edge of the channel the popup belongs to.
    TAlign VSChannelAlign() const;
    bool AutoSnap = false;
    bool Beveled() const { return FBeveled; }
    void SetBeveled(bool value);
    int MinSize = 30;
    int SplitterWidth = 4;
    TResizeStyle ResizeStyle = TResizeStyle::rsPattern;
    std::function<void(TObject* Sender, int& NewSize, bool& Accept)> OnCanResize;
    TNotifyEvent OnMoved;
    TNotifyEvent OnPaint;
    bool Sizing() const { return FSizing; }
    int NewSize() const { return FNewSize; }

protected:
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void Paint() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    class KeyWatch;
    bool Vertical() const;
    void CalcSplit(int x, int y);
    void DrawLine();
    void ApplySize();
    void StopSizing();

    TExDockVSPopupPanel* FPopupPanel = nullptr;
    bool FBeveled = false;
    bool FSizing = false;
    TPoint FDownPos;
    int FMaxSize = 0;
    int FNewSize = 0;
    int FSplit = 0;
    int FPreviousSize = -1;
    std::unique_ptr<TExDockOverlay> FLine;
    std::unique_ptr<KeyWatch> FKeyWatch;
};

class TExDockVSChannel : public TExCustomControl {
public:
    explicit TExDockVSChannel(TExDockVSNETPanel* dockPanel);
    ~TExDockVSChannel() override;

    TExDockVSNETPanel* DockPanel() const { return FDockPanel; }
    TExDockServer* DockServer() const;
    TAlign ChannelAlign() const;
    TExDockVSNetStyle* Style() const;

    std::vector<std::unique_ptr<TExDockVSBlock>> Blocks;
    int ChannelThickness = 22;
    int BlockStartOffset = 2;
    int BlockUpOffset = 2;
    int BlockInterval = 13;
    int MaxTabLength = 100;
    TExDockVSPopupPanel* PopupPanel() const { return FPopupPanel; }
    TExDockVSPopupPanelSplitter* PopupSplitter() const { return FPopupSplitter; }
    TCustomForm* ShownForm = nullptr;
    TExDockVSPane* ShownPane = nullptr;
    TExDockVSPane* HoverPane = nullptr;
    int PaintPos = 0;
    bool HoverTimerRunning() const { return FHoverTimer != nullptr; }

    // For left and right channels the text runs downward.
    virtual void PrepareVerticalFont();
    virtual void ComputeBlockPositions();
    void CreatePopup();

    void AddChannelForm(TCustomForm* form);
    void RemoveChannelForm(TWinControlCore* form);
    void ClearBlocks();
    TExDockVSPane* PaneForControl(const TWinControlCore* control) const;
    // False, with both -1, when the control has no pane; a tab block also answers for its
    // tab host, as its first pane.
    bool LocatePane(const TWinControlCore* control, int& blockIndex, int& paneIndex) const;
    TExDockVSPane* PaneAtPoint(TPoint p);
    TRect TabRectOf(TExDockVSBlock* block, int index) const;

    void CollapsePopupOf(TWinControlCore* control);
    void CollapsePopup(TExDockVSPane* pane);
    void SlideInPopup();
    void SlideOutForm(TWinControlCore* control);
    void SlideOutPane(TExDockVSPane* pane);
    void ShowFormAtOnce(TWinControlCore* control);
    void ShowPaneAtOnce(TExDockVSPane* pane);
    void FocusShownForm();
    void UpdatePlacement();
    void UpdateTopBottomOffsets();
    void SetMaxTabLength(int value);
    void SetBlockStartOffset(int value);
    void AddToPopupSite(TWinControlCore* control);
    void RemoveFromPopupSite(TWinControlCore* control);
    void RecordPaneSize();
    // The popup and its splitter take the channel's top and height (left and right channels).
    void FitPopupToChannel();
    // The controls of the same edge that come before the channel, brought to the front.
    void RaiseEdgeBars();
    void HoverTimerTick();

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    // Walks the visible tabs of a block from PaintPos on, moving PaintPos past each tab and past
    // the block; stops early, returning that pane, when `visit` returns true.
    TExDockVSPane* WalkTabs(TExDockVSBlock* block, const std::function<bool(TExDockVSPane*, int, const TRect&)>& visit);
    void PaintBlock(TExDockVSBlock* block);
    void DeleteBlock(TExDockVSBlock* block);

    TExDockVSNETPanel* FDockPanel;
    TExDockVSPopupPanel* FPopupPanel = nullptr;
    TExDockVSPopupPanelSplitter* FPopupSplitter = nullptr;
    std::unique_ptr<QTimer> FHoverTimer;
    bool FVerticalText = false;
};

// The slide animation: one timer for all channels.
class TPopupPanelAnimate : public QTimer {
public:
    TPopupPanelAnimate();
    TExDockVSChannel* Channel = nullptr;
    int TargetSize = 0;
    int Progress = 0;
    // 0 out, 1 in.
    int Direction = 0;

    virtual void StartSlideOut(TExDockVSChannel* channel, int size);
    virtual void StartSlideIn(TExDockVSChannel* channel, int size);
    // One step of the slide (the timer's tick).
    void AnimateTick();
    // Ends the slide where it is.
    void Halt();

private:
    void Freeze(QWidget* parent);
    void Thaw();
    QPointer<QWidget> FFrozen;
};

// The process's animator, made on first use.
TPopupPanelAnimate* PopupAnimator();
// Frees the animator when it animates `channel` (the next use makes a new one).
void ReleasePopupAnimatorOf(TExDockVSChannel* channel);
// The channel of a popup panel's dock panel, or null; no class check.
TExDockVSChannel* ChannelOfPopupPanel(TWinControlCore* popupPanel);
// True when `widget` is, or lies inside, a popup panel, a popup splitter or a channel.
bool IsAutoHideWindow(QWidget* widget);
