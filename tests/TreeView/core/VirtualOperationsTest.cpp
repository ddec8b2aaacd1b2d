// A descendant replaces the tree's operations and the tree goes through its replacements: texts,
// content widths, own stream chunks, own clipboard formats, the type-ahead match, the proposed
// drop effect, cell painting, the editor and the tree states.

#include "TreeView/Source/strings/LazyStringTree.h"

#include "TreeView/Source/stream/LTStreamIO.h"
#include "TreeView/Source/transfer/LTDataObject.h"

#include "Platform/files/Streams.h"
#include "Platform/graphics/Canvas.h"

#include <QApplication>
#include <QClipboard>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr std::int32_t OwnChunk = 100;

// An edit link that ends at once and records what it was asked.
class TRecordingLink : public ILTEditLink {
public:
    bool ShowEditor() override { return true; }
    bool AbandonEdit() override { return true; }
    bool ConcludeEdit() override { return true; }
    bool AttachToCell(TBaseLazyTree*, PLazyNode node, TColumnIndex) override
    {
        Node = node;
        return true;
    }
    TRect EditorBounds() override { return {}; }
    void RelayMessage(TMessage&) override {}
    void PlaceEditor(const TRect& r) override { Placed = r; }
    PLazyNode Node = nullptr;
    TRect Placed;
};

class TDescendantTree : public TCustomLazyStringTree {
public:
    TDescendantTree()
    {
        resize(300, 200);
        show();
        SetColor(clWhite);
        TreeOptions().SetPaintOptions(TreeOptions().PaintOptions() - toShowTreeLines);
    }

