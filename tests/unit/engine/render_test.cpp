// The scene as the program builds it, rendered for real and read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "images/codecs.h"
#include "linked_engine.h"
#include "scene/run_context.h"
#include "scene/scene.h"
#include "screen.h"

using namespace enginetest;

namespace {

constexpr int kW = 320, kH = 240;
const Rgba kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kYellow{255, 255, 0},
    kMagenta{255, 0, 255}, kWhite{255, 255, 255};

uint32_t Bgra(Rgba c) {
  return 0xFF000000u | static_cast<uint32_t>(c.r) << 16 | static_cast<uint32_t>(c.g) << 8 |
         static_cast<uint32_t>(c.b);
}

::testing::AssertionResult Near(Rgba a, Rgba e, int tolerance) {
  if (std::abs(a.r - e.r) <= tolerance && std::abs(a.g - e.g) <= tolerance &&
      std::abs(a.b - e.b) <= tolerance) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "pixel (" << a.r << ", " << a.g << ", " << a.b << "), expected (" << e.r << ", " << e.g
         << ", " << e.b << ")";
}

#define EXPECT_NEAR_RGB(actual, expected, tolerance) \
  EXPECT_TRUE(Near((actual), (expected), (tolerance)))

// Bounding box of the pixels near a colour.
struct Box {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
  double CentreX() const { return 0.5 * (x0 + x1); }
  double CentreY() const { return 0.5 * (y0 + y1); }
  int Width() const { return x1 - x0 + 1; }
};

Box Find(const Frame& f, Rgba c, int tolerance) {
  Box b;
  for (int y = 0; y < f.height; ++y) {
    for (int x = 0; x < f.width; ++x) {
      const Rgba p = f.At(x, y);
      if (std::abs(p.r - c.r) <= tolerance && std::abs(p.g - c.g) <= tolerance &&
          std::abs(p.b - c.b) <= tolerance) {
        b.x0 = std::min(b.x0, x);
        b.y0 = std::min(b.y0, y);
        b.x1 = std::max(b.x1, x);
        b.y1 = std::max(b.y1, y);
      }
    }
  }
  return b;
}

// A plane facing the viewer, depth attributes off, in a queue, of a plain colour.
int ColouredPlane(Rgba colour, float w, float h, float x, float z, int queue,
                  int blend = RTO_BLEND_OPAQUE, int alpha = 255) {
  const int material = RTO_CreateMaterial(-1, 0);
  RTO_DisableMaterialLighting(material, 1);
  RTO_MaterialBlendingMode(material, blend);
  RTO_SetMaterialColor(material, 0, Rgba32(colour.r, colour.g, colour.b, alpha));
  RTO_SetMaterialAttribute(material, RTO_ATTR_DEPTH_WRITE, 0);
  RTO_SetMaterialAttribute(material, RTO_ATTR_DEPTH_TEST, 0);
  const int mesh = RTO_CreatePlane(-1, w, h, 1, 1, 1, 1);
  const int e = RTO_CreateEntity3(-1, RTO_MeshID(mesh), RTO_MaterialID(material), x, 0, z);
  RTO_RotateEntity(e, 90, 0, 0);
  RTO_SetRenderQueue(e, queue);
  return e;
}

// A picture file painted by `paint(x, yFromTop)`, for the program to load.
template <class Paint>
void WritePicture(const std::filesystem::path& path, int w, int h, Paint paint) {
  images::Image image;
  ASSERT_TRUE(images::AllocateImage(image, w, h, 32));
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(image.TopRow(y));
    for (int x = 0; x < w; ++x) row[x] = paint(x, y);
  }
  std::filesystem::create_directories(path.parent_path());
  ASSERT_TRUE(images::EncodeImageFile(image, path.string(), images::kTagBmp, 7, 24));
}

// The run's scene built by the program's own code (BuildScene, then the slide show started and
// its first picture faded in) on the engine under test. Its data lies under `folder`/data/: the
// slide show of data/forest/; nothing else unless a test asks.
struct ProgramScene {
  settings::Settings s;
  scene::RunContext context;
  scene::SceneState state;

