#include "box/FoldingModel.h"

#include "model/SheetLayout.h"
#include "box/NetOutline.h"
#include "model/SheetGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

// A cuboid's flaps are never less than 6 mm deep.
constexpr double kMinFlapMm = 6.0;

NetDims<double> asDouble(const NetDims<int>& n) {
    return {double(n.a),  double(n.b),   double(n.h),  double(n.t),   double(n.g),   double(n.f),
            double(n.a2), double(n.a4),  double(n.a34), double(n.a5), double(n.a8),  double(n.a10),
            double(n.b2), double(n.b4),  double(n.b34), double(n.b10), double(n.d),  double(n.h10),
            double(n.lidDepth)};
}

using Line = std::vector<QPointF>;

QPolygonF withoutRepeats(const Line& points) {
    QPolygonF poly;
    for (const QPointF& p : points)
        if (poly.isEmpty() || poly.last() != p) poly << p;
    while (poly.size() > 1 && poly.first() == poly.last()) poly.removeLast();
    return poly;
}

QPolygonF rectangle(double x, double y, double w, double h) {
    return QPolygonF({QPointF(x, y), QPointF(x + w, y), QPointF(x + w, y + h), QPointF(x, y + h)});
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

FoldingModel::FoldingModel(double L, double T, const NetDims<double>& n, bool pixels)
    : m_L(L), m_T(T), m_n(n), m_pixels(pixels) {
    m_netLines = netOutline<QPointF>(L, T, n);
    buildPanels();
    buildSegments();
}

double FoldingModel::smallestMeasure() const { return std::min({m_n.a, m_n.b, m_n.h}); }
double FoldingModel::largestMeasure() const { return std::max({m_n.a, m_n.b, m_n.h}); }

FoldingModel FoldingModel::inMillimetres(const SheetLayout& layout, const NetSource& source) {
    if (source.isCuboid()) {
        const BoxForm& f = source.form;
        return FoldingModel(0, 0, exactDims(f.L, f.B, f.H, true, kMinFlapMm), false);
    }
    // The cube edge of the box size display: the scaled item height less one
    // fifteenth for the flaps, over the three faces stacked in the net.
    double a = source.percent * layout.ItemHeight / 100;
    a = a - a / 3 / 5;
    const double e = a / 3;
    return FoldingModel(0, 0, exactDims(e, e, e, false, 0), false);
}

FoldingModel FoldingModel::inPixels(const SheetLayout& layout, const NetSource& source, int dpi) {
    const SheetGeometry g = sheetGeometry(layout, dpi, dpi);
    return fromMeasure(measureNetAtDpi(BoxArea{0, 0, g.Wb, g.Hb}, source, dpi));
}

FoldingModel FoldingModel::fromMeasure(const NetMeasure& m) { return FoldingModel(m.L, m.T, asDouble(m.dims()), true); }

void FoldingModel::buildPanels() {
    const double L = m_L, a = m_n.a, b = m_n.b, h = m_n.h;
    const double Y1 = m_T + m_n.t, Y2 = Y1 + h, Y3 = Y2 + b;
    const double x1 = L + a, x2 = x1 + b, x3 = x2 + a, x4 = x3 + b;
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
    set(PanelId::Vorne, PanelId::Vorne, rectangle(L, Y1, a, h), QLineF(), 0);
    set(PanelId::Rechts, PanelId::Vorne, rectangle(x1, Y1, b, h), vertical(x1, Y1, Y2), 0);
    set(PanelId::Hinten, PanelId::Rechts, rectangle(x2, Y1, a, h), vertical(x2, Y1, Y2), 0);
    set(PanelId::Links, PanelId::Hinten, rectangle(x3, Y1, b, h), vertical(x3, Y1, Y2), 0);
    set(PanelId::Boden, PanelId::Hinten, rectangle(x2, Y2, a, b), horizontal(Y2, x2, x3), 0);
    // Flaps: the net line of each is its free edge; it closes along its hinge.
    // Depths: the glue flap against Vorne, the bottom's front flap over it;
    // the side flaps of the bottom each in their own face; the dust flap
    // from the back under the one from the front, both under the lid (on a
    // cuboid they may overlap each other, each at its own depth).
    set(PanelId::Klebelasche, PanelId::Links, withoutRepeats(nl[8]), vertical(x4, Y1, Y2), 1);
    set(PanelId::BodenlascheLinks, PanelId::Boden, withoutRepeats(nl[9]), vertical(x3, Y2, Y3), 1);
    set(PanelId::BodenlascheRechts, PanelId::Boden, withoutRepeats(nl[10]), vertical(x2, Y2, Y3), 1);
    set(PanelId::BodenlascheVorne, PanelId::Boden, withoutRepeats(nl[11]), horizontal(Y3, x2, x3), 2);
    set(PanelId::StaublascheVorne, PanelId::Vorne, withoutRepeats(nl[12]), horizontal(Y1, L, x1), 1);
    set(PanelId::StaublascheHinten, PanelId::Hinten, withoutRepeats(nl[13]), horizontal(Y1, x2, x3), 2);
    set(PanelId::DeckelRechts, PanelId::Rechts, withoutRepeats(nl[14]), horizontal(Y1, x1, x2), 0);
    set(PanelId::DeckelLinks, PanelId::Links, withoutRepeats(nl[15]), horizontal(Y1, x3, x4), 0);
}

void FoldingModel::buildSegments() {
    const double tol = tolerance();
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
    const double tol = tolerance();
    std::vector<NetSegment> rest = cuts();
    QPolygonF outline;
    if (rest.empty()) return outline;
    const QPointF start(m_L, m_T + m_n.t);
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
