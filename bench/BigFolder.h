#pragma once
// What the shell benchmarks share: a private home folder, a folder of many small files of the
// types a PHP project holds, and a wait that keeps the event loop running.

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>

// A temporary folder made the home of the run, so that the trash and the special folders are
// never the user's; it goes with its contents at the end. `Root` is empty when none could be made.
struct TBenchHome {
    std::string Root;
    explicit TBenchHome(const std::string& name)
    {
        std::string pattern = "/tmp/zentu-" + name + "-bench-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            return;
        Root = pattern;
        ::setenv("HOME", Root.c_str(), 1);
        ::setenv("XDG_DATA_HOME", (Root + "/.local/share").c_str(), 1);
    }
    ~TBenchHome()
    {
        std::error_code ignored;
        if (!Root.empty())
            std::filesystem::remove_all(Root, ignored);
    }
    TBenchHome(const TBenchHome&) = delete;
    TBenchHome& operator=(const TBenchHome&) = delete;
};

// Makes `root`/big with `count` files and gives its path.
inline std::string MakeBigFolder(const std::string& root, int count)
{
    static const char* const extensions[] = {".php", ".html", ".css", ".js", ".txt", ".png", ".xml", ".inc", ""};
    const std::string folder = root + "/big";
    std::filesystem::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        const std::string name = folder + "/file" + std::to_string(i) + extensions[i % 9];
        std::ofstream(name, std::ios::binary) << std::string(static_cast<size_t>(i % 64), 'x');
    }
    return folder;
}

// Runs the event loop until `done` or the time is up.
inline bool WaitWithEvents(const std::function<bool()>& done, int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}
