#pragma once
// What the layer step puts in place of a picture marker: a file's own bytes,
// or the picture's pixels compressed here (RGB and, where some pixel is not
// opaque, an alpha mask), several pictures at once on the render pool.

#include <QByteArray>
#include <QImage>
#include <vector>

struct PictureFile;

struct PdfPixels {
    int width = 0;
    int height = 0;
    QByteArray rgb;     // zlib stream of 8-bit RGB
    QByteArray alpha;   // zlib stream of 8-bit alpha; empty when all opaque
};

struct PdfPicture {
    const PictureFile* file = nullptr;   // else pixels
    PdfPixels pixels;
};

// Compresses the pixels of every picture, each of pictures[i] to out[i].
std::vector<PdfPixels> compressPdfPixels(const std::vector<QImage>& pictures);
