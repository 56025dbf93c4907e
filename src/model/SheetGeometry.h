#pragma once
// Where net number 0's item lies on the printed sheet at a resolution.

struct SheetLayout;

// Item size (Wb x Hb) and the sheet position (sx, sy) of net number 0 at rx
// pixels per inch across and ry down: Trunc(mm / 25.39995 * r).
struct SheetGeometry {
    int Wb = 0;
    int Hb = 0;
    int sx = 0;
    int sy = 0;
};
SheetGeometry sheetGeometry(const SheetLayout& layout, int rx, int ry);