  explicit ProgramScene(const std::filesystem::path& folder) {
    s.Path = (folder / "").string();
    s.configFolder = s.Path;
    s.pictime = 20;
    s.flakesize = 3;
    s.speed = 3;
    s.flaketype = 1;
  }
  void Build(int w, int h) {
    flurrixtest::UseLinkedEngine();
    context.random.Seed(7);
    scene::BuildScene(state, scene::MakeScenePlan(s, context.random, {}), context, w, h);
    scene::StartBackground(state.background, state.Planes());
    for (int frame = 0; frame < 300 && state.background.fading; ++frame) {
      scene::UpdateBackground(state.background, context.NowMs());
    }
  }
};

// The program's flake field without flakes: its material on texture 5 and the hidden template,
// `flakesize` hundredths of a unit wide each side.
scene::FlakeField ProgramFlakes(int flakesize) {
  flurrixtest::UseLinkedEngine();
  scene::FlakePlan plan;
  plan.scale = static_cast<float>(std::min(flakesize, scene::kMaxFlakeSize)) * 0.01f;
  plan.speed = 3;
  scene::FlakeField field;
  scene::RandomGenerator random;
  scene::BuildFlakeField(field, plan, random);
  return field;
}

class Render : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(screen_.ok()) << "no OpenGL 3.3 context"; }
  Screen screen_{kW, kH};
};

TEST_F(Render, PicturePlaneFillsTheScreenUpright) {
  // Quadrants of the picture, as seen: red top left, green top right, blue bottom left.
  const std::filesystem::path folder = FreshFolder("upright");
  WritePicture(folder / "data" / "forest" / "quadrants.bmp", 64, 64, [](int x, int y) {
    return Bgra(y < 32 ? (x < 32 ? kRed : kGreen) : (x < 32 ? kBlue : kYellow));
  });
  ProgramScene program(folder);
  program.Build(kW, kH);  // the picture faded in: the cover adds nothing
  ASSERT_EQ(program.state.background.FadeLevel, 0);
  RTO_CameraBackColor(program.state.camera, Rgba32(255, 0, 255));
  const Frame f = screen_.Render();
  f.Save("picture_upright");
  EXPECT_NEAR_RGB(f.At(20, 20), kRed, 2);
  EXPECT_NEAR_RGB(f.At(kW - 20, 20), kGreen, 2);
  EXPECT_NEAR_RGB(f.At(20, kH - 20), kBlue, 2);
  EXPECT_NEAR_RGB(f.At(kW - 20, kH - 20), kYellow, 2);
  EXPECT_EQ(f.Count(kMagenta, 60), 0) << "the camera background shows through";
}

// A camera draws on its own screen only: RenderWorld draws screen 0's cameras into the opened
// window, RenderScreen another screen's into the window that is current, at the size it is given.
TEST_F(Render, EachScreenDrawsItsOwnCamerasAtItsOwnSize) {
  ProgramCamera(Rgba32(255, 0, 0));
  const int second = ProgramCamera(Rgba32(0, 0, 255));
  EXPECT_EQ(RTO_CameraScreen(second, RTO_MAX_SCREEN + 1), 0);
  ASSERT_EQ(RTO_CameraScreen(second, RTO_MAX_SCREEN), 1);  // the last screen
  EXPECT_EQ(RTO_RenderScreen(RTO_MAX_SCREEN, 0, kH), 0);
  EXPECT_EQ(screen_.Render().Count(kRed, 2), kW * kH) << "the other screen's camera drew here";

  ASSERT_TRUE(screen_.UseSecondWindow(kW, kH));
  ASSERT_EQ(RTO_RenderScreen(RTO_MAX_SCREEN, kW / 2, kH / 2), 1);
  const Frame f = screen_.Read();
  screen_.UseFirstWindow();
  EXPECT_EQ(f.Count(kBlue, 2, 0, kH / 2, kW / 2, kH), kW / 2 * (kH / 2)) << "its size fills";
  EXPECT_EQ(f.Count(kRed, 2), 0) << "the opened screen's camera drew on the other";
  EXPECT_EQ(screen_.Read().Count(kRed, 2), kW * kH) << "the opened window was drawn over";
}

