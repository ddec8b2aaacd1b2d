#include "ExLib/run/panels/ExPageControl.h"

#include "Platform/core/Application.h"
#include "Platform/core/QtBridge.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QTabBar>

// ---- painter

TExTabControlPainter::~TExTabControlPainter()
{
    Destroying();
    while (FClients && !FClients->empty())
        FClients->back()->SetTabPainter(nullptr);
}

void TExTabControlPainter::NotifyClients()
{
    if (FClients)
        for (TExPageControl* client : *FClients)
            client->tabBar()->update();
}

void TExTabControlPainter::RegisterClient(TExPageControl* control)
{
    if (!FClients)
        FClients = std::make_unique<std::vector<TExPageControl*>>();
    FClients->push_back(control);
    control->tabBar()->update();
}

void TExTabControlPainter::UnregisterClient(TExPageControl* control)
{
    if (!FClients)
        return;
    FClients->erase(std::remove(FClients->begin(), FClients->end(), control), FClients->end());
    if (!control->ComponentState().Contains(csDestroying))
        control->tabBar()->update();
}

// ---- the page control's own tab bar and style

class TExPageControl::TabBar : public QTabBar {
public:
    explicit TabBar(TExPageControl& owner) : QTabBar(&owner), FOwner(owner) {}

protected:
    void paintEvent(QPaintEvent* event) override
    {
        TExTabControlPainter* painter = FOwner.TabPainter();
        if (!painter) {
            QTabBar::paintEvent(event);
            return;
        }
        QPainter p(this);
        TCanvas canvas(&p);
        try {
            for (int i = 0; i < count(); ++i) {
                if (!isTabVisible(i))
                    continue;
                QWidget* page = FOwner.widget(i);
                painter->PaintTab(FOwner, canvas, nullptr, -1, StdStr(tabText(i)), TRect::FromQt(tabRect(i)),
                                  i == currentIndex(), page && page->isEnabled());
            }
        } catch (...) {
            HandleCurrentException();
        }
        canvas.SetHandle(nullptr);
    }

private:
    TExPageControl& FOwner;
};

class TExPageControl::Style : public QProxyStyle {
public:
    explicit Style(const TExPageControl& owner) : FOwner(owner) {}

    QRect subElementRect(SubElement element, const QStyleOption* option, const QWidget* widget) const override
    {
        QRect r = QProxyStyle::subElementRect(element, option, widget);
        if (element == SE_TabWidgetTabContents && widget == &FOwner) {
            const int grow = 4 - FOwner.ClientBorderWidth();
            r.adjust(-grow, -grow, grow, grow);
        }
        return r;
    }

private:
    const TExPageControl& FOwner;
};

// ---- TExPageControl

TExPageControl::TExPageControl(TComponent* AOwner, QWidget* parent)
    : TExExPageControl(AOwner, parent), FStyle(std::make_unique<Style>(*this))
{
    setTabBar(new TabBar(*this));
    setStyle(FStyle.get());
    tabBar()->installEventFilter(this);
    SetInitialColor(clWindow);
    FChanged = QObject::connect(this, &QTabWidget::currentChanged, this, [this] {
        // why: pages leaving while the form goes must not call the form's handlers.
        const bool going = ComponentState().Contains(csDestroying) ||
                           (Owner() && Owner()->ComponentState().Contains(csDestroying));
        try {
            if (OnChange && !going)
                OnChange(this);
        } catch (...) {
            HandleCurrentException();
        }
    });
}

TExPageControl::~TExPageControl()
{
    Destroying();
    QObject::disconnect(FChanged);
    if (FTabPainter)
        FTabPainter->UnregisterClient(this);
    tabBar()->removeEventFilter(this);
    setStyle(nullptr);
}

void TExPageControl::SetTabPainter(TExTabControlPainter* painter)
{
    if (painter == FTabPainter)
        return;
    if (FTabPainter) {
        FTabPainter->UnregisterClient(this);
        FTabPainter->RemoveFreeNotification(this);
    }
    FTabPainter = painter;
    if (painter) {
        painter->RegisterClient(this);
        painter->FreeNotification(this);
    }
    tabBar()->update();
}

void TExPageControl::Notification(TComponent* component, TOperation operation)
{
    TExExPageControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FTabPainter)
        FTabPainter = nullptr;
}

void TExPageControl::Relayout()
{
    // The tab widget lays its pages out again when its style changes.
    QEvent change(QEvent::StyleChange);
    QApplication::sendEvent(this, &change);
}

void TExPageControl::SetClientBorderWidth(int value)
{
    value = std::max(0, value);
    if (value == FClientBorderWidth)
        return;
    FClientBorderWidth = value;
    Relayout();
}

bool TExPageControl::TabVisible(TTabSheet* page) const
{
    const auto it = FTabVisible.find(page);
    return it == FTabVisible.end() || it->second;
}

void TExPageControl::SetTabVisible(TTabSheet* page, bool visible)
{
    FTabVisible[page] = visible;
    const int index = indexOf(page);
    if (index >= 0)
        setTabVisible(index, visible);
}

