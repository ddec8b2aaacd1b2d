// The editor control: one typed character and the repaint it causes, in a 1,000-line and in a
// 1,000,000-line document with a highlighter attached (the cost must not grow with the
// document), and opening a 100 MB file in the control (load and first paint) against the line
// store's own load of the same file.

#include "SrcEdit/Source/view/SrcEdit.h"
#include "SrcEdit/highlighters/TestHighlighter.h"

#include "ComparingReporter.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>

namespace {

constexpr size_t OpenBytes = 100u << 20;

std::string Folder;
std::string BigFile;

// PHP-like lines with blanks, tabs, strings, numbers and comments, some of them running over
// several lines.
std::string Document(size_t lines, size_t bytes)
{
    static const char* const statements[] = {
        "$value = $this->repository->find($id);",
        "if ($value == 0) { return \"none\"; }",
        "while ($i < 100) { $i = $i + 1; }",
        "/* a comment that opens",
        "   and closes */ $x = 42;",
        "echo \"<td class=name>\" . $row . \"</td>\";",
        "\t$total = $total + $price * $quantity;",
        "// Gr\xC3\xBC\xC3\x9F" "e, \xE6\x97\xA5\xE6\x9C\xAC",
        "",
        "foreach ($rows as $row) { else_branch($row); }",
    };
    std::mt19937 rng(20240611);
    std::string text;
    text.reserve(bytes > 0 ? bytes + 128 : lines * 40);
    for (size_t n = 0; bytes > 0 ? text.size() < bytes : n < lines; ++n) {
        text.append(rng() % 4 * 4, ' ');
        text += statements[rng() % (sizeof statements / sizeof *statements)];
        text += '\n';
    }
    return text;
}

// An editor that remembers what it asked to repaint, so that the repaint can be run at once.
class TRepaintingEdit : public TSrcEdit {
public:
    using TSrcEdit::TSrcEdit;
    void InvalidateArea(const TRect& rect, bool erase) override
    {
        Dirty += rect.ToQt();
        TSrcEdit::InvalidateArea(rect, erase);
    }
    // Paints what is invalid now into an image, as the next paint event would on the screen.
    void RepaintDirty()
    {
        if (Picture.size() != viewport()->size())
            Picture = QImage(viewport()->size(), QImage::Format_RGB32);
        if (!Dirty.isEmpty())
            viewport()->render(&Picture, Dirty.boundingRect().topLeft(), Dirty);

        Dirty = QRegion();
    }
    QRegion Dirty;
    QImage Picture;
};

// The 100 MB file, written on first use.
const std::string& TheBigFile()
{
    if (BigFile.empty()) {
        BigFile = Folder + "/big.php";
        std::ofstream(BigFile, std::ios::binary) << Document(0, OpenBytes);
    }
    return BigFile;
}

std::unique_ptr<TRepaintingEdit> ShownEditor()
{
    auto edit = std::make_unique<TRepaintingEdit>();
    edit->resize(900, 700);
    edit->Gutter().SetShowLineNumbers(true);
    edit->Gutter().SetAutoSize(true);
    edit->show();
    QApplication::processEvents();
    return edit;
}

void TypeCharacter(benchmark::State& state)
{
    const auto lines = static_cast<size_t>(state.range(0));
    TTestSyn highlighter;
    const std::unique_ptr<TRepaintingEdit> edit = ShownEditor();
    edit->SetHighlighter(&highlighter);
    edit->SetAllText(Document(lines, 0));
    edit->SetCaretCoord(MakeBufferCoord(5, static_cast<int>(lines / 2)));
    int paints = 0;
    edit->OnPaint = [&](TObject*, TCanvas&) { ++paints; };
    QApplication::processEvents();
    edit->RepaintDirty();
    paints = 0;
    for (auto _ : state) {
        edit->DispatchCommand(ecChar, U'x', nullptr);
        edit->RepaintDirty();
    }
    state.counters["lines"] = static_cast<double>(edit->Lines().Count());
    state.counters["paints/char"] = static_cast<double>(paints) / static_cast<double>(state.iterations());
    edit->SetHighlighter(nullptr);
}
// why: 1000 characters keep the typed line within the default MaxScrollWidth (1024), beyond
// which typing is refused.
BENCHMARK(TypeCharacter)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond)->Iterations(1000);

void LineStoreLoad(benchmark::State& state)
{
    TheBigFile();
    for (auto _ : state) {
        auto list = std::make_unique<TSrcEditStringList>();
        list->LoadFromFile(TheBigFile());
        benchmark::DoNotOptimize(list->Count());
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * OpenBytes));
}
BENCHMARK(LineStoreLoad)->Unit(benchmark::kMillisecond)->Iterations(5);

// Loading the file into a shown editor and painting its first screen into an image.
void EditorOpen(benchmark::State& state)
{
    const bool highlighted = state.range(0) != 0;
    TheBigFile();
    for (auto _ : state) {
        state.PauseTiming();
        TTestSyn highlighter;
        std::unique_ptr<TRepaintingEdit> edit = ShownEditor();
        if (highlighted)
            edit->SetHighlighter(&highlighter);
        QImage image(edit->viewport()->size(), QImage::Format_RGB32);
        state.ResumeTiming();
        edit->Lines().LoadFromFile(TheBigFile());
        edit->viewport()->render(&image);
        benchmark::DoNotOptimize(image.constBits());
        state.PauseTiming();
        edit.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * OpenBytes));
}
BENCHMARK(EditorOpen)->Arg(0)->Arg(1)->ArgName("highlighter")->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    char pattern[] = "/tmp/zentu-editor-XXXXXX";
    if (!::mkdtemp(pattern))
        return 1;
    Folder = pattern;

    benchmark::Initialize(&argc, argv);
    TComparingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double small = reporter.Find("TypeCharacter/1000/");
    const double large = reporter.Find("TypeCharacter/1000000/");
    const double store = reporter.Find("LineStoreLoad");
    const double open = reporter.Find("EditorOpen/highlighter:0");
    const double openHighlighted = reporter.Find("EditorOpen/highlighter:1");
    if (small > 0 && large > 0)
        std::printf("typing, 1,000,000 lines against 1,000 lines: %.2fx (must stay below 1.5)\n", large / small);
    if (store > 0 && open > 0)
        std::printf("opening 100 MB in the editor against the line store's load: %.2fx (at most 3)\n", open / store);
    if (store > 0 && openHighlighted > 0)
        std::printf("the same with the test highlighter attached: %.2fx\n", openHighlighted / store);

    if (!BigFile.empty())
        std::remove(BigFile.c_str());
    ::rmdir(Folder.c_str());
    return 0;
}
