#pragma once
// The tab control of the caption-bar style's tab hosts. It keeps the page logic of the dock page
// control but draws its own tab strip: tabs as wide as their captions that share the width fairly
// when it runs short, the active tab in its own colour and font, a hot-tracked tab, tabs that
// are dragged along the strip to reorder the pages or off it to undock their form, and clicks on
// tabs that reach the form's dock client as non-client mouse messages.

#include "ExLib/run/docking/control/ExDockHostForms.h"

#include "Platform/graphics/Graphics.h"
#include "Platform/graphics/ImgList.h"

#include <vector>

class TExDockVIDTabPageControl;
class TExDockTabPanel;

// A page that knows how wide its tab would like to be.
class TExDockVIDTabSheet : public TExDockTabSheet {
public:
    explicit TExDockVIDTabSheet(TComponent* AOwner);
    ~TExDockVIDTabSheet() override;

    // The caption's width in the font of the tab's state, with the strip's caption offsets.
    int NaturalTabWidth = 0;
    // The width the strip gives it.
    int TabWidth = 0;

protected:
    void WndProc(TMessage& message) override;
};

// The tab strip, a child of its page control along the tab side.
class TExDockTabPanel : public TExCustomControl {
public:
    explicit TExDockTabPanel(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExDockTabPanel() override;

    TExDockVIDTabPageControl* PageControl = nullptr;
    TColor ActiveSheetColor = clBtnFace;
    TColor HotTrackColor = clBlue;
    TFont& ActiveFont() { return FActiveFont; }
    TFont& InactiveFont() { return FInactiveFont; }
    int TabLeftOffset = 0;
    int TabRightOffset = 0;
    int TabTopOffset = 0;
    int TabBottomOffset = 3;
    int CaptionLeftOffset = 5;
    int CaptionRightOffset = 5;
    int CaptionTopOffset = 0;
    int TabSplitterWidth = 3;
    int TabHeight = 22;
    // The pages ordered by their natural tab width, narrowest first.
    std::vector<TExDockVIDTabSheet*> SortedSheets;
    TExDockTabSheet* DraggedSheet = nullptr;
    std::vector<TExDockTabSheet*> DragOrder;
    int HotTabIndex = -1;
    bool ShowTabImages = false;

    // The page index of the tab under a point (strip coordinates), or -1.
    virtual int TabIndexAt(int x, int y);
    // Shares the strip's width among the visible tabs.
    void ResetTabWidths();
    // The sheet's width for `caption` in the font of its state; re-sorts and repaints on change.
    void UpdateTabWidth(TExDockVIDTabSheet* sheet, const std::string& caption);
    void AddSheet(TExDockVIDTabSheet* sheet);
    void RemoveSheet(TExDockVIDTabSheet* sheet);
    // Ends a tab drag as a release of the mouse would.
    void EndTabDrag();

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;
    void WndProc(TMessage& message) override;
    void Resize() override;

private:
    void MouseAction(UINT msg, TMouseButton button, int x, int y);
    bool InTabBand(int x, int y) const;
    int ImageWidth() const;

    TFont FActiveFont;
    TFont FInactiveFont;
    bool FDoubleClick = false;
};

class TExDockVIDTabPageControl : public TExDockAdvTabPageControl {
public:
    explicit TExDockVIDTabPageControl(TExDockTabHostForm* host);
    ~TExDockVIDTabPageControl() override;

    TExDockTabPanel* TabPanel() const { return FTabPanel; }
    // Makes the strip (from TabPanelClass) when there is none.
    void CreateTabPanel();
    // Makes the strip again, for a descendant that names another strip class.
    void RecreateTabPanel();
    std::function<TExDockTabPanel*(TExDockVIDTabPageControl* owner)> TabPanelClass;
    // The icons of the forms docked here, owned while the owner is a tab host.
    TCustomImageList* OwnImages() const { return FOwnImages; }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* images);

    TColor ActiveSheetColor() const;
    void SetActiveSheetColor(TColor value);
    TColor InactiveSheetColor() const;
    void SetInactiveSheetColor(TColor value);
    int TabLeftOffset() const;
    void SetTabLeftOffset(int value);
    int TabRightOffset() const;
    void SetTabRightOffset(int value);
    int TabTopOffset() const;
    void SetTabTopOffset(int value);
    int TabBottomOffset() const;
    void SetTabBottomOffset(int value);
    const TFont& ActiveFont() const;
    void SetActiveFont(const TFont& font);
    const TFont& InactiveFont() const;
    void SetInactiveFont(const TFont& font);
    TColor HotTrackColor() const;
    void SetHotTrackColor(TColor value);
    bool ShowTabImages() const;
    void SetShowTabImages(bool value);

    void SetTabPosition(TTabPosition value) override;
    void SetTabHeight(int value) override;
    void SetActivePage(TExDockTabSheet* page) override;
    void AdjustClientRect(TRect& rect) const override;
    TWinControlCore* DockedControlAtTab(TPoint p) override;
    void QuerySiteInfo(TExDockDragDockObject& source, TWinControlCore* client, TRect& influenceRect,
                       TPoint mousePos, bool& canDock) override;
    void DragOverSite(TExDockDragDockObject& source, int x, int y, TDragState state, bool& accept) override;
    void DropOnSite(TExDockDragDockObject& source, int x, int y) override;
    bool UndockFromSite(TWinControlCore* newTarget, TWinControlCore* client) override;
    void QueryDockEdge(TExDockDragDockObject& source, TPoint mousePos, TAlign& align) override;
    void RefreshHostCaption(TWinControlCore* exclude) override;
    void DockDrop(TDragDockObject& source, int x, int y) override;

    // The strip's tab mouse action, as the page control's tab messages are built.
    void StripMouseMessage(UINT msg, QPoint pos) { TabMouseMessage(msg, pos); }
    void ChangePage() { Change(); }

protected:
    bool UsesNativeTabBar() const override { return false; }
    void Notification(TComponent* component, TOperation operation) override;
    void Change() override;
    void UndockClientMessage(TMessage& m) override;
    // A form shown or hidden on a page may bring the strip or take it away.
    void DockNotification(TMessage& m) override;
    void Resized() override;
    void TabMouseMessage(UINT msg, QPoint pos) override;

private:
    friend class TExDockTabPanel;

    void HostCaptionFromActivePage();
    void AddFormImage(TWinControlCore* form, TExDockTabSheet* sheet);
    void PlaceTabPanel();

    TExDockTabPanel* FTabPanel = nullptr;
    TCustomImageList* FOwnImages = nullptr;
    TCustomImageList* FImages = nullptr;
};
