#pragma once
// Box size and sheet layout as the user sees them: the cube edge for a box
// percentage, the sheet layout line, where net k sits on the sheet, and the
// editing area's size in screen pixels.

#include "model/BoxDocument.h"
#include "model/SheetLayout.h"

#include <QLocale>
#include <QRectF>
#include <QSize>
#include <QString>

// Edge of the folded cube for a box size of percent (10..100) and a net of
// itemHeightMm: "6,38 cm" for 100 % and 205 mm in a German locale.
QString cubeEdgeText(int percent, double itemHeightMm, const QLocale& locale = QLocale());
// The edge in centimetres before formatting.
double cubeEdgeCm(int percent, double itemHeightMm);

// "1 x 1 Faltarillonen á 290,00mm x 205,00mm pro Blatt [Abstände 0,00mm ;
// 0,00mm] [Ränder 0,00mm ; 0,00mm]" (numbers in the given locale).
QString sheetLayoutLine(const SheetLayout& layout, const QLocale& locale = QLocale());

// Rectangle of net number k (from 0) on the sheet, in millimetres: left =
// MarginX + PitchX * (k mod Columns), top = MarginY + PitchY * ((k div
// Columns) mod Rows), size ItemWidth x ItemHeight. Columns or Rows below 1
// (a damaged layout) count as 1; a negative k counts as 0.
QRectF sheetItemRectMm(const SheetLayout& layout, int k);

// Editing area in screen pixels: Trunc(extent * Zoom / ScreenDivisor) in
// each direction (1646 x 1164 after New at 96 dpi). Empty when the scale is
// not positive.
QSize drawingSurfaceSize(const BoxDocument& doc);

// A value formatted with `decimals` fixed decimals after rounding it to
// `precision` significant digits (half away from zero, as a decimal
// formatter with limited precision does), without group separators.
QString formatFixed(double value, int precision, int decimals, const QLocale& locale);