TEST_F(Render, CoverDarkensThePictureByItsAlpha) {
  const std::filesystem::path folder = FreshFolder("cover");
  WritePicture(folder / "data" / "forest" / "white.bmp", 16, 16,
               [](int, int) { return Bgra(kWhite); });
  ProgramScene program(folder);
  program.Build(kW, kH);
  program.state.background.fadeStep = 128;
  scene::FadeOutStep(program.state.background);
  ASSERT_EQ(program.state.background.FadeLevel, 128);
  const Frame f = screen_.Render();
  EXPECT_NEAR_RGB(f.At(kW / 2, kH / 2), (Rgba{127, 127, 127}), 3);
  EXPECT_NEAR_RGB(f.At(3, 3), (Rgba{127, 127, 127}), 3);
}

TEST_F(Render, WhiteAtAlpha128GivesHalfOfWhatIsBehind) {
  const int material = RTO_CreateMaterial(-1, 0);
  RTO_DisableMaterialLighting(material, 1);
  RTO_MaterialBlendingMode(material, RTO_BLEND_ALPHA);
  RTO_SetMaterialColor(material, 0, Rgba32(255, 255, 255, 128));
  const int mesh = RTO_CreatePlane(-1, 40, 30, 1, 1, 1, 1);
  const int e = RTO_CreateEntity3(-1, RTO_MeshID(mesh), RTO_MaterialID(material), 0, 0, 0);
  RTO_RotateEntity(e, 90, 0, 0);
  const int camera = ProgramCamera(0);
  const Frame f = screen_.Render();
  EXPECT_NEAR_RGB(f.At(kW / 2, kH / 2), (Rgba{128, 128, 128}), 2);

  // Over the whole view without a depth test it still lets the background through: the view is
  // cleared under it, not left as the last frame was.
  RTO_HideEntity(e, 1);
  ColouredPlane(kWhite, 40, 30, 0, 0, 50, RTO_BLEND_ALPHA, 128);
  RTO_CameraBackColor(camera, Rgba32(255, 0, 0));
  for (int frame = 0; frame < 2; ++frame) {
    EXPECT_NEAR_RGB(screen_.Render().At(kW / 2, kH / 2), (Rgba{255, 128, 128}), 2) << frame;
  }
}

TEST_F(Render, AdditiveAndMultiplyBlendOverWhatIsBehind) {
  ColouredPlane({100, 150, 200}, 40, 30, 0, 0, 50);
  // Additive adds the colour times its alpha; multiply scales each channel by the colour.
  ColouredPlane({60, 80, 40}, 6, 20, -8, 1, 50, RTO_BLEND_ADD, 128);
  ColouredPlane({128, 64, 255}, 6, 20, 8, 1, 50, RTO_BLEND_MULTIPLY);
  ProgramCamera(0);
  const Frame f = screen_.Render();
  const int ppu = static_cast<int>(PixelsPerUnit(kH));
  EXPECT_NEAR_RGB(f.At(kW / 2 - 8 * ppu, kH / 2), (Rgba{130, 190, 220}), 2);
  EXPECT_NEAR_RGB(f.At(kW / 2 + 8 * ppu, kH / 2), (Rgba{50, 38, 200}), 2);
  EXPECT_NEAR_RGB(f.At(kW / 2, kH / 2), (Rgba{100, 150, 200}), 2);
}

