#include "image/ImageRotation.h"

#include <atomic>
#include <cstdint>

namespace {

enum class Turn { Left, Right, Half };

// Target position of source pixel (x, y) in a W x H picture.
template <typename Pixel>
void turnPixels(const QImage& src, QImage& dst, Turn turn, const ProgressCallback& progress) {
    const int w = src.width();
    const int h = src.height();
    int lastReported = -1;
    for (int y = 0; y < h; ++y) {
        if (progress) {
            const int percent = h > 1 ? int(qint64(y) * 100 / (h - 1)) : 100;
            if (percent != lastReported) {
                progress(percent);
                lastReported = percent;
            }
        }
        const Pixel* in = reinterpret_cast<const Pixel*>(src.constScanLine(y));
        switch (turn) {
        case Turn::Left: {
            // (x, y) -> column y, row W-1-x
            for (int x = 0; x < w; ++x)
                reinterpret_cast<Pixel*>(dst.scanLine(w - 1 - x))[y] = in[x];
            break;
        }
        case Turn::Right: {
            // (x, y) -> column H-1-y, row x
            const int column = h - 1 - y;
            for (int x = 0; x < w; ++x)
                reinterpret_cast<Pixel*>(dst.scanLine(x))[column] = in[x];
            break;
        }
        case Turn::Half: {
            Pixel* out = reinterpret_cast<Pixel*>(dst.scanLine(h - 1 - y));
            for (int x = 0; x < w; ++x) out[w - 1 - x] = in[x];
            break;
        }
        }
    }
}

std::atomic<qint64> testAllocationLimit{0};

bool turn(DibHandle& dib, Turn how, const ProgressCallback& progress) {
    if (dib.isEmpty()) return false;
    const QImage& src = dib.image();
    const int w = src.width();
    const int h = src.height();
    const bool swap = how != Turn::Half;
    const qint64 limit = testAllocationLimit;
    QImage dst;
    if (limit == 0 || src.sizeInBytes() <= limit) dst = QImage(swap ? h : w, swap ? w : h, src.format());
    if (progress) progress(0);
    if (dst.isNull()) {
        // Losing the picture because memory is short would be worse than
        // not turning it.
        if (progress) progress(0);
        return false;
    }
    if (src.format() == QImage::Format_Indexed8) dst.setColorTable(src.colorTable());
    dst.setDotsPerMeterX(swap ? src.dotsPerMeterY() : src.dotsPerMeterX());
    dst.setDotsPerMeterY(swap ? src.dotsPerMeterX() : src.dotsPerMeterY());
    if (src.depth() == 8)
        turnPixels<std::uint8_t>(src, dst, how, progress);
    else
        turnPixels<std::uint32_t>(src, dst, how, progress);
    if (progress) progress(0);
    const int bits = dib.DibBitCount();
    // A drawing turns as a whole: its stand-in pixels above, the drawing by
    // its count of turns.
    std::shared_ptr<const VectorArt> art;
    if (dib.isVector()) art = std::shared_ptr<const VectorArt>(dib.vectorArtShared());
    const int turns = dib.vectorTurns() + (how == Turn::Left ? 3 : how == Turn::Right ? 1 : 2);
    dib = DibHandle(dst, bits);
    if (art) dib.setVectorArt(art, turns);
    return true;
}

}  // namespace

bool RotLeft(DibHandle& dib, const ProgressCallback& progress) { return turn(dib, Turn::Left, progress); }
bool RotRight(DibHandle& dib, const ProgressCallback& progress) { return turn(dib, Turn::Right, progress); }
bool Rot180(DibHandle& dib, const ProgressCallback& progress) { return turn(dib, Turn::Half, progress); }

void SetRotationAllocationLimitForTests(qint64 bytes) { testAllocationLimit = bytes; }
