// The writes of an exit into a settings file that holds one line of 64 MB (garbage from a crash
// or an attacker): 40 keys written one by one through one settings file object, which then
// goes, beside one plain write of the same bytes in the same run, in turns: the plain write as
// a program writes a file (write and close), and a durable one (write, fsync, close). The
// counters "ratio_plain" and "ratio_durable" are the exit's time over each. Every write of the
// exit replaces the file whole; the flush to the disk is done once, when the object goes.
//
// The file was written "earlier": each turn waits until its times are old, as a settings
// file's are when the program ends.

#include "settings/zentuIniFiles.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int ExitWrites = 40;

std::string Content(const std::string& line)
{
    return "[General]\r\nLineEnding=1\r\n" + line + "\r\n[Editor]\r\nTabWidth=4\r\n";
}

void PlainWrite(const std::string& name, const std::string& bytes, bool durable)
{
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    if (durable)
        ::fsync(fd);
    ::close(fd);
}

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

void ExitWritesBesidePlainWrites(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string ours = dir.filePath("Zentupad.dat").toStdString();
    const std::string plain = dir.filePath("plain.dat").toStdString();
    const std::string before = Content(std::string(64u << 20, 'x'));
    std::string after;
    Clock::duration exit{}, plainTime{}, durableTime{};
    for (auto _ : state) {
        state.PauseTiming();
        std::ofstream(ours, std::ios::binary | std::ios::trunc) << before;
        PlainWrite(plain, before, true);
        std::this_thread::sleep_for(std::chrono::milliseconds(3100));
        state.ResumeTiming();
        const auto t0 = Clock::now();
        {
            TIniFileEx ini(ours);
            for (int i = 0; i < ExitWrites; ++i)
                ini.WriteInteger("Window", "Key" + std::to_string(i), i);
        }
        const auto t1 = Clock::now();
        if (after.empty()) {
            std::ifstream in(ours, std::ios::binary);
            after.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        const auto t2 = Clock::now();
        PlainWrite(plain, after, false);
        const auto t3 = Clock::now();
        PlainWrite(plain, after, true);
        const auto t4 = Clock::now();
        exit += t1 - t0;
        plainTime += t3 - t2;
        durableTime += t4 - t3;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["exit_ms"] = Ms(exit) / n;
    state.counters["plain_ms"] = Ms(plainTime) / n;
    state.counters["durable_ms"] = Ms(durableTime) / n;
    state.counters["ratio_plain"] = Ms(exit) / Ms(plainTime);
    state.counters["ratio_durable"] = Ms(exit) / Ms(durableTime);
}
BENCHMARK(ExitWritesBesidePlainWrites)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
