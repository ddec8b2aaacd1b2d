#pragma once
// The drag manager: it starts a dock drag, follows the mouse, finds the dock site under it
// among the registered dock sites, asks that site (or the dock client of a form) whether and
// where the control may dock, shows the frame, and on release docks, floats or cancels. While
// a drag runs it watches the whole application's mouse and keys: moves follow the mouse, a
// release finishes, Escape cancels, Ctrl shows the floating frame while it is held, and the
// application losing the mouse ends the drag without a drop.

#include "ExLib/run/docking/drag/ExDockDragObject.h"

#include <QPointer>
#include <memory>
#include <vector>

class QObject;

// The candidate sites of one mouse position, grouped by their top-level windows.
class TSiteList {
public:
    struct Entry {
        TWinControlCore* Site;
        QWidget* TopWindow;
    };
    // A site whose window is listed already goes before the first entry of that window.
    void Add(TWinControlCore* site);
    void Clear() { FEntries.clear(); }
    int Count() const { return static_cast<int>(FEntries.size()); }
    const Entry& Item(int index) const { return FEntries[static_cast<size_t>(index)]; }
    // The entry of the topmost window that has one; the only one for one entry.
    TWinControlCore* BestCandidate() const;

private:
    std::vector<Entry> FEntries;
};

class TExDockManager {
public:
    TExDockManager();
    virtual ~TExDockManager();
    TExDockManager(const TExDockManager&) = delete;
    TExDockManager& operator=(const TExDockManager&) = delete;

    // Starts a drag of a control whose DragKind is dkDock; a negative threshold is the
    // platform's; nothing while a drag runs.
    virtual void BeginControlDrag(TWinControlCore* control, bool immediate, int threshold);
    virtual void PrepareDrag(TWinControlCore* control, bool immediate, int threshold);
    virtual void StartDrag(std::unique_ptr<TExDockDragDockObject> dragObject, bool immediate, int threshold);
    virtual void DragMoveTo(TPoint p);
    virtual void FinishDrag(bool drop);
    virtual void AbortDrag();
    virtual void UpdateDragCursor();
    virtual TWinControlCore* TargetAtPoint(TPoint p, QWidget*& window, TWinControlCore* control);
    virtual void AskSiteInfo(TWinControlCore* site, TWinControlCore* control, bool& canDock, TPoint p,
                             TRect& influenceRect);
    virtual bool NotifyDragOver(TDragState state);
    virtual void NotifyDrop(TExDockDragDockObject& dragObject, TPoint p);
    virtual bool AskUndock(TExDockDragDockObject& dragObject, TWinControlCore* newTarget, TWinControlCore* control);
    virtual void NotifyDragEnd(TWinControlCore* target, int x, int y);
    virtual QWidget* WindowAtPoint(TPoint p);
    virtual TWinControlCore* FindDockTarget(TPoint p, TWinControlCore* control);
    virtual void AskDockEdge(TWinControlCore* control, TPoint p, TAlign& align);
    virtual void RegisterDockSite(TWinControlCore* site, bool doRegister);

    // A release of the mouse: finishes with or without a drop as the rules say.
    void MouseReleased();
    void KeyChanged(int qtKey, bool pressed);

    TExDockDragDockObject* DragObject() const { return FDragObject.get(); }
    TWinControlCore* DragControl() const { return FDragControl; }
    int DragState() const { return FDragState; }
    int Threshold() const { return FThreshold; }
    TPoint StartPos() const { return FStartPos; }
    const std::vector<TWinControlCore*>& DockSiteList() const { return FDockSiteList; }
    bool IsRegisteredDockSite(const TWinControlCore* site) const;
    // True while the Ctrl key is held during a drag (no docking then).
    bool ControlKeyDown() const { return FControlKeyDown; }

private:
    bool CoveringTestPasses(TWinControlCore* site, TPoint p, TWinControlCore* control);
    void EndCapture();

    std::unique_ptr<TExDockDragDockObject> FDragObject;
    TWinControlCore* FDragControl = nullptr;
    QObject* FCapture = nullptr;
    TPoint FStartPos;
    bool FCursorOverridden = false;
    int FThreshold = 0;
    int FDragState = 0;
    // True once the mouse went past the threshold: before that a release drops nothing.
    bool FMoved = false;
    bool FControlKeyDown = false;
    std::vector<TWinControlCore*> FDockSiteList;
    TSiteList FCandidateSites;
};
