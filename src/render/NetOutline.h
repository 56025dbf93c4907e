#pragma once
// The point tables of the box net, shared by the pixel drawing (BoxNet, in
// int) and the folding model (in pixels or millimetres, as double): both must
// trace exactly the same lines, or the 3D view's panels would not match the
// printed net.

#include <vector>

// The fractions of the cube's edge the net is drawn with.
template <typename Num>
struct NetFractions {
    Num e, e2, e3, e4, e34, e5, e7, e8, e10;
};

// On a pixel canvas each fraction is an integer division of the whole edge,
// truncated on its own (so e2 + e2 may fall short of e).
template <typename Num>
NetFractions<Num> truncatedFractions(long long n) {
    return {Num(n), Num(n / 2), Num(n / 3), Num(n / 4), Num((3 * n) / 4), Num(n / 5), Num(n / 7), Num(n / 8),
            Num(n / 10)};
}

// The lid half with its lock tab above the face whose left edge is X.
template <typename Point, typename Num>
std::vector<Point> netLidHalf(Num X, Num T, const NetFractions<Num>& n) {
    const Num e = n.e, e2 = n.e2, e4 = n.e4, e34 = n.e34, e5 = n.e5, e8 = n.e8, e10 = n.e10;
    return {
        {X, T + e},
        {X, T + e2},
        {X + e4, T + e2},
        {X + e4, T + e2 - e10},
        {X + e4 - e10, T + e2 - e5},
        {X + e4 - e10, T + e2 - e5 - e8},
        {X + e4, T + e2 - e5 - e8 - e10},
        {X + e34, T + e2 - e5 - e8 - e10},
        {X + e34 + e10, T + e2 - e5 - e8},
        {X + e34 + e10, T + e2 - e5},
        {X + e34, T + e2 - e10},
        // The raised stretch with its step down is the slot the other half's
        // tab slides into.
        {X + e2, T + e2 - e10},
        {X + e2, T + e2},
        {X + e2, T + e2},
        {X + e, T + e2},
        {X + e, T + e},
    };
}

// The 16 polylines of the net in drawing order, from its anchor corner (L, T).
template <typename Point, typename Num>
std::vector<std::vector<Point>> netOutline(Num L, Num T, const NetFractions<Num>& n) {
    const Num e = n.e, e3 = n.e3, e4 = n.e4, e34 = n.e34, e7 = n.e7, e10 = n.e10;
    std::vector<std::vector<Point>> lines;
    lines.reserve(16);
    // The row of four side faces, the bottom face and the folds between them.
    lines.push_back({{L, T + e}, {L + 4 * e, T + e}});
    lines.push_back({{L, T + 2 * e}, {L + 4 * e, T + 2 * e}});
    lines.push_back({{L + 2 * e, T + 3 * e}, {L + 3 * e, T + 3 * e}});
    lines.push_back({{L, T + e}, {L, T + 2 * e}});
    lines.push_back({{L + e, T + e}, {L + e, T + 2 * e}});
    lines.push_back({{L + 2 * e, T + e}, {L + 2 * e, T + 3 * e}});
    lines.push_back({{L + 3 * e, T + e}, {L + 3 * e, T + 3 * e}});
    lines.push_back({{L + 4 * e, T + e}, {L + 4 * e, T + 2 * e}});
    // Glue flaps: right of face 4, right, left and below the bottom face.
    lines.push_back({{L + 4 * e, T + e}, {L + 4 * e + e7, T + e + e10},
                     {L + 4 * e + e7, T + 2 * e - e10}, {L + 4 * e, T + 2 * e}});
    lines.push_back({{L + 3 * e, T + 2 * e}, {L + 3 * e + e7, T + 2 * e + e10},
                     {L + 3 * e + e7, T + 3 * e - e10}, {L + 3 * e, T + 3 * e}});
    lines.push_back({{L + 2 * e, T + 2 * e}, {L + 2 * e - e7, T + 2 * e + e10},
                     {L + 2 * e - e7, T + 3 * e - e10}, {L + 2 * e, T + 3 * e}});
    lines.push_back({{L + 2 * e, T + 3 * e}, {L + 2 * e + e10, T + 3 * e + e7},
                     {L + 3 * e - e10, T + 3 * e + e7}, {L + 3 * e, T + 3 * e}});
    // Trapezoid dust flaps above faces 1 and 3.
    lines.push_back({{L, T + e}, {L + e4, T + e3}, {L + e34, T + e3}, {L + e, T + e}});
    lines.push_back({{L + 2 * e, T + e}, {L + 2 * e + e4, T + e3}, {L + 2 * e + e34, T + e3},
                     {L + 3 * e, T + e}});
    // Lid halves with lock tabs above faces 2 and 4.
    lines.push_back(netLidHalf<Point>(L + e, T, n));
    lines.push_back(netLidHalf<Point>(L + 3 * e, T, n));
    return lines;
}
