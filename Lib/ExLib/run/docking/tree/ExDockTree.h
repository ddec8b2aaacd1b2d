#pragma once
// The zone tree of a dock site: it divides the site's client area into nested zones. A leaf zone
// holds one docked control; a container zone stacks its children top to bottom (horizontal) or
// side by side (vertical), and a splitter strip separates neighbouring zones. The tree inserts
// and removes controls, shares space when zones appear or vanish, lets the user drag
// splitters, draws the grabber band (caption strip with close button) beside each docked
// control, turns mouse actions on grabbers into non-client mouse events of the control's dock
// client, and saves and restores its layout as the dock-site stream.
//
// Coordinates are client coordinates of the site. A zone's Limit is the coordinate of its far
// edge along its parent's stacking axis; the root's Limit is its extent across its own axis and
// RootExtent its extent along it. The tree owns its zones; zones never own controls.

#include "ExLib/run/docking/support/ExDockOverlay.h"

#include "Platform/docking/DockCore.h"
#include "Platform/graphics/Canvas.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TExDockTree;
class TExDockClient;

// Hit-test codes of the parts of a zone.
enum : int {
    HTCLIENT_ZONE = 1,
    HTCAPTION_ZONE = 2,
    HTBORDER_ZONE = 18,
    HTCLOSE_ZONE = 20,
    HTSPLITTER = 30,
    HTNONE = 31,
};

// Positions of the grabber band.
enum : int { gpTop = 0, gpBottom = 1, gpLeft = 2, gpRight = 3 };

class TExDockZone {
public:
    explicit TExDockZone(TExDockTree* tree);
    virtual ~TExDockZone();
    TExDockZone(const TExDockZone&) = delete;
    TExDockZone& operator=(const TExDockZone&) = delete;

    TWinControlCore* Control = nullptr;
    TExDockZone* FirstChild = nullptr;
    TExDockZone* NextZone = nullptr;
    TDockOrientation Orientation = TDockOrientation::doNoOrient;
    TExDockZone* Parent = nullptr;
    TExDockZone* PrevZone = nullptr;
    TExDockTree* Tree;
    std::int32_t Limit = 0;
    std::int32_t SavedSize = 0;
    bool ControlShown = false;
    bool DockedHere = true;

    bool Shown() const { return FShown; }
    // Hiding a non-root zone records its SavedSize first.
    void SetShown(bool value);

    TDockOrientation ParentOrientation() const;
    int LimitBegin() const;
    int LimitSize() const;
    int EdgeOf(TDockOrientation o) const;
    int ExtentOf(TDockOrientation o) const;
    // Left and top from EdgeOf, width and height from ExtentOf.
    TRect ZoneRect() const;

    int ChildCount() const;
    int VisibleChildCount() const;
    TExDockZone* FirstVisibleChild() const;
    // The last shown child before the first hidden one.
    TExDockZone* LastVisibleChild() const;
    TExDockZone* NextVisible() const;
    TExDockZone* PrevVisible() const;
    // Shown zones among the following siblings and everything below them.
    int NextSiblingsVisibleTotal() const;
    // Shown zones below this one.
    int VisibleDescendantCount() const;

    // Floats the control.
    virtual void Undock();
    virtual int InnerBound(bool isEnd);
    virtual void CollectInnerBound(TDockOrientation o, bool isEnd, int& bound);
    virtual void BeforeReload() {}
    virtual void ApplyControlVisible();
    virtual void Show(int size, bool flag);
    virtual void Hide(int size, bool flag);
    virtual void VisibilityChanging(int size, bool showing, bool flag) { (void)size, (void)showing, (void)flag; }
    virtual void ShareSpace(TExDockZone* except);
    virtual void UpdateControlBounds();
    virtual TRect GetFrameRect();
    virtual void NotifySize(int size, bool showing) { VisibilityChanging(size, showing, false); }

private:
    bool FShown = true;
};

using TExDockZoneFactory = std::function<std::unique_ptr<TExDockZone>(TExDockTree* tree)>;

