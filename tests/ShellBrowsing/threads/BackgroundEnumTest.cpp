// Listing a folder on the enumeration thread: the rows arrive complete and in the order the
// synchronous listing gives, a listing left behind never adds rows to the next folder, a folder
// removed meanwhile ends the listing cleanly, and a list destroyed meanwhile leaves nothing behind.

#include "ShellBrowsing/explorer/ExplorerTestSupport.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"
#include "ShellBrowsing/Source/threads/BackgroundEnumThread.h"

#include "TreeView/Source/header/LTHeader.h"

#include <QProgressBar>
#include <algorithm>
#include <filesystem>
#include <random>

namespace {

using THold = TShellBackGndEnumThread::THoldPoint;

// More than the first few batches, so that later batches are merged into the rows shown.
constexpr int ManyFiles = 1500;

class BackgroundEnum : public TExplorerTest {
protected:
    void TearDown() override
    {
        TShellBackGndEnumThread::HoldForTesting(THold::None);
        TExplorerTest::TearDown();
    }

    // Files and folders whose names sort differently by bytes, case and number value, made in
    // a shuffled order.
    std::string MakeMixedFolder(const std::string& name, int files)
    {
        std::vector<std::string> names;
        for (int i = 0; i < files; ++i)
            names.push_back((i % 3 == 0 ? "File" : i % 3 == 1 ? "file" : "a_") + std::to_string(i) +
                            (i % 2 ? ".php" : ".txt"));
        for (int i = 0; i < 12; ++i)
            names.push_back("dir" + std::to_string(i * 7) + "/");
        std::shuffle(names.begin(), names.end(), std::mt19937(7));
        MakeDir(name);
        for (const std::string& entry : names) {
            if (entry.back() == '/')
                MakeDir(name + "/" + entry.substr(0, entry.size() - 1));
            else
                MakeFile(name + "/" + entry, std::string(static_cast<std::size_t>(entry.size() % 5), 'x'));
        }
        return PathOf(name);
    }

    std::unique_ptr<TTestListview> MakeThreadedList(TColumnIndex sortColumn = 0,
                                                    TSortDirection direction = TSortDirection::sdAscending,
                                                    bool threaded = true)
    {
        auto list = std::make_unique<TTestListview>();
        WithoutThreads(*list);
        list->SetThreadedEnum(threaded);
        list->resize(700, 400);
        list->Header().SetSortColumn(sortColumn);
        list->Header().SetSortDirection(direction);
        list->SetActive(true);
        return list;
    }

