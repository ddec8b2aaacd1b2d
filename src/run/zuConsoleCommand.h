#pragma once
// The console command runner: runs one command hidden, with its standard output and standard
// error on one pipe, and delivers the output line by line while it runs: into a caller's line
// list (the output window's), into its own list of complete lines, and through an event. A
// worker thread waits and reads; every delivery happens on the GUI thread, in the order the
// lines were read. A one-second timer measures how long the command has run and how long it has
// been silent, for optional time limits (a limit ends only the wait, not the command). Whatever
// the command starts ends when the command ends, when the run is stopped and when the program
// ends, also in a process group or session of its own.

#include "Platform/core/Component.h"
#include "Platform/text/Strings.h"

#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

enum class TOutputType { otEntireLine, otBeginningOfLine };

using TNewLineEvent = std::function<void(TObject* Sender, const std::string& NewLine, TOutputType OutputType)>;

// The run's clock: seconds since the start and since the last complete line. It ticks on the GUI
// thread; the worker reads the counters.
class TProcessTimer {
public:
    TProcessTimer();
    void Restart();
    void Stop();
    void Tick();
    bool Running() const { return FTimer.isActive(); }
    std::atomic<int> SinceBeginning{0};
    std::atomic<int> SinceLastOutput{0};

private:
    QTimer FTimer;
};

class TDosCommand : public TComponent {
public:
    explicit TDosCommand(TComponent* AOwner);
    // Tells every run to stop, ends its command and waits for its worker.
    ~TDosCommand() override;

    // The program and its arguments; each travels to the program as it is.
    std::vector<std::string> Arguments;
    // The command line as shown to the user; nothing starts while Arguments is empty.
    std::string CommandLine() const;
    int MaxTimeAfterBeginning = 0;
    int MaxTimeAfterLastOutput = 0;
    // Kept for the worker; no input is ever queued.
    bool InputToOutput = false;
    TNewLineEvent OnNewLine;
    TNotifyEvent OnTerminated;

    // The list that shows the lines as they come (null: none).
    void AssignLineList(TStrings* list) { FOutputList = list; }
    // The complete lines of the current run.
    TStringList& Lines() { return FLines; }
    TProcessTimer* Timer() const { return FTimer.get(); }
    // Starts a run and returns at once; earlier runs go on (their lines then interleave).
    void StartCommand();
    // True while a run started by this command has not ended.
    bool Running() const;

private:
    struct TRun;
    static void RunCommandLoop(TDosCommand* command, const std::shared_ptr<TRun>& run);
    void Post(const std::shared_ptr<TRun>& run, std::string line, TOutputType type);
    void Deliver(const std::shared_ptr<TRun>& run, const std::string& line, TOutputType type);
    void Finished(const std::shared_ptr<TRun>& run, bool started);
    void ReapFinishedRuns();

    TStrings* FOutputList = nullptr;
    TStringList FLines;
    std::unique_ptr<TProcessTimer> FTimer;
    std::vector<std::shared_ptr<TRun>> FRuns;
    // Deliveries are queued to it; those still queued when the command goes are dropped.
    std::unique_ptr<QObject> FReceiver;
};
