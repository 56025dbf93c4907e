#pragma once
// Geometry of the box net: where the box area lies on a canvas, how large
// the box's measures are there, and the 16 polylines of the unfolded box.

#include "box/NetOutline.h"
#include "box/NetSource.h"

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

// The net's anchor corner (L, T) and its measures in pixels. For the cube e
// is the edge and a = b = h = e; for a cuboid e is 0, a, b, h are its
// length, width and height and minFlap the pixels of 6 mm.
struct NetMeasure {
    int L = 0;
    int T = 0;
    int e = 0;
    bool cuboid = false;
    int a = 0;
    int b = 0;
    int h = 0;
    int minFlap = 0;
    // Every style but the lock-lid box: its measures and style, drawn from
    // its millimetre plan at this many pixels per millimetre.
    BoxForm form;
    double pixelsPerMm = 0;

    bool planned() const { return !form.isLockLid(); }
    int lengthA() const { return cuboid ? a : e; }
    int widthB() const { return cuboid ? b : e; }
    int heightH() const { return cuboid ? h : e; }
    // Every measure and fraction of the table, as integer divisions.
    NetDims<int> dims() const;
    // The room the net takes: 2a + 2b + g across, t + h + b + f down.
    int netWidth() const;
    int netHeight() const;
    bool operator==(const NetMeasure& o) const {
        return L == o.L && T == o.T && e == o.e && cuboid == o.cuboid && a == o.a && b == o.b && h == o.h &&
               minFlap == o.minFlap && form == o.form && pixelsPerMm == o.pixelsPerMm;
    }
};

// Measures the cube's net inside a box area at a box size of percent
// (10..100): the bottom fifteenth of the area stays free, the rest is three
// edges high.
NetMeasure measureNet(const BoxArea& area, int percent);
// Measures the net of a source: the cube as above; a cuboid anchored at the
// same corner with each measure Trunc(mm * 20000 / 25.39995 * pixelsPerUnit),
// pixelsPerUnit being the canvas's pixels per document unit.
NetMeasure measureNet(const BoxArea& area, const NetSource& source, double pixelsPerUnit);
// The same for a canvas given in pixels per inch (print, export, preview).
NetMeasure measureNetAtDpi(const BoxArea& area, const NetSource& source, double dpi);

using Polyline = std::vector<QPoint>;

// The polylines of the net in drawing order: the lock-lid box's 16 of its
// point table, another style's outline, folds and slits. Each starts with a
// move to its first point.
std::vector<Polyline> netPolylines(const NetMeasure& m);

// The cube's lid half with its lock tab above the face whose left edge is x.
Polyline lidHalf(int x, int top, int e);

// Bounding box of all the net's points (inclusive of the last pixel row and
// column the lines reach).
QRect netBounds(const NetMeasure& m);
