#include "image/DrawDib.h"

#include "image/RenderThreads.h"
#include "image/VectorArt.h"

#include <QGuiApplication>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QScreen>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr int kCoordCut = 1 << 28;

int roundHalfEven(long double v) { return static_cast<int>(std::nearbyint(v)); }

// The destination area that can reach the device, in the painter's logical
// coordinates; the whole destination when the transform is not a plain shift.
// The combined transform maps into the device's own rectangle; the device
// transform would add a widget's offset inside its window.
QRect reachableArea(const QPainter& dc, const QRect& dest) {
    const QTransform t = dc.combinedTransform();
    QRect r = dest;
    if (t.type() <= QTransform::TxTranslate && dc.device()) {
        const QRect device(0, 0, dc.device()->width(), dc.device()->height());
        r &= device.translated(-int(t.dx()), -int(t.dy()));
    }
    if (dc.hasClipping()) r &= dc.clipBoundingRect().toAlignedRect();
    return r;
}

// Vector devices (PDF, SVG) take the picture itself at its own pixel size and
// scale it when shown; scaling it here would only blow up the file.
bool vectorDevice(const QPainter& dc) {
    const QPaintEngine* e = dc.paintEngine();
    return e && (e->type() == QPaintEngine::Pdf || e->type() == QPaintEngine::SVG);
}

// The picture as a vector device gets it: palette entries with the alpha
// the file gives them (entries past the table opaque, as the scaler reads
// them) and, with a key, the keyed pixels fully transparent.
QImage vectorPicture(const DibHandle& dib, std::int64_t key) {
    const QImage& src = dib.image();
    QVector<QRgb> table;
    if (dib.hasPalette()) {
        table = src.colorTable();
        const int entries = table.size();
        table.resize(256);
        for (int i = entries; i < 256; ++i) table[i] |= 0xFF000000u;
    }
    if (key < 0) {
        // The record itself where nothing changes: the vector device then
        // sees the document's picture (its cache key) and can embed its file.
        if (!dib.hasPalette() || table == src.colorTable()) return src;
        QImage img = src;
        img.setColorTable(table);
        return img;
    }
    QImage out(src.size(), QImage::Format_ARGB32);
    if (out.isNull()) return out;
    const quint32 k = static_cast<quint32>(key);
    for (int y = 0; y < src.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        if (dib.hasPalette()) {
            const uchar* s = src.constScanLine(y);
            for (int x = 0; x < src.width(); ++x) line[x] = s[x] == k ? 0u : table[s[x]];
        } else {
            for (int x = 0; x < src.width(); ++x) {
                const QRgb v = src.pixel(x, y);
                const quint32 ref = quint32(qRed(v)) | (quint32(qGreen(v)) << 8) | (quint32(qBlue(v)) << 16);
                line[x] = ref == k ? 0u : v;
            }
        }
    }
    return out;
}

bool rasterDevice(const QPainter& dc) {
    const QPaintEngine* e = dc.paintEngine();
    return e && (e->type() == QPaintEngine::Raster);
}

// Nearest-neighbour scaling of the source rectangle into the part `part` of
// the destination `dest`, one destination row at a time. Pixels come out as
// premultiplied ARGB; transparent ones are 0.
class RowScaler {
public:
    RowScaler(const DibHandle& dib, int srcX, int topRow, int srcW, int srcH, const QRect& dest, const QRect& part,
              std::int64_t key)
        : m_src(dib.image()), m_indexed(dib.hasPalette()), m_keyed(key >= 0),
          m_key(key >= 0 ? static_cast<quint32>(key) : 0), m_topRow(topRow), m_srcH(srcH), m_dest(dest),
          m_part(part) {
        m_srcAlpha = !m_indexed && m_src.hasAlphaChannel();
        m_cols.resize(static_cast<size_t>(part.width()));
        const int iw = m_src.width();
        m_firstIn = part.width();
        m_endIn = 0;
        for (int i = 0; i < part.width(); ++i) {
            const long long di = part.left() - dest.left() + i;
            const int c = static_cast<int>(srcX + static_cast<long long>(srcW) * di / dest.width());
            m_cols[size_t(i)] = c;
            if (c >= 0 && c < iw) {
                m_firstIn = std::min(m_firstIn, i);
                m_endIn = i + 1;
            }
        }
        // The columns map in ascending order, so those inside the image form
        // one run; the plain loop below needs no bounds test.
        for (int i = m_firstIn; i < m_endIn; ++i)
            if (m_cols[size_t(i)] < 0 || m_cols[size_t(i)] >= iw) m_firstIn = m_endIn = 0;
        if (m_indexed) {
            // A palette entry the file marks transparent lets the ground show
            // as an RGBA picture does; entries past the table are opaque.
            const int entries = m_src.colorCount();
            m_table = m_src.colorTable();
            m_table.resize(256);
            m_outside = m_table[0] | 0xFF000000u;
            for (int i = 0; i < 256; ++i) {
                QRgb& c = m_table[i];
                if (i >= entries) c |= 0xFF000000u;
                const int a = qAlpha(c);
                if (a < 255) m_srcAlpha = true;
                if (a != 0 && a != 255) m_partialAlpha = true;
                c = qPremultiply(c);
            }
        } else {
            m_outside = 0xFF000000u;
            m_partialAlpha = m_srcAlpha;
        }
    }