// The operations the dock controls reach a zone tree through.
class IExDockManager : public IDockManager {
public:
    virtual TWinControlCore* GetActiveControl() = 0;
    virtual void SetActiveControl(TWinControlCore* control) = 0;
    virtual int GetGrabbersSize() = 0;
    virtual void SetGrabbersSize(int value) = 0;
    virtual int GetSplitterWidth() = 0;
    virtual void SetSplitterWidth(int value) = 0;
    virtual int GetBorderWidth() = 0;
    virtual void SetBorderWidth(int value) = 0;
    virtual TRect GetDockRect() = 0;
    virtual void SetDockRect(const TRect& r) = 0;
    virtual int SiteSizeAlongOrientation() = 0;
    virtual void SetSiteSizeAlongOrientation(int value) = 0;
    virtual int GetMinZoneSize() = 0;
    virtual void IncSuspendCount() = 0;
    virtual void DecSuspendCount() = 0;
    virtual bool DockEdgeHook(const TRect& r, TPoint p, TAlign& align) = 0;
    virtual int HitTestCode(TPoint p) = 0;
    virtual void InfluenceRect(TRect& r) = 0;
    virtual void ShowControlZone(TWinControlCore* control) = 0;
    virtual void HideControlZone(TWinControlCore* control) = 0;
    virtual void ShowAllZones() = 0;
    virtual void HideAllZones() = 0;
    virtual void ShowOnlyControl(TWinControlCore* control) = 0;
    virtual void HideOnlyControl(TWinControlCore* control) = 0;
    virtual void ReplaceZoneControl(TWinControlCore* control, TWinControlCore* newControl) = 0;
    virtual bool HasZone(TWinControlCore* control) = 0;
    virtual int OuterLimit(TDockOrientation o, bool isBegin) = 0;
    virtual void ControlZoneRect(TWinControlCore* control, TRect& r) = 0;
    virtual void ControlZoneScreenRect(TWinControlCore* control, TRect& r) = 0;
};

// The dock manager of a site, when it is a zone tree.
IExDockManager* ExDockManagerOf(const TDockSite* site);

class TExDockTree : public IExDockManager {
public:
    TExDockTree(TDockSite& site, TExDockZoneFactory zoneClass);
    ~TExDockTree() override;
    TExDockTree(const TExDockTree&) = delete;
    TExDockTree& operator=(const TExDockTree&) = delete;

    // ---- the manager interface
    void BeginUpdate() override;
    void EndUpdate() override;
    void GetControlBounds(TWinControlCore* control, TRect& rect) override;
    void InsertControl(TWinControlCore* control, TAlign insertAt, TWinControlCore* dropControl) override;
    void LoadFromStream(TStream& stream) override;
    void PaintSite(QPainter* painter) override;
    void PositionDockRect(TWinControlCore* client, TWinControlCore* dropControl, TAlign dropAlign,
                          TRect& dockRect) override;
    void RemoveControl(TWinControlCore* control) override;
    void ResetBounds(bool force) override;
    void SaveToStream(TStream& stream) override;
    void SetReplacingControl(TWinControlCore* control) override;
    TWinControlCore* GetActiveControl() override { return FActiveControl; }
    void SetActiveControl(TWinControlCore* control) override { FActiveControl = control; }
    int GetGrabbersSize() override { return FGrabbersSize; }
    void SetGrabbersSize(int value) override;
    int GetSplitterWidth() override { return FSplitterWidth; }
    void SetSplitterWidth(int value) override;
    int GetBorderWidth() override { return FBorderWidth; }
    void SetBorderWidth(int value) override;
    TRect GetDockRect() override { return FDockRect; }
    void SetDockRect(const TRect& r) override { FDockRect = r; }
    int SiteSizeAlongOrientation() override;
    void SetSiteSizeAlongOrientation(int value) override;
    int GetMinZoneSize() override { return FMinZoneSize; }
    void IncSuspendCount() override { ++FSuspendCount; }
    void DecSuspendCount() override;
    bool DockEdgeHook(const TRect& r, TPoint p, TAlign& align) override;
    int HitTestCode(TPoint p) override;
    void InfluenceRect(TRect& r) override;
    void ShowControlZone(TWinControlCore* control) override;
    void HideControlZone(TWinControlCore* control) override;
    void ShowAllZones() override;
    void HideAllZones() override;
    void ShowOnlyControl(TWinControlCore* control) override;
    void HideOnlyControl(TWinControlCore* control) override;
    void ReplaceZoneControl(TWinControlCore* control, TWinControlCore* newControl) override;
    bool HasZone(TWinControlCore* control) override { return FindZone(control, true) != nullptr; }
    int OuterLimit(TDockOrientation o, bool isBegin) override;
    void ControlZoneRect(TWinControlCore* control, TRect& r) override;
    void ControlZoneScreenRect(TWinControlCore* control, TRect& r) override;

