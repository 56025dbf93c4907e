// The straight tuck-end box ("Steckschachtel gleichläufig"): the sleeve's
// body with lid and bottom both on Hinten, both tucks in behind Vorne (so
// each may take at most half of it); dust flaps on both ends of Rechts and
// Links. Folded by hand as the reverse one: bottom first, then the top.

#include "box/BoxStyles.h"
#include "box/TuckParts.h"

BoxPlan straightTuckPlan(const BoxForm& form) {
    TuckNet net(tuckMeasures(form, 2));
    net.addBody({0.00, 0.12}, {0.08, 0.36}, {0.30, 0.46});
    net.addDustFlaps(BoxEnd::Bottom, TuckNet::kHinten, {0.44, 0.54});
    net.addClosure(BoxEnd::Bottom, TuckNet::kHinten, {0.60, 0.72}, {0.52, 0.60});
    net.addDustFlaps(BoxEnd::Top, TuckNet::kHinten, {0.72, 0.80});
    net.addClosure(BoxEnd::Top, TuckNet::kHinten, {0.86, 1.00}, {0.78, 0.86});
    return net.finish();
}
