#include "render/RulerPainter.h"

#include <QFont>
#include <QPainter>
#include <QtMath>
#include <cmath>

namespace {

// More ticks than any sane ruler can show means the sizes are absurd (damaged
// layout); drawing them would only burn time.
constexpr long long MaxTickIndexSpan = 200000;

constexpr int RulerFontPixels = 8;   // 6 point at 96 pixels per inch

// The digits keep one white pixel between themselves and their label line:
// a digit whose left or top stroke touches the line loses that stroke to it,
// and a 6 then reads as a 5.
constexpr int LabelGap = 1;

// Lines are drawn end-exclusive: from a up to, not including, b.
void vline(QPainter& p, int x, int y1, int y2) {
    if (y2 > y1) p.fillRect(QRect(x, y1, 1, y2 - y1), Qt::black);
    else if (y1 > y2) p.fillRect(QRect(x, y2 + 1, 1, y1 - y2), Qt::black);
}

void hline(QPainter& p, int y, int x1, int x2) {
    if (x2 > x1) p.fillRect(QRect(x1, y, x2 - x1, 1), Qt::black);
    else if (x1 > x2) p.fillRect(QRect(x2 + 1, y, x1 - x2, 1), Qt::black);
}

// White, at the device's resolution; all drawing counts in logical pixels.
QImage rulerImage(int W, int H, qreal ratio) {
    if (W <= 0 || H <= 0 || !(ratio > 0)) return QImage();
    QImage img(qCeil(W * ratio), qCeil(H * ratio), QImage::Format_RGB32);
    if (img.isNull()) return img;
    img.setDevicePixelRatio(ratio);
    img.fill(Qt::white);
    return img;
}

void fillWhite(QPainter& p, int x1, int y1, int x2, int y2) {
    if (x2 > x1 && y2 > y1) p.fillRect(QRect(x1, y1, x2 - x1, y2 - y1), Qt::white);
}

// Eight pixels leave a digit about six rows of ink. Hinted onto whole pixels
// and drawn without smoothing, each stroke is one crisp pixel on a plain
// screen; smoothed greys at that size blur a 6 into a 5. A high-density
// screen has pixels enough for smoothed, finer digits.
QFont rulerFont(qreal ratio) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(RulerFontPixels);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(ratio > 1.0 ? QFont::PreferAntialias : QFont::NoAntialias);
    return f;
}

}  // namespace

RulerScale rulerScale(int scaleLength, int scroll, int surfaceLength, double itemMm) {
    RulerScale s;
    const int T = surfaceLength / 3;
    const int n = scaleLength / 50;
    if (T <= 0 || n <= 0 || !std::isfinite(itemMm) || itemMm <= 0) return s;

    s.start = double(scroll - T) * itemMm / T;
    s.end = double(scaleLength + scroll - T) * itemMm / T;
    if (!(s.end > s.start) || !std::isfinite(s.start) || !std::isfinite(s.end)) return s;

    const double g = (s.end - s.start) / n;
    if (g < 2.5) s.step = 1;
    else if (g < 7.5) s.step = 5;
    else if (g < 15) s.step = 10;
    else if (g < 30) s.step = 20;
    else if (g < 70) s.step = 40;
    else s.step = 100;

    const long double a = std::trunc(static_cast<long double>(s.start) / s.step - 1);
    const long double b = std::trunc(static_cast<long double>(s.end) / s.step + 1);
    if (std::fabs(a) > 1e12 || std::fabs(b) > 1e12 || (b - a) > MaxTickIndexSpan) return s;
    s.first = static_cast<long long>(a);
    s.last = static_cast<long long>(b);
    s.valid = true;
    return s;
}

std::vector<RulerTick> rulerTicks(int scaleLength, const RulerScale& scale) {
    std::vector<RulerTick> ticks;
    if (!scale.valid || 10 * scale.last < 10 * scale.first) return ticks;
    ticks.reserve(static_cast<size_t>(10 * (scale.last - scale.first) + 1));
    const long double span = static_cast<long double>(scale.end) - scale.start;
    for (long long i = 10 * scale.first; i <= 10 * scale.last; ++i) {
        const long double vv = std::trunc(static_cast<long double>(i) * scale.step / 10);
        const int v = static_cast<int>(vv);
        const long double pp = std::trunc(static_cast<long double>(scaleLength) * (v - static_cast<long double>(scale.start)) / span);
        RulerTick t;
        t.position = static_cast<int>(pp);
        t.value = v;
        if (i % 10 == 0) t.kind = RulerTick::Label;
        else if (i % 2 != 0) t.kind = RulerTick::LongMinor;
        else t.kind = RulerTick::ShortMinor;
        ticks.push_back(t);
    }
    return ticks;
}

QImage paintHorizontalRuler(int W, int H, int scroll, int surfaceWidth, double itemWidthMm, qreal ratio) {
    QImage img = rulerImage(W, H, ratio);
    if (img.isNull()) return img;
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);

    // Outline, the separator of the corner square, then the two white fills.
    hline(p, 0, 0, W - 1);
    vline(p, W - 1, 0, H - 1);
    hline(p, H - 1, W - 1, 0);
    vline(p, 0, H - 1, 0);
    vline(p, 19, H - 1, 0);
    fillWhite(p, 20, 1, W - 1, H - 1);
    fillWhite(p, 1, 1, 18, H - 2);

    const int L = W - 21;
    const RulerScale scale = rulerScale(L, scroll, surfaceWidth, itemWidthMm);
    p.setFont(rulerFont(ratio));
    p.setPen(Qt::black);
    for (const RulerTick& t : rulerTicks(L, scale)) {
        if (t.position < 0) continue;
        const int x = t.position + 20;
        switch (t.kind) {
        case RulerTick::Label:
            vline(p, x, 0, H - 1);
            p.drawText(QRect(x + LabelGap, 1, 64, H), Qt::AlignLeft | Qt::AlignTop, QString::number(t.value));
            break;
        case RulerTick::LongMinor:
            vline(p, x, H - 1 - H / 3, H - 1);
            break;
        case RulerTick::ShortMinor:
            vline(p, x, H - 1 - H / 3 + 3, H - 1);
            break;
        }
    }
    return img;
}

QImage paintVerticalRuler(int W, int H, int scroll, int surfaceHeight, double itemHeightMm, qreal ratio) {
    QImage img = rulerImage(W, H, ratio);
    if (img.isNull()) return img;
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);

    // Right, bottom and left edges; the horizontal ruler above closes the top.
    vline(p, W - 1, 0, H - 1);
    hline(p, H - 1, W - 1, 0);
    vline(p, 0, H - 1, -1);
    fillWhite(p, 1, 0, W - 1, H - 1);

    const int L = H - 1;
    const RulerScale scale = rulerScale(L, scroll, surfaceHeight, itemHeightMm);
    p.setFont(rulerFont(ratio));
    p.setPen(Qt::black);
    for (const RulerTick& t : rulerTicks(L, scale)) {
        const int y = t.position;
        switch (t.kind) {
        case RulerTick::Label:
            hline(p, y, 0, W - 1);
            p.drawText(QRect(1, y + LabelGap, 64, 64), Qt::AlignLeft | Qt::AlignTop, QString::number(t.value));
            break;
        case RulerTick::LongMinor:
            hline(p, y, W - 1 - W / 3, W - 1);
            break;
        case RulerTick::ShortMinor:
            hline(p, y, W - 1 - W / 3 + 3, W - 1);
            break;
        }
    }
    return img;
}
