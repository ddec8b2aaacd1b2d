#pragma once
// The zone tree of the caption-bar style and the dock sites that use it. Every docked form gets
// a caption bar above it, filled with the style's gradient, with its caption and a close button.
// A dragged form may drop between two zones across their splitter, onto a docked form's caption
// (which puts both into a tab host in that place), or bring a whole side-by-side host's layout
// in. Zones share space proportionally when they are shown, hidden, or the site is resized, and
// a newly docked zone takes the size of the drop preview.

#include "ExLib/run/docking/control/ExDockHostForms.h"
#include "ExLib/run/docking/control/ExDockPanel.h"
#include "ExLib/run/docking/tree/ExDockAdvTree.h"

class TExDockVIDConjoinServerOption;

class TExDockVIDZone : public TExDockAdvZone {
public:
    explicit TExDockVIDZone(TExDockTree* tree) : TExDockAdvZone(tree) {}
    int InnerBound(bool isEnd) override;
    void Show(int size, bool flag) override;
    void Hide(int size, bool flag) override;
};

class TExDockVIDTree : public TExDockAdvTree {
public:
    TExDockVIDTree(TDockSite& site, TExDockZoneFactory zoneClass);
    ~TExDockVIDTree() override;

    // The zone next to which the next insertion goes (a drop across a splitter), or null.
    TExDockZone* DropZone = nullptr;
    // While above 0 a drop rectangle does not set the next zone's size.
    int InsertSizeLock = 0;
    int CaptionLeftOffset = 0;
    int CaptionRightOffset = 0;
    void RaiseInsertSizeLock() { ++InsertSizeLock; }
    void LowerInsertSizeLock()
    {
        if (InsertSizeLock > 0)
            --InsertSizeLock;
    }

    void WindowProcHook(TMessage& message) override;
    void AdjustControlRect(TWinControlCore* control, TRect& r) override;
    void TopGrabberHitTest(TPoint p, int& code, TExDockZone* zone) override;
    bool DockEdgeHook(const TRect& r, TPoint p, TAlign& align) override;
    int GrabberPosition() const override;
    void InsertControl(TWinControlCore* control, TAlign insertAt, TWinControlCore* dropControl) override;
    void InsertAsNewParent(TExDockZone* zone, TExDockZone* sibling, bool update, bool after,
                           TDockOrientation orientation) override;
    void InsertAsSibling(TExDockZone* zone, TExDockZone* sibling, bool update, bool after) override;
    void DrawGrabber(TWinControlCore* control, const TRect& r) override;
    void PositionDockRect(TWinControlCore* client, TWinControlCore* dropControl, TAlign dropAlign,
                          TRect& dockRect) override;
    void UnlinkZone(TExDockZone* zone) override;
    void SetActiveControl(TWinControlCore* control) override;
    void EndDragSplitter() override;
    void ResetBounds(bool force) override;

    // The influence of a site for a drag of `control` at screen point `p`: the splitter the
    // drop would straddle, the side rectangle of the form under the point, or nothing.
    virtual void InfluenceRectAt(TWinControlCore* control, TRect& r, bool& canDock, TPoint p);
    // Brings the layout of a side-by-side host into this tree beside `dropControl`.
    virtual void MergeConjoinHost(TExDockConjoinHostForm* host, TAlign side, TWinControlCore* dropControl);
    virtual void DrawCaptionFrame(TCanvas& canvas, TWinControlCore* control, bool frame, const TRect& r);
    virtual void DrawCloseButton(TCanvas& canvas, TExDockZone* zone, int top, int left);
    // Narrows a caption bar to the part that holds its text.
    virtual void CaptionTextRect(TRect& r);

    // Rescales the zones from `first` up to `stop` (and everything inside them) along their
    // parent's axis by `factor` about `origin`.
    void RescaleRange(TExDockZone* first, TExDockZone* stop, int origin, double factor);
    // The caption-bar option that colours this tree, or null.
    TExDockVIDConjoinServerOption* ConjoinOption() const;
    // The site is aligned to fill its parent.
    bool SiteFillsParent() const;
    // Caption-bar canvas while painting (for descendants).
    TCanvas& PaintCanvas() { return Canvas(); }

protected:
    // A new tab host of the drop control and `control`, in the drop control's place; null when
    // the drop control has no zone or no dock client. `side` takes the side the host docks at.
    TExDockTabHostForm* ReplaceWithTabHost(TWinControlCore* control, TWinControlCore* dropControl, TAlign& side,
                                           TWinControlCore*& beside);

private:
    void StraddleSplitter(TExDockZone* zone, TWinControlCore* client, TRect& r);
    TExDockZone* CopyZones(TExDockZone* source, TExDockZone* parent, const TRect& from, const TRect& to,
                           std::vector<std::pair<TExDockZone*, TWinControlCore*>>& docked);
    void SpliceIntoParent(TExDockZone* container);
    void DockIntoCopies(const std::vector<std::pair<TExDockZone*, TWinControlCore*>>& docked);
    bool ReplaceByTabHost(TWinControlCore* control, TWinControlCore* dropControl);
    TRect FLastClientRect;
};

class TExDockVIDPanel : public TExDockAdvPanel {
public:
    using TExDockAdvPanel::TExDockAdvPanel;

    void QuerySiteInfo(TExDockDragDockObject& source, TWinControlCore* client, TRect& influenceRect,
                       TPoint mousePos, bool& canDock) override;
    void DragOverSite(TExDockDragDockObject& source, int x, int y, TDragState state, bool& accept) override;
    void DropOnSite(TExDockDragDockObject& source, int x, int y) override;
    void QueryDockEdge(TExDockDragDockObject& source, TPoint mousePos, TAlign& align) override;
    void RefreshHostCaption(TWinControlCore* exclude) override;

protected:
    std::unique_ptr<IDockManager> CreateDockManager() override;
};

class TExDockVIDConjoinPanel : public TExDockAdvConjoinPanel {
public:
    using TExDockAdvConjoinPanel::TExDockAdvConjoinPanel;

    void QuerySiteInfo(TExDockDragDockObject& source, TWinControlCore* client, TRect& influenceRect,
                       TPoint mousePos, bool& canDock) override;
    void DragOverSite(TExDockDragDockObject& source, int x, int y, TDragState state, bool& accept) override;
    void DropOnSite(TExDockDragDockObject& source, int x, int y) override;
    void QueryDockEdge(TExDockDragDockObject& source, TPoint mousePos, TAlign& align) override;
    void RefreshHostCaption(TWinControlCore* exclude) override;

protected:
    std::unique_ptr<IDockManager> CreateDockManager() override;
};

class TExDockVIDSplitter : public TExDockSplitter {
public:
    using TExDockSplitter::TExDockSplitter;
};

// Zones of the caption-bar tree.
TExDockZoneFactory VIDZoneClass();
// True when the drag carries a form that already sits in the host form `dropControl` and the
// side is the centre: such a drop changes nothing.
bool DropsIntoOwnHost(TExDockDragDockObject& source);
