#pragma once
// Stand-ins for pictures whose own file bytes go into a PDF. Qt's PDF writer
// always encodes a picture anew, which for a photo costs most of the
// export's time and size. So the export draws, where such a picture goes, a
// marker of 16 x 1 pixels instead: the placement is the picture's, since a
// PDF image is drawn into the unit square its transform scales, whatever its
// pixel count. The layer step then finds each marker among the image objects
// (16 x 1, RGB, its pixels the fixed signature followed by its number) and
// gives that object the file's bytes.

#include "image/DibHandle.h"

#include <QByteArray>

constexpr int kPictureMarkerWidth = 16;

// The marker of picture number index (0 and up).
DibHandle pictureMarker(int index);
// Its pixels as the PDF holds them: RGB, 8 bits each.
QByteArray pictureMarkerRgb(int index);
// The number of the marker whose RGB pixels these are, or -1.
int pictureMarkerIndex(const QByteArray& rgb);
