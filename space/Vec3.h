#pragma once
// A point or a direction in space, metres: x and y in the ground plane, z the
// height above ground.

#include <cmath>

namespace corvalt::space {

struct TVec3 {
    double X = 0, Y = 0, Z = 0;
};

inline TVec3 operator+(TVec3 a, TVec3 b) {
    return {a.X + b.X, a.Y + b.Y, a.Z + b.Z};
}
inline TVec3 operator-(TVec3 a, TVec3 b) {
    return {a.X - b.X, a.Y - b.Y, a.Z - b.Z};
}
inline TVec3 operator*(double s, TVec3 v) {
    return {s * v.X, s * v.Y, s * v.Z};
}
inline double Dot(TVec3 a, TVec3 b) {
    return a.X * b.X + a.Y * b.Y + a.Z * b.Z;
}
inline TVec3 Cross(TVec3 a, TVec3 b) {
    return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}
inline double Norm(TVec3 v) {
    return std::sqrt(Dot(v, v));
}
// The image of a point in the ground plane.
inline TVec3 Mirrored(TVec3 v) {
    return {v.X, v.Y, -v.Z};
}

} // namespace corvalt::space
