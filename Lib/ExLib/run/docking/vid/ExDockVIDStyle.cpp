#include "ExLib/run/docking/vid/ExDockVIDStyle.h"

#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/control/ExDockHostForms.h"
#include "ExLib/run/docking/control/ExDockServer.h"
#include "ExLib/run/docking/support/ExDockSupportProc.h"
#include "ExLib/run/docking/vid/ExDockVIDTabs.h"
#include "ExLib/run/docking/vid/ExDockVIDTree.h"

#include "Platform/docking/WindowOrder.h"

#include <cmath>

namespace {

int Nearest(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

} // namespace

TRect& VIDLastDropRect()
{
    static TRect rect;
    return rect;
}

// ---- the style

TExDockVIDStyle::TExDockVIDStyle(TComponent* AOwner) : TExDockAdvStyle(AOwner)
{
    UseVIDClasses();
}

void TExDockVIDStyle::UseVIDClasses()
{
    DockPanelClass = [](TExDockServer* server) { return new TExDockVIDPanel(server); };
    DockSplitterClass = [](TExDockServer* server) { return new TExDockVIDSplitter(server); };
    ConjoinPanelClass = [](TExDockConjoinHostForm* host) { return new TExDockVIDConjoinPanel(host); };
    TabDockClass = [](TExDockTabHostForm* host) { return new TExDockVIDTabPageControl(host); };
    DockPanelTreeClass = [](TDockSite& site, TExDockZoneFactory zones) {
        return std::make_unique<TExDockVIDTree>(site, std::move(zones));
    };
    ConjoinPanelTreeClass = DockPanelTreeClass;
    DockPanelZoneClass = VIDZoneClass();
    ConjoinPanelZoneClass = VIDZoneClass();
    ConjoinServerOptionClass = [](TExDockBasicStyle* style) {
        return std::make_unique<TExDockVIDConjoinServerOption>(style);
    };
    TabServerOptionClass = [](TExDockBasicStyle* style) { return std::make_unique<TExDockVIDTabServerOption>(style); };
    FreeServerOptions();
    CreateServerOptions();
}

TExDockVIDConjoinServerOption* TExDockVIDStyle::VIDConjoinOption() const
{
    return dynamic_cast<TExDockVIDConjoinServerOption*>(ConjoinServerOption());
}

TExDockVIDTabServerOption* TExDockVIDStyle::VIDTabOption() const
{
    return dynamic_cast<TExDockVIDTabServerOption*>(TabServerOption());
}

void TExDockVIDStyle::SetAlwaysShowGrabber(bool value)
{
    if (value == FAlwaysShowGrabber)
        return;
    FAlwaysShowGrabber = value;
    // A lone form that fills its site gains or loses its caption bar.
    for (TExDockBaseControl* control : DockBaseControlList())
        if (auto* server = dynamic_cast<TExDockServer*>(control))
            for (int i = 0; i < 5; ++i)
                if (TExDockPanel* panel = server->DockPanelAt(i); panel && panel->DockManager()) {
                    panel->DockManager()->ResetBounds(true);
                    panel->Invalidate();
                }
}

std::unique_ptr<TExDockDragDockObject> TExDockVIDStyle::CreateDragObject(TExDockClient* client,
                                                                         TWinControlCore* control)
{
    (void)client;
    return std::make_unique<TExDockVIDDragDockObject>(control);
}

void TExDockVIDStyle::ClientSiteInfo(TExDockDragDockObject& source, TExDockClient* client, TWinControlCore* dragged,
                                     TRect& influenceRect, TPoint mousePos, bool& canDock)
{
    TCustomForm* form = client->ParentForm();
    canDock = CanDockOnto(form, dragged, source.DropControl, source.DropAlign);
    if (!canDock)
        return;
    influenceRect = ScreenBounds(*form);
    if (auto* panel = dynamic_cast<TExDockCustomPanel*>(HostDockSite(*form)))
        if (IExDockManager* manager = panel->ExDockManager())
            influenceRect.Top -= manager->GetGrabbersSize();
    // Only a band along the edges and the caption take a drop.
    TRect inner = influenceRect;
    InflateRect(inner, -20, -20);
    inner.Top += SystemBorderWidth() + SystemCaptionHeight() + 1;
    if (influenceRect.Contains(mousePos) && inner.Contains(mousePos)) {
        influenceRect = TRect{};
        canDock = false;
    }
}

void TExDockVIDStyle::ClientDockOver(TExDockClient* client, TExDockDragDockObject& source, int x, int y,
                                     TDragState state, bool& accept)
{
    TCustomForm* form = client->ParentForm();
    accept = client->EnableDock() && client->EachOtherDock() &&
             CanDockOnto(form, source.Control, source.DropControl, source.DropAlign);
    if (state == TDragState::dsDragLeave) {
        source.DropAlign = TAlign::alNone;
        return;
    }
    if (state != TDragState::dsDragMove)
        return;
    TRect r;
    source.DropAlign = VIDDockSide(form, source.Control, r, {x, y});
    if (accept && source.DropAlign != TAlign::alNone) {
        TRect preview = r;
        if (source.DropAlign == TAlign::alClient)
            OffsetRect(preview, 0, SystemBorderWidth() + SystemCaptionHeight() + 1);
        source.DockRect = preview;
    }
    VIDLastDropRect() = source.DropAlign != TAlign::alNone ? r : TRect{};
}

void TExDockVIDStyle::ClientDockEdge(TExDockClient* client, TExDockDragDockObject& source, TPoint mousePos,
                                     TAlign& align)
{
    TRect r;
    align = VIDDockSide(client->ParentForm(), source.Control, r, mousePos);
}

namespace {

// Puts `form` as the first page of `tabHost`, which takes the form's bounds.
void TakeIntoTabHost(TCustomForm* form, TExDockTabHostForm* tabHost)
{
    const TRect bounds = ScreenBounds(*form);
    if (TExDockTabPageControl* pages = tabHost->PageControl()) {
        ManualDock(*form, pages, nullptr, TAlign::alClient);
        if (TExDockTabSheet* page = pages->PageOfControl(form))
            page->SetPageIndex(0);
    }
    tabHost->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    if (form->FormStyle() == TFormStyle::fsStayOnTop)
        tabHost->SetFormStyle(TFormStyle::fsStayOnTop);
}

} // namespace

void TExDockVIDStyle::ClientDockDrop(TExDockClient* client, TExDockDragDockObject& source, int x, int y)
{
    TCustomForm* form = client->ParentForm();
    TWinControlCore* dragged = source.Control;
    if (!CanDockOnto(form, dragged, source.DropControl, source.DropAlign))
        return;
    const TDesktopUpdateLock lock(!LayoutLoading());
    TRect preview;
    const TAlign side = VIDDockSide(form, dragged, preview, {x, y});
    if (side == TAlign::alNone)
        return;
    auto* tabHost = dynamic_cast<TExDockTabHostForm*>(dragged);
    TDockSite* formerSite = HostDockSite(*form);
    if (auto* panel = dynamic_cast<TExDockPanel*>(formerSite)) {
        if (side != TAlign::alClient) {
            const TRect bounds = panel->BoundsRect();
            ManualDock(*dragged, panel, form, side);
            panel->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
            SetDockSite(dragged, false);
        } else if (tabHost) {
            SetLRDockWidth(*tabHost, ::LRDockWidth(*form));
            SetTBDockHeight(*tabHost, ::TBDockHeight(*form));
            if (IExDockManager* manager = panel->ExDockManager())
                manager->ReplaceZoneControl(form, tabHost);
            TakeIntoTabHost(form, tabHost);
            if (IExDockManager* manager = panel->ExDockManager())
                manager->SetReplacingControl(tabHost);
            ManualDock(*tabHost, panel, nullptr, TAlign::alClient);
            if (IExDockManager* manager = panel->ExDockManager())
                manager->SetReplacingControl(nullptr);
        } else {
            const TPoint origin = panel->ClientToScreen({0, 0});
            TExDockTabHostForm* host = client->CreateTabHost(form, dragged);
            SetDockSite(form, false);
            SetDockSite(dragged, false);
            host->move(origin.X, origin.Y);
            host->Show();
            ManualDock(*host, panel, nullptr, TAlign::alClient);
        }
        return;
    }
    TExDockableForm* host = nullptr;
    if (side == TAlign::alClient && tabHost) {
        TakeIntoTabHost(form, tabHost);
        if (formerSite)
            ManualDock(*tabHost, formerSite, nullptr, TAlign::alClient);
        tabHost->Show();
        host = tabHost;
    } else if (side == TAlign::alClient) {
        auto* vid = dynamic_cast<TExDockVIDDragDockObject*>(&source);
        const std::vector<TWinControlCore*> forms = vid ? vid->DockForms : std::vector<TWinControlCore*>{dragged};
        if (forms.empty())
            return;
        UndockControl(dragged);
        ReleaseEmptyHostForms();
        TExDockTabHostForm* tabs = client->CreateTabHost(form, forms.front());
        for (size_t i = 1; i < forms.size(); ++i)
            if (TExDockTabPageControl* pages = tabs->PageControl())
                ManualDock(*forms[i], pages, nullptr, TAlign::alClient);
        host = tabs;
    } else {
        host = client->CreateConjoinHost(form, dragged, side);
        SetDockSite(form, false);
        SetDockSite(dragged, false);
    }
    host->Show();
    BringWindowToTop(host);
    SetLRDockWidth(*host, ::LRDockWidth(*dragged));
    SetTBDockHeight(*host, ::TBDockHeight(*dragged));
}

void TExDockVIDStyle::PrepareDockControl(bool loadingOrDesigning, TExDockBaseControl* control)
{
    if (auto* client = dynamic_cast<TExDockClient*>(control); client && loadingOrDesigning)
        client->DirectDrag = false;
}

void TExDockVIDStyle::ApplyTabOptions(TExDockCustomTabControl* control)
{
    TExDockAdvStyle::ApplyTabOptions(control);
    auto* vid = dynamic_cast<TExDockVIDTabPageControl*>(control);
    TExDockVIDTabServerOption* option = VIDTabOption();
    if (!vid || !option)
        return;
    vid->SetActiveFont(option->ActiveFont());
    vid->SetActiveSheetColor(option->ActiveSheetColor());
    vid->SetInactiveFont(option->InactiveFont());
    vid->SetInactiveSheetColor(option->InactiveSheetColor());
    vid->SetHotTrackColor(option->HotTrackColor());
    vid->SetShowTabImages(option->ShowTabImages());
}

// ---- the drop side

TAlign VIDDockSide(TWinControlCore* control, TWinControlCore* dragged, TRect& rect, TPoint p)
{
    if (!control)
        return TAlign::alNone;
    const int W = control->ClientWidth();
    const int H = control->ClientHeight();
    const int c = SystemCaptionHeight();
    const int dw = dragged ? dragged->ClientWidth() : W;
    const int dh = dragged ? dragged->ClientHeight() : H;
    const bool tabs = dynamic_cast<TExDockCustomTabControl*>(control) != nullptr;
    auto in = [&p](int left, int top, int right, int bottom) {
        return p.X >= left && p.X < right && p.Y >= top && p.Y < bottom;
    };
    TAlign side = TAlign::alNone;
    TRect r;
    if (in(0, -c, W, 0) || (tabs && in(0, H - c, W, H))) {
        side = TAlign::alClient;
        r = Rect(0, -c, W, H);
    } else if (in(0, 0, W / 5, H)) {
        side = TAlign::alLeft;
        r = Rect(0, 0, std::min(dw, W / 2), H);
    } else if (in(W / 5, 0, 4 * (W / 5), H / 5)) {
        side = TAlign::alTop;
        r = Rect(0, 0, W, std::min(dh, H / 2));
    } else if (in(4 * (W / 5), 0, W, H)) {
        side = TAlign::alRight;
        r = Rect(std::max(W / 2, W - dw), 0, W, H);
    } else if (tabs ? in(W / 5, 4 * (H / 5), 4 * (W / 5), H - c) : in(0, 4 * (H / 5), W, H)) {
        side = TAlign::alBottom;
        r = tabs ? Rect(W / 5, std::max(H / 2, H - dh), 4 * (W / 5), H - c) : Rect(0, std::max(H / 2, H - dh), W, H);
    }
    if (side == TAlign::alNone)
        return side;
    const TPoint origin = control->ClientToScreen({0, 0});
    OffsetRect(r, origin.X, origin.Y);
    rect = r;
    return side;
}

// ---- the drag

std::vector<TWinControlCore*> CollectDockForms(TWinControlCore* control)
{
    std::vector<TWinControlCore*> forms;
    std::function<void(TWinControlCore*)> collect = [&](TWinControlCore* c) {
        auto* host = dynamic_cast<TExDockableForm*>(c);
        TDockSite* site = host ? host->DockingSite() : nullptr;
        if (!site) {
            forms.push_back(c);
            return;
        }
        for (int i = 0; i < site->DockClientCount(); ++i)
            collect(site->DockClients(i));
    };
    if (control)
        collect(control);
    return forms;
}

TExDockVIDDragDockObject::TExDockVIDDragDockObject(TWinControlCore* control)
    : TExDockDragDockObject(control), DockForms(CollectDockForms(control))
{
    VIDLastDropRect() = TRect{};
}

TExDockVIDDragDockObject::~TExDockVIDDragDockObject() = default;

void TExDockVIDDragDockObject::GetFrameInfo(int& thickness, bool erase, TRect& rect)
{
    TExDockDragDockObject::GetFrameInfo(thickness, erase, rect);
    if (!DropTarget)
        DropAlign = TAlign::alNone;
    TabShape = (PrevDropAlign == TAlign::alClient && erase) || (DropAlign == TAlign::alClient && !erase);
    PrevDropAlign = DropAlign;
    PrevTarget = DropTarget;
}

void TExDockVIDDragDockObject::DrawFrame(bool erase)
{
    Erasing = erase;
    int thickness = 0;
    TRect r;
    GetFrameInfo(thickness, erase, r);
    if (!FFrame)
        FFrame = std::make_unique<TExDockOverlay>(nullptr, thickness);
    if (erase) {
        if (FFrame->Shown() && FFrame->ShownRect() == r)
            FFrame->Hide();
        return;
    }
    FFrame->XorStrips(r, VIDDragFrameStrips(r, thickness, TabShape));
}

TWinControlCore* TExDockVIDDragDockObject::FindDropControl()
{
    if (TWinControlCore* control = TExDockDragDockObject::FindDropControl())
        return control;
    auto* panel = dynamic_cast<TExDockCustomPanel*>(DropTarget);
    IExDockManager* manager = panel ? panel->ExDockManager() : nullptr;
    if (!manager)
        return nullptr;
    for (int i = 0; i < panel->DockClientCount(); ++i) {
        TWinControlCore* c = panel->DockClients(i);
        if (!ControlVisible(*c))
            continue;
        TRect r;
        manager->ControlZoneScreenRect(c, r);
        if (r.Contains(DragPos))
            return c;
    }
    return nullptr;
}

void TExDockVIDDragDockObject::CompleteDrag(TWinControlCore* target, int x, bool accepted, int y)
{
    TWinControlCore* dropTarget = DropTarget;
    // why: the preview of this drag must not size a zone that is docked later by other means.
    VIDLastDropRect() = TRect{};
    TExDockDragDockObject::CompleteDrag(target, x, accepted, y);
    // The drag took the mouse from a tab strip that started it: the strip's own drag ends.
    TExDockVIDTabPageControl* pages = nullptr;
    if (TExDockClient* client = CurrentDockClient())
        pages = dynamic_cast<TExDockVIDTabPageControl*>(HostDockSite(*client->ParentForm()));
    if (!pages)
        pages = dynamic_cast<TExDockVIDTabPageControl*>(dropTarget);
    if (pages && pages->TabPanel())
        pages->TabPanel()->EndTabDrag();
}

std::vector<TRect> VIDDragFrameStrips(const TRect& r, int w, bool tabShape)
{
    const int L = r.Left;
    const int T = r.Top;
    const int R = r.Right;
    const int B = r.Bottom;
    std::vector<TRect> strips;
    auto add = [&strips](int x, int y, int width, int height) {
        if (width > 0 && height > 0)
            strips.push_back(Bounds(x, y, width, height));
    };
    if (!tabShape) {
        add(L + w, T, R - L - w, w);
        add(R - w, T + w, w, B - T - w);
        add(L, B - w, R - L - w, w);
        add(L, T, w, B - T - w);
        return strips;
    }
    int tw = 30;
    int th = 15;
    add(L + w, T, R - L - w, w);
    add(R - w, T + w, w, B - T - 2 * w - th);
    if (R - L - 2 * w < 2 * w + 2 * tw + 4)
        tw = (R - L - 4 * w - 4) / 2;
    if (B - T - 2 * w < 2 * th)
        th = std::max((B - T - 2 * w) / 2, 0);
    add(L, B - w - th, 2 * w + 4, w);
    add(L + w + 4, B - th, w, th);
    add(L + 2 * w + 4, B - w, tw, w);
    add(L + 2 * w + tw + 4, B - w - th, w, w + th);
    add(L + 3 * w + tw + 4, B - w - th, R - L - 3 * w - tw - 4, w);
    add(L, T, w, B - T - w - th);
    return strips;
}

void FillGradientRect(TCanvas& canvas, const TRect& r, TColor start, bool vertical, TColor end)
{
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    const TColor from = ColorToRGB(start);
    const TColor to = ColorToRGB(end);
    if (from == to) {
        canvas.Brush().SetColor(from);
        canvas.FillRect(r);
        return;
    }
    const double dr = (GetRValue(to) - GetRValue(from)) / 256.0;
    const double dg = (GetGValue(to) - GetGValue(from)) / 256.0;
    const double db = (GetBValue(to) - GetBValue(from)) / 256.0;
    const int extent = vertical ? r.Height() : r.Width();
    for (int i = 0; i < 256; ++i) {
        const int a = Nearest(i * extent / 256.0);
        const int b = Nearest((i + 1) * extent / 256.0);
        if (b <= a)
            continue;
        canvas.Brush().SetColor(RGBColor(GetRValue(from) + Nearest(i * dr), GetGValue(from) + Nearest(i * dg),
                                         GetBValue(from) + Nearest(i * db)));
        canvas.FillRect(vertical ? Rect(r.Left, r.Top + a, r.Right, r.Top + b)
                                 : Rect(r.Left + a, r.Top, r.Left + b, r.Bottom));
    }
}
