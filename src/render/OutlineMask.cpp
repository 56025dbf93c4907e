#include "render/OutlineMask.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// The product of (1 - a) over the copies becomes a sum of -ln(1 - a) in
// fixed point, which windows slid along rows and columns keep exactly:
// integers neither drift nor depend on the order of the additions. From
// kFull on a sum rounds to full coverage, so a fully covered pixel weighs
// kFull and row sums are capped there; window sums then stay below
// (2d + 1) * kFull, within 32 bits for any d up to kMaxShift.
constexpr double kScale = 1 << 20;
constexpr int kMaxShift = 300;

struct Weights {
    std::uint32_t w[256];
    std::uint32_t full;
    // Coverage k needs a sum of at least threshold[k], the sum at which
    // 255 * (1 - exp(-sum / kScale)) rounds up to k; start[i] is the
    // coverage of the sum i << kStep.
    std::uint32_t threshold[257];
    static constexpr int kStep = 13;
    std::vector<uchar> start;
    Weights() {
        full = static_cast<std::uint32_t>(std::ceil(std::log(510.0) * kScale)) + 1;
        for (int a = 0; a < 255; ++a) w[a] = static_cast<std::uint32_t>(std::lround(-std::log1p(-a / 255.0) * kScale));
        w[255] = full;
        threshold[0] = 0;
        for (int k = 1; k <= 255; ++k)
            threshold[k] = static_cast<std::uint32_t>(std::ceil(-std::log1p(-(k - 0.5) / 255.0) * kScale));
        threshold[256] = UINT32_MAX;
        start.resize((full >> kStep) + 1);
        int k = 0;
        for (size_t i = 0; i < start.size(); ++i) {
            while (threshold[k + 1] <= (std::uint32_t(i) << kStep)) ++k;
            start[i] = static_cast<uchar>(k);
        }
    }
    // Coverage of a sum below full: a step of the table moves it by at most
    // two levels.
    uchar coverage(std::uint32_t sum) const {
        int k = start[sum >> kStep];
        while (sum >= threshold[k + 1]) ++k;
        return static_cast<uchar>(k);
    }
};

const Weights& weights() {
    static const Weights table;
    return table;
}

// Index of the first and the last non-zero byte of p[0, bytes), -1 when
// there is none; eight bytes at a time over the empty stretches.
int firstNonZero(const uchar* p, int bytes) {
    int i = 0;
    for (std::uint64_t word; i + 8 <= bytes; i += 8) {
        std::memcpy(&word, p + i, sizeof word);
        if (word) break;
    }
    for (; i < bytes; ++i)
        if (p[i]) return i;
    return -1;
}

int lastNonZero(const uchar* p, int bytes) {
    int i = bytes;
    for (std::uint64_t word; i >= 8; i -= 8) {
        std::memcpy(&word, p + i - 8, sizeof word);
        if (word) break;
    }
    while (i > 0)
        if (p[--i]) return i;
    return -1;
}

// A mask's coverage row by row: an Alpha8 mask as it is, an
// ARGB32_Premultiplied one (text drawn on transparent, which the raster
// engine does faster than on Alpha8) by its alpha.
class CoverageRows {
public:
    explicit CoverageRows(const QImage& mask)
        : m_mask(mask.format() == QImage::Format_Alpha8 || mask.format() == QImage::Format_ARGB32_Premultiplied
                     ? mask
                     : mask.convertToFormat(QImage::Format_ARGB32_Premultiplied)),
          m_bytes(m_mask.format() == QImage::Format_Alpha8 ? 1 : 4),
          m_row(m_bytes == 4 ? size_t(m_mask.width()) : 0) {}

    int width() const { return m_mask.width(); }
    int height() const { return m_mask.height(); }

    // The first and the last column of row y with coverage (a premultiplied
    // pixel without alpha is all zero); false when the row has none.
    bool extent(int y, int& first, int& last) const {
        const uchar* p = m_mask.constScanLine(y);
        const int bytes = m_mask.width() * m_bytes;
        const int f = firstNonZero(p, bytes);
        if (f < 0) return false;
        first = f / m_bytes;
        last = lastNonZero(p, bytes) / m_bytes;
        return true;
    }

