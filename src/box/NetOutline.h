#pragma once
// The point tables of the box net, shared by the pixel drawing (BoxNet, in
// int) and the folding model (in pixels or millimetres, as double): both must
// trace exactly the same lines, or the 3D view's panels would not match the
// printed net. One table serves the cube and the cuboid: the cube is the
// cuboid with a = b = h = e, row top t = e and flaps e/7 deep.

#include <algorithm>
#include <vector>

// The measures and fractions the net is drawn with: a the width of Vorne and
// Hinten, b of Rechts and Links, h the height of the side faces, t the room
// above the row of side faces, g the glue flap's depth, f the bottom flaps'.
template <typename Num>
struct NetDims {
    Num a, b, h, t, g, f;
    Num a2, a4, a34, a5, a8, a10;
    Num b2, b4, b34, b10, d;   // d: depth of the dust flaps, b - b/3
    Num h10;
    Num lidDepth;              // a - a/2: the lid half's top below the row top
};

// On a pixel canvas each fraction is an integer division of its measure,
// truncated on its own (so a/2 + a/2 may fall short of a). minFlap is the
// pixels of 6 mm, the least flap depth of a cuboid.
template <typename Num>
NetDims<Num> truncatedDims(long long a, long long b, long long h, bool cuboid, long long minFlap) {
    NetDims<Num> n;
    n.a = Num(a), n.b = Num(b), n.h = Num(h);
    if (cuboid) {
        const long long m = std::min({a, b, h});
        const long long flap = std::max(m / 7, minFlap);
        n.t = Num(std::max(a, b - b / 3));
        n.g = Num(std::min(flap, a / 2));
        n.f = Num(std::min(flap, h / 2));
    } else {
        n.t = Num(a);
        n.g = n.f = Num(a / 7);
    }
    n.a2 = Num(a / 2), n.a4 = Num(a / 4), n.a34 = Num((3 * a) / 4), n.a5 = Num(a / 5), n.a8 = Num(a / 8),
    n.a10 = Num(a / 10);
    n.b2 = Num(b / 2), n.b4 = Num(b / 4), n.b34 = Num((3 * b) / 4), n.b10 = Num(b / 10), n.d = Num(b - b / 3);
    n.h10 = Num(h / 10);
    n.lidDepth = Num(a - a / 2);
    return n;
}

// In millimetres every fraction is exact; a cuboid's flaps are at least
// minFlap (6 mm) deep.
inline NetDims<double> exactDims(double a, double b, double h, bool cuboid, double minFlap) {
    NetDims<double> n;
    n.a = a, n.b = b, n.h = h;
    if (cuboid) {
        const double flap = std::max(std::min({a, b, h}) / 7, minFlap);
        n.t = std::max(a, b - b / 3);
        n.g = std::min(flap, a / 2);
        n.f = std::min(flap, h / 2);
    } else {
        n.t = a;
        n.g = n.f = a / 7;
    }
    n.a2 = a / 2, n.a4 = a / 4, n.a34 = 3 * a / 4, n.a5 = a / 5, n.a8 = a / 8, n.a10 = a / 10;
    n.b2 = b / 2, n.b4 = b / 4, n.b34 = 3 * b / 4, n.b10 = b / 10, n.d = b - b / 3;
    n.h10 = h / 10;
    n.lidDepth = a - a / 2;
    return n;
}

// The lid half with its lock tab above the face whose left edge is X, on the
// row top Y1: every measure along the hinge from b, every height from a.
template <typename Point, typename Num>
std::vector<Point> netLidHalf(Num X, Num Y1, const NetDims<Num>& n) {
    const Num yL = Y1 - n.lidDepth;
    const Num b = n.b, b2 = n.b2, b4 = n.b4, b34 = n.b34, b10 = n.b10, a5 = n.a5, a8 = n.a8, a10 = n.a10;
    return {
        {X, Y1},
        {X, yL},
        {X + b4, yL},
        {X + b4, yL - a10},
        {X + b4 - b10, yL - a5},
        {X + b4 - b10, yL - a5 - a8},
        {X + b4, yL - a5 - a8 - a10},
        {X + b34, yL - a5 - a8 - a10},
        {X + b34 + b10, yL - a5 - a8},
        {X + b34 + b10, yL - a5},
        {X + b34, yL - a10},
        // The raised stretch with its step down is the slot the other half's
        // tab slides into.
        {X + b2, yL - a10},
        {X + b2, yL},
        {X + b2, yL},
        {X + b, yL},
        {X + b, Y1},
    };
}

// The 16 polylines of the net in drawing order, from its anchor corner (X0, Y0).
template <typename Point, typename Num>
std::vector<std::vector<Point>> netOutline(Num X0, Num Y0, const NetDims<Num>& n) {
    const Num a = n.a, b = n.b, h = n.h, g = n.g, f = n.f;
    const Num Y1 = Y0 + n.t, Y2 = Y1 + h, Y3 = Y2 + b;
    const Num x1 = X0 + a, x2 = x1 + b, x3 = x2 + a, x4 = x3 + b;
    std::vector<std::vector<Point>> lines;
    lines.reserve(16);
    // The row of four side faces, the bottom face and the folds between them.
    lines.push_back({{X0, Y1}, {x4, Y1}});
    lines.push_back({{X0, Y2}, {x4, Y2}});
    lines.push_back({{x2, Y3}, {x3, Y3}});
    lines.push_back({{X0, Y1}, {X0, Y2}});
    lines.push_back({{x1, Y1}, {x1, Y2}});
    lines.push_back({{x2, Y1}, {x2, Y3}});
    lines.push_back({{x3, Y1}, {x3, Y3}});
    lines.push_back({{x4, Y1}, {x4, Y2}});
    // Glue flaps: right of Links, right, left and below the bottom face.
    lines.push_back({{x4, Y1}, {x4 + g, Y1 + n.h10}, {x4 + g, Y2 - n.h10}, {x4, Y2}});
    lines.push_back({{x3, Y2}, {x3 + f, Y2 + n.b10}, {x3 + f, Y3 - n.b10}, {x3, Y3}});
    lines.push_back({{x2, Y2}, {x2 - f, Y2 + n.b10}, {x2 - f, Y3 - n.b10}, {x2, Y3}});
    lines.push_back({{x2, Y3}, {x2 + n.a10, Y3 + f}, {x3 - n.a10, Y3 + f}, {x3, Y3}});
    // Trapezoid dust flaps above Vorne and Hinten.
    lines.push_back({{X0, Y1}, {X0 + n.a4, Y1 - n.d}, {X0 + n.a34, Y1 - n.d}, {x1, Y1}});
    lines.push_back({{x2, Y1}, {x2 + n.a4, Y1 - n.d}, {x2 + n.a34, Y1 - n.d}, {x3, Y1}});
    // Lid halves with lock tabs above Rechts and Links.
    lines.push_back(netLidHalf<Point>(x1, Y1, n));
    lines.push_back(netLidHalf<Point>(x3, Y1, n));
    return lines;
}
