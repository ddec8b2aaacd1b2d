// The dock-site stream: the exact bytes a tree writes, round trips, and streams that are of
// another version, name forms that are gone, or are damaged.

#include "DockTestSite.h"

#include "Platform/core/Exceptions.h"

#include <gtest/gtest.h>
#include <map>

namespace {

constexpr TDockOrientation H = TDockOrientation::doHorizontal;

std::string Hex(const std::string& bytes)
{
    TMemoryStream s(bytes);
    return StreamToHexText(s);
}

std::string Save(TExDockTree& tree)
{
    TMemoryStream s;
    tree.SaveToStream(s);
    return std::string(s.View());
}

void Load(TExDockTree& tree, const std::string& bytes)
{
    TMemoryStream s(bytes);
    tree.LoadFromStream(s);
}

// A tree that extends each record by one flag byte, as the auto-hide tree does.
class FlagTree : public TExDockTree {
public:
    using TExDockTree::TExDockTree;
    std::map<const TExDockZone*, int> Flags;

protected:
    void WriteZone(TStream& stream, TExDockZone* zone) override
    {
        TExDockTree::WriteZone(stream, zone);
        const std::uint8_t flag = Flags.count(zone) ? static_cast<std::uint8_t>(Flags[zone]) : 1;
        stream.WriteBuffer(&flag, 1);
    }
    TExDockZone* ReadZone(TStream& stream, TExDockZone* zone) override
    {
        TExDockZone* kept = TExDockTree::ReadZone(stream, zone);
        std::uint8_t flag = 0;
        stream.ReadBuffer(&flag, 1);
        if (kept)
            Flags[kept] = flag;
        return kept;
    }
};

TestSite::TreeFactory FlagTrees()
{
    return [](TDockSite& site) { return std::make_unique<FlagTree>(site, nullptr); };
}

const char* const AlphaBetaExample =
    "00 00 04 00  90 01 00 00"
    "00 00 00 00  01  C8 00 00 00  01  00  00 00 00 00  01  00 00 00 00  01"
    "01 00 00 00  00  B4 00 00 00  01  01  00 00 00 00  01  05 00 00 00  41 6C 70 68 61  01"
    "01 00 00 00  00  90 01 00 00  01  01  00 00 00 00  01  04 00 00 00  42 65 74 61  01"
    "FF FF FF FF";

} // namespace

TEST(ExDockTreeStream, TheAlphaBetaSiteWritesTheDocumentedBytes)
{
    DockTestBench bench(200, 400, FlagTrees());
    TCustomForm* alpha = bench.Dock("Alpha");
    bench.Dock("Beta", TAlign::alBottom, alpha);
    ASSERT_EQ(bench.Tree().RootZone()->Orientation, H);
    bench.ZoneOf(alpha)->Limit = 180;
    EXPECT_EQ(Hex(Save(bench.Tree())), Hex(HexBytes(AlphaBetaExample)));
}

TEST(ExDockTreeStream, TheAlphaBetaBytesLoadBackIntoTheSameLayout)
{
    DockTestBench bench(200, 400, FlagTrees());
    TCustomForm* alpha = bench.Form("Alpha");
    TCustomForm* beta = bench.Form("Beta");
    Load(bench.Tree(), HexBytes(AlphaBetaExample));
    EXPECT_EQ(HostDockSite(*alpha), bench.site);
    EXPECT_EQ(HostDockSite(*beta), bench.site);
    EXPECT_EQ(bench.Tree().RootZone()->Orientation, H);
    EXPECT_EQ(bench.Tree().RootExtent(), 400);
    EXPECT_EQ(bench.ZoneOf(alpha)->Limit, 180);
    EXPECT_EQ(bench.ZoneOf(beta)->Limit, 400);
    const int g = bench.Tree().GetGrabbersSize();
    EXPECT_EQ(beta->BoundsRect(), Rect(0, 180 + g, 200, 400));
    EXPECT_EQ(alpha->Height(), 180 - bench.Tree().GetSplitterWidth() - g);
    EXPECT_EQ(Hex(Save(bench.Tree())), Hex(HexBytes(AlphaBetaExample))) << "a second save is the same";
}

