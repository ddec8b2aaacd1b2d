#include "ExLib/run/panels/ExTabBar.h"

#include "ExLib/run/buttons/ExSpeedButton.h"

#include "Platform/controls/AlignLayout.h"

#include <QApplication>
#include <array>
#include <QPainter>
#include <QToolTip>

// ---- tabs

TExTabBarItem::~TExTabBarItem()
{
    SetPopupMenu(nullptr);
    SetVisible(false);
}

TExCustomTabBar* TExTabBarItem::TabBar() const
{
    auto* items = static_cast<TExTabBarItems*>(Collection());
    return items ? &items->Bar() : nullptr;
}

void TExTabBarItem::SetCaption(const std::string& value)
{
    ChangeField(FCaption, value);
}

bool TExTabBarItem::Selected() const
{
    TExCustomTabBar* bar = TabBar();
    return bar && bar->SelectedTab() == this;
}

void TExTabBarItem::SetSelected(bool value)
{
    if (TExCustomTabBar* bar = TabBar(); bar && value)
        bar->SelectTab(this);
}

bool TExTabBarItem::Enabled()
{
    bool enabled = FEnabled;
    if (OnGetEnabled)
        OnGetEnabled(this, enabled);
    return enabled;
}

void TExTabBarItem::SetEnabled(bool value)
{
    ChangeField(FEnabled, value);
}

bool TExTabBarItem::Modified()
{
    bool modified = FModified;
    if (OnGetModified)
        OnGetModified(this, modified);
    return modified;
}

void TExTabBarItem::SetModified(bool value)
{
    ChangeField(FModified, value);
}

void TExTabBarItem::SetImageIndex(int value)
{
    ChangeField(FImageIndex, value);
}

void TExTabBarItem::SetVisible(bool value)
{
    if (value == FVisible)
        return;
    FVisible = value;
    FTabLeft = -1;
    Changed(false);
}

void TExTabBarItem::SetPopupMenu(TPopupMenu* menu)
{
    if (menu == FPopupMenu)
        return;
    FPopupMenu = menu;
    if (menu)
        if (TExCustomTabBar* bar = TabBar())
            menu->FreeNotification(bar);
}

bool TExTabBarItem::Selectable()
{
    return FVisible && Enabled();
}

void TExTabBarItem::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TExTabBarItem*>(&source);
    if (!other) {
        TCollectionItem::Assign(source);
        return;
    }
    FCaption = other->FCaption;
    FHint = other->FHint;
    FShowHint = other->FShowHint;
    FImageIndex = other->FImageIndex;
    FEnabled = other->FEnabled;
    FVisible = other->FVisible;
    FModified = other->FModified;
    Tag = other->Tag;
    Changed(false);
}

TExTabBarItems::TExTabBarItems(TExCustomTabBar& bar)
    : TOwnedCollection(&bar, [] { return new TExTabBarItem; }), FBar(bar)
{
}

void TExTabBarItems::Notify(TCollectionItem* item, TCollectionNotification action)
{
    TOwnedCollection::Notify(item, action);
    FBar.DropTab(item);
    // why: a tab that goes is still in the list here; the change that follows its removal
    // brings the bar up to date.
    if (action == TCollectionNotification::cnAdded)
        FBar.TabsChanged();
}

void TExTabBarItems::Update(TCollectionItem* item)
{
    TOwnedCollection::Update(item);
    FBar.TabsChanged();
}

// ---- bar

TExCustomTabBar::TExCustomTabBar(TComponent* AOwner, QWidget* parent)
    : TCustomControl(AOwner, parent), FTabs(std::make_unique<TExTabBarItems>(*this))
{
    SetControlStyle(ControlStyle() - TControlStyle{csAcceptsControls});
    setMouseTracking(true);
    SetAlign(*this, TAlign::alTop);
    resize(width(), 23);
    FBarWidth = ClientWidth();
}

TExCustomTabBar::~TExCustomTabBar()
{
    FDestroying = true;
    OnTabClosing = nullptr;
    OnTabClosed = nullptr;
    OnTabSelecting = nullptr;
    OnTabSelected = nullptr;
    OnChange = nullptr;
    SetPainter(nullptr);
    SetImages(nullptr);
    FTabs.reset();
}

TExTabBarPainter& TExCustomTabBar::CurrentPainter()
{
    if (FPainter)
        return *FPainter;
    if (!FInternalPainter) {
        FInternalPainter = std::make_unique<TExModernTabBarPainter>(nullptr);
        FInternalPainter->OnChangeCallback = [this](TObject*) { ImagesNotify(); };
    }
    return *FInternalPainter;
}

