#include "ShellBrowsing/Source/combo/ShellAutoComplete.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"

#include "ShellBrowsing/ShellTestSupport.h"

#include <algorithm>

namespace {

using enum TAutoCompleteContent;

class TAutoCompleteTest : public TShellTest {
protected:
    void SetUp() override
    {
        TShellTest::SetUp();
        MakeFile("alpha.php");
        MakeFile("Gamma.txt");
        MakeFile(".hidden");
        MakeFile("Beta/inner.txt");
    }
    QString Path(const std::string& name) const { return QString::fromStdString(PathOf(name)); }
    // The gathered paths, each shortened to its part below the test's folder.
    std::vector<std::string> Offered(TShellKitAutoComplete& complete)
    {
        complete.Refresh();
        std::vector<std::string> names;
        const TWideStringList& strings = complete.Strings();
        const std::string prefix = Dir() + "/";
        for (int i = 0; i < strings.Count(); ++i) {
            std::string path = strings[i].toStdString();
            names.push_back(path.rfind(prefix, 0) == 0 ? path.substr(prefix.size()) : path);
        }
        return names;
    }
    static std::vector<std::string> Sorted(std::vector<std::string> names)
    {
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(TAutoCompleteTest, OffersTheFolderEntriesThatTheContentsAskFor)
{
    struct TCase {
        const char* what;
        TAutoCompleteContents contents;
        std::vector<std::string> expected; // sorted unless the list itself is sorted
        bool listSorted;
    };
    const TCase cases[] = {
        {"folders and files, hidden left out", {accCurrentDir, accFileSysDirs, accFileSysFiles},
         {"Beta", "Gamma.txt", "alpha.php"}, false},
        {"folders only", {accCurrentDir, accFileSysDirs}, {"Beta"}, false},
        {"files only", {accCurrentDir, accFileSysFiles}, {"Gamma.txt", "alpha.php"}, false},
        {"hidden too", {accCurrentDir, accFileSysFiles, accHidden}, {".hidden", "Gamma.txt", "alpha.php"}, false},
        {"recursive: a folder's entries come before the folder",
         {accCurrentDir, accFileSysDirs, accFileSysFiles, accRecursive, accSortList},
         {"alpha.php", "Beta", "Beta/inner.txt", "Gamma.txt"}, true},
        {"sorted without regard to case", {accCurrentDir, accFileSysDirs, accFileSysFiles, accSortList},
         {"alpha.php", "Beta", "Gamma.txt"}, true},
        {"without the current folder", {accFileSysDirs, accFileSysFiles}, {}, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        TShellKitAutoComplete complete;
        complete.SetContents(c.contents);
        complete.SetCurrentDir(QString::fromStdString(Dir()));
        const std::vector<std::string> offered = Offered(complete);
        EXPECT_EQ(c.listSorted ? offered : Sorted(offered), c.expected);
    }
    // Recursion offers the inner entries ahead of their folder.
    TShellKitAutoComplete recursive;
    recursive.SetContents({accCurrentDir, accFileSysDirs, accFileSysFiles, accRecursive});
    recursive.SetCurrentDir(QString::fromStdString(Dir()));
    const std::vector<std::string> offered = Offered(recursive);
    const auto inner = std::find(offered.begin(), offered.end(), "Beta/inner.txt");
    const auto beta = std::find(offered.begin(), offered.end(), "Beta");
    ASSERT_NE(inner, offered.end());
    EXPECT_LT(inner, beta);
}

TEST_F(TAutoCompleteTest, TheDefaultOffersTheFolderThenTheVolumes)
{
    TShellKitAutoComplete complete;
    EXPECT_EQ(complete.Contents(), DefaultAutoCompleteContents);
    complete.SetCurrentDir(QString::fromStdString(Dir()));
    const std::vector<std::string> offered = Offered(complete);
    ASSERT_GE(offered.size(), 3U);
    EXPECT_EQ(Sorted({offered.begin(), offered.begin() + 3}),
              (std::vector<std::string>{"Beta", "Gamma.txt", "alpha.php"}));
    const std::vector<TVolume> volumes = UserVolumes();
    ASSERT_FALSE(volumes.empty());
    EXPECT_EQ(offered.size(), 3 + volumes.size());
    EXPECT_EQ(offered[3], volumes.front().MountPoint);
}

TEST_F(TAutoCompleteTest, AFolderThatIsNotThereChangesNothing)
{
    TShellKitAutoComplete complete;
    complete.SetContents({accCurrentDir, accFileSysFiles});
    EXPECT_FALSE(complete.Dirty());
    complete.Refresh();
    EXPECT_EQ(complete.Strings().Count(), 0) << "nothing is gathered before a folder is set";

    complete.SetCurrentDir(QString::fromStdString(Dir()));
    EXPECT_EQ(Sorted(Offered(complete)), (std::vector<std::string>{"Gamma.txt", "alpha.php"}));
    for (const char* missing : {"nowhere", "alpha.php", "Beta/nowhere/deeper"}) {
        SCOPED_TRACE(missing);
        complete.SetCurrentDir(Path(missing));
        EXPECT_EQ(complete.CurrentDir().toStdString(), Dir());
        EXPECT_EQ(Sorted(Offered(complete)), (std::vector<std::string>{"Gamma.txt", "alpha.php"}));
    }
    // The list is gathered afresh at every refresh, so it follows the disk.
    MakeFile("delta.txt");
    EXPECT_EQ(Sorted(Offered(complete)), (std::vector<std::string>{"Gamma.txt", "alpha.php", "delta.txt"}));
}

TEST_F(TAutoCompleteTest, TheHandlerMayRefuseItemsOrStop)
{
    TShellKitAutoComplete complete;
    complete.SetContents({accCurrentDir, accFileSysDirs, accFileSysFiles});
    complete.SetCurrentDir(QString::fromStdString(Dir()));
    int asked = 0;
    complete.OnAutoCompleteAddItem = [&](TObject*, TNamespace* item, bool& allow, bool&) {
        ++asked;
        allow = item->IsFolderItem();
    };
    EXPECT_EQ(Offered(complete), std::vector<std::string>{"Beta"});
    EXPECT_EQ(asked, 3);

    complete.OnAutoCompleteAddItem = [](TObject*, TNamespace*, bool& allow, bool&) { allow = false; };
    EXPECT_TRUE(Offered(complete).empty());

    complete.OnAutoCompleteAddItem = [](TObject*, TNamespace*, bool&, bool& terminate) { terminate = true; };
    EXPECT_EQ(Offered(complete).size(), 1U) << "the item that stops the enumeration is still offered";
}

TEST_F(TAutoCompleteTest, AFolderThatCannotBeReadOffersNothing)
{
    MakeFile("locked/secret.txt");
    ::chmod(PathOf("locked").c_str(), 0700);
    const TFileSystemUser user;
    if (!user.Limited())
        GTEST_SKIP() << "the file-system identity cannot be changed here";
    TShellKitAutoComplete complete;
    complete.SetContents({accCurrentDir, accFileSysDirs, accFileSysFiles});
    complete.SetCurrentDir(Path("locked"));
    EXPECT_TRUE(Offered(complete).empty());
    complete.SetCurrentDir(QString::fromStdString(Dir()));
    EXPECT_EQ(Sorted(Offered(complete)), (std::vector<std::string>{"Beta", "Gamma.txt", "alpha.php", "locked"}));
}

} // namespace
