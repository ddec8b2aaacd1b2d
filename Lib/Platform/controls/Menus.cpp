#include "Platform/controls/Menus.h"

#include "Platform/core/Application.h"
#include "Platform/core/Exceptions.h"
#include "Platform/graphics/PainterState.h"
#include "Platform/core/QtBridge.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <atomic>

namespace {

UINT NextCommand()
{
    static std::atomic<UINT> next{1};
    return next++;
}

// What the owner-draw style needs to know of a menu window.
class IMenuWindow {
public:
    virtual ~IMenuWindow() = default;
    virtual TMenu* OwnerMenu() const = 0;
    // The action whose style option was made last: the one being measured or drawn.
    virtual const QAction* StyledAction() const = 0;

protected:
    IMenuWindow() = default;
    IMenuWindow(const IMenuWindow&) = default;
    IMenuWindow& operator=(const IMenuWindow&) = default;
};

// A drop-down window. It belongs to an item (or to a pop-up menu) and finds its menu through it.
class TMenuWindow : public QMenu, public IMenuWindow {
public:
    TMenuWindow(TMenuItem* item, TMenu* menu) : FItem(item), FMenu(menu)
    {
        QObject::connect(this, &QMenu::hovered, this, [this](QAction* action) {
            try {
                if (TMenu* m = OwnerMenu()) {
                    m->ItemHovered(this, action);
                    // why: an owner-drawn selection reaches into the frame, which Qt does not repaint.
                    if (m->OwnerDraw())
                        update();
                }
            } catch (...) {
                HandleCurrentException();
            }
        });
    }
    TMenu* OwnerMenu() const override { return FMenu ? FMenu : (FItem ? FItem->GetParentMenu() : nullptr); }
    const QAction* StyledAction() const override { return FStyled; }

protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override
    {
        QMenu::initStyleOption(option, action);
        FStyled = action;
    }

private:
    TMenuItem* FItem;
    TMenu* FMenu;
    mutable const QAction* FStyled = nullptr;
};

class TMenuBarWidget : public QMenuBar, public IMenuWindow {
public:
    explicit TMenuBarWidget(TMenu* menu) : FMenu(menu)
    {
        QObject::connect(this, &QMenuBar::hovered, this, [this](QAction* action) {
            try {
                FMenu->ItemHovered(this, action);
            } catch (...) {
                HandleCurrentException();
            }
        });
    }
    TMenu* OwnerMenu() const override { return FMenu; }
    const QAction* StyledAction() const override { return FStyled; }

protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override
    {
        QMenuBar::initStyleOption(option, action);
        FStyled = action;
    }

private:
    TMenu* FMenu;
    mutable const QAction* FStyled = nullptr;
};

// Keeps a press inside a screen rectangle from reaching anything once it has closed the menu.
class TNoReplayFilter : public QObject {
public:
    TNoReplayFilter(QMenu& menu, const TRect& area) : FMenu(menu), FArea(area) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &FMenu && event->type() == QEvent::MouseButtonPress) {
            const auto* me = static_cast<QMouseEvent*>(event);
            const QPoint global = me->globalPosition().toPoint();
            if (!FMenu.rect().contains(me->position().toPoint()) && FArea.Contains(TPoint::FromQt(global)))
                FMenu.setAttribute(Qt::WA_NoMouseReplay, true);
        }
        return false;
    }

private:
    QMenu& FMenu;
    TRect FArea;
};

} // namespace

// ---- owner drawing

class TOwnerDrawMenuStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        switch (metric) {
        case PM_MenuPanelWidth: return OwnerDrawMenuFrame;
        case PM_MenuHMargin:
        case PM_MenuVMargin:
        case PM_MenuBarItemSpacing:
        case PM_MenuBarPanelWidth:
        case PM_MenuBarHMargin:
        case PM_MenuBarVMargin:
        case PM_MenuDesktopFrameWidth: return 0;
        default: return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override
    {
        if (type == CT_MenuItem || type == CT_MenuBarItem)
            if (const auto measured = Measure(widget, type == CT_MenuItem))
                return *measured;
        if (type == CT_Menu)
            return size;
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        if ((element == CE_MenuItem || element == CE_MenuBarItem) &&
            Draw(static_cast<const QStyleOptionMenuItem*>(option), painter, widget, element == CE_MenuItem))
            return;
        if (element == CE_MenuEmptyArea)
            return; // the panel is filled before the items, the frame drawn by the items
        if (element == CE_MenuBarEmptyArea) {
            painter->fillRect(option->rect, ToQColor(clMenu));
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        switch (element) {
        case PE_PanelMenu: {
            // The classic raised frame; item painters may draw over it.
            const QRect r = option->rect;
            painter->fillRect(r, ToQColor(clMenu));
            const struct {
                TColor TopLeft, BottomRight;
            } rings[] = {{cl3DLight, cl3DDkShadow}, {clBtnHighlight, clBtnShadow}};
            for (int i = 0; i < 2; ++i) {
                const QRect ring = r.adjusted(i, i, -i - 1, -i - 1);
                painter->setPen(ToQColor(rings[i].TopLeft));
                painter->drawLine(ring.topLeft(), ring.topRight());
                painter->drawLine(ring.topLeft(), ring.bottomLeft());
                painter->setPen(ToQColor(rings[i].BottomRight));
                painter->drawLine(ring.bottomLeft(), ring.bottomRight());
                painter->drawLine(ring.topRight(), ring.bottomRight());
            }
            return;
        }
        case PE_FrameMenu:
        case PE_PanelMenuBar: return;
        default: QProxyStyle::drawPrimitive(element, option, painter, widget);
        }
    }

private:
    static const IMenuWindow* WindowOf(const QWidget* widget) { return dynamic_cast<const IMenuWindow*>(widget); }

    // The width Qt adds for shortcut texts after measuring the items (as QMenu computes it).
    static int ShortcutColumn(const QWidget* widget)
    {
        int width = 0;
        const QFontMetrics metrics = widget->fontMetrics();
        for (const QAction* action : widget->actions()) {
            if (action->isSeparator() || !action->isVisible())
                continue;
            const QString text = action->text();
            const qsizetype tab = text.indexOf(QLatin1Char('\t'));
            if (tab >= 0)
                width = std::max(width, metrics.horizontalAdvance(text.mid(tab + 1)));
            else if (!action->shortcut().isEmpty())
                width = std::max(width, metrics.horizontalAdvance(action->shortcut().toString(QKeySequence::NativeText)));
        }
        return width;
    }

    static std::optional<QSize> Measure(const QWidget* widget, bool dropDown)
    {
        const IMenuWindow* window = WindowOf(widget);
        TMenu* menu = window ? window->OwnerMenu() : nullptr;
        const QAction* action = window ? window->StyledAction() : nullptr;
        TWinControlCore* target = menu ? menu->WindowControl() : nullptr;
        if (!action || !target)
            return std::nullopt;
        TMeasureItemStruct record;
        record.itemID = action->data().toUInt();
        if (target->Perform(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&record)) == 0)
            return std::nullopt;
        int width = static_cast<int>(record.itemWidth) + OwnerDrawItemPadding;
        if (dropDown)
            width -= ShortcutColumn(widget);
        return QSize(std::max(0, width), static_cast<int>(record.itemHeight));
    }

