#include "render/fast/FigureMask.h"

#include "render/fast/DirectCanvas.h"
#include "render/GdiCanvas.h"
#include "render/fast/PixelRun.h"

#include <QImage>
#include <QMutex>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <unordered_map>
#include <memory>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr QRgb Untouched = 0xFF000000u, PenMark = 0xFFFF0000u, BrushMark = 0xFF00FF00u;
// Figures up to this many pixels a side, with pens up to this wide, placed
// where a double still counts whole pixels exactly after the curve maths.
constexpr int MaxSide = 512, MaxPen = 64, MaxCoord = 1 << 15;
constexpr size_t BudgetBytes = size_t(48) << 20;

// Kept masks in shards of their own lock, so that the threads making the
// masks of a first paint do not queue for one.
constexpr int Shards = 16;
struct Shard {
    QMutex mutex;
    std::unordered_map<quint64, std::shared_ptr<const FigureMask>> masks;
    size_t bytes = 0;
};
Shard g_shards[Shards];

// Hands each run of one colour in a row to take(from, to, colour): finds
// where the colour changes four pixels at a time, by comparing them with
// their left neighbours, so a run costs nothing to start.
template <typename Emit>
void forRuns(const QRgb* line, int width, Emit take) {
    int start = 0;
    int x = 1;
#ifdef __SSE2__
    for (; x + 4 <= width; x += 4) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + x));
        const __m128i left = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + x - 1));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(here, left)) == 0xFFFF) continue;
        for (int k = x; k < x + 4; ++k)
            if (line[k] != line[k - 1]) {
                take(start, k, line[start]);
                start = k;
            }
    }
#endif
    for (; x < width; ++x)
        if (line[x] != line[x - 1]) {
            take(start, x, line[start]);
            start = x;
        }
    take(start, width, line[start]);
}

}  // namespace

void FigureMask::forgetAll() {
    for (Shard& shard : g_shards) {
        const QMutexLocker lock(&shard.mutex);
        shard.masks.clear();
        shard.bytes = 0;
    }
}

size_t FigureMask::keptBytes() {
    size_t bytes = 0;
    for (Shard& shard : g_shards) {
        const QMutexLocker lock(&shard.mutex);
        bytes += shard.bytes;
    }
    return bytes;
}

size_t FigureMask::budgetBytes() { return BudgetBytes; }

FigureMask::FigureMask(const Key& key) {
    // A mask whose drawing touched its margin's outer edge is not used. The
    // first try leaves room for half the pen and a little more (the margin
    // is cleared and read for every mask); a figure reaching further, a
    // thin flat ellipse say, gets a second try with a margin that grows
    // with the figure.
    trace(key, key.pen / 2 + 3);
    if (!m_usable && !m_runs.empty()) trace(key, key.pen + 4 + std::max(key.w, key.h) / 4);
}