void TExCustomTabBar::SetPainter(TExTabBarPainter* painter)
{
    if (FPainter) {
        FPainter->OnChangeCallback = nullptr;
        FPainter->RemoveFreeNotification(this);
    }
    if (painter) {
        FInternalPainter.reset();
        painter->FreeNotification(this);
        painter->OnChangeCallback = [this](TObject*) { ImagesNotify(); };
    }
    FPainter = painter;
    if (!FDestroying)
        Invalidate();
}

void TExCustomTabBar::SetImages(TCustomImageList* images)
{
    if (FImages.Set(images, [this](TObject*) { ImagesNotify(); }) && !FDestroying)
        Invalidate();
}

void TExCustomTabBar::SetPageList(TWinControlCore* control)
{
    if (!control) {
        if (FPageList)
            FPageList->RemoveFreeNotification(this);
        FPageList = nullptr;
        return;
    }
    auto* pages = dynamic_cast<ITabBarPageList*>(control);
    if (!pages)
        return;
    pages->ShowPage(FSelectedTab ? FSelectedTab->Index() : 0);
    if (FPageList)
        FPageList->RemoveFreeNotification(this);
    FPageList = control;
    control->FreeNotification(this);
}

void TExCustomTabBar::Notification(TComponent* component, TOperation operation)
{
    TCustomControl::Notification(component, operation);
    if (operation != TOperation::opRemove)
        return;
    if (component == FPainter) {
        FPainter = nullptr;
        Invalidate();
    }
    if (FImages.Forget(component))
        Invalidate();
    if (component == static_cast<TComponent*>(FPageList))
        FPageList = nullptr;
    if (component == PopupMenu)
        PopupMenu = nullptr;
    for (int i = 0; FTabs && i < FTabs->Count(); ++i)
        if (FTabs->Items(i)->FPopupMenu == component)
            FTabs->Items(i)->FPopupMenu = nullptr;
}

void TExCustomTabBar::SetOrientation(TExTabBarOrientation value)
{
    FOrientation = value;
    Invalidate();
}

void TExCustomTabBar::SetCloseButton(bool value)
{
    if (value == FCloseButton)
        return;
    FCloseButton = value;
    UpdateScrollButtons();
    Invalidate();
}

void TExCustomTabBar::SetHotTracking(bool value)
{
    FHotTracking = value;
    if (!value)
        FHotTab = nullptr;
    Invalidate();
}

void TExCustomTabBar::SetAllowUnselected(bool value)
{
    if (value == FAllowUnselected)
        return;
    FAllowUnselected = value;
    TabsChanged();
}

void TExCustomTabBar::SetMargin(int value)
{
    if (value == FMargin)
        return;
    FMargin = value;
    UpdateScrollButtons();
    Invalidate();
}

void TExCustomTabBar::SetBarHint(const std::string& hint)
{
    FBarHint = hint;
    SetHint(hint);
}

TCanvas& TExCustomTabBar::MeasureCanvas()
{
    return FMeasure;
}

// ---- geometry

void TExCustomTabBar::CalcTabsRects()
{
    TExTabBarPainter& painter = CurrentPainter();
    TCanvas& canvas = MeasureCanvas();
    int x = FMargin, offset = 0, shown = 0;
    for (int i = 0; i < FTabs->Count(); ++i) {
        TExTabBarItem& tab = *FTabs->Items(i);
        if (!tab.Visible()) {
            tab.FTabLeft = -1;
            continue;
        }
        tab.FTabLeft = x;
        x += painter.MeasureTab(canvas, tab).cx + painter.TabDividerWidth(canvas, tab);
        if (shown < FLeftIndex) {
            // Scrolled out: the first tab shown then starts at 0.
            offset += x;
            x = 0;
            tab.FTabLeft = -offset - 10;
        }
        ++shown;
    }
    FTotalWidth = offset + x;
    FRightEdge = x;
}

TRect TExCustomTabBar::TabRect(TExTabBarItem* tab)
{
    if (!tab || !tab->Visible())
        return {-1, -1, -1, -1};
    if (tab->FTabLeft == -1)
        CalcTabsRects();
    const TSize size = CurrentPainter().MeasureTab(MeasureCanvas(), *tab);
    if (FOrientation == TExTabBarOrientation::toBottom)
        return {tab->FTabLeft, 0, tab->FTabLeft + size.cx, size.cy};
    return {tab->FTabLeft, ClientHeight() - size.cy, tab->FTabLeft + size.cx, ClientHeight()};
}

