// The editor's fast repaint against the plain pass: straight figures written
// into the image's rows against the painter's own drawing of them, and whole
// designs rendered in bands on 1, 2 and 3 threads against one painter pass
// over the whole buffer with the direct path switched off.

#include "EditorPassUtil.h"

#include "image/RenderThreads.h"
#include "render/fast/DirectCanvas.h"
#include "render/DrawVCart.h"
#include "render/EditorView.h"
#include "render/fast/FigureMask.h"
#include "render/FigureRenderer.h"
#include "render/GdiCanvas.h"
#include "render/fast/StraightFigureStamp.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <random>

namespace {

using Stamp = StraightFigureStamp;

QImage noise(int w, int h, unsigned seed) {
    QImage img(w, h, QImage::Format_RGB32);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, 0xFF000000u | (rng() & 0xFFFFFFu));
    return img;
}

int g_drawnDirectly = 0;   // figures the fast path took, so that no test passes by declining all

// One figure through the stamp and through the painter, on a canvas clipped
// to clip; false when the stamp declined (then both must be untouched).
void expectStampAsPainter(Stamp::Kind kind, int width, QPoint from, QPoint to, bool brush, const QRect& clip) {
    const QColor pen(12, 200, 77), fill(250, 3, 140);
    static const QImage base = noise(120, 110, 77);
    QImage plain = base.copy();
    QImage fast = base.copy();
    {
        QPainter p(&plain);
        p.setRenderHint(QPainter::Antialiasing, false);
        if (clip != plain.rect()) p.setClipRect(clip);
        p.setPen(QPen(pen, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(brush ? QBrush(fill) : QBrush(Qt::NoBrush));
        if (kind == Stamp::Kind::Rectangle) gdi::Rectangle(p, from.x(), from.y(), to.x(), to.y());
        else gdi::Line(p, from, to);
    }
    bool drawn = false;
    {
        QPainter p(&fast);
        p.setClipRect(clip);
        const DirectCanvas direct = DirectCanvas::of(p);
        ASSERT_TRUE(direct.valid());
        const QRgb brushRgb = fill.rgb();
        drawn = Stamp::of(kind, width).draw(direct, from.x(), from.y(), to.x(), to.y(), pen.rgb(),
                                            brush ? &brushRgb : nullptr);
    }
    if (!drawn) {
        ASSERT_EQ(fast, base) << "declined but drew";
        return;
    }
    ++g_drawnDirectly;
    ASSERT_EQ(fast, plain) << "kind " << int(kind) << " width " << width << " from " << from.x() << "," << from.y()
                           << " to " << to.x() << "," << to.y() << " brush " << brush;
}

TEST(StraightFigureStamp, RectanglesOfEverySizeAndPenAreThePaintersPixels) {
    g_drawnDirectly = 0;
    const QRect whole(0, 0, 120, 110), cut(23, 17, 41, 52);
    for (int width : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 16, 21}) {
        for (int w = 1; w <= 70; w += (w < 40 ? 1 : 7))
            for (int h : {1, 2, 9, 15, 16, 17, 23, 31, 47, 64}) {
                // Corners in every order, some hanging over the canvas's edge.
                const int x = 30 - w / 3 - width, y = 25 - (h % 13) - width;
                for (const QRect& clip : {whole, cut}) {
                    expectStampAsPainter(Stamp::Kind::Rectangle, width, {x, y}, {x + w, y + h}, (w + h) % 2, clip);
                    expectStampAsPainter(Stamp::Kind::Rectangle, width, {x + w, y + h}, {x, y}, true, clip);
                    expectStampAsPainter(Stamp::Kind::Rectangle, width, {x + w, y}, {x, y + h}, false, clip);
                }
            }
    }
}

TEST(StraightFigureStamp, LinesOfEveryLengthAndPenAreThePaintersPixels) {
    g_drawnDirectly = 0;
    const QRect whole(0, 0, 120, 110), cut(31, 9, 37, 60);
    for (int width : {1, 2, 3, 4, 5, 6, 7, 8, 11, 14, 19, 30})
        for (int len = 1; len <= 100; ++len)
            for (const QRect& clip : {whole, cut}) {
                const int x = 50 - len / 2, y = 40 + len % 9;
                expectStampAsPainter(Stamp::Kind::LineRight, width, {x, y}, {x + len, y}, false, clip);
                expectStampAsPainter(Stamp::Kind::LineDown, width, {y, x}, {y, x + len}, false, clip);
            }
    EXPECT_GT(g_drawnDirectly, 2000);
}

// Ellipses, rounded rectangles and slanted lines from kept masks against the
// painter, the mask made at one place and used at many; on high-density
// images (ratios 2 and 1.5, where every other logical pixel starts inside a
// device pixel) also rectangles and level and upright lines (at 1.5 only
// rectangles of a thin pen).
TEST(FigureMask, CurvedFiguresAndSlantedLinesAreThePaintersPixelsWherever) {
    using Kind = FigureMask::Kind;
    for (const qreal ratio : {1.0, 2.0, 1.5}) {
        const QImage base = [&] {
            QImage img = noise(int(160 * ratio), int(150 * ratio), 5);
            img.setDevicePixelRatio(ratio);
            return img;
        }();
        std::mt19937 rng(3);
        auto any = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        const QRect clips[] = {QRect(0, 0, 160, 150), QRect(38, 22, 50, 70)};
        const int kinds = ratio == 1.0 ? 4 : 7;
        int drawnDirectly[7] = {0, 0, 0, 0, 0, 0, 0};
        int acrossTheEdge = 0;   // drawn from masks at or across the image's edge
        for (int i = 0; i < (ratio == 1.0 ? 10000 : 4000); ++i) {
            const auto kind = Kind(any(0, kinds - 1));
            const bool line = kind == Kind::LineUp || kind == Kind::LineDown || kind == Kind::LineRight ||
                              kind == Kind::LineBelow;
            const int width = any(0, 5) ? any(1, 8) : any(9, 40);
            const int x1 = any(-40, 120), y1 = any(-40, 110), reach = any(0, 1) ? 20 : 90;
            int x2 = x1 + any(-reach, reach), y2 = y1 + any(-reach, reach);
            if (kind == Kind::LineRight) y2 = y1;
            if (kind == Kind::LineBelow) x2 = x1;
            const int cw = any(-30, 40), ch = any(-30, 40);
            const bool brush = !line && any(0, 1);
            const QRect& clip = clips[any(0, 1)];
            const QColor pen(any(0, 255), 9, 200), fill(3, any(0, 255), 17);
            QImage plain = base.copy(), fast = base.copy();
            {
                QPainter p(&plain);
                p.setRenderHint(QPainter::Antialiasing, false);
                if (clip != QRect(0, 0, 160, 150)) p.setClipRect(clip);
                p.setPen(QPen(pen, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                p.setBrush(brush ? QBrush(fill) : QBrush(Qt::NoBrush));
                switch (kind) {
                case Kind::Ellipse: gdi::Ellipse(p, x1, y1, x2, y2); break;
                case Kind::RoundRect: gdi::RoundRect(p, x1, y1, x2, y2, cw, ch); break;
                case Kind::LineUp: gdi::Line(p, {x1, y2}, {x2, y1}, clip); break;
                case Kind::LineDown:
                case Kind::LineRight:
                case Kind::LineBelow: gdi::Line(p, {x1, y1}, {x2, y2}, clip); break;
                case Kind::Rectangle: gdi::Rectangle(p, x1, y1, x2, y2); break;
                }
            }
            const FigureMask::Figure figure{kind, x1, y1, x2, y2, cw, ch, width, brush};
            bool drawn = false;
            {
                QPainter p(&fast);
                p.setClipRect(clip);
                const QRgb fillRgb = fill.rgb();
                if (any(0, 1)) {
                    // The first sighting only notes the figure; the second makes the mask.
                    QImage first = base.copy();
                    QPainter once(&first);
                    FigureMask::draw(DirectCanvas::of(once), figure, pen.rgb(), &fillRgb);
                    drawn = FigureMask::draw(DirectCanvas::of(p), figure, pen.rgb(), brush ? &fillRgb : nullptr);
                } else if (const auto mask = FigureMask::prepare(figure, ratio)) {
                    const bool straight = kind == Kind::LineRight || kind == Kind::LineBelow;
                    drawn = mask->drawAt(DirectCanvas::of(p), straight ? x1 : std::min(x1, x2),
                                         straight ? y1 : std::min(y1, y2), pen.rgb(), brush ? &fillRgb : nullptr);
                }
            }
            if (!drawn) {
                ASSERT_EQ(fast, base) << "declined but drew";
                continue;
            }
            ++drawnDirectly[int(kind)];
            const int out = width + 2;
            acrossTheEdge += std::min(x1, x2) < out || std::min(y1, y2) < out || std::max(x1, x2) > 160 - out ||
                             std::max(y1, y2) > 150 - out;
            ASSERT_EQ(fast, plain) << "ratio " << ratio << " kind " << int(kind) << " width " << width << " " << x1 << ","
                                   << y1 << " " << x2 << "," << y2 << " corner " << cw << "x" << ch << " brush " << brush
                                   << " clip " << clip.width();
        }
        // The scaled painter clips a figure at the image's edge as it clips
        // it anywhere, so there masks serve across the edge too.
        if (ratio != 1.0) EXPECT_GT(acrossTheEdge, 400) << "ratio " << ratio;
        // At 1.5 the level and upright lines are all declined.
        for (int k = 0; k < kinds; ++k)
            EXPECT_GT(drawnDirectly[k], ratio == 1.0 ? 200 : ratio == 1.5 && k >= 5 ? -1 : 20)
                << "ratio " << ratio << " kind " << k;
    }
}

TEST(StraightFigureStamp, ACanvasThePainterWouldTreatOtherwiseIsNotWrittenDirectly) {
    QImage img = rt::canvas(40, 40);
    {
        QPainter p(&img);
        EXPECT_TRUE(DirectCanvas::of(p).valid());
        p.setRenderHint(QPainter::Antialiasing, true);
        EXPECT_FALSE(DirectCanvas::of(p).valid());
        p.setRenderHint(QPainter::Antialiasing, false);
        p.translate(3, 0);
        EXPECT_FALSE(DirectCanvas::of(p).valid());
        p.resetTransform();
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        EXPECT_FALSE(DirectCanvas::of(p).valid());
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.setClipRegion(QRegion(0, 0, 5, 5) + QRegion(20, 20, 5, 5));
        EXPECT_FALSE(DirectCanvas::of(p).valid());
        p.setClipRect(QRect(2, 3, 10, 11));
        ASSERT_TRUE(DirectCanvas::of(p).valid());
        EXPECT_EQ(DirectCanvas::of(p).clip(), QRect(2, 3, 10, 11));
        const DirectCanvasOff off;
        EXPECT_FALSE(DirectCanvas::of(p).valid());
    }
    QImage indexed(40, 40, QImage::Format_RGB16);
    QPainter p(&indexed);
    EXPECT_FALSE(DirectCanvas::of(p).valid());
}

DibHandle picture(int w, int h, unsigned seed) {
    QImage img = noise(w, h, seed);
    for (int y = h / 2; y < h; ++y)
        for (int x = 0; x < w / 3; ++x) img.setPixel(x, y, 0xFFFFFFFFu);
    return DibHandle(img, 24);
}

// Figures of every shape, pen width and fill mode (unknown ones borrow the
// colours before them) over texts and pictures, in random z-order.
std::unique_ptr<BoxDocument> randomDesign(unsigned seed) {
    auto doc = rt::document();
    std::mt19937 rng(seed);
    auto any = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    doc->BackgroundMode = any(0, 3);
    doc->BackgroundPicture = picture(any(40, 300), any(30, 200), seed);
    const char* faces[] = {"Arial", "Times New Roman", "Courier New"};
    for (int slot = 1; slot <= 400; ++slot) {
        const int roll = any(0, 99);
        if (roll < 92) {
            rt::randomFigure(*doc, slot, any, any(250, 1400), any(150, 1000), any(-30, 160), any(-30, 160));
        } else if (roll < 97) {
            Tobs& t = rt::place(*doc, slot, Text, any(300, 1200), any(200, 900), any(60, 200), any(30, 90));
            t.Content = QStringLiteral("Faltschachtel %1\rÄußeres").arg(slot);
            t.FontName = QString::fromLatin1(faces[any(0, 2)]);
            t.FontSize = any(8, 30);
            t.Color = any(0, 0xFFFFFF);
            t.Outline = std::uint8_t(any(0, 1));
            t.Shadow = std::uint8_t(any(0, 1));
            t.ShadowDx = t.ShadowDy = any(-20, 20);
            t.Rotation = any(0, 3);
            t.Alignment = any(0, 2);
        } else {
            Tobs& im = rt::place(*doc, slot, Image, any(250, 1300), any(150, 950), any(20, 200), any(20, 150));
            im.Picture = picture(any(10, 120), any(10, 90), seed + unsigned(slot));
            im.KeepAspect = std::uint8_t(any(0, 1));
            im.Transparent = std::uint8_t(any(0, 1));
        }
    }
    return doc;
}

TEST(EditorRepaintIdentity, RandomDesignsAtEveryZoomAndScrollAreThePlainPassOnOneTwoAndThreeThreads) {
    struct View {
        double zoom;
        QPoint scroll;
        int percent;
    };
    const View views[] = {{1.0, {300, 200}, 100}, {0.5, {0, 0}, 80}, {1.25, {517, 331}, 100}, {2.0, {1201, 777}, 60},
                          {0.75, {-40, 13}, 100}};
    for (unsigned seed : {1u, 2u, 3u}) {
        auto doc = randomDesign(seed);
        for (const View& v : views) {
            doc->Zoom = v.zoom;
            const QSize size(seed == 2 ? 1280 : 960, 700);
            const QImage plain = rt::plainEditorPass(*doc, size, v.percent, v.scroll);
            for (int threads : {1, 2, 3}) {
                const RenderThreadsOverride forced(threads);
                QImage fast = rt::canvas(size.width(), size.height(), Qt::magenta);
                ASSERT_TRUE(renderEditorBuffer(fast, *doc, v.percent, v.scroll.x(), v.scroll.y()));
                ASSERT_EQ(fast, plain) << "seed " << seed << " zoom " << v.zoom << " threads " << threads;
            }
        }
    }
}

// The same on high-density screens: bands on the pool, figures painted
// over left out and curved figures from masks kept at the device's
// resolution, against one scaled painter pass. Ratio 1.5 puts every other
// logical pixel's edge inside a device pixel.
TEST(EditorRepaintIdentity, HighDensityDesignsAreThePlainPassOnOneTwoAndThreeThreads) {
    struct View {
        qreal ratio;
        double zoom;
        QPoint scroll;
    };
    const View views[] = {{2.0, 1.0, {300, 200}}, {2.0, 1.25, {517, 331}}, {1.5, 1.0, {301, 199}},
                          {1.5, 0.75, {-40, 13}}, {3.0, 0.5, {0, 0}}};
    for (unsigned seed : {1u, 2u}) {
        auto doc = randomDesign(seed);
        for (const View& v : views) {
            doc->Zoom = v.zoom;
            const QSize size(seed == 2 ? 641 : 480, 351);
            const QImage plain = rt::plainEditorPass(*doc, size, 100, v.scroll, v.ratio);
            for (int threads : {1, 2, 3}) {
                const RenderThreadsOverride forced(threads);
                QImage fast = rt::canvas(plain.width(), plain.height(), Qt::magenta);
                fast.setDevicePixelRatio(v.ratio);
                ASSERT_TRUE(renderEditorBuffer(fast, *doc, 100, v.scroll.x(), v.scroll.y()));
                int differing = 0;
                ASSERT_EQ(rt::maxChannelDifference(fast, plain, &differing), 0)
                    << differing << " pixels, seed " << seed << " ratio " << v.ratio << " zoom " << v.zoom
                    << " threads " << threads;
            }
        }
    }
}

}  // namespace