    // Whether some pixels may be (partly) transparent.
    bool translucent() const { return m_keyed || m_srcAlpha; }
    // Whether every pixel is either opaque or fully transparent.
    bool binaryAlpha() const { return !m_partialAlpha; }

    // Row r of the part (0 = part.top()).
    void fill(int r, QRgb* line) const {
        const int width = m_part.width(), iw = m_src.width();
        const long long dr = m_part.top() - m_dest.top() + r;
        const int t = static_cast<int>(m_topRow + static_cast<long long>(m_srcH) * dr / m_dest.height());
        if (t < 0 || t >= m_src.height()) {
            std::fill(line, line + width, m_outside);
            return;
        }
        if (m_indexed) {
            const uchar* s = m_src.constScanLine(t);
            for (int i = 0; i < width; ++i) {
                const int c = m_cols[size_t(i)];
                if (c < 0 || c >= iw) { line[i] = m_outside; continue; }
                const uchar v = s[c];
                line[i] = (m_keyed && v == m_key) ? 0u : m_table[v];
            }
            return;
        }
        const QRgb* s = reinterpret_cast<const QRgb*>(m_src.constScanLine(t));
        if (!m_keyed && !m_srcAlpha && m_endIn > m_firstIn) {
            // The common case (an opaque picture): a gather through the
            // column table and nothing else.
            std::fill(line, line + m_firstIn, 0xFF000000u);
            const int* cols = m_cols.data();
            for (int i = m_firstIn; i < m_endIn; ++i) line[i] = s[cols[i]] | 0xFF000000u;
            std::fill(line + m_endIn, line + width, 0xFF000000u);
            return;
        }
        for (int i = 0; i < width; ++i) {
            const int c = m_cols[size_t(i)];
            if (c < 0 || c >= iw) { line[i] = 0xFF000000u; continue; }
            const QRgb v = s[c];
            if (m_keyed) {
                const quint32 ref = quint32(qRed(v)) | (quint32(qGreen(v)) << 8) | (quint32(qBlue(v)) << 16);
                if (ref == m_key) { line[i] = 0u; continue; }
            }
            line[i] = m_srcAlpha ? qPremultiply(v) : (v | 0xFF000000u);
        }
    }

    // The source row that row r of the part shows (outside the image: -1).
    int sourceRow(int r) const {
        const long long dr = m_part.top() - m_dest.top() + r;
        const int t = static_cast<int>(m_topRow + static_cast<long long>(m_srcH) * dr / m_dest.height());
        return t < 0 || t >= m_src.height() ? -1 : t;
    }

private:
    const QImage& m_src;
    bool m_indexed;
    bool m_keyed;
    quint32 m_key;
    bool m_srcAlpha = false;
    bool m_partialAlpha = false;
    int m_topRow, m_srcH;
    QRect m_dest, m_part;
    std::vector<int> m_cols;
    QVector<QRgb> m_table;
    QRgb m_outside = 0;
    int m_firstIn = 0, m_endIn = 0;
};