TEST_F(Render, BlendedMaterialsOfAlphaZeroAreNotDrawn) {
  // A blended plane in front writes depth when drawn, hiding the red plane drawn after it behind;
  // at alpha 0 it is left out, so the red shows. At alpha 1 it is drawn: nearly black.
  const int clear = RTO_CreateMaterial(-1, 0);
  RTO_DisableMaterialLighting(clear, 1);
  RTO_MaterialBlendingMode(clear, RTO_BLEND_ALPHA);
  const int mesh = RTO_CreatePlane(-1, 40, 30, 1, 1, 1, 1);
  RTO_RotateEntity(RTO_CreateEntity3(-1, RTO_MeshID(mesh), RTO_MaterialID(clear), 0, 0, 1), 90, 0,
                   0);
  const int red = RTO_CreateMaterial(-1, 0);
  RTO_DisableMaterialLighting(red, 1);
  RTO_SetMaterialColor(red, 0, Rgba32(255, 0, 0));
  const int behind = RTO_CreateEntity3(-1, RTO_MeshID(mesh), RTO_MaterialID(red), 0, 0, 0);
  RTO_RotateEntity(behind, 90, 0, 0);
  RTO_SetRenderQueue(behind, 99);
  ProgramCamera(0);
  RTO_SetMaterialColor(clear, 0, Rgba32(255, 255, 255, 0));
  EXPECT_NEAR_RGB(screen_.Render().At(kW / 2, kH / 2), kRed, 2);
  RTO_SetMaterialColor(clear, 0, Rgba32(255, 255, 255, 1));
  EXPECT_NEAR_RGB(screen_.Render().At(kW / 2, kH / 2), (Rgba{1, 1, 1}), 2);
}

TEST_F(Render, QueuesDrawInOrderWhateverTheDepth) {
  // Created last-queue first; the queue-99 plane lies behind the others, the queue-0 one in front.
  ColouredPlane(kRed, 6, 30, -8, -1, 99);
  ColouredPlane(kBlue, 6, 30, 8, 0, 50);
  ColouredPlane(kGreen, 40, 30, 0, 1, 0);
  ProgramCamera(0);
  const Frame f = screen_.Render();
  f.Save("queues");
  const int ppu = static_cast<int>(PixelsPerUnit(kH));
  EXPECT_NEAR_RGB(f.At(kW / 2 - 8 * ppu, kH / 2), kRed, 2);
  EXPECT_NEAR_RGB(f.At(kW / 2 + 8 * ppu, kH / 2), kBlue, 2);
  EXPECT_NEAR_RGB(f.At(kW / 2, kH / 2), kGreen, 2);
}

TEST_F(Render, DepthTestHidesWhatIsBehindByDefault) {
  auto cube = [](float x, float z, Rgba c) {
    const int material = RTO_CreateMaterial(-1, 0);
    RTO_SetMaterialColor(material, 0, Rgba32(c.r, c.g, c.b));
    const int mesh = RTO_CreateCube(-1, 4);
    return RTO_CreateEntity3(-1, RTO_MeshID(mesh), RTO_MaterialID(material), x, 0, z);
  };
  cube(0, 2, kRed);     // in front, drawn first
  cube(1, -2, kGreen);  // behind, drawn later
  ProgramCamera(0);
  const Frame f = screen_.Render();
  EXPECT_NEAR_RGB(f.At(kW / 2, kH / 2), kRed, 2);
}

