#pragma once
// The background image and image objects of the render pass.

#include "box/BoxNet.h"

#include <QRect>
#include <cstdint>
#include <vector>

class QPainter;
class DibHandle;
struct Tobs;
struct BoxDocument;
struct RenderParams;

// Where the background goes: every rectangle is one DrawDib destination
// (position and size); clipped tells whether the canvas is clipped to the
// box area meanwhile.
//
// With a cover area (output with a bleed; ignored in the editor) the
// placement is still the box area's, carried on to the cover area's edges:
// a stretched picture repeats its outermost pixels outward (edges: a column,
// a row or a corner pixel of the picture stretched over a band beside it),
// tiles go on tiling over the whole cover area (the clip), a centred larger
// picture shows its own overhang and a centred smaller one nothing beyond
// itself.
struct BackgroundEdge {
    QRect dest;
    QRect source;   // picture pixels, row 0 at the top
};
struct BackgroundPlacement {
    std::vector<QRect> tiles;
    std::vector<BackgroundEdge> edges;
    bool clipped = false;
    QRect clip;   // (l, t, r - l, b - t), or the cover area
};
BackgroundPlacement backgroundPlacement(int mode, int imageWidth, int imageHeight, const BoxArea& area,
                                        bool editorView, int areaWidth, int areaHeight,
                                        const QRect& cover = QRect());

void drawBackground(QPainter& canvas, const BoxDocument& doc, const BoxArea& area,
                    const RenderParams& params);

// Drawn size of an image object of W x H pixels (before the one-pixel
// shrink): keeps the aspect when keepAspect, anchored at the top-left corner.
QSize imageObjectSize(int W, int H, int imageWidth, int imageHeight, bool keepAspect);

// Draws an image object. With Transparent set, pixels equal to the object's
// settled transparent value (model/TransparentValue.h) are left out; a
// negative value makes none transparent. The object is only read.
// hidden: device pixels that objects drawn after it cover opaquely (their
// covers, below), left out where that saves work.
void drawImageObject(QPainter& canvas, const Tobs& o, const RenderParams& params,
                     const std::vector<QRect>& hidden = {});

// The device pixels the object's picture paints opaquely wherever it is
// drawn on this canvas: a drawing's ground; none for other pictures.
std::vector<QRect> imageObjectCover(const QPainter& canvas, const Tobs& o, const RenderParams& params);
