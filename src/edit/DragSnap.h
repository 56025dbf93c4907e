#pragma once
// Snapping during one drag of the current object: the targets are gathered
// once when the drag starts (nothing else moves meanwhile), and every step
// of the drag pulls the edges it moves onto the nearest target in reach.

#include "box/SnapTargets.h"

#include <cstdint>
#include <optional>
#include <vector>

// Which lines of the rectangle a drag moves: a move all four edges and the
// centre lines, a handle only its own edges.
struct DragEdges {
    bool left = false, right = false, top = false, bottom = false;
    bool centres = false;
    static DragEdges move() { return {true, true, true, true, true}; }
};

// The target lines in force after a step, as stored document values.
struct SnapLines {
    std::optional<std::int32_t> x;
    std::optional<std::int32_t> y;
};

class DragSnap {
public:
    void begin(const BoxDocument& doc, const NetSource& source, const std::vector<int>& movingSlots);
    void end() { m_targets.reset(); }
    bool started() const { return m_targets.has_value(); }
    const SnapTargets* targets() const { return m_targets ? &*m_targets : nullptr; }

    // Pulls the moved edges of the rectangle (document units) onto the
    // nearest target no farther than reach; the rest stays as given. The
    // edge that snaps is stored at the target's own value (truncated once),
    // so that it lies on the printed line, not on a screen pixel near it.
    SnapLines apply(long long& left, long long& top, long long& width, long long& height, const DragEdges& edges,
                    double reach) const;

private:
    std::optional<SnapTargets> m_targets;
};
