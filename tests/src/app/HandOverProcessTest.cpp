// The second-start hand-over between real processes: the test program runs the program entry
// with a private channel and logs what the main window would be asked to do.

#include "app/zuSingleInstance.h"

#include "Platform/files/FileNames.h"
#include "support/TempDir.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QProcess>
#include <gtest/gtest.h>

#include <csignal>
#include <thread>

using namespace std::chrono_literals;

namespace {

// One start of the program.
class Start {
public:
    Start(const std::string& channel, const std::string& log, const std::string& folder,
          const std::vector<std::string>& arguments, int patienceMs = 10000, int startDelayMs = 0)
        : FLog(log)
    {
        QStringList args = {QString::fromStdString(channel), QString::fromStdString(log), QString::number(patienceMs)};
        for (const std::string& a : arguments)
            args << QString::fromStdString(a);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (startDelayMs > 0)
            environment.insert("ZENTU_PROBE_START_DELAY_MS", QString::number(startDelayMs));
        FProcess.setProcessEnvironment(environment);
        FProcess.setWorkingDirectory(QString::fromStdString(folder));
        FProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        FProcess.start(ZENTU_HANDOVER_PROBE, args);
        FProcess.waitForStarted(10000);
    }
    ~Start()
    {
        if (FProcess.state() != QProcess::NotRunning) {
            FProcess.kill();
            FProcess.waitForFinished(10000);
        }
    }

    // Waits until the log holds `line`.
    bool WaitFor(const std::string& line, int timeoutMs = 15000) const
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            for (const std::string& l : ReadLines(FLog))
                if (l == line)
                    return true;
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }
    // The exit code once the process has ended by itself; -1 when it still runs.
    int ExitCode(int timeoutMs = 15000)
    {
        if (!FProcess.waitForFinished(timeoutMs) || FProcess.exitStatus() != QProcess::NormalExit)
            return -1;
        return FProcess.exitCode();
    }
    void KillHard()
    {
        ::kill(static_cast<pid_t>(FProcess.processId()), SIGKILL);
        FProcess.waitForFinished(10000);
    }
    std::vector<std::string> Log() const { return ReadLines(FLog); }

private:
    std::string FLog;
    QProcess FProcess;
};

struct HandOverProcess : ::testing::Test {
    TempDir Dir;
    std::string Channel = Dir.File("channel");
    std::string FirstFolder = Dir.Path() + "/first";
    std::string WorkFolder = Dir.Path() + "/work";

    void SetUp() override
    {
        Dir.Write("first/.keep", "");
        Dir.Write("work/a.php", "a");
        Dir.Write("work/b.php", "b");
    }

    // Waits until a first instance holds the lock.
    void WaitForLockHolder()
    {
        TInstanceLock probe(Channel + ".lock");
        for (int i = 0; i < 500 && probe.TryClaim(); ++i) {
            probe.Release();
            std::this_thread::sleep_for(20ms);
        }
    }
};

} // namespace

TEST_F(HandOverProcess, ASecondStartHandsOverAbsoluteNamesAndEnds)
{
    Start first(Channel, Dir.File("first.log"), FirstFolder, {});
    ASSERT_TRUE(first.WaitFor("ready"));

    // Relative names: the running instance's current folder is another one.
    Start second(Channel, Dir.File("second.log"), WorkFolder, {"a.php", "missing.php", ".", "b.php"});
    EXPECT_EQ(second.ExitCode(), 0);
    EXPECT_FALSE(FileExists(Dir.File("second.log"))) << "the second start makes no window";

    ASSERT_TRUE(first.WaitFor("front"));
    EXPECT_EQ(first.Log(), (std::vector<std::string>{"ready", "open " + WorkFolder + "/a.php",
                                                     "open " + WorkFolder + "/b.php", "front"}));
}

TEST_F(HandOverProcess, ASecondStartWithoutArgumentsOnlyBringsTheWindowToTheFront)
{
    Start first(Channel, Dir.File("first.log"), FirstFolder, {});
    ASSERT_TRUE(first.WaitFor("ready"));
    Start second(Channel, Dir.File("second.log"), WorkFolder, {});
    EXPECT_EQ(second.ExitCode(), 0);
    ASSERT_TRUE(first.WaitFor("front"));
    EXPECT_EQ(first.Log(), (std::vector<std::string>{"ready", "front"}));
}

