#include "ShellBrowsing/Source/operations/ShellClipboard.h"
#include "ShellBrowsing/Source/operations/ShellVerbs.h"

#include "ShellBrowsing/ShellTestSupport.h"
#include "ShellBrowsing/operations/OperationsTestSupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <fcntl.h>
#include <unistd.h>

namespace {

class TClipboardVerbs : public TShellTest {
protected:
    std::unique_ptr<TNamespace> Folder;
    std::vector<std::unique_ptr<TNamespace>> Kept;

    TNamespace* Child(const std::string& folderPath, const std::string& name)
    {
        Kept.push_back(Item(folderPath));
        TNamespace* folder = Kept.back().get();
        Kept.push_back(std::make_unique<TNamespace>(MakeItem(TItemKind::Entry, name), folder));
        return Kept.back().get();
    }
};

} // namespace

TEST(ShellClipboard, FilesTravelAsUrlsOfTheirBytes)
{
    const std::string odd("/tmp/a b/caf\xE9%.txt", 18);
    const auto data = ShellClipboard::MakeFileMimeData({odd, "/tmp/x"}, true);
    EXPECT_EQ(data->data("text/uri-list"), QByteArray("file:///tmp/a%20b/caf%E9%25.txt\r\nfile:///tmp/x\r\n"));
    EXPECT_EQ(data->data("x-special/gnome-copied-files"), QByteArray("cut\nfile:///tmp/a%20b/caf%E9%25.txt\nfile:///tmp/x"));
    EXPECT_EQ(data->data("application/x-kde-cutselection"), QByteArray("1"));
    std::vector<std::string> paths;
    bool cut = false;
    ASSERT_TRUE(ShellClipboard::ReadFileMimeData(data.get(), paths, cut));
    EXPECT_TRUE(cut);
    EXPECT_EQ(paths, (std::vector<std::string>{odd, "/tmp/x"}));
}

TEST(ShellClipboard, ForeignDataIsReadWithinItsOwnSize)
{
    const struct {
        const char* What;
        QByteArray Uris;
        QByteArray Gnome;
        std::vector<std::string> Expected;
        bool Cut;
    } cases[] = {
        {"other schemes left out", "http://x/y\r\nfile:///ok\r\n", {}, {"/ok"}, false},
        {"comments and blank lines", "# comment\r\n\r\nfile://localhost/a/../b\n", {}, {"/b"}, false},
        {"an encoded NUL is refused", "file:///bad%00name\r\n", {}, {}, false},
        {"a truncated escape stays as text", "file:///x%2", {}, {"/x%2"}, false},
        {"gnome's copy list wins", "file:///a\r\n", "copy\nfile:///g", {"/g"}, false},
        {"a gnome list of another kind is ignored", "file:///a\r\n", "link\nfile:///g", {"/a"}, false},
        {"nothing at all", {}, {}, {}, false},
    };
    for (const auto& c : cases) {
        QMimeData data;
        if (!c.Uris.isEmpty())
            data.setData("text/uri-list", c.Uris);
        if (!c.Gnome.isEmpty())
            data.setData("x-special/gnome-copied-files", c.Gnome);
        std::vector<std::string> paths;
        bool cut = true;
        EXPECT_EQ(ShellClipboard::ReadFileMimeData(&data, paths, cut), !c.Expected.empty()) << c.What;
        EXPECT_EQ(paths, c.Expected) << c.What;
        EXPECT_EQ(cut, c.Cut) << c.What;
    }
}

TEST_F(TClipboardVerbs, CtrlVPastesCopiesNotLinks)
{
    // The explorers' Ctrl+V and Shift+Insert paste the clipboard's files as copies.
    const std::string file = MakeFile("src/page.php", "<?php");
    const std::string target = MakeDir("dst");
    TNamespace* item = Child(PathOf("src"), "page.php");
    ASSERT_TRUE(item->Copy({item}));
    ASSERT_TRUE(ShellVerbs::PasteFromClipboard(target));
    EXPECT_FALSE(IsLinkEntry(PathOf("dst/page.php")));
    EXPECT_EQ(FileText(PathOf("dst/page.php")), "<?php");
    EXPECT_TRUE(Exists(file));
}

