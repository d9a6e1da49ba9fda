// The C entries: argument checks and the mapping of numbers and identities onto the scene.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine.h"
#include "gl_api.h"
#include "meshes.h"
#include "paths.h"
#include "texture_file.h"

using namespace engine;

namespace {

constexpr int kMaxTextureSide = 16384;
constexpr int64_t kMaxTexturePixels = int64_t{1} << 26;

Scene& S() {
  return TheEngine().scene;
}

bool ValidRequest(int number) {
  return number == kAnyNumber || (number >= 0 && number < kMaxNumber);
}

// What a creation call returns: the identity for a fixed number, the number for "any".
int Created(Kind kind, int requested, int number) {
  if (number < 0) return 0;
  return requested == kAnyNumber ? number : MakeId(kind, number);
}

// Textures stay within kMaxTextureSide and kMaxTexturePixels (256 MiB of pixels), and within
// what the GL takes once the screen is open.
int MaxTextureSide() {
  const int gl = TheEngine().renderer.MaxTextureSide();
  return gl > 0 ? std::min(gl, kMaxTextureSide) : kMaxTextureSide;
}

bool SizeAllowed(int width, int height) {
  const int side = MaxTextureSide();
  return width > 0 && height > 0 && width <= side && height <= side &&
         int64_t{width} * height <= kMaxTexturePixels;
}

// Absolute sets, relative adds; anything else is refused.
bool Apply(Vec3& v, float x, float y, float z, int mode) {
  if (mode == RTO_ABSOLUTE) {
    v = {x, y, z};
  } else if (mode == RTO_RELATIVE) {
    v = v + Vec3{x, y, z};
  } else {
    return false;
  }
  return true;
}

// Added angles stay within one turn or so, so that a spinning object keeps its precision.
float Wrapped(float a) {
  return a > 360.0f ? a - 360.0f : a < -360.0f ? a + 360.0f : a;
}

void WrapAngles(Vec3& v) {
  v = {Wrapped(v.x), Wrapped(v.y), Wrapped(v.z)};
}

int TextureOf(int id) {
  const int n = NumberOfId(Kind::kTexture, id);
  return S().textures.Has(n) ? n : -1;
}

Material* MaterialOf(int material) {
  return S().materials.Find(material);
}

int Relayout(Text& t, int alignment) {
  if (!TheEngine().fonts.Layout(t.font, t.caption, alignment, t.vertices)) return 0;
  t.alignment = alignment;
  t.uploadNeeded = true;
  return 1;
}

}  // namespace

Engine& engine::TheEngine() {
  static Engine instance;
  return instance;
}

// ---- Start and screen ----

int RTO_GetVersion(void) {
  return RTO_VERSION;
}

int RTO_InitEngine3D(void) {
  Engine& e = TheEngine();
  RTO_CloseScreen();
  e.fonts.Clear();
  e.archives.clear();
  e.antialiasing = 1;
  e.spriteLinear = true;
  return 1;
}

int RTO_OpenScreen(int width, int height, RTO_GetProcAddressFn getProcAddress,
                   RTO_PresentFn present, void* user) {
  Engine& e = TheEngine();
  if (e.renderer.IsOpen() || width <= 0 || height <= 0 || getProcAddress == nullptr) return 0;
  if (!gl::Load(getProcAddress) || !e.renderer.Open(width, height)) return 0;
  e.present = present;
  e.presentUser = user;
  return 1;
}

int RTO_FlipBuffers(void) {
  Engine& e = TheEngine();
  if (!e.renderer.IsOpen()) return 0;
  if (e.present != nullptr) e.present(e.presentUser);
  e.renderer.FramePresented();
  return 1;
}

int RTO_CloseScreen(void) {
  Engine& e = TheEngine();
  const bool wasOpen = e.renderer.IsOpen();
  e.scene.Clear();
  e.fonts.ReleaseGl(e.scene.deadTextures);
  if (wasOpen) {
    e.renderer.Close(e.scene);
  } else {
    e.scene.deadTextures.clear();
    e.scene.deadBuffers.clear();
    e.scene.deadSamplers.clear();
  }
  e.present = nullptr;
  e.presentUser = nullptr;
  return wasOpen ? 1 : 0;
}

