#pragma once
// What the benchmark programs share: objects placed in screen pixels of the
// editing area (the same helper the render tests use, so a benchmark and a
// test of the same picture build it alike), and the program's start.

#include "../tests/render/RenderTestUtil.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace bench {

using rt::place;

// Fonts and images need an application object; without a display the
// benchmarks run headless unless the caller chose a platform.
inline void preferOffscreen() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

inline int runBenchmarks(int& argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench

// main() of a benchmark program that needs no widgets.
#define FALTARILLON_BENCH_MAIN()                     \
    int main(int argc, char** argv) {                \
        bench::preferOffscreen();                    \
        QGuiApplication app(argc, argv);             \
        return bench::runBenchmarks(argc, argv);     \
    }
