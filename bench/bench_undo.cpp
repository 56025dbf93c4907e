// The history on a document with all 10000 slots in use: undo and redo of
// one drag (50 merged moves), without the repaint that follows them in the
// window, and the memory that 1000 steps of drags and panel changes keep.
#include "BenchSupport.h"
#include "edit/DocumentHistory.h"
#include "model/BoxDocument.h"
#include "model/NewDocument.h"


#include <QGuiApplication>
#include <malloc.h>

namespace {

std::unique_ptr<BoxDocument> fullDocument() {
    auto doc = std::make_unique<BoxDocument>();
    initStartupDocument(*doc, 96);
    newDocument(*doc);
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        Tobs& o = doc->Objects[slot];
        o.Kind = slot % 3 + 1;
        o.Left = (slot % 100) * 4000;
        o.Top = (slot / 100) * 4000;
        o.Width = o.Height = 20000;
        o.FontName = QStringLiteral("Times New Roman");
        if (o.Kind == Text) o.Content = QStringLiteral("Deckel\rBoden");
        if (o.Kind == Image) {
            o.Content = QStringLiteral("/bilder/foto.png");
            o.Picture = DibHandle(QImage(64, 64, QImage::Format_RGB32), 24);
        }
    }
    return doc;
}

// A drag of `slot` as the editor records it: every move one merged step.
void drag(DocumentHistory& history, BoxDocument& doc, int slot, long long serial) {
    doc.CurrentObject = slot;
    for (int move = 1; move <= 50; ++move) {
        auto step = history.begin(QStringLiteral("Verschieben"), {slot}, StepMerge::Drag, serial);
        doc.Objects[slot].Left += 416;
        doc.Objects[slot].Top += 208;
        history.commit(std::move(step));
    }
}

void BM_UndoRedoOfADrag(benchmark::State& state) {
    auto doc = fullDocument();
    DocumentHistory history([&]() -> BoxDocument& { return *doc; });
    drag(history, *doc, 5000, 1);
    if (history.count() != 1) state.SkipWithError("the drag is not one step");
    const bool undo = state.range(0) == 0;
    for (auto _ : state) {
        if (undo) {
            history.undo();
            state.PauseTiming();
            history.redo();
            state.ResumeTiming();
        } else {
            state.PauseTiming();
            history.undo();
            state.ResumeTiming();
            history.redo();
        }
    }
    state.SetLabel(undo ? "undo" : "redo");
}
BENCHMARK(BM_UndoRedoOfADrag)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_MemoryOfAThousandSteps(benchmark::State& state) {
    auto doc = fullDocument();
    double bytes = 0;
    for (auto _ : state) {
        DocumentHistory history([&]() -> BoxDocument& { return *doc; });
        const size_t before = mallinfo2().uordblks;
        for (int i = 0; i < 1000; ++i) {
            const int slot = 1 + (i * 7919) % ObjectTable::Capacity;
            if (i % 2 == 0) {
                drag(history, *doc, slot, i);
            } else {
                // A panel change: a line width, a shape, a fill mode.
                auto step = history.begin(QStringLiteral("Linienstärke"), {slot}, StepMerge::LineWidth, slot);
                doc->Objects[slot].LineWidthOrTransColor = 1 + i % 20;
                doc->Objects[slot].Shape = i % 10;
                history.commit(std::move(step));
            }
        }
        const size_t after = mallinfo2().uordblks;
        if (history.count() != 1000) state.SkipWithError("not 1000 steps");
        bytes = static_cast<double>(after) - static_cast<double>(before);
    }
    state.counters["bytes_for_1000_steps"] = bytes;
    state.counters["MB_for_1000_steps"] = bytes / (1024.0 * 1024.0);
}
BENCHMARK(BM_MemoryOfAThousandSteps)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

FALTARILLON_BENCH_MAIN()
