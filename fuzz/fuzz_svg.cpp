// libFuzzer target: screening of drawings (SVG, SVGZ) must refuse anything
// it cannot take without crashing, hanging or growing past its limits, and
// what it passes on must never name anything outside the file.

#include "image/VectorArt.h"

#include <QByteArray>
#include <QGuiApplication>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Text in a drawing needs fonts, and fonts need an application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    QString reason;
    const auto art = screenVectorArt(bytes, &reason);
    if (!art) {
        if (reason.isEmpty()) abort();
        return 0;
    }
    if (art->svg.size() > kMaxVectorArtBytes * 2 || !art->sizeMm.isValid()) abort();
    if (std::min(art->sizeMm.width(), art->sizeMm.height()) < kMinVectorArtPlacedMm) abort();
    if (art->svg.contains("<!DOCTYPE") || art->svg.contains("<script")) abort();
    if (rasterOfVectorArt(*art, int(size % 4), 64).isNull()) abort();
    // What the drawing claims to cover opaquely is opaque: a pixel in the
    // middle of each part large enough to hold one whole.
    const QImage small = art->ground.empty() ? QImage() : rasterOfVectorArt(*art, 0, 64);
    for (const QRectF& part : art->ground) {
        if (!(part.left() >= 0 && part.top() >= 0 && part.right() <= 1 && part.bottom() <= 1)) abort();
        const QRectF px(part.left() * small.width(), part.top() * small.height(), part.width() * small.width(),
                        part.height() * small.height());
        if (px.width() < 4 || px.height() < 4) continue;
        if (qAlpha(small.pixel(int(px.center().x()), int(px.center().y()))) != 255) abort();
    }
    return 0;
}
