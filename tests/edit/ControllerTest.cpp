// The tools on the canvas: creation, selection, moving and resizing by the
// handles, hand scrolling and zoom steps, driven by mouse events.

#include "EditTestHelpers.h"
#include "TestCanvas.h"
#include "base/Units.h"

#include "edit/EditorController.h"

#include <QDir>
#include <QImage>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <limits>

namespace {

class ControllerTest : public ::testing::Test {
protected:
    TestCanvas c;
    void SetUp() override { c.show(); }
    void click(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mouseClick(&c, b, Qt::NoModifier, p); }
};

TEST_F(ControllerTest, FigureToolCreatesAtReleasePointAndReturnsToPointer) {
    c.tool = EditorTool::Figure;
    click(QPoint(100, 40));
    const Tobs& o = c.obj(1);
    EXPECT_EQ(o.Kind, Figure);
    EXPECT_EQ(o.Left, 100 * 416);
    EXPECT_EQ(o.Top, 40 * 416);
    EXPECT_EQ(o.Width, 50 * 416);
    EXPECT_EQ(o.Height, 50 * 416);
    EXPECT_EQ(o.Shape, shRectangle);
    EXPECT_EQ(o.Color, 0);
    EXPECT_EQ(o.KeepAspect, 1);
    EXPECT_EQ(o.FontName, QStringLiteral("Times New Roman"));
    EXPECT_EQ(o.FontHeight, -16);
    EXPECT_EQ(o.FontSize, 12);
    EXPECT_EQ(c.doc.CurrentObject, 1);
    EXPECT_EQ(c.tool, EditorTool::Pointer);
    EXPECT_GE(c.keyFocus, 1);
}

TEST_F(ControllerTest, DraggingWithTextToolPlacesAtReleaseWithoutOutlineAndSlotStartsClean) {
    // The slot held a turned, right-aligned text with a shadow before.
    Tobs& old = c.obj(1);
    old.Kind = KindFree;
    old.Rotation = 2;
    old.Alignment = 2;
    old.Shadow = 1;
    old.ShadowDx = 9;
    c.tool = EditorTool::Text;
    dragMouse(&c, QPoint(10, 10), {QPoint(100, 100), QPoint(200, 150)}, QPoint(300, 120));
    const Tobs& o = c.obj(1);
    EXPECT_EQ(o.Kind, Text);
    EXPECT_EQ(o.Left, 300 * 416);
    EXPECT_EQ(o.Top, 120 * 416);
    EXPECT_EQ(o.Rotation, 0);
    EXPECT_EQ(o.Alignment, 0);
    EXPECT_EQ(o.Shadow, 0);
    EXPECT_EQ(o.ShadowDx, 5);
    EXPECT_EQ(c.outlines, 0);
}

TEST_F(ControllerTest, ClickInOverlapSelectsTopObjectButCurrentObjectWinsForDragging) {
    c.place(1, Figure, 100, 100, 100, 100);   // A
    c.place(2, Figure, 150, 150, 100, 100);   // B, on top
    click(QPoint(175, 175));
    EXPECT_EQ(c.doc.CurrentObject, 2);

    c.doc.CurrentObject = 1;
    QTest::mousePress(&c, Qt::LeftButton, Qt::NoModifier, QPoint(175, 175));
    EXPECT_EQ(c.controller().state().DragState, dsDragObject);
    EXPECT_EQ(c.controller().state().DragMode, dmMove);
    QTest::mouseMove(&c, QPoint(185, 185));
    QTest::mouseRelease(&c, Qt::LeftButton, Qt::NoModifier, QPoint(185, 185));
    EXPECT_EQ(c.obj(1).Left, 110 * 416);
    EXPECT_EQ(c.obj(2).Left, 150 * 416);
    EXPECT_EQ(c.controller().state().DragState, dsIdle);
}

TEST_F(ControllerTest, FirstPressOnlySelectsSecondPressDrags) {
    c.place(1, Figure, 100, 100, 100, 100);
    dragMouse(&c, QPoint(150, 150), {QPoint(170, 160)}, QPoint(170, 160));
    EXPECT_EQ(c.doc.CurrentObject, 1);
    EXPECT_EQ(c.obj(1).Left, 100 * 416);
    EXPECT_EQ(c.outlines, 0);

    const int repaintsBefore = c.repaints;
    dragMouse(&c, QPoint(150, 150), {QPoint(170, 160)}, QPoint(170, 160));
    EXPECT_EQ(c.obj(1).Left, 120 * 416);
    EXPECT_EQ(c.obj(1).Top, 110 * 416);
    EXPECT_EQ(c.obj(1).Width, 100 * 416);
    EXPECT_EQ(c.outlines, 1);
    EXPECT_EQ(c.lastOutline, QRect(120, 110, 100, 100));
    EXPECT_EQ(c.repaints, repaintsBefore + 2);   // at the press and at the release
}

TEST_F(ControllerTest, ClickOnEmptyCanvasDeselectsAndRightClickOpensCanvasMenu) {
    c.place(1, Figure, 100, 100, 100, 100);
    c.doc.CurrentObject = 1;
    click(QPoint(500, 500));
    EXPECT_EQ(c.doc.CurrentObject, 0);

    c.doc.CurrentObject = 1;
    click(QPoint(500, 500), Qt::RightButton);
    EXPECT_EQ(c.doc.CurrentObject, 0);
    ASSERT_EQ(c.menusOpened.size(), 1u);
    EXPECT_EQ(c.menusOpened[0], QStringLiteral("PBoxPopup"));
    EXPECT_EQ(c.menuPoints[0], QPoint(500, 500));
}

TEST_F(ControllerTest, RightClickOnObjectSelectsItAndOpensObjectMenuWithAnyToolButZoom) {
    c.place(1, Figure, 100, 100, 100, 100);
    c.tool = EditorTool::Figure;
    click(QPoint(150, 150), Qt::RightButton);
    EXPECT_EQ(c.doc.CurrentObject, 1);
    ASSERT_EQ(c.menusOpened.size(), 1u);
    EXPECT_EQ(c.menusOpened[0], QStringLiteral("PopupMenu1"));
    EXPECT_EQ(c.obj(1).Kind, Figure);   // a right release creates nothing

    c.tool = EditorTool::Zoom;
    click(QPoint(150, 150), Qt::RightButton);
    EXPECT_EQ(c.menusOpened.size(), 1u);
    EXPECT_DOUBLE_EQ(c.doc.ScreenDivisor, 624.0);
}

TEST_F(ControllerTest, HandleGrabsWithinThreePixelsButNotFour) {
    c.place(1, Figure, 100, 100, 100, 100);
    c.doc.CurrentObject = 1;
    hover(&c, QPoint(97, 97));
    EXPECT_EQ(c.lastCursor(), CursorTopLeft);
    hover(&c, QPoint(96, 97));
    EXPECT_EQ(c.lastCursor(), CursorArrow);

    QTest::mousePress(&c, Qt::LeftButton, Qt::NoModifier, QPoint(97, 97));
    EXPECT_EQ(c.controller().state().DragMode, dmTopLeft);
    EXPECT_EQ(c.controller().state().GrabOffsetX, -3);
    QTest::mouseRelease(&c, Qt::LeftButton, Qt::NoModifier, QPoint(97, 97));
    // The grab offset keeps the edge where it was.
    EXPECT_EQ(c.obj(1).Left, 100 * 416);
    EXPECT_EQ(c.obj(1).Width, 100 * 416);

    QTest::mousePress(&c, Qt::LeftButton, Qt::NoModifier, QPoint(96, 97));
    EXPECT_EQ(c.controller().state().DragState, dsRubberBand);   // empty canvas: a band
    EXPECT_EQ(c.doc.CurrentObject, 0);
    QTest::mouseRelease(&c, Qt::LeftButton, Qt::NoModifier, QPoint(96, 97));
}

TEST_F(ControllerTest, OnTinyObjectTheTopLeftCornerWins) {
    c.place(1, Figure, 100, 100, 4, 4);
    c.doc.CurrentObject = 1;
    QTest::mousePress(&c, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    EXPECT_EQ(c.controller().state().DragMode, dmTopLeft);
    QTest::mouseRelease(&c, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
}

TEST_F(ControllerTest, PointerShapesFollowToolAndObject) {
    hover(&c, QPoint(150, 150));
    EXPECT_EQ(c.lastCursor(), CursorArrow);
    c.place(1, Figure, 100, 100, 100, 100);
    c.doc.CurrentObject = 1;
    hover(&c, QPoint(150, 150));
    EXPECT_EQ(c.lastCursor(), CursorDragHand);
    hover(&c, QPoint(150, 103));
    EXPECT_EQ(c.lastCursor(), CursorTop);
    hover(&c, QPoint(400, 400));
    EXPECT_EQ(c.lastCursor(), CursorArrow);
    c.tool = EditorTool::Zoom;
    hover(&c, QPoint(150, 150));
    EXPECT_EQ(c.lastCursor(), CursorMagnifier);
    c.tool = EditorTool::Hand;
    hover(&c, QPoint(150, 150));
    EXPECT_EQ(c.lastCursor(), CursorDragHand);
    c.tool = EditorTool::Image;
    hover(&c, QPoint(150, 150));
    EXPECT_EQ(c.lastCursor(), CursorMultiDrag);
    c.tool = EditorTool::Content;
    hover(&c, QPoint(150, 150));
    EXPECT_EQ(c.lastCursor(), CursorIBeam);
    // The pointer is set only when the shape changes.
    const size_t count = c.cursors.size();
    hover(&c, QPoint(160, 160));
    EXPECT_EQ(c.cursors.size(), count);
}

TEST_F(ControllerTest, EdgeDraggedAcrossOppositeEdgeMirrors) {
    // One document unit per pixel keeps the numbers those of the document.
    c.doc.ScreenDivisor = 1;
    c.canvas = QSize(100000, 100000);
    Tobs& o = c.obj(c.place(1, Figure, 0, 0, 100, 100));
    c.doc.CurrentObject = 1;
    QTest::mousePress(&c, Qt::LeftButton, Qt::NoModifier, QPoint(100, 50));
    ASSERT_EQ(c.controller().state().DragMode, dmRight);
    QTest::mouseMove(&c, QPoint(-50, 50));
    EXPECT_EQ(o.Left, -50);
    EXPECT_EQ(o.Width, 50);
    EXPECT_EQ(c.controller().state().DragMode, dmLeft);
    // The drag goes on with the left edge.
    QTest::mouseMove(&c, QPoint(-20, 50));
    EXPECT_EQ(o.Left, -20);
    EXPECT_EQ(o.Width, 20);
    QTest::mouseRelease(&c, Qt::LeftButton, Qt::NoModifier, QPoint(-20, 50));
}

TEST_F(ControllerTest, BottomRightDraggedAboveTopLeftMirrorsTwice) {
    Tobs& o = c.obj(c.place(1, Figure, 100, 100, 100, 100));
    c.doc.CurrentObject = 1;
    QTest::mousePress(&c, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    ASSERT_EQ(c.controller().state().DragMode, dmBottomRight);
    QTest::mouseMove(&c, QPoint(50, 40));
    EXPECT_EQ(c.controller().state().DragMode, dmTopLeft);
    EXPECT_EQ(o.Left, 50 * 416);
    EXPECT_EQ(o.Top, 40 * 416);
    EXPECT_EQ(o.Width, 50 * 416);
    EXPECT_EQ(o.Height, 60 * 416);
    QTest::mouseRelease(&c, Qt::LeftButton, Qt::NoModifier, QPoint(50, 40));
}

// Every handle dragged across the opposite side: the drag mode mirrors in
// the axes crossed and the rectangle ends on the far side, same size.
TEST_F(ControllerTest, AllEightHandlesMirrorWhenDraggedAcross) {
    c.doc.ScreenDivisor = 1;
    c.canvas = QSize(100000, 100000);
    struct Case { QPoint handle; int mode; int mirrored; };
    const Case cases[] = {
        {{150, 150}, dmTopLeft, dmBottomRight}, {{200, 150}, dmTop, dmBottom},
        {{250, 150}, dmTopRight, dmBottomLeft}, {{250, 200}, dmRight, dmLeft},
        {{250, 250}, dmBottomRight, dmTopLeft}, {{200, 250}, dmBottom, dmTop},
        {{150, 250}, dmBottomLeft, dmTopRight}, {{150, 200}, dmLeft, dmRight},
    };
    for (const Case& k : cases) {
        Tobs& o = c.obj(c.place(1, Figure, 150, 150, 100, 100));
        c.doc.CurrentObject = 1;
        QTest::mousePress(&c, Qt::LeftButton, Qt::NoModifier, k.handle);
        ASSERT_EQ(c.controller().state().DragMode, k.mode) << k.handle.x() << "," << k.handle.y();
        // Across the opposite side by the object's size in each axis the handle moves in.
        const int dx = k.handle.x() == 150 ? 200 : k.handle.x() == 250 ? -200 : 0;
        const int dy = k.handle.y() == 150 ? 200 : k.handle.y() == 250 ? -200 : 0;
        QTest::mouseMove(&c, k.handle + QPoint(dx, dy));
        EXPECT_EQ(c.controller().state().DragMode, k.mirrored) << k.handle.x() << "," << k.handle.y();
        EXPECT_EQ(QRect(o.Left, o.Top, o.Width, o.Height), QRect(150 + dx / 2, 150 + dy / 2, 100, 100))
            << k.handle.x() << "," << k.handle.y();
        QTest::mouseRelease(&c, Qt::LeftButton, Qt::NoModifier, k.handle + QPoint(dx, dy));
    }
}

TEST_F(ControllerTest, MovingFarOutsideTheCanvasIsClamped) {
    Tobs& o = c.obj(c.place(1, Figure, 100, 100, 100, 100));
    c.doc.CurrentObject = 1;
    dragMouse(&c, QPoint(150, 150), {QPoint(-5000, -7000)}, QPoint(-5000, -7000));
    EXPECT_EQ(o.Left, -o.Width);
    EXPECT_EQ(o.Top, -o.Height);

    c.doc.CurrentObject = 1;
    const QPoint inside(-o.Width / 416 + 5, -o.Height / 416 + 5);
    dragMouse(&c, inside, {QPoint(90000, 90000)}, QPoint(2000000000, 2000000000));
    EXPECT_EQ(o.Left, 1646 * 416 - 1);
    EXPECT_EQ(o.Top, 1164 * 416 - 1);
    EXPECT_EQ(o.Width, 100 * 416);
}

TEST_F(ControllerTest, PressAndReleaseWithoutMoveSnapsToScreenGrid) {
    Tobs& o = c.obj(c.place(1, Figure, 100, 100, 100, 100));
    o.Left += 300;   // between two screen pixels
    o.Width += 7;
    c.doc.CurrentObject = 1;
    click(QPoint(150, 150));
    EXPECT_EQ(o.Left, 100 * 416);
    EXPECT_EQ(o.Width, 100 * 416 + 7);
}

TEST_F(ControllerTest, HandScrollFollowsPointerAndStopsAtZero) {
    c.tool = EditorTool::Hand;
    c.scroll = QPoint(300, 200);
    dragMouse(&c, QPoint(100, 100), {QPoint(130, 100)}, QPoint(130, 100));
    EXPECT_EQ(c.scroll, QPoint(270, 200));
    EXPECT_EQ(c.controller().state().DragState, dsIdle);

    c.scroll = QPoint(20, 10);
    dragMouse(&c, QPoint(100, 100), {QPoint(300, 300)}, QPoint(300, 300));
    EXPECT_EQ(c.scroll, QPoint(0, 0));
    EXPECT_EQ(c.obj(1).Kind, KindFree);
}

// The release of a hand scroll repaints, so the handles of the current
// object show again in the part scrolled into view.
TEST_F(ControllerTest, HandScrollRepaintsAtTheRelease) {
    c.tool = EditorTool::Hand;
    c.scroll = QPoint(300, 200);
    c.controller().mousePress(Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    c.controller().mouseMove(Qt::NoModifier, QPoint(130, 100));
    const int before = c.repaints;
    c.controller().mouseRelease(Qt::LeftButton, Qt::NoModifier, QPoint(140, 100));
    EXPECT_EQ(c.scroll, QPoint(230, 200));   // each step scrolls by the travel since the press
    EXPECT_EQ(c.repaints, before + 1);
}

TEST_F(ControllerTest, ZoomStepsInAndOutWithinBoundsAndCentresOnClick) {
    c.tool = EditorTool::Zoom;
    click(QPoint(800, 600));
    EXPECT_NEAR(c.doc.ScreenDivisor, 277.333, 0.001);
    EXPECT_EQ(c.canvas, QSize(static_cast<int>(c.doc.ExtentWidth / c.doc.ScreenDivisor),
                              static_cast<int>(c.doc.ExtentHeight / c.doc.ScreenDivisor)));
    // The clicked document point is now in the middle of the scroll box.
    EXPECT_EQ(c.scrollRequests.back(), QPoint(1200 - 300, 900 - 200));
    EXPECT_EQ(c.controller().state().SuspendPaint, false);

    for (int i = 0; i < 10; ++i) {
        c.scroll = QPoint();
        click(QPoint(100, 100));
    }
    const double atBound = 416 / (1.5 * 1.5 * 1.5 * 1.5 * 1.5 * 1.5);
    EXPECT_NEAR(c.doc.ScreenDivisor, atBound, 1e-9);

    // At the bound a click still centres the view on the clicked point.
    c.scroll = QPoint();
    c.scrollRequests.clear();
    click(QPoint(9000, 7000));
    EXPECT_NEAR(c.doc.ScreenDivisor, atBound, 1e-9);
    ASSERT_EQ(c.scrollRequests.size(), 1u);
    const double sd = c.doc.ScreenDivisor;
    const int cx = static_cast<int>(static_cast<long double>(static_cast<int>(9000.0L * sd)) / sd);
    const int cy = static_cast<int>(static_cast<long double>(static_cast<int>(7000.0L * sd)) / sd);
    EXPECT_EQ(c.scrollRequests[0], QPoint(cx - 300, cy - 200));
    EXPECT_NEAR(cx, 9000, 1);

    for (int i = 0; i < 12; ++i) click(QPoint(100, 100), Qt::RightButton);
    EXPECT_NEAR(c.doc.ScreenDivisor, 1404.0, 1e-6);
    EXPECT_TRUE(c.menusOpened.empty());
}

TEST_F(ControllerTest, ZoomOutFromStartStopsAfterPassingThousand) {
    c.tool = EditorTool::Zoom;
    for (int i = 0; i < 5; ++i) click(QPoint(100, 100), Qt::RightButton);
    EXPECT_DOUBLE_EQ(c.doc.ScreenDivisor, 1404.0);
}

TEST_F(ControllerTest, ImageInsertionSizesFromPixelsAndScreenDpi) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    c.doc.ProgramFolder = dir.path() + QLatin1Char('/');
    QImage img(400, 300, QImage::Format_RGB32);
    img.fill(Qt::red);
    ASSERT_TRUE(img.save(dir.filePath(QStringLiteral("pic.bmp"))));
    c.scripted.image = [](QString& chosen) {
        chosen = QStringLiteral("pic.bmp");
        return true;
    };
    c.tool = EditorTool::Image;
    click(QPoint(60, 70));
    // Unnamed design: the home folder, never the program's folder.
    EXPECT_EQ(c.scripted.lastImageFolder, QDir::homePath());
    EXPECT_FALSE(c.scripted.lastImageFilter.isEmpty());
    const Tobs& o = c.obj(1);
    ASSERT_EQ(o.Kind, Image);
    EXPECT_EQ(o.Width, 100 * 416);
    EXPECT_EQ(o.Height, 75 * 416);
    EXPECT_EQ(o.Left, 60 * 416);
    EXPECT_EQ(o.Content, QStringLiteral("pic.bmp"));
    EXPECT_EQ(o.Picture.DibWidth(), 400);
    EXPECT_EQ(c.tool, EditorTool::Pointer);
}

TEST_F(ControllerTest, ImageChooserCancelledOrFileUnreadableCreatesNothing) {
    QTemporaryDir dir;
    c.doc.ProgramFolder = dir.path() + QLatin1Char('/');
    c.tool = EditorTool::Image;
    click(QPoint(60, 70));
    EXPECT_EQ(c.obj(1).Kind, KindFree);
    EXPECT_EQ(c.tool, EditorTool::Image);
    EXPECT_TRUE(c.prompts.messages.empty());

    c.scripted.image = [](QString& chosen) {
        chosen = QStringLiteral("missing.bmp");
        return true;
    };
    click(QPoint(60, 70));
    EXPECT_EQ(c.obj(1).Kind, KindFree);
    EXPECT_EQ(c.doc.CurrentObject, 0);
    EXPECT_EQ(c.tool, EditorTool::Image);
    ASSERT_EQ(c.prompts.messages.size(), 1u);
    EXPECT_EQ(c.prompts.messages[0].text, QStringLiteral("Konnte Bild (missing.bmp) nicht Laden."));
    EXPECT_EQ(c.prompts.messages[0].icon, PromptIcon::Error);
}

// A drawing comes at its own size where clicked, not at that of its
// stand-in pixels; a refused one says why and adds nothing.
TEST_F(ControllerTest, DrawingInsertionTakesItsOwnSizeOrSaysWhyNot) {
    QTemporaryDir dir;
    c.doc.ProgramFolder = dir.path() + QLatin1Char('/');
    const auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write("logo.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"30mm\" height=\"1in\" viewBox=\"0 0 3 2\">"
                      "<rect width=\"3\" height=\"2\" fill=\"red\"/></svg>");
    write("kaputt.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 3 2\"><rect></svg>");
    QString file = QStringLiteral("logo.svg");
    c.scripted.image = [&](QString& chosen) {
        chosen = file;
        return true;
    };
    c.tool = EditorTool::Image;
    click(QPoint(60, 70));
    const Tobs& o = c.obj(1);
    ASSERT_EQ(o.Kind, Image);
    EXPECT_TRUE(o.Picture.isVector());
    EXPECT_EQ(o.Width, mmToUnits(30));
    EXPECT_EQ(o.Height, mmToUnits(25.4));
    EXPECT_EQ(o.Left, 60 * 416);
    EXPECT_EQ(o.Content, QStringLiteral("logo.svg"));

    file = QStringLiteral("kaputt.svg");
    c.tool = EditorTool::Image;
    click(QPoint(300, 300));
    EXPECT_EQ(c.obj(2).Kind, KindFree);
    ASSERT_EQ(c.prompts.messages.size(), 1u);
    EXPECT_EQ(c.prompts.messages[0].text,
              QStringLiteral("Konnte Bild (kaputt.svg) nicht Laden.\nDie Zeichnung ist fehlerhaft (XML-Fehler in Zeile 1)."));
}

TEST_F(ControllerTest, FullTableRefusesEveryCreatingRelease) {
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) c.place(slot, Figure, 2000, 2000, 1, 1);
    c.tool = EditorTool::Figure;
    click(QPoint(100, 40));
    ASSERT_EQ(c.prompts.messages.size(), 1u);
    EXPECT_EQ(c.prompts.messages[0].caption, QStringLiteral("Fehler: Kein freies Objekt mehr"));
    EXPECT_EQ(c.prompts.messages[0].text, QStringLiteral("Es wurden zuviele Objekte erstellt!"));
    EXPECT_EQ(c.prompts.messages[0].icon, PromptIcon::Information);
    EXPECT_EQ(c.tool, EditorTool::Figure);
    EXPECT_EQ(c.doc.CurrentObject, 0);

    c.tool = EditorTool::Pointer;
    click(QPoint(100, 40));
    EXPECT_EQ(c.prompts.messages.size(), 2u);
}

TEST_F(ControllerTest, DoubleClickOnTextOpensEntryOnceAndSwallowsItsPress) {
    Tobs& t = c.obj(c.place(1, Text, 100, 100, 100, 100));
    t.Content = QStringLiteral("A");
    c.scripted.text = [](QStringList& lines) {
        lines = {QStringLiteral("x"), QString(), QStringLiteral("y")};
        return true;
    };
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(150, 150));
    ASSERT_EQ(c.doc.CurrentObject, 1);
    QTest::mouseDClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(150, 150));
    EXPECT_EQ(c.scripted.textCalls, 1);
    EXPECT_EQ(c.scripted.lastLinesShown, QStringList{QStringLiteral("A")});
    EXPECT_EQ(t.Content, QStringLiteral("x\r\ry"));
    EXPECT_EQ(c.controller().state().DragState, dsIdle);
    EXPECT_FALSE(c.controller().state().SkipNextPress);
    QTest::mouseRelease(&c, Qt::LeftButton, Qt::NoModifier, QPoint(150, 150));
    EXPECT_EQ(t.Left, 100 * 416);

    // A double click on a figure opens nothing; its press starts a drag.
    c.place(2, Figure, 400, 400, 50, 50);
    c.doc.CurrentObject = 2;
    QTest::mouseDClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(420, 420));
    EXPECT_EQ(c.scripted.textCalls, 1);
    EXPECT_EQ(c.controller().state().DragState, dsDragObject);
    QTest::mouseRelease(&c, Qt::LeftButton, Qt::NoModifier, QPoint(420, 420));
}

