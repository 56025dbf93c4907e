#include "box/SnapTargets.h"

#include "box/FaceGeometry.h"
#include "box/FoldingModel.h"
#include "model/BoxDocument.h"

#include <algorithm>
#include <cmath>

namespace {

void sortUnique(std::vector<double>& v) {
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
}

}  // namespace

SnapTargets snapTargetsFor(const BoxDocument& doc, const NetSource& source, int movingSlot) {
    return snapTargetsFor(doc, source, std::vector<int>{movingSlot});
}

SnapTargets snapTargetsFor(const BoxDocument& doc, const NetSource& source, const std::vector<int>& movingSlots) {
    std::vector<char> moving(ObjectTable::Capacity + 1, 0);
    for (int slot : movingSlots)
        if (ObjectTable::isValidSlot(slot)) moving[slot] = 1;
    SnapTargets t;
    const FoldingModel model = FoldingModel::inMillimetres(doc.Layout, source);
    const NetToUnits units = netToUnits(doc);
    const double tol = 1e-6 * std::max(1.0, model.largestMeasure());
    for (const NetSegment& s : model.segments()) {
        const bool vertical = std::abs(s.a.x() - s.b.x()) <= tol;
        const bool horizontal = std::abs(s.a.y() - s.b.y()) <= tol;
        if (vertical == horizontal) continue;   // slanted, or a point
        if (vertical)
            t.xs.push_back(units.x((s.a.x() + s.b.x()) / 2));
        else
            t.ys.push_back(units.y((s.a.y() + s.b.y()) / 2));
    }
    for (const FaceRect& f : faceRects(doc, source)) {
        t.xs.push_back((f.left + f.right) / 2);
        t.ys.push_back((f.top + f.bottom) / 2);
    }
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        if (moving[slot]) continue;
        const Tobs& o = doc.Objects[slot];
        if (o.Kind <= 0) continue;
        const double l = o.Left, tp = o.Top, w = o.Width, h = o.Height;
        t.xs.insert(t.xs.end(), {l, l + w, l + w / 2});
        t.ys.insert(t.ys.end(), {tp, tp + h, tp + h / 2});
    }
    sortUnique(t.xs);
    sortUnique(t.ys);
    return t;
}

std::optional<SnapChoice> nearestSnap(const std::vector<double>& targets, const std::vector<SnapFeature>& features,
                                      double reach) {
    std::optional<SnapChoice> best;
    double bestDistance = 0;
    bool bestCentre = false;
    for (int i = 0; i < static_cast<int>(features.size()); ++i) {
        const SnapFeature& f = features[i];
        // Only the targets within reach; they are sorted.
        auto it = std::lower_bound(targets.begin(), targets.end(), f.at - reach);
        for (; it != targets.end() && *it <= f.at + reach; ++it) {
            const double d = std::abs(*it - f.at);
            bool better = !best || d < bestDistance;
            if (best && d == bestDistance) {
                if (bestCentre != f.centre)
                    better = !f.centre;
                else
                    better = *it < best->target;
            }
            if (!better) continue;
            best = SnapChoice{i, *it};
            bestDistance = d;
            bestCentre = f.centre;
        }
    }
    return best;
}
