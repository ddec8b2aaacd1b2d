// The tree stream: exact bytes of what is written, reading back what was written, version 1
// streams, and damaged or hostile data, which fails with its tree error and leaves the tree as
// it was.

#include "TreeView/TreeTestSupport.h"

#include "TreeView/Source/core/LTErrors.h"
#include "TreeView/Source/stream/LTStreamIO.h"
#include "TreeView/Source/stream/LTTreeMimeData.h"

#include "Platform/files/Streams.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

std::string Hex(std::string_view bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if (!out.empty())
            out += ' ';
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string Le32(std::int32_t v)
{
    TMemoryStream s;
    WriteInt32(s, v);
    return std::string(s.View());
}

// A tree whose nodes save and load their id as user data.
class TIdTree : public TTestTree {
public:
    TIdTree()
    {
        OnSaveNode = [this](TBaseLazyTree*, PLazyNode node, TStream& stream) { WriteInt32(stream, static_cast<std::int32_t>(Id(node))); };
        OnLoadNode = [this](TBaseLazyTree*, PLazyNode node, TStream& stream) {
            SetId(node, static_cast<std::uint32_t>(ReadInt32(stream)));
        };
    }
};

std::string Written(TBaseLazyTree& tree, PLazyNode node = nullptr)
{
    TMemoryStream stream;
    tree.WriteTreeStream(stream, node);
    return std::string(stream.View());
}

std::string HeaderBytes(int version)
{
    std::string header("\x45\x20\x56\x00\x54\x00\x02\x00\x20\x00\x46\x20", 12);
    header[6] = static_cast<char>(version);
    return header;
}

// A node block of version 2: anchor and node chunk with the given body fields and children.
std::string NodeBlock(std::uint32_t children, std::uint16_t states, const std::string& childBlocks = {},
                      const std::string& extraChunks = {})
{
    TMemoryStream body;
    WriteInt32(body, static_cast<std::int32_t>(children));
    WriteInt32(body, 18);
    WriteUInt16(body, states);
    WriteUInt8(body, 50);
    WriteUInt8(body, 0);
    WriteUInt8(body, 0);
    WriteInt32(body, 0);
    const std::string nodeChunk = Le32(2) + Le32(static_cast<std::int32_t>(body.Size() + childBlocks.size())) +
                                  std::string(body.View()) + childBlocks;
    const std::string inner = nodeChunk + extraChunks;
    return Le32(1) + Le32(static_cast<std::int32_t>(inner.size())) + inner;
}

} // namespace

TEST(TreeStream, AnEmptyTreeWritesTheHeaderAndACountOfZero)
{
    TTestTree tree;
    EXPECT_EQ(Hex(Written(tree)), "45 20 56 00 54 00 02 00 20 00 46 20 00 00 00 00");
}

TEST(TreeStream, ANodeWithoutUserDataWritesOnlyItsNodeChunk)
{
    TTestTree tree;
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() - toInitOnSave);
    tree.SetRootNodeCount(1);
    tree.Root(0)->CheckKind = chkBox;
    EXPECT_EQ(Hex(Written(tree)), "45 20 56 00 54 00 02 00 20 00 46 20 01 00 00 00 "
                                  "01 00 00 00 19 00 00 00 "          // anchor chunk, 25 bytes
                                  "02 00 00 00 11 00 00 00 "          // node chunk, 17 bytes
                                  "00 00 00 00 12 00 00 00 80 00 32 00 02 00 00 00 00");
}

TEST(TreeStream, UserDataFollowsTheNodeChunkAndCheckMarksTravel)
{
    TIdTree tree;
    tree.SetRootNodeCount(1);
    tree.SetId(tree.Root(0), 0x01020304);
    const std::string bytes = Written(tree);
    EXPECT_EQ(Hex(bytes.substr(16)), "01 00 00 00 25 00 00 00 "
                                     "02 00 00 00 11 00 00 00 00 00 00 00 12 00 00 00 81 00 32 00 00 00 00 00 00 "
                                     "04 00 00 00 04 00 00 00 04 03 02 01");
}

TEST(TreeStream, WritingOneNodeWritesACountOfOne)
{
    TIdTree tree;
    tree.SetRootNodeCount(5);
    const std::string bytes = Written(tree, tree.Root(3));
    EXPECT_EQ(Hex(bytes.substr(12, 4)), "01 00 00 00");
    TIdTree copy;
    TMemoryStream stream(bytes);
    copy.ReadTreeStream(stream);
    EXPECT_EQ(copy.RootNodeCount(), 1u);
}

