// What follows a folder listing: OnCustomNamespace after every listing of a folder (expanding,
// the list's background listing, a refresh), and the user's documents folder shown under the
// desktop with toForceShowMyDocuments.

#include "ShellBrowsing/explorer/ExplorerTestSupport.h"

#include "ShellBrowsing/Source/namespace/ShellLocations.h"

#include <filesystem>
#include <fstream>

namespace {

class ExplorerListingEvents : public TExplorerTest {
protected:
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove(UserDirsFile(), ignored);
        TExplorerTest::TearDown();
    }

    static std::string UserDirsFile() { return FakeHome() + "/.config/user-dirs.dirs"; }

    // Names the documents folder as the desktop's user-dirs file does.
    static void SetDocumentsFolder(const std::string& valueInFile)
    {
        std::filesystem::create_directories(FakeHome() + "/.config");
        std::ofstream(UserDirsFile()) << "# written by the test\nXDG_DOCUMENTS_DIR=\"" << valueInFile << "\"\n";
    }

    static std::unique_ptr<TTestTreeview> DesktopTree(bool forceDocuments)
    {
        auto tree = std::make_unique<TTestTreeview>();
        WithoutThreads(*tree);
        TVETFolderOptions folders = tree->VETFolderOptions();
        if (forceDocuments)
            folders.Include(toForceShowMyDocuments);
        else
            folders.Exclude(toForceShowMyDocuments);
        tree->SetVETFolderOptions(folders);
        tree->resize(300, 400);
        tree->SetActive(true);
        return tree;
    }

    static int CountNamed(TCustomShellExplorerTree& tree, PLazyNode parent, const std::string& name)
    {
        int count = 0;
        for (const std::string& shown : RowNames(tree, parent))
            count += shown == name;
        return count;
    }
};

} // namespace

TEST_F(ExplorerListingEvents, CustomNamespaceFollowsEveryListingOfAFolder)
{
    MakeDir("a/inner");
    MakeDir("b");
    auto tree = std::make_unique<TTestTreeview>();
    WithoutThreads(*tree);
    std::vector<PLazyNode> listed;
    std::vector<std::size_t> childrenThen;
    tree->OnCustomNamespace = [&](TCustomShellExplorerTree* sender, PLazyNode parent) {
        EXPECT_EQ(sender, tree.get());
        listed.push_back(parent);
        childrenThen.push_back(parent->NumChildren);
    };
    tree->resize(300, 400);
    tree->SetActive(true);
    tree->SetRootFolderCustomPath(QString::fromStdString(Dir()));
    PLazyNode root = tree->FirstNodeRaw();
    ASSERT_NE(root, nullptr);
    ASSERT_FALSE(listed.empty());
    EXPECT_EQ(listed.back(), root);
    EXPECT_EQ(childrenThen.back(), 2u) << "the folder's items are there when the event comes";

    listed.clear();
    PLazyNode a = RowNamed(*tree, "a", root);
    tree->SetNodeExpanded(a, true);
    EXPECT_EQ(listed, std::vector<PLazyNode>{a});

    listed.clear();
    tree->RefreshNodeChildren(root, true);
    EXPECT_EQ(listed, std::vector<PLazyNode>{root}) << "a refresh lists the folder again";

    // The list reads its folder on the enumeration thread; the event comes after its end.
    auto list = std::make_unique<TTestListview>();
    WithoutThreads(*list);
    std::vector<std::size_t> listRows;
    list->OnCustomNamespace = [&](TCustomShellExplorerTree*, PLazyNode parent) {
        EXPECT_EQ(parent, list->HiddenRoot());
        listRows.push_back(parent->NumChildren);
    };
    list->resize(700, 400);
    list->SetActive(true);
    list->SetRootFolderCustomPath(QString::fromStdString(Dir()));
    ASSERT_TRUE(WaitUntil([&] { return !list->Enumerating() && !listRows.empty(); }));
    EXPECT_EQ(listRows.back(), 2u);
}

TEST_F(ExplorerListingEvents, ForcedDocumentsFolderShowsOnceUnderTheDesktop)
{
    std::filesystem::create_directories(FakeHome() + "/Papers");
    SetDocumentsFolder("$HOME/Papers");
    ASSERT_EQ(DocumentsPath(), FakeHome() + "/Papers");

    auto plain = DesktopTree(false);
    PLazyNode desktop = plain->FirstNodeRaw();
    ASSERT_NE(desktop, nullptr);
    ASSERT_TRUE(plain->NodeNamespace(desktop)->IsDesktop());
    EXPECT_EQ(CountNamed(*plain, desktop, "Papers"), 0) << "the desktop does not list it by itself";

    auto forced = DesktopTree(true);
    desktop = forced->FirstNodeRaw();
    ASSERT_EQ(CountNamed(*forced, desktop, "Papers"), 1);
    PLazyNode papers = RowNamed(*forced, "Papers", desktop);
    EXPECT_EQ(forced->NodeNamespace(papers)->PathBytes(), FakeHome() + "/Papers");

    int removed = 0;
    forced->OnNamespaceStructureChange = [&](TCustomShellExplorerTree*, PLazyNode, TNamespace*,
                                             TNamespaceStructureChange change) {
        removed += change == TNamespaceStructureChange::nscDelete;
    };
    forced->RefreshNodeChildren(desktop, true);
    EXPECT_EQ(CountNamed(*forced, desktop, "Papers"), 1) << "a refresh neither drops nor doubles it";
    EXPECT_EQ(removed, 0);

    // Inside a folder other than the desktop nothing is added.
    PLazyNode home = RowNamed(*forced, HomeDisplayName().toStdString(), desktop);
    ASSERT_NE(home, nullptr);
    forced->SetNodeExpanded(home, true);
    EXPECT_EQ(CountNamed(*forced, home, "Papers"), 1) << "only the home folder's own entry";
}

TEST_F(ExplorerListingEvents, NoDocumentsFolderAddsNothing)
{
    // The user-dirs file names the home folder itself: there is no documents folder of its own.
    SetDocumentsFolder("$HOME/");
    ASSERT_EQ(DocumentsPath(), "");
    auto plain = DesktopTree(false);
    auto forced = DesktopTree(true);
    EXPECT_EQ(RowNames(*forced, forced->FirstNodeRaw()), RowNames(*plain, plain->FirstNodeRaw()));
}