    void FireGetText(PLazyNode node, TColumnIndex, TVSTTextType, QString& text) override
    {
        text = QString("own %1").arg(node->SiblingIndex);
    }
    int NodeContentWidth(PLazyNode, TColumnIndex, TCanvas*) override { return 50; }
    void EmitNodeChunks(TStream& stream, PLazyNode node) override
    {
        TCustomLazyStringTree::EmitNodeChunks(stream, node);
        if (node == HiddenRoot())
            return;
        WriteInt32(stream, OwnChunk);
        WriteInt32(stream, 4);
        WriteInt32(stream, static_cast<std::int32_t>(node->SiblingIndex) * 10);
    }
    bool ParseNodeChunk(TStream& stream, int version, PLazyNode node, std::int32_t type, std::int32_t size) override
    {
        if (type != OwnChunk)
            return TCustomLazyStringTree::ParseNodeChunk(stream, version, node, type, size);
        Parsed.push_back(ReadInt32(stream));
        return true;
    }
    void CollectClipboardFormats(TFormatEtcArray& formats) override
    {
        TCustomLazyStringTree::CollectClipboardFormats(formats);
        formats.push_back({OwnFormat, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
    }
    int RenderDataFormat(const TFormatEtc& format, QByteArray& medium, bool forClipboard) override
    {
        const int inherited = TCustomLazyStringTree::RenderDataFormat(format, medium, forClipboard);
        if (inherited == S_OK || format.cfFormat != OwnFormat)
            return inherited;
        medium = "own data";
        return S_OK;
    }
    int FireIncrementalSearch(PLazyNode node, const QString&) override { return node->SiblingIndex == 2 ? 0 : 1; }
    int ProposeDropEffect(TBaseLazyTree*, TShiftState, TPoint, int) override { return 4; }
    void DrawNodeContent(TTreeCellPaintRecord& record) override
    {
        record.Painter().fillRect(record.ContentRect.ToQt(), Qt::magenta);
    }
    void FireCreateEditor(PLazyNode, TColumnIndex, PLTEditLink& link) override { link = Link; }
    void ShiftTreeStates(TLazyTreeStates enter, TLazyTreeStates leave) override
    {
        Entered += enter;
        TCustomLazyStringTree::ShiftTreeStates(enter, leave);
    }
    using TBaseLazyTree::EmitNodeBlock;
    using TBaseLazyTree::WriteTreeStream;

    std::uint16_t OwnFormat = RegisterClipboardFormat("Own Test Format");
    std::vector<std::int32_t> Parsed;
    std::shared_ptr<TRecordingLink> Link = std::make_shared<TRecordingLink>();
    TLazyTreeStates Entered;
};

} // namespace

TEST(VirtualOperations, TextsWidthsAndPaintingGoThroughTheDescendant)
{
    TDescendantTree tree;
    tree.SetRootNodeCount(3);
    EXPECT_EQ(tree.GetCellText(tree.HiddenRoot()->ChildHead, NoColumn), "own 0");
    EXPECT_EQ(tree.ExportAsText(TLTTextSource::txsAll, '\t'), "own 0\r\nown 1\r\nown 2\r\n");
    TLTHitRecord hit;
    tree.HitTestAt(18 + 4 + 45, 9, true, hit);
    EXPECT_TRUE(hit.HitParts.Contains(htOnLabel)) << "the label is as wide as the descendant says";
    tree.HitTestAt(18 + 4 + 55, 9, true, hit);
    EXPECT_TRUE(hit.HitParts.Contains(htRowRight));
    QImage image(tree.ClientWidth(), tree.ClientHeight(), QImage::Format_RGB32);
    QPainter painter(&image);
    tree.PaintTree(painter, tree.ClientRect(), {0, 0}, ControlPaintFlags);
    painter.end();
    EXPECT_EQ(image.pixelColor(30, 9), QColor(Qt::magenta)) << "the descendant paints the cells";
    EXPECT_TRUE(tree.Entered.Contains(tsPainting)) << "every state change passes the replacement";
}

TEST(VirtualOperations, OwnChunksTravelBehindTheInheritedOnes)
{
    TDescendantTree source;
    source.SetRootNodeCount(3);
    TMemoryStream stream;
    source.WriteTreeStream(stream);
    TDescendantTree target;
    stream.SetPosition(0);
    target.ReadTreeStream(stream);
    EXPECT_EQ(target.RootNodeCount(), 3u);
    EXPECT_EQ(target.Parsed, (std::vector<std::int32_t>{0, 10, 20}));
}

TEST(VirtualOperations, OwnFormatsSearchesDropsAndEditors)
{
    TDescendantTree tree;
    tree.SetRootNodeCount(4);
    tree.SetNodeSelected(tree.HiddenRoot()->ChildHead, true);
    tree.CopySelectionToClipboard();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    EXPECT_EQ(data->data(MimeTypeOfFormat(tree.OwnFormat)), "own data");
    EXPECT_EQ(data->text(), "own 0\n") << "the inherited renderings stay";
    QGuiApplication::clipboard()->clear();

    tree.SetIncrementalSearch(TLTIncrementalSearch::isAll);
    tree.setFocus();
    QTest::keyClick(&tree, 'z');
    ASSERT_NE(tree.FocusNode(), nullptr);
    EXPECT_EQ(tree.FocusNode()->SiblingIndex, 2u) << "the descendant decides what matches";

    int effect = 7;
    EXPECT_EQ(tree.OleDragEntered({}, {10, 10}, effect), S_OK);
    EXPECT_EQ(effect, 0) << "no OnDragOver handler: refused";
    tree.OnDragOver = [](TBaseLazyTree*, QObject*, TShiftState, TDragState state, TPoint, TDropMode, int& e,
                         bool& accept) {
        if (state == TDragState::dsDragEnter) {
            EXPECT_EQ(e, 4) << "the descendant's proposal reaches the handler";
        }
        accept = true;
    };
    effect = 7;
    tree.OleDragEntered({}, {10, 10}, effect);
    EXPECT_EQ(effect, 4);
    tree.OleDragLeft();

    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() + toEditable);
    EXPECT_TRUE(tree.BeginNodeEdit(tree.HiddenRoot()->ChildHead->NextLink, NoColumn));
    EXPECT_EQ(tree.Link->Node, tree.HiddenRoot()->ChildHead->NextLink) << "the descendant's link edits";
    EXPECT_FALSE(tree.Link->Placed.IsEmpty());
    EXPECT_TRUE(tree.CommitNodeEdit());
}
