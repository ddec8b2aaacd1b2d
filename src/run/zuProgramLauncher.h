#pragma once
// TProgramLauncher: starts programs that go on by themselves (the opener of the user's web
// browser) from an argument list, without a shell between, each in a session of its own;
// watches every run on a thread of its own and reports its end on the GUI thread. The IDE never
// waits for a run and never ends one; several may run at once.

#include <QObject>

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <vector>

class TProgramLauncher {
public:
    TProgramLauncher();
    // Stops watching; runs still open keep running and are reaped when they end.
    ~TProgramLauncher();
    TProgramLauncher(const TProgramLauncher&) = delete;
    TProgramLauncher& operator=(const TProgramLauncher&) = delete;

    // Starts arguments[0] (a path, or a name looked up on PATH) with the arguments, in
    // `directory` ("" for the current one). Returns the process id; raises EOSError when the
    // program cannot be started.
    pid_t Launch(const std::vector<std::string>& arguments, const std::string& directory);

    // Runs started and not yet ended.
    int RunningCount() const;

    // A run ended: its process id and exit code (128 + the signal number when a signal ended it).
    std::function<void(pid_t pid, std::uint32_t exitCode)> OnTerminate;

private:
    struct TRun;
    void Ended(TRun* run, std::uint32_t exitCode);

    // Delivers the ends on the GUI thread; calls queued to it die with it.
    std::unique_ptr<QObject> FReceiver;
    std::list<std::unique_ptr<TRun>> FRuns;
};
