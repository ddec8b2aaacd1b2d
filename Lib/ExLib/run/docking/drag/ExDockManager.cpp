#include "ExLib/run/docking/drag/ExDockManager.h"

#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/control/ExDockPanel.h"
#include "ExLib/run/docking/sites/ExDockCustomControl.h"

#include "Platform/core/Application.h"
#include "Platform/docking/WindowOrder.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>

namespace {

// The capture of one drag: the whole application's mouse and keys go to the manager.
class TDragCapture : public QObject {
public:
    explicit TDragCapture(TExDockManager& manager) : FManager(manager) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        (void)watched;
        try {
            switch (event->type()) {
            case QEvent::MouseMove: {
                auto* me = static_cast<QMouseEvent*>(event);
                FManager.DragMoveTo(TPoint::FromQt(me->globalPosition().toPoint()));
                return true;
            }
            case QEvent::MouseButtonRelease: {
                auto* me = static_cast<QMouseEvent*>(event);
                if (me->button() == Qt::LeftButton || me->button() == Qt::RightButton)
                    FManager.MouseReleased();
                return true;
            }
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                return true;
            case QEvent::KeyPress:
            case QEvent::KeyRelease: {
                auto* ke = static_cast<QKeyEvent*>(event);
                if (ke->isAutoRepeat())
                    return ke->key() == Qt::Key_Escape || ke->key() == Qt::Key_Control;
                if (ke->key() == Qt::Key_Escape || ke->key() == Qt::Key_Control) {
                    FManager.KeyChanged(ke->key(), event->type() == QEvent::KeyPress);
                    return true;
                }
                return false;
            }
            case QEvent::ApplicationStateChange:
                if (QGuiApplication::applicationState() != Qt::ApplicationActive)
                    FManager.FinishDrag(false);
                return false;
            default:
                return false;
            }
        } catch (...) {
            // invariant: a drag that fails ends without a drop.
            try {
                FManager.FinishDrag(false);
            } catch (...) {
            }
            HandleCurrentException();
            return true;
        }
    }

private:
    TExDockManager& FManager;
};

TExDockClient* FormClient(TWinControlCore* control)
{
    return control && control->IsForm() ? FindDockClientOf(control) : nullptr;
}

} // namespace

// ---- site list

void TSiteList::Add(TWinControlCore* site)
{
    QWidget* top = site->Widget()->window();
    for (size_t i = 0; i < FEntries.size(); ++i)
        if (FEntries[i].TopWindow == top) {
            FEntries.insert(FEntries.begin() + static_cast<std::ptrdiff_t>(i), Entry{site, top});
            return;
        }
    FEntries.push_back(Entry{site, top});
}

TWinControlCore* TSiteList::BestCandidate() const
{
    if (FEntries.empty())
        return nullptr;
    if (FEntries.size() == 1)
        return FEntries.front().Site;
    for (QWidget* window : WindowsInZOrder())
        for (const Entry& e : FEntries)
            if (e.TopWindow == window)
                return e.Site;
    return FEntries.front().Site;
}

// ---- manager

TExDockManager::TExDockManager() = default;

TExDockManager::~TExDockManager()
{
    if (qApp)
        EndCapture();
}

bool TExDockManager::IsRegisteredDockSite(const TWinControlCore* site) const
{
    return std::find(FDockSiteList.begin(), FDockSiteList.end(), site) != FDockSiteList.end();
}

void TExDockManager::RegisterDockSite(TWinControlCore* site, bool doRegister)
{
    const auto it = std::find(FDockSiteList.begin(), FDockSiteList.end(), site);
    if (doRegister && it == FDockSiteList.end())
        FDockSiteList.push_back(site);
    else if (!doRegister && it != FDockSiteList.end())
        FDockSiteList.erase(it);
}

void TExDockManager::BeginControlDrag(TWinControlCore* control, bool immediate, int threshold)
{
    if (!control || DragKind(*control) != TDragKind::dkDock)
        return;
    if (Floating(*control)) {
        SetUndockWidth(*control, control->Width());
        SetUndockHeight(*control, control->Height());
    } else if (auto* panel = dynamic_cast<TExDockCustomPanel*>(HostDockSite(*control))) {
        if (IExDockManager* manager = panel->ExDockManager()) {
            TRect r;
            manager->ControlZoneRect(control, r);
            const TAlign align = AlignOf(*panel);
            if (align == TAlign::alTop || align == TAlign::alBottom)
                SetTBDockHeight(*control, r.Height());
            else if (align == TAlign::alLeft || align == TAlign::alRight)
                SetLRDockWidth(*control, r.Width());
        }
    }
    if (FDragControl)
        return;
    if (threshold < 0)
        threshold = QApplication::startDragDistance();
    PrepareDrag(control, immediate, threshold);
}

