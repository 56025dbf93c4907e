#include "render/fast/EditorLayerCache.h"

#include "model/BoxDocument.h"
#include "render/DrawVCart.h"
#include "render/fast/DirectCanvas.h"
#include "render/EditorView.h"
#include "render/fast/FigurePlan.h"
#include "render/FigureRenderer.h"
#include "image/RenderThreads.h"
#include "render/TextRenderer.h"
#include "render/fast/ZoomStepWarmer.h"

#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Whether two slot contents draw alike: every field the pass reads, the
// picture by identity (a changed picture is a new image).
bool drawsAlike(const Tobs& a, const Tobs& b) {
    if (a.Kind != b.Kind) return false;
    if (a.Kind != Figure && a.Kind != Text && a.Kind != Image) return true;   // neither draws
    return a.Left == b.Left && a.Top == b.Top && a.Width == b.Width && a.Height == b.Height &&
           a.KeepAspect == b.KeepAspect && a.Rotation == b.Rotation && a.Alignment == b.Alignment &&
           a.LineWidthOrTransColor == b.LineWidthOrTransColor && a.BorderOrOutlineColor == b.BorderOrOutlineColor &&
           a.FillModeOrShadowColor == b.FillModeOrShadowColor && a.Color == b.Color && a.TransAuto == b.TransAuto &&
           a.Transparent == b.Transparent && a.Shadow == b.Shadow && a.Outline == b.Outline &&
           a.ShadowDx == b.ShadowDx && a.ShadowDy == b.ShadowDy && a.Shape == b.Shape && a.FontSize == b.FontSize &&
           a.FontStyle == b.FontStyle && a.Content == b.Content && a.FontName == b.FontName &&
           a.Picture.image().cacheKey() == b.Picture.image().cacheKey() &&
           a.Picture.DibBitCount() == b.Picture.DibBitCount();
}

// A figure whose fill mode is no fill mode is drawn with the colours the
// figure before it left: a change anywhere before it shows on it.
bool borrowsColours(const Tobs& o) {
    return o.Kind == Figure && o.Shape >= shCircle && o.Shape <= shRoundRect &&
           (o.FillModeOrShadowColor < fmFilled || o.FillModeOrShadowColor > fmFilledBorder);
}

// All an object can touch on the editor's buffer (buffer coordinates).
QRect reachOf(const Tobs& o, const RenderParams& params) {
    switch (o.Kind) {
    case Figure: return figureReach(o, params);
    case Text: return textReach(o, params).adjusted(-2, -2, 2, 2);
    case Image: {
        const auto [X, Y, W, H] = deviceRect(o, params);
        return QRect(X, Y, std::max(W, 0) + 1, std::max(H, 0) + 1);
    }
    default: return QRect();
    }
}

}  // namespace

bool EditorLayerCache::View::operator==(const View& o) const {
    return size == o.size && ratio == o.ratio && scrollX == o.scrollX && scrollY == o.scrollY && percent == o.percent &&
           form == o.form &&
           zoom == o.zoom && divisor == o.divisor && extentW == o.extentW && extentH == o.extentH &&
           backgroundMode == o.backgroundMode && backgroundKey == o.backgroundKey;
}

EditorLayerCache::View EditorLayerCache::viewOf(const QImage& buffer, const BoxDocument& doc, int percent,
                                                int scrollX, int scrollY) const {
    View v;
    v.size = buffer.size();
    v.ratio = buffer.devicePixelRatio();
    v.scrollX = scrollX;
    v.scrollY = scrollY;
    v.percent = percent;
    v.form = doc.Form;
    v.zoom = doc.Zoom;
    v.divisor = doc.ScreenDivisor;
    v.extentW = doc.ExtentWidth;
    v.extentH = doc.ExtentHeight;
    v.backgroundMode = doc.BackgroundMode;
    v.backgroundKey = doc.BackgroundPicture.image().cacheKey();
    return v;
}

void EditorLayerCache::invalidate() {
    // The layer's memory stays for the next full render, which writes every
    // pixel of it: a fresh 4K layer's pages cost the kernel a tenth of the
    // render.
    // The slot contents stay: the next full render notes only what changed.
    m_valid = false;
}

void EditorLayerCache::keep(const BoxDocument& doc) {
    m_objects.resize(size_t(ObjectTable::Capacity) + 1);
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        const Tobs& o = doc.Objects[slot];
        if (!drawsAlike(o, m_objects[size_t(slot)])) m_objects[size_t(slot)] = o;
    }
}

