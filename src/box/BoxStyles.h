#pragma once
// From a net source to its plan: the one place besides the file, the
// Boxform dialog and the command line that tells the styles apart.

#include "box/BoxNet.h"
#include "box/BoxPlan.h"
#include "box/NetSource.h"

struct SheetLayout;

// The plan in exact millimetres of the item, origin at its top-left corner.
BoxPlan planInMillimetres(const NetSource& source, const SheetLayout& layout);
// The plan on a canvas as the render pass measures it: the lock-lid box from
// its truncated pixel table, every other style from its millimetres.
BoxPlan planOnCanvas(const NetMeasure& m);

// The styles other than the lock-lid box, in millimetres with the origin at
// the net's top-left corner.
BoxPlan sleevePlan(const BoxForm& form);
BoxPlan reverseTuckPlan(const BoxForm& form);
BoxPlan straightTuckPlan(const BoxForm& form);
BoxPlan snapLockPlan(const BoxForm& form);
BoxPlan automaticBottomPlan(const BoxForm& form);
// The sleeve's glue flap: min(15 mm, B - 2 mm).
double sleeveGlueFlapMm(double B);
