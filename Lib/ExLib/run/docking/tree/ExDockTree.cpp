#include "ExLib/run/docking/tree/ExDockTree.h"

#include "ExLib/run/docking/support/ExDockStrings.h"
#include "ExLib/run/docking/support/ExDockSupportProc.h"

#include "Platform/core/Application.h"
#include "Platform/core/Exceptions.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr TDockOrientation H = TDockOrientation::doHorizontal;
constexpr TDockOrientation V = TDockOrientation::doVertical;
constexpr TDockOrientation None = TDockOrientation::doNoOrient;

TDockOrientation OrientationOfAlign(TAlign align)
{
    switch (align) {
    case TAlign::alTop:
    case TAlign::alBottom: return H;
    case TAlign::alLeft:
    case TAlign::alRight: return V;
    default: return None;
    }
}

// Rounds to the nearest integer, halves to the even neighbour.
int RoundEven(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

} // namespace

IExDockManager* ExDockManagerOf(const TDockSite* site)
{
    return site ? dynamic_cast<IExDockManager*>(site->DockManager()) : nullptr;
}

TExDockTree::TExDockTree(TDockSite& site, TExDockZoneFactory zoneClass)
    : FSite(site), FZoneClass(std::move(zoneClass))
{
    if (SiteControl().Hint().empty())
        SiteControl().SetHint(" "); // why: hints are asked only of controls that have one
    FRootZone = NewZone();
    BeginUpdate();
    try {
        for (int i = 0; i < FSite.DockClientCount(); ++i)
            InsertControl(FSite.DockClients(i), TAlign::alLeft, nullptr);
        FRootZone->ShareSpace(nullptr);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    HookSite();
}

TExDockTree::~TExDockTree()
{
    UnhookSite();
    FDragBar.reset();
    FZones.clear();
}

void TExDockTree::HookSite()
{
    FSavedWindowProc = SiteControl().WindowProc;
    SiteControl().WindowProc = [this](TMessage& m) { WindowProcHook(m); };
    FHooked = true;
}

void TExDockTree::UnhookSite() noexcept
{
    if (FHooked)
        SiteControl().WindowProc = FSavedWindowProc;
    FHooked = false;
}

TExDockZone* TExDockTree::NewZone()
{
    std::unique_ptr<TExDockZone> zone = FZoneClass ? FZoneClass(this) : std::make_unique<TExDockZone>(this);
    FZones.push_back(std::move(zone));
    return FZones.back().get();
}

void TExDockTree::FreeZone(TExDockZone* zone)
{
    if (zone == FReloadZone)
        FReloadZone = nullptr;
    if (zone == FDragZone)
        FDragZone = nullptr;
    const auto it = std::find_if(FZones.begin(), FZones.end(), [zone](const auto& z) { return z.get() == zone; });
    if (it != FZones.end())
        FZones.erase(it);
}

TRect TExDockTree::SiteClientRect() const
{
    TRect r = SiteControl().ClientRect();
    if (const auto* adjust = dynamic_cast<const IAlignClientRect*>(SiteControl().Widget()))
        adjust->AdjustClientRect(r);
    return r;
}

bool TExDockTree::SiteHasDockClients() const
{
    return FSite.DockClientCount() > 0;
}

void TExDockTree::InvalidateSite()
{
    SiteControl().Invalidate();
}

// ---- updating

void TExDockTree::BeginUpdate()
{
    ++FUpdateLevel;
}

void TExDockTree::EndUpdate()
{
    if (FUpdateLevel > 0)
        --FUpdateLevel;
    if (FUpdateLevel == 0)
        RefreshAll();
}

void TExDockTree::DecSuspendCount()
{
    if (FSuspendCount > 0)
        --FSuspendCount;
}

void TExDockTree::RefreshZone(TExDockZone* zone)
{
    if (!Updating())
        zone->UpdateControlBounds();
}

void TExDockTree::RefreshAll()
{
    if (Updating() || !SiteHasDockClients())
        return;
    ForEachZone(nullptr, 0, false, [this](TExDockZone* z) { RefreshZone(z); });
}

void TExDockTree::RefreshSubtree(TExDockZone* zone)
{
    if (Updating() || !SiteHasDockClients() || !zone)
        return;
    ForEachInSubtree(zone, [this](TExDockZone* z) { RefreshZone(z); });
}

void TExDockTree::ForEachZone(TExDockZone* zone, int order, bool childrenFirst,
                              const std::function<void(TExDockZone*)>& visit)
{
    if (!zone) {
        if (!FRootZone)
            FRootZone = NewZone();
        zone = FRootZone;
    }
    TExDockZone* next = zone->NextZone;
    TExDockZone* child = zone->FirstChild;
    auto siblings = [&] {
        if (next)
            ForEachZone(next, order, childrenFirst, visit);
    };
    auto children = [&] {
        if (child)
            ForEachZone(child, order, childrenFirst, visit);
    };
    switch (order) {
    case 0:
        visit(zone);
        childrenFirst ? (children(), siblings()) : (siblings(), children());
        break;
    case 1:
        childrenFirst ? children() : siblings();
        visit(zone);
        childrenFirst ? siblings() : children();
        break;
    default:
        siblings();
        children();
        visit(zone);
        break;
    }
}

void TExDockTree::ForEachInSubtree(TExDockZone* zone, const std::function<void(TExDockZone*)>& visit)
{
    if (!zone)
        return;
    visit(zone);
    for (TExDockZone* c = zone->FirstChild; c; c = c->NextZone)
        ForEachInSubtree(c, visit);
}

// ---- finding zones

TExDockZone* TExDockTree::FindZone(const TWinControlCore* control, bool includeHidden) const
{
    int depth = 0;
    return FindZoneDepth(control, depth, includeHidden);
}

TExDockZone* TExDockTree::FindZoneDepth(const TWinControlCore* control, int& depth, bool includeHidden) const
{
    if (!control)
        return nullptr;
    std::function<TExDockZone*(TExDockZone*, int)> search = [&](TExDockZone* z, int level) -> TExDockZone* {
        for (TExDockZone* s = z; s; s = s->NextZone)
            if (s->Control == control && (includeHidden || s->Shown())) {
                depth = level;
                return s;
            }
        for (TExDockZone* s = z; s; s = s->NextZone)
            if (TExDockZone* found = search(s->FirstChild, level + 1))
                return found;
        return nullptr;
    };
    return search(FRootZone, 0);
}

void TExDockTree::GetControlBounds(TWinControlCore* control, TRect& rect)
{
    TExDockZone* zone = FindZone(control, false);
    rect = zone ? zone->ZoneRect() : TRect{};
}

void TExDockTree::SetReplacingControl(TWinControlCore* control)
{
    FReloadZone = FindZone(control, false);
}

// ---- insertion

void TExDockTree::InsertControl(TWinControlCore* control, TAlign insertAt, TWinControlCore* dropControl)
{
    if (FReloadZone) {
        FReloadZone->Control = control;
        FReloadZone->UpdateControlBounds();
        return;
    }
    if (!FRootZone)
        return;
    if (!FRootZone->FirstChild) {
        TRect r = SiteClientRect();
        AdjustControlRect(control, r);
        control->SetBounds(r.Left, r.Top, r.Width(), r.Height());
        TExDockZone* zone = NewZone();
        zone->Control = control;
        zone->Parent = FRootZone;
        FRootZone->FirstChild = zone;
        InvalidateSite();
        return;
    }
    if (insertAt == TAlign::alNone || insertAt == TAlign::alClient)
        insertAt = TAlign::alRight;
    if (TExDockZone* existing = FindZone(control, true))
        UnlinkZone(existing);
    TExDockZone* dropZone = FindZone(dropControl, false);
    const TDockOrientation newOrientation = OrientationOfAlign(insertAt);
    if (FRootZone->ChildCount() == 1 && FRootZone->FirstChild) {
        const TRect only = FRootZone->FirstChild->ZoneRect();
        FRootZone->Orientation = newOrientation;
        FRootZone->Limit = newOrientation == H ? only.Width() : only.Height();
        FRootExtent = newOrientation == H ? only.Height() : only.Width();
        // The only zone reaches to the far edge along the new axis until it shares it.
        FRootZone->FirstChild->Limit = newOrientation == H ? only.Bottom : only.Right;
    }
    TExDockZone* zone = NewZone();
    zone->Control = control;
    TDockOrientation dropOrientation = dropZone && dropZone->Parent ? dropZone->Parent->Orientation
                                                                    : FRootZone->Orientation;
    if (dropOrientation == None)
        dropOrientation = newOrientation;
    const bool after = insertAt == TAlign::alBottom || insertAt == TAlign::alRight;
    if (dropOrientation == newOrientation)
        InsertAsSibling(zone, dropZone, true, after);
    else
        InsertAsNewParent(zone, dropZone, true, after, newOrientation);
    InvalidateSite();
}

void TExDockTree::InsertAsSibling(TExDockZone* zone, TExDockZone* sibling, bool update, bool after)
{
    if (sibling && zone->Control && sibling->Control == zone->Control)
        sibling = nullptr;
    if (!sibling) {
        sibling = FRootZone->FirstChild;
        if (after && sibling)
            while (sibling->NextZone)
                sibling = sibling->NextZone;
    }
    TExDockZone* parent = sibling ? sibling->Parent : FRootZone;
    zone->Parent = parent;
    if (!sibling) {
        parent->FirstChild = zone;
    } else if (after) {
        zone->PrevZone = sibling;
        zone->NextZone = sibling->NextZone;
        if (sibling->NextZone)
            sibling->NextZone->PrevZone = zone;
        sibling->NextZone = zone;
    } else {
        zone->NextZone = sibling;
        zone->PrevZone = sibling->PrevZone;
        if (sibling->PrevZone)
            sibling->PrevZone->NextZone = zone;
        else
            parent->FirstChild = zone;
        sibling->PrevZone = zone;
    }
    if (update) {
        parent->ShareSpace(nullptr);
        if (!Updating() && SiteHasDockClients())
            RefreshSubtree(parent);
    }
}

void TExDockTree::InsertAsNewParent(TExDockZone* zone, TExDockZone* sibling, bool update, bool after,
                                    TDockOrientation orientation)
{
    TExDockZone* container = NewZone();
    container->Orientation = orientation;
    if (sibling) {
        container->Limit = sibling->Limit;
        container->Parent = sibling->Parent;
        container->PrevZone = sibling->PrevZone;
        container->NextZone = sibling->NextZone;
        if (sibling->PrevZone)
            sibling->PrevZone->NextZone = container;
        else if (sibling->Parent)
            sibling->Parent->FirstChild = container;
        if (sibling->NextZone)
            sibling->NextZone->PrevZone = container;
        TExDockZone* first = after ? sibling : zone;
        TExDockZone* second = after ? zone : sibling;
        first->Parent = container;
        second->Parent = container;
        first->PrevZone = nullptr;
        first->NextZone = second;
        second->PrevZone = first;
        second->NextZone = nullptr;
        container->FirstChild = first;
        if (after && container->Parent)
            sibling->Limit = container->Parent->Limit;
    } else {
        TExDockZone* oldRoot = FRootZone;
        container->Limit = FRootExtent;
        FRootExtent = oldRoot->Limit;
        FRootZone = container;
        AdjustOrientation = orientation;
        ScaleFactor = 0.5;
        TExDockZone* first = after ? oldRoot : zone;
        TExDockZone* second = after ? zone : oldRoot;
        first->Parent = container;
        second->Parent = container;
        first->PrevZone = nullptr;
        first->NextZone = second;
        second->PrevZone = first;
        second->NextZone = nullptr;
        container->FirstChild = first;
        if (after) {
            oldRoot->SetShown(oldRoot->VisibleChildCount() > 0);
            ScaleOrigin = 0;
            ForEachInSubtree(oldRoot, [this](TExDockZone* z) { RescaleZone(z); });
        } else {
            zone->Limit = FRootExtent / 2;
            ScaleOrigin = 0;
            ForEachInSubtree(oldRoot, [this](TExDockZone* z) { RescaleZone(z); });
            ShiftAmount = FRootExtent / 2;
            ForEachInSubtree(oldRoot, [this](TExDockZone* z) { OffsetZone(z); });
        }
        ForEachZone(nullptr, 0, false, [this](TExDockZone* z) { RefreshZone(z); });
    }
    if (update) {
        container->ShareSpace(nullptr);
        ForEachZone(nullptr, 0, false, [this](TExDockZone* z) { RefreshZone(z); });
    }
}

void TExDockTree::RescaleZone(TExDockZone* zone)
{
    RescaleChild(zone);
}

void TExDockTree::RescaleChild(TExDockZone* zone)
{
    if (zone->Shown() && zone->Parent && zone->Parent->Orientation == AdjustOrientation)
        zone->Limit = RoundEven(zone->Limit * ScaleFactor + (1.0 - ScaleFactor) * ScaleOrigin);
}

void TExDockTree::RescaleSibling(TExDockZone* zone)
{
    RescaleChild(zone);
}

void TExDockTree::OffsetZone(TExDockZone* zone)
{
    if (!zone->Parent || zone->Parent->Orientation != AdjustOrientation)
        return;
    zone->Limit += ShiftAmount;
    if (zone->LimitSize() < FMinZoneSize)
        zone->Limit = zone->LimitBegin() + FMinZoneSize;
}

// ---- fitting

void TExDockTree::ResetBounds(bool force)
{
    if (!FRootZone || !SiteHasDockClients())
        return;
    const TRect r = SiteClientRect();
    if (!force && r == FLastClientRect)
        return;
    FLastClientRect = r;
    if (FRootZone->Orientation == H) {
        FRootZone->Limit = r.Width();
        if (r.Height() > 0)
            FRootExtent = r.Height();
    } else if (FRootZone->Orientation == V) {
        FRootZone->Limit = r.Height();
        if (r.Width() > 0)
            FRootExtent = r.Width();
    }
    ExtendLastZones(nullptr);
    if (!Updating())
        ForEachZone(nullptr, 0, false, [this](TExDockZone* z) { RefreshZone(z); });
}

void TExDockTree::ExtendLastZones(TExDockZone* zone)
{
    if (LayoutLoading() || !FRootZone)
        return;
    TExDockZone* start = zone ? zone : FRootZone->FirstChild;
    if (!start)
        return;
    ForEachZone(start, 0, false, [this](TExDockZone* z) {
        if (!z->Parent || z->NextVisible())
            return;
        z->Limit = z->Parent == FRootZone ? FRootExtent : (z->Parent->Parent ? z->Parent->Parent->Limit : z->Limit);
    });
    InvalidateSite();
}

// ---- sizes

void TExDockTree::SetGrabbersSize(int value)
{
    if (value == FGrabbersSize)
        return;
    FGrabbersSize = value;
    RefreshAll();
    InvalidateSite();
}

void TExDockTree::SetSplitterWidth(int value)
{
    if (value == FSplitterWidth)
        return;
    FSplitterWidth = value;
    if (!Updating())
        RefreshAll();
}

void TExDockTree::SetBorderWidth(int value)
{
    if (value == FBorderWidth)
        return;
    FBorderWidth = value;
    if (!Updating())
        RefreshAll();
}

int TExDockTree::SiteSizeAlongOrientation()
{
    switch (DockOrientationOf(&SiteControl())) {
    case 1: return SiteControl().Height();
    case 2: return SiteControl().Width();
    default: throw Exception(ExDockRes::CannotGetOrientationData);
    }
}

void TExDockTree::SetSiteSizeAlongOrientation(int value)
{
    TWinControlCore& site = SiteControl();
    const int orientation = DockOrientationOf(&site);
    if (orientation == 0)
        throw Exception(ExDockRes::CannotSetOrientationData);
    const TAlignDisabler disabled(site.Widget()->parentWidget());
    const TAlign align = AlignOf(site);
    if (orientation == 1) {
        const int top = align == TAlign::alBottom ? site.Top() + site.Height() - value : site.Top();
        site.SetBounds(site.Left(), top, site.Width(), value);
    } else {
        const int left = align == TAlign::alRight ? site.Left() + site.Width() - value : site.Left();
        site.SetBounds(left, site.Top(), value, site.Height());
    }
}

void TExDockTree::AdjustControlRect(TWinControlCore* control, TRect& r)
{
    (void)control;
    InflateRect(r, -FBorderWidth, -FBorderWidth);
    switch (GrabberPosition()) {
    case gpTop: r.Top += FGrabbersSize; break;
    case gpBottom: r.Bottom -= FGrabbersSize; break;
    case gpLeft: r.Left += FGrabbersSize; break;
    case gpRight: r.Right -= FGrabbersSize; break;
    default: break;
    }
}

int TExDockTree::GrabberPosition() const
{
    const TAlign align = AlignOf(SiteControl());
    return align == TAlign::alTop || align == TAlign::alBottom ? gpLeft : gpTop;
}

bool TExDockTree::DockEdgeHook(const TRect& r, TPoint p, TAlign& align)
{
    (void)r, (void)p, (void)align;
    return false;
}

void TExDockTree::InfluenceRect(TRect& r)
{
    r = ScreenBounds(SiteControl());
    InflateRect(r, 10, 10);
}

int TExDockTree::OuterLimit(TDockOrientation o, bool isBegin)
{
    if (!FRootZone)
        return 0;
    if (FRootZone->ChildCount() == 1) {
        if (isBegin)
            return 0;
        return o == H ? SiteControl().Height() : SiteControl().Width();
    }
    int result = 0;
    if (o == FRootZone->Orientation) {
        if (isBegin) {
            if (TExDockZone* last = FRootZone->LastVisibleChild())
                result = last->LimitBegin();
        } else if (TExDockZone* first = FRootZone->FirstVisibleChild()) {
            result = first->Limit;
        }
    }
    if (FRootZone->FirstChild)
        FRootZone->FirstChild->CollectInnerBound(o, isBegin, result);
    return result;
}

void TExDockTree::ControlZoneRect(TWinControlCore* control, TRect& r)
{
    if (!control)
        throw Exception(ExDockRes::ControlCannotBeNil);
    TRect adjusted = control->BoundsRect();
    AdjustControlRect(control, adjusted);
    const int left = control->Left();
    const int top = control->Top();
    const int right = left + control->Width();
    const int bottom = top + control->Height();
    r = Rect(std::max(0, 2 * left - adjusted.Left - 1), 2 * top - adjusted.Top, 2 * right - adjusted.Right,
             2 * bottom - adjusted.Bottom);
}

void TExDockTree::ControlZoneScreenRect(TWinControlCore* control, TRect& r)
{
    ControlZoneRect(control, r);
    const TPoint origin = SiteControl().ClientToScreen({0, 0});
    OffsetRect(r, origin.X, origin.Y);
}

void TExDockTree::PositionDockRect(TWinControlCore* client, TWinControlCore* dropControl, TAlign dropAlign,
                                   TRect& dockRect)
{
    (void)client;
    TRect r;
    if (dropControl && DockOrientation(*dropControl) != None && FSite.VisibleDockClientCount() > 1) {
        r = dropControl->BoundsRect();
        const int w = r.Width() / 2;
        const int h = r.Height() / 2;
        switch (dropAlign) {
        case TAlign::alLeft: r.Right = r.Left + w; break;
        case TAlign::alRight: r.Left += w; r.Right = r.Left + w; break;
        case TAlign::alTop: r.Bottom = r.Top + h; break;
        case TAlign::alBottom: r.Top += h; r.Bottom = r.Top + h; break;
        default: break;
        }
    } else {
        r = Rect(0, 0, SiteControl().ClientWidth(), SiteControl().ClientHeight());
        if (FSite.VisibleDockClientCount() > 0) {
            switch (dropAlign) {
            case TAlign::alTop: r.Bottom = r.Bottom / 2; break;
            case TAlign::alBottom: r.Top = r.Bottom / 2; break;
            case TAlign::alLeft: r.Right = r.Right / 2; break;
            case TAlign::alRight: r.Left = r.Right / 2; break;
            default: break;
            }
        }
    }
    const TPoint origin = SiteControl().ClientToScreen({0, 0});
    OffsetRect(r, origin.X, origin.Y);
    dockRect = r;
}
