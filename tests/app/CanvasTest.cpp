// The editor canvas: what its buffer holds, the marks of the current object
// and the drag outline.
#include "AppTestSupport.h"

#include "app/CursorSlots.h"
#include "app/EditorCanvas.h"
#include "app/EditorPage.h"
#include "app/EditorScrollBox.h"
#include "app/RulerWidget.h"
#include "edit/EditorController.h"
#include "model/BoxSize.h"
#include "render/Mapping.h"
#include "render/RulerPainter.h"

#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>

namespace {

QColor at(const QImage& img, int x, int y) { return QColor(img.pixel(x, y)); }

// The buffer pixel showing canvas point (x, y).
QColor canvasPixel(EditorCanvas* c, int x, int y) {
    const QPoint s = c->scrollPosition();
    return at(c->paintBuffer(), x - s.x(), y - s.y());
}

}  // namespace

TEST(Canvas, BufferHoldsFrameAndShadowOfTheBoxArea) {
    StartedWindow w;
    w.window->resize(1900, 1400);   // the whole editing area in view
    QCoreApplication::processEvents();
    EditorCanvas* c = w.window->PaintBox1;
    c->setScrollPosition(QPoint(0, 0));
    c->PaintBox1Paint();
    ASSERT_EQ(c->scrollPosition(), QPoint(0, 0));
    const QImage& b = c->paintBuffer();
    ASSERT_GE(b.width(), 1110);
    ASSERT_GE(b.height(), 790);
    // Frame (548, 388, 1097, 776): its right column and top row.
    EXPECT_EQ(at(b, 1096, 600), QColor(Qt::black));
    EXPECT_EQ(at(b, 1000, 388), QColor(Qt::black));
    EXPECT_EQ(at(b, 1095, 600), QColor(Qt::white));
    // Shadow strips (1097, 393, 1102, 781) and (553, 776, 1102, 781).
    const QColor grey(0x80, 0x80, 0x80);
    EXPECT_EQ(at(b, 1097, 393), grey);
    EXPECT_EQ(at(b, 1101, 780), grey);
    EXPECT_EQ(at(b, 1099, 392), QColor(Qt::white));
    EXPECT_EQ(at(b, 1102, 600), QColor(Qt::white));
    EXPECT_EQ(at(b, 553, 776), grey);
    EXPECT_EQ(at(b, 800, 778), grey);
    EXPECT_EQ(at(b, 552, 778), QColor(Qt::white));
    EXPECT_EQ(at(b, 800, 781), QColor(Qt::white));
}

TEST(Canvas, ScrollingShiftsThePicture) {
    StartedWindow w;
    EditorCanvas* c = w.window->PaintBox1;
    placeFigure(w.doc(), 700, 500, 50, 50);
    c->setScrollPosition(QPoint(600, 450));
    c->PaintBox1Paint();
    const QImage first = c->paintBuffer();
    c->setScrollPosition(QPoint(610, 457));
    c->PaintBox1Paint();
    const QImage second = c->paintBuffer();
    ASSERT_EQ(first.size(), second.size());
    for (int y = 0; y < second.height() - 7; y += 3)
        for (int x = 0; x < second.width() - 10; x += 3)
            ASSERT_EQ(second.pixel(x, y), first.pixel(x + 10, y + 7)) << x << "," << y;
}

