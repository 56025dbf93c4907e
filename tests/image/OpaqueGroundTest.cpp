// The ground a drawing is sure to cover: found only where the screened
// document leaves no doubt, and, where found, opaque in every pixel the cover names
// however the drawing is placed and turned.

#include "image/ImageLoader.h"
#include "image/VectorArt.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

QByteArray svg(const QByteArray& root, const QByteArray& body) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" " + root + ">" + body + "</svg>";
}

const QByteArray kBox = "viewBox=\"0 0 400 300\"";
const QByteArray kStops = "<stop offset=\"0\" stop-color=\"#fa0\"/><stop offset=\"1\" stop-color=\"red\"/>";

// A ground over the whole view box filled with gradient "g", after what
// comes before it.
QByteArray filledBy(const QByteArray& before) {
    return svg(kBox, before + "<rect width=\"400\" height=\"300\" fill=\"url(#g)\"/>");
}

}  // namespace

TEST(OpaqueGround, FoundOnlyWhereTheDocumentLeavesNoDoubt) {
    struct Case {
        const char* what;
        QByteArray document;
        std::vector<QRectF> parts;
    };
    const QRectF all(0, 0, 1, 1);
    const Case cases[] = {
        {"plain ground", svg(kBox, "<rect width=\"400\" height=\"300\" fill=\"#123456\"/><circle r=\"5\"/>"), {all}},
        {"rounded: its middle across and down",
         svg(kBox, "<rect width=\"400\" height=\"300\" rx=\"30\" fill=\"navy\"/>"),
         {QRectF(30.0 / 400, 0, 340.0 / 400, 1), QRectF(0, 0.1, 1, 0.8)}},
        {"gradient of opaque stops, defined before",
         filledBy("<defs><radialGradient id=\"g\">" + kStops + "</radialGradient></defs>"),
         {all}},
        {"offset view box, part of it",
         svg("viewBox=\"-50 -50 100 100\"", "<rect x=\"-50\" y=\"-50\" width=\"50\" height=\"100\" fill=\"#000\"/>"),
         {QRectF(0, 0, 0.5, 1)}},
        {"beyond the view box", svg(kBox, "<rect x=\"-10\" width=\"900\" height=\"900\" fill=\"#000\"/>"), {all}},
        {"stop half see-through",
         filledBy("<linearGradient id=\"g\"><stop stop-color=\"#fff\" stop-opacity=\"0.5\"/></linearGradient>"),
         {}},
        {"gradient defined after", svg(kBox, "<rect width=\"400\" height=\"300\" fill=\"url(#g)\"/>"
                                             "<linearGradient id=\"g\">" + kStops + "</linearGradient>"),
         {}},
        {"gradient taking its stops elsewhere",
         filledBy("<linearGradient id=\"h\">" + kStops + "</linearGradient><linearGradient id=\"g\" href=\"#h\"/>"),
         {}},
        {"gradient inside a gradient",
         filledBy("<linearGradient id=\"b\"><rect/><linearGradient id=\"g\">" + kStops + "</linearGradient>"
                  "</linearGradient>"),
         {}},
        {"radial gradient of no radius",
         filledBy("<radialGradient id=\"g\" r=\"0\">" + kStops + "</radialGradient>"),
         {}},
        {"radial gradient with its focus aside",
         filledBy("<radialGradient id=\"g\" fx=\"5\">" + kStops + "</radialGradient>"),
         {}},
        {"after a drawing inside",
         svg(kBox, "<svg viewBox=\"0 0 1 1\"/><rect width=\"400\" height=\"300\" fill=\"#000\"/>"), {}},
        {"own opacity", svg(kBox, "<rect width=\"400\" height=\"300\" fill=\"#000\" opacity=\"0.9\"/>"), {}},
        {"fill opacity from the root", svg(kBox + " fill-opacity=\"0.5\"", "<rect width=\"400\" height=\"300\" fill=\"#000\"/>"), {}},
        {"colour with alpha", svg(kBox, "<rect width=\"400\" height=\"300\" fill=\"#00000080\"/>"), {}},
        {"no fill said", svg(kBox, "<rect width=\"400\" height=\"300\"/>"), {}},
        {"transparent", svg(kBox, "<rect width=\"400\" height=\"300\" fill=\"transparent\"/>"), {}},
        {"in a group", svg(kBox, "<g><rect width=\"400\" height=\"300\" fill=\"#000\"/></g>"), {}},
        {"transformed", svg(kBox, "<rect width=\"400\" height=\"300\" fill=\"#000\" transform=\"rotate(3)\"/>"), {}},
        {"a style sheet", svg(kBox, "<style>rect{opacity:.5}</style><rect width=\"400\" height=\"300\" fill=\"#000\"/>"), {}},
        {"a later shape clearing",
         svg(kBox, "<rect width=\"400\" height=\"300\" fill=\"#000\"/><circle r=\"50\" comp-op=\"clear\"/>"), {}},
        {"proportions kept", svg(kBox + " preserveAspectRatio=\"xMidYMid\"", "<rect width=\"400\" height=\"300\" fill=\"#000\"/>"), {}},
        {"size in percent", svg(kBox, "<rect width=\"100%\" height=\"100%\" fill=\"#000\"/>"), {}},
        {"beyond what the renderer draws",
         svg(kBox, "<rect x=\"50\" width=\"120\" height=\"9e112\" fill=\"teal\"/>"), {}},
        {"no view box", svg("width=\"40mm\" height=\"30mm\"", "<rect width=\"400\" height=\"300\" fill=\"#000\"/>"), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto art = screenVectorArt(c.document);
        ASSERT_TRUE(art);
        const std::vector<QRectF>& parts = art->ground;
        ASSERT_EQ(parts.size(), c.parts.size());
        for (size_t i = 0; i < parts.size(); ++i) {
            EXPECT_NEAR(parts[i].left(), c.parts[i].left(), 1e-9);
            EXPECT_NEAR(parts[i].top(), c.parts[i].top(), 1e-9);
            EXPECT_NEAR(parts[i].right(), c.parts[i].right(), 1e-9);
            EXPECT_NEAR(parts[i].bottom(), c.parts[i].bottom(), 1e-9);
        }
    }
}

// Every pixel of the cover is opaque where the drawing is drawn: kept
// strips and straight in, turned each way, at uneven places and sizes, a
// ground that stops short of the drawing's edges included.
TEST(OpaqueGround, EveryPixelOfTheCoverIsOpaqueWhereverTheDrawingLands) {
    const DibHandle drawing = DecodeVectorArt(
        svg(kBox, "<linearGradient id=\"g\" x2=\"0\" y2=\"1\">" + kStops + "</linearGradient>"
                  "<rect x=\"20\" y=\"10\" width=\"300\" height=\"280\" rx=\"40\" ry=\"12\" fill=\"url(#g)\"/>"
                  "<circle cx=\"200\" cy=\"150\" r=\"90\" fill=\"#00f\" opacity=\"0.3\"/>"));
    ASSERT_TRUE(drawing.isVector());
    const VectorArt& art = *drawing.vectorArt();
    ASSERT_EQ(art.ground.size(), 2u);
    struct Place {
        QRectF dest;
        qreal scale;
    };
    // The last is beyond the kept renderings' size, drawn straight in; the
    // image shows the middle of it.
    const Place places[] = {{QRectF(3.4, 7.6, 401.3, 299.9), 1}, {QRectF(0.5, 0.5, 97, 61), 2.5},
                            {QRectF(-40, 20, 230, 230), 1}, {QRectF(-2800.5, -2700.25, 6200, 6000), 1}};
    for (const Place& place : places)
        for (int turns = 0; turns < 4; ++turns) {
            SCOPED_TRACE(QStringLiteral("%1 x %2, scale %3, %4 turns")
                             .arg(place.dest.width()).arg(place.dest.height()).arg(place.scale).arg(turns).toStdString());
            QImage out(std::min(600, int(place.dest.right() * place.scale) + 4),
                       std::min(600, int(place.dest.bottom() * place.scale) + 4), QImage::Format_ARGB32_Premultiplied);
            out.fill(0);
            QPainter p(&out);
            p.scale(place.scale, place.scale);
            const std::vector<QRect> cover = vectorArtCover(p, place.dest, art, turns);
            drawVectorArt(p, place.dest, art, turns);
            p.end();
            qint64 pixels = 0;
            int seeThrough = 0;
            for (const QRect& r : cover)
                for (int y = std::max(0, r.top()); y <= std::min(r.bottom(), out.height() - 1); ++y)
                    for (int x = std::max(0, r.left()); x <= std::min(r.right(), out.width() - 1); ++x, ++pixels)
                        if (qAlpha(out.pixel(x, y)) != 255) ++seeThrough;
            EXPECT_EQ(seeThrough, 0);
            // Not a token strip: most of the ground where the image shows it.
            const QRectF shown = QRectF(place.dest.topLeft() * place.scale, place.dest.size() * place.scale) &
                                 QRectF(out.rect());
            EXPECT_GT(pixels, 0.4 * shown.width() * shown.height());
        }
}