TEST_F(Render, DepthOfAnEarlierFrameHidesNothing) {
  const int cubeMaterial = RTO_CreateMaterial(-1, 0);
  RTO_SetMaterialColor(cubeMaterial, 0, Rgba32(255, 0, 0));
  const int cube = RTO_CreateEntity3(-1, RTO_MeshID(RTO_CreateCube(-1, 4)),
                                     RTO_MaterialID(cubeMaterial), 0, 0, 2);
  // Depth-tested but not writing: it relies on a depth buffer cleared every frame.
  const int planeMaterial = RTO_CreateMaterial(-1, 0);
  RTO_SetMaterialColor(planeMaterial, 0, Rgba32(0, 255, 0));
  RTO_SetMaterialAttribute(planeMaterial, RTO_ATTR_DEPTH_WRITE, 0);
  const int plane = RTO_CreateEntity3(-1, RTO_MeshID(RTO_CreatePlane(-1, 40, 30, 1, 1, 1, 1)),
                                      RTO_MaterialID(planeMaterial), 0, 0, 0);
  RTO_RotateEntity(plane, 90, 0, 0);
  RTO_SetRenderQueue(plane, 60);
  ProgramCamera(0);
  EXPECT_NEAR_RGB(screen_.Render().At(kW / 2, kH / 2), kRed, 2);
  // Moved aside, the cube still writes depth: where it was, the plane shows.
  RTO_MoveEntity2(cube, -8, 0, 2, RTO_ABSOLUTE);
  const int aside = kW / 2 - static_cast<int>(8 * PixelsPerUnit(kH));
  Frame f = screen_.Render();
  EXPECT_NEAR_RGB(f.At(kW / 2, kH / 2), kGreen, 2);
  EXPECT_NEAR_RGB(f.At(aside, kH / 2), kRed, 2);
  // Hidden, nothing writes depth: the plane shows where the cube was last.
  RTO_HideEntity(cube, 1);
  f = screen_.Render();
  EXPECT_NEAR_RGB(f.At(kW / 2, kH / 2), kGreen, 2);
  EXPECT_NEAR_RGB(f.At(aside, kH / 2), kGreen, 2);
}

TEST_F(Render, CopyKeepsTheLookOfItsHiddenTemplate) {
  // A picture that shows turning and mirroring: red left, blue right, a white top band.
  PaintedTexture(5, 16, 16, [](int x, int y) {
    return Bgra(y < 4 ? kWhite : x < 8 ? kRed : kBlue);
  });
  const scene::FlakeField field = ProgramFlakes(300);
  RTO_MaterialFog(field.material, 0, 0, 0, 0);
  RTO_SetMaterialColor(field.material, 0, Rgba32(255, 255, 255, 255));
  const int flake = field.templateEntity;
  RTO_RotateEntity(flake, 90, 0, 30);
  RTO_MoveEntity2(flake, -5, 0, 0.5f, RTO_ABSOLUTE);
  ProgramCamera(0);

  RTO_HideEntity(flake, 0);
  const Frame shown = screen_.Render();
  RTO_HideEntity(flake, 1);
  EXPECT_EQ(screen_.Render().Count(Rgba{0, 0, 0}, 0), kW * kH) << "a hidden entity is drawn";

  const int copy = RTO_CopyEntity(flake, -1);
  ASSERT_NE(copy, 0);
  const Frame copied = screen_.Render();
  copied.Save("copy_of_hidden_template");
  EXPECT_EQ(copied.bgra, shown.bgra) << "the copy differs from its template";

  RTO_MoveEntity2(copy, 10, 0, 0, RTO_RELATIVE);
  const Frame moved = screen_.Render();
  EXPECT_EQ(moved.Count(kRed, 40, 0, 0, kW / 2), 0);
  EXPECT_NEAR(moved.Count(kRed, 40, kW / 2, 0), shown.Count(kRed, 40), shown.Count(kRed, 40) / 10);
  EXPECT_NEAR(moved.Count(kBlue, 40, kW / 2, 0), shown.Count(kBlue, 40),
              shown.Count(kBlue, 40) / 10);
}

