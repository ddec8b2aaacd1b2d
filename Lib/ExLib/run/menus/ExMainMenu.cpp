#include "ExLib/run/menus/ExMainMenu.h"

#include "ExLib/run/menus/ExMenuItemPainter.h"

#include "Platform/controls/ControlFont.h"
#include "Platform/graphics/PainterState.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>

TOwnerDrawState OwnerDrawStateFromFlags(UINT itemState)
{
    static constexpr struct {
        UINT Flag;
        TOwnerDrawStateFlag State;
    } map[] = {
        {ODS_SELECTED, odSelected}, {ODS_GRAYED, odGrayed},   {ODS_DISABLED, odDisabled}, {ODS_CHECKED, odChecked},
        {ODS_FOCUS, odFocused},     {ODS_DEFAULT, odDefault}, {ODS_HOTLIGHT, odHotLight}, {ODS_NOACCEL, odNoAccel},
    };
    TOwnerDrawState state;
    for (const auto& m : map)
        if (itemState & m.Flag)
            state.Include(m.State);
    return state;
}

void TExImageMargin::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TExImageMargin*>(&source);
    if (!other)
        AssignError(&source);
    Left = other->Left;
    Top = other->Top;
    Right = other->Right;
    Bottom = other->Bottom;
}

void TExMenuImageSize::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TExMenuImageSize*>(&source);
    if (!other)
        AssignError(&source);
    Height = other->Height;
    Width = other->Width;
}

QFont MenuFont()
{
    return QApplication::font("QMenu");
}

int MenuBarHeight()
{
    return QFontMetrics(MenuFont()).height() + 6;
}

int MenuCheckSize()
{
    return QApplication::style()->pixelMetric(QStyle::PM_IndicatorWidth);
}

// ---- TExMainMenu

TExMainMenu::TExMainMenu(TComponent* AOwner) : TMainMenu(AOwner), FStylePainter(CreateStylePainter(FStyle))
{
    FHookTarget = WindowControl();
    if (FHookTarget)
        RegisterWndProcHook(FHookTarget, TExHookOrder::AfterMessage, MakeHookProc<&TExMainMenu::Route>(this));
    ApplyOwnerDraw();
}

TExMainMenu::~TExMainMenu()
{
    Destroying();
    if (FHookTarget)
        UnregisterWndProcHook(FHookTarget, TExHookOrder::AfterMessage, MakeHookProc<&TExMainMenu::Route>(this));
    if (FItemPainter)
        FItemPainter->Attach(nullptr, nullptr);
    for (auto [list, link] : {std::pair{FDisabledImages, FDisabledLink}, std::pair{FHotImages, FHotLink}})
        if (list)
            list->UnRegisterChanges(link);
}

void TExMainMenu::Loaded()
{
    TMainMenu::Loaded();
    ApplyOwnerDraw();
}

void TExMainMenu::ApplyOwnerDraw()
{
    SetOwnerDraw(!ComponentState().Contains(csDesigning));
    RefreshWindows();
}

bool TExMainMenu::IsBarItem(const TMenuItem* item) const
{
    return item && item->Parent() == Items();
}

void TExMainMenu::SetImages(TCustomImageList* images)
{
    TMainMenu::SetImages(images);
    ApplyOwnerDraw();
}

void TExMainMenu::WatchList(TCustomImageList*& field, int& link, TCustomImageList* images)
{
    if (field == images)
        return;
    if (field) {
        field->UnRegisterChanges(link);
        field->RemoveFreeNotification(this);
    }
    field = images;
    if (field) {
        link = field->RegisterChanges([this](TObject*) { ApplyOwnerDraw(); });
        field->FreeNotification(this);
    }
    ApplyOwnerDraw();
}

void TExMainMenu::SetDisabledImages(TCustomImageList* images)
{
    WatchList(FDisabledImages, FDisabledLink, images);
}

void TExMainMenu::SetHotImages(TCustomImageList* images)
{
    WatchList(FHotImages, FHotLink, images);
}

void TExMainMenu::SetStyle(TExMenuStyle style)
{
    if (style == FStyle)
        return;
    FStyle = style;
    if (!(style == TExMenuStyle::msItemPainter && FItemPainter)) {
        if (FItemPainter) {
            FItemPainter->Attach(nullptr, nullptr);
            FItemPainter->RemoveFreeNotification(this);
            FItemPainter = nullptr;
        }
        FStylePainter = CreateStylePainter(style);
    }
    ApplyOwnerDraw();
}

void TExMainMenu::SetItemPainter(TExCustomMenuItemPainter* painter)
{
    if (painter == FItemPainter)
        return;
    if (FItemPainter) {
        FItemPainter->Attach(nullptr, nullptr);
        FItemPainter->RemoveFreeNotification(this);
    }
    FItemPainter = painter;
    if (painter) {
        FStyle = TExMenuStyle::msItemPainter;
        painter->FreeNotification(this);
        painter->Attach(this, nullptr);
    } else {
        FStyle = TExMenuStyle::msStandard;
        FStylePainter = CreateStylePainter(FStyle);
    }
    ApplyOwnerDraw();
}

