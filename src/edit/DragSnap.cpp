#include "edit/DragSnap.h"

#include "box/FaceGeometry.h"

namespace {

// One direction: pos/size of the rectangle, which of its ends move.
std::optional<std::int32_t> snapAxis(const std::vector<double>& targets, long long& pos, long long& size, bool low,
                                     bool high, bool centre, double reach) {
    std::vector<SnapFeature> features;
    enum Which { Low, High, Centre };
    std::vector<Which> which;
    if (low) {
        features.push_back({static_cast<double>(pos), false});
        which.push_back(Low);
    }
    if (high) {
        features.push_back({static_cast<double>(pos + size), false});
        which.push_back(High);
    }
    if (centre) {
        features.push_back({pos + size / 2.0, true});
        which.push_back(Centre);
    }
    if (features.empty()) return std::nullopt;
    const std::optional<SnapChoice> c = nearestSnap(targets, features, reach);
    if (!c) return std::nullopt;
    const long long at = unitsOf(c->target);
    const bool moving = low && high;   // both ends move: the size stays
    switch (which[c->feature]) {
    case Low:
        if (!moving) {
            const long long end = pos + size;
            if (end - at < 0) return std::nullopt;
            size = end - at;
        }
        pos = at;
        break;
    case High:
        if (moving) {
            pos = at - size;
        } else {
            if (at - pos < 0) return std::nullopt;
            size = at - pos;
        }
        break;
    case Centre:
        pos = unitsOf(c->target - size / 2.0);
        break;
    }
    return static_cast<std::int32_t>(at);
}

}  // namespace

void DragSnap::begin(const BoxDocument& doc, const NetSource& source, const std::vector<int>& movingSlots) {
    m_targets = snapTargetsFor(doc, source, movingSlots);
}

SnapLines DragSnap::apply(long long& left, long long& top, long long& width, long long& height, const DragEdges& edges,
                          double reach) const {
    SnapLines lines;
    if (!m_targets) return lines;
    lines.x = snapAxis(m_targets->xs, left, width, edges.left, edges.right, edges.centres, reach);
    lines.y = snapAxis(m_targets->ys, top, height, edges.top, edges.bottom, edges.centres, reach);
    return lines;
}
