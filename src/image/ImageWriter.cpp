#include "image/ImageWriter.h"

#include "image/OwnEncoders.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>

#include <atomic>

namespace {

std::atomic<int> jpegQuality{75};

struct SaveEntry {
    const char* extension;
    const char* description;
};

// Order fixes the format codes: index + 2.
const SaveEntry kSaveList[] = {
    {"BMP", "BMP \u2013 Windows-Bitmap"},
    {"DIB", "DIB \u2013 Windows-Bitmap"},
    {"GIF", "GIF \u2013 CompuServe"},
    {"IFF", "IFF \u2013 Amiga Interleaved Bitmap"},
    {"JIF", "JIF \u2013 JPEG"},
    {"JPG", "JPG \u2013 JPEG"},
    {"LBM", "LBM \u2013 Deluxe Paint"},
    {"PCX", "PCX \u2013 ZSoft Paintbrush"},
    {"RLE", "RLE \u2013 Windows-Bitmap, lauflängenkomprimiert"},
    {"TGA", "TGA \u2013 Truevision Targa"},
    {"TIF", "TIF \u2013 Tagged Image File"},
    {"PNG", "PNG \u2013 Portable Network Graphics"},
};
constexpr int kSaveCount = int(sizeof(kSaveList) / sizeof(kSaveList[0]));

QByteArray encodeWithQt(const DibHandle& dib, const char* format, int quality) {
    QImage img = dib.image();
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0) writer.setQuality(quality);
    if (qstrcmp(format, "tiff") == 0) writer.setCompression(1);   // LZW
    if (qstrcmp(format, "jpeg") == 0 && img.format() == QImage::Format_ARGB32)
        img = img.convertToFormat(QImage::Format_RGB32);   // JPEG has no alpha; Qt would blend onto black
    if (!writer.write(img)) return {};
    return out;
}

}  // namespace

void SetJPEGQual(int quality) { jpegQuality = qBound(1, quality, 99); }
int JPEGQual() { return jpegQuality; }

int SaveFormatCount() { return kSaveCount; }

int FormatCodeForIndex(int index) { return index >= 1 && index <= kSaveCount ? index + 2 : 0; }

QString ExtensionForIndex(int index) {
    if (index < 1 || index > kSaveCount) return QString();
    return QLatin1Char('.') + QLatin1String(kSaveList[index - 1].extension);
}

int SaveIndexForPath(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toUpper();
    for (int i = 0; i < kSaveCount; ++i)
        if (suffix == QLatin1String(kSaveList[i].extension)) return i + 1;
    if (suffix == QLatin1String("JPEG")) return 6;
    if (suffix == QLatin1String("TIFF")) return 11;
    return 0;
}

int ChooseSaveIndex(const QString& path, int explicitIndex) {
    if (explicitIndex > 0) return explicitIndex <= kSaveCount ? explicitIndex : 0;
    return SaveIndexForPath(path);
}

bool IsJpegFormat(int code) { return code == FormatJif || code == FormatJpg; }

QString GetDIBSaveFilter() {
    QStringList parts;
    for (const SaveEntry& e : kSaveList) {
        const QString ext = QLatin1String(e.extension);
        parts << QString::fromUtf8(e.description) + QStringLiteral(" (*.") + ext.toLower() + QLatin1Char(')');
        parts << QStringLiteral("*.") + ext.toLower() + QStringLiteral(";*.") + ext;
    }
    return parts.join(QLatin1Char('|'));
}

QByteArray EncodeDib(const DibHandle& dib, int code) {
    if (dib.isEmpty()) return {};
    switch (code) {
    case FormatBmp:
    case FormatDib:
        return EncodeBmp(dib);
    case FormatRle:
        return EncodeBmpRle(dib);
    case FormatGif:
        return EncodeGif(dib);
    case FormatIff:
    case FormatLbm:
        return EncodeIlbm(dib);
    case FormatJif:
    case FormatJpg:
        return encodeWithQt(dib, "jpeg", jpegQuality);
    case FormatPcx:
        return EncodePcx(dib);
    case FormatTga:
        return EncodeTga(dib);
    case FormatTif:
        return encodeWithQt(dib, "tiff", -1);
    case FormatPng:
        return encodeWithQt(dib, "png", -1);
    default:
        return {};
    }
}

SaveResult SaveDib(const DibHandle& dib, const QString& path, int code, const ProgressCallback& progress) {
    SaveResult saved;
    saved.reason = contentFailedText();
    saved.contentFailed = true;
    if (dib.isEmpty()) return saved;
    if (progress) progress(0);
    const QByteArray bytes = EncodeDib(dib, code);
    if (!bytes.isEmpty()) {
        if (progress) progress(50);
        saved = saveFile(path, bytes);
        if (saved && progress) progress(100);
    }
    if (progress) progress(0);
    return saved;
}
