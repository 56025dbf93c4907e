#pragma once
// Selection marks of the current object on the editor buffer: a 1-pixel frame
// and eight 6 x 6 handles. While the object is dragged only the frame is
// drawn, inverting what lies below, so drawing it a second time at the same
// place restores every pixel.

#include <QImage>
#include <QRect>
#include <QRegion>

#include <vector>

enum class MarkStyle {
    FrameAndHandles,   // idle: black frame and the eight handles
    FrameOnly,         // a hand scroll is under way: black frame, no handles
    InvertedFrame      // an object drag is under way: self-erasing frame
};

// On a buffer with a device pixel ratio the marks keep their logical sizes
// (a 1-pixel frame is r device pixels wide) and lie on the device grid.
// objectRect holds the object's device rectangle (DevLeft, DevTop, DevWidth,
// DevHeight) with the buffer's offsets already subtracted.
void markrec(QImage& canvas, const QRect& objectRect, MarkStyle style);

// The mark of a locked object: a small padlock, 7 x 8 pixels, inverted, just
// inside the object's top-right corner. Never printed: it goes on the
// editor's buffer only, like the frames.
void lockMark(QImage& canvas, const QRect& objectRect);

// The eight handle centres in drawing order: top left, top right, bottom
// left, bottom right, top middle, bottom middle, left middle, right middle.
void handleCentres(const QRect& objectRect, QPoint out[8]);

// What a drag shows, as one set of logical pixels: the inverted frame of
// objectRect and the snap guides, full columns and rows across `area`. A
// pixel where a guide meets the frame or another guide is in the set once,
// so inverting the set twice restores the buffer.
QRegion dragMarkPixels(const QRect& objectRect, const std::vector<int>& columns, const std::vector<int>& rows,
                       const QRect& area);
// Inverts each pixel of the set once; coordinates as for markrec.
void invertPixels(QImage& canvas, const QRegion& pixels);
