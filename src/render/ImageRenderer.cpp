#include "render/ImageRenderer.h"

#include "base/Units.h"
#include "image/DrawDib.h"
#include "model/BoxDocument.h"
#include "model/TransparentValue.h"
#include "render/DrawVCart.h"
#include "render/PictureStandIns.h"

#include <QPainter>
#include <algorithm>
#include <optional>
#include <utility>

namespace {

// Integer products of image and area sizes can pass 2^31 on large prints.
int mulDiv(long long a, long long b, long long c) {
    if (c == 0) return 0;
    return clampCoord(a * b / c);
}

void drawPlaced(QPainter& canvas, const DibHandle& picture, const QRect& r, const RenderParams& params) {
    const DibHandle* standIn = params.StandIns ? params.StandIns->find(picture, -1) : nullptr;
    const DibHandle& pic = standIn ? *standIn : picture;
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

// The bands around the stretched picture's rectangle d up to the cover
// area's edges, each filled with the picture's pixels along that side.
std::vector<BackgroundEdge> fitEdges(const QRect& d, const QRect& cover, int iw, int ih) {
    std::vector<BackgroundEdge> e;
    const int left = d.left() - cover.left(), right = cover.right() - d.right();
    const int top = d.top() - cover.top(), bottom = cover.bottom() - d.bottom();
    const QRect column0(0, 0, 1, ih), columnN(iw - 1, 0, 1, ih), row0(0, 0, iw, 1), rowN(0, ih - 1, iw, 1);
    if (left > 0) e.push_back({QRect(cover.left(), d.top(), left, d.height()), column0});
    if (right > 0) e.push_back({QRect(d.right() + 1, d.top(), right, d.height()), columnN});
    if (top > 0) e.push_back({QRect(d.left(), cover.top(), d.width(), top), row0});
    if (bottom > 0) e.push_back({QRect(d.left(), d.bottom() + 1, d.width(), bottom), rowN});
    if (left > 0 && top > 0) e.push_back({QRect(cover.left(), cover.top(), left, top), QRect(0, 0, 1, 1)});
    if (right > 0 && top > 0) e.push_back({QRect(d.right() + 1, cover.top(), right, top), QRect(iw - 1, 0, 1, 1)});
    if (left > 0 && bottom > 0)
        e.push_back({QRect(cover.left(), d.bottom() + 1, left, bottom), QRect(0, ih - 1, 1, 1)});
    if (right > 0 && bottom > 0)
        e.push_back({QRect(d.right() + 1, d.bottom() + 1, right, bottom), QRect(iw - 1, ih - 1, 1, 1)});
    return e;
}

// First and last step k with origin + k * step inside [from - step, to]:
// every tile that can reach the range.
std::pair<long long, long long> tileSteps(long long origin, long long step, long long from, long long to) {
    auto floorDiv = [](long long a, long long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    return {floorDiv(from - origin, step), floorDiv(to - origin, step)};
}

// Tiles of the tile mode carried over the whole cover area: the box area's
// tile column (or row) repeated side by side, its tiles continued both ways.
void coverTiles(BackgroundPlacement& p, const QRect& cover, int l, int t, int tileW, int tileH) {
    // A cover area of absurd size still ends: tiles no finer than a pixel,
    // at most a few thousand in each direction.
    constexpr long long MaxTilesPerSide = 4096;
    const auto [c0, c1] = tileSteps(l, tileW, cover.left(), cover.right());
    const auto [r0, r1] = tileSteps(t, tileH, cover.top(), cover.bottom());
    if (c1 - c0 >= MaxTilesPerSide || r1 - r0 >= MaxTilesPerSide) return;
    p.tiles.clear();
    for (long long r = r0; r <= r1; ++r)
        for (long long c = c0; c <= c1; ++c)
            p.tiles.push_back(QRect(clampCoord(l + c * tileW), clampCoord(t + r * tileH), tileW, tileH));
}

}  // namespace

BackgroundPlacement backgroundPlacement(int mode, int iw, int ih, const BoxArea& area, bool editorView,
                                        int areaWidth, int areaHeight, const QRect& cover) {
    BackgroundPlacement p;
    if (iw <= 0 || ih <= 0) return p;
    const bool covering = !editorView && !cover.isEmpty();
    const int l = area.left, t = area.top, r = area.right, b = area.bottom;
    int bw = r - l + 1;
    int bh = b - t + 1;
    p.clip = QRect(l, t, r - l, b - t);
    switch (mode) {
    case bgFit:
        p.tiles.push_back(QRect(l, t, bw, bh));
        if (covering) p.edges = fitEdges(p.tiles.front(), cover, iw, ih);
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
            if (covering && bw > 1) coverTiles(p, cover, l, t, bw - 1, step);
        } else {
            const int cw = mulDiv(iw, bh, ih);
            const int step = cw - 1;
            if (step < 1) break;
            for (long long k = 0; k * step < areaWidth && l + k * step < r; ++k)
                p.tiles.push_back(QRect(clampCoord(l + k * step), t, step, bh - 1));
            if (covering && bh > 1) coverTiles(p, cover, l, t, step, bh - 1);
        }
        if (covering) p.clip = cover;
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
    const QSize aspect = pic.aspectSize();
    BackgroundPlacement place = backgroundPlacement(doc.BackgroundMode, aspect.width(), aspect.height(), area,
                                                    params.EditorView, params.AreaWidth, params.AreaHeight,
                                                    params.CoverArea);
    // A drawing's edges come from its stand-in pixels.
    if (aspect != QSize(pic.DibWidth(), pic.DibHeight()))
        for (BackgroundEdge& edge : place.edges) {
            const QRect s = edge.source;
            const auto px = [](int v, int from, int to) { return int(qint64(v) * to / from); };
            edge.source = QRect(px(s.x(), aspect.width(), pic.DibWidth()), px(s.y(), aspect.height(), pic.DibHeight()),
                                std::max(1, px(s.width(), aspect.width(), pic.DibWidth())),
                                std::max(1, px(s.height(), aspect.height(), pic.DibHeight())));
        }
    if (place.tiles.empty()) return;
    if (place.clipped) {
        canvas.save();
        canvas.setClipRect(place.clip, Qt::IntersectClip);
    }
    for (const QRect& tile : place.tiles) drawPlaced(canvas, pic, tile, params);
    // Each edge is a picture of its own (a stand-in marker stands for the
    // whole picture, not for a strip of it); its rows or columns map as the
    // picture's do beside it.
    for (const BackgroundEdge& edge : place.edges) {
        const DibHandle strip(pic.image().copy(edge.source), pic.DibBitCount());
        DrawDib(canvas, edge.dest.x(), edge.dest.y(), edge.dest.width(), edge.dest.height(), strip, 0, 0,
                strip.DibWidth(), strip.DibHeight(), false, SRCCOPY, false);
    }
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

namespace {

// Where an image object's picture goes, and the picture drawn there (a
// stand-in where the pass has one).
struct PlacedPicture {
    int x = 0, y = 0, w = 0, h = 0;   // the drawn image covers one pixel less each way
    const DibHandle* picture = nullptr;
    bool transparent = false;
    std::int64_t value = -1;
};

std::optional<PlacedPicture> placedPicture(const Tobs& o, const RenderParams& params) {
    const DibHandle& pic = o.Picture;
    if (pic.isEmpty()) return std::nullopt;
    const auto [X, Y, W, H] = deviceRect(o, params);
    const QSize aspect = pic.aspectSize();
    const QSize size = imageObjectSize(W, H, aspect.width(), aspect.height(), o.KeepAspect == 1);
    PlacedPicture p{X, Y, size.width() - 1, size.height() - 1, &pic};
    if (p.w <= 0 || p.h <= 0) return std::nullopt;
    p.transparent = o.Transparent == 1;
    p.value = p.transparent ? drawnTransparentValue(o) : -1;
    if (const DibHandle* standIn = params.StandIns ? params.StandIns->find(pic, p.value) : nullptr)
        p.picture = standIn;
    return p;
}

}  // namespace

void drawImageObject(QPainter& canvas, const Tobs& o, const RenderParams& params, const std::vector<QRect>& hidden) {
    const std::optional<PlacedPicture> p = placedPicture(o, params);
    if (!p) return;
    const DibHandle& pic = *p->picture;
    if (pic.isVector()) {
        DrawVectorDib(canvas, p->x, p->y, p->w, p->h, pic, hidden);
    } else if (p->transparent) {
        // Transparent pixels are left out of the drawing (alpha 0) rather
        // than copied back from the canvas: the same picture on screen, and
        // it also works where the device cannot be read back.
        DrawDibTransparent(canvas, p->x, p->y, p->w, p->h, pic, p->picture == &o.Picture ? p->value : -1);
    } else {
        DrawDib(canvas, p->x, p->y, p->w, p->h, pic, 0, 0, pic.DibWidth(), pic.DibHeight(), false, SRCCOPY, false);
    }
}

std::vector<QRect> imageObjectCover(const QPainter& canvas, const Tobs& o, const RenderParams& params) {
    const std::optional<PlacedPicture> p = placedPicture(o, params);
    if (!p) return {};
    return VectorDibCover(canvas, p->x, p->y, p->w, p->h, *p->picture);
}
