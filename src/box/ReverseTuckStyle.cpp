// The reverse tuck-end box ("Steckschachtel gegenläufig"): the sleeve's body
// with the lid on Hinten, its tuck in behind Vorne, and the bottom on
// Vorne, its tuck in behind Hinten; dust flaps on both ends of Rechts and
// Links. Folded by hand: the glue flap, the tube, then the bottom (dust
// flaps, the tuck bent over, the Boden shut with the tuck sliding in) and
// the top likewise.

#include "box/BoxStyles.h"
#include "box/TuckParts.h"

BoxPlan reverseTuckPlan(const BoxForm& form) {
    TuckNet net(tuckMeasures(form, 1));
    net.addBody({0.00, 0.12}, {0.08, 0.36}, {0.30, 0.46});
    net.addDustFlaps(BoxEnd::Bottom, TuckNet::kVorne, {0.44, 0.54});
    net.addClosure(BoxEnd::Bottom, TuckNet::kVorne, {0.60, 0.72}, {0.52, 0.60});
    net.addDustFlaps(BoxEnd::Top, TuckNet::kHinten, {0.72, 0.80});
    net.addClosure(BoxEnd::Top, TuckNet::kHinten, {0.86, 1.00}, {0.78, 0.86});
    return net.finish();
}
