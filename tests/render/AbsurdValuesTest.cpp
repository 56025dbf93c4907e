#include "RenderTestUtil.h"

#include "render/DrawVCart.h"
#include "render/EditorView.h"
#include "render/SheetRenderer.h"

#include <QElapsedTimer>
#include <QPainter>
#include <gtest/gtest.h>
#include <climits>

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
