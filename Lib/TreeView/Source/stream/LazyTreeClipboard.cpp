// Copying, cutting and pasting nodes through the clipboard, and inserting tree data at a node.

#include "TreeView/Source/core/LazyTree.h"

#include "TreeView/Source/core/LTErrors.h"
#include "TreeView/Source/stream/LTStreamIO.h"
#include "TreeView/Source/stream/LTTreeData.h"
#include "TreeView/Source/stream/LTTreeMimeData.h"
#include "TreeView/Source/transfer/LTDataObject.h"

#include "Platform/files/Streams.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <algorithm>

TLTTreeMimeData::TLTTreeMimeData(TBaseLazyTree* source, const QByteArray& treeData) : FSource(source), FTree(source)
{
    setData(TreeDataMimeType(), treeData);
    setData(TreeReferenceMimeType(),
            QByteArray::number(QCoreApplication::applicationPid()) + ':' +
                QByteArray::number(reinterpret_cast<qulonglong>(source), 16));
}

TBaseLazyTree* TLTTreeMimeData::SourceTree() const
{
    return FSource ? FTree : nullptr;
}

QString TreeDataMimeType()
{
    return MimeTypeOfFormat(RegisterClipboardFormat("Lazy Tree Data"));
}

QString TreeReferenceMimeType()
{
    return MimeTypeOfFormat(RegisterClipboardFormat("Lazy Tree Reference"));
}

TBaseLazyTree* TBaseLazyTree::SourceTreeOfDataObject(const QMimeData* data) const
{
    // A reference is honoured only when the object itself is one of this process.
    if (const auto* object = dynamic_cast<const TLTDataObject*>(data))
        return object->Owner();
    const auto* treeData = dynamic_cast<const TLTTreeMimeData*>(data);
    return treeData ? treeData->SourceTree() : nullptr;
}

void TBaseLazyTree::FlagSelectedForCutCopy()
{
    for (PLazyNode node = FirstNodeRaw(); node; node = NextNodeRaw(node))
        node->StateBits.Assign(nsCutCopyMarked, node->Has(nsPicked));
}

std::string TBaseLazyTree::RenderTreeData(const std::vector<PLazyNode>& nodes)
{
    TMemoryStream blocks;
    for (PLazyNode node : nodes)
        EmitNodeBlock(blocks, node);
    TMemoryStream data;
    WriteInt32(data, static_cast<std::int32_t>(blocks.Size()));
    data.WriteString(blocks.View());
    return std::string(data.View());
}

void TBaseLazyTree::CopySelectionToClipboard()
{
    if (FSelectionCount == 0)
        return;
    // The clipboard owns the object; the marks it renders from are set once it holds it.
    QGuiApplication::clipboard()->setMimeData(new TLTDataObject(this, true));
    FlagSelectedForCutCopy();
    ShiftTreeStates(tsCopyPending, {});
    InvalidateClient();
}

void TBaseLazyTree::CutSelectionToClipboard()
{
    if (FSelectionCount == 0 || HasOption(toReadOnly))
        return;
    QGuiApplication::clipboard()->setMimeData(new TLTDataObject(this, true));
    FlagSelectedForCutCopy();
    ShiftTreeStates(tsCutPending, tsCopyPending);
    InvalidateClient();
}

bool TBaseLazyTree::PasteClipboardNodes()
{
    if (HasOption(toReadOnly))
        return false;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        RaiseTreeError(hcTFClipboardFailed);
    TBaseLazyTree* source = SourceTreeOfDataObject(data);
    const bool isMove = source && source->TreeStates().Contains(tsCutPending);
    const bool result = InsertFromDataObject(source, data, isMove, FDefaultPasteMode, FFocusNode);
    if (source == this)
        ShiftTreeStates({}, tsCutPending);
    else if (source)
        source->RemoveCutNodes();
    return result;
}

bool TBaseLazyTree::InsertFromDataObject(TBaseLazyTree* sourceTree, const QMimeData* data, bool isMove,
                                         TLTNodeAttachMode mode, PLazyNode target)
{
    const bool offered = data && data->hasFormat(TreeDataMimeType());
    if (!offered || HasOption(toReadOnly))
        return offered;
    if (!target)
        target = FRoot;
    if (target == FRoot) {
        if (mode == TLTNodeAttachMode::amInsertBefore)
            mode = TLTNodeAttachMode::amAddChildFirst;
        else if (mode == TLTNodeAttachMode::amInsertAfter)
            mode = TLTNodeAttachMode::amAddChildLast;
    }
    if (isMove && sourceTree) {
        StartBatchUpdate();
        try {
            std::vector<PLazyNode> nodes = sourceTree->CollectCutCopyNodes(true);
            if (mode != TLTNodeAttachMode::amInsertBefore && mode != TLTNodeAttachMode::amAddChildLast)
                std::reverse(nodes.begin(), nodes.end());
            for (PLazyNode node : nodes)
                if (node != target && !IsDescendantOf(target, node))
                    sourceTree->RelocateNode(node, target == FRoot ? nullptr : target, mode, false);
        } catch (...) {
            FinishBatchUpdate();
            throw;
        }
        FinishBatchUpdate();
        return true;
    }
    // Data from another process is bounded by its real size: the length field is checked, and
    // the blocks are checked whole before anything is inserted.
    const QByteArray bytes = data->data(TreeDataMimeType());
    if (bytes.size() < 4)
        RaiseTreeError(hcTFStreamTooSmall);
    TMemoryStream header(std::string(bytes.constData(), 4));
    const std::int32_t length = ReadInt32(header);
    if (length < 0 || length > bytes.size() - 4)
        RaiseTreeError(hcTFStreamTooSmall);
    const std::string blocks(bytes.constData() + 4, static_cast<std::size_t>(length));
    if (ValidateNodeBlocks(blocks, TreeStreamVersion, INT64_MAX) != blocks.size())
        RaiseTreeError(hcTFCorruptStream2);
    const TChangeReason reason = sourceTree == this ? TChangeReason::crNodeCopied : TChangeReason::crNodeAdded;
    StartBatchUpdate();
    try {
        TMemoryStream stream(blocks);
        InsertNodeBlocks(stream, target, mode, [&](PLazyNode node) {
            if (!FireNodeCopying(node, target == FRoot ? nullptr : target)) {
                RemoveNode(node, true);
                return false;
            }
            FireNodeCopied(node);
            NotifyStructureChange(node, reason);
            return true;
        });
    } catch (...) {
        FinishBatchUpdate();
        throw;
    }
    FinishBatchUpdate();
    return true;
}