TEST_F(TClipboardVerbs, PasteAfterCutMovesOnceAndEmptiesTheClipboard)
{
    MakeFile("src/a.txt", "a");
    MakeFile("src/b.txt", "b");
    const std::string target = MakeDir("dst");
    TNamespace* a = Child(PathOf("src"), "a.txt");
    TNamespace* b = Child(PathOf("src"), "b.txt");
    ASSERT_TRUE(a->Cut({a, b}));
    ASSERT_TRUE(ShellVerbs::PasteFromClipboard(target));
    EXPECT_EQ(Listing(PathOf("src")), std::vector<std::string>{});
    EXPECT_EQ(Listing(target), (std::vector<std::string>{"a.txt", "b.txt"}));
    std::vector<std::string> paths;
    bool cut = false;
    EXPECT_FALSE(ShellClipboard::ClipboardFiles(paths, cut));
    EXPECT_FALSE(ShellVerbs::PasteFromClipboard(target));
}

TEST_F(TClipboardVerbs, PasteAsLinkMakesLinksThroughTheFolder)
{
    MakeFile("src/a.txt", "a");
    const std::string target = MakeDir("dst");
    TNamespace* a = Child(PathOf("src"), "a.txt");
    ASSERT_TRUE(a->Copy({a}));
    TNamespace* folder = Child(Dir(), "dst");
    ASSERT_TRUE(folder->Paste({folder}, false));
    EXPECT_TRUE(IsLinkEntry(PathOf("dst/a.txt")));
    EXPECT_EQ(FileText(PathOf("dst/a.txt")), "a");
    // Pasting as copies over the link replaces it only after Yes.
    TAnswers answers({IDYES});
    ASSERT_TRUE(folder->Paste({folder}, true));
    EXPECT_EQ(answers.Asked.size(), 1u);
    EXPECT_FALSE(IsLinkEntry(PathOf("dst/a.txt")));
    EXPECT_EQ(FileText(PathOf("dst/a.txt")), "a");
}

TEST_F(TClipboardVerbs, ItemsOfTwoFoldersAreRefusedWithAWarning)
{
    MakeFile("x/a");
    MakeFile("y/b");
    TNamespace* a = Child(PathOf("x"), "a");
    TNamespace* b = Child(PathOf("y"), "b");
    TAnswers answers({IDOK});
    EXPECT_FALSE(a->Copy({a, b}));
    ASSERT_EQ(answers.Asked.size(), 1u);
    EXPECT_EQ(answers.Asked[0].Caption, "Error");
    EXPECT_EQ(answers.Asked[0].Text, "PIDLs to operate on are not siblings of the Namespace doing the operation.");
    EXPECT_EQ(answers.Asked[0].Flags & MB_ICONWARNING, static_cast<unsigned>(MB_ICONWARNING));
}

TEST_F(TClipboardVerbs, PasteOnTheDesktopGoesToThePhysicalDesktopFolder)
{
    MakeFile("a.txt", "a");
    TNamespace* a = Child(Dir(), "a.txt");
    ASSERT_TRUE(a->Copy({a}));
    const std::string desktopFolder = FakeHome() + "/Desktop";
    MakeDir("../Desktop");
    TNamespace desktop;
    EXPECT_TRUE(desktop.Paste({&desktop}, true));
    EXPECT_EQ(FileText(desktopFolder + "/a.txt"), "a");
    std::error_code ignored;
    std::filesystem::remove_all(desktopFolder, ignored);
}

TEST_F(TClipboardVerbs, UnknownVerbsAndEmptyListsDoNothing)
{
    EXPECT_FALSE(ShellVerbs::Run(QStringLiteral("explore"), {Dir()}));
    EXPECT_FALSE(ShellVerbs::Run(QStringLiteral("copy"), {}));
    EXPECT_FALSE(ShellVerbs::Run(QStringLiteral("rename"), {Dir()}));
}
