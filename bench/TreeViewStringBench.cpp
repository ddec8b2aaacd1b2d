// The string tree against its peers, each pair timed in the same run on the same rows and texts:
//   - scrolling by a page and painting it: a 1,000,000-node tree against a 1,000-node tree, and
//     against QTreeView over a QStandardItemModel with the same 1,000,000 rows and texts;
//   - type-ahead search from the first to the last of 100,000 nodes, beside a plain loop that
//     compares the same texts;
//   - exporting 100,000 rows of two columns as CSV and as HTML, beside a plain loop that joins
//     (and, for HTML, escapes) the same texts.
// Each benchmark reports the peer's time and the ratio as counters.

#include "TreeView/Source/header/LTHeader.h"
#include "TreeView/Source/strings/LazyStringTree.h"

#include "OffscreenBenchMain.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTreeView>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr std::uint32_t Million = 1000000;
constexpr std::uint32_t HundredThousand = 100000;
constexpr int ViewWidth = 600;
constexpr int ViewHeight = 400;
constexpr int Pages = 200;

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The texts every tree and peer here shows: row i of column 0 and 1; the last row's name differs.
QString NameOf(std::uint32_t row, std::uint32_t rows)
{
    return row + 1 == rows ? QStringLiteral("zebra, the last node") : QStringLiteral("Node %1").arg(row);
}

QString SizeOf(std::uint32_t row)
{
    return QStringLiteral("%1 KB").arg(row % 977);
}

class TBenchTree : public TCustomLazyStringTree {
public:
    TBenchTree(std::uint32_t rows, bool twoColumns)
    {
        resize(ViewWidth, ViewHeight);
        if (twoColumns) {
            const char* captions[] = {"Name", "Size"};
            for (const char* caption : captions) {
                TLazyTreeColumn* column = Header().Columns().AddColumn();
                column->SetText(caption);
                column->SetWidth(200);
            }
            Header().SetMainColumn(0);
            Header().SetOptions(Header().Options() + hoVisible);
        }
        OnGetText = [rows](TCustomLazyStringTree*, PLazyNode node, TColumnIndex column, TVSTTextType type,
                           QString& text) {
            if (type == TVSTTextType::ttStatic)
                return;
            text = column == 1 ? SizeOf(node->SiblingIndex) : NameOf(node->SiblingIndex, rows);
        };
        SetRootNodeCount(rows);
    }

    void WaitForCache()
    {
        if (HiddenRoot()->SubtreeCount <= CacheThreshold)
            return;
        QElapsedTimer timer;
        timer.start();
        while (!TreeStates().Contains(tsUseCache) && timer.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }

    using TBaseLazyTree::EndIncrementalSearch;
};

// Seconds per page of `pages` page-down scrolls, each followed by a paint of the client area.
// The small tree wraps to its top when it runs out of pages; the large one never does, so every
// page it paints is one it has not seen.
double ScrollPagesOfOurs(std::uint32_t rows, int pages)
{
    TBenchTree tree(rows, false);
    tree.show();
    tree.WaitForCache();
    QImage image(tree.viewport()->size(), QImage::Format_RGB32);
    tree.viewport()->render(&image);
    const int page = tree.ClientHeight();
    const int last = tree.RangeY() - page;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < pages; ++i) {
        const int next = -tree.OffsetY() + page;
        tree.SetOffsetY(-(next > last ? 0 : next));
        tree.viewport()->render(&image);
    }
    benchmark::DoNotOptimize(image.constBits());
    return Seconds(start) / pages;
}

double ScrollPagesOfQTreeView(std::uint32_t rows, int pages)
{
    QStandardItemModel model;
    QList<QStandardItem*> items;
    items.reserve(rows);
    for (std::uint32_t i = 0; i < rows; ++i)
        items.append(new QStandardItem(NameOf(i, rows)));
    model.invisibleRootItem()->appendRows(items);
    QTreeView view;
    view.setUniformRowHeights(true); // what a careful user of QTreeView sets for a long flat list
    view.setHeaderHidden(true);
    view.resize(ViewWidth, ViewHeight);
    view.setModel(&model);
    view.show();
    QImage image(view.viewport()->size(), QImage::Format_RGB32);
    view.viewport()->render(&image);
    QScrollBar* bar = view.verticalScrollBar();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < pages; ++i) {
        bar->setValue(bar->value() + bar->pageStep() > bar->maximum() ? 0 : bar->value() + bar->pageStep());
        view.viewport()->render(&image);
    }
    benchmark::DoNotOptimize(image.constBits());
    return Seconds(start) / pages;
}

void PageScrollAndPaint(benchmark::State& state)
{
    // The best of the rounds for each, so that a busy machine weighs on none of them alone.
    double small = 1e9;
    double large = 1e9;
    double peer = 1e9;
    for (auto _ : state) {
        small = std::min(small, ScrollPagesOfOurs(1000, Pages));
        large = std::min(large, ScrollPagesOfOurs(Million, Pages));
        state.PauseTiming();
        peer = std::min(peer, ScrollPagesOfQTreeView(Million, Pages));
        state.ResumeTiming();
    }
    state.counters["1k_us"] = small * 1e6;
    state.counters["1M_us"] = large * 1e6;
    state.counters["qtreeview_1M_us"] = peer * 1e6;
    state.counters["ratio_1M_1k"] = large / small;
    state.counters["ratio_qtreeview"] = large / peer;
}
BENCHMARK(PageScrollAndPaint)->Unit(benchmark::kMillisecond)->Iterations(3);

