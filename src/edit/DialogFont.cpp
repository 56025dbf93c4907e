#include "edit/EditorEnvironment.h"

#include "model/Tobs.h"

#include <cmath>

namespace {
// a * b / c rounded half away from zero, as the toolkit's font code scales
// between points and pixels.
std::int32_t mulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
    if (c == 0) return -1;
    const long double exact = static_cast<long double>(a) * b / c;
    return static_cast<std::int32_t>(std::llround(exact));
}
}  // namespace

void DialogFont::setHeight(std::int32_t height, int dpi) {
    Height = height;
    Size = -mulDiv(height, 72, dpi > 0 ? dpi : 96);
}

void DialogFont::setSize(std::int32_t points, int dpi) {
    Size = points;
    Height = -mulDiv(points, dpi > 0 ? dpi : 96, 72);
}

void DialogFont::applyTypefaceTo(Tobs& o) const {
    o.FontHeight = Height;
    o.FontName = Name;
    o.FontPitch = Pitch;
    o.FontStyle = Style;
    o.FontSize = Size;
}
