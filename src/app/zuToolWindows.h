#pragma once
// The tool windows the main window makes at start and docks, in the order of their creation:
// the one list that every tool window joins. The main window shows each through its view
// commands; where they dock at a first start is the default arrangement, from which the default
// layout file of the data folder is made.

#include <memory>
#include <string>
#include <vector>

class TExDockBasicStyle;
class TExDockServer;
class TIniFileEx;
class TToolWindowForm;

struct TToolWindowServices {
    // The main window's dock style.
    TExDockBasicStyle* Style = nullptr;
    // The main settings file.
    const TIniFileEx* Settings = nullptr;
};

using TToolWindowList = std::vector<std::unique_ptr<TToolWindowForm>>;

TToolWindowList MakeToolWindows(const TToolWindowServices& services);
// Docks the windows as a first start shows them: output and server logs as tabs of the bottom
// panel.
void ArrangeDefaultDockLayout(TExDockServer& server, const TToolWindowList& windows);
// Makes a docking area and the tool windows, arranges them and saves the layout to `fileName`.
void WriteDefaultDockLayout(const std::string& fileName);
