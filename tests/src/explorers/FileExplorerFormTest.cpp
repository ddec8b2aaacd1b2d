// The file explorer window over a temporary folder: the filter box decides which files the list
// shows, executing a file opens it as a document (links and folders open nothing), and the
// folder shown is written to [Application] LastPath and shown again by the next window.

#include "src/explorers/ExplorerTestSupport.h"

#include "explorers/zuExplorerFiles.h"
#include "explorers/zuFileExplorerForm.h"
#include "settings/zentuIniFiles.h"
#include "settings/zuSettings.h"

#include "ShellBrowsing/Source/combo/ShellExplorerCombobox.h"
#include "ShellBrowsing/Source/explorer/ExplorerViews.h"

#include "ExLib/run/docking/vsnet/ExDockVSNetStyle.h"
#include "Platform/controls/FilterComboBox.h"

#include "support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

constexpr const char* EditorFilters =
    "All Supported Formats|*.php;*.inc;|PHP Formats|*.php;*.inc|Text Formats|*.txt|All Formats|*.*";

class FileExplorerTest : public ::testing::Test {
protected:
    FileExplorerTest()
    {
        Files.Write("site/index.php", "<?php echo 1;");
        Files.Write("site/lib.inc", "<?php");
        Files.Write("site/notes.txt", "notes");
        Files.Write("site/README", "readme");
        Files.Write("site/INDEX2.PHP", "<?php");
        Files.Write("site/sub/inner.php", "<?php");
        QFile::link(QString::fromStdString(Files.File("site/index.php")), QString::fromStdString(Files.File("site/link.php")));
        Style = new TExDockVSNetStyle(&Owner);
        Settings = std::make_unique<TIniFileEx>(Files.File("Zentupad.dat"));
        Settings::Application::LastPath.Write(*Settings, Site());
    }

    std::string Site() const { return Files.File("site"); }

    std::unique_ptr<TFileExplorerForm> MakeForm()
    {
        auto form = std::make_unique<TFileExplorerForm>(Style, Settings.get(), [this](const std::string& path) {
            Opened.push_back(path);
        });
        form->resize(400, 700);
        return form;
    }

    TempDir Files;
    TExForm Owner{nullptr};
    TExDockVSNetStyle* Style;
    std::unique_ptr<TIniFileEx> Settings;
    std::vector<std::string> Opened;
};

TEST_F(FileExplorerTest, TheFilterBoxDecidesWhichFilesTheListShows)
{
    auto form = MakeForm();
    ASSERT_EQ(form->ShownFolder(), Site());
    // Before the editor's filters arrive every file shows; never a folder.
    EXPECT_EQ(ListedNames(*form->LocalListView),
              (std::vector<std::string>{"INDEX2.PHP", "README", "index.php", "lib.inc", "link.php", "notes.txt"}));
    form->SetFileFilter(EditorFilters);
    EXPECT_EQ(ListedNames(*form->LocalListView),
              (std::vector<std::string>{"INDEX2.PHP", "index.php", "lib.inc", "link.php"}));
    form->FilterEdit->setCurrentIndex(2);
    EXPECT_EQ(ListedNames(*form->LocalListView), std::vector<std::string>{"notes.txt"});
    form->FilterEdit->setCurrentIndex(3);
    EXPECT_EQ(ListedNames(*form->LocalListView).size(), 6u);
}

TEST_F(FileExplorerTest, ExecutingAFileOpensItAsADocumentAndNothingElseOpens)
{
    auto form = MakeForm();
    TShellExplorerListview& list = *form->LocalListView;
    PLazyNode file = NodeNamed(list, "index.php");
    ASSERT_TRUE(file);
    SelectOnly(list, file);
    list.ExecuteNode(file);
    EXPECT_EQ(Opened, std::vector<std::string>{Files.File("site/index.php")});

    Opened.clear();
    PLazyNode link = NodeNamed(list, "link.php");
    ASSERT_TRUE(link);
    SelectOnly(list, link);
    list.ExecuteNode(link);
    form->LocalListViewDblClick();
    EXPECT_TRUE(Opened.empty()) << "a link opened";

    list.DeselectAll();
    form->LocalListViewDblClick();
    EXPECT_TRUE(Opened.empty());
}

TEST_F(FileExplorerTest, TheFolderShownIsRememberedForTheNextWindow)
{
    {
        auto form = MakeForm();
        ASSERT_TRUE(form->ShowFolder(Files.File("site/sub")));
        EXPECT_EQ(ListedNames(*form->LocalListView), std::vector<std::string>{"inner.php"});
    }
    EXPECT_EQ(Settings::Application::LastPath.Read(*Settings), Files.File("site/sub"));
    auto again = MakeForm();
    EXPECT_EQ(again->ShownFolder(), Files.File("site/sub"));
}

TEST_F(FileExplorerTest, ThePathComboShowsTheListsFolderAndBrowsesToATypedOne)
{
    auto form = MakeForm();
    ASSERT_NE(form->PathCombo->Namespace(), nullptr);
    EXPECT_EQ(form->PathCombo->Namespace()->ParsingPath().toStdString(), Site());
    ASSERT_TRUE(form->PathCombo->BrowseToPath(QString::fromStdString(Files.File("site/sub"))));
    EXPECT_EQ(form->ShownFolder(), Files.File("site/sub"));
    EXPECT_EQ(ListedNames(*form->LocalListView), std::vector<std::string>{"inner.php"});
    ASSERT_TRUE(form->ShowFolder(Site()));
    EXPECT_EQ(form->PathCombo->Namespace()->ParsingPath().toStdString(), Site());
}

TEST_F(FileExplorerTest, AFolderThatNoLongerExistsLeavesTheHomeFolderShown)
{
    Settings::Application::LastPath.Write(*Settings, Files.File("gone"));
    auto form = MakeForm();
    EXPECT_EQ(form->ShownFolder(), QDir::homePath().toStdString());
    EXPECT_FALSE(form->ShowFolder(Files.File("gone")));
}

TEST(ExplorerFilterMask, ListsFilesByWholeExtensionsOfTheMask)
{
    struct TCase {
        const char* Mask;
        const char* File;
        bool Listed;
    };
    const TCase cases[] = {
        {"*.php;*.inc", "/a/b.inc", true},
        {"*.php;*.inc", "/a/b.PHP", true},
        {"*.PHP", "/a/b.php", true},
        {"*.php;*.inc", "/a/b.txt", false},
        {"*.php;*.inc", "/a/b", false},
        {"*.php;*.inc", "/a/b.ph", false}, // only a whole extension counts
        {"*.php;*.inc;", "/a/b.p", false},
        {"*.php; *.inc", "/a/b.inc", true},
        {"*.*", "/a/b", true},
        {"*.txt;*.*", "/a/b.zzz", true},
        {"", "/a/b.php", false},
        {"*.php", "/a.php/b", false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(FileMatchesFilterMask(c.Mask, c.File), c.Listed) << c.Mask << " " << c.File;
}

} // namespace
