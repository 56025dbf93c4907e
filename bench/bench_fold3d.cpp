// The 3D view: one frame while turning or folding (face pictures already
// made) and making the face pictures after a change, for the frozen design
// of 1000 figures, texts, pictures and a photo background.

#include "BenchSupport.h"
#include "model/BoxDocument.h"
#include "model/BoxFile.h"
#include "view3d/FaceTextures.h"
#include "view3d/FoldedBoxPainter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <memory>

namespace {

std::unique_ptr<BoxDocument> frozenDesign() {
    auto doc = std::make_unique<BoxDocument>();
    RecordingPrompter prompter;
    if (!OpenItNow(*doc, QStringLiteral(FALTARILLON_BENCH_DATA "/blatt.box"), prompter)) return nullptr;
    return doc;
}

int objectCount(const BoxDocument& doc) {
    int n = 0;
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) n += doc.Objects[slot].Kind != 0;
    return n;
}

void frames(benchmark::State& state, bool folding) {
    auto doc = frozenDesign();
    if (!doc) {
        state.SkipWithError("bench/data/blatt.box not readable");
        return;
    }
    FaceTextures textures;
    textures.make(*doc, 100);
    const FoldingModel model = FoldingModel::inMillimetres(doc->Layout, 100);
    QImage frame(1024, 768, QImage::Format_RGB32);
    ViewCamera camera;
    double fold = 1.0;
    int step = 0;
    for (auto _ : state) {
        // Turning: 3 degrees a frame; folding: the 2 s animation's 120 frames.
        if (folding) fold = (step % 121) / 120.0;
        else camera.yaw = ViewCamera::StartYaw + 3 * (step % 120);
        ++step;
        QPainter painter(&frame);
        FoldedBoxPainter(model, fold, camera, frame.size()).paint(painter, textures, false);
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.counters["objects"] = objectCount(*doc);
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_FoldedFrameTurning1024x768(benchmark::State& state) { frames(state, false); }
BENCHMARK(BM_FoldedFrameTurning1024x768)->Unit(benchmark::kMillisecond);

void BM_FoldedFrameFolding1024x768(benchmark::State& state) { frames(state, true); }
BENCHMARK(BM_FoldedFrameFolding1024x768)->Unit(benchmark::kMillisecond);

void BM_FaceTexturesAfterChange(benchmark::State& state) {
    auto doc = frozenDesign();
    if (!doc) {
        state.SkipWithError("bench/data/blatt.box not readable");
        return;
    }
    FaceTextures textures;
    for (auto _ : state) {
        doc->markChanged();
        textures.update(*doc, 100);
        benchmark::DoNotOptimize(textures.renderCount());
    }
    state.counters["objects"] = objectCount(*doc);
}
BENCHMARK(BM_FaceTexturesAfterChange)->Unit(benchmark::kMillisecond);

}  // namespace

FALTARILLON_BENCH_MAIN()
