#include "Platform/docking/DockCore.h"

#include "Platform/core/Application.h"
#include "Platform/core/ChildObjects.h"
#include "Platform/core/Exceptions.h"

#include <QEvent>
#include <algorithm>

// The docking properties of one control. It lives as a child object of the control's widget,
// and while the control is docked it watches the widget for the notifications its site hears.
class TControlDockState : public QObject {
public:
    explicit TControlDockState(TWinControlCore& control)
        : QObject(control.Widget()), Control(control), FWidget(control.Widget())
    {
        setObjectName(QStringLiteral("zentuDockState"));
    }

    static TControlDockState* Find(const TWinControlCore& control)
    {
        return FindChildObject<TControlDockState>(control.Widget());
    }
    static TControlDockState& Of(const TWinControlCore& control)
    {
        if (TControlDockState* state = Find(control))
            return *state;
        // owned by the widget as its child object
        return *new TControlDockState(const_cast<TWinControlCore&>(control));
    }

    void Watch(bool on)
    {
        Control.Widget()->removeEventFilter(this);
        if (on)
            Control.Widget()->installEventFilter(this);
    }

    TWinControlCore& Control;
    TDragKind DragKind = TDragKind::dkDrag;
    TDragMode DragMode = TDragMode::dmManual;
    TDockOrientation Orientation = TDockOrientation::doNoOrient;
    int UndockWidth = 0;
    int UndockHeight = 0;
    int LRDockWidth = 0;
    int TBDockHeight = 0;
    bool DockSite = false;
    TDockSite* Host = nullptr;
    // The widget the control was put into: the site itself or a part of it (a tab page).
    QWidget* HostParent = nullptr;

private:
    QWidget* FWidget;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // why: while the widget is destroyed it is no longer a control; nothing of it may be used.
        if (watched != FWidget || !Host || TWinControlCore::ControlOf(FWidget) != &Control)
            return false;
        try {
            switch (event->type()) {
            case QEvent::ShowToParent:
            case QEvent::HideToParent: {
                TDockNotifyRec rec{CM_VISIBLECHANGED, event->type() == QEvent::ShowToParent ? 1u : 0u, 0};
                Host->SiteControl().Perform(CM_DOCKNOTIFICATION, reinterpret_cast<WPARAM>(&Control),
                                            reinterpret_cast<LPARAM>(&rec));
                break;
            }
            case QEvent::WindowTitleChange: {
                const std::string text = Control.Text();
                TDockNotifyRec rec{WM_SETTEXT, 0, reinterpret_cast<LPARAM>(&text)};
                Host->SiteControl().Perform(CM_DOCKNOTIFICATION, reinterpret_cast<WPARAM>(&Control),
                                            reinterpret_cast<LPARAM>(&rec));
                break;
            }
            case QEvent::ParentChange:
                if (Control.Widget()->parentWidget() != HostParent)
                    Host->ClientLost(&Control);
                break;
            default:
                break;
            }
        } catch (...) {
            HandleCurrentException();
        }
        return false;
    }
};

namespace {

bool ExplicitlyHidden(const QWidget* w)
{
    return w->testAttribute(Qt::WA_WState_ExplicitShowHide) && w->testAttribute(Qt::WA_WState_Hidden);
}

} // namespace

bool ControlVisible(const TWinControlCore& control)
{
    const QWidget* w = control.Widget();
    return w->isWindow() ? !w->isHidden() : !ExplicitlyHidden(w);
}

TDragKind DragKind(const TWinControlCore& control) { return TControlDockState::Of(control).DragKind; }
void SetDragKind(TWinControlCore& control, TDragKind kind) { TControlDockState::Of(control).DragKind = kind; }
TDragMode DragMode(const TWinControlCore& control) { return TControlDockState::Of(control).DragMode; }
void SetDragMode(TWinControlCore& control, TDragMode mode) { TControlDockState::Of(control).DragMode = mode; }

TDockOrientation DockOrientation(const TWinControlCore& control)
{
    const TControlDockState* state = TControlDockState::Find(control);
    return state ? state->Orientation : TDockOrientation::doNoOrient;
}

void SetDockOrientation(TWinControlCore& control, TDockOrientation orientation)
{
    TControlDockState::Of(control).Orientation = orientation;
}

int UndockWidth(const TWinControlCore& control)
{
    const TControlDockState* state = TControlDockState::Find(control);
    return state && state->UndockWidth > 0 ? state->UndockWidth : control.Width();
}

int UndockHeight(const TWinControlCore& control)
{
    const TControlDockState* state = TControlDockState::Find(control);
    return state && state->UndockHeight > 0 ? state->UndockHeight : control.Height();
}

void SetUndockWidth(TWinControlCore& control, int value) { TControlDockState::Of(control).UndockWidth = value; }
void SetUndockHeight(TWinControlCore& control, int value) { TControlDockState::Of(control).UndockHeight = value; }

