// Explorer list: opening a folder of 100,000 files in the explorer's list view (every row made,
// sorted and shown) beside QFileSystemModel in a QTreeView doing the same, in one run. Each side
// reports the time to its first paint of the folder and the time until the whole folder is
// listed and every row's name, size, type and modified texts were read once.

#include "BigFolder.h"

#include "ShellBrowsing/Source/common/ShellLibrary.h"
#include "ShellBrowsing/Source/explorer/ExplorerViews.h"

#include "ComparingReporter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QTreeView>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr int FileCount = 100000;
std::string Root;
std::string BigFolder;
double OursFirstPaint = 0;
double PeerFirstPaint = 0;



void BM_ExplorerListview(benchmark::State& state)
{
    double firstPaint = 0;
    for (auto _ : state) {
        TShellExplorerListview list;
        list.resize(900, 700);
        list.show();
        list.SetActive(true);
        QElapsedTimer clock;
        clock.start();
        list.SetRootFolderCustomPath(QString::fromStdString(BigFolder));
        list.viewport()->repaint();
        firstPaint += clock.nsecsElapsed() / 1e9;
        if (list.RootNodeCount() != FileCount) {
            state.SkipWithError("the list did not show every file");
            break;
        }
        for (PLazyNode node = list.HiddenRoot()->ChildHead; node; node = node->NextLink)
            for (int column = 0; column < 4; ++column)
                benchmark::DoNotOptimize(list.GetCellText(node, column));
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
    }
    OursFirstPaint = firstPaint / static_cast<double>(state.iterations());
    state.counters["first_paint_ms"] = OursFirstPaint * 1000;
}

void BM_QTreeViewFileSystemModel(benchmark::State& state)
{
    double firstPaint = 0;
    for (auto _ : state) {
        QFileSystemModel model;
        QTreeView view;
        view.resize(900, 700);
        view.setModel(&model);
        view.show();
        QElapsedTimer clock;
        clock.start();
        const QModelIndex root = model.setRootPath(QString::fromStdString(BigFolder));
        view.setRootIndex(root);
        if (!WaitWithEvents([&] { return model.rowCount(root) > 0; }, 120000)) {
            state.SkipWithError("QFileSystemModel listed nothing");
            break;
        }
        view.viewport()->repaint();
        firstPaint += clock.nsecsElapsed() / 1e9;
        if (!WaitWithEvents([&] { return model.rowCount(root) == FileCount; }, 120000)) {
            state.SkipWithError("QFileSystemModel did not list every file");
            break;
        }
        for (int row = 0; row < FileCount; ++row)
            for (int column = 0; column < 4; ++column)
                benchmark::DoNotOptimize(model.data(model.index(row, column, root)));
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
    }
    PeerFirstPaint = firstPaint / static_cast<double>(state.iterations());
    state.counters["first_paint_ms"] = PeerFirstPaint * 1000;
}

} // namespace

BENCHMARK(BM_ExplorerListview)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_QTreeViewFileSystemModel)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    char pattern[] = "/tmp/zentu-explorer-bench-XXXXXX";
    if (!::mkdtemp(pattern))
        return 1;
    Root = pattern;
    ::setenv("HOME", Root.c_str(), 1);
    ::setenv("XDG_DATA_HOME", (Root + "/.local/share").c_str(), 1);
    QApplication app(argc, argv);
    StartShellBrowsing();
    BigFolder = MakeBigFolder(Root, FileCount);

    benchmark::Initialize(&argc, argv);
    TComparingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double ours = reporter.Find("BM_ExplorerListview");
    const double peer = reporter.Find("BM_QTreeViewFileSystemModel");
    if (ours > 0 && peer > 0 && PeerFirstPaint > 0)
        std::printf("100,000 files in the list: first paint %.2fx, complete %.2fx QFileSystemModel in a QTreeView "
                    "(aim: at most 1)\n",
                    OursFirstPaint / PeerFirstPaint, ours / peer);
    StopShellBrowsing();
    std::error_code ignored;
    std::filesystem::remove_all(Root, ignored);
    return 0;
}
