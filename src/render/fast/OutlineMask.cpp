#include "render/fast/OutlineMask.h"

#include <QPainter>
#include <algorithm>
#include <climits>
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

// Four sums at a time (vector types that gcc and clang both know; without
// SIMD they become plain code).
typedef std::uint32_t Sums4 __attribute__((vector_size(16)));
typedef std::int32_t Flags4 __attribute__((vector_size(16)));
typedef signed char Bytes4 __attribute__((vector_size(4)));

inline Sums4 load4(const std::uint32_t* p) {
    Sums4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void store4(std::uint32_t* p, Sums4 v) { std::memcpy(p, &v, sizeof v); }

void addRow(std::uint32_t* column, const std::uint32_t* row, int lo, int hi) {
    int x = lo;
    for (; x + 4 <= hi; x += 4) store4(column + x, load4(column + x) + load4(row + x));
    for (; x < hi; ++x) column[x] += row[x];
}

void subtractRow(std::uint32_t* column, const std::uint32_t* row, int lo, int hi) {
    int x = lo;
    for (; x + 4 <= hi; x += 4) store4(column + x, load4(column + x) - load4(row + x));
    for (; x < hi; ++x) column[x] -= row[x];
}

// Coverage of column[x] - centre[x] for x in [lo, hi): 0 and 255 four at a
// time, the edge values between them one by one.
void coverageRow(uchar* out, const std::uint32_t* column, const std::uint32_t* centre, int lo, int hi,
                 const Weights& wt) {
    const Sums4 full = {wt.full, wt.full, wt.full, wt.full};
    int x = lo;
    for (; x + 4 <= hi; x += 4) {
        const Sums4 sum = load4(column + x) - load4(centre + x);
        const Flags4 covered = sum >= full, empty = sum == 0;
        const Flags4 settled = covered | empty;
        if (settled[0] & settled[1] & settled[2] & settled[3]) {
            const Bytes4 bytes = __builtin_convertvector(covered, Bytes4);
            std::memcpy(out + x, &bytes, sizeof bytes);
        } else {
            for (int i = 0; i < 4; ++i) out[x + i] = covered[i] ? 255 : empty[i] ? 0 : wt.coverage(sum[i]);
        }
    }
    for (; x < hi; ++x) {
        const std::uint32_t sum = column[x] - centre[x];
        out[x] = sum >= wt.full ? 255 : sum == 0 ? 0 : wt.coverage(sum);
    }
}

// Masks are ARGB32_Premultiplied: text drawn on transparent, which the
// raster engine does faster than on Alpha8; the alpha is the coverage and
// a pixel without it is all zero.
QImage premultiplied(const QImage& mask) {
    return mask.format() == QImage::Format_ARGB32_Premultiplied
               ? mask
               : mask.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

inline const QRgb* pixels(const QImage& image, int y) { return reinterpret_cast<const QRgb*>(image.constScanLine(y)); }

// The first and the last pixel of a row that is not zero; false when none.
bool rowExtent(const QRgb* row, int width, int& first, int& last) {
    // Two pixels at a time over the empty stretches.
    int i = 0;
    for (std::uint64_t pair; i + 2 <= width; i += 2) {
        std::memcpy(&pair, row + i, sizeof pair);
        if (pair) break;
    }
    while (i < width && !row[i]) ++i;
    if (i == width) return false;
    first = i;
    int j = width;
    for (std::uint64_t pair; j - 2 >= i; j -= 2) {
        std::memcpy(&pair, row + j - 2, sizeof pair);
        if (pair) break;
    }
    while (!row[j - 1]) --j;
    last = j - 1;
    return true;
}

// Columns [lo, hi) of a row of sums outside which it is zero.
struct Span {
    int lo = 0, hi = 0;
};

}  // namespace

OutlineCoverage dilatedCoverage(const QImage& source, QPoint maskOrigin, int d, const QRect& dest) {
    OutlineCoverage out;
    if (d <= 0 || source.isNull() || dest.isEmpty()) return out;
    d = std::min(d, kMaxShift);
    const QImage mask = premultiplied(source);
    // Each mask row's inked columns, in canvas columns, and the ink's bounds.
    const int mh = mask.height();
    std::vector<int> inkFirst(size_t(mh), 0), inkLast(size_t(mh), -1);
    QRect ink;
    for (int my = 0; my < mh; ++my) {
        int f, l;
        if (!rowExtent(pixels(mask, my), mask.width(), f, l)) continue;
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
        std::uint32_t* w = weightRow.data();
        std::fill(w + s.lo, w + s.hi + 2 * d, 0u);
        const QRgb* m = pixels(mask, my);
        for (int x = a; x <= b; ++x) w[x - padLeft] = wt.w[qAlpha(m[x - maskOrigin.x()])];
        std::uint32_t window = 0;
        for (int i = s.lo; i < s.lo + 2 * d; ++i) window += w[i];
        for (int x = s.lo; x < s.hi; ++x) {
            window += w[x + 2 * d];
            sums[x] = std::min(window - w[x + d], full);
            window -= w[x];
        }
    };
    auto slotRow = [&](int slot) { return &ring[size_t(slot) * size_t(W)]; };

    const int firstRow = area.top() - d;
    for (int k = 0; k < 2 * d; ++k) {
        fillSlot(firstRow + k, k);
        addRow(column.data(), slotRow(k), spans[size_t(k)].lo, spans[size_t(k)].hi);
    }
    for (int j = 0; j < H; ++j) {
        // Rows y - d .. y + d are in the ring; the one leaving is y - d.
        const int y = area.top() + j;
        const int entering = (j + 2 * d) % span, centre = (j + d) % span, leaving = j % span;
        fillSlot(y + d, entering);
        addRow(column.data(), slotRow(entering), spans[size_t(entering)].lo, spans[size_t(entering)].hi);
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
            coverageRow(o, column.data(), slotRow(centre), lo, hi, wt);
        }
        subtractRow(column.data(), slotRow(leaving), spans[size_t(leaving)].lo, spans[size_t(leaving)].hi);
    }
    return out;
}

