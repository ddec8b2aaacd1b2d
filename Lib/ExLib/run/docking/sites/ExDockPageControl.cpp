#include "ExLib/run/docking/sites/ExDockPageControl.h"

#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/support/ExDockStrings.h"

#include "Platform/core/Application.h"
#include "Platform/core/Exceptions.h"
#include "Platform/core/QtBridge.h"
#include "Platform/text/Format.h"

#include <QMouseEvent>

// The platform's tab bar, telling its control of every mouse action after handling it.
class TExDockTabBar : public QTabBar {
public:
    TExDockTabBar(TExDockCustomTabControl& owner, QWidget* parent) : QTabBar(parent), FOwner(owner)
    {
        setDrawBase(false);
        setExpanding(false);
        setUsesScrollButtons(true);
    }

protected:
    void mousePressEvent(QMouseEvent* e) override
    {
        const int index = tabAt(e->position().toPoint());
        if (index >= 0 && index != currentIndex() && !FOwner.CanChange())
            return;
        if (e->button() == Qt::RightButton) {
            // A right click selects the tab as a left one would.
            if (index >= 0)
                setCurrentIndex(index);
        } else {
            QTabBar::mousePressEvent(e);
        }
        Notify(e->button() == Qt::RightButton ? WM_RBUTTONDOWN
               : e->button() == Qt::MiddleButton ? WM_MBUTTONDOWN
                                                 : WM_LBUTTONDOWN,
               e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        QTabBar::mouseReleaseEvent(e);
        Notify(e->button() == Qt::RightButton ? WM_RBUTTONUP
               : e->button() == Qt::MiddleButton ? WM_MBUTTONUP
                                                 : WM_LBUTTONUP,
               e);
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        QTabBar::mouseDoubleClickEvent(e);
        Notify(e->button() == Qt::RightButton ? WM_RBUTTONDBLCLK
               : e->button() == Qt::MiddleButton ? WM_MBUTTONDBLCLK
                                                 : WM_LBUTTONDBLCLK,
               e);
    }

private:
    void Notify(UINT msg, QMouseEvent* e)
    {
        try {
            FOwner.TabMouseMessage(msg, mapTo(FOwner.Widget(), e->position().toPoint()));
        } catch (...) {
            HandleCurrentException();
        }
    }
    TExDockCustomTabControl& FOwner;
};

// ---- tab strings

int TExDockTabStrings::Count() const
{
    return FControl.TabBar()->count();
}

std::string TExDockTabStrings::Get(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(Format("Failed to retrieve tab at index %d", {index}));
    return StdStr(FControl.TabBar()->tabText(index));
}

void TExDockTabStrings::Put(int index, const std::string& s)
{
    if (index < 0 || index >= Count())
        throw EListError(Format("Failed to set tab \"%s\" at index %d", {s, index}));
    FControl.TabBar()->setTabText(index, QStr(s));
}

TObject* TExDockTabStrings::GetObject(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(Format("Failed to get object at index %d", {index}));
    return reinterpret_cast<TObject*>(FControl.TabBar()->tabData(index).value<quintptr>());
}

void TExDockTabStrings::PutObject(int index, TObject* object)
{
    if (index < 0 || index >= Count())
        throw EListError(Format("Failed to set object at index %d", {index}));
    FControl.TabBar()->setTabData(index, QVariant::fromValue(reinterpret_cast<quintptr>(object)));
}

void TExDockTabStrings::Clear()
{
    const bool setting = FControl.FSettingIndex;
    FControl.FSettingIndex = true;
    while (FControl.TabBar()->count() > 0)
        FControl.TabBar()->removeTab(FControl.TabBar()->count() - 1);
    FControl.FSettingIndex = setting;
}

void TExDockTabStrings::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw EListError(Format("Failed to delete tab at index %d", {index}));
    const bool setting = FControl.FSettingIndex;
    FControl.FSettingIndex = true;
    FControl.TabBar()->removeTab(index);
    FControl.FSettingIndex = setting;
    FControl.LayoutTabBar();
}

