#pragma once
// Shared by the editor-repaint tests: random figures, and the plain pass
// that the fast repaint is held against.

#include "RenderTestUtil.h"

#include "render/fast/DirectCanvas.h"
#include "render/DrawVCart.h"
#include "render/EditorView.h"

#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>

namespace rt {

// A figure of any shape, colours and fill mode (now and then an unknown one,
// which borrows the colours before it) and pen (now and then a wide one).
// any(lo, hi): a random number in [lo, hi].
template <typename Any>
Tobs& randomFigure(BoxDocument& doc, int slot, Any& any, int x, int y, int w, int h) {
    Tobs& o = place(doc, slot, Figure, x, y, w, h);
    o.Shape = any(0, 9);
    o.FillModeOrShadowColor = any(0, 9) == 0 ? any(3, 7) : any(0, 2);
    o.Color = any(0, 0xFFFFFF);
    o.BorderOrOutlineColor = any(0, 0xFFFFFF);
    o.LineWidthOrTransColor = any(0, 9) == 0 ? any(20, 120) : any(1, 12);
    return o;
}

// One painter pass over the whole buffer, the fast paths switched off; at
// a device-pixel ratio above 1 the buffer holds ratio device pixels per
// logical one of size.
inline QImage plainEditorPass(const BoxDocument& doc, QSize size, int percent, QPoint scroll, qreal ratio = 1.0) {
    const DirectCanvasOff off;
    QImage img = canvas(int(std::ceil(size.width() * ratio)), int(std::ceil(size.height() * ratio)), Qt::white);
    img.setDevicePixelRatio(ratio);
    QPainter painter(&img);
    paintEditorFrame(painter, editingAreaSize(doc), scroll.x(), scroll.y());
    EXPECT_TRUE(DrawVCart(painter, doc, editorRenderParams(doc, percent, scroll.x(), scroll.y())));
    return img;
}

}  // namespace rt
