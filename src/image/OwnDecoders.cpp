#include "image/OwnDecoders.h"

#include "image/ImageLoader.h"

namespace {

bool looksLikePcx(const QByteArray& d) {
    if (d.size() < 128) return false;
    const auto u = reinterpret_cast<const uchar*>(d.constData());
    return u[0] == 0x0A && (u[1] == 0 || u[1] == 2 || u[1] == 3 || u[1] == 4 || u[1] == 5) &&
           u[2] <= 1 && (u[3] == 1 || u[3] == 2 || u[3] == 4 || u[3] == 8);
}

bool looksLikeIff(const QByteArray& d) {
    return d.size() >= 12 && d.startsWith("FORM") &&
           (d.mid(8, 4) == "ILBM" || d.mid(8, 4) == "PBM ");
}

}  // namespace

bool DecodedSizeAllowed(qint64 width, qint64 height, int bytesPerPixel) {
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535) return false;
    return width * height * bytesPerPixel <= MaxDecodedImageBytes();
}

bool IsOwnFormatHint(const QString& s) {
    return s == QLatin1String("pcx") || s == QLatin1String("iff") || s == QLatin1String("lbm") ||
           s == QLatin1String("ilbm") || s == QLatin1String("tga");
}

OwnDecodeResult DecodeOwnFormat(const QByteArray& data, const QString& lowerSuffix, QImage& out) {
    auto result = [](bool ok) { return ok ? OwnDecodeResult::Decoded : OwnDecodeResult::Damaged; };
    if (looksLikePcx(data)) return result(DecodePcx(data, out));
    if (looksLikeIff(data)) return result(DecodeIlbm(data, out));
    if (data.startsWith("GIF87a") || data.startsWith("GIF89a")) return result(DecodeGif(data, out));
    // A file named .tga that our decoder refuses may still be something else.
    if (lowerSuffix == QLatin1String("tga") && DecodeTga(data, out)) return OwnDecodeResult::Decoded;
    return OwnDecodeResult::NotOurs;
}
