#include "ShellBrowsing/Source/explorer/ExplorerViewState.h"

#include "ShellBrowsing/Source/explorer/ShellExplorerTree.h"
#include "ShellBrowsing/Source/views/NodeStorage.h"
#include "ShellBrowsing/Source/views/ViewStreamIO.h"

#include "TreeView/Source/stream/LTStreamIO.h"

#include "Platform/core/Exceptions.h"
#include "Platform/files/Streams.h"

namespace {

PItemIDList CopyOf(TCustomShellExplorerTree& tree, PLazyNode node)
{
    TNamespace* ns = tree.NodeNamespace(node);
    return ns && ns->OkToBrowse() ? PIDLMgr().CopyPIDL(ns->AbsolutePIDL()) : nullptr;
}

// The parent's list: the item's list without its last item.
PItemIDList ParentOf(PCItemIDList absolute)
{
    PItemIDList parent = PIDLMgr().CopyPIDL(absolute);
    return parent ? PIDLMgr().StripLastID(parent) : nullptr;
}

bool SameRoot(TCustomShellExplorerTree& tree, TRootFolder folder, const QString& path, PCItemIDList list)
{
    if (tree.RootFolder() != folder || !tree.RootNamespace())
        return false;
    if (folder == TRootFolder::rfCustom)
        return tree.RootFolderCustomPath() == path;
    if (folder == TRootFolder::rfCustomPIDL)
        return ILIsEqual(tree.RootNamespace()->AbsolutePIDL(), list);
    return true;
}

QString OldPathText(const std::string& bytes)
{
    // Streams before version 3 hold the path as 8-bit text: UTF-8 when it is, else Latin-1.
    const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return text.contains(QChar::ReplacementCharacter)
               ? QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()))
               : text;
}

} // namespace

TVETPersistent::TVETPersistent() : FNodeStorage(std::make_unique<TRootNodeStorage>()) {}

TVETPersistent::~TVETPersistent() = default;

void TVETPersistent::Clear()
{
    FLeafNodes.clear();
    FSelection.clear();
    FSelectionParent.Reset();
    FUppermost.Reset();
    FFocus.Reset();
    FRootPIDL.Reset();
    FRootFolder = TRootFolder::rfDesktop;
    FRootFolderCustomPath.clear();
    FUppermostOffset = 0;
    FNodeStorage = std::make_unique<TRootNodeStorage>();
}

// ---- capturing

void TVETPersistent::CaptureSelection(TCustomShellExplorerTree& tree)
{
    FSelection.clear();
    FSelectionParent.Reset();
    PLazyNode first = tree.FirstSelectedNode();
    TNamespace* firstNs = tree.NodeNamespace(first);
    if (!firstNs)
        return;
    if (!firstNs->IsDesktop())
        FSelectionParent.Reset(ParentOf(firstNs->AbsolutePIDL()));
    for (PLazyNode node = first; node; node = tree.NextSelectedAfter(node)) {
        TNamespace* ns = tree.NodeNamespace(node);
        if (!ns || !ns->OkToBrowse())
            continue;
        // Only siblings of the first can be found again through its folder.
        TPIDLHolder parent(ParentOf(ns->AbsolutePIDL()));
        if (FSelectionParent && ILIsEqual(parent.Get(), FSelectionParent.Get()))
            FSelection.emplace_back(PIDLMgr().CopyPIDL(PIDLMgr().GetPointerToLastID(ns->AbsolutePIDL())));
    }
    if (!FSelectionParent)
        FSelection.emplace_back(MakeDesktopPIDL());
}

void TVETPersistent::CaptureLeaves(TCustomShellExplorerTree& tree, PLazyNode start)
{
    // Walks only created nodes: nothing is enumerated to capture a state.
    FLeafNodes.clear();
    std::vector<PLazyNode> pending;
    for (PLazyNode child = start->ChildHead; child; child = child->NextLink)
        pending.push_back(child);
    while (!pending.empty()) {
        PLazyNode node = pending.back();
        pending.pop_back();
        if (!node->Has(nsOpen))
            continue;
        bool openChild = false;
        for (PLazyNode child = node->ChildHead; child; child = child->NextLink) {
            pending.push_back(child);
            openChild = openChild || child->Has(nsOpen);
        }
        if (!openChild)
            if (PItemIDList list = CopyOf(tree, node))
                FLeafNodes.push_back({true, TPIDLHolder(list)});
    }
    if (FLeafNodes.empty() && start != tree.HiddenRoot())
        if (PItemIDList list = CopyOf(tree, start))
            FLeafNodes.push_back({start->Has(nsOpen), TPIDLHolder(list)});
}

