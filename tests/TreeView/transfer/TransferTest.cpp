// The data object, the proposed drop effects, drags between two trees (moved with Shift, copied
// otherwise), drop modes and expanding drop targets, and the clipboard with its text renderings.

#include "TreeView/TreeTestSupport.h"

#include "TreeView/Source/core/LTColors.h"
#include "TreeView/Source/header/LTHeader.h"
#include "TreeView/Source/strings/LazyStringTree.h"
#include "TreeView/Source/transfer/LTDataObject.h"
#include "TreeView/Source/transfer/LTDragManager.h"

#include "Platform/docking/DockCore.h"
#include "Platform/files/Streams.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QDragEnterEvent>
#include <QImage>
#include <QTest>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

// A tree whose nodes carry ids through streams and whose drags are delivered to `Target` by a
// scripted drag loop: enter, move and drop at `DropAt` with `Modifiers`.
class TDragTree : public TTestTree {
public:
    TDragTree()
    {
        OnSaveNode = [this](TBaseLazyTree*, PLazyNode node, TStream& stream) {
            const std::uint32_t id = Id(node);
            stream.WriteBuffer(&id, 4);
        };
        OnLoadNode = [this](TBaseLazyTree*, PLazyNode node, TStream& stream) {
            std::uint32_t id = 0;
            stream.ReadBuffer(&id, 4);
            SetId(node, id);
        };
        OnDragOver = [](TBaseLazyTree*, QObject*, TShiftState, TDragState, TPoint, TDropMode, int&, bool& accept) {
            accept = true;
        };
        OnDragDrop = [this](TBaseLazyTree*, QObject* source, const QMimeData* data, const std::vector<std::uint16_t>&,
                            TShiftState, TPoint, int& effect, TDropMode mode) {
            ++Drops;
            DropEffect = effect;
            const TLTNodeAttachMode attach = mode == TDropMode::dmAbove   ? TLTNodeAttachMode::amInsertBefore
                                             : mode == TDropMode::dmBelow ? TLTNodeAttachMode::amInsertAfter
                                                                          : TLTNodeAttachMode::amAddChildLast;
            InsertFromDataObject(dynamic_cast<TBaseLazyTree*>(source), data, false, attach, DropTargetNode());
        };
        SetDragMode(*this, TDragMode::dmAutomatic);
        ContentWidth = 100;
    }
    void Number(std::uint32_t first)
    {
        for (std::uint32_t i = 0; i < RootNodeCount(); ++i)
            SetId(Root(i), first + i);
    }
    // A point of a node's row: on its label (x 40) or right of it.
    QPoint RowPoint(PLazyNode node, int x = 40)
    {
        const TRect r = NodeDisplayRect(node, NoColumn, false);
        return {x, (r.Top + r.Bottom) / 2};
    }

    Qt::DropAction ExecuteDrag(QDrag& drag, Qt::DropActions allowed) override
    {
        QWidget* target = Target->viewport();
        const QPointF at = DropAt;
        QDragEnterEvent enter(at.toPoint(), allowed, drag.mimeData(), Qt::LeftButton, Modifiers);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return Qt::IgnoreAction;
        QDragMoveEvent move(at.toPoint(), allowed, drag.mimeData(), Qt::LeftButton, Modifiers);
        QApplication::sendEvent(target, &move);
        SeenDropMode = Target->LastDropMode();
        QDropEvent drop(at, allowed, drag.mimeData(), Qt::LeftButton, Modifiers);
        QApplication::sendEvent(target, &drop);
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    }

    TDragTree* Target = this;
    QPointF DropAt;
    Qt::KeyboardModifiers Modifiers;
    TDropMode SeenDropMode = TDropMode::dmNowhere;
    int Drops = 0;
    int DropEffect = 0;
};

// Starts a drag of the selected nodes by pressing on `node` and moving past the drag threshold.
void Drag(TDragTree& source, PLazyNode node)
{
    const QPoint from = source.RowPoint(node);
    QTest::mousePress(source.viewport(), Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(source.viewport(), from + QPoint(30, 0));
    QTest::mouseRelease(source.viewport(), Qt::LeftButton, Qt::NoModifier, from + QPoint(30, 0));
}

} // namespace

