#pragma once
// TExTabBar: a drawn strip of tabs with selection, close buttons inside the tabs, hot tracking,
// per-tab hints and pop-up menus, reordering by dragging, two small scroll buttons when the tabs
// do not fit, and an optional page control that follows the selected tab. A painter draws and
// measures everything; without one the bar uses a modern painter of its own.

#include "ExLib/run/panels/ExTabBarPainter.h"

#include "Platform/controls/Control.h"
#include "Platform/controls/Menus.h"
#include "Platform/core/Collections.h"
#include "Platform/graphics/ImageListLink.h"

#include <memory>

class TExCustomTabBar;
class TExTabBarItems;
class TExSpeedButton;

enum class TExTabBarOrientation { toTop, toBottom };

using TExTabBarItemEvent = std::function<void(TObject* Sender, TExTabBarItem* Item)>;
using TExTabBarClosingEvent = std::function<void(TObject* Sender, TExTabBarItem* Item, bool& AllowClose)>;
using TExTabBarSelectingEvent = std::function<void(TObject* Sender, TExTabBarItem* Item, bool& AllowSelect)>;
using TExGetModifiedEvent = std::function<void(TExTabBarItem* Sender, bool& Modified)>;
using TExGetEnabledEvent = std::function<void(TExTabBarItem* Sender, bool& Enabled)>;

// A control that shows the page of the selected tab; {6BB90183-CFB1-4431-9CFD-E9A032E0C94C}.
class ITabBarPageList {
public:
    virtual ~ITabBarPageList() = default;
    virtual void ShowPage(int index) = 0;

protected:
    ITabBarPageList() = default;
    ITabBarPageList(const ITabBarPageList&) = default;
    ITabBarPageList& operator=(const ITabBarPageList&) = default;
};

class TExTabBarItem : public TCollectionItem {
public:
    TExTabBarItem() = default;
    // Lets go of its pop-up menu and hides first.
    ~TExTabBarItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& value);
    // Whether it is the bar's selected tab; writing true selects it, false does nothing.
    bool Selected() const;
    void SetSelected(bool value);
    // The stored value, as OnGetEnabled sees it.
    bool Enabled();
    void SetEnabled(bool value);
    bool Modified();
    void SetModified(bool value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& value) { FHint = value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* menu);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value) { FShowHint = value; }
    std::intptr_t Tag = 0;
    // Visible and enabled.
    bool Selectable();
    // The x position from the last layout (-1: not laid out).
    int TabLeft() const { return FTabLeft; }
    TExCustomTabBar* TabBar() const;

    TExGetModifiedEvent OnGetModified;
    TExGetEnabledEvent OnGetEnabled;

    void Assign(const TPersistent& source) override;

private:
    friend class TExCustomTabBar;
    std::string FCaption;
    bool FEnabled = true;
    bool FModified = false;
    std::string FHint;
    int FImageIndex = -1;
    bool FVisible = true;
    TPopupMenu* FPopupMenu = nullptr;
    bool FShowHint = true;
    int FTabLeft = -1;
};

class TExTabBarItems : public TOwnedCollection {
public:
    explicit TExTabBarItems(TExCustomTabBar& bar);
    TExTabBarItem* Add() { return static_cast<TExTabBarItem*>(TCollection::Add()); }
    TExTabBarItem* Items(int index) const { return static_cast<TExTabBarItem*>(TCollection::Items(index)); }
    TExCustomTabBar& Bar() const { return FBar; }

protected:
    void Notify(TCollectionItem* item, TCollectionNotification action) override;
    void Update(TCollectionItem* item) override;

private:
    TExCustomTabBar& FBar;
};

class TExCustomTabBar : public TCustomControl {
public:
    explicit TExCustomTabBar(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExCustomTabBar() override;

    TExTabBarItems& Tabs() { return *FTabs; }
    void SetTabs(const TExTabBarItems& tabs) { FTabs->Assign(tabs); }
    TExTabBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TExTabBarOrientation value);
    bool CloseButton() const { return FCloseButton; }
    void SetCloseButton(bool value);
    bool RightClickSelect = true;
    bool HotTracking() const { return FHotTracking; }
    void SetHotTracking(bool value);
    bool AutoFreeClosed = true;
    bool AllowUnselected() const { return FAllowUnselected; }
    void SetAllowUnselected(bool value);
    bool SelectBeforeClose = false;
    int Margin() const { return FMargin; }
    void SetMargin(int value);
    bool FlatScrollButtons() const { return FFlatScrollButtons; }
    void SetFlatScrollButtons(bool value);
    bool AllowTabMoving = false;
    // The bar's own hint, shown where the tab under the mouse has none.
    const std::string& BarHint() const { return FBarHint; }
    void SetBarHint(const std::string& hint);
    TPopupMenu* PopupMenu = nullptr;

