// Export and printing beside their peers in one run: a 10 MB PHP page exported to HTML by our
// exporter and by Debian's `highlight --out-format=html`, and a 10,000-line PHP file paginated
// and printed to PDF by our print engine and, as plain text, by QTextDocument::print on the same
// PDF printer. The pages are built from the highlighter tests' sample pages.

#include "SrcEdit/highlighters/IdePageHighlighter.h"

#include "SrcEdit/Source/export/SrcEditExportHTML.h"
#include "SrcEdit/Source/print/SrcEditPrint.h"

#include "ComparingReporter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

QString Folder;

std::string Sample(const char* name)
{
    QFile file(QStringLiteral(ZENTU_GOLDEN_DIR "/") + QString::fromLatin1(name));
    file.open(QIODevice::ReadOnly);
    return file.readAll().toStdString();
}

// The samples repeated until the text reaches `bytes` or `lines`.
std::string Page(size_t bytes, int lines)
{
    const std::string samples[] = {Sample("multi/page.php"), Sample("multi/php-html.php"), Sample("php/sample.php")};
    std::string text;
    int lineCount = 0;
    for (size_t i = 0; text.size() < bytes && lineCount < lines; ++i) {
        const std::string& s = samples[i % 3];
        for (const char c : s) {
            text += c;
            if (c == '\n' && ++lineCount == lines)
                break;
        }
    }
    return text;
}

void Fill(TStringList& list, const std::string& text)
{
    list.SetText(text);
}

const std::string& ExportPage()
{
    static const std::string page = Page(10u << 20, 1 << 30);
    return page;
}

const std::string& PrintPage()
{
    static const std::string page = Page(1u << 30, 10000);
    return page;
}

void ExportHtml(benchmark::State& state)
{
    IdePage page;
    TStringList lines;
    Fill(lines, ExportPage());
    TSrcExporterHTML exporter;
    exporter.SetHighlighter(&page.Multi);
    exporter.SetDocumentMode(true);
    size_t bytes = 0;
    for (auto _ : state) {
        exporter.ExportLines(lines);
        bytes = exporter.Output().size();
    }
    state.counters["html_bytes"] = static_cast<double>(bytes);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * ExportPage().size()));
}
BENCHMARK(ExportHtml)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void HighlightProgramToHtml(benchmark::State& state)
{
    const QString input = Folder + QStringLiteral("/page.php");
    QFile file(input);
    file.open(QIODevice::WriteOnly);
    file.write(ExportPage().data(), static_cast<qint64>(ExportPage().size()));
    file.close();
    for (auto _ : state) {
        QProcess process;
        process.start(QStringLiteral("highlight"), {QStringLiteral("--syntax=php"), QStringLiteral("--out-format=html"),
                                                    QStringLiteral("--input=") + input,
                                                    QStringLiteral("--output=") + Folder + QStringLiteral("/out.html")});
        if (!process.waitForFinished(600000) || process.exitCode() != 0) {
            state.SkipWithError("highlight is missing or failed (apt-get install highlight)");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * ExportPage().size()));
}
BENCHMARK(HighlightProgramToHtml)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void SetUpPrinter(QPrinter& printer, const char* name)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(Folder + QLatin1Char('/') + QLatin1String(name));
    printer.setResolution(300);
    printer.setPageSize(QPageSize(QPageSize::A4));
}

void PrintEngineToPdf(benchmark::State& state)
{
    IdePage page;
    TStringList lines;
    Fill(lines, PrintPage());
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer, "engine.pdf");
    TSrcEditPrint print;
    print.SetPrinter(&printer);
    TFont font;
    font.SetName("Courier New");
    font.SetSize(10);
    print.SetFont(font);
    print.SetHighlighter(state.range(0) ? &page.Multi : nullptr);
    print.SetLines(lines);
    print.LineNumbers = true;
    print.Footer().AddTextItem("$PAGENUM$ / $PAGECOUNT$", nullptr, 1, taRightJustify);
    for (auto _ : state)
        print.PrintAllPages();
    state.counters["pages"] = print.TotalPages();
}
BENCHMARK(PrintEngineToPdf)->Arg(0)->Arg(1)->ArgName("highlighted")->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void TextDocumentToPdf(benchmark::State& state)
{
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer, "document.pdf");
    QTextDocument document;
    QFont font(QStringLiteral("Courier New"));
    font.setPointSize(10);
    document.setDefaultFont(font);
    for (auto _ : state) {
        document.setPlainText(QString::fromStdString(PrintPage()));
        document.print(&printer);
    }
}
BENCHMARK(TextDocumentToPdf)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();


} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    Folder = folder.path();
    std::printf("export page: %zu bytes; print file: %zu bytes, 10000 lines\n", ExportPage().size(), PrintPage().size());
    benchmark::Initialize(&argc, argv);
    TComparingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double ours = reporter.Find("ExportHtml");
    const double peer = reporter.Find("HighlightProgramToHtml");
    if (ours > 0 && peer > 0)
        std::printf("HTML export: highlight takes %.1fx our exporter's time (goal: at least 10x)\n", peer / ours);
    const double document = reporter.Find("TextDocumentToPdf");
    for (const char* name : {"PrintEngineToPdf/highlighted:0", "PrintEngineToPdf/highlighted:1"})
        if (const double engine = reporter.Find(name); engine > 0 && document > 0)
            std::printf("%s: %.2fx the time of QTextDocument::print (goal: at most 1x)\n", name, engine / document);
    return 0;
}
