#pragma once
// The platform's docking support, as the class library gives it to every control: a control
// may be docked into a dock site (a control that holds other controls as dock clients) or float
// as a window of its own. A site keeps its dock clients in docking order and may use a dock
// manager that lays them out. The steps are the class library's:
//   ManualDock   undock from the current site (the site may refuse), then drop onto the new
//                site: the site hears CM_DOCKCLIENT, whose default handling docks the control
//                into it and lets the dock manager insert it;
//   ManualFloat  undock, then make the control a window of its own at a screen rectangle;
//   DoUnDock     the site's consent: CM_UNDOCKCLIENT, whose default handling takes the control
//                out of the dock manager, answers 0 to let it go;
//   Dock         the move itself: the control leaves the old site's client list, is put into
//                the new site (or floats) and joins its client list.
// A docked control tells its site of a change of its visibility or caption by
// CM_DOCKNOTIFICATION. A control that leaves its site by any other way (it is destroyed, or
// moved elsewhere by its parent) reaches the site as CM_UNDOCKCLIENT with no new target and
// leaves its list; a site that
// is destroyed floats its clients hidden first, so that it never destroys a control it holds.
// Floating controls are frameless tool windows (FloatingFrame.h draws their caption).

#include "Platform/controls/AlignLayout.h"
#include "Platform/controls/ControlTypes.h"
#include "Platform/docking/DockMessages.h"
#include "Platform/files/Streams.h"

#include <memory>
#include <string>
#include <vector>

class QPainter;

enum class TDragKind { dkDrag, dkDock };
enum class TDragMode { dmManual, dmAutomatic };
enum class TDockOrientation { doNoOrient, doHorizontal, doVertical };

class TDockSite;

// The layout of a site's dock clients; the site owns it.
class IDockManager {
public:
    virtual ~IDockManager() = default;
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
    virtual void GetControlBounds(TWinControlCore* control, TRect& rect) = 0;
    virtual void InsertControl(TWinControlCore* control, TAlign insertAt, TWinControlCore* dropControl) = 0;
    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void PaintSite(QPainter* painter) = 0;
    virtual void PositionDockRect(TWinControlCore* client, TWinControlCore* dropControl, TAlign dropAlign,
                                  TRect& dockRect) = 0;
    virtual void RemoveControl(TWinControlCore* control) = 0;
    virtual void ResetBounds(bool force) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    virtual void SetReplacingControl(TWinControlCore* control) = 0;

protected:
    IDockManager() = default;
    IDockManager(const IDockManager&) = default;
    IDockManager& operator=(const IDockManager&) = default;
};

// What a drop carries: the control, where it goes (screen coordinates) and beside what.
class TDragDockObject {
public:
    explicit TDragDockObject(TWinControlCore* control) : Control(control) {}
    virtual ~TDragDockObject() = default;
    TDragDockObject(const TDragDockObject&) = delete;
    TDragDockObject& operator=(const TDragDockObject&) = delete;

    TWinControlCore* Control;
    TRect DockRect;
    TAlign DropAlign = TAlign::alNone;
    TWinControlCore* DropOnControl = nullptr;
    bool Floating = false;
};

// The Visible property as docking keeps it: a window shows or not; a control inside a window is
// visible unless it was hidden itself, also while its window is not shown (yet).
bool ControlVisible(const TWinControlCore& control);

// The docking properties of any control.
TDragKind DragKind(const TWinControlCore& control);
void SetDragKind(TWinControlCore& control, TDragKind kind);
TDragMode DragMode(const TWinControlCore& control);
void SetDragMode(TWinControlCore& control, TDragMode mode);
TDockOrientation DockOrientation(const TWinControlCore& control);
void SetDockOrientation(TWinControlCore& control, TDockOrientation orientation);
// The size the control takes when it floats: the stored value, or its current size while none is.
int UndockWidth(const TWinControlCore& control);
int UndockHeight(const TWinControlCore& control);
void SetUndockWidth(TWinControlCore& control, int value);
void SetUndockHeight(TWinControlCore& control, int value);
// The width the control takes docked at a left or right edge, the height at a top or bottom one.
int LRDockWidth(const TWinControlCore& control);
int TBDockHeight(const TWinControlCore& control);
void SetLRDockWidth(TWinControlCore& control, int value);
void SetTBDockHeight(TWinControlCore& control, int value);
// Whether other controls may be dropped onto the control (the DockSite property).
bool IsDockSite(const TWinControlCore& control);
void SetControlDockSite(TWinControlCore& control, bool value);

