#pragma once
// The parts the tuck-end styles are made of: the body Links | Vorne | Rechts
// | Hinten | Klebelasche (as the sleeve's, with the board's thickness), a
// closure on a panel's top or bottom edge (the lid with its tuck and the
// slit locks on the tuck's crease), the dust flaps beside it and the finger
// notch in Vorne's top edge. A style adds its panels to a TuckNet and lets
// it draw the lines: the outline is walked from the panels' free edges, the
// folds are their shared ones.
//
// The measures are folding-carton practice, bounded by the box: a flap
// shrinks, never the box, and for measures of 10 to 400 mm none drops
// under 4 mm.

#include "box/BoxPlan.h"
#include "model/BoxForm.h"

struct TuckMeasures {
    double t = 0;                // the board
    double a = 0, b = 0, h = 0;  // between the creases: L + t, B + t, H + t
    double links = 0;            // Links ends at the glue flap: B
    double glue = 0;             // Klebelasche, as the sleeve's
    double tuck = 0;             // Einstecklasche depth T
    double tuckInset = 0;        // its sides in from the lid's: t + 0.5 mm
    double tuckRadius = 0;       // its rounded corners
    double slit = 0;             // each slit lock at an end of its crease
    double dust = 0;             // Staublasche height
    double dustStraight = 0;     // how far its edge towards the tuck runs square to its hinge
    double notch = 0;            // the Griffmulde's radius; 0 without
};

// tucksBehindOnePanel: 2 where both tucks slide in behind the same panel
// (each may then take at most half of it).
TuckMeasures tuckMeasures(const BoxForm& form, int tucksBehindOnePanel);

enum class BoxEnd { Top, Bottom };

// When a hinge turns within the folding motion (0..1).
struct FoldWindow {
    double from = 0, to = 1;
};

class TuckNet {
public:
    // The body's top edge lies one closure (lid and tuck) below the net's top.
    explicit TuckNet(const TuckMeasures& m);

    const TuckMeasures& measures() const { return m_m; }
    // The creases across the body: 0 Links's free edge, 1 Links|Vorne,
    // 2 Vorne|Rechts, 3 Rechts|Hinten, 4 Hinten|Klebelasche, 5 the glue flap's end.
    double x(int crease) const { return m_x[crease]; }
    double top() const { return m_top; }
    double bottom() const { return m_top + m_m.h; }
    double edge(BoxEnd end) const { return end == BoxEnd::Top ? top() : bottom(); }

    // Vorne (which stays put), Rechts, Hinten, Links and the Klebelasche,
    // each hinge turning in its window: the glue flap first, then the tube
    // round, Links last over the glue flap; the Griffmulde in Vorne's top
    // edge when the measures have one.
    void addBody(FoldWindow glue, FoldWindow tube, FoldWindow links);
    // The lid ("Deckel" or "Boden") on the given end of on (Vorne or
    // Hinten) with its Einstecklasche, which tucks in behind the panel
    // opposite; the slit locks cut the ends of the tuck's crease. The tuck
    // is bent over in its window, before the lid's, and then hangs plumb
    // while the lid swings shut, so that it slides in. Returns the lid.
    PanelId addClosure(BoxEnd end, PanelId on, FoldWindow lid, FoldWindow tuck);
    // The Staublaschen on that end of Rechts and Links, for a lid on lidOn:
    // square to their hinge 1 mm in from the lid's panel, tapered towards
    // the panel the tuck enters behind.
    void addDustFlaps(BoxEnd end, PanelId lidOn, FoldWindow w);
    // A panel of a style's own; parents before children.
    PanelId add(const QString& name, PanelRole role, PanelId parent, const QPolygonF& outline, const QLineF& hinge,
                FoldWindow w, int inset);
    // Bends the piece a→b of a panel's outline into a circular arc of the
    // given sweep, bulging towards the side of the chord where `towards` lies.
    void addArc(const QPointF& a, const QPointF& b, double sweepDegrees, const QPointF& towards);
    void addSlit(const QLineF& slit) { m_plan.slits.push_back(slit); }
    // Labels a face with its arrow towards `up` (net coordinates) and the
    // quarter turns that read upright.
    void setFaceUp(PanelId id, QPointF up);

    // The plan: its lines drawn from the panels, measured and finished.
    BoxPlan finish();

    static constexpr PanelId kVorne = PanelId(0);
    static constexpr PanelId kRechts = PanelId(1);
    static constexpr PanelId kHinten = PanelId(2);
    static constexpr PanelId kLinks = PanelId(3);
    static constexpr PanelId kKlebelasche = PanelId(4);

private:
    TuckMeasures m_m;
    double m_x[6] = {};
    double m_top = 0;
    BoxPlan m_plan;
};
