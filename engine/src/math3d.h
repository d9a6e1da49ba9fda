// Small vector and matrix helpers. Mat34 holds the three rows of an affine transform (a 3x3 linear
// part and a translation column), the layout the instanced shader reads per entity.
#pragma once

#include <cmath>

namespace engine {

struct Vec3 {
  float x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, float s) {
  return {a.x * s, a.y * s, a.z * s};
}
inline float Dot(Vec3 a, Vec3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline Vec3 Normalize(Vec3 a) {
  const float len = std::sqrt(Dot(a, a));
  return len > 0 ? a * (1.0f / len) : a;
}

inline constexpr float kRadiansPerDegree = 3.14159265358979f / 180.0f;

struct Mat34 {
  float m[12] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};  // row-major, 3 rows of 4
};

// Sine and cosine of an angle in degrees, to float precision (error below 4e-7): the angle is
// brought within 45 degrees of a multiple of 90, then Taylor polynomials take over. Several times
// faster than the library's sin and cos, for the transforms of many entities.
inline void SinCosDegrees(float degrees, float& s, float& c) {
  const double d = degrees;
  if (!(std::fabs(d) < 1e9)) {  // infinite, not a number, or too far out to reduce
    s = std::sin(degrees * kRadiansPerDegree);
    c = std::cos(degrees * kRadiansPerDegree);
    return;
  }
  const long long quarters = static_cast<long long>(d * (1.0 / 90.0) + (d < 0 ? -0.5 : 0.5));
  const float x = static_cast<float>((d - static_cast<double>(quarters) * 90.0) *
                                     (3.14159265358979323846 / 180.0));
  const float x2 = x * x;
  const float sn = x * (1 + x2 * (-1.0f / 6 + x2 * (1.0f / 120 + x2 * (-1.0f / 5040))));
  const float cs = 1 + x2 * (-0.5f + x2 * (1.0f / 24 + x2 * (-1.0f / 720 + x2 * (1.0f / 40320))));
  // Quarter turns swap and negate; done without branches, as angles vary from entity to entity.
  const int q = static_cast<int>(quarters & 3);
  const bool odd = (q & 1) != 0;
  s = (q & 2 ? -1.0f : 1.0f) * (odd ? cs : sn);
  c = ((q + 1) & 2 ? -1.0f : 1.0f) * (odd ? sn : cs);
}

// Translation * Rz * Ry * Rx * Scale, angles in degrees.
inline void ComposeTransform(const Vec3& pos, const Vec3& rot, const Vec3& scale, float* out) {
  float sx, cx, sy, cy, sz, cz;
  SinCosDegrees(rot.x, sx, cx);
  SinCosDegrees(rot.y, sy, cy);
  SinCosDegrees(rot.z, sz, cz);
  out[0] = cz * cy * scale.x;
  out[1] = (cz * sy * sx - sz * cx) * scale.y;
  out[2] = (cz * sy * cx + sz * sx) * scale.z;
  out[3] = pos.x;
  out[4] = sz * cy * scale.x;
  out[5] = (sz * sy * sx + cz * cx) * scale.y;
  out[6] = (sz * sy * cx - cz * sx) * scale.z;
  out[7] = pos.y;
  out[8] = -sy * scale.x;
  out[9] = cy * sx * scale.y;
  out[10] = cy * cx * scale.z;
  out[11] = pos.z;
}

// out = a * b for affine transforms (out may not alias a or b).
inline void MultiplyAffine(const float* a, const float* b, float* out) {
  for (int r = 0; r < 3; ++r) {
    const float* ar = a + 4 * r;
    for (int c = 0; c < 4; ++c) {
      out[4 * r + c] = ar[0] * b[c] + ar[1] * b[4 + c] + ar[2] * b[8 + c];
    }
    out[4 * r + 3] += ar[3];
  }
}

inline Vec3 TransformPoint(const float* m, Vec3 p) {
  return {m[0] * p.x + m[1] * p.y + m[2] * p.z + m[3], m[4] * p.x + m[5] * p.y + m[6] * p.z + m[7],
          m[8] * p.x + m[9] * p.y + m[10] * p.z + m[11]};
}

// Column-major 4x4 matrix for GL uniforms.
struct Mat4 {
  float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

inline Mat4 Multiply(const Mat4& a, const Mat4& b) {
  Mat4 r;
  for (int c = 0; c < 4; ++c) {
    for (int row = 0; row < 4; ++row) {
      float s = 0;
      for (int k = 0; k < 4; ++k) s += a.m[k * 4 + row] * b.m[c * 4 + k];
      r.m[c * 4 + row] = s;
    }
  }
  return r;
}

inline Mat4 FromAffine(const float* a) {
  Mat4 r;
  for (int row = 0; row < 3; ++row) {
    for (int c = 0; c < 4; ++c) r.m[c * 4 + row] = a[4 * row + c];
  }
  return r;
}

inline Mat4 Perspective(float fovyDegrees, float aspect, float zNear, float zFar) {
  const float f = 1.0f / std::tan(0.5f * fovyDegrees * kRadiansPerDegree);
  Mat4 r;
  r.m[0] = f / aspect;
  r.m[5] = f;
  r.m[10] = (zFar + zNear) / (zNear - zFar);
  r.m[11] = -1;
  r.m[14] = 2 * zFar * zNear / (zNear - zFar);
  r.m[15] = 0;
  return r;
}

// View matrix of an eye at `eye` whose right, up and back (-forward) axes are given.
inline Mat4 ViewMatrix(Vec3 eye, Vec3 right, Vec3 up, Vec3 back) {
  Mat4 r;
  const Vec3 axes[3] = {right, up, back};
  for (int row = 0; row < 3; ++row) {
    r.m[0 * 4 + row] = axes[row].x;
    r.m[1 * 4 + row] = axes[row].y;
    r.m[2 * 4 + row] = axes[row].z;
    r.m[3 * 4 + row] = -Dot(axes[row], eye);
  }
  return r;
}

}  // namespace engine
