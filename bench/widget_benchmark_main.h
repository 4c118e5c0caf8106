#pragma once
// main() of a benchmark program that drives real widgets: an application
// (offscreen unless QT_QPA_PLATFORM says otherwise), then the benchmarks.
// Whatever the benchmarks share lives only between setUp and tearDown, so it
// never outlives the application.

#include <benchmark/benchmark.h>

#include <QApplication>

#include <functional>

inline int RunWidgetBenchmarks(int argc, char** argv, const std::function<void()>& setUp = {},
                               const std::function<void()>& tearDown = {}) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (setUp) {
        setUp();
    }
    benchmark::RunSpecifiedBenchmarks();
    if (tearDown) {
        tearDown();
    }
    benchmark::Shutdown();
    return 0;
}
