// Contained runs with real processes: whatever the program starts, also in a process group or
// session of its own or below a parent that has gone, ends with the run, when the run is ended
// from outside, and when the program that started the run ends; the run's own exit status and
// start errors come through unchanged.

#include "ExLib/run/process/ExSpawn.h"

#include "Platform/core/Exceptions.h"
#include "support/ProcessState.h"
#include "support/TempDir.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

template <class F> bool WaitFor(F condition, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return condition();
}

// The numbers in a file, once it holds `count` of them (empty before).
std::vector<pid_t> ReadPids(const std::string& file, size_t count)
{
    std::ifstream in(file);
    std::vector<pid_t> pids;
    for (pid_t pid = 0; in >> pid;)
        pids.push_back(pid);
    return pids.size() >= count ? pids : std::vector<pid_t>{};
}

int WaitStatus(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

pid_t SpawnContained(const std::string& script)
{
    TSpawnRequest request;
    request.Program = "/bin/sh";
    request.Arguments = {"sh", "-c", script};
    request.NewProcessGroup = true;
    request.ContainTree = true;
    return SpawnProcess(request);
}

// Ways a script's child leaves the script's process group, session or parent. Each writes the
// pid to watch to the file "@" stands for.
struct TEscape {
    const char* Name;
    std::string Script;
};

const std::vector<TEscape>& Escapes()
{
    static const std::vector<TEscape> escapes = {
        {"background child", "sleep 300 & echo $! > @"},
        {"new session", "setsid sleep 300 & echo $! > @"},
        {"new process group", "perl -e 'setpgrp(0, 0); exec qw(sleep 300)' & echo $! > @"},
        // The middle process ends at once: the sleeper is an orphan in a session of its own.
        {"orphan in a new session", "setsid sh -c 'sleep 300 & echo $! > @' & wait"},
        {"orphan that ignores SIGTERM", "sh -c 'trap \"\" TERM; setsid sleep 300 & echo $! > @' & wait"},
    };
    return escapes;
}

std::string WithFile(std::string script, const std::string& file)
{
    for (size_t at = script.find('@'); at != std::string::npos; at = script.find('@', at + file.size()))
        script.replace(at, 1, "'" + file + "'");
    return script;
}

} // namespace

TEST(ProcessTree, WhatTheProgramStartedEndsWithIt)
{
    for (const TEscape& escape : Escapes()) {
        SCOPED_TRACE(escape.Name);
        TempDir dir;
        const std::string file = dir.Path() + "/pids";
        const pid_t keeper = SpawnContained(WithFile(escape.Script, file));
        const int status = WaitStatus(keeper);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        const std::vector<pid_t> pids = ReadPids(file, 1);
        ASSERT_EQ(pids.size(), 1u);
        // invariant: the keeper ends only once everything below it has been collected.
        EXPECT_FALSE(ProcessAlive(pids[0]));
    }
}

TEST(ProcessTree, EndingTheRunEndsTheWholeTree)
{
    for (const TEscape& escape : Escapes()) {
        SCOPED_TRACE(escape.Name);
        TempDir dir;
        const std::string file = dir.Path() + "/pids";
        const pid_t keeper = SpawnContained(WithFile(escape.Script + "; echo $$ >> @; sleep 300", file));
        ASSERT_TRUE(WaitFor([&] { return ReadPids(file, 2).size() == 2; }, std::chrono::seconds(10)));
        const std::vector<pid_t> pids = ReadPids(file, 2);
        EXPECT_TRUE(ProcessAlive(pids[0]) && ProcessAlive(pids[1]));
        EndProcessTree(keeper);
        const int status = WaitStatus(keeper);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
        EXPECT_FALSE(ProcessAlive(pids[0]));
        EXPECT_FALSE(ProcessAlive(pids[1]));
    }
}