TEST(TreeStream, WriteThenReadReproducesTheTree)
{
    TIdTree tree;
    tree.TreeOptions().SetSelectionOptions({toMultiSelect});
    tree.SetRootNodeCount(3);
    std::uint32_t id = 1;
    for (std::uint32_t i = 0; i < 3; ++i)
        tree.SetId(tree.Root(i), id++);
    tree.SetNodeChildCount(tree.Root(1), 3);
    for (std::uint32_t i = 0; i < 3; ++i)
        tree.SetId(tree.Child(tree.Root(1), i), id++);
    tree.SetNodeChildCount(tree.Child(tree.Root(1), 2), 2);
    tree.SetId(tree.Child(tree.Child(tree.Root(1), 2), 0), id++);
    tree.SetId(tree.Child(tree.Child(tree.Root(1), 2), 1), id++);
    tree.SetNodeExpanded(tree.Root(1), true);
    tree.SetRowHeight(tree.Child(tree.Root(1), 1), 33);
    tree.SetNodeShown(tree.Child(tree.Root(1), 0), false);
    tree.SetNodeCheckKind(tree.Root(2), chkRadio);
    tree.SetNodeCheckMark(tree.Root(2), csCheckedNormal);
    tree.SetNodeSelected(tree.Root(0), true);
    const std::string bytes = Written(tree);

    TIdTree copy;
    copy.TreeOptions().SetSelectionOptions({toMultiSelect});
    int finished = 0;
    copy.OnNodeCopied = [&](TBaseLazyTree*, PLazyNode node) {
        EXPECT_EQ(node, nullptr);
        ++finished;
    };
    TMemoryStream stream(bytes);
    copy.ReadTreeStream(stream);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(Shape(copy), Shape(tree));
    EXPECT_EQ(Shape(copy), "1 2(4 5 6(7 8)) 3");
    EXPECT_TRUE(TreeInvariantsHold(copy));
    EXPECT_EQ(copy.VisibleRowCount(), tree.VisibleRowCount());
    EXPECT_EQ(copy.HiddenRoot()->SubtreeHeight, tree.HiddenRoot()->SubtreeHeight);
    EXPECT_EQ(copy.Child(copy.Root(1), 1)->RowHeight, 33);
    EXPECT_EQ(copy.Root(2)->CheckMark, csCheckedNormal);
    EXPECT_EQ(copy.SelectionCount(), 1u);
    EXPECT_TRUE(copy.Root(0)->Has(nsPicked));
    EXPECT_EQ(Written(copy), bytes) << "writing the copy gives the same bytes";
}

TEST(TreeStream, TheFileRoundTrip)
{
    TempDir dir;
    TIdTree tree;
    tree.SetRootNodeCount(4);
    tree.SetId(tree.Root(2), 42);
    {
        TFileStream file(dir.File("tree.bin"), fmCreate);
        tree.WriteTreeStream(file);
    }
    TIdTree copy;
    copy.ReadTreeFile(dir.File("tree.bin"));
    EXPECT_EQ(Shape(copy), "0 0 42 0");
}

TEST(TreeStream, AnUninitialisedNodeIsWrittenWithoutItsChildrenAndReadsBack)
{
    TIdTree tree;
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() - toInitOnSave);
    tree.SetRootNodeCount(2);
    tree.SetNodeChildCount(tree.Root(0), 3); // the node itself is not initialised
    tree.SetId(tree.Root(1), 7);
    TIdTree copy;
    TMemoryStream stream(Written(tree));
    copy.ReadTreeStream(stream);
    EXPECT_EQ(Shape(copy), "0 7");
    EXPECT_TRUE(TreeInvariantsHold(copy));
    // Under toInitOnSave it is initialised first, and its children are written.
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() + toInitOnSave);
    TMemoryStream full(Written(tree));
    copy.ReadTreeStream(full);
    EXPECT_EQ(Shape(copy), "0(0 0 0) 7");
}

