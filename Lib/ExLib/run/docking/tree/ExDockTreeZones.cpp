// Showing, hiding and removing the zones of a zone tree.

#include "ExLib/run/docking/tree/ExDockTree.h"

#include "ExLib/run/docking/support/ExDockStrings.h"

#include "Platform/core/Exceptions.h"

namespace {

constexpr TDockOrientation None = TDockOrientation::doNoOrient;

} // namespace

// ---- showing and hiding

void TExDockTree::ShowHideFinish()
{
    ExtendLastZones(nullptr);
    RefreshAll();
    InvalidateSite();
}

void TExDockTree::HideControlZone(TWinControlCore* control)
{
    if (FReloadZone)
        return;
    TExDockZone* zone = FindZone(control, false);
    if (!zone)
        return;
    int shownControls = 0;
    ForEachZone(nullptr, 0, false, [&](TExDockZone* z) {
        if (z->Control && z->Shown())
            ++shownControls;
    });
    zone->Hide(shownControls == 1 ? FRootExtent : zone->LimitSize(), true);
    SetDockOrientation(*control, None);
    ShowHideFinish();
}

void TExDockTree::ShowControlZone(TWinControlCore* control)
{
    if (FReloadZone)
        return;
    TExDockZone* zone = FindZone(control, true);
    if (!zone)
        return;
    zone->Show(zone->SavedSize, false);
    ShowHideFinish();
}

void TExDockTree::ShowAllZones()
{
    if (FReloadZone)
        return;
    std::vector<TExDockZone*> hidden;
    ForEachZone(nullptr, 0, false, [&](TExDockZone* z) {
        if (z->Control && !z->Shown())
            hidden.push_back(z);
    });
    for (TExDockZone* z : hidden)
        z->Show(z->SavedSize, true);
    ShowHideFinish();
}

void TExDockTree::HideAllZones()
{
    if (FReloadZone)
        return;
    std::vector<TExDockZone*> shown;
    ForEachZone(nullptr, 0, false, [&](TExDockZone* z) {
        if (z->Control && z->Shown())
            shown.push_back(z);
    });
    for (TExDockZone* z : shown)
        z->Hide(z->LimitSize(), true);
    ShowHideFinish();
}

void TExDockTree::ShowOnlyControl(TWinControlCore* control)
{
    if (FReloadZone || !control)
        return;
    std::vector<TExDockZone*> others;
    ForEachZone(nullptr, 0, false, [&](TExDockZone* z) {
        if (z->Control && z->Control != control && z->Shown())
            others.push_back(z);
    });
    for (TExDockZone* z : others) {
        z->Hide(z->LimitSize(), true);
        z->Control->SetVisible(false);
    }
    if (!ControlVisible(*control))
        if (TExDockZone* zone = FindZone(control, true)) {
            zone->Show(zone->SavedSize, false);
            control->SetVisible(true);
        }
    ShowHideFinish();
}

void TExDockTree::HideOnlyControl(TWinControlCore* control)
{
    if (FReloadZone || !control)
        return;
    std::vector<TExDockZone*> others;
    ForEachZone(nullptr, 0, false, [&](TExDockZone* z) {
        if (z->Control && z->Control != control && !z->Shown())
            others.push_back(z);
    });
    for (TExDockZone* z : others) {
        z->Show(z->SavedSize, false);
        z->Control->SetVisible(true);
    }
    if (ControlVisible(*control))
        if (TExDockZone* zone = FindZone(control, false)) {
            zone->Hide(zone->LimitSize(), true);
            control->SetVisible(false);
        }
    ShowHideFinish();
}

void TExDockTree::ControlVisibleChanged(TWinControlCore* control, bool visible)
{
    if (visible)
        ShowControlZone(control);
    else
        HideControlZone(control);
}

void TExDockTree::ReplaceZoneControl(TWinControlCore* control, TWinControlCore* newControl)
{
    if (TExDockZone* zone = FindZone(control, true)) {
        zone->Control = newControl;
        RefreshAll();
    }
}

// ---- removal

void TExDockTree::RemoveControl(TWinControlCore* control)
{
    TExDockZone* zone = FindZone(control, true);
    if (!zone)
        return;
    if (zone == FReloadZone) {
        zone->Control = nullptr;
    } else {
        if (zone->Shown() && zone->Parent && zone->Parent->Orientation != None)
            zone->Hide(zone->LimitSize(), false);
        UnlinkZone(zone);
        ExtendLastZones(nullptr);
        RefreshAll();
    }
    if (control && !control->ComponentState().Contains(csDestroying))
        SetDockOrientation(*control, None);
    InvalidateSite();
}

