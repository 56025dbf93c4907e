#include "box/BoxStyles.h"

#include "box/LockLidStyle.h"
#include "model/SheetLayout.h"

#include <memory>

namespace {

// A cuboid's flaps are never less than 6 mm deep.
constexpr double kMinFlapMm = 6.0;

NetDims<double> asDouble(const NetDims<int>& n) {
    return {double(n.a),  double(n.b),   double(n.h),  double(n.t),   double(n.g),   double(n.f),
            double(n.a2), double(n.a4),  double(n.a34), double(n.a5), double(n.a8),  double(n.a10),
            double(n.b2), double(n.b4),  double(n.b34), double(n.b10), double(n.d),  double(n.h10),
            double(n.lidDepth)};
}

BoxPlan styledPlan(const BoxForm& form) {
    switch (form.style) {
    case BoxStyle::Huelse: return sleevePlan(form);
    case BoxStyle::SteckGegenlaeufig: return reverseTuckPlan(form);
    case BoxStyle::SteckGleichlaeufig: return straightTuckPlan(form);
    case BoxStyle::Schnappboden: return snapLockPlan(form);
    case BoxStyle::Automatikboden: return automaticBottomPlan(form);
    case BoxStyle::Verschlussdeckel: break;
    }
    return lockLidPlan(0, 0, exactDims(form.L, form.B, form.H, true, kMinFlapMm), false);
}

}  // namespace

BoxPlan planInMillimetres(const NetSource& source, const SheetLayout& layout) {
    if (!source.form.isLockLid()) return styledPlan(source.form);
    if (source.isCuboid()) {
        const BoxForm& f = source.form;
        return lockLidPlan(0, 0, exactDims(f.L, f.B, f.H, true, kMinFlapMm), false);
    }
    // The cube edge of the box size display: the scaled item height less one
    // fifteenth for the flaps, over the three faces stacked in the net.
    double a = source.percent * layout.ItemHeight / 100;
    a = a - a / 3 / 5;
    const double e = a / 3;
    return lockLidPlan(0, 0, exactDims(e, e, e, false, 0), false);
}

BoxPlan planOnCanvas(const NetMeasure& m) {
    if (m.planned()) {
        // A pass asks for the same net for every band and measure it takes;
        // the last one made on this thread is kept (render threads each their own).
        thread_local NetMeasure lastMeasure;
        thread_local std::shared_ptr<const BoxPlan> last;
        if (!last || !(lastMeasure == m)) {
            last = std::make_shared<const BoxPlan>(planOnPixels(styledPlan(m.form), m.L, m.T, m.pixelsPerMm));
            lastMeasure = m;
        }
        return *last;
    }
    return lockLidPlan(m.L, m.T, asDouble(m.dims()), true);
}
