// The zone tree on its site's window procedure: mouse actions on grabbers and splitters, the
// splitter drag, the split cursor, grabber hints, and the visibility notifications of docked
// controls.

#include "ExLib/run/docking/tree/ExDockTree.h"

#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/control/ExDockHostForms.h"
#include "ExLib/run/docking/support/ExDockStrings.h"

#include "Platform/core/Exceptions.h"

#include <QToolTip>

namespace {

constexpr TDockOrientation H = TDockOrientation::doHorizontal;
constexpr TDockOrientation V = TDockOrientation::doVertical;

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

// ---- splitter drag

void TExDockTree::BeginDragSplitter(TExDockZone* zone, TPoint p)
{
    FDragZone = zone;
    FSplitterPos = p;
    if (!FDragBar)
        FDragBar = std::make_unique<TExDockOverlay>(SiteControl().Widget(), 0);
    DrawDragBar();
}

void TExDockTree::DrawDragBar()
{
    if (!FDragZone || !FDragBar)
        return;
    const TDockOrientation po = FDragZone->ParentOrientation();
    const int half = FSplitterWidth / 2;
    TRect r;
    if (po == H)
        r = Bounds(FDragZone->EdgeOf(V), FSplitterPos.Y - half, FDragZone->ExtentOf(V), FSplitterWidth);
    else
        r = Bounds(FSplitterPos.X - half, FDragZone->EdgeOf(H), FSplitterWidth, FDragZone->ExtentOf(H));
    FDragBar->Xor(r);
}

void TExDockTree::ClampSplitterPos()
{
    if (!FDragZone)
        return;
    const bool horizontal = FDragZone->ParentOrientation() == H;
    int c = horizontal ? FSplitterPos.Y : FSplitterPos.X;
    const int low = FMinZoneSize + DragLimit(FDragZone, true);
    if (c <= low)
        c = low;
    const int high = DragLimit(FDragZone, false) - FMinZoneSize - FSplitterWidth;
    if (c >= high)
        c = high;
    (horizontal ? FSplitterPos.Y : FSplitterPos.X) = c;
}

int TExDockTree::DragLimit(TExDockZone* zone, bool isBegin)
{
    if (isBegin)
        return zone->InnerBound(false);
    if (TExDockZone* next = zone->NextVisible())
        return next->InnerBound(true);
    return zone->LimitSize() + zone->Limit;
}

void TExDockTree::EndDragSplitter()
{
    TExDockZone* zone = FDragZone;
    if (!zone)
        return;
    if (FDragBar)
        FDragBar->Hide();
    const int p = zone->ParentOrientation() == H ? FSplitterPos.Y : FSplitterPos.X;
    zone->Limit = p + FSplitterWidth / 2;
    PushNeighbours(p);
    ExtendLastZones(zone->Parent);
    RefreshSubtree(zone->Parent);
    FDragZone = nullptr;
}

void TExDockTree::PushNeighbours(int p)
{
    TExDockZone* drag = FDragZone;
    if (!drag || !drag->Parent)
        return;
    const int h = FSplitterWidth / 2;
    const int m = FMinZoneSize;
    int n = 0;
    for (TExDockZone* z = drag->Parent->FirstChild; z && z != drag; z = z->NextZone)
        ++n;
    TExDockZone* z = drag->Parent->FirstChild;
    TExDockZone* stop = nullptr;
    for (; z && z != drag; z = z->NextZone) {
        const int threshold = p - n * m + (z->PrevZone ? 0 : h);
        --n;
        if (z->Limit >= threshold) {
            z->Limit = threshold;
            stop = z;
            break;
        }
    }
    if (stop)
        for (TExDockZone* next = stop->NextZone; next && next != drag && n > 0; next = next->NextZone, --n)
            next->Limit = next->LimitBegin() + m;
    int k = 1;
    for (TExDockZone* after = drag->NextZone; after; after = after->NextZone, ++k) {
        const int bound = p + k * m + (after->NextZone ? h : 0);
        if (after->Limit <= bound)
            after->Limit = bound;
    }
}

void TExDockTree::SetSplitCursor(TDockOrientation o)
{
    QWidget* w = SiteControl().Widget();
    switch (o) {
    case H: w->setCursor(Qt::SplitVCursor); break;
    case V: w->setCursor(Qt::SplitHCursor); break;
    default: w->unsetCursor(); break;
    }
}
