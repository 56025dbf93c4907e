#pragma once
// Draws a planned sheet (see SheetPlan): every copy of the net through the
// one render pass, each clipped to its bleed outline when a bleed is in
// force, and the registration marks. The canvas may show any part of the
// page: preview, a print band, a whole page.

#include "render/DrawVCart.h"
#include "sheet/SheetPlan.h"

#include <QPainterPath>
#include <QRect>

class QPainter;
struct BoxDocument;

// The area a copy's design may cover, in item pixels: the net's cut outline
// (the folding model's, through the middle of the printed line's pixels)
// grown by the bleed in force. Empty when no bleed is in force (the whole
// item prints, as it always has).
QPainterPath copyClip(const SheetPlan& plan);

// The render pass's parameters for one copy of the plan: the output mapping
// at the plan's resolution (PrintScale = dpiX / 20000), the item as the box
// area, offsets of one item (objects count from the editing area's corner),
// and the plan's progress for the pass's questions.
RenderParams planRenderParams(const SheetPlan& plan, double fontFactor);

// Draws the plan onto canvas, whose origin is the page pixel region.topLeft();
// copies whose placed box misses region are skipped. params: from
// planRenderParams, with the canvas's font resolutions.
// False when the pass fails; the caller checks for a pass already running
// (bands drawn on the render pool run under their job's guard).
bool drawPlannedSheet(QPainter& canvas, const BoxDocument& doc, const SheetPlan& plan, RenderParams params,
                      const QRect& region);

// The registration marks, solid black, onto a canvas whose origin is page
// pixel `origin`.
void drawRegistrationMarks(QPainter& canvas, const SheetPlan& plan, QPoint origin = QPoint());