TEST(ExDockTreeStream, OneControlWritesHeaderTwoRecordsAndTheEnd)
{
    DockTestBench bench(120, 90);
    bench.Dock("Solo");
    EXPECT_EQ(Hex(Save(bench.Tree())), Hex(HexBytes("00 00 04 00  00 00 00 00"
                                                 "00 00 00 00  00  00 00 00 00  01  00  00 00 00 00  01  00 00 00 00"
                                                 "01 00 00 00  00  00 00 00 00  01  01  00 00 00 00  01  04 00 00 00  53 6F 6C 6F"
                                                 "FF FF FF FF")));
}

TEST(ExDockTreeStream, AHiddenZoneComesBackHiddenWithItsSavedSize)
{
    std::string bytes;
    int savedSize = 0;
    {
        DockTestBench bench(300, 100);
        TCustomForm* a = bench.Dock("A");
        TCustomForm* b = bench.Dock("B", TAlign::alRight, a);
        bench.Dock("C", TAlign::alRight, b);
        b->hide();
        savedSize = bench.ZoneOf(b)->SavedSize;
        bytes = Save(bench.Tree());
    }
    EXPECT_EQ(savedSize, 100);
    DockTestBench bench(300, 100);
    TCustomForm* a = bench.Form("A");
    TCustomForm* b = bench.Form("B");
    TCustomForm* c = bench.Form("C");
    Load(bench.Tree(), bytes);
    EXPECT_FALSE(bench.ZoneOf(b)->Shown());
    EXPECT_EQ(bench.ZoneOf(b)->SavedSize, 100);
    EXPECT_FALSE(ControlVisible(*b));
    EXPECT_TRUE(ControlVisible(*a));
    EXPECT_EQ(c->BoundsRect().Right, 300);
    EXPECT_EQ(Save(bench.Tree()), bytes);
}

TEST(ExDockTreeStream, AStreamOfAnotherVersionLaysOutTheSitesClientsAfresh)
{
    DockTestBench bench(300, 100);
    TCustomForm* a = bench.Dock("A");
    TCustomForm* b = bench.Dock("B", TAlign::alRight, a);
    Load(bench.Tree(), HexBytes("00 00 03 00  2C 01 00 00  FF FF FF FF"));
    TExDockZone* root = bench.Tree().RootZone();
    ASSERT_NE(root, nullptr);
    EXPECT_NE(bench.ZoneOf(a), nullptr) << "the docked controls keep zones";
    EXPECT_NE(bench.ZoneOf(b), nullptr);
    EXPECT_EQ(a->Width() + b->Width() + bench.Tree().GetSplitterWidth(), 300) << "and are laid out";
    TCustomForm* c = bench.Dock("C", TAlign::alRight, b);
    EXPECT_NE(bench.ZoneOf(c), nullptr) << "a later insertion is recorded";

    Load(bench.Tree(), HexBytes("0000"));
    EXPECT_NE(bench.ZoneOf(a), nullptr) << "a stream shorter than its version too";
}

TEST(ExDockTreeStream, AFormThatIsGoneLosesItsZoneAndTheOthersKeepTheirLimits)
{
    std::string bytes;
    {
        DockTestBench bench(300, 100);
        TCustomForm* a = bench.Dock("A");
        TCustomForm* b = bench.Dock("B", TAlign::alRight, a);
        bench.Dock("Gone", TAlign::alRight, b);
        bench.ZoneOf(a)->Limit = 80;
        bytes = Save(bench.Tree());
    }
    DockTestBench bench(300, 100);
    TCustomForm* a = bench.Form("A");
    TCustomForm* b = bench.Form("B");
    Load(bench.Tree(), bytes);
    EXPECT_EQ(bench.Tree().RootZone()->ChildCount(), 2);
    EXPECT_EQ(bench.ZoneOf(a)->Limit, 80);
    EXPECT_EQ(bench.ZoneOf(b)->Limit, 200);
}

