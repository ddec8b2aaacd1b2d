// Scanning every PHP file of Debian's wordpress package into code models, beside PHP's own
// token_get_all over the same files in php-cli (timed inside PHP with hrtime, so the start of
// the interpreter is not counted), in one run. As a sanity check it compares, per file, the
// classes and functions the scanner found with the class-like and function declarations PHP's
// tokenizer reports. Skipped when the corpus (ZENTU_WORDPRESS, else /usr/share/wordpress) or
// php is missing.

#include "code/zuPHPParser.h"

#include "src/code/Declarations.h"

#include "ComparingReporter.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryFile>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct TCorpus {
    std::vector<std::string> Files;
    std::vector<std::vector<std::string>> Lines;
    long long Bytes = 0;
};

TCorpus* Corpus = nullptr;
QProcess* Php = nullptr;

TCorpus LoadCorpus(const QString& root)
{
    TCorpus corpus;
    QDirIterator it(root, {"*.php"}, QDir::Files, QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
    while (it.hasNext())
        corpus.Files.push_back(it.next().toStdString());
    std::sort(corpus.Files.begin(), corpus.Files.end());
    for (const std::string& file : corpus.Files) {
        corpus.Lines.push_back(ReadSourceLines(file));
        for (const std::string& line : corpus.Lines.back())
            corpus.Bytes += static_cast<long long>(line.size()) + 1;
    }
    return corpus;
}

void ScanAllFiles(benchmark::State& state)
{
    long long items = 0;
    for (auto _ : state) {
        items = 0;
        for (const auto& lines : Corpus->Lines) {
            const TPHPPageRef page = ScanPHPPage(lines, nullptr);
            items += page->Count();
        }
    }
    state.SetBytesProcessed(state.iterations() * Corpus->Bytes);
    state.counters["files"] = static_cast<double>(Corpus->Files.size());
    state.counters["outer items"] = static_cast<double>(items);
}
BENCHMARK(ScanAllFiles)->Unit(benchmark::kMillisecond);

void TokenGetAllInPhp(benchmark::State& state)
{
    for (auto _ : state) {
        Php->write("run\n");
        while (!Php->canReadLine())
            if (!Php->waitForReadyRead(60000)) {
                state.SkipWithError("php did not answer");
                return;
            }
        state.SetIterationTime(std::stod(Php->readLine().toStdString()) / 1e9);
    }
    state.SetBytesProcessed(state.iterations() * Corpus->Bytes);
}
BENCHMARK(TokenGetAllInPhp)->UseManualTime()->Unit(benchmark::kMillisecond);

void ReportDeclarations(const std::string& script)
{
    const auto tokenized = TokenizedDeclarations(script, Corpus->Files);
    long long scanned = 0;
    long long declared = 0;
    int differing = 0;
    int shown = 0;
    for (size_t i = 0; i < Corpus->Files.size(); ++i) {
        const std::vector<std::string> ours = ScannedDeclarations(*ScanPHPPage(Corpus->Lines[i], nullptr));
        const auto it = tokenized.find(Corpus->Files[i]);
        const std::vector<std::string> theirs = it == tokenized.end() ? std::vector<std::string>() : it->second;
        scanned += static_cast<long long>(ours.size());
        declared += static_cast<long long>(theirs.size());
        if (ours == theirs)
            continue;
        ++differing;
        if (shown++ < 8) {
            std::printf("  %s: %zu found, %zu declared\n", Corpus->Files[i].c_str(), ours.size(), theirs.size());
            const size_t n = std::max(ours.size(), theirs.size());
            for (size_t k = 0, printed = 0; k < n && printed < 3; ++k) {
                const std::string a = k < ours.size() ? ours[k] : "-";
                const std::string b = k < theirs.size() ? theirs[k] : "-";
                if (a != b) {
                    std::printf("    found \"%s\", declared \"%s\"\n", a.c_str(), b.c_str());
                    ++printed;
                }
            }
        }
    }
    std::printf("classes and functions: %lld found by the scanner, %lld declared per token_get_all "
                "(%.2f and %.2f per file); %d of %zu files differ\n",
                scanned, declared, static_cast<double>(scanned) / static_cast<double>(Corpus->Files.size()),
                static_cast<double>(declared) / static_cast<double>(Corpus->Files.size()), differing,
                Corpus->Files.size());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString root = qEnvironmentVariableIsSet("ZENTU_WORDPRESS") ? qEnvironmentVariable("ZENTU_WORDPRESS")
                                                                       : QString("/usr/share/wordpress");
    TCorpus corpus = LoadCorpus(root);
    if (corpus.Files.empty()) {
        std::printf("skipped: no PHP files under %s (install the wordpress package)\n", qPrintable(root));
        return 0;
    }
    Corpus = &corpus;
    std::printf("%zu PHP files, %.1f MB under %s\n", corpus.Files.size(), static_cast<double>(corpus.Bytes) / 1e6,
                qPrintable(root));

    QTemporaryFile list;
    list.open();
    for (const std::string& file : corpus.Files)
        list.write((file + "\n").c_str());
    list.flush();
    QProcess php;
    php.start("php", {ZENTU_DECLARATIONS_SCRIPT, "time", list.fileName()});
    if (!php.waitForStarted()) {
        std::printf("skipped: php-cli is not installed\n");
        return 0;
    }
    Php = &php;

    benchmark::Initialize(&argc, argv);
    TComparingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    php.closeWriteChannel();
    php.waitForFinished();

    const double ours = reporter.Find("ScanAllFiles");
    const double theirs = reporter.Find("TokenGetAllInPhp");
    if (ours > 0 && theirs > 0)
        std::printf("scanning into code models: %.1f ms, token_get_all: %.1f ms; the scanner takes %.2fx "
                    "token_get_all's time (below 1 is faster)\n",
                    ours * 1e3, theirs * 1e3, ours / theirs);
    ReportDeclarations(ZENTU_DECLARATIONS_SCRIPT);
    return 0;
}
