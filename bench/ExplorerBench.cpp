// Explorer list: opening a folder of 100,000 files in the explorer's list view (every row made,
// sorted and shown) beside QFileSystemModel in a QTreeView doing the same, in one run. Each side
// reports the time to its first paint of the folder and the time until the whole folder is
// listed and every row's name, size, type and modified texts were read once. The list reads the
// folder on its enumeration thread, as QFileSystemModel does on its own; the same list reading
// it on the GUI thread is shown for comparison.

#include "BigFolder.h"

#include "ShellBrowsing/Source/common/ShellLibrary.h"
#include "ShellBrowsing/Source/explorer/ExplorerViews.h"

#include "ComparingReporter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QTreeView>
#include <benchmark/benchmark.h>

#include <algorithm>
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



// Opens the big folder in a list and reads every row's texts; `threaded` lists it on the
// enumeration thread, where the first rows paint before the rest is read.
double ListBigFolder(benchmark::State& state, bool threaded)
{
    double firstPaint = 0;
    for (auto _ : state) {
        TShellExplorerListview list;
        list.SetThreadedEnum(threaded);
        list.resize(900, 700);
        list.show();
        list.SetActive(true);
        QElapsedTimer clock;
        clock.start();
        list.SetRootFolderCustomPath(QString::fromStdString(BigFolder));
        if (!WaitWithEvents([&] { return list.RootNodeCount() > 0; }, 120000)) {
            state.SkipWithError("the list showed nothing");
            break;
        }
        list.viewport()->repaint();
        firstPaint += clock.nsecsElapsed() / 1e9;
        if (!WaitWithEvents([&] { return !list.Enumerating(); }, 120000) || list.RootNodeCount() != FileCount) {
            state.SkipWithError("the list did not show every file");
            break;
        }
        for (PLazyNode node = list.HiddenRoot()->ChildHead; node; node = node->NextLink)
            for (int column = 0; column < 4; ++column)
                benchmark::DoNotOptimize(list.GetCellText(node, column));
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
    }
    const double average = firstPaint / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["first_paint_ms"] = average * 1000;
    return average;
}

void BM_ExplorerListview(benchmark::State& state)
{
    OursFirstPaint = ListBigFolder(state, true);
}

void BM_ExplorerListviewOnGuiThread(benchmark::State& state)
{
    ListBigFolder(state, false);
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

// A click on the name header of the listed folder, flipping the order each time: ours sorts the
// rows, QFileSystemModel sorts its nodes; both then paint.
void BM_ExplorerHeaderSort(benchmark::State& state)
{
    TShellExplorerListview list;
    list.SetThreadedEnum(true);
    list.resize(900, 700);
    list.show();
    list.SetActive(true);
    list.SetRootFolderCustomPath(QString::fromStdString(BigFolder));
    if (!WaitWithEvents([&] { return !list.Enumerating(); }, 120000) || list.RootNodeCount() != FileCount) {
        state.SkipWithError("the list did not show every file");
        return;
    }
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        list.SortByColumn(0);
        list.viewport()->repaint();
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
    }
}

void BM_QTreeViewHeaderSort(benchmark::State& state)
{
    QFileSystemModel model;
    QTreeView view;
    view.resize(900, 700);
    view.setModel(&model);
    view.show();
    const QModelIndex root = model.setRootPath(QString::fromStdString(BigFolder));
    view.setRootIndex(root);
    if (!WaitWithEvents([&] { return model.rowCount(root) == FileCount; }, 120000)) {
        state.SkipWithError("QFileSystemModel did not list every file");
        return;
    }
    Qt::SortOrder order = Qt::AscendingOrder;
    for (auto _ : state) {
        order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
        QElapsedTimer clock;
        clock.start();
        model.sort(0, order);
        view.viewport()->repaint();
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
    }
}

// Both sides list a small folder once first, so that neither pays the process's one-off costs
// (type tables, icon themes) inside its timings.
void WarmUp()
{
    const std::string small = MakeBigFolder(Root + "/warm", 50);
    {
        TShellExplorerListview list;
        list.SetThreadedEnum(true);
        list.show();
        list.SetActive(true);
        list.SetRootFolderCustomPath(QString::fromStdString(small));
        WaitWithEvents([&] { return !list.Enumerating(); }, 120000);
        for (PLazyNode node = list.HiddenRoot()->ChildHead; node; node = node->NextLink)
            for (int column = 0; column < 4; ++column)
                benchmark::DoNotOptimize(list.GetCellText(node, column));
        list.viewport()->repaint();
    }
    QFileSystemModel model;
    QTreeView view;
    view.setModel(&model);
    view.show();
    const QModelIndex root = model.setRootPath(QString::fromStdString(small));
    view.setRootIndex(root);
    WaitWithEvents([&] { return model.rowCount(root) == 50; }, 120000);
    for (int row = 0; row < 50; ++row)
        for (int column = 0; column < 4; ++column)
            benchmark::DoNotOptimize(model.data(model.index(row, column, root)));
    view.viewport()->repaint();
}

} // namespace

BENCHMARK(BM_ExplorerListview)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_ExplorerListviewOnGuiThread)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_QTreeViewFileSystemModel)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_ExplorerHeaderSort)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(6);
BENCHMARK(BM_QTreeViewHeaderSort)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(6);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const TBenchHome home("explorer");
    if (home.Root.empty())
        return 1;
    Root = home.Root;
    QApplication app(argc, argv);
    StartShellBrowsing();
    BigFolder = MakeBigFolder(Root, FileCount);
    WarmUp();

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
    const double oursSort = reporter.Find("BM_ExplorerHeaderSort");
    const double peerSort = reporter.Find("BM_QTreeViewHeaderSort");
    if (oursSort > 0 && peerSort > 0)
        std::printf("Sorting 100,000 files by a header click: %.2fx QFileSystemModel's sort\n", oursSort / peerSort);
    StopShellBrowsing();
    return 0;
}
