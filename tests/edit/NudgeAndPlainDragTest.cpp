// Keyboard nudges by whole screen pixels, their undo steps, and drags that
// stay exactly the plain ones while snapping is off or suspended.
#include "EditTestHelpers.h"
#include "TestCanvas.h"

#include "model/BoxFileWriter.h"
#include "render/Mapping.h"

#include <gtest/gtest.h>

#include <random>

namespace {

constexpr double kZoomedDivisor = 416.0 / 1.5;   // one zoom step in from the start

class NudgeTest : public ::testing::TestWithParam<double> {
protected:
    TestCanvas c;
    void SetUp() override { c.doc.ScreenDivisor = GetParam(); }
    Mapping map() { return Mapping::screenFor(c.doc); }
    int place(int leftUnits, int topUnits) {
        Tobs& o = c.doc.Objects[1];
        o.resetToDefaults();
        o.Kind = Figure;
        o.Shape = shRectangle;
        o.Left = leftUnits;
        o.Top = topUnits;
        o.Width = 20000;
        o.Height = 15000;
        c.doc.CurrentObject = 1;
        return 1;
    }
    bool key(int k, Qt::KeyboardModifiers m = Qt::ControlModifier) { return c.controller().keyDown(k, m); }
};

TEST_P(NudgeTest, EveryNudgeMovesExactlyOnePixelAndStoresTheFirstValueOfIt) {
    // Start values off the pixel grid, so a nudge has to find the pixel's edge.
    for (int start : {100000, 100001, 123457, 2771, 416 * 250 + 415}) {
        SCOPED_TRACE(start);
        place(start, start / 2 + 13);
        Tobs& o = c.obj(1);
        for (int i = 0; i < 40; ++i) {
            const int l = map().DevLeft(o), t = map().DevTop(o);
            const int k = i % 4;
            const int key = k == 0 ? Qt::Key_Right : k == 1 ? Qt::Key_Down : k == 2 ? Qt::Key_Right : Qt::Key_Up;
            ASSERT_TRUE(this->key(key));
            const int dx = key == Qt::Key_Right ? 1 : 0;
            const int dy = key == Qt::Key_Down ? 1 : key == Qt::Key_Up ? -1 : 0;
            ASSERT_EQ(map().DevLeft(o), l + dx) << i;
            ASSERT_EQ(map().DevTop(o), t + dy) << i;
            // The smallest value of that pixel: one unit less shows one pixel before.
            if (dx) EXPECT_EQ(map().toDevice(o.Left - 1), l);
            if (dy) EXPECT_EQ(map().toDevice(o.Top - 1), t + dy - 1);
        }
        // Left by ten with Shift.
        const int l = map().DevLeft(o);
        key(Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(map().DevLeft(o), l - 10);
        EXPECT_EQ(map().toDevice(o.Left - 1), l - 11);
    }
}

TEST(NudgeRule, APlainPixelConversionFallsShortAfterAZoomStepTheNudgeRuleNever) {
    // Why nudges search the pixel instead of converting it back.
    int short_ = 0;
    for (int p = 1; p < 4000; ++p) {
        const Mapping m = Mapping::screen(1.0, kZoomedDivisor);
        if (m.toDevice(screenPixelsToUnits(p, 1.0, kZoomedDivisor)) != p) ++short_;
        const std::int32_t u = unitsAtScreenPixel(p, 1.0, kZoomedDivisor);
        ASSERT_EQ(m.toDevice(u), p);
        ASSERT_EQ(m.toDevice(u - 1), p - 1);
    }
    EXPECT_GT(short_, 0);
    // Left of the canvas the value nearest zero, and zero stays zero.
    const Mapping m = Mapping::screen(1.0, 416);
    EXPECT_EQ(unitsAtScreenPixel(0, 1.0, 416), 0);
    const std::int32_t u = unitsAtScreenPixel(-3, 1.0, 416);
    EXPECT_EQ(m.toDevice(u), -3);
    EXPECT_EQ(m.toDevice(u + 1), -2);
}

TEST_P(NudgeTest, ARunOfNudgesIsOneStepUntilAnotherStepOrObject) {
    place(100000, 80000);
    c.doc.Objects[2] = c.doc.Objects[1];
    c.doc.Objects[2].Top += 30000;
    DocumentHistory& h = c.editor.commands.history();
    const QByteArray before = serializeBoxDocument(c.doc);

    for (int i = 0; i < 5; ++i) key(Qt::Key_Right);
    key(Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(h.count(), 1);
    EXPECT_EQ(h.undoName(), QStringLiteral("Verschieben"));
    const int movedLeft = map().DevLeft(c.obj(1));

    // Another object: a new run. Back to the first one: a new run again.
    c.doc.CurrentObject = 2;
    key(Qt::Key_Left);
    c.doc.CurrentObject = 1;
    key(Qt::Key_Left);
    EXPECT_EQ(h.count(), 3);

    // Another step in between ends the run too.
    auto step = h.begin(QStringLiteral("Farbe"), {1});
    c.obj(1).Color = 0x123456;
    h.commit(std::move(step));
    key(Qt::Key_Up);
    key(Qt::Key_Up);
    EXPECT_EQ(h.count(), 5);

    // Undo all of it: the file is the same to the byte.
    for (int i = 0; i < 5; ++i) h.undo();
    EXPECT_EQ(serializeBoxDocument(c.doc), before);
    h.redo();
    EXPECT_EQ(map().DevLeft(c.obj(1)), movedLeft);
}

TEST_P(NudgeTest, NudgesNeverMergeIntoADrag) {
    c.doc.ScreenDivisor = GetParam();
    c.show();
    place(unitsAtScreenPixel(100, 1.0, GetParam()), unitsAtScreenPixel(100, 1.0, GetParam()));
    DocumentHistory& h = c.editor.commands.history();
    const int l = map().DevLeft(c.obj(1));
    QTest::mousePress(&c, Qt::LeftButton, Qt::NoModifier, QPoint(l + 10, 110));
    QTest::mouseMove(&c, QPoint(l + 30, 110));
    QTest::mouseRelease(&c, Qt::LeftButton, Qt::NoModifier, QPoint(l + 30, 110));
    ASSERT_EQ(h.count(), 1);
    key(Qt::Key_Right);
    EXPECT_EQ(h.count(), 2);
    // And a drag after nudges is its own step.
    const int l2 = map().DevLeft(c.obj(1));
    QTest::mousePress(&c, Qt::LeftButton, Qt::NoModifier, QPoint(l2 + 10, 110));
    QTest::mouseMove(&c, QPoint(l2 + 20, 110));
    QTest::mouseRelease(&c, Qt::LeftButton, Qt::NoModifier, QPoint(l2 + 20, 110));
    EXPECT_EQ(h.count(), 3);
}

TEST_P(NudgeTest, PlainArrowsStillStepThroughTheObjectsAndNothingHappensWithoutOne) {
    place(100000, 80000);
    c.doc.Objects[2] = c.doc.Objects[1];
    const Tobs before = c.obj(1);
    EXPECT_TRUE(key(Qt::Key_Down, Qt::NoModifier));
    EXPECT_EQ(c.doc.CurrentObject, 2);
    EXPECT_EQ(c.obj(1).Left, before.Left);
    c.doc.CurrentObject = 0;
    EXPECT_TRUE(key(Qt::Key_Right));
    EXPECT_EQ(c.editor.commands.history().count(), 0);
}

INSTANTIATE_TEST_SUITE_P(StartAndZoomed, NudgeTest, ::testing::Values(416.0, kZoomedDivisor));

// The drag as it always was: the rectangle from the pointer, the handle
// following a crossed edge, and the canvas limits.
struct PlainDrag {
    long long L, T, W, H;
    int mode, gx, gy;
    void step(int x, int y, double zoom, double divisor, QSize canvas) {
        const long long px = screenPixelsToUnits(x - gx, zoom, divisor);
        const long long py = screenPixelsToUnits(y - gy, zoom, divisor);
        const bool left = mode == dmTopLeft || mode == dmBottomLeft || mode == dmLeft;
        const bool right = mode == dmTopRight || mode == dmBottomRight || mode == dmRight;
        const bool top = mode == dmTopLeft || mode == dmTopRight || mode == dmTop;
        const bool bottom = mode == dmBottomLeft || mode == dmBottomRight || mode == dmBottom;
        if (mode == dmMove) {
            L = px;
            T = py;
        }
        if (left) { W = W + L - px; L = px; }
        if (right) W = px - L;
        if (top) { H = H + T - py; T = py; }
        if (bottom) H = py - T;
        auto flip = [&](int a, int b) { if (mode == a) mode = b; else if (mode == b) mode = a; };
        if (W < 0) {
            L += W;
            W = -W;
            flip(dmTopLeft, dmTopRight);
            flip(dmBottomLeft, dmBottomRight);
            flip(dmLeft, dmRight);
        }
        if (H < 0) {
            T += H;
            H = -H;
            flip(dmTopLeft, dmBottomLeft);
            flip(dmTopRight, dmBottomRight);
            flip(dmTop, dmBottom);
        }
        if (L + W < 0) L = -W;
        if (T + H < 0) T = -H;
        L = std::min<long long>(L, static_cast<long long>(canvas.width() / zoom * divisor - 1));
        T = std::min<long long>(T, static_cast<long long>(canvas.height() / zoom * divisor - 1));
    }
};

void randomDrags(bool snappingOn, Qt::KeyboardModifiers mods) {
    TestCanvas c;
    c.controller().setSnapping(snappingOn);
    std::mt19937 rng(snappingOn ? 28 : 82);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    // Neighbours to snap to, had snapping been in force.
    c.place(2, Figure, 400, 300, 80, 60);
    c.place(3, Figure, 900, 700, 50, 120);
    for (int n = 0; n < 500; ++n) {
        c.doc.ScreenDivisor = n % 2 ? 416.0 : kZoomedDivisor;
        const int slot = c.place(1, Figure, pick(0, 1500), pick(0, 1000), pick(1, 200), pick(1, 200));
        c.doc.CurrentObject = slot;
        const Mapping m = Mapping::screenFor(c.doc);
        const Tobs& o = c.obj(1);
        const int l = m.DevLeft(o), t = m.DevTop(o), w = m.DevWidth(o), h = m.DevHeight(o);
        const QPoint spots[9] = {{l, t}, {l + w, t}, {l, t + h}, {l + w, t + h}, {l + w / 2, t},
                                 {l + w / 2, t + h}, {l, t + h / 2}, {l + w, t + h / 2}, {l + w / 2 + 1, t + h / 2 + 1}};
        const QPoint press = spots[pick(0, 8)] + QPoint(pick(-1, 1), pick(-1, 1));
        c.controller().mousePress(Qt::LeftButton, mods, press);
        if (c.controller().state().DragState != dsDragObject) {
            c.controller().mouseRelease(Qt::LeftButton, mods, press);
            continue;
        }
        PlainDrag ref{o.Left, o.Top, o.Width, o.Height, c.controller().state().DragMode,
                      c.controller().state().GrabOffsetX, c.controller().state().GrabOffsetY};
        QPoint at = press;
        const int moves = pick(1, 8);
        for (int i = 0; i <= moves; ++i) {
            at += QPoint(pick(-60, 60), pick(-60, 60));
            if (i == moves)
                c.controller().mouseRelease(Qt::LeftButton, mods, at);
            else
                c.controller().mouseMove(mods, at);
            ref.step(at.x(), at.y(), c.doc.Zoom, c.doc.ScreenDivisor, c.canvas);
            ASSERT_EQ(o.Left, ref.L) << n << "/" << i;
            ASSERT_EQ(o.Top, ref.T) << n << "/" << i;
            ASSERT_EQ(o.Width, ref.W) << n << "/" << i;
            ASSERT_EQ(o.Height, ref.H) << n << "/" << i;
            ASSERT_TRUE(c.lastGuides.empty());
        }
    }
}

TEST(PlainDrag, WithSnappingOffFiveHundredRandomDragsAreThePlainOnes) { randomDrags(false, Qt::NoModifier); }

TEST(PlainDrag, WithShiftHeldSnappingIsSuspendedForEveryDrag) { randomDrags(true, Qt::ShiftModifier); }

}  // namespace
