#pragma once
// The box net as data: a style turns its measures into one plan of panels,
// hinges, cuts and folds, and everything that draws, folds, fits, cuts or
// snaps the net reads that plan instead of knowing the style. A new style is
// one function that fills a plan (see LockLidStyle.cpp, SleeveStyle.cpp).
//
// Net coordinates: x to the right, y downwards, as on paper, in the plan's
// unit (millimetres of the item, or pixels of a canvas).

#include <QLineF>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <memory>
#include <vector>

// A panel's place in its plan; parents come before their children. The
// named values are the lock-lid style's panels, which its code and tests
// address by name; other styles number theirs from 0 the same way.
enum class PanelId : int {
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

// What a panel becomes: one of the six faces, or a flap that ends inside.
enum class PanelRole {
    Vorne,
    Hinten,
    Rechts,
    Links,
    Deckel,
    Boden,
    Klebelasche,
    Staublasche,
    Einstecklasche,
    Bodenlasche,
};

bool isFaceRole(PanelRole role);
// "Vorne", …, "Klebelasche", "Staublasche", "Einstecklasche", "Bodenlasche".
QString roleName(PanelRole role);

struct PlanPanel {
    PanelId id = PanelId::Vorne;
    // Unique within the plan, e.g. "Vorne", "Staublasche vorne", "Deckel rechts".
    QString name;
    PanelRole role = PanelRole::Vorne;
    // Corners without repeated points; the polygon closes from the last to the first.
    QPolygonF outline;
    // The panel the hinge joins it to; the one that stays put is its own parent.
    PanelId parent = PanelId::Vorne;
    // The fold shared with the parent (null line for the one that stays put).
    QLineF hinge;
    // How far the hinge turns once closed, in radians (a quarter turn for a box's edge).
    double angle = 1.5707963267948966;
    // The part of the folding motion (0..1) in which the hinge turns.
    double from = 0, to = 1;
    // Turned on by what its parent's hinge has still to turn, so that once
    // its own turn is done it keeps its direction while the parent swings
    // shut: a tuck bent over before its lid closes hangs plumb and slides in
    // behind its panel instead of sweeping through it.
    bool followsParent = false;
    // A hinge that turns more than once (up and back down, as a flap that
    // lies folded up in the flat glued box): its angle in radians (y) at
    // moments of the motion (x), in order; it turns evenly between two and
    // the hinge counts as shut from the last on. Empty: 0 until from, angle
    // from to on.
    std::vector<QPointF> turns;
    // A glue area: the panel it is glued onto (an index; -1 for none) and
    // the moment from which the two move as one piece, the area where it
    // lies on the closed box; before that it turns about its own hinge.
    int gluedTo = -1;
    double gluedFrom = 1;
    // A flap that is part of the closed box's outside (a bottom made of
    // flaps only); other flaps end inside and are hidden once it is shut.
    bool outside = false;
    // How many board thicknesses further in the panel lies once closed, so
    // that no two overlapping panels share a plane.
    int inset = 0;
    // Once closed only the part within this distance of the hinge shows (a
    // lid half's tab slides under the other half); 0 keeps all of it.
    double closedReach = 0;
    // Faces: the part that forms the face (without tabs), the quarter turns
    // that read upright on the folded box, and the editor's label: where the
    // name stands and the arrow to the edge that is on top.
    QRectF face;
    int upright = 0;
    QPointF labelCentre;
    QLineF labelArrow;

    bool isFace() const { return isFaceRole(role); }
    // The name of the box face it forms ("Deckel" for both lid halves); empty for flaps.
    QString faceName() const { return isFace() ? roleName(role) : QString(); }
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
    int netLine = 0;                       // 1-based, the net line it comes from
};

// A circular arc between two corners of a line or a panel polygon: the
// piece from a to b (either way round) bends with bulge = tan(sweep / 4),
// positive turning left of a→b in net coordinates (y down: clockwise on
// screen), as a DXF polyline's bulge.
struct PlanArc {
    QPointF a;
    QPointF b;
    double bulge = 0;
};

// The corners between a and b (both excluded) of the arc's polyline, no
// point farther than flatness from the arc.
std::vector<QPointF> arcPoints(const QPointF& a, const QPointF& b, double bulge, double flatness);

struct BoxPlan {
    std::vector<PlanPanel> panels;
    // The lines to draw, in drawing order, each an open polyline.
    std::vector<std::vector<QPointF>> lines;
    // Open cuts inside the outline (they may start on it).
    std::vector<QLineF> slits;
    // Pieces of the lines and panel polygons that are arcs; finish() turns
    // them into polylines within flatness(), so everything downstream sees
    // straight pieces only.
    std::vector<PlanArc> arcs;
    // The net's anchor corner and the room it takes from there.
    QPointF origin;
    QSizeF size;
    // The box: Vorne's rectangle in the flat net and the depth behind it
    // once closed; a, b, h the measures between the creases.
    QRectF front;
    double depth = 0;
    double a = 0, b = 0, h = 0;
    // The board's thickness in the plan's unit (0: thin paper).
    double board = 0;
    // Where the cut outline starts; it first runs along the cut that leaves it.
    QPointF outlineStart;
    bool pixels = false;
    // Shut on every side once folded (a sleeve is open at both ends).
    bool enclosed = true;

    // Derived by finish():
    // The lines split at every panel corner, zero-length pieces dropped.
    std::vector<NetSegment> segments;
    // The cut edges joined into one closed polygon (last corner joins the first).
    QPolygonF outline;
    // Every hinge, as pieces.
    std::vector<QLineF> folds;

    const PlanPanel& panel(PanelId id) const { return panels[static_cast<int>(id)]; }
    double smallestMeasure() const;
    double largestMeasure() const;
    double tolerance() const;
    // How far a flattened arc may stray: half a pixel, or 0.01 mm.
    double flatness() const { return pixels ? 0.5 : 0.01; }
    // Flattens the arcs, splits the lines into folds and cuts (a fold ends
    // where a slit runs along it) and joins the outline.
    void finish();
    // The plan as its style made it, arcs unflattened, when it had any:
    // another canvas flattens them again for its own pixels.
    std::shared_ptr<const BoxPlan> withArcs;
};

// A plan in millimetres placed on a pixel canvas: each point's offset from
// the anchor becomes Trunc(offset × pixelsPerMm), from the anchor (left, top);
// arcs become polylines within half a pixel before the points are truncated.
BoxPlan planOnPixels(const BoxPlan& mm, int left, int top, double pixelsPerMm);

// The label of a plain rectangular face with its arrow towards `up`.
void labelFace(PlanPanel& p, QPointF up);