void TExPageControl::SetHideAllTabs(bool value)
{
    FHideAllTabs = value;
    if (ComponentState().Contains(csDesigning) || ComponentState().Contains(csLoading))
        return;
    ApplyHideAllTabs();
}

void TExPageControl::ApplyHideAllTabs()
{
    // why: hiding the strip leaves each page's own tab visibility alone, so the tabs come back as
    // they were when HideAllTabs is turned off again.
    TTabSheet* active = ActivePage();
    tabBar()->setVisible(!FHideAllTabs);
    for (int i = 0; i < count(); ++i)
        if (auto* page = dynamic_cast<TTabSheet*>(widget(i)))
            setTabVisible(i, TabVisible(page));
    if (active)
        SetActivePage(active);
    setFocusPolicy(FHideAllTabs ? Qt::NoFocus : Qt::TabFocus);
    Relayout();
}

void TExPageControl::Loaded()
{
    TExExPageControl::Loaded();
    ApplyHideAllTabs();
}

bool TExPageControl::CanChange()
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    return allow;
}

TTabSheet* TExPageControl::PageOfTab(int tabIndex) const
{
    int visible = -1;
    for (int i = 0; i < count(); ++i)
        if (isTabVisible(i) && ++visible == tabIndex)
            return dynamic_cast<TTabSheet*>(widget(i));
    return nullptr;
}

TRect TExPageControl::TabRect(int pageIndex) const
{
    const QRect r = tabBar()->tabRect(pageIndex);
    return TRect::FromQt(QRect(tabBar()->mapTo(this, r.topLeft()), r.size()));
}

TRect TExPageControl::PageArea() const
{
    QWidget* page = currentWidget();
    if (!page || !page->parentWidget())
        return {};
    const QRect r = page->parentWidget()->geometry();
    return TRect::FromQt(r);
}

bool TExPageControl::SelectPage(int index)
{
    if (index == currentIndex())
        return true;
    if (!CanChange())
        return false;
    setCurrentIndex(index);
    return true;
}

bool TExPageControl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != tabBar() || event->type() != QEvent::MouseButtonPress || ComponentState().Contains(csDesigning))
        return TExExPageControl::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const int index = tabBar()->tabAt(mouse->position().toPoint());
    if (index < 0)
        return false;
    try {
        if (mouse->button() == Qt::LeftButton) {
            QWidget* page = widget(index);
            // A click on the tab of a disabled page, or one the change handler refuses, goes nowhere.
            if ((page && !page->isEnabled()) || (index != currentIndex() && !CanChange()))
                return true;
        } else if (mouse->button() == Qt::RightButton && RightClickSelect) {
            SelectPage(index);
        }
    } catch (...) {
        HandleCurrentException();
        return true;
    }
    return false;
}

std::optional<bool> TExPageControl::SwitchPage(bool forward)
{
    const int start = currentIndex();
    const int n = count();
    if (n == 0 || start < 0)
        return std::nullopt;
    for (int step = 1; step < n; ++step) {
        const int i = ((start + (forward ? step : -step)) % n + n) % n;
        QWidget* page = widget(i);
        if (isTabVisible(i) && page && page->isEnabled())
            return SelectPage(i);
    }
    return std::nullopt;
}

bool TExPageControl::DialogChar(char32_t key, TShiftState shift, const std::u32string& keyText)
{
    if (HandleGlobalTab && key == 9 && shift.Contains(ssCtrl))
        if (const std::optional<bool> switched = SwitchPage(shift.Contains(ssShift)))
            return *switched;
    return TExExPageControl::DialogChar(key, shift, keyText);
}

void TExPageControl::WndProc(TMessage& message)
{
    if (message.Msg == CM_DIALOGKEY && message.WParam == VK_TAB && HandleGlobalTab) {
        const TShiftState shift = CurrentShiftState();
        if (shift.Contains(ssCtrl)) {
            message.Result = DialogChar(9, shift, U"\t") ? 1 : 0;
            return;
        }
    }
    TExExPageControl::WndProc(message);
}

bool TExPageControl::HintShow(THintInfo& hintInfo)
{
    if (TExExPageControl::HintShow(hintInfo))
        return true;
    if (HintSource == TExHintSource::hsDefault || hintInfo.HintControl != this)
        return false;
    const int index = tabBar()->tabAt(tabBar()->mapFrom(this, hintInfo.CursorPos.ToQt()));
    const auto* page = index >= 0 ? dynamic_cast<TTabSheet*>(widget(index)) : nullptr;
    const std::string mainHint = GetShortHint(Hint());
    const std::string pageHint = page ? GetShortHint(page->Hint()) : std::string();
    if (HintSource == TExHintSource::hsForceMain || (HintSource == TExHintSource::hsPreferMain && !mainHint.empty())) {
        hintInfo.HintStr = mainHint;
    } else if (page && (HintSource == TExHintSource::hsForceChildren ||
                        (HintSource == TExHintSource::hsPreferChildren && !pageHint.empty()) ||
                        (HintSource == TExHintSource::hsPreferMain && mainHint.empty()))) {
        hintInfo.HintStr = pageHint;
        hintInfo.CursorRect = TabRect(index);
    }
    return false;
}
