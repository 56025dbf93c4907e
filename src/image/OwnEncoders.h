#pragma once
// Our own writers for the formats Qt cannot write (or not in the form other
// programs expect). Each returns the complete file; an empty array means the
// picture cannot be stored in that format.

#include "image/DibHandle.h"

#include <QByteArray>

QByteArray EncodeBmp(const DibHandle& dib);      // uncompressed, 1/4/8/24 bits
QByteArray EncodeBmpRle(const DibHandle& dib);   // RLE8 or RLE4; true colour quantised to 256
QByteArray EncodeGif(const DibHandle& dib);      // true colour quantised to 256
QByteArray EncodeIlbm(const DibHandle& dib);     // ILBM, ByteRun1; true colour as 24 planes
QByteArray EncodePcx(const DibHandle& dib);      // version 5, RLE
QByteArray EncodeTga(const DibHandle& dib);      // colour-mapped or true colour, uncompressed

// A palettised copy (<= 256 colours) of a true-colour picture: the exact
// colours when there are few enough, otherwise a median-cut palette.
// Palettised pictures come back unchanged.
DibHandle ToPalettised(const DibHandle& dib);
