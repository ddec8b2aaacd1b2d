#include "ExLib/run/docking/support/ExDockSupportClass.h"

#include <algorithm>

TExDockBaseZone* TExDockBaseZone::GetParentZone() const
{
    if (ParentZone)
        return ParentZone;
    for (const TExDockBaseZone* z = PrevSibling; z; z = z->PrevSibling)
        if (z->ParentZone)
            return z->ParentZone;
    return nullptr;
}

int TExDockBaseZone::ChildCount() const
{
    int n = 0;
    for (const TExDockBaseZone* z = ChildZone; z; z = z->NextSibling)
        ++n;
    return n;
}

TExDockBaseZone* TExDockBaseZone::ChildAt(int index) const
{
    TExDockBaseZone* z = ChildZone;
    for (int i = 0; z && i < index; ++i)
        z = z->NextSibling;
    return index < 0 ? nullptr : z;
}

TExDockBaseTree::TExDockBaseTree(TExDockBaseZoneFactory zoneClass) : FZoneClass(std::move(zoneClass))
{
    TopTreeZone = NewZone();
    CurrTreeZone = TopTreeZone;
}

TExDockBaseTree::~TExDockBaseTree()
{
    Mode = 3;
    ScanProc = nullptr;
    PostOrderScan(TopTreeZone);
    Mode = 0;
    // Zones that were never linked go with the pool.
}

TExDockBaseZone* TExDockBaseTree::NewZone()
{
    std::unique_ptr<TExDockBaseZone> zone =
        FZoneClass ? FZoneClass(this) : std::make_unique<TExDockBaseZone>(this);
    FZones.push_back(std::move(zone));
    return FZones.back().get();
}

void TExDockBaseTree::FreeZone(TExDockBaseZone* zone)
{
    const auto it = std::find_if(FZones.begin(), FZones.end(), [zone](const auto& z) { return z.get() == zone; });
    if (it != FZones.end())
        FZones.erase(it);
}

void TExDockBaseTree::PreOrderScan(TExDockBaseZone* zone)
{
    if (!zone)
        return;
    ScanZone(zone);
    PreOrderScan(zone->ChildZone);
    PreOrderScan(zone->NextSibling);
}

void TExDockBaseTree::PostOrderScan(TExDockBaseZone* zone)
{
    if (!zone)
        return;
    PostOrderScan(zone->ChildZone);
    PostOrderScan(zone->NextSibling);
    ScanZone(zone);
}

void TExDockBaseTree::MiddleOrderScan(TExDockBaseZone* zone)
{
    if (!zone)
        return;
    MiddleOrderScan(zone->ChildZone);
    // why: the visit may free nothing, but read the link first all the same.
    TExDockBaseZone* next = zone->NextSibling;
    ScanZone(zone);
    MiddleOrderScan(next);
}

void TExDockBaseTree::ScanZone(TExDockBaseZone* zone)
{
    if (ScanProc)
        ScanProc(zone);
    if (Mode == 3)
        FreeZone(zone);
}

TExDockBaseZone* TExDockBaseTree::AddChildZone(TExDockBaseZone* parent, TExDockBaseZone* zone)
{
    if (parent->ChildZone)
        return AddNextSibling(parent->ChildZone, zone);
    if (!zone)
        zone = NewZone();
    parent->ChildZone = zone;
    zone->ParentZone = parent;
    return zone;
}

TExDockBaseZone* TExDockBaseTree::AddNextSibling(TExDockBaseZone* zone, TExDockBaseZone* newZone)
{
    TExDockBaseZone* last = zone;
    while (last->NextSibling)
        last = last->NextSibling;
    if (!newZone)
        newZone = NewZone();
    last->NextSibling = newZone;
    newZone->PrevSibling = last;
    newZone->ParentZone = last->ParentZone;
    return newZone;
}

TExDockBaseZone* TExDockBaseTree::InsertPrevSibling(TExDockBaseZone* zone, TExDockBaseZone* newZone)
{
    if (!newZone)
        newZone = NewZone();
    newZone->ParentZone = zone->ParentZone;
    newZone->NextSibling = zone;
    newZone->PrevSibling = zone->PrevSibling;
    if (zone->PrevSibling)
        zone->PrevSibling->NextSibling = newZone;
    else if (zone->ParentZone)
        zone->ParentZone->ChildZone = newZone;
    else
        TopTreeZone = newZone;
    zone->PrevSibling = newZone;
    return newZone;
}
