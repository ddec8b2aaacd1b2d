#include "ExLib/run/process/ExProcessRunner.h"

#include "ExLib/run/process/ExCommandLine.h"
#include "ExLib/run/common/ExExceptions.h"
#include "ExLib/run/process/ExProcessThreads.h"
#include "ExLib/run/common/ExResources.h"

#include "Platform/files/FileNames.h"
#include "Platform/text/TextUtils.h"
#include "utility/UclStrings.h"

#include <cstring>

namespace {

constexpr UINT MsgOutputRead = WM_USER + 1; // the reader has put output into its buffer
constexpr UINT MsgWaitEnded = WM_USER + 2;
constexpr UINT MsgReadEnded = WM_USER + 3;

std::optional<int> NicenessOf(TExProcessPriority priority)
{
    switch (priority) {
    case TExProcessPriority::ppIdle: return 19;
    case TExProcessPriority::ppHigh: return -10;
    case TExProcessPriority::ppRealTime: return -20;
    case TExProcessPriority::ppNormal: break;
    }
    return std::nullopt;
}

// The environment lines as the child gets them; refuses empty lines before anything starts.
std::vector<std::string> EnvironmentBlock(const TStrings& lines)
{
    TMultiSzBuffer block;
    const char* p = StringsToMultiSz(block, lines);
    std::vector<std::string> result;
    for (; *p != '\0'; p += std::strlen(p) + 1)
        result.emplace_back(p);
    FreeMultiSzBuffer(block);
    return result;
}

} // namespace

// ---- startup info

void TExCPSStartupInfo::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TExCPSStartupInfo*>(&source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    Desktop = other->Desktop;
    Title = other->Title;
    Left = other->Left;
    Top = other->Top;
    DefaultPosition = other->DefaultPosition;
    Width = other->Width;
    Height = other->Height;
    DefaultSize = other->DefaultSize;
    ShowWindow = other->ShowWindow;
    DefaultWindowState = other->DefaultWindowState;
    ForceOnFeedback = other->ForceOnFeedback;
    ForceOffFeedback = other->ForceOffFeedback;
}

// ---- the runner

TExCreateProcess::TExCreateProcess(TComponent* AOwner) : TExComponent(AOwner) {}

TExCreateProcess::~TExCreateProcess()
{
    StopWatching();
    if (!FWindow)
        return;
    FWindow->SetHandler({});
    // why: an OnTerminate handler may free the runner while the window delivers its message.
    if (FHandlerDepth > 0)
        FWindow.release()->deleteLater();
    else
        FWindow.reset();
}

void TExCreateProcess::SetWaitForTerminate(bool value)
{
    if (FRunState == TExProcessRunState::psRunning)
        throw EExLibException(ExRes::ProcessRunning);
    FWaitForTerminate = value;
    FRunState = TExProcessRunState::psReady;
}

TSpawnRequest TExCreateProcess::BuildRequest() const
{
    TSpawnRequest request;
    request.Arguments = FArguments.empty() ? CommandLineParams(FCommandLine) : FArguments;
    const std::string application = Trim(FApplicationName);
    if (!application.empty())
        request.Program = application.front() == '/' ? application : ExpandFileName(application);
    else if (!request.Arguments.empty())
        request.Program = request.Arguments.front();
    if (FEnvironment.Count() > 0)
        request.Environment = EnvironmentBlock(FEnvironment);
    request.Directory = Trim(FCurrentDirectory);
    request.Niceness = NicenessOf(FPriority);
    request.NewSession = FCreationFlags.Contains(cfNewConsole) || FCreationFlags.Contains(cfDetached);
    request.NewProcessGroup = FCreationFlags.Contains(cfNewProcGroup);
    request.Suspended = FCreationFlags.Contains(cfSuspended);
    const bool watched = FWaitForTerminate || FConsoleOptions.Contains(coRedirect);
    request.ContainTree = FContainProcessTree && watched && !request.Suspended;
    return request;
}

void TExCreateProcess::Launch()
{
    if (FRunState == TExProcessRunState::psRunning)
        throw EExLibException(ExRes::ProcessRunning);
    FRunState = TExProcessRunState::psReady;
    FNewLine = true;
    FCurrentLine.clear();
    FCursor = 0;
    const bool redirect = FConsoleOptions.Contains(coRedirect);
    FProcessHandles = {};

    TSpawnRequest request = BuildRequest();
    TPipe output;
    TPipe input;
    if (redirect) {
        output = CreatePipe();
        input = CreatePipe();
        request.StdIn = input.Read.Fd();
        request.StdOut = output.Write.Fd();
        request.StdErr = output.Write.Fd();
    }
    const pid_t pid = SpawnProcess(request);
    // The child's ends belong to the child alone now.
    output.Write.Close();
    input.Read.Close();
    FProcessHandles.ProcessId = pid;

    if (!redirect && !FWaitForTerminate) {
        ReapInBackground(pid);
        FRunState = TExProcessRunState::psLaunched;
        return;
    }
    if (!FWindow)
        FWindow = CreateHiddenMessageWindow({}, [this](TMessage& m) { HandleMessage(m); });
    FRunState = TExProcessRunState::psRunning;
    FExitCode = 0;
    FWaitError = 0;
    if (redirect) {
        FReadThread = std::make_unique<TExReadThread>(std::move(output.Read), *FWindow, MsgOutputRead, MsgReadEnded);
        FWaitThread = std::make_unique<TExConsoleThread>(pid, std::move(input.Write), *FWindow, MsgWaitEnded);
        FReadThread->Start();
    } else {
        FWaitThread = std::make_unique<TExWaitForProcessThread>(pid, *FWindow, MsgWaitEnded);
    }
    FWaitThread->Start();
}

