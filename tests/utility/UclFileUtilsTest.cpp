// Path, file and folder routines on Linux paths: building paths, exact-name existence tests,
// entry data and last-write times, and the system folders.

#include "utility/UclFileUtils.h"

#include "Platform/core/Exceptions.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

void SetLastWriteTime(const std::string& name, std::int64_t seconds, long nanoseconds)
{
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ASSERT_EQ(::utimensat(AT_FDCWD, name.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << std::strerror(errno);
}

struct PathCase {
    std::string Input, Expected;
};

} // namespace

TEST(UclWithTrailingBackslash, EndsThePathWithExactlyOneAddedSeparator)
{
    const std::vector<PathCase> cases = {
        {"", "/"},
        {"/", "/"},
        {"/home/user", "/home/user/"},
        {"/home/user/", "/home/user/"},
        {"relative", "relative/"},
        {"C:\\Data\\", "C:\\Data\\/"}, // a backslash is an ordinary character here
        {"/tmp/\xC3\xA9", "/tmp/\xC3\xA9/"},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.Input);
        EXPECT_EQ(WithTrailingBackslash(c.Input), c.Expected);
    }
}

TEST(UclWithoutTrailingBackslash, RemovesOneSeparatorOnly)
{
    const std::vector<PathCase> cases = {
        {"", ""}, {"/", ""}, {"/tmp", "/tmp"}, {"/tmp/", "/tmp"}, {"/tmp//", "/tmp/"}, {"a\\", "a\\"},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.Input);
        EXPECT_EQ(WithoutTrailingBackslash(c.Input), c.Expected);
    }
}

TEST(UclWithDefaultExtension, AddsTheExtensionOnlyToANameWithoutOne)
{
    struct Case {
        std::string Name, Extension, Expected;
    };
    const std::vector<Case> cases = {
        {"settings", "ini", "settings.ini"},
        {"settings", ".ini", "settings.ini"},
        {"settings.", "ini", "settings."}, // a trailing dot counts as an extension
        {"settings.cfg", "ini", "settings.cfg"},
        {"", "ini", ""},
        {"settings", "", "settings"},
        {"/etc/zentu.d/settings", "ini", "/etc/zentu.d/settings.ini"}, // a dot in a folder does not count
        {"/home/user/.zentu", "ini", "/home/user/.zentu"},
        {"drive:settings", "ini", "drive:settings.ini"}, // ':' is ordinary
        {"a.b:settings", "ini", "a.b:settings"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name + " + " + c.Extension);
        EXPECT_EQ(WithDefaultExtension(c.Name, c.Extension), c.Expected);
    }
}

TEST(UclIsAbsoluteDrivePath, IsTrueForARootedPathWithAName)
{
    const std::vector<std::pair<std::string, bool>> cases = {
        {"/home/user/zentu.ini", true}, {"/x", true}, {"//server/share", true},
        {"/", false}, {"", false}, {"zentu.ini", false}, {"./zentu.ini", false},
        {"C:\\zentu.ini", false}, {"\\\\.\\C:\\x", false},
    };
    for (const auto& [path, expected] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(IsAbsoluteDrivePath(path), expected);
    }
}

TEST(UclFolderExists, IsTrueForFoldersOnly)
{
    TempDir dir;
    const std::string file = dir.Write("file.txt", "x");
    ASSERT_EQ(::mkdir(dir.File("sub").c_str(), 0755), 0);
    ASSERT_EQ(::symlink(dir.File("sub").c_str(), dir.File("link").c_str()), 0);

    EXPECT_TRUE(FolderExists(dir.Path()));
    EXPECT_TRUE(FolderExists(dir.Path() + "/"));
    EXPECT_TRUE(FolderExists(dir.File("sub")));
    EXPECT_TRUE(FolderExists(dir.File("link")));
    EXPECT_FALSE(FolderExists(file));
    EXPECT_FALSE(FolderExists(dir.File("missing")));
    EXPECT_FALSE(FolderExists(""));
}

TEST(UclFileEntryExists, FindsFilesAndFoldersByExactName)
{
    TempDir dir;
    const std::string file = dir.Write("file.txt", "x");
    ASSERT_EQ(::mkdir(dir.File("sub").c_str(), 0755), 0);
    ASSERT_EQ(::symlink(dir.File("gone").c_str(), dir.File("dangling").c_str()), 0);

    EXPECT_TRUE(FileEntryExists(file));
    EXPECT_TRUE(FileEntryExists(dir.File("sub")));
    EXPECT_TRUE(FileEntryExists(dir.File("dangling"))); // the link itself is an entry
    EXPECT_FALSE(FileEntryExists(dir.File("sub") + "/"));
    EXPECT_FALSE(FileEntryExists(dir.File("missing.txt")));
    EXPECT_FALSE(FileEntryExists(""));
    EXPECT_FALSE(FileEntryExists("/"));
}

TEST(UclFileEntryExists, TakesWildcardsLiterally)
{
    TempDir dir;
    dir.Write("a1.txt", "x");
    EXPECT_FALSE(FileEntryExists(dir.File("a*.txt")));
    EXPECT_FALSE(FileEntryExists(dir.File("a?.txt")));
    EXPECT_FALSE(FileEntryExists(dir.File("*")));

    dir.Write("a*.txt", "y");
    EXPECT_TRUE(FileEntryExists(dir.File("a*.txt")));
    EXPECT_FALSE(FileEntryExists(dir.File("a?.txt")));
}

TEST(UclFindFileEntry, ReportsTheEntrysData)
{
    TempDir dir;
    const std::string file = dir.Write("data.bin", "12345");
    SetLastWriteTime(file, 1700000000, 123456700);

    TFileEntryInfo info;
    ASSERT_TRUE(FindFileEntry(file, info));
    EXPECT_EQ(info.Name, "data.bin");
    EXPECT_EQ(info.Size, 5);
    EXPECT_TRUE(info.Attributes.Empty());
    EXPECT_EQ(info.LastWriteTime, FileTimeFromUnix(1700000000, 123456700));
}

