#ifndef GUIBENCHMARKS_H
#define GUIBENCHMARKS_H

#include <QGuiApplication>

#include <benchmark/benchmark.h>

// The main routine of a benchmark of the chart engine: an application object on the offscreen
// platform (fonts and images need one), then the benchmarks the command line selects.
inline int runGuiBenchmarks(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#endif // GUIBENCHMARKS_H
