#pragma once
// A painter's image rows, for figures that are cheaper to write straight into
// memory than to send through the painter. Only where that gives exactly the
// painter's pixels: a 32-bit image, no transform, a plain rectangular clip,
// copy-over composition and no antialiasing. On a high-density image (a
// device-pixel ratio of a whole or a half number, 1.5 to 4) the rows and the
// clip are device pixels, and only the kept figure masks made at that ratio
// write into them.

#include <QRect>
#include <QtGlobal>

class QPainter;

class DirectCanvas {
public:
    // The painter's rows, or an invalid canvas when the painter's state rules
    // writing into them out (or the direct path is switched off).
    static DirectCanvas of(QPainter& canvas);
    // Whether the fast paths are on (tests switch them off to compare).
    static bool enabled();

    bool valid() const { return m_rows != nullptr; }
    // The pixels that may change, in image (device) coordinates.
    const QRect& clip() const { return m_clip; }
    // Device pixels per logical pixel (1 but on a high-density image).
    qreal ratio() const { return m_ratio; }
    // Whether all of r lies on the image: the painter draws a figure that
    // crosses the image's edge by other rules than one inside it.
    bool holds(const QRect& r) const { return m_bounds.contains(r); }
    quint32* row(int y) const { return reinterpret_cast<quint32*>(m_rows + qsizetype(y) * m_bytesPerLine); }

private:
    uchar* m_rows = nullptr;
    qsizetype m_bytesPerLine = 0;
    QRect m_clip;
    QRect m_bounds;
    qreal m_ratio = 1.0;
};

// Switches the direct path and the figures worked out ahead off for its
// lifetime, so that tests can compare them with the painter's own drawing.
class DirectCanvasOff {
public:
    DirectCanvasOff();
    ~DirectCanvasOff();
    DirectCanvasOff(const DirectCanvasOff&) = delete;
    DirectCanvasOff& operator=(const DirectCanvasOff&) = delete;

private:
    bool m_previous;
};
