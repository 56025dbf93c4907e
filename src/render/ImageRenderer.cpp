#include "render/ImageRenderer.h"

#include "image/DrawDib.h"
#include "model/BoxDocument.h"
#include "model/TransparentValue.h"
#include "render/DrawVCart.h"

#include <QPainter>
#include <algorithm>

namespace {

// Integer products of image and area sizes can pass 2^31 on large prints.
int mulDiv(long long a, long long b, long long c) {
    if (c == 0) return 0;
    return clampCoord(a * b / c);
}

void drawPlaced(QPainter& canvas, const DibHandle& pic, const QRect& r) {
    DrawDib(canvas, r.x(), r.y(), r.width(), r.height(), pic, 0, 0, pic.DibWidth(), pic.DibHeight(), false,
            SRCCOPY, false);
}

// The picture at the box area's full width, centred; at its full height
// instead where that width would make it overflow the area (inside) or fall
// short of it (not inside).
QRect centredTile(int l, int t, int bw, int bh, int iw, int ih, bool inside) {
    const int ch = mulDiv(ih, bw, iw);
    int dx = 0, dy = 0;
    if (inside ? ch < bh : ch > bh) {
        dy = (bh - ch) / 2;
        bh = ch;
    } else {
        const int cw = mulDiv(iw, bh, ih);
        dx = (bw - cw) / 2;
        bw = cw;
    }
    return QRect(l + dx, t + dy, bw - 1, bh - 1);
}

}  // namespace

BackgroundPlacement backgroundPlacement(int mode, int iw, int ih, const BoxArea& area, bool editorView,
                                        int areaWidth, int areaHeight) {
    BackgroundPlacement p;
    if (iw <= 0 || ih <= 0) return p;
    const int l = area.left, t = area.top, r = area.right, b = area.bottom;
    int bw = r - l + 1;
    int bh = b - t + 1;
    p.clip = QRect(l, t, r - l, b - t);
    switch (mode) {
    case bgFit:
        p.tiles.push_back(QRect(l, t, bw, bh));
        break;
    case bgCenterSmaller:
        p.tiles.push_back(centredTile(l, t, bw, bh, iw, ih, true));
        break;
    case bgCenterLarger:
        p.clipped = editorView;
        p.tiles.push_back(centredTile(l, t, bw, bh, iw, ih, false));
        break;
    case bgTile: {
        p.clipped = true;
        const int ch = mulDiv(ih, bw, iw);
        // A tile step below 1 pixel would never advance: no tiles then.
        if (ch < bh) {
            const int step = ch - 1;
            if (step < 1) break;
            // Tiles past the box area would be clipped away: stop there.
            for (long long k = 0; k * step < areaHeight && t + k * step < b; ++k)
                p.tiles.push_back(QRect(l, clampCoord(t + k * step), bw - 1, step));
        } else {
            const int cw = mulDiv(iw, bh, ih);
            const int step = cw - 1;
            if (step < 1) break;
            for (long long k = 0; k * step < areaWidth && l + k * step < r; ++k)
                p.tiles.push_back(QRect(clampCoord(l + k * step), t, step, bh - 1));
        }
        break;
    }
    default:
        break;
    }
    return p;
}

void drawBackground(QPainter& canvas, const BoxDocument& doc, const BoxArea& area, const RenderParams& params) {
    const DibHandle& pic = doc.BackgroundPicture;
    if (pic.isEmpty()) return;
    const BackgroundPlacement place = backgroundPlacement(doc.BackgroundMode, pic.DibWidth(), pic.DibHeight(),
                                                          area, params.EditorView, params.AreaWidth,
                                                          params.AreaHeight);
    if (place.tiles.empty()) return;
    if (place.clipped) {
        canvas.save();
        canvas.setClipRect(place.clip, Qt::IntersectClip);
    }
    for (const QRect& tile : place.tiles) drawPlaced(canvas, pic, tile);
    if (place.clipped) canvas.restore();
}

QSize imageObjectSize(int W, int H, int iw, int ih, bool keepAspect) {
    int dw = W, dh = H;
    if (keepAspect && iw > 0 && ih > 0) {
        const int ch = mulDiv(ih, dw, iw);
        if (ch < dh)
            dh = ch;
        else
            dw = mulDiv(iw, dh, ih);
    }
    return QSize(dw, dh);
}

void drawImageObject(QPainter& canvas, const Tobs& o, const RenderParams& params) {
    const DibHandle& pic = o.Picture;
    if (pic.isEmpty()) return;
    const auto [X, Y, W, H] = deviceRect(o, params);
    const QSize size = imageObjectSize(W, H, pic.DibWidth(), pic.DibHeight(), o.KeepAspect == 1);
    // The drawn image covers one pixel less than its rectangle each way.
    const int w = size.width() - 1, h = size.height() - 1;
    if (o.Transparent == 1) {
        if (w <= 0 || h <= 0) return;
        const std::int64_t value = drawnTransparentValue(o);
        // Transparent pixels are left out of the drawing (alpha 0) rather
        // than copied back from the canvas: the same picture on screen, and
        // it also works where the device cannot be read back.
        DrawDibTransparent(canvas, X, Y, w, h, pic, value);
        return;
    }
    if (w <= 0 || h <= 0) return;
    drawPlaced(canvas, pic, QRect(X, Y, w, h));
}
