#include "render/OutlineMask.h"

#include <QPainter>
#include <algorithm>
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
    // of the weights and the count of full pixels at x - dx, dx = +-1..+-d:
    // a window over the row's running sums less its middle pixel, so the
    // cost does not grow with d.
    const int rowsH = H + 2 * d;
    std::vector<float> sumH(size_t(rowsH) * size_t(W), 0.0f);
    std::vector<int> fullH(size_t(rowsH) * size_t(W), 0);
    std::vector<double> prefixSum(size_t(mw) + 1);
    std::vector<int> prefixFull(size_t(mw) + 1);
    for (int r = 0; r < rowsH; ++r) {
        const int my = dest.top() - d + r - maskOrigin.y();
        if (my < 0 || my >= mh) continue;
        const uchar* m = mask.constScanLine(my);
        prefixSum[0] = 0;
        prefixFull[0] = 0;
        for (int i = 0; i < mw; ++i) {
            prefixSum[size_t(i) + 1] = prefixSum[size_t(i)] + (m[i] == 255 ? 0.0 : double(weights.w[m[i]]));
            prefixFull[size_t(i) + 1] = prefixFull[size_t(i)] + (m[i] == 255 ? 1 : 0);
        }
        float* s = &sumH[size_t(r) * size_t(W)];
        int* f = &fullH[size_t(r) * size_t(W)];
        for (int x = 0; x < W; ++x) {
            const int mx = dest.left() + x - maskOrigin.x();
            const int lo = std::clamp(mx - d, 0, mw), hi = std::clamp(mx + d + 1, 0, mw);
            if (lo >= hi) continue;
            double acc = prefixSum[size_t(hi)] - prefixSum[size_t(lo)];
            int full = prefixFull[size_t(hi)] - prefixFull[size_t(lo)];
            if (mx >= 0 && mx < mw) {
                if (m[mx] == 255) --full;
                else acc -= weights.w[m[mx]];
            }
            s[x] = float(acc);
            f[x] = full;
        }
    }
    // Vertical pass over dy = +-1..+-d, then the coverage: per column a
    // window of 2d + 1 rows slides down, its middle row left out.
    std::vector<double> winSum(size_t(W), 0.0);
    std::vector<int> winFull(size_t(W), 0);
    for (int r = 0; r < 2 * d && r < rowsH; ++r)
        for (int x = 0; x < W; ++x) {
            winSum[size_t(x)] += sumH[size_t(r) * size_t(W) + size_t(x)];
            winFull[size_t(x)] += fullH[size_t(r) * size_t(W) + size_t(x)];
        }
    for (int y = 0; y < H; ++y) {
        const size_t enter = size_t(y + 2 * d) * size_t(W), middle = size_t(y + d) * size_t(W);
        const size_t leave = size_t(y) * size_t(W);
        uchar* o = out.scanLine(y);
        for (int x = 0; x < W; ++x) {
            winSum[size_t(x)] += sumH[enter + size_t(x)];
            winFull[size_t(x)] += fullH[enter + size_t(x)];
            const int full = winFull[size_t(x)] - fullH[middle + size_t(x)];
            const double acc = winSum[size_t(x)] - sumH[middle + size_t(x)];
            if (full) o[x] = 255;
            else if (acc > 1e-9) o[x] = uchar(std::lround(255.0 * -std::expm1(-acc)));
            winSum[size_t(x)] -= sumH[leave + size_t(x)];
            winFull[size_t(x)] -= fullH[leave + size_t(x)];
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
