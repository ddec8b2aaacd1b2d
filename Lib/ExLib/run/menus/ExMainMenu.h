#pragma once
// TExMainMenu: a form's main menu whose items are all drawn by the program. It switches the
// platform menu to owner drawing, receives the measure and draw requests of its form through
// the hook registry (after the form has handled them) and hands each item to an item painter.

#include "ExLib/run/menus/ExWndProcHook.h"

#include "Platform/controls/ControlTypes.h"
#include "Platform/controls/Menus.h"

#include <QImage>
#include <memory>
#include <optional>

class TExCustomMenuItemPainter;

enum class TExMenuStyle { msStandard, msOwnerDraw, msBtnLowered, msBtnRaised, msOffice, msXP, msItemPainter };
enum class TExVerticalAlignment { vaTop, vaMiddle, vaBottom };

// The item state from the platform's state word.
TOwnerDrawState OwnerDrawStateFromFlags(UINT itemState);


class TExImageMargin : public TPersistent {
public:
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    // Copies another margin; any other source raises the platform's assignment error.
    void Assign(const TPersistent& source) override;
};

class TExMenuImageSize : public TPersistent {
public:
    int Height = 0;
    int Width = 0;
    void Assign(const TPersistent& source) override;
};

class TExMainMenu;
using TExMenuItemEvent = std::function<void(TExMainMenu* Sender, TMenuItem* Item, const TRect& Rect, TOwnerDrawState State)>;
using TExMenuMeasureEvent = std::function<void(TExMainMenu* Sender, TMenuItem* Item, int& Width, int& Height)>;
using TExMenuImageIndexEvent =
    std::function<void(TExMainMenu* Sender, TMenuItem* Item, TOwnerDrawState State, int& ImageIndex)>;
using TExMenuItemParamsEvent = std::function<void(TExMainMenu* Sender, TMenuItem* Item, TOwnerDrawState State,
                                                  TFont& Font, TColor& Color, QImage& Graphic, int& NumGlyphs)>;

class TExMainMenu : public TMainMenu {
public:
    explicit TExMainMenu(TComponent* AOwner);
    ~TExMainMenu() override;

    TCustomImageList* Images() const { return TMainMenu::Images(); }
    void SetImages(TCustomImageList* images);
    TCustomImageList* DisabledImages() const { return FDisabledImages; }
    void SetDisabledImages(TCustomImageList* images);
    TCustomImageList* HotImages() const { return FHotImages; }
    void SetHotImages(TCustomImageList* images);

    TExMenuStyle Style() const { return FStyle; }
    void SetStyle(TExMenuStyle style);
    TExCustomMenuItemPainter* ItemPainter() const { return FItemPainter; }
    void SetItemPainter(TExCustomMenuItemPainter* painter);
    // The painter that draws: ItemPainter for msItemPainter with a painter, else the style painter.
    TExCustomMenuItemPainter* ActivePainter() const;

    TCursor Cursor = crDefault;
    TExImageMargin& ImageMargin() { return FImageMargin; }
    TExMenuImageSize& ImageSize() { return FImageSize; }
    bool ShowCheckMarks = false;
    int TextMargin = 0;
    TExVerticalAlignment TextVAlignment = TExVerticalAlignment::vaMiddle;

    TExMenuImageIndexEvent OnGetImageIndex;
    // Never fired; kept for forms that bind them.
    TExMenuImageIndexEvent OnGetDisabledImageIndex;
    TExMenuImageIndexEvent OnGetHotImageIndex;
    TExMenuItemEvent OnDrawItem;
    TExMenuItemParamsEvent OnGetItemParams;
    TExMenuMeasureEvent OnMeasureItem;

    // True for an item that lies on the menu bar.
    bool IsBarItem(const TMenuItem* item) const;

    void Loaded() override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    bool Route(TMessage& message);
    void DrawItemHandler(TDrawItemStruct& record, TMenuItem& item);
    void MeasureItemHandler(TMeasureItemStruct& record, TMenuItem& item);
    void SelectHandler(const TMessage& message);
    void ApplyOwnerDraw();
    void WatchList(TCustomImageList*& field, int& link, TCustomImageList* images);

    TExMenuStyle FStyle = TExMenuStyle::msStandard;
    std::unique_ptr<TExCustomMenuItemPainter> FStylePainter;
    TExCustomMenuItemPainter* FItemPainter = nullptr;
    TCustomImageList* FDisabledImages = nullptr;
    TCustomImageList* FHotImages = nullptr;
    int FDisabledLink = 0;
    int FHotLink = 0;
    TExImageMargin FImageMargin;
    TExMenuImageSize FImageSize;
    TWinControlCore* FHookTarget = nullptr;
};

// The font the platform draws menus in.
QFont MenuFont();
// The height of the menu bar (the system's menu-bar metric).
int MenuBarHeight();
// The size of the system's menu check mark.
int MenuCheckSize();
