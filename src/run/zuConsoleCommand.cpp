#include "run/zuConsoleCommand.h"

#include "ExLib/run/process/ExSpawn.h"

#include "Platform/core/Application.h"
#include "Platform/core/Exceptions.h"

#include <cerrno>
#include <chrono>
#include <thread>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

struct TDosCommand::TRun {
    std::vector<std::string> Arguments;
    int MaxTimeAfterBeginning = 0;
    int MaxTimeAfterLastOutput = 0;
    TProcessTimer* Timer = nullptr;
    TStopEvent Stop;
    std::atomic<bool> Ended{false};
    std::thread Worker;
    // GUI side: the last row of the output list is the beginning of a line.
    bool PartialShown = false;
};

// ---- the clock

TProcessTimer::TProcessTimer()
{
    FTimer.setInterval(1000);
    QObject::connect(&FTimer, &QTimer::timeout, [this] { Tick(); });
}

void TProcessTimer::Restart()
{
    SinceBeginning = 0;
    SinceLastOutput = 0;
    FTimer.start();
}

void TProcessTimer::Stop()
{
    FTimer.stop();
}

void TProcessTimer::Tick()
{
    ++SinceBeginning;
    ++SinceLastOutput;
}

// ---- the command

TDosCommand::TDosCommand(TComponent* AOwner) : TComponent(AOwner), FReceiver(std::make_unique<QObject>()) {}

TDosCommand::~TDosCommand()
{
    for (const std::shared_ptr<TRun>& run : FRuns) {
        run->Stop.Set();
        if (run->Worker.joinable())
            run->Worker.join();
    }
    FRuns.clear();
    FReceiver.reset();
}

std::string TDosCommand::CommandLine() const
{
    std::string line;
    for (const std::string& argument : Arguments) {
        if (!line.empty())
            line += ' ';
        const bool quote = argument.empty() || argument.find_first_of(" \t\"") != std::string::npos;
        line += quote ? "\"" + argument + "\"" : argument;
    }
    return line;
}

bool TDosCommand::Running() const
{
    for (const std::shared_ptr<TRun>& run : FRuns)
        if (!run->Ended)
            return true;
    return false;
}

void TDosCommand::ReapFinishedRuns()
{
    for (auto it = FRuns.begin(); it != FRuns.end();) {
        if ((*it)->Ended) {
            if ((*it)->Worker.joinable())
                (*it)->Worker.join();
            it = FRuns.erase(it);
        } else {
            ++it;
        }
    }
}

void TDosCommand::StartCommand()
{
    if (Arguments.empty())
        return;
    ReapFinishedRuns();
    if (!FTimer)
        FTimer = std::make_unique<TProcessTimer>();
    FLines.Clear();
    FTimer->Restart();
    auto run = std::make_shared<TRun>();
    run->Arguments = Arguments;
    run->MaxTimeAfterBeginning = MaxTimeAfterBeginning;
    run->MaxTimeAfterLastOutput = MaxTimeAfterLastOutput;
    run->Timer = FTimer.get();
    FRuns.push_back(run);
    run->Worker = std::thread(&TDosCommand::RunCommandLoop, this, run);
}

void TDosCommand::Post(const std::shared_ptr<TRun>& run, std::string line, TOutputType type)
{
    QMetaObject::invokeMethod(
        FReceiver.get(),
        [this, run, line = std::move(line), type] {
            try {
                Deliver(run, line, type);
            } catch (...) {
                HandleCurrentException();
            }
        },
        Qt::QueuedConnection);
}

void TDosCommand::Deliver(const std::shared_ptr<TRun>& run, const std::string& line, TOutputType type)
{
    const bool replace = run->PartialShown && FOutputList && FOutputList->Count() > 0;
    if (type == TOutputType::otEntireLine) {
        if (FTimer)
            FTimer->SinceLastOutput = 0;
        FLines.Add(line);
        run->PartialShown = false;
    } else {
        run->PartialShown = true;
    }
    if (FOutputList) {
        if (replace)
            FOutputList->Put(FOutputList->Count() - 1, line);
        else
            FOutputList->Add(line);
    }
    if (OnNewLine)
        OnNewLine(this, line, type);
}

