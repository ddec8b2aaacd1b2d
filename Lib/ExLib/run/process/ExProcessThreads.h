#pragma once
// The threads of the process runner. A wait thread watches a child until it ends or is told to
// stop; the console thread does the same for a redirected run and owns the write end of the
// child's standard input; the read thread reads the child's output into a buffer that the GUI
// thread takes from. Each thread posts its messages to the runner's hidden message window and
// ends by posting its done message; its owner joins it.

#include "ExLib/run/process/ExSpawn.h"

#include "Platform/core/MessageWindow.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class TExWaitForProcessThread {
public:
    TExWaitForProcessThread(pid_t pid, TMessageWindow& notify, UINT doneMessage);
    virtual ~TExWaitForProcessThread();
    TExWaitForProcessThread(const TExWaitForProcessThread&) = delete;
    TExWaitForProcessThread& operator=(const TExWaitForProcessThread&) = delete;

    void Start();
    // Sets the stop event: the wait ends with ExitCodeStopped.
    void Terminate();
    void Join();

    // Valid once the done message has been posted.
    std::uint32_t ExitCode() const { return FExitCode.load(); }
    // errno of a failed wait (0 otherwise).
    int WaitError() const { return FWaitError.load(); }

protected:
    virtual void Execute();

private:
    pid_t FPid;
    TStopEvent FStop;
    TMessageWindow& FNotify;
    UINT FDoneMessage;
    std::atomic<std::uint32_t> FExitCode{ExitCodeWaitFailed};
    std::atomic<int> FWaitError{0};
    std::thread FThread;
};

class TExConsoleThread : public TExWaitForProcessThread {
public:
    TExConsoleThread(pid_t pid, TFileHandle input, TMessageWindow& notify, UINT doneMessage);
    ~TExConsoleThread() override;

protected:
    void Execute() override;

private:
    // The write end of the child's standard input; closed as the watch begins, since no input
    // is ever queued, so that the child reads end-of-file instead of waiting.
    TFileHandle FInput;
};

class TExReadThread {
public:
    // `bufferLimit` bytes may wait for the GUI thread; beyond that the reader waits for room.
    TExReadThread(TFileHandle input, TMessageWindow& notify, UINT dataMessage, UINT doneMessage,
                  size_t bufferLimit = 131072);
    ~TExReadThread();
    TExReadThread(const TExReadThread&) = delete;
    TExReadThread& operator=(const TExReadThread&) = delete;

    void Start();
    // Ends the reading now; what is still in the pipe is left there.
    void Terminate();
    // The writer has gone: read what the pipe still holds, then end.
    void ReadToEnd();
    void Join();

    // On the GUI thread: takes up to `maxBytes` from the front of the buffer.
    std::string Take(size_t maxBytes);
    bool HasData() const;
    // On the GUI thread, before taking: the bytes waiting now. The next append posts a new
    // data message; until then appends post none, so a fast child cannot flood the queue.
    size_t Pending();
    // errno of a failed read (0 otherwise).
    int ReadError() const { return FReadError.load(); }

private:
    enum class TMode { Reading, ToEnd, Terminated };
    void Execute();
    // False once terminated; `notify` tells whether the GUI thread must be told.
    bool Append(const char* data, size_t count, bool& notify);

    TFileHandle FInput;
    TStopEvent FWake;
    TMessageWindow& FNotify;
    UINT FDataMessage;
    UINT FDoneMessage;
    size_t FLimit;
    std::atomic<TMode> FMode{TMode::Reading};
    std::atomic<int> FReadError{0};
    mutable std::mutex FLock;
    std::condition_variable FRoom;
    std::string FBuffer;
    bool FNotified = false; // a data message is on its way and has not been answered
    std::thread FThread;
};
