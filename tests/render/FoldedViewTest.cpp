// Pictures of the folded box: which face shows where, from known angles, and
// which way up the print lands on the folded box.

#include "model/BoxDocument.h"
#include "view3d/FaceTextures.h"
#include "view3d/FoldedBoxPainter.h"
#include "base/Units.h"
#include "render/NetLabels.h"

#include <QColor>
#include <QDebug>
#include <QPainter>
#include <gtest/gtest.h>
#include <cmath>
#include <map>
#include <memory>

namespace {

struct Design {
    std::unique_ptr<BoxDocument> doc = std::make_unique<BoxDocument>();
    double e = 0;
    int slot = 1;

    Design() {
        doc->Layout.applyNewDocumentLayout();
        doc->updateExtentFromLayout();
        e = FoldingModel::inMillimetres(doc->Layout, 100).edge();
    }
    // Net millimetres -> document units of the editing area (the box area
    // starts one item from its corner).
    std::int32_t ux(double mm) const { return mmToUnits(doc->Layout.ItemWidth + mm); }
    std::int32_t uy(double mm) const { return mmToUnits(doc->Layout.ItemHeight + mm); }
    Tobs& add(int kind, double x, double y, double w, double h) {
        Tobs& o = doc->Objects[slot++];
        o.resetToDefaults();
        o.Kind = kind;
        o.Left = ux(x);
        o.Top = uy(y);
        o.Width = ux(x + w) - o.Left;
        o.Height = uy(y + h) - o.Top;
        return o;
    }
    void fill(double x, double y, double w, double h, QColor c) {
        Tobs& o = add(Figure, x, y, w, h);
        o.Shape = shRectangle;
        o.FillModeOrShadowColor = fmFilled;
        o.Color = c.red() | (c.green() << 8) | (c.blue() << 16);
        o.LineWidthOrTransColor = 1;
    }
    void letterL(double x, double y, double w, double h, int rotation) {
        Tobs& o = add(Text, x, y, w, h);
        o.Content = QStringLiteral("L");
        o.FontName = QStringLiteral("Arial");
        o.FontSize = 40;
        o.FontStyle = 1;   // bold
        o.Color = 0;
        o.Rotation = rotation;
    }
};

// Hues that survive shading (a face turned away is only darker).
const std::map<PanelId, QColor> kFaceColours = {
    {PanelId::Vorne, QColor(230, 20, 20)},     {PanelId::Rechts, QColor(20, 200, 20)},
    {PanelId::Hinten, QColor(20, 20, 230)},    {PanelId::Links, QColor(220, 220, 20)},
    {PanelId::Boden, QColor(200, 20, 200)},    {PanelId::DeckelRechts, QColor(20, 210, 210)},
    {PanelId::DeckelLinks, QColor(240, 140, 10)},
};

Design colouredFaces() {
    Design d;
    const double e = d.e;
    d.fill(0, e, e, e, kFaceColours.at(PanelId::Vorne));
    d.fill(e, e, e, e, kFaceColours.at(PanelId::Rechts));
    d.fill(2 * e, e, e, e, kFaceColours.at(PanelId::Hinten));
    d.fill(3 * e, e, e, e, kFaceColours.at(PanelId::Links));
    d.fill(2 * e, 2 * e, e, e, kFaceColours.at(PanelId::Boden));
    // Each lid half with its tab in a colour of its own.
    d.fill(e, 0, e, e, kFaceColours.at(PanelId::DeckelRechts));
    d.fill(3 * e, 0, e, e, kFaceColours.at(PanelId::DeckelLinks));
    return d;
}

// The face whose hue is nearest to the pixel's; none for grey pixels.
int faceAt(const QImage& img, QPointF p) {
    const QColor c = img.pixelColor(p.toPoint());
    if (c.hsvSaturation() < 120 || c.value() < 60) return -1;
    int best = -1, bestDiff = 361;
    for (const auto& [id, colour] : kFaceColours) {
        int diff = std::abs(c.hsvHue() - colour.hsvHue());
        diff = std::min(diff, 360 - diff);
        if (diff < bestDiff) {
            bestDiff = diff;
            best = static_cast<int>(id);
        }
    }
    return bestDiff <= 12 ? best : -1;
}

// Pixels of a face's colour whose neighbours agree (not a blend at an edge).
int countFacePixels(const QImage& img, PanelId id) {
    const int f = static_cast<int>(id);
    int n = 0;
    for (int y = 1; y + 1 < img.height(); y += 2)
        for (int x = 1; x + 1 < img.width(); x += 2)
            n += faceAt(img, QPointF(x, y)) == f && faceAt(img, QPointF(x - 1, y)) == f &&
                 faceAt(img, QPointF(x + 1, y)) == f && faceAt(img, QPointF(x, y - 1)) == f &&
                 faceAt(img, QPointF(x, y + 1)) == f;
    return n;
}

struct Shot {
    QImage image;
    std::unique_ptr<FoldingModel> model;
    std::unique_ptr<FoldedBoxPainter> painter;
};

Shot view(Design& d, double yaw, double pitch, double fold = 1.0, QSize size = QSize(640, 480)) {
    Shot s;
    FaceTextures textures(384);
    EXPECT_TRUE(textures.make(*d.doc, 100));
    s.model = std::make_unique<FoldingModel>(FoldingModel::inMillimetres(d.doc->Layout, 100));
    ViewCamera cam;
    cam.yaw = yaw;
    cam.pitch = pitch;
    s.painter = std::make_unique<FoldedBoxPainter>(*s.model, fold, cam, size);
    s.image = QImage(size, QImage::Format_RGB32);
    QPainter p(&s.image);
    s.painter->paint(p, textures, false);
    return s;
}

// Which quadrant of the dark ink's bounding box inside rect holds the least
// ink: 0 top left, 1 top right, 2 bottom right, 3 bottom left. An upright
// "L" leaves its top right empty.
int emptiestQuadrant(const QImage& img, const QRect& rect) {
    int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;
    auto ink = [&](int x, int y) { return qGray(img.pixel(x, y)) < 90; };
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (ink(x, y)) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    if (x0 > x1 || (x1 - x0) < 10 || (y1 - y0) < 10) return -1;
    const double cx = (x0 + x1) / 2.0, cy = (y0 + y1) / 2.0;
    int q[4] = {0, 0, 0, 0};
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (ink(x, y)) ++q[y < cy ? (x < cx ? 0 : 1) : (x < cx ? 3 : 2)];
    return static_cast<int>(std::min_element(q, q + 4) - q);
}

// The face's middle part on the picture (away from its dotted border).
QRect middleOf(const Shot& s, PanelId id, double part = 0.3) {
    const QPointF c = s.painter->panelCentre(id);
    QPolygonF poly;
    for (const Vec3& v : s.painter->poses()[static_cast<int>(id)].corners) poly << s.painter->project(v);
    const QRectF b = poly.boundingRect();
    return QRectF(c.x() - b.width() * part, c.y() - b.height() * part, 2 * b.width() * part,
                  2 * b.height() * part).toRect();
}

// The quarter turn that gives a text's top the direction of a label's arrow.
int rotationTowards(const NetLabel& l) {
    const QPointF d = l.arrow.p2() - l.arrow.p1();
    if (std::abs(d.x()) > std::abs(d.y())) return d.x() > 0 ? 1 : 3;
    return d.y() < 0 ? 0 : 2;
}

}  // namespace

