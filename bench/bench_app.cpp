// The designer's own figures: start-up to the first painted editor, a full
// repaint of a 1920 x 1080 editor with 1000 objects, and one drag step.
#include "app/EditorCanvas.h"
#include "app/EditorScrollBox.h"
#include "app/CursorSlots.h"
#include "app/SDIMain.h"
#include "edit/Editor.h"
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

    explicit BigEditor(int count = 1000) {
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
        for (int i = 0; i < count; ++i) {
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
            // The top 20 rows stay empty: a rubber band starts there.
            SetDevTop(o, s.y() + 20 + (i * 53) % 980, doc.Zoom, doc.ScreenDivisor);
            SetDevWidth(o, 40 + i % 60, doc.Zoom, doc.ScreenDivisor);
            SetDevHeight(o, 30 + i % 50, doc.Zoom, doc.ScreenDivisor);
        }
        doc.CurrentObject = 500;
    }
};

// The editor with its controller, for gestures over many objects.
struct BigEditorWithController : BigEditor {
    Editor editor;
    explicit BigEditorWithController(int count) : BigEditor(count), editor(*canvas) {
        canvas->setController(&editor.controller);
    }
};

// A rubber band from the empty top-left corner over 10000 objects: the
// press (a full repaint), four band steps and the release, which selects
// them all and repaints with 10000 frames.
void RubberBandOver10000Objects(benchmark::State& state) {
    BigEditorWithController e(10000);
    e.canvas->PaintBox1Paint();
    const QPoint s = e.canvas->scrollPosition();
    const QPoint from = s + QPoint(2, 2), to = s + QPoint(1915, 1075);
    for (auto _ : state) {
        e.editor.controller.mousePress(Qt::LeftButton, Qt::NoModifier, from);
        for (int i = 1; i <= 4; ++i) e.editor.controller.mouseMove(Qt::NoModifier, from + (to - from) * i / 4);
        e.editor.controller.mouseRelease(Qt::LeftButton, Qt::NoModifier, to);
        e.canvas->QWidget::repaint();
    }
    if (e.doc.selectedSlots().size() < 9000) state.SkipWithError("the band did not select the objects");
}
BENCHMARK(RubberBandOver10000Objects)->Unit(benchmark::kMillisecond);

// The repaint that shows 10000 selected objects (the one after the band).
void RepaintWith10000Selected(benchmark::State& state) {
    BigEditorWithController e(10000);
    if (state.range(0)) e.editor.controller.selectAll();
    for (auto _ : state) {
        e.canvas->PaintBox1Paint();
        e.canvas->QWidget::repaint();
    }
}
// Argument 0: the same repaint with nothing selected, for comparison.
BENCHMARK(RepaintWith10000Selected)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One step of dragging 1000 selected objects: all of them moved in the
// document, the step merged into the drag's one undo step, the bounding
// box's outline shown.
void DragStepOf1000Selected(benchmark::State& state) {
    BigEditorWithController e(1000);
    e.editor.controller.selectAll();
    const Tobs& current = e.doc.Objects[e.doc.CurrentObject];
    const Mapping map = Mapping::screenFor(e.doc);
    const QPoint grab(map.DevLeft(current) + 5, map.DevTop(current) + 5);
    e.editor.controller.mousePress(Qt::LeftButton, Qt::NoModifier, grab);
    int step = 0;
    for (auto _ : state) {
        const QPoint to = grab + QPoint(1 + step % 200, 1 + step % 150);
        e.editor.controller.mouseMove(Qt::NoModifier, to);
        e.canvas->QWidget::repaint();
        ++step;
    }
    e.editor.controller.mouseRelease(Qt::LeftButton, Qt::NoModifier, grab);
    if (e.doc.selectedSlots().size() != 1000) state.SkipWithError("not 1000 selected");
}
BENCHMARK(DragStepOf1000Selected)->Unit(benchmark::kMillisecond);

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
