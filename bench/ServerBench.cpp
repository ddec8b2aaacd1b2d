// The internal HTTP server on 127.0.0.1 beside PHP's own built-in server ("php -S") serving
// the same folder, in one run: requests per second for a 10 KB static file and for a
// hello-world PHP script, with one client and with four; for the static file also the two
// servers taken in turns; and, for the script, the time of starting php-cgi on it directly,
// which bounds what any CGI server can reach (measured alone and in turns with server
// requests). Taking turns keeps a changing machine load out of the ratio. The summary at the
// end gives the ratios.

#include "http/zuCGIRunner.h"
#include "http/zuHTTPModule.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <memory>
#include <netinet/in.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

// One request with "Connection: close"; the answer is read to its end. False on failure.
bool Fetch(int port, const std::string& request, size_t& received)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return false;
    }
    bool ok = ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size());
    char chunk[65536];
    received = 0;
    bool first = true;
    for (;;) {
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        if (first && (n < 12 || std::string_view(chunk + 9, 3) != "200"))
            ok = false;
        first = false;
        received += static_cast<size_t>(n);
    }
    ::close(fd);
    return ok && received > 0;
}

std::string RequestFor(int port, const std::string& target)
{
    return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\nConnection: close\r\n\r\n";
}

int FreePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