TEST_F(ControllerTest, UpAndDownStepForwardThroughUsedSlotsWithWrap) {
    c.place(4, Figure, 10, 10, 10, 10);
    c.place(9, Figure, 30, 30, 10, 10);
    c.doc.CurrentObject = 9;
    EXPECT_TRUE(c.controller().keyDown(Qt::Key_Down));
    EXPECT_EQ(c.doc.CurrentObject, 4);
    c.controller().keyDown(Qt::Key_Up);
    EXPECT_EQ(c.doc.CurrentObject, 9);

    c.obj(4).Kind = KindFree;
    c.controller().keyDown(Qt::Key_Down);
    EXPECT_EQ(c.doc.CurrentObject, 9);
    EXPECT_FALSE(c.controller().keyDown(Qt::Key_A));
}

TEST_F(ControllerTest, MiddleButtonOnlyMovesTheFocus) {
    c.place(1, Figure, 100, 100, 100, 100);
    const int focus = c.keyFocus;
    click(QPoint(150, 150), Qt::MiddleButton);
    EXPECT_EQ(c.keyFocus, focus + 1);
    EXPECT_EQ(c.doc.CurrentObject, 0);
    EXPECT_EQ(c.repaints, 0);
}

TEST_F(ControllerTest, AbsurdScaleFromAFileNeverBreaksTheTools) {
    c.place(1, Figure, 100, 100, 100, 100);
    for (double zoom : {0.0, 1e-300, 1e300}) {
        for (double divisor : {0.0, -416.0, std::numeric_limits<double>::quiet_NaN(), 1e308}) {
            c.doc.Zoom = zoom;
            c.doc.ScreenDivisor = divisor;
            c.doc.CurrentObject = 1;
            c.tool = EditorTool::Pointer;
            dragMouse(&c, QPoint(150, 150), {QPoint(-100000, 100000)}, QPoint(900000, -5));
            c.tool = EditorTool::Zoom;
            click(QPoint(10, 10));
            click(QPoint(10, 10), Qt::RightButton);
            c.tool = EditorTool::Image;
            c.tool = EditorTool::Figure;
            click(QPoint(20, 20));
            EXPECT_EQ(c.controller().state().DragState, dsIdle);
            EXPECT_GE(c.canvas.width(), 0);
        }
    }
}

}  // namespace
