#include "render/FoldingModel.h"

#include "model/SheetLayout.h"
#include "render/NetOutline.h"
#include "render/SheetRenderer.h"

#include <algorithm>
#include <cmath>

namespace {

// On a pixel canvas the net is drawn with integer divisions of the edge, in
// millimetres with exact ones.
NetFractions<double> lengthsFor(double e, bool pixels) {
    if (pixels) return truncatedFractions<double>(std::llround(e));
    return {e, e / 2, e / 3, e / 4, 3 * e / 4, e / 5, e / 7, e / 8, e / 10};
}

using Line = std::vector<QPointF>;

QPolygonF withoutRepeats(const Line& points) {
    QPolygonF poly;
    for (const QPointF& p : points)
        if (poly.isEmpty() || poly.last() != p) poly << p;
    while (poly.size() > 1 && poly.first() == poly.last()) poly.removeLast();
    return poly;
}

QPolygonF square(double x, double y, double e) {
    return QPolygonF({QPointF(x, y), QPointF(x + e, y), QPointF(x + e, y + e), QPointF(x, y + e)});
}

double cross(const QPointF& a, const QPointF& b) { return a.x() * b.y() - a.y() * b.x(); }
double dot(const QPointF& a, const QPointF& b) { return a.x() * b.x() + a.y() * b.y(); }

// p lies on the segment a-b (ends included), within tolerance tol.
bool onSegment(const QPointF& p, const QPointF& a, const QPointF& b, double tol) {
    const QPointF d = b - a;
    const double len = std::sqrt(dot(d, d));
    if (len == 0) return QLineF(p, a).length() <= tol;
    if (std::abs(cross(d, p - a)) > tol * len) return false;
    const double t = dot(p - a, d);
    return t >= -tol * len && t <= len * len + tol * len;
}

bool near(const QPointF& a, const QPointF& b, double tol) {
    return std::abs(a.x() - b.x()) <= tol && std::abs(a.y() - b.y()) <= tol;
}

}  // namespace

PanelKind panelKind(PanelId id) {
    switch (id) {
    case PanelId::Vorne:
    case PanelId::Rechts:
    case PanelId::Hinten:
    case PanelId::Links:
    case PanelId::Boden: return PanelKind::Face;
    case PanelId::DeckelRechts:
    case PanelId::DeckelLinks: return PanelKind::LidHalf;
    default: return PanelKind::Flap;
    }
}

QString panelName(PanelId id) {
    switch (id) {
    case PanelId::Vorne: return QStringLiteral("Vorne");
    case PanelId::Rechts: return QStringLiteral("Rechts");
    case PanelId::Hinten: return QStringLiteral("Hinten");
    case PanelId::Links: return QStringLiteral("Links");
    case PanelId::Boden: return QStringLiteral("Boden");
    case PanelId::Klebelasche: return QStringLiteral("Klebelasche");
    case PanelId::BodenlascheLinks: return QStringLiteral("Bodenlasche links");
    case PanelId::BodenlascheRechts: return QStringLiteral("Bodenlasche rechts");
    case PanelId::BodenlascheVorne: return QStringLiteral("Bodenlasche vorne");
    case PanelId::StaublascheVorne: return QStringLiteral("Staublasche vorne");
    case PanelId::StaublascheHinten: return QStringLiteral("Staublasche hinten");
    case PanelId::DeckelRechts: return QStringLiteral("Deckel rechts");
    case PanelId::DeckelLinks: return QStringLiteral("Deckel links");
    }
    return QString();
}

QString faceName(PanelId id) {
    switch (panelKind(id)) {
    case PanelKind::Face: return panelName(id);
    case PanelKind::LidHalf: return QStringLiteral("Deckel");
    case PanelKind::Flap: break;
    }
    return QString();
}

FoldingModel::FoldingModel(double L, double T, double e, bool pixels) : m_L(L), m_T(T), m_e(e), m_pixels(pixels) {
    m_netLines = netOutline<QPointF>(L, T, lengthsFor(e, pixels));
    buildPanels();
    buildSegments();
}

FoldingModel FoldingModel::inMillimetres(const SheetLayout& layout, int percent) {
    // The cube edge of the box size display: the scaled item height less one
    // fifteenth for the flaps, over the three faces stacked in the net.
    double a = percent * layout.ItemHeight / 100;
    a = a - a / 3 / 5;
    return FoldingModel(0, 0, a / 3, false);
}

FoldingModel FoldingModel::inPixels(const SheetLayout& layout, int percent, int dpi) {
    const SheetGeometry g = sheetGeometry(layout, dpi, dpi);
    return fromMeasure(measureNet(BoxArea{0, 0, g.Wb, g.Hb}, percent));
}

FoldingModel FoldingModel::fromMeasure(const NetMeasure& m) { return FoldingModel(m.L, m.T, m.e, true); }