TEST_F(HandOverProcess, TheFirstStartOpensItsOwnArgumentsAfterTheMainWindow)
{
    Start first(Channel, Dir.File("first.log"), WorkFolder, {"b.php", "nothing.php", ".."});
    ASSERT_TRUE(first.WaitFor("ready"));
    EXPECT_EQ(first.Log(), (std::vector<std::string>{"open b.php", "ready"}));
}

TEST_F(HandOverProcess, ArgumentsWaitForAFirstInstanceThatIsStillStarting)
{
    Start first(Channel, Dir.File("first.log"), FirstFolder, {}, 10000, 1500);
    WaitForLockHolder();
    Start second(Channel, Dir.File("second.log"), WorkFolder, {"a.php"});
    EXPECT_EQ(second.ExitCode(), 0);
    ASSERT_TRUE(first.WaitFor("front"));
    EXPECT_EQ(first.Log(), (std::vector<std::string>{"ready", "open " + WorkFolder + "/a.php", "front"}));
}

TEST_F(HandOverProcess, AnInstanceKilledWithoutCleaningUpDoesNotBlockTheNext)
{
    {
        Start crashed(Channel, Dir.File("crashed.log"), FirstFolder, {});
        ASSERT_TRUE(crashed.WaitFor("ready"));
        crashed.KillHard();
    }
    ASSERT_TRUE(QFileInfo::exists(QString::fromStdString(Channel)))
        << "the socket file is left behind";

    Start first(Channel, Dir.File("first.log"), FirstFolder, {});
    ASSERT_TRUE(first.WaitFor("ready")) << "the next start is the first instance";
    Start second(Channel, Dir.File("second.log"), WorkFolder, {"b.php"});
    EXPECT_EQ(second.ExitCode(), 0);
    ASSERT_TRUE(first.WaitFor("front"));
    EXPECT_EQ(first.Log(), (std::vector<std::string>{"ready", "open " + WorkFolder + "/b.php", "front"}));
}

// A first instance that is alive but never answers: it holds the lock, and its channel takes
// connections (the system queues them) that nobody reads.
TEST_F(HandOverProcess, AnInstanceThatNeverAnswersIsReportedAndNoSecondInstanceRuns)
{
    TInstanceLock hung(Channel + ".lock");
    ASSERT_TRUE(hung.TryClaim());
    QLocalServer deaf;
    ASSERT_TRUE(deaf.listen(QString::fromStdString(Channel)));

    QElapsedTimer timer;
    timer.start();
    Start second(Channel, Dir.File("second.log"), WorkFolder, {"a.php"}, 800);
    EXPECT_EQ(second.ExitCode(), 1);
    EXPECT_GE(timer.elapsed(), 700) << "the second start waits its whole patience";
    const std::vector<std::string> log = second.Log();
    ASSERT_EQ(log.size(), 1u) << "no main window, no documents: only the message";
    EXPECT_EQ(log[0].rfind("message Zentu is already running but did not answer", 0), 0u) << log[0];
    EXPECT_NE(log[0].find("|Not opened:|a.php"), std::string::npos) << log[0];
}

TEST_F(HandOverProcess, ASecondStartThatGivesUpLeavesNothingForTheSlowInstance)
{
    // The first instance is busy making its main window for longer than the second start waits.
    Start first(Channel, Dir.File("first.log"), FirstFolder, {}, 10000, 3000);
    WaitForLockHolder();
    Start second(Channel, Dir.File("second.log"), WorkFolder, {"a.php"}, 500);
    EXPECT_EQ(second.ExitCode(), 1);
    ASSERT_EQ(second.Log().size(), 1u);
    EXPECT_EQ(second.Log()[0].rfind("message ", 0), 0u);

    // Once free, the first instance neither opens the abandoned names nor comes to the front,
    // and it still takes the next hand-over.
    ASSERT_TRUE(first.WaitFor("ready"));
    Start third(Channel, Dir.File("third.log"), WorkFolder, {"b.php"});
    EXPECT_EQ(third.ExitCode(), 0);
    ASSERT_TRUE(first.WaitFor("front"));
    EXPECT_EQ(first.Log(), (std::vector<std::string>{"ready", "open " + WorkFolder + "/b.php", "front"}));
}
