// Find in Files over a large tree of headers (/usr/include, or the folder in ZENTU_FIND_ROOT)
// beside ripgrep and GNU grep in the same run: a literal word, then case-insensitive and
// whole-word variants. Before timing, the files and line numbers of our hits are checked against
// grep's. The peers write to a pipe that is read to its end (GNU grep stops at the first hit when
// its output is /dev/null). Last, how long an abort takes to end a running search.

#include "search/zuFindInFiles.h"
#include "search/zuSearchResults.h"

#include "ComparingReporter.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <fcntl.h>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

std::string Root = "/usr/include";
const std::string Word = "uint32_t";

struct THits {
    size_t Hits = 0;
    size_t Files = 0;
    int Skipped = 0;
};

// Our search as the results window runs it, keeping each hit as the window keeps it; with
// `lines`, the files and line numbers of the hits as well.
THits OurSearch(TSearchOptions options, std::set<std::pair<std::string, int>>* lines = nullptr)
{
    THits hits;
    std::vector<TSearchResult> kept;
    TFindInFiles run(Word, options);
    run.OnHit = [&](const std::string& fileName, TSearchResult&& hit) {
        if (lines)
            lines->emplace(fileName, hit.LineNo);
        kept.push_back(std::move(hit));
    };
    run.SearchFolder(Root, {"*.*"}, true);
    hits.Hits = kept.size();
    hits.Files = static_cast<size_t>(run.FilesSearched());
    hits.Skipped = run.FilesSkipped();
    return hits;
}

// Runs a program and returns what it wrote to its standard output.
std::string RunPeer(std::vector<std::string> args)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return {};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    std::string output;
    if (failed == 0) {
        char buffer[65536];
        for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
            output.append(buffer, static_cast<size_t>(got));
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
    ::close(pipeFds[0]);
    return output;
}

// The files and line numbers of grep's "-n -Z" output (binary files are not listed by line).
std::set<std::pair<std::string, int>> ParseGrep(const std::string& output)
{
    std::set<std::pair<std::string, int>> lines;
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find('\n', start);
        if (end == std::string::npos)
            end = output.size();
        const size_t zero = output.find('\0', start);
        if (zero != std::string::npos && zero < end)
            lines.emplace(output.substr(start, zero - start), std::atoi(output.c_str() + zero + 1));
        start = end + 1;
    }
    return lines;
}

void Ours(benchmark::State& state, TSearchOptions options)
{
    THits hits;
    for (auto _ : state)
        hits = OurSearch(options);
    state.counters["hits"] = static_cast<double>(hits.Hits);
    state.counters["files"] = static_cast<double>(hits.Files);
    state.counters["skipped"] = hits.Skipped;
}

void Peer(benchmark::State& state, const std::vector<std::string>& args)
{
    size_t bytes = 0;
    for (auto _ : state)
        bytes = RunPeer(args).size();
    if (bytes == 0)
        state.SkipWithError("the peer wrote nothing (is it installed?)");
    state.counters["output_bytes"] = static_cast<double>(bytes);
}

void OursLiteral(benchmark::State& state)
{
    Ours(state, {soCaseSensitive});
}
void RipgrepLiteral(benchmark::State& state)
{
    Peer(state, {"rg", "-F", "-n", "-L", "-uu", "--no-messages", Word, Root});
}
void GrepLiteral(benchmark::State& state)
{
    Peer(state, {"grep", "-rF", "-n", Word, Root});
}
void OursIgnoreCase(benchmark::State& state)
{
    Ours(state, {});
}
void OursIgnoreCaseWholeWord(benchmark::State& state)
{
    Ours(state, {soWholeWord});
}
void RipgrepIgnoreCaseWholeWord(benchmark::State& state)
{
    Peer(state, {"rg", "-F", "-n", "-i", "-w", "-L", "-uu", "--no-messages", Word, Root});
}
void GrepIgnoreCaseWholeWord(benchmark::State& state)
{
    Peer(state, {"grep", "-rniwF", Word, Root});
}

