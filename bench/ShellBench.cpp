// Shell browsing: enumerating a folder of 100,000 files with their names, sizes, modification
// times and types through the namespace, beside QFileSystemModel fetching the same folder to
// completion (the same four columns read for every row) and a bare readdir+lstat loop; and 1,000
// files created in a watched folder, counting the batches the change notifier delivers and the
// delay after the last file, beside the signals QFileSystemWatcher sends for the same files.

#include "BigFolder.h"

#include "ShellBrowsing/Source/common/ShellLibrary.h"
#include "ShellBrowsing/Source/idlist/PIDLManager.h"
#include "ShellBrowsing/Source/namespace/Namespace.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"
#include "ShellBrowsing/Source/notify/ShellChangeNotifier.h"

#include "Platform/core/MessageWindow.h"

#include "ComparingReporter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileSystemModel>
#include <QFileSystemWatcher>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr int FileCount = 100000;
constexpr int WatchedFileCount = 1000;
std::string Root;
std::string BigFolder;



void BM_NamespaceEnumerate(benchmark::State& state)
{
    for (auto _ : state) {
        const std::unique_ptr<TNamespace> folder = TNamespace::CreateFromFileName(QString::fromStdString(BigFolder));
        std::vector<std::unique_ptr<TNamespace>> items;
        items.reserve(FileCount);
        folder->EnumerateFolder(TFileObjects{TFileObject::foFolders, TFileObject::foNonFolders, TFileObject::foHidden},
                                [&](TNamespace& parent, PItemIDList child, bool&) {
                                    auto item = std::make_unique<TNamespace>(child, &parent);
                                    benchmark::DoNotOptimize(item->DisplayNameInFolder());
                                    benchmark::DoNotOptimize(item->FileSizeBytes());
                                    benchmark::DoNotOptimize(item->ModifiedTime());
                                    benchmark::DoNotOptimize(item->FileTypeText());
                                    items.push_back(std::move(item));
                                    return true;
                                });
        if (items.size() != FileCount)
            state.SkipWithError("the namespace did not list every file");
    }
}

void BM_QFileSystemModel(benchmark::State& state)
{
    for (auto _ : state) {
        QFileSystemModel model;
        const QModelIndex root = model.setRootPath(QString::fromStdString(BigFolder));
        if (!WaitWithEvents([&] { return model.rowCount(root) == FileCount; }, 120000)) {
            state.SkipWithError("QFileSystemModel did not list every file");
            break;
        }
        for (int row = 0; row < FileCount; ++row)
            for (int column = 0; column < 4; ++column)
                benchmark::DoNotOptimize(model.data(model.index(row, column, root)));
    }
}

void BM_ReaddirStat(benchmark::State& state)
{
    struct TEntry {
        std::string Name;
        off_t Size;
        time_t Modified;
    };
    for (auto _ : state) {
        std::vector<TEntry> entries;
        entries.reserve(FileCount);
        DIR* dir = ::opendir(BigFolder.c_str());
        while (const dirent* e = ::readdir(dir)) {
            if (e->d_name[0] == '.' && (e->d_name[1] == 0 || (e->d_name[1] == '.' && e->d_name[2] == 0)))
                continue;
            struct stat st {};
            if (::lstat((BigFolder + "/" + e->d_name).c_str(), &st) == 0)
                entries.push_back({e->d_name, st.st_size, st.st_mtime});
        }
        ::closedir(dir);
        if (entries.size() != FileCount)
            state.SkipWithError("readdir did not list every file");
    }
}

// Each run creates 1,000 new files in `folder`; manual time is the delay from the last file to
// the first delivery counted in `deliveries`, and anything that comes within 1.5 s after it
// would be a second delivery for the same files. Answers the deliveries per run.
double ThousandNewFiles(benchmark::State& state, const std::string& folder, const int& deliveries)
{
    int run = 0;
    int total = 0;
    for (auto _ : state) {
        const int before = deliveries;
        for (int i = 0; i < WatchedFileCount; ++i)
            std::ofstream(folder + "/r" + std::to_string(run) + "-" + std::to_string(i));
        QElapsedTimer clock;
        clock.start();
        WaitWithEvents([&] { return deliveries > before; }, 10000);
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
        WaitWithEvents([] { return false; }, 1500);
        total += deliveries - before;
        ++run;
    }
    return run > 0 ? static_cast<double>(total) / run : 0;
}

void BM_NotifierThousandFiles(benchmark::State& state)
{
    const std::string folder = Root + "/watched";
    std::filesystem::create_directories(folder);
    int batches = 0;
    TMessageWindow window([&](TMessage& m) {
        if (m.Msg != VM_SHELLEVENTS)
            return;
        ++batches;
        reinterpret_cast<TShellKitEventList*>(m.WParam)->Release();
    });
    ChangeNotifier().RegisterShellChangeNotify(&window);
    {
        const std::unique_ptr<TNamespace> item = TNamespace::CreateFromFileName(QString::fromStdString(folder));
        ChangeNotifier().WatchFolder(&window, item->AbsolutePIDL());
    }
    WaitWithEvents([] { return ChangeNotifier().WatchedFolderCount() >= 1; }, 5000);
    state.counters["batches_per_run"] = ThousandNewFiles(state, folder, batches);
    ChangeNotifier().UnRegisterAllControls();
}

void BM_QFileSystemWatcherThousandFiles(benchmark::State& state)
{
    const std::string folder = Root + "/watched-qt";
    std::filesystem::create_directories(folder);
    QFileSystemWatcher watcher({QString::fromStdString(folder)});
    int changes = 0;
    QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, [&] { ++changes; });
    state.counters["signals_per_run"] = ThousandNewFiles(state, folder, changes);
}

} // namespace

BENCHMARK(BM_NamespaceEnumerate)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_QFileSystemModel)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReaddirStat)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_NotifierThousandFiles)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_QFileSystemWatcherThousandFiles)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const TBenchHome home("shell");
    if (home.Root.empty())
        return 1;
    Root = home.Root;
    QApplication app(argc, argv);
    StartShellBrowsing();
    BigFolder = MakeBigFolder(Root, FileCount);

    benchmark::Initialize(&argc, argv);
    TComparingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double ours = reporter.Find("BM_NamespaceEnumerate");
    const double model = reporter.Find("BM_QFileSystemModel");
    const double bare = reporter.Find("BM_ReaddirStat");
    if (ours > 0 && model > 0 && bare > 0)
        std::printf("100,000 files: %.2fx QFileSystemModel (at most 2), %.2fx readdir+lstat (at most 3)\n",
                    ours / model, ours / bare);
    const double delay = reporter.Find("BM_NotifierThousandFiles");
    if (delay > 0)
        std::printf("1,000 new files: first batch %.0f ms after the last file (quiet time 750 ms)\n", delay * 1000);

    StopShellBrowsing();
    return 0;
}
