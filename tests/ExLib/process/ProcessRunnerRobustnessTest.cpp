// The process runner under stress with real child processes: arguments that survive the
// command line exactly, large and oddly ended output, children that close or read their
// standard streams, children that die or cannot start, and runners that go while a child runs.

#include "ExLib/run/process/ExCommandLine.h"
#include "ExLib/run/process/ExProcessRunner.h"
#include "ExLib/run/process/ExProcessThreads.h"

#include "Platform/core/Exceptions.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

template <class F>
bool SpinUntil(F done, int milliseconds = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// Children of this process that have ended but were never collected.
int ZombieChildren()
{
    int count = 0;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return 0;
    const std::string self = std::to_string(::getpid());
    while (const dirent* e = ::readdir(proc)) {
        std::ifstream stat(std::string("/proc/") + e->d_name + "/stat");
        std::string line;
        if (!std::getline(stat, line))
            continue;
        // pid (comm) state ppid ...
        const size_t close = line.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream rest(line.substr(close + 1));
        std::string state, ppid;
        rest >> state >> ppid;
        if (state == "Z" && ppid == self)
            ++count;
    }
    ::closedir(proc);
    return count;
}

bool ProcessExists(pid_t pid)
{
    return ::kill(pid, 0) == 0;
}

struct TRun {
    std::vector<std::uint32_t> ExitCodes;
    std::vector<std::string> Reads;
    std::string Raw;
    bool KeepReads = true;

    void Attach(TExCreateProcess& p)
    {
        p.OnTerminate = [this](TObject*, std::uint32_t code) { ExitCodes.push_back(code); };
        p.OnRead = [this](TObject*, const std::string& s, bool startsOnNewLine) {
            if (KeepReads)
                Reads.push_back((startsOnNewLine ? "+" : "=") + s);
        };
        p.OnRawRead = [this](TObject*, const std::string& s) { Raw += s; };
    }
};

class Robust : public ::testing::Test {
protected:
    Robust() { Result.Attach(Process); }

    std::string Script(const std::string& text)
    {
        return Dir.Write("s" + std::to_string(++Scripts) + ".sh", text);
    }

    void Start(const std::string& script, const std::string& args = {})
    {
        Process.SetConsoleOptions({coRedirect});
        Process.SetCommandLine("/bin/sh \"" + Script(script) + "\"" + (args.empty() ? "" : " " + args));
        Process.Launch();
    }

    bool Completes(int milliseconds = 5000)
    {
        return SpinUntil([this] { return !Result.ExitCodes.empty(); }, milliseconds);
    }

    TempDir Dir;
    TExCreateProcess Process{nullptr};
    TRun Result;
    int Scripts = 0;
};

// ---- arguments

// Quotes an argument the documented way: one that holds a separator is wrapped in double quotes.
std::string Quoted(const std::string& arg)
{
    for (const unsigned char c : arg)
        if (c >= 1 && c <= 32)
            return '"' + arg + '"';
    return arg;
}

TEST_F(Robust, RandomArgumentsReachTheChildUnchanged)
{
    // Double quotes and empty arguments cannot be expressed by the splitting rules (a quote
    // always opens or closes a quoted run, an empty parameter ends the command line), and NUL
    // ends it; every other byte can.
    const std::vector<std::string> pieces = {" ", "\t", "'", "\\", "\\\\", "$", "`", ";", "|", "&", "*", "?",
                                             "a", "Z", "0", "-", "=", "ä", "€", "日本", "😀", "$(id)", "~",
                                             "#", "(", ")", "<", ">", "\n", "\r", "%s", "\x01", "\x7f"};
    std::mt19937 random(20261210);
    const std::string echo = Script("printf '%s\\0' \"$@\"\n");
    for (int round = 0; round < 12; ++round) {
        std::vector<std::string> args;
        const int count = 1 + static_cast<int>(random() % 6);
        for (int i = 0; i < count; ++i) {
            std::string arg;
            const int length = 1 + static_cast<int>(random() % 6);
            for (int j = 0; j < length; ++j)
                arg += pieces[random() % pieces.size()];
            args.push_back(arg);
        }
        if (round == 0)
            args.push_back(std::string(300, 'L') + " " + std::string(300, 'M')); // beyond 256 bytes
        std::string commandLine = "/bin/sh \"" + echo + "\"";
        std::string expected;
        for (const std::string& a : args) {
            commandLine += ' ' + Quoted(a);
            expected += a + '\0';
        }
        SCOPED_TRACE(commandLine);
        TExCreateProcess p{nullptr};
        TRun run;
        run.Attach(p);
        p.SetConsoleOptions({coRedirect});
        p.SetCommandLine(commandLine);
        p.Launch();
        ASSERT_TRUE(SpinUntil([&] { return !run.ExitCodes.empty(); }));
        EXPECT_EQ(run.ExitCodes.front(), 0u);
        EXPECT_EQ(run.Raw, expected);
        // The parser alone agrees with what the child got.
        std::vector<std::string> parsed = CommandLineParams(commandLine);
        ASSERT_FALSE(parsed.empty());
        parsed.erase(parsed.begin(), parsed.begin() + 2);
        EXPECT_EQ(parsed, args);
    }
}

// ---- output

TEST_F(Robust, LargeInterleavedOutputArrivesWhole)
{
    struct Case {
        size_t each;
        const char* out;
        const char* err;
        TExConsoleOptions options;
    };
    const std::vector<Case> cases = {
        {2 * 1024 * 1024, "oooooooooooooooooooooooooooooooooooooooooooooooooooooooooooooo", "e", {coRedirect, coOwnerData}},
        {256 * 1024, "o", "e", {coRedirect}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.each);
        TExCreateProcess p{nullptr};
        TRun run;
        run.KeepReads = false;
        run.Attach(p);
        p.SetConsoleOptions(c.options);
        const std::string n = std::to_string(c.each);
        p.SetCommandLine("/bin/sh \"" + Script(std::string("(yes ") + c.out + " | head -c " + n + ") & (yes " + c.err +
                                                 " | head -c " + n + " >&2); wait\n") + "\"");
        p.Launch();
        ASSERT_TRUE(SpinUntil([&] { return !run.ExitCodes.empty(); }, 60000));
        EXPECT_EQ(run.ExitCodes.front(), 0u);
        ASSERT_EQ(run.Raw.size(), 2 * c.each);
        EXPECT_EQ(std::count(run.Raw.begin(), run.Raw.end(), 'e'), static_cast<long>(c.each / 2));
    }
}

TEST_F(Robust, LineEndingsSplitAsDocumented)
{
    struct Case {
        const char* printf;
        std::vector<std::string> reads;
    };
    const std::vector<Case> cases = {
        {"a\\r\\nb\\n", {"+a", "+b", "+"}},
        {"abc", {"+abc"}},
        {"abc\\rx", {"+xbc"}},
        {"a\\nb", {"+a", "+b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.printf);
        TRun run;
        TExCreateProcess p{nullptr};
        run.Attach(p);
        p.SetConsoleOptions({coRedirect});
        p.SetCommandLine(std::string("/bin/sh \"") + Script(std::string("printf '") + c.printf + "'\n") + "\"");
        p.Launch();
        ASSERT_TRUE(SpinUntil([&] { return !run.ExitCodes.empty(); }));
        // Only the last state of each line matters here.
        std::vector<std::string> finals;
        for (const std::string& r : run.Reads)
            if (r[0] == '+' || finals.empty())
                finals.push_back(r);
            else
                finals.back() = "+" + r.substr(1);
        EXPECT_EQ(finals, c.reads);
    }
}

TEST_F(Robust, AChildThatClosesItsOutputStillReportsItsEnd)
{
    Start("printf 'before\\n'; exec >&- 2>&-; sleep 0.3; exit 3\n");
    ASSERT_TRUE(Completes());
    EXPECT_EQ(Result.ExitCodes, std::vector<std::uint32_t>{3});
    EXPECT_EQ(Result.Raw, "before\n");
}

TEST_F(Robust, AChildThatReadsItsInputToTheEndDoesNotHang)
{
    Start("cat; echo done\n");
    ASSERT_TRUE(Completes(1500)) << "the child waits for input that never comes";
    EXPECT_EQ(Result.Raw, "done\n");
}

TEST_F(Robust, ChildrenKilledBySignalsDoNotReportSuccess)
{
    const std::vector<std::pair<const char*, std::uint32_t>> cases = {
        {"kill -INT $$", 128 + SIGINT}, {"kill -SEGV $$", 128 + SIGSEGV}, {"kill -PIPE $$", 128 + SIGPIPE},
        {"exec sleep 5 & kill -KILL $$", 128 + SIGKILL}};
    for (const auto& [script, code] : cases) {
        SCOPED_TRACE(script);
        Result.ExitCodes.clear();
        Start(std::string(script) + "\n");
        ASSERT_TRUE(Completes(3000));
        EXPECT_EQ(Result.ExitCodes.front(), code);
    }
}

TEST_F(Robust, ProgramsThatCannotStartFailWithoutLeavingAnything)
{
    const std::string plain = Dir.Write("plain.txt", "not a program\n");
    const std::string noExec = Dir.Write("noexec.sh", "#!/bin/sh\necho hi\n");
    const std::string badInterp = Dir.Write("badinterp.sh", "#!/no/such/interpreter\n");
    ::chmod(badInterp.c_str(), 0755);
    const std::vector<std::string> lines = {"/no/such/program", "no-such-program-anywhere", "\"" + plain + "\"",
                                            "\"" + noExec + "\"", "\"" + badInterp + "\"", "\"" + Dir.Path() + "\""};
    for (const std::string& line : lines) {
        SCOPED_TRACE(line);
        for (const TExConsoleOptions options : {TExConsoleOptions{coRedirect}, TExConsoleOptions{}}) {
            TExCreateProcess p{nullptr};
            p.SetConsoleOptions(options);
            p.SetCommandLine(line);
            EXPECT_THROW(p.Launch(), EOSError);
            EXPECT_EQ(p.RunState(), TExProcessRunState::psReady);
            p.SetCommandLine("/bin/true");
            EXPECT_NO_THROW(p.Launch());
        }
    }
    EXPECT_TRUE(SpinUntil([] { return ZombieChildren() == 0; }, 2000));
}

TEST_F(Robust, ManyChildrenStartedQuicklyAllReport)
{
    std::vector<std::unique_ptr<TExCreateProcess>> runners;
    std::vector<TRun> runs(40);
    for (int i = 0; i < 40; ++i) {
        runners.push_back(std::make_unique<TExCreateProcess>(nullptr));
        runs[i].Attach(*runners.back());
        runners.back()->SetConsoleOptions({coRedirect});
        runners.back()->SetCommandLine("/bin/sh -c \"echo " + std::to_string(i) + "; exit " + std::to_string(i) + "\"");
        runners.back()->Launch();
    }
    ASSERT_TRUE(SpinUntil([&] {
        for (const TRun& r : runs)
            if (r.ExitCodes.empty())
                return false;
        return true;
    }));
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(runs[i].ExitCodes.front(), static_cast<std::uint32_t>(i));
        EXPECT_EQ(runs[i].Raw, std::to_string(i) + "\n");
    }
    EXPECT_TRUE(SpinUntil([] { return ZombieChildren() == 0; }, 2000));
}

TEST_F(Robust, AChildThatNeverStopsWritingLeavesTheEventLoopFree)
{
    for (const TExConsoleOptions options : {TExConsoleOptions{coRedirect, coOwnerData}, TExConsoleOptions{coRedirect}}) {
        TExCreateProcess p{nullptr};
        TRun run;
        run.KeepReads = false;
        run.Attach(p);
        p.SetConsoleOptions(options);
        p.SetCommandLine("/bin/sh -c \"exec yes\"");
        p.Launch();
        const pid_t pid = p.ProcessHandles().ProcessId;
        // why: should draining never return, the child's end is what frees the test.
        std::atomic<bool> done{false};
        std::thread watchdog([&] {
            for (int i = 0; i < 150 && !done; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (!done)
                ::kill(pid, SIGKILL);
        });
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 200)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        const qint64 elapsed = t.elapsed();
        done = true;
        watchdog.join();
        EXPECT_LT(elapsed, 1000) << "the GUI thread stayed in the output handler";
        EXPECT_FALSE(run.Raw.empty());
    }
}

TEST(ReadThreadNotices, OneNoticeStandsForAllDataNotYetTaken)
{
    struct Case {
        size_t bytes;
        int notices;
    };
    // Nothing is taken in between, so every append after the first finds a notice on its way.
    const std::vector<Case> cases = {{1, 1}, {1024, 1}, {64 * 1024, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        TPipe pipe = CreatePipe();
        int notices = 0;
        bool ended = false;
        TMessageWindow window([&](TMessage& m) {
            if (m.Msg == WM_USER + 1)
                ++notices;
            if (m.Msg == WM_USER + 3)
                ended = true;
        });
        TExReadThread reader(std::move(pipe.Read), window, WM_USER + 1, WM_USER + 3);
        const std::string data(c.bytes, 'x');
        std::thread writer([&] {
            for (size_t at = 0; at < data.size();) {
                const ssize_t n = ::write(pipe.Write.Fd(), data.data() + at, std::min<size_t>(512, data.size() - at));
                if (n <= 0)
                    break;
                at += static_cast<size_t>(n);
            }
            pipe.Write.Close();
        });
        reader.Start();
        writer.join();
        ASSERT_TRUE(SpinUntil([&] { return ended; }));
        EXPECT_EQ(notices, c.notices);
        EXPECT_EQ(reader.Pending(), c.bytes);
    }
}

TEST(ReadThreadNotices, DataAfterAnAnsweredNoticeIsAnnouncedAgain)
{
    TPipe pipe = CreatePipe();
    int notices = 0;
    bool ended = false;
    TMessageWindow window([&](TMessage& m) {
        if (m.Msg == WM_USER + 1)
            ++notices;
        if (m.Msg == WM_USER + 3)
            ended = true;
    });
    TExReadThread reader(std::move(pipe.Read), window, WM_USER + 1, WM_USER + 3);
    reader.Start();
    std::string taken;
    for (const std::string part : {"first", "second", "third"}) {
        SCOPED_TRACE(part);
        const int before = notices;
        ASSERT_EQ(::write(pipe.Write.Fd(), part.data(), part.size()), static_cast<ssize_t>(part.size()));
        ASSERT_TRUE(SpinUntil([&] { return notices > before; }, 2000)) << "output without a notice";
        const size_t pending = reader.Pending();
        taken += reader.Take(pending);
    }
    pipe.Write.Close();
    ASSERT_TRUE(SpinUntil([&] { return ended; }));
    EXPECT_EQ(taken, "firstsecondthird");
    EXPECT_EQ(notices, 3);
}

// ---- ending

TEST_F(Robust, DestroyingTheRunnerWhileAChildRunsReturnsPromptly)
{
    const std::vector<std::string> scripts = {"exec yes", "exec sleep 5", "cat", "trap '' TERM; yes",
                                              "sleep 5 & wait"};
    for (const std::string& s : scripts) {
        SCOPED_TRACE(s);
        QElapsedTimer t;
        pid_t pid = 0;
        {
            TExCreateProcess p{nullptr};
            TRun run;
            run.KeepReads = false;
            run.Attach(p);
            p.SetConsoleOptions({coRedirect, coOwnerData});
            p.SetCommandLine("/bin/sh \"" + Script(s + "\n") + "\"");
            p.Launch();
            pid = p.ProcessHandles().ProcessId;
            // why: the reader fills its buffer and waits for room while nobody takes from it.
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            t.start();
        }
        EXPECT_LT(t.elapsed(), 1000);
        QCoreApplication::processEvents();
        ::kill(pid, SIGKILL);
        EXPECT_TRUE(SpinUntil([pid] { return !ProcessExists(pid); }, 2000)) << "left a zombie";
    }
}

TEST_F(Robust, AnOutputHandlerMayFreeTheRunner)
{
    // Several lines arrive in one chunk; the handler frees the runner on the first of them.
    enum class TFreeIn { Read, RawRead };
    for (const TFreeIn where : {TFreeIn::Read, TFreeIn::RawRead}) {
        SCOPED_TRACE(where == TFreeIn::Read ? "OnRead" : "OnRawRead");
        auto p = std::make_unique<TExCreateProcess>(nullptr);
        std::vector<std::string> seen;
        p->OnRead = [&](TObject*, const std::string& line, bool) {
            seen.push_back(line);
            if (where == TFreeIn::Read && line == "one")
                p.reset();
        };
        p->OnRawRead = [&](TObject*, const std::string&) {
            if (where == TFreeIn::RawRead)
                p.reset();
        };
        p->SetConsoleOptions({coRedirect});
        p->SetCommandLine("/bin/sh \"" + Script("printf 'one\\ntwo\\nthree\\n'\n") + "\"");
        p->Launch();
        const pid_t pid = p->ProcessHandles().ProcessId;
        ASSERT_TRUE(SpinUntil([&] { return p == nullptr; }, 3000));
        QCoreApplication::processEvents();
        EXPECT_TRUE(where == TFreeIn::RawRead ? seen.empty() : seen == std::vector<std::string>{"one"});
        EXPECT_TRUE(SpinUntil([pid] { return !ProcessExists(pid); }, 2000)) << "left a zombie";
    }
}

} // namespace