int RTO_AntialiasingMode(int mode) {
  if (mode < 0 || mode > 16) return 0;
  TheEngine().antialiasing = mode;
  return 1;
}

int RTO_ReadScreen(void* pixels, int pitch) {
  Engine& e = TheEngine();
  return e.renderer.IsOpen() && e.renderer.ReadScreen(pixels, pitch) ? 1 : 0;
}

// ---- World ----

int RTO_RenderWorld(void) {
  Engine& e = TheEngine();
  if (!e.renderer.IsOpen()) return 0;
  e.renderer.Render(e.scene, e.fonts, e.antialiasing);
  return 1;
}

int RTO_RenderScreen(int screen, int width, int height) {
  Engine& e = TheEngine();
  if (!e.renderer.IsOpen() || screen < 0 || screen > RTO_MAX_SCREEN || width <= 0 || height <= 0) {
    return 0;
  }
  e.renderer.Render(e.scene, e.fonts, e.antialiasing, {screen, width, height});
  return 1;
}

int RTO_AmbientColor(int color) {
  S().ambient = UnpackRgb(color);
  return 1;
}

int RTO_Add3DArchive(const char* folder, int type) {
  if (folder == nullptr || type != RTO_ARCHIVE_FOLDER) return 0;
  std::error_code ec;
  if (!std::filesystem::is_directory(PathFromUtf8(folder), ec)) return 0;
  TheEngine().archives.emplace_back(folder);
  return 1;
}

int RTO_Parse3DScripts(void) {
  Engine& e = TheEngine();
  return e.fonts.Scan(e.archives);
}

// ---- Cameras ----

int RTO_CreateCamera(int camera, float x, float y, float width, float height) {
  if (!ValidRequest(camera) || !(width > 0) || !(height > 0)) return 0;
  S().cameras.Release(camera);
  const int n = S().cameras.Claim(camera);
  if (n >= 0) {
    Camera& c = *S().cameras.Find(n);
    c.viewX = x;
    c.viewY = y;
    c.viewWidth = width;
    c.viewHeight = height;
  }
  return Created(Kind::kCamera, camera, n);
}

int RTO_MoveCamera2(int camera, float x, float y, float z, int mode) {
  Camera* c = S().cameras.Find(camera);
  return c != nullptr && Apply(c->pos, x, y, z, mode) ? 1 : 0;
}

int RTO_CameraLookAt(int camera, float x, float y, float z) {
  Camera* c = S().cameras.Find(camera);
  if (c == nullptr) return 0;
  const Vec3 towards = Vec3{x, y, z} - c->pos;
  if (!(Dot(towards, towards) > 0)) return 0;
  const Vec3 forward = Normalize(towards);
  Vec3 right = Cross(forward, {0, 1, 0});
  if (Dot(right, right) < 1e-10f)
    right = Cross(forward, {0, 0, -1});  // looking straight up or down
  c->right = Normalize(right);
  c->up = Cross(c->right, forward);
  c->back = forward * -1.0f;
  return 1;
}

int RTO_CameraBackColor(int camera, int color) {
  Camera* c = S().cameras.Find(camera);
  if (c == nullptr) return 0;
  c->background = UnpackRgb(color);
  return 1;
}

int RTO_CameraFOV(int camera, float degrees) {
  Camera* c = S().cameras.Find(camera);
  if (c == nullptr || !(degrees > 0 && degrees < 180)) return 0;
  c->fov = degrees;
  return 1;
}

int RTO_CameraScreen(int camera, int screen) {
  Camera* c = S().cameras.Find(camera);
  if (c == nullptr || screen < 0 || screen > RTO_MAX_SCREEN) return 0;
  c->screen = screen;
  return 1;
}

// ---- Textures ----

int RTO_CreateTexture(int texture, int width, int height) {
  if (!ValidRequest(texture) || !SizeAllowed(width, height)) return 0;
  S().FreeTexture(texture);
  const int n = S().textures.Claim(texture);
  if (n >= 0) {
    Texture& t = *S().textures.Find(n);
    t.width = width;
    t.height = height;
    t.pixels.assign(static_cast<size_t>(width) * height * 4, 0);
  }
  return Created(Kind::kTexture, texture, n);
}