TEST(TreeStream, VersionOneStreamsRead)
{
    // Version 1: no count; node bodies of 12 bytes with a state byte where 0x80 means selected.
    auto block = [](std::uint8_t state) {
        TMemoryStream body;
        WriteInt32(body, 0);
        WriteInt32(body, 20);
        WriteUInt8(body, state);
        WriteUInt8(body, 50);
        WriteUInt8(body, 0);
        WriteUInt8(body, 0);
        const std::string chunk = Le32(2) + Le32(12) + std::string(body.View());
        return Le32(1) + Le32(static_cast<std::int32_t>(chunk.size())) + chunk;
    };
    TTestTree tree;
    tree.TreeOptions().SetSelectionOptions({toMultiSelect});
    TMemoryStream stream(HeaderBytes(1) + block(0x80) + block(0x00));
    tree.ReadTreeStream(stream);
    ASSERT_EQ(tree.RootNodeCount(), 2u);
    EXPECT_TRUE(tree.Root(0)->HasAll(nsShown | nsPicked));
    EXPECT_TRUE(tree.Root(1)->Has(nsShown));
    EXPECT_FALSE(tree.Root(1)->Has(nsPicked));
    EXPECT_EQ(tree.Root(0)->RowHeight, 20);
    EXPECT_EQ(tree.SelectionCount(), 1u);
    EXPECT_TRUE(TreeInvariantsHold(tree));
}

TEST(TreeStream, ACountLargerThanTheBlocksStopsAtTheEnd)
{
    TTestTree tree;
    TMemoryStream stream(HeaderBytes(2) + Le32(5) + NodeBlock(0, nsShown) + NodeBlock(0, nsShown));
    tree.ReadTreeStream(stream);
    EXPECT_EQ(tree.RootNodeCount(), 2u);
}

TEST(TreeStream, AnUnknownHeaderUnitFourAndUnknownChunksAreAccepted)
{
    TTestTree tree;
    std::string header = HeaderBytes(2);
    header[8] = 'x';
    const std::string unknown = Le32(77) + Le32(3) + "abc";
    TMemoryStream stream(header + Le32(1) + NodeBlock(0, nsShown, {}, unknown));
    tree.ReadTreeStream(stream);
    EXPECT_EQ(tree.RootNodeCount(), 1u);
}

TEST(TreeStream, DamagedDataFailsWithItsErrorAndLeavesTheTree)
{
    const std::string v2 = HeaderBytes(2);
    const std::string good = NodeBlock(0, nsShown);
    std::string wrongMagic = v2;
    wrongMagic[0] = 0;
    std::string truncated = v2 + Le32(1) + good;
    truncated.resize(truncated.size() - 3);
    std::string bigChild = NodeBlock(1000000, nsShown | nsOpen);
    std::string nested = good;
    for (int i = 0; i < 5000; ++i)
        nested = NodeBlock(1, nsShown, nested);
    struct TCase {
        const char* What;
        std::string Bytes;
        int Error;
    } const cases[] = {
        {"short header", v2.substr(0, 11), 2004},
        {"wrong magic", wrongMagic, 2002},
        {"version 3", HeaderBytes(3) + Le32(0), 2003},
        {"no count", v2 + "\x01\x00", 2004},
        {"missing anchor", v2 + Le32(1) + Le32(2) + Le32(0), 2005},
        {"block runs past the data", truncated, 2004},
        {"size beyond the data", v2 + Le32(1) + Le32(1) + Le32(0x7FFFFFF0), 2004},
        {"negative size", v2 + Le32(1) + Le32(1) + Le32(-8), 2004},
        {"chunk past its block", v2 + Le32(1) + Le32(1) + Le32(8) + Le32(4) + Le32(100), 2006},
        {"short node body", v2 + Le32(1) + Le32(1) + Le32(12) + Le32(2) + Le32(4) + Le32(0), 2006},
        {"children announced but missing", v2 + Le32(1) + bigChild, 2004},
        {"nested beyond any real tree", v2 + Le32(1) + nested, 2006},
    };
    for (const TCase& c : cases) {
        TTestTree tree;
        tree.SetRootNodeCount(3);
        TMemoryStream stream(c.Bytes);
        try {
            tree.ReadTreeStream(stream);
            ADD_FAILURE() << c.What << ": no error";
        } catch (const ELazyTreeError& e) {
            EXPECT_EQ(e.HelpContext(), c.Error) << c.What;
            EXPECT_STREQ(e.what(), TreeErrorMessage(c.Error)) << c.What;
        }
        EXPECT_EQ(tree.RootNodeCount(), 3u) << c.What << ": the tree stays as it was";
        EXPECT_TRUE(TreeInvariantsHold(tree)) << c.What;
    }
}

