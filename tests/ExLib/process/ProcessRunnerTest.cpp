// The process runner with real child processes: output lines and read events, carriage
// returns, exit codes, the running error, output that outlives its process, back-pressure,
// failed waits and reads, and what destruction leaves running.

#include "ExLib/run/common/ExExceptions.h"
#include "ExLib/run/process/ExProcessRunner.h"
#include "ExLib/run/process/ExProcessThreads.h"

#include "Platform/core/Exceptions.h"
#include "Platform/files/FileNames.h"
#include "support/TempDir.h"
#include "utility/UclStrings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using V = std::vector<std::string>;

template <class F>
bool SpinUntil(F done, int milliseconds = 10000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// A runner with a script in a temporary folder, recording what it reports.
class Runner : public ::testing::Test {
protected:
    Runner()
    {
        Process.OnTerminate = [this](TObject* sender, std::uint32_t code) {
            EXPECT_EQ(sender, &Process);
            ExitCodes.push_back(code);
        };
        Process.OnRead = [this](TObject*, const std::string& s, bool startsOnNewLine) {
            Reads.push_back((startsOnNewLine ? "+" : "=") + s);
        };
        Process.OnRawRead = [this](TObject*, const std::string& s) { Raw += s; };
    }

    // Runs `script` with /bin/sh and the given options until it has completed.
    void Run(const std::string& script, TExConsoleOptions options = {coRedirect})
    {
        Start(script, options);
        ASSERT_TRUE(SpinUntil([this] { return !ExitCodes.empty(); })) << "the run did not complete";
    }

    void Start(const std::string& script, TExConsoleOptions options = {coRedirect})
    {
        const std::string file = Dir.Write("script" + std::to_string(++Scripts) + ".sh", script);
        Process.SetConsoleOptions(options);
        Process.SetCommandLine("/bin/sh \"" + file + "\"");
        Process.Launch();
    }

    TempDir Dir;
    TExCreateProcess Process{nullptr};
    std::vector<std::uint32_t> ExitCodes;
    V Reads;
    std::string Raw;
    int Scripts = 0;
};

V Lines(TStrings& strings)
{
    V v;
    for (int i = 0; i < strings.Count(); ++i)
        v.push_back(strings[i]);
    return v;
}

} // namespace

TEST_F(Runner, AProgressCounterKeepsReplacingOneLine)
{
    Run("printf '10%%\\r20%%\\rdone\\n'; exit 3\n", {coRedirect});
    EXPECT_EQ(ExitCodes, (std::vector<std::uint32_t>{3}));
    EXPECT_EQ(Reads, (V{"+done", "+"}));
    EXPECT_EQ(Lines(Process.OutputLines()), (V{"done", ""}));
    EXPECT_EQ(Raw, "10%\r20%\rdone\n");
    EXPECT_EQ(Process.RunState(), TExProcessRunState::psReady);

    // With coOwnerData the owner keeps the lines; the events are the same.
    ExitCodes.clear();
    Reads.clear();
    Process.OutputLines().Clear();
    Run("printf '10%%\\r20%%\\rdone\\n'\n", {coRedirect, coOwnerData});
    EXPECT_EQ(Reads, (V{"+done", "+"}));
    EXPECT_EQ(Process.OutputLines().Count(), 0);
}

TEST_F(Runner, OutputLinesCollectWhatTheLinesBecome)
{
    struct Case {
        const char* Output; // printf format
        V Lines;
    };
    const std::vector<Case> cases = {
        {"100%%\\rok\\n", {"ok0%", ""}},          // overwriting keeps what lies beyond
        {"a\\tb\\n", {"a        b", ""}},          // a tab is 8 blanks
        {"\\tx\\rab\\n", {"ab      x", ""}},        // ... wherever the cursor stands
        {"abc\\bX\\n", {"abX", ""}},
        {"\\b\\bq\\n", {"q", ""}},                  // never left of the first column
        {"x\\000y\\007z\\n", {"x y z", ""}},        // NUL and BEL become blanks
        {"one\\ntwo", {"one", "two"}},             // an unfinished last line stays
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Output);
        ExitCodes.clear();
        Process.OutputLines().Clear();
        Run(std::string("printf '") + c.Output + "'\n", {coRedirect});
        EXPECT_EQ(Lines(Process.OutputLines()), c.Lines);
    }
}

