#pragma once
// Which parts of a region are certain to be painted over: a grid of 4 x 4
// pixel tiles, a tile counting only once a single cover holds all of it.
// Front-to-back over a pass's figures it tells which ones the later ones
// paint over completely, so that drawing them would be wasted.

#include <QRect>
#include <QtGlobal>
#include <vector>

class CoverageTiles {
public:
    explicit CoverageTiles(const QRect& region);

    // Records that every pixel of r is painted over (region coordinates as
    // the pass's). Only tiles wholly inside r count.
    void cover(const QRect& r);
    // Whether every pixel of r inside the region is painted over; true for
    // an r that misses the region.
    bool covers(const QRect& r) const;

private:
    static constexpr int Shift = 2;   // tiles of 1 << Shift pixels a side

    QRect m_region;
    int m_columns = 0, m_rows = 0, m_words = 0;   // tiles across, down; 64-bit words per tile row
    std::vector<quint64> m_bits;
};
