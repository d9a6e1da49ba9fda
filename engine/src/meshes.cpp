#include "meshes.h"

#include <cmath>

namespace engine {

namespace {

constexpr int kMaxSegments = 1024;
constexpr int kCylinderSegments = 32;

void AddVertex(Mesh& m, Vec3 p, Vec3 n, float u, float v) {
  m.vertices.insert(m.vertices.end(), {p.x, p.y, p.z, n.x, n.y, n.z, u, v});
}

uint32_t VertexCount(const Mesh& m) {
  return static_cast<uint32_t>(m.vertices.size() / 8);
}

// A quad from four corners given counter-clockwise seen from the front.
void AddQuad(Mesh& m, uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  m.indices.insert(m.indices.end(), {a, b, c, a, c, d});
}

}  // namespace

bool BuildPlane(Mesh& mesh, float width, float height, int widthSegments, int heightSegments,
                float uTiles, float vTiles) {
  if (!(width > 0) || !(height > 0) || widthSegments < 1 || heightSegments < 1 ||
      widthSegments > kMaxSegments || heightSegments > kMaxSegments) {
    return false;
  }
  mesh = Mesh{};
  for (int j = 0; j <= heightSegments; ++j) {
    const float fz = static_cast<float>(j) / heightSegments;
    for (int i = 0; i <= widthSegments; ++i) {
      const float fx = static_cast<float>(i) / widthSegments;
      AddVertex(mesh, {(fx - 0.5f) * width, 0, (fz - 0.5f) * height}, {0, 1, 0}, (1 - fx) * uTiles,
                fz * vTiles);
    }
  }
  const uint32_t row = widthSegments + 1;
  for (int j = 0; j < heightSegments; ++j) {
    for (int i = 0; i < widthSegments; ++i) {
      const uint32_t a = j * row + i;
      AddQuad(mesh, a, a + row, a + row + 1, a + 1);
    }
  }
  return true;
}

bool BuildCube(Mesh& mesh, float size) {
  if (!(size > 0)) return false;
  mesh = Mesh{};
  const float h = 0.5f * size;
  // Normal, then the face's right and up directions (right x up = normal).
  const Vec3 faces[6][3] = {
      {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}}, {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
      {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}}, {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
      {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},  {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}}};
  for (const auto& f : faces) {
    const uint32_t first = VertexCount(mesh);
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (const auto& c : corners) {
      const Vec3 p = (f[0] + f[1] * c[0] + f[2] * c[1]) * h;
      AddVertex(mesh, p, f[0], 0.5f * (c[0] + 1), 0.5f * (c[1] + 1));
    }
    AddQuad(mesh, first, first + 1, first + 2, first + 3);
  }
  return true;
}

bool BuildCylinder(Mesh& mesh, float radius, float height) {
  if (!(radius > 0) || !(height > 0)) return false;
  mesh = Mesh{};
  constexpr int n = kCylinderSegments;
  const float top = 0.5f * height;
  auto around = [](int k) { return 2 * 3.14159265358979f * static_cast<float>(k) / n; };
  // Side: a ring of quads, the seam vertices doubled for the texture.
  for (int k = 0; k <= n; ++k) {
    const Vec3 dir{std::sin(around(k)), 0, std::cos(around(k))};
    const float u = static_cast<float>(k) / n;
    AddVertex(mesh, {dir.x * radius, -top, dir.z * radius}, dir, u, 0);
    AddVertex(mesh, {dir.x * radius, top, dir.z * radius}, dir, u, 1);
  }
  for (int k = 0; k < n; ++k) {
    const uint32_t a = 2 * k;
    AddQuad(mesh, a, a + 2, a + 3, a + 1);
  }
  // Caps: a fan each.
  for (float y : {top, -top}) {
    const Vec3 normal{0, y > 0 ? 1.0f : -1.0f, 0};
    const uint32_t centre = VertexCount(mesh);
    AddVertex(mesh, {0, y, 0}, normal, 0.5f, 0.5f);
    for (int k = 0; k <= n; ++k) {
      const float s = std::sin(around(k)), c = std::cos(around(k));
      AddVertex(mesh, {s * radius, y, c * radius}, normal, 0.5f + 0.5f * s, 0.5f + 0.5f * c);
    }
    for (int k = 0; k < n; ++k) {
      const uint32_t p = centre + 1 + k;
      if (y > 0) {
        mesh.indices.insert(mesh.indices.end(), {centre, p, p + 1});
      } else {
        mesh.indices.insert(mesh.indices.end(), {centre, p + 1, p});
      }
    }
  }
  return true;
}

}  // namespace engine
