#include "render/fast/CoverageTiles.h"

#include <algorithm>

namespace {

// Bits [from, to) of one word, from and to within 0..64.
quint64 bitsBetween(int from, int to) {
    if (to <= from) return 0;
    const quint64 upper = to >= 64 ? ~quint64(0) : (quint64(1) << to) - 1;
    return upper & ~((quint64(1) << from) - 1);
}

}  // namespace

CoverageTiles::CoverageTiles(const QRect& region) : m_region(region) {
    if (region.isEmpty()) return;
    const int side = 1 << Shift;
    m_columns = (region.width() + side - 1) >> Shift;
    m_rows = (region.height() + side - 1) >> Shift;
    m_words = (m_columns + 63) / 64;
    m_bits.assign(size_t(m_words) * size_t(m_rows), 0);
}

void CoverageTiles::cover(const QRect& r) {
    const QRect part = r & m_region;
    if (part.isEmpty()) return;
    const int side = 1 << Shift;
    // Tiles wholly inside; a tile the region's edge cuts short counts whole
    // when the cover reaches that edge.
    const int x0 = part.left() - m_region.left(), y0 = part.top() - m_region.top();
    const int x1 = part.right() + 1 - m_region.left(), y1 = part.bottom() + 1 - m_region.top();
    const int c0 = (x0 + side - 1) >> Shift, r0 = (y0 + side - 1) >> Shift;
    const int c1 = x1 == m_region.width() ? m_columns : x1 >> Shift;
    const int r1 = y1 == m_region.height() ? m_rows : y1 >> Shift;
    if (c1 <= c0 || r1 <= r0) return;
    for (int row = r0; row < r1; ++row) {
        quint64* words = m_bits.data() + size_t(row) * size_t(m_words);
        for (int w = c0 >> 6; w <= (c1 - 1) >> 6; ++w)
            words[w] |= bitsBetween(std::max(c0 - w * 64, 0), std::min(c1 - w * 64, 64));
    }
}

bool CoverageTiles::covers(const QRect& r) const {
    const QRect part = r & m_region;
    if (part.isEmpty()) return true;
    const int x0 = part.left() - m_region.left(), y0 = part.top() - m_region.top();
    const int c0 = x0 >> Shift, c1 = ((part.right() - m_region.left()) >> Shift) + 1;
    const int r0 = y0 >> Shift, r1 = ((part.bottom() - m_region.top()) >> Shift) + 1;
    for (int row = r0; row < r1; ++row) {
        const quint64* words = m_bits.data() + size_t(row) * size_t(m_words);
        for (int w = c0 >> 6; w <= (c1 - 1) >> 6; ++w) {
            const quint64 want = bitsBetween(std::max(c0 - w * 64, 0), std::min(c1 - w * 64, 64));
            if ((words[w] & want) != want) return false;
        }
    }
    return true;
}
