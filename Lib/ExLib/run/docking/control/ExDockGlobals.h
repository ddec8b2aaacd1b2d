#pragma once
// The procedures and the little process-wide state that dock controls, styles, zone trees, the
// drag manager and the program share: finding the dock control of a form, showing and hiding
// a tool window wherever it is docked, the docking test, the drop side of a point, host
// captions, the registration of dock sites, and taking forms out of all sites before a layout
// is loaded. The global dock manager keeps the lists of dock servers, clients and host forms.

#include "ExLib/run/docking/drag/ExDockManager.h"

#include "Platform/controls/Forms.h"

#include <vector>

class TExDockBaseControl;
class TExDockClient;
class TExDockServer;
class TExDockableForm;

class TExGlobalDockManager : public TExDockManager {
public:
    void RegisterDockServer(TExDockServer* server);
    void RegisterDockClient(TExDockClient* client);
    void RegisterDockableForm(TExDockableForm* form);
    void UnregisterDockServer(TExDockServer* server);
    void UnregisterDockClient(TExDockClient* client);
    void UnregisterDockableForm(TExDockableForm* form);
    int DockServerCount() const { return static_cast<int>(FServers.size()); }
    int DockClientCount() const { return static_cast<int>(FClients.size()); }
    int DockableFormCount() const { return static_cast<int>(FForms.size()); }
    TExDockServer* DockServers(int index) const { return FServers.at(static_cast<size_t>(index)); }
    TExDockClient* DockClients(int index) const { return FClients.at(static_cast<size_t>(index)); }
    TExDockableForm* DockableForms(int index) const { return FForms.at(static_cast<size_t>(index)); }

private:
    std::vector<TExDockServer*> FServers;
    std::vector<TExDockClient*> FClients;
    std::vector<TExDockableForm*> FForms;
};

// The one manager of the process; it exists while the program runs.
TExGlobalDockManager* GlobalDockManager();
// The client most recently involved in a mouse or drag action, or the first one made; null
// when none exists (a client that is destroyed is never left here).
TExDockClient* CurrentDockClient();
void SetCurrentDockClient(TExDockClient* client);
// The system test of the original platform; never true here.
bool RunningOnXP();

void ShowDockableForm(TCustomForm* form);
void HideDockableForm(TCustomForm* form);
bool IsDockableFormShowing(TCustomForm* form);
TExDockBaseControl* FindDockBaseControlOf(const TComponent* component);
TExDockClient* FindDockClientOf(const TComponent* component);
TExDockServer* FindDockServerOf(const TComponent* component);
// From the form's active control up its parents, the first one docked somewhere.
TWinControlCore* FirstDockedControl(TCustomForm* form);
// The space other controls aligned to `align` take in `control` (dock panels and splitters left out).
int AlignedControlsSize(TWinControlCore* control, TAlign align, const TWinControlCore* excluded);
// The DockSite property, and the registration with the global dock manager.
void SetDockSite(TWinControlCore* control, bool value);
bool CanDockOnto(TWinControlCore* target, TWinControlCore* dragged, TWinControlCore* dropControl, TAlign dropAlign);
// The side of `control` a point falls on (client fifths), with the screen rectangle to preview.
TAlign DockSideAtPoint(TWinControlCore* control, TRect& r, TPoint p);
void UpdateHostCaption(TDockSite* site, TWinControlCore* excluded);
void SyncClientShown(TWinControlCore* control, bool shown);
void RecordUndockPosition(TExDockClient* client, TWinControlCore* target);
void RecordUndockPosition(TWinControlCore* control, TWinControlCore* target);
void UndockControl(TWinControlCore* control);
void UndockAllForms();
void FreeEmptyHostForms();
// The same for a drop, which runs inside a mouse event of the host being emptied: the empty
// hosts leave the manager's list now and go once the pending events are handled.
void ReleaseEmptyHostForms();

// The form of that name when it has a dock client: what a stored layout may dock again.
TCustomForm* FindDockableFormByName(const std::string& name);
// A control that left a site becomes a registered dock site again, unless it is a host form.
void RegisterAgainUnlessHost(TWinControlCore* client);
// A form dropped into a site loses its active control and stops being a registered dock site.
void SettleDroppedForm(TWinControlCore* control);

// The form a control lies on (the control itself for a form).
TCustomForm* FormOf(TWinControlCore* control);
// The control's host dock site as a control, or null.
TWinControlCore* HostSiteControl(const TWinControlCore* control);
