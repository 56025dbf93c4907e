#pragma once
// Small double-precision 3D arithmetic for the folded box. Qt's own vector
// and matrix types are single precision, too coarse to close a cube to a
// millionth of its edge after four chained folds.

#include <cmath>

struct Vec3 {
    double x = 0;
    double y = 0;
    double z = 0;

    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(double s) const { return {x * s, y * s, z * s}; }
    Vec3 operator/(double s) const { return {x / s, y / s, z / s}; }
    Vec3 operator-() const { return {-x, -y, -z}; }
    Vec3& operator+=(const Vec3& o) { x += o.x; y += o.y; z += o.z; return *this; }
    double dot(const Vec3& o) const { return x * o.x + y * o.y + z * o.z; }
    Vec3 cross(const Vec3& o) const { return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x}; }
    double length() const { return std::sqrt(dot(*this)); }
    Vec3 normalized() const {
        const double l = length();
        return l > 0 ? *this / l : Vec3{};
    }
};

// A rotation followed by a translation: p -> R p + t.
struct Rigid3 {
    double r[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    Vec3 t;

    Vec3 rotate(const Vec3& v) const {
        return {r[0][0] * v.x + r[0][1] * v.y + r[0][2] * v.z, r[1][0] * v.x + r[1][1] * v.y + r[1][2] * v.z,
                r[2][0] * v.x + r[2][1] * v.y + r[2][2] * v.z};
    }
    Vec3 apply(const Vec3& p) const { return rotate(p) + t; }

    // this after o: (this * o)(p) = this(o(p)).
    Rigid3 operator*(const Rigid3& o) const {
        Rigid3 c;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                c.r[i][j] = r[i][0] * o.r[0][j] + r[i][1] * o.r[1][j] + r[i][2] * o.r[2][j];
        c.t = rotate(o.t) + t;
        return c;
    }

    // The map back: p = R^T (q - t).
    Rigid3 inverse() const {
        Rigid3 m;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) m.r[i][j] = r[j][i];
        m.t = -m.rotate(t);
        return m;
    }

    static Rigid3 translation(const Vec3& v) {
        Rigid3 m;
        m.t = v;
        return m;
    }

    // Turns by angle (radians, right-hand rule) about the line through point
    // with the unit direction axis.
    static Rigid3 rotation(const Vec3& point, const Vec3& axis, double angle) {
        const double c = std::cos(angle), s = std::sin(angle), k = 1 - c;
        const double x = axis.x, y = axis.y, z = axis.z;
        Rigid3 m;
        m.r[0][0] = c + x * x * k;     m.r[0][1] = x * y * k - z * s; m.r[0][2] = x * z * k + y * s;
        m.r[1][0] = y * x * k + z * s; m.r[1][1] = c + y * y * k;     m.r[1][2] = y * z * k - x * s;
        m.r[2][0] = z * x * k - y * s; m.r[2][1] = z * y * k + x * s; m.r[2][2] = c + z * z * k;
        m.t = point - m.rotate(point);
        return m;
    }
};
