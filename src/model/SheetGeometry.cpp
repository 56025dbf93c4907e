#include "model/SheetGeometry.h"

#include "base/Units.h"
#include "model/SheetLayout.h"

SheetGeometry sheetGeometry(const SheetLayout& layout, int rx, int ry) {
    SheetGeometry g;
    g.Wb = mmToPixels(layout.ItemWidth, rx);
    g.Hb = mmToPixels(layout.ItemHeight, ry);
    g.sx = mmToPixels(layout.MarginX, rx);
    g.sy = mmToPixels(layout.MarginY, ry);
    return g;
}