TEST(Canvas, HandlesOnlyWhileIdleAndTheDragOutlineErasesItself) {
    StartedWindow w;
    EditorCanvas* c = w.window->PaintBox1;
    BoxDocument& doc = w.doc();
    const int slot = placeFigure(doc, 700, 500, 50, 50, 0xFFFFFF);   // white: marks stand out

    c->PaintBox1Paint();
    const QImage plain = c->paintBuffer();
    doc.CurrentObject = slot;
    c->PaintBox1Paint();
    EXPECT_EQ(canvasPixel(c, 697, 497), QColor(Qt::black));    // handle 1's square
    EXPECT_EQ(canvasPixel(c, 720, 500), QColor(Qt::black));    // frame
    EXPECT_EQ(canvasPixel(c, 752, 552), QColor(Qt::black));    // handle 4 reaches outside
    EXPECT_EQ(canvasPixel(c, 720, 520), QColor(Qt::white));    // inside untouched

    // A press inside the current object starts a drag: plain inverted frame.
    const int renders = c->renderCount();
    w.window->editorController().mousePress(Qt::LeftButton, Qt::NoModifier, QPoint(720, 520));
    ASSERT_EQ(w.window->editorController().state().DragState, dsDragObject);
    EXPECT_GT(c->renderCount(), renders);
    const QImage dragStart = c->paintBuffer();
    const QPoint s = c->scrollPosition();
    EXPECT_EQ(at(dragStart, 697 - s.x(), 497 - s.y()), at(plain, 697 - s.x(), 497 - s.y()));
    EXPECT_EQ(at(dragStart, 720 - s.x(), 500 - s.y()), QColor(Qt::black));   // white inverted

    // Outline moves: no new render, and back at the start the buffer is as before.
    const int rendersBefore = c->renderCount();
    c->showDragOutline(QRect(730, 515, 50, 50));
    EXPECT_NE(c->paintBuffer(), dragStart);
    c->showDragOutline(QRect(760, 530, 50, 50));
    c->showDragOutline(QRect(700, 500, 50, 50));
    EXPECT_EQ(c->paintBuffer(), dragStart);
    EXPECT_EQ(c->renderCount(), rendersBefore);

    // The release repaints with handles at the new place.
    w.window->editorController().mouseRelease(Qt::LeftButton, Qt::NoModifier, QPoint(740, 540));
    EXPECT_EQ(w.window->editorController().state().DragState, dsIdle);
    const Mapping map = Mapping::screenFor(doc);
    const int left = map.DevLeft(doc.Objects[slot]);
    const int top = map.DevTop(doc.Objects[slot]);
    EXPECT_EQ(left, 720);
    EXPECT_EQ(top, 520);
    EXPECT_EQ(canvasPixel(c, left - 3, top - 3), QColor(Qt::black));
}

TEST(Canvas, NoMarksWithoutACurrentObject) {
    StartedWindow w;
    EditorCanvas* c = w.window->PaintBox1;
    const int slot = placeFigure(w.doc(), 700, 500, 50, 50, 0xFFFFFF);
    w.doc().CurrentObject = slot;
    c->PaintBox1Paint();
    const QImage marked = c->paintBuffer();
    w.doc().CurrentObject = 0;
    c->PaintBox1Paint();
    EXPECT_NE(marked, c->paintBuffer());
    EXPECT_EQ(canvasPixel(c, 697, 497), QColor(Qt::white));
}

TEST(Canvas, OwnCursorsComeFromTheirBitmaps) {
    CursorSlots cursorSlots;
    for (CursorSlot slot : {CursorDragHand, CursorMagnifier, CursorMultiDrag}) {
        const QCursor& c = cursorSlots.cursor(slot);
        EXPECT_EQ(c.shape(), Qt::BitmapCursor) << slot;
        EXPECT_EQ(c.bitmap().size(), QSize(32, 32)) << slot;
    }
    EXPECT_EQ(cursorSlots.cursor(CursorDragHand).hotSpot(), QPoint(15, 16));
    EXPECT_EQ(cursorSlots.cursor(CursorMagnifier).hotSpot(), QPoint(0, 0));
    EXPECT_EQ(cursorSlots.cursor(CursorTopLeft).shape(), Qt::SizeFDiagCursor);
    EXPECT_EQ(cursorSlots.cursor(CursorTopRight).shape(), Qt::SizeBDiagCursor);
    EXPECT_EQ(cursorSlots.cursor(CursorTop).shape(), Qt::SizeVerCursor);
    EXPECT_EQ(cursorSlots.cursor(CursorRight).shape(), Qt::SizeHorCursor);
    EXPECT_EQ(cursorSlots.cursor(CursorArrow).shape(), Qt::ArrowCursor);
    EXPECT_EQ(cursorSlots.cursor(CursorIBeam).shape(), Qt::IBeamCursor);
}

