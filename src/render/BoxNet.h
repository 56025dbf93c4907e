#pragma once
// Geometry of the box net: where the box area lies on a canvas, how large
// the cube's edge is, and the 16 polylines of the unfolded cube.

#include <QPoint>
#include <QRect>
#include <vector>

// The box area in device pixels; right and bottom are exclusive in the sense
// of the frame drawn around it (the frame's last column is right - 1).
struct BoxArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const BoxArea& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// Editor: the middle third of the editing area (areaWidth x areaHeight),
// shifted by the scroll offsets. Output (preview, printer): (0, 0, area).
BoxArea boxAreaFor(int areaWidth, int areaHeight, int offsetX, int offsetY, bool editorView);

// The net's anchor corner (L, T) and the cube's edge e in pixels.
struct NetMeasure {
    int L = 0;
    int T = 0;
    int e = 0;
};

// Measures the net inside a box area at a box size of percent (10..100): the
// bottom fifteenth of the area stays free, the rest is three edges high.
NetMeasure measureNet(const BoxArea& area, int percent);

using Polyline = std::vector<QPoint>;

// The 16 polylines of the net in drawing order (see BoxNet.cpp for which is
// which). Each starts with a move to its first point.
std::vector<Polyline> netPolylines(const NetMeasure& m);

// The lid half with its lock tab above the face whose left edge is x.
Polyline lidHalf(int x, int top, int e);

// Bounding box of all the net's points (inclusive of the last pixel row and
// column the lines reach).
QRect netBounds(const NetMeasure& m);
