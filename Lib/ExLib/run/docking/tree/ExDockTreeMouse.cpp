// The zone tree on its site's window procedure: mouse actions on grabbers and splitters, the
// split cursor, grabber hints, and the visibility notifications of docked controls.

#include "ExLib/run/docking/tree/ExDockTree.h"

#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/control/ExDockHostForms.h"
#include "ExLib/run/docking/support/ExDockStrings.h"

#include "Platform/core/Exceptions.h"

#include <QToolTip>

namespace {

TPoint PointOf(const TMessage& m)
{
    return {LowWordSigned(m.LParam), HighWordSigned(m.LParam)};
}

} // namespace

void TExDockTree::WindowProcHook(TMessage& m)
{
    TExDockZone* zone = nullptr;
    int code = 0;
    switch (m.Msg) {
    case WM_MOUSEMOVE: {
        MouseMoveHook(m, zone, code);
        bool handled = false;
        SetCursorHook(PointOf(m), handled);
        break;
    }
    case WM_LBUTTONDOWN:
        if (LButtonDownHook(m, zone, code))
            return;
        break;
    case WM_LBUTTONUP: LButtonUpHook(m, zone, code); break;
    case WM_LBUTTONDBLCLK: LButtonDblClkHook(m, zone, code); break;
    case WM_RBUTTONDOWN: RButtonDownHook(m, zone, code); break;
    case WM_RBUTTONUP: RButtonUpHook(m, zone, code); break;
    case WM_MBUTTONDOWN: MButtonDownHook(m, zone, code); break;
    case WM_MBUTTONUP: MButtonUpHook(m, zone, code); break;
    case CM_DOCKNOTIFICATION: {
        const auto* rec = reinterpret_cast<const TDockNotifyRec*>(m.LParam);
        if (rec && rec->ClientMsg == CM_VISIBLECHANGED)
            ControlVisibleChanged(reinterpret_cast<TWinControlCore*>(m.WParam), rec->WParam != 0);
        break;
    }
    default:
        break;
    }
    if (FSavedWindowProc)
        FSavedWindowProc(m);
    if (m.Msg == CM_HINTSHOW)
        HintShowHook(*reinterpret_cast<THintInfo*>(m.LParam), m.Result);
}

void TExDockTree::StartControlDrag(TWinControlCore* control, bool immediate, int threshold)
{
    if (FindDockClientOf(control))
        GlobalDockManager()->BeginControlDrag(control, immediate, threshold);
}

bool TExDockTree::MouseToNCMessage(TMessage& message, TExDockZone*& zone, TMessage& ncMessage, int& code)
{
    zone = InternalHitTest(PointOf(message), code);
    if (!zone || !zone->Control || code == HTSPLITTER)
        return false;
    MakeMouseMessageFor(message.Msg - 0x160, message.WParam, PointOf(message), code, ncMessage);
    return true;
}

void TExDockTree::MakeMouseMessageFor(UINT msg, WPARAM keys, TPoint clientPoint, int code, TMessage& out)
{
    const TPoint screen = SiteControl().ClientToScreen(clientPoint);
    out.Msg = msg;
    out.WParam = static_cast<WPARAM>(code);
    out.LParam = MakeLParam(screen.X, screen.Y);
    out.Result = 0;
    (void)keys;
}

void TExDockTree::MouseMoveHook(TMessage& message, TExDockZone*& zone, int& code)
{
    if (FDragZone) {
        DrawDragBar();
        FSplitterPos = PointOf(message);
        ClampSplitterPos();
        DrawDragBar();
    }
    zone = InternalHitTest(PointOf(message), code);
    if (!zone || !zone->Control)
        return;
    if (TExDockClient* client = FindDockClientOf(zone->Control)) {
        TMessage nc;
        MakeMouseMessageFor(WM_NCMOUSEMOVE, message.WParam, PointOf(message), code, nc);
        client->NCMouseMoveHook(nc, TExDockMouseStation::msConjoin);
    }
    if (code != FLastHintCode) {
        QToolTip::hideText();
        FLastHintCode = code;
    }
}

bool TExDockTree::LButtonDownHook(TMessage& message, TExDockZone*& zone, int& code)
{
    zone = InternalHitTest(PointOf(message), code);
    if (!zone)
        return false;
    if (code == HTSPLITTER) {
        BeginDragSplitter(zone, PointOf(message));
        return false;
    }
    if (code != HTCAPTION_ZONE && code != HTBORDER_ZONE)
        return false;
    TWinControlCore* control = zone->Control;
    TExDockClient* client = FindDockClientOf(control);
    SetCurrentDockClient(client);
    if (client) {
        TMessage nc;
        MakeMouseMessageFor(WM_NCLBUTTONDOWN, message.WParam, PointOf(message), code, nc);
        client->NCButtonDownHook(nc, TMouseButton::mbLeft, TExDockMouseStation::msConjoin);
    }
    if (control && control != FActiveControl && control->CanFocus())
        control->SetFocus();
    if (control && DragKind(*control) == TDragKind::dkDock && DragMode(*control) == TDragMode::dmAutomatic)
        StartControlDrag(control, true, -1);
    return true;
}

void TExDockTree::LButtonUpHook(TMessage& message, TExDockZone*& zone, int& code)
{
    if (FDragZone) {
        EndDragSplitter();
        return;
    }
    zone = InternalHitTest(PointOf(message), code);
    if (!zone || !zone->Control || code == HTSPLITTER)
        return;
    TExDockClient* client = FindDockClientOf(zone->Control);
    if (client) {
        TMessage nc;
        MakeMouseMessageFor(WM_NCLBUTTONUP, message.WParam, PointOf(message), code, nc);
        client->NCButtonUpHook(nc, TMouseButton::mbLeft, TExDockMouseStation::msConjoin);
    }
    if (code == HTCLOSE_ZONE && (!client || client->EnableCloseButton))
        CloseZoneControl(zone);
}

