#include "ExLib/run/docking/tree/ExDockAdvTree.h"

#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/control/ExDockPanel.h"
#include "ExLib/run/docking/support/ExDockStrings.h"

#include "Platform/core/Exceptions.h"

TExDockZoneFactory AdvZoneClass()
{
    return [](TExDockTree* tree) { return std::make_unique<TExDockAdvZone>(tree); };
}

TExDockAdvZone::~TExDockAdvZone()
{
    if (auto* tree = dynamic_cast<TExDockAdvTree*>(Tree); tree && tree->PressedZone == this)
        tree->PressedZone = nullptr;
}

void TExDockAdvZone::Undock()
{
    if (TExDockClient* client = CurrentDockClient(); client && client->DockStyle())
        client->DockStyle()->RedockClient(client);
}

TExDockAdvTree::TExDockAdvTree(TDockSite& site, TExDockZoneFactory zoneClass)
    : TExDockTree(site, zoneClass ? std::move(zoneClass) : AdvZoneClass())
{
    if (auto* panel = dynamic_cast<TExDockAdvPanel*>(&site)) {
        if (panel->AdvTree)
            throw Exception(ExDockRes::AssertionFailure);
        panel->AdvTree = this;
    }
}

TExDockAdvTree::~TExDockAdvTree()
{
    if (auto* panel = dynamic_cast<TExDockAdvPanel*>(&DockSite()); panel && panel->AdvTree == this)
        panel->AdvTree = nullptr;
}

bool TExDockAdvTree::LButtonDownHook(TMessage& message, TExDockZone*& zone, int& code)
{
    const bool consumed = TExDockTree::LButtonDownHook(message, zone, code);
    if (code == HTCLOSE_ZONE)
        if (auto* adv = dynamic_cast<TExDockAdvZone*>(zone)) {
            adv->CloseButtonDown = true;
            adv->PressStarted = true;
            PressedZone = adv;
            InvalidateSite();
        }
    return consumed;
}

void TExDockAdvTree::MouseMoveHook(TMessage& message, TExDockZone*& zone, int& code)
{
    TExDockTree::MouseMoveHook(message, zone, code);
    if (DragZone() || !PressedZone || !PressedZone->PressStarted)
        return;
    const bool over = zone == PressedZone && code == HTCLOSE_ZONE;
    if (over != PressedZone->CloseButtonDown) {
        PressedZone->CloseButtonDown = over;
        InvalidateSite();
    }
}

void TExDockAdvTree::LButtonUpHook(TMessage& message, TExDockZone*& zone, int& code)
{
    const bool draggingSplitter = DragZone() != nullptr;
    TExDockTree::LButtonUpHook(message, zone, code);
    if (draggingSplitter)
        return;
    if (PressedZone) {
        PressedZone->CloseButtonDown = false;
        PressedZone->PressStarted = false;
    }
    PressedZone = nullptr;
    InvalidateSite();
}

void TExDockAdvTree::InsertAsSibling(TExDockZone* zone, TExDockZone* sibling, bool update, bool after)
{
    TExDockTree::InsertAsSibling(zone, sibling, false, after);
    if (!update)
        return;
    zone->Show(DropSize, false);
    ExtendLastZones(zone->Parent);
    RefreshSubtree(zone->Parent);
}

void TExDockAdvTree::InsertAsNewParent(TExDockZone* zone, TExDockZone* sibling, bool update, bool after,
                                       TDockOrientation orientation)
{
    TExDockZone* savedReload = ReloadZone();
    if (!sibling)
        SetReloadZone(after ? RootZone() : zone);
    try {
        TExDockTree::InsertAsNewParent(zone, sibling, false, after, orientation);
    } catch (...) {
        if (!sibling)
            SetReloadZone(savedReload);
        throw;
    }
    if (!sibling)
        SetReloadZone(savedReload);
    if (!update)
        return;
    zone->Show(DropSize, false);
    RefreshSubtree(zone->Parent);
    ExtendLastZones(zone->Parent);
}

void TExDockAdvTree::RescaleZone(TExDockZone* zone)
{
    if (zone == ReloadZone())
        AdjustOrientation = TDockOrientation::doNoOrient;
    TExDockTree::RescaleZone(zone);
}

void TExDockAdvTree::RescaleChild(TExDockZone* zone)
{
    if (zone == ReloadZone())
        AdjustOrientation = TDockOrientation::doNoOrient;
    TExDockTree::RescaleChild(zone);
}

void TExDockAdvTree::RescaleSibling(TExDockZone* zone)
{
    if (zone == ReloadZone())
        AdjustOrientation = TDockOrientation::doNoOrient;
    TExDockTree::RescaleSibling(zone);
}

void TExDockAdvTree::OffsetZone(TExDockZone* zone)
{
    if (zone == ReloadZone())
        AdjustOrientation = TDockOrientation::doNoOrient;
    TExDockTree::OffsetZone(zone);
}
