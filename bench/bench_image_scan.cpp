// Scanning one page from the SANE "test" backend at its default settings
// (grey, 8 bits, 50 dpi, 80 x 100 mm) and at 300 dpi in colour, through a
// private configuration that enables the backend.

#include "image/SaneScanner.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void scan(benchmark::State& state, ScanOptions options) {
    for (auto _ : state) {
        const ScanResult r = SaneScanner::scanPage("test:0", {}, nullptr, options);
        if (r.status != ScanStatus::Ok) {
            state.SkipWithError(r.message.toStdString().c_str());
            break;
        }
        state.counters["width"] = r.image.DibWidth();
        state.counters["height"] = r.image.DibHeight();
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir config;
    QFile dll(config.filePath("dll.conf"));
    dll.open(QIODevice::WriteOnly);
    dll.write("test\n");
    dll.close();
    QFile::copy("/etc/sane.d/test.conf", config.filePath("test.conf"));
    qputenv("SANE_CONFIG_DIR", config.path().toLocal8Bit());

    benchmark::RegisterBenchmark("scan_test_backend_defaults", scan,
                                 ScanOptions{{"mode", "Gray"}, {"depth", "8"}, {"resolution", "50"}})
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("scan_test_backend_colour_300dpi", scan,
                                 ScanOptions{{"mode", "Color"}, {"depth", "8"}, {"resolution", "300"}})
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