// The site the control is docked in, or null.
TDockSite* HostDockSite(const TWinControlCore& control);
// True for a control that is a window of its own and docked nowhere.
bool Floating(const TWinControlCore& control);
// The control's rectangle on the screen (its window's frame for a window).
TRect ScreenBounds(const TWinControlCore& control);

// False, and nothing moves, when the site refuses the undock or lies inside the control.
bool ManualDock(TWinControlCore& control, TDockSite* site, TWinControlCore* dropControl = nullptr,
                TAlign controlSide = TAlign::alNone);
bool ManualFloat(TWinControlCore& control, const TRect& screenRect);
// `rect` is in the site's client coordinates, or on the screen when the site is null.
void Dock(TWinControlCore& control, TDockSite* site, const TRect& rect);
// The edge of the control nearest to a client point; a point outside lies beyond its side.
TAlign DockEdgeOf(const TWinControlCore& control, TPoint p);
// Remembers the control's floating or docked size before it moves, as docking does.
void CalcDockSizes(TWinControlCore& control);

// A control that other controls dock into. The class derives from a control and from this.
class TDockSite {
public:
    explicit TDockSite(TWinControlCore& control);
    virtual ~TDockSite();
    TDockSite(const TDockSite&) = delete;
    TDockSite& operator=(const TDockSite&) = delete;

    TWinControlCore& SiteControl() const { return FControl; }
    QWidget* SiteWidget() const { return FControl.Widget(); }

    bool UseDockManager() const { return FUseDockManager; }
    void SetUseDockManager(bool value);
    IDockManager* DockManager() const { return FDockManager.get(); }
    // Makes the dock manager when the site is a dock site that uses one and has none yet.
    void UpdateDockManager();
    // Frees the dock manager; a site's destructor calls it while the site is still whole.
    void ReleaseDockManager();

    int DockClientCount() const { return static_cast<int>(FDockClients.size()); }
    TWinControlCore* DockClients(int index) const;
    int VisibleDockClientCount() const;
    bool HasDockClient(const TWinControlCore* control) const;

    // The site's consent to let `client` go to `newTarget` (null: float): CM_UNDOCKCLIENT
    // answers 0.
    virtual bool DoUnDock(TWinControlCore* newTarget, TWinControlCore* client);
    // A drop onto the site: CM_DOCKCLIENT, with the point in the site's client coordinates.
    virtual void DockDrop(TDragDockObject& source, int x, int y);
    // Puts the control into the site at `rect` (client coordinates).
    virtual void DoAddDockClient(TWinControlCore* client, const TRect& rect);
    virtual void DoRemoveDockClient(TWinControlCore* client) { (void)client; }
    // The control a stored layout names: by default the component of that name among those of
    // the site's owner.
    virtual TWinControlCore* ReloadDockedControl(const std::string& name);

    // The default handling of CM_DOCKCLIENT and CM_UNDOCKCLIENT; true when `m` was one of them.
    bool DefaultDockHandler(TMessage& m);

protected:
    virtual std::unique_ptr<IDockManager> CreateDockManager() { return nullptr; }
    // Floats every client hidden; the destructor of the site's class calls it first.
    void ReleaseDockClients() noexcept;

private:
    friend void Dock(TWinControlCore& control, TDockSite* site, const TRect& rect);
    friend class TControlDockState;
    void AddClient(TWinControlCore* client);
    void RemoveClient(TWinControlCore* client);
    // A client left without undocking: it is destroyed or moved elsewhere.
    void ClientLost(TWinControlCore* client);

    TWinControlCore& FControl;
    bool FUseDockManager = false;
    std::unique_ptr<IDockManager> FDockManager;
    std::vector<TWinControlCore*> FDockClients;
};

// CM_DOCKCLIENT: WParam a TDragDockObject*, LParam the point (MakeLParam) in client coordinates;
// a negative result refuses the drop. CM_UNDOCKCLIENT: WParam the new target
// (TWinControlCore*, null to float), LParam the client.