    // ---- state
    TDockSite& DockSite() const { return FSite; }
    TWinControlCore& SiteControl() const { return FSite.SiteControl(); }
    TExDockZone* RootZone() const { return FRootZone; }
    int RootExtent() const { return FRootExtent; }
    void SetRootExtent(int value) { FRootExtent = value; }
    int UpdateLevel() const { return FUpdateLevel; }
    bool Updating() const { return FUpdateLevel > 0; }
    TExDockZone* ReloadZone() const { return FReloadZone; }
    void SetReloadZone(TExDockZone* zone) { FReloadZone = zone; }
    TExDockZone* DragZone() const { return FDragZone; }
    TPoint SplitterPos() const { return FSplitterPos; }
    int SuspendCount() const { return FSuspendCount; }
    int StreamVersion() const { return FStreamVersion; }
    int LastHintCode() const { return FLastHintCode; }
    TExDockOverlay* DragBar() const { return FDragBar.get(); }
    bool GrabberLines = true;
    TColor GrabberColor = clBtnFace;
    TColor GrabberBorderColor = clBtnShadow;

    // The site's client rectangle after the site's own adjustment.
    TRect SiteClientRect() const;
    bool SiteHasDockClients() const;
    // A new zone of the tree's zone class, owned by the tree.
    TExDockZone* NewZone();

    // ---- virtual operations
    virtual void WindowProcHook(TMessage& message);
    virtual void StartControlDrag(TWinControlCore* control, bool immediate, int threshold);
    virtual bool MouseToNCMessage(TMessage& message, TExDockZone*& zone, TMessage& ncMessage, int& code);
    virtual void MouseMoveHook(TMessage& message, TExDockZone*& zone, int& code);
    virtual bool LButtonDownHook(TMessage& message, TExDockZone*& zone, int& code);
    virtual void LButtonUpHook(TMessage& message, TExDockZone*& zone, int& code);
    virtual void LButtonDblClkHook(TMessage& message, TExDockZone*& zone, int& code);
    virtual void MButtonDownHook(TMessage& message, TExDockZone*& zone, int& code);
    virtual void MButtonUpHook(TMessage& message, TExDockZone*& zone, int& code);
    virtual void RButtonDownHook(TMessage& message, TExDockZone*& zone, int& code);
    virtual void RButtonUpHook(TMessage& message, TExDockZone*& zone, int& code);
    virtual void CloseZoneControl(TExDockZone* zone);
    virtual void SetCursorHook(TPoint clientPoint, bool& handled);
    virtual void HintShowHook(THintInfo& hintInfo, LRESULT& result);
    virtual void CustomHintText(TExDockZone* zone, int code, std::string& text) { (void)zone, (void)code, (void)text; }
    virtual void WriteZone(TStream& stream, TExDockZone* zone);
    virtual TExDockZone* ReadZone(TStream& stream, TExDockZone* zone);
    virtual void WriteZoneTree(TStream& stream, TExDockZone* zone, int level);
    virtual void ReadZoneTree(TStream& stream);
    virtual void AdjustControlRect(TWinControlCore* control, TRect& r);
    virtual void ClampSplitterPos();
    virtual void ControlVisibleChanged(TWinControlCore* control, bool visible);
    virtual void ZoneHitTest(TPoint p, int& code, TExDockZone* zone, TExDockZone*& result);
    virtual void DrawDragBar();
    virtual TExDockZone* FindZone(const TWinControlCore* control, bool includeHidden) const;
    virtual TExDockZone* FindZoneDepth(const TWinControlCore* control, int& depth, bool includeHidden) const;
    // Visits `zone` (null: the root), everything below it and its following siblings.
    // Order 0: zone, first part, second part; 1: first part, zone, second part; 2: siblings,
    // children, zone. The first part is the siblings' unless `childrenFirst`.
    virtual void ForEachZone(TExDockZone* zone, int order, bool childrenFirst,
                             const std::function<void(TExDockZone*)>& visit);
    virtual void BorderHitTest(TPoint p, int& code, TExDockZone* zone);
    virtual void LeftGrabberHitTest(TPoint p, int& code, TExDockZone* zone);
    virtual void RightGrabberHitTest(TPoint p, int& code, TExDockZone* zone);
    virtual void TopGrabberHitTest(TPoint p, int& code, TExDockZone* zone);
    virtual void BottomGrabberHitTest(TPoint p, int& code, TExDockZone* zone);
    virtual int GrabberPosition() const;
    virtual int DragLimit(TExDockZone* zone, bool isBegin);
    virtual TWinControlCore* ControlAtPoint(TPoint p);
    virtual TExDockZone* InternalHitTest(TPoint p, int& code);
    virtual void InsertAsNewParent(TExDockZone* zone, TExDockZone* sibling, bool update, bool after,
                                   TDockOrientation orientation);
    virtual void InsertAsSibling(TExDockZone* zone, TExDockZone* sibling, bool update, bool after);
    virtual void PaintAll();
    virtual void AfterPaintZone(TExDockZone* zone) { (void)zone; }
    virtual void PaintZone(TExDockZone* zone);
    virtual void PaintZoneGrabber(TExDockZone* zone);
    virtual void DrawGrabber(TWinControlCore* control, const TRect& r);
    virtual void PaintZoneSplitter(TExDockZone* zone);
    virtual void DrawSplitterRect(const TRect& r);
    virtual void PaintZoneBorder(TExDockZone* zone) { (void)zone; }
    virtual void DrawExtra() {}
    virtual TRect CaptionRect(TExDockZone* zone) { (void)zone; return {}; }
    virtual TRect GetSplitterRect(TExDockZone* zone);
    // A grabber shows the close button unless the control's dock client forbids it.
    virtual bool CloseButtonShown(TWinControlCore* control);
    virtual void DrawCloseButton(int left, int top, int side);
    virtual void DeleteZoneTree(TExDockZone* zone);
    virtual void UnlinkZone(TExDockZone* zone);
    virtual void RescaleZone(TExDockZone* zone);
    virtual void RescaleChild(TExDockZone* zone);
    virtual void RescaleSibling(TExDockZone* zone);
    virtual void OffsetZone(TExDockZone* zone);
    virtual void RefreshZone(TExDockZone* zone);
    virtual void DrawZoneSplitter(TExDockZone* zone);
    virtual void ExtendLastZones(TExDockZone* zone);
    virtual void BeginDragSplitter(TExDockZone* zone, TPoint p);
    virtual void EndDragSplitter();
    virtual void SetSplitCursor(TDockOrientation o);

