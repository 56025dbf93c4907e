#pragma once
// Colours of the document are 0x00BBGGRR values.

#include <QColor>
#include <cstdint>

inline QColor colorFromRef(std::int32_t ref) {
    const auto v = static_cast<std::uint32_t>(ref);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

inline std::uint32_t refFromRgb(int r, int g, int b) {
    return std::uint32_t(r & 0xFF) | (std::uint32_t(g & 0xFF) << 8) | (std::uint32_t(b & 0xFF) << 16);
}
