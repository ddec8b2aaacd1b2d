#include "ShellBrowsing/Source/threads/ShellThread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

TShellThread::TShellThread(bool createSuspended) : FSuspended(createSuspended)
{
}

TShellThread::~TShellThread()
{
    if (!FThread.joinable())
        return;
    if (FThread.get_id() == std::this_thread::get_id()) {
        FThread.detach();
        return;
    }
    {
        const std::lock_guard guard(FGateLock);
        if (!FFinished.load())
            FTerminated = true;
        FSuspended = false;
    }
    FGate.notify_all();
    FThread.join();
}

void TShellThread::Start()
{
    // invariant: the new thread takes the gate lock before it does anything, so FThread is
    // assigned before the thread can end (and, with FreeOnTerminate, free this object).
    const std::lock_guard guard(FGateLock);
    if (!FThread.joinable() && !FFinished.load())
        FThread = std::thread([this] { ThreadProc(); });
}

void TShellThread::SetSuspended(bool value)
{
    {
        const std::lock_guard guard(FGateLock);
        FSuspended = value;
    }
    FGate.notify_all();
}

void TShellThread::Terminate()
{
    {
        const std::lock_guard guard(FGateLock);
        FTerminated = true;
    }
    FGate.notify_all();
}

void TShellThread::CheckSuspended()
{
    std::unique_lock guard(FGateLock);
    FGate.wait(guard, [this] { return !FSuspended.load() || FTerminated.load(); });
}

void TShellThread::WaitFor()
{
    std::unique_lock guard(FGateLock);
    if (!FThread.joinable())
        return;
    FGate.wait(guard, [this] { return FFinished.load(); });
}

void TShellThread::SetPriority(TThreadPriority priority)
{
    FPriority = priority;
    ApplyPriority();
}

void TShellThread::ApplyPriority()
{
    const int tid = FThreadId.load();
    if (tid == 0)
        return;
    static const int nice[] = {19, 10, 5, 0, -5, -10, -15};
    // why: raising the priority needs privileges; a refusal leaves the thread as it is.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice[static_cast<int>(FPriority)]);
}

void TShellThread::ThreadProc()
{
    CheckSuspended();
    FThreadId = static_cast<int>(::syscall(SYS_gettid));
    if (FPriority != TThreadPriority::tpNormal)
        ApplyPriority();
    if (!FTerminated.load()) {
        try {
            InitializeThread();
            Execute();
        } catch (...) {
            // The work's failure ends the work, never the process.
        }
        try {
            FinalizeThread();
        } catch (...) {
        }
    }
    const bool freeSelf = FreeOnTerminate;
    {
        const std::lock_guard guard(FGateLock);
        FFinished = true;
    }
    FGate.notify_all();
    if (freeSelf)
        delete this; // the object belongs to its thread

}
