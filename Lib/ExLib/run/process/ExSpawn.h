#pragma once
// Starting and watching child processes on Linux: pipes with close-on-exec on every
// descriptor, a fork-exec start that reports a failed exec as the system error it was, runs
// whose whole process tree is kept together and ended with them, waiting for a child's end
// together with a stop event, and reaping children nobody watches.

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// Exit codes a run can end with besides the process's own (0 to 255, or 128 + the signal
// number for a process ended by a signal): none of them can be a process's exit status.
constexpr std::uint32_t ExitCodeStopped = 0xFFFFFFFF;    // watching was stopped first
constexpr std::uint32_t ExitCodeWaitFailed = 0xFFFFFFFE; // the wait itself failed

// A file descriptor that is closed when its owner goes.
class TFileHandle {
public:
    TFileHandle() = default;
    explicit TFileHandle(int fd) : FFd(fd) {}
    ~TFileHandle() { Close(); }
    TFileHandle(TFileHandle&& other) noexcept : FFd(other.Release()) {}
    TFileHandle& operator=(TFileHandle&& other) noexcept;
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;

    int Fd() const { return FFd; }
    bool Valid() const { return FFd >= 0; }
    int Release();
    void Close();

private:
    int FFd = -1;
};

struct TPipe {
    TFileHandle Read;
    TFileHandle Write;
};
// Raises EOSError when the system refuses.
TPipe CreatePipe();

// The null-terminated pointer array exec and spawn calls take; valid while `strings` lives
// unchanged.
std::vector<char*> PointersTo(std::vector<std::string>& strings);

// A manual-reset event that wakes a poll: once set it stays set.
class TStopEvent {
public:
    TStopEvent();
    void Set();
    bool IsSet() const;
    int Fd() const { return FHandle.Fd(); }

private:
    TFileHandle FHandle;
};

struct TSpawnRequest {
    std::string Program;                // a path, or a name looked up on PATH
    std::vector<std::string> Arguments; // argv, the program's name first
    std::optional<std::vector<std::string>> Environment; // none: the parent's
    std::string Directory;              // empty: the parent's
    std::optional<int> Niceness;        // none: the parent's
    bool NewProcessGroup = false;
    bool NewSession = false;
    bool Suspended = false;             // stopped (SIGSTOP) before the program starts
    int StdIn = -1;                     // -1: inherited
    int StdOut = -1;
    int StdErr = -1;
    // The program runs below a keeper process of its own that holds everything the program
    // starts, whatever it does to its process group or session, and ends all of it when the
    // program ends, when EndProcessTree asks, or when this process ends. The pid returned is
    // then the keeper's; it ends with the program's own status once nothing of the run is
    // left. Not with Suspended: the keeper would not pass the resumption on.
    bool ContainTree = false;
};

// Starts the program; raises EOSError with the system's code when it cannot run (also when the
// program is missing or not executable).
pid_t SpawnProcess(const TSpawnRequest& request);

// The exit code of a wait status: the exit status, or 128 + the signal number.
std::uint32_t ExitCodeOfStatus(int status);

struct TWaitResult {
    std::uint32_t ExitCode = ExitCodeWaitFailed;
    int Error = 0; // errno of a failed wait
};
// Waits until the child `pid` ends (ExitCode from its status) or `stop` is set (ExitCodeStopped).
TWaitResult WaitForChild(pid_t pid, const TStopEvent& stop);

// Ends the whole process tree of a contained run (the keeper's pid) with SIGKILL; the keeper
// ends last, killed by SIGKILL unless the program had ended by itself.
void EndProcessTree(pid_t keeper);

// Lets the system collect `pid` once it ends, so that no zombie is left behind.
void ReapInBackground(pid_t pid);
