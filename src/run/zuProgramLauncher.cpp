// Programs that go on by themselves: start, watch, report.

#include "run/zuProgramLauncher.h"

#include "ExLib/run/process/ExSpawn.h"

#include "Platform/core/Exceptions.h"

#include <QMetaObject>

#include <thread>

struct TProgramLauncher::TRun {
    pid_t Pid = 0;
    TStopEvent Stop;
    std::thread Watcher;
    // Set by the watcher once it has collected the process; read after joining it.
    bool Reaped = false;
};

TProgramLauncher::TProgramLauncher() : FReceiver(std::make_unique<QObject>()) {}

TProgramLauncher::~TProgramLauncher()
{
    for (const auto& run : FRuns) {
        run->Stop.Set();
        if (run->Watcher.joinable())
            run->Watcher.join();
    }
    // invariant: a process id is waited for once; after that the system may hand it out again.
    for (const auto& run : FRuns)
        if (!run->Reaped)
            ReapInBackground(run->Pid);
}

pid_t TProgramLauncher::Launch(const std::vector<std::string>& arguments, const std::string& directory)
{
    if (arguments.empty())
        throw EInvalidArgument("No program to run");
    TSpawnRequest request;
    request.Program = arguments.front();
    request.Arguments = arguments;
    request.Directory = directory;
    // why: a session of its own keeps the run apart from the IDE's terminal and its signals.
    request.NewSession = true;
    auto run = std::make_unique<TRun>();
    run->Pid = SpawnProcess(request);
    TRun* started = run.get();
    FRuns.push_back(std::move(run));
    QObject* receiver = FReceiver.get();
    started->Watcher = std::thread([this, started, receiver] {
        const TWaitResult result = WaitForChild(started->Pid, started->Stop);
        if (result.ExitCode == ExitCodeStopped)
            return;
        started->Reaped = true;
        QMetaObject::invokeMethod(receiver, [this, started, code = result.ExitCode] { Ended(started, code); },
                                  Qt::QueuedConnection);
    });
    return started->Pid;
}

void TProgramLauncher::Ended(TRun* run, std::uint32_t exitCode)
{
    for (auto it = FRuns.begin(); it != FRuns.end(); ++it) {
        if (it->get() != run)
            continue;
        if (run->Watcher.joinable())
            run->Watcher.join();
        const pid_t pid = run->Pid;
        FRuns.erase(it);
        if (OnTerminate)
            OnTerminate(pid, exitCode);
        return;
    }
}

int TProgramLauncher::RunningCount() const
{
    return static_cast<int>(FRuns.size());
}
