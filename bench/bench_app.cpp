// The designer's own figures: start-up to the first painted editor, a full
// repaint of a 1920 x 1080 editor with 1000 objects, and one drag step.
#include "app/EditorCanvas.h"
#include "app/EditorScrollBox.h"
#include "app/CursorSlots.h"
#include "app/SDIMain.h"
#include "model/BoxDocument.h"
#include "model/NewDocument.h"
#include "model/Prompter.h"
#include "render/EditorView.h"
#include "render/Mapping.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <chrono>
#include <memory>

namespace {

void StartToFirstPaintedEditor(benchmark::State& state) {
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        RecordingPrompter prompter;
        auto window = std::make_unique<TSDIAppForm>(&prompter, false);
        window->show();
        while (window->PaintBox1->paintEventCount() == 0 && clock.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
        prompter.answers = {PromptAnswer::No};
        window->close();
        window.reset();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(StartToFirstPaintedEditor)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// A canvas whose visible part is 1920 x 1080, zoomed in one step so the
// editing area is larger than that, with 1000 objects in view.
struct BigEditor {
    BoxDocument doc;
    RecordingPrompter prompter;
    CursorSlots cursors;
    EditorScrollBox box;
    EditorCanvas* canvas;

    BigEditor() {
        initStartupDocument(doc, 96);
        newDocument(doc);
        doc.ScreenDivisor = doc.ScreenDivisor / 1.5;
        canvas = new EditorCanvas(doc, prompter, cursors);
        box.setWidget(canvas);
        canvas->setScrollBox(&box);
        box.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box.resize(1920, 1080);
        box.show();
        canvas->sizeToDocument();
        QCoreApplication::processEvents();
        canvas->setScrollPosition(QPoint(canvas->width() / 3 - 300, canvas->height() / 3 - 150));
        const QPoint s = canvas->scrollPosition();
        for (int i = 0; i < 1000; ++i) {
            const int slot = doc.Objects.takeFreeSlot();
            Tobs& o = doc.Objects[slot];
            const bool text = i % 5 == 4;
            o.Kind = text ? Text : Figure;
            o.Shape = i % 10;
            o.FillModeOrShadowColor = i % 3;
            o.LineWidthOrTransColor = 1 + i % 4;
            o.Color = static_cast<std::int32_t>((i * 2654435761u) & 0xFFFFFF);
            o.BorderOrOutlineColor = 0x202020;
            o.Content = text ? QStringLiteral("Text %1").arg(i) : QString();
            o.FontName = QStringLiteral("Arial");
            o.FontHeight = -16;
            o.FontSize = 12;
            SetDevLeft(o, s.x() + (i * 37) % 1800, doc.Zoom, doc.ScreenDivisor);
            SetDevTop(o, s.y() + (i * 53) % 1000, doc.Zoom, doc.ScreenDivisor);
            SetDevWidth(o, 40 + i % 60, doc.Zoom, doc.ScreenDivisor);
            SetDevHeight(o, 30 + i % 50, doc.Zoom, doc.ScreenDivisor);
        }
        doc.CurrentObject = 500;
    }
};

void FullRepaint1920x1080With1000Objects(benchmark::State& state) {
    BigEditor editor;
    for (auto _ : state) {
        editor.canvas->PaintBox1Paint();
        editor.canvas->QWidget::repaint();   // the copy to the screen
    }
    if (editor.canvas->paintBuffer().size() != QSize(1920, 1080)) state.SkipWithError("buffer is not 1920 x 1080");
}
BENCHMARK(FullRepaint1920x1080With1000Objects)->Unit(benchmark::kMillisecond);

// The share of the render pass in the full repaint (no marks, no copy).
void RenderPassOf1920x1080With1000Objects(benchmark::State& state) {
    BigEditor editor;
    QImage buffer(1920, 1080, QImage::Format_RGB32);
    const QPoint s = editor.canvas->scrollPosition();
    for (auto _ : state) renderEditorBuffer(buffer, editor.doc, 100, s.x(), s.y());
}
BENCHMARK(RenderPassOf1920x1080With1000Objects)->Unit(benchmark::kMillisecond);

void DragStepOutlineOnly(benchmark::State& state) {
    BigEditor editor;
    editor.canvas->PaintBox1Paint();
    const QPoint s = editor.canvas->scrollPosition();
    int step = 0;
    for (auto _ : state) {
        const QRect r(s.x() + 200 + step % 400, s.y() + 150 + step % 300, 180, 120);
        editor.canvas->showDragOutline(r);
        editor.canvas->QWidget::repaint(r.adjusted(-400, -300, 400, 300));   // both outlines to the screen
        ++step;
    }
}
BENCHMARK(DragStepOutlineOnly)->Unit(benchmark::kMicrosecond);

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
