// Drawing through the tiling device gives what the painter gives: large
// fills and wide strokes cut into tiles keep every pixel's coverage (no
// seam, no pixel twice, holes and crossings filled by their rule, brushes
// and opacity continuous across tiles), and everything else goes on
// untouched.

#include "image/TiledOutlines.h"
#include "../render/RenderTestUtil.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

QPolygonF star(QPointF centre, qreal radius, int points, int step) {
    QPolygonF star;
    for (int i = 0; i < points; ++i) {
        const qreal a = 2 * M_PI * i * step / points;
        star << centre + QPointF(std::sin(a), -std::cos(a)) * radius;
    }
    return star;
}

QPen pen(QColor colour, qreal width, Qt::PenStyle style = Qt::SolidLine) {
    QPen p(colour, width, style, Qt::SquareCap, Qt::MiterJoin);
    p.setMiterLimit(3);
    return p;
}

struct Case {
    const char* name;
    bool tiled;   // whether the device cuts anything
    std::function<void(QPainter&)> draw;
};

}  // namespace

TEST(TiledOutlines, DrawsWhatThePainterDraws) {
    const Case cases[] = {
        {"crossing star, winding fill, wide miter pen", true,
         [](QPainter& p) {
             QPainterPath path;
             path.addPolygon(star({450, 350}, 320, 7, 3));
             path.closeSubpath();
             path.setFillRule(Qt::WindingFill);
             p.setPen(pen(QColor(20, 30, 40), 24));
             p.setBrush(QColor(200, 120, 40));
             p.drawPath(path);
         }},
        {"crossing star, odd-even, see-through, at 60 % opacity", true,
         [](QPainter& p) {
             p.setOpacity(0.6);
             p.setPen(pen(QColor(0, 0, 160, 200), 17));
             p.setBrush(QColor(0, 140, 0, 150));
             p.drawPolygon(star({430, 330}, 300, 9, 4), Qt::OddEvenFill);
         }},
        {"zigzag line, bevel joins, dashed", true,
         [](QPainter& p) {
             QPolygonF zigzag;
             for (int i = 0; i < 12; ++i) zigzag << QPointF(40 + i * 72, i % 2 ? 620 : 90 + i * 13);
             QPen bevel = pen(QColor(120, 0, 80), 31);
             bevel.setJoinStyle(Qt::BevelJoin);
             p.setPen(bevel);
             p.drawPolyline(zigzag);
             QPen dashed = pen(QColor(0, 90, 90, 180), 14, Qt::DashLine);
             dashed.setCapStyle(Qt::FlatCap);
             p.setPen(dashed);
             QPainterPath open;
             open.addPolygon(zigzag.translated(0, 40));
             p.drawPath(open);
         }},
        {"turned a quarter, scaled unevenly, gradient across the tiles", true,
         [](QPainter& p) {
             p.translate(880, 20);
             p.rotate(90);
             p.scale(1.4, 0.75);
             QLinearGradient ramp(0, 0, 480, 900);
             ramp.setColorAt(0, QColor(250, 170, 0));
             ramp.setColorAt(1, QColor(40, 0, 200));
             p.setBrush(ramp);
             p.setPen(pen(QColor(10, 10, 10), 9));
             p.drawRect(QRectF(12.5, 20.25, 430, 1100));
             p.setBrush(Qt::NoBrush);
             p.setPen(QPen(QBrush(ramp), 21, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
             p.drawPolygon(star({240, 560}, 220, 5, 2));
         }},
        {"clip set, then the transform changed", true,
         [](QPainter& p) {
             p.setClipRect(QRectF(97.5, 61, 611, 433));
             p.translate(30, -20);
             p.scale(1.1, 1.1);
             p.setPen(pen(QColor(0, 0, 0), 19));
             p.setBrush(QColor(255, 0, 0, 128));
             p.drawPolygon(star({400, 330}, 330, 7, 2));
         }},
        {"thin pen over a large shape without fill", false,
         [](QPainter& p) {
             p.setPen(QPen(QColor(0, 0, 0), 1.2));
             p.setBrush(Qt::NoBrush);
             p.drawPolygon(star({450, 350}, 320, 7, 3));
         }},
        {"gradient bound to the shape, cosmetic pen, small shapes, text, picture", false,
         [](QPainter& p) {
             QLinearGradient ramp(0, 0, 1, 1);
             ramp.setCoordinateMode(QGradient::ObjectBoundingMode);
             ramp.setColorAt(0, Qt::yellow);
             ramp.setColorAt(1, Qt::darkBlue);
             p.setBrush(ramp);
             QPen cosmetic(QColor(0, 0, 0), 4);
             cosmetic.setCosmetic(true);
             p.setPen(cosmetic);
             p.drawPolygon(star({450, 350}, 320, 7, 3));
             p.setPen(pen(QColor(200, 0, 0), 11));
             p.setBrush(QColor(0, 200, 0));
             p.drawEllipse(QRectF(30, 30, 100, 90));
             p.drawRect(QRectF(700, 560, 120, 120));
             p.setFont(QFont(QStringLiteral("DejaVu Sans"), 30));
             p.drawText(QPointF(60, 660), QStringLiteral("Faltschachtel"));
             QImage picture(40, 30, QImage::Format_ARGB32_Premultiplied);
             picture.fill(QColor(0, 0, 255, 100));
             p.drawImage(QRectF(500, 600, 160, 90), picture);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage direct = rt::canvas(900, 700);
        direct = direct.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QImage tiled = direct;
        {
            QPainter p(&direct);
            p.setRenderHint(QPainter::Antialiasing);
            c.draw(p);
        }
        int cut = 0;
        {
            QPainter target(&tiled);
            TiledOutlineDevice device(target);
            QPainter p(&device);
            p.setRenderHint(QPainter::Antialiasing);
            c.draw(p);
            p.end();
            cut = device.tiledOutlines();
        }
        EXPECT_EQ(cut > 0, c.tiled) << cut;
        // Cut outlines differ by rounding alone: a level or a few at edges,
        // one in a gradient's steps. A seam or a lost tile is dozens.
        int differing = 0;
        EXPECT_LE(rt::maxChannelDifference(direct, tiled, &differing), c.tiled ? 4 : 0);
        EXPECT_LT(differing, c.tiled ? 900 * 700 / 20 : 1);
        // Something was drawn at all.
        EXPECT_GT(rt::maxChannelDifference(direct, rt::canvas(900, 700).convertToFormat(direct.format())), 100);
    }
}