    // The assigned painter, or the bar's own modern painter without one.
    TExTabBarPainter& CurrentPainter();
    TExTabBarPainter* Painter() const { return FPainter; }
    void SetPainter(TExTabBarPainter* painter);
    TCustomImageList* Images() const { return FImages.Images(); }
    void SetImages(TCustomImageList* images);
    TWinControlCore* PageList() const { return FPageList; }
    // Taken only when `control` implements ITabBarPageList; null clears it.
    void SetPageList(TWinControlCore* control);

    TExTabBarItem* SelectedTab() const { return FSelectedTab; }
    void SelectTab(TExTabBarItem* tab);
    TExTabBarItem* HotTab() const { return FHotTab; }
    TExTabBarItem* ClosingTab() const { return FClosingTab; }
    TExTabBarItem* CloseButtonDown() const { return FCloseButtonDown; }
    TExTabBarItem* DropTarget() const { return FDropTarget; }
    int LeftIndex() const { return FLeftIndex; }
    int BarWidth() const { return FBarWidth; }
    int TotalWidth() const { return FTotalWidth; }
    int RightEdge() const { return FRightEdge; }
    TExSpeedButton* ScrollButtonLeft() const { return FScrollLeft; }
    TExSpeedButton* ScrollButtonRight() const { return FScrollRight; }

    // Geometry (client coordinates), after a layout when needed.
    void CalcTabsRects();
    TRect TabRect(TExTabBarItem* tab);
    TExTabBarItem* TabAtPos(TPoint point);
    // Scrolls the tabs so that `tab` shows.
    void MakeVisible(TExTabBarItem* tab);
    void UpdateScrollButtons();

    // Tab moving: the drag over a point, the drop there, and giving up.
    bool DragOverAt(TPoint point);
    void DragDropAt(TPoint point);
    void DragCanceled();
    bool Dragging() const { return FDragging; }

    TExTabBarClosingEvent OnTabClosing;
    TExTabBarItemEvent OnTabClosed;
    TExTabBarSelectingEvent OnTabSelecting;
    TExTabBarItemEvent OnTabSelected;
    TNotifyEvent OnChange;

protected:
    friend class TExTabBarItems;
    friend class TExTabBarItem;
    virtual void DrawOneTab(TCanvas& canvas, TExTabBarItem& tab);
    virtual bool QueryTabClose(TExTabBarItem* tab);
    virtual void AfterTabClose(TExTabBarItem* tab);
    virtual bool QueryTabSelect(TExTabBarItem* tab);
    virtual void AfterTabSelect(TExTabBarItem* tab);
    virtual void TabsChanged();
    virtual void ImagesNotify();
    virtual void ScrollButtonPressed(TExSpeedButton* button);

    void Paint() override;
    void Resize() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void WndProc(TMessage& message) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    // The tab a selection S comes to rest on (see the selection rules).
    TExTabBarItem* ValidTab(TExTabBarItem* tab);
    void DropTab(const TCollectionItem* tab);
    void SetLeftIndex(int value);
    bool InCloseButton(TExTabBarItem* tab, TPoint point);
    TCanvas& MeasureCanvas();
    QImage ArrowPicture(bool left);
    void UpdateHint(TExTabBarItem* tab);

    std::unique_ptr<TExTabBarItems> FTabs;
    TExTabBarOrientation FOrientation = TExTabBarOrientation::toTop;
    bool FCloseButton = true;
    bool FHotTracking = false;
    bool FAllowUnselected = false;
    int FMargin = 6;
    bool FFlatScrollButtons = true;
    std::string FBarHint;
    TExTabBarPainter* FPainter = nullptr;
    std::unique_ptr<TExModernTabBarPainter> FInternalPainter;
    TImageListLink FImages{*this};
    TWinControlCore* FPageList = nullptr;
    TExTabBarItem* FSelectedTab = nullptr;
    TExTabBarItem* FHotTab = nullptr;
    TExTabBarItem* FClosingTab = nullptr;
    TExTabBarItem* FCloseButtonDown = nullptr;
    TExTabBarItem* FDropTarget = nullptr;
    int FLeftIndex = 0;
    int FBarWidth = 0;
    int FTotalWidth = 0;
    int FRightEdge = 0;
    TExSpeedButton* FScrollLeft = nullptr;
    TExSpeedButton* FScrollRight = nullptr;
    QImage FLeftArrow;
    QImage FRightArrow;
    TCanvas FMeasure;
    TPoint FPressPoint;
    bool FPressed = false;
    bool FDragging = false;
    bool FDestroying = false;
};

class TExTabBar : public TExCustomTabBar {
public:
    using TExCustomTabBar::TExCustomTabBar;
};