void TDosCommand::Finished(const std::shared_ptr<TRun>& run, bool started)
{
    if (FTimer)
        FTimer->Stop();
    run->Ended = true;
    if (started && OnTerminated)
        OnTerminated(this);
}

namespace {

bool ProcessEnded(pid_t pid, bool& reaped)
{
    if (reaped)
        return true;
    int status = 0;
    const pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid || (r < 0 && errno == ECHILD))
        reaped = true;
    return reaped;
}

// Ends the command with everything it started and collects it.
void EndProcess(pid_t pid, bool& reaped)
{
    if (reaped)
        return;
    EndProcessTree(pid);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    reaped = true;
}

} // namespace

void TDosCommand::RunCommandLoop(TDosCommand* command, const std::shared_ptr<TRun>& run)
{
    // invariant: the worker reaches the command only through queued deliveries and the clock.
    TPipe input;
    TPipe output;
    pid_t pid = -1;
    try {
        input = CreatePipe();
        output = CreatePipe();
        TSpawnRequest request;
        request.Program = run->Arguments.front();
        request.Arguments = run->Arguments;
        request.StdIn = input.Read.Fd();
        request.StdOut = output.Write.Fd();
        request.StdErr = output.Write.Fd();
        request.NewProcessGroup = true;
        // why: whatever the command starts ends with it, also in a group or session of its own.
        request.ContainTree = true;
        pid = SpawnProcess(request);
    } catch (const std::exception&) {
        // A command that cannot start ends the run silently: no line and no end event.
        QMetaObject::invokeMethod(
            command->FReceiver.get(), [command, run] { command->Finished(run, false); }, Qt::QueuedConnection);
        return;
    }
    input.Read.Close();
    output.Write.Close();
    fcntl(output.Read.Fd(), F_SETFL, fcntl(output.Read.Fd(), F_GETFL) | O_NONBLOCK);

    std::string line;
    bool reaped = false;
    bool eof = false;
    bool stopped = false;
    auto deliverComplete = [&] {
        command->Post(run, line, TOutputType::otEntireLine);
        line.clear();
    };
    for (;;) {
        const bool ended = ProcessEnded(pid, reaped);
        pollfd fds[2] = {{run->Stop.Fd(), POLLIN, 0}, {output.Read.Fd(), POLLIN, 0}};
        poll(fds, eof ? 1 : 2, ended ? 0 : 50);
        if (run->Stop.IsSet()) {
            stopped = true;
            EndProcess(pid, reaped);
            break;
        }
        // Everything waiting is read at once; a CR LF split between two reads gives an empty
        // line, as the command's reader sees it.
        char buffer[65536];
        bool readAny = false;
        while (!eof) {
            const ssize_t n = read(output.Read.Fd(), buffer, sizeof buffer);
            if (n > 0) {
                readAny = true;
                for (ssize_t i = 0; i < n; ++i) {
                    const char c = buffer[i];
                    if (c == '\0')
                        continue;
                    if (c == '\n' || c == '\r') {
                        deliverComplete();
                        if (c == '\r' && i + 1 < n && buffer[i + 1] == '\n')
                            ++i;
                    } else {
                        line += c;
                    }
                }
                continue;
            }
            if (n == 0)
                eof = true;
            else if (errno == EINTR)
                continue;
            break;
        }
        if (readAny && !line.empty())
            command->Post(run, line, TOutputType::otBeginningOfLine);
        if (ended && (eof || !readAny))
            break;
        if (run->MaxTimeAfterBeginning > 0 && run->Timer->SinceBeginning > run->MaxTimeAfterBeginning)
            break;
        if (run->MaxTimeAfterLastOutput > 0 && run->Timer->SinceLastOutput > run->MaxTimeAfterLastOutput)
            break;
    }
    if (!line.empty() && !stopped)
        deliverComplete();
    if (!reaped)
        ReapInBackground(pid);
    QMetaObject::invokeMethod(
        command->FReceiver.get(), [command, run] { command->Finished(run, true); }, Qt::QueuedConnection);
}
