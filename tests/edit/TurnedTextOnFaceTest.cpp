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

// A title too long for a lid half once turned, and a picture fitted to the
// face lying across before it is turned: both stay on their face (the
// folded box would show them across the fold otherwise), centred where
// they were, the text a whole number of points smaller, the picture in its
// proportions.
TEST(TurnedTextOnFace, TurningUprightKeepsTheObjectOnItsFace) {
    TestCanvas c;
    c.dpi = 96;
    c.doc.Form = BoxForm::cuboid(80, 50, 40);
    const double mm = 20000.0 / 25.39995;
    int turnedFaces = 0;
    for (const FaceRect& f : faceRects(c.doc, NetSource::of(c.doc, c.percent))) {
        if (f.uprightRotation % 2 == 0) continue;   // nothing crosses to the other axis
        ++turnedFaces;
        SCOPED_TRACE(panelName(f.panel).toStdString());
        const double fx = (f.left + f.right) / 2, fy = (f.top + f.bottom) / 2;
        auto onFace = [&](const QRectF& units, double slack) {
            EXPECT_GE(units.left(), f.left - slack);
            EXPECT_LE(units.right(), f.right + slack);
            EXPECT_GE(units.top(), f.top - slack);
            EXPECT_LE(units.bottom(), f.bottom + slack);
        };

        // The title as the text tool makes it: one line across, bold; at
        // 48 pt too long for the face once turned.
        for (int points : {28, 48}) {
            SCOPED_TRACE(points);
            Tobs& t = freshObjectOnFace(c.doc, f, Text, unitsOf(f.width() * 0.9), unitsOf(12 * mm), 0);
            t.Content = QStringLiteral("Grüner Tee");
            t.FontName = QStringLiteral("Liberation Serif");
            t.FontStyle = 1;   // bold
            t.FontSize = points;
            t.FontHeight = -points * 4 / 3;
            t.Color = 0;
            c.editor.commands.centreOnFace();
            c.editor.commands.turnUpright();
            ASSERT_EQ(t.Rotation, f.uprightRotation);
            const Ink ink = printedInk(c.doc, c.percent, fx, fy);
            ASSERT_FALSE(ink.box.isEmpty());
            // The print's ink (a printer pixel of slack) and the frame lie on the face.
            onFace(QRectF(QPointF(ink.box.left() / 0.03, ink.box.top() / 0.03),
                          QPointF((ink.box.right() + 1) / 0.03, (ink.box.bottom() + 1) / 0.03)),
                   34);
            onFace(QRectF(t.Left, t.Top, t.Width, t.Height), 0);
            // The frame turned with the line: it stands the line's way.
            EXPECT_GT(t.Height, t.Width);
            EXPECT_NEAR(ink.centre().x(), fx * 0.03, 30);
            EXPECT_NEAR(ink.centre().y(), fy * 0.03, 30);
            if (points == 28) {
                EXPECT_EQ(t.FontSize, 28);   // it fits as it is
                continue;
            }
            EXPECT_LT(t.FontSize, 48);
            EXPECT_EQ(t.FontHeight, -(t.FontSize * 96 + 36) / 72);
            // Reduced to the room "Einpassen" leaves, not far below it.
            EXPECT_LE(double(ink.box.height()) / 0.03, f.height() - 4 * mm);
            EXPECT_GT(double(ink.box.height()) / 0.03, 0.85 * (f.height() - 4 * mm));
        }

        // A picture fitted first, then turned: its proportions stay.
        Tobs& p = freshObjectOnFace(c.doc, f, Image, 3000, 2000, 0.25);
        c.editor.commands.fitToFace();
        const double across = double(p.Width) / p.Height;
        c.editor.commands.turnUpright();
        EXPECT_NEAR(double(p.Height) / p.Width, across, 0.01);
        onFace(QRectF(p.Left, p.Top, p.Width, p.Height), 0);
        EXPECT_NEAR(p.Left + p.Width / 2.0, fx, 2);
        EXPECT_NEAR(p.Top + p.Height / 2.0, fy, 2);
        EXPECT_NEAR(std::max(p.Width, p.Height), std::min(f.width(), f.height()) - 4 * mm, 2);
    }
    EXPECT_GE(turnedFaces, 2);
}

}  // namespace