TEST(DataObject, FormatsQueriesStoredDataAndEnumerators)
{
    TTestTree tree;
    TLTDataObject data(&tree, false);
    const TFormatEtc treeData{LTDataFormatId, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    EXPECT_EQ(data.QueryGetData(treeData), S_OK);
    EXPECT_EQ(data.QueryGetData({CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}), DV_E_FORMATETC)
        << "the base tree renders no text";
    EXPECT_EQ(data.QueryGetData({LTDataFormatId, nullptr, DVASPECT_CONTENT, -1, 0x20}), DV_E_TYMED);
    EXPECT_EQ(data.QueryGetData({LTDataFormatId, nullptr, 4, -1, TYMED_HGLOBAL}), DV_E_DVASPECT);
    QByteArray medium;
    ASSERT_EQ(data.GetData({LTReferenceFormatId, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}, medium), S_OK);
    ASSERT_EQ(medium.size(), 12);
    EXPECT_EQ(qFromLittleEndian<std::uint32_t>(medium.constData()), static_cast<std::uint32_t>(QCoreApplication::applicationPid()));
    EXPECT_EQ(qFromLittleEndian<std::uint64_t>(medium.constData() + 4), reinterpret_cast<std::uintptr_t>(&tree));
    EXPECT_EQ(data.GetData(treeData, medium), E_FAIL) << "nothing selected: nothing to render";
    const TFormatEtc own{RegisterClipboardFormat("Test Format"), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    EXPECT_EQ(data.SetData(own, "stored"), S_OK);
    ASSERT_EQ(data.GetData(own, medium), S_OK);
    EXPECT_EQ(medium, "stored") << "given back without asking the tree";
    std::unique_ptr<TEnumFormatEtc> enumerator;
    ASSERT_EQ(data.EnumFormatEtc(DATADIR_GET, enumerator), S_OK);
    EXPECT_EQ(data.EnumFormatEtc(DATADIR_SET, enumerator), OLE_S_USEREG);
    TEnumFormatEtc three({treeData, own, treeData});
    EXPECT_EQ(three.Skip(3), S_OK);
    TFormatEtcArray fetched;
    std::size_t count = 7;
    EXPECT_EQ(three.Next(1, fetched, &count), S_FALSE);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(three.Skip(1), S_FALSE);
    three.Reset();
    EXPECT_EQ(three.Next(5, fetched, &count), S_OK);
    EXPECT_EQ(count, 3u);
}

TEST(DataObject, OnlyObjectsOfThisProcessNameTheirTree)
{
    TTestTree tree;
    TLTDataObject own(&tree, false);
    EXPECT_EQ(tree.SourceTreeOfDataObject(&own), &tree);
    // The same bytes from outside (another process) name no tree.
    QByteArray reference(12, '\0');
    qToLittleEndian<std::uint32_t>(static_cast<std::uint32_t>(QCoreApplication::applicationPid()) + 1, reference.data());
    qToLittleEndian<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&tree), reference.data() + 4);
    QMimeData foreign;
    foreign.setData(MimeTypeOfFormat(LTReferenceFormatId), reference);
    EXPECT_EQ(tree.SourceTreeOfDataObject(&foreign), nullptr);
}

