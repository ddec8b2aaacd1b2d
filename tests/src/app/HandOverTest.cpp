// The second-start hand-over inside one process: the texts, the receiving side, and the
// exchange between a waiting second start and a first instance that is late, busy or gone.

#include "app/zuMain.h"
#include "app/zuSingleInstance.h"

#include "support/TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <future>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// Runs the event loop until `done` holds or the time is up.
template <class Pred>
bool ProcessEventsUntil(Pred done, int timeoutMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// A second start on a thread of its own, as the real one would be in its own process.
std::future<TInstanceRole> SecondStart(const std::string& channel, const std::string& text,
                                       std::chrono::milliseconds patience)
{
    return std::async(std::launch::async, [=] {
        TSingleInstance second(channel);
        return second.Start(text, patience);
    });
}

bool Ready(const std::future<TInstanceRole>& f)
{
    return f.wait_for(0ms) == std::future_status::ready;
}

struct HandOver : ::testing::Test {
    TempDir Dir;
    std::string Channel = Dir.File("channel");
    std::vector<std::string> Received;

    // The first instance's lock, held by the test.
    TInstanceLock FirstLock{Channel + ".lock"};
    void SetUp() override { ASSERT_TRUE(FirstLock.TryClaim()); }

    std::unique_ptr<TInstanceServer> Serve()
    {
        auto server = std::make_unique<TInstanceServer>(Channel);
        server->OnHandOver = [this](const std::string& text) { Received.push_back(text); };
        EXPECT_TRUE(server->Listen());
        return server;
    }
};

} // namespace

TEST(HandOverText, ArgumentsEachFollowedByCRLF)
{
    EXPECT_EQ(BuildHandOverText({}), "");
    EXPECT_EQ(BuildHandOverText({"/a b.php", "", "/c.php"}), "/a b.php\r\n\r\n/c.php\r\n");

    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"/a\r\n/b\r\n", {"/a", "/b"}},
        {"/a\r/b\n/c", {"/a", "/b", "/c"}},
        {"/a\r\n\r\n/b", {"/a", "", "/b"}},
        {std::string("/a\r\n/b\0/c\r\n", 11), {"/a", "/b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.text));
        EXPECT_EQ(SplitHandOverText(c.text), c.lines);
    }
}

TEST(HandOverText, NamesAreMadeAbsoluteAgainstTheSecondStartsFolder)
{
    const std::vector<std::string> in = {"x.php", "/abs/y.php", "sub/./z.php", "../up.php", "", "dir/"};
    const std::vector<std::string> expected = {"/work/site/x.php", "/abs/y.php", "/work/site/sub/z.php",
                                               "/work/up.php", "", "/work/site/dir/"};
    EXPECT_EQ(AbsoluteFileArguments(in, "/work/site"), expected);
    EXPECT_EQ(AbsoluteFileArguments({"a.php"}, "/work/site/"), std::vector<std::string>{"/work/site/a.php"});
}

TEST(ReceiveHandOver, OpensExistingFilesInOrderThenComesToTheFront)
{
    TempDir dir;
    const std::string a = dir.Write("a.php", "a"), b = dir.Write("b.php", "b");
    std::vector<std::string> calls;
    TProgramHooks hooks;
    hooks.OpenFile = [&](const std::string& path) { calls.push_back("open " + path); };
    hooks.BringToFront = [&] { calls.push_back("front"); };

    ReceiveHandOverText(b + "\r\n" + dir.File("missing.php") + "\r\n\r\n" + dir.Path() + "\r\n" + a + "\r\n", hooks);
    EXPECT_EQ(calls, (std::vector<std::string>{"open " + b, "open " + a, "front"}));

    calls.clear();
    ReceiveHandOverText("", hooks);
    EXPECT_EQ(calls, std::vector<std::string>{"front"}) << "no arguments still bring the window to the front";
}

TEST_F(HandOver, ASecondStartWaitsForAFirstInstanceThatIsNotListeningYet)
{
    auto second = SecondStart(Channel, "/a.php\r\n", 5s);
    std::this_thread::sleep_for(400ms);
    ASSERT_FALSE(Ready(second)) << "the second start keeps trying";
    auto server = Serve();
    ASSERT_TRUE(ProcessEventsUntil([&] { return Ready(second) && !Received.empty(); }));
    EXPECT_EQ(second.get(), TInstanceRole::irHandedOver);
    EXPECT_EQ(Received, std::vector<std::string>{"/a.php\r\n"});
}

TEST_F(HandOver, LargeTextsArriveWhole)
{
    auto server = Serve();
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "/some/fairly/long/folder/name/file" + std::to_string(i) + ".php\r\n";
    auto second = SecondStart(Channel, text, 5s);
    ASSERT_TRUE(ProcessEventsUntil([&] { return Ready(second) && !Received.empty(); }));
    EXPECT_EQ(second.get(), TInstanceRole::irHandedOver);
    ASSERT_EQ(Received.size(), 1u);
    EXPECT_EQ(Received[0], text);
}

TEST_F(HandOver, NobodyListeningEndsAfterThePatienceRunsOut)
{
    QElapsedTimer timer;
    timer.start();
    auto second = SecondStart(Channel, "/a.php\r\n", 300ms);
    EXPECT_EQ(second.get(), TInstanceRole::irUnreachable);
    EXPECT_GE(timer.elapsed(), 290);
    EXPECT_LT(timer.elapsed(), 3000);
}

TEST_F(HandOver, ATextThatWasNotCommittedIsNeverActedOn)
{
    // The first instance listens but is busy: its event loop does not run in time.
    auto server = Serve();
    auto second = SecondStart(Channel, "/a.php\r\n", 300ms);
    EXPECT_EQ(second.get(), TInstanceRole::irUnreachable);
    // Later the first instance reads the abandoned text, which the second start reported as not opened.
    ProcessEventsUntil([] { return false; }, 500);
    EXPECT_TRUE(Received.empty());
}

TEST_F(HandOver, ASecondStartTakesOverWhenTheRunningInstanceEnds)
{
    auto second = SecondStart(Channel, "", 5s);
    std::this_thread::sleep_for(300ms);
    FirstLock.Release();
    EXPECT_EQ(second.get(), TInstanceRole::irFirst);
}

TEST(SingleInstance, AStaleSocketFileIsReplaced)
{
    TempDir dir;
    const std::string channel = dir.File("channel");
    {
        // A socket file whose process is gone: bound, never unlinked.
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", channel.c_str());
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    }
    TSingleInstance first(channel);
    ASSERT_EQ(first.Start("", 1s), TInstanceRole::irFirst);
    std::vector<std::string> received;
    ASSERT_TRUE(first.Listen([&](const std::string& text) { received.push_back(text); }));

    auto second = SecondStart(channel, "/x\r\n", 5s);
    ASSERT_TRUE(ProcessEventsUntil([&] { return Ready(second) && !received.empty(); }));
    EXPECT_EQ(second.get(), TInstanceRole::irHandedOver);

    // After the first instance lets go, the next start is the first again.
    first.Release();
    TSingleInstance next(channel);
    EXPECT_EQ(next.Start("", 1s), TInstanceRole::irFirst);
}
