// A render pass asks its progress callback as it goes and stops when told:
// every hundred objects, every few lines of a long text, never without a
// callback, and the canvas and the pass marks are left as after a whole pass.
#include "RenderTestUtil.h"

#include "render/DrawVCart.h"
#include "render/PassProgress.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <vector>

namespace {

RenderParams editorParams() {
    RenderParams p;
    p.AreaWidth = 1646;
    p.AreaHeight = 1164;
    p.mapping = Mapping::screen(1.0, 416);
    p.EditorView = true;
    p.CanvasDpi = 96;
    p.FontPpi = 96;
    // The net is drawn last, over the squares: left out, what a square
    // shows is its own colour.
    p.DrawNet = false;
    return p;
}

// n small filled squares, in slots 1..n, each of its own colour.
std::unique_ptr<BoxDocument> figures(int n) {
    auto doc = rt::document();
    for (int i = 0; i < n; ++i) {
        Tobs& o = rt::place(*doc, i + 1, Figure, 560 + (i % 50) * 10, 400 + (i / 50) * 10, 8, 8);
        o.Shape = shRectangle;
        o.FillModeOrShadowColor = fmFilled;
        o.Color = 0x000000 + (i * 2654435761u & 0xFFFFFF);
    }
    return doc;
}

struct Pass {
    QImage image;
    bool finished = false;
};

Pass draw(const BoxDocument& doc, RenderParams params) {
    Pass r{rt::canvas(1646, 1164)};
    QPainter p(&r.image);
    r.finished = DrawVCart(p, doc, params);
    return r;
}

// A text of many short lines filling a tall rectangle.
std::unique_ptr<BoxDocument> longText(int lines) {
    auto doc = rt::document();
    QString content;
    for (int i = 0; i < lines; ++i) content += QStringLiteral("Zeile %1\r\n").arg(i);
    Tobs& o = rt::place(*doc, 1, Text, 560, 0, 400, 1100);
    o.Content = content;
    o.FontName = QStringLiteral("Arial");
    o.FontSize = 10;
    return doc;
}

}  // namespace

TEST(PassProgress, AsksEveryHundredObjectsWithRisingPercentsAndFinishes) {
    const auto doc = figures(1000);
    std::vector<int> asked;
    RenderParams params = editorParams();
    params.Progress = [&](int percent) {
        asked.push_back(percent);
        return true;
    };
    const Pass pass = draw(*doc, params);
    EXPECT_TRUE(pass.finished);
    // Once before the first object, then after objects 100, 200, ... 1000.
    ASSERT_EQ(asked.size(), 11u);
    EXPECT_EQ(asked.front(), 0);
    EXPECT_EQ(asked.back(), 100);
    EXPECT_TRUE(std::is_sorted(asked.begin(), asked.end()));
    // Asking changes nothing drawn: the pass without a callback is the same.
    const Pass plain = draw(*doc, editorParams());
    EXPECT_TRUE(plain.finished);
    EXPECT_EQ(plain.image, pass.image);
}

TEST(PassProgress, FalseStopsThePassAtOnceAndLeavesTheCanvasAsAWholePassWould) {
    const auto doc = figures(1000);
    const Pass whole = draw(*doc, editorParams());
    int calls = 0;
    RenderParams params = editorParams();
    params.Progress = [&](int) { return ++calls < 3; };
    QImage img = rt::canvas(1646, 1164);
    QPainter p(&img);
    p.setPen(QPen(Qt::red, 5, Qt::DashLine));
    p.setCompositionMode(QPainter::CompositionMode_Xor);
    EXPECT_FALSE(DrawVCart(p, *doc, params));
    // Stopped at the third question (after object 200): no more questions.
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(p.pen().color(), QColor(Qt::black));
    EXPECT_EQ(p.pen().width(), 1);
    EXPECT_EQ(p.pen().style(), Qt::SolidLine);
    EXPECT_EQ(p.compositionMode(), QPainter::CompositionMode_SourceOver);
    EXPECT_EQ(p.brush().color(), QColor(Qt::white));
    // The pass marks are gone: the next pass on this canvas draws.
    EXPECT_FALSE(Painting());
    EXPECT_FALSE(Painting(&img));
    EXPECT_TRUE(DrawVCart(p, *doc, editorParams()));
    p.end();

    // The stopped pass drew the first 200 squares and none after them.
    QImage stopped = rt::canvas(1646, 1164);
    {
        QPainter q(&stopped);
        int n = 0;
        RenderParams again = editorParams();
        again.Progress = [&](int) { return ++n < 3; };
        EXPECT_FALSE(DrawVCart(q, *doc, again));
    }
    // Slot 200 is square 199 (the last of row 3), slot 201 the first of row 4.
    const QPoint drawn(1050 + 4, 430 + 4), skipped(560 + 4, 440 + 4);
    EXPECT_NE(rt::px(whole.image, drawn.x(), drawn.y()), rt::White);
    EXPECT_EQ(rt::px(stopped, drawn.x(), drawn.y()), rt::px(whole.image, drawn.x(), drawn.y()));
    EXPECT_NE(rt::px(whole.image, skipped.x(), skipped.y()), rt::White);
    EXPECT_EQ(rt::px(stopped, skipped.x(), skipped.y()), rt::White);
}

TEST(PassProgress, StoppedBeforeTheFirstObjectDrawsNothing) {
    const auto doc = figures(10);
    RenderParams params = editorParams();
    int calls = 0;
    params.Progress = [&](int) {
        ++calls;
        return false;
    };
    const Pass pass = draw(*doc, params);
    EXPECT_FALSE(pass.finished);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(rt::boundsNot(pass.image, rt::White), QRect());
}

TEST(PassProgress, ALongTextIsAskedEveryFewLinesAndStopsInsideItsLayout) {
    const auto doc = longText(3000);
    int calls = 0;
    RenderParams params = editorParams();
    params.Progress = [&](int) {
        ++calls;
        return true;
    };
    EXPECT_TRUE(draw(*doc, params).finished);
    // One object, yet many questions: the lines it lays out and draws.
    const int wholeCalls = calls;
    EXPECT_GE(wholeCalls, 10);

    calls = 0;
    params.Progress = [&](int) { return ++calls < 4; };
    const Pass stopped = draw(*doc, params);
    EXPECT_FALSE(stopped.finished);
    EXPECT_EQ(calls, 4);
}

TEST(PassProgress, CountsObjectsAndLinesOnItsOwn) {
    std::vector<int> asked;
    const ProgressCallback record = [&](int p) {
        asked.push_back(p);
        return true;
    };
    PassProgress progress(record, 250);
    for (int i = 0; i < 250; ++i) EXPECT_TRUE(progress.objectDone());
    EXPECT_EQ(asked, (std::vector<int>{40, 80}));
    for (int i = 0; i < PassProgress::LinesPerQuestion - 1; ++i) EXPECT_TRUE(progress.linesDone());
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_TRUE(progress.linesDone());
    EXPECT_EQ(asked.size(), 3u);
    // Without a callback it never stops.
    const ProgressCallback nothing;
    PassProgress none(nothing, 5);
    for (int i = 0; i < 1000; ++i) EXPECT_TRUE(none.objectDone() && none.linesDone(100));
    EXPECT_FALSE(none.stopped());
}