void TExDockTree::UnlinkFromList(TExDockZone* zone)
{
    if (zone->PrevZone)
        zone->PrevZone->NextZone = zone->NextZone;
    else if (zone->Parent)
        zone->Parent->FirstChild = zone->NextZone;
    if (zone->NextZone)
        zone->NextZone->PrevZone = zone->PrevZone;
    zone->PrevZone = nullptr;
    zone->NextZone = nullptr;
}

void TExDockTree::UnlinkZone(TExDockZone* zone)
{
    if (!zone)
        throw Exception(std::string(ExDockRes::ErrorRemovingControl) + ExDockRes::ZoneNotFound);
    if (!zone->Control)
        throw Exception(std::string(ExDockRes::ErrorRemovingControl) + ExDockRes::ZoneHasNoControl);
    TExDockZone* parent = zone->Parent;
    if (!parent) {
        FreeZone(zone);
        return;
    }
    if (parent->ChildCount() == 2) {
        TExDockZone* other = zone->PrevZone ? zone->PrevZone : zone->NextZone;
        UnlinkFromList(zone);
        CollapseIntoParent(zone, parent, other);
    } else {
        TExDockZone* prev = zone->PrevZone;
        TExDockZone* next = zone->NextZone;
        UnlinkFromList(zone);
        if (prev) {
            prev->Limit = zone->Limit;
            prev->UpdateControlBounds();
        } else if (next) {
            next->UpdateControlBounds();
        }
        if (!parent->FirstChild && parent != FRootZone)
            DropEmptyContainer(parent);
        else
            RefreshSubtree(parent);
    }
    FreeZone(zone);
    ExtendLastZones(nullptr);
    RefreshAll();
}

// The parent of a removed zone had two children: the other one takes the parent's place.
void TExDockTree::CollapseIntoParent(TExDockZone* zone, TExDockZone* parent, TExDockZone* other)
{
    (void)zone;
    if (other->Control) {
        if (parent == FRootZone) {
            other->PrevZone = nullptr;
            other->NextZone = nullptr;
            other->Limit = parent->LimitSize();
            other->UpdateControlBounds();
        } else {
            parent->Control = other->Control;
            parent->Orientation = None;
            parent->FirstChild = nullptr;
            parent->SetShown(other->Shown() || parent->Shown());
            FreeZone(other);
        }
        RefreshSubtree(parent);
        return;
    }
    if (parent == FRootZone) {
        other->Limit = FRootExtent;
        FRootExtent = parent->Limit;
        other->PrevZone = nullptr;
        other->NextZone = nullptr;
        other->Parent = nullptr;
        FRootZone = other;
        FreeZone(parent);
        return;
    }
    TExDockZone* grand = parent->Parent;
    TExDockZone* firstChild = other->FirstChild;
    if (!firstChild) {
        parent->FirstChild = nullptr;
        FreeZone(other);
        DropEmptyContainer(parent);
        return;
    }
    TExDockZone* lastChild = firstChild;
    for (TExDockZone* c = firstChild; c; c = c->NextZone) {
        c->Parent = grand;
        lastChild = c;
    }
    firstChild->PrevZone = parent->PrevZone;
    if (parent->PrevZone)
        parent->PrevZone->NextZone = firstChild;
    else
        grand->FirstChild = firstChild;
    lastChild->NextZone = parent->NextZone;
    if (parent->NextZone)
        parent->NextZone->PrevZone = lastChild;
    other->FirstChild = nullptr;
    FreeZone(other);
    FreeZone(parent);
    RefreshSubtree(grand);
}

// A container left without children leaves its own list too.
void TExDockTree::DropEmptyContainer(TExDockZone* container)
{
    TExDockZone* parent = container->Parent;
    if (!parent)
        return;
    TExDockZone* prev = container->PrevZone;
    UnlinkFromList(container);
    if (prev)
        prev->Limit = container->Limit;
    FreeZone(container);
    if (!parent->FirstChild && parent != FRootZone)
        DropEmptyContainer(parent);
    else
        RefreshSubtree(parent);
}

void TExDockTree::DeleteZoneTree(TExDockZone* zone)
{
    if (!zone)
        return;
    std::vector<TExDockZone*> below;
    ForEachInSubtree(zone, [&](TExDockZone* z) { below.push_back(z); });
    if (zone->Parent || zone->PrevZone)
        UnlinkFromList(zone);
    if (zone == FRootZone)
        FRootZone = nullptr;
    for (TExDockZone* z : below)
        FreeZone(z);
}