TExTabBarItem* TExCustomTabBar::TabAtPos(TPoint point)
{
    CalcTabsRects();
    if (FScrollLeft && point.X >= FBarWidth)
        return nullptr;
    for (int i = 0; i < FTabs->Count(); ++i)
        if (TExTabBarItem* tab = FTabs->Items(i); tab->Visible() && TabRect(tab).Contains(point))
            return tab;
    return nullptr;
}

bool TExCustomTabBar::InCloseButton(TExTabBarItem* tab, TPoint point)
{
    return FCloseButton && tab &&
           CurrentPainter().CloseButtonBounds(MeasureCanvas(), *tab, TabRect(tab)).Contains(point);
}

// ---- scrolling

QImage TExCustomTabBar::ArrowPicture(bool left)
{
    QImage& picture = left ? FLeftArrow : FRightArrow;
    if (picture.isNull()) {
        picture = QImage(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        painter.setPen(Qt::black);
        painter.setBrush(Qt::black);
        const std::array<QPoint, 3> triangle = left ? std::array<QPoint, 3>{QPoint(4, 0), QPoint(4, 6), QPoint(1, 3)}
                                                    : std::array<QPoint, 3>{QPoint(2, 0), QPoint(2, 6), QPoint(5, 3)};
        painter.drawPolygon(triangle.data(), 3);
    }
    return picture;
}

void TExCustomTabBar::UpdateScrollButtons()
{
    if (FDestroying)
        return;
    CalcTabsRects();
    const int width = ClientWidth(), height = ClientHeight();
    if (FTotalWidth < width || (FLeftIndex == 0 && width >= FRightEdge)) {
        for (TExSpeedButton* button : {FScrollLeft, FScrollRight})
            if (button) {
                // why: a button may be the one whose click got us here.
                button->Hide();
                button->deleteLater();
            }
        FScrollLeft = FScrollRight = nullptr;
        FLeftIndex = 0;
        CalcTabsRects();
        FBarWidth = width;
        Invalidate();
        return;
    }
    if (!FScrollLeft) {
        for (bool left : {true, false}) {
            auto* button = new TExSpeedButton(this, this);
            button->SetFlat(FFlatScrollButtons);
            button->SetGlyph(ArrowPicture(left));
            button->OnClick = [this, button](TObject*) { ScrollButtonPressed(button); };
            button->Show();
            (left ? FScrollLeft : FScrollRight) = button;
        }
    }
    FScrollLeft->SetBounds(width - 26, height - 14, 12, 12);
    FScrollRight->SetBounds(width - 14, height - 14, 12, 12);
    FBarWidth = FScrollLeft->Left() - 2;
    FScrollLeft->SetEnabled(FLeftIndex > 0);
    FScrollRight->SetEnabled(width < FRightEdge);
}

void TExCustomTabBar::SetFlatScrollButtons(bool value)
{
    FFlatScrollButtons = value;
    for (TExSpeedButton* button : {FScrollLeft, FScrollRight})
        if (button) {
            button->Hide();
            button->deleteLater();
        }
    FScrollLeft = FScrollRight = nullptr;
    UpdateScrollButtons();
}

void TExCustomTabBar::ScrollButtonPressed(TExSpeedButton* button)
{
    SetLeftIndex(FLeftIndex + (button == FScrollLeft ? -1 : 1));
}

void TExCustomTabBar::SetLeftIndex(int value)
{
    value = std::max(0, value);
    if (value == FLeftIndex)
        return;
    FLeftIndex = value;
    UpdateScrollButtons();
    Invalidate();
}

void TExCustomTabBar::MakeVisible(TExTabBarItem* tab)
{
    if (!tab || !tab->Visible())
        return;
    const int before = FLeftIndex;
    if (FBarWidth <= 0) {
        FLeftIndex = 0;
    } else {
        CalcTabsRects();
        while (TabRect(tab).Right > FBarWidth && FLeftIndex + 1 < FTabs->Count()) {
            ++FLeftIndex;
            CalcTabsRects();
        }
        // why: a tab scrolled out to the left comes back into view whatever its distance.
        while (TabRect(tab).Left < 0 && FLeftIndex > 0) {
            --FLeftIndex;
            CalcTabsRects();
        }
    }
    if (FLeftIndex != before) {
        UpdateScrollButtons();
        Invalidate();
    }
}

void TExCustomTabBar::Resize()
{
    TCustomControl::Resize();
    UpdateScrollButtons();
}

// ---- selection

TExTabBarItem* TExCustomTabBar::ValidTab(TExTabBarItem* tab)
{
    if (tab && tab->Selectable())
        return tab;
    if (tab) {
        if (FAllowUnselected)
            return nullptr;
        for (int i = tab->Index() + 1; i < FTabs->Count(); ++i)
            if (FTabs->Items(i)->Selectable())
                return FTabs->Items(i);
        for (int i = tab->Index() - 1; i >= 0; --i)
            if (FTabs->Items(i)->Selectable())
                return FTabs->Items(i);
        return nullptr;
    }
    if (!FAllowUnselected)
        for (int i = 0; i < FTabs->Count(); ++i)
            if (FTabs->Items(i)->Selectable())
                return FTabs->Items(i);
    return nullptr;
}

bool TExCustomTabBar::QueryTabSelect(TExTabBarItem* tab)
{
    bool allow = true;
    if (OnTabSelecting)
        OnTabSelecting(this, tab, allow);
    return allow;
}

void TExCustomTabBar::AfterTabSelect(TExTabBarItem* tab)
{
    if (auto* pages = dynamic_cast<ITabBarPageList*>(FPageList); pages && tab)
        pages->ShowPage(tab->Index());
    if (OnTabSelected)
        OnTabSelected(this, tab);
}

void TExCustomTabBar::SelectTab(TExTabBarItem* tab)
{
    if (tab == FSelectedTab || (tab && !tab->Selectable()) || !QueryTabSelect(tab))
        return;
    FSelectedTab = tab;
    Invalidate();
    MakeVisible(tab);
    AfterTabSelect(tab);
}

void TExCustomTabBar::DropTab(const TCollectionItem* tab)
{
    // why: a tab on its way out is only compared, never used.
    for (TExTabBarItem** held : {&FSelectedTab, &FHotTab, &FClosingTab, &FCloseButtonDown, &FDropTarget})
        if (*held && static_cast<const TCollectionItem*>(*held) == tab)
            *held = nullptr;
}

void TExCustomTabBar::TabsChanged()
{
    if (FDestroying || !FTabs)
        return;
    SelectTab(ValidTab(FSelectedTab));
    Invalidate();
    if (OnChange)
        OnChange(this);
    UpdateScrollButtons();
}

void TExCustomTabBar::ImagesNotify()
{
    if (!FDestroying)
        Invalidate();
}

// ---- closing

bool TExCustomTabBar::QueryTabClose(TExTabBarItem* tab)
{
    bool allow = true;
    if (OnTabClosing)
        OnTabClosing(this, tab, allow);
    return allow;
}

void TExCustomTabBar::AfterTabClose(TExTabBarItem* tab)
{
    if (AutoFreeClosed)
        tab->SetVisible(false);
    try {
        if (OnTabClosed)
            OnTabClosed(this, tab);
    } catch (...) {
        if (AutoFreeClosed)
            delete tab;
        throw;
    }
    if (AutoFreeClosed)
        delete tab;
}

// ---- painting

void TExCustomTabBar::DrawOneTab(TCanvas& canvas, TExTabBarItem& tab)
{
    if (FDestroying || !tab.Visible())
        return;
    const TRect r = TabRect(&tab);
    if (r.Right < 0 || r.Left >= FBarWidth)
        return;
    TExTabBarPainter& painter = CurrentPainter();
    painter.PaintTabItem(canvas, tab, r);
    const int divider = painter.TabDividerWidth(canvas, tab);
    painter.PaintTabDivider(canvas, tab, {r.Right, r.Top, r.Right + divider - 1, r.Bottom});
}

void TExCustomTabBar::Paint()
{
    CalcTabsRects();
    const TRect client = ClientRect();
    QImage image(std::max(1, client.Width()), std::max(1, client.Height()), QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&image);
        TCanvas canvas(&painter);
        TExTabBarPainter& tabPainter = CurrentPainter();
        tabPainter.PaintBarBackground(canvas, *this, client);
        if (FBarWidth > 0) {
            if (FScrollLeft)
                canvas.IntersectClipRect({0, 0, FBarWidth, client.Bottom});
            for (int i = 0; i < FTabs->Count(); ++i)
                DrawOneTab(canvas, *FTabs->Items(i));
            if (FDragging && FDropTarget && FSelectedTab)
                tabPainter.PaintMoveMarker(canvas, *FDropTarget, FDropTarget->Index() < FSelectedTab->Index());
        }
        canvas.SetHandle(nullptr);
    }
    Canvas().Draw(0, 0, image);
}

