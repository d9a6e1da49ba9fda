// Geometry of the built-in shapes. Triangles turn counter-clockwise seen from outside.
#pragma once

#include "scene.h"

namespace engine {

// In the x-z plane facing +y, width along x, height along z; the texture reads upright seen from
// above with +z pointing up the view, repeated uTiles x vTiles times.
bool BuildPlane(Mesh& mesh, float width, float height, int widthSegments, int heightSegments,
                float uTiles, float vTiles);
bool BuildCube(Mesh& mesh, float size);
bool BuildCylinder(Mesh& mesh, float radius, float height);

}  // namespace engine
