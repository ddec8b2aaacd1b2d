// Writing a tree's structure to a stream and reading it back (node blocks made of chunks).
// Data read from outside is checked whole before the tree changes, so damaged data fails with
// its tree error and leaves the tree as it was.

#include "TreeView/Source/core/LazyTree.h"

#include "TreeView/Source/core/LTErrors.h"
#include "TreeView/Source/stream/LTStreamIO.h"
#include "TreeView/Source/stream/LTTreeData.h"

#include "Platform/files/Streams.h"

#include <algorithm>
#include <string>

namespace {
// What a stream may set of a node's states; the rest is the tree's own bookkeeping.
constexpr std::uint16_t StreamableStates =
    nsReady | nsInactive | nsOpen | nsMayHaveChildren | nsShown | nsPicked | nsKidsAllHidden | nsWrapText;

// Reads the rest of `stream` (its size is the bound).
std::string ReadRest(TStream& stream)
{
    const std::int64_t remaining = std::max<std::int64_t>(RemainingBytes(stream), 0);
    std::string bytes(static_cast<std::size_t>(remaining), '\0');
    if (remaining > 0)
        stream.ReadBuffer(bytes.data(), remaining);
    return bytes;
}

// Rows a node adds to VisibleRowCount.
std::uint32_t RowsOf(const TBaseLazyTree& tree, PLazyNode node)
{
    return tree.ReachableRow(node) ? 1 + tree.VisibleDescendantCount(node) : 0;
}
} // namespace

// ---- writing

void TBaseLazyTree::WriteTreeStream(TStream& stream, PLazyNode node)
{
    for (std::uint16_t unit : TreeStreamMagic)
        WriteUInt16(stream, unit);
    if (node && node != FRoot) {
        WriteInt32(stream, 1);
        EmitNodeBlock(stream, node);
        return;
    }
    WriteInt32(stream, static_cast<std::int32_t>(FRoot->NumChildren));
    for (PLazyNode child = FRoot->ChildHead; child; child = child->NextLink)
        EmitNodeBlock(stream, child);
}

void TBaseLazyTree::EmitNodeBlock(TStream& stream, PLazyNode node)
{
    if (HasOption(toInitOnSave)) {
        if (!node->Has(nsReady))
            PrepareNode(node);
        if (node->Has(nsMayHaveChildren) && node->NumChildren == 0)
            LoadChildNodes(node);
    }
    const std::int64_t start = stream.Position();
    WriteInt32(stream, AnchorChunk);
    WriteInt32(stream, 0);
    EmitNodeChunks(stream, node);
    PatchChunkSize(stream, start, stream.Position());
}

void TBaseLazyTree::EmitNodeChunks(TStream& stream, PLazyNode node)
{
    std::int64_t start = stream.Position();
    WriteInt32(stream, NodeChunk);
    WriteInt32(stream, 0);
    // why: an uninitialised node's children are not written, so it claims none; a reader would
    // otherwise take the following chunks for them.
    const bool withChildren = node->Has(nsReady);
    WriteInt32(stream, static_cast<std::int32_t>(withChildren ? node->NumChildren : 0));
    WriteInt32(stream, node->RowHeight);
    WriteUInt16(stream, static_cast<std::uint16_t>(node->StateBits.Value() & ~UnstreamedStates));
    WriteUInt8(stream, node->RowAlign);
    WriteUInt8(stream, node->CheckMark);
    WriteUInt8(stream, node->CheckKind);
    WriteInt32(stream, 0);
    if (withChildren)
        for (PLazyNode child = node->ChildHead; child; child = child->NextLink)
            EmitNodeBlock(stream, child);
    PatchChunkSize(stream, start, stream.Position());

    start = stream.Position();
    WriteInt32(stream, UserChunk);
    WriteInt32(stream, 0);
    FireSaveNode(node, stream);
    if (stream.Position() - start == ChunkHeaderSize) {
        stream.SetPosition(start);
        if (stream.Size() == start + ChunkHeaderSize)
            stream.SetSize(start);
    } else {
        PatchChunkSize(stream, start, stream.Position());
    }
}

void TBaseLazyTree::PatchChunkSize(TStream& stream, std::int64_t startPos, std::int64_t endPos)
{
    stream.SetPosition(startPos + 4);
    WriteInt32(stream, static_cast<std::int32_t>(endPos - startPos - ChunkHeaderSize));
    stream.SetPosition(endPos);
}

// ---- reading

void TBaseLazyTree::ReadTreeFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    ReadTreeStream(stream);
}