BENCHMARK(OursLiteral)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(RipgrepLiteral)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(GrepLiteral)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(OursIgnoreCase)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(OursIgnoreCaseWholeWord)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(RipgrepIgnoreCaseWholeWord)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(GrepIgnoreCaseWholeWord)->Unit(benchmark::kMillisecond)->MinTime(2);

// From Abort to the end of the run, when the abort falls due 20 ms into a search of the tree;
// the run yields every 20 ms as in the results window.
void AbortLatency(benchmark::State& state)
{
    double worst = 0;
    for (auto _ : state) {
        auto run = std::make_unique<TFindInFiles>("a", TSearchOptions{});
        size_t hits = 0;
        run->OnHit = [&hits](const std::string&, TSearchResult&&) { ++hits; };
        const auto start = std::chrono::steady_clock::now();
        std::chrono::steady_clock::time_point aborted{};
        run->OnYield = [&] {
            if (aborted == std::chrono::steady_clock::time_point{} &&
                std::chrono::steady_clock::now() - start > std::chrono::milliseconds(20)) {
                aborted = std::chrono::steady_clock::now();
                run->Abort();
            }
        };
        run->SearchFolder(Root, {"*.*"}, true);
        // The workers end with the run: their files being searched are given up.
        run.reset();
        const auto end = std::chrono::steady_clock::now();
        if (aborted == std::chrono::steady_clock::time_point{})
            state.SkipWithError("the search ended before the abort fell due");
        const double seconds = std::chrono::duration<double>(end - aborted).count();
        worst = std::max(worst, seconds);
        state.SetIterationTime(seconds);
    }
    state.counters["worst_ms"] = worst * 1000;
}
BENCHMARK(AbortLatency)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    if (const char* root = std::getenv("ZENTU_FIND_ROOT"))
        Root = root;

    // Correctness first: the same files and line numbers as grep (which follows links with -R,
    // as our walk does).
    std::set<std::pair<std::string, int>> ours;
    OurSearch({soCaseSensitive}, &ours);
    const std::set<std::pair<std::string, int>> grep = ParseGrep(RunPeer({"grep", "-RnFZ", Word, Root}));
    size_t onlyOurs = 0, onlyGrep = 0;
    for (const auto& line : ours)
        if (!grep.count(line) && ++onlyOurs <= 5)
            std::printf("only ours: %s:%d\n", line.first.c_str(), line.second);
    for (const auto& line : grep)
        if (!ours.count(line) && ++onlyGrep <= 5)
            std::printf("only grep: %s:%d\n", line.first.c_str(), line.second);
    std::printf("check against grep -RnF \"%s\" %s: %zu lines with hits, %zu only ours, %zu only grep: %s\n",
                Word.c_str(), Root.c_str(), ours.size(), onlyOurs, onlyGrep,
                onlyOurs == 0 && onlyGrep == 0 ? "same" : "DIFFERENT");

    benchmark::Initialize(&argc, argv);
    TComparingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto ratio = [&reporter](const char* a, const char* b, const char* what) {
        const double x = reporter.Find(a);
        const double y = reporter.Find(b);
        if (x > 0 && y > 0)
            std::printf("%s: %.2fx\n", what, x / y);
    };
    ratio("OursLiteral", "RipgrepLiteral", "literal word against rg -F (at most 2)");
    ratio("OursLiteral", "GrepLiteral", "literal word against grep -rF (below 1)");
    ratio("OursIgnoreCaseWholeWord", "GrepIgnoreCaseWholeWord", "case-insensitive whole word against grep -rniwF");
    ratio("OursIgnoreCaseWholeWord", "RipgrepIgnoreCaseWholeWord", "case-insensitive whole word against rg -iwF");
    return onlyOurs == 0 && onlyGrep == 0 ? 0 : 1;
}