TEST_F(Runner, LaterOutputReplacesTheUnfinishedLine)
{
    Run("printf 'a'; sleep 0.2; printf 'b\\nc\\n'\n", {coRedirect});
    EXPECT_EQ(Lines(Process.OutputLines()), (V{"ab", "c", ""}));
    EXPECT_EQ(Reads.front(), "+a");
    EXPECT_EQ(Reads[1], "=ab");
}

TEST_F(Runner, ExitCodesComeFromTheProcess)
{
    struct Case {
        const char* Script;
        std::uint32_t Code;
    };
    const std::vector<Case> cases = {
        {"exit 0", 0},
        {"exit 7", 7},
        {"exit 255", 255},
        {"kill -TERM $$", 128 + SIGTERM}, // death by a signal
        {"kill -KILL $$", 128 + SIGKILL},
    };
    for (const Case& c : cases) {
        for (const auto options : {TExConsoleOptions{coRedirect}, TExConsoleOptions{}}) {
            SCOPED_TRACE(std::string(c.Script) + (options.Empty() ? " (watched)" : " (redirected)"));
            ExitCodes.clear();
            Run(std::string(c.Script) + "\n", options);
            EXPECT_EQ(ExitCodes, (std::vector<std::uint32_t>{c.Code}));
            EXPECT_EQ(Process.ExitCode(), c.Code);
        }
    }
}

TEST_F(Runner, ASecondLaunchWhileRunningIsRefused)
{
    Start("sleep 0.4\n", {});
    EXPECT_EQ(Process.RunState(), TExProcessRunState::psRunning);
    EXPECT_GT(Process.ProcessHandles().ProcessId, 0);
    try {
        Process.Launch();
        FAIL() << "a second launch started";
    } catch (const EExLibException& e) {
        EXPECT_STREQ(e.what(), "Cannot perform this operation when process is running");
    }
    EXPECT_THROW(Process.SetWaitForTerminate(false), EExLibException);
    EXPECT_TRUE(ExitCodes.empty());
    ASSERT_TRUE(SpinUntil([this] { return !ExitCodes.empty(); }));
    // Once the run is over the component starts again.
    ExitCodes.clear();
    Run("exit 4\n", {});
    EXPECT_EQ(ExitCodes, (std::vector<std::uint32_t>{4}));
}

TEST_F(Runner, AProgramThatCannotStartRaisesTheSystemError)
{
    Process.SetCommandLine(Dir.File("no such program"));
    try {
        Process.Launch();
        FAIL() << "launched a missing program";
    } catch (const EOSError& e) {
        EXPECT_EQ(e.ErrorCode(), ENOENT);
        EXPECT_NE(std::string(e.what()).find("System Error.  Code: 2."), std::string::npos);
    }
    EXPECT_EQ(Process.RunState(), TExProcessRunState::psReady);
    // A file without execute permission.
    Process.SetCommandLine(Dir.Write("plain.txt", "exit 0\n"));
    EXPECT_THROW(Process.Launch(), EOSError);
    EXPECT_EQ(Process.RunState(), TExProcessRunState::psReady);
}

