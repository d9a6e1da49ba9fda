#include "program_scene.h"

#include "screen.h"

namespace enginetest {

namespace {

void PlaneSize(int screenWidth, int screenHeight, float& w, float& h) {
  h = 22.0f * 0.935f;
  w = h * static_cast<float>(screenWidth) / static_cast<float>(screenHeight);
}

}  // namespace

int ProgramPicturePlane(int screenWidth, int screenHeight) {
  RTO_CreateMaterial(0, RTO_TextureID(1));
  RTO_RotateMaterial(0, 180.0f, RTO_ABSOLUTE);
  RTO_DisableMaterialLighting(0, 1);
  RTO_MaterialCullingMode(0, RTO_CULL_NONE);
  RTO_MaterialShadingMode(0, RTO_SHADE_SMOOTH);
  RTO_MaterialFilteringMode2(0, RTO_FILTER_ANISOTROPIC, 2);
  RTO_SetMaterialAttribute(0, RTO_ATTR_DEPTH_TEST, 0);
  RTO_SetMaterialAttribute(0, RTO_ATTR_DEPTH_WRITE, 0);
  float w, h;
  PlaneSize(screenWidth, screenHeight, w, h);
  const int mesh = RTO_CreatePlane(-1, w, h, 1, 1, 1.0f, 1.0f);
  const int plane = RTO_CreateEntity3(-1, RTO_MeshID(mesh), RTO_MaterialID(0), 0, 0, 0);
  RTO_RotateEntity(plane, 90, 0, 0);
  RTO_SetRenderQueue(plane, 0);
  return plane;
}

int ProgramCoverPlane(int screenWidth, int screenHeight, int fadeLevel) {
  PaintedTexture(6, 256, 256, [](int, int) { return 0xFF000000u; });
  RTO_CreateMaterial(1, RTO_TextureID(6));
  RTO_MaterialCullingMode(1, RTO_CULL_NONE);
  RTO_MaterialShadingMode(1, RTO_SHADE_SMOOTH);
  RTO_MaterialBlendingMode(1, RTO_BLEND_ALPHA);
  RTO_SetMaterialColor(1, 0, Rgba32(255, 255, 255, fadeLevel));
  RTO_SetMaterialAttribute(1, RTO_ATTR_DEPTH_TEST, 0);
  RTO_SetMaterialAttribute(1, RTO_ATTR_DEPTH_WRITE, 0);
  float w, h;
  PlaneSize(screenWidth, screenHeight, w, h);
  const int mesh = RTO_CreatePlane(-1, w, h, 1, 1, 1.0f, 1.0f);
  const int cover = RTO_CreateEntity3(-1, RTO_MeshID(mesh), RTO_MaterialID(1), 0, 0, 0.5f);
  RTO_RotateEntity(cover, 90, 0, 0);
  RTO_SetRenderQueue(cover, 99);
  return cover;
}

int ProgramFlakeMaterial(int textureId) {
  const int m = RTO_CreateMaterial(-1, textureId);
  RTO_MaterialBlendingMode(m, RTO_BLEND_ALPHA);
  RTO_MaterialCullingMode(m, RTO_CULL_NONE);
  RTO_MaterialFilteringMode2(m, RTO_FILTER_ANISOTROPIC, 4);
  RTO_MaterialFog(m, Rgba32(152, 172, 200, 128), 1.0f, 1.0f, 15.0f);
  RTO_MaterialShadingMode(m, RTO_SHADE_SMOOTH);
  RTO_SetMaterialColor(m, 0, Rgba32(255, 255, 255, 230));
  RTO_SetMaterialAttribute(m, RTO_ATTR_DEPTH_TEST, 0);
  RTO_SetMaterialAttribute(m, RTO_ATTR_DEPTH_WRITE, 0);
  return m;
}

int ProgramFlakeTemplate(int material, float scale) {
  const int mesh = RTO_CreatePlane(-1, 2.0f, 2.0f, 1, 1, 1.0f, 1.0f);
  const int flake = RTO_CreateEntity3(-1, RTO_MeshID(mesh), RTO_MaterialID(material), 0, 0, 0.5f);
  RTO_RotateEntity(flake, 90, 0, 0);
  RTO_ScaleEntity(flake, scale, scale, scale);
  RTO_HideEntity(flake, 1);
  return flake;
}

}  // namespace enginetest
