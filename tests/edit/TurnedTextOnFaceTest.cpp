// A turned text is drawn as one line from a corner of its rectangle:
// centring it on a face, or turning it upright, goes by that line as the
// 600-dpi print draws it. Checked on the ink of the print.

#include "FaceTestSupport.h"
#include "TestCanvas.h"

#include "box/FaceGeometry.h"
#include "box/NetSource.h"
#include "render/DrawVCart.h"
#include "render/SheetRenderParams.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

struct Ink {
    QRect box;            // print pixels
    QPointF centre() const { return QRectF(box).center(); }
};

// The print around a point (exact document units), net left out; the ink's box.
Ink printedInk(const BoxDocument& doc, int percent, double cx, double cy) {
    RenderParams params = sheetRenderParams(doc.Layout, NetSource::of(doc, percent), 600, 600, printFontFactor(600, 96));
    params.CanvasDpi = 600;
    params.FontPpi = 96;
    params.DrawNet = false;
    const int size = 2400;
    const int ox = static_cast<int>(cx * 0.03) - size / 2, oy = static_cast<int>(cy * 0.03) - size / 2;
    // A window of the print around the point, in print pixels from the
    // editing area's corner (the item's own offset left out).
    params.OffsetX = ox;
    params.OffsetY = oy;
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        EXPECT_TRUE(DrawVCart(p, doc, params));
    }
    QRect ink;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (qGray(img.pixel(x, y)) < 128) ink |= QRect(x, y, 1, 1);
    // Back to document units times the print scale.
    return Ink{ink.translated(params.OffsetX, params.OffsetY)};
}

Tobs& placeText(TestCanvas& c, const FaceRect& f, int rotation) {
    Tobs& o = freshObjectOnFace(c.doc, f, Text, 9000, 4000, 0.2);
    o.Content = QStringLiteral("HHHHHH");
    o.FontName = QStringLiteral("Liberation Sans");
    o.FontSize = 10;
    o.FontHeight = -13;
    o.Color = 0;
    o.Rotation = rotation;
    return o;
}

TEST(TurnedTextOnFace, CentringPutsTheTurnedLinesInkOnTheFaceCentre) {
    TestCanvas c;
    c.dpi = 96;
    for (const FaceRect& f : faceRects(c.doc, NetSource::of(c.doc, c.percent))) {
        for (int rotation : {1, 2, 3}) {
            SCOPED_TRACE(panelName(f.panel).toStdString() + " rotation " + std::to_string(rotation));
            placeText(c, f, rotation);
            c.editor.objectMenu.prepareFor(1);
            ASSERT_TRUE(c.editor.objectMenu.FlZentrieren->isEnabled());
            c.editor.commands.centreOnFace();
            const double fx = (f.left + f.right) / 2, fy = (f.top + f.bottom) / 2;
            const Ink ink = printedInk(c.doc, c.percent, fx, fy);
            ASSERT_FALSE(ink.box.isEmpty());
            // Capitals sit above the line's middle by a little: a few pixels
            // of 600 dpi, where the rectangle would put the line hundreds off.
            EXPECT_NEAR(ink.centre().x(), fx * 0.03, 25);
            EXPECT_NEAR(ink.centre().y(), fy * 0.03, 25);
        }
    }
}

TEST(TurnedTextOnFace, TurningUprightKeepsTheCentreOfWhatIsDrawn) {
    TestCanvas c;
    c.dpi = 96;
    for (const FaceRect& f : faceRects(c.doc, NetSource::of(c.doc, c.percent))) {
        if (f.uprightRotation == 0) continue;
        SCOPED_TRACE(panelName(f.panel).toStdString());
        // Already turned, the wrong way: the turned line's centre stays.
        const int wrong = (f.uprightRotation % 3) + 1;
        Tobs& o = placeText(c, f, wrong);
        c.editor.commands.centreOnFace();
        const double fx = (f.left + f.right) / 2, fy = (f.top + f.bottom) / 2;
        const Ink before = printedInk(c.doc, c.percent, fx, fy);
        c.editor.objectMenu.prepareFor(1);
        ASSERT_TRUE(c.editor.objectMenu.FlAufrecht->isEnabled());
        c.editor.commands.turnUpright();
        ASSERT_EQ(o.Rotation, f.uprightRotation);
        const Ink after = printedInk(c.doc, c.percent, fx, fy);
        EXPECT_NEAR(after.centre().x(), before.centre().x(), 25);
        EXPECT_NEAR(after.centre().y(), before.centre().y(), 25);
        // The line now runs the other way round.
        EXPECT_NE(after.box.size(), QSize());
    }
}

}  // namespace