int LRDockWidth(const TWinControlCore& control)
{
    const TControlDockState* state = TControlDockState::Find(control);
    return state ? state->LRDockWidth : 0;
}

int TBDockHeight(const TWinControlCore& control)
{
    const TControlDockState* state = TControlDockState::Find(control);
    return state ? state->TBDockHeight : 0;
}

void SetLRDockWidth(TWinControlCore& control, int value) { TControlDockState::Of(control).LRDockWidth = value; }
void SetTBDockHeight(TWinControlCore& control, int value) { TControlDockState::Of(control).TBDockHeight = value; }

bool IsDockSite(const TWinControlCore& control)
{
    const TControlDockState* state = TControlDockState::Find(control);
    return state && state->DockSite;
}

void SetControlDockSite(TWinControlCore& control, bool value)
{
    TControlDockState::Of(control).DockSite = value;
    if (auto* site = dynamic_cast<TDockSite*>(&control))
        site->UpdateDockManager();
}

TDockSite* HostDockSite(const TWinControlCore& control)
{
    const TControlDockState* state = TControlDockState::Find(control);
    return state ? state->Host : nullptr;
}

bool Floating(const TWinControlCore& control)
{
    return !HostDockSite(control) && control.Widget()->isWindow();
}

TRect ScreenBounds(const TWinControlCore& control)
{
    const QWidget* w = control.Widget();
    if (w->isWindow())
        return TRect::FromQt(w->frameGeometry());
    const QPoint origin = w->parentWidget() ? w->parentWidget()->mapToGlobal(w->pos()) : w->pos();
    return Bounds(origin.x(), origin.y(), w->width(), w->height());
}

TAlign DockEdgeOf(const TWinControlCore& control, TPoint p)
{
    const int w = control.Width();
    const int h = control.Height();
    if (p.X <= 0)
        return TAlign::alLeft;
    if (p.X >= w)
        return TAlign::alRight;
    if (p.Y <= 0)
        return TAlign::alTop;
    if (p.Y >= h)
        return TAlign::alBottom;
    const int distances[] = {p.X, w - p.X, p.Y, h - p.Y};
    const TAlign sides[] = {TAlign::alLeft, TAlign::alRight, TAlign::alTop, TAlign::alBottom};
    int best = 0;
    for (int i = 1; i < 4; ++i)
        if (distances[i] < distances[best])
            best = i;
    return sides[best];
}

void CalcDockSizes(TWinControlCore& control)
{
    if (Floating(control)) {
        SetUndockHeight(control, control.Height());
        SetUndockWidth(control, control.Width());
        return;
    }
    TDockSite* host = HostDockSite(control);
    if (!host)
        return;
    const TAlign align = AlignOf(host->SiteControl());
    const TDockOrientation orientation = DockOrientation(control);
    if (orientation == TDockOrientation::doVertical || align == TAlign::alTop || align == TAlign::alBottom)
        SetTBDockHeight(control, control.Height());
    else if (orientation == TDockOrientation::doHorizontal || align == TAlign::alLeft || align == TAlign::alRight)
        SetLRDockWidth(control, control.Width());
}

bool ManualFloat(TWinControlCore& control, const TRect& screenRect)
{
    TDockSite* host = HostDockSite(control);
    if (host && !host->DoUnDock(nullptr, &control))
        return false;
    Dock(control, nullptr, screenRect);
    return true;
}

namespace {

// A control cannot go into itself or into a site that lies inside it.
bool SiteInsideControl(const TWinControlCore& control, const TDockSite* site)
{
    return site && (site->SiteWidget() == control.Widget() || control.Widget()->isAncestorOf(site->SiteWidget()));
}

} // namespace

bool ManualDock(TWinControlCore& control, TDockSite* site, TWinControlCore* dropControl, TAlign controlSide)
{
    if (SiteInsideControl(control, site))
        return false;
    TDockSite* host = HostDockSite(control);
    if (!site) {
        TRect r;
        if (host && host->UseDockManager() && host->DockManager()) {
            host->DockManager()->GetControlBounds(&control, r);
            const TPoint origin = host->SiteControl().ClientToScreen({0, 0});
            OffsetRect(r, origin.X, origin.Y);
        } else {
            r = ScreenBounds(control);
        }
        return ManualFloat(control, Bounds(r.Left, r.Top, UndockWidth(control), UndockHeight(control)));
    }
    CalcDockSizes(control);
    if (host && !host->DoUnDock(&site->SiteControl(), &control))
        return false;
    TDragDockObject source(&control);
    source.DockRect = ScreenBounds(control);
    source.DropAlign = controlSide;
    source.DropOnControl = dropControl;
    site->DockDrop(source, 0, 0);
    return true;
}

