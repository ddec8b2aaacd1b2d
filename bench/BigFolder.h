#pragma once
// What the shell benchmarks share: a folder of many small files of the types a PHP project holds,
// and a wait that keeps the event loop running.

#include <QCoreApplication>
#include <QElapsedTimer>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

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
