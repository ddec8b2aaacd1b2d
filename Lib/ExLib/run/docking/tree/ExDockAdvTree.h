#pragma once
// The advanced zone tree between the base tree and the trees of the caption-bar styles: caption
// button metrics, a pressed state of the close button that follows the mouse, a size with which
// a newly inserted zone is shown, and showing and hiding handed entirely to the zone class.

#include "ExLib/run/docking/tree/ExDockTree.h"

class TExDockAdvZone : public TExDockZone {
public:
    explicit TExDockAdvZone(TExDockTree* tree) : TExDockZone(tree) {}
    ~TExDockAdvZone() override;
    bool CloseButtonDown = false;
    bool PressStarted = false;

    // Sends the control back through its style rather than floating it.
    void Undock() override;
    void Show(int size, bool flag) override { VisibilityChanging(size, true, flag); }
    void Hide(int size, bool flag) override { VisibilityChanging(size, false, flag); }
};

class TExDockAdvTree : public TExDockTree {
public:
    // An assertion failure when the site is an advanced dock panel that has a tree already.
    TExDockAdvTree(TDockSite& site, TExDockZoneFactory zoneClass);
    ~TExDockAdvTree() override;

    int ButtonHeight = 12;
    int ButtonWidth = 12;
    int RightOffset = 0;
    int VerticalOffset = 0;
    int ButtonSplitter = 2;
    int DropSize = 0;
    TExDockAdvZone* PressedZone = nullptr;

    void MouseMoveHook(TMessage& message, TExDockZone*& zone, int& code) override;
    bool LButtonDownHook(TMessage& message, TExDockZone*& zone, int& code) override;
    void LButtonUpHook(TMessage& message, TExDockZone*& zone, int& code) override;
    void InsertAsNewParent(TExDockZone* zone, TExDockZone* sibling, bool update, bool after,
                           TDockOrientation orientation) override;
    void InsertAsSibling(TExDockZone* zone, TExDockZone* sibling, bool update, bool after) override;
    void RescaleZone(TExDockZone* zone) override;
    void RescaleChild(TExDockZone* zone) override;
    void RescaleSibling(TExDockZone* zone) override;
    void OffsetZone(TExDockZone* zone) override;
};

// Zones of the advanced tree.
TExDockZoneFactory AdvZoneClass();
