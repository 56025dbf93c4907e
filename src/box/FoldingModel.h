#pragma once
// The box net as paper to fold: the plan of its style (panels, hinges,
// folds and cuts) and the panels' places in space while the box folds from
// the flat net (f = 0) to the closed box (f = 1).
//
// One code, two geometries:
//  - inMillimetres: the exact net of the item, origin at the item's top-left
//    corner, edge = the cube edge of the box size display (a cuboid: its
//    measures), every fraction exact (e/7 is e / 7.0). For vector output
//    and the 3D view.
//  - inPixels: the net exactly as the render pass measures it on a printed
//    item at a resolution (same anchor pixel, same truncating divisions), so
//    lines made from it lie on the printed dotted lines pixel for pixel.
//    fromMeasure does the same for any canvas (the editor).
//
// Net coordinates: x to the right, y downwards, as on paper. In space the
// flat net lies in the plane z = 0 at its net coordinates with the printed
// side towards -z (a viewer looking along +z sees the print); folding turns
// every panel towards +z, so Vorne stays where it is in the net and the
// closed box stands on Vorne's rectangle, the plan's depth deep.

#include "box/BoxNet.h"
#include "box/BoxPlan.h"
#include "box/LockLidStyle.h"
#include "box/NetSource.h"
#include "box/Space3D.h"

#include <QLineF>
#include <QPointF>
#include <QPolygonF>
#include <QString>
#include <vector>

struct SheetLayout;

using FoldPanel = PlanPanel;

// A panel's place in space at a folding state.
struct PanelPose {
    PanelId id = PanelId::Vorne;
    // The part of the outline that shows (the lid halves' tabs slide out of
    // sight as the lid closes), in net coordinates.
    QPolygonF netPolygon;
    // The same corners in space.
    std::vector<Vec3> corners;
    // Net coordinates (x, y, 0) -> space.
    Rigid3 transform;
    // Unit normal of the printed side; outwards on the closed box.
    Vec3 normal;
};

class FoldingModel {
public:
    // Exact millimetres of the item in layout, for a net source.
    static FoldingModel inMillimetres(const SheetLayout& layout, const NetSource& source);
    // The cube at percent (10..100).
    static FoldingModel inMillimetres(const SheetLayout& layout, int percent) {
        return inMillimetres(layout, NetSource::cube(percent));
    }
    // Pixels of the printed item at dpi, as the render pass measures the net.
    static FoldingModel inPixels(const SheetLayout& layout, const NetSource& source, int dpi);
    static FoldingModel inPixels(const SheetLayout& layout, int percent, int dpi) {
        return inPixels(layout, NetSource::cube(percent), dpi);
    }
    // Pixels of a net measured on any canvas (editor: measureNet of its box area).
    static FoldingModel fromMeasure(const NetMeasure& m);
    // A plan made elsewhere (finished).
    static FoldingModel fromPlan(BoxPlan plan) { return FoldingModel(std::move(plan)); }

    // Net anchor (L, T) in this geometry's unit.
    double left() const { return m_plan.origin.x(); }
    double top() const { return m_plan.origin.y(); }
    // The measures between the creases: a (Vorne's width), b (Rechts's
    // width), h (height); the cube's edge is all three.
    double lengthA() const { return m_plan.a; }
    double widthB() const { return m_plan.b; }
    double heightH() const { return m_plan.h; }
    // The cube's edge; for a cuboid its length a.
    double edge() const { return m_plan.a; }
    // The smallest of the three measures and the largest.
    double smallestMeasure() const { return m_plan.smallestMeasure(); }
    double largestMeasure() const { return m_plan.largestMeasure(); }
    // Vorne's top below the anchor.
    double rowTop() const { return m_plan.front.top() - m_plan.origin.y(); }
    // The room the net takes from its anchor.
    double netWidth() const { return m_plan.size.width(); }
    double netHeight() const { return m_plan.size.height(); }
    bool isPixelGeometry() const { return m_plan.pixels; }
    // One thickness: the board's, or for thin paper the smallest measure / 200.
    double paperThickness() const { return m_plan.board > 0 ? m_plan.board : smallestMeasure() / 200.0; }

    const BoxPlan& plan() const { return m_plan; }
    // All panels, indexed by PanelId (their place in the plan).
    const std::vector<FoldPanel>& panels() const { return m_plan.panels; }
    const FoldPanel& panel(PanelId id) const { return m_plan.panel(id); }
    int panelCount() const { return static_cast<int>(m_plan.panels.size()); }

    // The net's lines split at every panel corner, zero-length pieces
    // dropped, in the order of the net's lines.
    const std::vector<NetSegment>& segments() const { return m_plan.segments; }
    std::vector<NetSegment> folds() const;
    std::vector<NetSegment> cuts() const;
    // The cut edges joined into one closed polygon (last corner joins the
    // first; no point repeated), starting at the plan's outline start (the
    // lock-lid box: Vorne's top-left corner, running down its left edge
    // first). For edges of at least 10 units this is a simple polygon;
    // tinier nets may touch themselves.
    QPolygonF cutOutline() const { return m_plan.outline; }
    const std::vector<QLineF>& slits() const { return m_plan.slits; }

    // Every panel's place at folding state f (clamped to 0..1), indexed by
    // PanelId.
    std::vector<PanelPose> fold(double f) const;
    // How far the hinge of a panel has turned at f: 0 flat, 1 folded. The
    // panel that stays put is always 0.
    double hingeProgress(PanelId id, double f) const;

    // Centre of the closed box in space.
    Vec3 boxCentre() const {
        const QPointF c = m_plan.front.center();
        return {c.x(), c.y(), m_plan.depth / 2};
    }
    Vec3 cubeCentre() const { return boxCentre(); }

private:
    explicit FoldingModel(BoxPlan plan) : m_plan(std::move(plan)) {}

    // Each panel's map from the net into space, hinge by hinge from the
    // panel that stays put (glue areas about their own hinge).
    std::vector<Rigid3> hingeTransforms(double f) const;

    BoxPlan m_plan;
};
