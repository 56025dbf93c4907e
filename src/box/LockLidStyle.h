#pragma once
// The lock-lid box ("Verschlussdeckel"): four side faces in a row with a
// glue flap, the bottom hanging from Hinten with three flaps, dust flaps
// above Vorne and Hinten and a lid of two halves whose tabs lock into each
// other. Its lines come from the point table of NetOutline.h, in pixels
// truncated as the render pass measures them or in exact millimetres.

#include "box/BoxPlan.h"
#include "box/NetOutline.h"

#include <QString>

constexpr int kPanelCount = 13;

// The plan of the lock-lid net anchored at (L, T).
BoxPlan lockLidPlan(double L, double T, const NetDims<double>& n, bool pixels);

// The lock-lid panels by their place in its plan.
enum class PanelKind { Face, LidHalf, Flap };
PanelKind panelKind(PanelId id);
// Unique name of a lock-lid panel, e.g. "Vorne", "Staublasche vorne", "Deckel rechts".
QString panelName(PanelId id);
// The face a lock-lid panel forms: "Deckel" for both lid halves, empty for flaps.
QString faceName(PanelId id);