int RTO_LoadTexture(int texture, const char* file) {
  if (!ValidRequest(texture) || file == nullptr || *file == '\0') return 0;
  // The name as given, else inside each resource folder.
  std::filesystem::path path = PathFromUtf8(file);
  for (size_t i = 0; !IsFile(path) && i < TheEngine().archives.size(); ++i) {
    path = PathFromUtf8(TheEngine().archives[i]) / PathFromUtf8(file);
  }
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;
  const size_t maxBytes = 4 * static_cast<size_t>(kMaxTexturePixels);
  if (!IsFile(path) || !DecodePictureFile(Utf8FromPath(path), maxBytes, width, height, pixels) ||
      !SizeAllowed(width, height)) {
    return 0;
  }
  S().FreeTexture(texture);
  const int n = S().textures.Claim(texture);
  if (n >= 0) {
    Texture& t = *S().textures.Find(n);
    t.width = width;
    t.height = height;
    t.pixels = std::move(pixels);
  }
  return Created(Kind::kTexture, texture, n);
}

void* RTO_LockTexture(int texture, int* width, int* height, int* pitch) {
  Texture* t = S().textures.Find(texture);
  if (t == nullptr) return nullptr;
  t->dirty = true;
  if (width != nullptr) *width = t->width;
  if (height != nullptr) *height = t->height;
  if (pitch != nullptr) *pitch = 4 * t->width;
  return t->pixels.data();
}

int RTO_UnlockTexture(int texture) {
  Texture* t = S().textures.Find(texture);
  if (t == nullptr) return 0;
  if (TheEngine().renderer.IsOpen()) TheEngine().renderer.UploadTexture(*t);
  return 1;
}

int RTO_IsTexture(int texture) {
  return S().textures.Has(texture) ? 1 : 0;
}

int RTO_FreeTexture(int texture) {
  if (!S().textures.Has(texture)) return 0;
  S().FreeTexture(texture);
  return 1;
}

int RTO_TextureID(int texture) {
  return S().textures.Has(texture) ? MakeId(Kind::kTexture, texture) : 0;
}

// ---- Materials ----

int RTO_CreateMaterial(int material, int textureId) {
  const int texture = textureId == 0 ? kNoObject : TextureOf(textureId);
  if (!ValidRequest(material) || (textureId != 0 && texture < 0)) return 0;
  S().FreeMaterial(material);
  const int n = S().materials.Claim(material);
  if (n >= 0 && texture >= 0) {
    Material& m = *S().materials.Find(n);
    m.layers[0] = texture;
    m.layerCount = 1;
  }
  return Created(Kind::kMaterial, material, n);
}

int RTO_MaterialID(int material) {
  return S().materials.Has(material) ? MakeId(Kind::kMaterial, material) : 0;
}

int RTO_MaterialBlendingMode(int material, int mode) {
  Material* m = MaterialOf(material);
  if (m == nullptr || mode < RTO_BLEND_OPAQUE || mode > RTO_BLEND_ALPHA) return 0;
  m->blend = mode;
  return 1;
}

int RTO_MaterialCullingMode(int material, int mode) {
  Material* m = MaterialOf(material);
  if (m == nullptr || mode < RTO_CULL_BACK || mode > RTO_CULL_FRONT) return 0;
  m->cull = mode;
  return 1;
}

int RTO_MaterialFilteringMode2(int material, int mode, int value) {
  Material* m = MaterialOf(material);
  if (m == nullptr || mode < RTO_FILTER_NEAREST || mode > RTO_FILTER_ANISOTROPIC) return 0;
  m->filter = mode;
  m->filterValue = value;
  m->samplerDirty = true;
  return 1;
}

int RTO_MaterialFog(int material, int color, float density, float start, float end) {
  Material* m = MaterialOf(material);
  if (m == nullptr || !std::isfinite(density) || !std::isfinite(start) || !std::isfinite(end)) {
    return 0;
  }
  m->fogColor = UnpackColor(color);
  m->fogDensity = density;
  m->fogStart = start;
  m->fogEnd = end;
  return 1;
}

int RTO_MaterialShadingMode(int material, int mode) {
  Material* m = MaterialOf(material);
  if (m == nullptr || mode < RTO_SHADE_FLAT || mode > RTO_SHADE_SMOOTH) return 0;
  m->shading = mode;
  return 1;
}

