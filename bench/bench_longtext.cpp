// One text object of a megabyte over the whole box area (about 16000 lines
// of which its rectangle shows a few hundred, as in the large text design
// of bench/tools): printed at 600 dpi as the sheet's bands, exported
// as PDF and SVG, with its words as text and as glyph paths, and the same
// with a progress callback that is asked all along (its questions must cost
// nothing measurable). Peak memory of the process is reported as peak_MB.

#include "BenchSupport.h"
#include "ExportBench.h"
#include "export/VectorExport.h"
#include "model/BoxDocument.h"
#include "model/SheetLayout.h"
#include "sheet/SheetPlan.h"
#include "sheet/SheetRenderer.h"

#include <QImage>
#include <QPainter>

#include <sys/resource.h>

namespace {

std::unique_ptr<BoxDocument> megabyteText() {
    auto doc = rt::document();
    Tobs& o = bench::place(*doc, 1, Text, 549, 388, 548, 388);
    o.FontName = QStringLiteral("DejaVu Sans");
    o.FontSize = 10;
    const QString line = QStringLiteral("Eine Zeile Text für die Faltarillon, lang genug für 1 MB insgesamt.\r");
    QString content;
    while (content.size() < 1024 * 1024) content += line;
    o.Content = content;
    return doc;
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// Arg 0: no callback; 1: a callback that always goes on.
ProgressCallback questions(const benchmark::State& state, long long& asked) {
    if (state.range(0) == 0) return {};
    return [&asked](int) {
        ++asked;
        return true;
    };
}

void BM_MegabyteTextPrinted600Dpi(benchmark::State& state) {
    auto doc = megabyteText();
    long long asked = 0;
    SheetPlan plan = planSheet(doc->Layout, NetSource::of(*doc, 100), SheetOptions(),
                               pageFrameOf(pdfPrinterPageLayout(PaperFormat::A4), 600));
    plan.progress = questions(state, asked);
    const QSize page = plan.frame.printable.size();
    for (auto _ : state) {
        // The print's path: bands of 16 MB drawn onto a device; here a
        // device that keeps nothing, so only the rendering is timed.
        QImage sink(1, 1, QImage::Format_RGB32);
        QPainter device(&sink);
        benchmark::DoNotOptimize(printSheet(device, *doc, plan, 96));
    }
    state.counters["pixels_M"] = double(page.width()) * page.height() / 1e6;
    state.counters["questions"] = double(asked) / double(state.iterations());
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_MegabyteTextPrinted600Dpi)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// Args: format (0 PDF, 1 SVG), text as paths, callback.
void BM_MegabyteTextExported(benchmark::State& state) {
    auto doc = megabyteText();
    long long asked = 0;
    ExportOptions o;
    o.format = state.range(0) == 0 ? ExportFormat::Pdf : ExportFormat::Svg;
    o.textAsPaths = state.range(1) != 0;
    o.progress = state.range(2) == 0 ? ProgressCallback() : ProgressCallback([&asked](int) {
        ++asked;
        return true;
    });
    const qint64 bytes = bench::timeExports(state, *doc, o);
    state.counters["file_MB"] = double(bytes) / (1024 * 1024);
    state.counters["questions"] = double(asked) / double(state.iterations());
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_MegabyteTextExported)
    ->Args({0, 0, 0})
    ->Args({0, 1, 0})
    ->Args({1, 1, 0})
    ->Args({0, 1, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

}  // namespace

FALTARILLON_BENCH_MAIN()
