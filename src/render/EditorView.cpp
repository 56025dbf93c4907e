#include "render/EditorView.h"

#include "base/Units.h"
#include "model/BoxDocument.h"
#include "render/DrawVCart.h"
#include "render/fast/EditorLayerCache.h"
#include "render/GdiCanvas.h"
#include "render/TextRenderer.h"

#include <QPainter>

QSize editingAreaSize(const BoxDocument& doc) {
    const Mapping m = Mapping::screenFor(doc);
    return QSize(m.toDevice(doc.ExtentWidth), m.toDevice(doc.ExtentHeight));
}

void paintEditorFrame(QPainter& canvas, QSize area, int scrollX, int scrollY) {
    // In 64 bits and bounded, so that a huge zoom cannot overflow.
    const long long W = area.width(), H = area.height(), hx = scrollX, vy = scrollY;
    auto c = [](long long v) { return clampCoord(v); };
    canvas.setRenderHint(QPainter::Antialiasing, false);
    canvas.setCompositionMode(QPainter::CompositionMode_SourceOver);
    canvas.setPen(QPen(QColor(255, 255, 255), 1));
    canvas.setBrush(QColor(255, 255, 255));
    gdi::Rectangle(canvas, c(-hx), c(-vy), c(W - hx), c(H - vy));

    const long long l = W / 3 - hx, t = H / 3 - vy, r = (2 * W) / 3 - hx, b = (2 * H) / 3 - vy;
    canvas.setPen(QPen(QColor(0, 0, 0), 1));
    canvas.setBrush(Qt::NoBrush);
    gdi::Rectangle(canvas, c(l), c(t), c(r), c(b));

    // Drop shadow along the right and the bottom edge, 5 pixels down and right.
    canvas.setBrush(QBrush(QColor(0x80, 0x80, 0x80), Qt::SolidPattern));
    gdi::FillRect(canvas, c(r), c(t + 5), c(r + 5), c(b + 5));
    gdi::FillRect(canvas, c(l + 5), c(b), c(r + 5), c(b + 5));
}

RenderParams editorRenderParams(const BoxDocument& doc, int percent, int scrollX, int scrollY) {
    const QSize area = editingAreaSize(doc);
    RenderParams params;
    params.AreaWidth = area.width();
    params.AreaHeight = area.height();
    params.OffsetX = scrollX;
    params.OffsetY = scrollY;
    params.mapping = Mapping::screenFor(doc);
    params.FontFactor = 1.0;
    params.EditorView = true;
    params.Percent = percent;
    params.Form = doc.Form;
    params.CanvasDpi = screenPpi();
    return params;
}

bool renderEditorBuffer(QImage& buffer, const BoxDocument& doc, int percent, int scrollX, int scrollY) {
    if (Painting() || buffer.isNull()) return false;
    renderEditorRegion(buffer, doc, percent, scrollX, scrollY, logicalRect(buffer));
    return true;
}