void TExDockTabStrings::Insert(int index, const std::string& s)
{
    if (index < 0 || index > Count())
        throw EListError(Format("Failed to set tab \"%s\" at index %d", {s, index}));
    const bool setting = FControl.FSettingIndex;
    FControl.FSettingIndex = true;
    FControl.TabBar()->insertTab(index, QStr(s));
    FControl.FSettingIndex = setting;
    FControl.LayoutTabBar();
}

void TExDockTabStrings::SetUpdateState(bool updating)
{
    FControl.TabBar()->setUpdatesEnabled(!updating);
    if (!updating)
        FControl.LayoutTabBar();
}

// ---- tab control

TExDockCustomTabControl::TExDockCustomTabControl(TComponent* AOwner, QWidget* parent)
    : TExDockCustomControl(AOwner, parent), FTabBar(new TExDockTabBar(*this, this))
{
    SetControlStyle(TControlStyle{csAcceptsControls, csDoubleClicks});
    setAutoFillBackground(true);
    resize(289, 193);
    setFocusPolicy(Qt::TabFocus);
    QObject::connect(FTabBar, &QTabBar::currentChanged, FTabBar, [this](int) {
        if (FSettingIndex)
            return;
        try {
            Change();
        } catch (...) {
            HandleCurrentException();
        }
    });
    LayoutTabBar();
}

TExDockCustomTabControl::~TExDockCustomTabControl() = default;

void TExDockCustomTabControl::SetHotTrack(bool value)
{
    FHotTrack = value;
    FTabBar->setAttribute(Qt::WA_Hover, value);
}

void TExDockCustomTabControl::SetMultiLine(bool value)
{
    if (!value && (FTabPosition == TTabPosition::tpLeft || FTabPosition == TTabPosition::tpRight))
        throw EListError(ExDockRes::MultiLineNeeded);
    FMultiLine = value;
    if (!value)
        FScrollOpposite = false;
}

void TExDockCustomTabControl::SetScrollOpposite(bool value)
{
    FScrollOpposite = value;
    if (value)
        FMultiLine = true;
}

void TExDockCustomTabControl::SetStyle(TTabStyle value)
{
    if (value != TTabStyle::tsTabs && FTabPosition != TTabPosition::tpTop)
        throw EInvalidOperation(ExDockRes::TabStyleIncompatible);
    FStyle = value;
}

void TExDockCustomTabControl::SetTabHeight(int value)
{
    if (value < 0)
        throw EInvalidOperation(Format(ExDockRes::PropertyOutOfRange, {ClassName()}));
    FTabHeight = value;
    LayoutTabBar();
}

void TExDockCustomTabControl::SetTabWidth(int value)
{
    if (value < 0)
        throw EInvalidOperation(Format(ExDockRes::PropertyOutOfRange, {ClassName()}));
    FTabWidth = value;
    LayoutTabBar();
}

void TExDockCustomTabControl::SetTabPosition(TTabPosition value)
{
    if (value != TTabPosition::tpTop && FStyle != TTabStyle::tsTabs)
        throw EInvalidOperation(ExDockRes::TabPositionIncompatible);
    FTabPosition = value;
    if (value == TTabPosition::tpLeft || value == TTabPosition::tpRight)
        FMultiLine = true;
    switch (value) {
    case TTabPosition::tpBottom: FTabBar->setShape(QTabBar::RoundedSouth); break;
    case TTabPosition::tpLeft: FTabBar->setShape(QTabBar::RoundedWest); break;
    case TTabPosition::tpRight: FTabBar->setShape(QTabBar::RoundedEast); break;
    default: FTabBar->setShape(QTabBar::RoundedNorth); break;
    }
    LayoutTabBar();
}

int TExDockCustomTabControl::TabIndex() const
{
    return FTabBar->currentIndex();
}

void TExDockCustomTabControl::SetTabIndex(int index)
{
    const bool setting = FSettingIndex;
    FSettingIndex = true;
    FTabBar->setCurrentIndex(index);
    FSettingIndex = setting;
}

void TExDockCustomTabControl::Change()
{
    if (OnChange)
        OnChange(this);
}

bool TExDockCustomTabControl::CanChange()
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    return allow;
}

