// Loading and saving a 100 MB PHP file through the line store beside a plain read and a plain
// write of the same file, the peak memory of a load and save, and the longest line after a
// tab-width change.

#include "SrcEdit/Source/text/SrcEditStringList.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr size_t TargetBytes = 100u << 20;

std::string Folder;
std::string SourceFile;

std::string GeneratePhp(size_t bytes)
{
    static const char* const statements[] = {
        "$value = $this->repository->find($id);",
        "if ($value === null) {",
        "return array_map(fn($x) => $x * 2, $items);",
        "echo \"<td class=\\\"name\\\">\" . htmlspecialchars($row['name']) . \"</td>\";",
        "// Grüße an alle, 日本語のコメント",
        "}",
        "$total += $line->price * $line->quantity;",
        "public function __construct(private Connection $db) {}",
        "",
        "foreach ($rows as $i => $row) {",
        "throw new InvalidArgumentException('bad id: ' . $id);",
        "/** @var int $count */",
    };
    std::mt19937 rng(20240601);
    std::string text = "<?php\n";
    text.reserve(bytes + 256);
    while (text.size() < bytes) {
        const int depth = static_cast<int>(rng() % 4);
        text.append(static_cast<size_t>(depth), rng() % 3 == 0 ? '\t' : ' ');
        text.append(depth > 0 && rng() % 2 ? "    " : "");
        text += statements[rng() % (sizeof statements / sizeof *statements)];
        if (rng() % 2)
            text += "  // checked by the caller above";
        text += '\n';
    }
    return text;
}

struct TPlainBytes {
    std::unique_ptr<char[]> Data;
    size_t Size = 0;
    std::string_view View() const { return {Data.get(), Size}; }
};

// The whole file in one buffer, with one read.
TPlainBytes ReadPlain(const std::string& name)
{
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    ::fstat(fd, &st);
    TPlainBytes bytes{std::make_unique_for_overwrite<char[]>(static_cast<size_t>(st.st_size)), 0};
    const size_t size = static_cast<size_t>(st.st_size);
    while (bytes.Size < size) {
        const ssize_t r = ::read(fd, bytes.Data.get() + bytes.Size, size - bytes.Size);
        if (r <= 0)
            break;
        bytes.Size += static_cast<size_t>(r);
    }
    ::close(fd);
    return bytes;
}

void WritePlain(const std::string& name, std::string_view bytes, bool durable)
{
    const std::string target = durable ? name + ".tmp" : name;
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (w <= 0)
            break;
        done += static_cast<size_t>(w);
    }
    if (durable)
        ::fsync(fd);
    ::close(fd);
    if (durable)
        std::rename(target.c_str(), name.c_str());
}

long StatusKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::strtol(line.c_str() + std::strlen(field), nullptr, 10);
    return -1;
}

// Runs `work` in a child process and returns the rise of its peak resident size in kB.
template <typename Work>
long PeakRiseKb(Work&& work)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        {
            std::ofstream clear("/proc/self/clear_refs");
            clear << "5"; // resets VmHWM to the current size
        }
        const long before = StatusKb("VmRSS:");
        work();
        const long rise = StatusKb("VmHWM:") - before;
        if (::write(pipeFds[1], &rise, sizeof rise) != sizeof rise)
            std::_Exit(1);
        std::_Exit(0);
    }
    ::close(pipeFds[1]);
    long rise = -1;
    if (::read(pipeFds[0], &rise, sizeof rise) != sizeof rise)
        rise = -1;
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return rise;
}

void PlainRead(benchmark::State& state)
{
    for (auto _ : state) {
        TPlainBytes bytes = ReadPlain(SourceFile);
        benchmark::DoNotOptimize(bytes.Data.get());
        // why: only reading counts; freeing the result is timed for neither side.
        state.PauseTiming();
        bytes.Data.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TargetBytes));
}
BENCHMARK(PlainRead)->Unit(benchmark::kMillisecond)->Iterations(10);

void LineStoreLoad(benchmark::State& state)
{
    for (auto _ : state) {
        auto list = std::make_unique<TSrcEditStringList>();
        list->LoadFromFile(SourceFile);
        benchmark::DoNotOptimize(list->Count());
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TargetBytes));
}
BENCHMARK(LineStoreLoad)->Unit(benchmark::kMillisecond)->Iterations(10);

void PlainWrite(benchmark::State& state)
{
    const TPlainBytes bytes = ReadPlain(SourceFile);
    const std::string target = Folder + "/plain.php";
    for (auto _ : state)
        WritePlain(target, bytes.View(), false);
    std::remove(target.c_str());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.Size));
}
BENCHMARK(PlainWrite)->Unit(benchmark::kMillisecond)->Iterations(10);

// The same bytes saved the way the line store saves: a temporary file, flushed to disk and
// renamed over the target.
void PlainDurableWrite(benchmark::State& state)
{
    const TPlainBytes bytes = ReadPlain(SourceFile);
    const std::string target = Folder + "/durable.php";
    for (auto _ : state)
        WritePlain(target, bytes.View(), true);
    std::remove(target.c_str());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.Size));
}
BENCHMARK(PlainDurableWrite)->Unit(benchmark::kMillisecond)->Iterations(10);

void LineStoreSave(benchmark::State& state)
{
    TSrcEditStringList list;
    list.LoadFromFile(SourceFile);
    const std::string target = Folder + "/saved.php";
    for (auto _ : state)
        list.SaveToFile(target);
    std::remove(target.c_str());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TargetBytes));
}
BENCHMARK(LineStoreSave)->Unit(benchmark::kMillisecond)->Iterations(10);

void LongestLineAfterTabWidthChange(benchmark::State& state)
{
    TSrcEditStringList list;
    list.LoadFromFile(SourceFile);
    int width = 8;
    for (auto _ : state) {
        width = width == 8 ? 4 : 8;
        list.SetTabWidth(width);
        benchmark::DoNotOptimize(list.LongestLineLength());
    }
    state.counters["lines"] = list.Count();
}
BENCHMARK(LongestLineAfterTabWidthChange)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    char pattern[] = "/tmp/zentu-linestore-XXXXXX";
    if (!::mkdtemp(pattern))
        return 1;
    Folder = pattern;
    SourceFile = Folder + "/big.php";
    size_t lines = 0;
    {
        const std::string text = GeneratePhp(TargetBytes);
        for (const char c : text)
            lines += c == '\n';
        WritePlain(SourceFile, text, false);
    }
    ::malloc_trim(0);

    const long fileKb = static_cast<long>(TargetBytes / 1024);
    const long plainKb = PeakRiseKb([] { benchmark::DoNotOptimize(ReadPlain(SourceFile).Size); });
    const long storeKb = PeakRiseKb([] {
        TSrcEditStringList list;
        list.LoadFromFile(SourceFile);
        list.SaveToFile(Folder + "/peak.php");
        list.SetTabWidth(4);
        benchmark::DoNotOptimize(list.LongestLineLength());
    });
    std::remove((Folder + "/peak.php").c_str());
    std::printf("file: %zu bytes, %zu lines\n", TargetBytes, lines);
    std::printf("peak memory rise: plain read %ld kB (%.2fx file), line store load+save+rescan %ld kB (%.2fx file)\n",
                plainKb, static_cast<double>(plainKb) / fileKb, storeKb, static_cast<double>(storeKb) / fileKb);
    std::fflush(stdout);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::remove(SourceFile.c_str());
    ::rmdir(Folder.c_str());
    return 0;
}