void TExCustomTabBar::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_ERASEBKGND: message.Result = 1; return;
    case CM_MOUSELEAVE:
        if (FHotTab) {
            FHotTab = nullptr;
            Invalidate();
        }
        break;
    default: break;
    }
    TCustomControl::WndProc(message);
}

// ---- mouse

void TExCustomTabBar::UpdateHint(TExTabBarItem* tab)
{
    const std::string text = tab && tab->ShowHint() ? tab->Hint() : FBarHint;
    if (text == Hint())
        return;
    QToolTip::hideText();
    SetHint(text);
}

void TExCustomTabBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == TMouseButton::mbLeft) {
        FClosingTab = nullptr;
        FCloseButtonDown = nullptr;
        TExTabBarItem* previous = FSelectedTab;
        TExTabBarItem* tab = TabAtPos({x, y});
        if (tab)
            SelectTab(tab);
        if (tab && tab == FSelectedTab && FCloseButton && (!SelectBeforeClose || previous == tab) &&
            InCloseButton(tab, {x, y}) && QueryTabClose(tab)) {
            FClosingTab = FCloseButtonDown = tab;
            Invalidate();
        }
        const bool onlyLeft = shift.Contains(ssLeft) && !shift.Contains(ssRight) && !shift.Contains(ssMiddle);
        if (!FCloseButtonDown && AllowTabMoving && onlyLeft) {
            FPressed = true;
            FPressPoint = {x, y};
        }
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TExCustomTabBar::MouseMove(TShiftState shift, int x, int y)
{
    TExTabBarItem* tab = TabAtPos({x, y});
    const bool anyButton = shift.Contains(ssLeft) || shift.Contains(ssRight) || shift.Contains(ssMiddle);
    if (FHotTracking && !anyButton && tab != FHotTab) {
        FHotTab = tab;
        Invalidate();
    }
    if (FClosingTab && FCloseButton && shift.Contains(ssLeft)) {
        TExTabBarItem* down = InCloseButton(FClosingTab, {x, y}) ? FClosingTab : nullptr;
        if (down != FCloseButtonDown) {
            FCloseButtonDown = down;
            Invalidate();
        }
    }
    UpdateHint(tab);
    if (FPressed && !FDragging && shift.Contains(ssLeft) &&
        QPoint(x - FPressPoint.X, y - FPressPoint.Y).manhattanLength() >= QApplication::startDragDistance())
        FDragging = true;
    if (FDragging)
        DragOverAt({x, y});
    TCustomControl::MouseMove(shift, x, y);
}

void TExCustomTabBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == TMouseButton::mbRight && RightClickSelect && !PopupMenu) {
        TExTabBarItem* tab = TabAtPos({x, y});
        if (tab && tab->Selectable()) {
            SelectTab(tab);
            if (tab->PopupMenu() && tab == FSelectedTab) {
                const TPoint at = ClientToScreen({x, y});
                tab->PopupMenu()->Popup(at.X, at.Y);
            }
        }
    } else if (button == TMouseButton::mbLeft) {
        if (TExTabBarItem* tab = FCloseButtonDown; tab && FCloseButton) {
            CalcTabsRects();
            if (InCloseButton(tab, {x, y})) {
                FClosingTab = FCloseButtonDown = nullptr;
                AfterTabClose(tab);
            }
        }
        if (FDragging)
            DragDropAt({x, y});
        FPressed = false;
        FDragging = false;
    }
    if (FClosingTab || FCloseButtonDown) {
        FClosingTab = FCloseButtonDown = nullptr;
        Invalidate();
    }
    TCustomControl::MouseUp(button, shift, x, y);
}

// ---- moving tabs

bool TExCustomTabBar::DragOverAt(TPoint point)
{
    if (!AllowTabMoving)
        return false;
    TExTabBarItem* tab = TabAtPos(point);
    const bool accept = FSelectedTab && tab && tab != FSelectedTab;
    if (accept && tab != FDropTarget) {
        FDropTarget = tab;
        FDragging = true;
        Invalidate();
    } else if (!accept && FDropTarget) {
        FDropTarget = nullptr;
        Invalidate();
    }
    return accept;
}

void TExCustomTabBar::DragDropAt(TPoint point)
{
    if (AllowTabMoving && FSelectedTab) {
        if (TExTabBarItem* tab = TabAtPos(point))
            FSelectedTab->SetIndex(tab->Index());
    }
    FDropTarget = nullptr;
    FDragging = false;
    Invalidate();
}

void TExCustomTabBar::DragCanceled()
{
    FDropTarget = nullptr;
    FDragging = false;
    FPressed = false;
    Invalidate();
}