void TypeKey(QWidget& widget, Qt::Key key, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&widget, &release);
}

// Typing "z" with the focus on the first node finds the last one, comparing every node's text on
// the way; the plain loop compares the same texts.
void TypeAheadToTheLastNode(benchmark::State& state)
{
    TBenchTree tree(HundredThousand, false);
    tree.SetIncrementalSearch(TLTIncrementalSearch::isAll);
    tree.SetIncrementalSearchTimeout(1000000);
    tree.show();
    QApplication::setActiveWindow(&tree);
    tree.activateWindow();
    tree.setFocus();
    QCoreApplication::processEvents();
    PLazyNode last = tree.HiddenRoot()->ChildTail;
    double ours = 0;
    double peer = 0;
    int rounds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        tree.EndIncrementalSearch();
        tree.DeselectAll();
        tree.AssignFocusedNode(tree.FirstNode());
        state.ResumeTiming();
        auto start = std::chrono::steady_clock::now();
        TypeKey(tree, Qt::Key_Z, QStringLiteral("z"));
        ours += Seconds(start);
        if (tree.FocusNode() != last) {
            state.SkipWithError("the search did not reach the last node");
            break;
        }
        state.PauseTiming();
        start = std::chrono::steady_clock::now();
        std::uint32_t found = 0;
        for (std::uint32_t i = 1; i < HundredThousand; ++i)
            if (NameOf(i, HundredThousand).startsWith(QLatin1String("z"))) {
                found = i;
                break;
            }
        peer += Seconds(start);
        benchmark::DoNotOptimize(found);
        ++rounds;
        state.ResumeTiming();
    }
    if (rounds == 0)
        return;
    state.counters["ours_ms"] = ours / rounds * 1000;
    state.counters["loop_ms"] = peer / rounds * 1000;
    state.counters["ratio"] = ours / peer;
}
BENCHMARK(TypeAheadToTheLastNode)->Unit(benchmark::kMillisecond)->Iterations(5);

// A CSV field as the export writes it: quoted when it holds the separator, a quote or a line break.
void AppendCsvField(std::string& out, const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\n') || bytes.contains('\r')) {
        out += '"';
        for (char c : bytes) {
            if (c == '"')
                out += '"';
            out += c;
        }
        out += '"';
    } else {
        out.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
}

std::string CsvLoop(std::uint32_t rows)
{
    std::string out;
    for (std::uint32_t i = 0; i < rows; ++i) {
        AppendCsvField(out, NameOf(i, rows));
        out += ',';
        AppendCsvField(out, SizeOf(i));
        out += "\r\n";
    }
    return out;
}

std::string HtmlLoop(std::uint32_t rows)
{
    std::string out = "<table>\r\n";
    for (std::uint32_t i = 0; i < rows; ++i) {
        out += " <tr>\r\n  <td>";
        out += NameOf(i, rows).toHtmlEscaped().toStdString();
        out += "</td><td>";
        out += SizeOf(i).toHtmlEscaped().toStdString();
        out += "</td>\r\n </tr>\r\n";
    }
    return out + "</table>";
}

template <typename Ours, typename Loop>
void ExportBeside(benchmark::State& state, Ours ours, Loop loop)
{
    double oursSeconds = 0;
    double loopSeconds = 0;
    int rounds = 0;
    std::size_t oursBytes = 0;
    std::size_t loopBytes = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        const std::string text = ours();
        oursSeconds += Seconds(start);
        oursBytes = text.size();
        state.PauseTiming();
        start = std::chrono::steady_clock::now();
        const std::string plain = loop();
        loopSeconds += Seconds(start);
        loopBytes = plain.size();
        ++rounds;
        state.ResumeTiming();
    }
    state.counters["ours_ms"] = oursSeconds / rounds * 1000;
    state.counters["loop_ms"] = loopSeconds / rounds * 1000;
    state.counters["ratio"] = oursSeconds / loopSeconds;
    state.counters["ours_MB"] = static_cast<double>(oursBytes) / 1e6;
    state.counters["loop_MB"] = static_cast<double>(loopBytes) / 1e6;
}

void ExportCsv(benchmark::State& state)
{
    TBenchTree tree(HundredThousand, true);
    ExportBeside(
        state, [&] { return tree.ExportAsText(TLTTextSource::txsAll, ','); },
        [] { return CsvLoop(HundredThousand); });
}
BENCHMARK(ExportCsv)->Unit(benchmark::kMillisecond)->Iterations(5);

void ExportHtml(benchmark::State& state)
{
    TBenchTree tree(HundredThousand, true);
    ExportBeside(
        state, [&] { return tree.ExportAsHTML(TLTTextSource::txsAll, QStringLiteral("Rows")); },
        [] { return HtmlLoop(HundredThousand); });
}
BENCHMARK(ExportHtml)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    return RunOffscreenBenchmarks(argc, argv,
                                  "PageScrollAndPaint ratio_1M_1k <= 1.5 and ratio_qtreeview <= 2; "
                                  "TypeAheadToTheLastNode, ExportCsv and ExportHtml are reported beside a plain loop");
}
