#include "render/Mapping.h"

#include "base/Units.h"
#include "model/BoxDocument.h"
#include "model/Tobs.h"

#include <limits>

Mapping Mapping::screen(double zoom, double screenDivisor) {
    Mapping m;
    m.m_print = false;
    m.m_zoom = zoom;
    m.m_divisor = screenDivisor;
    return m;
}

Mapping Mapping::print(double printScale) {
    Mapping m;
    m.m_print = true;
    m.m_printScale = printScale;
    return m;
}

Mapping Mapping::screenFor(const BoxDocument& doc) { return screen(doc.Zoom, doc.ScreenDivisor); }

double Mapping::Scale() const {
    if (m_print) return m_printScale;
    return m_divisor != 0 ? m_zoom / m_divisor : 0.0;
}

int Mapping::toDevice(std::int32_t units) const {
    if (m_print) return truncToInt(static_cast<long double>(units) * m_printScale);
    if (m_divisor == 0) return 0;
    return truncToInt(static_cast<long double>(units) * m_zoom / m_divisor);
}

int Mapping::DevLeft(const Tobs& o) const { return toDevice(o.Left); }
int Mapping::DevTop(const Tobs& o) const { return toDevice(o.Top); }
int Mapping::DevWidth(const Tobs& o) const { return toDevice(o.Width); }
int Mapping::DevHeight(const Tobs& o) const { return toDevice(o.Height); }

std::int32_t screenPixelsToUnits(int pixels, double zoom, double screenDivisor) {
    if (zoom == 0) return 0;
    return truncToInt(static_cast<long double>(pixels) / zoom * screenDivisor);
}

std::int32_t SetDevLeft(Tobs& o, int pixels, double zoom, double screenDivisor) {
    return o.Left = screenPixelsToUnits(pixels, zoom, screenDivisor);
}
std::int32_t SetDevTop(Tobs& o, int pixels, double zoom, double screenDivisor) {
    return o.Top = screenPixelsToUnits(pixels, zoom, screenDivisor);
}
std::int32_t SetDevWidth(Tobs& o, int pixels, double zoom, double screenDivisor) {
    return o.Width = screenPixelsToUnits(pixels, zoom, screenDivisor);
}
std::int32_t SetDevHeight(Tobs& o, int pixels, double zoom, double screenDivisor) {
    return o.Height = screenPixelsToUnits(pixels, zoom, screenDivisor);
}

std::int32_t unitsAtScreenPixel(int pixel, double zoom, double screenDivisor) {
    if (pixel == 0 || zoom == 0 || screenDivisor == 0) return 0;
    const Mapping map = Mapping::screen(zoom, screenDivisor);
    // The pixel of a value never falls as the value grows: bisect over the
    // whole range rather than trust one division.
    long long lo = std::numeric_limits<std::int32_t>::min(), hi = std::numeric_limits<std::int32_t>::max();
    if (pixel > 0) {
        // Smallest value whose pixel is at least `pixel`.
        if (map.toDevice(static_cast<std::int32_t>(hi)) < pixel) return static_cast<std::int32_t>(hi);
        while (lo < hi) {
            const long long mid = lo + (hi - lo) / 2;
            if (map.toDevice(static_cast<std::int32_t>(mid)) >= pixel) hi = mid; else lo = mid + 1;
        }
        return static_cast<std::int32_t>(lo);
    }
    // Largest value whose pixel is at most `pixel`.
    if (map.toDevice(static_cast<std::int32_t>(lo)) > pixel) return static_cast<std::int32_t>(lo);
    while (lo < hi) {
        const long long mid = lo + (hi - lo + 1) / 2;
        if (map.toDevice(static_cast<std::int32_t>(mid)) <= pixel) lo = mid; else hi = mid - 1;
    }
    return static_cast<std::int32_t>(lo);
}
