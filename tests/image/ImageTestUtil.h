#pragma once
// Pictures with a recognisable pixel pattern for the image tests.

#include "image/DibHandle.h"

#include <QVector>
#include <cstdint>

inline QVector<QRgb> testPalette(int bits) {
    QVector<QRgb> table;
    const int n = 1 << bits;
    for (int i = 0; i < n; ++i) table << qRgb((i * 37) & 0xFF, (i * 91 + 13) & 0xFF, (255 - i * 53) & 0xFF);
    return table;
}

// Every pixel different from its neighbours, so a misplaced one shows.
inline DibHandle patternDib(int width, int height, int bits) {
    DibHandle dib = newdib(width, height, bits, bits <= 8 ? testPalette(bits) : QVector<QRgb>());
    const std::uint32_t mask = bits <= 8 ? (1u << bits) - 1 : 0xFFFFFFu;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            dib.setpixel(x, y, (std::uint32_t(x) * 7919u + std::uint32_t(y) * 104729u + (x ^ y)) & mask);
    return dib;
}

inline bool samePixels(const DibHandle& a, const DibHandle& b) {
    if (a.DibWidth() != b.DibWidth() || a.DibHeight() != b.DibHeight()) return false;
    for (int y = 0; y < a.DibHeight(); ++y)
        for (int x = 0; x < a.DibWidth(); ++x)
            if (a.getpixel(x, y) != b.getpixel(x, y)) return false;
    return true;
}
