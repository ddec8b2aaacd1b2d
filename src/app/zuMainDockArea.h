#pragma once
// The docking area of the main window: a form inside the main window, named "MainForm" as the
// dock layout knows it, that holds the dock server with its panels, splitters and auto-hide
// channels, the main window's dock style ("DockStyleNET") and, in the middle, the client area
// (the document tab strip and windows, or the internal browser panel).

#include "ExLib/run/controls/ExComponent.h"

#include <string>

class TExDockServer;
class TExDockVSNetStyle;

class TMainDockArea : public TExForm {
public:
    explicit TMainDockArea(QWidget* parent);
    ~TMainDockArea() override;

    // Null until CreateDocking.
    TExDockVSNetStyle* DockStyleNET = nullptr;
    TExDockServer* DockServer = nullptr;
    // Makes the style and the dock server with the main window's settings: panels on the left,
    // bottom and right edges (none along the upper edge) and no focus for a form just docked.
    void CreateDocking();
    // Puts `client` in the middle, filling what the panels leave.
    void SetClient(QWidget* client);
    // Hides the dock panels, their splitters and channels (while a preview fills the window),
    // or shows them again: a splitter only beside a panel that shows a form, a channel only
    // with a tab to show.
    void SetDockPanelsVisible(bool visible);
};

// The form name the dock layout gives the main window.
inline constexpr const char* MainDockAreaName = "MainForm";
