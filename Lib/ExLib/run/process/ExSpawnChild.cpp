#include "ExLib/run/process/ExSpawnChild.h"

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/signalfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

[[noreturn]] void Fail(int report)
{
    const int error = errno;
    if (report >= 0) {
        [[maybe_unused]] const ssize_t n = ::write(report, &error, sizeof error);
    }
    ::_exit(127);
}

// The signals a child gets back at their defaults, whatever this program does with them.
constexpr int DefaultSignals[] = {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD};

// why: straight to the system; the sanitizers' wrappers of sigaction keep their own handlers.
void SetDefaultAction(int signal)
{
    struct {
        unsigned long Handler = 0; // SIG_DFL
        unsigned long Flags = 0;
        unsigned long Restorer = 0;
        unsigned long Mask = 0;
    } action;
    ::syscall(SYS_rt_sigaction, signal, &action, nullptr, sizeof action.Mask);
}

// dup2 clears close-on-exec on the copies.
void PlaceStandardDescriptors(const TSpawnRequest& r, int report)
{
    if (r.StdIn >= 0 && ::dup2(r.StdIn, 0) < 0)
        Fail(report);
    if (r.StdOut >= 0 && ::dup2(r.StdOut, 1) < 0)
        Fail(report);
    if (r.StdErr >= 0 && ::dup2(r.StdErr, 2) < 0)
        Fail(report);
}

} // namespace

void RunChild(const TSpawnRequest& r, const char* file, char* const* argv, char* const* envp, int report,
              bool stdioInPlace)
{
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    for (const int signal : DefaultSignals)
        ::signal(signal, SIG_DFL);
    if (r.NewSession && ::setsid() < 0)
        Fail(report);
    if (!r.NewSession && r.NewProcessGroup && ::setpgid(0, 0) != 0)
        Fail(report);
    // The originals close at exec.
    if (!stdioInPlace)
        PlaceStandardDescriptors(r, report);
    if (!r.Directory.empty() && ::chdir(r.Directory.c_str()) != 0)
        Fail(report);
    // why: like a priority class the system cannot grant, a niceness it refuses is left out.
    if (r.Niceness)
        ::setpriority(PRIO_PROCESS, 0, *r.Niceness);
    if (r.Suspended) {
        // why: the parent waits for the report only until the program starts; a stopped child
        // must not keep it waiting, so a later exec failure shows as exit code 127.
        ::close(report);
        report = -1;
        ::raise(SIGSTOP);
    }
    ::execve(file, argv, envp);
    Fail(report);
}

namespace {

// ---- the keeper's view of its children

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Appends the decimal digits of `value` at `p`; returns the end.
char* AppendDecimal(char* p, long value)
{
    char digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (count > 0)
        *p++ = digits[--count];
    return p;
}

char* AppendText(char* p, const char* text)
{
    while (*text)
        *p++ = *text++;
    return p;
}

// Calls `each` with every number in the file, numbers being separated by anything else.
template <class F> bool ForEachNumberIn(const char* path, F each)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char buffer[4096];
    long number = -1;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        for (ssize_t i = 0; i < n; ++i) {
            if (IsDigit(buffer[i])) {
                number = (number < 0 ? 0 : number * 10) + (buffer[i] - '0');
            } else if (number >= 0) {
                each(static_cast<pid_t>(number));
                number = -1;
            }
        }
    }
    if (number >= 0)
        each(static_cast<pid_t>(number));
    ::close(fd);
    return true;
}

// The parent of `pid` by its stat line, or -1 when it has gone.
pid_t ParentOf(pid_t pid)
{
    char path[64];
    char* p = AppendDecimal(AppendText(path, "/proc/"), pid);
    AppendText(p, "/stat")[0] = '\0';
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    char line[1024];
    const ssize_t n = ::read(fd, line, sizeof line);
    ::close(fd);
    if (n <= 0)
        return -1;
    // The name in parentheses may hold anything; the fields after its last ")" are "S ppid".
    ssize_t nameEnd = n - 1;
    while (nameEnd >= 0 && line[nameEnd] != ')')
        --nameEnd;
    ssize_t i = nameEnd + 1;
    while (i < n && line[i] == ' ')
        ++i;
    while (i < n && line[i] != ' ')
        ++i; // the state
    while (i < n && line[i] == ' ')
        ++i;
    long parent = -1;
    for (; i < n && IsDigit(line[i]); ++i)
        parent = (parent < 0 ? 0 : parent * 10) + (line[i] - '0');
    return static_cast<pid_t>(parent);
}