    // Spins without taking posted messages until the thread holds after its first batch, so
    // that the batch waits undelivered.
    static bool WaitForHeldThread(TCustomShellExplorerTree& list)
    {
        QElapsedTimer clock;
        clock.start();
        while (!(list.EnumThread() && list.EnumThread()->Suspended())) {
            if (clock.elapsed() > 10000)
                return false;
            QThread::msleep(2);
        }
        return true;
    }
};

void SelectOnlyRow(TCustomShellExplorerTree& list, PLazyNode row)
{
    list.DeselectAll();
    list.SetNodeSelected(row, true);
    list.AssignFocusedNode(row);
}

// Holds when exactly one row is selected, it is named `name`, and it has the focus.
::testing::AssertionResult OnlyRowPickedIs(TCustomShellExplorerTree& list, const std::string& name)
{
    const std::vector<PLazyNode> selected = list.CollectSelectedNodes(false);
    if (selected.size() != 1)
        return ::testing::AssertionFailure() << selected.size() << " rows selected";
    const std::string shown = list.NodeNamespace(selected.front())->DisplayNameInFolder().toStdString();
    if (shown != name)
        return ::testing::AssertionFailure() << "selected " << shown;
    if (list.FocusNode() != selected.front())
        return ::testing::AssertionFailure() << "the focus is elsewhere";
    return ::testing::AssertionSuccess();
}

struct TOrderCase {
    const char* Name;
    int Files;
    TColumnIndex Column;
    TSortDirection Direction;
};

class BackgroundEnumOrder : public BackgroundEnum, public ::testing::WithParamInterface<TOrderCase> {};

TEST_P(BackgroundEnumOrder, RowsArriveCompleteInTheSynchronousOrder)
{
    const TOrderCase& c = GetParam();
    const std::string folder = MakeMixedFolder("big", c.Files);

    auto expected = MakeThreadedList(c.Column, c.Direction, false);
    expected->SetRootFolderCustomPath(QString::fromStdString(folder));
    auto list = MakeThreadedList(c.Column, c.Direction);
    int finished = 0;
    list->OnEnumFinished = [&](TCustomShellExplorerTree*) { ++finished; };
    list->SetRootFolderCustomPath(QString::fromStdString(folder));
    EXPECT_TRUE(list->Enumerating());
    ASSERT_TRUE(WaitUntil([&] { return !list->Enumerating(); }));

    EXPECT_EQ(finished, 1);
    EXPECT_EQ(list->RootNodeCount(), static_cast<std::uint32_t>(c.Files + 12));
    EXPECT_EQ(RowNames(*list), RowNames(*expected));
    EXPECT_NE(list->cursor().shape(), Qt::BusyCursor);
    // The rows' items belong to the list's folder, not to the thread that made them.
    if (list->RootNodeCount() > 0) {
        TNamespace* first = list->NodeNamespace(list->HiddenRoot()->ChildHead);
        EXPECT_EQ(first->Parent(), list->NodeNamespace(list->HiddenRoot()));
        EXPECT_EQ(first->FileTypeText(), expected->NodeNamespace(expected->HiddenRoot()->ChildHead)->FileTypeText());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sorts, BackgroundEnumOrder,
    ::testing::Values(TOrderCase{"NameAscending", ManyFiles, 0, TSortDirection::sdAscending},
                      TOrderCase{"NameDescending", ManyFiles, 0, TSortDirection::sdDescending},
                      TOrderCase{"SizeSortedAtTheEnd", ManyFiles, 1, TSortDirection::sdAscending},
                      TOrderCase{"FewerThanOneBatch", 5, 0, TSortDirection::sdAscending},
                      TOrderCase{"EmptyFolder", 0, 0, TSortDirection::sdAscending}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(BackgroundEnum, RefusedItemsStayOutAndTheOthersArrive)
{
    const std::string folder = MakeMixedFolder("big", ManyFiles);
    auto list = MakeThreadedList();
    list->OnEnumFolder = [](TCustomShellExplorerTree*, TNamespace* ns, bool& allow) {
        allow = !ns->DisplayNameInFolder().endsWith(QStringLiteral(".php"));
    };
    list->SetRootFolderCustomPath(QString::fromStdString(folder));
    // why: every item passes the handler on the GUI thread; a loaded machine under the sanitizers
    // needs more than the usual wait.
    ASSERT_TRUE(WaitUntil([&] { return !list->Enumerating(); }, 60000));
    const std::vector<std::string> rows = RowNames(*list);
    EXPECT_EQ(rows.size(), static_cast<std::size_t>(ManyFiles / 2 + 12));
    EXPECT_TRUE(std::none_of(rows.begin(), rows.end(), [](const std::string& n) { return n.ends_with(".php"); }));
    EXPECT_TRUE(std::all_of(rows.begin(), rows.begin() + 12, [](const std::string& n) { return n.starts_with("dir"); }))
        << "folders first";
}

TEST_F(BackgroundEnum, BrowsingElsewhereDropsTheOldListing)
{
    const std::string big = MakeMixedFolder("big", ManyFiles);
    MakeFile("small/one.txt");
    MakeFile("small/two.php");
    MakeDir("small/sub");
    TShellBackGndEnumThread::HoldForTesting(THold::AfterFirstBatch);
    auto list = MakeThreadedList();
    list->SetRootFolderCustomPath(QString::fromStdString(big));
    // The first batch of the big folder is posted and not yet delivered when the list moves on.
    ASSERT_TRUE(WaitForHeldThread(*list));
    list->SetRootFolderCustomPath(QString::fromStdString(PathOf("small")));
    ASSERT_TRUE(WaitUntil([&] { return !list->Enumerating(); }));
    WaitUntil([] { return false; }, 100);
    EXPECT_EQ(RowNames(*list), (std::vector<std::string>{"sub", "one.txt", "two.php"}));
    EXPECT_EQ(ShownFolder(*list), PathOf("small"));
}

TEST_F(BackgroundEnum, RowsPickedWhileListedStayPickedAsMoreRowsArrive)
{
    const std::string big = MakeMixedFolder("big", ManyFiles);
    TShellBackGndEnumThread::HoldForTesting(THold::AfterFirstBatch);
    auto list = MakeThreadedList();
    list->SetRootFolderCustomPath(QString::fromStdString(big));
    ASSERT_TRUE(WaitForHeldThread(*list));
    ASSERT_TRUE(WaitUntil([&] { return list->RootNodeCount() > 0; }));
    PLazyNode picked = list->HiddenRoot()->ChildTail;
    const std::string name = list->NodeNamespace(picked)->DisplayNameInFolder().toStdString();
    SelectOnlyRow(*list, picked);
    list->EnumThread()->SetSuspended(false);
    ASSERT_TRUE(WaitUntil([&] { return !list->Enumerating(); }));
    EXPECT_TRUE(OnlyRowPickedIs(*list, name));
}

TEST_F(BackgroundEnum, TheDesktopListedWithoutTheTrashKeepsItsOwnOrder)
{
    const auto open = [&](bool threaded) {
        auto list = MakeThreadedList(0, TSortDirection::sdAscending, threaded);
        TVETFolderOptions folders = list->VETFolderOptions();
        folders.Include(toForceHideRecycleBin);
        list->SetVETFolderOptions(folders);
        list->SetRootFolder(TRootFolder::rfDesktop);
        EXPECT_TRUE(WaitUntil([&] { return !list->Enumerating(); }));
        return list;
    };
    auto expected = open(false);
    auto list = open(true);
    EXPECT_EQ(RowNames(*list), RowNames(*expected));
    EXPECT_EQ(list->RootNodeCount(), 2u) << "home and computer, no trash";
    for (PLazyNode node = list->HiddenRoot()->ChildHead; node; node = node->NextLink)
        EXPECT_FALSE(list->NodeNamespace(node)->IsRecycleBin());
}

TEST_F(BackgroundEnum, BrowsingToAFileSelectsItOnceItsFolderIsListed)
{
    const std::string big = MakeMixedFolder("big", ManyFiles);
    auto list = MakeThreadedList();
    list->SetRootFolderCustomPath(QString::fromStdString(PathOf("")));
    ASSERT_TRUE(WaitUntil([&] { return !list->Enumerating(); }));
    TPIDLHolder file(PathToPIDL(big + "/file1498.txt"));
    ASSERT_TRUE(list->BrowseTo(file.Get()));
    ASSERT_TRUE(WaitUntil([&] { return !list->Enumerating(); }));
    EXPECT_TRUE(OnlyRowPickedIs(*list, "file1498.txt"));
}

TEST_F(BackgroundEnum, ARefreshKeepsTheSelectionOnceTheRowsAreBack)
{
    const std::string big = MakeMixedFolder("big", ManyFiles);
    auto list = MakeThreadedList();
    list->SetRootFolderCustomPath(QString::fromStdString(big));
    ASSERT_TRUE(WaitUntil([&] { return !list->Enumerating(); }));
    PLazyNode picked = RowNamed(*list, "a_1001.php");
    ASSERT_NE(picked, nullptr);
    SelectOnlyRow(*list, picked);
    ASSERT_TRUE(list->RefreshKeepingState(false));
    EXPECT_TRUE(list->Enumerating());
    ASSERT_TRUE(WaitUntil([&] { return !list->Enumerating(); }));
    EXPECT_TRUE(OnlyRowPickedIs(*list, "a_1001.php"));
}

TEST_F(BackgroundEnum, FolderRemovedWhileListedEndsTheListingCleanly)
{
    const std::string big = MakeMixedFolder("big", ManyFiles);
    TShellBackGndEnumThread::HoldForTesting(THold::AfterFirstBatch);
    auto list = MakeThreadedList();
    int invalid = 0;
    int finished = 0;
    list->OnInvalidRootNamespace = [&](TCustomShellExplorerTree*) { ++invalid; };
    list->OnEnumFinished = [&](TCustomShellExplorerTree*) { ++finished; };
    list->SetRootFolderCustomPath(QString::fromStdString(big));
    ASSERT_TRUE(WaitForHeldThread(*list));
    std::filesystem::remove_all(big);
    list->EnumThread()->SetSuspended(false);
    ASSERT_TRUE(WaitUntil([&] { return !list->Enumerating(); }));
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(invalid, 1);
    EXPECT_NE(list->cursor().shape(), Qt::BusyCursor);
    EXPECT_EQ(list->RootNodeCount(), 0u) << "rows of a folder that is gone";
    list->show();
    list->viewport()->repaint();
}

TEST_F(BackgroundEnum, ChangesWhileListedAreAppliedWhenTheListingEnds)
{
    const std::string big = MakeMixedFolder("big", ManyFiles);
    TShellBackGndEnumThread::HoldForTesting(THold::AfterFirstBatch);
    auto list = MakeThreadedList();
    list->SetRootFolderCustomPath(QString::fromStdString(big));
    ASSERT_TRUE(WaitForHeldThread(*list));
    ASSERT_TRUE(WaitUntil([&] { return list->RootNodeCount() > 0; }));
    const std::string listed = RowNames(*list).front();
    std::filesystem::remove_all(big + "/" + listed);
    MakeFile("big/new-file.txt");
    // What a change event for the folder does: the refresh waits for the listing.
    list->RefreshNodeChildren(list->HiddenRoot(), true);
    list->EnumThread()->SetSuspended(false);
    ASSERT_TRUE(WaitUntil([&] { return !list->Enumerating(); }));
    std::vector<std::string> rows = RowNames(*list);
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, Listing(big));
}

struct TLengthyCase {
    const char* Name;
    bool HandlerShowsAnimation;
};

class BackgroundEnumLengthy : public BackgroundEnum, public ::testing::WithParamInterface<TLengthyCase> {};

TEST_P(BackgroundEnumLengthy, AFolderSlowToReadAsksOnceASecondPassedWhetherToShowTheAnimation)
{
    const std::string big = MakeMixedFolder("big", 20);
    TShellBackGndEnumThread::HoldForTesting(THold::BeforeFirstBatch);
    auto list = MakeThreadedList();
    list->show();
    int asked = 0;
    list->OnEnumThreadLengthyOperation = [&](TCustomShellExplorerTree*, bool& showAnimation) {
        ++asked;
        showAnimation = GetParam().HandlerShowsAnimation;
    };
    QElapsedTimer clock;
    clock.start();
    list->SetRootFolderCustomPath(QString::fromStdString(big));
    ASSERT_TRUE(WaitForHeldThread(*list));
    ASSERT_TRUE(WaitUntil([&] { return asked >= 2; }, 5000));
    EXPECT_GE(clock.elapsed(), 1000) << "asked before about a second passed";
    EXPECT_EQ(list->EnumAnimation() != nullptr, GetParam().HandlerShowsAnimation);
    QWidget* animation = list->EnumAnimation();
    if (animation) {
        EXPECT_TRUE(animation->isVisible());
        EXPECT_EQ(animation->parentWidget()->findChildren<QProgressBar*>().size(), 1) << "made once";
    }
    list->EnumThread()->SetSuspended(false);
    ASSERT_TRUE(WaitUntil([&] { return !list->Enumerating(); }));
    EXPECT_EQ(list->EnumAnimation(), nullptr);
    EXPECT_EQ(list->RootNodeCount(), 32u);
    const int askedWhileWaiting = asked;
    WaitUntil([] { return false; }, 200);
    EXPECT_EQ(asked, askedWhileWaiting) << "asked again after the rows arrived";
}

INSTANTIATE_TEST_SUITE_P(Handlers, BackgroundEnumLengthy,
                         ::testing::Values(TLengthyCase{"ShowsTheAnimation", true},
                                           TLengthyCase{"RefusesTheAnimation", false}),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TShutdownCase {
    const char* Name;
    bool HeldWithBatchPosted;
};

class BackgroundEnumShutdown : public BackgroundEnum, public ::testing::WithParamInterface<TShutdownCase> {};

TEST_P(BackgroundEnumShutdown, DestroyingTheListStopsTheThreadAndFreesItsBatches)
{
    const std::string big = MakeMixedFolder("big", ManyFiles);
    TShellBackGndEnumThread::HoldForTesting(GetParam().HeldWithBatchPosted ? THold::AfterFirstBatch : THold::None);
    auto list = MakeThreadedList();
    list->SetRootFolderCustomPath(QString::fromStdString(big));
    if (GetParam().HeldWithBatchPosted) {
        ASSERT_TRUE(WaitForHeldThread(*list));
    }
    list.reset();
    // Nothing was posted to the gone list after it went (the sanitizers watch this).
    WaitUntil([] { return false; }, 100);
    EXPECT_FALSE(QGuiApplication::overrideCursor());
}

INSTANTIATE_TEST_SUITE_P(States, BackgroundEnumShutdown,
                         ::testing::Values(TShutdownCase{"WhileListing", false},
                                           TShutdownCase{"WithABatchUndelivered", true}),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace

namespace {

// A header click sorts through keys made once per item; the order must be the one the pairwise
// name comparison gives, in both directions.
TEST_F(BackgroundEnum, HeaderClickSortByKeysAgreesWithThePairwiseComparison)
{
    const std::string folder = MakeMixedFolder("big", 300);
    auto list = MakeThreadedList(1);
    list->SetRootFolderCustomPath(QString::fromStdString(folder));
    ASSERT_TRUE(WaitUntil([&] { return !list->Enumerating(); }));
    for (TSortDirection direction : {TSortDirection::sdDescending, TSortDirection::sdAscending}) {
        list->SortByColumn(0);
        if (list->Header().SortDirection() != direction)
            list->SortByColumn(0);
        ASSERT_EQ(list->Header().SortDirection(), direction);
        const int sign = direction == TSortDirection::sdAscending ? 1 : -1;
        int misplaced = 0;
        for (PLazyNode node = list->HiddenRoot()->ChildHead; node && node->NextLink; node = node->NextLink)
            if (sign * list->FireCompareNodes(node, node->NextLink, 0) > 0)
                ++misplaced;
        EXPECT_EQ(misplaced, 0);
        EXPECT_EQ(list->RootNodeCount(), 312u);
    }
}

} // namespace