pid_t Spawn(const std::vector<std::string>& arguments, const std::vector<std::string>& environment, int out)
{
    std::vector<std::string> args = arguments, env = environment;
    std::vector<char*> argv, envp;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (out >= 0)
        posix_spawn_file_actions_adddup2(&actions, out, 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

struct TBenchEnvironment {
    QTemporaryDir Dir;
    std::string Root;
    std::string CGI;
    std::unique_ptr<THTTPModule> Zentu;
    pid_t PhpServer = -1;
    int PhpPort = 0;

    TBenchEnvironment()
    {
        Root = Dir.path().toStdString() + "/";
        std::string page = "<!DOCTYPE html><html><body>";
        while (page.size() < 10 * 1024 - 16)
            page += "<p>static text</p>";
        page.resize(10 * 1024 - 15);
        page += "</body></html>\n";
        std::FILE* f = std::fopen((Root + "static10k.html").c_str(), "wb");
        std::fwrite(page.data(), 1, page.size(), f);
        std::fclose(f);
        f = std::fopen((Root + "hello.php").c_str(), "wb");
        std::fputs("<?php echo \"Hello, world!\";\n", f);
        std::fclose(f);

        CGI = CGIExecutableFor("");
        Zentu = std::make_unique<THTTPModule>();
        TServerValues values = Zentu->ServerValues();
        values.PHPExecutable = CGI;
        values.DataFolder = Root;
        Zentu->SetServerValues(values);
        const std::string root = Root;
        Zentu->SetDocumentRootSource([root] { return root; });
        Zentu->HTTPServer.SetDefaultPort(0);
        Zentu->RestartServer(true);

        PhpPort = FreePort();
        std::string php = CGI.substr(0, CGI.rfind('/') + 1) + "php";
        PhpServer = Spawn({php, "-S", "127.0.0.1:" + std::to_string(PhpPort), "-t", Root}, {"PATH=/usr/bin:/bin"}, -1);
        size_t received = 0;
        for (int i = 0; i < 200 && !Fetch(PhpPort, RequestFor(PhpPort, "/hello.php"), received); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    ~TBenchEnvironment()
    {
        if (PhpServer > 0) {
            ::kill(PhpServer, SIGTERM);
            ::waitpid(PhpServer, nullptr, 0);
        }
        Zentu.reset();
    }
};

TBenchEnvironment* Env = nullptr;

void Serve(benchmark::State& state, bool zentu, const std::string& target)
{
    const int port = zentu ? Env->Zentu->BoundPort() : Env->PhpPort;
    const std::string request = RequestFor(port, target);
    size_t received = 0, errors = 0;
    for (auto _ : state)
        if (!Fetch(port, request, received))
            ++errors;
    state.SetItemsProcessed(state.iterations());
    state.counters["errors"] = static_cast<double>(errors);
}

void StaticZentu(benchmark::State& state) { Serve(state, true, "/static10k.html"); }
void StaticPhpBuiltIn(benchmark::State& state) { Serve(state, false, "/static10k.html"); }
void PhpZentu(benchmark::State& state) { Serve(state, true, "/hello.php"); }
void PhpPhpBuiltIn(benchmark::State& state) { Serve(state, false, "/hello.php"); }

// php-cgi started on the script with the least a CGI run needs, its output read to the end.
bool RunDirect()
{
    static const std::vector<std::string> environment = {"REDIRECT_STATUS=200", "REQUEST_METHOD=GET",
                                                         "SCRIPT_FILENAME=" + Env->Root + "hello.php",
                                                         "PATH=/usr/bin:/bin"};
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;
    const pid_t pid = Spawn({Env->CGI}, environment, fds[1]);
    ::close(fds[1]);
    char chunk[4096];
    size_t received = 0;
    for (ssize_t n; (n = ::read(fds[0], chunk, sizeof chunk)) != 0;)
        if (n > 0)
            received += static_cast<size_t>(n);
        else if (errno != EINTR)
            break;
    ::close(fds[0]);
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && received > 0;
}

void PhpCgiDirect(benchmark::State& state)
{
    size_t errors = 0;
    for (auto _ : state)
        if (!RunDirect())
            ++errors;
    state.SetItemsProcessed(state.iterations());
    state.counters["errors"] = static_cast<double>(errors);
}

// Two kinds of request taken in turns, so that a changing load on the machine weighs on both
// alike; the counters are their mean times in microseconds and `ratio`, the second's time
// over the first's.
template <typename TFirst, typename TSecond>
void TakeTurns(benchmark::State& state, const char* firstName, TFirst first, const char* secondName, TSecond second)
{
    using Clock = std::chrono::steady_clock;
    Clock::duration firstTime{}, secondTime{};
    size_t errors = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        errors += first() ? 0 : 1;
        const auto t1 = Clock::now();
        errors += second() ? 0 : 1;
        const auto t2 = Clock::now();
        firstTime += t1 - t0;
        secondTime += t2 - t1;
    }
    const double n = static_cast<double>(state.iterations());
    const double firstUs = std::chrono::duration<double, std::micro>(firstTime).count() / n;
    const double secondUs = std::chrono::duration<double, std::micro>(secondTime).count() / n;
    state.counters[firstName] = benchmark::Counter(firstUs, benchmark::Counter::kAvgThreads);
    state.counters[secondName] = benchmark::Counter(secondUs, benchmark::Counter::kAvgThreads);
    state.counters["ratio"] = benchmark::Counter(secondUs / firstUs, benchmark::Counter::kAvgThreads);
    state.counters["errors"] = static_cast<double>(errors);
}

// Direct starts of php-cgi and requests to the server for the script, in turns.
void PhpPaired(benchmark::State& state)
{
    const int port = Env->Zentu->BoundPort();
    const std::string request = RequestFor(port, "/hello.php");
    size_t received = 0;
    TakeTurns(state, "direct_us", RunDirect, "zentu_us", [&] { return Fetch(port, request, received); });
}

// The static file from php -S and from the server, in turns.
void StaticPaired(benchmark::State& state)
{
    const int port = Env->Zentu->BoundPort();
    const std::string zentu = RequestFor(port, "/static10k.html");
    const std::string php = RequestFor(Env->PhpPort, "/static10k.html");
    size_t received = 0;
    TakeTurns(state, "php_us", [&] { return Fetch(Env->PhpPort, php, received); }, "zentu_us",
              [&] { return Fetch(port, zentu, received); });
}

// The same start through the CGI runner's process run, without HTTP around it.
void PhpRunCGIProcess(benchmark::State& state)
{
    TCGIProcessGroups groups;
    TCGIProcessRequest request;
    request.Executable = Env->CGI;
    request.Environment = {"REDIRECT_STATUS=200", "REQUEST_METHOD=GET", "SCRIPT_FILENAME=" + Env->Root + "hello.php",
                           "PATH=/usr/bin:/bin"};
    size_t errors = 0;
    for (auto _ : state)
        if (RunCGIProcess(request, groups).Output.empty())
            ++errors;
    state.SetItemsProcessed(state.iterations());
    state.counters["errors"] = static_cast<double>(errors);
}

constexpr double MinTime = 3.0;
BENCHMARK(StaticZentu)->UseRealTime()->MinTime(MinTime)->Threads(1)->Threads(4);
BENCHMARK(StaticPhpBuiltIn)->UseRealTime()->MinTime(MinTime)->Threads(1)->Threads(4);
BENCHMARK(StaticPaired)->UseRealTime()->MinTime(2 * MinTime)->Threads(1)->Threads(4);
BENCHMARK(PhpCgiDirect)->UseRealTime()->MinTime(MinTime)->Threads(1)->Threads(4);
BENCHMARK(PhpPaired)->UseRealTime()->MinTime(2 * MinTime)->Threads(1)->Threads(4);
BENCHMARK(PhpRunCGIProcess)->UseRealTime()->MinTime(MinTime)->Threads(1)->Threads(4);
BENCHMARK(PhpZentu)->UseRealTime()->MinTime(MinTime)->Threads(1)->Threads(4);
BENCHMARK(PhpPhpBuiltIn)->UseRealTime()->MinTime(MinTime)->Threads(1)->Threads(4);

// Console output plus the ratios the server is held to.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            for (const char* counter : {"items_per_second", "direct_us", "php_us", "zentu_us", "ratio"}) {
                const auto found = run.counters.find(counter);
                if (found != run.counters.end())
                    FRates[run.benchmark_name() + "#" + counter] = found->second.value;
            }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nSummary (requests per second; time per request in microseconds)\n");
        for (const char* threads : {"threads:1", "threads:4"}) {
            const double staticZentu = Rate("StaticZentu", threads), staticPhp = Rate("StaticPhpBuiltIn", threads);
            const double phpZentu = Rate("PhpZentu", threads), phpBuiltIn = Rate("PhpPhpBuiltIn", threads);
            const double direct = Rate("PhpCgiDirect", threads);
            std::printf("%s\n", threads);
            std::printf("  10 KB static: zentu %.0f/s, php -S %.0f/s, ratio %.2f\n", staticZentu, staticPhp,
                        staticPhp > 0 ? staticZentu / staticPhp : 0.0);
            const double zentuUs = Rate("StaticPaired", threads, "zentu_us");
            const double phpUs = Rate("StaticPaired", threads, "php_us");
            std::printf("  10 KB static taken in turns: zentu %.0f us, php -S %.0f us, rate of zentu / rate of php -S "
                        "%.2f (goal >= 0.50)\n",
                        zentuUs, phpUs, zentuUs > 0 ? phpUs / zentuUs : 0.0);
            std::printf("  hello.php: zentu %.0f/s, php -S %.0f/s, php-cgi started directly %.0f/s\n", phpZentu,
                        phpBuiltIn, direct);
            std::printf("  hello.php taken in turns: zentu %.0f us, php-cgi direct %.0f us, zentu / direct %.3f "
                        "(goal <= 1.10)\n",
                        Rate("PhpPaired", threads, "zentu_us"), Rate("PhpPaired", threads, "direct_us"),
                        Rate("PhpPaired", threads, "ratio"));
        }
    }

private:
    double Rate(const std::string& name, const std::string& threads, const std::string& counter = "items_per_second") const
    {
        for (const auto& [key, value] : FRates)
            if (key.rfind(name + "/", 0) == 0 && key.find(threads) != std::string::npos &&
                key.size() > counter.size() && key.compare(key.size() - counter.size() - 1, std::string::npos, "#" + counter) == 0)
                return value;
        return 0;
    }

    std::map<std::string, double> FRates;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TBenchEnvironment environment;
    Env = &environment;
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    Env = nullptr;
    return 0;
}
