#include "scene.h"

#include <algorithm>

namespace engine {

namespace {

Color Unpack(int packed, bool withAlpha) {
  const auto p = static_cast<uint32_t>(packed);
  return {static_cast<float>(p & 0xFF) / 255.0f, static_cast<float>((p >> 8) & 0xFF) / 255.0f,
          static_cast<float>((p >> 16) & 0xFF) / 255.0f,
          withAlpha ? static_cast<float>(p >> 24) / 255.0f : 1.0f};
}

void Erase(std::vector<int>& list, int value) {
  list.erase(std::remove(list.begin(), list.end(), value), list.end());
}

uint64_t BatchKey(int queue, int mesh, int material) {
  return (static_cast<uint64_t>(queue) << 48) | (static_cast<uint64_t>(mesh) << 24) |
         static_cast<uint64_t>(material + 1);
}

void MarkSlot(Batch& b, int slot) {
  if (b.dirtyHi < b.dirtyLo) {
    b.dirtyLo = b.dirtyHi = slot;
  } else {
    b.dirtyLo = std::min(b.dirtyLo, slot);
    b.dirtyHi = std::max(b.dirtyHi, slot);
  }
}

}  // namespace

Color UnpackColor(int packed) {
  return Unpack(packed, true);
}
Color UnpackRgb(int packed) {
  return Unpack(packed, false);
}

int Scene::CreateEntity(int number, int mesh, int material, Vec3 pos) {
  FreeEntity(number);
  const int e = entities.Claim(number);
  if (e < 0) return -1;
  Entity& en = *entities.Find(e);
  en.mesh = mesh;
  en.material = material;
  en.pos = pos;
  Place(e);
  return e;
}

void Scene::FreeEntity(int number) {
  Entity* en = entities.Find(number);
  if (en == nullptr) return;
  Unplace(number);
  if (en->node != kNoObject) Detach(Kind::kEntity, number, en->node);
  entities.Release(number);
}

void Scene::Touch(int entity, uint8_t what) {
  Entity* en = entities.Find(entity);
  if (en != nullptr) Touch(entity, *en, what);
}

void Scene::SetHidden(int entity, bool hidden) {
  Entity* en = entities.Find(entity);
  if (en == nullptr || en->hidden == hidden) return;
  en->hidden = hidden;
  if (hidden) {
    Unplace(entity);
  } else {
    Place(entity);
  }
}

void Scene::SetQueue(int entity, int queue) {
  Entity* en = entities.Find(entity);
  queue = std::clamp(queue, 0, kMaxQueue);
  if (en == nullptr || en->queue == queue) return;
  Unplace(entity);
  en->queue = queue;
  if (!en->hidden) Place(entity);
}

void Scene::Place(int entity) {
  Entity& en = *entities.Find(entity);
  const uint64_t key = BatchKey(en.queue, en.mesh, en.material);
  auto found = batchOfKey_.find(key);
  if (found == batchOfKey_.end()) {
    Batch b;
    b.queue = en.queue;
    b.mesh = en.mesh;
    b.material = en.material;
    batches.push_back(std::move(b));
    found = batchOfKey_.emplace(key, static_cast<int>(batches.size()) - 1).first;
  }
  Batch& b = batches[found->second];
  en.batch = found->second;
  en.slot = static_cast<int>(b.entities.size());
  b.entities.push_back(entity);
  b.instances.resize(b.instances.size() + 12);
  Touch(entity);
}

void Scene::Unplace(int entity) {
  Entity& en = *entities.Find(entity);
  if (en.batch < 0) return;
  Batch& b = batches[en.batch];
  const int last = static_cast<int>(b.entities.size()) - 1;
  if (en.slot != last) {
    const int moved = b.entities[last];
    b.entities[en.slot] = moved;
    std::copy_n(&b.instances[static_cast<size_t>(last) * 12], 12,
                &b.instances[static_cast<size_t>(en.slot) * 12]);
    entities.Find(moved)->slot = en.slot;
    MarkSlot(b, en.slot);
  }
  b.entities.pop_back();
  b.instances.resize(b.instances.size() - 12);
  b.dirtyHi = std::min(b.dirtyHi, last - 1);
  en.batch = en.slot = -1;
}

void Scene::Detach(Kind kind, int child, int parent) {
  Node* p = nodes.Find(parent);
  if (p == nullptr) return;
  Erase(kind == Kind::kEntity ? p->entities : kind == Kind::kText ? p->texts : p->nodes, child);
}

bool Scene::Attach(int node, Kind kind, int child) {
  if (!nodes.Has(node)) return false;
  int* parentOfChild = nullptr;
  if (kind == Kind::kEntity) {
    Entity* en = entities.Find(child);
    if (en != nullptr) parentOfChild = &en->node;
  } else if (kind == Kind::kText) {
    Text* t = texts.Find(child);
    if (t != nullptr) parentOfChild = &t->node;
  } else if (kind == Kind::kNode) {
    // A node may not hang below itself.
    for (int up = node; up != kNoObject; up = nodes.Find(up)->parent) {
      if (up == child) return false;
    }
    Node* n = nodes.Find(child);
    if (n != nullptr) parentOfChild = &n->parent;
  }
  if (parentOfChild == nullptr) return false;
  if (*parentOfChild != kNoObject) Detach(kind, child, *parentOfChild);
  *parentOfChild = node;
  Node& p = *nodes.Find(node);
  (kind == Kind::kEntity ? p.entities : kind == Kind::kText ? p.texts : p.nodes).push_back(child);
  if (kind == Kind::kEntity) Touch(child);
  if (kind == Kind::kNode) TouchNode(child);
  return true;
}

void Scene::TouchNode(int node) {
  Node* n = nodes.Find(node);
  if (n != nullptr) n->dirty = true;
}

void Scene::FreeNode(int number) {
  Node* n = nodes.Find(number);
  if (n == nullptr) return;
  for (int e : n->entities) {
    entities.Find(e)->node = kNoObject;
    Touch(e);
  }
  for (int t : n->texts) texts.Find(t)->node = kNoObject;
  for (int c : n->nodes) {
    Node& child = *nodes.Find(c);
    child.parent = kNoObject;
    child.dirty = true;
  }
  if (n->parent != kNoObject) Detach(Kind::kNode, number, n->parent);
  nodes.Release(number);
}

void Scene::FreeText(int number) {
  Text* t = texts.Find(number);
  if (t == nullptr) return;
  if (t->node != kNoObject) Detach(Kind::kText, number, t->node);
  if (t->glBuffer != 0) deadBuffers.push_back(t->glBuffer);
  texts.Release(number);
}

void Scene::FreeTexture(int number) {
  Texture* t = textures.Find(number);
  if (t == nullptr) return;
  if (t->gl != 0) deadTextures.push_back(t->gl);
  textures.Release(number);
}

void Scene::FreeMaterial(int number) {
  Material* m = materials.Find(number);
  if (m == nullptr) return;
  if (m->sampler != 0) deadSamplers.push_back(m->sampler);
  materials.Release(number);
}

void Scene::FreeMesh(int number) {
  Mesh* m = meshes.Find(number);
  if (m == nullptr) return;
  if (m->vbo != 0) deadBuffers.push_back(m->vbo);
  if (m->ibo != 0) deadBuffers.push_back(m->ibo);
  meshes.Release(number);
}

void Scene::FreeSprite(int number) {
  Sprite* s = sprites.Find(number);
  if (s == nullptr) return;
  if (s->gl != 0) deadTextures.push_back(s->gl);
  sprites.Release(number);
}

void Scene::UpdateNode(int node) {
  Node& n = *nodes.Find(node);
  if (n.updatedFrame == frame_) return;
  n.updatedFrame = frame_;
  const float* parentWorld = nullptr;
  unsigned parentVersion = 0;
  if (n.parent != kNoObject) {
    UpdateNode(n.parent);
    const Node& p = *nodes.Find(n.parent);
    parentWorld = p.world;
    parentVersion = p.version;
  }
  if (!n.dirty && parentVersion == n.parentVersion) return;
  float local[12];
  ComposeTransform(n.pos, n.rot, n.scale, local);
  if (parentWorld != nullptr) {
    MultiplyAffine(parentWorld, local, n.world);
  } else {
    std::copy_n(local, 12, n.world);
  }
  n.dirty = false;
  n.parentVersion = parentVersion;
  ++n.version;
  for (int e : n.entities) Touch(e);
}

void Scene::UpdateTransforms() {
  ++frame_;
  nodes.ForEach([this](int number, Node&) { UpdateNode(number); });
  for (int e : dirtyEntities_) {
    Entity* en = entities.Find(e);
    if (en == nullptr || en->dirty == 0) continue;
    const uint8_t what = en->dirty;
    en->dirty = 0;
    if (en->batch < 0) continue;
    Batch& b = batches[en->batch];
    float* out = &b.instances[static_cast<size_t>(en->slot) * 12];
    if (en->node != kNoObject) {
      float local[12];
      ComposeTransform(en->pos, en->rot, en->scale, local);
      MultiplyAffine(nodes.Find(en->node)->world, local, out);
    } else if (what == kMoved) {
      out[3] = en->pos.x;  // a move: the turn and scale in place stay right
      out[7] = en->pos.y;
      out[11] = en->pos.z;
    } else {
      ComposeTransform(en->pos, en->rot, en->scale, out);
    }
    MarkSlot(b, en->slot);
  }
  dirtyEntities_.clear();
}

void Scene::Clear() {
  textures.ForEach([this](int, Texture& t) {
    if (t.gl != 0) deadTextures.push_back(t.gl);
  });
  sprites.ForEach([this](int, Sprite& s) {
    if (s.gl != 0) deadTextures.push_back(s.gl);
  });
  materials.ForEach([this](int, Material& m) {
    if (m.sampler != 0) deadSamplers.push_back(m.sampler);
  });
  meshes.ForEach([this](int, Mesh& m) {
    for (unsigned b : {m.vbo, m.ibo}) {
      if (b != 0) deadBuffers.push_back(b);
    }
  });
  texts.ForEach([this](int, Text& t) {
    if (t.glBuffer != 0) deadBuffers.push_back(t.glBuffer);
  });
  for (const Batch& b : batches) {
    if (b.glBuffer != 0) deadBuffers.push_back(b.glBuffer);
  }
  cameras.Clear();
  textures.Clear();
  materials.Clear();
  meshes.Clear();
  entities.Clear();
  nodes.Clear();
  texts.Clear();
  sprites.Clear();
  batches.clear();
  batchOfKey_.clear();
  dirtyEntities_.clear();
  ambient = Color{};
}

}  // namespace engine
