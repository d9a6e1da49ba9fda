// The engine's cost per frame for a flake field, and whole frames as the screensaver draws them,
// at 1920 x 1080 through SDL's offscreen driver (EGL on Mesa llvmpipe without a GPU).
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "engine.h"
#include "flurrix_engine.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;
SDL_Window* window = nullptr;
void (*glFinish)() = nullptr;

int Rgba(int r, int g, int b, int a) {
  return static_cast<int>(static_cast<uint32_t>(r) | static_cast<uint32_t>(g) << 8 |
                          static_cast<uint32_t>(b) << 16 | static_cast<uint32_t>(a) << 24);
}

struct Flake {
  int entity;
  float x, y, z, fall;
};

// A fresh screen with the program's camera.
void OpenScreen() {
  RTO_InitEngine3D();
  RTO_OpenScreen(
      kWidth, kHeight, [](const char* name) { return SDL_GL_GetProcAddress(name); },
      [](void*) { SDL_GL_SwapWindow(window); }, nullptr);
  const int camera = RTO_CreateCamera(-1, 0, 0, 100, 100);
  RTO_MoveCamera2(camera, 0, 0, 22, RTO_ABSOLUTE);
  RTO_CameraLookAt(camera, 0, 0, 0);
  RTO_CameraFOV(camera, 50);
  RTO_AmbientColor(Rgba(255, 255, 255, 0));
}

template <class Paint>
void PaintTexture(int number, int w, int h, Paint paint) {
  RTO_CreateTexture(number, w, h);
  int pitch = 0;
  auto* pixels = static_cast<uint8_t*>(RTO_LockTexture(number, nullptr, nullptr, &pitch));
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(pixels + static_cast<size_t>(y) * pitch);
    for (int x = 0; x < w; ++x) row[x] = paint(x, y);
  }
  RTO_UnlockTexture(number);
}

// The flake field as the program builds it: one material, one plane mesh, a hidden template and
// its copies spread over the field box.
std::vector<Flake> BuildFlakes(int count, float scale) {
  PaintTexture(5, 16, 16, [](int x, int y) {
    const int d2 = (x - 8) * (x - 8) + (y - 8) * (y - 8);
    return d2 < 49 ? 0xFFFFFFFFu : 0x00FFFFFFu;
  });
  const int m = RTO_CreateMaterial(-1, RTO_TextureID(5));
  RTO_MaterialBlendingMode(m, RTO_BLEND_ALPHA);
  RTO_MaterialCullingMode(m, RTO_CULL_NONE);
  RTO_MaterialFilteringMode2(m, RTO_FILTER_ANISOTROPIC, 4);
  RTO_MaterialFog(m, Rgba(152, 172, 200, 128), 1.0f, 1.0f, 15.0f);
  RTO_MaterialShadingMode(m, RTO_SHADE_SMOOTH);
  RTO_SetMaterialColor(m, 0, Rgba(255, 255, 255, 230));
  RTO_SetMaterialAttribute(m, RTO_ATTR_DEPTH_TEST, 0);
  RTO_SetMaterialAttribute(m, RTO_ATTR_DEPTH_WRITE, 0);
  const int mesh = RTO_CreatePlane(-1, 2, 2, 1, 1, 1, 1);
  const int tmpl = RTO_CreateEntity3(-1, RTO_MeshID(mesh), RTO_MaterialID(m), 0, 0, 0.5f);
  RTO_RotateEntity(tmpl, 90, 0, 0);
  RTO_ScaleEntity(tmpl, scale, scale, scale);
  RTO_HideEntity(tmpl, 1);
  std::mt19937 random(7);
  std::vector<Flake> flakes(count);
  for (Flake& f : flakes) {
    f.entity = RTO_CopyEntity(tmpl, -1);
    f.x = static_cast<float>(random() % 24) - 11.5f;
    f.y = static_cast<float>(random() % 18) - 8.5f;
    f.z = static_cast<float>(1 + random() % 15);
    f.fall = 0.045f - static_cast<float>(random() % 7) * 0.003f;
    RTO_RotateEntity2(f.entity, 90, 0, static_cast<float>(random() % 361), RTO_ABSOLUTE);
    RTO_MoveEntity2(f.entity, f.x, f.y, f.z, RTO_ABSOLUTE);
  }
  return flakes;
}

// One frame of flake motion: an absolute move per flake, and a relative turn when asked.
void MoveFlakes(std::vector<Flake>& flakes, bool rotate) {
  for (Flake& f : flakes) {
    f.y -= f.fall;
    if (f.y < -8) f.y += 17;
    if (rotate) RTO_RotateEntity2(f.entity, 2, 2, 2, RTO_RELATIVE);
    RTO_MoveEntity2(f.entity, f.x, f.y, f.z, RTO_ABSOLUTE);
  }
}

