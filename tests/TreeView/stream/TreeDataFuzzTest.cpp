// Mutation fuzzing of the tree's readers of outside data: tree streams (the base tree with user
// data, the string tree with captions) and the "Lazy Tree Data" of the clipboard and of drops,
// seeded with what real trees write. A reader may refuse an input with its tree error; it must
// never crash, and what it keeps must be a sound tree that writes itself out again.

#include "TreeView/TreeTestSupport.h"

#include "TreeView/Source/core/LTErrors.h"
#include "TreeView/Source/stream/LTStreamIO.h"
#include "TreeView/Source/stream/LTTreeMimeData.h"
#include "TreeView/Source/strings/LazyStringTree.h"

#include "Platform/files/Streams.h"
#include "support/MutationFuzzer.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// A tree whose nodes keep their id as user data in streams.
class TIdTree : public TTestTree {
public:
    TIdTree()
    {
        OnSaveNode = [this](TBaseLazyTree*, PLazyNode node, TStream& stream) {
            WriteInt32(stream, static_cast<std::int32_t>(Id(node)));
        };
        OnLoadNode = [this](TBaseLazyTree*, PLazyNode node, TStream& stream) {
            SetId(node, static_cast<std::uint32_t>(ReadInt32(stream)));
        };
    }
};

// A string tree whose captions are "n" and the node's position; streamed captions are counted.
class TCaptionTree : public TCustomLazyStringTree {
public:
    TCaptionTree()
    {
        OnGetText = [](TCustomLazyStringTree*, PLazyNode node, TColumnIndex, TVSTTextType, QString& text) {
            text = QStringLiteral("n%1").arg(node->SiblingIndex);
        };
        OnNewText = [this](TCustomLazyStringTree*, PLazyNode, TColumnIndex, const QString& text) {
            Captions += text.size();
        };
    }
    using TBaseLazyTree::WriteTreeStream;
    qsizetype Captions = 0;
};

// Three root nodes, a subtree two levels deep, heights, check marks, a hidden and a selected node.
template <class TTree>
void Populate(TTree& tree)
{
    tree.TreeOptions().SetSelectionOptions({toMultiSelect});
    tree.SetRootNodeCount(3);
    PLazyNode middle = tree.HiddenRoot()->ChildHead->NextLink;
    tree.SetNodeChildCount(middle, 3);
    PLazyNode last = middle->ChildTail;
    tree.SetNodeChildCount(last, 2);
    tree.SetNodeExpanded(middle, true);
    tree.SetNodeExpanded(last, true);
    tree.SetRowHeight(middle->ChildHead->NextLink, 33);
    tree.SetNodeShown(middle->ChildHead, false);
    PLazyNode third = tree.HiddenRoot()->ChildTail;
    tree.SetNodeCheckKind(third, chkRadio);
    tree.SetNodeCheckMark(third, csCheckedNormal);
    tree.SetNodeSelected(tree.HiddenRoot()->ChildHead, true);
}

std::string Le32(std::int32_t value)
{
    TMemoryStream s;
    WriteInt32(s, value);
    return std::string(s.View());
}

std::vector<std::string> TreeDictionary()
{
    return {Le32(1), Le32(2), Le32(3), Le32(4), Le32(0), Le32(-1), Le32(0x7FFFFFFF), Le32(17), Le32(12),
            std::string("\x45\x20\x56\x00\x54\x00\x02\x00\x20\x00\x46\x20", 12),
            std::string("\x45\x20\x56\x00\x54\x00\x01\x00\x20\x00\x46\x20", 12)};
}

fuzz::TFuzzOptions TreeOptions(int cases)
{
    fuzz::TFuzzOptions options;
    options.Cases = cases;
    options.MaxInputSize = 1 << 16;
    options.Dictionary = TreeDictionary();
    return options;
}

