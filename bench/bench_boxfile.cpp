// Saving and opening a full design: 10000 objects, figures and two-line texts.

#include "model/BoxFile.h"
#include "model/BoxFileReader.h"
#include "model/BoxFileWriter.h"
#include "model/NewDocument.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void fillDocument(BoxDocument& doc) {
    initStartupDocument(doc, 96);
    newDocument(doc);
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        Tobs& o = doc.Objects[slot];
        o.resetToDefaults();
        o.Kind = slot % 2 ? Figure : Text;
        o.Left = slot * 37;
        o.Top = slot * 23;
        o.Width = 20800;
        o.Height = 20800;
        o.KeepAspect = 1;
        o.Shape = slot % 10;
        o.Color = slot * 0x10101;
        o.FontName = QStringLiteral("Times New Roman");
        o.FontHeight = -16;
        o.FontSize = 12;
        if (o.Kind == Text) o.Content = QStringLiteral("Grüße Nummer %1\rzweite Zeile").arg(slot);
    }
}

const BoxDocument& fullDocument() {
    static BoxDocument doc;
    static bool filled = false;
    if (!filled) {
        fillDocument(doc);
        filled = true;
    }
    return doc;
}

void BM_Serialize(benchmark::State& state) {
    const BoxDocument& doc = fullDocument();
    for (auto _ : state) benchmark::DoNotOptimize(serializeBoxDocument(doc));
    state.SetBytesProcessed(state.iterations() * serializeBoxDocument(doc).size());
}
BENCHMARK(BM_Serialize)->Unit(benchmark::kMillisecond);

void BM_Parse(benchmark::State& state) {
    const QByteArray bytes = serializeBoxDocument(fullDocument());
    for (auto _ : state) {
        BoxDocument doc;
        benchmark::DoNotOptimize(parseBoxDocument(bytes, doc).ok());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_Parse)->Unit(benchmark::kMillisecond);

void BM_Saveit(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.box"));
    RecordingPrompter prompter;
    for (auto _ : state)
        if (!Saveit(fullDocument(), path, prompter)) state.SkipWithError("save failed");
}
BENCHMARK(BM_Saveit)->Unit(benchmark::kMillisecond);

void BM_OpenItNow(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.box"));
    RecordingPrompter prompter;
    Saveit(fullDocument(), path, prompter);
    BoxDocument doc;
    for (auto _ : state)
        if (!OpenItNow(doc, path, prompter)) state.SkipWithError("open failed");
}
BENCHMARK(BM_OpenItNow)->Unit(benchmark::kMillisecond);

// The goal: both together well under 20 ms.
void BM_SaveAndOpen(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.box"));
    RecordingPrompter prompter;
    BoxDocument doc;
    for (auto _ : state) {
        if (!Saveit(fullDocument(), path, prompter) || !OpenItNow(doc, path, prompter))
            state.SkipWithError("save or open failed");
    }
}
BENCHMARK(BM_SaveAndOpen)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