void TExDockCustomTabControl::LayoutTabBar()
{
    const QSize hint = FTabBar->sizeHint();
    const bool vertical = FTabPosition == TTabPosition::tpLeft || FTabPosition == TTabPosition::tpRight;
    const int thickness = FTabBar->count() == 0 ? 0 : (FTabHeight > 0 ? FTabHeight : (vertical ? hint.width() : hint.height()));
    switch (FTabPosition) {
    case TTabPosition::tpBottom: FTabBar->setGeometry(0, height() - thickness, width(), thickness); break;
    case TTabPosition::tpLeft: FTabBar->setGeometry(0, 0, thickness, height()); break;
    case TTabPosition::tpRight: FTabBar->setGeometry(width() - thickness, 0, thickness, height()); break;
    default: FTabBar->setGeometry(0, 0, width(), thickness); break;
    }
    FTabBar->setVisible(thickness > 0 && UsesNativeTabBar());
    FTabBar->raise();
    Realign(this);
}

void TExDockCustomTabControl::AdjustClientRect(TRect& rect) const
{
    if (!FTabBar->isVisibleTo(this))
        return;
    const QRect bar = FTabBar->geometry();
    switch (FTabPosition) {
    case TTabPosition::tpBottom: rect.Bottom = std::min(rect.Bottom, bar.top()); break;
    case TTabPosition::tpLeft: rect.Left = std::max(rect.Left, bar.left() + bar.width()); break;
    case TTabPosition::tpRight: rect.Right = std::min(rect.Right, bar.left()); break;
    default: rect.Top = std::max(rect.Top, bar.top() + bar.height()); break;
    }
}

void TExDockCustomTabControl::Resized()
{
    LayoutTabBar();
    TExDockCustomControl::Resized();
}

// ---- tab sheet

TExDockTabSheet::TExDockTabSheet(TComponent* AOwner) : TExWinControl(AOwner)
{
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls, csNoDesignVisible});
    setAutoFillBackground(true);
    SetAlign(*this, TAlign::alClient);
    hide();
}

TExDockTabSheet::~TExDockTabSheet()
{
    if (FPageControl && !FPageControl->ComponentState().Contains(csDestroying))
        FPageControl->RemovePage(this);
}

void TExDockTabSheet::SetPageControl(TExDockPageControl* pageControl)
{
    if (pageControl == FPageControl)
        return;
    if (FPageControl)
        FPageControl->RemovePage(this);
    SetParent(pageControl ? pageControl->Widget() : nullptr);
    if (pageControl)
        pageControl->InsertPage(this);
}

void TExDockTabSheet::SetCaption(const std::string& caption)
{
    SetText(caption);
    if (FTabShowing && FPageControl)
        FPageControl->Tabs().Put(TabIndex(), caption);
}

void TExDockTabSheet::SetTabVisible(bool value)
{
    if (value == FTabVisible)
        return;
    FTabVisible = value;
    UpdateTabShowing();
}

void TExDockTabSheet::UpdateTabShowing()
{
    const bool showing = FPageControl && FTabVisible;
    if (showing == FTabShowing)
        return;
    if (showing)
        FPageControl->ShowTab(this);
    else if (FPageControl)
        FPageControl->HideTab(this);
}

int TExDockTabSheet::PageIndex() const
{
    if (!FPageControl)
        return -1;
    for (int i = 0; i < FPageControl->PageCount(); ++i)
        if (FPageControl->Pages(i) == this)
            return i;
    return -1;
}

void TExDockTabSheet::SetPageIndex(int index)
{
    if (!FPageControl)
        return;
    const int last = FPageControl->PageCount() - 1;
    if (index < 0 || index > last)
        throw EListError(Format(ExDockRes::InvalidPageIndex, {index, last}));
    const bool showing = FTabShowing;
    if (showing)
        FPageControl->HideTab(this);
    auto& pages = FPageControl->FPages;
    pages.erase(std::find(pages.begin(), pages.end(), this));
    pages.insert(pages.begin() + index, this);
    if (showing)
        FPageControl->ShowTab(this);
    if (FPageControl->ActivePage() == this)
        FPageControl->SetTabIndex(TabIndex());
}

