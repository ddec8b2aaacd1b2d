// The zone tree on its site's window procedure: mouse actions on grabbers and splitters, the
// split cursor, grabber hints, and the visibility notifications of docked controls.

#include "ExLib/run/docking/tree/ExDockTree.h"

#include "ExLib/run/docking/support/ExDockStrings.h"

#include "Platform/core/Exceptions.h"

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
    (void)control, (void)immediate, (void)threshold;
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
    if (zone && zone->Control && code != FLastHintCode)
        FLastHintCode = code;
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
    if (code == HTCAPTION_ZONE || code == HTBORDER_ZONE) {
        if (zone->Control && zone->Control != FActiveControl && zone->Control->CanFocus())
            zone->Control->SetFocus();
        if (zone->Control && DragKind(*zone->Control) == TDragKind::dkDock &&
            DragMode(*zone->Control) == TDragMode::dmAutomatic)
            StartControlDrag(zone->Control, true, -1);
        return true;
    }
    return false;
}

void TExDockTree::LButtonUpHook(TMessage& message, TExDockZone*& zone, int& code)
{
    if (FDragZone) {
        EndDragSplitter();
        return;
    }
    zone = InternalHitTest(PointOf(message), code);
    if (zone && zone->Control && code == HTCLOSE_ZONE)
        CloseZoneControl(zone);
}

void TExDockTree::LButtonDblClkHook(TMessage& message, TExDockZone*& zone, int& code)
{
    zone = InternalHitTest(PointOf(message), code);
}

void TExDockTree::MButtonDownHook(TMessage& message, TExDockZone*& zone, int& code)
{
    TMessage nc;
    MouseToNCMessage(message, zone, nc, code);
}

void TExDockTree::MButtonUpHook(TMessage& message, TExDockZone*& zone, int& code)
{
    TMessage nc;
    MouseToNCMessage(message, zone, nc, code);
}

void TExDockTree::RButtonDownHook(TMessage& message, TExDockZone*& zone, int& code)
{
    TMessage nc;
    MouseToNCMessage(message, zone, nc, code);
}

void TExDockTree::RButtonUpHook(TMessage& message, TExDockZone*& zone, int& code)
{
    TMessage nc;
    MouseToNCMessage(message, zone, nc, code);
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
    if (!zone) {
        hintInfo.HintStr.clear();
        return;
    }
    if (code == HTSPLITTER) {
        hintInfo.HintStr.clear();
        return;
    }
    if (!zone->Control)
        return;
    ControlZoneRect(zone->Control, hintInfo.CursorRect);
    std::string text;
    if (code == HTCAPTION_ZONE)
        text = zone->Control->Text();
    else if (code == HTCLOSE_ZONE)
        text = ExDockRes::Close;
    else
        CustomHintText(zone, code, text);
    hintInfo.HintStr = text;
}

void TExDockTree::ListDockedForms(std::vector<TWinControlCore*>* list)
{
    if (!list)
        throw Exception(ExDockRes::AssertionFailure);
    list->clear();
}