    static bool Draw(const QStyleOptionMenuItem* option, QPainter* painter, const QWidget* widget, bool dropDown)
    {
        const IMenuWindow* window = WindowOf(widget);
        TMenu* menu = window ? window->OwnerMenu() : nullptr;
        const QAction* action = window ? window->StyledAction() : nullptr;
        TWinControlCore* target = menu ? menu->WindowControl() : nullptr;
        if (!action || !target)
            return false;
        TDrawItemStruct record;
        record.itemID = action->data().toUInt();
        record.hwndItem = const_cast<QWidget*>(widget);
        const QStyle::State state = option->state;
        if (!(state & State_Enabled))
            record.itemState |= ODS_GRAYED | ODS_DISABLED;
        if (dropDown) {
            if (state & State_Selected)
                record.itemState |= ODS_SELECTED;
            if (option->checked)
                record.itemState |= ODS_CHECKED;
            if (option->menuItemType == QStyleOptionMenuItem::DefaultItem)
                record.itemState |= ODS_DEFAULT;
        } else if (state & State_Selected) {
            record.itemState |= (state & State_Sunken) ? ODS_SELECTED : ODS_HOTLIGHT;
        }
        const TPainterStateGuard guard(painter);
        TRect r = TRect::FromQt(option->rect);
        if (dropDown) {
            painter->translate(OwnerDrawMenuFrame, OwnerDrawMenuFrame);
            OffsetRect(r, -OwnerDrawMenuFrame, -OwnerDrawMenuFrame);
        }
        record.hDC = painter;
        record.rcItem = r;
        return target->Perform(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&record)) != 0;
    }
};

// ---- TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(NextCommand()), FAction(std::make_unique<QAction>())
{
    FAction->setData(FCommand);
    FAction->setShortcutVisibleInContextMenu(true);
    QObject::connect(FAction.get(), &QAction::triggered, FAction.get(), [this] {
        try {
            Click();
        } catch (...) {
            HandleCurrentException();
        }
    });
}

TMenuItem::~TMenuItem()
{
    Destroying();
    if (FParent)
        FParent->Remove(this);
    while (!FItems.empty()) {
        TMenuItem* child = FItems.back();
        Remove(child);
        delete child;
    }
    QObject::disconnect(FAction.get(), nullptr, nullptr, nullptr);
    FSubMenu.reset();
}

void TMenuItem::SetCaption(const std::string& caption)
{
    if (caption == FCaption)
        return;
    FCaption = caption;
    UpdateAction();
}

void TMenuItem::SetShortCut(TShortCut shortCut)
{
    if (shortCut == FShortCut)
        return;
    FShortCut = shortCut;
    UpdateAction();
}

void TMenuItem::SetChecked(bool checked)
{
    if (checked == FChecked)
        return;
    FChecked = checked;
    UpdateAction();
}

void TMenuItem::SetRadioItem(bool value)
{
    FRadioItem = value;
}

void TMenuItem::SetEnabled(bool enabled)
{
    if (enabled == FEnabled)
        return;
    FEnabled = enabled;
    UpdateAction();
}

void TMenuItem::SetVisible(bool visible)
{
    if (visible == FVisible)
        return;
    FVisible = visible;
    UpdateAction();
}

void TMenuItem::SetDefault(bool value)
{
    if (value == FDefault)
        return;
    FDefault = value;
    UpdateAction();
}

void TMenuItem::SetImageIndex(int index)
{
    if (index == FImageIndex)
        return;
    FImageIndex = index;
    UpdateIcon();
}

void TMenuItem::SetHint(const std::string& hint)
{
    FHint = hint;
    const size_t bar = hint.find('|');
    FAction->setStatusTip(QStr(bar == std::string::npos ? hint : hint.substr(bar + 1)));
}

void TMenuItem::SetBitmap(const QImage& bitmap)
{
    FBitmap = bitmap;
    UpdateIcon();
}

void TMenuItem::UpdateAction()
{
    FAction->setSeparator(IsLine());
    FAction->setText(QStr(FCaption));
    FAction->setShortcut(ShortCutToKeySequence(FShortCut));
    FAction->setCheckable(FChecked);
    FAction->setChecked(FChecked);
    FAction->setEnabled(FEnabled);
    FAction->setVisible(FVisible);
    auto* menu = FParent ? qobject_cast<QMenu*>(FParent->Container()) : nullptr;
    if (menu && FDefault)
        menu->setDefaultAction(FAction.get());
    else if (menu && menu->defaultAction() == FAction.get())
        menu->setDefaultAction(nullptr);
}

