#include "support/MutationFuzzer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <malloc.h>
#include <mutex>
#include <new>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
// why: g++ ships no header for the allocator's statistics, but its runtime exports them.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#define ZENTU_FUZZ_ASAN 1
#endif

namespace fuzz {
namespace {

// The case in progress, read by the watchdog and by the last words of a dying process.
// why: a crash gives no chance to return a value, so what reproduces it must be at hand.
struct TCurrentCase {
    std::atomic<bool> Running{false};
    std::atomic<long long> StartedMs{0};
    std::atomic<std::size_t> MemoryAtStart{0};
    char Description[256] = {};
    const std::string* Input = nullptr;
};
TCurrentCase Current;

long long NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::size_t HeldBytes()
{
#ifdef ZENTU_FUZZ_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

// Async-signal-safe: only write(2) and open(2).
void WriteCaseReport(const char* why)
{
    if (!Current.Running.load())
        return;
    auto put = [](const char* text) { [[maybe_unused]] auto n = ::write(2, text, std::strlen(text)); };
    put("\n*** fuzz case failed (");
    put(why);
    put("): ");
    put(Current.Description);
    put("\n");
    if (const std::string* input = Current.Input) {
        char path[] = "/tmp/zentu-fuzz-case-XXXXXX";
        const int fd = ::mkstemp(path);
        if (fd >= 0) {
            [[maybe_unused]] auto n = ::write(fd, input->data(), input->size());
            ::close(fd);
            put("*** its input: ");
            put(path);
            put("\n");
        }
    }
}

#ifdef ZENTU_FUZZ_ASAN
void OnSanitizerDeath() { WriteCaseReport("sanitizer report or crash"); }
#else
void OnFatalSignal(int signal)
{
    WriteCaseReport(signal == SIGFPE ? "SIGFPE" : signal == SIGSEGV ? "SIGSEGV" : "fatal signal");
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
#endif

void InstallLastWords()
{
    static std::once_flag once;
    std::call_once(once, [] {
#ifdef ZENTU_FUZZ_ASAN
        __sanitizer_set_death_callback(&OnSanitizerDeath);
#else
        for (int signal : {SIGSEGV, SIGFPE, SIGBUS, SIGILL, SIGABRT})
            std::signal(signal, &OnFatalSignal);
#endif
    });
}

// Watches the running case for its time and memory bounds while FuzzReader runs.
class TWatchdog {
public:
    TWatchdog(int timeoutMs, std::size_t memoryBound)
        : FTimeoutMs(timeoutMs), FMemoryBound(memoryBound), FThread([this] { Run(); })
    {
    }
    ~TWatchdog()
    {
        {
            std::lock_guard lock(FMutex);
            FStop = true;
        }
        FWake.notify_all();
        FThread.join();
    }

private:
    void Run()
    {
        std::unique_lock lock(FMutex);
        while (!FWake.wait_for(lock, std::chrono::milliseconds(5), [this] { return FStop; })) {
            if (!Current.Running.load())
                continue;
            if (NowMs() - Current.StartedMs.load() > FTimeoutMs) {
                WriteCaseReport("time bound exceeded: a hang");
                std::_Exit(3);
            }
            const std::size_t held = HeldBytes();
            const std::size_t base = Current.MemoryAtStart.load();
            if (held > base && held - base > FMemoryBound) {
                WriteCaseReport("memory bound exceeded");
                std::_Exit(4);
            }
        }
    }

    const int FTimeoutMs;
    const std::size_t FMemoryBound;
    std::mutex FMutex;
    std::condition_variable FWake;
    bool FStop = false;
    std::thread FThread;
};

std::uint64_t Hash(std::string_view text)
{
    std::uint64_t h = 1469598103934665603ULL;
    for (unsigned char c : text)
        h = (h ^ c) * 1099511628211ULL;
    return h;
}

int EnvInt(const char* name, int fallback)
{
    const char* value = std::getenv(name);
    if (!value || !*value)
        return fallback;
    char* end = nullptr;
    const long long parsed = std::strtoll(value, &end, 10);
    return (end && *end == 0 && parsed > 0) ? int(std::min<long long>(parsed, 1LL << 30)) : fallback;
}

using TRandom = std::mt19937_64;

std::size_t Below(TRandom& random, std::size_t bound)
{
    return bound == 0 ? 0 : std::size_t(random() % bound);
}

void PutInteger(std::string& data, std::size_t at, std::uint64_t value, int width, bool bigEndian)
{
    for (int i = 0; i < width && at + i < data.size(); ++i) {
        const int shift = bigEndian ? (width - 1 - i) * 8 : i * 8;
        data[at + i] = char((value >> shift) & 0xFF);
    }
}

void MutateOnce(std::string& data, const std::vector<std::string>& seeds, TRandom& random,
                const TFuzzOptions& options)
{
    static constexpr std::array<std::uint64_t, 12> Interesting = {
        0, 1, 2, 0x7F, 0x80, 0xFF, 0x100, 0x7FFF, 0xFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
    const int kind = int(Below(random, 11));
    if (data.empty() && kind != 5 && kind != 9) {
        data.push_back(char(random()));
        return;
    }
    switch (kind) {
    case 0: // flip one bit
        data[Below(random, data.size())] ^= char(1u << Below(random, 8));
        break;
    case 1: // one byte to a random value
        data[Below(random, data.size())] = char(random());
        break;
    case 2: // one byte to an edge value
        data[Below(random, data.size())] = char(Interesting[Below(random, 6)]);
        break;
    case 3: { // a 2- or 4-byte integer to an edge value, either byte order
        const int width = Below(random, 2) ? 4 : 2;
        PutInteger(data, Below(random, data.size()), Interesting[Below(random, Interesting.size())],
                   width, Below(random, 2));
        break;
    }
    case 4: { // delete a range
        const std::size_t at = Below(random, data.size());
        data.erase(at, 1 + Below(random, std::min<std::size_t>(64, data.size() - at)));
        break;
    }
    case 5: { // insert random bytes
        const std::size_t at = Below(random, data.size() + 1);
        std::string bytes(1 + Below(random, 16), '\0');
        for (char& c : bytes)
            c = char(random());
        data.insert(at, bytes);
        break;
    }
    case 6: { // duplicate a range (repeated structures, longer runs)
        const std::size_t at = Below(random, data.size());
        const std::string piece = data.substr(at, 1 + Below(random, 256));
        data.insert(Below(random, data.size() + 1), piece);
        break;
    }
    case 7: // cut the tail
        data.resize(Below(random, data.size()));
        break;
    case 8: { // splice in a piece of another seed
        const std::string& other = seeds[Below(random, seeds.size())];
        if (other.empty())
            break;
        const std::size_t from = Below(random, other.size());
        const std::string piece = other.substr(from, 1 + Below(random, 512));
        const std::size_t at = Below(random, data.size() + 1);
        data.replace(at, std::min(piece.size(), data.size() - at), piece);
        break;
    }
    case 9: { // a token of the format
        if (options.Dictionary.empty()) {
            data.insert(Below(random, data.size() + 1), 1, char(random()));
            break;
        }
        const std::string& token = options.Dictionary[Below(random, options.Dictionary.size())];
        data.insert(Below(random, data.size() + 1), token);
        break;
    }
    default: { // swap two ranges' bytes
        const std::size_t a = Below(random, data.size());
        const std::size_t b = Below(random, data.size());
        const std::size_t n = 1 + Below(random, std::min<std::size_t>(32, data.size() - std::max(a, b)));
        for (std::size_t i = 0; i < n; ++i)
            std::swap(data[a + i], data[b + i]);
        break;
    }
    }
}

std::string Describe(std::string_view reader, std::uint64_t runSeed, int index)
{
    std::ostringstream text;
    text << "reader " << reader << ", ZENTU_FUZZ_SEED=" << runSeed << ", case " << index;
    return text.str();
}

} // namespace

std::string MutatedInput(const std::vector<std::string>& seeds, std::string_view reader,
                         std::uint64_t runSeed, int index, const TFuzzOptions& options)
{
    if (seeds.empty())
        return {};
    TRandom random(Hash(reader) ^ (runSeed * 0x9E3779B97F4A7C15ULL) ^ (std::uint64_t(index) << 20));
    std::string data = seeds[Below(random, seeds.size())];
    const int mutations = 1 + int(Below(random, std::max(1, options.MaxMutations)));
    for (int i = 0; i < mutations; ++i)
        MutateOnce(data, seeds, random, options);
    if (data.size() > options.MaxInputSize)
        data.resize(options.MaxInputSize);
    if (options.Repair && Below(random, 4) != 0)
        options.Repair(data);
    return data;
}

int FuzzReader(std::string_view reader, const std::vector<std::string>& seeds,
               const std::function<void(const std::string&)>& read, const TFuzzOptions& options)
{
    InstallLastWords();
    const std::uint64_t runSeed = std::uint64_t(EnvInt("ZENTU_FUZZ_SEED", 1));
    const int cases = EnvInt("ZENTU_FUZZ_CASES", options.Cases);
    const TWatchdog watchdog(options.CaseTimeoutMs, options.CaseMemoryBound);
    int failures = 0;
    int run = 0;

    auto runCase = [&](const std::string& input, const std::string& description) {
        std::snprintf(Current.Description, sizeof Current.Description, "%s", description.c_str());
        Current.Input = &input;
        Current.MemoryAtStart = HeldBytes();
        Current.StartedMs = NowMs();
        Current.Running = true;
        std::string libraryError;
        try {
            read(input);
        } catch (const std::bad_alloc&) {
            libraryError = "std::bad_alloc";
        } catch (const std::logic_error& error) {
            libraryError = std::string("C++ library error: ") + error.what();
        } catch (...) {
            // the program's own errors are the clean end of a bad input
        }
        Current.Running = false;
        Current.Input = nullptr;
        ++run;
        if (!libraryError.empty() && ++failures <= 5)
            ADD_FAILURE() << description << ": " << libraryError;
    };

    for (std::size_t i = 0; i < seeds.size(); ++i)
        runCase(seeds[i], std::string(reader) + ", seed input " + std::to_string(i));
    for (int index = 0; index < cases && failures < 5; ++index)
        runCase(MutatedInput(seeds, reader, runSeed, index, options), Describe(reader, runSeed, index));
    return run;
}

std::vector<std::string> ReadCorpus(const std::string& folder, const std::vector<std::string>& extensions)
{
    std::vector<std::string> corpus;
    const QDir dir(QString::fromStdString(folder));
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files, QDir::Name)) {
        const std::string suffix = info.suffix().toLower().toStdString();
        if (!extensions.empty() && std::find(extensions.begin(), extensions.end(), suffix) == extensions.end())
            continue;
        std::ifstream in(info.filePath().toStdString(), std::ios::binary);
        corpus.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return corpus;
}

} // namespace fuzz