int RTO_SetMaterialColor(int material, int slot, int color) {
  Material* m = MaterialOf(material);
  if (m == nullptr || slot != 0) return 0;
  m->color = UnpackColor(color);
  return 1;
}

int RTO_SetMaterialAttribute(int material, int attribute, int value) {
  Material* m = MaterialOf(material);
  if (m == nullptr) return 0;
  if (attribute == RTO_ATTR_DEPTH_WRITE) {
    m->depthWrite = value != 0;
  } else if (attribute == RTO_ATTR_DEPTH_TEST) {
    m->depthTest = value != 0;
  } else {
    return 0;
  }
  return 1;
}

int RTO_DisableMaterialLighting(int material, int disable) {
  Material* m = MaterialOf(material);
  if (m == nullptr) return 0;
  m->lit = disable == 0;
  return 1;
}

int RTO_AddMaterialLayer(int material, int textureId) {
  Material* m = MaterialOf(material);
  const int texture = TextureOf(textureId);
  if (m == nullptr || texture < 0 || m->layerCount == kMaxLayers) return 0;
  m->layers[m->layerCount++] = texture;
  return m->layerCount;
}

int RTO_RemoveMaterialLayer(int material) {
  Material* m = MaterialOf(material);
  if (m == nullptr || m->layerCount == 0) return 0;
  --m->layerCount;
  return 1;
}

int RTO_RotateMaterial(int material, float angle, int mode) {
  Material* m = MaterialOf(material);
  if (m == nullptr || !std::isfinite(angle) || (mode != RTO_ABSOLUTE && mode != RTO_RELATIVE)) {
    return 0;
  }
  m->rotation = std::fmod(mode == RTO_ABSOLUTE ? angle : m->rotation + angle, 360.0f);
  return 1;
}

// ---- Meshes ----

namespace {

template <class Build>
int CreateMesh(int mesh, Build build) {
  Mesh built;
  if (!ValidRequest(mesh) || !build(built)) return 0;
  S().FreeMesh(mesh);
  const int n = S().meshes.Claim(mesh);
  if (n >= 0) *S().meshes.Find(n) = std::move(built);
  return Created(Kind::kMesh, mesh, n);
}

}  // namespace

int RTO_CreatePlane(int mesh, float width, float height, int widthSegments, int heightSegments,
                    float uTiles, float vTiles) {
  return CreateMesh(mesh, [&](Mesh& m) {
    return BuildPlane(m, width, height, widthSegments, heightSegments, uTiles, vTiles);
  });
}

int RTO_CreateCube(int mesh, float size) {
  return CreateMesh(mesh, [&](Mesh& m) { return BuildCube(m, size); });
}

int RTO_CreateCylinder(int mesh, float radius, float height) {
  return CreateMesh(mesh, [&](Mesh& m) { return BuildCylinder(m, radius, height); });
}

int RTO_MeshID(int mesh) {
  return S().meshes.Has(mesh) ? MakeId(Kind::kMesh, mesh) : 0;
}

// ---- Entities ----

int RTO_CreateEntity2(int entity, int meshId, int materialId) {
  return RTO_CreateEntity3(entity, meshId, materialId, 0, 0, 0);
}

int RTO_CreateEntity3(int entity, int meshId, int materialId, float x, float y, float z) {
  const int mesh = NumberOfId(Kind::kMesh, meshId);
  const int material = materialId == 0 ? kNoObject : NumberOfId(Kind::kMaterial, materialId);
  if (!ValidRequest(entity) || !S().meshes.Has(mesh)) return 0;
  if (materialId != 0 && !S().materials.Has(material)) return 0;
  return Created(Kind::kEntity, entity, S().CreateEntity(entity, mesh, material, {x, y, z}));
}

int RTO_CopyEntity(int entity, int newEntity) {
  const Entity* source = S().entities.Find(entity);
  if (source == nullptr || !ValidRequest(newEntity)) return 0;
  const Entity from = *source;  // the copy may take the source's own number
  const int n = S().CreateEntity(newEntity, from.mesh, from.material, from.pos);
  if (n < 0) return 0;
  Entity& copy = *S().entities.Find(n);
  copy.rot = from.rot;
  copy.scale = from.scale;
  S().Touch(n, copy, kReshaped);
  S().SetQueue(n, from.queue);
  if (from.node != kNoObject) S().Attach(from.node, Kind::kEntity, n);
  return Created(Kind::kEntity, newEntity, n);
}