TEST_F(Runner, OutputWrittenJustBeforeTheEndIsKept)
{
    // The process is gone long before the GUI thread looks, and its output far exceeds what
    // the reader may buffer: nothing may be dropped.
    Start("seq 1 200000\n", {coRedirect});
    QThread::msleep(400);
    ASSERT_TRUE(SpinUntil([this] { return !ExitCodes.empty(); }, 30000));
    EXPECT_EQ(ExitCodes, (std::vector<std::uint32_t>{0}));
    TStrings& lines = Process.OutputLines();
    ASSERT_EQ(lines.Count(), 200001); // and the empty unfinished line
    for (int i = 0; i < 200000; i += 9999)
        ASSERT_EQ(lines[i], std::to_string(i + 1));
    EXPECT_EQ(lines[199999], "200000");
    std::string expected;
    for (int i = 1; i <= 200000; ++i)
        expected += std::to_string(i) + "\n";
    EXPECT_EQ(Raw.size(), expected.size());
    EXPECT_TRUE(Raw == expected);
}

TEST_F(Runner, OutputOfAProcessThatEndsAtOnceArrives)
{
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        ExitCodes.clear();
        Raw.clear();
        Run("printf 'last words\\n'\n");
        EXPECT_EQ(Raw, "last words\n");
    }
}