void TMenuItem::UpdateIcon()
{
    const TMenu* menu = GetParentMenu();
    const TCustomImageList* images = menu ? menu->Images() : nullptr;
    if (images && images->ValidIndex(FImageIndex))
        FAction->setIcon(QIcon(QPixmap::fromImage(images->Image(FImageIndex))));
    else if (!FBitmap.isNull())
        FAction->setIcon(QIcon(QPixmap::fromImage(FBitmap)));
    else
        FAction->setIcon(QIcon());
}

TMenuItem* TMenuItem::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError("Menu index out of range");
    return FItems[static_cast<size_t>(index)];
}

int TMenuItem::MenuIndex() const
{
    if (!FParent)
        return -1;
    const auto& siblings = FParent->FItems;
    return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

void TMenuItem::Add(TMenuItem* item)
{
    Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem* item)
{
    if (!item || item == this)
        return;
    if (item->FParent)
        item->FParent->Remove(item);
    index = std::clamp(index, 0, Count());
    FItems.insert(FItems.begin() + index, item);
    item->FParent = this;
    item->ShowIn(Container(), index);
    if (TMenu* menu = GetParentMenu())
        item->ForEach([menu](TMenuItem& i) {
            if (i.FSubMenu)
                menu->PrepareWindow(i.FSubMenu.get());
            i.UpdateIcon();
        });
}

void TMenuItem::ShowIn(QWidget* container, int index)
{
    UpdateAction();
    QAction* before = index + 1 < FParent->Count() ? FParent->Items(index + 1)->Action() : nullptr;
    container->insertAction(before, FAction.get());
}

void TMenuItem::Remove(TMenuItem* item)
{
    const auto it = std::find(FItems.begin(), FItems.end(), item);
    if (it == FItems.end())
        return;
    if (QWidget* container = FRootContainer ? FRootContainer : FSubMenu.get())
        container->removeAction(item->Action());
    FItems.erase(it);
    item->FParent = nullptr;
}

void TMenuItem::Clear()
{
    while (!FItems.empty())
        delete FItems.back(); // leaves the list through its destructor
}

QWidget* TMenuItem::Container()
{
    if (FRootContainer)
        return FRootContainer;
    if (!FSubMenu) {
        FSubMenu = std::make_unique<TMenuWindow>(this, nullptr);
        FAction->setMenu(FSubMenu.get());
        if (TMenu* menu = GetParentMenu())
            menu->PrepareWindow(FSubMenu.get());
    }
    return FSubMenu.get();
}

QWidget* TMenuItem::SubMenuWidget() const
{
    return FRootContainer ? FRootContainer : FSubMenu.get();
}

TMenuItem* TMenuItem::Find(UINT command)
{
    if (FCommand == command)
        return this;
    for (TMenuItem* child : FItems)
        if (TMenuItem* found = child->Find(command))
            return found;
    return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* item = this;
    while (item->FParent)
        item = item->FParent;
    return item->FRootOf;
}

void TMenuItem::Click()
{
    if (OnClick)
        OnClick(this);
}

void TMenuItem::ForEach(const std::function<void(TMenuItem&)>& f)
{
    f(*this);
    for (TMenuItem* child : FItems)
        child->ForEach(f);
}

// ---- TMenu

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr))
{
    FItems->FRootOf = this;
}

TMenu::~TMenu()
{
    Destroying();
    if (FImages)
        FImages->UnRegisterChanges(FImagesLink);
    FItems.reset();
}

void TMenu::InitRoot(QWidget* container)
{
    FItems->SetRootContainer(container);
}

void TMenu::DestroyItems()
{
    FItems->Clear();
}

TMenuItem* TMenu::FindItem(UINT command) const
{
    return FItems->FCommand == command ? nullptr : FItems->Find(command);
}

void TMenu::SetOwnerDraw(bool value)
{
    if (value == FOwnerDraw)
        return;
    FOwnerDraw = value;
    RefreshWindows();
}

