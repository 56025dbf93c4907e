#pragma once
// One canvas and render pass settings for drawing texts alone: the editor's
// area on green, or a piece of a 600-dpi sheet on white.

#include "RenderTestUtil.h"
#include "render/SheetRenderParams.h"

#include "render/DrawVCart.h"
#include "sheet/SheetRenderer.h"
#include "render/TextRenderer.h"

#include <QImage>

namespace rt {

struct TextCanvas {
    QImage image;
    RenderParams params;
};

inline TextCanvas textCanvas(const BoxDocument& doc, bool print, bool aliased, int printWidth = 2000) {
    TextCanvas c;
    if (print) {
        c.image = canvas(printWidth, 1400);
        c.params = sheetRenderParams(doc.Layout, NetSource::cube(100), 600, 600, printFontFactor(600, 96));
        c.params.CanvasDpi = 600;
        c.params.FontPpi = 96;
    } else {
        c.image = canvas(1646, 1164, QColor(40, 160, 60));
        c.params.AreaWidth = 1646;
        c.params.AreaHeight = 1164;
        c.params.EditorView = true;
    }
    c.params.AliasedText = aliased;
    return c;
}

}  // namespace rt