TEST(ProcessTree, TheRunEndsWithTheProgramsOwnStatus)
{
    struct Case {
        const char* Script;
        bool Signaled;
        int Code; // exit status or signal
    };
    const Case cases[] = {
        {"exit 0", false, 0},
        {"exit 3", false, 3},
        {"sleep 300 & exit 42", false, 42},
        {"kill -TERM $$", true, SIGTERM},
        {"kill -KILL $$", true, SIGKILL},
        {"kill -SEGV $$", true, SIGSEGV},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Script);
        const int status = WaitStatus(SpawnContained(c.Script));
        if (c.Signaled) {
            ASSERT_TRUE(WIFSIGNALED(status)) << status;
            EXPECT_EQ(WTERMSIG(status), c.Code);
            EXPECT_FALSE(WCOREDUMP(status));
        } else {
            ASSERT_TRUE(WIFEXITED(status)) << status;
            EXPECT_EQ(WEXITSTATUS(status), c.Code);
        }
    }
}

TEST(ProcessTree, OutputAndStartErrorsComeThroughAsWithoutTheKeeper)
{
    TPipe output = CreatePipe();
    TSpawnRequest request;
    request.Program = "sh";
    request.Arguments = {"sh", "-c", "printf out; printf err >&2"};
    request.StdOut = output.Write.Fd();
    request.StdErr = output.Write.Fd();
    request.ContainTree = true;
    const pid_t keeper = SpawnProcess(request);
    output.Write.Close();
    // The end of the output comes once the run is over: the keeper does not hold the pipe.
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(output.Read.Fd(), buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    EXPECT_EQ(text, "outerr");
    EXPECT_EQ(WaitStatus(keeper), 0);

    request.Program = "/nonexistent/program";
    request.StdOut = request.StdErr = -1;
    try {
        SpawnProcess(request);
        FAIL() << "a missing program started";
    } catch (const EOSError& e) {
        EXPECT_EQ(e.ErrorCode(), ENOENT);
    }
}

// ---- the end of the program that started the run

// Run as a child of the test below (ZENTU_TREE_PROBE names the pid file and how to end):
// starts a contained run whose script leaves a sleeper in a session of its own, then ends.
TEST(ProcessTreeProbe, StartsARunAndEnds)
{
    const char* file = std::getenv("ZENTU_TREE_PROBE");
    if (!file)
        GTEST_SKIP() << "only run by ProcessTree.TheProgramsEndEndsItsRuns";
    const std::string how = std::getenv("ZENTU_TREE_PROBE_END");
    // A thread of its own starts the run, as the server's connection threads do, and is gone
    // long before the program ends.
    std::thread([file] { SpawnContained(WithFile("setsid sleep 300 & echo $! > @; sleep 300", file)); }).join();
    while (ReadPids(file, 1).empty())
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (how == "exit")
        std::_Exit(0);
    for (;;) // the test kills it
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

TEST(ProcessTree, TheProgramsEndEndsItsRuns)
{
    for (const std::string how : {"exit", "killed"}) {
        SCOPED_TRACE(how);
        TempDir dir;
        const std::string file = dir.Path() + "/pids";
        TSpawnRequest request;
        request.Program = "/proc/self/exe";
        request.Arguments = {"probe", "--gtest_filter=ProcessTreeProbe.StartsARunAndEnds"};
        std::vector<std::string> environment;
        for (char** e = environ; *e; ++e)
            environment.emplace_back(*e);
        environment.push_back("ZENTU_TREE_PROBE=" + file);
        environment.push_back("ZENTU_TREE_PROBE_END=" + how);
        request.Environment = environment;
        const pid_t probe = SpawnProcess(request);
        ASSERT_TRUE(WaitFor([&] { return !ReadPids(file, 1).empty(); }, std::chrono::seconds(30)));
        const pid_t sleeper = ReadPids(file, 1)[0];
        if (how == "killed")
            ::kill(probe, SIGKILL);
        WaitStatus(probe);
        EXPECT_TRUE(WaitFor([&] { return !ProcessAlive(sleeper); }, std::chrono::seconds(5)));
        if (ProcessAlive(sleeper))
            ::kill(sleeper, SIGKILL);
    }
}