TEST(FoldedView, StartViewShowsExactlyFrontRightAndTop) {
    Design d = colouredFaces();
    const Shot s = view(d, ViewCamera::StartYaw, ViewCamera::StartPitch);
    for (PanelId id : {PanelId::Vorne, PanelId::Rechts, PanelId::DeckelRechts, PanelId::DeckelLinks}) {
        EXPECT_TRUE(s.painter->showsPrintedSide(id)) << panelName(id).toStdString();
        EXPECT_EQ(faceAt(s.image, s.painter->panelCentre(id)), static_cast<int>(id)) << panelName(id).toStdString();
    }
    for (PanelId id : {PanelId::Hinten, PanelId::Links, PanelId::Boden}) {
        EXPECT_FALSE(s.painter->showsPrintedSide(id)) << panelName(id).toStdString();
        EXPECT_EQ(countFacePixels(s.image, id), 0) << panelName(id).toStdString();
    }
    // The picture is of the box, not of its corner: the front is large.
    EXPECT_GT(countFacePixels(s.image, PanelId::Vorne), 5000);
}

TEST(FoldedView, EachFaceFromItsOwnSide) {
    Design d = colouredFaces();
    struct Case {
        double yaw, pitch;
        PanelId face;
    };
    for (const Case& c : {Case{0, 0, PanelId::Vorne}, Case{90, 0, PanelId::Rechts}, Case{180, 0, PanelId::Hinten},
                          Case{-90, 0, PanelId::Links}, Case{30, -60, PanelId::Boden}, Case{0, 89, PanelId::DeckelRechts}}) {
        const Shot s = view(d, c.yaw, c.pitch);
        EXPECT_EQ(faceAt(s.image, s.painter->panelCentre(c.face)), static_cast<int>(c.face))
            << panelName(c.face).toStdString() << " at yaw " << c.yaw << ", pitch " << c.pitch;
    }
    // Straight at Vorne: the middle of the picture is Vorne.
    const Shot front = view(d, 0, 0);
    EXPECT_EQ(faceAt(front.image, QPointF(320, 240)), static_cast<int>(PanelId::Vorne));
    EXPECT_EQ(countFacePixels(front.image, PanelId::Hinten), 0);
}

