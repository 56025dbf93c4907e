#include "render/ObjectPicture.h"

#include "model/BoxDocument.h"
#include "render/DrawVCart.h"
#include "render/FigureRenderer.h"
#include "render/ImageRenderer.h"
#include "render/TextRenderer.h"

#include <QPainter>
#include <algorithm>

namespace {
// Limit of the picture's side, so that an absurd rectangle from a file
// cannot ask for gigabytes.
constexpr int kMaxSide = 8192;
}  // namespace

QImage renderObjectPicture(const BoxDocument& doc, const Tobs& object, int percent) {
    RenderParams params;
    params.mapping = Mapping::screenFor(doc);
    params.EditorView = true;
    params.Percent = percent;
    params.Form = doc.Form;
    const int w = params.mapping.DevWidth(object);
    const int h = params.mapping.DevHeight(object);
    // A thick pen reaches half its width beyond the rectangle.
    const int pad = object.Kind == Figure
                        ? std::min(figurePenWidth(object.LineWidthOrTransColor, params.mapping.Scale()), 64) / 2 + 1
                        : 0;
    const int width = std::clamp(w + 2 * pad, 1, kMaxSide);
    const int height = std::clamp(h + 2 * pad, 1, kMaxSide);
    params.OffsetX = params.mapping.DevLeft(object) - pad;
    params.OffsetY = params.mapping.DevTop(object) - pad;
    params.AreaWidth = width;
    params.AreaHeight = height;

    QImage picture(width, height, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter canvas(&picture);
    canvas.setRenderHint(QPainter::Antialiasing, false);
    switch (object.Kind) {
    case Figure: {
        FigureCanvasState state{QColor(255, 255, 255), QColor(255, 255, 255)};
        drawFigure(canvas, object, params, state, QRect(0, 0, width, height));
        break;
    }
    case Text: drawText(canvas, object, params, QRect(0, 0, width, height)); break;
    case Image: drawImageObject(canvas, object, params); break;
    default: break;
    }
    canvas.end();
    return picture;
}