TEST(Drop, ProposedEffectsFollowTheSourceAndTheKeys)
{
    TTestTree tree;
    TTestTree other;
    struct TCase {
        TBaseLazyTree* Source;
        TShiftState Shift;
        int Allowed;
        int Expected;
    };
    const TCase cases[] = {
        {&tree, {}, 7, 2},           {&other, {}, 7, 1},          {nullptr, {}, 7, 1},
        {&tree, {ssCtrl}, 7, 1},     {&other, {ssShift}, 7, 2},   {&tree, {ssCtrl, ssShift}, 7, 4},
        {&tree, {ssAlt}, 7, 4},      {&tree, {ssCtrl}, 2, 2},     {&other, {}, 4, 4},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(tree.ProposeDropEffect(c.Source, c.Shift, {}, c.Allowed), c.Expected)
            << (c.Source == &tree) << " " << c.Shift.Bits() << " " << c.Allowed;
}

TEST(Drop, DraggingBetweenTreesCopiesOrMovesByTheModifiers)
{
    TDragTree source;
    TDragTree target;
    source.SetRootNodeCount(3);
    source.Number(1);
    target.SetRootNodeCount(2);
    target.Number(10);
    source.Target = &target;
    source.DropAt = target.RowPoint(target.Root(1), 200) + QPoint(0, 7);
    // A plain drag to another tree copies.
    source.SetNodeSelected(source.Root(1), true);
    Drag(source, source.Root(1));
    EXPECT_EQ(target.Drops, 1);
    EXPECT_EQ(target.DropEffect, 1);
    EXPECT_EQ(Shape(source), "1 2 3");
    EXPECT_EQ(Shape(target), "10 11 2") << "inserted below the lower half of the row";
    EXPECT_EQ(source.SeenDropMode, TDropMode::dmBelow);
    // With Shift it moves: the source deletes what it gave away.
    source.Modifiers = Qt::ShiftModifier;
    source.DropAt = target.RowPoint(target.Root(0), 200) - QPoint(0, 7);
    Drag(source, source.Root(1));
    EXPECT_EQ(target.DropEffect, 2);
    EXPECT_EQ(Shape(source), "1 3");
    EXPECT_EQ(Shape(target), "2 10 11 2") << "above the upper half";
    EXPECT_FALSE(source.TreeStates().Contains(tsOLEDragging));
    EXPECT_TRUE(source.DragSelection().empty());
    EXPECT_EQ(target.DropTargetNode(), nullptr);
    EXPECT_TRUE(TreeInvariantsHold(source));
    EXPECT_TRUE(TreeInvariantsHold(target));
}

TEST(Drop, ADroppedSelectedNodeJoinsTheTargetsSelectionOnlyWithMultiSelection)
{
    for (const bool multi : {true, false}) {
        TDragTree source;
        TDragTree target;
        if (multi)
            target.TreeOptions().SetSelectionOptions({toMultiSelect});
        source.SetRootNodeCount(2);
        source.Number(1);
        target.SetRootNodeCount(1);
        target.Number(10);
        source.Target = &target;
        source.DropAt = target.RowPoint(target.Root(0), 200) + QPoint(0, 7);
        source.SetNodeSelected(source.Root(1), true);
        Drag(source, source.Root(1));
        ASSERT_EQ(Shape(target), "10 2");
        PLazyNode dropped = target.Root(1);
        EXPECT_EQ(target.GetNodeSelected(dropped), multi) << "multi " << multi;
        EXPECT_EQ(target.SelectionCount(), multi ? 1u : 0u) << "the flag and the selection agree";
        EXPECT_EQ(target.CollectSelectedNodes(false),
                  multi ? std::vector<PLazyNode>{dropped} : std::vector<PLazyNode>{});
    }
}

TEST(Drop, AParentAndItsSelectedChildTravelAsOneBlock)
{
    TDragTree source;
    source.OnInitNode = [](TBaseLazyTree*, PLazyNode, PLazyNode node, TShellNodeInitStates& s) {
        if (node->ParentLink->ParentLink == nullptr || node->ParentLink->NextLink == node->ParentLink)
            s.Include(ivsHasChildren);
    };
    source.OnInitChildren = [](TBaseLazyTree*, PLazyNode, std::uint32_t& count) { count = 1; };
    source.TreeOptions().SetSelectionOptions({toMultiSelect});
    source.SetRootNodeCount(2);
    source.Number(1);
    source.FlipExpanded(source.Root(0));
    source.SetId(source.Child(source.Root(0), 0), 5);
    source.SetNodeSelected(source.Root(0), true);
    source.SetNodeSelected(source.Child(source.Root(0), 0), true);
    TDragTree target;
    source.Target = &target;
    source.DropAt = {100, 150};
    Drag(source, source.Root(0));
    EXPECT_EQ(Shape(target), "1(5)");
}

TEST(Drop, DropMarksAndExpandingDropTargets)
{
    TDragTree tree;
    tree.OnInitNode = [](TBaseLazyTree*, PLazyNode, PLazyNode, TShellNodeInitStates& s) { s.Include(ivsHasChildren); };
    tree.OnInitChildren = [](TBaseLazyTree*, PLazyNode, std::uint32_t& count) { count = 2; };
    tree.SetRootNodeCount(3);
    tree.SetAutoExpandDelay(40);
    TLTDataObject data(&tree, false);
    auto over = [&](QPoint at, QEvent::Type type) {
        QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier, type);
        QApplication::sendEvent(tree.viewport(), &move);
    };
    const QPoint row1 = tree.RowPoint(tree.Root(1), 200);
    over(row1 - QPoint(0, 5), QEvent::DragEnter);
    over(row1 - QPoint(0, 5), QEvent::DragMove);
    EXPECT_EQ(tree.DropTargetNode(), tree.Root(1));
    EXPECT_EQ(tree.LastDropMode(), TDropMode::dmAbove);
    over(row1 + QPoint(0, 5), QEvent::DragMove);
    EXPECT_EQ(tree.LastDropMode(), TDropMode::dmBelow);
    QTest::qWait(120);
    EXPECT_TRUE(tree.Root(1)->Has(nsOpen)) << "expanded after AutoExpandDelay";
    // Leaving another node before the delay cancels its expansion.
    over(tree.RowPoint(tree.Root(1)), QEvent::DragMove);
    EXPECT_EQ(tree.LastDropMode(), TDropMode::dmOnNode) << "on the label";
    const QPoint row0 = tree.RowPoint(tree.Root(0), 200);
    over(row0, QEvent::DragMove);
    over(row0 + QPoint(0, 200), QEvent::DragMove);
    QTest::qWait(120);
    EXPECT_FALSE(tree.Root(0)->Has(nsOpen));
    tree.TreeOptions().SetPaintOptions(tree.TreeOptions().PaintOptions() - toShowDropmark);
    over(row0 - QPoint(0, 5), QEvent::DragMove);
    EXPECT_EQ(tree.LastDropMode(), TDropMode::dmOnNode) << "without drop marks every hit is on the node";
    QDragLeaveEvent leave;
    QApplication::sendEvent(tree.viewport(), &leave);
    EXPECT_EQ(tree.DropTargetNode(), nullptr);
}

