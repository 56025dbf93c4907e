#include "export/PictureFile.h"

#include "base/LibraryStderrMute.h"
#include "image/DibHandle.h"
#include "image/ImageLoader.h"
#include "model/BoxDocument.h"
#include "model/StoredImage.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

namespace {

// Rows of a JPEG decoded to check that the file still is the picture: a
// changed file of the same size shows in its first rows, and decoding only
// those costs almost nothing.
constexpr int kJpegRowsCompared = 16;

quint32 bigEndian32(const QByteArray& b, qsizetype at) {
    return qFromBigEndian<quint32>(reinterpret_cast<const uchar*>(b.constData()) + at);
}

bool rowsEqual(const QImage& a, const QImage& b, int rows) {
    if (a.width() != b.width() || a.height() < rows || b.height() < rows) return false;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) | 0xFF000000u) != (b.pixel(x, y) | 0xFF000000u) ||
                qAlpha(a.pixel(x, y)) != qAlpha(b.pixel(x, y)))
                return false;
    return true;
}

// The number of colour components of a JPEG's frame; 0 when the markers
// cannot be followed or an Adobe marker says the three components are RGB
// or CMYK rather than YCbCr.
int jpegComponents(const QByteArray& b) {
    qsizetype at = 2;
    int adobeTransform = -1;
    while (at + 4 <= b.size()) {
        if (uchar(b[at]) != 0xFF) return 0;
        const uchar marker = uchar(b[at + 1]);
        if (marker == 0xFF) { ++at; continue; }
        const int length = (uchar(b[at + 2]) << 8) | uchar(b[at + 3]);
        if (length < 2 || at + 2 + length > b.size()) return 0;
        if (marker == 0xEE && length >= 14 && b.mid(at + 4, 5) == "Adobe") adobeTransform = uchar(b[at + 15]);
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 8) return 0;
            const int components = uchar(b[at + 9]);
            if (components == 3 && adobeTransform == 0) return 0;
            return components;
        }
        at += 2 + length;
    }
    return 0;
}

bool jpegMatches(const QByteArray& bytes, const DibHandle& picture, PictureFile& file) {
    const int components = jpegComponents(bytes);
    if (components != 1 && components != 3) return false;
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    const LibraryStderrMute quiet;
    QImageReader reader(&buffer, "jpeg");
    // JPEG and nothing else: bytes the JPEG reader declines are not handed
    // round the other plugins.
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(false);
    if (reader.size() != picture.image().size()) return false;
    if (reader.transformation() != QImageIOHandler::TransformationNone) return false;
    const int rows = std::min(kJpegRowsCompared, picture.DibHeight());
    reader.setClipRect(QRect(0, 0, picture.DibWidth(), rows));
    const QImage top = reader.read();
    if (top.isNull() || !rowsEqual(top, picture.image(), rows)) return false;
    file.kind = PictureFile::Jpeg;
    file.components = components;
    return true;
}

// Colour type, bit depth and interlace of the header, tRNS anywhere, and
// the image data joined, read straight from the chunks.
bool readPngChunks(const QByteArray& b, int& colourType, int& depth, bool& interlaced, bool& transparency,
                   QByteArray& data) {
    qsizetype at = 8;
    bool header = false;
    transparency = false;
    while (at + 12 <= b.size()) {
        const quint32 length = bigEndian32(b, at);
        const QByteArray type = b.mid(at + 4, 4);
        if (length > quint32(b.size()) || at + 12 + qsizetype(length) > b.size()) return false;
        if (type == "IHDR" && length >= 13) {
            depth = uchar(b[at + 16]);
            colourType = uchar(b[at + 17]);
            interlaced = uchar(b[at + 20]) != 0;
            header = true;
        } else if (type == "tRNS") {
            transparency = true;
        } else if (type == "IDAT") {
            data += b.mid(at + 8, length);
        } else if (type == "IEND") {
            break;
        }
        at += 12 + length;
    }
    return header && !data.isEmpty();
}

bool pngMatches(const QByteArray& bytes, const DibHandle& picture, PictureFile& file) {
    int colourType = -1, depth = 0;
    bool interlaced = false, transparency = false;
    QByteArray data;
    if (!readPngChunks(bytes, colourType, depth, interlaced, transparency, data) || depth != 8) return false;
    // Decoded exactly as the loader decodes, into the same kind of record.
    const DibHandle decoded = DecodeDib(bytes, QStringLiteral("png"), {});
    if (decoded.isEmpty() || !(decoded.image() == picture.image())) return false;
    file.kind = PictureFile::Png;
    file.pngDataAsIs = !interlaced && !transparency && (colourType == 0 || colourType == 2);
    file.components = colourType == 0 ? 1 : 3;
    if (file.pngDataAsIs) file.pngData = data;
    return true;
}

// The file a stored path names as loadStoredImage finds it, if its bytes
// are the picture.
bool findPictureFile(const QString& storedPath, const DibHandle& picture, const BoxDocument& doc,
                     PictureFile& file) {
    if (storedPath.isEmpty() || picture.isEmpty()) return false;
    QStringList places{ResolveImagePath(storedPath, doc.ProgramFolder)};
    const QString name = storedFileNamePart(storedPath);
    if (!name.isEmpty()) places << QFileInfo(doc.FileName).absoluteDir().filePath(name);
    for (const QString& place : places) {
        if (!QFileInfo(place).isFile()) continue;
        QFile in(place);
        if (!in.open(QIODevice::ReadOnly)) continue;
        const QByteArray bytes = in.readAll();
        if (pictureFileMatches(bytes, picture, file)) return true;
    }
    return false;
}

}  // namespace

bool pictureFileMatches(const QByteArray& bytes, const DibHandle& picture, PictureFile& file) {
    if (picture.isEmpty()) return false;
    file = PictureFile();
    file.width = picture.DibWidth();
    file.height = picture.DibHeight();
    bool ok = false;
    if (bytes.startsWith("\xFF\xD8\xFF")) ok = jpegMatches(bytes, picture, file);
    else if (bytes.startsWith("\x89PNG\r\n\x1A\n")) ok = pngMatches(bytes, picture, file);
    if (ok) file.bytes = bytes;
    return ok;
}

PictureFiles pictureFilesOf(const BoxDocument& doc) {
    PictureFiles files;
    addPictureFiles(doc, files);
    return files;
}

void addPictureFiles(const BoxDocument& doc, PictureFiles& files, const QSet<qint64>& known) {
    auto add = [&](const QString& storedPath, const DibHandle& picture) {
        if (picture.isEmpty() || picture.isVector() || files.contains(picture.image().cacheKey()) ||
            known.contains(picture.image().cacheKey()))
            return;
        PictureFile file;
        if (findPictureFile(storedPath, picture, doc, file)) files.insert(picture.image().cacheKey(), file);
    };
    if (doc.BackgroundMode != bgNone) add(doc.BackgroundFile, doc.BackgroundPicture);
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        const Tobs& o = doc.Objects[slot];
        // A turned picture's pixels are no longer the file's; a transparent
        // colour leaves pixels out.
        const bool turned = o.Rotation >= 1 && o.Rotation <= 3;
        if (o.Kind == Image && !turned && o.Transparent != 1) add(o.Content, o.Picture);
    }
}