int TExDockTabSheet::TabIndex() const
{
    if (!FPageControl)
        return -1;
    int index = 0;
    for (int i = 0; i < FPageControl->PageCount(); ++i) {
        TExDockTabSheet* page = FPageControl->Pages(i);
        if (page == this)
            return index;
        if (page->FTabShowing)
            ++index;
    }
    return -1;
}

// ---- page control

TExDockPageControl::TExDockPageControl(TComponent* AOwner, QWidget* parent) : TExDockCustomTabControl(AOwner, parent)
{
    SetControlStyle(TControlStyle{csOpaque, csDoubleClicks, csAcceptsControls});
}

TExDockPageControl::~TExDockPageControl()
{
    // Pages go with the control; they need not leave it one by one.
    for (TExDockTabSheet* page : FPages)
        page->FPageControl = nullptr;
    FPages.clear();
}

TExDockTabSheet* TExDockPageControl::Pages(int index) const
{
    if (index < 0 || index >= PageCount())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return FPages[static_cast<size_t>(index)];
}

int TExDockPageControl::ActivePageIndex() const
{
    return FActivePage ? FActivePage->PageIndex() : -1;
}

void TExDockPageControl::SetActivePageIndex(int index)
{
    SetActivePage(index >= 0 && index < PageCount() ? Pages(index) : nullptr);
}

TExDockTabSheet* TExDockPageControl::PageOfControl(const TWinControlCore* control) const
{
    if (!control)
        return nullptr;
    for (TExDockTabSheet* page : FPages)
        if (control->Widget()->parentWidget() == page->Widget())
            return page;
    return nullptr;
}

void TExDockPageControl::InsertPage(TExDockTabSheet* page)
{
    FPages.push_back(page);
    page->FPageControl = this;
    page->UpdateTabShowing();
}

void TExDockPageControl::RemovePage(TExDockTabSheet* page)
{
    TExDockTabSheet* next = FindNextPage(page, true, true);
    if (next == page)
        next = nullptr;
    if (page->FTabShowing)
        HideTab(page);
    FPages.erase(std::remove(FPages.begin(), FPages.end(), page), FPages.end());
    page->FPageControl = nullptr;
    if (FActivePage == page) {
        FActivePage = nullptr;
        SetActivePage(next);
    }
}

void TExDockPageControl::ShowTab(TExDockTabSheet* page)
{
    page->FTabShowing = true;
    const int index = page->TabIndex();
    Tabs().Insert(index, page->Caption());
    Tabs().PutObject(index, page);
    if (FActivePage == page)
        SetTabIndex(index);
}

void TExDockPageControl::HideTab(TExDockTabSheet* page)
{
    const int index = page->TabIndex();
    const bool wasActiveTab = TabIndex() == index;
    Tabs().Delete(index);
    page->FTabShowing = false;
    if (wasActiveTab) {
        const int count = Tabs().Count();
        SetTabIndex(count == 0 ? -1 : std::min(index, count - 1));
        UpdateActivePage();
    }
}

void TExDockPageControl::SetActivePage(TExDockTabSheet* page)
{
    if (page && page->PageControl() != this)
        return;
    TExDockTabSheet* old = FActivePage;
    if (page != old) {
        if (page) {
            page->Widget()->raise();
            page->SetVisible(true);
            if (page->OnShow)
                page->OnShow(page);
        }
        if (old) {
            old->SetVisible(false);
            if (old->OnHide)
                old->OnHide(old);
        }
        FActivePage = page;
    }
    SetTabIndex(page && page->TabShowing() ? page->TabIndex() : -1);
}

void TExDockPageControl::UpdateActivePage()
{
    const int index = TabIndex();
    SetActivePage(index >= 0 ? dynamic_cast<TExDockTabSheet*>(Tabs().GetObject(index)) : nullptr);
}

void TExDockPageControl::Change()
{
    if (TabIndex() >= 0)
        UpdateActivePage();
    TExDockCustomTabControl::Change();
}

