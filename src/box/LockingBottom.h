#pragma once
// Bottoms that lock without a tuck, for the tuck-top body: four flaps on the
// body's bottom edge and no bottom panel. The snap-lock bottom is folded by
// hand, side flaps first, then Vorne's, then Hinten's tongue into Vorne's
// notch. The automatic bottom is glued in the flat box: each side flap
// carries a glue area beyond a 45° crease, glued onto the neighbouring main
// flap, and squaring the tube swings the bottom shut.
//
// A bottom only knows the body's bottom edge: the creases' x and the edge's
// y in the net. It returns its flaps for the style to add to its plan.

#include "box/BoxPlan.h"
#include "box/TuckParts.h"

#include <functional>

#include <vector>

// The body's bottom edge in the net. x[0] is Links's free edge (where the
// glue flap lies inside it), x[1] Links|Vorne, x[2] Vorne|Rechts, x[3]
// Rechts|Hinten, x[4] Hinten|Klebelasche.
struct BottomEdge {
    double y = 0;
    double x[5] = {};
    double t = 0;   // the board
    PanelId vorne = PanelId(0), rechts = PanelId(1), hinten = PanelId(2), links = PanelId(3);
    PanelId klebelasche = PanelId(4);
};

struct BottomFlap {
    QString name;
    PanelRole role = PanelRole::Bodenlasche;
    // A body panel, or (parentFlap >= 0) an earlier flap of the same bottom.
    PanelId parent = PanelId(0);
    int parentFlap = -1;
    QPolygonF outline;
    QLineF hinge;
    // How far its hinge turns once closed: a quarter turn on the body, none
    // for a glue area whose crease lies flat in the closed bottom.
    double angle = 1.5707963267948966;
    int inset = 0;
    // A glue area: the flap (index in the bottom) it is glued onto.
    int gluedTo = -1;
};

// "Schnappboden": Vorne's and Hinten's flaps B/2 + 5 mm deep (less on a
// narrow box), Hinten's tongue L/2 wide into Vorne's notch; the side flaps
// min(B/2 + 5, L/2 − 1) deep with a hook step that Hinten's flap holds.
// Order: Bodenlasche rechts, links, vorne, hinten.
std::vector<BottomFlap> snapLockBottom(const BottomEdge& e);
// How much the main flaps of the snap-lock overlap past the middle: 5 mm,
// less where B/2 − 5 would leave a flap under 4 mm.
double snapLockReach(double b);

// "Automatikboden" (needs L ≥ B): Bodenlasche vorne and hinten with their
// hook steps, Bodenlasche rechts and links each with its glue area
// ("Klebefläche rechts/links") beyond a 45° crease.
// Order: Bodenlasche vorne, hinten, rechts, Klebefläche rechts, Bodenlasche
// links, Klebefläche links.
std::vector<BottomFlap> automaticBottom(const BottomEdge& e);

// The automatic bottom's motion while the glued tube squares: with the angle
// between the two panels at a glue corner opened to beta (0 flat, π/2
// square), how far every bottom flap has turned about its hinge (π: folded
// up flat inside the tube, π/2: shut).
double squaringFlapTurn(double beta);

// The automatic bottom's box folds as it is made and used: the bottom flaps
// turn up into the tube and the glue areas back onto their partners' place,
// the tube is laid flat along its glue corners and glued, then squared,
// which swings the bottom shut; then everything else closes (its turns
// moved into what is left of the motion). first: the index of the bottom's
// first flap in the plan, in the order automaticBottom returns them.
void foldAsGlued(BoxPlan& plan, const BottomEdge& e, int first);


// Both styles build on the tuck-end body: the bottom edge of its net, the
// flaps added as its panels in order with their windows (the index of the
// first), the bottom marked as part of the closed box's outside, and a
// change of the finished plan's motion made on its copy with arcs too.
BottomEdge bottomEdgeOf(const TuckNet& net);
int addBottom(TuckNet& net, const std::vector<BottomFlap>& flaps, const std::vector<FoldWindow>& windows = {});
void markBottom(BoxPlan& plan, int first, int count);
void editMotion(BoxPlan& plan, const std::function<void(BoxPlan&)>& edit);
