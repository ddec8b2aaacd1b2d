// Mutation fuzzing of the stored explorer views: the identifier-list stream form, a captured
// tree state, the node storage (check marks, column layouts) and the named views with their
// node storage, each applied to a tree after it loaded. The seeds are streams this code writes.
// ZENTU_FUZZ_CASES=N gives a longer run.

#include "ShellBrowsing/explorer/ExplorerTestSupport.h"

#include "ShellBrowsing/Source/namespace/ShellLocations.h"
#include "ShellBrowsing/Source/views/ExplorerViewManager.h"
#include "ShellBrowsing/Source/views/NodeStorage.h"
#include "ShellBrowsing/Source/views/ViewStreamIO.h"

#include "TreeView/Source/core/LTOptions.h"

#include "Platform/files/Streams.h"

#include "support/MutationFuzzer.h"

namespace {

class StoredViewsFuzz : public TExplorerTest {
protected:
    void SetUp() override
    {
        TExplorerTest::SetUp();
        MakeFile("A/B/page.php");
        MakeFile("A/notes.txt");
        MakeDir("C/D");
        FTree = std::make_unique<TTestTreeview>();
        WithoutThreads(*FTree);
        FTree->TreeOptions().SetMiscOptions(FTree->TreeOptions().MiscOptions() + toCheckSupport);
        FTree->resize(300, 400);
        FTree->SetActive(true);
        FTree->SetRootFolderCustomPath(QString::fromStdString(Dir()));
        PLazyNode a = RowNamed(*FTree, "A", FTree->FirstNodeRaw());
        FTree->SetNodeExpanded(a, true);
        FTree->SetNodeExpanded(RowNamed(*FTree, "C", FTree->FirstNodeRaw()), true);
        SelectRows(*FTree, {"B"}, a);
    }

    TPIDLHolder List(const std::string& name) { return TPIDLHolder(PathToPIDL(PathOf(name))); }

    static std::string Saved(TStreamableClass& object, std::int32_t version, bool writeVersion = true)
    {
        TMemoryStream stream;
        object.SaveToStream(stream, version, writeVersion);
        return std::string(stream.View());
    }

    // A storage with a check mark, a folder's column layout and a mixed folder.
    void Fill(TRootNodeStorage& root)
    {
        TNodeStorage* page = root.Store(List("A/B/page.php").Get(), stChecks);
        page->Storage.CheckState = csCheckedNormal;
        page->Storage.CheckType = chkBox;
        root.Store(List("A").Get(), stColumns)->Storage.Columns = {{180, 96, 0}, {0, 2, 1}, {1, 1, 0}};
        root.Store(List("C").Get(), stChecks)->Storage.CheckState = csMixedNormal;
    }

    static fuzz::TFuzzOptions Options(int cases)
    {
        fuzz::TFuzzOptions options;
        options.Cases = cases;
        options.MaxInputSize = 1 << 16;
        options.CaseTimeoutMs = 5000;
        options.CaseMemoryBound = std::size_t(64) << 20;
        // Counts and versions the streams carry.
        options.Dictionary = {std::string("\0\0\0\0", 4), std::string("\1\0\0\0", 4), std::string("\3\0\0\0", 4),
                              std::string("\4\0\0\0", 4), "\xff\xff\xff\xff", "\xff\xff\xff\x7f"};
        return options;
    }

    std::unique_ptr<TTestTreeview> FTree;
};

} // namespace

TEST_F(StoredViewsFuzz, IdentifierListStreams)
{
    std::vector<std::string> seeds;
    for (PItemIDList list : {PathToPIDL(PathOf("A/B/page.php")), PathToPIDL(std::string("/")),
                             PathToPIDL(std::string(ComputerParsingName)), PathToPIDL(std::string(TrashParsingName)),
                             static_cast<PItemIDList>(nullptr)}) {
        TPIDLHolder holder(list);
        TMemoryStream stream;
        PIDLMgr().SaveToStream(&stream, holder.Get());
        seeds.emplace_back(stream.View());
    }
    const int run = fuzz::FuzzReader("identifier list stream", seeds, [](const std::string& input) {
        TMemoryStream stream(input);
        TPIDLHolder list(PIDLMgr().LoadFromStream(&stream));
        // A list that loads names something a namespace can be made of.
        if (list)
            TNamespace(PIDLMgr().CopyPIDL(list.Get())).PathBytes();
    }, Options(3000));
    EXPECT_GT(run, 3000);
}

TEST_F(StoredViewsFuzz, CapturedTreeStates)
{
    FTree->ViewState().SaveTree(*FTree, true, true);
    std::vector<std::string> seeds;
    for (std::int32_t version = 0; version <= ViewStreamVersion; ++version)
        seeds.push_back(Saved(FTree->ViewState(), version));
    const int run = fuzz::FuzzReader("captured tree state", seeds, [this](const std::string& input) {
        TMemoryStream stream(input);
        TVETPersistent state;
        state.LoadFromStream(stream, 0, true);
        state.RestoreTree(*FTree, true, true, true);
    }, Options(600));
    EXPECT_GT(run, 600);
}

TEST_F(StoredViewsFuzz, NodeStorageStreams)
{
    TRootNodeStorage root;
    Fill(root);
    std::vector<std::string> seeds;
    for (std::int32_t version = 0; version <= ViewStreamVersion; ++version)
        seeds.push_back(Saved(root, version));
    const PItemIDList probes[] = {List("A/B/page.php").Release(), List("A").Release(), List("C/D").Release()};
    const int run = fuzz::FuzzReader("node storage", seeds, [&](const std::string& input) {
        TMemoryStream stream(input);
        TRootNodeStorage loaded;
        loaded.LoadFromStream(stream, 0, true);
        for (PItemIDList probe : probes)
            if (TNodeStorage* found = loaded.Find(probe, false))
                (void)found->Storage.Columns.Widths.size();
    }, Options(3000));
    for (PItemIDList probe : probes)
        PIDLFree(probe);
    EXPECT_GT(run, 3000);
}

TEST_F(StoredViewsFuzz, NamedViewsWithTheirNodeStorage)
{
    GlobalViewManager().Clear();
    Fill(FTree->ViewState().NodeStorage());
    GlobalViewManager().StoreView(QStringLiteral("first"), *FTree);
    FTree->SetNodeExpanded(RowNamed(*FTree, "A", FTree->FirstNodeRaw()), false);
    GlobalViewManager().StoreView(QStringLiteral("second"), *FTree);
    std::vector<std::string> seeds{Saved(GlobalViewManager(), ViewStreamVersion)};
    FTree->ViewManager().StoreView(QStringLiteral("own"), *FTree);
    for (std::int32_t version = 0; version <= ViewStreamVersion; ++version)
        seeds.push_back(Saved(FTree->ViewManager(), version));
    GlobalViewManager().Clear();
    const int run = fuzz::FuzzReader("named views", seeds, [this](const std::string& input) {
        TMemoryStream stream(input);
        TGlobalViewManager views;
        views.LoadFromStream(stream, 0, true);
        if (views.Views.Count() > 0)
            views.ShowView(views.Views.Views(0)->ViewName, *FTree);
    }, Options(600));
    EXPECT_GT(run, 600);
}
