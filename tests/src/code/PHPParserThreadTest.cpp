// The parser thread: results come back on the GUI thread in request order, one delivery per
// drain; requests queued meanwhile are not left waiting; dropped requests are never scanned;
// stopping it never waits for the GUI thread, also in the middle of a long scan; and it yields to
// other work without being starved by it.

#include "code/zuPHPParserThread.h"

#include "support/WaitFor.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sched.h>
#include <sys/resource.h>

namespace {

std::vector<std::string> Document(int functions)
{
    std::vector<std::string> lines{"<?php"};
    for (int i = 0; i < functions; ++i)
        lines.push_back("function f" + std::to_string(i) + "($a, $b = 'x') { return $a; }");
    return lines;
}

struct TCollector {
    QObject Receiver;
    std::vector<TPHPParserThread::TResult> Results;
    int Deliveries = 0;
    bool OffGuiThread = false;

    TPHPParserThread::TDeliver Deliver()
    {
        return [this](std::vector<TPHPParserThread::TResult> results) {
            OffGuiThread |= QThread::currentThread() != QCoreApplication::instance()->thread();
            ++Deliveries;
            for (auto& result : results)
                Results.push_back(std::move(result));
        };
    }
};

} // namespace

TEST(PHPParserThread, ResultsArriveOnTheGuiThreadInRequestOrder)
{
    TCollector collector;
    TPHPParserThread thread(&collector.Receiver, collector.Deliver());
    thread.Queue({1, true, Document(3)});
    thread.Queue({2, false, {}});
    thread.Queue({3, true, Document(1)});
    ASSERT_TRUE(WaitFor([&] { return collector.Results.size() == 3; }));
    EXPECT_FALSE(collector.OffGuiThread);
    EXPECT_EQ(collector.Results[0].Ticket, 1u);
    ASSERT_TRUE(collector.Results[0].Page);
    EXPECT_EQ(collector.Results[0].Page->Count(), 3);
    EXPECT_EQ(collector.Results[1].Ticket, 2u);
    EXPECT_FALSE(collector.Results[1].Page) << "a rebuild-only request scans nothing";
    EXPECT_EQ(collector.Results[2].Ticket, 3u);
    EXPECT_EQ(collector.Results[2].Page->Count(), 1);
    EXPECT_LE(collector.Deliveries, 3);
}

TEST(PHPParserThread, RequestsQueuedWhileItScansAreHandledWithoutAnotherWakeUp)
{
    TCollector collector;
    TPHPParserThread thread(&collector.Receiver, collector.Deliver());
    thread.Queue({1, true, Document(20000)});
    for (std::uint64_t ticket = 2; ticket <= 20; ++ticket)
        thread.Queue({ticket, true, Document(2)});
    ASSERT_TRUE(WaitFor([&] { return collector.Results.size() == 20; }, 20000));
    for (size_t i = 0; i < 20; ++i)
        EXPECT_EQ(collector.Results[i].Ticket, i + 1);
}

TEST(PHPParserThread, DroppedRequestsAreNeverScanned)
{
    TCollector collector;
    TPHPParserThread thread(&collector.Receiver, collector.Deliver());
    thread.Queue({1, true, Document(50000)});
    for (std::uint64_t ticket = 2; ticket <= 6; ++ticket)
        thread.Queue({ticket, true, Document(1)});
    thread.Drop([](const TPHPParserThread::TRequest& r) { return r.Ticket % 2 == 0; });
    thread.Queue({7, true, Document(1)});
    ASSERT_TRUE(WaitFor([&] { return !collector.Results.empty() && collector.Results.back().Ticket == 7; }, 20000));
    for (const auto& result : collector.Results)
        EXPECT_NE(result.Ticket % 2, 0u) << result.Ticket;
}

TEST(PHPParserThread, StoppingDuringALongScanEndsPromptlyAndDeliversNothingLater)
{
    TCollector collector;
    {
        TPHPParserThread thread(&collector.Receiver, collector.Deliver());
        thread.Queue({1, true, Document(300000)});
        QThread::msleep(20);
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(collector.Results.empty());
}

TEST(PHPParserThread, StoppingWhileTheGuiThreadIsBusyDoesNotWaitForIt)
{
    auto collector = std::make_unique<TCollector>();
    {
        TPHPParserThread thread(&collector->Receiver, collector->Deliver());
        thread.Queue({1, true, Document(2)});
        // The thread posts its result while this thread serves no events, then is joined.
        QThread::msleep(100);
    }
    int delivered = collector->Deliveries;
    collector.reset(); // the receiver goes, and its pending delivery with it
    QCoreApplication::processEvents();
    EXPECT_EQ(delivered, 0);
}

TEST(PHPParserThread, RunsAtTheLowestNicenessAndIsNeverLeftOnlyIdleTime)
{
    TCollector collector;
    TPHPParserThread thread(&collector.Receiver, collector.Deliver());
    thread.Queue({1, true, Document(2)});
    ASSERT_TRUE(WaitFor([&] { return !collector.Results.empty(); }));
    // The thread names itself after its object; find it among this process's threads.
    pid_t parser = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        if (name == "PHP parser")
            parser = static_cast<pid_t>(std::stoi(task.path().filename().string()));
    }
    ASSERT_NE(parser, 0);
    EXPECT_NE(::sched_getscheduler(parser), SCHED_IDLE) << "a busy machine would starve it";
    errno = 0;
    EXPECT_EQ(::getpriority(PRIO_PROCESS, static_cast<id_t>(parser)), 19);
    EXPECT_EQ(errno, 0);
}