// Calls `each` with every living child of this process.
template <class F> void ForEachChild(pid_t self, F each)
{
    char path[64];
    char* p = AppendDecimal(AppendText(path, "/proc/self/task/"), self);
    AppendText(p, "/children")[0] = '\0';
    if (ForEachNumberIn(path, each))
        return;
    // Without the kernel's list of children, every process's parent is looked at.
    const int dir = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return;
    alignas(8) char entries[8192];
    for (;;) {
        const long n = ::syscall(SYS_getdents64, dir, entries, sizeof entries);
        if (n <= 0)
            break;
        for (long at = 0; at < n;) {
            const auto* entry = reinterpret_cast<const dirent64*>(entries + at);
            at += entry->d_reclen;
            long pid = 0;
            const char* name = entry->d_name;
            if (!IsDigit(*name))
                continue;
            for (; IsDigit(*name); ++name)
                pid = pid * 10 + (*name - '0');
            if (*name == '\0' && ParentOf(static_cast<pid_t>(pid)) == self)
                each(static_cast<pid_t>(pid));
        }
    }
    ::close(dir);
}

struct TKeeperState {
    pid_t Self = 0;
    pid_t Program = 0;
    int ProgramStatus = 0;
    bool ProgramDone = false;

    void Collected(pid_t pid, int status)
    {
        if (pid == Program) {
            ProgramStatus = status;
            ProgramDone = true;
        }
    }

    // Collects every child that has ended; false once there are none left at all.
    bool CollectEnded()
    {
        for (;;) {
            int status = 0;
            const pid_t pid = ::waitpid(-1, &status, WNOHANG);
            if (pid > 0) {
                Collected(pid, status);
                continue;
            }
            if (pid < 0 && errno == EINTR)
                continue;
            return !(pid < 0 && errno == ECHILD);
        }
    }

    // Kills every process below the keeper. A killed child's own children become the keeper's
    // as it dies, so killing the children until none is left reaches the whole tree, however
    // deep, and whatever joins it meanwhile.
    void EndTree()
    {
        while (CollectEnded()) {
            ForEachChild(Self, [](pid_t child) { ::kill(child, SIGKILL); });
            int status = 0;
            const pid_t pid = ::waitpid(-1, &status, 0);
            if (pid > 0)
                Collected(pid, status);
        }
    }
};

// Ends the keeper the way its program ended.
[[noreturn]] void EndAs(int status)
{
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        SetDefaultAction(signal);
        sigset_t only;
        sigemptyset(&only);
        sigaddset(&only, signal);
        ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
        ::kill(::getpid(), signal);
        ::_exit(128 + signal);
    }
    ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 127);
}

} // namespace

void RunKeeper(const TSpawnRequest& r, const char* file, char* const* argv, char* const* envp, int report,
               pid_t parent)
{
    // The program's standard descriptors go in place now; the keeper gives them up once the
    // program has them, so that only the program and what it starts keep them open.
    PlaceStandardDescriptors(r, report);
    // why: the keeper never execs, so close-on-exec does not help: whatever descriptors of the
    // program's it kept (another run's pipes among them) would stay open as long as it runs.
    constexpr int ReportFd = 3;
    if (report != ReportFd && ::dup3(report, ReportFd, O_CLOEXEC) < 0)
        Fail(report);
    report = ReportFd;
    ::syscall(SYS_close_range, ReportFd + 1, ~0U, 0);

    sigset_t watched;
    sigemptyset(&watched);
    for (const int signal : {SIGCHLD, SIGTERM, SIGHUP, SIGINT, SIGQUIT})
        sigaddset(&watched, signal);
    ::sigprocmask(SIG_BLOCK, &watched, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    const int signalFd = ::signalfd(-1, &watched, SFD_CLOEXEC);
    if (signalFd < 0 || ::prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0)
        Fail(report);
    // The program's end is seen through a descriptor of the whole process; where the system
    // has none, through the end of the thread that started the keeper.
    const int parentFd = static_cast<int>(::syscall(SYS_pidfd_open, parent, 0));
    if (parentFd < 0)
        ::prctl(PR_SET_PDEATHSIG, SIGTERM, 0, 0, 0);
    if (::getppid() != parent)
        ::_exit(127);

    TKeeperState state;
    state.Self = ::getpid();
    state.Program = ::fork();
    if (state.Program < 0)
        Fail(report);
    if (state.Program == 0) {
        ::close(signalFd);
        if (parentFd >= 0)
            ::close(parentFd);
        RunChild(r, file, argv, envp, report, true);
    }
    ::close(report);
    ::close(0);
    ::close(1);
    ::close(2);

    for (;;) {
        pollfd fds[2] = {{signalFd, POLLIN, 0}, {parentFd, POLLIN, 0}};
        const int ready = ::poll(fds, parentFd >= 0 ? 2 : 1, -1);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0 || (parentFd >= 0 && fds[1].revents != 0))
            break;
        signalfd_siginfo info{};
        const ssize_t n = ::read(signalFd, &info, sizeof info);
        if (n < 0 && errno == EINTR)
            continue;
        if (n != static_cast<ssize_t>(sizeof info) || info.ssi_signo != SIGCHLD)
            break;
        state.CollectEnded();
        if (state.ProgramDone)
            break;
    }
    state.EndTree();
    EndAs(state.ProgramStatus);
}
