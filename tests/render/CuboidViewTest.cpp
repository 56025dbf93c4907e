// Pictures of a folded cuboid: a six-colour card box seen straight on each
// face shows that face's colour in the proportions of its measures, and the
// start view shows three faces with the lid among them.

#include "box/FoldingModel.h"
#include "model/BoxDocument.h"
#include "model/NewDocument.h"
#include "view3d/FaceTextures.h"
#include "view3d/FoldedBoxPainter.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <memory>

namespace {

constexpr double kL = 64, kB = 21, kH = 89;

const std::map<PanelId, QColor> kColours = {
    {PanelId::Vorne, QColor(230, 20, 20)},   {PanelId::Rechts, QColor(20, 200, 20)},
    {PanelId::Hinten, QColor(20, 20, 230)},  {PanelId::Links, QColor(220, 220, 20)},
    {PanelId::Boden, QColor(200, 20, 200)},  {PanelId::DeckelRechts, QColor(20, 210, 210)},
    {PanelId::DeckelLinks, QColor(20, 210, 210)},
};

// The card box with every face filled in its colour, each fill reaching a
// little past the face (the neighbours' fills lie over it where they meet).
std::unique_ptr<BoxDocument> colouredCuboid() {
    auto doc = std::make_unique<BoxDocument>();
    initStartupDocument(*doc, 96);
    newDocument(*doc);
    doc->Form = BoxForm::cuboid(kL, kB, kH);
    const FoldingModel m = FoldingModel::inMillimetres(doc->Layout, NetSource::of(*doc, 100));
    const double u = 20000 / 25.39995;
    int slot = 1;
    for (const auto& [id, c] : kColours) {
        QRectF r = m.panel(id).outline.boundingRect();
        Tobs& o = doc->Objects[slot++];
        o.Kind = Figure;
        o.Shape = shRectangle;
        o.FillModeOrShadowColor = fmFilled;
        o.LineWidthOrTransColor = 1;
        o.Color = c.red() | (c.green() << 8) | (c.blue() << 16);
        o.Left = static_cast<std::int32_t>((doc->Layout.ItemWidth + r.left()) * u);
        o.Top = static_cast<std::int32_t>((doc->Layout.ItemHeight + r.top()) * u);
        o.Width = static_cast<std::int32_t>(r.width() * u);
        o.Height = static_cast<std::int32_t>(r.height() * u);
    }
    return doc;
}

bool isColour(QRgb px, const QColor& want) {
    const QColor c = QColor::fromRgb(px);
    if (c.hsvSaturation() < 120 || c.value() < 60) return false;
    int d = std::abs(c.hsvHue() - want.hsvHue());
    return std::min(d, 360 - d) <= 12;
}

// Bounding box of the pixels in the colour.
QRect extent(const QImage& img, const QColor& want, int* count = nullptr) {
    int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN, n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (isColour(img.pixel(x, y), want)) {
                x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
                ++n;
            }
    if (count) *count = n;
    return n ? QRect(QPoint(x0, y0), QPoint(x1, y1)) : QRect();
}

QImage shot(BoxDocument& doc, double yaw, double pitch) {
    FaceTextures textures(512);
    EXPECT_TRUE(textures.make(doc, 100));
    const FoldingModel model = FoldingModel::inMillimetres(doc.Layout, NetSource::of(doc, 100));
    ViewCamera cam;
    cam.yaw = yaw;
    cam.pitch = pitch;
    QImage img(800, 800, QImage::Format_RGB32);
    QPainter p(&img);
    FoldedBoxPainter(model, 1.0, cam, img.size()).paint(p, textures, false);
    return img;
}

}  // namespace

