// The program entry and the receiving side of the second-start hand-over.

#include "app/zuMain.h"

#include "app/zuSingleInstance.h"

#include "Platform/core/Application.h"
#include "Platform/files/FileNames.h"

#include <utility>

std::vector<std::string> ProgramArguments(int argc, char** argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i] ? argv[i] : "");
    return arguments;
}

void ReceiveHandOverText(const std::string& text, const TProgramHooks& hooks)
{
    for (const std::string& line : SplitHandOverText(text))
        if (!line.empty() && FileExists(line) && hooks.OpenFile)
            hooks.OpenFile(line);
    if (hooks.BringToFront)
        hooks.BringToFront();
}

namespace {

// What a second start says when the running instance does not take its arguments.
std::string UnreachableInstanceMessage(const std::vector<std::string>& arguments, std::chrono::milliseconds patience)
{
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(patience).count();
    std::string text = "Zentu is already running but did not answer within " + std::to_string(seconds) +
                       " seconds. Wait until it responds or close it, then try again.";
    std::string files;
    for (const std::string& argument : arguments)
        if (!argument.empty())
            files += "\n" + argument;
    if (!files.empty())
        text += "\n\nNot opened:" + files;
    return text;
}

} // namespace

int RunProgram(TApplication& app, const std::vector<std::string>& arguments, const TProgramHooks& hooks,
               const TProgramOptions& options)
{
    const std::string channel = options.ChannelPath.empty() ? InstanceChannelPath() : options.ChannelPath;
    TSingleInstance instance(channel);
    // why: the running instance has another current folder, so relative names would miss.
    const std::string text = BuildHandOverText(AbsoluteFileArguments(arguments, GetCurrentDir()));
    const TInstanceRole role = instance.Start(text, options.Patience);
    if (role == TInstanceRole::irHandedOver)
        return 0;
    if (role == TInstanceRole::irUnreachable) {
        // why: two instances would write the same settings files over each other.
        app.MessageBox(UnreachableInstanceMessage(arguments, options.Patience), "Zentu", MB_OK | MB_ICONERROR);
        return 1;
    }

    app.Title = "Zentu";
    // Hand-overs that arrive while the main window is still being made wait for it.
    bool ready = false;
    std::vector<std::string> pending;
    instance.Listen([&](const std::string& received) {
        if (ready)
            ReceiveHandOverText(received, hooks);
        else
            pending.push_back(received);
    });

    if (hooks.CreateMainWindow && !hooks.CreateMainWindow())
        return 1;
    if (hooks.CreateModules)
        hooks.CreateModules();
    for (const std::string& argument : arguments)
        if (!argument.empty() && FileExists(argument) && hooks.OpenFile)
            hooks.OpenFile(argument);
    ready = true;
    for (const std::string& received : std::exchange(pending, {}))
        ReceiveHandOverText(received, hooks);
    return app.exec();
}