TEST_F(Runner, AFailedWaitIsNotReportedAsSuccess)
{
    // With SIGCHLD ignored the system collects children itself, so the wait cannot get the
    // exit status.
    struct sigaction ignore {}, saved {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ASSERT_EQ(::sigaction(SIGCHLD, &ignore, &saved), 0);
    Run("exit 0\n", {});
    ::sigaction(SIGCHLD, &saved, nullptr);
    EXPECT_EQ(ExitCodes, (std::vector<std::uint32_t>{ExitCodeWaitFailed}));
    EXPECT_NE(ExitCodes.front(), 0u);
    EXPECT_EQ(Process.WaitError(), ECHILD);
}

TEST_F(Runner, DestroyingTheRunnerLeavesTheProcessRunningAndSilent)
{
    const std::string marker = Dir.File("marker");
    bool terminated = false;
    {
        TExCreateProcess process(nullptr);
        process.OnTerminate = [&](TObject*, std::uint32_t) { terminated = true; };
        process.SetConsoleOptions({coRedirect});
        process.SetCommandLine("/bin/sh -c \"sleep 0.3; echo done > '" + marker + "'\"");
        process.Launch();
        ASSERT_EQ(process.RunState(), TExProcessRunState::psRunning);
    }
    EXPECT_TRUE(SpinUntil([&] { return !ReadWholeFile(marker).empty(); }, 5000));
    EXPECT_EQ(ReadWholeFile(marker), "done\n");
    QCoreApplication::processEvents();
    EXPECT_FALSE(terminated);
}

TEST_F(Runner, AnUnwatchedLaunchReturnsAtOnce)
{
    const std::string marker = Dir.File("unwatched");
    Process.SetWaitForTerminate(false);
    Process.SetCommandLine("/bin/sh -c \"sleep 0.2; echo x > '" + marker + "'\"");
    Process.Launch();
    EXPECT_EQ(Process.RunState(), TExProcessRunState::psLaunched);
    const std::string second = Dir.File("second");
    Process.SetCommandLine("/bin/sh -c \"echo y > '" + second + "'\"");
    Process.Launch(); // a launch from Launched is allowed
    EXPECT_TRUE(SpinUntil([&] { return !ReadWholeFile(marker).empty() && !ReadWholeFile(second).empty(); }, 5000));
    EXPECT_TRUE(ExitCodes.empty());
}

TEST_F(Runner, TheEnvironmentIsExactlyTheGivenLines)
{
    Process.Environment().Add("ALPHA=1");
    Process.Environment().Add("BETA=two words");
    Run("printf '%s|%s|%s\\n' \"$ALPHA\" \"$BETA\" \"${HOME-unset}\"\n");
    EXPECT_EQ(Lines(Process.OutputLines()), (V{"1|two words|unset", ""}));

    // Without lines the child inherits this process's environment.
    ExitCodes.clear();
    Process.OutputLines().Clear();
    Process.Environment().Clear();
    Run("printf '%s\\n' \"${ALPHA-unset}\"; test -n \"$PATH\"\n");
    EXPECT_EQ(Lines(Process.OutputLines()), (V{"unset", ""}));
    EXPECT_EQ(ExitCodes, (std::vector<std::uint32_t>{0}));
}

TEST_F(Runner, AnEmptyEnvironmentLineFailsBeforeAnythingStarts)
{
    const std::string marker = Dir.File("started");
    Process.Environment().Add("A=1");
    Process.Environment().Add("");
    Process.SetCommandLine("/bin/sh -c \"echo x > '" + marker + "'\"");
    try {
        Process.Launch();
        FAIL() << "launched with an empty environment line";
    } catch (const EUclError& e) {
        EXPECT_STREQ(e.what(), "String list passed to StringsToMultiSz cannot contain empty strings.");
    }
    EXPECT_EQ(Process.RunState(), TExProcessRunState::psReady);
    QThread::msleep(100);
    EXPECT_FALSE(FileExists(marker));
}

TEST_F(Runner, TheCommandLineBecomesArgumentsWithoutAShell)
{
    // Quoted parameters keep their blanks; characters a shell would act on stay as they are.
    const std::string script = Dir.Write("args.sh", "for a in \"$@\"; do printf '[%s]' \"$a\"; done; echo\n");
    Process.SetConsoleOptions({coRedirect});
    Process.SetCommandLine("/bin/sh \"" + script + "\" \"a b\" c;d $HOME '*'");
    Process.SetCurrentDirectory("  " + Dir.Path() + "  ");
    Process.Launch();
    ASSERT_TRUE(SpinUntil([this] { return !ExitCodes.empty(); }));
    EXPECT_EQ(Lines(Process.OutputLines()), (V{"[a b][c;d][$HOME]['*']", ""}));

    ExitCodes.clear();
    Process.OutputLines().Clear();
    Run("pwd\n");
    EXPECT_EQ(Process.OutputLines()[0], Dir.Path());
}

TEST_F(Runner, ArgumentsGivenOneByOneReachTheChildAsTheyAre)
{
    // What the command line cannot carry: double quotes, empty arguments, leading blanks.
    const std::string script = Dir.Write("args.sh", "for a in \"$@\"; do printf '[%s]' \"$a\"; done; echo\n");
    Process.SetConsoleOptions({coRedirect});
    Process.SetCommandLine("/bin/false");
    Process.SetArguments({"/bin/sh", script, "it's a \"test\".php", "", " x", "$(id)"});
    Process.Launch();
    ASSERT_TRUE(SpinUntil([this] { return !ExitCodes.empty(); }));
    EXPECT_EQ(ExitCodes.front(), 0u) << "the arguments stand in place of the command line";
    EXPECT_EQ(Lines(Process.OutputLines()), (V{"[it's a \"test\".php][][ x][$(id)]", ""}));
}

TEST(ReadThread, StopsOnAReadErrorInsteadOfRetrying)
{
    // A folder polls as readable but cannot be read.
    TFileHandle folder(::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ASSERT_TRUE(folder.Valid());
    bool done = false;
    TMessageWindow window([&](TMessage& m) {
        if (m.Msg == WM_USER + 3)
            done = true;
    });
    TExReadThread reader(std::move(folder), window, WM_USER + 1, WM_USER + 3);
    reader.Start();
    EXPECT_TRUE(SpinUntil([&] { return done; }, 5000));
    EXPECT_EQ(reader.ReadError(), EISDIR);
    EXPECT_FALSE(reader.HasData());
}

TEST(RunnerLifetime, AnOnTerminateHandlerMayFreeTheRunner)
{
    TempDir dir;
    auto* process = new TExCreateProcess(nullptr);
    bool done = false;
    process->OnTerminate = [&](TObject*, std::uint32_t code) {
        EXPECT_EQ(code, 5u);
        delete process;
        done = true;
    };
    process->SetCommandLine("/bin/sh -c \"exit 5\"");
    process->Launch();
    EXPECT_TRUE(SpinUntil([&] { return done; }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
