// The settings files at scale: listing every project of a "projects.dat" with 10,000 projects
// (the section list, then each project's name, read through a new settings file object as the
// project manager does), beside parsing the same file once with QSettings, in turns in one
// run; the counter "ratio" is our time over QSettings'. Also a settings file with one line of
// 64 MB: the reads of a start and the writes of an exit.
//
// The files were written "earlier": the benchmark waits until their times are old, as a
// settings file's are when the program starts.

#include "projects/zuProjects.h"
#include "settings/zentuIniFiles.h"

#include <benchmark/benchmark.h>

#include <QSettings>
#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

std::string GuidText(int i)
{
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-1234-4ABC-8DEF-%012X}", 0x5EED0000 + i, i * 7919);
    return text;
}

// A projects file as the project options dialog writes it.
std::string ProjectsText(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        text += "[" + GuidText(i) + "]\r\nProjectName=Project " + n + "\r\nLocalPath=/home/user/sites/site" + n +
                "/\r\nLocalURL=http://127.0.0.1/site" + n + "/\r\nRemoteURL=http://www.example" + n +
                ".com/\r\nRemotePath=/public_html/\r\nHTTPServer=0\r\nFTPAccount={00000000-0000-0000-0000-000000000000}\r\n\r\n";
    }
    return text;
}

void WriteFile(const std::string& name, const std::string& bytes)
{
    std::ofstream(name, std::ios::binary) << bytes;
}

// why: a file whose change time is this recent is compared byte for byte on every read; the
// files of a start were written long before.
void LetSettle()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(3100));
}

struct ProjectFiles {
    QTemporaryDir Dir;
    std::string Ours, Theirs;
    explicit ProjectFiles(int count)
        : Ours(Dir.filePath("projects.dat").toStdString()), Theirs(Dir.filePath("projects.ini").toStdString())
    {
        const std::string text = ProjectsText(count);
        WriteFile(Ours, text);
        WriteFile(Theirs, text);
        LetSettle();
    }
};

size_t ListProjects(const std::string& fileName)
{
    const TIniFileEx projects(fileName);
    const std::vector<TProjectListEntry> list = ReadProjectList(projects);
    benchmark::DoNotOptimize(list.data());
    return list.size();
}

// why: QSettings keeps a parsed file while its size and modification time stay; a new time
// makes every round parse it again.
size_t ParseWithQSettings(const std::string& fileName, int round)
{
    const timespec times[2] = {{1000000000L + round, 0}, {1000000000L + round, 0}};
    ::utimensat(AT_FDCWD, fileName.c_str(), times, 0);
    QSettings settings(QString::fromStdString(fileName), QSettings::IniFormat);
    const QStringList groups = settings.childGroups();
    return static_cast<size_t>(groups.size());
}

void ProjectListing(benchmark::State& state)
{
    const ProjectFiles files(static_cast<int>(state.range(0)));
    Clock::duration ours{}, theirs{};
    int round = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const size_t listed = ListProjects(files.Ours);
        const auto t1 = Clock::now();
        const size_t parsed = ParseWithQSettings(files.Theirs, ++round);
        const auto t2 = Clock::now();
        if (listed != static_cast<size_t>(state.range(0)) || parsed != listed)
            state.SkipWithError("the lists differ");
        ours += t1 - t0;
        theirs += t2 - t1;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["ours_ms"] = std::chrono::duration<double, std::milli>(ours).count() / n;
    state.counters["qsettings_ms"] = std::chrono::duration<double, std::milli>(theirs).count() / n;
    state.counters["ratio"] = static_cast<double>(ours.count()) / static_cast<double>(theirs.count());
}
BENCHMARK(ProjectListing)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(10);

// A main settings file that also holds one line of 64 MB (garbage from a crash or an
// attacker): the reads of a start, then the writes of an exit, each key once.
void SixtyFourMegabyteLine(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string name = dir.filePath("Zentupad.dat").toStdString();
    const std::string line(64u << 20, 'x');
    const int reads = 300;
    const int writes = 40;
    Clock::duration start{}, exit{};
    for (auto _ : state) {
        state.PauseTiming();
        WriteFile(name, "[General]\r\nLineEnding=1\r\n" + line + "\r\n[Editor]\r\nTabWidth=4\r\n");
        LetSettle();
        state.ResumeTiming();
        const auto t0 = Clock::now();
        {
            const TIniFileEx ini(name);
            for (int i = 0; i < reads; ++i)
                benchmark::DoNotOptimize(ini.ReadString(i % 2 ? "General" : "Editor", "Key" + std::to_string(i), ""));
        }
        const auto t1 = Clock::now();
        {
            TIniFileEx ini(name);
            for (int i = 0; i < writes; ++i)
                ini.WriteInteger("Window", "Key" + std::to_string(i), i);
        }
        const auto t2 = Clock::now();
        start += t1 - t0;
        exit += t2 - t1;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["start_ms"] = std::chrono::duration<double, std::milli>(start).count() / n;
    state.counters["exit_ms"] = std::chrono::duration<double, std::milli>(exit).count() / n;
}
BENCHMARK(SixtyFourMegabyteLine)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

BENCHMARK_MAIN();
