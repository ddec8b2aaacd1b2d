#pragma once
// TVETPersistent: what an explorer tree shows, captured by item identifier lists so that it
// survives the nodes: the expanded folders that have no expanded child (expanding them again
// opens their whole path), the selection, the uppermost visible node and the focused node.
// A refresh captures, rebuilds from the file system and restores.

#include "ShellBrowsing/Source/idlist/PIDLManager.h"

#include "TreeView/Source/core/LTTypes.h"

#include <vector>

class TCustomShellExplorerTree;

class TVETPersistent {
public:
    void Clear();
    void SaveTree(TCustomShellExplorerTree& tree, bool saveSelection, bool saveFocus);
    void SaveSubtree(TCustomShellExplorerTree& tree, PLazyNode start, bool saveSelection);
    void RestoreTree(TCustomShellExplorerTree& tree, bool restoreSelection, bool restoreUppermost,
                     bool restoreFocus);
    void RestoreExpanded(TCustomShellExplorerTree& tree);
    void RestoreSelection(TCustomShellExplorerTree& tree);

    const std::vector<TPIDLHolder>& LeafNodes() const { return FLeafNodes; }
    const std::vector<TPIDLHolder>& Selection() const { return FSelection; }

private:
    void CaptureBelow(TCustomShellExplorerTree& tree, PLazyNode start, bool saveSelection);

    std::vector<TPIDLHolder> FLeafNodes;
    std::vector<TPIDLHolder> FSelection;
    TPIDLHolder FUppermost;
    TPIDLHolder FFocus;
    int FUppermostOffset = 0;
};
