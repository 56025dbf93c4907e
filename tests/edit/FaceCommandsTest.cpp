// "Auf Fläche": centring, fitting, filling and turning upright on every face
// of the cube and of cuboids, checked in device pixels of the editor.

#include "EditTestHelpers.h"
#include "FaceTestSupport.h"
#include "TestCanvas.h"

#include "box/FaceGeometry.h"
#include "box/NetSource.h"
#include "render/DrawVCart.h"
#include "render/Mapping.h"
#include "render/SheetRenderParams.h"
#include "render/TextRenderer.h"

#include <gtest/gtest.h>

namespace {

struct FaceCase {
    BoxForm form;
    int percent;
    double zoom;
};

class FaceCommandsTest : public ::testing::TestWithParam<FaceCase> {
protected:
    TestCanvas c;
    void SetUp() override {
        c.doc.Form = GetParam().form;
        c.percent = GetParam().percent;
        c.doc.Zoom = GetParam().zoom;
    }
    std::vector<FaceRect> faces() { return faceRects(c.doc, NetSource::of(c.doc, c.percent)); }
    // A small object whose centre lies on the face.
    Tobs& placeOn(const FaceRect& f, int kind, int shape = shRectangle) {
        Tobs& o = freshObjectOnFace(c.doc, f, kind, 3000, 2000, 0.25);
        o.Shape = shape;
        return o;
    }
    Mapping map() { return Mapping::screenFor(c.doc); }
    int dev(double units) { return map().toDevice(unitsOf(units)); }
    // The centre of what a text draws, document units: its rectangle, or
    // once turned its line as the 600-dpi print draws it.
    QPointF drawnCentre(const Tobs& o) {
        if (o.Rotation < 1 || o.Rotation > 3) return QPointF(o.Left + o.Width / 2.0, o.Top + o.Height / 2.0);
        RenderParams params = sheetRenderParams(c.doc.Layout, NetSource::of(c.doc, c.percent), 600, 600,
                                                printFontFactor(600, c.dpi));
        params.CanvasDpi = 600;
        params.FontPpi = c.dpi;
        const QRectF box = turnedLineBox(o, params);
        return QPointF((box.center().x() + params.OffsetX) / 0.03, (box.center().y() + params.OffsetY) / 0.03);
    }
};

TEST_P(FaceCommandsTest, CentreFitAndFillLandOnEveryFace) {
    const auto all = faces();
    ASSERT_EQ(all.size(), 7u);
    for (const FaceRect& f : all) {
        SCOPED_TRACE(panelName(f.panel).toStdString());
        const Mapping m = map();
        Tobs& o = placeOn(f, Figure);
        c.editor.objectMenu.prepareFor(1);
        ASSERT_TRUE(c.editor.objectMenu.FlZentrieren->isEnabled());
        c.editor.commands.centreOnFace();
        const double cx = m.DevLeft(o) + m.DevWidth(o) / 2.0, cy = m.DevTop(o) + m.DevHeight(o) / 2.0;
        EXPECT_NEAR(cx, (dev(f.left) + dev(f.right)) / 2.0, 1.0);
        EXPECT_NEAR(cy, (dev(f.top) + dev(f.bottom)) / 2.0, 1.0);
        EXPECT_EQ(c.editor.commands.history().undoName(), QStringLiteral("Zentrieren"));

        c.editor.commands.fitToFace();
        EXPECT_GE(m.DevLeft(o), dev(f.left) - 1);
        EXPECT_LE(m.DevLeft(o) + m.DevWidth(o), dev(f.right) + 1);
        EXPECT_GE(m.DevTop(o), dev(f.top) - 1);
        EXPECT_LE(m.DevTop(o) + m.DevHeight(o), dev(f.bottom) + 1);
        // The 2 mm margin on the narrower side, exactly.
        const double mm = 20000.0 / 25.39995;
        EXPECT_NEAR(std::min(o.Width - f.width(), o.Height - f.height()), -4 * mm, 2.0);

        c.editor.commands.fillFace();
        EXPECT_LE(o.Left, f.left - (f.cutLeft ? mm - 1 : 0));
        EXPECT_GE(o.Left, f.left - (f.cutLeft ? mm + 1 : 1));
        EXPECT_GE(o.Left + o.Width, f.right + (f.cutRight ? mm - 1 : 0));
        EXPECT_LE(o.Left + o.Width, f.right + (f.cutRight ? mm + 1 : 1));
        EXPECT_LE(m.DevTop(o), dev(f.top));
        EXPECT_GE(m.DevTop(o) + m.DevHeight(o), dev(f.bottom) - 1);
        // Boden is folded on all four sides: nothing bleeds there.
        if (f.panel == PanelId::Boden) EXPECT_FALSE(f.cutLeft || f.cutTop || f.cutRight || f.cutBottom);
    }
}

TEST_P(FaceCommandsTest, UprightTurnsToTheFacesRotationKeepingTheCentre) {
    for (const FaceRect& f : faces()) {
        SCOPED_TRACE(panelName(f.panel).toStdString());
        Tobs& o = placeOn(f, Text);
        o.Content = QStringLiteral("Titel");
        const QPointF centre = drawnCentre(o);
        c.editor.commands.turnUpright();
        EXPECT_EQ(o.Rotation, f.uprightRotation);
        // Within a printer pixel: the turned line is measured in them.
        EXPECT_NEAR(drawnCentre(o).x(), centre.x(), 34.0);
        EXPECT_NEAR(drawnCentre(o).y(), centre.y(), 34.0);
        // Already upright on a side face: nothing changes, no step.
        if (f.uprightRotation == 0) continue;
        EXPECT_EQ(c.editor.commands.history().undoName(), QStringLiteral("Aufrecht drehen"));
        c.editor.commands.undo();
        EXPECT_EQ(o.Rotation, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, FaceCommandsTest,
                         ::testing::Values(FaceCase{BoxForm::cube(), 100, 1.0}, FaceCase{BoxForm::cube(), 40, 1.0},
                                           FaceCase{BoxForm::cube(), 100, 2.0},
                                           FaceCase{BoxForm::cuboid(64, 21, 89), 100, 1.0},
                                           FaceCase{BoxForm::cuboid(70, 45, 110), 40, 0.5}),
                         [](const ::testing::TestParamInfo<FaceCase>& info) {
                             const FaceCase& f = info.param;
                             const std::string form = f.form.kind == FormKind::Quader
                                                          ? "Quader" + std::to_string(int(f.form.L)) + "x" +
                                                                std::to_string(int(f.form.B)) + "x" +
                                                                std::to_string(int(f.form.H))
                                                          : std::string("Wuerfel");
                             return form + "_" + std::to_string(f.percent) + "Prozent_Zoom" +
                                    std::to_string(int(f.zoom * 10));
                         });

TEST(FaceMenu, EnableRulesFollowTheKindAndThePlace) {
    TestCanvas c;
    ObjectMenu& menu = c.editor.objectMenu;
    c.place(1, Figure, 0, 0, 5, 5);   // top-left corner of the area: off the net
    c.doc.CurrentObject = 1;
    menu.prepareFor(1);
    EXPECT_FALSE(menu.AufFlaeche->menuAction()->isEnabled());

    const FaceRect vorne = faceRects(c.doc, NetSource::of(c.doc, c.percent)).front();
    Tobs& o = c.doc.Objects[1];
    o.Left = unitsOf(vorne.left + 100);
    o.Top = unitsOf(vorne.top + 100);
    menu.prepareFor(1);
    EXPECT_TRUE(menu.FlEinpassen->isEnabled());
    EXPECT_TRUE(menu.FlFuellen->isEnabled());
    EXPECT_FALSE(menu.FlAufrecht->isEnabled());
    o.Shape = shCircle;
    menu.prepareFor(1);
    EXPECT_FALSE(menu.FlFuellen->isEnabled());
    o.Kind = Text;
    menu.prepareFor(1);
    EXPECT_FALSE(menu.FlEinpassen->isEnabled());
    EXPECT_TRUE(menu.FlAufrecht->isEnabled());
    o.Kind = Image;
    o.KeepAspect = 1;
    menu.prepareFor(1);
    EXPECT_FALSE(menu.FlFuellen->isEnabled());
    EXPECT_TRUE(menu.FlEinpassen->isEnabled());
}

}  // namespace
