#pragma once
// Selection marks of the current object on the editor buffer: a 1-pixel frame
// and eight 6 x 6 handles. While the object is dragged only the frame is
// drawn, inverting what lies below, so drawing it a second time at the same
// place restores every pixel.

#include <QImage>
#include <QRect>
#include <QRegion>

#include <cstdint>
#include <limits>
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

// The inverted frames of many objects (a large selection) at once. Each
// frame's sides go into a plane of one bit per device pixel, exclusive-or'd
// as the frames overlap; finish() then inverts each pixel whose bit is set,
// once. The buffer ends as drawing every frame with markrec(InvertedFrame)
// would leave it, but a pixel under many frames is written once, and the
// frames' sides, a pixel per row, are written into the small plane instead
// of the buffer. Frames wholly outside the buffer cost a comparison.
class InvertedFrames {
public:
    explicit InvertedFrames(QImage& canvas);
    ~InvertedFrames() { finish(); }
    InvertedFrames(const InvertedFrames&) = delete;
    InvertedFrames& operator=(const InvertedFrames&) = delete;

    // Coordinates as for markrec.
    void add(const QRect& objectRect);
    // Lays the collected frames on the buffer; later adds start afresh.
    void finish();

private:
    void flipSpan(int x1, int y1, int x2, int y2);

    QImage& m_canvas;
    bool m_direct = false;       // 32-bit pixels: the plane; else markrec
    int m_width = 0, m_height = 0;
    int m_words = 0;             // 64-bit words per row of the plane
    std::vector<std::uint64_t> m_plane;
    int m_top = std::numeric_limits<int>::max(), m_bottom = -1;   // rows the plane has touched
};