// The two screen-filling planes of the background: a picture and a cover at the given alpha.
void BuildBackground(int coverAlpha) {
  PaintTexture(1, 1024, 768, [](int x, int y) {
    return 0xFF000000u | static_cast<uint32_t>(x / 4) << 16 | static_cast<uint32_t>(y / 3) << 8 |
           static_cast<uint32_t>((x + y) / 8);
  });
  PaintTexture(6, 256, 256, [](int, int) { return 0xFF000000u; });
  const float h = 22.0f * 0.935f, w = h * kWidth / kHeight;
  for (int material : {0, 1}) {
    RTO_CreateMaterial(material, RTO_TextureID(material == 0 ? 1 : 6));
    RTO_MaterialCullingMode(material, RTO_CULL_NONE);
    RTO_MaterialShadingMode(material, RTO_SHADE_SMOOTH);
    RTO_SetMaterialAttribute(material, RTO_ATTR_DEPTH_TEST, 0);
    RTO_SetMaterialAttribute(material, RTO_ATTR_DEPTH_WRITE, 0);
    const int mesh = RTO_CreatePlane(-1, w, h, 1, 1, 1, 1);
    const int plane = RTO_CreateEntity3(-1, RTO_MeshID(mesh), RTO_MaterialID(material), 0, 0,
                                        material == 0 ? 0.0f : 0.5f);
    RTO_RotateEntity(plane, 90, 0, 0);
    RTO_SetRenderQueue(plane, material == 0 ? 0 : 99);
  }
  RTO_RotateMaterial(0, 180, RTO_ABSOLUTE);
  RTO_DisableMaterialLighting(0, 1);
  RTO_MaterialFilteringMode2(0, RTO_FILTER_ANISOTROPIC, 2);
  RTO_MaterialBlendingMode(1, RTO_BLEND_ALPHA);
  RTO_SetMaterialColor(1, 0, Rgba(255, 255, 255, coverAlpha));
}

void Finish() {
  RTO_FlipBuffers();
  glFinish();
}

// Engine work alone: the moves and the world transforms computed from them (no GL).
void BM_MovesAndTransforms(benchmark::State& state) {
  OpenScreen();
  std::vector<Flake> flakes = BuildFlakes(static_cast<int>(state.range(0)), 0.03f);
  const bool rotate = state.range(1) != 0;
  for (auto _ : state) {
    MoveFlakes(flakes, rotate);
    engine::TheEngine().scene.UpdateTransforms();
  }
  RTO_CloseScreen();
}
BENCHMARK(BM_MovesAndTransforms)
    ->ArgsProduct({{2000, 100000}, {0, 1}})
    ->ArgNames({"flakes", "rotate"})
    ->Unit(benchmark::kMillisecond);

// The moves plus RTO_RenderWorld on the calling thread: transforms, instance upload and draw
// calls, with the driver's own work at draw time; llvmpipe's rasterising is left out.
void BM_MovesAndSubmit(benchmark::State& state) {
  OpenScreen();
  std::vector<Flake> flakes = BuildFlakes(static_cast<int>(state.range(0)), 0.03f);
  const bool rotate = state.range(1) != 0;
  for (auto _ : state) {
    MoveFlakes(flakes, rotate);
    RTO_RenderWorld();
    state.PauseTiming();
    Finish();
    state.ResumeTiming();
  }
  RTO_CloseScreen();
}
BENCHMARK(BM_MovesAndSubmit)
    ->ArgsProduct({{2000, 100000}, {0, 1}})
    ->ArgNames({"flakes", "rotate"})
    ->Unit(benchmark::kMillisecond);

// Whole frames presented and finished: frames per second is items_per_second.
// background: 0 flakes only, 1 the two planes with the cover clear (a picture on show),
// 2 the two planes with the cover half translucent (a fade); size: the flake size setting
// (3 by default, 40 at most: flakes 0.06 to 0.8 world units wide).
void BM_WholeFrame(benchmark::State& state) {
  OpenScreen();
  const int background = static_cast<int>(state.range(1));
  if (background > 0) BuildBackground(background == 1 ? 0 : 128);
  const float scale = static_cast<float>(state.range(2)) * 0.01f;
  std::vector<Flake> flakes = BuildFlakes(static_cast<int>(state.range(0)), scale);
  for (auto _ : state) {
    MoveFlakes(flakes, false);
    RTO_RenderWorld();
    Finish();
  }
  state.SetItemsProcessed(state.iterations());
  RTO_CloseScreen();
}
BENCHMARK(BM_WholeFrame)
    ->ArgsProduct({{0, 2000}, {0, 1, 2}, {3, 40}})
    ->ArgNames({"flakes", "background", "size"})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  SDL_setenv("SDL_VIDEODRIVER", "offscreen", 0);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  window = SDL_CreateWindow("engine bench", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL);
  if (window == nullptr || SDL_GL_CreateContext(window) == nullptr) return 1;
  SDL_GL_SetSwapInterval(0);
  glFinish = reinterpret_cast<void (*)()>(SDL_GL_GetProcAddress("glFinish"));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