TEST(TreeStream, StatesAStreamMustNotSetAreIgnored)
{
    TTestTree tree;
    // nsBeingRemoved, nsClearingKids and nsToggling from outside would break later deletions.
    TMemoryStream stream(HeaderBytes(2) + Le32(1) +
                         NodeBlock(1, nsShown | nsOpen | nsBeingRemoved | nsClearingKids | nsToggling,
                                   NodeBlock(0, nsShown | nsBeingRemoved)));
    tree.ReadTreeStream(stream);
    EXPECT_FALSE(tree.Root(0)->Has(nsBeingRemoved | nsClearingKids | nsToggling));
    EXPECT_TRUE(TreeInvariantsHold(tree));
    tree.RemoveAllNodes();
    EXPECT_EQ(tree.NodePool().InUse(), 0u);
}

TEST(TreeStream, AUserChunkReaderThatReadsTooMuchIsRepaired)
{
    TTestTree tree;
    tree.OnLoadNode = [](TBaseLazyTree*, PLazyNode, TStream& stream) {
        char buffer[64];
        stream.Read(buffer, sizeof buffer);
    };
    const std::string userChunk = Le32(4) + Le32(2) + "ab";
    TMemoryStream stream(HeaderBytes(2) + Le32(2) + NodeBlock(0, nsShown, {}, userChunk) + NodeBlock(0, nsShown));
    tree.ReadTreeStream(stream);
    EXPECT_EQ(tree.RootNodeCount(), 2u);
}

TEST(TreeStream, ReadOnlyTreesAreNotEvenCleared)
{
    TTestTree tree;
    tree.SetRootNodeCount(2);
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() + toReadOnly);
    TMemoryStream stream(HeaderBytes(2) + Le32(1) + NodeBlock(0, nsShown));
    tree.ReadTreeStream(stream);
    EXPECT_EQ(tree.RootNodeCount(), 2u);
}

TEST(TreeStream, PastedDataIsBoundedByItsRealSize)
{
    TTestTree tree;
    tree.SetRootNodeCount(2);
    const std::string blocks = NodeBlock(0, nsShown) + NodeBlock(0, nsShown);
    struct TCase {
        const char* What;
        std::string Bytes;
        int Error;
    } const cases[] = {
        {"length beyond the data", Le32(static_cast<std::int32_t>(blocks.size()) + 40) + blocks, 2004},
        {"negative length", Le32(-1) + blocks, 2004},
        {"no length", std::string("\x01", 1), 2004},
        {"blocks cut inside", Le32(static_cast<std::int32_t>(blocks.size()) - 4) + blocks, 2004},
    };
    for (const TCase& c : cases) {
        TLTTreeMimeData data(nullptr, QByteArray(c.Bytes.data(), static_cast<qsizetype>(c.Bytes.size())));
        try {
            tree.InsertFromDataObject(nullptr, &data, false, TLTNodeAttachMode::amAddChildLast, nullptr);
            ADD_FAILURE() << c.What << ": no error";
        } catch (const ELazyTreeError& e) {
            EXPECT_EQ(e.HelpContext(), c.Error) << c.What;
        }
        EXPECT_EQ(tree.RootNodeCount(), 2u) << c.What;
    }
    const std::string good = Le32(static_cast<std::int32_t>(blocks.size())) + blocks + "trailing";
    TLTTreeMimeData data(nullptr, QByteArray(good.data(), static_cast<qsizetype>(good.size())));
    EXPECT_TRUE(tree.InsertFromDataObject(nullptr, &data, false, TLTNodeAttachMode::amAddChildLast, nullptr));
    EXPECT_EQ(tree.RootNodeCount(), 4u);
    EXPECT_TRUE(TreeInvariantsHold(tree));
}

TEST(TreeStream, ARefusedCopyIsNotReportedAfterItWent)
{
    TTestTree tree;
    tree.SetRootNodeCount(1);
    const std::string blocks = NodeBlock(0, nsShown) + NodeBlock(0, nsShown);
    const std::string bytes = Le32(static_cast<std::int32_t>(blocks.size())) + blocks;
    TLTTreeMimeData data(nullptr, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    int offered = 0;
    tree.OnNodeCopying = [&](TBaseLazyTree*, PLazyNode, PLazyNode, bool& allowed) { allowed = offered++ == 0; };
    std::vector<PLazyNode> reported;
    tree.OnStructureChange = [&](TBaseLazyTree*, PLazyNode node, TChangeReason) { reported.push_back(node); };
    EXPECT_TRUE(tree.InsertFromDataObject(nullptr, &data, false, TLTNodeAttachMode::amAddChildLast, nullptr));
    EXPECT_EQ(tree.RootNodeCount(), 2u);
    for (PLazyNode node : reported)
        EXPECT_TRUE(node == nullptr || node == tree.Root(0) || node == tree.Root(1)) << "a node that was deleted";
}
