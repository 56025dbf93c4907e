#include "model/TransparentValue.h"

#include "model/Tobs.h"

#include <QVector>
#include <algorithm>

namespace {
std::int64_t lowerLeftPixel(const DibHandle& pic) { return pic.getpixel(0, pic.DibHeight() - 1); }
}  // namespace

std::int64_t resolveTransparentValue(const Tobs& o) {
    const DibHandle& pic = o.Picture;
    std::int64_t value = o.LineWidthOrTransColor;
    // A drawing has no lower-left pixel to take the value from (its
    // stand-in's would be made up): the stored value stays.
    if (pic.isEmpty() || pic.isVector()) return value;
    if (o.TransAuto == 1) return lowerLeftPixel(pic);
    if (pic.DibBitCount() < 24) {
        const QVector<QRgb> table = pic.colorTable();
        const int n = std::min<int>(pic.DibColorCount(), table.size());
        for (int i = 0; i < n; ++i) {
            const QRgb c = table[i];
            // 0x00BBGGRR, as the colour dialog gives it.
            const std::int64_t ref = qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16);
            if (ref == value) return i;
        }
    }
    return value;
}

void settleTransparentValue(Tobs& o) {
    if (o.Kind != Image || o.Transparent != 1 || o.Picture.isEmpty()) return;
    o.LineWidthOrTransColor = static_cast<std::int32_t>(resolveTransparentValue(o));
}

std::int64_t drawnTransparentValue(const Tobs& o) {
    // The automatic value follows the picture even where a caller turned it
    // without settling; it equals the stored one otherwise.
    if (o.TransAuto == 1 && !o.Picture.isEmpty() && !o.Picture.isVector()) return lowerLeftPixel(o.Picture);
    return o.LineWidthOrTransColor;
}