void TExDockManager::PrepareDrag(TWinControlCore* control, bool immediate, int threshold)
{
    FDragControl = control;
    try {
        TExDockClient* client = CurrentDockClient();
        std::unique_ptr<TExDockDragDockObject> dragObject;
        if (client && client->DockStyle())
            dragObject = client->DockStyle()->CreateDragObject(client, control);
        if (!dragObject)
            dragObject = std::make_unique<TExDockDragDockObject>(control);
        if (client)
            client->BeginDragHook(*dragObject);
        auto* panel = dynamic_cast<TExDockCustomPanel*>(HostDockSite(*control));
        if (panel && panel->ExDockManager())
            panel->ExDockManager()->ControlZoneScreenRect(control, dragObject->DockRect);
        else
            dragObject->DockRect = ScreenBounds(*control);
        dragObject->ShownRect = dragObject->DockRect;
        StartDrag(std::move(dragObject), immediate, threshold);
    } catch (...) {
        FDragControl = nullptr;
        throw;
    }
}

void TExDockManager::StartDrag(std::unique_ptr<TExDockDragDockObject> dragObject, bool immediate, int threshold)
{
    FDragObject = std::move(dragObject);
    TExDockDragDockObject& obj = *FDragObject;
    obj.DropTarget = nullptr;
    FStartPos = TPoint::FromQt(QCursor::pos());
    obj.DragPos = FStartPos;
    FControlKeyDown = false;
    EndCapture();
    FCapture = new TDragCapture(*this); // owned by the manager until EndCapture
    FThreshold = threshold;
    const TRect& r = obj.DockRect;
    obj.MouseRatioX = r.Width() < 1 ? 0 : static_cast<double>(obj.DragPos.X - r.Left) / r.Width();
    obj.MouseRatioY = r.Height() < 1 ? 0 : static_cast<double>(obj.DragPos.Y - r.Top) / r.Height();
    FDragState = immediate ? 2 : 0;
    FMoved = false;
    if (immediate)
        obj.ShowFrame();
    FCandidateSites.Clear();
    if (FDragState == 2)
        DragMoveTo(FStartPos);
}

void TExDockManager::EndCapture()
{
    // why: the capture may be the very filter handling the event that ends the drag.
    if (FCapture) {
        qApp->removeEventFilter(FCapture);
        FCapture->deleteLater();
    }
    FCapture = nullptr;
    if (FCursorOverridden) {
        QApplication::restoreOverrideCursor();
        FCursorOverridden = false;
    }
}

void TExDockManager::DragMoveTo(TPoint p)
{
    if (!FDragObject)
        return;
    if (std::abs(p.X - FStartPos.X) < FThreshold && std::abs(p.Y - FStartPos.Y) < FThreshold)
        return;
    FMoved = true;
    TExDockDragDockObject& obj = *FDragObject;
    QWidget* window = nullptr;
    TWinControlCore* target = TargetAtPoint(p, window, obj.Control);
    const bool wasDragging = FDragState != 0;
    FDragState = 2;
    if (target != obj.DropTarget) {
        NotifyDragOver(TDragState::dsDragLeave);
        if (!FDragObject)
            return;
        obj.DropTarget = target;
        obj.TargetWindow = window;
        obj.DragPos = p;
        obj.TargetChanged(target);
        NotifyDragOver(TDragState::dsDragEnter);
        if (!FDragObject)
            return;
    }
    obj.DragPos = p;
    if (target)
        obj.TargetPos = target->ScreenToClient(p);
    const bool accept = NotifyDragOver(TDragState::dsDragMove);
    if (!FDragObject)
        return;
    const Qt::CursorShape shape = obj.DragCursorFor(accept, p.X, p.Y);
    if (FCursorOverridden)
        QApplication::changeOverrideCursor(QCursor(shape));
    else
        QApplication::setOverrideCursor(QCursor(shape));
    FCursorOverridden = true;
    UpdateDragCursor();
    if (target) {
        obj.DropControl = obj.FindDropControl();
        TAlign align = obj.DropAlign;
        if (obj.DropControl)
            AskDockEdge(obj.DropControl, obj.DropControl->ScreenToClient(p), align);
        else
            AskDockEdge(target, obj.TargetPos, align);
        obj.DropAlign = align;
    } else if (TExDockClient* client = CurrentDockClient()) {
        client->DockRectHook(obj);
    }
    obj.UpdateFrame(wasDragging);
}

