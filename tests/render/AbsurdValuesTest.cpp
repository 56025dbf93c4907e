#include "RenderTestUtil.h"

#include "render/DrawVCart.h"
#include "render/EditorView.h"
#include "sheet/SheetRenderer.h"

#include <QElapsedTimer>
#include <QPainter>
#include <gtest/gtest.h>
#include <climits>
#include <cmath>
#include <random>

// Damaged or hostile documents must render without crashing or hanging.
TEST(AbsurdValues, ExtremeGeometryFontsAndImagesRenderQuickly) {
    auto doc = rt::document();
    const int extremes[] = {INT_MIN, -1000000000, -1, 0, 1, 1000000000, INT_MAX};
    int slot = 1;
    for (int kind : {Figure, Text, Image})
        for (int v : extremes)
            for (int shape : {shCircle, shRoundRect, shLineUp, shRectangle}) {
                Tobs& o = doc->Objects[slot++];
                o.Kind = kind;
                o.Shape = shape;
                o.Left = v;
                o.Top = -(v / 2);
                o.Width = v;
                o.Height = INT_MAX - (v < 0 ? 0 : v / 3);
                o.LineWidthOrTransColor = v;
                o.FillModeOrShadowColor = v;
                o.FontSize = v;
                o.FontName = QStringLiteral("Arial");
                o.Content = QStringLiteral("Text");
                o.Rotation = shape % 4;
                o.Shadow = 1;
                o.ShadowDx = v;
                o.ShadowDy = v;
                o.Outline = 1;
                o.Alignment = v;
                o.KeepAspect = 1;
                o.Transparent = 1;
                QImage pic(3, 2, QImage::Format_RGB32);
                pic.fill(Qt::red);
                o.Picture = DibHandle(pic, 24);
            }
    doc->BackgroundMode = bgTile;
    QImage bg(1, 60000, QImage::Format_Indexed8);
    bg.setColorCount(256);
    bg.fill(0);
    doc->BackgroundPicture = DibHandle(bg, 8);

    QElapsedTimer timer;
    timer.start();
    QImage buffer = rt::canvas(800, 600);
    EXPECT_TRUE(renderEditorBuffer(buffer, *doc, 100, 0, 0));
    EXPECT_TRUE(renderEditorBuffer(buffer, *doc, INT_MAX, 0, 0));
    EXPECT_TRUE(renderEditorBuffer(buffer, *doc, INT_MIN, 0, 0));
    doc->Zoom = 1e9;
    EXPECT_TRUE(renderEditorBuffer(buffer, *doc, 100, INT_MAX / 2, INT_MAX / 2));
    doc->Zoom = 1e-9;
    EXPECT_TRUE(renderEditorBuffer(buffer, *doc, 100, 0, 0));
    doc->Zoom = 1.0;
    const QImage page = renderSheetImage(*doc, 100, 50, QSize(600, 400));
    EXPECT_FALSE(page.isNull());
    EXPECT_LT(timer.elapsed(), 20000);
    EXPECT_FALSE(Painting());
}

// Random documents: every field of every kind drawn from wide ranges.
TEST(AbsurdValues, RandomDocumentsRenderOnEveryCanvas) {
    std::mt19937 rng(20261208);
    auto any = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto wild = [&]() {
        switch (any(0, 3)) {
        case 0: return any(INT_MIN, INT_MAX);
        case 1: return any(-1000, 1000);
        case 2: return any(-5000000, 5000000);
        default: return any(0, 1000000);
        }
    };
    for (int round = 0; round < 40; ++round) {
        auto doc = rt::document();
        doc->BackgroundMode = any(-2, 5);
        QImage bg(any(1, 40), any(1, 40), any(0, 1) ? QImage::Format_RGB32 : QImage::Format_Indexed8);
        if (bg.format() == QImage::Format_Indexed8) bg.setColorCount(any(2, 256));
        bg.fill(0);
        doc->BackgroundPicture = DibHandle(bg);
        for (int i = 0; i < 30; ++i) {
            Tobs& o = doc->Objects[any(1, ObjectTable::Capacity)];
            o.Kind = any(-1, 4);
            o.Shape = any(-1, 11);
            o.Left = wild();
            o.Top = wild();
            o.Width = wild();
            o.Height = wild();
            o.LineWidthOrTransColor = wild();
            o.FillModeOrShadowColor = wild();
            o.BorderOrOutlineColor = wild();
            o.Color = wild();
            o.Rotation = any(-2, 5);
            o.Alignment = wild();
            o.FontSize = any(0, 1) ? any(-100, 200) : wild();
            o.FontStyle = static_cast<std::uint8_t>(any(0, 255));
            o.FontName = any(0, 1) ? QStringLiteral("Arial") : QString();
            o.Content = any(0, 1) ? QStringLiteral("Ä\rb c\r\nd") : QString(any(0, 50), QChar(any(1, 0xFFFF)));
            o.Shadow = static_cast<std::uint8_t>(any(0, 2));
            o.ShadowDx = wild();
            o.ShadowDy = wild();
            o.Outline = static_cast<std::uint8_t>(any(0, 2));
            o.KeepAspect = static_cast<std::uint8_t>(any(0, 2));
            o.Transparent = static_cast<std::uint8_t>(any(0, 2));
            o.TransAuto = static_cast<std::uint8_t>(any(0, 2));
            QImage pic(any(1, 30), any(1, 30), any(0, 1) ? QImage::Format_RGB32 : QImage::Format_Indexed8);
            if (pic.format() == QImage::Format_Indexed8) pic.setColorCount(any(2, 256));
            pic.fill(0);
            o.Picture = any(0, 3) ? DibHandle(pic) : DibHandle();
        }
        doc->Zoom = any(0, 1) ? 1.0 : std::ldexp(1.0, any(-20, 20));
        QImage buffer = rt::canvas(any(1, 300), any(1, 200));
        renderEditorBuffer(buffer, *doc, any(-10, 200), wild(), wild());
        doc->Zoom = 1.0;
        renderEditorBuffer(buffer, *doc, 100, any(0, 2000), any(0, 2000));
        renderSheetImage(*doc, any(10, 100), any(10, 60), QSize(any(1, 500), any(1, 400)));
        ASSERT_FALSE(Painting());
    }
}
