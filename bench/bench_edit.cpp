// Editing figures: a pointer move over the canvas with no drag (only the
// pointer shape follows) and one drag step of the current object with 10000
// objects in the document (outline only, the design is not rendered again).
#include "app/CursorSlots.h"
#include "app/EditorCanvas.h"
#include "app/EditorScrollBox.h"
#include "edit/Editor.h"
#include "edit/WidgetEditorDialogs.h"
#include "model/BoxDocument.h"
#include "model/NewDocument.h"
#include "model/Prompter.h"
#include "render/Mapping.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPointingDevice>

namespace {

// The real canvas in its scroll box, driven by the editor controller, with
// every slot of the table in use.
struct FullEditor {
    BoxDocument doc;
    RecordingPrompter prompter;
    CursorSlots cursors;
    EditorScrollBox box;
    EditorCanvas* canvas;
    std::unique_ptr<Editor> editor;
    std::unique_ptr<WidgetEditorDialogs> dialogs;

    FullEditor() {
        initStartupDocument(doc, 96);
        newDocument(doc);
        canvas = new EditorCanvas(doc, prompter, cursors);
        box.setWidget(canvas);
        canvas->setScrollBox(&box);
        box.resize(1200, 800);
        box.show();
        canvas->sizeToDocument();
        editor = std::make_unique<Editor>(*canvas);
        canvas->setController(&editor->controller);
        QCoreApplication::processEvents();
        canvas->setScrollPosition(QPoint(canvas->width() / 3, canvas->height() / 3));
        const QPoint s = canvas->scrollPosition();
        for (int i = 0; i < ObjectTable::Capacity; ++i) {
            const int slot = doc.Objects.takeFreeSlot();
            Tobs& o = doc.Objects[slot];
            o.Kind = Figure;
            o.Shape = i % 10;
            o.LineWidthOrTransColor = 1 + i % 4;
            o.Color = static_cast<std::int32_t>((i * 2654435761u) & 0xFFFFFF);
            SetDevLeft(o, s.x() + (i * 37) % 1100, doc.Zoom, doc.ScreenDivisor);
            SetDevTop(o, s.y() + (i * 53) % 700, doc.Zoom, doc.ScreenDivisor);
            SetDevWidth(o, 20 + i % 60, doc.Zoom, doc.ScreenDivisor);
            SetDevHeight(o, 20 + i % 50, doc.Zoom, doc.ScreenDivisor);
        }
        // The current object, 200 x 150 pixels in the middle of the view.
        doc.CurrentObject = 5000;
        Tobs& current = doc.Objects[5000];
        SetDevLeft(current, s.x() + 400, doc.Zoom, doc.ScreenDivisor);
        SetDevTop(current, s.y() + 300, doc.Zoom, doc.ScreenDivisor);
        SetDevWidth(current, 200, doc.Zoom, doc.ScreenDivisor);
        SetDevHeight(current, 150, doc.Zoom, doc.ScreenDivisor);
        canvas->PaintBox1Paint();
        canvas->QWidget::repaint();
    }

    QPoint origin() const { return canvas->scrollPosition(); }

    void send(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, pos, canvas->mapToGlobal(pos), button, buttons, Qt::NoModifier,
                      QPointingDevice::primaryPointingDevice());
        QApplication::sendEvent(canvas, &e);
    }
};

void PointerMoveWithoutDrag(benchmark::State& state) {
    FullEditor ed;
    const QPoint o = ed.origin();
    // Alternately inside the current object, on a handle and outside it, so
    // the pointer shape really changes.
    const QPoint points[3] = {o + QPoint(500, 375), o + QPoint(400, 300), o + QPoint(100, 100)};
    const int renders = ed.canvas->renderCount();
    int i = 0;
    for (auto _ : state) {
        ed.send(QEvent::MouseMove, points[i % 3], Qt::NoButton, Qt::NoButton);
        ++i;
    }
    if (ed.canvas->renderCount() != renders) state.SkipWithError("a pointer move rendered the design");
}
BENCHMARK(PointerMoveWithoutDrag)->Unit(benchmark::kMicrosecond);

void DragStepWith10000Objects(benchmark::State& state) {
    FullEditor ed;
    const QPoint o = ed.origin();
    ed.send(QEvent::MouseButtonPress, o + QPoint(500, 375), Qt::LeftButton, Qt::LeftButton);
    const int rendersAtPress = ed.canvas->renderCount();
    int step = 0;
    for (auto _ : state) {
        const QPoint p = o + QPoint(300 + step % 400, 250 + (step * 7) % 300);
        ed.send(QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton);
        // The two outlines reach the screen.
        ed.canvas->QWidget::repaint(QRect(p - QPoint(200, 200), QSize(600, 500)));
        ++step;
    }
    if (ed.canvas->renderCount() != rendersAtPress) state.SkipWithError("a drag step rendered the design");
    ed.send(QEvent::MouseButtonRelease, o + QPoint(500, 375), Qt::LeftButton, Qt::NoButton);
}
BENCHMARK(DragStepWith10000Objects)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
