// What the FTP explorer makes of listing entries without a server: row texts, the order of the
// list, the file name field, the delete question, name checks, keep-alive commands, and the
// permissions dialog.

#include "ftp/explorer/zuFTPExplorerRows.h"
#include "ftp/explorer/zuFTPPermissionsForm.h"

#include "Platform/core/QtBridge.h"

#include <QCheckBox>
#include <QLabel>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TFTPListItem Entry(const std::string& name, TFTPItemType type, std::int64_t size = 0)
{
    TFTPListItem item;
    item.FileName = name;
    item.ItemType = type;
    item.Size = size;
    return item;
}

TFTPListItem Folder(const std::string& name) { return Entry(name, TFTPItemType::ditDirectory, 4096); }
TFTPListItem File(const std::string& name, std::int64_t size = 0) { return Entry(name, TFTPItemType::ditFile, size); }

std::vector<std::string> Sorted(std::vector<TFTPListItem> items, int column, bool ascending)
{
    std::stable_sort(items.begin(), items.end(), [&](const TFTPListItem& a, const TFTPListItem& b) {
        return CompareListingItems(a, b, column, ascending) < 0;
    });
    std::vector<std::string> names;
    for (const TFTPListItem& item : items)
        names.push_back(item.FileName);
    return names;
}

TEST(FTPExplorerRows, FoldersComeFirstAndAReversedOrderPutsThemLast)
{
    const std::vector<TFTPListItem> items = {File("c.php"), Folder("src"), File("a.txt"), Folder("Images"),
                                             File("B.css")};
    EXPECT_EQ(Sorted(items, 0, true), (std::vector<std::string>{"Images", "src", "a.txt", "B.css", "c.php"}));
    EXPECT_EQ(Sorted(items, 0, false), (std::vector<std::string>{"c.php", "B.css", "a.txt", "src", "Images"}));
}

TEST(FTPExplorerRows, EachColumnComparesItsOwnValue)
{
    TFTPListItem link = Entry("zlink", TFTPItemType::ditSymbolicLink, 7);
    link.LinkedItemName = "a.php";
    TFTPListItem old = File("x.php", 9);
    old.ModifiedDate = EncodeDate(2020, 1, 2);
    TFTPListItem recent = File("y.php", 10);
    recent.ModifiedDate = EncodeDate(2024, 5, 6);
    struct Case {
        int Column;
        std::vector<TFTPListItem> Items;
        std::vector<std::string> Expected;
    };
    const Case cases[] = {
        // Sizes compare as numbers, not as text ("10" after "9").
        {1, {recent, old}, {"x.php", "y.php"}},
        // Links and files share a group after the folders.
        {1, {recent, link, Folder("dir")}, {"dir", "zlink", "y.php"}},
        // The type column holds "-> target" for a link and the type name for a file.
        {2, {File("b.txt"), link}, {"zlink", "b.txt"}},
        // Names compare upper-cased, by character code: "_" (95) after "Z" (90).
        {0, {File("_x"), File("zz"), File("Aa")}, {"Aa", "zz", "_x"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Sorted(c.Items, c.Column, true), c.Expected) << "column " << c.Column;
}

TEST(FTPExplorerRows, RowTextsFollowTheEntryKind)
{
    TFTPListItem link = Entry("current", TFTPItemType::ditSymbolicLink, 12);
    link.LinkedItemName = "releases/7";
    link.OwnerPermissions = "rwx";
    link.GroupPermissions = "r-x";
    link.UserPermissions = "r-x";
    EXPECT_EQ(ListingColumnText(link, fcFilename), "current");
    EXPECT_EQ(ListingColumnText(link, fcSize), "");
    EXPECT_EQ(ListingColumnText(link, fcType), "-> releases/7");
    EXPECT_EQ(ListingColumnText(link, fcPermission), "rwxr-xr-x");
    EXPECT_EQ(ListingColumnText(Folder("img"), fcSize), "");
    EXPECT_EQ(ListingColumnText(Folder("img"), fcType), "Folder");
    EXPECT_EQ(ListingColumnText(File("big.iso", 5000000000LL), fcSize), "5000000000");
    EXPECT_EQ(ListingColumnText(File("a"), fcDate), "") << "no date from the server, none shown";
}

TEST(FTPExplorerRows, SeveralFileNamesAreQuotedAndJoinedByBlanks)
{
    EXPECT_EQ(QuotedFileNames({"a.php", "b c.php", "d.css"}), "\"a.php\" \"b c.php\" \"d.css\"");
    EXPECT_EQ(QuotedFileNames({}), "");
}

TEST(FTPExplorerRows, DeleteQuestionNamesAtMostSixRows)
{
    EXPECT_EQ(DeleteQuestion({"a", "b"}), "Do you really want to delete the selected 2 files/directories ?\r\na\r\nb");
    EXPECT_EQ(DeleteQuestion({"1", "2", "3", "4", "5", "6", "7", "8"}),
              "Do you really want to delete the selected 8 files/directories ?\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n...");
}

TEST(FTPExplorerRows, RemoteNamesMustNotHoldPathOrWildcardCharacters)
{
    for (const char* bad : {"", "a/b", "..\\x", "c:", "*.php", "a?", "say\"hi\"", "<x>", "a|b"})
        EXPECT_FALSE(IsValidRemoteName(bad)) << bad;
    for (const char* good : {"index.php", "my page.html", "..", ".htaccess", "ünï.php"})
        EXPECT_TRUE(IsValidRemoteName(good)) << good;
}

TEST(FTPExplorerRows, KeepAliveChoosesAmongFourHarmlessCommands)
{
    EXPECT_EQ(KeepAliveCommand(0), "LIST");
    EXPECT_EQ(KeepAliveCommand(1), "PWD");
    EXPECT_EQ(KeepAliveCommand(2), "REST 0");
    EXPECT_EQ(KeepAliveCommand(3), "NOOP");
}

std::string Checked(const TFTPPermissionForm& form)
{
    std::string marks;
    for (QCheckBox* box : form.Boxes)
        marks += box->isChecked() ? 'x' : '-';
    return marks;
}

TEST(FTPPermissionsDialog, ValueSetsTheBoxesAndThePanelFollowsThem)
{
    TFTPPermissionForm form;
    EXPECT_EQ(StdStr(form.windowTitle()), "File Permissions");
    EXPECT_EQ(StdStr(form.Header->text()), "File Access Permissions");
    EXPECT_EQ(StdStr(form.ValuePanel->text()), "0");
    struct Case {
        int Value;
        const char* Boxes;
    };
    // Set one after another: boxes already set by the value before must be cleared.
    for (const Case& c : {Case{755, "xxxx-xx-x"}, Case{600, "xx-------"}, Case{777, "xxxxxxxxx"}, Case{0, "---------"},
                          Case{644, "xx-x--x--"}}) {
        form.SetPermissionValue(c.Value);
        EXPECT_EQ(Checked(form), c.Boxes) << c.Value;
        EXPECT_EQ(form.GetPermissionValue(), c.Value);
        EXPECT_EQ(StdStr(form.ValuePanel->text()), std::to_string(c.Value));
    }
    // The user's clicks change the number.
    form.Boxes[2]->click();
    form.Boxes[4]->click();
    EXPECT_EQ(form.GetPermissionValue(), 764);
    form.Boxes[0]->click();
    EXPECT_EQ(form.GetPermissionValue(), 364);
    EXPECT_EQ(StdStr(form.ValuePanel->text()), "364");
}

} // namespace