void TExDockManager::UpdateDragCursor()
{
    TExDockClient* client = CurrentDockClient();
    if (client && client->DockStyle() && FDragObject)
        client->DockStyle()->SetDragCursor(*FDragObject);
}

TWinControlCore* TExDockManager::TargetAtPoint(TPoint p, QWidget*& window, TWinControlCore* control)
{
    TWinControlCore* target = FindDockTarget(p, control);
    window = target ? target->Widget()->window() : nullptr;
    return target;
}

TWinControlCore* TExDockManager::FindDockTarget(TPoint p, TWinControlCore* control)
{
    const bool ctrl = FControlKeyDown || (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier);
    if (ctrl || FDockSiteList.empty())
        return nullptr;
    FCandidateSites.Clear();
    for (TWinControlCore* site : FDockSiteList) {
        QWidget* w = site->Widget();
        if (site == control || !w->isVisible() || !w->isEnabled() || !w->window()->isVisible())
            continue;
        if (control && control->Widget()->isAncestorOf(w))
            continue;
        bool canDock = true;
        TRect influence = ScreenBounds(*site);
        AskSiteInfo(site, control, canDock, p, influence);
        if (canDock && influence.Contains(p))
            FCandidateSites.Add(site);
    }
    TWinControlCore* best = FCandidateSites.BestCandidate();
    return best && CoveringTestPasses(best, p, control) ? best : nullptr;
}

bool TExDockManager::CoveringTestPasses(TWinControlCore* site, TPoint p, TWinControlCore* control)
{
    QWidget* under = WindowAtPoint(p);
    if (!under)
        return true;
    QWidget* siteTop = site->Widget()->window();
    if (under == siteTop)
        return true;
    QWidget* dragTop = control ? control->Widget()->window() : nullptr;
    QWidget* target = under;
    bool covered = false;
    for (QWidget* w : WindowsInZOrder()) {
        if (w == siteTop)
            return true;
        if (w == dragTop && target == dragTop) {
            target = nullptr; // the dragged form lies under the mouse; look below it
            continue;
        }
        if (!target) {
            if (!w->frameGeometry().contains(p.ToQt()) || w->windowFlags().testFlag(Qt::WindowTransparentForInput))
                continue;
            target = w;
        }
        if (w == target) {
            covered = true;
            break;
        }
    }
    if (!covered)
        return true;
    bool canDock = true;
    TRect influence = ScreenBounds(*site);
    AskSiteInfo(site, control, canDock, p, influence);
    if (TWinControlCore* host = control ? HostSiteControl(control) : nullptr; host && host->Widget()->window() == target)
        return true;
    TRect covering = TRect::FromQt(target->frameGeometry());
    TRect common;
    return !IntersectRect(common, covering, influence);
}

QWidget* TExDockManager::WindowAtPoint(TPoint p)
{
    return ::WindowAtPoint(p);
}

void TExDockManager::AskSiteInfo(TWinControlCore* site, TWinControlCore* control, bool& canDock, TPoint p,
                                 TRect& influenceRect)
{
    if (!FDragObject) {
        canDock = false;
        return;
    }
    if (auto* custom = dynamic_cast<TExDockCustomControl*>(site))
        custom->QuerySiteInfo(*FDragObject, control, influenceRect, p, canDock);
    else if (TExDockClient* client = FormClient(site))
        client->SiteInfoHook(*FDragObject, control, influenceRect, p, canDock);
    else
        canDock = false;
}

bool TExDockManager::NotifyDragOver(TDragState state)
{
    if (!FDragObject)
        return true;
    TExDockDragDockObject& obj = *FDragObject;
    TWinControlCore* target = obj.DropTarget;
    if (!target)
        return true;
    bool accept = true;
    if (auto* custom = dynamic_cast<TExDockCustomControl*>(target))
        custom->DragOverSite(obj, obj.TargetPos.X, obj.TargetPos.Y, state, accept);
    else if (TExDockClient* client = FormClient(target))
        client->DockOverHook(obj, obj.TargetPos.X, obj.TargetPos.Y, state, accept);
    return accept;
}

void TExDockManager::NotifyDrop(TExDockDragDockObject& dragObject, TPoint p)
{
    TWinControlCore* target = dragObject.DropTarget;
    if (!target)
        return;
    const TPoint local = target->ScreenToClient(p);
    if (auto* custom = dynamic_cast<TExDockCustomControl*>(target))
        custom->DropOnSite(dragObject, local.X, local.Y);
    else if (TExDockClient* client = FormClient(target))
        client->DockDropHook(dragObject, local.X, local.Y);
}