TEST_F(Render, NodesCarryPositionRotationAndScale) {
  const int cube = RTO_CreateCube(-1, 1.0f);
  const int entity = RTO_CreateEntity3(-1, RTO_MeshID(cube), 0, 0, 3, 0);
  const int node = RTO_CreateNode2(-1, 0, 0, 0);
  ASSERT_EQ(RTO_AttachNodeObject(node, RTO_EntityID(entity)), 1);
  RTO_MoveNode2(node, 5, 0, 0, RTO_ABSOLUTE);
  RTO_RotateNode2(node, 0, 0, 90, RTO_ABSOLUTE);
  RTO_ScaleNode2(node, 2, 2, 2, RTO_ABSOLUTE);
  ProgramCamera(0);
  const double ppu = PixelsPerUnit(kH);

  // (0, 3, 0) turned a quarter about z and doubled is (-6, 0, 0); the node stands at x = 5.
  Frame f = screen_.Render();
  f.Save("node_carries_entity");
  Box b = Find(f, kWhite, 30);
  EXPECT_NEAR(b.CentreX(), kW / 2 - 1 * ppu, 2.0);
  EXPECT_NEAR(b.CentreY(), kH / 2, 2.0);
  EXPECT_NEAR(b.Width(), 2 * ppu, 0.2 * 2 * ppu);
  EXPECT_FLOAT_EQ(RTO_NodeX2(node), 5.0f);

  // A parent node carries the child node with everything below it.
  const int parent = RTO_CreateNode2(-1, 0, -4, 0);
  ASSERT_EQ(RTO_AttachNodeObject(parent, RTO_NodeID(node)), 1);
  b = Find(screen_.Render(), kWhite, 30);
  EXPECT_NEAR(b.CentreY(), kH / 2 + 4 * ppu, 2.0);
  EXPECT_EQ(RTO_AttachNodeObject(node, RTO_NodeID(parent)), 0) << "a loop of nodes";

  // Freed, the node lets go: the entity is back at its own position.
  ASSERT_EQ(RTO_FreeNode(parent), 1);
  ASSERT_EQ(RTO_FreeNode(node), 1);
  b = Find(screen_.Render(), kWhite, 30);
  EXPECT_NEAR(b.CentreX(), kW / 2, 2.0);
  EXPECT_NEAR(b.CentreY(), kH / 2 - 3 * ppu, 2.0);
  EXPECT_NEAR(b.Width(), ppu, 0.2 * ppu);
}

TEST_F(Render, FogTurnsFarFlakesTowardsItsColour) {
  PaintedTexture(5, 16, 16, [](int, int) { return Bgra(kWhite); });
  const int flake = ProgramFlakes(100).templateEntity;
  const int nearFlake = RTO_CopyEntity(flake, -1);
  const int farFlake = RTO_CopyEntity(flake, -1);
  RTO_MoveEntity2(nearFlake, -1.5f, 0, 15, RTO_ABSOLUTE);
  RTO_MoveEntity2(farFlake, 4, 0, 1, RTO_ABSOLUTE);
  ProgramCamera(0);
  const Frame f = screen_.Render();
  f.Save("fog");
  const double ppu = PixelsPerUnit(kH);
  const Rgba nearPixel = f.At(static_cast<int>(kW / 2 - 1.5 * ppu * 22 / 7), kH / 2);
  const Rgba farPixel = f.At(static_cast<int>(kW / 2 + 4 * ppu * 22 / 21), kH / 2);
  EXPECT_GT(nearPixel.r, farPixel.r + 15);
  EXPECT_GT(farPixel.b, farPixel.r + 10) << "far flakes take the fog's blue";
  EXPECT_GT(farPixel.r, 100) << "fog fades, it does not hide";
}

TEST_F(Render, AmbientLightDimsLitMaterialsOnly) {
  const int lit = RTO_CreateMaterial(-1, 0);
  const int unlit = RTO_CreateMaterial(-1, 0);
  RTO_DisableMaterialLighting(unlit, 1);
  const int mesh = RTO_CreatePlane(-1, 4, 4, 1, 1, 1, 1);
  // Turned away from the head light, a lit plane shows only the ambient light.
  const int a = RTO_CreateEntity3(-1, RTO_MeshID(mesh), RTO_MaterialID(lit), -4, 0, 0);
  const int b = RTO_CreateEntity3(-1, RTO_MeshID(mesh), RTO_MaterialID(unlit), 4, 0, 0);
  RTO_RotateEntity(a, 60, 0, 0);
  RTO_RotateEntity(b, 60, 0, 0);
  RTO_AmbientColor(Rgba32(64, 64, 64));
  ProgramCamera(0);
  const Frame f = screen_.Render();
  const double ppu = PixelsPerUnit(kH);
  const Rgba dim = f.At(static_cast<int>(kW / 2 - 4 * ppu), kH / 2);
  const Rgba full = f.At(static_cast<int>(kW / 2 + 4 * ppu), kH / 2);
  EXPECT_NEAR(full.r, 255, 2);
  // ambient 64/255 plus cos(30 degrees) of the rest
  EXPECT_NEAR(dim.r, 64 + (255 - 64) * std::cos(30 * 3.14159265 / 180), 6);
}

