#pragma once
// Rows of a 32-bit picture as 8-bit RGB, each row with the PNG "Up" filter
// byte in front, deflated. Both the PNG file of the sheet and the image
// streams of its PDF are made of these; pieces are compressed on the render
// pool and joined in order.

#include <QByteArray>
#include <QImage>
#include <cstdint>

// zlib level 1: on a 600-dpi photo sheet it is several times faster than the
// default level and the file grows by about a fifth (the sheet benchmark
// prints the sizes). With "Up" the rows of a photo deflate about a fifth
// smaller and faster than with "Sub": at level 1 zlib's short hash chains
// rarely find the row above, 2 KB to 20 KB back, on their own.
constexpr int kSheetFlateLevel = 1;

// Filtered RGB bytes of rows [firstRow, firstRow + rows) of an RGB32 or
// ARGB32 image (its alpha left out): per row the filter byte 2 (Up), then
// width * 3 bytes, each less the same byte of the row above; above row 0 of
// the image lies a row of zeros.
QByteArray filteredRgbRows(const QImage& image, int firstRow, int rows);

// One piece of a deflate stream (no zlib header). A piece that is not the
// last ends on a byte boundary (sync flush), so pieces can be concatenated.
struct FlatePiece {
    QByteArray data;
    std::uint32_t adler = 1;     // Adler-32 of the uncompressed bytes
    qint64 rawLength = 0;
};
FlatePiece deflatePiece(const QByteArray& raw, bool last, int level = kSheetFlateLevel);

// A complete zlib stream of raw bytes (header, deflate data, Adler-32).
QByteArray zlibStream(const QByteArray& raw, int level = kSheetFlateLevel);

// The zlib header for the start of a stream made of pieces, and the trailer
// with the Adler-32 combined over all pieces in order.
QByteArray zlibHeader();
std::uint32_t combineAdler(std::uint32_t adlerA, std::uint32_t adlerB, qint64 lengthB);
QByteArray zlibTrailer(std::uint32_t adler);
