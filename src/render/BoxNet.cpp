#include "render/BoxNet.h"

#include "render/Mapping.h"
#include "render/NetOutline.h"

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

Polyline lidHalf(int X, int T, int e) { return netLidHalf<QPoint>(X, T, truncatedFractions<int>(e)); }

std::vector<Polyline> netPolylines(const NetMeasure& m) {
    return netOutline<QPoint>(m.L, m.T, truncatedFractions<int>(m.e));
}

QRect netBounds(const NetMeasure& m) {
    QRect r;
    for (const Polyline& line : netPolylines(m))
        for (const QPoint& p : line) r = r.isNull() ? QRect(p, p) : r.united(QRect(p, p));
    return r;
}
