// The main of every test binary: a TApplication on the offscreen platform. A message box
// that a test did not ask for fails the test instead of waiting for a click. Each run gets a
// home folder of its own, so that nothing a test starts reads or writes the user's files.

#include "Platform/core/Application.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr const char* HomePrefix = "/tmp/zentu-";

struct TTestHome {
    std::string Path;
    TTestHome()
    {
        const char* home = std::getenv("HOME");
        if (home && std::string(home).starts_with(HomePrefix))
            return; // a test library made one already, before main
        std::string pattern = std::string(HomePrefix) + "test-home-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            return;
        Path = pattern;
        ::setenv("HOME", Path.c_str(), 1);
        for (const auto& [name, folder] : {std::pair{"XDG_DATA_HOME", "/.local/share"},
                                           std::pair{"XDG_CONFIG_HOME", "/.config"},
                                           std::pair{"XDG_CACHE_HOME", "/.cache"}}) {
            std::filesystem::create_directories(Path + folder);
            ::setenv(name, (Path + folder).c_str(), 1);
        }
    }
    ~TTestHome()
    {
        std::error_code ignored;
        if (!Path.empty())
            std::filesystem::remove_all(Path, ignored);
    }
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const TTestHome home;
    ::testing::InitGoogleTest(&argc, argv);
    TApplication app(argc, argv);
    app.MessageBoxHook = [](const TMessageBoxRequest& request) {
        ADD_FAILURE() << "unexpected message box: " << request.Text;
        return IDCANCEL;
    };
    return RUN_ALL_TESTS();
}
