// CGI process runs and the register of the runs in progress.

#include "http/zuCGIProcess.h"

#include "ExLib/run/process/ExSpawn.h"

#include "Platform/core/Exceptions.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

void TCGIProcessGroups::EndAll()
{
    const std::lock_guard lock(FLock);
    FEnded = true;
    for (const pid_t keeper : FGroups)
        EndProcessTree(keeper);
}

void TCGIProcessGroups::AllowRuns()
{
    const std::lock_guard lock(FLock);
    FEnded = false;
}

bool TCGIProcessGroups::RunsAllowed() const
{
    const std::lock_guard lock(FLock);
    return !FEnded;
}

size_t TCGIProcessGroups::Count() const
{
    const std::lock_guard lock(FLock);
    return FGroups.size();
}

bool TCGIProcessGroups::Register(pid_t keeper)
{
    const std::lock_guard lock(FLock);
    FGroups.insert(keeper);
    if (FEnded)
        EndProcessTree(keeper);
    return !FEnded;
}

void TCGIProcessGroups::Unregister(pid_t keeper)
{
    const std::lock_guard lock(FLock);
    FGroups.erase(keeper);
}

namespace {

// Reads one chunk of what is there; false at the end of the stream.
// why: one read per wake-up; a child that writes without pause would otherwise keep the
// reader here, past the time-out and the output limit.
bool ReadChunk(int fd, std::string& into)
{
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n > 0) {
            into.append(chunk, static_cast<size_t>(n));
            return true;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

// Blocks SIGPIPE on the calling thread while it lives, so that writing to a child that has
// gone fails with EPIPE instead of ending the program; a SIGPIPE raised meanwhile is taken
// back before the old mask returns.
class TPipeSignalGuard {
public:
    TPipeSignalGuard()
    {
        sigemptyset(&FPipe);
        sigaddset(&FPipe, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        FWasPending = sigismember(&pending, SIGPIPE) == 1;
        ::pthread_sigmask(SIG_BLOCK, &FPipe, &FOld);
    }
    ~TPipeSignalGuard()
    {
        sigset_t pending;
        sigpending(&pending);
        if (!FWasPending && sigismember(&pending, SIGPIPE) == 1) {
            const timespec none{0, 0};
            while (::sigtimedwait(&FPipe, nullptr, &none) < 0 && errno == EINTR) {
            }
        }
        ::pthread_sigmask(SIG_SETMASK, &FOld, nullptr);
    }
    TPipeSignalGuard(const TPipeSignalGuard&) = delete;
    TPipeSignalGuard& operator=(const TPipeSignalGuard&) = delete;

private:
    sigset_t FPipe;
    sigset_t FOld;
    bool FWasPending = false;
};

bool HasExited(pid_t pid)
{
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid;
}

} // namespace

namespace {

// The standard input of a run: the given bytes first, then what the source delivers, written
// as the process takes it. Holds at most one chunk of the source at a time.
class TRunInput {
public:
    TRunInput(const TCGIProcessRequest& request, TFileHandle& pipe) : FGiven(request.Input), FSource(request.InputSource), FPipe(pipe)
    {
        CloseWhenDone();
        if (FPipe.Valid())
            ::fcntl(FPipe.Fd(), F_SETFL, ::fcntl(FPipe.Fd(), F_GETFL) | O_NONBLOCK);
    }

    // Has bytes for the process.
    bool HasPending() const { return FPipe.Valid() && (!FGiven.empty() || FChunkAt < FChunk.size()); }
    // Wants more from the source.
    bool WantsSource() const { return FPipe.Valid() && !HasPending() && SourceLeft(); }

    // Takes what the source has now (it may hold bytes that no descriptor announces). False
    // when the source failed: the rest of the input will never come, and the input ends.
    bool TakeFromSource()
    {
        FChunk.clear();
        FChunkAt = 0;
        if (!FSource->TakeInput(FChunk, ChunkSize)) {
            FPipe.Close();
            return false;
        }
        CloseWhenDone();
        return true;
    }

    void WriteSome()
    {
        std::string_view bytes = !FGiven.empty() ? FGiven : std::string_view(FChunk).substr(FChunkAt);
        const ssize_t n = ::write(FPipe.Fd(), bytes.data(), bytes.size());
        if (n > 0) {
            if (!FGiven.empty())
                FGiven.remove_prefix(static_cast<size_t>(n));
            else
                FChunkAt += static_cast<size_t>(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            // why: a child that does not read its input gets EPIPE or leaves it unread; either
            // way the input ends and the run goes on.
            FPipe.Close();
        }
        CloseWhenDone();
    }

private:
    static constexpr size_t ChunkSize = 65536;
    bool SourceLeft() const { return FSource && FSource->InputLeft() > 0; }
    void CloseWhenDone()
    {
        if (FPipe.Valid() && !HasPending() && !SourceLeft())
            FPipe.Close();
    }

    std::string_view FGiven;
    TCGIInputSource* FSource;
    TFileHandle& FPipe;
    std::string FChunk;
    size_t FChunkAt = 0;
};

} // namespace

TCGIProcessResult RunCGIProcess(const TCGIProcessRequest& request, TCGIProcessGroups& groups)
{
    TCGIProcessResult result;
    if (!groups.RunsAllowed()) {
        result.StartError = ECANCELED;
        return result;
    }
    TPipe input, output, errors;
    try {
        input = CreatePipe();
        output = CreatePipe();
        errors = CreatePipe();
    } catch (const EOSError& e) {
        result.StartError = e.ErrorCode();
        result.PipeFailed = true;
        return result;
    }

    TSpawnRequest spawn;
    spawn.Program = request.Executable;
    spawn.Arguments.reserve(request.Arguments.size() + 1);
    spawn.Arguments.push_back(request.Executable);
    spawn.Arguments.insert(spawn.Arguments.end(), request.Arguments.begin(), request.Arguments.end());
    spawn.Environment = request.Environment;
    spawn.StdIn = input.Read.Fd();
    spawn.StdOut = output.Write.Fd();
    spawn.StdErr = errors.Write.Fd();
    // why: the keeper holds the interpreter and anything it starts, in whatever group or
    // session, so that the run's end or a server stop ends all of it and nothing else.
    spawn.NewProcessGroup = true;
    spawn.ContainTree = true;
    pid_t pid = 0;
    try {
        pid = SpawnProcess(spawn);
    } catch (const EOSError& e) {
        result.StartError = e.ErrorCode();
        return result;
    }
    input.Read.Close();
    output.Write.Close();
    errors.Write.Close();
    groups.Register(pid);

    TFileHandle process(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
    ::fcntl(output.Read.Fd(), F_SETFL, ::fcntl(output.Read.Fd(), F_GETFL) | O_NONBLOCK);
    ::fcntl(errors.Read.Fd(), F_SETFL, ::fcntl(errors.Read.Fd(), F_GETFL) | O_NONBLOCK);

    const TPipeSignalGuard pipeSignal;
    TRunInput stdIn(request, input.Write);
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + request.TimeOut;
    // Once the tree was ended, how long to wait for the pipes to report their end.
    auto giveUp = Clock::time_point::max();
    bool exited = false;
    const auto endGroup = [&](Clock::time_point now) {
        if (giveUp == Clock::time_point::max()) {
            EndProcessTree(pid);
            giveUp = now + std::chrono::seconds(1);
        }
    };
    for (;;) {
        const auto now = Clock::now();
        // invariant: the keeper is not collected yet, so its pid is still ours to signal.
        if (exited)
            endGroup(now);
        if (exited && !output.Read.Valid() && !errors.Read.Valid())
            break;
        bool ending = result.TimedOut || result.OutputTooLarge || result.ClientGone;
        if (!ending && stdIn.WantsSource() && !stdIn.TakeFromSource()) {
            result.ClientGone = ending = true;
            endGroup(now);
        }
        if (result.Output.size() > request.MaxOutput || result.ErrorOutput.size() > request.MaxOutput) {
            if (!ending) {
                result.OutputTooLarge = true;
                endGroup(now);
            }
            // invariant: nothing more is kept once an output has passed its limit.
            output.Read.Close();
            errors.Read.Close();
        } else if (!ending && now >= deadline) {
            result.TimedOut = true;
            endGroup(now);
        }
        if (now >= giveUp)
            break;
        const auto until = giveUp != Clock::time_point::max() ? giveUp : deadline;
        auto waitMs = std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count() + 1;
        if (!process.Valid() && !exited)
            waitMs = std::min<long long>(waitMs, 20);

        pollfd fds[6];
        int count = 0;
        const auto watch = [&](int fd, short events) {
            if (fd < 0)
                return -1;
            fds[count] = {fd, events, 0};
            return count++;
        };
        const int outIndex = watch(output.Read.Valid() ? output.Read.Fd() : -1, POLLIN);
        const int errIndex = watch(errors.Read.Valid() ? errors.Read.Fd() : -1, POLLIN);
        const int inIndex = watch(stdIn.HasPending() ? input.Write.Fd() : -1, POLLOUT);
        watch(stdIn.WantsSource() ? request.InputSource->InputFd() : -1, POLLIN);
        const int processIndex = watch(process.Valid() && !exited ? process.Fd() : -1, POLLIN);
        const int clientIndex = watch(giveUp == Clock::time_point::max() ? request.ClientFd : -1, POLLRDHUP);
        const int ready = ::poll(fds, static_cast<nfds_t>(count), static_cast<int>(waitMs));
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0) {
            if (!process.Valid() && !exited)
                exited = HasExited(pid);
            continue;
        }
        if (outIndex >= 0 && fds[outIndex].revents && !ReadChunk(output.Read.Fd(), result.Output))
            output.Read.Close();
        if (errIndex >= 0 && fds[errIndex].revents && !ReadChunk(errors.Read.Fd(), result.ErrorOutput))
            errors.Read.Close();
        if (inIndex >= 0 && fds[inIndex].revents)
            stdIn.WriteSome();
        if (clientIndex >= 0 && (fds[clientIndex].revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL)) && !ending) {
            result.ClientGone = true;
            endGroup(Clock::now());
        }
        if (processIndex >= 0 && fds[processIndex].revents)
            exited = true;
        if (!process.Valid() && !exited)
            exited = HasExited(pid);
    }
    input.Write.Close();
    // invariant: the keeper leaves the register before it is collected, so that a later EndAll
    // can never signal a pid the system has handed out again.
    groups.Unregister(pid);
    EndProcessTree(pid);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        result.ExitCode = WEXITSTATUS(status);
    result.Killed = WIFSIGNALED(status);
    return result;
}
