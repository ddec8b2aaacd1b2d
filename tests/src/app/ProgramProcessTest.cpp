// The whole program started twice as real processes: the second start hands its files to the
// running one and ends, and they open there as further tabs.

#include "Platform/files/FileNames.h"
#include "Platform/text/TextUtils.h"
#include "support/TempDir.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;

namespace {

struct ProgramProcess : ::testing::Test {
    TempDir Dir;
    std::string Channel = Dir.File("channel");
    std::string Log = Dir.File("first.log");
    std::vector<std::unique_ptr<QProcess>> Processes;

    void SetUp() override
    {
        Dir.Write("program/data/AccessDenied.html", "403");
        Dir.Write("program/template/PHP Page.php", "<?php ?>");
        Dir.Write("program/project/index.php", "<?php ?>");
        Dir.Write("config/.keep", "");
        Dir.Write("runtime/.keep", "");
        QFile::setPermissions(QString::fromStdString(Dir.File("runtime")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        Dir.Write("work/a.php", "<?php echo 'a'; ?>");
        Dir.Write("work/b.php", "<?php echo 'b'; ?>");
    }
    void TearDown() override
    {
        for (auto& process : Processes)
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(10000);
            }
    }

    QProcess& Launch(const std::string& log, const std::vector<std::string>& arguments)
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", QString::fromStdString(Dir.File("config")));
        environment.insert("XDG_DATA_HOME", QString::fromStdString(Dir.File("share")));
        environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(Dir.File("runtime")));
        environment.insert("HOME", QString::fromStdString(Dir.File("work")));
        process->setProcessEnvironment(environment);
        process->setWorkingDirectory(QString::fromStdString(Dir.File("work")));
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList args = {QString::fromStdString(Channel), QString::fromStdString(log),
                            QString::fromStdString(Dir.File("program"))};
        for (const std::string& a : arguments)
            args << QString::fromStdString(a);
        process->start(ZENTU_PROGRAM_PROBE, args);
        EXPECT_TRUE(process->waitForStarted(10000));
        Processes.push_back(std::move(process));
        return *Processes.back();
    }

    bool WaitForLine(const std::string& line, int timeoutMs = 20000) const
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            for (const std::string& l : ReadLines(Log))
                if (l == line)
                    return true;
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }
    static int ExitCode(QProcess& process)
    {
        if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit)
            return -1;
        return process.exitCode();
    }
};

} // namespace

TEST_F(ProgramProcess, ASecondStartOpensItsFileAsAnotherTabOfTheFirst)
{
    Launch(Log, {"a.php"});
    ASSERT_TRUE(WaitForLine("tabs a.php")) << "the first start opens its own argument";

    QProcess& second = Launch(Dir.File("second.log"), {"b.php"});
    EXPECT_EQ(ExitCode(second), 0);
    EXPECT_FALSE(FileExists(Dir.File("second.log"))) << "the second start shows nothing";
    ASSERT_TRUE(WaitForLine("tabs a.php|b.php"));

    // Handing over a file that is open already shows it again; a start without files only
    // brings the window to the front.
    QProcess& third = Launch(Dir.File("third.log"), {"a.php", "missing.php"});
    EXPECT_EQ(ExitCode(third), 0);
    QProcess& fourth = Launch(Dir.File("fourth.log"), {});
    EXPECT_EQ(ExitCode(fourth), 0);
    std::this_thread::sleep_for(300ms);
    const std::vector<std::string> log = ReadLines(Log);
    EXPECT_EQ(log, (std::vector<std::string>{"ready", "tabs a.php", "tabs a.php|b.php"}));

    // Closing the window ends the program in order and writes the settings.
    Dir.Write("first.log.quit", "");
    EXPECT_EQ(ExitCode(*Processes.front()), 0);
    // The current project is recorded too: the one the first start made for the default root.
    const std::string projects = ReadWholeFile(Dir.File("config/Zentu Systems/Zentu/projects.dat"));
    ASSERT_EQ(projects.substr(0, 1), "[");
    const std::string project = projects.substr(1, 38);
    EXPECT_NE(projects.find("LocalPath=" + Dir.File("share/Zentu/project/") + "\r\n"), std::string::npos)
        << "the default project is the user's copy, outside the program's folder";
    EXPECT_EQ(ReadWholeFile(Dir.File("share/Zentu/project/index.php")), "<?php ?>");
    EXPECT_EQ(ReadWholeFile(Dir.File("config/Zentu Systems/Zentu/Zentupad.dat")),
              "[Editor]\r\nWordWrap=0\r\n\r\n[Application]\r\nLastPath=" + Dir.File("work") +
                  "\r\nProject=" + project + "\r\n")
        << "the file explorer's folder is kept too";
}
