#pragma once
// The box net as paper to fold: its panels (faces, flaps, lid halves), the
// hinges between them, every net line split into folds and cuts, and the
// panels' places in space while the box folds from the flat net (f = 0) to
// the closed box (f = 1): the cube, or the cuboid of the document's form.
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
// closed box fills [L, L+a] x [T+t, T+t+h] x [0, b] (the cube: t = a = b =
// h = e).

#include "box/BoxNet.h"
#include "box/NetOutline.h"
#include "box/NetSource.h"
#include "box/Space3D.h"

#include <QLineF>
#include <QPointF>
#include <QPolygonF>
#include <QString>
#include <vector>

struct SheetLayout;

// The panels. The first four are the net's side faces 1..4 from the left.
enum class PanelId {
    Vorne,               // side face 1
    Rechts,              // side face 2
    Hinten,              // side face 3
    Links,               // side face 4
    Boden,               // bottom face, hangs from Hinten
    Klebelasche,         // glue flap right of Links, glued inside Vorne
    BodenlascheLinks,    // flap right of the bottom face, ends inside Links
    BodenlascheRechts,   // flap left of the bottom face, ends inside Rechts
    BodenlascheVorne,    // flap below the bottom face, ends inside Vorne
    StaublascheVorne,    // trapezoid dust flap above Vorne, folds in under the lid
    StaublascheHinten,   // trapezoid dust flap above Hinten
    DeckelRechts,        // lid half with lock tab above Rechts
    DeckelLinks,         // lid half with lock tab above Links
};
constexpr int kPanelCount = 13;

enum class PanelKind { Face, LidHalf, Flap };

PanelKind panelKind(PanelId id);
// Unique name of a panel, e.g. "Vorne", "Staublasche vorne", "Deckel rechts".
QString panelName(PanelId id);
// The name of the cube face a panel forms, as shown to the user: "Vorne",
// "Rechts", "Hinten", "Links", "Boden", "Deckel" for both lid halves; empty
// for flaps.
QString faceName(PanelId id);

struct FoldPanel {
    PanelId id = PanelId::Vorne;
    // The panel the hinge attaches it to; Vorne, the one that stays put, is
    // its own parent.
    PanelId parent = PanelId::Vorne;
    // Corners in net coordinates, in the order of the net's lines, without
    // repeated points; the polygon closes from the last corner to the first.
    QPolygonF outline;
    // The fold shared with the parent (null line for Vorne).
    QLineF hinge;
    // How many paper thicknesses further in the panel lies once folded, so
    // no two overlapping panels share a plane.
    int inset = 0;
};

enum class SegmentKind { Fold, Cut };

// One straight piece of a net line between two panel corners. A fold is an
// edge of two panels, a cut an edge of one.
struct NetSegment {
    QPointF a;
    QPointF b;
    SegmentKind kind = SegmentKind::Cut;
    PanelId panel = PanelId::Vorne;        // the panel it bounds (the first for a fold)
    PanelId otherPanel = PanelId::Vorne;   // folds: the second panel; cuts: same as panel
    int netLine = 0;                       // 1..16, the net line it comes from
};

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

    // Net anchor (L, T) in this geometry's unit.
    double left() const { return m_L; }
    double top() const { return m_T; }
    // The measures: a (Vorne's width), b (Rechts's width), h (height); the
    // cube's edge is all three.
    double lengthA() const { return m_n.a; }
    double widthB() const { return m_n.b; }
    double heightH() const { return m_n.h; }
    // The cube's edge; for a cuboid its length a.
    double edge() const { return m_n.a; }
    // The smallest of the three measures and the largest.
    double smallestMeasure() const;
    double largestMeasure() const;
    // The row top: the side faces span [top() + rowTop(), ... + h].
    double rowTop() const { return m_n.t; }
    const NetDims<double>& dims() const { return m_n; }
    // The room the net takes: 2a + 2b + g across, t + h + b + f down.
    double netWidth() const { return 2 * m_n.a + 2 * m_n.b + m_n.g; }
    double netHeight() const { return m_n.t + m_n.h + m_n.b + m_n.f; }
    bool isPixelGeometry() const { return m_pixels; }
    // One paper thickness: the smallest measure / 200.
    double paperThickness() const { return smallestMeasure() / 200.0; }

    // All 13 panels, indexed by PanelId.
    const std::vector<FoldPanel>& panels() const { return m_panels; }
    const FoldPanel& panel(PanelId id) const { return m_panels[static_cast<int>(id)]; }

    // The net's lines split at every panel corner, zero-length pieces
    // dropped, in the order of the net's lines.
    const std::vector<NetSegment>& segments() const { return m_segments; }
    std::vector<NetSegment> folds() const;
    std::vector<NetSegment> cuts() const;
    // The cut edges joined into one closed polygon (last corner joins the
    // first; no point repeated), starting at Vorne's top-left corner and
    // running down its left edge first. For edges of at least 10 units this
    // is a simple polygon; tinier nets may touch themselves.
    QPolygonF cutOutline() const;

    // Every panel's place at folding state f (clamped to 0..1), indexed by
    // PanelId.
    std::vector<PanelPose> fold(double f) const;
    // How far the hinge of a panel has turned at f: 0 flat, 1 folded (a
    // quarter turn). Vorne is always 0.
    static double hingeProgress(PanelId id, double f);

    // Centre of the closed box in space.
    Vec3 boxCentre() const { return {m_L + m_n.a / 2, m_T + m_n.t + m_n.h / 2, m_n.b / 2}; }
    Vec3 cubeCentre() const { return boxCentre(); }

private:
    FoldingModel(double L, double T, const NetDims<double>& n, bool pixels);
    void buildPanels();
    void buildSegments();
    double tolerance() const { return 1e-9 * std::max(1.0, largestMeasure()); }

    double m_L = 0;
    double m_T = 0;
    NetDims<double> m_n{};
    bool m_pixels = false;
    std::vector<FoldPanel> m_panels;
    std::vector<NetSegment> m_segments;
    std::vector<std::vector<QPointF>> m_netLines;
};
