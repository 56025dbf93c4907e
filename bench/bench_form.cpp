// The box form: the net and folding model of the card box (64 x 21 x 89 mm)
// against the cube, one 3D frame of the tea box (70 x 45 x 110 mm) with 1000
// objects, and the sheet job and vector export of the card box (as lock-lid
// cuboid, sleeve and tuck-end box) against a cube whose net outline has the
// same area.

#include "BenchSupport.h"
#include "ExportBench.h"
#include "base/Units.h"
#include "box/FoldingModel.h"
#include "export/VectorExport.h"
#include "model/BoxDocument.h"
#include "model/BoxFile.h"
#include "model/NewDocument.h"
#include "model/PaperFormat.h"
#include "sheet/SheetRenderer.h"
#include "view3d/FaceTextures.h"
#include "view3d/FoldedBoxPainter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <memory>
#include <random>

namespace {

using bench::place;

const BoxForm kCardBox = BoxForm::cuboid(64, 21, 89);
const BoxForm kTeaBox = BoxForm::cuboid(70, 45, 110);
const BoxForm kSleeve = BoxForm::ofStyle(BoxStyle::Huelse, 64, 21, 89, 0.3);
const BoxForm kPlayingCards = BoxForm::ofStyle(BoxStyle::SteckGegenlaeufig, 66, 22, 91, 0.3, true);

double area(const QPolygonF& p) {
    double s = 0;
    for (int i = 0; i < p.size(); ++i) s += p[i].x() * p[(i + 1) % p.size()].y() - p[(i + 1) % p.size()].x() * p[i].y();
    return std::abs(s) / 2;
}

// The cube percentage whose net outline is nearest the form's in area.
int cubePercentLike(const BoxForm& form, const SheetLayout& layout) {
    const double want = area(FoldingModel::inMillimetres(layout, NetSource{form, 100}).cutOutline());
    int best = 100;
    double bestDiff = 1e300;
    for (int p = 10; p <= 100; ++p) {
        const double d = std::abs(area(FoldingModel::inMillimetres(layout, p).cutOutline()) - want);
        if (d < bestDiff) bestDiff = d, best = p;
    }
    return best;
}

int cubePercentLikeCardBox(const SheetLayout& layout) { return cubePercentLike(kCardBox, layout); }

// 1000 figures over the box area of the editor at 96 dpi.
std::unique_ptr<BoxDocument> design(const BoxForm& form, PaperFormat paper) {
    auto doc = std::make_unique<BoxDocument>();
    initStartupDocument(*doc, 96);
    newDocument(*doc, paper);
    doc->Form = form;
    std::mt19937 rng(7);
    const int w = static_cast<int>(doc->ExtentWidth / 416), h = static_cast<int>(doc->ExtentHeight / 416);
    std::uniform_int_distribution<int> x(w / 3, 2 * w / 3 - 60), y(h / 3, 2 * h / 3 - 60), size(8, 60), shape(0, 9),
        colour(0, 0xFFFFFF);
    for (int slot = 1; slot <= 1000; ++slot) {
        Tobs& o = place(*doc, slot, Figure, x(rng), y(rng), size(rng), size(rng));
        o.Shape = shape(rng);
        o.FillModeOrShadowColor = slot % 3;
        o.Color = colour(rng);
        o.BorderOrOutlineColor = colour(rng);
        o.LineWidthOrTransColor = 1 + slot % 5;
    }
    return doc;
}

// Arg 0: the cube at 100 %; 1: the card box; 2: the sleeve of the card box's measures.
void BM_NetAndFoldingModel(benchmark::State& state) {
    SheetLayout layout;
    layout.applyNewDocumentLayout();
    const NetSource source = state.range(0) == 2   ? NetSource{kSleeve, 100}
                             : state.range(0) == 1 ? NetSource{kCardBox, 100}
                                                   : NetSource::cube(100);
    for (auto _ : state) {
        const FoldingModel px = FoldingModel::inPixels(layout, source, 600);
        const FoldingModel mm = FoldingModel::inMillimetres(layout, source);
        benchmark::DoNotOptimize(px.cutOutline().size());
        benchmark::DoNotOptimize(mm.fold(0.5).size());
    }
}
BENCHMARK(BM_NetAndFoldingModel)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void BM_FoldedFrameTeaBox1024x768(benchmark::State& state) {
    auto doc = design(kTeaBox, PaperFormat::A3);
    FaceTextures textures;
    textures.make(*doc, 100);
    const FoldingModel model = FoldingModel::inMillimetres(doc->Layout, NetSource::of(*doc, 100));
    QImage frame(1024, 768, QImage::Format_RGB32);
    ViewCamera camera;
    int step = 0;
    for (auto _ : state) {
        camera.yaw = ViewCamera::StartYaw + 3 * (step++ % 120);
        QPainter painter(&frame);
        FoldedBoxPainter(model, 1.0, camera, frame.size()).paint(painter, textures, false);
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_FoldedFrameTeaBox1024x768)->Unit(benchmark::kMillisecond);

// Arg 0: the cube of the card box's outline area; 1: the card box.
void BM_SheetJob(benchmark::State& state) {
    auto doc = design(state.range(0) ? kCardBox : BoxForm::cube(), PaperFormat::A4);
    const int percent = cubePercentLikeCardBox(doc->Layout);
    const QSize page(mmToPixels(290, 300), mmToPixels(202.9, 300));
    for (auto _ : state) {
        const QImage sheet = renderSheetImage(*doc, percent, 300, page);
        benchmark::DoNotOptimize(sheet.constBits());
    }
    state.counters["percent"] = percent;
}
BENCHMARK(BM_SheetJob)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The 600-dpi sheet of a styled box (Arg 1) against the cube of its outline area (Arg 0).
void sheetJob600(benchmark::State& state, const BoxForm& form) {
    auto doc = design(state.range(0) ? form : BoxForm::cube(), PaperFormat::A4);
    const int percent = cubePercentLike(form, doc->Layout);
    const QSize page(mmToPixels(290, 600), mmToPixels(202.9, 600));
    for (auto _ : state) {
        const QImage sheet = renderSheetImage(*doc, percent, 600, page);
        benchmark::DoNotOptimize(sheet.constBits());
    }
    state.counters["percent"] = percent;
}

void BM_SheetJob600Sleeve(benchmark::State& state) { sheetJob600(state, kSleeve); }
// The card box with tuck ends: arcs, slits and thirteen panels.
void BM_SheetJob600TuckBox(benchmark::State& state) { sheetJob600(state, kPlayingCards); }
// The CPU of the whole process, so the render threads' work counts and a
// busy machine's waiting does not.
BENCHMARK(BM_SheetJob600Sleeve)->Arg(0)->Arg(1)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SheetJob600TuckBox)->Arg(0)->Arg(1)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

void BM_ExportPdfOfForm(benchmark::State& state) {
    auto doc = design(state.range(0) ? kCardBox : BoxForm::cube(), PaperFormat::A4);
    ExportOptions o;
    o.format = ExportFormat::Pdf;
    o.net = true;
    o.percent = cubePercentLikeCardBox(doc->Layout);
    bench::timeExports(state, *doc, o);
}
BENCHMARK(BM_ExportPdfOfForm)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

FALTARILLON_BENCH_MAIN()