TEST(Canvas, ZoomStepRendersOnceAtTheEndAndRulersFollow) {
    StartedWindow w;
    EditorCanvas* c = w.window->PaintBox1;
    c->setCurrentTool(EditorTool::Zoom);
    const int renders = c->renderCount();
    w.window->editorController().mousePress(Qt::LeftButton, Qt::NoModifier, QPoint(823, 582));
    EXPECT_EQ(c->size(), QSize(2470, 1746));   // 685040 / 277.33, 484252 / 277.33
    EXPECT_EQ(c->renderCount(), renders + 1);  // resizing and scrolling while suspended render nothing
    const QPoint s = c->scrollPosition();
    const QImage expected = paintHorizontalRuler(w.window->TabSheet3->TRuler->width(), 20, s.x(), c->width(),
                                                 w.doc().Layout.ItemWidth);
    EXPECT_EQ(w.window->TabSheet3->TRuler->render(), expected);
}

TEST(Canvas, HandScrollingMovesTheViewAndTheBufferFollowsOnPaint) {
    StartedWindow w;
    EditorCanvas* c = w.window->PaintBox1;
    c->setCurrentTool(EditorTool::Hand);
    const QPoint start = c->scrollPosition();
    auto& controller = w.window->editorController();
    controller.mousePress(Qt::LeftButton, Qt::NoModifier, QPoint(700, 500));
    controller.mouseMove(Qt::NoModifier, QPoint(730, 500));
    // The canvas moved with the view: the same screen spot is now 30 pixels further left on it.
    const int renders = c->renderCount();
    controller.mouseRelease(Qt::LeftButton, Qt::NoModifier, QPoint(700, 500));
    EXPECT_EQ(c->scrollPosition(), start - QPoint(30, 0));
    // The release repaints the part scrolled into view.
    c->ensureRendered();
    EXPECT_EQ(c->renderCount(), renders + 1);
    c->ensureRendered();
    EXPECT_EQ(c->renderCount(), renders + 1);   // nothing changed: no second render
}

TEST(Canvas, BoxSizeStepsRepaintAndShowTheCubeEdge) {
    StartedWindow w;
    EditorPage* page = w.window->TabSheet3;
    const int renders = w.window->PaintBox1->renderCount();
    page->ProzED->stepDown();
    EXPECT_EQ(page->ProzED->value(), 90);
    EXPECT_EQ(w.window->PaintBox1->boxPercent(), 90);
    EXPECT_EQ(page->GrossEd->text(), cubeEdgeText(90, 205.0));
    EXPECT_GT(w.window->PaintBox1->renderCount(), renders);
    page->ProzED->setValue(5);
    EXPECT_EQ(page->ProzED->value(), 10);
    page->ProzED->setValue(150);
    EXPECT_EQ(page->ProzED->value(), 100);
}

// As the window shows them: the corner between the editor's scroll bars is
// not black, and the cube size caption keeps a gap to its field.
TEST(Canvas, ScrollBarCornerAndCubeSizeCaptionInTheShownWindow) {
    StartedWindow w;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.window.get()));
    QTest::qWait(50);
    EditorPage* page = w.window->TabSheet3;
    QScrollArea* box = page->ScrollBox1;
    ASSERT_TRUE(box->horizontalScrollBar()->isVisible());
    ASSERT_TRUE(box->verticalScrollBar()->isVisible());
    const QImage shot = w.window->screen()->grabWindow(w.window->winId()).toImage();
    const QPoint corner = box->mapTo(w.window.get(), QPoint(box->width() - 3, box->height() - 3));
    EXPECT_NE(QColor(shot.pixel(corner)), QColor(Qt::black));

    auto* label = page->SpeedBar2->findChild<QLabel*>(QStringLiteral("CubeSizeLabel"));
    ASSERT_NE(label, nullptr);
    const int textRight = label->x() + label->fontMetrics().horizontalAdvance(label->text());
    EXPECT_LE(textRight, page->GrossEd->x() - 3);
}
