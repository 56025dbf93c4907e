// "Aufrecht drehen" against the folded box: a picture of an arrow pointing
// up in its file, put on a face and turned upright, points up in the 3D view
// looking straight at that face.
#include "TestCanvas.h"

#include "box/FaceGeometry.h"
#include "box/FoldingModel.h"
#include "box/NetSource.h"
#include "view3d/FaceTextures.h"
#include "view3d/FoldedBoxPainter.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

// Red head above a blue shaft: "up" is where the red is.
QImage arrowPicture() {
    QImage img(60, 90, QImage::Format_RGB32);
    img.fill(Qt::white);
    for (int y = 0; y < 40; ++y)
        for (int x = 30 - y * 3 / 4; x <= 30 + y * 3 / 4; ++x) img.setPixel(x, y, qRgb(230, 0, 0));
    for (int y = 40; y < 90; ++y)
        for (int x = 22; x < 38; ++x) img.setPixel(x, y, qRgb(0, 0, 230));
    return img;
}

struct Camera {
    PanelId face;
    double yaw, pitch;
};

// Straight at each side face; from above with Vorne at the bottom for the
// lid halves; from below with Hinten at the bottom for the Boden.
const Camera kCameras[] = {
    {PanelId::Vorne, 0, 0},          {PanelId::Rechts, 90, 0},       {PanelId::Hinten, 180, 0},
    {PanelId::Links, 270, 0},        {PanelId::DeckelRechts, 0, 90}, {PanelId::DeckelLinks, 0, 90},
    {PanelId::Boden, 0, -90},
};

// Centres of the red and the blue pixels in the picture.
std::pair<QPointF, QPointF> arrowParts(const QImage& img) {
    QPointF red, blue;
    int nr = 0, nb = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.red() > 120 && c.green() < 60 && c.blue() < 60) {
                red += QPointF(x, y);
                ++nr;
            } else if (c.blue() > 120 && c.red() < 60 && c.green() < 60) {
                blue += QPointF(x, y);
                ++nb;
            }
        }
    EXPECT_GT(nr, 30);
    EXPECT_GT(nb, 30);
    return {nr ? red / nr : QPointF(), nb ? blue / nb : QPointF()};
}

TEST(UprightIn3D, AnArrowTurnedUprightPointsUpOnEveryFaceOfTheFoldedBox) {
    for (const BoxForm& form : {BoxForm::cube(), BoxForm::cuboid(90, 60, 40)}) {
        for (const Camera& cam : kCameras) {
            SCOPED_TRACE(panelName(cam.face).toStdString() + (form.isCuboid() ? " cuboid" : " cube"));
            TestCanvas c;
            c.doc.Form = form;
            std::optional<FaceRect> face;
            for (const FaceRect& f : faceRects(c.doc, NetSource::of(c.doc, c.percent)))
                if (f.panel == cam.face) face = f;
            ASSERT_TRUE(face);
            Tobs& o = c.doc.Objects[1];
            o.resetToDefaults();
            o.Kind = Image;
            o.Picture = DibHandle(arrowPicture(), 24);
            o.KeepAspect = 1;
            const double h = face->height() * 0.6, w = h * 60 / 90;
            o.Width = unitsOf(std::min(w, face->width() * 0.6));
            o.Height = unitsOf(o.Width * 90.0 / 60);
            o.Left = unitsOf((face->left + face->right) / 2 - o.Width / 2.0);
            o.Top = unitsOf((face->top + face->bottom) / 2 - o.Height / 2.0);
            c.doc.CurrentObject = 1;
            c.editor.commands.turnUpright();
            ASSERT_EQ(o.Rotation, face->uprightRotation);

            FaceTextures textures(384);
            ASSERT_TRUE(textures.make(c.doc, c.percent));
            const FoldingModel model = FoldingModel::inMillimetres(c.doc.Layout, NetSource::of(c.doc, c.percent));
            ViewCamera view;
            view.yaw = cam.yaw;
            view.pitch = cam.pitch;
            const FoldedBoxPainter painter(model, 1.0, view, QSize(640, 480));
            QImage shot(640, 480, QImage::Format_RGB32);
            {
                QPainter p(&shot);
                painter.paint(p, textures, false);
            }
            const auto [red, blue] = arrowParts(shot);
            // Up on the picture: the head above the shaft, not beside it.
            EXPECT_LT(red.y(), blue.y() - 5);
            EXPECT_LT(std::abs(red.x() - blue.x()), std::abs(red.y() - blue.y()) / 2);
        }
    }
}

}  // namespace
