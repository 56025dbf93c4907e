#include "render/BoxNet.h"

#include "render/Mapping.h"

#include <algorithm>

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
    // Bounded so that L + 4e + e/7 stays in range for any box area.
    const int e = std::clamp(s / 3, -(1 << 26), 1 << 26);
    return NetMeasure{left, area.top, e};
}

Polyline lidHalf(int X, int T, int e) {
    const int e2 = e / 2, e4 = e / 4, e34 = (3 * e) / 4, e5 = e / 5, e8 = e / 8, e10 = e / 10;
    return {
        {X, T + e},
        {X, T + e2},
        {X + e4, T + e2},
        {X + e4, T + e2 - e10},
        {X + e4 - e10, T + e2 - e5},
        {X + e4 - e10, T + e2 - e5 - e8},
        {X + e4, T + e2 - e5 - e8 - e10},
        {X + e34, T + e2 - e5 - e8 - e10},
        {X + e34 + e10, T + e2 - e5 - e8},
        {X + e34 + e10, T + e2 - e5},
        {X + e34, T + e2 - e10},
        // The raised stretch with its step down is the slot the other half's
        // tab slides into.
        {X + e2, T + e2 - e10},
        {X + e2, T + e2},
        {X + e2, T + e2},
        {X + e, T + e2},
        {X + e, T + e},
    };
}

std::vector<Polyline> netPolylines(const NetMeasure& m) {
    const int L = m.L, T = m.T, e = m.e;
    const int e3 = e / 3, e4 = e / 4, e34 = (3 * e) / 4, e7 = e / 7, e10 = e / 10;
    std::vector<Polyline> lines;
    lines.reserve(16);
    // The row of four side faces, the bottom face and the folds between them.
    lines.push_back({{L, T + e}, {L + 4 * e, T + e}});
    lines.push_back({{L, T + 2 * e}, {L + 4 * e, T + 2 * e}});
    lines.push_back({{L + 2 * e, T + 3 * e}, {L + 3 * e, T + 3 * e}});
    lines.push_back({{L, T + e}, {L, T + 2 * e}});
    lines.push_back({{L + e, T + e}, {L + e, T + 2 * e}});
    lines.push_back({{L + 2 * e, T + e}, {L + 2 * e, T + 3 * e}});
    lines.push_back({{L + 3 * e, T + e}, {L + 3 * e, T + 3 * e}});
    lines.push_back({{L + 4 * e, T + e}, {L + 4 * e, T + 2 * e}});
    // Glue flaps: right of face 4, right, left and below the bottom face.
    lines.push_back({{L + 4 * e, T + e}, {L + 4 * e + e7, T + e + e10},
                     {L + 4 * e + e7, T + 2 * e - e10}, {L + 4 * e, T + 2 * e}});
    lines.push_back({{L + 3 * e, T + 2 * e}, {L + 3 * e + e7, T + 2 * e + e10},
                     {L + 3 * e + e7, T + 3 * e - e10}, {L + 3 * e, T + 3 * e}});
    lines.push_back({{L + 2 * e, T + 2 * e}, {L + 2 * e - e7, T + 2 * e + e10},
                     {L + 2 * e - e7, T + 3 * e - e10}, {L + 2 * e, T + 3 * e}});
    lines.push_back({{L + 2 * e, T + 3 * e}, {L + 2 * e + e10, T + 3 * e + e7},
                     {L + 3 * e - e10, T + 3 * e + e7}, {L + 3 * e, T + 3 * e}});
    // Trapezoid dust flaps above faces 1 and 3.
    lines.push_back({{L, T + e}, {L + e4, T + e3}, {L + e34, T + e3}, {L + e, T + e}});
    lines.push_back({{L + 2 * e, T + e}, {L + 2 * e + e4, T + e3}, {L + 2 * e + e34, T + e3},
                     {L + 3 * e, T + e}});
    // Lid halves with lock tabs above faces 2 and 4.
    lines.push_back(lidHalf(L + e, T, e));
    lines.push_back(lidHalf(L + 3 * e, T, e));
    return lines;
}

QRect netBounds(const NetMeasure& m) {
    QRect r;
    for (const Polyline& line : netPolylines(m))
        for (const QPoint& p : line) r = r.isNull() ? QRect(p, p) : r.united(QRect(p, p));
    return r;
}
