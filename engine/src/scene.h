// The scene model: every object kind in its flat array, and the per-frame transform update.
// Nothing here touches OpenGL; GL names live in the objects and are made and deleted by the
// renderer (freed objects leave their names in the `dead` lists).
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "flurrix_engine.h"
#include "math3d.h"
#include "slots.h"

namespace engine {

inline constexpr int kDefaultQueue = 50;
inline constexpr int kMaxQueue = 99;
inline constexpr int kMaxLayers = 4;
inline constexpr int kNoObject = -1;

// What changed about an entity since its transform was last computed.
inline constexpr uint8_t kMoved = 1;     // only the position
inline constexpr uint8_t kReshaped = 2;  // rotation, scale, node or batch slot: all of it

struct Color {
  float r = 1, g = 1, b = 1, a = 1;
};
Color UnpackColor(int packed);  // r + g*256 + b*65536 + a*16777216
Color UnpackRgb(int packed);    // alpha 255 whatever the top byte holds

struct Camera {
  float viewX = 0, viewY = 0, viewWidth = 100, viewHeight = 100;  // percent of the screen
  Vec3 pos;
  Vec3 right{1, 0, 0}, up{0, 1, 0}, back{0, 0, 1};
  float fov = 45;
  Color background{0, 0, 0, 1};
  int screen = 0;  // the screen it draws on
};

struct Texture {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;  // BGRA, bottom row first, pitch 4 * width
  bool dirty = true;            // pixels changed since the last upload
  unsigned gl = 0;
  int glWidth = 0, glHeight = 0;
  bool glMipmaps = false;  // the smaller levels are uploaded (made when first needed)
  bool uniform = false;    // as uploaded, every pixel is `texel`
  uint32_t texel = 0;      // BGRA
  uint64_t upload = 0;     // which upload of the renderer's gave its pixels (0: none yet)
};

struct Material {
  Color color;
  int layers[kMaxLayers] = {};  // texture numbers
  int layerCount = 0;
  int blend = RTO_BLEND_OPAQUE, cull = RTO_CULL_BACK, shading = RTO_SHADE_SMOOTH;
  int filter = RTO_FILTER_TRILINEAR, filterValue = 1;
  bool lit = true, depthWrite = true, depthTest = true;
  Color fogColor;
  float fogDensity = 0, fogStart = 0, fogEnd = 0;
  float rotation = 0;  // degrees
  unsigned sampler = 0;
  bool samplerDirty = true;
};

struct Mesh {
  std::vector<float> vertices;  // position 3, normal 3, uv 2
  std::vector<uint32_t> indices;
  unsigned vbo = 0, ibo = 0;
  bool uploaded = false;
  bool glStrip = false;  // uploaded as the four corners of one triangle strip
  uint64_t upload = 0;   // which upload of the renderer's it is (0: none yet)
};

struct Entity {
  Vec3 pos, rot, scale{1, 1, 1};
  int mesh = kNoObject;
  int material = kNoObject;  // kNoObject: the default look
  int node = kNoObject;
  int queue = kDefaultQueue;
  bool hidden = false;
  uint8_t dirty = 0;  // kMoved / kReshaped; listed in Scene::dirtyEntities_ while not 0
  int batch = -1, slot = -1;
};

// Entities of one mesh, material and queue: their world transforms side by side, as uploaded.
struct Batch {
  int queue = 0, mesh = 0, material = 0;
  std::vector<float> instances;   // 12 floats (3 rows of an affine transform) per slot
  std::vector<int> entities;      // entity number per slot
  int dirtyLo = 0, dirtyHi = -1;  // slots changed since the last upload
  unsigned glBuffer = 0;
  size_t glCapacity = 0;  // instances the GL buffer holds
};

struct Node {
  Vec3 pos, rot, scale{1, 1, 1};
  int parent = kNoObject;
  std::vector<int> entities, texts, nodes;  // attached children
  bool dirty = true;
  unsigned version = 1, parentVersion = 0, updatedFrame = 0;
  float world[12] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
};

struct Text {
  std::string caption;
  int font = -1;
  float size = 1;
  Color color;
  int alignment = RTO_ALIGN_BASELINE_LEFT;
  Vec3 pos;
  int node = kNoObject;
  std::vector<float> vertices;  // x, y in line heights; u, v in atlas pixels
  unsigned glBuffer = 0;
  int glVertexCount = 0;
  bool uploadNeeded = false;
};

struct Sprite {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;  // BGRA, bottom row first
  bool alpha = false;
  bool dirty = true;
  unsigned gl = 0;
};

class Scene {
 public:
  Slots<Camera> cameras;
  Slots<Texture> textures;
  Slots<Material> materials;
  Slots<Mesh> meshes;
  Slots<Entity> entities;
  Slots<Node> nodes;
  Slots<Text> texts;
  Slots<Sprite> sprites;
  std::vector<Batch> batches;
  Color ambient{1, 1, 1, 1};

  // GL names of freed objects, deleted by the renderer while the context is current.
  std::vector<unsigned> deadTextures, deadBuffers, deadSamplers;

  // Entities
  int CreateEntity(int number, int mesh, int material, Vec3 pos);
  void FreeEntity(int number);
  // The entity's world transform must be computed again.
  void Touch(int entity, uint8_t what = kReshaped);
  void Touch(int entity, Entity& en, uint8_t what) {
    if (en.dirty == 0) dirtyEntities_.push_back(entity);
    en.dirty |= what;
  }
  void SetHidden(int entity, bool hidden);
  void SetQueue(int entity, int queue);

  // Nodes, texts
  void FreeNode(int number);
  void FreeText(int number);
  bool Attach(int node, Kind kind, int child);
  void TouchNode(int node);

  // Textures, materials, meshes, sprites
  void FreeTexture(int number);
  void FreeMaterial(int number);
  void FreeMesh(int number);
  void FreeSprite(int number);

  // Computes the world transforms that changed since the last frame: nodes first, then the
  // listed entities straight into their batch's instance array.
  void UpdateTransforms();

  // Releases every object; their GL names go to the dead lists.
  void Clear();

 private:
  void Place(int entity);  // puts a visible entity into its batch
  void Unplace(int entity);
  void Detach(Kind kind, int child, int parent);
  void UpdateNode(int node);

  std::vector<int> dirtyEntities_;
  std::unordered_map<uint64_t, int> batchOfKey_;
  unsigned frame_ = 0;
};

}  // namespace engine