void TExDockTree::LButtonDblClkHook(TMessage& message, TExDockZone*& zone, int& code)
{
    zone = InternalHitTest(PointOf(message), code);
    if (!zone || !((code == HTCAPTION_ZONE && zone->Control) || code == HTBORDER_ZONE))
        return;
    TExDockClient* current = CurrentDockClient();
    if (!current)
        return;
    TMessage nc;
    MakeMouseMessageFor(WM_NCLBUTTONUP, message.WParam, PointOf(message), code, nc);
    current->NCButtonDblClkHook(nc, TMouseButton::mbLeft, TExDockMouseStation::msConjoin);
    if (current->CanFloat) {
        GlobalDockManager()->AbortDrag();
        zone->Undock();
    }
}

namespace {

void PassToClient(TExDockZone* zone, const TMessage& nc, TMouseButton button, bool down)
{
    TExDockClient* client = zone && zone->Control ? FindDockClientOf(zone->Control) : nullptr;
    if (!client)
        return;
    if (down)
        client->NCButtonDownHook(nc, button, TExDockMouseStation::msConjoin);
    else
        client->NCButtonUpHook(nc, button, TExDockMouseStation::msConjoin);
}

} // namespace

void TExDockTree::MButtonDownHook(TMessage& message, TExDockZone*& zone, int& code)
{
    TMessage nc;
    if (MouseToNCMessage(message, zone, nc, code))
        PassToClient(zone, nc, TMouseButton::mbMiddle, true);
}

void TExDockTree::MButtonUpHook(TMessage& message, TExDockZone*& zone, int& code)
{
    TMessage nc;
    if (MouseToNCMessage(message, zone, nc, code))
        PassToClient(zone, nc, TMouseButton::mbMiddle, false);
}

void TExDockTree::RButtonDownHook(TMessage& message, TExDockZone*& zone, int& code)
{
    TMessage nc;
    if (MouseToNCMessage(message, zone, nc, code))
        PassToClient(zone, nc, TMouseButton::mbRight, true);
}

void TExDockTree::RButtonUpHook(TMessage& message, TExDockZone*& zone, int& code)
{
    TMessage nc;
    if (MouseToNCMessage(message, zone, nc, code))
        PassToClient(zone, nc, TMouseButton::mbRight, false);
}

void TExDockTree::CloseZoneControl(TExDockZone* zone)
{
    if (!zone || !zone->Control)
        return;
    if (zone->Control->IsForm())
        zone->Control->Widget()->close();
    else
        zone->Control->SetVisible(false);
}

bool TExDockTree::CloseButtonShown(TWinControlCore* control)
{
    TExDockClient* client = FindDockClientOf(control);
    return !client || client->EnableCloseButton;
}

void TExDockTree::SetCursorHook(TPoint clientPoint, bool& handled)
{
    if (!SiteHasDockClients() || FDragZone)
        return;
    int code = 0;
    TExDockZone* zone = InternalHitTest(clientPoint, code);
    if (zone && code == HTSPLITTER) {
        SetSplitCursor(zone->ParentOrientation());
        handled = true;
    } else {
        SetSplitCursor(TDockOrientation::doNoOrient);
    }
}

void TExDockTree::HintShowHook(THintInfo& hintInfo, LRESULT& result)
{
    if (result != 0)
        return;
    int code = 0;
    TExDockZone* zone = InternalHitTest(hintInfo.CursorPos, code);
    if (!zone || code == HTSPLITTER || !zone->Control) {
        hintInfo.HintStr.clear();
        return;
    }
    TExDockClient* client = FindDockClientOf(zone->Control);
    if (client && !client->ShowHint) {
        hintInfo.HintStr.clear();
        return;
    }
    ControlZoneRect(zone->Control, hintInfo.CursorRect);
    std::string text;
    if (code == HTCAPTION_ZONE)
        text = zone->Control->Text();
    else if (code == HTCLOSE_ZONE)
        text = ExDockRes::Close;
    else
        CustomHintText(zone, code, text);
    bool canShow = true;
    if (client && client->OnFormShowHint)
        client->OnFormShowHint(code, text, canShow);
    hintInfo.HintStr = canShow ? text : std::string();
}

void TExDockTree::ListDockedForms(std::vector<TWinControlCore*>* list)
{
    if (!list)
        throw Exception(ExDockRes::AssertionFailure);
    list->clear();
    std::function<void(TWinControlCore*)> examine = [&](TWinControlCore* control) {
        auto* form = dynamic_cast<TCustomForm*>(control);
        if (!form)
            return;
        if (TExDockClient* client = FindDockClientOf(form); client && client->DockState() == 1)
            list->push_back(form);
        if (auto* host = dynamic_cast<TExDockTabHostForm*>(form))
            if (TExDockTabPageControl* pages = host->PageControl())
                for (int i = 0; i < pages->PageCount(); ++i)
                    for (QObject* child : pages->Pages(i)->Widget()->children())
                        examine(TWinControlCore::ControlOf(qobject_cast<QWidget*>(child)));
    };
    std::function<void(TExDockZone*)> walk = [&](TExDockZone* z) {
        for (; z; z = z->NextZone) {
            if (z->Control)
                examine(z->Control);
            walk(z->FirstChild);
        }
    };
    walk(FRootZone);
}
