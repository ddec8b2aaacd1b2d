// The file compare tool's engine (reading both files, hashing the lines, the shortest edit script)
// against GNU diff on the same files in the same run: two versions of a 20,000-line file with 1%
// of the lines changed against `diff`, two unrelated 3 MB files against `diff --minimal` (both
// find a shortest script), two reorderings of the lines of one file (100,000 and 1,000,000 lines)
// against `diff` (both settle for a near-shortest script), and how soon Cancel stops a long
// comparison, with progress reported.

#include "compare/CompareText.h"
#include "compare/DiffUnit.h"

#include "ComparingReporter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

std::string Folder;

std::string FileName(const char* name)
{
    return Folder + "/" + name;
}

void WriteFile(const std::string& name, const std::vector<std::string>& lines)
{
    std::ofstream out(name, std::ios::binary);
    for (const std::string& line : lines)
        out << line << '\n';
}

// PHP-like code: statements with their own names and numbers (mostly lines of their own) between
// the lines every program repeats (braces, blank lines, returns).
std::string CodeLine(std::mt19937& rng)
{
    static const char* const common[] = {"}", "{", "", "return $result;", "} else {", "<?php", "?>",
                                         "break;", "// TODO", "$i++;"};
    const std::string indent(rng() % 4 * 4, ' ');
    switch (rng() % 8) {
    case 0:
    case 1: return indent + common[rng() % 10];
    case 2: return indent + "if ($value" + std::to_string(rng() % 5000) + " > " + std::to_string(rng() % 100) + ") {";
    case 3: return indent + "echo \"<td class=\\\"c" + std::to_string(rng() % 90000) + "\\\">\" . $row['name'] . \"</td>\";";
    default:
        return indent + "$name" + std::to_string(rng() % 100000) + " = compute" + std::to_string(rng() % 3000) +
               "($argument" + std::to_string(rng() % 700) + ", " + std::to_string(rng() % 1000000) + ");";
    }
}

std::vector<std::string> CodeFile(unsigned seed, size_t lines, size_t bytes)
{
    std::mt19937 rng(seed);
    std::vector<std::string> file;
    size_t size = 0;
    while (bytes > 0 ? size < bytes : file.size() < lines) {
        file.push_back(CodeLine(rng));
        size += file.back().size() + 1;
    }
    return file;
}

void MakeFiles()
{
    const std::vector<std::string> base = CodeFile(1, 20000, 0);
    std::vector<std::string> changed = base;
    std::mt19937 rng(2);
    for (int edit = 0; edit < 200; ++edit) {
        const size_t at = rng() % changed.size();
        switch (edit % 3) {
        case 0: changed[at] = CodeLine(rng); break;
        case 1: changed.insert(changed.begin() + static_cast<long>(at), CodeLine(rng)); break;
        default: changed.erase(changed.begin() + static_cast<long>(at)); break;
        }
    }
    WriteFile(FileName("similar1.php"), base);
    WriteFile(FileName("similar2.php"), changed);
    WriteFile(FileName("unrelated1.php"), CodeFile(3, 0, 3u << 20));
    WriteFile(FileName("unrelated2.php"), CodeFile(4, 0, 3u << 20));
    for (const auto& [lines, first, second] : {std::tuple{size_t{100000}, "reordered100k1.php", "reordered100k2.php"},
                                               std::tuple{size_t{1000000}, "reordered1m1.php", "reordered1m2.php"}}) {
        const std::vector<std::string> file = CodeFile(5, lines, 0);
        std::vector<std::string> reordered = file;
        std::shuffle(reordered.begin(), reordered.end(), std::mt19937(6));
        WriteFile(FileName(first), file);
        WriteFile(FileName(second), reordered);
    }
}

int OurCompare(const std::string& first, const std::string& second)
{
    const TTextLines lines1 = ReadTextLines(first);
    const TTextLines lines2 = ReadTextLines(second);
    const std::vector<std::uint32_t> hashes1 = HashLines(lines1, false, false);
    const std::vector<std::uint32_t> hashes2 = HashLines(lines2, false, false);
    TDiff diff(nullptr);
    if (!diff.CompareHashes(hashes1.data(), hashes2.data(), static_cast<int>(hashes1.size()),
                            static_cast<int>(hashes2.size())))
        return -1;
    int edits = 0;
    for (const TDiffChange& c : diff.Changes())
        edits += c.Kind == dcModified ? 2 * c.Count : c.Count;
    return edits;
}

