// The console command runner: lines as the command prints them (partial lines confirmed later,
// CR, LF and CR LF ends, zero bytes dropped), standard error in the same order, the end event,
// commands that cannot start or have nothing to run, and what a command started, which ends
// with it.

#include "run/zuConsoleCommand.h"

#include "support/ProcessState.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>

namespace {

// A command that runs a shell script and records what it delivers.
struct Recorder {
    explicit Recorder(const std::string& script)
    {
        command.Arguments = {"/bin/sh", "-c", script};
        command.AssignLineList(&rows);
        command.OnNewLine = [this](TObject*, const std::string& line, TOutputType type) {
            events.emplace_back(line, type);
        };
        command.OnTerminated = [this](TObject*) { ++terminated; };
    }
    // Runs the event loop until the run ends (or ten seconds pass).
    bool Run()
    {
        command.StartCommand();
        QElapsedTimer clock;
        clock.start();
        while (terminated == 0 && clock.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(2);
        }
        return terminated == 1;
    }
    std::vector<std::string> Rows() const
    {
        std::vector<std::string> result;
        for (int i = 0; i < rows.Count(); ++i)
            result.push_back(rows[i]);
        return result;
    }
    TDosCommand command{nullptr};
    TStringList rows;
    std::vector<std::pair<std::string, TOutputType>> events;
    int terminated = 0;
};

} // namespace

TEST(ConsoleCommand, LinesArriveAsPrintedAndAnUnendedLastLineIsConfirmedAtTheEnd)
{
    Recorder r("printf 'a\\r\\nb\\nc'");
    ASSERT_TRUE(r.Run());
    EXPECT_EQ(r.Rows(), (std::vector<std::string>{"a", "b", "c"}));
    ASSERT_GE(r.events.size(), 4u);
    EXPECT_EQ(r.events[r.events.size() - 2], std::make_pair(std::string("c"), TOutputType::otBeginningOfLine))
        << "c is shown first as the beginning of a line";
    EXPECT_EQ(r.events.back(), std::make_pair(std::string("c"), TOutputType::otEntireLine));
    EXPECT_EQ(r.command.Lines().Count(), 3) << "the own list holds complete lines only";
    EXPECT_FALSE(r.command.Running());
}

TEST(ConsoleCommand, ACarriageReturnEndingOneReadAndALineFeedStartingTheNextGiveAnEmptyRow)
{
    Recorder r("printf 'a\\r'; sleep 0.3; printf '\\nb\\n'");
    ASSERT_TRUE(r.Run());
    EXPECT_EQ(r.Rows(), (std::vector<std::string>{"a", "", "b"}));
}

TEST(ConsoleCommand, ZeroBytesAreDroppedAndStandardErrorComesInOrder)
{
    Recorder r("printf 'x\\000y\\n'; echo err >&2; sleep 0.1; echo out");
    ASSERT_TRUE(r.Run());
    EXPECT_EQ(r.Rows(), (std::vector<std::string>{"xy", "err", "out"}));
}

TEST(ConsoleCommand, NothingToRunOrAProgramThatCannotStartDeliversNothing)
{
    Recorder empty("");
    empty.command.Arguments.clear();
    empty.rows.Add("kept");
    empty.command.StartCommand();
    QCoreApplication::processEvents();
    EXPECT_FALSE(empty.command.Running());
    EXPECT_EQ(empty.Rows(), std::vector<std::string>{"kept"});

    Recorder missing("");
    missing.command.Arguments = {"/no/such/program", "-l", "x.php"};
    missing.command.StartCommand();
    QElapsedTimer clock;
    clock.start();
    while (missing.command.Running() && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_FALSE(missing.command.Running());
    EXPECT_TRUE(missing.Rows().empty());
    EXPECT_EQ(missing.terminated, 0) << "no end event for a command that never ran";
    EXPECT_EQ(missing.command.CommandLine(), "/no/such/program -l x.php");
}

TEST(ConsoleCommand, ACommandThatGoesWhileItsProgramRunsEndsTheProgram)
{
    const auto started = std::chrono::steady_clock::now();
    {
        Recorder r("echo started; sleep 30");
        r.command.StartCommand();
        QElapsedTimer clock;
        clock.start();
        while (r.rows.Count() == 0 && clock.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        ASSERT_EQ(r.Rows(), std::vector<std::string>{"started"});
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10)) << "not waiting for the sleep";
}

namespace {

// A php-cli command whose script leaves a sleeper in a session of its own, prints its pid and
// then runs on for `seconds`.
void StartPHPWithEscapingChild(Recorder& r, const TempDir& dir, int seconds)
{
    const std::string script = dir.Write("start.php", "<?php\necho exec('setsid sleep 300 > /dev/null 2>&1 & echo $!'), "
                                                      "\"\\n\";\nsleep(" + std::to_string(seconds) + ");\n");
    r.command.Arguments = {"php", "-n", script};
}

} // namespace

TEST(ConsoleCommand, WhatTheCommandStartedEndsWithIt)
{
    TempDir dir;
    Recorder r("");
    StartPHPWithEscapingChild(r, dir, 0);
    ASSERT_TRUE(r.Run());
    ASSERT_FALSE(r.Rows().empty());
    const int child = std::atoi(r.Rows().front().c_str());
    ASSERT_GT(child, 0) << r.Rows().front();
    EXPECT_FALSE(ProcessAlive(child)) << "the end was reported before the script's child was ended";
}

TEST(ConsoleCommand, WhatTheCommandStartedEndsWhenTheCommandGoes)
{
    TempDir dir;
    int child = 0;
    {
        Recorder r("");
        StartPHPWithEscapingChild(r, dir, 300);
        r.command.StartCommand();
        QElapsedTimer clock;
        clock.start();
        while (r.rows.Count() == 0 && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        ASSERT_EQ(r.rows.Count(), 1);
        child = std::atoi(r.Rows().front().c_str());
        ASSERT_GT(child, 0);
        EXPECT_TRUE(ProcessAlive(child));
    }
    EXPECT_FALSE(ProcessAlive(child));
}