TEST(Clipboard, CopiedNodesOfferTextCsvHtmlAndRtfAndPasteIntoAnotherTree)
{
    auto source = std::make_unique<TCustomLazyStringTree>();
    source->OnGetText = [](TCustomLazyStringTree*, PLazyNode node, TColumnIndex, TVSTTextType, QString& text) {
        text = QString("item %1").arg(node->SiblingIndex);
    };
    source->TreeOptions().SetSelectionOptions({toMultiSelect});
    source->SetRootNodeCount(4);
    source->SetNodeSelected(source->HiddenRoot()->ChildHead, true);
    source->SetNodeSelected(source->HiddenRoot()->ChildHead->NextLink->NextLink, true);
    source->CopySelectionToClipboard();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), "item 0\nitem 2\n") << "plain text with LF line breaks";
    EXPECT_EQ(data->data("text/csv"), "item 0\r\nitem 2\r\n");
    const QByteArray html = data->data("text/html");
    EXPECT_TRUE(html.startsWith("<!DOCTYPE")) << "the document without the platform's clipboard header";
    EXPECT_NE(html.indexOf(">item 2</td>"), -1);
    EXPECT_TRUE(data->data("text/rtf").startsWith("{\\rtf1"));
    // Pasting into another string tree brings the nodes with their captions.
    TCustomLazyStringTree target;
    std::vector<QString> captions;
    target.OnNewText = [&](TCustomLazyStringTree*, PLazyNode, TColumnIndex, const QString& text) {
        captions.push_back(text);
    };
    EXPECT_TRUE(target.PasteClipboardNodes());
    EXPECT_EQ(target.RootNodeCount(), 2u);
    EXPECT_EQ(captions, (std::vector<QString>{"item 0", "item 2"}));
    // The data stays on the clipboard when its tree goes.
    source.reset();
    data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), "item 0\nitem 2\n");
    EXPECT_EQ(target.SourceTreeOfDataObject(data), nullptr);
    TCustomLazyStringTree again;
    EXPECT_TRUE(again.PasteClipboardNodes()) << "the tree data was kept too";
    EXPECT_EQ(again.RootNodeCount(), 2u);
    QGuiApplication::clipboard()->clear();
}

TEST(Clipboard, APastedSelectedNodeShowsSelectedInATreeWithColumns)
{
    // Selections are painted in the focused column; a tree that never had a selection has none.
    auto make = [] {
        auto tree = std::make_unique<TCustomLazyStringTree>();
        tree->OnGetText = [](TCustomLazyStringTree*, PLazyNode node, TColumnIndex, TVSTTextType, QString& text) {
            text = QString("item %1").arg(node->SiblingIndex);
        };
        tree->TreeOptions().SetSelectionOptions({toMultiSelect, toExtendedFocus});
        for (int i = 0; i < 2; ++i)
            tree->Header().Columns().AddColumn()->SetWidth(100);
        tree->Header().SetOptions(tree->Header().Options() + hoVisible);
        tree->resize(300, 200);
        return tree;
    };
    auto source = make();
    source->SetRootNodeCount(2);
    source->SetNodeSelected(source->HiddenRoot()->ChildHead, true);
    source->CopySelectionToClipboard();
    auto target = make();
    target->SetRootNodeCount(1);
    ASSERT_EQ(target->FocusedColumn(), NoColumn);
    ASSERT_TRUE(target->PasteClipboardNodes());
    PLazyNode pasted = target->HiddenRoot()->ChildTail;
    ASSERT_TRUE(target->GetNodeSelected(pasted));
    EXPECT_EQ(target->FocusedColumn(), 0) << "the main column";
    QImage image(target->viewport()->size(), QImage::Format_RGB32);
    target->viewport()->render(&image);
    const TRect label = target->NodeDisplayRect(pasted, 0, true);
    EXPECT_EQ(image.pixelColor(label.Left + 2, label.Top + 2), ToQColor(target->Colors().UnfocusedSelectionColor()));
    QGuiApplication::clipboard()->clear();
}
