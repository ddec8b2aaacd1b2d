#include "ExLib/run/process/ExSpawn.h"

#include "ExLib/run/process/ExSpawnChild.h"

#include "Platform/core/Exceptions.h"
#include "Platform/files/FileNames.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

TFileHandle& TFileHandle::operator=(TFileHandle&& other) noexcept
{
    if (this != &other) {
        Close();
        FFd = other.Release();
    }
    return *this;
}

int TFileHandle::Release()
{
    const int fd = FFd;
    FFd = -1;
    return fd;
}

void TFileHandle::Close()
{
    if (FFd >= 0)
        ::close(FFd);
    FFd = -1;
}

TPipe CreatePipe()
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        RaiseLastOSError();
    return TPipe{TFileHandle(fds[0]), TFileHandle(fds[1])};
}

TStopEvent::TStopEvent() : FHandle(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (!FHandle.Valid())
        RaiseLastOSError();
}

void TStopEvent::Set()
{
    const std::uint64_t one = 1;
    // invariant: the counter is never read, so the event stays set.
    [[maybe_unused]] const ssize_t n = ::write(FHandle.Fd(), &one, sizeof one);
}

bool TStopEvent::IsSet() const
{
    pollfd p{FHandle.Fd(), POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
}

namespace {

bool IsExecutableFile(const std::string& path)
{
    return ::access(path.c_str(), X_OK) == 0 && FileExists(path);
}

// The file exec runs: a name without "/" is looked up on PATH, as the shell does.
std::string ResolveProgram(const std::string& program, int& error)
{
    error = 0;
    if (program.empty()) {
        error = ENOENT;
        return {};
    }
    if (program.find('/') != std::string::npos)
        return program;
    const char* path = std::getenv("PATH");
    const std::string dirs = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        const std::string dir = end > start ? dirs.substr(start, end - start) : std::string(".");
        const std::string candidate = dir + "/" + program;
        if (IsExecutableFile(candidate))
            return candidate;
        start = end + 1;
    }
    error = ENOENT;
    return {};
}

} // namespace

std::vector<char*> PointersTo(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    pointers.reserve(strings.size() + 1);
    for (std::string& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

pid_t SpawnProcess(const TSpawnRequest& request)
{
    int error = 0;
    const std::string file = ResolveProgram(request.Program, error);
    if (error != 0)
        RaiseLastOSError(error);
    std::vector<std::string> args = request.Arguments;
    if (args.empty())
        args.push_back(request.Program);
    std::vector<char*> argv = PointersTo(args);
    std::vector<std::string> env;
    std::vector<char*> envp;
    if (request.Environment) {
        env = *request.Environment;
        envp = PointersTo(env);
    }
    TPipe report = CreatePipe();
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0)
        RaiseLastOSError();
    if (pid == 0) {
        report.Read.Close();
        char* const* environment = request.Environment ? envp.data() : environ;
        if (request.ContainTree)
            RunKeeper(request, file.c_str(), argv.data(), environment, report.Write.Fd(), parent);
        RunChild(request, file.c_str(), argv.data(), environment, report.Write.Fd(), false);
    }
    report.Write.Close();
    int childError = 0;
    ssize_t n;
    do
        n = ::read(report.Read.Fd(), &childError, sizeof childError);
    while (n < 0 && errno == EINTR);
    if (n == static_cast<ssize_t>(sizeof childError)) {
        // The exec failed: collect the child, then report why.
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        RaiseLastOSError(childError);
    }
    return pid;
}

std::uint32_t ExitCodeOfStatus(int status)
{
    if (WIFEXITED(status))
        return static_cast<std::uint32_t>(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return 128u + static_cast<std::uint32_t>(WTERMSIG(status));
    return ExitCodeWaitFailed;
}

TWaitResult WaitForChild(pid_t pid, const TStopEvent& stop)
{
    // why: the C library's header of this call lacks C linkage here; the system call is the same.
    TFileHandle process(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
    for (;;) {
        pollfd fds[2] = {{stop.Fd(), POLLIN, 0}, {process.Fd(), POLLIN, 0}};
        // Without a process descriptor the end is asked for every 50 ms.
        const int ready = ::poll(fds, process.Valid() ? 2 : 1, process.Valid() ? -1 : 50);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return {ExitCodeWaitFailed, errno};
        }
        if (fds[0].revents & POLLIN)
            return {ExitCodeStopped, 0};
        if (process.Valid() && fds[1].revents == 0)
            continue;
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, process.Valid() ? 0 : WNOHANG);
        if (done == pid)
            return {ExitCodeOfStatus(status), 0};
        if (done == 0)
            continue;
        if (errno == EINTR)
            continue;
        return {ExitCodeWaitFailed, errno};
    }
}

void EndProcessTree(pid_t keeper)
{
    ::kill(keeper, SIGTERM);
}

void ReapInBackground(pid_t pid)
{
    // why: a child nobody waits for would stay a zombie until the program ends.
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}
