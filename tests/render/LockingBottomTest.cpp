// The locking bottoms folded shut here, with this test's own idea of where
// each body panel's bottom edge runs in the closed box: the bottom covers
// the inside, overlapping flaps lie at distinct depths and each glue area
// lies on its partner; and the automatic bottom folded by the model as the
// glued box squares. (The flaps' 4 mm and the closed box on the grid of
// measures are the tuck-end boxes' checks, which take these styles too.)

#include "box/FoldingModel.h"
#include "box/BoxStyles.h"
#include "box/LockingBottom.h"
#include "model/BoxForm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

struct Bottom {
    const char* name;
    std::function<std::vector<BottomFlap>(const BottomEdge&)> make;
};

struct Measures {
    double L, B, t;
};

// The body's bottom edge as the tuck-top net lays it out: Links (B) | Vorne
// | Rechts | Hinten, the panels between creases L + t and B + t.
BottomEdge edgeFor(const Measures& m) {
    BottomEdge e;
    e.y = 40;
    e.t = m.t;
    const double a = m.L + m.t, b = m.B + m.t;
    const double widths[] = {m.B, a, b, a};
    e.x[0] = 3;
    for (int i = 0; i < 4; ++i) e.x[i + 1] = e.x[i] + widths[i];
    return e;
}

// A net point of a flap in the closed bottom: X along Vorne from its Links
// end, Y from Vorne towards Hinten. Each body panel's bottom edge is one
// side of the a × b rectangle, the flap turned in square to it; a glue area
// lies flat on with its side flap.
QPointF closed(const BottomEdge& e, PanelId body, const QPointF& p) {
    const double a = e.x[2] - e.x[1], b = e.x[3] - e.x[2];
    const double along = p.x(), away = p.y() - e.y;
    if (body == e.vorne) return {along - e.x[1], away};
    if (body == e.rechts) return {a - away, along - e.x[2]};
    if (body == e.hinten) return {a - (along - e.x[3]), b - away};
    return {away, e.x[1] - along};   // Links: its Vorne end at x[1]
}

QPolygonF closedOutline(const BottomEdge& e, const std::vector<BottomFlap>& flaps, int i) {
    const BottomFlap* f = &flaps[i];
    while (f->parentFlap >= 0) f = &flaps[f->parentFlap];
    QPolygonF out;
    for (const QPointF& p : flaps[i].outline) out << closed(e, f->parent, p);
    return out;
}

std::vector<Measures> measureGrid() {
    std::vector<Measures> out;
    for (double L : {10.0, 11.5, 40.0, 95.0, 400.0})
        for (double B : {10.0, 13.0, 35.0, 95.0, 400.0})
            for (double t : {0.0, 0.3, 1.0})
                if (B <= L) out.push_back({L, B, t});
    // The snap-lock takes any proportion; the automatic bottom refuses L < B.
    out.push_back({10, 400, 0.3});
    out.push_back({30, 90, 0});
    return out;
}

}  // namespace

TEST(LockingBottom, ShutBottomCoversTheInsideInLayers) {
    const Bottom bottoms[] = {{"Schnappboden", snapLockBottom}, {"Automatikboden", automaticBottom}};
    for (const Bottom& bottom : bottoms)
        for (const Measures& m : measureGrid()) {
            if (std::string(bottom.name) == "Automatikboden" && m.L < m.B) continue;
            SCOPED_TRACE(std::string(bottom.name) + " " + std::to_string(m.L) + " x " + std::to_string(m.B) + " t " +
                         std::to_string(m.t));
            const BottomEdge e = edgeFor(m);
            const std::vector<BottomFlap> flaps = bottom.make(e);
            const double a = m.L + m.t, b = m.B + m.t;
            std::vector<QPolygonF> shut;
            for (int i = 0; i < int(flaps.size()); ++i) shut.push_back(closedOutline(e, flaps, i));

            // Sampled off any edge: the inside (half a board in from each
            // crease) is covered, and where two flaps cover a point they lie
            // at distinct depths unless one is the other's glue area.
            const int n = 60;
            const double c = m.t / 2;
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j) {
                    const QPointF p(c + (a - 2 * c) * (i + 0.5123) / n, c + (b - 2 * c) * (j + 0.4877) / n);
                    std::vector<int> over;
                    for (int k = 0; k < int(shut.size()); ++k)
                        if (shut[k].containsPoint(p, Qt::OddEvenFill)) over.push_back(k);
                    EXPECT_FALSE(over.empty()) << "gap at " << p.x() << ", " << p.y();
                    for (size_t u = 0; u < over.size(); ++u)
                        for (size_t v = u + 1; v < over.size(); ++v)
                            EXPECT_NE(flaps[over[u]].inset, flaps[over[v]].inset)
                                << flaps[over[u]].name.toStdString() << " / " << flaps[over[v]].name.toStdString()
                                << " at " << p.x() << ", " << p.y();
                }

            // A glue area lies on its partner, one layer from it.
            for (int i = 0; i < int(flaps.size()); ++i) {
                if (flaps[i].gluedTo < 0) continue;
                const BottomFlap& partner = flaps[flaps[i].gluedTo];
                EXPECT_NE(partner.inset, flaps[i].inset);
                const QRectF r = shut[i].boundingRect();
                int in = 0, all = 0;
                for (int u = 0; u < 20; ++u)
                    for (int v = 0; v < 20; ++v) {
                        const QPointF p(r.left() + r.width() * (u + 0.5) / 20, r.top() + r.height() * (v + 0.5) / 20);
                        if (!shut[i].containsPoint(p, Qt::OddEvenFill)) continue;
                        ++all;
                        in += shut[flaps[i].gluedTo].containsPoint(p, Qt::OddEvenFill);
                    }
                EXPECT_GE(in, 0.9 * all) << flaps[i].name.toStdString();
            }
        }
}

