#include "image/ImageLoader.h"

#include "base/LibraryStderrMute.h"
#include "image/OwnDecoders.h"
#include "image/VectorArt.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What is looked at to tell a drawing from its content: enough for the
// comments a drawing program writes before the first element.
constexpr qint64 kVectorArtHead = 64 * 1024;

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

// Reports, in whole-percent steps, how far a decoder has consumed the
// data: from `from` to `to` percent. Reports cost one comparison per read.
class ProgressBuffer : public QBuffer {
public:
    ProgressBuffer(QByteArray* data, const ProgressCallback& progress, int from, int to)
        : QBuffer(data), m_progress(progress), m_from(from), m_to(to), m_size(data->size()) {}

protected:
    qint64 readData(char* out, qint64 max) override {
        const qint64 n = QBuffer::readData(out, max);
        if (m_progress && m_size > 0 && n > 0) {
            const qint64 done = std::min<qint64>(pos() + n, m_size);
            const int percent = m_from + int(done * (m_to - m_from) / m_size);
            if (percent > m_last) {
                m_last = percent;
                m_progress(percent);
            }
        }
        return n;
    }

private:
    const ProgressCallback& m_progress;
    int m_from;
    int m_to;
    qint64 m_size;
    int m_last = -1;
};

// Qt's image plugins include one for SVG, which would read a drawing
// unscreened (external files and all) into pixels: drawings go through
// DecodeVectorArt only.
bool isSvgFormat(const QByteArray& format) {
    return format.toLower().startsWith("svg");
}

// Lets reader decode device with a raster format only: the one its content
// shows, else the hint. Left to decide for itself, a reader given a hint
// still asks every plugin, the SVG one included, when the content does not
// fit the hint. False when no raster format is left.
bool restrictToRaster(QImageReader& reader, QIODevice& device, const QByteArray& hint) {
    const qint64 at = device.pos();
    QByteArray format = QImageReader::imageFormat(&device);
    device.seek(at);
    if (format.isEmpty()) format = hint;
    if (format.isEmpty() || isSvgFormat(format)) return false;
    reader.setDevice(&device);
    reader.setFormat(format);
    reader.setAutoDetectImageFormat(false);
    return true;
}

DibHandle decodeWithQt(QIODevice& device, const QByteArray& formatHint) {
    const LibraryStderrMute quiet;
    // The reader keeps Qt's allocation limit: an image whose pixels would
    // exceed it fails like a damaged file.
    QImageReader reader;
    reader.setAutoTransform(false);
    QImage image;
    if (!restrictToRaster(reader, device, formatHint) || !reader.read(&image) || image.isNull()) return DibHandle();
    return DibHandle(image);
}

}  // namespace

qint64 MaxDecodedImageBytes() {
    const int mb = QImageReader::allocationLimit();
    // A limit of 0 would mean "none"; our decoders always keep one.
    return qint64(mb > 0 ? mb : 128) * 1024 * 1024;
}

DibHandle DecodeVectorArt(const QByteArray& data, QString* reason) {
    // Screening parses the drawing to check it, and the stand-in is drawn
    // from that parse: both on one thread of Qt's pool, so that a large
    // drawing is parsed once and its stand-in drawn where Qt draws fills
    // without handing them out.
    std::shared_ptr<const VectorArt> art;
    QImage standIn;
    QString why;
    onDrawingThread([&] {
        art = screenVectorArt(data, &why);
        if (art) standIn = rasterOfVectorArt(*art, 0, kVectorStandInSide);
    });
    if (reason && !why.isEmpty()) *reason = why;
    if (!art) return DibHandle();
    if (standIn.isNull()) {
        if (reason) *reason = QStringLiteral("Die Zeichnung kann nicht dargestellt werden.");
        return DibHandle();
    }
    DibHandle dib(standIn, 24);
    dib.setVectorArt(art, 0);
    return dib;
}