    // Row y, valid in columns [from, to).
    const uchar* row(int y, int from, int to) {
        if (m_bytes == 1) return m_mask.constScanLine(y);
        const QRgb* p = reinterpret_cast<const QRgb*>(m_mask.constScanLine(y));
        for (int x = from; x < to; ++x) m_row[size_t(x)] = static_cast<uchar>(qAlpha(p[x]));
        return m_row.data();
    }

private:
    QImage m_mask;
    int m_bytes;
    std::vector<uchar> m_row;
};

// Columns [lo, hi) of a row of sums outside which it is zero.
struct Span {
    int lo = 0, hi = 0;
};

}  // namespace

OutlineCoverage dilatedCoverage(const QImage& source, QPoint maskOrigin, int d, const QRect& dest) {
    OutlineCoverage out;
    if (d <= 0 || source.isNull() || dest.isEmpty()) return out;
    d = std::min(d, kMaxShift);
    CoverageRows mask(source);
    // Each mask row's inked columns, in canvas columns, and the ink's bounds.
    const int mh = mask.height();
    std::vector<int> inkFirst(size_t(mh), 0), inkLast(size_t(mh), -1);
    QRect ink;
    for (int my = 0; my < mh; ++my) {
        int f, l;
        if (!mask.extent(my, f, l)) continue;
        inkFirst[size_t(my)] = f + maskOrigin.x();
        inkLast[size_t(my)] = l + maskOrigin.x();
        ink |= QRect(f, my, l - f + 1, 1).translated(maskOrigin);
    }
    if (ink.isEmpty()) return out;
    // Only pixels within d of the ink can be reached by a copy.
    const QRect area = ink.adjusted(-d, -d, d, d) & dest;
    if (area.isEmpty()) return out;
    out.alpha = QImage(area.size(), QImage::Format_Alpha8);
    if (out.alpha.isNull()) return out;
    out.origin = area.topLeft();

    const Weights& wt = weights();
    const std::uint32_t full = wt.full;
    const int W = area.width(), H = area.height(), span = 2 * d + 1;
    // A ring of the row sums of the last 2d + 1 rows with the columns where
    // each can be non-zero, the column sums over them, and one mask row as
    // weights from canvas column area.left() - d on.
    std::vector<std::uint32_t> ring(size_t(span) * size_t(W), 0), column(size_t(W), 0), weightRow(size_t(W + 2 * d), 0);
    std::vector<Span> spans(static_cast<size_t>(span));
    const int padLeft = area.left() - d, padRight = area.right() + d;

    // Row sums of canvas row y into slot: for each column x the window of
    // 2d + 1 weights around x less the weight at x itself (dx = 0).
    auto fillSlot = [&](int y, int slot) {
        std::uint32_t* sums = &ring[size_t(slot) * size_t(W)];
        Span& s = spans[size_t(slot)];
        std::fill(sums + s.lo, sums + s.hi, 0u);
        s = Span();
        const int my = y - maskOrigin.y();
        if (my < 0 || my >= mh || inkFirst[size_t(my)] > inkLast[size_t(my)]) return;
        const int a = std::max(inkFirst[size_t(my)], padLeft), b = std::min(inkLast[size_t(my)], padRight);
        if (a > b) return;
        s.lo = std::max(a - d - area.left(), 0);
        s.hi = std::min(b + d - area.left() + 1, W);
        if (s.lo >= s.hi) {
            s = Span();
            return;
        }
        std::uint32_t* w = weightRow.data();
        std::fill(w + s.lo, w + s.hi + 2 * d, 0u);
        const uchar* m = mask.row(my, a - maskOrigin.x(), b + 1 - maskOrigin.x());
        for (int x = a; x <= b; ++x) w[x - padLeft] = wt.w[m[x - maskOrigin.x()]];
        std::uint32_t window = 0;
        for (int i = s.lo; i < s.lo + 2 * d; ++i) window += w[i];
        for (int x = s.lo; x < s.hi; ++x) {
            window += w[x + 2 * d];
            sums[x] = std::min(window - w[x + d], full);
            window -= w[x];
        }
    };
    auto addSlot = [&](int slot) {
        const std::uint32_t* sums = &ring[size_t(slot) * size_t(W)];
        for (int x = spans[size_t(slot)].lo; x < spans[size_t(slot)].hi; ++x) column[size_t(x)] += sums[x];
    };

    const int firstRow = area.top() - d;
    for (int k = 0; k < 2 * d; ++k) {
        fillSlot(firstRow + k, k);
        addSlot(k);
    }
    for (int j = 0; j < H; ++j) {
        // Rows y - d .. y + d are in the ring; the one leaving is y - d.
        const int y = area.top() + j;
        const int entering = (j + 2 * d) % span, centreSlot = (j + d) % span, leaving = j % span;
        fillSlot(y + d, entering);
        addSlot(entering);
        int lo = W, hi = 0;
        for (const Span& s : spans)
            if (s.lo < s.hi) {
                lo = std::min(lo, s.lo);
                hi = std::max(hi, s.hi);
            }
        uchar* o = out.alpha.scanLine(j);
        if (lo >= hi) {
            std::memset(o, 0, size_t(W));
        } else {
            std::memset(o, 0, size_t(lo));
            std::memset(o + hi, 0, size_t(W - hi));
            const std::uint32_t* col = column.data();
            const std::uint32_t* centre = &ring[size_t(centreSlot) * size_t(W)];
            for (int x = lo; x < hi; ++x) {
                const std::uint32_t sum = col[x] - centre[x];
                o[x] = sum >= full ? 255 : sum == 0 ? 0 : wt.coverage(sum);
            }
        }
        const std::uint32_t* gone = &ring[size_t(leaving) * size_t(W)];
        for (int x = spans[size_t(leaving)].lo; x < spans[size_t(leaving)].hi; ++x) column[size_t(x)] -= gone[x];
    }
    return out;
}

