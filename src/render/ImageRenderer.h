#pragma once
// The background image and image objects of the render pass.

#include "render/BoxNet.h"

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
struct BackgroundPlacement {
    std::vector<QRect> tiles;
    bool clipped = false;
    QRect clip;   // (l, t, r - l, b - t)
};
BackgroundPlacement backgroundPlacement(int mode, int imageWidth, int imageHeight, const BoxArea& area,
                                        bool editorView, int areaWidth, int areaHeight);

void drawBackground(QPainter& canvas, const BoxDocument& doc, const BoxArea& area,
                    const RenderParams& params);

// Drawn size of an image object of W x H pixels (before the one-pixel
// shrink): keeps the aspect when keepAspect, anchored at the top-left corner.
QSize imageObjectSize(int W, int H, int imageWidth, int imageHeight, bool keepAspect);

// Draws an image object. With Transparent set, pixels equal to the object's
// settled transparent value (model/TransparentValue.h) are left out; a
// negative value makes none transparent. The object is only read.
void drawImageObject(QPainter& canvas, const Tobs& o, const RenderParams& params);