int RTO_EntityID(int entity) {
  return S().entities.Has(entity) ? MakeId(Kind::kEntity, entity) : 0;
}

int RTO_MoveEntity2(int entity, float x, float y, float z, int mode) {
  Entity* en = S().entities.Find(entity);
  if (en == nullptr || !Apply(en->pos, x, y, z, mode)) return 0;
  S().Touch(entity, *en, kMoved);
  return 1;
}

int RTO_RotateEntity(int entity, float x, float y, float z) {
  return RTO_RotateEntity2(entity, x, y, z, RTO_ABSOLUTE);
}

int RTO_RotateEntity2(int entity, float x, float y, float z, int mode) {
  Entity* en = S().entities.Find(entity);
  if (en == nullptr || !Apply(en->rot, x, y, z, mode)) return 0;
  if (mode == RTO_RELATIVE) WrapAngles(en->rot);
  S().Touch(entity, *en, kReshaped);
  return 1;
}

int RTO_ScaleEntity(int entity, float x, float y, float z) {
  return RTO_ScaleEntity2(entity, x, y, z, RTO_ABSOLUTE);
}

int RTO_ScaleEntity2(int entity, float x, float y, float z, int mode) {
  Entity* en = S().entities.Find(entity);
  if (en == nullptr || !Apply(en->scale, x, y, z, mode)) return 0;
  S().Touch(entity, *en, kReshaped);
  return 1;
}

int RTO_HideEntity(int entity, int hide) {
  if (!S().entities.Has(entity)) return 0;
  S().SetHidden(entity, hide != 0);
  return 1;
}

int RTO_SetRenderQueue(int entity, int queue) {
  if (!S().entities.Has(entity) || queue < 0 || queue > kMaxQueue) return 0;
  S().SetQueue(entity, queue);
  return 1;
}

int RTO_IsEntity(int entity) {
  return S().entities.Has(entity) ? 1 : 0;
}

int RTO_FreeEntity(int entity) {
  if (!S().entities.Has(entity)) return 0;
  S().FreeEntity(entity);
  return 1;
}

// ---- Nodes ----

int RTO_CreateNode2(int node, float x, float y, float z) {
  if (!ValidRequest(node)) return 0;
  S().FreeNode(node);
  const int n = S().nodes.Claim(node);
  if (n >= 0) S().nodes.Find(n)->pos = {x, y, z};
  return Created(Kind::kNode, node, n);
}

int RTO_NodeID(int node) {
  return S().nodes.Has(node) ? MakeId(Kind::kNode, node) : 0;
}

int RTO_AttachNodeObject(int node, int objectId) {
  const Kind kind = KindOfId(objectId);
  if (kind != Kind::kEntity && kind != Kind::kText && kind != Kind::kNode) return 0;
  return S().Attach(node, kind, NumberOfId(kind, objectId)) ? 1 : 0;
}

namespace {

int ChangeNode(int node, Vec3 Node::*field, float x, float y, float z, int mode) {
  Node* n = S().nodes.Find(node);
  if (n == nullptr || !Apply(n->*field, x, y, z, mode)) return 0;
  if (field == &Node::rot && mode == RTO_RELATIVE) WrapAngles(n->rot);
  n->dirty = true;
  return 1;
}

float NodePosition(int node, float Vec3::*axis) {
  const Node* n = S().nodes.Find(node);
  return n != nullptr ? n->pos.*axis : 0.0f;
}

}  // namespace

int RTO_MoveNode2(int node, float x, float y, float z, int mode) {
  return ChangeNode(node, &Node::pos, x, y, z, mode);
}

int RTO_RotateNode2(int node, float x, float y, float z, int mode) {
  return ChangeNode(node, &Node::rot, x, y, z, mode);
}

int RTO_ScaleNode2(int node, float x, float y, float z, int mode) {
  return ChangeNode(node, &Node::scale, x, y, z, mode);
}

float RTO_NodeX2(int node) {
  return NodePosition(node, &Vec3::x);
}
float RTO_NodeY2(int node) {
  return NodePosition(node, &Vec3::y);
}
float RTO_NodeZ2(int node) {
  return NodePosition(node, &Vec3::z);
}

