#include "render/Mapping.h"

#include "model/BoxDocument.h"
#include "model/Tobs.h"

#include <cmath>
#include <limits>

namespace {
constexpr long double kMmPerInch = 25.39995L;
}

int truncToInt(long double value) {
    if (std::isnan(value)) return 0;
    constexpr long double lo = std::numeric_limits<std::int32_t>::min();
    constexpr long double hi = std::numeric_limits<std::int32_t>::max();
    if (value <= lo) return std::numeric_limits<std::int32_t>::min();
    if (value >= hi) return std::numeric_limits<std::int32_t>::max();
    // The conversion itself rounds towards zero, without a call to truncl.
    return static_cast<int>(value);
}

int clampCoord(long long v) {
    return static_cast<int>(v < -kCoordLimit ? -kCoordLimit : v > kCoordLimit ? kCoordLimit : v);
}

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

int mmToPixels(double mm, double dpi) {
    return truncToInt(static_cast<long double>(mm) / kMmPerInch * dpi);
}

std::int32_t mmToUnits(double mm) {
    return truncToInt(static_cast<long double>(mm) * 20000 / kMmPerInch);
}