bool EditorLayerCache::render(QImage& buffer, const BoxDocument& doc, int percent, int scrollX, int scrollY) {
    if (Painting() || buffer.isNull()) return false;
    const View view = viewOf(buffer, doc, percent, scrollX, scrollY);
    // Logical pixels: on a high-density buffer the objects' rectangles are
    // logical, the buffer's size counts device pixels.
    const QRect all = logicalRect(buffer);
    QRect changed;
    // A scroll renders in full: curves computed from other coordinates may
    // round a pixel differently, so a moved picture is not an exact one.
    bool full = !m_valid || !(view == m_view) || m_layer.size() != buffer.size() ||
                m_layer.format() != buffer.format();
    if (!full) {
        const RenderParams params = editorRenderParams(doc, percent, scrollX, scrollY);
        bool figureChanged = false, borrowing = false;
        for (int slot = 1; slot <= ObjectTable::Capacity && !full; ++slot) {
            const Tobs& now = doc.Objects[slot];
            const Tobs& before = m_objects[size_t(slot)];
            borrowing = borrowing || borrowsColours(now);
            if (drawsAlike(now, before)) continue;
            figureChanged = figureChanged || now.Kind == Figure || before.Kind == Figure;
            changed |= (reachOf(before, params) | reachOf(now, params)) & all;
            if (changed == all) full = true;
        }
        full = full || (figureChanged && borrowing);
    }
    if (full) {
        if (m_layer.size() != buffer.size() || m_layer.format() != buffer.format())
            m_layer = QImage(buffer.size(), buffer.format());
        if (m_layer.isNull()) return false;
        m_layer.setDevicePixelRatio(buffer.devicePixelRatio());
        // Each band goes to the buffer as soon as it is drawn, while its
        // rows are still at hand.
        renderEditorRegion(m_layer, doc, percent, scrollX, scrollY, all, &buffer);
        m_lastWork = Work::Full;
        m_lastChanged = all;
        // The zoom steps next to this view are likely next.
        if (buffer.devicePixelRatio() == 1.0) ZoomStepWarmer::instance().warm(doc, all.translated(scrollX, scrollY));
    } else if (!changed.isEmpty()) {
        renderEditorRegion(m_layer, doc, percent, scrollX, scrollY, changed);
        m_lastWork = Work::Changed;
        m_lastChanged = changed;
    } else {
        m_lastWork = Work::Reused;
        m_lastChanged = QRect();
    }
    if (m_lastWork != Work::Reused) keep(doc);
    m_view = view;
    m_valid = true;
    // The marks go onto the buffer; the kept picture stays without them.
    if (m_lastWork != Work::Full) std::memcpy(buffer.bits(), m_layer.constBits(), size_t(buffer.sizeInBytes()));
    return true;
}

QRect logicalRect(const QImage& buffer) {
    const qreal ratio = buffer.devicePixelRatio();
    if (ratio == 1.0) return QRect(QPoint(0, 0), buffer.size());
    return QRect(0, 0, int(std::ceil(buffer.width() / ratio)), int(std::ceil(buffer.height() / ratio)));
}

void renderEditorRegion(QImage& buffer, const BoxDocument& doc, int percent, int scrollX, int scrollY,
                        const QRect& region, QImage* copy) {
    const QRect part = region & logicalRect(buffer);
    if (part.isEmpty()) return;
    const QSize area = editingAreaSize(doc);
    RenderParams params = editorRenderParams(doc, percent, scrollX, scrollY);
    PaintingGuard job;
    const ZoomStepWarmer::Pause warmerWaits;
    const qreal ratio = buffer.devicePixelRatio();
    std::unique_ptr<FigurePlan> plan;
    if (DirectCanvas::enabled()) {
        plan = std::make_unique<FigurePlan>(doc, params, part, ratio);
        params.Figures = plan.get();
    }
    // Bands of whole rows, each a window onto the buffer's own memory; a
    // few per thread so that a slow band does not keep the others waiting.
    // On a high-density buffer a band's edges between its neighbours lie on
    // whole device rows (even logical rows at ratios like 1.5), so that the
    // bands together clip as one pass does.
    const int threads = renderThreadCount();
    const int bands = std::clamp(part.height() / 96, 1, std::max(1, threads * 3));
    int rowsPerBand = (part.height() + bands - 1) / bands;
    if (ratio != 1.0) rowsPerBand += rowsPerBand % 2;
    uchar* const rows0 = buffer.bits();
    const qsizetype bpl = buffer.bytesPerLine();
    uchar* const copyRows =
        copy && copy->size() == buffer.size() && copy->format() == buffer.format() ? copy->bits() : nullptr;
    parallelFor(bands, [&](int i) {
        // Internal edges on even rows whatever row the part starts on.
        const int top = i == 0 ? part.top() : ((part.top() + i * rowsPerBand) & ~1);
        const int next = i + 1 == bands ? part.bottom() + 1 : ((part.top() + (i + 1) * rowsPerBand) & ~1);
        const int rows = std::min(next, part.bottom() + 1) - top;
        if (rows <= 0) return;
        // Every band paints on a view of the whole buffer, clipped to its
        // rows: the same coordinates as one pass over the buffer, so curves
        // round exactly as there. The views share the buffer's memory and
        // write disjoint rows.
        QImage band(rows0, buffer.width(), buffer.height(), bpl, buffer.format());
        band.setDevicePixelRatio(ratio);
        QPainter canvas(&band);
        const QRect clip(part.left(), top, part.width(), rows);
        canvas.setClipRect(clip);
        // A view larger than the editing area shows white beyond it, the
        // same however the picture came about.
        const QRegion beyond = QRegion(clip) - QRegion(QRect(-scrollX, -scrollY, area.width(), area.height()));
        for (const QRect& r : beyond) canvas.fillRect(r, Qt::white);
        paintEditorFrame(canvas, area, scrollX, scrollY);
        DrawVCart(canvas, doc, params);
        if (!copyRows) return;
        canvas.end();
        // The band's device rows, whole: its edges lie on whole device rows.
        const int y0 = int(std::lround(top * ratio));
        const int y1 = i + 1 == bands ? buffer.height() : std::min(buffer.height(), int(std::lround(next * ratio)));
        if (y1 > y0) std::memcpy(copyRows + y0 * bpl, rows0 + y0 * bpl, size_t(y1 - y0) * size_t(bpl));
    });
}
