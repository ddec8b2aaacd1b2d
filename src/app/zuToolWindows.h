#pragma once
// The tool windows of the main window. Each is one entry of ToolWindowKinds(): the main window
// makes the windows in the order of the entries, gives each its view command (an entry of the
// View menu) and docks it from the saved layout; where it docks at a first start is its entry's
// place, from which the default layout file of the data folder is made. A new tool window is a
// form derived from TToolWindowForm and one more entry; nothing else changes.

#include "Platform/controls/AlignLayout.h"
#include "Platform/controls/Keys.h"

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

class TExDockBasicStyle;
class TExDockServer;
class TIniFileEx;
class TToolWindowForm;
struct TProjectExplorerServices;

// What a tool window may need of the main window when it is made; a window that needs more adds
// a field here.
struct TToolWindowServices {
    // The main window's dock style.
    TExDockBasicStyle* Style = nullptr;
    // The main settings file (null when none is open, as for the default layout).
    TIniFileEx* Settings = nullptr;
    // Opens a local file as a document (unset: nothing opens).
    std::function<void(const std::string& path)> OpenFile;
    // What the project explorer works with (null: no project, files or dialogs).
    const TProjectExplorerServices* Projects = nullptr;
};

// The View menu's two groups, a separator between them: the explorers and the code library,
// then the windows that show output.
enum class TToolWindowGroup { twgExplorers, twgOutput };

// Where a window docks at a first start: in the panel of `Edge` (alNone: it starts hidden and
// floats when shown), `Size` pixels deep. Windows of the same edge become tabs of one host, the
// first of them that is not `Behind` in front.
struct TToolWindowPlace {
    TAlign Edge = TAlign::alNone;
    int Size = 0;
    bool Behind = false;
};

struct TToolWindowKind {
    // The view command: action name, caption and shortcut.
    const char* ActionName;
    const char* Caption;
    TShortCut ShortCut;
    TToolWindowGroup Group;
    // The window icon, a name of the icon theme.
    const char* IconName;
    TToolWindowPlace Place;
    std::unique_ptr<TToolWindowForm> (*Make)(const TToolWindowServices& services);
    // A key of the View menu's entry itself, which beats an action carrying the same key.
    TShortCut MenuShortCut = scNone;
};

std::span<const TToolWindowKind> ToolWindowKinds();

// One window per entry of ToolWindowKinds(), at the same index.
using TToolWindowList = std::vector<std::unique_ptr<TToolWindowForm>>;

TToolWindowList MakeToolWindows(const TToolWindowServices& services);
// Docks `windows` (made by MakeToolWindows) at their places, as a first start shows them.
void ArrangeDefaultDockLayout(TExDockServer& server, const TToolWindowList& windows);
// Makes a docking area and the tool windows, arranges them and saves the layout to `fileName`.
void WriteDefaultDockLayout(const std::string& fileName);