bool TExDockPageControl::CanShowTab(int tabIndex)
{
    if (tabIndex < 0 || tabIndex >= Tabs().Count())
        return false;
    auto* page = dynamic_cast<TExDockTabSheet*>(Tabs().GetObject(tabIndex));
    return page && page->Enabled();
}

TExDockTabSheet* TExDockPageControl::FindNextPage(TExDockTabSheet* page, bool forward, bool visibleOnly) const
{
    const int count = PageCount();
    if (count == 0)
        return nullptr;
    int start = -1;
    for (int i = 0; i < count; ++i)
        if (FPages[static_cast<size_t>(i)] == page)
            start = i;
    if (start < 0)
        start = forward ? count - 1 : 0;
    int i = start;
    do {
        i = forward ? (i + 1) % count : (i + count - 1) % count;
        TExDockTabSheet* candidate = FPages[static_cast<size_t>(i)];
        if (!visibleOnly || candidate->TabVisible())
            return candidate;
    } while (i != start);
    return nullptr;
}

void TExDockPageControl::SelectNextPage(bool forward, bool visibleOnly)
{
    TExDockTabSheet* next = FindNextPage(FActivePage, forward, visibleOnly);
    if (next && next != FActivePage && CanChange()) {
        SetActivePage(next);
        TExDockCustomTabControl::Change();
    }
}

void TExDockPageControl::KeyDown(WORD& key, TShiftState shift)
{
    if (key == VK_TAB && shift.Contains(ssCtrl)) {
        SelectNextPage(!shift.Contains(ssShift));
        key = 0;
        return;
    }
    TExDockCustomTabControl::KeyDown(key, shift);
}

TWinControlCore* TExDockPageControl::DockedControlAtTab(TPoint p)
{
    if (!IsDockSite(*this))
        return nullptr;
    const int tab = TabBar()->tabAt(TabBar()->mapFrom(Widget(), p.ToQt()));
    if (tab < 0)
        return nullptr;
    auto* page = dynamic_cast<TExDockTabSheet*>(Tabs().GetObject(tab));
    if (!page)
        return nullptr;
    for (QObject* child : page->Widget()->children())
        if (TWinControlCore* control = ControlOf(qobject_cast<QWidget*>(child)); control && HasDockClient(control))
            return control;
    return nullptr;
}

void TExDockPageControl::BuildTabMouseMessage(UINT msg, QPoint pos, TMessage& out) const
{
    const TPoint screen = ClientToScreen(TPoint::FromQt(pos));
    out.Msg = msg - 0x160;
    out.WParam = HTCAPTION;
    out.LParam = MakeLParam(screen.X, screen.Y);
    out.Result = 0;
}

void TExDockPageControl::TabMouseMessage(UINT msg, QPoint pos)
{
    if (!CurrentDockClient())
        return;
    TWinControlCore* control = DockedControlAtTab(TPoint::FromQt(pos));
    if (!control)
        return;
    TExDockClient* client = FindDockClientOf(control);
    SetCurrentDockClient(client);
    TMessage nc;
    const UINT asMessage = msg == WM_RBUTTONDOWN ? UINT(WM_LBUTTONDOWN) : msg;
    BuildTabMouseMessage(asMessage, pos, nc);
    const auto station = TExDockMouseStation::msTabPage;
    switch (msg) {
    case WM_LBUTTONDOWN:
        if (client)
            client->NCButtonDownHook(nc, TMouseButton::mbLeft, station);
        if (Style() == TTabStyle::tsTabs)
            GlobalDockManager()->BeginControlDrag(control, false, -1);
        break;
    case WM_LBUTTONUP:
        if (client)
            client->NCButtonUpHook(nc, TMouseButton::mbLeft, station);
        break;
    case WM_LBUTTONDBLCLK:
        if (client) {
            client->NCButtonDblClkHook(nc, TMouseButton::mbLeft, station);
            if (client->CanFloat)
                ManualDock(*control, nullptr);
        }
        break;
    case WM_MBUTTONDOWN:
        if (client)
            client->NCButtonDownHook(nc, TMouseButton::mbMiddle, station);
        break;
    case WM_MBUTTONUP:
        if (client)
            client->NCButtonUpHook(nc, TMouseButton::mbMiddle, station);
        break;
    case WM_MBUTTONDBLCLK:
        if (client)
            client->NCButtonDblClkHook(nc, TMouseButton::mbMiddle, station);
        break;
    case WM_RBUTTONDOWN:
        if (client)
            client->NCButtonDownHook(nc, TMouseButton::mbRight, station);
        break;
    case WM_RBUTTONUP:
        if (client)
            client->NCButtonUpHook(nc, TMouseButton::mbRight, station);
        break;
    case WM_RBUTTONDBLCLK:
        if (client)
            client->NCButtonDblClkHook(nc, TMouseButton::mbRight, station);
        break;
    default:
        break;
    }
}