int RTO_IsNode(int node) {
  return S().nodes.Has(node) ? 1 : 0;
}

int RTO_FreeNode(int node) {
  if (!S().nodes.Has(node)) return 0;
  S().FreeNode(node);
  return 1;
}

// ---- 3D texts ----

int RTO_CreateText3D2(int text, const char* caption, const char* font, float size, int color) {
  if (!ValidRequest(text) || font == nullptr || !(size > 0) || !std::isfinite(size)) return 0;
  const int face = TheEngine().fonts.Find(font);
  if (face < 0) return 0;
  S().FreeText(text);
  const int n = S().texts.Claim(text);
  if (n >= 0) {
    Text& t = *S().texts.Find(n);
    t.caption = caption != nullptr ? caption : "";
    t.font = face;
    t.size = size;
    t.color = UnpackColor(color);
    Relayout(t, t.alignment);
  }
  return Created(Kind::kText, text, n);
}

int RTO_Text3DID(int text) {
  return S().texts.Has(text) ? MakeId(Kind::kText, text) : 0;
}

int RTO_IsText3D(int text) {
  return S().texts.Has(text) ? 1 : 0;
}

int RTO_Text3DAlignment(int text, int alignment) {
  Text* t = S().texts.Find(text);
  return t != nullptr ? Relayout(*t, alignment) : 0;
}

int RTO_MoveText3D(int text, float x, float y, float z) {
  Text* t = S().texts.Find(text);
  if (t == nullptr) return 0;
  t->pos = {x, y, z};
  return 1;
}

int RTO_Text3DCaption(int text, const char* caption) {
  Text* t = S().texts.Find(text);
  if (t == nullptr) return 0;
  t->caption = caption != nullptr ? caption : "";
  return Relayout(*t, t->alignment);
}

int RTO_FreeText3D(int text) {
  if (!S().texts.Has(text)) return 0;
  S().FreeText(text);
  return 1;
}

// ---- Sprites ----

int RTO_CreateSprite(int sprite, const void* pixels, int width, int height, int depth, int pitch,
                     int flags) {
  if (!ValidRequest(sprite) || pixels == nullptr || !SizeAllowed(width, height) ||
      (depth != 24 && depth != 32) || pitch < width * (depth / 8)) {
    return 0;
  }
  S().FreeSprite(sprite);
  const int n = S().sprites.Claim(sprite);
  if (n >= 0) {
    Sprite& s = *S().sprites.Find(n);
    s.width = width;
    s.height = height;
    s.alpha = depth == 32 && (flags & RTO_SPRITE_ALPHA) != 0;
    s.pixels.resize(static_cast<size_t>(width) * height * 4);
    const int step = depth / 8;
    for (int y = 0; y < height; ++y) {
      const auto* src = static_cast<const uint8_t*>(pixels) + static_cast<size_t>(y) * pitch;
      uint8_t* dst = &s.pixels[static_cast<size_t>(y) * width * 4];
      for (int x = 0; x < width; ++x, src += step, dst += 4) {
        std::memcpy(dst, src, 3);
        dst[3] = step == 4 ? src[3] : 255;
      }
    }
  }
  return Created(Kind::kSprite, sprite, n);
}

int RTO_IsSprite(int sprite) {
  return S().sprites.Has(sprite) ? 1 : 0;
}

int RTO_FreeSprite(int sprite) {
  if (!S().sprites.Has(sprite)) return 0;
  S().FreeSprite(sprite);
  return 1;
}

int RTO_DisplaySprite(int sprite, int x, int y, int width, int height) {
  Engine& e = TheEngine();
  Sprite* s = e.scene.sprites.Find(sprite);
  if (s == nullptr || !e.renderer.IsOpen()) return 0;
  e.renderer.DrawSprite(e.scene, *s, x, y, width, height, e.spriteLinear);
  return 1;
}

int RTO_SpriteFilteringMode(int mode) {
  if (mode != RTO_SPRITE_FILTER_NEAREST && mode != RTO_SPRITE_FILTER_LINEAR) return 0;
  TheEngine().spriteLinear = mode == RTO_SPRITE_FILTER_LINEAR;
  return 1;
}