// The painter's own pixels, when it paints plainly onto a 32-bit image with
// at most a shift: then rows go straight into the image, without a
// temporary picture and a second copy.
QImage* directTarget(const QPainter& dc, QPoint& shift) {
    if (!dc.device() || dc.device()->devType() != QInternal::Image) return nullptr;
    auto* img = static_cast<QImage*>(dc.device());
    if (img->format() != QImage::Format_RGB32 && img->format() != QImage::Format_ARGB32_Premultiplied)
        return nullptr;
    const QPainter::CompositionMode mode = dc.compositionMode();
    if (mode != QPainter::CompositionMode_SourceOver && mode != QPainter::CompositionMode_Source) return nullptr;
    if (dc.opacity() != 1.0) return nullptr;
    const QTransform t = dc.deviceTransform();
    if (t.type() > QTransform::TxTranslate || t.dx() != int(t.dx()) || t.dy() != int(t.dy())) return nullptr;
    if (dc.hasClipping() && dc.clipRegion().rectCount() > 1) return nullptr;
    shift = QPoint(int(t.dx()), int(t.dy()));
    return img;
}

// On a buffer for a high-density screen (a painter that scales uniformly
// onto a 32-bit image) the picture is scaled straight to the device's pixels,
// as sharp as that screen allows. Its edges lie where the raster engine puts
// those of a filled rectangle of the same logical size. false: not such a
// painter or picture; nothing drawn.
bool drawOnDeviceGrid(QPainter& dc, const QRect& dest, const DibHandle& dib, int srcX, int topRow, int srcW,
                      int srcH, std::int64_t key) {
    const QTransform t = dc.deviceTransform();
    if (t.type() != QTransform::TxScale || t.m11() != t.m22() || t.m11() <= 1.0) return false;
    if (!dc.device() || dc.device()->devType() != QInternal::Image) return false;
    auto* img = static_cast<QImage*>(dc.device());
    if (img->format() != QImage::Format_RGB32 && img->format() != QImage::Format_ARGB32_Premultiplied) return false;
    const QPainter::CompositionMode mode = dc.compositionMode();
    if (mode != QPainter::CompositionMode_SourceOver && mode != QPainter::CompositionMode_Source) return false;
    if (dc.opacity() != 1.0 || (dc.hasClipping() && dc.clipRegion().rectCount() > 1)) return false;
    const qreal r = t.m11();
    const auto edge = [r](long long v, qreal shift) {
        return static_cast<int>(std::clamp<qint64>(qRound64(v * r + shift), -kCoordCut, kCoordCut));
    };
    const int x1 = edge(dest.left(), t.dx()), y1 = edge(dest.top(), t.dy());
    const int x2 = edge(static_cast<long long>(dest.left()) + dest.width(), t.dx());
    const int y2 = edge(static_cast<long long>(dest.top()) + dest.height(), t.dy());
    if (x2 <= x1 || y2 <= y1) return true;
    const QRect device(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1));
    QRect part = device & img->rect();
    if (dc.hasClipping()) part &= t.mapRect(dc.clipBoundingRect()).toRect();
    if (part.isEmpty()) return true;
    const RowScaler scaler(dib, srcX, topRow, srcW, srcH, device, part, key);
    if (!scaler.binaryAlpha()) return false;
    const bool skipTransparent = scaler.translucent() && mode == QPainter::CompositionMode_SourceOver;
    std::vector<QRgb> row(static_cast<size_t>(part.width()));
    for (int y = 0; y < part.height(); ++y) {
        // constScanLine: the painter writes into this very buffer.
        auto* line = reinterpret_cast<QRgb*>(const_cast<uchar*>(img->constScanLine(part.top() + y))) + part.left();
        scaler.fill(y, row.data());
        for (int i = 0; i < part.width(); ++i)
            if (!skipTransparent || row[size_t(i)]) line[i] = row[size_t(i)];
    }
    return true;
}

