#pragma once
// Buffers for high-density screens hold r device pixels per logical pixel
// (QImage::setDevicePixelRatio); everything is still laid out in logical
// pixels. A logical pixel x covers the device pixels
// [deviceEdge(x), deviceEdge(x + 1)): the rule QPainter's raster engine uses
// for aliased rectangles under a scale. Spans written straight into an image
// and rectangles filled through a painter therefore meet without seams or
// overlaps, also at fractional ratios like 1.25 and 1.5.

#include <QtGlobal>
#include <algorithm>

class QPainter;

inline int deviceEdge(int logical, qreal ratio) {
    if (ratio == 1.0) return logical;
    const qint64 edge = qRound64(logical * ratio);
    return static_cast<int>(std::clamp<qint64>(edge, -(qint64(1) << 30), qint64(1) << 30));
}

// Device pixels per logical pixel of a painter whose transform is a uniform
// scale (plus a shift), as on a high-density buffer; 1 for anything else.
qreal painterPixelRatio(const QPainter& painter);
