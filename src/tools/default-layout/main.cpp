// Writes the default dock layout of the data folder: the main window's docking area and its tool
// windows, arranged as a first start shows them, saved by the layout code itself.
// Usage: zentu-default-layout FILE

#include "app/zuToolWindows.h"

#include "Platform/core/Application.h"

#include <QtGlobal>
#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    try {
        WriteDefaultDockLayout(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
