#include "ShellBrowsing/Source/namespace/ShellLocations.h"
#include "ShellBrowsing/Source/namespace/TrashInfo.h"
#include "ShellBrowsing/Source/operations/ShellVerbs.h"
#include "ShellBrowsing/Source/operations/Trash.h"

#include "ShellBrowsing/ShellTestSupport.h"
#include "ShellBrowsing/operations/OperationsTestSupport.h"
#include "support/ConsumerTools.h"

#include <QStandardPaths>

namespace {

class TTrash : public TShellTest {
protected:
    // Every test starts and ends with an empty trash.
    void SetUp() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(HomeTrashPath(), ignored);
        TShellTest::SetUp();
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(HomeTrashPath(), ignored);
        TShellTest::TearDown();
    }
    static bool Have(const char* tool) { return !QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty(); }
    std::vector<std::string> TrashedNames(TNamespace& trash)
    {
        std::vector<std::string> names;
        trash.EnumerateFolder({TFileObject::foFolders, TFileObject::foNonFolders, TFileObject::foHidden},
                              [&](TNamespace& parent, PItemIDList child, bool&) {
                                  TNamespace item(child, &parent);
                                  names.push_back(item.DisplayNameNormal().toStdString());
                                  return true;
                              });
        std::sort(names.begin(), names.end());
        return names;
    }
};

} // namespace

TEST_F(TTrash, DeletingMovesItemsToTheFreedesktopTrash)
{
    const std::string file = MakeFile("notes.txt", "n");
    MakeFile("site/index.php");
    auto folder = Item(Dir());
    TNamespace a(MakeItem(TItemKind::Entry, "notes.txt"), folder.get());
    TNamespace b(MakeItem(TItemKind::Entry, "site"), folder.get());
    ASSERT_TRUE(a.Delete({&a, &b}));
    EXPECT_FALSE(Exists(file));
    const std::string trash = HomeTrashPath();
    EXPECT_EQ(FileText(trash + "/files/notes.txt"), "n");
    EXPECT_TRUE(Exists(trash + "/files/site/index.php"));
    const std::string info = FileText(trash + "/info/notes.txt.trashinfo");
    EXPECT_EQ(info.substr(0, info.find("DeletionDate=")), "[Trash Info]\nPath=" + PercentEncodePath(file) + "\n");
    struct stat st {};
    ASSERT_EQ(::stat((trash + "/info").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // A second item of the same name gets a name of its own in the trash.
    MakeFile("notes.txt", "second");
    std::string error;
    EXPECT_EQ(ShellTrash::TrashItem(file, error), trash + "/files/notes.txt.2");
    TTrashInfo second;
    ASSERT_TRUE(ReadTrashInfo(trash + "/files/notes.txt.2", second));
    EXPECT_EQ(second.OriginalPath, file);

    TNamespace bin(MakeItem(TItemKind::Trash), nullptr);
    EXPECT_EQ(TrashedNames(bin), (std::vector<std::string>{"notes.txt", "notes.txt", "site"}));
}

TEST_F(TTrash, AnotherToolSeesAndRestoresWhatWeTrashed)
{
    if (!Have("trash-list") || !Have("trash-restore"))
        GTEST_SKIP() << "trash-cli is not installed";
    const std::string file = MakeFile("report.txt", "r");
    std::string error;
    ASSERT_FALSE(ShellTrash::TrashItem(file, error).empty()) << error;
    const TToolResult list = RunTool("trash-list", {});
    EXPECT_NE(list.Output.find(file), std::string::npos) << list.Output << list.Errors;
    const TToolResult restore = RunTool("trash-restore", {Dir()}, "0\n", Dir());
    EXPECT_EQ(FileText(file), "r") << restore.Output << restore.Errors;
    EXPECT_FALSE(Exists(HomeTrashPath() + "/info/report.txt.trashinfo"));
}

TEST_F(TTrash, WeRestoreWhatAnotherToolTrashed)
{
    const std::string file = MakeFile("from-gio.txt", "g");
    const TToolResult trashed = RunTool("gio", {"trash", file});
    if (trashed.ExitCode != 0)
        GTEST_SKIP() << "gio cannot trash here: " << trashed.Errors;
    ASSERT_FALSE(Exists(file));
    TNamespace bin(MakeItem(TItemKind::Trash), nullptr);
    EXPECT_EQ(TrashedNames(bin), std::vector<std::string>{"from-gio.txt"});
    TNamespace trashedItem(MakeItem(TItemKind::TrashEntry, HomeTrashPath() + "/files/from-gio.txt"), &bin);
    EXPECT_EQ(trashedItem.DetailsOf(1), QString::fromStdString(Dir()));
    EXPECT_FALSE(trashedItem.DetailsOf(2).isEmpty());
    const TPIDLArray lists = {trashedItem.RelativePIDL()};
    ASSERT_TRUE(trashedItem.InvokeVerb(QStringLiteral("restore"), &lists));
    EXPECT_EQ(FileText(file), "g");
    EXPECT_EQ(TrashedNames(bin), std::vector<std::string>{});
}

TEST_F(TTrash, RestoringOverAnExistingItemAsksAndMakesMissingFolders)
{
    const std::string file = MakeFile("sub/a.txt", "trashed");
    std::string error;
    const std::string inTrash = ShellTrash::TrashItem(file, error);
    ASSERT_FALSE(inTrash.empty()) << error;
    MakeFile("sub/a.txt", "newer");
    {
        TAnswers answers({IDNO});
        TOperationReport report;
        ShellTrash::RestoreItems({inTrash}, report);
        EXPECT_EQ(report.Done, 0);
        EXPECT_EQ(FileText(file), "newer");
        EXPECT_TRUE(Exists(inTrash));
    }
    std::filesystem::remove_all(PathOf("sub"));
    TOperationReport report;
    ShellTrash::RestoreItems({inTrash}, report);
    EXPECT_TRUE(report.Ok());
    EXPECT_EQ(FileText(file), "trashed");
}

TEST_F(TTrash, ItemsInTheTrashAreDeletedForGoodOnlyAfterAQuestion)
{
    const std::string file = MakeFile("old.log", "o");
    std::string error;
    const std::string inTrash = ShellTrash::TrashItem(file, error);
    ASSERT_FALSE(inTrash.empty());
    EXPECT_EQ(ShellTrash::TrashItem(inTrash, error), "");
    EXPECT_EQ(error, "\"" + inTrash + "\" is in the trash already.");
    {
        TAnswers answers({IDNO});
        EXPECT_FALSE(ShellVerbs::Run(QStringLiteral("delete"), {inTrash}));
        EXPECT_EQ(answers.Asked.size(), 1u);
        EXPECT_TRUE(Exists(inTrash));
    }
    TAnswers answers({IDYES});
    EXPECT_TRUE(ShellVerbs::Run(QStringLiteral("delete"), {inTrash}));
    EXPECT_FALSE(Exists(inTrash));
    EXPECT_FALSE(Exists(HomeTrashPath() + "/info/old.log.trashinfo"));
}

TEST_F(TTrash, DeletingPermanentlySkipsTheTrash)
{
    const std::string file = MakeFile("tmp.bin");
    TAnswers answers({IDYES});
    EXPECT_TRUE(ShellVerbs::Run(QStringLiteral("deletepermanently"), {file}));
    EXPECT_FALSE(Exists(file));
    EXPECT_FALSE(Exists(HomeTrashPath() + "/files/tmp.bin"));
}