// Runs GNU diff with its output thrown away; its exit code.
int PeerDiff(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    std::vector<std::string> args = arguments;
    args.insert(args.begin(), "diff");
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, "diff", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void OursSimilar(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(OurCompare(FileName("similar1.php"), FileName("similar2.php")));
    state.counters["edits"] = OurCompare(FileName("similar1.php"), FileName("similar2.php"));
}
BENCHMARK(OursSimilar)->Unit(benchmark::kMillisecond);

void DiffSimilar(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(PeerDiff({FileName("similar1.php"), FileName("similar2.php")}));
}
BENCHMARK(DiffSimilar)->Unit(benchmark::kMillisecond);

void OursUnrelated(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(OurCompare(FileName("unrelated1.php"), FileName("unrelated2.php")));
}
BENCHMARK(OursUnrelated)->Unit(benchmark::kMillisecond)->Iterations(3);

void DiffMinimalUnrelated(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(PeerDiff({"--minimal", FileName("unrelated1.php"), FileName("unrelated2.php")}));
}
BENCHMARK(DiffMinimalUnrelated)->Unit(benchmark::kMillisecond)->Iterations(3);

void OursReordered100k(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(OurCompare(FileName("reordered100k1.php"), FileName("reordered100k2.php")));
    state.counters["edits"] = OurCompare(FileName("reordered100k1.php"), FileName("reordered100k2.php"));
}
BENCHMARK(OursReordered100k)->Unit(benchmark::kMillisecond)->Iterations(3);

void DiffReordered100k(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(PeerDiff({FileName("reordered100k1.php"), FileName("reordered100k2.php")}));
}
BENCHMARK(DiffReordered100k)->Unit(benchmark::kMillisecond)->Iterations(3);

void OursReordered1M(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(OurCompare(FileName("reordered1m1.php"), FileName("reordered1m2.php")));
}
BENCHMARK(OursReordered1M)->Unit(benchmark::kMillisecond)->Iterations(1);

void DiffReordered1M(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(PeerDiff({FileName("reordered1m1.php"), FileName("reordered1m2.php")}));
}
BENCHMARK(DiffReordered1M)->Unit(benchmark::kMillisecond)->Iterations(1);

// The time from a Cancel that falls due during the comparison to its end, measured by hand: the
// unrelated pair is compared and a timer cancels it after 1.2 s, past the first progress report.
// The timer fires only when the search lets events through, so the wait for that is included.
void CancelUnrelated(benchmark::State& state)
{
    const TTextLines lines1 = ReadTextLines(FileName("unrelated1.php"));
    const TTextLines lines2 = ReadTextLines(FileName("unrelated2.php"));
    const std::vector<std::uint32_t> hashes1 = HashLines(lines1, false, false);
    const std::vector<std::uint32_t> hashes2 = HashLines(lines2, false, false);
    constexpr qint64 CancelAfterMs = 1200;
    double worst = 0;
    int reports = 0, percent = -1;
    for (auto _ : state) {
        TDiff diff(nullptr);
        diff.OnProgress = [&](TObject*, int value) {
            ++reports;
            percent = value;
        };
        QTimer::singleShot(CancelAfterMs, Qt::PreciseTimer, [&diff] { diff.RequestCancel(); });
        QElapsedTimer clock;
        clock.start();
        const bool finished = diff.CompareHashes(hashes1.data(), hashes2.data(), static_cast<int>(hashes1.size()),
                                                 static_cast<int>(hashes2.size()));
        const double seconds = static_cast<double>(clock.nsecsElapsed() - CancelAfterMs * 1000000) / 1e9;
        if (finished || seconds < 0)
            state.SkipWithError("the comparison ended before Cancel fell due");
        worst = std::max(worst, seconds);
        state.SetIterationTime(std::max(seconds, 0.0));
        QCoreApplication::processEvents();
    }
    state.counters["worst_ms"] = worst * 1000;
    state.counters["reports"] = reports;
    state.counters["last_percent"] = percent;
}
BENCHMARK(CancelUnrelated)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    char pattern[] = "/tmp/zentu-compare-XXXXXX";
    if (!::mkdtemp(pattern))
        return 1;
    Folder = pattern;
    MakeFiles();

    benchmark::Initialize(&argc, argv);
    TComparingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double ours = reporter.Find("OursSimilar");
    const double peer = reporter.Find("DiffSimilar");
    const double oursUnrelated = reporter.Find("OursUnrelated");
    const double peerUnrelated = reporter.Find("DiffMinimalUnrelated");
    if (ours > 0 && peer > 0)
        std::printf("20,000 lines, 1%% changed, against diff: %.2fx (at most 1.5)\n", ours / peer);
    if (oursUnrelated > 0 && peerUnrelated > 0)
        std::printf("unrelated 3 MB files against diff --minimal: %.2fx (at most 1)\n", oursUnrelated / peerUnrelated);
    for (const auto& [lines, name] : {std::pair{"100,000", "Reordered100k"}, std::pair{"1,000,000", "Reordered1M"}}) {
        const double oursReordered = reporter.Find(std::string("Ours") + name);
        const double peerReordered = reporter.Find(std::string("Diff") + name);
        if (oursReordered > 0 && peerReordered > 0)
            std::printf("%s reordered lines against diff: %.2fx (at most 3)\n", lines, oursReordered / peerReordered);
    }
    if (const double cancel = reporter.Find("CancelUnrelated"); cancel > 0)
        std::printf("Cancel due to the end of the comparison: %.1f ms on average (at most 100)\n", cancel * 1000);

    for (const char* name : {"similar1.php", "similar2.php", "unrelated1.php", "unrelated2.php", "reordered100k1.php",
                             "reordered100k2.php", "reordered1m1.php", "reordered1m2.php"})
        std::remove(FileName(name).c_str());
    ::rmdir(Folder.c_str());
    return 0;
}
