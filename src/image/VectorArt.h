#pragma once
// Vector artwork (SVG, SVGZ) as a picture: screened once when read, then
// drawn from its vectors at whatever resolution a pass has, so it stays
// sharp at every zoom and reaches PDF and SVG output as paths.
//
// Screening rewrites the document: no DTD, no comments or processing
// instructions, entities expanded within a bound, scripts and foreign
// content dropped, and every reference that would leave the file (links,
// pictures, fonts, style sheets, url() targets) removed. Only what
// screening writes ever reaches the renderer, so nothing outside the file is
// read and no network is touched.

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QPainter;

struct VectorArt {
    QByteArray svg;        // the screened document, uncompressed
    QSizeF sizeMm;         // its own size, upright
    std::uint64_t id = 0;  // unique per reading: the key of kept renderings
    // What it covers opaquely, upright, as fractions of its size (see
    // OpaqueGround.h).
    std::vector<QRectF> ground;
};

// Limits a file must keep to be drawn.
constexpr qint64 kMaxVectorArtBytes = 16 * 1024 * 1024;   // file and unpacked document
constexpr int kMaxVectorArtElements = 100000;
constexpr int kMaxVectorArtDepth = 200;
constexpr qint64 kMaxVectorArtPathNumbers = 200000;   // coordinates in all paths and point lists
// A drawing larger than this on a side is placed scaled down to it.
constexpr double kMaxVectorArtPlacedMm = 1000.0;
// A drawing whose shorter side, so placed, is below this is refused: an
// object of it would have no width or height in document units, and a
// printed dot is larger.
constexpr double kMinVectorArtPlacedMm = 0.05;

// Whether bytes are to be read as vector artwork, whatever name they come
// under: gzip-packed, markup (after any comments), or anything Qt's own SVG
// reader would take. Such bytes go through screening and nowhere else.
bool isVectorArtContent(const QByteArray& head);
// The same for a file: also when its name ends in .svg or .svgz.
bool isVectorArtFile(const QString& path, const QByteArray& head);

// Screens raw file bytes (gzip-packed ones are unpacked within the limit).
// Null on refusal, with the reason in German in *reason.
std::shared_ptr<const VectorArt> screenVectorArt(const QByteArray& raw, QString* reason = nullptr);

// The size of the drawing in millimetres, turned by quarterTurns.
QSizeF vectorArtSizeMm(const VectorArt& art, int quarterTurns);

// A raster of the drawing whose longer side is longestSide pixels (transparent
// ground), for the places that need pixels. Null when it cannot be drawn.
QImage rasterOfVectorArt(const VectorArt& art, int quarterTurns, int longestSide);

// Draws the drawing turned by quarterTurns (clockwise) into dest, clipped to
// it. On vector devices (PDF, SVG, printer) it goes in as paths; on a raster
// device it is drawn at the device's own pixels, kept per size so that a
// repaint at the same zoom only copies it.
//
// hidden: device pixels that something drawn later covers opaquely (the
// cover of a later drawing, below). Where the drawing is drawn in strips
// they are left out of it, which the later drawing's pixels make good.
void drawVectorArt(QPainter& painter, const QRectF& dest, const VectorArt& art, int quarterTurns,
                   const std::vector<QRect>& hidden = {});

// The device pixels that drawVectorArt with the same arguments paints
// opaquely, whatever else the painter holds then: the drawing's ground, a
// pixel in from its edges. Empty on a vector device.
std::vector<QRect> vectorArtCover(const QPainter& painter, const QRectF& dest, const VectorArt& art, int quarterTurns);

// Runs work on a thread of Qt's pool and waits for it; where the caller is
// one already, here. There Qt's raster engine draws large fills itself:
// called from any other thread, it hands each one out to that pool in
// pieces and waits for them, which on a machine whose cores already draw
// the sheet's bands costs more in switching than it gains. Memory running
// out there is thrown again here.
void onDrawingThread(const std::function<void()>& work);

// Tests and benchmarks: forget the kept renderings.
void clearVectorArtRenderings();
qint64 keptVectorArtBytes();
// Parsed drawings held by all threads together.
int parsedVectorArtCount();
