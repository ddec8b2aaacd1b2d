// What the internal HTTP server holds at most, with the real php-cgi: connections (under a
// small open-file limit, idle connections make way and a normal request is still served),
// interpreters (a cap, a queue, 503 beyond it), the memory a flood of large request bodies
// takes, and the processes a script starts (gone when its run ends, its client leaves or the
// server stops).

#include "src/http/HttpTestSupport.h"

#include "Platform/files/FileNames.h"
#include "Platform/text/TextUtils.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <future>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Lowers the soft open-file limit for as long as it lives.
class TSoftFileLimit {
public:
    explicit TSoftFileLimit(rlim_t soft)
    {
        ::getrlimit(RLIMIT_NOFILE, &FOriginal);
        rlimit lowered = FOriginal;
        lowered.rlim_cur = soft;
        FSet = ::setrlimit(RLIMIT_NOFILE, &lowered) == 0;
    }
    ~TSoftFileLimit() { ::setrlimit(RLIMIT_NOFILE, &FOriginal); }
    TSoftFileLimit(const TSoftFileLimit&) = delete;
    TSoftFileLimit& operator=(const TSoftFileLimit&) = delete;
    bool Set() const { return FSet; }

private:
    rlimit FOriginal{};
    bool FSet = false;
};

int OpenDescriptors()
{
    int count = 0;
    if (DIR* dir = ::opendir("/proc/self/fd")) {
        while (const dirent* entry = ::readdir(dir))
            count += entry->d_name[0] != '.' ? 1 : 0;
        ::closedir(dir);
    }
    return count;
}

// A value in kB from /proc/self/status ("VmRSS", "VmHWM").
long StatusKB(const std::string& key)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.compare(0, key.size() + 1, key + ":") == 0)
            return std::stol(line.substr(key.size() + 1));
    return -1;
}

// A POST whose body is sent from the caller's buffer (no copy of it is made).
THttpReply PostFrom(int port, const std::string& target, std::string_view body)
{
    const int fd = ConnectLoopback(port);
    if (fd < 0)
        return {};
    SendAll(fd, "POST " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/octet-stream\r\n"
                "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n");
    SendAll(fd, body);
    std::string received = ReceiveUntilClosed(fd, 60000);
    ::close(fd);
    return ParseReply(std::move(received));
}

// The child process that holds idle connections: it opens `count` connections (half of them
// send the start of a head and stop), reports, waits for the word to go on, then reports how
// many were answered 503 and closed. Only system calls run in it.
[[noreturn]] void HoldIdleConnections(int port, int count, int report, int proceed, rlim_t hard)
{
    const rlimit raised{hard, hard};
    ::setrlimit(RLIMIT_NOFILE, &raised);
    std::vector<int> fds(static_cast<size_t>(count), -1);
    int opened = 0;
    for (size_t i = 0; i < fds.size(); ++i) {
        fds[i] = ConnectLoopback(port);
        opened += fds[i] >= 0 ? 1 : 0;
        // Every other one starts a head it never ends.
        if (fds[i] >= 0 && i % 2 == 1)
            SendAll(fds[i], "GET /ok.txt HTTP/1.1\r\nX-Slow: ");
    }
    [[maybe_unused]] ssize_t n = ::write(report, &opened, sizeof opened);
    char word = 0;
    n = ::read(proceed, &word, 1);
    int refused = 0;
    for (const int fd : fds) {
        char answer[13] = {};
        if (fd >= 0 && ::recv(fd, answer, 12, MSG_DONTWAIT) == 12 && std::string_view(answer) == "HTTP/1.1 503")
            ++refused;
    }
    n = ::write(report, &refused, sizeof refused);
    ::_exit(0);
}

class HttpLimitsTest : public ::testing::Test {
protected:
    TServerTestEnvironment Env;
};

} // namespace