void TExCreateProcess::HandleMessage(TMessage& message)
{
    const std::weak_ptr<int> alive = FLifetime;
    ++FHandlerDepth;
    try {
        switch (message.Msg) {
        case MsgOutputRead: DrainOutput(); break;
        case MsgWaitEnded: WaitThreadEnded(); break;
        case MsgReadEnded: ReadThreadEnded(); break;
        default: break;
        }
    } catch (...) {
        if (!alive.expired())
            --FHandlerDepth;
        throw;
    }
    // invariant: nothing of this object is touched once an event handler has freed it.
    if (!alive.expired())
        --FHandlerDepth;
}

void TExCreateProcess::WaitThreadEnded()
{
    if (!FWaitThread)
        return;
    FWaitThread->Join();
    FExitCode = FWaitThread->ExitCode();
    FWaitError = FWaitThread->WaitError();
    FWaitThread.reset();
    if (FReadThread) {
        // why: the child's last output may still be in the pipe; the reader takes it all and
        // its own end completes the run.
        FReadThread->ReadToEnd();
        return;
    }
    CompleteRun();
}

void TExCreateProcess::ReadThreadEnded()
{
    if (!FReadThread)
        return;
    FReadThread->Join();
    if (!DrainOutput())
        return;
    FReadThread.reset();
    if (!FWaitThread)
        CompleteRun();
}

void TExCreateProcess::CompleteRun()
{
    FRunState = TExProcessRunState::psReady;
    FProcessHandles = {};
    // why: the handler may free the runner, and with it this very event member.
    const TExCPSTerminateEvent handler = OnTerminate;
    if (handler)
        handler(this, FExitCode);
}

void TExCreateProcess::StopWatching()
{
    if (FRunState != TExProcessRunState::psRunning)
        return;
    if (FWindow)
        FWindow->SetHandler({});
    const pid_t pid = FProcessHandles.ProcessId;
    bool collected = false;
    if (FWaitThread) {
        FWaitThread->Terminate();
        FWaitThread->Join();
        collected = FWaitThread->ExitCode() != ExitCodeStopped;
        FWaitThread.reset();
    } else {
        collected = true; // the wait ended before; it collected the child
    }
    if (FReadThread) {
        FReadThread->Terminate();
        FReadThread.reset();
    }
    if (!collected)
        ReapInBackground(pid);
    FRunState = TExProcessRunState::psReady;
    FProcessHandles = {};
}

// ---- output

bool TExCreateProcess::DrainOutput()
{
    // why: a child that writes without pause refills the buffer as fast as it is taken; taking
    // only what is there now lets the GUI thread return to its events. The first append after
    // Pending() posts a new message, and the reader's end drains the rest.
    size_t budget = FReadThread ? FReadThread->Pending() : 0;
    while (budget > 0 && FReadThread && FReadThread->HasData()) {
        const std::string chunk = FReadThread->Take(std::min<size_t>(1024, budget));
        budget -= chunk.size();
        if (!ParseChunk(chunk))
            return false;
    }
    return true;
}

bool TExCreateProcess::ParseChunk(const std::string& chunk)
{
    const std::weak_ptr<int> alive = FLifetime;
    if (OnRawRead) {
        OnRawRead(this, chunk);
        if (alive.expired())
            return false;
    }
    size_t i = 0;
    while (i < chunk.size()) {
        switch (chunk[i]) {
        case '\b':
            if (FCursor > 0)
                --FCursor;
            ++i;
            break;
        case '\t':
            WriteAtCursor(std::string(8, ' '));
            ++i;
            break;
        case '\r':
            FCursor = 0;
            ++i;
            break;
        case '\n':
            if (!EmitLine(true))
                return false;
            ++i;
            break;
        default: {
            std::string run;
            for (; i < chunk.size(); ++i) {
                const char c = chunk[i];
                if (c == '\b' || c == '\t' || c == '\r' || c == '\n')
                    break;
                run += (c == '\0' || c == '\a') ? ' ' : c;
            }
            WriteAtCursor(run);
            break;
        }
        }
    }
    // A chunk always ends with the line as it stands, even empty, so that the next text
    // replaces it.
    return EmitLine(false);
}

void TExCreateProcess::WriteAtCursor(const std::string& text)
{
    FCurrentLine.replace(FCursor, std::min(text.size(), FCurrentLine.size() - FCursor), text);
    FCursor += text.size();
}

bool TExCreateProcess::EmitLine(bool complete)
{
    if (!FConsoleOptions.Contains(coOwnerData)) {
        if (FNewLine || FOutputLines.Count() == 0)
            FOutputLines.Add(FCurrentLine);
        else
            FOutputLines.SetStrings(FOutputLines.Count() - 1, FCurrentLine);
    }
    if (OnRead) {
        const std::weak_ptr<int> alive = FLifetime;
        OnRead(this, FCurrentLine, FNewLine);
        // why: a handler may free the runner, for instance on the line that says it is done.
        if (alive.expired())
            return false;
    }
    if (complete) {
        FCurrentLine.clear();
        FCursor = 0;
    }
    FNewLine = complete;
    return true;
}
