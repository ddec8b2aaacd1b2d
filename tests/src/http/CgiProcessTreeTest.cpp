// What a PHP script started through the server, in a session or process group of its own,
// is gone once its request has been answered, once the server has stopped, and once the
// program that ran the server has ended, also when it was killed.

#include "HttpTestSupport.h"

#include "ExLib/run/process/ExSpawn.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// PHP that starts `command` in the background and writes its pid to the file `pids`.
std::string StartingScript(const std::string& command, const std::string& pids, const std::string& afterwards = "")
{
    return "<?php\n$pid = exec('" + command + " & echo $!');\nfile_put_contents('" + pids +
           "', $pid);\necho 'started ', $pid;\n" + afterwards;
}

// The sleepers' argument, which no other program on the machine uses.
const std::string Duration = "300." + std::to_string(::getpid());

struct TEscape {
    const char* Name;
    std::string Command;
};

const std::vector<TEscape> Escapes = {
    {"new session", "setsid sleep " + Duration + " > /dev/null 2>&1"},
    // The child keeps the interpreter's error output open.
    {"new session holding the error output", "setsid sleep " + Duration + " > /dev/null"},
    {"new process group", "perl -e \"setpgrp(0, 0); exec qw(sleep " + Duration + ")\" > /dev/null 2>&1"},
    // The middle shell ends at once: the sleeper is an orphan in a session of its own.
    {"orphan in a new session", "setsid sh -c \"sleep " + Duration + " > /dev/null 2>&1 &\" > /dev/null 2>&1"},
};

// The sleepers still running.
std::vector<int> Sleepers()
{
    std::vector<int> pids;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream in(entry.path() / "cmdline");
        std::string line;
        std::getline(in, line, '\0');
        std::string argument;
        std::getline(in, argument, '\0');
        if (line == "sleep" && argument == Duration && ProcessAlive(std::stoi(name)))
            pids.push_back(std::stoi(name));
    }
    return pids;
}

} // namespace

TEST(CGIProcessTree, WhatAScriptStartedIsGoneWhenItsRequestIsAnswered)
{
    TServerTestEnvironment env;
    for (size_t i = 0; i < Escapes.size(); ++i) {
        SCOPED_TRACE(Escapes[i].Name);
        const std::string pids = env.Dir.Path() + "/pids" + std::to_string(i);
        const std::string name = "start" + std::to_string(i) + ".php";
        env.WriteDoc(name, StartingScript(Escapes[i].Command, pids));
        const auto start = std::chrono::steady_clock::now();
        const THttpReply reply = HttpGet(env.Port(), "/" + name);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        EXPECT_EQ(reply.Status, 200);
        EXPECT_EQ(reply.Body.rfind("started ", 0), 0u) << reply.Body;
        ASSERT_GT(ReadPid(pids), 0);
        EXPECT_FALSE(ProcessAlive(ReadPid(pids))) << "the answer came before the script's child was ended";
        EXPECT_EQ(Sleepers(), std::vector<int>{}) << "a process below the script was left";
    }
}

TEST(CGIProcessTree, WhatRunningScriptsStartedIsGoneWhenTheServerStops)
{
    TServerTestEnvironment env;
    const std::string pids = env.Dir.Path() + "/pids";
    env.WriteDoc("stay.php", StartingScript(Escapes[0].Command, pids, "sleep(300);\n"));
    std::thread client([&] { HttpGet(env.Port(), "/stay.php"); });
    ASSERT_TRUE(WaitFor([&] { return ReadPid(pids) > 0; }, std::chrono::seconds(20)));
    const int child = ReadPid(pids);
    EXPECT_TRUE(ProcessAlive(child));
    env.Module->RestartServer(false);
    EXPECT_FALSE(ProcessAlive(child)) << "the server stopped before the script's child was ended";
    client.join();
}

// ---- the end of the program

// Run by the test below as a program of its own (ZENTU_CGI_TREE_PROBE names the pid file):
// serves a script that leaves a child in a session of its own and runs on, then ends the way
// ZENTU_CGI_TREE_PROBE_END says, or waits to be killed.
TEST(CGIProcessTreeProbe, ServesAScriptAndEnds)
{
    const char* file = std::getenv("ZENTU_CGI_TREE_PROBE");
    if (!file)
        GTEST_SKIP() << "only run by CGIProcessTree.WhatScriptsStartedIsGoneWhenTheProgramEnds";
    const std::string how = std::getenv("ZENTU_CGI_TREE_PROBE_END");
    auto* env = new TServerTestEnvironment; // never freed: the program ends without cleaning up
    env->WriteDoc("stay.php", StartingScript(Escapes[0].Command, file, "sleep(300);\n"));
    std::thread([env] { HttpGet(env->Port(), "/stay.php"); }).detach();
    while (ReadPid(file) <= 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (how == "exit")
        std::_Exit(0);
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

TEST(CGIProcessTree, WhatScriptsStartedIsGoneWhenTheProgramEnds)
{
    for (const std::string how : {"exit", "killed"}) {
        SCOPED_TRACE(how);
        TempDir dir;
        const std::string file = dir.Path() + "/pid";
        TSpawnRequest request;
        request.Program = "/proc/self/exe";
        request.Arguments = {"probe", "--gtest_filter=CGIProcessTreeProbe.ServesAScriptAndEnds"};
        std::vector<std::string> environment;
        for (char** e = environ; *e; ++e)
            environment.emplace_back(*e);
        environment.push_back("ZENTU_CGI_TREE_PROBE=" + file);
        environment.push_back("ZENTU_CGI_TREE_PROBE_END=" + how);
        request.Environment = environment;
        const pid_t probe = SpawnProcess(request);
        ASSERT_TRUE(WaitFor([&] { return ReadPid(file) > 0; }, std::chrono::seconds(60)));
        const int child = ReadPid(file);
        if (how == "killed")
            ::kill(probe, SIGKILL);
        int status = 0;
        ::waitpid(probe, &status, 0);
        EXPECT_TRUE(WaitFor([&] { return !ProcessAlive(child); }, std::chrono::seconds(5)));
        if (ProcessAlive(child))
            ::kill(child, SIGKILL);
    }
}