void TBaseLazyTree::ReadTreeStream(TStream& stream)
{
    if (HasOption(toReadOnly))
        return;
    const std::int64_t start = stream.Position();
    const std::string bytes = ReadRest(stream);
    if (bytes.size() < TreeStreamHeaderSize)
        RaiseTreeError(hcTFStreamTooSmall);
    TMemoryStream data(bytes);
    std::uint16_t units[6];
    for (std::uint16_t& unit : units)
        unit = ReadUInt16(data);
    if (units[0] != TreeStreamMagic[0] || units[1] != TreeStreamMagic[1] || units[2] != TreeStreamMagic[2] ||
        units[5] != TreeStreamMagic[5])
        RaiseTreeError(hcTFWrongStreamFormat);
    const int version = units[3];
    if (version > TreeStreamVersion)
        RaiseTreeError(hcTFWrongStreamVersion);
    std::int64_t count = 2147483647;
    if (version > 1) {
        if (RemainingBytes(data) < 4)
            RaiseTreeError(hcTFStreamTooSmall);
        count = ReadInt32(data);
    }
    const std::size_t blocksStart = static_cast<std::size_t>(data.Position());
    const std::size_t used =
        ValidateNodeBlocks(std::string_view(bytes).substr(blocksStart), version, count);
    stream.SetPosition(start + static_cast<std::int64_t>(blocksStart + used));

    RemoveAllNodes();
    StartBatchUpdate();
    try {
        const auto end = static_cast<std::int64_t>(blocksStart + used);
        while (data.Position() < end && count > 0) {
            --count;
            PLazyNode node = AllocateNode();
            LinkNodeAt(node, FRoot, this, TLTNodeAttachMode::amAddChildLast);
            AppendFromStream(data, version, node);
        }
    } catch (...) {
        FinishBatchUpdate();
        throw;
    }
    FinishBatchUpdate();
    FireNodeCopied(nullptr);
}

bool TBaseLazyTree::AppendFromStream(TStream& stream, int version, PLazyNode node)
{
    if (!node)
        node = FRoot;
    StopWorkerBeforeChange();
    const std::uint32_t rowsBefore = node == FRoot ? 0 : RowsOf(*this, node);
    PLazyNode parent = node == FRoot ? nullptr : node->ParentLink;
    auto heightInParent = [&] {
        return parent && node->Has(nsShown) && parent->Has(nsOpen) ? std::int64_t{node->SubtreeHeight} : 0;
    };
    const std::int64_t countBefore = node->SubtreeCount;
    const std::int64_t heightBefore = heightInParent();
    ParseNodeBlock(stream, version, node);
    // The ancestors learn what the block brought (counts, heights, visibility).
    if (parent) {
        BumpSubtreeCounts(parent, static_cast<std::int64_t>(node->SubtreeCount) - countBefore, true);
        BumpSubtreeHeights(parent, heightInParent() - heightBefore, true);
        if (parent != FRoot)
            UpdateAllChildrenHiddenFlag(parent);
        FVisibleRowCount = FVisibleRowCount - rowsBefore + RowsOf(*this, node);
    } else {
        FVisibleRowCount = VisibleDescendantCount(FRoot);
    }
    DropPositionCache();
    // The selection: the nodes read carry nsPicked only as the tree's selection array says.
    PLazyNode stop = nullptr;
    if (node != FRoot)
        for (PLazyNode up = node; up != FRoot && !stop; up = up->ParentLink)
            stop = up->NextLink;
    ResetScratchNodeList();
    PLazyNode run = node == FRoot ? FirstNodeRaw() : node;
    int index = 0;
    while (run && run != stop) {
        if (run->Has(nsPicked)) {
            if (!HasOption(toMultiSelect))
                run->StateBits.Exclude(nsPicked);
            else if (!SelectionBinarySearch(run, index, -1, -1))
                AddScratchNode(run);
        }
        run = NextNodeRaw(run);
    }
    if (FScratchCount > 0) {
        for (int i = 0; i < FScratchCount; ++i)
            FScratchNodes[static_cast<size_t>(i)]->StateBits.Exclude(nsPicked);
        PickNodes(FScratchNodes.data(), FScratchCount, true);
        FocusShownColumnForSelection();
    }
    ResetScratchNodeList();
    return true;
}

