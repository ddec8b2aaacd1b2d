#pragma once
// TVETPersistent: what an explorer tree shows, captured by item identifier lists so that it
// survives the nodes: the expanded folders that have no expanded child (expanding them again
// opens their whole path), the selection (relative to the folder that holds it), the uppermost
// visible node, the focused node, the root, and the tree's node storage (check marks, column
// layouts). A refresh captures, rebuilds from the file system and restores; a named view
// (ExplorerViewManager.h) is a captured state written to a stream.

#include "ShellBrowsing/Source/explorer/ExplorerOptions.h"
#include "ShellBrowsing/Source/idlist/PIDLManager.h"
#include "ShellBrowsing/Source/sort/Streamable.h"

#include "TreeView/Source/core/LTTypes.h"

#include <QString>
#include <memory>
#include <vector>

class TCustomShellExplorerTree;
class TRootNodeStorage;

struct TLeafNode {
    bool Expanded = true;
    TPIDLHolder PIDL;
};

class TVETPersistent : public TStreamableClass {
public:
    TVETPersistent();
    ~TVETPersistent() override;

    // Forgets the captured state and the node storage.
    virtual void Clear();
    void SaveTree(TCustomShellExplorerTree& tree, bool saveSelection, bool saveFocus);
    void SaveSubtree(TCustomShellExplorerTree& tree, PLazyNode start, bool saveSelection);
    void RestoreTree(TCustomShellExplorerTree& tree, bool restoreSelection, bool restoreUppermost,
                     bool restoreFocus);
    void RestoreExpanded(TCustomShellExplorerTree& tree);
    void RestoreSelection(TCustomShellExplorerTree& tree);

    // A damaged or truncated stream raises EReadError and leaves the state as it was.
    void LoadFromStream(TStream& stream, std::int32_t version, bool readVersion) override;
    void SaveToStream(TStream& stream, std::int32_t version, bool writeVersion) override;

    const std::vector<TLeafNode>& LeafNodes() const { return FLeafNodes; }
    // Relative to SelectionParent (nil when the desktop itself was selected).
    const std::vector<TPIDLHolder>& Selection() const { return FSelection; }
    PCItemIDList SelectionParent() const { return FSelectionParent.Get(); }
    PCItemIDList UppermostPIDL() const { return FUppermost.Get(); }
    PCItemIDList FocusPIDL() const { return FFocus.Get(); }
    PCItemIDList RootPIDL() const { return FRootPIDL.Get(); }
    TRootFolder RootFolder() const { return FRootFolder; }
    const QString& RootFolderCustomPath() const { return FRootFolderCustomPath; }
    TRootNodeStorage& NodeStorage() { return *FNodeStorage; }
    bool Saving() const { return FSaving; }

protected:
    // Reads this class's part into a state that nothing uses yet.
    void ReadState(TStream& stream, std::int32_t version, bool readVersion);
    void SwapState(TVETPersistent& other);

private:
    void CaptureSelection(TCustomShellExplorerTree& tree);
    void CaptureLeaves(TCustomShellExplorerTree& tree, PLazyNode start);

    std::vector<TLeafNode> FLeafNodes;
    std::vector<TPIDLHolder> FSelection;
    TPIDLHolder FSelectionParent;
    TPIDLHolder FUppermost;
    TPIDLHolder FFocus;
    TPIDLHolder FRootPIDL;
    TRootFolder FRootFolder = TRootFolder::rfDesktop;
    QString FRootFolderCustomPath;
    std::unique_ptr<TRootNodeStorage> FNodeStorage;
    bool FSaving = false;
    // The scroll position, for a refresh that keeps it without restoring the uppermost node.
    int FUppermostOffset = 0;
};
