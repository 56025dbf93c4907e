// Snapping in the real window, driven by real mouse events: edges onto the
// folds of the net at their exact document position, at the start scale and
// after a zoom step; handles, Shift, plain clicks; the guide in the buffer;
// the setting in the menu and in the per-user store.
#include "AppTestSupport.h"

#include "app/EditorCanvas.h"
#include "app/MainMenu.h"
#include "box/FaceGeometry.h"
#include "box/FoldingModel.h"
#include "box/NetSource.h"
#include "edit/EditorController.h"
#include "render/Mapping.h"

#include "model/BoxFileWriter.h"

#include <QAction>
#include <QSpinBox>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>

namespace {

void drag(QWidget* canvas, QPoint from, QPoint to, Qt::KeyboardModifiers mods = Qt::NoModifier, int steps = 6) {
    QTest::mousePress(canvas, Qt::LeftButton, mods, from);
    for (int i = 1; i <= steps; ++i) QTest::mouseEvent(QTest::MouseMove, canvas, Qt::NoButton, mods, from + (to - from) * i / steps);
    QTest::mouseRelease(canvas, Qt::LeftButton, mods, to);
}

struct SnapScene {
    StartedWindow w;
    EditorCanvas* c = nullptr;
    double foldX = 0;   // exact document units of a vertical fold in view
    int foldPx = 0;     // its screen column
    int row = 0;        // a canvas row in the middle of the view

    explicit SnapScene(bool zoomed) {
        c = w.window->PaintBox1;
        if (zoomed) {
            const QPoint mid = c->scrollPosition() + QPoint(c->visibleSize().width() / 2, c->visibleSize().height() / 2);
            w.window->editorController().zoomStep(mid.x(), mid.y(), true);
        }
        w.window->MainMenu1->NetzEinrasten1->setChecked(true);
        pickFold();
    }
    BoxDocument& doc() { return w.doc(); }
    Mapping map() { return Mapping::screenFor(doc()); }
    QRect view() { return QRect(c->scrollPosition(), c->visibleSize()); }

