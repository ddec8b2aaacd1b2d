#pragma once
// Menus of the class library over Qt: TMenuItem (caption, shortcut, check mark, image index and
// sub-items), TMainMenu over a QMenuBar and TPopupMenu over a QMenu.
//
// Owner drawing: while a menu's OwnerDraw is on, its menu bar and drop-down windows ask the
// menu's window control to measure and draw each item: the control receives WM_MEASUREITEM and
// WM_DRAWITEM with the records below and answers 1 when it took the request; a request nobody
// answers is drawn by the application's style. A drop-down window of an owner-drawn menu has a
// 3-pixel frame; its items are given in client coordinates, whose origin lies inside the frame.
// Hovering over an item sends WM_MENUSELECT to the window control.

#include "Platform/controls/Control.h"
#include "Platform/graphics/ImgList.h"

#include <QImage>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QPainter;
class TMenu;
class TOwnerDrawMenuStyle;

enum : UINT { WM_DRAWITEM = 0x002B, WM_MEASUREITEM = 0x002C, WM_MENUSELECT = 0x011F, WM_MENUCHAR = 0x0120 };
enum : UINT { ODT_MENU = 1 };
enum : UINT { ODA_DRAWENTIRE = 0x1, ODA_SELECT = 0x2 };
enum : UINT {
    ODS_SELECTED = 0x0001, ODS_GRAYED = 0x0002, ODS_DISABLED = 0x0004, ODS_CHECKED = 0x0008, ODS_FOCUS = 0x0010,
    ODS_DEFAULT = 0x0020, ODS_HOTLIGHT = 0x0040, ODS_NOACCEL = 0x0100,
};
// WM_MENUSELECT flags (high word of WParam; the low word is the item's command).
enum : UINT { MF_POPUP = 0x0010, MF_MOUSESELECT = 0x8000 };

// The width of a drop-down window's frame while its menu is owner-drawn.
inline constexpr int OwnerDrawMenuFrame = 3;
// What the platform adds to the measured width of an owner-drawn item, as the system adds its
// check-mark width less one.
inline constexpr int OwnerDrawItemPadding = 12;

struct TDrawItemStruct {
    UINT CtlType = ODT_MENU;
    UINT CtlID = 0;
    UINT itemID = 0;      // the item's command
    UINT itemAction = ODA_DRAWENTIRE;
    UINT itemState = 0;   // ODS_* flags
    QWidget* hwndItem = nullptr; // the menu bar or drop-down window
    QPainter* hDC = nullptr;     // in the coordinates of rcItem
    TRect rcItem;
    std::uintptr_t itemData = 0; // the TMenuItem, once found
};

struct TMeasureItemStruct {
    UINT CtlType = ODT_MENU;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemWidth = 0;
    UINT itemHeight = 0;
    std::uintptr_t itemData = 0;
};

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    // A caption of "-" makes the item a separator line.
    bool IsLine() const { return FCaption == "-"; }
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut shortCut);
    bool Checked() const { return FChecked; }
    void SetChecked(bool checked);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    bool Visible() const { return FVisible; }
    void SetVisible(bool visible);
    bool Default() const { return FDefault; }
    void SetDefault(bool value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int index);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& hint);
    const QImage& Bitmap() const { return FBitmap; }
    void SetBitmap(const QImage& bitmap);

    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int index) const;
    TMenuItem* Parent() const { return FParent; }
    int MenuIndex() const;
    // The item takes `item` as its last (or index-th) sub-item; a sub-item belongs to its parent,
    // which frees it, unless a component owner frees it first.
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    void Clear();

    // A number that names the item in the owner-draw records, unique in the process.
    UINT Command() const { return FCommand; }
    TMenuItem* Find(UINT command);
    TMenu* GetParentMenu() const;

    virtual void Click();
    TNotifyEvent OnClick;

    QAction* Action() const { return FAction.get(); }
    // The window that shows the sub-items (null while the item has none).
    QWidget* SubMenuWidget() const;

private:
    friend class TMenu;
    void UpdateAction();
    void UpdateIcon();
    void ShowIn(QWidget* container, int index);
    QWidget* Container();
    void SetRootContainer(QWidget* container) { FRootContainer = container; }
    void ForEach(const std::function<void(TMenuItem&)>& f);

    std::string FCaption;
    TShortCut FShortCut = 0;
    bool FChecked = false;
    bool FRadioItem = false;
    bool FEnabled = true;
    bool FVisible = true;
    bool FDefault = false;
    int FImageIndex = -1;
    std::string FHint;
    QImage FBitmap;
    UINT FCommand;
    TMenuItem* FParent = nullptr;
    TMenu* FRootOf = nullptr;
    std::vector<TMenuItem*> FItems;
    std::unique_ptr<QAction> FAction;
    std::unique_ptr<QMenu> FSubMenu;
    QWidget* FRootContainer = nullptr;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;

    TMenuItem* Items() const { return FItems.get(); }
    // The item with that command, or null.
    TMenuItem* FindItem(UINT command) const;

    bool OwnerDraw() const { return FOwnerDraw; }
    // Switching re-applies the drawing of every menu window.
    void SetOwnerDraw(bool value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* images);

    // The control that receives the owner-draw requests and WM_MENUSELECT: the one set, else the
    // owner when it is a control.
    TWinControlCore* WindowControl() const;
    void SetWindowControl(TWinControlCore* control);

    // The menu bar or pop-up window.
    virtual QWidget* MenuWidget() const = 0;

    // Called by the menu's windows.
    void PrepareWindow(QWidget* window);
    void ItemHovered(QWidget* window, QAction* action);

protected:
    void Notification(TComponent* component, TOperation operation) override;
    void InitRoot(QWidget* container);
    // Frees every item; a derived menu calls it before its window goes.
    void DestroyItems();
    // Re-applies owner drawing and icons to every window of the menu.
    void RefreshWindows();

private:
    std::unique_ptr<TMenuItem> FItems;
    std::unique_ptr<TOwnerDrawMenuStyle> FStyle;
    bool FOwnerDraw = false;
    TCustomImageList* FImages = nullptr;
    int FImagesLink = 0;
    TWinControlCore* FWindowControl = nullptr;
};

class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* AOwner);
    ~TMainMenu() override;

    QMenuBar* MenuBar() const;
    QWidget* MenuWidget() const override;

private:
    std::unique_ptr<QMenuBar> FBar;
};

enum class TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    QMenu* Menu() const;
    QWidget* MenuWidget() const override;

    // Shows the menu at the screen point and returns when it has closed. A press inside
    // `noReplay` (screen coordinates) closes the menu and reaches nothing else.
    virtual void Popup(int x, int y, const TRect* noReplay = nullptr);
    bool AutoPopup = true;
    TPopupAlignment Alignment = TPopupAlignment::paLeft;
    TComponent* PopupComponent = nullptr;
    TNotifyEvent OnPopup;
    // The screen point of the last Popup.
    TPoint PopupPoint() const { return FPopupPoint; }

private:
    std::unique_ptr<QMenu> FMenu;
    TPoint FPopupPoint;
};