void TMenu::SetImages(TCustomImageList* images)
{
    if (images == FImages)
        return;
    if (FImages) {
        FImages->UnRegisterChanges(FImagesLink);
        FImages->RemoveFreeNotification(this);
    }
    FImages = images;
    if (FImages) {
        FImagesLink = FImages->RegisterChanges([this](TObject*) { RefreshWindows(); });
        FImages->FreeNotification(this);
    }
    RefreshWindows();
}

TWinControlCore* TMenu::WindowControl() const
{
    return FWindowControl ? FWindowControl : dynamic_cast<TWinControlCore*>(Owner());
}

void TMenu::SetWindowControl(TWinControlCore* control)
{
    if (FWindowControl)
        FWindowControl->RemoveFreeNotification(this);
    FWindowControl = control;
    if (control)
        control->FreeNotification(this);
}

void TMenu::PrepareWindow(QWidget* window)
{
    if (!window)
        return;
    if (FOwnerDraw) {
        if (!FStyle)
            FStyle = std::make_unique<TOwnerDrawMenuStyle>();
        window->setStyle(FStyle.get());
    } else if (FStyle && window->style() == FStyle.get()) {
        window->setStyle(nullptr);
    }
    window->updateGeometry();
    window->update();
}

void TMenu::RefreshWindows()
{
    PrepareWindow(MenuWidget());
    FItems->ForEach([this](TMenuItem& item) {
        if (item.FSubMenu)
            PrepareWindow(item.FSubMenu.get());
        if (&item != FItems.get())
            item.UpdateIcon();
    });
}

void TMenu::ItemHovered(QWidget* window, QAction* action)
{
    TWinControlCore* target = WindowControl();
    if (!target || !action)
        return;
    UINT flags = 0;
    if (action->menu())
        flags |= MF_POPUP;
    if (window->underMouse())
        flags |= MF_MOUSESELECT;
    const WPARAM wParam = (action->data().toUInt() & 0xFFFF) | (static_cast<WPARAM>(flags) << 16);
    target->Perform(WM_MENUSELECT, wParam, reinterpret_cast<LPARAM>(window));
}

void TMenu::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove)
        return;
    if (component == FImages) {
        FImages = nullptr;
        RefreshWindows();
    }
    if (component == static_cast<TComponent*>(FWindowControl))
        FWindowControl = nullptr;
}

// ---- TMainMenu

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner), FBar(std::make_unique<TMenuBarWidget>(this))
{
    InitRoot(FBar.get());
}

TMainMenu::~TMainMenu()
{
    // invariant: the items leave the bar before it goes.
    DestroyItems();
}

QMenuBar* TMainMenu::MenuBar() const
{
    return FBar.get();
}

QWidget* TMainMenu::MenuWidget() const
{
    return FBar.get();
}

// ---- TPopupMenu

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner), FMenu(std::make_unique<TMenuWindow>(nullptr, this))
{
    InitRoot(FMenu.get());
}

TPopupMenu::~TPopupMenu()
{
    DestroyItems();
}

QMenu* TPopupMenu::Menu() const
{
    return FMenu.get();
}

QWidget* TPopupMenu::MenuWidget() const
{
    return FMenu.get();
}

void TPopupMenu::Popup(int x, int y, const TRect* noReplay)
{
    if (OnPopup)
        OnPopup(this);
    const int width = FMenu->sizeHint().width();
    switch (Alignment) {
    case TPopupAlignment::paRight: x -= width; break;
    case TPopupAlignment::paCenter: x -= width / 2; break;
    case TPopupAlignment::paLeft: break;
    }
    FPopupPoint = {x, y};
    FMenu->setAttribute(Qt::WA_NoMouseReplay, false);
    std::unique_ptr<TNoReplayFilter> filter;
    if (noReplay) {
        filter = std::make_unique<TNoReplayFilter>(*FMenu, *noReplay);
        FMenu->installEventFilter(filter.get());
    }
    FMenu->exec(QPoint(x, y));
    if (filter)
        FMenu->removeEventFilter(filter.get());
}