    // Refreshes every zone, or one zone's subtree (only when not updating and with dock clients).
    void RefreshAll();
    void RefreshSubtree(TExDockZone* zone);
    // Visits `zone` and everything below it, not its following siblings.
    void ForEachInSubtree(TExDockZone* zone, const std::function<void(TExDockZone*)>& visit);
    void PushNeighbours(int p);
    // The forms docked in the tree (tab hosts give the forms on their pages).
    void ListDockedForms(std::vector<TWinControlCore*>* list);
    void FreeZone(TExDockZone* zone);
    void InvalidateSite();
    // A non-client mouse message: `code` as its hit-test code, the client point on the screen.
    void MakeMouseMessageFor(UINT msg, WPARAM keys, TPoint clientPoint, int code, TMessage& out);

    double ScaleFactor = 1.0;
    TDockOrientation AdjustOrientation = TDockOrientation::doNoOrient;
    int ShiftAmount = 0;
    int ScaleOrigin = 0;

protected:
    // The canvas while the site paints.
    TCanvas& Canvas() { return FCanvas; }
    void SetMinZoneSize(int value) { FMinZoneSize = value; }
    // Ends a splitter drag that a descendant finished itself.
    void ClearDragZone() { FDragZone = nullptr; }
    TExDockZone* FRootZone = nullptr;
    int FRootExtent = 0;
    int FUpdateLevel = 0;

private:
    void HookSite();
    void UnhookSite() noexcept;
    void ShowHideFinish();
    void CollapseIntoParent(TExDockZone* zone, TExDockZone* parent, TExDockZone* other);
    void UnlinkFromList(TExDockZone* zone);
    void DropEmptyContainer(TExDockZone* container);

    TDockSite& FSite;
    TExDockZoneFactory FZoneClass;
    std::vector<std::unique_ptr<TExDockZone>> FZones;
    TWinControlCore* FActiveControl = nullptr;
    int FBorderWidth = 0;
    int FSplitterWidth = 4;
    TRect FLastClientRect;
    TRect FDockRect;
    TWndMethod FSavedWindowProc;
    bool FHooked = false;
    TExDockZone* FReloadZone = nullptr;
    int FSuspendCount = 0;
    TPoint FSplitterPos;
    TExDockZone* FDragZone = nullptr;
    std::unique_ptr<TExDockOverlay> FDragBar;
    int FStreamVersion = 0x00040000;
    int FLastHintCode = 0;
    int FMinZoneSize = 12;
    int FGrabbersSize = 18;
    TCanvas FCanvas;
};
