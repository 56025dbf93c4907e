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

// The transparent value an image object uses on this pass: the lower-left
// pixel when automatic, otherwise a colour turned into the first palette
// index holding it (images of up to 8 bits). Negative: nothing transparent.
std::int64_t resolveTransparentValue(const Tobs& o);

// Draws an image object; with Transparent set, the resolved transparent
// value is written back into the object's LineWidthOrTransColor.
void drawImageObject(QPainter& canvas, Tobs& o, const RenderParams& params);
