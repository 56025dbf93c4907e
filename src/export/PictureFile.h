#pragma once
// A picture of the design as the bytes of its own file. A vector file can
// carry a JPEG or PNG as it is instead of pixels encoded anew: smaller, far
// quicker to write, and without the generation loss of a second JPEG. That
// is only right where the file shows exactly what the program draws:
//   - a JPEG of one (grey) or three (colour) components whose EXIF
//     orientation, if any, is 1 (readers would turn the others), with the
//     picture's size and its first rows decoding to the picture's pixels;
//   - an 8-bit PNG whose decoded pixels equal the picture's;
// and in both cases a picture that is drawn unturned and without a
// transparent colour. Everything else is written from its pixels.

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

class DibHandle;
struct BoxDocument;

struct PictureFile {
    enum Kind { Jpeg, Png };
    Kind kind = Jpeg;
    QByteArray bytes;     // the whole file
    int width = 0;
    int height = 0;
    // PNG of colour type 0 (grey) or 2 (RGB), 8 bits, not interlaced, with
    // no transparency: its image data (the IDAT chunks joined) is a zlib
    // stream a PDF reader takes as it is, with the PNG predictors.
    bool pngDataAsIs = false;
    int components = 3;   // 1 grey, 3 RGB
    QByteArray pngData;

    QString suffix() const { return kind == Jpeg ? QStringLiteral("jpg") : QStringLiteral("png"); }
    QString mimeType() const { return kind == Jpeg ? QStringLiteral("image/jpeg") : QStringLiteral("image/png"); }
};

// The file bytes of every picture of doc that qualifies (background and
// image objects), keyed by the QImage cache key of the picture as the
// document holds it.
using PictureFiles = QHash<qint64, PictureFile>;
PictureFiles pictureFilesOf(const BoxDocument& doc);
// The same added to files, leaving out pictures files or known already holds
// (a series looks at each distinct picture once, however many boxes show it).
void addPictureFiles(const BoxDocument& doc, PictureFiles& files, const QSet<qint64>& known = {});

// Whether bytes, a file's contents, show exactly picture (see above);
// fills file when they do.
bool pictureFileMatches(const QByteArray& bytes, const DibHandle& picture, PictureFile& file);