// A tree left by a reader must hold together and write itself out again.
void RequireSound(TBaseLazyTree& tree)
{
    const ::testing::AssertionResult sound = TreeInvariantsHold(tree);
    if (!sound)
        throw std::logic_error(std::string("the tree read does not hold together: ") + sound.message());
    TMemoryStream out;
    tree.WriteTreeStream(out);
}

std::string Written(TBaseLazyTree& tree)
{
    TMemoryStream stream;
    tree.WriteTreeStream(stream);
    return std::string(stream.View());
}

// Reads every mutated stream into the same tree, which must stay sound whether or not the
// stream is refused; the number of cases run.
int FuzzTreeStreams(const char* name, const std::vector<std::string>& seeds, TBaseLazyTree& reader, int cases)
{
    return fuzz::FuzzReader(name, seeds, [&](const std::string& input) {
        TMemoryStream stream(input);
        try {
            reader.ReadTreeStream(stream);
        } catch (const ELazyTreeError&) {
        } catch (const EReadError&) {
        }
        RequireSound(reader);
    }, TreeOptions(cases));
}

} // namespace

TEST(TreeDataFuzz, TreeStreamsOfTheBaseTree)
{
    std::vector<std::string> seeds;
    {
        TIdTree tree;
        Populate(tree);
        seeds.push_back(Written(tree));
        TMemoryStream single;
        tree.WriteTreeStream(single, tree.HiddenRoot()->ChildHead->NextLink);
        seeds.emplace_back(single.View());
        tree.RemoveAllNodes();
        seeds.push_back(Written(tree));
    }
    TIdTree reader;
    EXPECT_GT(FuzzTreeStreams("tree stream", seeds, reader, 2500), 2500);
}

TEST(TreeDataFuzz, TreeStreamsOfTheStringTreeWithCaptions)
{
    std::vector<std::string> seeds;
    {
        TCaptionTree tree;
        Populate(tree);
        for (PLazyNode node = tree.FirstNodeRaw(); node; node = tree.NextNodeRaw(node))
            tree.GetCellText(node, NoColumn);
        seeds.push_back(Written(tree));
    }
    TCaptionTree reader;
    EXPECT_GT(FuzzTreeStreams("string tree stream", seeds, reader, 1500), 1500);
    EXPECT_GT(reader.Captions, 0) << "captions were read";
}

TEST(TreeDataFuzz, ClipboardAndDropDataInsertedAtEveryPlace)
{
    std::vector<std::string> seeds;
    {
        TIdTree tree;
        Populate(tree);
        std::vector<PLazyNode> nodes;
        for (PLazyNode node = tree.HiddenRoot()->ChildHead; node; node = node->NextLink)
            nodes.push_back(node);
        seeds.push_back(tree.RenderTreeData(nodes));
        seeds.push_back(tree.RenderTreeData(std::vector<PLazyNode>{tree.HiddenRoot()->ChildHead->NextLink->ChildTail}));
    }
    const TLTNodeAttachMode modes[] = {TLTNodeAttachMode::amInsertBefore, TLTNodeAttachMode::amInsertAfter,
                                       TLTNodeAttachMode::amAddChildFirst, TLTNodeAttachMode::amAddChildLast};
    const int run = fuzz::FuzzReader("tree clipboard data", seeds, [&](const std::string& input) {
        TIdTree target;
        Populate(target);
        // The place follows from the input, so a case is reproduced by its bytes alone.
        const size_t pick = input.size();
        PLazyNode at = pick % 3 == 0 ? nullptr : (pick % 3 == 1 ? target.HiddenRoot()->ChildTail
                                                                  : target.HiddenRoot()->ChildHead->NextLink->ChildTail);
        TLTTreeMimeData data(nullptr, QByteArray(input.data(), static_cast<qsizetype>(input.size())));
        try {
            target.InsertFromDataObject(nullptr, &data, false, modes[(pick / 3) % 4], at);
        } catch (const ELazyTreeError&) {
        } catch (const EReadError&) {
        }
        RequireSound(target);
    }, TreeOptions(800));
    EXPECT_GT(run, 800);
}
