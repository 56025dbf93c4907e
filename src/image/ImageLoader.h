#pragma once
// Reading image files into image records. Qt's image readers handle the
// common formats; PCX, IFF/LBM and every kind of TGA go through our own
// decoders. Only regular files are read: a folder, FIFO or device fails like
// a missing file and never blocks.

#include "image/DibHandle.h"
#include "base/Progress.h"

#include <QImage>
#include <QString>

// Empty on failure (missing, unreadable, damaged or oversized file).
// progress runs over reading the file (to 50) and decoding it (to 100) in
// whole-percent steps and ends at 0, failure or not.
DibHandle OpenDib(const QString& path, const ProgressCallback& progress = {});

// Like OpenDib, for previews: a picture whose shorter side exceeds
// shortestSide is decoded at about that size (JPEG decodes scaled, which is
// far faster than decoding it whole). Pictures beyond the decoders' pixel
// limit are refused even though their reduced copy would fit.
DibHandle OpenDibScaled(const QString& path, int shortestSide);

// Decodes an image held in memory; formatHint is a file extension
// ("pcx", "tga", ...) or empty. Empty on failure. progress runs from 50 to
// 100 as the decoder consumes the data (ours report their end only) and is
// not ended at 0 here.
DibHandle DecodeDib(const QByteArray& data, const QString& formatHint = QString(),
                    const ProgressCallback& progress = {});

// A screened SVG or SVGZ drawing as a picture record: vector artwork whose
// pixels are a stand-in kVectorStandInSide on its longer side. Empty on
// refusal, with the German reason in *reason.
constexpr int kVectorStandInSide = 1024;
DibHandle DecodeVectorArt(const QByteArray& data, QString* reason = nullptr);

// Why the drawing at path was refused ("Die Zeichnung hat mehr als ...");
// empty when path is no drawing or reads well.
QString VectorArtFault(const QString& path);

// A file name without a folder part is taken in programFolder. On failure
// the caller's record is left untouched and the result is false.
bool LoadDIBit(DibHandle& dib, const QString& fileName, const QString& programFolder,
               const ProgressCallback& progress = {});

// Like LoadDIBit, into a plain image: it is first set to 100 by 100 pixels
// and takes the picture's size and pixels on success.
bool LoadBit(QImage& bitmap, const QString& fileName, const QString& programFolder);

// The path LoadDIBit and LoadBit read: a bare name lives in programFolder.
// Both '/' and '\' separate folders (box files written on Windows).
QString ResolveImagePath(const QString& fileName, const QString& programFolder);

// File-dialog filter of the readable formats: description and pattern pairs
// separated by bars ("Alle Bilddateien|*.bmp;*.gif;...|BMP-Bild|*.bmp|...").
QString GetDIBOpenFilter();

// The largest picture any decoder builds, in bytes of decoded pixels (Qt's
// allocation limit, so our own decoders refuse what Qt's would refuse).
qint64 MaxDecodedImageBytes();