void drawOutlinedText(QPainter& canvas, const OutlineCoverage& outline, const QColor& outlineColour,
                      const QImage& textMask, QPoint maskOrigin, const QColor& textColour) {
    const QImage& alpha = outline.alpha;
    if (alpha.isNull()) return;
    QImage paint(alpha.size(), QImage::Format_ARGB32_Premultiplied);
    if (paint.isNull()) return;
    const QImage text = premultiplied(textMask);
    const QRgb oc = outlineColour.rgba(), tc = textColour.rgba();
    QRgb shade[256];
    for (int a = 0; a < 256; ++a) shade[a] = qPremultiply(qRgba(qRed(oc), qGreen(oc), qBlue(oc), (a * qAlpha(oc) + 127) / 255));
    const bool opaqueText = qAlpha(tc) == 255;
    const QRgb solidText = qPremultiply(tc);
    // Text coverage t over outline coverage a (source over, each with its
    // colour's alpha), for the pixels where the text is partly there.
    auto mixed = [&](int t, int a) {
        const int ta = (t * qAlpha(tc) + 127) / 255, oa = (a * qAlpha(oc) + 127) / 255 * (255 - ta);
        auto channel = [&](int text, int line) { return (text * ta * 255 + line * oa + 32512) / 65025; };
        return qRgba(channel(qRed(tc), qRed(oc)), channel(qGreen(tc), qGreen(oc)), channel(qBlue(tc), qBlue(oc)),
                     (ta * 255 + oa + 127) / 255);
    };
    const int W = alpha.width();
    // The mask's columns that fall inside the outline's rectangle.
    const int dx = outline.origin.x() - maskOrigin.x();
    const int from = std::clamp(-dx, 0, W), to = std::clamp(text.width() - dx, from, W);
    for (int y = 0; y < alpha.height(); ++y) {
        const uchar* a = alpha.constScanLine(y);
        QRgb* p = reinterpret_cast<QRgb*>(paint.scanLine(y));
        const int my = y + outline.origin.y() - maskOrigin.y();
        const bool inMask = my >= 0 && my < text.height();
        const int inkFrom = inMask ? from : W, inkTo = inMask ? to : W;
        for (int x = 0; x < inkFrom; ++x) p[x] = shade[a[x]];
        if (inkFrom < inkTo) {
            const QRgb* m = pixels(text, my);
            for (int x = inkFrom; x < inkTo; ++x) {
                const int t = qAlpha(m[x + dx]);
                p[x] = t == 0 ? shade[a[x]] : t == 255 && opaqueText ? solidText : mixed(t, a[x]);
            }
        }
        for (int x = inkTo; x < W; ++x) p[x] = shade[a[x]];
    }
    canvas.drawImage(outline.origin, paint);
}