    // The vertical fold nearest the middle of the view.
    void pickFold() {
        const FoldingModel model = FoldingModel::inMillimetres(doc().Layout, NetSource::of(doc(), c->boxPercent()));
        const NetToUnits units = netToUnits(doc());
        const QRect v = view();
        double best = 1e18;
        for (const NetSegment& s : model.folds()) {
            if (std::abs(s.a.x() - s.b.x()) > 1e-9) continue;
            const double x = units.x(s.a.x());
            const int px = map().toDevice(unitsOf(x));
            if (px < v.left() + 150 || px > v.right() - 150) continue;
            if (std::abs(px - v.center().x()) < best) {
                best = std::abs(px - v.center().x());
                foldX = x;
                foldPx = px;
            }
        }
        ASSERT_LT(best, 1e18) << "no vertical fold in view";
        row = v.center().y();
    }
    // A figure whose left edge is `dx` pixels right of the fold.
    int placeBeside(int dx, int width = 40, int height = 30) {
        const int slot = placeFigure(doc(), foldPx + dx, row, width, height);
        doc().CurrentObject = slot;
        c->PaintBox1Paint();
        return slot;
    }
    Tobs& obj(int slot) { return doc().Objects[slot]; }
    // What the plain drag stores for an edge at this pixel.
    std::int32_t plainUnits(int px) { return screenPixelsToUnits(px, doc().Zoom, doc().ScreenDivisor); }
};

class SnapInWindow : public ::testing::TestWithParam<bool> {};

TEST_P(SnapInWindow, AnEdgeWithinReachRestsOnTheFoldAndOneFartherDoesNot) {
    SnapScene s(GetParam());
    for (const int side : {-1, 1}) {
        SCOPED_TRACE(side);
        // The left edge dragged to 5 pixels beside the fold: it rests there.
        const int slot = s.placeBeside(side < 0 ? -70 : 30);
        const QPoint grab(s.map().DevLeft(s.obj(slot)) + 20, s.row + 15);
        drag(s.c, grab, QPoint(s.foldPx + side * 5 + 20, s.row + 15));
        EXPECT_EQ(s.obj(slot).Left, unitsOf(s.foldX));
        EXPECT_EQ(s.obj(slot).Width, screenPixelsToUnits(40, s.doc().Zoom, s.doc().ScreenDivisor));

        // At 7 pixels the pointer's place holds, as in the plain drag.
        const QPoint again(s.map().DevLeft(s.obj(slot)) + 20, s.row + 15);
        drag(s.c, again, QPoint(s.foldPx + side * 7 + 20, s.row + 15));
        EXPECT_NE(s.obj(slot).Left, unitsOf(s.foldX));
        EXPECT_EQ(s.obj(slot).Left, s.plainUnits(s.foldPx + side * 7));
        s.doc().Objects[slot].Kind = 0;
    }
    // The right edge snaps as well: the object keeps its width. (70 pixels
    // wide, its left edge and centre stay clear of the other net lines.)
    const int slot = s.placeBeside(-120, 70);
    const Tobs before = s.obj(slot);
    const QPoint grab(s.map().DevLeft(before) + 10, s.row + 15);
    drag(s.c, grab, grab + QPoint(s.foldPx - 4 - (s.map().DevLeft(before) + s.map().DevWidth(before)), 0));
    EXPECT_EQ(s.obj(slot).Left + s.obj(slot).Width, unitsOf(s.foldX));
    EXPECT_EQ(s.obj(slot).Width, before.Width);
}

TEST_P(SnapInWindow, AHandleSnapsOnlyTheEdgesItMoves) {
    SnapScene s(GetParam());
    // Another object whose right edge lies 3 pixels left of ours: our left
    // edge would snap to it if a right-handle drag looked at it.
    const int other = placeFigure(s.doc(), s.foldPx - 63 - 30, s.row + 80, 30, 20);
    (void)other;
    const int slot = s.placeBeside(-60, 40, 30);
    const Tobs before = s.obj(slot);
    const QPoint handle(s.map().DevLeft(before) + s.map().DevWidth(before), s.map().DevTop(before) + s.map().DevHeight(before) / 2);
    // Out of any target's reach: the plain drag.
    drag(s.c, handle, QPoint(s.foldPx - 45, handle.y()));
    EXPECT_EQ(s.obj(slot).Left, before.Left);
    EXPECT_EQ(s.obj(slot).Top, before.Top);
    EXPECT_EQ(s.obj(slot).Height, before.Height);
    EXPECT_EQ(s.obj(slot).Width, s.plainUnits(s.foldPx - 45) - before.Left);
    // Within reach: the right edge on the fold, the rest untouched.
    drag(s.c, QPoint(s.foldPx - 45, handle.y()), QPoint(s.foldPx - 4, handle.y()));
    EXPECT_EQ(s.obj(slot).Left, before.Left);
    EXPECT_EQ(s.obj(slot).Left + s.obj(slot).Width, unitsOf(s.foldX));
    EXPECT_EQ(s.obj(slot).Top, before.Top);
    EXPECT_EQ(s.obj(slot).Height, before.Height);
}

TEST_P(SnapInWindow, ShiftSuspendsAndAClickNeverSnaps) {
    SnapScene s(GetParam());
    const int slot = s.placeBeside(30);
    const QPoint grab(s.map().DevLeft(s.obj(slot)) + 20, s.row + 15);
    drag(s.c, grab, QPoint(s.foldPx + 5 + 20, s.row + 15), Qt::ShiftModifier);
    EXPECT_EQ(s.obj(slot).Left, s.plainUnits(s.foldPx + 5));
    EXPECT_NE(s.obj(slot).Left, unitsOf(s.foldX));

    // 3 pixels off the fold, pressed and released on the spot: what a click
    // always did (the rectangle from the pixel under the press), no snap.
    Tobs& o = s.obj(slot);
    SetDevLeft(o, s.foldPx + 3, s.doc().Zoom, s.doc().ScreenDivisor);
    const Tobs before = o;
    s.c->PaintBox1Paint();
    QTest::mouseClick(s.c, Qt::LeftButton, Qt::NoModifier, QPoint(s.foldPx + 3 + 20, s.row + 15));
    EXPECT_EQ(o.Left, s.plainUnits(s.map().DevLeft(before)));
    EXPECT_EQ(o.Top, s.plainUnits(s.map().DevTop(before)));
    EXPECT_EQ(o.Width, before.Width);
}

TEST_P(SnapInWindow, TheGuideRunsAcrossTheViewDuringTheDragAndIsGoneAfter) {
    SnapScene s(GetParam());
    const int slot = s.placeBeside(40);
    const QImage idle = s.c->paintBuffer();
    const QRect v = s.view();
    const Tobs& o = s.obj(slot);
    const int top = s.map().DevTop(o), bottom = top + s.map().DevHeight(o);
    // Rows away from the object and its handles: only the guide changes them.
    // (A row guide, should the top snap as well, is left out too.)
    std::vector<int> guideRows;
    auto awayRows = [&](int y) {
        for (int r : guideRows)
            if (r == y) return false;
        return y < top - 12 || y > bottom + 12;
    };
    const int col = s.foldPx - v.left();

    const QPoint grab(s.map().DevLeft(o) + 20, s.row + 15);
    QTest::mousePress(s.c, Qt::LeftButton, Qt::NoModifier, grab);
    for (int i = 1; i <= 6; ++i)
        QTest::mouseMove(s.c, grab + (QPoint(s.foldPx + 4 + 20, s.row + 15) - grab) * i / 6);
    const DragGuides guides = s.w.window->editorController().dragGuides();
    ASSERT_EQ(guides.columns.size(), 1u);
    EXPECT_EQ(guides.columns[0], s.foldPx);
    guideRows = guides.rows;
    const QImage during = s.c->paintBuffer();
    int inverted = 0, rows = 0;
    for (int y = 0; y < during.height(); ++y) {
        if (!awayRows(y + v.top())) continue;
        ++rows;
        if ((during.pixel(col, y) & 0xFFFFFF) == (~idle.pixel(col, y) & 0xFFFFFF)) ++inverted;
        // Beside the guide nothing changed.
        ASSERT_EQ(during.pixel(col + 2, y), idle.pixel(col + 2, y)) << y;
    }
    EXPECT_GT(rows, v.height() / 2);
    EXPECT_EQ(inverted, rows);

    QTest::mouseRelease(s.c, Qt::LeftButton, Qt::NoModifier, QPoint(s.foldPx + 4 + 20, s.row + 15));
    EXPECT_TRUE(s.w.window->editorController().dragGuides().empty());
    const QImage after = s.c->paintBuffer();
    for (int y = 0; y < after.height(); ++y) {
        if (!awayRows(y + v.top())) continue;
        ASSERT_EQ(after.pixel(col, y), idle.pixel(col, y)) << y;
    }
}

INSTANTIATE_TEST_SUITE_P(StartAndZoomed, SnapInWindow, ::testing::Bool());

TEST(NudgeInWindow, CtrlArrowsInTheKeyFieldMoveByOnePixelVisibleFieldsKeepTheirs) {
    StartedWindow w;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.window.get()));
    w.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.window.get()));
    EditorCanvas* c = w.window->PaintBox1;
    const QPoint mid = c->scrollPosition() + QPoint(c->visibleSize().width() / 2, c->visibleSize().height() / 2);
    w.window->editorController().zoomStep(mid.x(), mid.y(), true);   // a divisor that is not whole
    const QPoint at = c->scrollPosition() + QPoint(100, 100);
    const int slot = placeFigure(w.doc(), at.x(), at.y(), 60, 40);
    w.doc().CurrentObject = slot;
    c->PaintBox1Paint();
    QWidget* keyEdit = w.window->findChild<QWidget*>(QStringLiteral("KeyEdit"));
    ASSERT_NE(keyEdit, nullptr);
    keyEdit->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return keyEdit->hasFocus(); }));
    const Mapping map = Mapping::screenFor(w.doc());
    const Tobs& o = w.doc().Objects[slot];
    const QByteArray before = serializeBoxDocument(w.doc());
    const int l = map.DevLeft(o), t = map.DevTop(o);
    QTest::keyClick(keyEdit, Qt::Key_Right, Qt::ControlModifier);
    QTest::keyClick(keyEdit, Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(keyEdit, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(map.DevLeft(o), l + 2);
    EXPECT_EQ(map.DevTop(o), t + 10);
    EXPECT_EQ(w.doc().CurrentObject, slot);
    EXPECT_EQ(w.window->MainMenu1->Rckgngig1->text(), QStringLiteral("&Rückgängig: Verschieben"));
    // One step for the run: one undo restores the file.
    w.window->MainMenu1->Rckgngig1->trigger();
    EXPECT_EQ(serializeBoxDocument(w.doc()), before);

    // A visible field keeps Ctrl+arrows to itself.
    QSpinBox* percent = w.window->findChild<QSpinBox*>(QStringLiteral("ProzED"));
    ASSERT_NE(percent, nullptr);
    percent->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return percent->hasFocus(); }));
    QTest::keyClick(percent, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(map.DevLeft(o), l);
    EXPECT_EQ(map.DevTop(o), t);
}

TEST(SnapSetting, OffAtFirstStartThenAsLastLeftInThePrivateStore) {
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    RecordingPrompter prompter;
    {
        TSDIAppForm first(&prompter, true);
        QAction* item = first.MainMenu1->NetzEinrasten1;
        EXPECT_TRUE(item->isCheckable());
        EXPECT_FALSE(item->isChecked());
        EXPECT_FALSE(first.editorController().snapping());
        EXPECT_FALSE(item->statusTip().isEmpty());
        item->trigger();
        EXPECT_TRUE(first.editorController().snapping());
    }
    {
        TSDIAppForm second(&prompter, true);
        EXPECT_TRUE(second.MainMenu1->NetzEinrasten1->isChecked());
        EXPECT_TRUE(second.editorController().snapping());
        second.MainMenu1->NetzEinrasten1->trigger();
    }
    {
        TSDIAppForm third(&prompter, true);
        EXPECT_FALSE(third.MainMenu1->NetzEinrasten1->isChecked());
        EXPECT_FALSE(third.editorController().snapping());
    }
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

}  // namespace
