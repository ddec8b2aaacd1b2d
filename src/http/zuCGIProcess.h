#pragma once
// One CGI process run: the executable started directly (no shell) below a keeper that holds
// its whole process tree, with the given environment, the request body on its standard input,
// its standard output and standard error collected apart, a time-out after which the whole tree
// is ended; and the register of running runs through which the server ends exactly the
// processes it started.

#include <chrono>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <sys/types.h>
#include <vector>

// The runs in progress, by the pids of their keepers.
class TCGIProcessGroups {
public:
    // Ends the process tree of every registered run and refuses (ends at once) runs registered
    // from now on, until AllowRuns.
    void EndAll();
    void AllowRuns();
    bool RunsAllowed() const;
    size_t Count() const;

    // false: runs are refused, the run's tree has been ended already.
    bool Register(pid_t keeper);
    void Unregister(pid_t keeper);

private:
    mutable std::mutex FLock;
    std::set<pid_t> FGroups;
    bool FEnded = false;
};

// Standard input that arrives while the run goes on (a request body coming in over the
// network): taken as the process reads, so that it is never held whole.
class TCGIInputSource {
public:
    virtual ~TCGIInputSource() = default;
    // Bytes still to come; 0 once all were taken.
    virtual std::int64_t InputLeft() const = 0;
    // Becomes readable when more can be taken.
    virtual int InputFd() const = 0;
    // Appends at most `limit` bytes that have arrived, without waiting; false when the rest
    // will never come.
    virtual bool TakeInput(std::string& into, size_t limit) = 0;
};

struct TCGIProcessResult {
    // 0 when the process started, else the system's error code.
    int StartError = 0;
    // The pipes to the process could not be made (StartError holds why).
    bool PipeFailed = false;
    bool TimedOut = false;
    // Ended by TCGIProcessGroups::EndAll (or by another signal) rather than by itself.
    bool Killed = false;
    // It wrote more than MaxOutput bytes to one of its outputs and its tree was ended.
    bool OutputTooLarge = false;
    // The client hung up, or its input stopped coming, and the tree was ended.
    bool ClientGone = false;
    int ExitCode = -1;
    std::string Output;
    std::string ErrorOutput;
};

// why: the whole output is held in memory; a script that never stops writing must not take
// the program's memory with it.
inline constexpr size_t MaxCGIOutputSize = 64u << 20;

struct TCGIProcessRequest {
    std::string Executable;
    std::vector<std::string> Arguments; // after the program name
    std::vector<std::string> Environment; // "NAME=VALUE", nothing else is passed
    std::string Input;
    // More standard input after `Input`, streamed as the process takes it; not owned.
    TCGIInputSource* InputSource = nullptr;
    // When the peer of this socket hangs up, the run ends (ClientGone); -1 for none.
    int ClientFd = -1;
    std::chrono::milliseconds TimeOut{30000};
    // The most bytes kept of the standard output and of the standard error each.
    size_t MaxOutput = MaxCGIOutputSize;
};

// Runs the process to its end, its time-out, its output limit or its client's end. Never
// raises: a failed start is StartError. A child that stops reading early only ends the input.
// Whichever way the run ends, its whole process tree is ended with it before this returns:
// whatever the script started goes too, also in a process group or session of its own.
TCGIProcessResult RunCGIProcess(const TCGIProcessRequest& request, TCGIProcessGroups& groups);