void FigureMask::trace(const Key& key, int margin) {
    m_usable = false;
    m_runs.clear();
    m_rowStart.clear();
    m_twiceRatio = key.twiceRatio;
    const qreal ratio = key.twiceRatio / 2.0;
    // At a half-number ratio the figure is drawn at a place of the parity
    // of its own, so that the two lie a whole number of device pixels apart.
    const int m = key.twiceRatio % 2 ? margin + margin % 2 : margin;
    m_origin = QPoint(m + (key.phase & 1), m + ((key.phase >> 1) & 1));
    const int w = key.w, h = key.h;
    const int width = int(std::ceil((w + 2 * m + 2) * ratio)), height = int(std::ceil((h + 2 * m + 2) * ratio));
    // One painter per thread for all the masks it makes.
    struct Scratch {
        QImage image;
        QPainter painter;
        int pen = -1, brush = -1;   // set on the painter; -1 none yet
        int twiceRatio = 2;
    };
    thread_local std::unique_ptr<Scratch> scratch;
    if (!scratch || scratch->image.width() < width || scratch->image.height() < height) {
        const int side = std::max({width, height, scratch ? scratch->image.width() : 0, 256});
        scratch.reset();
        scratch.reset(new Scratch{QImage(side, side, QImage::Format_RGB32), QPainter()});
        scratch->painter.begin(&scratch->image);
        scratch->painter.setRenderHint(QPainter::Antialiasing, false);
    }
    QPainter& p = scratch->painter;
    // The scale a high-density image gives its painter.
    if (scratch->twiceRatio != key.twiceRatio) {
        p.setTransform(QTransform::fromScale(ratio, ratio));
        scratch->twiceRatio = key.twiceRatio;
    }
    // Cleared in memory: the painter's fill costs as much as a small figure.
    // The painter writes into the same rows, which nothing else shares.
    uchar* const rows = scratch->image.bits();
    const qsizetype bytesPerLine = scratch->image.bytesPerLine();
    for (int y = 0; y < height; ++y) fillPixelRun(reinterpret_cast<QRgb*>(rows + y * bytesPerLine), width, Untouched);
    // Pen and brush changed only when they differ from the last mask's.
    if (scratch->pen != key.pen) {
        p.setPen(QPen(QColor::fromRgb(PenMark), key.pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        scratch->pen = key.pen;
    }
    // With and without a brush apart: the painter's thin ellipses place
    // their outline differently when they are filled.
    if (scratch->brush != int(key.brush)) {
        p.setBrush(key.brush ? QBrush(QColor::fromRgb(BrushMark)) : QBrush(Qt::NoBrush));
        scratch->brush = int(key.brush);
    }
    const int x = m_origin.x(), y = m_origin.y();
    switch (Kind(key.kind)) {
    case Kind::Ellipse: gdi::Ellipse(p, x, y, x + w, y + h); break;
    case Kind::RoundRect: gdi::RoundRect(p, x, y, x + w, y + h, key.cornerW, key.cornerH); break;
    case Kind::LineUp: gdi::Line(p, {x, y + h}, {x + w, y}); break;
    case Kind::LineDown: gdi::Line(p, {x, y}, {x + w, y + h}); break;
    case Kind::Rectangle: gdi::Rectangle(p, x, y, x + w, y + h); break;
    case Kind::LineRight: gdi::Line(p, {x, y}, {x + w, y}); break;
    case Kind::LineBelow: gdi::Line(p, {x, y}, {x, y + h}); break;
    }
    m_rowStart.reserve(size_t(height) + 1);
    m_runs.reserve(size_t(height) * 3);
    for (int r = 0; r < height; ++r) {
        m_rowStart.push_back(quint32(m_runs.size()));
        forRuns(reinterpret_cast<const QRgb*>(rows + r * bytesPerLine), width, [this](int from, int to, QRgb c) {
            if (c != PenMark && c != BrushMark) return;
            Run& run = m_runs.emplace_back();
            run.from = qint16(from);
            run.to = qint16(to);
            run.brush = quint8(c == BrushMark);
        });
    }
    m_rowStart.push_back(quint32(m_runs.size()));
    int top = height, bottom = -1, left = width, right = -1;
    for (int r = 0; r < height; ++r) {
        const quint32 first = m_rowStart[size_t(r)], last = m_rowStart[size_t(r) + 1];
        if (first == last) continue;
        top = std::min(top, r);
        bottom = r;
        left = std::min(left, int(m_runs[first].from));
        right = std::max(right, m_runs[last - 1].to - 1);
    }
    if (bottom < 0) return;   // draws nothing: an empty reach
    m_usable = top > 0 && left > 0 && bottom < height - 1 && right < width - 1;
    m_reach = QRect(QPoint(left, top), QPoint(right, bottom));
}

QPoint FigureMask::deviceShift(int x1, int y1) const {
    const qreal ratio = m_twiceRatio / 2.0;
    return QPoint(qRound(ratio * (x1 - m_origin.x())), qRound(ratio * (y1 - m_origin.y())));
}

std::shared_ptr<const FigureMask> FigureMask::of(const Key& key, bool makeNow) {
    // Every field within its bits (keyOf bounds them): one number per key.
    const quint64 k = quint64(key.kind) | quint64(key.w) << 3 | quint64(key.h) << 13 | quint64(key.cornerW) << 23 |
                      quint64(key.cornerH) << 34 | quint64(key.pen) << 45 | quint64(key.brush) << 52 |
                      quint64(key.twiceRatio) << 53 | quint64(key.phase) << 57;
    Shard& shard = g_shards[(k * 0x9E3779B97F4A7C15ull) >> 60];
    {
        const QMutexLocker lock(&shard.mutex);
        auto it = shard.masks.find(k);
        if (it == shard.masks.end()) {
            if (shard.bytes > BudgetBytes / Shards) {
                shard.masks.clear();
                shard.bytes = 0;
            }
            if (!makeNow) {
                // A figure seen once goes through the painter: most figures
                // of a first paint are one of a kind, and a mask costs more
                // than that.
                shard.masks.emplace(k, nullptr);
                shard.bytes += 64;
                return nullptr;
            }
        } else if (it->second) {
            return it->second;
        }
    }
    // Made outside the lock, so that the other threads go on drawing.
    std::shared_ptr<const FigureMask> mask(new FigureMask(key));
    const QMutexLocker lock(&shard.mutex);
    std::shared_ptr<const FigureMask>& slot = shard.masks[k];
    if (!slot) {
        slot = mask;
        shard.bytes += 64 + mask->m_runs.size() * sizeof(Run) + mask->m_rowStart.size() * sizeof(quint32);
    }
    return slot;
}

bool FigureMask::keyOf(const Figure& f, qreal ratio, Key& key, int& left, int& top) {
    int x1 = f.x1, y1 = f.y1, x2 = f.x2, y2 = f.y2;
    const bool straight = f.kind == Kind::LineRight || f.kind == Kind::LineBelow;
    const bool line = f.kind == Kind::LineUp || f.kind == Kind::LineDown || straight;
    if (!line) {
        if (x2 < x1) std::swap(x1, x2);
        if (y2 < y1) std::swap(y1, y2);
    }
    const int w = x2 - x1, h = y2 - y1;
    // Lines the other way round, and empty figures, go through the painter.
    if (straight) {
        if ((f.kind == Kind::LineRight ? w <= 0 || h != 0 : h <= 0 || w != 0)) return false;
    } else if (w <= 0 || h <= 0) {
        return false;
    }
    if (w > MaxSide || h > MaxSide || f.penWidth < 1 || f.penWidth > MaxPen || std::abs(x1) > MaxCoord ||
        std::abs(y1) > MaxCoord)
        return false;
    const int twice = qRound(2 * ratio);
    if (twice < 2 || twice > 8 || twice != 2 * ratio || ((f.kind == Kind::Rectangle || straight) && twice == 2))
        return false;
    // A wide pen's straight edges at a half-number ratio land on other
    // device pixels from place to place, whatever the parity.
    if (twice % 2 && (straight || (f.kind == Kind::Rectangle && f.penWidth > 1))) return false;
    key = Key{quint8(f.kind), w, h, 0, 0, f.penWidth, f.brush && !line};
    key.twiceRatio = quint8(twice);
    key.phase = twice % 2 ? quint8((x1 & 1) | (y1 & 1) << 1) : 0;
    if (!line) {
        // A pen as wide as the hole it leaves turns the stroke's inner edge
        // inside out; where its pixels fall then depends on the place.
        if (f.penWidth > 1 && 2 * f.penWidth >= std::min(w, h)) return false;
    }
    if (f.kind == Kind::RoundRect) {
        key.cornerW = std::abs(f.cornerW);
        key.cornerH = std::abs(f.cornerH);
        // A corner that makes it a plain rectangle, or one far beyond the
        // figure's size (the painter caps it): not worth a mask.
        if (key.cornerW < 2 || key.cornerH < 2 || key.cornerW > 2 * MaxSide || key.cornerH > 2 * MaxSide)
            return false;
        if (f.penWidth > 1 && 2 * f.penWidth >= std::min(key.cornerW, key.cornerH)) return false;
    }
    left = x1;
    top = y1;
    return true;
}

std::shared_ptr<const FigureMask> FigureMask::prepare(const Figure& figure, qreal ratio) {
    Key key;
    int left = 0, top = 0;
    if (!keyOf(figure, ratio, key, left, top)) return nullptr;
    std::shared_ptr<const FigureMask> mask = of(key, true);
    return mask && mask->m_usable ? mask : nullptr;
}

bool FigureMask::draw(const DirectCanvas& canvas, const Figure& figure, QRgb pen, const QRgb* brush) {
    Key key;
    int x1 = 0, y1 = 0;
    if (!keyOf(figure, canvas.ratio(), key, x1, y1)) {
        // The painter draws nothing for an empty ellipse or rounded rectangle.
        const bool line = figure.kind == Kind::LineUp || figure.kind == Kind::LineDown ||
                          figure.kind == Kind::LineRight || figure.kind == Kind::LineBelow;
        return !line && (figure.x1 == figure.x2 || figure.y1 == figure.y2);
    }
    // Far off the clip costs nothing to skip; the mask tells the exact reach.
    const int far = key.pen + 4 + std::max(key.w, key.h);
    const qreal r = canvas.ratio();
    const QRectF around(r * (x1 - far), r * (y1 - far), r * (key.w + 2 * far), r * (key.h + 2 * far));
    if (!around.toAlignedRect().intersects(canvas.clip())) return false;
    const std::shared_ptr<const FigureMask> mask = of(key, false);
    return mask && mask->m_usable && mask->drawAt(canvas, x1, y1, pen, brush);
}

bool FigureMask::drawAt(const DirectCanvas& canvas, int x1, int y1, QRgb pen, const QRgb* brush) const {
    if (!m_usable || qRound(2 * canvas.ratio()) != m_twiceRatio) return false;
    const QPoint shift = deviceShift(x1, y1);
    const QRect reach = m_reach.translated(shift);
    // A figure that crosses the image's edge: the plain painter clips its
    // thin pens by rules of their own there. The scaled painter of a
    // high-density image strokes every pen as an outline and clips only
    // whole spans, so there the kept pixels stay its pixels at the edge too.
    if (m_twiceRatio == 2 && !canvas.holds(reach)) return false;
    const QRect part = reach & canvas.clip();
    if (part.isEmpty()) return true;
    const quint32 colours[2] = {0xFF000000u | pen, brush ? (0xFF000000u | *brush) : 0u};
    for (int y = part.top(); y <= part.bottom(); ++y) {
        const int r = y - shift.y();
        quint32* const row = canvas.row(y);
        for (quint32 i = m_rowStart[size_t(r)], end = m_rowStart[size_t(r) + 1]; i < end; ++i) {
            const Run& run = m_runs[i];
            const int from = std::max(shift.x() + run.from, part.left()),
                      to = std::min(shift.x() + run.to, part.right() + 1);
            if (to > from) fillPixelRun(row + from, to - from, colours[run.brush]);
        }
    }
    return true;
}
