#pragma once
// The area artwork may cover around a box's cut outline: the outline grown
// by the bleed distance. The vector export clips the design to it, and the
// printed sheet can clip its print to the same path, so both trim alike.
//
// Usage:
//   const QPolygonF cut = ...;                       // closed, device pixels
//   const QPainterPath clip = bleedClip(cut, 3.0, 600, itemOrigin);
//   painter.setClipPath(clip, Qt::IntersectClip);
//
// The outline is given in device pixels at `dpi` relative to the box area's
// top-left corner (as the render pass places it with the item at the canvas
// origin); `placement` moves it to where the box area lies on the device.
// Grown means every point within `bleedMm` of the outline's inside: the
// outline itself for 0, rounded corners for anything larger (a disc swept
// along the outline), so no artwork reaches further than the distance.

#include <QPainterPath>
#include <QPointF>
#include <QPolygonF>

// The distance in device pixels: mm / 25.39995 * dpi, not truncated (the
// clip is a vector path, not a pixel count).
double bleedPixels(double bleedMm, double dpi);

// The outline grown by `distance` device pixels (negative counts as 0).
// An open polygon is closed first; fewer than three points give an empty path.
QPainterPath grownOutline(const QPolygonF& outline, double distance);

// grownOutline of the cut outline by bleedMm at dpi, moved by placement.
QPainterPath bleedClip(const QPolygonF& cutOutline, double bleedMm, double dpi,
                       const QPointF& placement = QPointF());
