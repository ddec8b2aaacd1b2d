#pragma once
// A tab control over the platform's tab bar, and a page control on top of it in which every
// docked form gets a page of its own: its caption is the tab's text, its visibility the tab's.
// Mouse actions on a tab reach the dock client of the form on it as non-client messages, so a
// tab can be dragged off, double-clicked to float, or right-clicked (which also selects it).

#include "ExLib/run/docking/sites/ExDockCustomControl.h"

#include "Platform/text/Strings.h"

#include <QTabBar>

class TExDockCustomTabControl;
class TExDockPageControl;

enum class TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum class TTabStyle { tsTabs, tsButtons, tsFlatButtons };

// The tab captions of a tab control, each with an object, kept by the tab bar itself.
class TExDockTabStrings : public TStrings {
public:
    explicit TExDockTabStrings(TExDockCustomTabControl& control) : FControl(control) {}
    int Count() const override;
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    void Clear() override;
    void Delete(int index) override;
    void Insert(int index, const std::string& s) override;

protected:
    void SetUpdateState(bool updating) override;

private:
    TExDockCustomTabControl& FControl;
};

class TExDockCustomTabControl : public TExDockCustomControl, public IAlignClientRect {
public:
    explicit TExDockCustomTabControl(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExDockCustomTabControl() override;

    bool HotTrack() const { return FHotTrack; }
    virtual void SetHotTrack(bool value);
    bool MultiLine() const { return FMultiLine; }
    // EListError when switched off while the tabs stand on the left or right.
    void SetMultiLine(bool value);
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool value) { FOwnerDraw = value; }
    bool RaggedRight() const { return FRaggedRight; }
    void SetRaggedRight(bool value) { FRaggedRight = value; }
    bool ScrollOpposite() const { return FScrollOpposite; }
    void SetScrollOpposite(bool value);
    TTabStyle Style() const { return FStyle; }
    // EInvalidOperation for a style other than tsTabs while the tabs do not stand on top.
    void SetStyle(TTabStyle value);
    int TabHeight() const { return FTabHeight; }
    virtual void SetTabHeight(int value);
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int value);
    int TabIndex() const;
    void SetTabIndex(int index);
    TTabPosition TabPosition() const { return FTabPosition; }
    virtual void SetTabPosition(TTabPosition value);
    TExDockTabStrings& Tabs() { return FTabs; }

    TNotifyEvent OnChange;
    std::function<void(TObject* Sender, bool& AllowChange)> OnChanging;

    virtual bool CanShowTab(int tabIndex) { (void)tabIndex; return true; }
    // The area below (or beside) the tabs.
    void AdjustClientRect(TRect& rect) const override;
    QTabBar* TabBar() const { return FTabBar; }

protected:
    friend class TExDockTabStrings;
    friend class TExDockTabBar;
    virtual void Change();
    virtual bool CanChange();
    // After the tab bar handled a mouse message.
    virtual void TabMouseMessage(UINT msg, QPoint pos) { (void)msg, (void)pos; }
    // False for a control that draws its own tab strip: the platform's tab bar then only keeps
    // the tabs and never shows.
    virtual bool UsesNativeTabBar() const { return true; }
    void Resized() override;
    void LayoutTabBar();

private:
    QTabBar* FTabBar;
    TExDockTabStrings FTabs{*this};
    bool FHotTrack = false;
    bool FMultiLine = false;
    bool FOwnerDraw = false;
    bool FRaggedRight = false;
    bool FScrollOpposite = false;
    TTabStyle FStyle = TTabStyle::tsTabs;
    int FTabHeight = 0;
    int FTabWidth = 0;
    TTabPosition FTabPosition = TTabPosition::tpTop;
    bool FSettingIndex = false;
};

class TExDockTabSheet : public TExWinControl {
public:
    explicit TExDockTabSheet(TComponent* AOwner);
    ~TExDockTabSheet() override;

    TExDockPageControl* PageControl() const { return FPageControl; }
    virtual void SetPageControl(TExDockPageControl* pageControl);
    const std::string& Caption() const { return Text(); }
    void SetCaption(const std::string& caption);
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool value);
    bool TabShowing() const { return FTabShowing; }
    int PageIndex() const;
    // EListError when the index lies past the last page.
    void SetPageIndex(int index);
    // The index of its tab among the shown tabs (the pages before it with a shown tab).
    int TabIndex() const;
    int ImageIndex = 0;
    bool Highlighted = false;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

private:
    friend class TExDockPageControl;
    void UpdateTabShowing();
    TExDockPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
    bool FTabShowing = false;
};

class TExDockPageControl : public TExDockCustomTabControl {
public:
    explicit TExDockPageControl(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExDockPageControl() override;

    int PageCount() const { return static_cast<int>(FPages.size()); }
    TExDockTabSheet* Pages(int index) const;
    TExDockTabSheet* ActivePage() const { return FActivePage; }
    virtual void SetActivePage(TExDockTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);
    TExDockTabSheet* FindNextPage(TExDockTabSheet* page, bool forward, bool visibleOnly) const;
    void SelectNextPage(bool forward, bool visibleOnly = true);
    // The page whose tab shows.
    virtual void UpdateActivePage();
    // The control docked on the tab under `p` (client coordinates), or null.
    virtual TWinControlCore* DockedControlAtTab(TPoint p);
    // The page a docked control sits on, or null.
    TExDockTabSheet* PageOfControl(const TWinControlCore* control) const;

    // Makes the sheets that docked forms get.
    std::function<TExDockTabSheet*(TComponent* owner)> TabSheetClass;
    TExDockTabSheet* NewDockSheet() const { return FNewDockSheet; }
    TExDockTabSheet* UndockSheet() const { return FUndockSheet; }

    bool CanShowTab(int tabIndex) override;
    void DoAddDockClient(TWinControlCore* client, const TRect& rect) override;
    void DoRemoveDockClient(TWinControlCore* client) override;

protected:
    friend class TExDockTabSheet;
    void Change() override;
    void TabMouseMessage(UINT msg, QPoint pos) override;
    void DockClientMessage(TMessage& m) override;
    void UndockClientMessage(TMessage& m) override;
    void DockNotification(TMessage& m) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void InsertPage(TExDockTabSheet* page);
    void RemovePage(TExDockTabSheet* page);
    void ShowTab(TExDockTabSheet* page);
    void HideTab(TExDockTabSheet* page);
    // Builds the non-client message of a tab action: the message number less 0x160, HTCAPTION
    // and the screen point.
    void BuildTabMouseMessage(UINT msg, QPoint pos, TMessage& out) const;

private:
    std::vector<TExDockTabSheet*> FPages;
    TExDockTabSheet* FActivePage = nullptr;
    TExDockTabSheet* FNewDockSheet = nullptr;
    TExDockTabSheet* FUndockSheet = nullptr;
};