void TVETPersistent::SaveTree(TCustomShellExplorerTree& tree, bool saveSelection, bool saveFocus)
{
    if (!tree.ValidateRootNamespace())
        return;
    FSaving = true;
    FFocus.Reset();
    FUppermost.Reset();
    FRootPIDL.Reset();
    FUppermostOffset = 0;
    if (PLazyNode top = tree.NodeAtTop()) {
        FUppermost.Reset(CopyOf(tree, top));
        FUppermostOffset = static_cast<int>(tree.OffsetY());
    }
    if (saveFocus && tree.FocusNode())
        FFocus.Reset(CopyOf(tree, tree.FocusNode()));
    SaveSubtree(tree, tree.HiddenRoot(), saveSelection);
    if (tree.RootFolder() == TRootFolder::rfCustomPIDL && tree.RootNamespace())
        FRootPIDL.Reset(PIDLMgr().CopyPIDL(tree.RootNamespace()->AbsolutePIDL()));
    FRootFolder = tree.RootFolder();
    FRootFolderCustomPath = tree.RootFolderCustomPath();
    FSaving = false;
}

void TVETPersistent::SaveSubtree(TCustomShellExplorerTree& tree, PLazyNode start, bool saveSelection)
{
    if (!start)
        return;
    if (saveSelection)
        CaptureSelection(tree);
    CaptureLeaves(tree, start);
}

// ---- restoring

void TVETPersistent::RestoreExpanded(TCustomShellExplorerTree& tree)
{
    tree.StartBatchUpdate();
    for (const TLeafNode& leaf : FLeafNodes)
        if (PLazyNode node = tree.LocateNodeByPIDL(leaf.PIDL.Get(), false, true, false, true))
            if (node != tree.HiddenRoot() && node->Has(nsOpen) != leaf.Expanded)
                tree.SetNodeExpanded(node, leaf.Expanded);
    tree.FinishBatchUpdate();
}

void TVETPersistent::RestoreSelection(TCustomShellExplorerTree& tree)
{
    tree.DeselectAll();
    if (FSelection.empty())
        return;
    PLazyNode first = nullptr;
    if (!FSelectionParent) {
        first = tree.FirstNodeRaw();
        tree.SetNodeSelected(first, true);
    } else {
        // Entries whose items are gone are passed over; the others are still selected.
        for (const TPIDLHolder& entry : FSelection) {
            TPIDLHolder absolute(PIDLMgr().AppendPIDL(FSelectionParent.Get(), entry.Get()));
            if (PLazyNode node = tree.FindExistingNodeByPIDL(absolute.Get())) {
                tree.SetNodeSelected(node, true);
                first = first ? first : node;
            }
        }
    }
    if (first)
        tree.AssignFocusedNode(tree.FirstSelectedNode());
}

void TVETPersistent::RestoreTree(TCustomShellExplorerTree& tree, bool restoreSelection, bool restoreUppermost,
                                 bool restoreFocus)
{
    // Setting the root again rebuilds the tree from the file system.
    if (SameRoot(tree, FRootFolder, FRootFolderCustomPath, FRootPIDL.Get()))
        tree.RebuildTree();
    else if (!FRootFolderCustomPath.isEmpty())
        tree.SetRootFolderCustomPath(FRootFolderCustomPath);
    else if (FRootPIDL)
        tree.SetRootFolderCustomPIDL(FRootPIDL.Get());
    else
        tree.SetRootFolder(FRootFolder);
    RestoreExpanded(tree);
    if (restoreSelection)
        RestoreSelection(tree);
    PLazyNode focus = nullptr;
    if (restoreFocus && FFocus)
        if ((focus = tree.LocateNodeByPIDL(FFocus.Get(), false, true, false, false)))
            tree.AssignFocusedNode(focus);
    if (restoreUppermost && FUppermost) {
        if (PLazyNode node = tree.FindExistingNodeByPIDL(FUppermost.Get()); node && node != tree.HiddenRoot())
            tree.SetNodeAtTop(node);
    } else if (FUppermostOffset != 0) {
        tree.SetOffsetY(FUppermostOffset);
    } else if (focus && focus != tree.HiddenRoot()) {
        tree.SetNodeAtTop(focus);
    }
}

// ---- streaming