TEST(FoldedView, TopShowsBothLidHalvesEdgeToEdge) {
    Design d = colouredFaces();
    const Shot s = view(d, 0, 90);
    // Seen from above with Vorne below: Rechts is on the right.
    const QPointF r = s.painter->panelCentre(PanelId::DeckelRechts), l = s.painter->panelCentre(PanelId::DeckelLinks);
    EXPECT_GT(r.x(), l.x());
    EXPECT_EQ(faceAt(s.image, r), static_cast<int>(PanelId::DeckelRechts));
    EXPECT_EQ(faceAt(s.image, l), static_cast<int>(PanelId::DeckelLinks));
    // Across the top's middle line the colour changes from one half to the
    // other, with no third colour (a tab) in between.
    const QPointF mid = (r + l) / 2;
    const double step = (r.x() - l.x()) / 20;
    for (int k = -9; k <= 9; ++k) {
        const int f = faceAt(s.image, mid + QPointF(k * step, 0));
        if (k < -1) EXPECT_EQ(f, static_cast<int>(PanelId::DeckelLinks)) << k;
        if (k > 1) EXPECT_EQ(f, static_cast<int>(PanelId::DeckelRechts)) << k;
    }
    EXPECT_GT(countFacePixels(s.image, PanelId::DeckelRechts), 3000);
    EXPECT_GT(countFacePixels(s.image, PanelId::DeckelLinks), 3000);
}

TEST(FoldedView, FlatNetSeenStraightShowsTheNetAsPrinted) {
    Design d = colouredFaces();
    const Shot s = view(d, 0, 0, 0.0);
    // All faces in the net's order from left to right.
    double lastX = -1;
    for (PanelId id : {PanelId::Vorne, PanelId::Rechts, PanelId::Hinten, PanelId::Links}) {
        const QPointF c = s.painter->panelCentre(id);
        EXPECT_EQ(faceAt(s.image, c), static_cast<int>(id));
        EXPECT_GT(c.x(), lastX);
        lastX = c.x();
    }
    EXPECT_GT(s.painter->panelCentre(PanelId::Boden).y(), s.painter->panelCentre(PanelId::Hinten).y());
}