TEST(UclFindFileEntry, ReportsFolderReadOnlyAndHiddenAttributes)
{
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.File("sub").c_str(), 0755), 0);
    const std::string readOnly = dir.Write("locked.txt", "x");
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    const std::string hidden = dir.Write(".hidden", "x");

    TFileEntryInfo info;
    ASSERT_TRUE(FindFileEntry(dir.File("sub"), info));
    EXPECT_TRUE(info.Attributes.Contains(TFileEntryAttribute::faFolder));
    EXPECT_FALSE(info.Attributes.Contains(TFileEntryAttribute::faReadOnly));

    ASSERT_TRUE(FindFileEntry(readOnly, info));
    EXPECT_TRUE(info.Attributes.Contains(TFileEntryAttribute::faReadOnly));
    EXPECT_FALSE(info.Attributes.Contains(TFileEntryAttribute::faFolder));

    ASSERT_TRUE(FindFileEntry(hidden, info));
    EXPECT_TRUE(info.Attributes.Contains(TFileEntryAttribute::faHidden));
    EXPECT_EQ(info.Name, ".hidden");
}

TEST(UclFindFileEntry, MissingEntryLeavesTheRecordAlone)
{
    TempDir dir;
    TFileEntryInfo info;
    info.Name = "unchanged";
    EXPECT_FALSE(FindFileEntry(dir.File("missing"), info));
    EXPECT_FALSE(FindFileEntry(dir.Path() + "/", info));
    EXPECT_EQ(info.Name, "unchanged");
}

TEST(UclFileLastWriteTime, GivesTheRawUtcTimeOfTheFile)
{
    TempDir dir;
    const std::string file = dir.Write("doc.php", "<?php");
    SetLastWriteTime(file, 1234567890, 500);
    FILETIME time;
    FileLastWriteTime(file, time);
    EXPECT_EQ(time, FileTimeFromUnix(1234567890, 500));
}

TEST(UclFileLastWriteTime, MissingFileRaisesTheSystemErrorAndKeepsTheValue)
{
    TempDir dir;
    FILETIME time{42};
    try {
        FileLastWriteTime(dir.File("missing.php"), time);
        FAIL() << "no exception";
    } catch (const EOSError& e) {
        EXPECT_EQ(e.ErrorCode(), ENOENT);
        EXPECT_EQ(e.Message(), "System Error.  Code: 2.\r\n" + SysErrorMessage(ENOENT));
    }
    EXPECT_EQ(time.Ticks, 42u);
    EXPECT_THROW(FileLastWriteTime("", time), EOSError);
}

TEST(UclSystemFolders, WindowsFolderIsTheRoot)
{
    EXPECT_EQ(WindowsFolderPath(), "/");
}

TEST(UclSystemFolders, TempFolderComesFromTmpdirWithoutTrailingSeparator)
{
    TempDir dir;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {dir.Path(), dir.Path()},
        {dir.Path() + "/", dir.Path()},
        {dir.Path() + "//", dir.Path()},
        {"", "/tmp"},
        {"/", "/tmp"},
    };
    for (const auto& [tmpdir, expected] : cases) {
        SCOPED_TRACE("TMPDIR=" + tmpdir);
        ScopedEnvironment env("TMPDIR", tmpdir);
        EXPECT_EQ(TempFolderPath(), expected);
    }
    ScopedEnvironment unset("TMPDIR");
    EXPECT_EQ(TempFolderPath(), "/tmp");
}

TEST(UclSystemFolders, AppDataFolderFollowsXdgConfigHome)
{
    ScopedEnvironment home("HOME", "/home/someone");
    {
        ScopedEnvironment config("XDG_CONFIG_HOME", "/srv/config/");
        EXPECT_EQ(AppDataFolderPath(), "/srv/config");
        EXPECT_EQ(SpecialFolderPath(CSIDL_APPDATA), "/srv/config");
    }
    {
        ScopedEnvironment config("XDG_CONFIG_HOME", "relative/config"); // ignored, as XDG says
        EXPECT_EQ(AppDataFolderPath(), "/home/someone/.config");
    }
    ScopedEnvironment config("XDG_CONFIG_HOME");
    EXPECT_EQ(AppDataFolderPath(), "/home/someone/.config");
}

TEST(UclSystemFolders, SpecialFolderNumbersMapToXdgAndHomeFolders)
{
    ScopedEnvironment home("HOME", "/home/someone/");
    ScopedEnvironment data("XDG_DATA_HOME");
    EXPECT_EQ(SpecialFolderPath(CSIDL_LOCAL_APPDATA), "/home/someone/.local/share");
    EXPECT_EQ(SpecialFolderPath(CSIDL_PROFILE), "/home/someone");
    EXPECT_EQ(SpecialFolderPath(5), ""); // no counterpart
    EXPECT_EQ(SpecialFolderPath(-1), "");
}

TEST(UclShellIdList, ConvertsToItsPathAndReleasesOnce)
{
    EXPECT_EQ(ShellIdListToPath(nullptr), "");
    PShellIdList none;
    EXPECT_TRUE(ReleaseShellIdList(none));
    EXPECT_EQ(none, nullptr);

    using namespace std::string_literals;
    PShellIdList list = std::make_unique<TShellIdList>(TShellIdList{"/home/someone\0junk"s});
    EXPECT_EQ(ShellIdListToPath(list.get()), "/home/someone");
    EXPECT_TRUE(ReleaseShellIdList(list));
    EXPECT_EQ(list, nullptr);
}