void TBaseLazyTree::ParseNodeBlock(TStream& stream, int version, PLazyNode node)
{
    if (ReadInt32(stream) != AnchorChunk)
        RaiseTreeError(hcTFCorruptStream1);
    const std::int32_t size = ReadInt32(stream);
    const std::int64_t end = stream.Position() + size;
    while (stream.Position() < end) {
        const std::int32_t type = ReadInt32(stream);
        const std::int32_t chunkSize = ReadInt32(stream);
        ParseNodeChunk(stream, version, node, type, chunkSize);
    }
    if (stream.Position() != end)
        RaiseTreeError(hcTFCorruptStream2);
}

bool TBaseLazyTree::ParseNodeChunk(TStream& stream, int version, PLazyNode node, std::int32_t chunkType,
                                   std::int32_t chunkSize)
{
    if (chunkType == NodeChunk) {
        const auto children = static_cast<std::uint32_t>(ReadInt32(stream));
        const auto rowHeight = static_cast<std::uint32_t>(ReadInt32(stream));
        std::uint16_t states;
        if (version >= 2) {
            states = ReadUInt16(stream);
        } else {
            const std::uint8_t state = ReadUInt8(stream);
            states = static_cast<std::uint16_t>(state | ((state & 0x80) ? nsPicked : nsShown));
        }
        const std::uint8_t rowAlign = ReadUInt8(stream);
        const std::uint8_t checkMark = ReadUInt8(stream);
        const std::uint8_t checkKind = ReadUInt8(stream);
        if (version >= 2)
            ReadInt32(stream);
        // The hidden root keeps its own fields; a block read into it only brings children.
        if (node != FRoot) {
            node->StateBits.SetValue(static_cast<std::uint16_t>(states & StreamableStates));
            node->RowHeight = static_cast<std::uint16_t>(std::min<std::uint32_t>(rowHeight, 0xFFFF));
            node->SubtreeHeight = node->RowHeight;
            node->RowAlign = rowAlign;
            node->CheckMark = static_cast<TCheckState>(std::min<std::uint8_t>(checkMark, csMixedPressed));
            node->CheckKind = static_cast<TLTCheckKind>(std::min<std::uint8_t>(checkKind, chkButton));
        }
        PLazyNode previous = node->ChildTail;
        for (std::uint32_t i = 0; i < children; ++i) {
            PLazyNode child = AllocateNode();
            child->ParentLink = node;
            child->PrevLink = previous;
            child->SiblingIndex = previous ? previous->SiblingIndex + 1 : 0;
            if (previous)
                previous->NextLink = child;
            else
                node->ChildHead = child;
            node->ChildTail = child;
            ++node->NumChildren;
            previous = child;
            ParseNodeBlock(stream, version, child);
            node->SubtreeCount += child->SubtreeCount;
            if (child->Has(nsShown) && node->Has(nsOpen))
                node->SubtreeHeight += child->SubtreeHeight;
        }
        if (node != FRoot) {
            if (node->NumChildren > 0) {
                node->StateBits.Include(nsMayHaveChildren);
                UpdateAllChildrenHiddenFlag(node);
            } else {
                node->StateBits.Exclude(nsOpen);
            }
        } else if (node->NumChildren > 0) {
            node->StateBits.Include(nsMayHaveChildren);
        }
        return true;
    }
    if (chunkType == UserChunk) {
        if (chunkSize <= 0)
            return true;
        const std::int64_t start = stream.Position();
        FireLoadNode(node, stream);
        const std::int64_t consumed = stream.Position() - start;
        if (consumed != chunkSize)
            stream.SetPosition(start + chunkSize);
        return consumed > 0;
    }
    stream.Seek(chunkSize, TSeekOrigin::soCurrent);
    return false;
}

void TBaseLazyTree::SkipNodeBlock(TStream& stream)
{
    ReadInt32(stream);
    const std::int32_t size = ReadInt32(stream);
    stream.Seek(size, TSeekOrigin::soCurrent);
}

void TBaseLazyTree::InsertNodeBlocks(TStream& stream, PLazyNode target, TLTNodeAttachMode mode,
                                     const std::function<bool(PLazyNode)>& onNode)
{
    // why: every block after the first follows the one before, so the blocks keep their order
    // also where each one placed at the target itself would come before the previous one.
    PLazyNode anchor = target;
    TLTNodeAttachMode placement = mode;
    while (stream.Position() < stream.Size()) {
        PLazyNode node = AllocateNode();
        LinkNodeAt(node, anchor, this, placement);
        AppendFromStream(stream, TreeStreamVersion, node);
        if (!onNode(node))
            continue;
        if (mode == TLTNodeAttachMode::amInsertAfter || mode == TLTNodeAttachMode::amAddChildFirst) {
            anchor = node;
            placement = TLTNodeAttachMode::amInsertAfter;
        }
    }
}
