#include "render/EditorView.h"

#include "model/BoxDocument.h"
#include "render/DrawVCart.h"
#include "render/GdiCanvas.h"
#include "render/TextRenderer.h"

#include <QPainter>

QSize editingAreaSize(const BoxDocument& doc) {
    const Mapping m = Mapping::screenFor(doc);
    return QSize(m.toDevice(doc.ExtentWidth), m.toDevice(doc.ExtentHeight));
}

void paintEditorFrame(QPainter& canvas, QSize area, int hx, int vy) {
    const int W = area.width(), H = area.height();
    canvas.setRenderHint(QPainter::Antialiasing, false);
    canvas.setCompositionMode(QPainter::CompositionMode_SourceOver);
    canvas.setPen(QPen(QColor(255, 255, 255), 1));
    canvas.setBrush(QColor(255, 255, 255));
    gdi::Rectangle(canvas, -hx, -vy, W - hx, H - vy);

    canvas.setPen(QPen(QColor(0, 0, 0), 1));
    canvas.setBrush(Qt::NoBrush);
    gdi::Rectangle(canvas, W / 3 - hx, H / 3 - vy, (2 * W) / 3 - hx, (2 * H) / 3 - vy);

    // Drop shadow along the right and the bottom edge, 5 pixels down and right.
    canvas.setBrush(QBrush(QColor(0x80, 0x80, 0x80), Qt::SolidPattern));
    gdi::FillRect(canvas, (2 * W) / 3 - hx, H / 3 - vy + 5, (2 * W) / 3 - hx + 5, (2 * H) / 3 - vy + 5);
    gdi::FillRect(canvas, W / 3 - hx + 5, (2 * H) / 3 - vy, (2 * W) / 3 - hx + 5, (2 * H) / 3 - vy + 5);
}

bool renderEditorBuffer(QImage& buffer, BoxDocument& doc, int percent, int scrollX, int scrollY) {
    if (Painting() || buffer.isNull()) return false;
    const QSize area = editingAreaSize(doc);
    QPainter canvas(&buffer);
    paintEditorFrame(canvas, area, scrollX, scrollY);

    RenderParams params;
    params.AreaWidth = area.width();
    params.AreaHeight = area.height();
    params.OffsetX = scrollX;
    params.OffsetY = scrollY;
    params.mapping = Mapping::screenFor(doc);
    params.FontFactor = 1.0;
    params.EditorView = true;
    params.Percent = percent;
    // The buffer is a screen bitmap: fonts count at the screen's resolution.
    params.CanvasDpi = screenPpi();
    return DrawVCart(canvas, doc, params);
}