// A text turned so that its top faces the editor's arrow reads upright on
// the folded box: the arrows and the folding agree.
TEST(FoldedView, TextsFacingTheArrowsReadUpright) {
    Design d;
    const double e = d.e;
    const FoldingModel mm = FoldingModel::inMillimetres(d.doc->Layout, 100);
    std::map<PanelId, int> turn;
    for (const NetLabel& l : netLabels(mm)) turn[l.id] = rotationTowards(l);
    EXPECT_EQ(turn[PanelId::Vorne], 0);
    d.letterL(0.2 * e, 1.2 * e, 0.6 * e, 0.6 * e, turn[PanelId::Vorne]);
    d.letterL(1.25 * e, 0.55 * e, 0.5 * e, 0.4 * e, turn[PanelId::DeckelRechts]);
    d.letterL(3.25 * e, 0.55 * e, 0.5 * e, 0.4 * e, turn[PanelId::DeckelLinks]);
    d.letterL(2.2 * e, 2.2 * e, 0.6 * e, 0.6 * e, turn[PanelId::Boden]);

    const Shot front = view(d, 0, 0);
    EXPECT_EQ(emptiestQuadrant(front.image, middleOf(front, PanelId::Vorne, 0.42)), 1);
    // From above, Vorne at the bottom of the picture.
    const Shot above = view(d, 0, 90);
    ASSERT_GT(above.painter->panelCentre(PanelId::Vorne).y(), above.painter->panelCentre(PanelId::Hinten).y());
    EXPECT_EQ(emptiestQuadrant(above.image, middleOf(above, PanelId::DeckelRechts, 0.45)), 1);
    EXPECT_EQ(emptiestQuadrant(above.image, middleOf(above, PanelId::DeckelLinks, 0.45)), 1);
    // From below, Hinten at the bottom of the picture.
    const Shot below = view(d, 0, -90);
    ASSERT_GT(below.painter->panelCentre(PanelId::Hinten).y(), below.painter->panelCentre(PanelId::Vorne).y());
    EXPECT_EQ(emptiestQuadrant(below.image, middleOf(below, PanelId::Boden, 0.42)), 1);
    // Turned the other way round, the letter is upside down: the test sees it.
    Design wrong;
    wrong.letterL(2.2 * e, 2.2 * e, 0.6 * e, 0.6 * e, 0);
    const Shot belowWrong = view(wrong, 0, -90);
    EXPECT_EQ(emptiestQuadrant(belowWrong.image, middleOf(belowWrong, PanelId::Boden, 0.42)), 3);
}

TEST(NetLabels, TheArtworkShowsThroughNamesAndArrows) {
    Design d;
    const FoldingModel net = FoldingModel::inPixels(d.doc->Layout, 100, 96);
    // The same labels over two colours of artwork: every pixel they touch
    // still tells the two apart.
    auto labelled = [&](QColor artwork) {
        QImage image(net.left() + 1200, net.top() + 1000, QImage::Format_RGB32);
        image.fill(artwork);
        QPainter p(&image);
        paintNetLabels(p, net);
        return image;
    };
    const QImage red = labelled(QColor(200, 0, 0)), green = labelled(QColor(0, 160, 0));
    int touched = 0, hidden = 0;
    for (int y = 0; y < red.height(); ++y)
        for (int x = 0; x < red.width(); ++x) {
            if (red.pixel(x, y) == qRgb(200, 0, 0)) continue;
            ++touched;
            if (red.pixel(x, y) == green.pixel(x, y)) ++hidden;
        }
    EXPECT_GT(touched, 2000);   // the labels are there
    EXPECT_EQ(hidden, 0);
}

TEST(FoldedView, TexturesAreMadeOnlyForAChangedDocumentOrBoxSize) {
    Design d = colouredFaces();
    FaceTextures t(128);
    EXPECT_FALSE(t.isCurrent(*d.doc, 100));
    EXPECT_TRUE(t.update(*d.doc, 100));
    EXPECT_EQ(t.renderCount(), 1);
    EXPECT_TRUE(t.update(*d.doc, 100));
    EXPECT_EQ(t.renderCount(), 1);
    d.doc->markChanged();
    EXPECT_TRUE(t.update(*d.doc, 100));
    EXPECT_EQ(t.renderCount(), 2);
    EXPECT_TRUE(t.update(*d.doc, 50));
    EXPECT_EQ(t.renderCount(), 3);
    EXPECT_TRUE(t.update(*d.doc, 100));
    // A panel's picture is its own: Vorne's is red inside and clear outside.
    const PanelTexture& v = t.texture(PanelId::Vorne);
    ASSERT_FALSE(v.image.isNull());
    const QColor mid = v.image.pixelColor(v.image.width() / 2, v.image.height() / 2);
    EXPECT_EQ(faceAt(v.image.convertToFormat(QImage::Format_RGB32), QPointF(v.image.width() / 2, v.image.height() / 2)),
              static_cast<int>(PanelId::Vorne));
    EXPECT_EQ(mid.alpha(), 255);
    const PanelTexture& flap = t.texture(PanelId::StaublascheVorne);
    // The trapezoid's upper corners lie outside it.
    EXPECT_EQ(flap.image.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(flap.image.pixelColor(flap.image.width() - 1, 0).alpha(), 0);
}