TEST(ExDockTreeStream, LevelsBuildTheNesting)
{
    // Levels 0, 1, 2, 2, 1: containers without names.
    const std::string record = "00  00 00 00 00  01  00  00 00 00 00  01  00 00 00 00";
    std::string hex = "00 00 04 00  00 00 00 00";
    for (int level : {0, 1, 2, 2, 1})
        hex += "0" + std::to_string(level) + " 00 00 00" + record;
    hex += "FF FF FF FF";
    DockTestBench bench;
    Load(bench.Tree(), HexBytes(hex));
    TExDockZone* root = bench.Tree().RootZone();
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->ChildCount(), 2);
    EXPECT_EQ(root->FirstChild->ChildCount(), 2);
    EXPECT_EQ(root->FirstChild->NextZone->ChildCount(), 0);
    EXPECT_EQ(root->FirstChild->FirstChild->Parent, root->FirstChild);
}

TEST(ExDockTreeStream, DamagedStreamsStopWithoutHarm)
{
    const std::string head = "00 00 04 00  64 00 00 00  00 00 00 00  01  64 00 00 00  01  00  00 00 00 00  01  00 00 00 00";
    const std::string leaf = "00  32 00 00 00  01  01  00 00 00 00  01";
    struct Case {
        const char* what;
        std::string hex;
    } cases[] = {
        {"name longer than the rest", head + "01 00 00 00" + leaf + "FF FF 00 00  41 42"},
        {"negative name length", head + "01 00 00 00" + leaf + "FE FF FF FF  41"},
        {"record cut short", head + "01 00 00 00  00  32 00"},
        {"orientation out of range", head + "01 00 00 00  07  32 00 00 00  01 01 00 00 00 00 01 00 00 00 00"},
        {"no end marker", head},
        {"a second root", head + "00 00 00 00" + leaf + "00 00 00 00  FF FF FF FF"},
        {"climbing above the root", head + "01 00 00 00" + leaf + "00 00 00 00  FF FF FF FF"},
        {"a first record below the root", "00 00 04 00  64 00 00 00  03 00 00 00" + leaf + "00 00 00 00 FF FF FF FF"},
    };
    for (const Case& c : cases) {
        DockTestBench bench;
        EXPECT_NO_THROW(Load(bench.Tree(), HexBytes(c.hex))) << c.what;
        ASSERT_NE(bench.Tree().RootZone(), nullptr) << c.what;
        EXPECT_LE(bench.Tree().RootZone()->ChildCount(), 1) << c.what;
        TCustomForm* later = bench.Dock("Later");
        EXPECT_NE(bench.ZoneOf(later), nullptr) << c.what << ": the tree still works";
    }
}

TEST(ExDockTreeStream, ADroppedRecordStillHasItsExtensionByteRead)
{
    std::string bytes;
    {
        DockTestBench bench(300, 100, FlagTrees());
        TCustomForm* gone = bench.Dock("Gone");
        TCustomForm* kept = bench.Dock("Kept", TAlign::alRight, gone);
        auto& tree = dynamic_cast<FlagTree&>(bench.Tree());
        tree.Flags[bench.ZoneOf(kept)] = 0;
        bytes = Save(bench.Tree());
    }
    DockTestBench bench(300, 100, FlagTrees());
    TCustomForm* kept = bench.Form("Kept");
    Load(bench.Tree(), bytes);
    auto& tree = dynamic_cast<FlagTree&>(bench.Tree());
    ASSERT_NE(bench.ZoneOf(kept), nullptr);
    EXPECT_EQ(tree.Flags[bench.ZoneOf(kept)], 0);
    EXPECT_EQ(bench.ZoneOf(kept)->Limit, 300);
}

TEST(ExDockTreeStream, AControlWithoutANameCannotBeWritten)
{
    DockTestBench bench;
    TCustomForm* nameless = bench.Form("X");
    nameless->SetName("");
    ManualDock(*nameless, bench.site);
    try {
        Save(bench.Tree());
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Docked control must have a name");
    }
}
