// Start-up time of the IDE to its first painted main window, with the tool windows docked against
// the same start with docking off. Each start is a new process on a fresh profile
// (zentu_startup_probe); the two kinds alternate so that drift of the machine hits both alike.
// The figure that counts is the ratio of the medians: the docking adds at most 30%.
// Usage: bench_startup [--benchmark_... options]; the probe runs on QT_QPA_PLATFORM (offscreen
// when unset).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr double AllowedRatio = 1.30;

// Starts the probe and returns the seconds until it reports its first paint; negative when it
// did not get there.
double TimeToFirstPaint(bool docked)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return -1;
    std::string probe = ZENTU_STARTUP_PROBE;
    std::string folder = ZENTU_PROGRAM_FOLDER;
    std::string mode = docked ? "docked" : "plain";
    char* argv[] = {probe.data(), folder.data(), mode.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, probe.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    double seconds = -1;
    if (failed == 0) {
        std::string output;
        char buffer[256];
        ssize_t count = 0;
        while (output.find("painted\n") == std::string::npos &&
               (count = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0)
            output.append(buffer, static_cast<size_t>(count));
        if (output.find("painted\n") != std::string::npos)
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
    ::close(pipeEnds[0]);
    return seconds;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double PlainMedian = 0;
double DockedMedian = 0;

// One iteration starts both kinds, in turns first; the iteration's time is the docked start.
void StartupDockedAgainstPlain(benchmark::State& state)
{
    // why: the first start of a program reads its files from disk, later ones from the cache.
    TimeToFirstPaint(false);
    TimeToFirstPaint(true);
    std::vector<double> plain, docked;
    bool dockedFirst = false;
    for (auto _ : state) {
        double times[2];
        for (const bool kind : {dockedFirst, !dockedFirst})
            times[kind ? 1 : 0] = TimeToFirstPaint(kind);
        dockedFirst = !dockedFirst;
        if (times[0] < 0 || times[1] < 0) {
            state.SkipWithError("the probe ended before its first paint");
            break;
        }
        plain.push_back(times[0]);
        docked.push_back(times[1]);
        state.SetIterationTime(times[1]);
    }
    PlainMedian = Median(plain);
    DockedMedian = Median(docked);
    state.counters["plain_ms"] = PlainMedian * 1000;
    state.counters["docked_ms"] = DockedMedian * 1000;
    state.counters["ratio"] = PlainMedian > 0 ? DockedMedian / PlainMedian : 0;
}
BENCHMARK(StartupDockedAgainstPlain)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (PlainMedian <= 0 || DockedMedian <= 0)
        return 1;
    const double ratio = DockedMedian / PlainMedian;
    std::printf("start-up to the first paint, medians: plain %.0f ms, docked %.0f ms: %.2fx (at most %.2f)\n",
                PlainMedian * 1000, DockedMedian * 1000, ratio, AllowedRatio);
    return ratio <= AllowedRatio ? 0 : 1;
}