TEST(LockingBottom, AutomaticBottomSwingsShutAsTheGluedTubeSquares) {
    const double measures[][4] = {{95, 35, 65, 0.3}, {10, 10, 10, 0}, {400, 10, 40, 1}, {40, 40, 400, 0.3}};
    for (const auto& m : measures) {
        SCOPED_TRACE(std::to_string(m[0]) + " x " + std::to_string(m[1]) + " x " + std::to_string(m[2]));
        const BoxForm form = BoxForm::ofStyle(BoxStyle::Automatikboden, m[0], m[1], m[2], m[3]);
        const FoldingModel model = FoldingModel::fromPlan(automaticBottomPlan(form));
        const double t = model.paperThickness();
        auto at = [&](const std::vector<PanelPose>& poses, int i, const QPointF& p) {
            return poses[i].transform.apply(Vec3{p.x(), p.y(), 0});
        };
        auto apart = [](const Vec3& u, const Vec3& v) { return (u - v).length(); };
        int glued = 0;
        for (const FoldPanel& g : model.panels()) {
            if (g.gluedTo < 0) continue;
            ++glued;
            const int i = int(g.id), partner = g.gluedTo, flap = int(g.parent);
            SCOPED_TRACE(g.name.toStdString());
            // Flat and glued: the area lies on its partner (within the
            // layers between them), having come there about its crease.
            const std::vector<PanelPose> before = model.fold(g.gluedFrom - 1e-9), flat = model.fold(g.gluedFrom);
            for (const QPointF& p : g.outline) EXPECT_LT(apart(at(before, i, p), at(flat, i, p)), 4 * t + 1e-6);
            // The tube is flat then: every body panel within a few layers of
            // Vorne's plane.
            for (const PanelPose& pose : flat)
                if (model.panel(pose.id).isFace())
                    for (const Vec3& v : pose.corners) EXPECT_LT(std::abs(v.z), 6 * t + 1e-6) << model.panel(pose.id).name.toStdString();
            // From then on it moves with its partner, and the crease it
            // shares with its side flap stays one line while the tube squares.
            const Rigid3 onPartner = flat[partner].transform.inverse() * flat[i].transform;
            for (double f = g.gluedFrom; f <= 1.0 + 1e-12; f += 0.05) {
                const std::vector<PanelPose> poses = model.fold(f);
                const Rigid3 now = poses[partner].transform.inverse() * poses[i].transform;
                for (const QPointF& p : g.outline)
                    EXPECT_LT(apart(now.apply(Vec3{p.x(), p.y(), 0}), onPartner.apply(Vec3{p.x(), p.y(), 0})), 1e-9);
                for (const QPointF& p : {g.hinge.p1(), g.hinge.p2()})
                    EXPECT_LT(apart(at(poses, i, p), at(poses, flap, p)), 0.01 * g.hinge.length() + 4 * t + 1e-6) << f;
            }
        }
        EXPECT_EQ(glued, 2);
        // Shut, the bottom flaps lie in the bottom, inside the box's rectangle.
        const BoxPlan& plan = model.plan();
        const double bottom = plan.front.bottom();
        for (const PanelPose& pose : model.fold(1)) {
            const FoldPanel& p = model.panel(pose.id);
            if (p.role != PanelRole::Bodenlasche) continue;
            EXPECT_GT(pose.normal.y, 0.999) << p.name.toStdString();
            for (const Vec3& v : pose.corners) {
                // Its own number of boards in from the bottom edge: shut
                // exactly, not a hair open.
                EXPECT_NEAR(v.y, bottom - p.inset * t, 1e-9) << p.name.toStdString();
                EXPECT_GE(v.x, plan.front.left() - 1e-6) << p.name.toStdString();
                EXPECT_LE(v.x, plan.front.right() + 1e-6) << p.name.toStdString();
                EXPECT_GE(v.z, -1e-6) << p.name.toStdString();
                EXPECT_LE(v.z, plan.depth + 1e-6) << p.name.toStdString();
            }
        }
    }
}