void Dock(TWinControlCore& control, TDockSite* site, const TRect& rect)
{
    if (SiteInsideControl(control, site))
        return;
    TDockSite* old = HostDockSite(control);
    // The site stops watching while the control moves, and forgets it once it has left.
    TControlDockState& state = TControlDockState::Of(control);
    state.Watch(false);
    QWidget* w = control.Widget();
    const bool visible = ControlVisible(control);
    if (!site) {
        if (!w->isWindow()) {
            control.SetParent(nullptr);
            w->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        }
        w->setGeometry(rect.Left, rect.Top, std::max(0, rect.Width()), std::max(0, rect.Height()));
        w->setVisible(visible);
    } else {
        site->DoAddDockClient(&control, rect);
        w->setVisible(visible);
    }
    if (old && old != site)
        old->RemoveClient(&control);
    if (site)
        site->AddClient(&control);
}

// ---- the site

TDockSite::TDockSite(TWinControlCore& control) : FControl(control) {}

TDockSite::~TDockSite()
{
    // invariant: the site's class released its manager and clients while it was whole.
    FDockManager.reset();
}

void TDockSite::SetUseDockManager(bool value)
{
    FUseDockManager = value;
    UpdateDockManager();
}

void TDockSite::UpdateDockManager()
{
    if (FUseDockManager && !FDockManager && IsDockSite(FControl))
        FDockManager = CreateDockManager();
}

void TDockSite::ReleaseDockManager()
{
    FDockManager.reset();
}

TWinControlCore* TDockSite::DockClients(int index) const
{
    if (index < 0 || index >= DockClientCount())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return FDockClients[static_cast<size_t>(index)];
}

int TDockSite::VisibleDockClientCount() const
{
    return static_cast<int>(
        std::count_if(FDockClients.begin(), FDockClients.end(), [](TWinControlCore* c) { return ControlVisible(*c); }));
}

bool TDockSite::HasDockClient(const TWinControlCore* control) const
{
    return std::find(FDockClients.begin(), FDockClients.end(), control) != FDockClients.end();
}

bool TDockSite::DoUnDock(TWinControlCore* newTarget, TWinControlCore* client)
{
    return FControl.Perform(CM_UNDOCKCLIENT, reinterpret_cast<WPARAM>(newTarget), reinterpret_cast<LPARAM>(client)) ==
           0;
}

void TDockSite::DockDrop(TDragDockObject& source, int x, int y)
{
    FControl.Perform(CM_DOCKCLIENT, reinterpret_cast<WPARAM>(&source), MakeLParam(x, y));
}

void TDockSite::DoAddDockClient(TWinControlCore* client, const TRect& rect)
{
    client->SetParent(SiteWidget());
    client->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
}

TWinControlCore* TDockSite::ReloadDockedControl(const std::string& name)
{
    TComponent* owner = FControl.Owner();
    return owner ? dynamic_cast<TWinControlCore*>(owner->FindComponent(name)) : nullptr;
}

bool TDockSite::DefaultDockHandler(TMessage& m)
{
    if (m.Msg == CM_DOCKCLIENT) {
        auto* source = reinterpret_cast<TDragDockObject*>(m.WParam);
        m.Result = 0;
        TRect r = source->DockRect;
        const TPoint origin = FControl.ClientToScreen({0, 0});
        OffsetRect(r, -origin.X, -origin.Y);
        const TAlignDisabler disabler(SiteWidget());
        Dock(*source->Control, this, r);
        if (FUseDockManager && FDockManager)
            FDockManager->InsertControl(source->Control, source->DropAlign, source->DropOnControl);
        return true;
    }
    if (m.Msg == CM_UNDOCKCLIENT) {
        m.Result = 0;
        if (FUseDockManager && FDockManager)
            FDockManager->RemoveControl(reinterpret_cast<TWinControlCore*>(m.LParam));
        return true;
    }
    return false;
}

void TDockSite::AddClient(TWinControlCore* client)
{
    if (!HasDockClient(client))
        FDockClients.push_back(client);
    TControlDockState& state = TControlDockState::Of(*client);
    state.Host = this;
    state.HostParent = client->Widget()->parentWidget();
    state.Watch(true);
}

void TDockSite::RemoveClient(TWinControlCore* client)
{
    TControlDockState& state = TControlDockState::Of(*client);
    state.Watch(false);
    state.Host = nullptr;
    state.HostParent = nullptr;
    FDockClients.erase(std::remove(FDockClients.begin(), FDockClients.end(), client), FDockClients.end());
    DoRemoveDockClient(client);
}

void TDockSite::ClientLost(TWinControlCore* client)
{
    // The site hears of the leaving as of any undock (csDestroying tells a destroyed client).
    TControlDockState::Of(*client).Watch(false);
    FControl.Perform(CM_UNDOCKCLIENT, 0, reinterpret_cast<LPARAM>(client));
    RemoveClient(client);
}

void TDockSite::ReleaseDockClients() noexcept
{
    while (!FDockClients.empty()) {
        TWinControlCore* client = FDockClients.back();
        try {
            RemoveClient(client);
            client->Widget()->hide();
            client->SetParent(nullptr);
            client->Widget()->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        } catch (...) {
            HandleCurrentException();
        }
    }
}
