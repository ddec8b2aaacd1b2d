#include "ExLib/run/docking/vid/ExDockVIDTree.h"

#include "ExLib/run/controls/ExThemes.h"
#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/control/ExDockServer.h"
#include "ExLib/run/docking/support/ExDockSupportProc.h"
#include "ExLib/run/docking/vid/ExDockVIDStyle.h"

#include "Platform/core/Exceptions.h"
#include "Platform/core/QtBridge.h"

#include <QCursor>
#include <QPainter>
#include <cmath>

namespace {

constexpr TDockOrientation H = TDockOrientation::doHorizontal;
constexpr TDockOrientation V = TDockOrientation::doVertical;
constexpr TDockOrientation None = TDockOrientation::doNoOrient;

int Nearest(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

TDockOrientation OrientationOfSide(TAlign side)
{
    return side == TAlign::alTop || side == TAlign::alBottom ? H : V;
}

// The span of a container along its own axis.
void AxisSpan(const TExDockZone* parent, int& begin, int& end)
{
    begin = parent->EdgeOf(parent->Orientation);
    end = begin + parent->ExtentOf(parent->Orientation);
}

} // namespace

TExDockZoneFactory VIDZoneClass()
{
    return [](TExDockTree* tree) { return std::make_unique<TExDockVIDZone>(tree); };
}

bool DropsIntoOwnHost(TExDockDragDockObject& source)
{
    if (!source.Control || source.DropAlign != TAlign::alClient || !source.DropControl)
        return false;
    TWinControlCore* site = HostSiteControl(source.Control);
    return site && site->Parent() == source.DropControl;
}

namespace {

// While a caption-bar drag moves over a panel, the tree may turn the frame into a side strip.
void HookDockEdge(IDockManager* manager, TExDockDragDockObject& source, const TRect& frame, TPoint mousePos,
                  TDragState state, bool accept)
{
    if (accept && state == TDragState::dsDragMove && dynamic_cast<TExDockVIDDragDockObject*>(&source))
        if (auto* tree = dynamic_cast<TExDockVIDTree*>(manager)) {
            TAlign align = source.DropAlign;
            tree->DockEdgeHook(frame, mousePos, align);
        }
}

// A form dropped into a panel becomes its active form and takes the focus.
void ActivateDropped(IDockManager* manager, TWinControlCore* control)
{
    if (auto* tree = dynamic_cast<TExDockVIDTree*>(manager))
        tree->SetActiveControl(control);
    if (control && ControlVisible(*control) && control->CanFocus())
        control->SetFocus();
}

} // namespace

// ---- zones

int TExDockVIDZone::InnerBound(bool isEnd)
{
    return isEnd ? Limit : LimitBegin();
}

void TExDockVIDTree::RescaleRange(TExDockZone* first, TExDockZone* stop, int origin, double factor)
{
    if (!first || factor == 1.0)
        return;
    const TDockOrientation o = first->Parent ? first->Parent->Orientation : None;
    ScaleFactor = factor;
    ScaleOrigin = origin;
    for (TExDockZone* z = first; z && z != stop; z = z->NextZone) {
        AdjustOrientation = o;
        ForEachInSubtree(z, [this](TExDockZone* c) { RescaleChild(c); });
    }
    ScaleFactor = 1.0;
}

void TExDockVIDZone::Show(int size, bool flag)
{
    TExDockZone* parent = Parent;
    auto* tree = static_cast<TExDockVIDTree*>(Tree);
    if (parent && parent != tree->RootZone() && !parent->Shown() && parent->VisibleChildCount() == 0)
        parent->Show(parent->SavedSize, flag);
    if (!parent || (parent == tree->RootZone() && parent->ChildCount() == 1) || parent->Orientation == None) {
        SetShown(true);
        return;
    }
    int begin = 0;
    int end = 0;
    AxisSpan(parent, begin, end);
    const int extent = end - begin;
    TExDockZone* prev = PrevVisible();
    TExDockZone* next = NextVisible();
    int others = 0;
    for (TExDockZone* z = parent->FirstChild; z; z = z->NextZone)
        if (z != this && z->Shown())
            ++others;
    if (others == 0 || extent <= 0) {
        SetShown(true);
        Limit = end;
        return;
    }
    const int m = tree->GetMinZoneSize();
    if (size >= extent - others * m)
        size = (extent - others * m) / 2;
    if (size < m)
        size = extent / 2;
    // The zone starts where the zones before it end; those after it reach from there to the end.
    // (A limit left from an older size of the site counts as the nearest edge.)
    if (prev)
        prev->Limit = std::clamp(prev->Limit, begin, end);
    const int beforeEnd = prev ? prev->Limit : begin;
    int takeBefore = 0;
    if (!next)
        takeBefore = size;
    else if (prev)
        takeBefore = Nearest(static_cast<double>(size) * (beforeEnd - begin) / extent);
    const int takeAfter = size - takeBefore;
    if (prev && takeBefore > 0 && beforeEnd > begin)
        tree->RescaleRange(parent->FirstChild, this, begin,
                           static_cast<double>(beforeEnd - begin - takeBefore) / (beforeEnd - begin));
    if (next && takeAfter > 0 && end > beforeEnd)
        tree->RescaleRange(NextZone, nullptr, end, static_cast<double>(end - beforeEnd - takeAfter) / (end - beforeEnd));
    if (prev && prev->Limit - prev->LimitBegin() < m)
        prev->Limit = prev->LimitBegin() + m;
    const int start = prev ? prev->Limit : begin;
    SetShown(true);
    Limit = next ? start + size : end;
    tree->ExtendLastZones(parent);
    tree->RefreshSubtree(parent);
}

void TExDockVIDZone::Hide(int size, bool flag)
{
    TExDockZone* parent = Parent;
    auto* tree = static_cast<TExDockVIDTree*>(Tree);
    if (parent && parent != tree->RootZone() && Shown() && parent->VisibleChildCount() == 1)
        parent->Hide(parent->LimitSize(), flag);
    if (!parent || (parent == tree->RootZone() && parent->ChildCount() == 1) || parent->Orientation == None) {
        SetShown(!flag);
        return;
    }
    int begin = 0;
    int end = 0;
    AxisSpan(parent, begin, end);
    const int extent = end - begin;
    TExDockZone* prev = PrevVisible();
    TExDockZone* next = NextVisible();
    const int zoneBegin = LimitBegin();
    const int zoneEnd = Shown() ? Limit : zoneBegin;
    const int m = tree->GetMinZoneSize();
    const int visible = parent->VisibleChildCount();
    size = std::min(size, extent - (visible - 1) * m);
    if (size == 0)
        size = extent / 2;
    const int freed = std::max(0, zoneEnd - zoneBegin);
    if (flag)
        SetShown(false);
    int giveBefore = 0;
    if (!next)
        giveBefore = freed;
    else if (prev)
        giveBefore = Nearest(static_cast<double>(freed) * (zoneBegin - begin) / std::max(1, extent));
    if (prev && giveBefore > 0 && zoneBegin > begin)
        tree->RescaleRange(parent->FirstChild, this, begin,
                           static_cast<double>(zoneBegin - begin + giveBefore) / (zoneBegin - begin));
    if (next && end > zoneEnd)
        tree->RescaleRange(NextZone, nullptr, end,
                           static_cast<double>(end - zoneBegin - giveBefore) / (end - zoneEnd));
    if (prev && prev->Limit - prev->LimitBegin() < m)
        prev->Limit = prev->LimitBegin() + m;
    Limit = LimitBegin();
    tree->ExtendLastZones(parent);
}

// ---- the tree

TExDockVIDTree::TExDockVIDTree(TDockSite& site, TExDockZoneFactory zoneClass)
    : TExDockAdvTree(site, zoneClass ? std::move(zoneClass) : VIDZoneClass())
{
    if (GetGrabbersSize() <= 0)
        SetGrabbersSize(18);
    ButtonHeight = 11;
    ButtonWidth = 13;
    RightOffset = 4;
    VerticalOffset = 4;
    ButtonSplitter = 2;
    SetBorderWidth(0);
    SetMinZoneSize(20);
}

TExDockVIDTree::~TExDockVIDTree() = default;

TExDockVIDConjoinServerOption* TExDockVIDTree::ConjoinOption() const
{
    TExDockBasicStyle* style = nullptr;
    if (auto* panel = dynamic_cast<TExDockPanel*>(&DockSite())) {
        if (TExDockServer* server = panel->DockServer())
            style = server->DockStyle();
    } else if (auto* conjoin = dynamic_cast<TExDockConjoinPanel*>(&DockSite())) {
        if (conjoin->Host() && conjoin->Host()->DockClient())
            style = conjoin->Host()->DockClient()->DockStyle();
    }
    return style ? dynamic_cast<TExDockVIDConjoinServerOption*>(style->ConjoinServerOption()) : nullptr;
}

bool TExDockVIDTree::SiteFillsParent() const
{
    return AlignOf(SiteControl()) == TAlign::alClient;
}

int TExDockVIDTree::GrabberPosition() const
{
    return gpTop;
}

void TExDockVIDTree::TopGrabberHitTest(TPoint p, int& code, TExDockZone* zone)
{
    const TRect r = zone->ZoneRect();
    if (p.Y < r.Top || p.Y > r.Top + GetGrabbersSize() || p.X < r.Left || p.X > r.Right)
        return;
    const TWinControlCore* c = zone->Control;
    const int right = c->Left() + c->Width();
    const int top = c->Top() + VerticalOffset - GetGrabbersSize();
    const TRect close = Rect(right - ButtonWidth - RightOffset, top, right - RightOffset, top + ButtonHeight);
    code = close.Contains(p) ? HTCLOSE_ZONE : HTCAPTION_ZONE;
}

void TExDockVIDTree::AdjustControlRect(TWinControlCore* control, TRect& r)
{
    if (SiteFillsParent() && RootZone() && RootZone()->ChildCount() <= 1) {
        auto* panel = dynamic_cast<TExDockVIDPanel*>(&DockSite());
        auto* style = panel && panel->DockServer() ? dynamic_cast<TExDockVIDStyle*>(panel->DockServer()->DockStyle())
                                                   : nullptr;
        if (!style || !style->AlwaysShowGrabber())
            return;
    }
    TExDockAdvTree::AdjustControlRect(control, r);
}

void TExDockVIDTree::CaptionTextRect(TRect& r)
{
    r.Left += CaptionLeftOffset + 2;
    r.Top += 1;
    r.Right += 1 - ButtonWidth - CaptionRightOffset;
    r.Bottom -= 2;
}

void TExDockVIDTree::SetActiveControl(TWinControlCore* control)
{
    if (control == GetActiveControl())
        return;
    TExDockAdvTree::SetActiveControl(control);
    InvalidateSite();
}

void TExDockVIDTree::WindowProcHook(TMessage& message)
{
    if (message.Msg == CM_DOCKCLIENT && !VIDLastDropRect().IsEmpty())
        if (auto* source = reinterpret_cast<TDragDockObject*>(message.WParam)) {
            source->DockRect = VIDLastDropRect();
            DockEdgeHook(source->DockRect, {}, source->DropAlign);
        }
    TExDockAdvTree::WindowProcHook(message);
}

bool TExDockVIDTree::DockEdgeHook(const TRect& r, TPoint p, TAlign& align)
{
    const bool result = TExDockAdvTree::DockEdgeHook(r, p, align);
    if (InsertSizeLock == 0) {
        DropSize = align == TAlign::alLeft || align == TAlign::alRight   ? r.Width()
                   : align == TAlign::alTop || align == TAlign::alBottom ? r.Height()
                                                                          : 0;
        SetDockRect(r);
    }
    return result;
}

void TExDockVIDTree::InsertAsSibling(TExDockZone* zone, TExDockZone* sibling, bool update, bool after)
{
    if (DropZone)
        sibling = DropZone;
    TExDockTree::InsertAsSibling(zone, sibling, false, after);
    if (!update)
        return;
    // A new zone takes its room from its neighbours as a hidden one that is shown.
    zone->Limit = zone->LimitBegin();
    zone->SetShown(false);
    zone->Show(DropSize, false);
    ExtendLastZones(zone->Parent);
    RefreshSubtree(zone->Parent);
}

void TExDockVIDTree::InsertAsNewParent(TExDockZone* zone, TExDockZone* sibling, bool update, bool after,
                                       TDockOrientation orientation)
{
    if (DropZone) {
        InsertAsSibling(zone, DropZone, update, after);
        return;
    }
    TExDockZone* saved = ReloadZone();
    // why: the new zone's Show makes its room; the old zones keep their limits until then.
    if (!sibling)
        SetReloadZone(RootZone());
    try {
        TExDockTree::InsertAsNewParent(zone, sibling, false, after, orientation);
    } catch (...) {
        SetReloadZone(saved);
        throw;
    }
    SetReloadZone(saved);
    TExDockZone* parent = zone->Parent;
    if (!parent)
        return;
    int begin = 0;
    int end = 0;
    AxisSpan(parent, begin, end);
    for (TExDockZone* z = parent->FirstChild; z; z = z->NextZone)
        if (z != zone)
            z->Limit = end;
    if (!update)
        return;
    zone->Limit = zone->LimitBegin();
    zone->SetShown(false);
    zone->Show(DropSize, false);
    RefreshSubtree(parent);
    ExtendLastZones(parent);
}

void TExDockVIDTree::UnlinkZone(TExDockZone* zone)
{
    if (zone && (zone == DropZone || (DropZone && zone == DropZone->NextZone)))
        DropZone = nullptr;
    TExDockAdvTree::UnlinkZone(zone);
}

// ---- positions of a drop

void TExDockVIDTree::StraddleSplitter(TExDockZone* zone, TWinControlCore* client, TRect& r)
{
    TExDockZone* parent = zone->Parent;
    const TDockOrientation o = parent->Orientation;
    int begin = 0;
    int end = 0;
    AxisSpan(parent, begin, end);
    const int extent = std::max(1, end - begin);
    const double ratio = static_cast<double>(zone->Limit - begin) / extent;
    const int clientExtent = client ? (o == H ? client->ClientHeight() : client->ClientWidth()) : extent / 2;
    const int e = std::min(extent / 2, clientExtent);
    const int start = zone->Limit - Nearest(e * ratio);
    const TRect across = parent->ZoneRect();
    r = o == H ? Rect(across.Left, start, across.Right, start + e) : Rect(start, across.Top, start + e, across.Bottom);
    if (!zone->Shown())
        return;
    if (TExDockDragDockObject* drag = GlobalDockManager()->DragObject()) {
        drag->DropAlign = o == H ? TAlign::alBottom : TAlign::alRight;
        drag->DropControl = zone->Control;
    }
    DropZone = zone;
}

void TExDockVIDTree::PositionDockRect(TWinControlCore* client, TWinControlCore* dropControl, TAlign dropAlign,
                                      TRect& dockRect)
{
    TAlign side = dropAlign == TAlign::alNone ? TAlign::alClient : dropAlign;
    DropZone = nullptr;
    TExDockDragDockObject* drag = GlobalDockManager()->DragObject();
    const TPoint screen = drag ? drag->DragPos : TPoint::FromQt(QCursor::pos());
    const TPoint p = SiteControl().ScreenToClient(screen);
    int code = 0;
    TExDockZone* hit = InternalHitTest(p, code);
    TRect r = dockRect;
    const bool onCaption = hit && hit->Control && (code == HTCAPTION_ZONE || code == HTCLOSE_ZONE);
    if (onCaption) {
        r = hit->Control->BoundsRect();
        if (drag)
            drag->DropAlign = TAlign::alClient;
        side = TAlign::alClient;
    }
    bool done = false;
    if (!dropControl) {
        if (onCaption) {
            if (drag)
                drag->DropControl = hit->Control;
            done = true;
        } else if (hit && code == HTCLIENT_ZONE) {
            dropControl = hit->Control;
        } else if (hit && code == HTSPLITTER) {
            StraddleSplitter(hit, client, r);
            done = true;
        } else {
            r = SiteClientRect();
            if (DockSite().VisibleDockClientCount() > 0)
                switch (side) {
                case TAlign::alTop: r.Bottom = r.Top + r.Height() / 2; break;
                case TAlign::alBottom: r.Top = r.Bottom - r.Height() / 2; break;
                case TAlign::alLeft: r.Right = r.Left + r.Width() / 2; break;
                case TAlign::alRight: r.Left = r.Right - r.Width() / 2; break;
                default: break;
                }
            done = true;
        }
    }
    TExDockZone* zone = !done && dropControl ? FindZone(dropControl, false) : nullptr;
    if (!done && zone && zone->Parent) {
        TExDockZone* parent = zone->Parent;
        const TDockOrientation o = parent->Orientation;
        TExDockZone* straddled = nullptr;
        if (o == V && side == TAlign::alRight && zone->NextVisible())
            straddled = zone;
        else if (o == V && side == TAlign::alLeft && zone->PrevVisible())
            straddled = zone->PrevVisible();
        else if (o == H && side == TAlign::alBottom && zone->NextVisible())
            straddled = zone;
        else if (o == H && side == TAlign::alTop && zone->PrevVisible())
            straddled = zone->PrevVisible();
        if (straddled) {
            StraddleSplitter(straddled, client, r);
        } else {
            const bool alongAxis = (o == H && (side == TAlign::alTop || side == TAlign::alBottom)) ||
                                   (o == V && (side == TAlign::alLeft || side == TAlign::alRight));
            if (alongAxis) {
                r = parent->ZoneRect();
            } else {
                r = dropControl->BoundsRect();
                r.Top -= GetGrabbersSize();
            }
            int x = r.Left;
            int y = r.Top;
            int w = r.Width();
            int h = r.Height();
            if (side == TAlign::alLeft || side == TAlign::alRight) {
                const int width = std::min(client ? UndockWidth(*client) : w, w / 2);
                if (side == TAlign::alRight)
                    x += w - width;
                w = width;
            } else if (side == TAlign::alTop || side == TAlign::alBottom) {
                const int height = std::min(client ? UndockHeight(*client) : h, h / 2);
                if (side == TAlign::alBottom)
                    y += h - height;
                h = height;
            }
            r = Bounds(x, y, w, h);
        }
    } else if (!done && dropControl) {
        r = SiteClientRect();
    }
    const TPoint origin = SiteControl().ClientToScreen({0, 0});
    OffsetRect(r, origin.X, origin.Y);
    dockRect = r;
}

void TExDockVIDTree::InfluenceRectAt(TWinControlCore* control, TRect& r, bool& canDock, TPoint p)
{
    int code = 0;
    TExDockZone* zone = InternalHitTest(SiteControl().ScreenToClient(p), code);
    const TPoint origin = SiteControl().ClientToScreen({0, 0});
    if (!zone) {
        r = TRect{};
        canDock = false;
        return;
    }
    if (code == HTSPLITTER) {
        r = GetSplitterRect(zone);
        OffsetRect(r, origin.X, origin.Y);
        return;
    }
    TRect sideRect;
    const TAlign side = zone->Control ? VIDDockSide(zone->Control, control, sideRect, zone->Control->ScreenToClient(p))
                                      : TAlign::alNone;
    if (side == TAlign::alNone || zone->Control == control) {
        r = TRect{};
        canDock = false;
        return;
    }
    if (TExDockZone* parent = zone->Parent) {
        TExDockZone* straddled = nullptr;
        if (parent->Orientation == V && side == TAlign::alRight && zone->NextVisible())
            straddled = zone;
        else if (parent->Orientation == V && side == TAlign::alLeft && zone->PrevVisible())
            straddled = zone->PrevVisible();
        else if (parent->Orientation == H && side == TAlign::alBottom && zone->NextVisible())
            straddled = zone;
        else if (parent->Orientation == H && side == TAlign::alTop && zone->PrevVisible())
            straddled = zone->PrevVisible();
        if (straddled) {
            r = GetSplitterRect(straddled);
            if (parent->Orientation == V)
                InflateRect(r, 10, 0);
            else
                InflateRect(r, 0, 10);
            OffsetRect(r, origin.X, origin.Y);
            return;
        }
    }
    r = sideRect;
}

// ---- insertion

TExDockTabHostForm* TExDockVIDTree::ReplaceWithTabHost(TWinControlCore* control, TWinControlCore* dropControl,
                                                       TAlign& side, TWinControlCore*& beside)
{
    TExDockZone* zone = dropControl ? FindZone(dropControl, false) : nullptr;
    TExDockClient* client = FindDockClientOf(dropControl);
    if (!zone || !client)
        return nullptr;
    side = TAlign::alClient;
    beside = nullptr;
    if (TExDockZone* parent = zone->Parent) {
        TExDockZone* prev = zone->PrevVisible();
        TExDockZone* next = zone->NextVisible();
        if (parent->Orientation == H) {
            if (prev) {
                side = TAlign::alBottom;
                beside = prev->Control;
            } else if (next) {
                side = TAlign::alTop;
                beside = next->Control;
            }
        } else if (parent->Orientation == V) {
            if (prev) {
                side = TAlign::alRight;
                beside = prev->Control;
            } else if (next) {
                side = TAlign::alLeft;
                beside = next->Control;
            }
        }
    }
    TExDockTabHostForm* host = client->CreateTabHost(dropControl, control);
    if (auto* conjoin = dynamic_cast<TExDockConjoinPanel*>(&DockSite()))
        conjoin->Host()->UndockingControl = host;
    SetDockSite(dropControl, false);
    SetDockSite(control, false);
    TPoint origin = SiteControl().ClientToScreen({0, 0});
    const TAlign siteAlign = AlignOf(SiteControl());
    if (siteAlign == TAlign::alBottom)
        origin.Y -= ::TBDockHeight(*dropControl);
    else if (siteAlign == TAlign::alRight)
        origin.X -= ::LRDockWidth(*dropControl);
    host->move(origin.X, origin.Y);
    SetUndockWidth(*host, UndockWidth(*dropControl));
    SetUndockHeight(*host, UndockHeight(*dropControl));
    SetLRDockWidth(*host, ::LRDockWidth(*dropControl));
    SetTBDockHeight(*host, ::TBDockHeight(*dropControl) + GetGrabbersSize());
    host->Show();
    return host;
}

bool TExDockVIDTree::ReplaceByTabHost(TWinControlCore* control, TWinControlCore* dropControl)
{
    const int rootChildren = RootZone() ? RootZone()->ChildCount() : 0;
    TAlign side = TAlign::alClient;
    TWinControlCore* beside = nullptr;
    TRect rect = dropControl ? dropControl->BoundsRect() : SiteClientRect();
    TExDockTabHostForm* host = ReplaceWithTabHost(control, dropControl, side, beside);
    if (!host)
        return false;
    SetDockRect(rect);
    if (rootChildren > 1 || dynamic_cast<TExDockPanel*>(&DockSite())) {
        DropSize = side == TAlign::alLeft || side == TAlign::alRight ? rect.Width() : rect.Height() + GetGrabbersSize();
        RaiseInsertSizeLock();
        try {
            ManualDock(*host, &DockSite(), beside, side);
        } catch (...) {
            LowerInsertSizeLock();
            throw;
        }
        LowerInsertSizeLock();
    } else if (TWinControlCore* parent = SiteControl().Parent()) {
        const TRect r = ScreenBounds(*parent);
        host->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    }
    return true;
}

void TExDockVIDTree::InsertControl(TWinControlCore* control, TAlign insertAt, TWinControlCore* dropControl)
{
    if (ReloadZone()) {
        TExDockAdvTree::InsertControl(control, insertAt, dropControl);
        return;
    }
    const TDesktopUpdateLock lock(!LayoutLoading());
    auto* hostForm = dynamic_cast<TExDockableForm*>(control);
    auto* dropTabs = dynamic_cast<TExDockTabHostForm*>(dropControl);
    if (hostForm && insertAt == TAlign::alClient && (dropTabs || (dropControl && DockSite().VisibleDockClientCount() > 1 &&
                                                                  dynamic_cast<TExDockCustomPanel*>(&DockSite())))) {
        const std::vector<TWinControlCore*> forms = CollectDockForms(control);
        for (TWinControlCore* f : forms)
            UndockControl(f);
        UndockControl(control);
        ReleaseEmptyHostForms();
        if (dropTabs) {
            for (auto it = forms.rbegin(); it != forms.rend(); ++it)
                if (TExDockTabPageControl* pages = dropTabs->PageControl()) {
                    ManualDock(**it, pages, nullptr, TAlign::alClient);
                    SettleDroppedForm(*it);
                }
        } else if (!forms.empty()) {
            TAlign side = TAlign::alClient;
            TWinControlCore* beside = nullptr;
            if (TExDockTabHostForm* host = ReplaceWithTabHost(forms.front(), dropControl, side, beside)) {
                for (size_t i = forms.size(); i-- > 1;)
                    if (TExDockTabPageControl* pages = host->PageControl())
                        ManualDock(*forms[i], pages, nullptr, TAlign::alClient);
                ManualDock(*host, &DockSite(), beside, side);
            }
        }
    } else if (auto* conjoin = dynamic_cast<TExDockConjoinHostForm*>(control)) {
        if (TExDockConjoinPanel* panel = conjoin->Panel(); panel && panel->DockManager())
            panel->DockManager()->ResetBounds(true);
        MergeConjoinHost(conjoin, insertAt, dropControl);
    } else if (hostForm) {
        TExDockAdvTree::InsertControl(control, insertAt, dropControl);
    } else {
        if (insertAt == TAlign::alTop || insertAt == TAlign::alLeft)
            DropSize += GetSplitterWidth() / 2;
        if (insertAt == TAlign::alClient && dropTabs) {
            if (TExDockTabPageControl* pages = dropTabs->PageControl())
                ManualDock(*control, pages, nullptr, TAlign::alClient);
        } else if (insertAt == TAlign::alClient && RootZone() && RootZone()->FirstChild && dropControl &&
                   dropControl != control) {
            if (!ReplaceByTabHost(control, dropControl))
                TExDockAdvTree::InsertControl(control, TAlign::alRight, dropControl);
        } else {
            TExDockAdvTree::InsertControl(control, insertAt, dropControl);
        }
    }
    if (!VIDLastDropRect().IsEmpty())
        SetDockRect(VIDLastDropRect());
    DropSize = 0;
    DropZone = nullptr;
    RefreshAll();
    InvalidateSite();
}

TExDockZone* TExDockVIDTree::CopyZones(TExDockZone* source, TExDockZone* parent, const TRect& from, const TRect& to,
                                       std::vector<std::pair<TExDockZone*, TWinControlCore*>>& docked)
{
    auto map = [](int v, int fromBegin, int fromExtent, int toBegin, int toExtent) {
        return fromExtent <= 0 ? toBegin + toExtent
                               : toBegin + Nearest(static_cast<double>(v - fromBegin) * toExtent / fromExtent);
    };
    TExDockZone* first = nullptr;
    TExDockZone* last = nullptr;
    for (TExDockZone* s = source; s; s = s->NextZone) {
        TExDockZone* z = NewZone();
        z->Orientation = s->Orientation;
        z->Parent = parent;
        z->PrevZone = last;
        if (last)
            last->NextZone = z;
        else
            first = z;
        last = z;
        if (parent->Orientation == H)
            z->Limit = map(s->Limit, from.Top, from.Height(), to.Top, to.Height());
        else
            z->Limit = map(s->Limit, from.Left, from.Width(), to.Left, to.Width());
        if (s->FirstChild)
            z->FirstChild = CopyZones(s->FirstChild, z, from, to, docked);
        if (s->Control)
            docked.emplace_back(z, s->Control);
        z->SetShown(s->Shown());
    }
    return first;
}

void TExDockVIDTree::SpliceIntoParent(TExDockZone* container)
{
    TExDockZone* first = container->FirstChild;
    if (!first) {
        return;
    }
    TExDockZone* last = first;
    for (TExDockZone* z = first; z; z = z->NextZone) {
        z->Parent = container->Parent;
        last = z;
    }
    first->PrevZone = container->PrevZone;
    if (container->PrevZone)
        container->PrevZone->NextZone = first;
    else
        container->Parent->FirstChild = first;
    last->NextZone = container->NextZone;
    if (container->NextZone)
        container->NextZone->PrevZone = last;
    last->Limit = container->Limit;
    container->FirstChild = nullptr;
    container->PrevZone = nullptr;
    container->NextZone = nullptr;
    container->Parent = nullptr;
    FreeZone(container);
}

void TExDockVIDTree::DockIntoCopies(const std::vector<std::pair<TExDockZone*, TWinControlCore*>>& docked)
{
    // The source tree changes as each form leaves it, so the copies are made first.
    for (const auto& [zone, control] : docked) {
        SetReloadZone(zone);
        zone->Control = control;
        try {
            ManualDock(*control, &DockSite(), nullptr, TAlign::alNone);
        } catch (...) {
            SetReloadZone(nullptr);
            throw;
        }
        SetReloadZone(nullptr);
        SettleDroppedForm(control);
    }
}

void TExDockVIDTree::MergeConjoinHost(TExDockConjoinHostForm* host, TAlign side, TWinControlCore* dropControl)
{
    TExDockConjoinPanel* panel = host ? host->Panel() : nullptr;
    auto* other = panel ? dynamic_cast<TExDockTree*>(panel->DockManager()) : nullptr;
    // The emptied host leaves this site; it closes itself once its forms have gone.
    if (host && HostDockSite(*host) == &DockSite()) {
        ManualFloat(*host, ScreenBounds(*host));
        host->Hide();
    }
    if (!other || !other->RootZone() || !other->RootZone()->FirstChild)
        return;
    TExDockZone* sourceRoot = other->RootZone();
    const TRect from = panel->ClientRect();
    std::vector<std::pair<TExDockZone*, TWinControlCore*>> docked;
    BeginUpdate();
    try {
        if (!RootZone() || !RootZone()->FirstChild) {
            TExDockZone* root = RootZone() ? RootZone() : NewZone();
            FRootZone = root;
            root->Orientation = sourceRoot->Orientation;
            const TRect to = SiteClientRect();
            root->Limit = root->Orientation == H ? to.Width() : to.Height();
            SetRootExtent(root->Orientation == H ? to.Height() : to.Width());
            root->FirstChild = CopyZones(sourceRoot->FirstChild, root, from, to, docked);
        } else {
            if (side == TAlign::alNone || side == TAlign::alClient)
                side = TAlign::alRight;
            const TDockOrientation o = OrientationOfSide(side);
            const bool after = side == TAlign::alBottom || side == TAlign::alRight;
            TExDockZone* beside = FindZone(dropControl, false);
            if (!beside && RootZone()->ChildCount() == 1)
                beside = RootZone()->FirstChild;
            TExDockZone* container = NewZone();
            container->Orientation = sourceRoot->Orientation;
            const TDockOrientation besideOrientation =
                beside && beside->Parent ? beside->Parent->Orientation : RootZone()->Orientation;
            if (besideOrientation == o || besideOrientation == None) {
                if (besideOrientation == None && RootZone()->ChildCount() == 1) {
                    const TRect only = RootZone()->FirstChild->ZoneRect();
                    RootZone()->Orientation = o;
                    RootZone()->Limit = o == H ? only.Width() : only.Height();
                    SetRootExtent(o == H ? only.Height() : only.Width());
                    RootZone()->FirstChild->Limit = o == H ? only.Bottom : only.Right;
                }
                TExDockTree::InsertAsSibling(container, beside, false, after);
            } else {
                TExDockVIDTree::InsertAsNewParent(container, beside, false, after, o);
            }
            container->Limit = container->LimitBegin();
            container->SetShown(false);
            const TRect site = SiteClientRect();
            container->Show(o == H ? site.Height() / 2 : site.Width() / 2, false);
            const TRect to = container->ZoneRect();
            container->FirstChild = CopyZones(sourceRoot->FirstChild, container, from, to, docked);
            // invariant: a container never stacks the same way as its parent; such zones join it.
            if (container->Parent && container->Parent->Orientation == container->Orientation)
                SpliceIntoParent(container);
        }
        DockIntoCopies(docked);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    ExtendLastZones(nullptr);
    RefreshAll();
}

// ---- fitting

void TExDockVIDTree::ResetBounds(bool force)
{
    if (!RootZone() || !SiteHasDockClients() || SiteControl().ComponentState().Contains(csLoading))
        return;
    TRect r = SiteClientRect();
    if (auto* conjoin = dynamic_cast<TExDockConjoinPanel*>(&DockSite()); conjoin && conjoin->Host()) {
        if (r.Width() <= 0)
            r.Right = r.Left + UndockWidth(*conjoin->Host());
        if (r.Height() <= 0)
            r.Bottom = r.Top + UndockHeight(*conjoin->Host());
    }
    if (!force && r == FLastClientRect)
        return;
    TExDockZone* root = RootZone();
    // The zones are laid out for the extents the root holds now.
    const int oldWidth = root->Orientation == H ? root->Limit : root->Orientation == V ? RootExtent() : 0;
    const int oldHeight = root->Orientation == H ? RootExtent() : root->Orientation == V ? root->Limit : 0;
    if (root->Orientation == H) {
        if (r.Width() > 0)
            root->Limit = r.Width();
        if (r.Height() > 0)
            SetRootExtent(r.Height());
    } else if (root->Orientation == V) {
        if (r.Height() > 0)
            root->Limit = r.Height();
        if (r.Width() > 0)
            SetRootExtent(r.Width());
    }
    if (!LayoutLoading() && SuspendCount() == 0) {
        const std::pair<TDockOrientation, double> axes[] = {
            {V, oldWidth > 0 && r.Width() > 0 ? static_cast<double>(r.Width()) / oldWidth : 1.0},
            {H, oldHeight > 0 && r.Height() > 0 ? static_cast<double>(r.Height()) / oldHeight : 1.0},
        };
        for (const auto& [orientation, factor] : axes) {
            if (factor == 1.0)
                continue;
            ScaleFactor = factor;
            ScaleOrigin = 0;
            AdjustOrientation = orientation;
            ForEachInSubtree(root, [this](TExDockZone* z) { RescaleZone(z); });
        }
        ScaleFactor = 1.0;
    }
    ExtendLastZones(nullptr);
    if (!Updating())
        RefreshAll();
    FLastClientRect = r;
}

void TExDockVIDTree::EndDragSplitter()
{
    TExDockZone* zone = DragZone();
    if (!zone)
        return;
    if (DragBar())
        DragBar()->Hide();
    const TDockOrientation o = zone->ParentOrientation();
    const int start = zone->LimitBegin();
    const int old = zone->Limit;
    const int pos = o == H ? SplitterPos().Y : SplitterPos().X;
    const int now = pos + GetSplitterWidth() / 2;
    zone->Limit = now;
    auto rescaleInside = [this, o](TExDockZone* z, int origin, double factor) {
        if (!z->FirstChild || factor == 1.0)
            return;
        ScaleFactor = factor;
        ScaleOrigin = origin;
        AdjustOrientation = o;
        for (TExDockZone* c = z->FirstChild; c; c = c->NextZone)
            ForEachInSubtree(c, [this](TExDockZone* d) { RescaleChild(d); });
        ScaleFactor = 1.0;
    };
    rescaleInside(zone, start, old == start ? 1.0 : static_cast<double>(now - start) / (old - start));
    TExDockZone* next = zone->NextZone;
    for (; next && !next->Shown(); next = next->NextZone)
        next->Limit = now;
    if (next)
        rescaleInside(next, next->Limit, next->Limit == old ? 1.0 : static_cast<double>(next->Limit - now) /
                                                                       (next->Limit - old));
    ExtendLastZones(nullptr);
    RefreshSubtree(zone->Parent);
    ClearDragZone();
}

// ---- painting

void TExDockVIDTree::DrawGrabber(TWinControlCore* control, const TRect& rect)
{
    if (!control)
        throw Exception("Assertion failure");
    TCanvas& canvas = Canvas();
    bool showClose = true;
    if (dynamic_cast<TExDockPanel*>(&DockSite()) && dynamic_cast<TExDockTabHostForm*>(control)) {
        auto* panel = static_cast<TExDockPanel*>(&DockSite());
        auto* style = panel->DockServer() ? dynamic_cast<TExDockVIDStyle*>(panel->DockServer()->DockStyle()) : nullptr;
        if (style && style->VIDTabOption())
            showClose = style->VIDTabOption()->ShowCloseButtonOnGrabber();
    }
    TExDockVIDConjoinServerOption* option = ConjoinOption();
    const bool active = control == GetActiveControl();
    TRect bar = rect;
    bar.Top = rect.Top + 2;
    bar.Bottom = rect.Top + GetGrabbersSize() - 1;
    if (option) {
        if (active)
            FillGradientRect(canvas, bar, option->ActiveTitleStartColor(), option->ActiveTitleVerticalGradient(),
                             option->ActiveTitleEndColor());
        else
            FillGradientRect(canvas, bar, option->InactiveTitleStartColor(), option->InactiveTitleVerticalGradient(),
                             option->InactiveTitleEndColor());
    }
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    DrawCaptionFrame(canvas, control, option && option->ActiveDockGrabber(), bar);
    if (option)
        canvas.Font().Assign(active ? option->ActiveFont() : option->InactiveFont());
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    TRect text = bar;
    CaptionTextRect(text);
    if (QPainter* painter = canvas.Handle(); painter && !text.IsEmpty()) {
        painter->save();
        painter->setFont(canvas.Font().ToQFont());
        QString caption = QStr(control->Text());
        if (!option || option->TextEllipsis())
            caption = painter->fontMetrics().elidedText(caption, Qt::ElideRight, text.Width());
        int flags = Qt::AlignVCenter | Qt::TextSingleLine;
        const TAlignment alignment = option ? option->TextAlignment() : taLeftJustify;
        flags |= alignment == taRightJustify ? Qt::AlignRight : alignment == taCenter ? Qt::AlignHCenter : Qt::AlignLeft;
        painter->setPen(ToQColor(canvas.Font().Color()));
        painter->setClipRect(text.ToQt());
        painter->drawText(text.ToQt(), flags, caption);
        painter->restore();
    }
    if (showClose)
        DrawCloseButton(canvas, FindZone(control, false), rect.Top + VerticalOffset,
                        rect.Right - RightOffset - ButtonWidth);
}

void TExDockVIDTree::DrawCaptionFrame(TCanvas& canvas, TWinControlCore* control, bool frame, const TRect& r)
{
    (void)canvas, (void)control, (void)frame, (void)r;
}

void TExDockVIDTree::DrawCloseButton(TCanvas& canvas, TExDockZone* zone, int top, int left)
{
    if (!zone || !zone->Control)
        return;
    if (TExDockClient* client = FindDockClientOf(zone->Control); client && !client->EnableCloseButton)
        return;
    QPainter* painter = canvas.Handle();
    if (!painter)
        return;
    const bool pressed = static_cast<TExDockAdvZone*>(zone)->CloseButtonDown;
    const TRect r = Bounds(left, top, ButtonWidth, ButtonHeight);
    CurrentThemeServices().DrawElement(
        *painter,
        TExThemeServices::GetElementDetails(TThemedElement::CloseButton,
                                            pressed ? TThemedState::Pressed : TThemedState::Normal),
        r, SiteControl().Widget());
}

// ---- panels

std::unique_ptr<IDockManager> TExDockVIDPanel::CreateDockManager()
{
    std::unique_ptr<IDockManager> manager = TExDockAdvPanel::CreateDockManager();
    auto* tree = dynamic_cast<IExDockManager*>(manager.get());
    TExDockBasicStyle* style = DockServer() ? DockServer()->DockStyle() : nullptr;
    if (tree && style && style->ConjoinServerOption() && style->ConjoinServerOption()->GrabbersSize() != 0)
        tree->SetGrabbersSize(style->ConjoinServerOption()->GrabbersSize());
    return manager;
}

void TExDockVIDPanel::QuerySiteInfo(TExDockDragDockObject& source, TWinControlCore* client, TRect& influenceRect,
                                    TPoint mousePos, bool& canDock)
{
    if (VisibleDockClientCount() == 0) {
        TExDockAdvPanel::QuerySiteInfo(source, client, influenceRect, mousePos, canDock);
        return;
    }
    canDock = CanDockOnto(this, client, source.DropControl, source.DropAlign);
    if (canDock)
        if (auto* tree = dynamic_cast<TExDockVIDTree*>(DockManager()))
            tree->InfluenceRectAt(client, influenceRect, canDock, mousePos);
}

void TExDockVIDPanel::DragOverSite(TExDockDragDockObject& source, int x, int y, TDragState state, bool& accept)
{
    TExDockAdvPanel::DragOverSite(source, x, y, state, accept);
    HookDockEdge(DockManager(), source, source.DockRect, {x, y}, state, accept);
}

void TExDockVIDPanel::DropOnSite(TExDockDragDockObject& source, int x, int y)
{
    if (auto* host = dynamic_cast<TExDockableForm*>(source.Control))
        ShowDockPanel(true, host, true);
    if (DropsIntoOwnHost(source))
        return;
    TExDockAdvPanel::DropOnSite(source, x, y);
    ActivateDropped(DockManager(), source.Control);
}

void TExDockVIDPanel::QueryDockEdge(TExDockDragDockObject& source, TPoint mousePos, TAlign& align)
{
    (void)source, (void)mousePos, (void)align;
}

void TExDockVIDPanel::RefreshHostCaption(TWinControlCore* exclude)
{
    TExDockAdvPanel::RefreshHostCaption(exclude);
    Invalidate();
}

std::unique_ptr<IDockManager> TExDockVIDConjoinPanel::CreateDockManager()
{
    std::unique_ptr<IDockManager> manager = TExDockAdvConjoinPanel::CreateDockManager();
    auto* tree = dynamic_cast<IExDockManager*>(manager.get());
    TExDockClient* client = Host() ? Host()->DockClient() : nullptr;
    TExDockBasicStyle* style = client ? client->DockStyle() : nullptr;
    if (tree && style && style->ConjoinServerOption())
        tree->SetGrabbersSize(style->ConjoinServerOption()->GrabbersSize());
    return manager;
}

void TExDockVIDConjoinPanel::QuerySiteInfo(TExDockDragDockObject& source, TWinControlCore* client,
                                           TRect& influenceRect, TPoint mousePos, bool& canDock)
{
    if (auto* tree = dynamic_cast<TExDockVIDTree*>(DockManager()))
        tree->InfluenceRectAt(client, influenceRect, canDock, mousePos);
    canDock = CanDockOnto(this, client, source.DropControl, source.DropAlign);
}

void TExDockVIDConjoinPanel::DragOverSite(TExDockDragDockObject& source, int x, int y, TDragState state,
                                          bool& accept)
{
    TExDockAdvConjoinPanel::DragOverSite(source, x, y, state, accept);
    HookDockEdge(DockManager(), source, source.ShownRect, {x, y}, state, accept);
}

void TExDockVIDConjoinPanel::DropOnSite(TExDockDragDockObject& source, int x, int y)
{
    if (DropsIntoOwnHost(source))
        return;
    TExDockAdvConjoinPanel::DropOnSite(source, x, y);
    Host()->SetCaption("");
    ActivateDropped(DockManager(), source.Control);
}

void TExDockVIDConjoinPanel::QueryDockEdge(TExDockDragDockObject& source, TPoint mousePos, TAlign& align)
{
    (void)source, (void)mousePos, (void)align;
}

void TExDockVIDConjoinPanel::RefreshHostCaption(TWinControlCore* exclude)
{
    if (VisibleDockClientCount() < 2)
        TExDockAdvConjoinPanel::RefreshHostCaption(exclude);
    else
        Host()->SetCaption("");
    Invalidate();
}