TEST(HttpServerLimits, ConnectionCapFollowsTheOpenFileLimit)
{
    rlimit original{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &original), 0);
    struct Case {
        rlim_t soft;
        int cap;
    };
    const std::vector<Case> cases = {{1024, 384}, {512, 128}, {256, 16}, {300, 22}, {4096, 1024}};
    for (const Case& c : cases) {
        if (c.soft > original.rlim_max)
            continue;
        SCOPED_TRACE(c.soft);
        const TSoftFileLimit limit(c.soft);
        ASSERT_TRUE(limit.Set());
        EXPECT_EQ(ConnectionCapForOpenFiles(), c.cap);
    }

    // The program raises its soft limit to the hard one.
    const TSoftFileLimit lowered(std::min<rlim_t>(original.rlim_max, 512));
    EXPECT_EQ(RaiseOpenFileLimit(), static_cast<long>(original.rlim_max));
    rlimit now{};
    ::getrlimit(RLIMIT_NOFILE, &now);
    EXPECT_EQ(now.rlim_cur, original.rlim_max);
}

TEST_F(HttpLimitsTest, IdleConnectionsBeyondTheCapAreTurnedAwayAndANormalRequestIsServed)
{
    constexpr int Idle = 1100;
    rlimit original{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &original), 0);
    if (original.rlim_max < Idle + 200)
        GTEST_SKIP() << "the clients need a hard open-file limit above " << Idle + 200;
    Env.WriteDoc("ok.txt", "OK");
    const TSoftFileLimit limit(1024);
    ASSERT_TRUE(limit.Set());
    Env.Module->RestartServer(true);
    const int cap = Env.Module->HTTPServer.ConnectionCap();
    ASSERT_LT(cap, Idle);

    int report[2], proceed[2];
    ASSERT_EQ(::pipe2(report, O_CLOEXEC), 0);
    ASSERT_EQ(::pipe2(proceed, O_CLOEXEC), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        HoldIdleConnections(Env.Port(), Idle, report[1], proceed[0], original.rlim_max);
    ::close(report[1]);
    ::close(proceed[0]);
    int opened = 0;
    ASSERT_EQ(::read(report[0], &opened, sizeof opened), static_cast<ssize_t>(sizeof opened));
    EXPECT_EQ(opened, Idle);

    // The server takes them all in and keeps no more than its cap, within the limit.
    EXPECT_TRUE(WaitFor([&] { return Env.Module->HTTPServer.ConnectionCount() == cap; }, std::chrono::seconds(10)));
    const int descriptors = OpenDescriptors();
    EXPECT_LT(descriptors, 1024);
    const auto start = Clock::now();
    const THttpReply reply = HttpGet(Env.Port(), "/ok.txt");
    const auto took = Clock::now() - start;
    EXPECT_LT(took, std::chrono::seconds(5));
    RecordProperty("Cap", cap);
    RecordProperty("OpenDescriptors", descriptors);
    RecordProperty("NormalRequestMs", static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
    EXPECT_EQ(reply.Status, 200);
    EXPECT_EQ(reply.Body, "OK");
    EXPECT_LE(Env.Module->HTTPServer.ConnectionCount(), cap);

    ASSERT_EQ(::write(proceed[1], "g", 1), 1);
    int refused = 0;
    ASSERT_EQ(::read(report[0], &refused, sizeof refused), static_cast<ssize_t>(sizeof refused));
    // Every connection beyond the cap was answered 503 at once (one more made way for the
    // normal request).
    RecordProperty("RefusedAtOnce", refused);
    EXPECT_GE(refused, Idle - cap);
    EXPECT_LE(refused, Idle - cap + 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(report[0]);
    ::close(proceed[1]);
    EXPECT_TRUE(Env.Module->Active());
}

TEST_F(HttpLimitsTest, InterpretersAreCappedTheRestWaitOrAreTurnedAway)
{
    Env.Module->CGIRunner.SetRunLimits(2, 2);
    Env.WriteDoc("slow.php", "<?php usleep(600000); echo 'done';");
    std::atomic<bool> finished{false};
    std::atomic<size_t> peak{0};
    std::thread watcher([&] {
        while (!finished.load()) {
            peak = std::max(peak.load(), Env.Module->CGIRunner.RunningCount());
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    std::vector<std::future<std::pair<THttpReply, Clock::duration>>> replies;
    for (int i = 0; i < 6; ++i)
        replies.push_back(std::async(std::launch::async, [this] {
            const auto start = Clock::now();
            THttpReply reply = HttpGet(Env.Port(), "/slow.php");
            return std::make_pair(std::move(reply), Clock::now() - start);
        }));
    int served = 0, refused = 0;
    for (auto& pending : replies) {
        const auto [reply, took] = pending.get();
        if (reply.Status == 200) {
            EXPECT_EQ(reply.Body, "done");
            ++served;
        } else {
            EXPECT_EQ(reply.Status, 503);
            // Turned away at once, not after waiting.
            EXPECT_LT(took, std::chrono::milliseconds(500));
            ++refused;
        }
    }
    finished = true;
    watcher.join();
    EXPECT_EQ(served, 4);
    EXPECT_EQ(refused, 2);
    EXPECT_EQ(peak.load(), 2u);
}

TEST_F(HttpLimitsTest, AWaitingRequestWhoseClientLeftNeverRuns)
{
    Env.Module->CGIRunner.SetRunLimits(1, 4);
    const std::string marker = Env.Dir.File("ran.txt");
    Env.WriteDoc("slow.php", "<?php usleep(800000); echo 'done';");
    Env.WriteDoc("mark.php", "<?php file_put_contents('" + marker + "', 'ran');");
    auto first = std::async(std::launch::async, [this] { return HttpGet(Env.Port(), "/slow.php"); });
    ASSERT_TRUE(WaitFor([&] { return Env.Module->CGIRunner.RunningCount() == 1; }, std::chrono::seconds(5)));
    const int fd = ConnectLoopback(Env.Port());
    ASSERT_TRUE(SendAll(fd, "GET /mark.php HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ::close(fd);
    EXPECT_EQ(first.get().Body, "done");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_FALSE(FileExists(marker));
    // The slot went back: the next request runs.
    Env.WriteDoc("quick.php", "<?php echo 'quick';");
    EXPECT_EQ(HttpGet(Env.Port(), "/quick.php").Body, "quick");
}

TEST_F(HttpLimitsTest, AnAnswerNobodyTakesHoldsItsSlotOnlyUntilTheTimeOut)
{
    constexpr size_t AnswerSize = 32u << 20;
    Env.Module->CGIRunner.SetRunLimits(1, 4);
    Env.Module->CGIRunner.SetTimeOut(1500);
    Env.WriteDoc("big.php", "<?php echo str_repeat('x', " + std::to_string(AnswerSize) + ");");
    Env.WriteDoc("quick.php", "<?php echo 'quick';");
    const int stalled = ConnectLoopback(Env.Port());
    const int small = 4096;
    ::setsockopt(stalled, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    ASSERT_TRUE(SendAll(stalled, "GET /big.php HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
    ASSERT_TRUE(WaitFor([&] { return Env.Module->CGIRunner.RunningCount() == 1; }, std::chrono::seconds(5)));
    ASSERT_TRUE(WaitFor([&] { return Env.Module->CGIRunner.RunningCount() == 0; }, std::chrono::seconds(5)));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    // The interpreter is done, but its answer still holds the one slot: the next run waits
    // until the stalled answer is cut off.
    const auto start = Clock::now();
    const THttpReply quick = HttpGet(Env.Port(), "/quick.php");
    EXPECT_EQ(quick.Body, "quick");
    EXPECT_GT(Clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    // The server has let go of the stalled connection.
    EXPECT_TRUE(WaitFor([&] { return Env.Module->HTTPServer.ConnectionCount() == 0; }, std::chrono::seconds(2)));
    ::close(stalled);
}

TEST_F(HttpLimitsTest, AFloodOfLargeBodiesStaysWithinTheMemoryBound)
{
    constexpr size_t BodySize = 32u << 20;
    constexpr int Clients = 24;
    // What the server may add to the process while it takes the whole flood (2.25 GB of
    // bodies, three times over when they were copied).
    constexpr long BoundKB = 64 * 1024;
    Env.WriteDoc("sum.php", "<?php echo strlen(file_get_contents('php://input'));");
    Env.WriteDoc("ignore.php", "<?php echo 'ignored';");
    Env.WriteDoc("ok.txt", "OK");
    const std::string body(BodySize, 'b');
    const std::vector<std::pair<std::string, std::string>> targets = {
        {"/sum.php", std::to_string(BodySize)},
        {"/ignore.php", "ignored"},
        {"/ok.txt", "OK"},
    };
    // Warm up the threads and buffers a request needs, then measure from here.
    for (const auto& [target, expected] : targets)
        ASSERT_EQ(PostFrom(Env.Port(), target, std::string_view(body).substr(0, 1000)).Status, 200);
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = StatusKB("VmRSS");

    std::vector<std::future<THttpReply>> replies;
    for (int i = 0; i < Clients; ++i)
        replies.push_back(std::async(std::launch::async, [&, i] {
            return PostFrom(Env.Port(), targets[static_cast<size_t>(i) % targets.size()].first, body);
        }));
    for (int i = 0; i < Clients; ++i) {
        const THttpReply reply = replies[static_cast<size_t>(i)].get();
        EXPECT_EQ(reply.Status, 200);
        EXPECT_EQ(reply.Body, targets[static_cast<size_t>(i) % targets.size()].second);
    }
    const long peak = StatusKB("VmHWM");
    RecordProperty("PeakGrowthKB", static_cast<int>(peak - before));
    EXPECT_LT(peak - before, BoundKB) << "peak " << peak << " kB, before " << before << " kB";
}

TEST_F(HttpLimitsTest, WhatAScriptStartsEndsWithItsRunItsClientOrTheServer)
{
    enum class TEnd { Answer, ClientLeaves, ServerStops };
    struct Case {
        const char* name;
        TEnd end;
        std::string script; // writes "<interpreter pid> <child pid>" to PIDS
    };
    const std::string start = "<?php $child = trim(shell_exec('sleep 300 > /dev/null 2>&1 & echo $!'));\n"
                              "file_put_contents('PIDS', getmypid() . ' ' . $child);\n";
    const std::vector<Case> cases = {
        {"the answer is sent", TEnd::Answer, start + "echo 'done';"},
        // The child holds the interpreter's standard error: the answer must not wait for it.
        {"a child on the error output", TEnd::Answer,
         "<?php $child = trim(shell_exec('sleep 300 > /dev/null & echo $!'));\n"
         "file_put_contents('PIDS', getmypid() . ' ' . $child);\necho 'done';"},
        {"the client leaves", TEnd::ClientLeaves, start + "sleep(60);"},
        {"the server stops", TEnd::ServerStops, start + "sleep(60);"},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        const std::string pids = Env.Dir.File("pids" + std::to_string(i));
        const std::string name = "start" + std::to_string(i) + ".php";
        Env.WriteDoc(name, StringReplace(c.script, "PIDS", pids, TReplaceFlags{rfReplaceAll}));
        const auto began = Clock::now();
        if (c.end == TEnd::Answer) {
            const THttpReply reply = HttpGet(Env.Port(), "/" + name);
            EXPECT_EQ(reply.Body, "done");
            EXPECT_LT(Clock::now() - began, std::chrono::seconds(5));
        } else {
            const int fd = ConnectLoopback(Env.Port());
            ASSERT_TRUE(SendAll(fd, "GET /" + name + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
            ASSERT_TRUE(WaitFor([&] { return ReadPid(pids) > 0; }, std::chrono::seconds(10)));
            if (c.end == TEnd::ClientLeaves)
                ::close(fd);
            else
                Env.Module->RestartServer(false);
            if (c.end == TEnd::ServerStops)
                ::close(fd);
        }
        int php = 0, child = 0;
        std::ifstream(pids) >> php >> child;
        ASSERT_GT(child, 0);
        EXPECT_TRUE(WaitFor([&] { return !ProcessAlive(php) && !ProcessAlive(child); }, std::chrono::seconds(3)))
            << php << " " << child;
        EXPECT_TRUE(WaitFor([&] { return Env.Module->CGIRunner.RunningCount() == 0; }, std::chrono::seconds(3)));
        if (!Env.Module->Active())
            Env.Module->RestartServer(true);
    }
}
