#include "render/SheetRenderParams.h"

#include "model/SheetGeometry.h"

double printFontFactor(double printerDpi, double screenDpi) {
    if (screenDpi <= 0) screenDpi = 96;
    const double f = printerDpi / screenDpi;
    return f * f;
}

RenderParams sheetRenderParams(const SheetLayout& layout, const NetSource& source, int rx, int ry, double fontFactor) {
    const SheetGeometry g = sheetGeometry(layout, rx, ry);
    RenderParams p;
    p.AreaWidth = g.Wb;
    p.AreaHeight = g.Hb;
    // Objects count from the editing area's corner, one item left and above
    // the box area; the offsets bring the box area to the canvas origin.
    p.OffsetX = g.Wb;
    p.OffsetY = g.Hb;
    p.mapping = Mapping::printAtDpi(rx);
    p.FontFactor = fontFactor;
    p.EditorView = false;
    p.Percent = source.percent;
    p.Form = source.form;
    return p;
}

QPoint itemOrigin(const SheetLayout& layout, int rx, int ry) {
    const SheetGeometry g = sheetGeometry(layout, rx, ry);
    return QPoint(g.sx, g.sy);
}