TEST_F(Render, LockedPixelsReachTheScreen) {
  ASSERT_NE(RTO_CreateTexture(1, 8, 4), 0);
  int w = 0, h = 0, pitch = 0;
  auto* pixels = static_cast<uint32_t*>(RTO_LockTexture(1, &w, &h, &pitch));
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(w, 8);
  EXPECT_EQ(h, 4);
  EXPECT_EQ(pitch, 32);
  EXPECT_TRUE(std::all_of(pixels, pixels + 32, [](uint32_t p) { return p == 0; }))
      << "a new texture is transparent black";
  std::fill(pixels, pixels + 32, Bgra(kGreen));
  RTO_UnlockTexture(1);
  const int material = RTO_CreateMaterial(-1, RTO_TextureID(1));
  RTO_DisableMaterialLighting(material, 1);
  const int mesh = RTO_CreatePlane(-1, 40, 30, 1, 1, 1, 1);
  RTO_RotateEntity(RTO_CreateEntity3(-1, RTO_MeshID(mesh), RTO_MaterialID(material), 0, 0, 0), 90,
                   0, 0);
  ProgramCamera(0);
  EXPECT_NEAR_RGB(screen_.Render().At(kW / 2, kH / 2), kGreen, 2);

  // Drawing again after a frame: the next frame shows it, unlocked or not.
  pixels = static_cast<uint32_t*>(RTO_LockTexture(1, nullptr, nullptr, nullptr));
  std::fill(pixels, pixels + 32, Bgra(kBlue));
  EXPECT_NEAR_RGB(screen_.Render().At(kW / 2, kH / 2), kBlue, 2);
}

TEST_F(Render, MinifiedTexturesShowTheAverageOfTheirPixels) {
  // One-pixel columns of red and blue drawn at about a sixth of their size show purple; a texture
  // of odd size keeps its colour. Without all its smaller levels a texture would draw black.
  PaintedTexture(1, 64, 64, [](int x, int) { return Bgra(x % 2 ? kRed : kBlue); });
  PaintedTexture(2, 5, 3, [](int, int) { return Bgra(kGreen); });
  const int mesh = RTO_CreatePlane(-1, 1, 1, 1, 1, 1, 1);
  for (int texture : {1, 2}) {
    const int material = RTO_CreateMaterial(-1, RTO_TextureID(texture));
    RTO_DisableMaterialLighting(material, 1);
    const float x = texture == 1 ? -3.0f : 3.0f;
    RTO_RotateEntity(RTO_CreateEntity3(-1, RTO_MeshID(mesh), RTO_MaterialID(material), x, 0, 0), 90,
                     0, 0);
  }
  ProgramCamera(0);
  const Frame f = screen_.Render();
  const int offset = static_cast<int>(3 * PixelsPerUnit(kH));
  EXPECT_NEAR_RGB(f.At(kW / 2 - offset, kH / 2), (Rgba{128, 0, 128}), 8);
  EXPECT_NEAR_RGB(f.At(kW / 2 + offset, kH / 2), kGreen, 2);
}

