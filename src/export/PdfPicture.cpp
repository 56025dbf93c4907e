#include "export/PdfPicture.h"

#include "image/RenderThreads.h"

#include <zlib.h>

namespace {

// zlib's quick levels: a photo's pixels shrink little more at the slow ones,
// and the time goes on every export.
constexpr int kLevel = 2;

QByteArray deflated(const QByteArray& raw) {
    uLongf size = compressBound(uLong(raw.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.constData()),
                  uLong(raw.size()), kLevel) != Z_OK)
        return {};
    out.resize(qsizetype(size));
    return out;
}

PdfPixels compressed(const QImage& picture) {
    PdfPixels p;
    const QImage img = picture.convertToFormat(QImage::Format_ARGB32);
    p.width = img.width();
    p.height = img.height();
    QByteArray rgb(qsizetype(p.width) * p.height * 3, Qt::Uninitialized);
    QByteArray alpha(qsizetype(p.width) * p.height, Qt::Uninitialized);
    bool opaque = true;
    char* c = rgb.data();
    char* a = alpha.data();
    for (int y = 0; y < p.height; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < p.width; ++x) {
            const QRgb v = line[x];
            *c++ = char(qRed(v));
            *c++ = char(qGreen(v));
            *c++ = char(qBlue(v));
            *a++ = char(qAlpha(v));
            opaque = opaque && qAlpha(v) == 255;
        }
    }
    p.rgb = deflated(rgb);
    if (!opaque) p.alpha = deflated(alpha);
    return p;
}

}  // namespace

std::vector<PdfPixels> compressPdfPixels(const std::vector<QImage>& pictures) {
    std::vector<PdfPixels> out(pictures.size());
    parallelFor(int(pictures.size()), [&](int i) { out[size_t(i)] = compressed(pictures[size_t(i)]); });
    return out;
}
