#include "fake_engine.h"

#include <algorithm>

#include "scene/engine_api.h"

namespace scene::testing {
namespace {

FakeEngine fake;

// Identities: a kind's offset plus the number.
constexpr int kTextureId = 10000, kMaterialId = 20000, kMeshId = 30000;

int Claim(int requested) {
  return requested < 0 ? fake.next++ : requested;
}

int Record(const char* name, int result = 1) {
  fake.calls.push_back(name);
  return result;
}

FakeEntity* EntityOf(int entity) {
  auto it = fake.entities.find(entity);
  return it == fake.entities.end() ? nullptr : &it->second;
}

}  // namespace

int FakeEngine::Count(const std::string& call) const {
  return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

FakeEngine& InstallFakeEngine() {
  fake = FakeEngine{};
  EngineApi& e = Rto();
  e = EngineApi{};
  e.Add3DArchive = [](const char*, int) { return Record("Add3DArchive"); };
  e.Parse3DScripts = [] { return Record("Parse3DScripts"); };
  e.CreateTexture = [](int t, int w, int h) {
    fake.textures[t] = {w, h, std::vector<unsigned char>(size_t(w) * h * 4), ""};
    return Record("CreateTexture", kTextureId + t);
  };
  e.LoadTexture = [](int t, const char* file) {
    if (!fake.loadable.count(file)) return Record("LoadTexture", 0);
    fake.textures[t] = {16, 16, std::vector<unsigned char>(16 * 16 * 4), file};
    return Record("LoadTexture", kTextureId + t);
  };
  e.LockTexture = [](int t, int* w, int* h, int* pitch) -> void* {
    auto it = fake.textures.find(t);
    if (it == fake.textures.end()) return nullptr;
    *w = it->second.width;
    *h = it->second.height;
    *pitch = 4 * it->second.width;
    return it->second.pixels.data();
  };
  e.UnlockTexture = [](int) { return 1; };
  e.IsTexture = [](int t) { return int(fake.textures.count(t)); };
  e.FreeTexture = [](int t) { return Record("FreeTexture", int(fake.textures.erase(t))); };
  e.TextureID = [](int t) { return fake.textures.count(t) ? kTextureId + t : 0; };
  e.CreateMaterial = [](int m, int textureId) {
    const int n = Claim(m);
    fake.materials[n] = {textureId ? textureId - kTextureId : 0};
    return Record("CreateMaterial", n);
  };
  e.MaterialID = [](int m) { return kMaterialId + m; };
  e.MaterialBlendingMode = [](int, int) { return 1; };
  e.MaterialCullingMode = [](int, int) { return 1; };
  e.MaterialFilteringMode2 = [](int, int, int) { return 1; };
  e.MaterialFog = [](int, int, float, float, float) { return 1; };
  e.MaterialShadingMode = [](int, int) { return 1; };
  e.SetMaterialColor = [](int m, int, int color) {
    fake.materials[m].color = static_cast<unsigned>(color);
    return 1;
  };
  e.SetMaterialAttribute = [](int, int, int) { return 1; };
  e.DisableMaterialLighting = [](int, int) { return 1; };
  e.AddMaterialLayer = [](int m, int textureId) {
    fake.materials[m].texture = textureId - kTextureId;
    return Record("AddMaterialLayer");
  };
  e.RemoveMaterialLayer = [](int m) {
    fake.materials[m].texture = 0;
    return Record("RemoveMaterialLayer");
  };
  e.RotateMaterial = [](int, float, int) { return Record("RotateMaterial"); };
  e.CreatePlane = [](int mesh, float, float, int, int, float, float) { return Claim(mesh); };
  e.MeshID = [](int mesh) { return kMeshId + mesh; };
  e.CreateEntity3 = [](int entity, int meshId, int materialId, float x, float y, float z) {
    const int n = Claim(entity);
    FakeEntity& made = fake.entities[n];
    made = {meshId - kMeshId, materialId - kMaterialId};
    made.x = x, made.y = y, made.z = z;
    return n;
  };
  e.CopyEntity = [](int entity, int newEntity) {
    const FakeEntity* from = EntityOf(entity);
    if (!from) return 0;
    FakeEntity copy = *from;
    copy.hidden = false;
    const int n = Claim(newEntity);
    fake.entities[n] = copy;
    return n;
  };
  e.MoveEntity2 = [](int entity, float x, float y, float z, int mode) {
    FakeEntity* f = EntityOf(entity);
    if (!f || mode != RTO_ABSOLUTE) return 0;
    f->x = x, f->y = y, f->z = z;
    return 1;
  };
  e.RotateEntity = [](int entity, float x, float y, float z) {
    FakeEntity* f = EntityOf(entity);
    if (!f) return 0;
    f->rx = x, f->ry = y, f->rz = z;
    return 1;
  };
  e.RotateEntity2 = [](int entity, float x, float y, float z, int mode) {
    FakeEntity* f = EntityOf(entity);
    if (!f || mode != RTO_RELATIVE) return 0;
    f->rx += x, f->ry += y, f->rz += z;
    return 1;
  };
  e.ScaleEntity = [](int, float, float, float) { return 1; };
  e.HideEntity = [](int entity, int hide) {
    FakeEntity* f = EntityOf(entity);
    if (f) f->hidden = hide != 0;
    return Record("HideEntity", f != nullptr);
  };
  return fake;
}

}  // namespace scene::testing
