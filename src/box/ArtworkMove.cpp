#include "box/ArtworkMove.h"

#include "box/FoldingModel.h"
#include "model/BoxDocument.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kUnitsPerMm = 20000.0 / 25.39995;

// The hinge start point: where the panel is joined to its parent, for
// Vorne (which has none) its top-left corner.
QPointF hingeStart(const FoldPanel& p) {
    return p.parent == p.id ? p.outline.boundingRect().topLeft() : p.hinge.p1();
}

// The panel of the same name in the other net; a lid of two halves and a
// lid of one trade places ("Deckel rechts" and "Deckel links" go to the one
// "Deckel", which goes to "Deckel rechts", the first half).
const FoldPanel* samePanel(const FoldingModel& net, const FoldPanel& p) {
    for (const FoldPanel& q : net.panels())
        if (q.name == p.name) return &q;
    if (p.role != PanelRole::Deckel) return nullptr;
    for (const FoldPanel& q : net.panels())
        if (q.role == PanelRole::Deckel) return &q;
    return nullptr;
}

std::int32_t movedBy(std::int32_t v, double mm) {
    const long double r = static_cast<long double>(v) + std::llround(mm * kUnitsPerMm);
    const long double lo = std::numeric_limits<std::int32_t>::min(), hi = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(r < lo ? lo : r > hi ? hi : r);
}

}  // namespace

std::vector<ArtworkMove> artworkMoves(const BoxDocument& doc, const NetSource& from, const NetSource& to) {
    std::vector<ArtworkMove> moves;
    if (from == to) return moves;
    const FoldingModel before = FoldingModel::inMillimetres(doc.Layout, from);
    const FoldingModel after = FoldingModel::inMillimetres(doc.Layout, to);
    // The item's corner in the editing area: the middle third of the extent.
    const double originX = doc.ExtentWidth / 3.0 / kUnitsPerMm, originY = doc.ExtentHeight / 3.0 / kUnitsPerMm;
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        const Tobs& o = doc.Objects[slot];
        if (o.isFree()) continue;
        const QPointF centre((o.Left + o.Width / 2.0) / kUnitsPerMm - originX,
                             (o.Top + o.Height / 2.0) / kUnitsPerMm - originY);
        for (const FoldPanel& p : before.panels()) {
            if (!p.outline.containsPoint(centre, Qt::OddEvenFill)) continue;
            const FoldPanel* target = samePanel(after, p);
            if (!target) break;   // the new net lacks it: the art stays
            const QPointF shift = hingeStart(*target) - hingeStart(p);
            ArtworkMove m{slot, o.Left, o.Top, movedBy(o.Left, shift.x()), movedBy(o.Top, shift.y())};
            if (m.toLeft != m.fromLeft || m.toTop != m.fromTop) moves.push_back(m);
            break;
        }
    }
    return moves;
}

void applyArtworkMoves(BoxDocument& doc, const std::vector<ArtworkMove>& moves, bool backwards) {
    for (const ArtworkMove& m : moves) {
        Tobs& o = doc.Objects[m.slot];
        o.Left = backwards ? m.fromLeft : m.toLeft;
        o.Top = backwards ? m.fromTop : m.toTop;
    }
    if (!moves.empty()) doc.markChanged();
}