DibHandle DecodeDib(const QByteArray& data, const QString& formatHint, const ProgressCallback& progress) {
    if (data.isEmpty()) return DibHandle();
    const QString hint = formatHint.toLower();
    if (isVectorArtFile(QStringLiteral("x.") + hint, data)) {
        DibHandle art = DecodeVectorArt(data);
        if (!art.isEmpty() && progress) progress(100);
        return art;
    }
    QImage own;
    switch (DecodeOwnFormat(data, hint, own)) {
    case OwnDecodeResult::Decoded:
        if (progress) progress(100);
        return DibHandle(own);
    case OwnDecodeResult::Damaged:
        return DibHandle();
    case OwnDecodeResult::NotOurs:
        break;
    }
    QByteArray copy = data;
    ProgressBuffer buffer(&copy, progress, 50, 100);
    buffer.open(QIODevice::ReadOnly);
    DibHandle dib = decodeWithQt(buffer, IsOwnFormatHint(hint) ? QByteArray() : hint.toLatin1());
    if (!dib.isEmpty()) return dib;
    // TGA has no signature: offered only when nothing else claimed the data.
    if (hint != QLatin1String("tga") && DecodeTga(data, own)) {
        if (progress) progress(100);
        return DibHandle(own);
    }
    return DibHandle();
}

namespace {

// Reads the whole file; with progress, in about fifty pieces (none below
// 64 KiB, so small files are one read) reported from 0 to 50.
bool readWhole(QFile& file, qint64 size, QByteArray& data, const ProgressCallback& progress) {
    if (!progress) {
        data = file.readAll();
        return data.size() == size;
    }
    progress(0);
    data.resize(size);
    const qint64 piece = std::max<qint64>(64 * 1024, size / 50);
    qint64 done = 0;
    int last = 0;
    while (done < size) {
        const qint64 n = file.read(data.data() + done, std::min(piece, size - done));
        if (n <= 0) return false;
        done += n;
        const int percent = int(done * 50 / size);
        if (percent > last) {
            last = percent;
            progress(percent);
        }
    }
    return true;
}

}  // namespace

DibHandle OpenDib(const QString& path, const ProgressCallback& progress) {
    DibHandle dib;
    QFile file;
    if (openRegularFile(path, file)) {
        const qint64 size = file.size();
        // A compressed file is never larger than its decoded pixels by much; a
        // file beyond the pixel limit can only be refused.
        QByteArray data;
        const qint64 limit = isVectorArtFile(path, QByteArray()) ? kMaxVectorArtBytes : MaxDecodedImageBytes();
        if (size > 0 && size <= limit && readWhole(file, size, data, progress))
            dib = DecodeDib(data, QFileInfo(path).suffix(), progress);
    }
    // The bar never stays full (or half full) once a picture is read.
    if (progress) progress(0);
    return dib;
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
    // A drawing has no reduced decoding: it is drawn at every size anyway.
    if (isVectorArtFile(path, file.peek(kVectorArtHead))) {
        if (size > kMaxVectorArtBytes) return DibHandle();
        return DecodeVectorArt(file.readAll());
    }
    QImageReader reader;
    if (!IsOwnFormatHint(suffix) && restrictToRaster(reader, file, suffix.toLatin1())) {
        const LibraryStderrMute quiet;
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

QString VectorArtFault(const QString& path) {
    QFile file;
    if (!openRegularFile(path, file) || !isVectorArtFile(path, file.peek(kVectorArtHead))) return QString();
    if (file.size() > kMaxVectorArtBytes) return QStringLiteral("Die Zeichnung ist größer als 16 MB.");
    QString reason;
    if (!DecodeVectorArt(file.readAll(), &reason).isEmpty()) return QString();
    return reason.isEmpty() ? QStringLiteral("Die Zeichnung kann nicht gelesen werden.") : reason;
}

QString ResolveImagePath(const QString& fileName, const QString& programFolder) {
    if (fileName.contains(QLatin1Char('/')) || fileName.contains(QLatin1Char('\\'))) return fileName;
    if (programFolder.isEmpty()) return fileName;
    return programFolder.endsWith(QLatin1Char('/')) ? programFolder + fileName
                                                    : programFolder + QLatin1Char('/') + fileName;
}

bool LoadDIBit(DibHandle& dib, const QString& fileName, const QString& programFolder,
               const ProgressCallback& progress) {
    DibHandle loaded = OpenDib(ResolveImagePath(fileName, programFolder), progress);
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
        {"SVG-Zeichnung", {"*.svg", "*.svgz"}, {}},
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