void drawOutlinedText(QPainter& canvas, const OutlineCoverage& outline, const QColor& outlineColour,
                      const QImage& textMask, QPoint maskOrigin, const QColor& textColour) {
    const QImage& alpha = outline.alpha;
    if (alpha.isNull()) return;
    QImage paint(alpha.size(), QImage::Format_ARGB32_Premultiplied);
    if (paint.isNull()) return;
    CoverageRows text(textMask);
    const QRgb oc = outlineColour.rgba(), tc = textColour.rgba();
    QRgb shade[256];
    for (int a = 0; a < 256; ++a) shade[a] = qPremultiply(qRgba(qRed(oc), qGreen(oc), qBlue(oc), (a * qAlpha(oc) + 127) / 255));
    const QRgb solidText = qPremultiply(tc);
    const bool opaqueText = qAlpha(tc) == 255;
    // Text coverage t over outline coverage a, for the few pixels where the
    // text is partly there.
    auto mixed = [&](int t, int a) {
        const double ta = t * qAlpha(tc) / (255.0 * 255.0), oa = a * qAlpha(oc) / (255.0 * 255.0) * (1 - ta);
        auto channel = [&](int text, int line) { return int(text * ta + line * oa + 0.5); };
        return qRgba(channel(qRed(tc), qRed(oc)), channel(qGreen(tc), qGreen(oc)), channel(qBlue(tc), qBlue(oc)),
                     int(255 * (ta + oa) + 0.5));
    };
    const int W = alpha.width();
    // The mask's columns that fall inside the outline's rectangle.
    const int dx = outline.origin.x() - maskOrigin.x();
    const int from = std::clamp(-dx, 0, W), to = std::clamp(text.width() - dx, from, W);
    for (int y = 0; y < alpha.height(); ++y) {
        const uchar* a = alpha.constScanLine(y);
        QRgb* p = reinterpret_cast<QRgb*>(paint.scanLine(y));
        const int my = y + outline.origin.y() - maskOrigin.y();
        const uchar* m = my >= 0 && my < text.height() && from < to ? text.row(my, from + dx, to + dx) : nullptr;
        const int inkFrom = m ? from : W, inkTo = m ? to : W;
        for (int x = 0; x < inkFrom; ++x) p[x] = shade[a[x]];
        for (int x = inkFrom; x < inkTo; ++x) {
            const int t = m[x + dx];
            p[x] = t == 0 ? shade[a[x]] : t == 255 && opaqueText ? solidText : mixed(t, a[x]);
        }
        for (int x = inkTo; x < W; ++x) p[x] = shade[a[x]];
    }
    canvas.drawImage(outline.origin, paint);
}