void drawScaled(QPainter& dc, const QRect& dest, const DibHandle& dib, int srcX, int topRow, int srcW,
                int srcH, std::int64_t key) {
    if (dest.width() <= 0 || dest.height() <= 0 || srcW <= 0 || srcH <= 0) return;
    if (drawOnDeviceGrid(dc, dest, dib, srcX, topRow, srcW, srcH, key)) return;
    const QRect part = reachableArea(dc, dest);
    if (part.isEmpty()) return;
    const RowScaler scaler(dib, srcX, topRow, srcW, srcH, dest, part, key);

    QPoint shift;
    QImage* target = scaler.binaryAlpha() ? directTarget(dc, shift) : nullptr;
    if (target && dc.compositionMode() == QPainter::CompositionMode_SourceOver) {
        const bool skipTransparent = scaler.translucent();
        // Rows in chunks; a large picture shares its chunks out on the pool.
        constexpr int kChunkRows = 64;
        const int chunks = (part.height() + kChunkRows - 1) / kChunkRows;
        auto scaleRows = [&](int chunk) {
            std::vector<QRgb> row(skipTransparent ? static_cast<size_t>(part.width()) : 0);
            const QRgb* prevLine = nullptr;
            const int end = std::min(part.height(), (chunk + 1) * kChunkRows);
            for (int r = chunk * kChunkRows; r < end; ++r) {
                // constScanLine: the painter writes into this very buffer; a
                // detaching scanLine() could leave it writing elsewhere.
                auto* line = reinterpret_cast<QRgb*>(const_cast<uchar*>(target->constScanLine(part.top() + r + shift.y()))) +
                             part.left() + shift.x();
                if (!skipTransparent) {
                    // Enlarged pictures repeat a source row: copy the row above.
                    const int t = scaler.sourceRow(r);
                    if (prevLine && t >= 0 && t == scaler.sourceRow(r - 1)) {
                        std::memcpy(line, prevLine, size_t(part.width()) * sizeof(QRgb));
                    } else {
                        scaler.fill(r, line);
                    }
                    prevLine = line;
                    continue;
                }
                scaler.fill(r, row.data());
                for (int i = 0; i < part.width(); ++i)
                    if (row[size_t(i)]) line[i] = row[size_t(i)];
            }
        };
        if (qint64(part.width()) * part.height() >= 512 * 1024)
            parallelFor(chunks, scaleRows);
        else
            for (int c = 0; c < chunks; ++c) scaleRows(c);
        return;
    }

    // Big parts are scaled a stripe at a time, so the temporary stays small.
    constexpr int kStripeBytes = 16 * 1024 * 1024;
    const int stripe = std::max(1, kStripeBytes / std::max(1, part.width() * 4));
    for (int y = part.top(); y <= part.bottom(); y += stripe) {
        const QRect piece(part.left(), y, part.width(), std::min(stripe, part.bottom() - y + 1));
        QImage img(piece.size(), scaler.translucent() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        if (img.isNull()) return;
        for (int r = 0; r < piece.height(); ++r)
            scaler.fill(y - part.top() + r, reinterpret_cast<QRgb*>(img.scanLine(r)));
        dc.drawImage(piece.topLeft(), img);
    }
}

}  // namespace

int ScreenBitsPerPixel() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->depth() : 24;
}

DibClip clipDibSource(const DibClip& in, int width, int height) {
    DibClip c = in;
    if (c.SrcWidth > 0 && c.SrcX + c.SrcWidth > width) {
        const int kept = width - c.SrcX;
        c.DestWidth = roundHalfEven(static_cast<long double>(c.DestWidth) * kept / c.SrcWidth);
        c.SrcWidth = kept;
    }
    if (c.SrcHeight > 0 && c.SrcY < 0) {
        const int kept = c.SrcHeight + c.SrcY;
        c.DestHeight = roundHalfEven(static_cast<long double>(c.DestHeight) * kept / c.SrcHeight);
        c.SrcHeight = kept;
        c.SrcY = 0;
    }
    if (c.SrcHeight > 0 && c.SrcY + c.SrcHeight > height) {
        const int kept = height - c.SrcY;
        const int now = roundHalfEven(static_cast<long double>(c.DestHeight) * kept / c.SrcHeight);
        c.Y += c.DestHeight - now;
        c.DestHeight = now;
        c.SrcHeight = kept;
    }
    if (c.SrcWidth > 0 && c.SrcX < 0) {
        const int kept = c.SrcWidth + c.SrcX;
        const int now = roundHalfEven(static_cast<long double>(c.DestWidth) * kept / c.SrcWidth);
        c.X += c.DestWidth - now;
        c.DestWidth = now;
        c.SrcWidth = kept;
        c.SrcX = 0;
    }
    return c;
}

// Where a drawing goes: far-off coordinates cut down as for every picture.
static QRectF vectorDest(int X, int Y, int DestWidth, int DestHeight) {
    auto cut = [](int v) { return std::clamp(v, -kCoordCut, kCoordCut); };
    return QRectF(cut(X), cut(Y), cut(DestWidth), cut(DestHeight));
}

