#pragma once
// TExCreateProcess: starts one child process at a time from a command line and either forgets
// it, or watches it on a thread of its own and reports its exit code on the GUI thread, or
// (with coRedirect) also reads its output through pipes and hands it over as raw chunks and as
// lines, in which CR returns to the line's start, BS steps back and TAB writes 8 blanks.
//
// On Linux the command line becomes the program's arguments by the platform's quoting rules
// (ExCommandLine.h); no shell is involved unless the command line names one. Those rules cannot
// carry a double quote or an empty argument, so a caller with such arguments (any file name)
// hands them over as a list (Arguments) instead. The exit code is
// the process's exit status, or 128 + the signal number for a process ended by a signal; a
// wait that fails reports ExitCodeWaitFailed, which no process can exit with.
//
// The start-up window settings (StartupInfo) and the creation flags that speak of windows,
// error modes and 16-bit machines have no counterpart for Linux processes; they are kept but
// do not act. cfNewConsole and cfDetached start the child in a session of its own (so it does
// not share the IDE's terminal), cfNewProcGroup in a process group of its own; no terminal
// window is opened: a console window is a terminal program that the command line names.

#include "ExLib/run/controls/ExComponent.h"
#include "ExLib/run/common/ExMessageWindow.h"
#include "ExLib/run/process/ExSpawn.h"

#include "Platform/text/Strings.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TExWaitForProcessThread;
class TExReadThread;

enum TExCPSFlag { cfDefaultErrorMode, cfNewConsole, cfNewProcGroup, cfSeparateWdm, cfSharedWdm, cfSuspended, cfUnicode,
                  cfDetached };
using TExCPSFlags = TSet<TExCPSFlag>;
enum class TExProcessPriority { ppIdle, ppNormal, ppHigh, ppRealTime };
enum TExConsoleOption { coOwnerData, coRedirect };
using TExConsoleOptions = TSet<TExConsoleOption>;
enum class TExCPSShowWindow { swHide, swMinimize, swMaximize, swNormal };
enum class TExProcessRunState { psReady, psLaunched, psRunning };

// The child's start-up window settings.
class TExCPSStartupInfo : public TPersistent {
public:
    std::string Desktop;
    std::string Title;
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    bool DefaultPosition = true;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    bool DefaultSize = true;
    TExCPSShowWindow ShowWindow = TExCPSShowWindow::swNormal;
    bool DefaultWindowState = true;
    bool ForceOnFeedback = false;
    bool ForceOffFeedback = false;

    // Copies another startup info; any other source raises the assignment error.
    void Assign(const TPersistent& source) override;
};

struct TExProcessHandles {
    pid_t ProcessId = 0;
};

using TExCPSTerminateEvent = std::function<void(TObject* Sender, std::uint32_t ExitCode)>;
using TExCPSReadEvent = std::function<void(TObject* Sender, const std::string& S, bool StartsOnNewLine)>;
using TExCPSRawReadEvent = std::function<void(TObject* Sender, const std::string& S)>;

class TExCreateProcess : public TExComponent {
public:
    explicit TExCreateProcess(TComponent* AOwner);
    // Stops watching without OnTerminate; the child keeps running.
    ~TExCreateProcess() override;

    // Starts a run; EExLibException "Cannot perform this operation when process is running"
    // while the last run is still watched, the system error when the child cannot start.
    void Launch();

    const std::string& ApplicationName() const { return FApplicationName; }
    void SetApplicationName(const std::string& value) { FApplicationName = value; }
    const std::string& CommandLine() const { return FCommandLine; }
    void SetCommandLine(const std::string& value) { FCommandLine = value; }
    TExCPSFlags CreationFlags() const { return FCreationFlags; }
    void SetCreationFlags(TExCPSFlags value) { FCreationFlags = value; }
    // The program and its arguments one by one, taken as they are; when not empty they stand
    // in place of the command line.
    const std::vector<std::string>& Arguments() const { return FArguments; }
    void SetArguments(std::vector<std::string> value) { FArguments = std::move(value); }
    const std::string& CurrentDirectory() const { return FCurrentDirectory; }
    void SetCurrentDirectory(const std::string& value) { FCurrentDirectory = value; }
    // Lines "name=value"; empty: the child inherits this process's environment.
    TStrings& Environment() { return FEnvironment; }
    void SetEnvironment(const TStrings& lines) { FEnvironment.Assign(lines); }
    TExProcessPriority Priority() const { return FPriority; }
    void SetPriority(TExProcessPriority value) { FPriority = value; }
    TExCPSStartupInfo& StartupInfo() { return FStartupInfo; }
    void SetStartupInfo(const TExCPSStartupInfo& value) { FStartupInfo.Assign(value); }
    bool WaitForTerminate() const { return FWaitForTerminate; }
    // Refused while running; otherwise the run state becomes Ready.
    void SetWaitForTerminate(bool value);
    // A watched run keeps everything the child starts below it, whatever it does to its
    // process group or session, and ends all of it when the child ends or this program ends
    // (not for a suspended start, nor a launch that is not watched). Off by default.
    bool ContainProcessTree() const { return FContainProcessTree; }
    void SetContainProcessTree(bool value) { FContainProcessTree = value; }
    TExConsoleOptions ConsoleOptions() const { return FConsoleOptions; }
    void SetConsoleOptions(TExConsoleOptions value) { FConsoleOptions = value; }

    TExProcessRunState RunState() const { return FRunState; }
    const TExProcessHandles& ProcessHandles() const { return FProcessHandles; }
    // The output lines of redirected runs, unless coOwnerData.
    TStrings& OutputLines() { return FOutputLines; }
    std::uint32_t ExitCode() const { return FExitCode; }
    // errno of the last failed wait (0 when the wait succeeded).
    int WaitError() const { return FWaitError; }

    TExCPSTerminateEvent OnTerminate;
    TExCPSReadEvent OnRead;
    TExCPSRawReadEvent OnRawRead;

private:
    TSpawnRequest BuildRequest() const;
    void HandleMessage(TMessage& message);
    void WaitThreadEnded();
    void ReadThreadEnded();
    void CompleteRun();
    void StopWatching();
    // Each returns false when an event handler freed the runner; nothing of it is touched then.
    bool DrainOutput();
    bool ParseChunk(const std::string& chunk);
    void WriteAtCursor(const std::string& text);
    bool EmitLine(bool complete);

    std::string FApplicationName;
    std::string FCommandLine;
    std::vector<std::string> FArguments;
    TExCPSFlags FCreationFlags;
    std::string FCurrentDirectory;
    TStringList FEnvironment;
    TExProcessPriority FPriority = TExProcessPriority::ppNormal;
    TExCPSStartupInfo FStartupInfo;
    bool FWaitForTerminate = true;
    bool FContainProcessTree = false;
    TExConsoleOptions FConsoleOptions{coOwnerData};

    TExProcessRunState FRunState = TExProcessRunState::psReady;
    TExProcessHandles FProcessHandles;
    TStringList FOutputLines;
    std::uint32_t FExitCode = 0;
    int FWaitError = 0;
    std::string FCurrentLine;
    size_t FCursor = 0;
    bool FNewLine = true;
    THiddenMessageWindow FWindow;
    int FHandlerDepth = 0;
    // Expires with the runner, so that a message handler knows when an event freed it.
    std::shared_ptr<int> FLifetime = std::make_shared<int>(0);
    // invariant: both threads are touched only on the GUI thread; their completions arrive
    // there one after another, so deciding which of them completes the run needs no lock.
    std::unique_ptr<TExWaitForProcessThread> FWaitThread;
    std::unique_ptr<TExReadThread> FReadThread;
};