void TExDockPageControl::DoAddDockClient(TWinControlCore* client, const TRect& rect)
{
    if (!FNewDockSheet) {
        TExDockCustomTabControl::DoAddDockClient(client, rect);
        return;
    }
    client->SetParent(FNewDockSheet->Widget());
    client->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
}

void TExDockPageControl::DockClientMessage(TMessage& m)
{
    auto* source = reinterpret_cast<TDragDockObject*>(m.WParam);
    TWinControlCore* control = source->Control;
    TExDockTabSheet* sheet = TabSheetClass ? TabSheetClass(this) : new TExDockTabSheet(this);
    FNewDockSheet = sheet;
    try {
        sheet->SetPageControl(this);
        if (control->IsForm())
            sheet->SetCaption(control->Text());
        DefaultDockHandler(m);
    } catch (...) {
        FNewDockSheet = nullptr;
        delete sheet;
        throw;
    }
    FNewDockSheet = nullptr;
    const bool visible = ControlVisible(*control);
    sheet->SetTabVisible(visible);
    if (visible)
        SetActivePage(sheet);
    SetAlign(*control, TAlign::alClient);
    m.Result = 0;
}

void TExDockPageControl::UndockClientMessage(TMessage& m)
{
    auto* control = reinterpret_cast<TWinControlCore*>(m.LParam);
    FUndockSheet = PageOfControl(control);
    if (control)
        SetAlign(*control, TAlign::alNone);
    if (VisibleDockClientCount() == 1 || DockClientCount() <= 2)
        if (TWinControlCore* parent = Parent())
            parent->PostMessage(WM_CLOSE);
    TExDockCustomTabControl::UndockClientMessage(m);
}

void TExDockPageControl::DoRemoveDockClient(TWinControlCore* client)
{
    if (ComponentState().Contains(csDestroying))
        return;
    TExDockTabSheet* sheet = FUndockSheet;
    if (!sheet)
        for (TExDockTabSheet* page : FPages)
            if (page->Widget()->children().isEmpty() ||
                std::none_of(page->Widget()->children().begin(), page->Widget()->children().end(),
                             [this](QObject* o) {
                                 TWinControlCore* c = ControlOf(qobject_cast<QWidget*>(o));
                                 return c && HasDockClient(c);
                             })) {
                sheet = page;
                break;
            }
    (void)client;
    FUndockSheet = nullptr;
    if (!sheet)
        return;
    if (FActivePage == sheet) {
        TExDockTabSheet* next = FindNextPage(sheet, true, true);
        SetActivePage(next == sheet ? nullptr : next);
    }
    sheet->SetPageControl(nullptr);
    sheet->deleteLater();
}

void TExDockPageControl::DockNotification(TMessage& m)
{
    auto* control = reinterpret_cast<TWinControlCore*>(m.WParam);
    const auto* rec = reinterpret_cast<const TDockNotifyRec*>(m.LParam);
    TExDockTabSheet* page = PageOfControl(control);
    if (!page || !rec)
        return;
    if (rec->ClientMsg == WM_SETTEXT) {
        const std::string& text = *reinterpret_cast<const std::string*>(rec->LParam);
        page->SetCaption(text.substr(0, text.find_first_of("\r\n")));
    } else if (rec->ClientMsg == CM_VISIBLECHANGED) {
        page->SetTabVisible(rec->WParam != 0);
    }
}