TEST(CuboidView, EachFaceStraightOnInTheProportionsOfItsMeasures) {
    auto doc = colouredCuboid();
    struct Case {
        double yaw, pitch;
        PanelId face;
        double w, h;
    };
    for (const Case& c : {Case{0, 0, PanelId::Vorne, kL, kH}, Case{90, 0, PanelId::Rechts, kB, kH},
                          Case{180, 0, PanelId::Hinten, kL, kH}, Case{270, 0, PanelId::Links, kB, kH},
                          Case{0, 90, PanelId::DeckelRechts, kL, kB}, Case{0, -90, PanelId::Boden, kL, kB}}) {
        const QImage img = shot(*doc, c.yaw, c.pitch);
        // The face's outline on the picture: every printed pixel (its border
        // pixels may carry the neighbour's colour, printed over the fold).
        int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN, printed = 0, own = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                bool any = false;
                for (const auto& [id, colour] : kColours) any = any || isColour(img.pixel(x, y), colour);
                if (!any) continue;
                ++printed;
                own += isColour(img.pixel(x, y), kColours.at(c.face));
                x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
        ASSERT_GT(printed, 1000) << panelName(c.face).toStdString();
        const int w = x1 - x0 + 1, h = y1 - y0 + 1;
        // Width : height as the measures, within the border pixels that the
        // neighbour's fold line may take from either side.
        EXPECT_NEAR(w * c.h / c.w, h, 1.5) << panelName(c.face).toStdString() << ": " << w << " x " << h;
        // It is that face: its colour fills all but the border lines.
        EXPECT_GT(own, 0.97 * printed) << panelName(c.face).toStdString();
        EXPECT_TRUE(isColour(img.pixel((x0 + x1) / 2, (y0 + y1) / 2), kColours.at(c.face)));
    }
}

TEST(CuboidView, StartViewShowsThreeHuesWithTheLid) {
    auto doc = colouredCuboid();
    const QImage img = shot(*doc, ViewCamera::StartYaw, ViewCamera::StartPitch);
    int seen = 0;
    for (PanelId id : {PanelId::Vorne, PanelId::Rechts, PanelId::DeckelRechts}) {
        int n = 0;
        extent(img, kColours.at(id), &n);
        EXPECT_GT(n, 500) << panelName(id).toStdString();
        seen += n > 500;
    }
    EXPECT_EQ(seen, 3);
    // The hidden faces at most as stray edge pixels where two shaded
    // colours blend.
    int front = 0;
    extent(img, kColours.at(PanelId::Vorne), &front);
    for (PanelId id : {PanelId::Hinten, PanelId::Links, PanelId::Boden}) {
        int n = 0;
        extent(img, kColours.at(id), &n);
        EXPECT_LT(n, front / 100) << panelName(id).toStdString();
    }
}

TEST(CuboidView, TheSleeveShowsEachSidesColourFromThatSide) {
    auto doc = std::make_unique<BoxDocument>();
    initStartupDocument(*doc, 96);
    newDocument(*doc);
    doc->Form = BoxForm::ofStyle(BoxStyle::Huelse, kL, kB, kH, 0.3);
    const FoldingModel m = FoldingModel::inMillimetres(doc->Layout, NetSource::of(*doc, 100));
    const std::map<QString, QColor> colours = {{"Vorne", QColor(230, 20, 20)},
                                               {"Rechts", QColor(20, 200, 20)},
                                               {"Hinten", QColor(20, 20, 230)},
                                               {"Links", QColor(220, 220, 20)}};
    const double u = 20000 / 25.39995;
    int slot = 1;
    for (const FoldPanel& p : m.panels()) {
        if (!p.isFace()) continue;
        const QColor c = colours.at(p.name);
        const QRectF r = p.face;
        Tobs& o = doc->Objects[slot++];
        o.Kind = Figure;
        o.Shape = shRectangle;
        o.FillModeOrShadowColor = fmFilled;
        o.LineWidthOrTransColor = 1;
        o.Color = c.red() | (c.green() << 8) | (c.blue() << 16);
        o.Left = static_cast<std::int32_t>((doc->Layout.ItemWidth + r.left()) * u);
        o.Top = static_cast<std::int32_t>((doc->Layout.ItemHeight + r.top()) * u);
        o.Width = static_cast<std::int32_t>(r.width() * u);
        o.Height = static_cast<std::int32_t>(r.height() * u);
    }
    ASSERT_EQ(slot, 5);
    const std::pair<double, QString> sides[] = {{0, "Vorne"}, {90, "Rechts"}, {180, "Hinten"}, {270, "Links"}};
    for (const auto& [yaw, name] : sides) {
        SCOPED_TRACE(name.toStdString());
        const QImage img = shot(*doc, yaw, 0);
        int own = 0;
        extent(img, colours.at(name), &own);
        ASSERT_GT(own, 20000);
        for (const auto& [other, colour] : colours)
            if (other != name) {
                int n = 0;
                extent(img, colour, &n);
                EXPECT_LT(n, own / 50) << other.toStdString();
            }
    }
}