TExCustomMenuItemPainter* TExMainMenu::ActivePainter() const
{
    return FStyle == TExMenuStyle::msItemPainter && FItemPainter ? FItemPainter : FStylePainter.get();
}

void TExMainMenu::Notification(TComponent* component, TOperation operation)
{
    TMainMenu::Notification(component, operation);
    if (operation != TOperation::opRemove)
        return;
    if (component == FItemPainter) {
        FItemPainter = nullptr;
        FStyle = TExMenuStyle::msStandard;
        FStylePainter = CreateStylePainter(FStyle);
        if (!ComponentState().Contains(csDestroying))
            ApplyOwnerDraw();
    }
    if (component == FDisabledImages)
        FDisabledImages = nullptr;
    if (component == FHotImages)
        FHotImages = nullptr;
    if (component == static_cast<TComponent*>(FHookTarget))
        FHookTarget = nullptr;
}

bool TExMainMenu::Route(TMessage& message)
{
    switch (message.Msg) {
    case WM_DRAWITEM: {
        auto* record = reinterpret_cast<TDrawItemStruct*>(message.LParam);
        if (record && record->CtlType == ODT_MENU)
            if (TMenuItem* item = FindItem(record->itemID)) {
                TDrawItemStruct copy = *record;
                copy.itemData = reinterpret_cast<std::uintptr_t>(item);
                DrawItemHandler(copy, *item);
                message.Result = 1;
            }
        break;
    }
    case WM_MEASUREITEM: {
        auto* record = reinterpret_cast<TMeasureItemStruct*>(message.LParam);
        if (record && record->CtlType == ODT_MENU)
            if (TMenuItem* item = FindItem(record->itemID)) {
                record->itemData = reinterpret_cast<std::uintptr_t>(item);
                MeasureItemHandler(*record, *item);
                message.Result = 1;
            }
        break;
    }
    case WM_MENUSELECT: SelectHandler(message); break;
    default: break;
    }
    return false; // the form's other observers see the message too
}

void TExMainMenu::DrawItemHandler(TDrawItemStruct& record, TMenuItem& item)
{
    if (!record.hDC)
        return;
    const TPainterStateGuard guard(record.hDC);
    TCanvas canvas(record.hDC);
    AssignQFont(canvas.Font(), MenuFont());
    canvas.Font().SetColor(clMenuText);
    canvas.Brush().SetColor(clMenu);
    const TOwnerDrawState state = OwnerDrawStateFromFlags(record.itemState);
    if (state.Contains(odDefault))
        canvas.Font().SetStyle(canvas.Font().Style() + TFontStyles{fsBold});
    if (state.Contains(odSelected) && FStyle != TExMenuStyle::msBtnLowered && FStyle != TExMenuStyle::msBtnRaised) {
        canvas.Brush().SetColor(clHighlight);
        canvas.Font().SetColor(clHighlightText);
    }
    record.hDC->setClipRect(record.rcItem.ToQt(), Qt::IntersectClip);
    TExCustomMenuItemPainter* painter = ActivePainter();
    painter->Attach(this, &canvas, record.hwndItem);
    struct Detach {
        TExCustomMenuItemPainter* Painter;
        TExMainMenu* Menu;
        ~Detach() { Painter->Attach(Menu, nullptr); }
    } detach{painter, this};
    painter->RenderItem(&item, record.rcItem, state);
}

void TExMainMenu::MeasureItemHandler(TMeasureItemStruct& record, TMenuItem& item)
{
    TCanvas canvas;
    AssignQFont(canvas.Font(), MenuFont());
    if (item.Default())
        canvas.Font().SetStyle(canvas.Font().Style() + TFontStyles{fsBold});
    TExCustomMenuItemPainter* painter = ActivePainter();
    painter->Attach(this, &canvas);
    struct Detach {
        TExCustomMenuItemPainter* Painter;
        TExMainMenu* Menu;
        ~Detach() { Painter->Attach(Menu, nullptr); }
    } detach{painter, this};
    int width = static_cast<int>(record.itemWidth);
    int height = static_cast<int>(record.itemHeight);
    painter->ComputeItemSize(&item, width, height);
    record.itemWidth = static_cast<UINT>(std::max(0, width));
    record.itemHeight = static_cast<UINT>(std::max(0, height));
}

void TExMainMenu::SelectHandler(const TMessage& message)
{
    if (Cursor == crDefault)
        return;
    auto* window = reinterpret_cast<QWidget*>(message.LParam);
    if (!window)
        return;
    const UINT command = static_cast<UINT>(message.WParam & 0xFFFF);
    const UINT flags = static_cast<UINT>((message.WParam >> 16) & 0xFFFF);
    const TMenuItem* item = FindItem(command);
    const bool plain = !item || (IsBarItem(item) && item->Count() > 0) || !(flags & MF_MOUSESELECT);
    if (plain)
        window->unsetCursor();
    else
        window->setCursor(CursorShape(Cursor));
}
