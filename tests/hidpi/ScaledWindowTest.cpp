// The running program on a screen of device pixel ratio 2 (QT_SCALE_FACTOR=2
// on the offscreen platform): the editor's buffer holds twice the pixels each
// way, everything lies at twice its logical place, and the numbers the user
// sees stay those of a 96 dpi screen.

#include "../app/AppTestSupport.h"
#include "app/EditorCanvas.h"
#include "app/EditorPage.h"
#include "app/FoldView.h"
#include "model/NewDocument.h"
#include "app/RulerWidget.h"
#include "model/BoxDocument.h"

#include <QScreen>

namespace {

// Set before main() makes the application object, which reads it.
const bool kScaled = qputenv("QT_SCALE_FACTOR", "2");

QRgb at(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFFu; }

}  // namespace

TEST(ScaledWindow, LogicalNumbersStayThoseOfTheLogicalDpi) {
    ASSERT_TRUE(kScaled);
    StartedWindow w;
    ASSERT_EQ(w.window->devicePixelRatioF(), 2.0);
    EXPECT_EQ(w.doc().ScreenDivisor, 416);
    EXPECT_EQ(w.window->PaintBox1->size(), QSize(1646, 1164));
}

TEST(ScaledWindow, EditorBufferHasTheDevicePixels) {
    StartedWindow w;
    w.window->resize(1900, 1400);
    QCoreApplication::processEvents();
    EditorCanvas* c = w.window->PaintBox1;
    c->setScrollPosition(QPoint(0, 0));
    const int slot = placeFigure(w.doc(), 600, 450, 100, 60);
    w.doc().CurrentObject = slot;
    c->PaintBox1Paint();
    const QImage& b = c->paintBuffer();
    const QSize visible = b.deviceIndependentSize().toSize();
    ASSERT_EQ(b.devicePixelRatio(), 2.0);
    ASSERT_EQ(b.size(), visible * 2);
    ASSERT_GE(visible.width(), 1110);
    // Frame (548, 388, 1097, 776) and shadow strip right of it, twice over.
    EXPECT_EQ(at(b, 2 * 548, 2 * 600), 0u);
    EXPECT_EQ(at(b, 2 * 548 + 1, 2 * 600), 0u);
    EXPECT_EQ(at(b, 2 * 548 + 2, 2 * 600), 0xFFFFFFu);
    EXPECT_EQ(at(b, 2 * 1096 + 1, 2 * 600), 0u);
    EXPECT_EQ(at(b, 2 * 1097, 2 * 393), 0x808080u);
    EXPECT_EQ(at(b, 2 * 1102 - 1, 2 * 781 - 1), 0x808080u);
    EXPECT_EQ(at(b, 2 * 1102, 2 * 600), 0xFFFFFFu);
    // The net's first gap pixel (553, 509) inverts a 2 x 2 block; its
    // neighbour (550, 509) is a dot and stays white.
    for (int dx = 0; dx < 2; ++dx)
        for (int dy = 0; dy < 2; ++dy) {
            EXPECT_EQ(at(b, 2 * 553 + dx, 2 * 509 + dy), 0u);
            EXPECT_EQ(at(b, 2 * 550 + dx, 2 * 509 + dy), 0xFFFFFFu);
        }
    // Handles: 6 x 6 logical pixels around the corners, 12 x 12 device pixels.
    const QPoint corner(600, 450);
    for (int d = -6; d < 6; ++d) {
        EXPECT_EQ(at(b, 2 * corner.x() + d, 2 * corner.y() - 6), 0u) << d;
        EXPECT_EQ(at(b, 2 * corner.x() - 6, 2 * corner.y() + d), 0u) << d;
    }
    EXPECT_EQ(at(b, 2 * corner.x() - 7, 2 * corner.y()), 0xFFFFFFu);
    EXPECT_EQ(at(b, 2 * corner.x(), 2 * corner.y() - 7), 0xFFFFFFu);
    const QPoint far(700, 510);
    EXPECT_EQ(at(b, 2 * far.x() + 5, 2 * far.y() + 5), 0u);
    EXPECT_EQ(at(b, 2 * far.x() + 6, 2 * far.y() + 5), 0xFFFFFFu);
}

TEST(ScaledWindow, ScreenShowsTheBufferPixelForPixel) {
    StartedWindow w;
    w.window->resize(1200, 900);
    QCoreApplication::processEvents();
    EditorCanvas* c = w.window->PaintBox1;
    c->PaintBox1Paint();
    const QImage shown = c->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage& b = c->paintBuffer();
    const QPoint s = c->scrollPosition() * 2;
    ASSERT_EQ(shown.devicePixelRatio(), 2.0);
    int differing = 0;
    for (int y = 0; y < b.height(); y += 3)
        for (int x = 0; x < b.width(); x += 3)
            if (at(shown, x + s.x(), y + s.y()) != at(b, x, y)) ++differing;
    EXPECT_EQ(differing, 0);
}

TEST(ScaledWindow, RulersAtDeviceResolution) {
    StartedWindow w;
    QCoreApplication::processEvents();
    RulerWidget* top = w.window->findChild<RulerWidget*>(QStringLiteral("TRuler"));
    ASSERT_TRUE(top);
    const QImage ruler = top->render();
    EXPECT_EQ(ruler.devicePixelRatio(), 2.0);
    EXPECT_EQ(ruler.size(), top->size() * 2);
    EXPECT_EQ(at(ruler, 38, 20), 0u);   // the corner square's separator, column 19
    EXPECT_EQ(at(ruler, 39, 20), 0u);
}

TEST(ScaledWindow, FoldViewFacesSharpEnoughForTheDevicePixels) {
    BoxDocument doc;
    initStartupDocument(doc, 96);
    newDocument(doc);
    FoldView view(doc, [] { return 100; });
    view.resize(800, 600);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.grab();
    // 1600 x 1200 device pixels want an edge of 600, more than the 512 of a plain screen.
    EXPECT_EQ(view.textures().edgePixels(), 600);
    EXPECT_TRUE(view.textures().isValid());
}
