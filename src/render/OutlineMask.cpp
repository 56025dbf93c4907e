#include "render/OutlineMask.h"

#include <QPainter>
#include <cmath>
#include <vector>

namespace {

// Per mask value: -ln(1 - a/255); a fully covered pixel is counted apart.
struct Weights {
    float w[256];
    Weights() {
        for (int a = 0; a < 255; ++a) w[a] = float(-std::log1p(-a / 255.0));
        w[255] = 0;
    }
};

}  // namespace

QImage dilatedCoverage(const QImage& mask, QPoint maskOrigin, int d, const QRect& dest) {
    static const Weights weights;
    QImage out(dest.size(), QImage::Format_Alpha8);
    if (out.isNull()) return out;
    out.fill(0);
    const int mw = mask.width(), mh = mask.height();
    const int W = dest.width(), H = dest.height();
    // Rows of the mask that can reach dest, in dest's row numbering plus d.
    // Horizontal pass: for each mask row, over the columns of dest, the sum
    // of the weights and the count of full pixels at x - dx, dx = +-1..+-d.
    const int rowsH = H + 2 * d;
    std::vector<float> sumH(size_t(rowsH) * size_t(W), 0.0f);
    std::vector<unsigned short> fullH(size_t(rowsH) * size_t(W), 0);
    for (int r = 0; r < rowsH; ++r) {
        const int my = dest.top() - d + r - maskOrigin.y();
        if (my < 0 || my >= mh) continue;
        const uchar* m = mask.constScanLine(my);
        float* s = &sumH[size_t(r) * size_t(W)];
        unsigned short* f = &fullH[size_t(r) * size_t(W)];
        for (int x = 0; x < W; ++x) {
            const int mx = dest.left() + x - maskOrigin.x();
            float acc = 0;
            unsigned short full = 0;
            for (int dx = -d; dx <= d; ++dx) {
                if (dx == 0) continue;
                const int sx = mx - dx;
                if (sx < 0 || sx >= mw) continue;
                const uchar a = m[sx];
                if (a == 255) ++full;
                else acc += weights.w[a];
            }
            s[x] = acc;
            f[x] = full;
        }
    }
    // Vertical pass over dy = +-1..+-d, then the coverage.
    for (int y = 0; y < H; ++y) {
        uchar* o = out.scanLine(y);
        for (int x = 0; x < W; ++x) {
            float acc = 0;
            unsigned full = 0;
            for (int dy = -d; dy <= d; ++dy) {
                if (dy == 0) continue;
                const size_t i = size_t(y + d - dy) * size_t(W) + size_t(x);
                acc += sumH[i];
                full += fullH[i];
            }
            if (full) o[x] = 255;
            else if (acc > 0) o[x] = uchar(std::lround(255.0 * -std::expm1(-double(acc))));
        }
    }
    return out;
}

void drawCoverage(QPainter& canvas, const QImage& coverage, QPoint destOrigin, const QColor& colour) {
    QImage paint(coverage.size(), QImage::Format_ARGB32_Premultiplied);
    if (paint.isNull()) return;
    const QRgb c = colour.rgb();
    bool any = false;
    for (int y = 0; y < coverage.height(); ++y) {
        const uchar* a = coverage.constScanLine(y);
        QRgb* p = reinterpret_cast<QRgb*>(paint.scanLine(y));
        for (int x = 0; x < coverage.width(); ++x) {
            p[x] = a[x] ? qPremultiply(qRgba(qRed(c), qGreen(c), qBlue(c), a[x])) : 0u;
            any = any || a[x];
        }
    }
    if (any) canvas.drawImage(destOrigin, paint);
}
