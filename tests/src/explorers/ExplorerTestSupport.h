#pragma once
// Helpers of the explorer window tests: waiting while posted messages arrive and the names a
// view lists.

#include "support/WaitFor.h"
#include "ShellBrowsing/Source/explorer/ShellExplorerTree.h"

#include <QCoreApplication>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

// Lets posted messages arrive until `done` holds or `ms` milliseconds passed; listings of big
// folders on a loaded machine take longer than WaitFor's default.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 10000)
{
    return WaitFor(done, ms);
}

// The in-folder names of the children of `parent` (the top level for nil), sorted.
inline std::vector<std::string> ListedNames(TCustomShellExplorerTree& view, PLazyNode parent = nullptr)
{
    // A list reads its folder on the enumeration thread: the names are those of the whole folder.
    WaitUntil([&] { return !view.Enumerating(); });
    std::vector<std::string> names;
    PLazyNode start = parent ? parent : view.HiddenRoot();
    for (PLazyNode node = start->ChildHead; node; node = node->NextLink)
        if (TNamespace* ns = view.NodeNamespace(node))
            names.push_back(ns->ParsingNameInFolder().toStdString());
    std::sort(names.begin(), names.end());
    return names;
}

// The node of the child named `name` of `parent` (the top level for nil), or nil.
inline PLazyNode NodeNamed(TCustomShellExplorerTree& view, const std::string& name, PLazyNode parent = nullptr)
{
    WaitUntil([&] { return !view.Enumerating(); });
    PLazyNode start = parent ? parent : view.HiddenRoot();
    for (PLazyNode node = start->ChildHead; node; node = node->NextLink)
        if (TNamespace* ns = view.NodeNamespace(node); ns && ns->ParsingNameInFolder().toStdString() == name)
            return node;
    return nullptr;
}

// Selects only `node`, as a click on it does.
inline void SelectOnly(TCustomShellExplorerTree& view, PLazyNode node)
{
    view.DeselectAll();
    view.SetNodeSelected(node, true);
    view.AssignFocusedNode(node);
}
