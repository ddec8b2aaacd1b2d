// Zentu: the program entry.

#include "app/zuProgram.h"
#include "run/zuWebBrowserView.h"

#include "Platform/core/Application.h"

int main(int argc, char** argv)
{
    PrepareWebEngineEnvironment();
    TApplication app(argc, argv);
    try {
        return RunZentu(app, ProgramArguments(argc, argv));
    } catch (const std::exception& e) {
        app.ShowException(e);
        return 1;
    }
}
