#include "box/BoxNet.h"

#include "base/Units.h"
#include "box/BoxStyles.h"

#include <algorithm>

namespace {
// Bounded so that L + 2a + 2b + g stays in range for any box area.
constexpr int kMeasureLimit = 1 << 26;

int boundMeasure(long double v) { return std::clamp(truncToInt(v), -kMeasureLimit, kMeasureLimit); }
}  // namespace

BoxArea boxAreaFor(int areaWidth, int areaHeight, int offsetX, int offsetY, bool editorView) {
    if (!editorView) return BoxArea{0, 0, clampCoord(areaWidth), clampCoord(areaHeight)};
    const long long w = areaWidth, h = areaHeight;
    return BoxArea{clampCoord(w / 3 - offsetX), clampCoord(h / 3 - offsetY), clampCoord((2 * w) / 3 - offsetX),
                   clampCoord((2 * h) / 3 - offsetY)};
}

NetMeasure measureNet(const BoxArea& area, int percent) {
    const int left = area.left + 1;
    int bottom = area.bottom;
    int h = bottom - area.top;
    // One fifteenth of the height, in the two truncating steps that the
    // printed edge length in centimetres also uses.
    bottom -= (h / 3) / 5;
    h = bottom - area.top;
    const int s = truncToInt(static_cast<long double>(percent) * h / 100);
    const int e = std::clamp(s / 3, -kMeasureLimit, kMeasureLimit);
    return NetMeasure{left, area.top, e};
}

NetMeasure measureNet(const BoxArea& area, const NetSource& source, double pixelsPerUnit) {
    if (!source.isCuboid()) return measureNet(area, source.percent);
    const long double k = static_cast<long double>(20000) / 25.39995L * pixelsPerUnit;
    NetMeasure m;
    m.L = area.left + 1;
    m.T = area.top;
    m.cuboid = true;
    m.a = boundMeasure(source.form.L * k);
    m.b = boundMeasure(source.form.B * k);
    m.h = boundMeasure(source.form.H * k);
    m.minFlap = boundMeasure(6.0L * k);
    if (!source.form.isLockLid()) {
        m.form = source.form;
        m.pixelsPerMm = static_cast<double>(k);
    }
    return m;
}

NetMeasure measureNetAtDpi(const BoxArea& area, const NetSource& source, double dpi) {
    return measureNet(area, source, dpi / 20000.0);
}

NetDims<int> NetMeasure::dims() const {
    return truncatedDims<int>(lengthA(), widthB(), heightH(), cuboid, minFlap);
}

int NetMeasure::netWidth() const {
    if (planned()) return static_cast<int>(planOnCanvas(*this).size.width());
    const NetDims<int> n = dims();
    return 2 * n.a + 2 * n.b + n.g;
}

int NetMeasure::netHeight() const {
    if (planned()) return static_cast<int>(planOnCanvas(*this).size.height());
    const NetDims<int> n = dims();
    return n.t + n.h + n.b + n.f;
}

Polyline lidHalf(int X, int T, int e) {
    return netLidHalf<QPoint>(X, T + e, truncatedDims<int>(e, e, e, false, 0));
}

std::vector<Polyline> netPolylines(const NetMeasure& m) {
    if (!m.planned()) return netOutline<QPoint>(m.L, m.T, m.dims());
    const BoxPlan plan = planOnCanvas(m);
    std::vector<Polyline> lines;
    lines.reserve(plan.lines.size() + plan.slits.size());
    for (const std::vector<QPointF>& l : plan.lines) {
        Polyline line;
        for (const QPointF& p : l) line.push_back(p.toPoint());
        lines.push_back(std::move(line));
    }
    for (const QLineF& s : plan.slits) lines.push_back({s.p1().toPoint(), s.p2().toPoint()});
    return lines;
}

QRect netBounds(const NetMeasure& m) {
    QRect r;
    for (const Polyline& line : netPolylines(m))
        for (const QPoint& p : line) r = r.isNull() ? QRect(p, p) : r.united(QRect(p, p));
    return r;
}
