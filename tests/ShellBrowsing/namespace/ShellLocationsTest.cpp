#include "ShellBrowsing/Source/namespace/ItemTexts.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"
#include "ShellBrowsing/Source/namespace/TrashInfo.h"

#include "ShellBrowsing/ShellTestSupport.h"

#include <cstdlib>

namespace {

class TShellLocations : public TShellTest {};

std::string Describe(PCItemIDList list)
{
    std::string text;
    for (PCItemIDList p = list; p && ItemCB(p) != 0; p = PIDLMgr().NextID(p))
        text += "[" + std::to_string(static_cast<int>(ItemKind(p))) + ":" + std::string(ItemName(p)) + "]";
    return text;
}

} // namespace

TEST(ShellPaths, NormalizeResolvesDotsWithoutTheDisk)
{
    const struct {
        const char* In;
        const char* Out;
    } cases[] = {
        {"/a//b/./c/", "/a/b/c"}, {"/a/b/../c", "/a/c"}, {"/../..", "/"}, {"/", "/"}, {"relative", ""}, {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormalizePath(c.In), c.Out) << c.In;
}

TEST_F(TShellLocations, PathsInsideHomeAreNamedFromHome)
{
    MakeDir("site/css");
    TPIDLHolder list(PathToPIDL(PathOf("site/css")));
    const std::string test = Dir().substr(FakeHome().size() + 1);
    EXPECT_EQ(Describe(list.Get()), "[1:][5:" + test + "][5:site][5:css]");
    EXPECT_EQ(PIDLToFileSystemPath(list.Get()), PathOf("site/css"));

    TPIDLHolder home(PathToPIDL(FakeHome() + "/"));
    EXPECT_EQ(Describe(home.Get()), "[1:]");
    TPIDLHolder dotted(PathToPIDL(PathOf("site/../site/./css")));
    EXPECT_TRUE(ILIsEqual(dotted.Get(), list.Get()));
    EXPECT_EQ(PathToPIDL(PathOf("missing")), nullptr);
    EXPECT_EQ(PathToPIDL(std::string("site")), nullptr);
}

TEST_F(TShellLocations, OtherPathsAreNamedFromComputerAndTheirVolume)
{
    TPIDLHolder root(PathToPIDL(std::string("/")));
    EXPECT_EQ(Describe(root.Get()), "[2:][4:/]");
    TPIDLHolder etc(PathToPIDL(std::string("/etc")));
    EXPECT_EQ(Describe(etc.Get()), "[2:][4:/][5:etc]");
    EXPECT_EQ(PIDLToFileSystemPath(etc.Get()), "/etc");
    TPIDLHolder computer(PathToPIDL(std::string("computer:///")));
    EXPECT_EQ(Describe(computer.Get()), "[2:]");
    EXPECT_EQ(PIDLToFileSystemPath(computer.Get()), "");
    TPIDLHolder trash(PathToPIDL(std::string("trash:///")));
    EXPECT_EQ(Describe(trash.Get()), "[3:]");
    EXPECT_EQ(UserVolumes().front().MountPoint, "/");
}

TEST_F(TShellLocations, SpecialFoldersFollowTheEnvironment)
{
    EXPECT_EQ(HomeFolderPath(), FakeHome());
    EXPECT_EQ(HomeTrashPath(), FakeHome() + "/.local/share/Trash");
    EXPECT_EQ(DocumentsPath(), "");
    EXPECT_EQ(MyDocumentsPIDL(), nullptr);
    MakeDir("../Documents");
    TPIDLHolder documents(MyDocumentsPIDL());
    EXPECT_EQ(Describe(documents.Get()), "[1:][5:Documents]");
    ::rmdir((FakeHome() + "/Documents").c_str());
    EXPECT_EQ(TrashFolderFor(PathOf("missing")), "");
    MakeFile("t");
    EXPECT_EQ(TrashFolderFor(PathOf("t")), HomeTrashPath());
}

TEST(TrashInfo, PathsArePercentEncodedBytes)
{
    const std::string path("/home/u/a b%c\xE9.txt", 18);
    const std::string text = TrashInfoText(HomeTrashPath(), path, "2024-01-02T03:04:05");
    EXPECT_EQ(text, "[Trash Info]\nPath=/home/u/a%20b%25c%E9.txt\nDeletionDate=2024-01-02T03:04:05\n");
    EXPECT_EQ(PercentDecode("/home/u/a%20b%25c%E9.txt"), path);
    // A volume's trash keeps paths relative to the volume's top folder.
    EXPECT_EQ(TrashInfoText("/media/usb/.Trash-1000", "/media/usb/docs/x", "d"),
              "[Trash Info]\nPath=docs/x\nDeletionDate=d\n");
    EXPECT_EQ(TrashTopFolder("/media/usb/.Trash/1000"), "/media/usb");
    EXPECT_EQ(TrashTopFolder("/media/usb/.Trash-1000"), "/media/usb");
}

TEST(ItemNames, OrderIgnoresCaseAndReadsNumbersByValue)
{
    const char* const ordered[] = {"1.txt", "2.txt", "10.txt", "a", "B", "b", "file2", "file10", "File11", "x01y", "x1z"};
    for (std::size_t i = 0; i + 1 < std::size(ordered); ++i) {
        EXPECT_LT(CompareItemNames(ordered[i], ordered[i + 1]), 0) << ordered[i] << " < " << ordered[i + 1];
        EXPECT_GT(CompareItemNames(ordered[i + 1], ordered[i]), 0) << ordered[i + 1] << " > " << ordered[i];
    }
    EXPECT_EQ(CompareItemNames("same", "same"), 0);
    EXPECT_NE(CompareItemNames("x01", "x1"), 0);
    EXPECT_LT(CompareItemNames("\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89z"), 0);
}