void DrawVectorDib(QPainter& dc, int X, int Y, int DestWidth, int DestHeight, const DibHandle& image,
                   const std::vector<QRect>& hidden) {
    if (image.isVector())
        drawVectorArt(dc, vectorDest(X, Y, DestWidth, DestHeight), *image.vectorArt(), image.vectorTurns(), hidden);
}

std::vector<QRect> VectorDibCover(const QPainter& dc, int X, int Y, int DestWidth, int DestHeight,
                                  const DibHandle& image) {
    if (!image.isVector()) return {};
    return vectorArtCover(dc, vectorDest(X, Y, DestWidth, DestHeight), *image.vectorArt(), image.vectorTurns());
}

QImage vectorPictureOf(const DibHandle& image, std::int64_t transparentValue) {
    return vectorPicture(image, transparentValue);
}

void DrawDib(QPainter& dc, int X, int Y, int DestWidth, int DestHeight, const DibHandle& image,
             int SrcX, int SrcY, int SrcWidth, int SrcHeight, bool Halftone, std::uint32_t Rop,
             bool UseDibPalette) {
    Q_UNUSED(Rop);
    Q_UNUSED(UseDibPalette);
    if (image.isEmpty()) return;
    // Coordinates far beyond any device are cut down so that sums stay in range.
    auto cut = [](int v) { return std::clamp(v, -kCoordCut, kCoordCut); };
    if (image.isVector() && SrcX == 0 && SrcY == 0 && SrcWidth == image.DibWidth() &&
        SrcHeight == image.DibHeight()) {
        drawVectorArt(dc, vectorDest(X, Y, DestWidth, DestHeight), *image.vectorArt(), image.vectorTurns());
        return;
    }
    const DibClip c = clipDibSource({cut(X), cut(Y), cut(DestWidth), cut(DestHeight), cut(SrcX), cut(SrcY),
                                     cut(SrcWidth), cut(SrcHeight)},
                                    image.DibWidth(), image.DibHeight());
    if (c.DestWidth <= 0 || c.DestHeight <= 0 || c.SrcWidth <= 0 || c.SrcHeight <= 0) return;
    const int topRow = image.DibHeight() - c.SrcY - c.SrcHeight;
    const QRect dest(c.X, c.Y, c.DestWidth, c.DestHeight);

    if (Halftone && image.DibBitCount() == 24 && ScreenBitsPerPixel() <= 8) {
        dc.save();
        dc.setRenderHint(QPainter::SmoothPixmapTransform, true);
        dc.drawImage(dest, image.image(), QRect(c.SrcX, topRow, c.SrcWidth, c.SrcHeight));
        dc.restore();
        return;
    }
    if (vectorDevice(dc)) {
        dc.drawImage(QRectF(dest), vectorPicture(image, -1), QRectF(c.SrcX, topRow, c.SrcWidth, c.SrcHeight));
        return;
    }
    if (!rasterDevice(dc) && dc.deviceTransform().type() > QTransform::TxTranslate) {
        dc.drawImage(dest, image.image(), QRect(c.SrcX, topRow, c.SrcWidth, c.SrcHeight));
        return;
    }
    drawScaled(dc, dest, image, c.SrcX, topRow, c.SrcWidth, c.SrcHeight, -1);
}

void DrawDibTransparent(QPainter& dc, int X, int Y, int DestWidth, int DestHeight, const DibHandle& image,
                        std::int64_t transparentValue) {
    if (image.isEmpty()) return;
    auto cut = [](int v) { return std::clamp(v, -kCoordCut, kCoordCut); };
    if (image.isVector()) {
        // A drawing has no pixel to key: where it draws nothing, what lies
        // beneath shows anyway.
        drawVectorArt(dc, vectorDest(X, Y, DestWidth, DestHeight), *image.vectorArt(), image.vectorTurns());
        return;
    }
    if (vectorDevice(dc)) {
        if (DestWidth <= 0 || DestHeight <= 0) return;
        const QImage pic = vectorPicture(image, transparentValue);
        if (!pic.isNull()) dc.drawImage(QRectF(cut(X), cut(Y), cut(DestWidth), cut(DestHeight)), pic);
        return;
    }
    drawScaled(dc, QRect(cut(X), cut(Y), cut(DestWidth), cut(DestHeight)), image, 0, 0, image.DibWidth(), image.DibHeight(),
               transparentValue);
}
