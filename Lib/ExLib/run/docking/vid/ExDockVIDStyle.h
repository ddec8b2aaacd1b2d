#pragma once
// The caption-bar dock style: docked forms get caption bars with a colour gradient and a close
// button, tab hosts get a tab strip of their own, and a form dragged onto another drops on one
// of the target's client fifths (a side-by-side host) or on its caption (a tab host). Only a
// band along the target's edges and its caption accept a drop; the drag frame shows a tab below
// it when the drop would make a tab host.

#include "ExLib/run/docking/control/ExDockStyle.h"
#include "ExLib/run/docking/drag/ExDockDragObject.h"
#include "ExLib/run/docking/vid/ExDockVIDOptions.h"

#include <functional>
#include <memory>
#include <vector>

using TExDockSystemInfoChange = std::function<void(bool Value)>;

class TExDockVIDStyle : public TExDockAdvStyle {
public:
    explicit TExDockVIDStyle(TComponent* AOwner);

    // A lone form in a dock panel that fills its site still gets a caption bar.
    bool AlwaysShowGrabber() const { return FAlwaysShowGrabber; }
    void SetAlwaysShowGrabber(bool value);
    // Told whether the caption option follows the system when it is applied again.
    TExDockSystemInfoChange SystemInfoChange;

    TExDockVIDConjoinServerOption* VIDConjoinOption() const;
    TExDockVIDTabServerOption* VIDTabOption() const;

    std::unique_ptr<TExDockDragDockObject> CreateDragObject(TExDockClient* client, TWinControlCore* control) override;
    void ClientSiteInfo(TExDockDragDockObject& source, TExDockClient* client, TWinControlCore* dragged,
                        TRect& influenceRect, TPoint mousePos, bool& canDock) override;
    void ClientDockOver(TExDockClient* client, TExDockDragDockObject& source, int x, int y, TDragState state,
                        bool& accept) override;
    void ClientDockDrop(TExDockClient* client, TExDockDragDockObject& source, int x, int y) override;
    void ClientDockEdge(TExDockClient* client, TExDockDragDockObject& source, TPoint mousePos, TAlign& align) override;
    void PrepareDockControl(bool loadingOrDesigning, TExDockBaseControl* control) override;
    void ApplyTabOptions(TExDockCustomTabControl* control) override;

protected:
    // Names the VID classes; a descendant names its own after this.
    void UseVIDClasses();

private:
    bool FAlwaysShowGrabber = false;
};

// The drag of the caption-bar style: it carries every form being dragged, and its frame has the
// shape of the drop.
class TExDockVIDDragDockObject : public TExDockDragDockObject {
public:
    explicit TExDockVIDDragDockObject(TWinControlCore* control);
    ~TExDockVIDDragDockObject() override;

    // The dragged form itself, or for a host form every form docked in it (host forms inside it
    // searched the same way), depth first in docking order.
    std::vector<TWinControlCore*> DockForms;
    TAlign PrevDropAlign = TAlign::alNone;
    TWinControlCore* PrevTarget = nullptr;
    bool TabShape = false;
    bool Erasing = false;

    void DrawFrame(bool erase) override;
    void GetFrameInfo(int& thickness, bool erase, TRect& rect) override;
    TWinControlCore* FindDropControl() override;
    void CompleteDrag(TWinControlCore* target, int x, bool accepted, int y) override;
    // What the frame shows now, for looking at it.
    const TExDockOverlay* FrameOverlay() const { return FFrame.get(); }

private:
    std::unique_ptr<TExDockOverlay> FFrame;
};

// The forms a drag of `control` carries (see DockForms).
std::vector<TWinControlCore*> CollectDockForms(TWinControlCore* control);

// The side of `control` that a point (client coordinates) falls on, with the screen rectangle
// the drop would take: its caption (and a tab control's tab strip) is the centre, the outer
// fifths are the sides. alNone, and `rect` unchanged, for a point on none of them.
TAlign VIDDockSide(TWinControlCore* control, TWinControlCore* dragged, TRect& rect, TPoint p);

// The strips of the drag frame around `r` with thickness `w`: a plain frame, or the outline of
// a window with a tab hanging below its bottom edge. Each strip is (left, top, right, bottom).
std::vector<TRect> VIDDragFrameStrips(const TRect& r, int w, bool tabShape);

// Fills `r` in 256 bands from `start` to `end`, top to bottom when `vertical`, else left to
// right; once when both colours are the same.
void FillGradientRect(TCanvas& canvas, const TRect& r, TColor start, bool vertical, TColor end);

// The rectangle of the last drop preview, which the caption-bar trees take as the next docked
// zone's size; empty when there is none.
TRect& VIDLastDropRect();
