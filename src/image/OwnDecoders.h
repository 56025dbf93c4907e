#pragma once
// Our own decoders for the formats Qt's readers lack (PCX, IFF/ILBM) or
// handle only in part (TGA: Qt reads no colour-mapped or grey Targa files;
// GIF: Qt turns it into true colour and loses the colour table).
// Every decoder checks each size and offset against the data and refuses
// pictures beyond MaxDecodedImageBytes(); a damaged file returns false.
// Palettised results are Format_Indexed8 with a table of 2, 16 or 256
// entries, which fixes the depth the image record reports.

#include <QByteArray>
#include <QImage>
#include <QString>

bool DecodePcx(const QByteArray& data, QImage& out);
bool DecodeIlbm(const QByteArray& data, QImage& out);
bool DecodeTga(const QByteArray& data, QImage& out);
bool DecodeGif(const QByteArray& data, QImage& out);   // first frame

// Picks a decoder by signature (PCX, IFF, GIF) or, for TGA, by the hint.
// Damaged: the signature was ours but the file is broken; no other reader
// should then make something of it.
enum class OwnDecodeResult { NotOurs, Decoded, Damaged };
OwnDecodeResult DecodeOwnFormat(const QByteArray& data, const QString& lowerSuffix, QImage& out);

// Whether the suffix names a format only our decoders read.
bool IsOwnFormatHint(const QString& lowerSuffix);

// Whether width x height pixels of bytesPerPixel stay within the decoder limit.
bool DecodedSizeAllowed(qint64 width, qint64 height, int bytesPerPixel);
