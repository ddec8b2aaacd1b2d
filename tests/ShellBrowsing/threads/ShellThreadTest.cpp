#include "ShellBrowsing/Source/threads/ShellThread.h"

#include "ShellBrowsing/ShellTestSupport.h"

#include <chrono>
#include <stdexcept>

namespace {

using namespace std::chrono_literals;

template <class F>
bool Eventually(F done)
{
    for (int i = 0; i < 400 && !done(); ++i)
        std::this_thread::sleep_for(5ms);
    return done();
}

class TProbeThread : public TShellThread {
public:
    TProbeThread(bool suspended, bool fail, std::atomic<int>* destroyed = nullptr)
        : TShellThread(suspended), FFail(fail), FDestroyed(destroyed)
    {
    }
    ~TProbeThread() override
    {
        if (FDestroyed)
            ++*FDestroyed;
    }
    std::atomic<bool> Ran{false};
    std::atomic<bool> Initialized{false};
    std::atomic<bool> Finalized{false};

protected:
    void InitializeThread() override { Initialized = true; }
    void Execute() override
    {
        Ran = true;
        if (FFail)
            throw std::runtime_error("work failed");
    }
    void FinalizeThread() override { Finalized = true; }

private:
    bool FFail;
    std::atomic<int>* FDestroyed;
};

} // namespace

TEST(ShellThread, ASuspendedThreadRunsOnlyWhenResumed)
{
    TProbeThread thread(true, false);
    thread.Start();
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(thread.Ran);
    EXPECT_TRUE(thread.Suspended());
    thread.SetSuspended(false);
    thread.WaitFor();
    EXPECT_TRUE(thread.Ran);
    EXPECT_TRUE(thread.Initialized);
    EXPECT_TRUE(thread.Finalized);
    EXPECT_TRUE(thread.Finished());
}

TEST(ShellThread, AFailingWorkStillFinalizesAndFinishes)
{
    TProbeThread thread(false, true);
    thread.Start();
    thread.WaitFor();
    EXPECT_TRUE(thread.Ran);
    EXPECT_TRUE(thread.Finalized);
    EXPECT_TRUE(thread.Finished());
}

TEST(ShellThread, FreeOnTerminateFreesTheObjectWhenTheWorkEnds)
{
    std::atomic<int> destroyed{0};
    auto* thread = new TProbeThread(false, false, &destroyed);
    thread->FreeOnTerminate = true;
    thread->Start();
    EXPECT_TRUE(Eventually([&] { return destroyed.load() == 1; }));

    // Without it the owner frees the object after the thread has finished.
    auto owned = std::make_unique<TProbeThread>(false, false, &destroyed);
    owned->Start();
    owned->WaitFor();
    EXPECT_EQ(destroyed.load(), 1);
    owned.reset();
    EXPECT_EQ(destroyed.load(), 2);
}

TEST(ShellThread, AThreadFreedWhileSuspendedNeverRuns)
{
    std::atomic<int> destroyed{0};
    auto thread = std::make_unique<TProbeThread>(true, false, &destroyed);
    thread->Start();
    std::atomic<bool>* ran = &thread->Ran;
    EXPECT_FALSE(*ran);
    thread.reset();
    EXPECT_EQ(destroyed.load(), 1);
}

TEST(ShellThread, ReferenceCountAndPriority)
{
    TProbeThread thread(true, false);
    EXPECT_EQ(thread.AddRef(), 1);
    EXPECT_EQ(thread.AddRef(), 2);
    EXPECT_EQ(thread.Release(), 1);
    thread.SetPriority(TThreadPriority::tpLower);
    EXPECT_EQ(thread.Priority(), TThreadPriority::tpLower);
    thread.Terminate();
    EXPECT_TRUE(thread.Terminated());
    thread.Start();
    thread.WaitFor();
    EXPECT_FALSE(thread.Ran);
}
