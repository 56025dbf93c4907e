#include "image/ImageLoader.h"

#include "image/OwnDecoders.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opens path for reading only if it is a regular file. The check is made on
// the opened descriptor (O_NONBLOCK keeps a FIFO from blocking the open), so
// a file swapped for a FIFO between check and open cannot hang us.
bool openRegularFile(const QString& path, QFile& file) {
    if (path.isEmpty()) return false;
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

DibHandle decodeWithQt(QIODevice& device, const QByteArray& formatHint) {
    // The reader keeps Qt's allocation limit: an image whose pixels would
    // exceed it fails like a damaged file.
    QImageReader reader(&device, formatHint);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        if (formatHint.isEmpty()) return DibHandle();
        // The extension may lie; try by content alone.
        device.seek(0);
        QImageReader byContent(&device);
        if (!byContent.read(&image) || image.isNull()) return DibHandle();
    }
    return DibHandle(image);
}

}  // namespace

qint64 MaxDecodedImageBytes() {
    const int mb = QImageReader::allocationLimit();
    // A limit of 0 would mean "none"; our decoders always keep one.
    return qint64(mb > 0 ? mb : 128) * 1024 * 1024;
}

DibHandle DecodeDib(const QByteArray& data, const QString& formatHint) {
    if (data.isEmpty()) return DibHandle();
    const QString hint = formatHint.toLower();
    QImage own;
    switch (DecodeOwnFormat(data, hint, own)) {
    case OwnDecodeResult::Decoded:
        return DibHandle(own);
    case OwnDecodeResult::Damaged:
        return DibHandle();
    case OwnDecodeResult::NotOurs:
        break;
    }
    QByteArray copy = data;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    DibHandle dib = decodeWithQt(buffer, IsOwnFormatHint(hint) ? QByteArray() : hint.toLatin1());
    if (!dib.isEmpty()) return dib;
    // TGA has no signature: offered only when nothing else claimed the data.
    if (hint != QLatin1String("tga") && DecodeTga(data, own)) return DibHandle(own);
    return DibHandle();
}

DibHandle OpenDib(const QString& path) {
    QFile file;
    if (!openRegularFile(path, file)) return DibHandle();
    const qint64 size = file.size();
    // A compressed file is never larger than its decoded pixels by much; a
    // file beyond the pixel limit can only be refused.
    if (size <= 0 || size > MaxDecodedImageBytes()) return DibHandle();
    const QByteArray data = file.readAll();
    if (data.size() != size) return DibHandle();
    return DecodeDib(data, QFileInfo(path).suffix());
}

namespace {

QSize reducedSize(QSize full, int shortestSide) {
    const int shorter = std::min(full.width(), full.height());
    if (shortestSide <= 0 || shorter <= shortestSide) return full;
    const double f = double(shortestSide) / shorter;
    return QSize(std::max(1, int(full.width() * f + 0.5)), std::max(1, int(full.height() * f + 0.5)));
}

}  // namespace

DibHandle OpenDibScaled(const QString& path, int shortestSide) {
    QFile file;
    if (!openRegularFile(path, file)) return DibHandle();
    const qint64 size = file.size();
    if (size <= 0 || size > MaxDecodedImageBytes()) return DibHandle();
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (!IsOwnFormatHint(suffix)) {
        QImageReader reader(&file, suffix.toLatin1());
        reader.setDecideFormatFromContent(true);
        reader.setAutoTransform(false);
        const QSize full = reader.size();
        if (full.isValid()) {
            if (qint64(full.width()) * full.height() * 4 > MaxDecodedImageBytes()) return DibHandle();
            const QSize target = reducedSize(full, shortestSide);
            if (target != full) reader.setScaledSize(target);
            QImage image;
            if (reader.read(&image) && !image.isNull()) return DibHandle(image);
        }
        file.seek(0);
    }
    // Our own formats and files whose size the reader cannot tell: decoded
    // whole, then reduced.
    const QByteArray data = file.readAll();
    if (data.size() != size) return DibHandle();
    DibHandle dib = DecodeDib(data, suffix);
    if (dib.isEmpty()) return dib;
    const QSize target = reducedSize(dib.image().size(), shortestSide);
    if (target == dib.image().size()) return dib;
    return DibHandle(dib.image().scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

QString ResolveImagePath(const QString& fileName, const QString& programFolder) {
    if (fileName.contains(QLatin1Char('/')) || fileName.contains(QLatin1Char('\\'))) return fileName;
    if (programFolder.isEmpty()) return fileName;
    return programFolder.endsWith(QLatin1Char('/')) ? programFolder + fileName
                                                    : programFolder + QLatin1Char('/') + fileName;
}

bool LoadDIBit(DibHandle& dib, const QString& fileName, const QString& programFolder) {
    DibHandle loaded = OpenDib(ResolveImagePath(fileName, programFolder));
    if (loaded.isEmpty()) return false;
    dib = loaded;
    return true;
}

bool LoadBit(QImage& bitmap, const QString& fileName, const QString& programFolder) {
    bitmap = QImage(100, 100, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    const DibHandle loaded = OpenDib(ResolveImagePath(fileName, programFolder));
    if (loaded.isEmpty()) return false;
    bitmap = loaded.image();
    return true;
}

namespace {

struct OpenEntry {
    const char* description;
    QStringList patterns;
    QByteArray qtFormat;   // empty: our own decoder, always available
};

QString patternList(const QStringList& patterns) {
    QStringList all;
    for (const QString& p : patterns) all << p;
    for (const QString& p : patterns) all << p.toUpper();
    return all.join(QLatin1Char(';'));
}

}  // namespace

QString GetDIBOpenFilter() {
    const QList<QByteArray> qtFormats = QImageReader::supportedImageFormats();
    const QList<OpenEntry> entries = {
        {"Windows-Bitmap", {"*.bmp", "*.dib", "*.rle"}, "bmp"},
        {"CompuServe GIF", {"*.gif"}, "gif"},
        {"Amiga IFF/ILBM", {"*.iff", "*.lbm", "*.ilbm"}, {}},
        {"JPEG", {"*.jpg", "*.jpeg", "*.jif", "*.jfif", "*.jpe"}, "jpeg"},
        {"ZSoft PCX", {"*.pcx"}, {}},
        {"Targa", {"*.tga"}, {}},
        {"TIFF", {"*.tif", "*.tiff"}, "tiff"},
        {"PNG", {"*.png"}, "png"},
        {"WebP", {"*.webp"}, "webp"},
        {"Portable Anymap", {"*.pbm", "*.pgm", "*.ppm"}, "ppm"},
        {"X Bitmap/Pixmap", {"*.xbm", "*.xpm"}, "xpm"},
        {"Windows-Symbol", {"*.ico", "*.cur"}, "ico"},
        {"Wireless Bitmap", {"*.wbmp"}, "wbmp"},
    };
    QStringList allPatterns;
    QStringList parts;
    for (const OpenEntry& e : entries) {
        if (!e.qtFormat.isEmpty() && !qtFormats.contains(e.qtFormat)) continue;
        allPatterns << e.patterns;
        parts << QString::fromUtf8(e.description) + QLatin1Char('|') + patternList(e.patterns);
    }
    parts.prepend(QStringLiteral("Alle Bilddateien|") + patternList(allPatterns));
    parts << QStringLiteral("Alle Dateien|*");
    return parts.join(QLatin1Char('|'));
}
