#pragma once
// Draws a rectangle of an image record scaled into a rectangle of any
// painter: the editor buffer, the preview, a printer band, a dialog's preview.
//
// Scaling is nearest-neighbour with the column i -> SrcX + SrcWidth * i div
// DestWidth and the row r -> TopRow + SrcHeight * r div DestHeight mapping.
// Only the part of the destination that can reach the device (its bounds and
// the painter's clip) is computed, so memory stays bounded by the visible
// area whatever the destination size.

#include "image/DibHandle.h"

#include <QRect>
#include <cstdint>
#include <vector>

class QPainter;

constexpr std::uint32_t SRCCOPY = 0x00CC0020;

// Source rectangle in image pixels, SrcY counted upward from the bottom row.
// Destination columns or rows whose source lies outside the image stay zero
// (black, or colour-table entry 0). Halftone asks for a smoothed picture,
// which is used only for 24-bit images on screens of 8 bits or fewer. Only
// SRCCOPY is drawn; palettes are carried by the image itself.
void DrawDib(QPainter& dc, int X, int Y, int DestWidth, int DestHeight, const DibHandle& image,
             int SrcX, int SrcY, int SrcWidth, int SrcHeight, bool Halftone = false,
             std::uint32_t Rop = SRCCOPY, bool UseDibPalette = false);

// The whole image scaled to (X, Y, DestWidth, DestHeight); pixels whose raw
// value (palette index up to 8 bits, 0x00BBGGRR colour for 24 bits) equals
// transparentValue are left out, so what the canvas shows there stays. A
// negative transparentValue makes nothing transparent.
void DrawDibTransparent(QPainter& dc, int X, int Y, int DestWidth, int DestHeight,
                        const DibHandle& image, std::int64_t transparentValue);

// A drawing (image.isVector()) into (X, Y, DestWidth, DestHeight) as
// DrawDib and DrawDibTransparent draw it, less the device pixels hidden by
// what is drawn after it (drawVectorArt).
void DrawVectorDib(QPainter& dc, int X, int Y, int DestWidth, int DestHeight, const DibHandle& image,
                   const std::vector<QRect>& hidden);
// The device pixels the drawing so placed paints opaquely (vectorArtCover);
// none for a raster picture.
std::vector<QRect> VectorDibCover(const QPainter& dc, int X, int Y, int DestWidth, int DestHeight,
                                  const DibHandle& image);

// The picture as DrawDib (transparentValue < 0) or DrawDibTransparent hands
// it to a vector device (PDF, SVG): palette alpha as the file gives it, keyed
// pixels fully transparent.
QImage vectorPictureOf(const DibHandle& image, std::int64_t transparentValue);

// Bits per pixel of the screen.
int ScreenBitsPerPixel();

// The source rectangle after clipping to the image, with the destination
// adjusted in proportion (round half to even). Exposed for tests.
struct DibClip {
    int X, Y, DestWidth, DestHeight, SrcX, SrcY, SrcWidth, SrcHeight;
};
DibClip clipDibSource(const DibClip& in, int imageWidth, int imageHeight);