bool TExDockManager::AskUndock(TExDockDragDockObject& dragObject, TWinControlCore* newTarget, TWinControlCore* control)
{
    (void)dragObject;
    auto* host = dynamic_cast<TExDockCustomControl*>(HostDockSite(*control));
    return host && host->UndockFromSite(newTarget, control);
}

void TExDockManager::NotifyDragEnd(TWinControlCore* target, int x, int y)
{
    TWinControlCore* dragged = FDragObject ? FDragObject->Control : nullptr;
    if (!dragged)
        return;
    if (auto* custom = dynamic_cast<TExDockCustomControl*>(dragged))
        custom->EndDockDrag(target, x, y);
    else if (TExDockClient* client = FormClient(dragged))
        client->UndockHook(target, x, y);
}

void TExDockManager::AskDockEdge(TWinControlCore* control, TPoint p, TAlign& align)
{
    if (!FDragObject)
        return;
    if (auto* custom = dynamic_cast<TExDockCustomControl*>(control))
        custom->QueryDockEdge(*FDragObject, p, align);
    else if (TExDockClient* client = FormClient(control))
        client->DockEdgeHook(*FDragObject, p, align);
}

void TExDockManager::MouseReleased()
{
    if (!FDragObject)
        return;
    TWinControlCore* target = FDragObject->DropTarget;
    TExDockClient* current = CurrentDockClient();
    bool drop;
    if (current && current->CanFloat)
        drop = true;
    else if (!target && current && !HostDockSite(*current->ParentForm()))
        drop = true;
    else
        drop = target != nullptr;
    if (drop && target && target->IsForm() && !dynamic_cast<TExDockPanel*>(target))
        if (TExDockClient* client = FindDockClientOf(target); client && client->OnCheckIsDockable)
            client->OnCheckIsDockable(client, dynamic_cast<TCustomForm*>(FDragObject->Control), nullptr, nullptr, drop);
    FinishDrag(drop);
}

void TExDockManager::KeyChanged(int qtKey, bool pressed)
{
    if (!FDragObject)
        return;
    if (qtKey == Qt::Key_Escape) {
        if (pressed)
            FinishDrag(false);
        return;
    }
    FControlKeyDown = pressed;
    const TPoint p = FDragObject->DragPos;
    DragMoveTo(p);
}

void TExDockManager::AbortDrag()
{
    if (FDragObject)
        FinishDrag(false);
    FDragControl = nullptr;
}

void TExDockManager::FinishDrag(bool drop)
{
    if (!FDragObject || FDragObject->Finishing)
        return;
    TExDockDragDockObject& obj = *FDragObject;
    obj.Finishing = true;
    TWinControlCore* control = obj.Control;
    TPoint dropPoint;
    bool accepted = false;
    auto complete = [&] {
        FCandidateSites.Clear();
        if (FDragObject) {
            FDragObject->Finishing = false;
            FDragObject->CompleteDrag(FDragObject->DropTarget, dropPoint.X, accepted, dropPoint.Y);
        }
        FDragObject.reset();
        FDragControl = nullptr;
    };
    try {
        EndCapture();
        const bool dragging = FDragState != 0;
        if (dragging) {
            obj.HideFrame();
            obj.Floating = !obj.DropTarget;
        }
        dropPoint = obj.DropTarget ? obj.TargetPos : obj.DragPos;
        bool possible;
        if (!drop || !dragging || !FMoved)
            possible = obj.DropTarget != nullptr;
        else if (Floating(*control) || !HostDockSite(*control))
            possible = true;
        else
            possible = AskUndock(obj, obj.DropTarget, control);
        accepted = drop && possible;
        if (dragging && accepted && obj.Floating) {
            if (TCustomForm* form = FormOf(control))
                if (form != control)
                    form->SetActiveControl(nullptr);
            const bool visible = ControlVisible(*control);
            Dock(*control, nullptr, obj.DockRect);
            if (control->Widget()->pos() != QPoint(obj.DockRect.Left, obj.DockRect.Top))
                control->Widget()->move(obj.DockRect.Left, obj.DockRect.Top);
            if (visible)
                BringWindowToTop(control->Widget());
        }
        FDragControl = nullptr;
        if (obj.DropTarget) {
            if (accepted) {
                NotifyDrop(obj, obj.DragPos);
            } else {
                obj.DragPos = {};
                dropPoint = {};
            }
        }
    } catch (...) {
        complete();
        throw;
    }
    complete();
}
