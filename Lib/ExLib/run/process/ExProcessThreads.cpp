#include "ExLib/run/process/ExProcessThreads.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

// ---- wait thread

TExWaitForProcessThread::TExWaitForProcessThread(pid_t pid, TMessageWindow& notify, UINT doneMessage)
    : FPid(pid), FNotify(notify), FDoneMessage(doneMessage)
{
}

TExWaitForProcessThread::~TExWaitForProcessThread()
{
    Terminate();
    Join();
}

void TExWaitForProcessThread::Start()
{
    FThread = std::thread([this] {
        Execute();
        FNotify.PostMessage(FDoneMessage);
    });
}

void TExWaitForProcessThread::Terminate()
{
    FStop.Set();
}

void TExWaitForProcessThread::Join()
{
    if (FThread.joinable())
        FThread.join();
}

void TExWaitForProcessThread::Execute()
{
    const TWaitResult result = WaitForChild(FPid, FStop);
    FWaitError = result.Error;
    FExitCode = result.ExitCode;
}

// ---- console thread

TExConsoleThread::TExConsoleThread(pid_t pid, TFileHandle input, TMessageWindow& notify, UINT doneMessage)
    : TExWaitForProcessThread(pid, notify, doneMessage), FInput(std::move(input))
{
}

TExConsoleThread::~TExConsoleThread()
{
    // invariant: Execute never runs while this part of the object is gone.
    Terminate();
    Join();
}

void TExConsoleThread::Execute()
{
    // why: nothing ever queues input for the child, so an open write end would only leave a
    // child that reads its input to the end waiting forever; closed, it reads end-of-file.
    FInput.Close();
    TExWaitForProcessThread::Execute();
}

// ---- read thread

TExReadThread::TExReadThread(TFileHandle input, TMessageWindow& notify, UINT dataMessage, UINT doneMessage,
                             size_t bufferLimit)
    : FInput(std::move(input)), FNotify(notify), FDataMessage(dataMessage), FDoneMessage(doneMessage),
      FLimit(bufferLimit)
{
}

TExReadThread::~TExReadThread()
{
    Terminate();
    Join();
}

void TExReadThread::Start()
{
    FThread = std::thread([this] {
        Execute();
        FNotify.PostMessage(FDoneMessage);
    });
}

void TExReadThread::Terminate()
{
    {
        const std::lock_guard guard(FLock);
        FMode = TMode::Terminated;
    }
    FWake.Set();
    FRoom.notify_all();
}

void TExReadThread::ReadToEnd()
{
    TMode expected = TMode::Reading;
    if (FMode.compare_exchange_strong(expected, TMode::ToEnd))
        FWake.Set();
}

void TExReadThread::Join()
{
    if (FThread.joinable())
        FThread.join();
}

std::string TExReadThread::Take(size_t maxBytes)
{
    std::string taken;
    {
        const std::lock_guard guard(FLock);
        const size_t n = std::min(maxBytes, FBuffer.size());
        taken = FBuffer.substr(0, n);
        FBuffer.erase(0, n);
    }
    FRoom.notify_all();
    return taken;
}

bool TExReadThread::HasData() const
{
    const std::lock_guard guard(FLock);
    return !FBuffer.empty();
}

size_t TExReadThread::Pending()
{
    const std::lock_guard guard(FLock);
    FNotified = false;
    return FBuffer.size();
}

bool TExReadThread::Append(const char* data, size_t count, bool& notify)
{
    std::unique_lock lock(FLock);
    // why: output the GUI thread has not taken yet is never dropped; the reader waits instead,
    // and the child waits on its full pipe.
    FRoom.wait(lock, [&] {
        return FMode == TMode::Terminated || FBuffer.empty() || FBuffer.size() + count <= FLimit;
    });
    if (FMode == TMode::Terminated)
        return false;
    FBuffer.append(data, count);
    notify = !FNotified;
    FNotified = true;
    return true;
}

void TExReadThread::Execute()
{
    char chunk[1024];
    for (;;) {
        const TMode mode = FMode;
        if (mode == TMode::Terminated)
            return;
        const bool toEnd = mode == TMode::ToEnd;
        pollfd fds[2] = {{FInput.Fd(), POLLIN, 0}, {FWake.Fd(), POLLIN, 0}};
        // Reading to the end takes only what the pipe holds now.
        const int ready = ::poll(fds, toEnd ? 1 : 2, toEnd ? 0 : -1);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            FReadError = errno;
            return;
        }
        if (ready == 0)
            return;
        if (fds[0].revents == 0)
            continue; // woken to change the mode
        const ssize_t n = ::read(FInput.Fd(), chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            // why: any other failure would fail again at once; retrying would spin.
            FReadError = errno;
            return;
        }
        if (n == 0)
            return; // every writer has gone
        bool notify = false;
        if (!Append(chunk, static_cast<size_t>(n), notify))
            return;
        if (notify)
            FNotify.PostMessage(FDataMessage);
    }
}