void FoldingModel::buildPanels() {
    const double L = m_L, T = m_T, e = m_e;
    const std::vector<Line>& nl = m_netLines;
    auto vertical = [&](double x, double y0, double y1) { return QLineF(x, y0, x, y1); };
    auto horizontal = [&](double y, double x0, double x1) { return QLineF(x0, y, x1, y); };

    m_panels.assign(kPanelCount, FoldPanel{});
    auto set = [&](PanelId id, PanelId parent, QPolygonF outline, QLineF hinge, int inset) {
        FoldPanel& p = m_panels[static_cast<int>(id)];
        p.id = id;
        p.parent = parent;
        p.outline = std::move(outline);
        p.hinge = hinge;
        p.inset = inset;
    };
    set(PanelId::Vorne, PanelId::Vorne, square(L, T + e, e), QLineF(), 0);
    set(PanelId::Rechts, PanelId::Vorne, square(L + e, T + e, e), vertical(L + e, T + e, T + 2 * e), 0);
    set(PanelId::Hinten, PanelId::Rechts, square(L + 2 * e, T + e, e), vertical(L + 2 * e, T + e, T + 2 * e), 0);
    set(PanelId::Links, PanelId::Hinten, square(L + 3 * e, T + e, e), vertical(L + 3 * e, T + e, T + 2 * e), 0);
    set(PanelId::Boden, PanelId::Hinten, square(L + 2 * e, T + 2 * e, e), horizontal(T + 2 * e, L + 2 * e, L + 3 * e),
        0);
    // Flaps: the net line of each is its free edge; it closes along its hinge.
    // Depths: the glue flap against Vorne, the bottom's front flap over it;
    // the side flaps of the bottom each in their own face; the dust flap
    // from the back under the one from the front, both under the lid.
    set(PanelId::Klebelasche, PanelId::Links, withoutRepeats(nl[8]), vertical(L + 4 * e, T + e, T + 2 * e), 1);
    set(PanelId::BodenlascheLinks, PanelId::Boden, withoutRepeats(nl[9]), vertical(L + 3 * e, T + 2 * e, T + 3 * e), 1);
    set(PanelId::BodenlascheRechts, PanelId::Boden, withoutRepeats(nl[10]), vertical(L + 2 * e, T + 2 * e, T + 3 * e),
        1);
    set(PanelId::BodenlascheVorne, PanelId::Boden, withoutRepeats(nl[11]), horizontal(T + 3 * e, L + 2 * e, L + 3 * e),
        2);
    set(PanelId::StaublascheVorne, PanelId::Vorne, withoutRepeats(nl[12]), horizontal(T + e, L, L + e), 1);
    set(PanelId::StaublascheHinten, PanelId::Hinten, withoutRepeats(nl[13]), horizontal(T + e, L + 2 * e, L + 3 * e),
        2);
    set(PanelId::DeckelRechts, PanelId::Rechts, withoutRepeats(nl[14]), horizontal(T + e, L + e, L + 2 * e), 0);
    set(PanelId::DeckelLinks, PanelId::Links, withoutRepeats(nl[15]), horizontal(T + e, L + 3 * e, L + 4 * e), 0);
}

void FoldingModel::buildSegments() {
    const double tol = 1e-9 * std::max(1.0, std::abs(m_e));
    m_segments.clear();
    for (int li = 0; li < static_cast<int>(m_netLines.size()); ++li) {
        const Line& line = m_netLines[li];
        for (size_t k = 0; k + 1 < line.size(); ++k) {
            const QPointF a = line[k], b = line[k + 1];
            if (near(a, b, tol)) continue;
            // Split at every panel corner on the piece, in order from a.
            std::vector<QPointF> cutsAt{a, b};
            for (const FoldPanel& p : m_panels)
                for (const QPointF& c : p.outline)
                    if (onSegment(c, a, b, tol) && !near(c, a, tol) && !near(c, b, tol)) cutsAt.push_back(c);
            const QPointF d = b - a;
            std::sort(cutsAt.begin(), cutsAt.end(),
                      [&](const QPointF& p, const QPointF& q) { return dot(p - a, d) < dot(q - a, d); });
            for (size_t i = 0; i + 1 < cutsAt.size(); ++i) {
                const QPointF p = cutsAt[i], q = cutsAt[i + 1];
                if (near(p, q, tol)) continue;
                NetSegment s;
                s.a = p;
                s.b = q;
                s.netLine = li + 1;
                int owners = 0;
                for (const FoldPanel& panel : m_panels) {
                    const QPolygonF& o = panel.outline;
                    bool edge = false;
                    for (int j = 0; j < o.size() && !edge; ++j) {
                        const QPointF u = o[j], v = o[(j + 1) % o.size()];
                        edge = onSegment(p, u, v, tol) && onSegment(q, u, v, tol);
                    }
                    if (!edge) continue;
                    if (owners == 0) s.panel = s.otherPanel = panel.id;
                    else if (owners == 1) s.otherPanel = panel.id;
                    ++owners;
                }
                s.kind = owners >= 2 ? SegmentKind::Fold : SegmentKind::Cut;
                m_segments.push_back(s);
            }
        }
    }
}

std::vector<NetSegment> FoldingModel::folds() const {
    std::vector<NetSegment> out;
    for (const NetSegment& s : m_segments)
        if (s.kind == SegmentKind::Fold) out.push_back(s);
    return out;
}

std::vector<NetSegment> FoldingModel::cuts() const {
    std::vector<NetSegment> out;
    for (const NetSegment& s : m_segments)
        if (s.kind == SegmentKind::Cut) out.push_back(s);
    return out;
}

QPolygonF FoldingModel::cutOutline() const {
    const double tol = 1e-9 * std::max(1.0, std::abs(m_e));
    std::vector<NetSegment> rest = cuts();
    QPolygonF outline;
    if (rest.empty()) return outline;
    const QPointF start(m_L, m_T + m_e);
    QPointF at = start;
    outline << at;
    // Walk from corner to corner, always taking the first unused cut that
    // touches the current corner (there is exactly one on a sound net).
    while (!rest.empty()) {
        auto it = std::find_if(rest.begin(), rest.end(),
                               [&](const NetSegment& s) { return near(s.a, at, tol) || near(s.b, at, tol); });
        if (it == rest.end()) break;
        at = near(it->a, at, tol) ? it->b : it->a;
        rest.erase(it);
        if (near(at, start, tol)) break;
        outline << at;
    }
    return outline;
}
