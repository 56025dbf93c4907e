// Switching the row of linked data the editor shows: a design of 100
// objects (figures, texts with fields, pictures named by a field) in the
// program's window at 1600 x 1000, the next row chosen and the editor
// repainted. The design is filled anew and only what changed is drawn again;
// pictures come from the cache after their first row.
#include "app/EditorCanvas.h"
#include "app/EditorPage.h"
#include "app/SDIMain.h"
#include "edit/ObjectCommands.h"
#include "edit/SeriesCommand.h"
#include "model/BoxDocument.h"
#include "model/Prompter.h"
#include "model/SeriesView.h"
#include "render/Mapping.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <memory>

namespace {

constexpr int Rows = 100;
constexpr int Photos = 10;

struct SeriesEditor {
    QTemporaryDir dir;
    RecordingPrompter prompter;
    std::unique_ptr<TSDIAppForm> window;

    SeriesEditor() {
        for (int p = 0; p < Photos; ++p) {
            QImage photo(600, 800, QImage::Format_RGB32);
            photo.fill(QColor::fromHsv(p * 36, 160, 220));
            photo.save(dir.filePath(QStringLiteral("foto%1.jpg").arg(p)), "JPEG");
        }
        QByteArray csv = "Vorname;Nachname;Foto\n";
        for (int r = 0; r < Rows; ++r)
            csv += "Gast" + QByteArray::number(r) + ";Familie " + QByteArray::number(r * 7) + ";foto" +
                   QByteArray::number(r % Photos) + ".jpg\n";
        QFile f(dir.filePath(QStringLiteral("gaeste.csv")));
        f.open(QIODevice::WriteOnly);
        f.write(csv);
        f.close();

        window = std::make_unique<TSDIAppForm>(&prompter, false);
        window->resize(1600, 1000);
        window->show();
        QElapsedTimer clock;
        clock.start();
        while (!window->startupDone() && clock.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        BoxDocument& doc = window->document();
        const QPoint s = window->PaintBox1->scrollPosition();
        for (int i = 0; i < 100; ++i) {
            const int slot = doc.Objects.takeFreeSlot();
            Tobs& o = doc.Objects[slot];
            o.Kind = i % 10 == 9 ? Image : i % 3 == 0 ? Text : Figure;
            o.Shape = i % 10;
            o.Color = static_cast<std::int32_t>((i * 2654435761u) & 0xFFFFFF);
            o.FontName = QStringLiteral("Liberation Sans");
            o.FontHeight = -20;
            o.FontSize = 15;
            if (o.Kind == Text) o.Content = QStringLiteral("Für {Vorname} {Nachname}\rTisch {Nr}");
            if (o.Kind == Image) o.Content = dir.filePath(QStringLiteral("{Foto}"));
            SetDevLeft(o, s.x() + (i * 53) % 900, doc.Zoom, doc.ScreenDivisor);
            SetDevTop(o, s.y() + (i * 29) % 600, doc.Zoom, doc.ScreenDivisor);
            SetDevWidth(o, o.Kind == Figure ? 40 : 120, doc.Zoom, doc.ScreenDivisor);
            SetDevHeight(o, o.Kind == Figure ? 40 : 60, doc.Zoom, doc.ScreenDivisor);
        }
        doc.markChanged();
        changeSeriesLink(window->objectCommands().history(), doc,
                         SeriesLink{dir.filePath(QStringLiteral("gaeste.csv")), SeriesSeparator::Semicolon,
                                    SeriesEncoding::Utf8});
        window->PaintBox1->PaintBox1Paint();
        // Every photo decoded once, as a user's first look at the rows does.
        for (int r = 0; r < Photos; ++r) window->showSeriesRow(r);
    }
    ~SeriesEditor() {
        prompter.answers = {PromptAnswer::No, PromptAnswer::No};
        window->close();
        window.reset();
        QCoreApplication::processEvents();
    }
};

void SwitchShownRowRepaint100Objects(benchmark::State& state) {
    SeriesEditor editor;
    int row = 0;
    for (auto _ : state) {
        row = (row + 1) % Rows;
        QElapsedTimer clock;
        clock.start();
        editor.window->showSeriesRow(row);
        editor.window->PaintBox1->QWidget::repaint();
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    }
    if (editor.window->seriesView().current() != row) state.SkipWithError("the row was not shown");
}
BENCHMARK(SwitchShownRowRepaint100Objects)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

// The part of the switch that fills the design for the row (no drawing).
void FillRowDocument100Objects(benchmark::State& state) {
    SeriesEditor editor;
    SeriesView& view = editor.window->seriesView();
    int row = 0;
    for (auto _ : state) {
        row = (row + 1) % Rows;
        view.setCurrent(row);
        benchmark::DoNotOptimize(view.shown(editor.window->document()).Revision);
    }
}
BENCHMARK(FillRowDocument100Objects)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Faltarillon-Designer 1.0"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