TEST_F(Render, SpritesDrawOverTheFrameAtTheirPixelPosition) {
  // 20 x 10: opaque red on the left half, transparent green on the right half.
  std::vector<uint8_t> pixels(20 * 10 * 4);
  for (int i = 0; i < 200; ++i) {
    const bool left = i % 20 < 10;
    const uint8_t px[4] = {0, static_cast<uint8_t>(left ? 0 : 255),
                           static_cast<uint8_t>(left ? 255 : 0),
                           static_cast<uint8_t>(left ? 255 : 0)};
    std::copy_n(px, 4, &pixels[i * 4]);
  }
  ASSERT_NE(RTO_CreateSprite(7, pixels.data(), 20, 10, 32, 80, RTO_SPRITE_ALPHA), 0);
  ASSERT_NE(RTO_CreateSprite(8, pixels.data(), 20, 10, 32, 80, 0), 0);
  ProgramCamera(Rgba32(0, 0, 255));
  RTO_RenderWorld();
  ASSERT_EQ(RTO_DisplaySprite(7, 30, 40, 0, 0), 1);
  ASSERT_EQ(RTO_DisplaySprite(8, 100, 40, 40, 20), 1);  // stretched to twice its size
  Frame f = screen_.Read();
  f.Save("sprites");
  EXPECT_NEAR_RGB(f.At(30, 40), kRed, 2);
  EXPECT_NEAR_RGB(f.At(39, 49), kRed, 2);
  EXPECT_NEAR_RGB(f.At(45, 45), kBlue, 2) << "the transparent half hides the frame";
  EXPECT_NEAR_RGB(f.At(29, 40), kBlue, 2);
  EXPECT_NEAR_RGB(f.At(102, 42), kRed, 2);
  EXPECT_NEAR_RGB(f.At(137, 57), kGreen, 2) << "without its alpha the sprite is opaque";
  EXPECT_NEAR_RGB(f.At(141, 45), kBlue, 2);
  // Nothing persists: the next frame has no sprite.
  EXPECT_NEAR_RGB(screen_.Render().At(30, 40), kBlue, 2);
}

TEST_F(Render, MultisamplingSmoothsEdges) {
  auto edgePixels = [&](int mode) {
    RTO_AntialiasingMode(mode);
    const Frame f = screen_.Render();
    int partial = 0;
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) partial += f.At(x, y).r > 20 && f.At(x, y).r < 235;
    }
    return partial;
  };
  const int material = RTO_CreateMaterial(-1, 0);
  RTO_DisableMaterialLighting(material, 1);
  const int mesh = RTO_CreatePlane(-1, 8, 8, 1, 1, 1, 1);
  const int e = RTO_CreateEntity3(-1, RTO_MeshID(mesh), RTO_MaterialID(material), 0, 0, 0);
  RTO_RotateEntity(e, 90, 0, 20);
  ProgramCamera(0);
  EXPECT_EQ(edgePixels(0), 0);
  EXPECT_GT(edgePixels(4), 100);
}

// The screensaver's frame from the shipped pictures, built by the program: the slide show's first
// winter picture, flakes of the shipped custom flake, a clock text.
TEST(ProgramFrame, ShippedPicturesMakeAWholeFrame) {
  const char* build = std::getenv("FLURRIX_BUILD_DIR");
  const std::filesystem::path folder = build ? build : ".";
  std::error_code ec;
  if (std::filesystem::is_empty(folder / "data" / "forest", ec) || ec) {
    GTEST_SKIP() << "no shipped pictures in this build";
  }
  constexpr int w = 640, h = 400;
  Screen screen(w, h);
  ASSERT_TRUE(screen.ok());
  ProgramScene program(folder);
  program.s.flakes = 300;
  program.s.flakesize = 20;
  program.s.customflaketype = 1;
  program.s.customflakeimage = "snowflakes/myflake2.png";  // found through data/
  program.Build(w, h);
  ASSERT_NE(RTO_IsTexture(5), 0);
  ASSERT_EQ(program.state.field.count, 300);
  ASSERT_EQ(program.state.background.FadeLevel, 0);
  RTO_CreateText3D2(1, "12:34:56", "Days", 1.0f, Rgba32(255, 255, 255, 255));
  RTO_MoveText3D(1, 5, -9, 0);
  RTO_CameraBackColor(program.state.camera, Rgba32(255, 0, 255));
  const Frame f = screen.Render();
  f.Save("program_frame");
  EXPECT_EQ(f.Count(kMagenta, 60), 0) << "the picture leaves gaps";
  EXPECT_GT(f.Count(kWhite, 75), 150) << "no flakes or clock";
}

}  // namespace
