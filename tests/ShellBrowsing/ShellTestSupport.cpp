#include "ShellBrowsing/ShellTestSupport.h"

#include "ShellBrowsing/Source/namespace/ShellLocations.h"

#include <QDir>
#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// why: set while static objects are made, before the application or any test reads them.
struct TFakeHome {
    std::string Path;
    TFakeHome()
    {
        char pattern[] = "/tmp/zentu-shell-home-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        Path = made ? made : "/tmp";
        ::setenv("HOME", Path.c_str(), 1);
        ::setenv("XDG_DATA_HOME", (Path + "/.local/share").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (Path + "/.config").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", (Path + "/.cache").c_str(), 1);
        ::setenv("LANG", "C.UTF-8", 1);
        ::unsetenv("LANGUAGE");
        ::unsetenv("LC_ALL");
        std::filesystem::create_directories(Path + "/.local/share");
        std::filesystem::create_directories(Path + "/.config");
    }
    ~TFakeHome()
    {
        std::error_code ignored;
        if (Path.starts_with("/tmp/zentu-shell-home-"))
            std::filesystem::remove_all(Path, ignored);
    }
};

TFakeHome& Home()
{
    static TFakeHome home;
    return home;
}

[[maybe_unused]] const TFakeHome& MadeAtStart = Home();

void Chmod(const std::filesystem::path& path)
{
    std::error_code ignored;
    std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
}

} // namespace

std::string FakeHome()
{
    return Home().Path;
}

void TShellTest::SetUp()
{
    static int serial = 0;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    FDir = FakeHome() + "/" + info->name() + "-" + std::to_string(++serial);
    std::filesystem::create_directories(FDir);
}

void TShellTest::TearDown()
{
    FChildren.clear();
    FFolder.reset();
    std::error_code ignored;
    // Tests may leave folders they made unreadable; make them removable first.
    for (auto it = std::filesystem::recursive_directory_iterator(FDir, std::filesystem::directory_options::skip_permission_denied, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
        if (it->is_directory(ignored) && !it->is_symlink(ignored))
            Chmod(it->path());
    Chmod(FDir);
    std::filesystem::remove_all(FDir, ignored);
}

std::string TShellTest::MakeFile(const std::string& name, const std::string& bytes)
{
    const std::string path = PathOf(name);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string TShellTest::MakeDir(const std::string& name)
{
    const std::string path = PathOf(name);
    std::filesystem::create_directories(path);
    return path;
}

std::string TShellTest::MakeLink(const std::string& name, const std::string& target)
{
    const std::string path = PathOf(name);
    EXPECT_EQ(::symlink(target.c_str(), path.c_str()), 0) << path;
    return path;
}

std::unique_ptr<TNamespace> TShellTest::Item(const std::string& path)
{
    PItemIDList pidl = PathToPIDL(path);
    EXPECT_NE(pidl, nullptr) << path;
    return std::make_unique<TNamespace>(pidl, nullptr);
}

TNamespace* TShellTest::Child(const std::string& name)
{
    if (!FFolder)
        FFolder = Item(FDir);
    FChildren.push_back(std::make_unique<TNamespace>(MakeItem(TItemKind::Entry, name), FFolder.get()));
    return FChildren.back().get();
}

std::vector<std::string> TShellTest::Listing(const std::string& folder) const
{
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(dir))
            if (std::string_view(e->d_name) != "." && std::string_view(e->d_name) != "..")
                names.emplace_back(e->d_name);
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

PItemIDList BuildList(std::initializer_list<std::pair<TItemKind, std::string>> items)
{
    TPIDLHolder list(MakeDesktopPIDL());
    for (const auto& [kind, name] : items) {
        TPIDLHolder item(MakeItem(kind, name));
        list.Reset(PIDLMgr().AppendPIDL(list.Get(), item.Get()));
    }
    return list.Release();
}

std::string ListBytes(PCItemIDList list)
{
    if (!list)
        return {};
    return std::string(reinterpret_cast<const char*>(list), PIDLMgr().PIDLSize(list));
}
