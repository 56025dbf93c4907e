#pragma once
// Where a dragged object may come to rest: the lines of the box net, the
// faces' centre lines and the other objects' edges and centres, all in exact
// document units from the millimetre net, so that an edge resting on a fold
// on screen also lies on the printed fold. The search picks, in one
// direction, the nearest pair of an object line and a target line.

#include "box/NetSource.h"

#include <optional>
#include <vector>

struct BoxDocument;

struct SnapTargets {
    std::vector<double> xs;   // vertical lines, ascending, each once
    std::vector<double> ys;   // horizontal lines, ascending, each once
};

// Targets for dragging the object in movingSlot (left out of its own targets).
// Slanted net segments give no target: they would hold an edge at one point only.
SnapTargets snapTargetsFor(const BoxDocument& doc, const NetSource& source, int movingSlot);
// The same for several objects moved together: none of them is a target.
SnapTargets snapTargetsFor(const BoxDocument& doc, const NetSource& source, const std::vector<int>& movingSlots);

// One line of the dragged object in one direction.
struct SnapFeature {
    double at = 0;          // document units
    bool centre = false;    // a centre line rather than an edge
};

struct SnapChoice {
    int feature = -1;       // index into the features
    double target = 0;      // the target line it rests on
};

// The nearest feature/target pair no farther apart than reach (document
// units). Ties go to an edge before a centre, then to the smaller target.
std::optional<SnapChoice> nearestSnap(const std::vector<double>& targets, const std::vector<SnapFeature>& features,
                                      double reach);
