#pragma once
// The main of a benchmark program that needs widgets: a QApplication on the offscreen platform,
// the registered benchmarks, then the targets the figures are read against.

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdio>

inline int RunOffscreenBenchmarks(int argc, char** argv, const char* targets)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("targets: %s\n", targets);
    return 0;
}