void TVETPersistent::ReadState(TStream& stream, std::int32_t version, bool readVersion)
{
    TStreamableClass::LoadFromStream(stream, version, readVersion);
    CheckStreamVersion(StreamVersion);
    const std::int32_t v = StreamVersion;
    // The leaf list: its version, a count and the leaves, each with a version of its own.
    CheckStreamVersion(readVersion ? ReadInt32(stream) : v);
    const std::int32_t leafCount = ReadBoundedCount(stream, readVersion ? 9 : 5);
    for (std::int32_t i = 0; i < leafCount; ++i) {
        CheckStreamVersion(readVersion ? ReadInt32(stream) : v);
        TLeafNode leaf;
        leaf.Expanded = ReadUInt8(stream) != 0;
        leaf.PIDL.Reset(PIDLMgr().LoadFromStream(&stream));
        if (leaf.PIDL)
            FLeafNodes.push_back(std::move(leaf));
    }
    FSelectionParent.Reset(PIDLMgr().LoadFromStream(&stream));
    FSelection = ReadPIDLList(stream);
    FRootPIDL.Reset(PIDLMgr().LoadFromStream(&stream));
    FUppermost.Reset(PIDLMgr().LoadFromStream(&stream));
    FFocus.Reset(PIDLMgr().LoadFromStream(&stream));
    const std::uint8_t rootFolder = ReadUInt8(stream);
    if (rootFolder > static_cast<std::uint8_t>(TRootFolder::rfCustomPIDL))
        throw EReadError("Damaged view data: unknown root folder");
    FRootFolder = static_cast<TRootFolder>(rootFolder);
    if (v >= 3) {
        FRootFolderCustomPath = ReadUtf16(stream, ReadBoundedCount(stream, 2));
    } else {
        std::string bytes(static_cast<std::size_t>(ReadBoundedCount(stream, 1)), '\0');
        stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        FRootFolderCustomPath = OldPathText(bytes);
    }
    FNodeStorage->LoadFromStream(stream, v, readVersion);
}

void TVETPersistent::SwapState(TVETPersistent& other)
{
    std::swap(StreamVersion, other.StreamVersion);
    std::swap(FLeafNodes, other.FLeafNodes);
    std::swap(FSelection, other.FSelection);
    std::swap(FSelectionParent, other.FSelectionParent);
    std::swap(FUppermost, other.FUppermost);
    std::swap(FFocus, other.FFocus);
    std::swap(FRootPIDL, other.FRootPIDL);
    std::swap(FRootFolder, other.FRootFolder);
    std::swap(FRootFolderCustomPath, other.FRootFolderCustomPath);
    std::swap(FNodeStorage, other.FNodeStorage);
    std::swap(FUppermostOffset, other.FUppermostOffset);
}

void TVETPersistent::LoadFromStream(TStream& stream, std::int32_t version, bool readVersion)
{
    TVETPersistent loaded;
    loaded.ReadState(stream, version, readVersion);
    SwapState(loaded);
}

void TVETPersistent::SaveToStream(TStream& stream, std::int32_t version, bool writeVersion)
{
    TStreamableClass::SaveToStream(stream, version, writeVersion);
    if (writeVersion)
        WriteInt32(stream, version);
    WriteInt32(stream, static_cast<std::int32_t>(FLeafNodes.size()));
    for (const TLeafNode& leaf : FLeafNodes) {
        if (writeVersion)
            WriteInt32(stream, version);
        WriteUInt8(stream, leaf.Expanded ? 1 : 0);
        PIDLMgr().SaveToStream(&stream, leaf.PIDL.Get());
    }
    PIDLMgr().SaveToStream(&stream, FSelectionParent.Get());
    WritePIDLList(stream, FSelection);
    PIDLMgr().SaveToStream(&stream, FRootPIDL.Get());
    PIDLMgr().SaveToStream(&stream, FUppermost.Get());
    PIDLMgr().SaveToStream(&stream, FFocus.Get());
    WriteUInt8(stream, static_cast<std::uint8_t>(FRootFolder));
    if (version >= 3) {
        WriteInt32(stream, static_cast<std::int32_t>(FRootFolderCustomPath.size()));
        WriteUtf16(stream, FRootFolderCustomPath);
    } else {
        const QByteArray bytes = FRootFolderCustomPath.toUtf8();
        WriteInt32(stream, static_cast<std::int32_t>(bytes.size()));
        stream.WriteBuffer(bytes.constData(), bytes.size());
    }
    FNodeStorage->SaveToStream(stream, version, writeVersion);
}
