#include "base/Units.h"

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

int mmToPixels(double mm, double dpi) {
    return truncToInt(static_cast<long double>(mm) / kMmPerInch * dpi);
}

std::int32_t mmToUnits(double mm) {
    return truncToInt(static_cast<long double>(mm) * 20000 / kMmPerInch);
}
