#pragma once
// The parameters of a render pass that draws the item for the printed sheet.

#include "box/NetSource.h"
#include "render/DrawVCart.h"

#include <QPoint>

struct SheetLayout;

// Font factor of the print: (printer dpi / screen dpi)^2, so text keeps the
// size relative to the net that the editor shows.
double printFontFactor(double printerDpi, double screenDpi);

// Parameters of the render pass for the sheet at rx x ry: output mapping
// PrintScale = rx / 20000, area = item, offsets = item size. The pass draws
// the item at the canvas origin; the caller moves the canvas to the sheet
// position (see itemOrigin).
RenderParams sheetRenderParams(const SheetLayout& layout, const NetSource& source, int rx, int ry, double fontFactor);
// Where the item's top-left corner lies on the page: the sheet position.
QPoint itemOrigin(const SheetLayout& layout, int rx, int ry);
