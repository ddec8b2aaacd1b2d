#include "ShellBrowsing/Source/common/ShellTexts.h"
#include "ShellBrowsing/Source/icons/SystemIconTable.h"
#include "ShellBrowsing/Source/namespace/Namespace.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"

#include "ShellBrowsing/ShellTestSupport.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class TNamespaceItems : public TShellTest {};

std::vector<QString> ChildNames(TNamespace& folder, TFileObjects objects)
{
    std::vector<QString> names;
    folder.EnumerateFolder(objects, [&](TNamespace& parent, PItemIDList child, bool&) {
        TNamespace item(child, &parent);
        names.push_back(item.DisplayNameInFolder());
        return true;
    });
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST_F(TNamespaceItems, FileFolderAndLinksAnswerTheirAttributes)
{
    MakeFile("page.php", "<?php echo 1;");
    MakeDir("sub/inner");
    MakeLink("to-page", PathOf("page.php"));
    MakeLink("to-sub", PathOf("sub"));
    MakeLink("broken", PathOf("nowhere"));
    MakeFile(".hidden");

    const struct {
        const char* Name;
        bool Folder;
        bool Link;
        bool Hidden;
        const char* Attributes;
    } cases[] = {
        {"page.php", false, false, false, ""},
        {"sub", true, false, false, ""},
        {"to-page", false, true, false, ""},
        {"to-sub", true, true, false, ""},
        {"broken", false, true, false, ""},
        {".hidden", false, false, true, "H"},
    };
    for (const auto& c : cases) {
        const auto item = Item(PathOf(c.Name));
        SCOPED_TRACE(c.Name);
        EXPECT_TRUE(item->IsFileSystemItem());
        EXPECT_EQ(item->IsFolderItem(), c.Folder);
        EXPECT_EQ(item->IsShellLinkItem(), c.Link);
        EXPECT_EQ(item->IsHiddenItem(), c.Hidden);
        EXPECT_EQ(item->IsHiddenAttr(), c.Hidden);
        EXPECT_EQ(item->AttributesText(), QString::fromLatin1(c.Attributes));
        EXPECT_TRUE(item->CanCopyItem());
        EXPECT_TRUE(item->CanRenameItem());
        EXPECT_TRUE(item->CanDeleteItem());
        EXPECT_TRUE(item->HasPropertySheet());
        EXPECT_EQ(item->AcceptsDrops(), c.Folder);
        EXPECT_EQ(item->DisplayNameNormal(), QString::fromLatin1(c.Name));
        EXPECT_EQ(item->ParsingPath(), QString::fromStdString(PathOf(c.Name)));
        EXPECT_EQ(item->ParsingNameInFolder(), QString::fromLatin1(c.Name));
        EXPECT_TRUE(item->OkToBrowse());
    }
    EXPECT_TRUE(Item(PathOf("sub"))->HasSubFolders());
    EXPECT_FALSE(Item(PathOf("sub/inner"))->HasSubFolders());
    EXPECT_TRUE(Item(PathOf("sub"))->HasAnyChildItem());
    EXPECT_FALSE(Item(PathOf("sub/inner"))->HasAnyChildItem());
    EXPECT_FALSE(Item(PathOf("page.php"))->HasChildren(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS));
}

TEST_F(TNamespaceItems, TypesAndIconsFollowTheSharedMimeDatabase)
{
    MakeFile("index.html", "<p>");
    MakeFile("notes.xyz");
    MakeFile("data");
    MakeDir("folder");
    MakeLink("broken", PathOf("nowhere"));
    MakeLink("loop", PathOf("loop"));
    EXPECT_EQ(Item(PathOf("index.html"))->FileTypeText(), QStringLiteral("HTML document"));
    EXPECT_EQ(Item(PathOf("notes.xyz"))->FileTypeText(), QStringLiteral(".XYZ File"));
    EXPECT_EQ(Item(PathOf("data"))->FileTypeText(), QStringLiteral("File"));
    EXPECT_EQ(Item(PathOf("folder"))->FileTypeText(), QStringLiteral("folder"));
    EXPECT_EQ(Item(PathOf("broken"))->FileTypeText(), QStringLiteral("symbolic link"));
    EXPECT_EQ(Item(PathOf("loop"))->FileTypeText(), QStringLiteral("symbolic link"));

    const auto folder = Item(PathOf("folder"));
    EXPECT_EQ(folder->IconIndexFor(false), SystemIcon::Folder);
    EXPECT_EQ(folder->IconIndexFor(true), SystemIcon::FolderOpen);
    const auto html = Item(PathOf("index.html"));
    const int htmlIcon = html->IconIndexFor(false);
    EXPECT_TRUE(TSystemIconTable::Instance().Name(htmlIcon).startsWith(QStringLiteral("text-html;")));
    // A file's open icon is its normal icon.
    EXPECT_EQ(html->IconIndexFor(true), htmlIcon);
    EXPECT_EQ(Item(PathOf("notes.xyz"))->IconIndexFor(false), SystemIcon::UnknownFile);
    EXPECT_EQ(html->OverlayIndex(), -1);
}

TEST_F(TNamespaceItems, SizesOfLargeEmptyAndFolderItems)
{
    const std::string big = MakeFile("big.bin", "");
    ASSERT_EQ(::truncate(big.c_str(), 5000000000LL), 0);
    const auto bigItem = Item(big);
    EXPECT_EQ(bigItem->FileSizeBytes(), 5000000000LL);
    EXPECT_EQ(bigItem->SizeKBText(), QStringLiteral("4,882,812 KB"));
    EXPECT_EQ(bigItem->SizeText(), QStringLiteral("5,000,000,000"));

    const auto empty = Item(MakeFile("empty", ""));
    EXPECT_EQ(empty->FileSizeBytes(), 0);
    EXPECT_EQ(empty->SizeKBText(), QStringLiteral("1 KB"));
    EXPECT_EQ(empty->SizeText(), QStringLiteral("0"));
    EXPECT_EQ(Item(MakeFile("k", std::string(2048, 'k')))->SizeKBText(), QStringLiteral("2 KB"));

    const auto folder = Item(MakeDir("folder"));
    EXPECT_EQ(folder->SizeText(), QString());
    EXPECT_EQ(folder->SizeKBText(), QString());
    EXPECT_EQ(folder->FileSizeBytes(), 0);
    MakeFile("folder/inside", "abc");
    // Not cached: still empty, and a file's size is asked afresh after invalidation.
    EXPECT_EQ(folder->SizeText(), QString());
    const std::string grown = MakeFile("grows", "a");
    const auto grows = Item(grown);
    EXPECT_EQ(grows->FileSizeBytes(), 1);
    MakeFile("grows", "abcdef");
    EXPECT_EQ(grows->FileSizeBytes(), 1);
    grows->InvalidateNamespace(false);
    EXPECT_EQ(grows->FileSizeBytes(), 6);
}

TEST_F(TNamespaceItems, TimesComeFromTheFileSystem)
{
    const std::string path = MakeFile("dated");
    const struct timespec times[2] = {{1000000000, 0}, {1500000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    const auto item = Item(path);
    EXPECT_EQ(item->ModifiedTime(), FileTimeFromUnix(1500000000, 0));
    EXPECT_EQ(item->AccessedTime(), FileTimeFromUnix(1000000000, 0));
    FILETIME local;
    ASSERT_TRUE(FileTimeToLocalFileTime(FileTimeFromUnix(1500000000, 0), local));
    EXPECT_FALSE(item->ModifiedText().isEmpty());
    EXPECT_TRUE(item->ModifiedText().contains(QStringLiteral("2017"))) << item->ModifiedText().toStdString();
    const auto home = std::make_unique<TNamespace>(MakeItem(TItemKind::Computer), nullptr);
    EXPECT_EQ(home->ModifiedTime(), FILETIME{});
    EXPECT_EQ(home->ModifiedText(), QString());
}

TEST_F(TNamespaceItems, NamesThatAreNotUtf8ShowReplacementButKeepTheirBytes)
{
    const std::string name("caf\xE9.txt", 8);
    const std::string path = MakeFile(name, "x");
    const auto item = Item(path);
    EXPECT_EQ(item->DisplayNameNormal(), QStringLiteral("caf\uFFFD.txt"));
    EXPECT_EQ(item->PathBytes(), path);
    EXPECT_EQ(ItemName(item->RelativePIDL()), name);
    EXPECT_EQ(item->FileSizeBytes(), 1);
}

TEST_F(TNamespaceItems, UnreadableEntriesAnswerWhatTheyCan)
{
    MakeLink("loop", PathOf("loop"));
    const auto loop = Item(PathOf("loop"));
    EXPECT_TRUE(loop->IsShellLinkItem());
    EXPECT_FALSE(loop->IsFolderItem());
    EXPECT_EQ(loop->DisplayNameNormal(), QStringLiteral("loop"));
    EXPECT_TRUE(loop->TestAttributesOf(SFGAO_VALIDATE));

    const std::string closed = MakeDir("closed");
    MakeFile("closed/secret");
    ASSERT_EQ(::chmod(closed.c_str(), 0), 0);
    const TFileSystemUser user;
    if (!user.Limited())
        GTEST_SKIP() << "root reads every folder and cannot act as another user here";
    const auto item = Item(closed);
    EXPECT_TRUE(item->IsFolderItem());
    EXPECT_EQ(item->EnumerateFolder({TFileObject::foFolders, TFileObject::foNonFolders},
                                    [](TNamespace&, PItemIDList child, bool&) {
                                        PIDLFree(child);
                                        return true;
                                    }),
              0);
    EXPECT_FALSE(item->HasAnyChildItem());
    // Root acting as another user still writes every entry.
    if (::geteuid() != 0) {
        EXPECT_TRUE(item->AttributesText().contains(u'R'));
    }
}

TEST_F(TNamespaceItems, EntriesThatCannotBeLookedAtKeepTheirNames)
{
    // A folder that may be listed but not entered: its entries have names and nothing else.
    const std::string folder = MakeDir("listonly");
    MakeFile("listonly/page.php", "<?php");
    MakeDir("listonly/sub");
    ASSERT_EQ(::chmod(folder.c_str(), 0444), 0);
    const TFileSystemUser user;
    if (!user.Limited())
        GTEST_SKIP() << "root enters every folder and cannot act as another user here";
    const auto item = Item(folder);
    std::vector<std::unique_ptr<TNamespace>> children;
    item->EnumerateFolder({TFileObject::foFolders, TFileObject::foNonFolders}, [&](TNamespace& parent, PItemIDList child, bool&) {
        children.push_back(std::make_unique<TNamespace>(child, &parent));
        return true;
    });
    ASSERT_EQ(children.size(), 2u);
    std::sort(children.begin(), children.end(),
              [](const auto& a, const auto& b) { return a->DisplayNameInFolder() < b->DisplayNameInFolder(); });
    EXPECT_EQ(children[0]->DisplayNameInFolder(), QStringLiteral("page.php"));
    EXPECT_EQ(children[1]->DisplayNameInFolder(), QStringLiteral("sub"));
    for (const auto& child : children) {
        EXPECT_EQ(child->ParsingPath(), QString::fromStdString(folder) + u'/' + child->DisplayNameInFolder());
        EXPECT_FALSE(child->TestAttributesOf(SFGAO_VALIDATE));
        EXPECT_EQ(child->FileSizeBytes(), 0);
        EXPECT_EQ(child->ModifiedText(), QString());
        EXPECT_EQ(child->FindData(), nullptr);
        EXPECT_GE(child->IconIndexFor(false), 0);
    }
}

TEST_F(TNamespaceItems, EnumerationHonoursFoldersFilesAndHidden)
{
    MakeFile("a.txt");
    MakeFile(".dot");
    MakeDir("d");
    MakeDir(".hd");
    MakeLink("ld", PathOf("d"));
    const auto folder = Item(Dir());
    using F = TFileObject;
    EXPECT_EQ(ChildNames(*folder, {F::foFolders}), (std::vector<QString>{"d", "ld"}));
    EXPECT_EQ(ChildNames(*folder, {F::foNonFolders}), (std::vector<QString>{"a.txt"}));
    EXPECT_EQ(ChildNames(*folder, {F::foFolders, F::foNonFolders, F::foHidden}),
              (std::vector<QString>{".dot", ".hd", "a.txt", "d", "ld"}));
    int seen = 0;
    const int kept = folder->EnumerateFolder({F::foFolders, F::foNonFolders}, [&](TNamespace&, PItemIDList child, bool& stop) {
        PIDLFree(child);
        stop = ++seen == 2;
        return seen == 1;
    });
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(kept, 1);
}

TEST_F(TNamespaceItems, DesktopIsTheRootWithHomeComputerAndTrash)
{
    TNamespace desktop;
    EXPECT_TRUE(desktop.IsDesktop());
    EXPECT_EQ(desktop.AbsolutePIDL(), desktop.RelativePIDL());
    EXPECT_EQ(desktop.DisplayNameNormal(), QStringLiteral("Desktop"));
    EXPECT_EQ(desktop.ParsingPath(), QString::fromStdString(FakeHome()));
    EXPECT_TRUE(desktop.AcceptsDrops());
    EXPECT_EQ(ChildNames(desktop, {TFileObject::foFolders}),
              (std::vector<QString>{"Computer", "Home", "Trash"}));

    MakeDir("../Desktop");
    EXPECT_EQ(desktop.ParsingPath(), QString::fromStdString(FakeHome() + "/Desktop"));
    ::rmdir((FakeHome() + "/Desktop").c_str());

    const auto computer = std::make_unique<TNamespace>(MakeItem(TItemKind::Computer), nullptr);
    EXPECT_TRUE(computer->IsMyComputer());
    EXPECT_EQ(computer->ParsingPath(), QStringLiteral("computer:///"));
    EXPECT_EQ(computer->FileTypeText(), QStringLiteral("System Folder"));
    EXPECT_FALSE(computer->IsFileSystemItem());
    const std::vector<QString> volumes = ChildNames(*computer, {TFileObject::foFolders});
    ASSERT_FALSE(volumes.empty());
    EXPECT_NE(std::find(volumes.begin(), volumes.end(), QStringLiteral("File System")), volumes.end());

    const auto trash = std::make_unique<TNamespace>(MakeItem(TItemKind::Trash), nullptr);
    EXPECT_TRUE(trash->IsRecycleBin());
    EXPECT_TRUE(trash->HasChildren(SHCONTF_FOLDERS));
    EXPECT_EQ(trash->ParsingPath(), QStringLiteral("trash:///"));
}

TEST_F(TNamespaceItems, CreatingFromAPathThatNamesNothingFails)
{
    try {
        TNamespace::CreateFromFileName(PathOf("missing"));
        FAIL();
    } catch (const EVSTInvalidFileName& e) {
        EXPECT_STREQ(e.what(), "Trying to create a TNamespace on a non existant File object");
    }
    EXPECT_THROW(TNamespace::CreateFromFileName(std::string("relative/path")), EVSTInvalidFileName);
    const auto made = TNamespace::CreateFromFileName(QString::fromStdString(Dir()));
    EXPECT_EQ(made->PathBytes(), Dir());
}

TEST_F(TNamespaceItems, DetailsColumnsOfAFolderAndTheirTexts)
{
    MakeFile("f.txt", std::string(3000, 'x'));
    const auto folder = Item(Dir());
    EXPECT_EQ(folder->DetailsColumnCount(), 7);
    EXPECT_EQ(folder->FolderColumnTitle(0), QStringLiteral("Name"));
    EXPECT_EQ(folder->FolderColumnTitle(3), QStringLiteral("Modified"));
    EXPECT_EQ(folder->FolderColumnTitle(7), QString());
    EXPECT_TRUE(folder->DetailsColumnState(1).Contains(TSHColumnState::csTypeInt));
    EXPECT_TRUE(folder->DetailsColumnState(1).Contains(TSHColumnState::csOnByDefault));
    EXPECT_FALSE(folder->DetailsColumnState(4).Contains(TSHColumnState::csOnByDefault));
    EXPECT_TRUE(folder->DetailsColumnState(9).Empty());

    TNamespace file(MakeItem(TItemKind::Entry, "f.txt"), folder.get());
    EXPECT_EQ(file.DetailsOf(0), QStringLiteral("f.txt"));
    EXPECT_EQ(file.DetailsOf(1), QStringLiteral("2 KB"));
    EXPECT_EQ(file.DetailsOf(2), QStringLiteral("plain text document"));
    EXPECT_EQ(file.DetailsOf(3), file.ModifiedText());
    EXPECT_EQ(file.DetailsOf(9), QString());

    EXPECT_EQ(file.DetailsColumnTitle(9), QStringLiteral("Custom"));
    EXPECT_EQ(file.DetailsColumnTitle(-1), QStringLiteral("Name"));
    EXPECT_EQ(file.DetailsColumnTitle(10), QString());
    EXPECT_EQ(file.DetailsColumnText(5), QString());
    EXPECT_EQ(file.DetailsColumnText(2), QStringLiteral("plain text document"));
}

TEST_F(TNamespaceItems, InvalidationKeepsOrForgetsIcons)
{
    const auto item = Item(MakeFile("a.html"));
    const int icon = item->IconIndexFor(false);
    item->SetIconIndexFromThread(SystemIcon::Computer, true);
    EXPECT_TRUE(item->ThreadIconLoaded());
    item->InvalidateNamespace(false);
    EXPECT_EQ(item->IconIndexFor(false), SystemIcon::Computer);
    EXPECT_TRUE(item->ThreadIconLoaded());
    item->SetThreadIconLoading(true);
    item->InvalidateNamespace(true);
    EXPECT_FALSE(item->ThreadIconLoaded());
    EXPECT_FALSE(item->ThreadIconLoading());
    EXPECT_EQ(item->IconIndexFor(false), icon);
}

TEST_F(TNamespaceItems, ItemsUnderAParentShareItsList)
{
    MakeFile("child.txt");
    const auto folder = Item(Dir());
    TNamespace child(MakeItem(TItemKind::Entry, "child.txt"), folder.get());
    EXPECT_EQ(child.Parent(), folder.get());
    EXPECT_TRUE(ILIsParent(folder->AbsolutePIDL(), child.AbsolutePIDL(), true));
    EXPECT_EQ(child.ComparePIDL(child.AbsolutePIDL(), true, 0), 0);
    TPIDLHolder other(BuildList({{TItemKind::Computer, ""}}));
    EXPECT_EQ(child.ComparePIDL(other.Get(), true, 0), TNamespace::NotEqual);
    EXPECT_EQ(child.ComparePIDL(nullptr, true, 0), TNamespace::NotEqual);

    const auto clone = child.CloneNamespace();
    EXPECT_TRUE(ILIsEqual(clone->AbsolutePIDL(), child.AbsolutePIDL()));
    EXPECT_NE(clone->AbsolutePIDL(), child.AbsolutePIDL());
    EXPECT_EQ(clone->ParsingPath(), child.ParsingPath());
    EXPECT_EQ(PIDLToPath(child.AbsolutePIDL()), child.ParsingPath());
}
