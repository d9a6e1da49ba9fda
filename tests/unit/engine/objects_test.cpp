// Objects by number: the library's entries, creation, freeing and re-creation, and calls with
// numbers that name nothing.
#include <gtest/gtest.h>

#include <SDL.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "screen.h"

using namespace enginetest;

namespace {

TEST(Library, ReportsItsVersionAndExportsEveryDeclaredEntry) {
  void* library = SDL_LoadObject(FLURRIX_ENGINE_LIBRARY);
  ASSERT_NE(library, nullptr) << SDL_GetError();
  auto version = reinterpret_cast<int (*)()>(SDL_LoadFunction(library, "RTO_GetVersion"));
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version(), 530);

  std::ifstream header(FLURRIX_ENGINE_HEADER);
  std::stringstream text;
  text << header.rdbuf();
  const std::string source = text.str();
  const std::regex declaration(R"(RTO_API[^;(]*\b(RTO_\w+)\s*\()");
  int declared = 0;
  for (std::sregex_iterator it(source.begin(), source.end(), declaration), end; it != end; ++it) {
    ++declared;
    EXPECT_NE(SDL_LoadFunction(library, (*it)[1].str().c_str()), nullptr) << (*it)[1].str();
  }
  EXPECT_GE(declared, 70);
  SDL_UnloadObject(library);
}

class Objects : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(screen_.ok()) << "no OpenGL 3.3 context"; }
  Screen screen_{64, 48};
};

TEST_F(Objects, CreationReturnsIdentitiesForFixedAndNumbersForAny) {
  const int fixed = RTO_CreateTexture(5, 4, 4);
  EXPECT_NE(fixed, 0);
  EXPECT_EQ(fixed, RTO_TextureID(5));
  const int any = RTO_CreateTexture(-1, 4, 4);
  EXPECT_GE(any, 1024);
  EXPECT_EQ(RTO_IsTexture(any), 1);
  EXPECT_NE(RTO_TextureID(any), RTO_TextureID(5));
  // An identity of one kind names nothing of another.
  EXPECT_EQ(RTO_CreateEntity2(-1, RTO_TextureID(5), 0), 0);
  EXPECT_EQ(RTO_CreateMaterial(-1, RTO_MeshID(RTO_CreateCube(-1, 1))), 0);
}

TEST_F(Objects, FreedNumbersCanBeCreatedAgain) {
  ASSERT_NE(RTO_CreateTexture(5, 4, 4), 0);
  ASSERT_EQ(RTO_FreeTexture(5), 1);
  EXPECT_EQ(RTO_IsTexture(5), 0);
  EXPECT_EQ(RTO_TextureID(5), 0);
  EXPECT_EQ(RTO_LockTexture(5, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(RTO_FreeTexture(5), 0);
  ASSERT_NE(RTO_CreateTexture(5, 8, 2), 0);
  int w = 0, h = 0;
  RTO_LockTexture(5, &w, &h, nullptr);
  EXPECT_EQ(w * 10 + h, 82) << "the new texture has its own size";

  const int node = RTO_CreateNode2(3, 1, 2, 3);
  ASSERT_NE(node, 0);
  ASSERT_EQ(RTO_FreeNode(3), 1);
  EXPECT_EQ(RTO_IsNode(3), 0);
  ASSERT_NE(RTO_CreateNode2(3, 7, 0, 0), 0);
  EXPECT_FLOAT_EQ(RTO_NodeX2(3), 7.0f);

  const int mesh = RTO_CreateCube(-1, 1);
  const int a = RTO_CreateEntity2(-1, RTO_MeshID(mesh), 0);
  ASSERT_EQ(RTO_FreeEntity(a), 1);
  const int b = RTO_CreateEntity2(-1, RTO_MeshID(mesh), 0);
  EXPECT_EQ(a, b) << "a freed any-number is handed out again";
  // Creating over a living fixed number replaces the object.
  ASSERT_NE(RTO_CreateEntity2(9, RTO_MeshID(mesh), 0), 0);
  ASSERT_NE(RTO_CreateEntity2(9, RTO_MeshID(mesh), 0), 0);
  EXPECT_EQ(RTO_IsEntity(9), 1);

  ASSERT_NE(RTO_CreateMaterial(1, 0), 0);
  ASSERT_NE(RTO_CreateMaterial(1, RTO_TextureID(5)), 0);
  EXPECT_EQ(RTO_RemoveMaterialLayer(1), 1);
  EXPECT_EQ(RTO_RemoveMaterialLayer(1), 0) << "the old material's state stayed";
}

TEST_F(Objects, TheBackgroundPictureCanBeSwappedAsTheProgramDoes) {
  ASSERT_NE(RTO_CreateTexture(1, 4, 4), 0);
  ASSERT_NE(RTO_CreateMaterial(0, RTO_TextureID(1)), 0);
  const int mesh = RTO_CreatePlane(-1, 40, 30, 1, 1, 1, 1);
  const int plane = RTO_CreateEntity3(-1, RTO_MeshID(mesh), RTO_MaterialID(0), 0, 0, 0);
  RTO_RotateEntity(plane, 90, 0, 0);
  RTO_DisableMaterialLighting(0, 1);
  ProgramCamera(0);
  for (uint32_t colour : {0xFFFF0000u, 0xFF00FF00u}) {
    RTO_RemoveMaterialLayer(0);
    if (RTO_IsTexture(1)) RTO_FreeTexture(1);
    PaintedTexture(1, 4, 4, [&](int, int) { return colour; });
    ASSERT_GT(RTO_AddMaterialLayer(0, RTO_TextureID(1)), 0);
    RTO_RotateMaterial(0, 180, RTO_ABSOLUTE);
    const Rgba p = screen_.Render().At(32, 24);
    EXPECT_EQ(p.r, colour == 0xFFFF0000u ? 255 : 0);
    EXPECT_EQ(p.g, colour == 0xFFFF0000u ? 0 : 255);
  }
}

TEST_F(Objects, CallsWithUnknownNumbersDoNothing) {
  for (int n : {-7, -1, 0, 5, 1024, 99999, 1 << 22, 0x7FFFFFFF}) {
    SCOPED_TRACE(n);
    EXPECT_EQ(RTO_MoveCamera2(n, 1, 2, 3, RTO_ABSOLUTE), 0);
    EXPECT_EQ(RTO_CameraLookAt(n, 0, 0, 0), 0);
    EXPECT_EQ(RTO_CameraBackColor(n, 0), 0);
    EXPECT_EQ(RTO_CameraFOV(n, 50), 0);
    EXPECT_EQ(RTO_LockTexture(n, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(RTO_UnlockTexture(n), 0);
    EXPECT_EQ(RTO_IsTexture(n), 0);
    EXPECT_EQ(RTO_FreeTexture(n), 0);
    EXPECT_EQ(RTO_TextureID(n), 0);
    if (n != 0) {
      EXPECT_EQ(RTO_CreateMaterial(-1, n), 0);
    }
    EXPECT_EQ(RTO_MaterialID(n), 0);
    EXPECT_EQ(RTO_MaterialBlendingMode(n, RTO_BLEND_ALPHA), 0);
    EXPECT_EQ(RTO_MaterialCullingMode(n, RTO_CULL_NONE), 0);
    EXPECT_EQ(RTO_MaterialFilteringMode2(n, RTO_FILTER_ANISOTROPIC, 2), 0);
    EXPECT_EQ(RTO_MaterialFog(n, 0, 1, 1, 15), 0);
    EXPECT_EQ(RTO_MaterialShadingMode(n, RTO_SHADE_SMOOTH), 0);
    EXPECT_EQ(RTO_SetMaterialColor(n, 0, -1), 0);
    EXPECT_EQ(RTO_SetMaterialAttribute(n, RTO_ATTR_DEPTH_WRITE, 0), 0);
    EXPECT_EQ(RTO_DisableMaterialLighting(n, 1), 0);
    EXPECT_EQ(RTO_AddMaterialLayer(n, n), 0);
    EXPECT_EQ(RTO_RemoveMaterialLayer(n), 0);
    EXPECT_EQ(RTO_RotateMaterial(n, 180, RTO_ABSOLUTE), 0);
    EXPECT_EQ(RTO_MeshID(n), 0);
    EXPECT_EQ(RTO_CreateEntity2(-1, n, 0), 0);
    EXPECT_EQ(RTO_CreateEntity3(-1, n, n, 0, 0, 0), 0);
    EXPECT_EQ(RTO_CopyEntity(n, -1), 0);
    EXPECT_EQ(RTO_EntityID(n), 0);
    EXPECT_EQ(RTO_MoveEntity2(n, 1, 1, 1, RTO_RELATIVE), 0);
    EXPECT_EQ(RTO_RotateEntity(n, 1, 1, 1), 0);
    EXPECT_EQ(RTO_RotateEntity2(n, 1, 1, 1, RTO_RELATIVE), 0);
    EXPECT_EQ(RTO_ScaleEntity(n, 1, 1, 1), 0);
    EXPECT_EQ(RTO_ScaleEntity2(n, 1, 1, 1, RTO_RELATIVE), 0);
    EXPECT_EQ(RTO_HideEntity(n, 1), 0);
    EXPECT_EQ(RTO_SetRenderQueue(n, 99), 0);
    EXPECT_EQ(RTO_IsEntity(n), 0);
    EXPECT_EQ(RTO_FreeEntity(n), 0);
    EXPECT_EQ(RTO_NodeID(n), 0);
    EXPECT_EQ(RTO_AttachNodeObject(n, n), 0);
    EXPECT_EQ(RTO_MoveNode2(n, 1, 1, 1, RTO_ABSOLUTE), 0);
    EXPECT_EQ(RTO_RotateNode2(n, 1, 1, 1, RTO_ABSOLUTE), 0);
    EXPECT_EQ(RTO_ScaleNode2(n, 1, 1, 1, RTO_ABSOLUTE), 0);
    EXPECT_EQ(RTO_NodeX2(n) + RTO_NodeY2(n) + RTO_NodeZ2(n), 0.0f);
    EXPECT_EQ(RTO_IsNode(n), 0);
    EXPECT_EQ(RTO_FreeNode(n), 0);
    EXPECT_EQ(RTO_Text3DID(n), 0);
    EXPECT_EQ(RTO_IsText3D(n), 0);
    EXPECT_EQ(RTO_Text3DAlignment(n, RTO_ALIGN_BASELINE_LEFT), 0);
    EXPECT_EQ(RTO_MoveText3D(n, 0, 0, 0), 0);
    EXPECT_EQ(RTO_Text3DCaption(n, "x"), 0);
    EXPECT_EQ(RTO_FreeText3D(n), 0);
    EXPECT_EQ(RTO_IsSprite(n), 0);
    EXPECT_EQ(RTO_FreeSprite(n), 0);
    EXPECT_EQ(RTO_DisplaySprite(n, 0, 0, 0, 0), 0);
  }
  // Freed objects are unknown too, and a frame still renders.
  const int mesh = RTO_CreateCube(-1, 1);
  const int e = RTO_CreateEntity2(-1, RTO_MeshID(mesh), 0);
  const int node = RTO_CreateNode2(-1, 0, 0, 0);
  RTO_AttachNodeObject(node, RTO_EntityID(e));
  RTO_FreeEntity(e);
  EXPECT_EQ(RTO_MoveEntity2(e, 1, 1, 1, RTO_ABSOLUTE), 0);
  EXPECT_EQ(RTO_AttachNodeObject(node, RTO_EntityID(e)), 0);
  EXPECT_EQ(RTO_RenderWorld(), 1);
}

TEST_F(Objects, BadArgumentsAreRefused) {
  EXPECT_EQ(RTO_CreateTexture(-1, 0, 5), 0);
  EXPECT_EQ(RTO_CreateTexture(-1, 100000, 100000), 0);
  EXPECT_EQ(RTO_CreateTexture(-2, 4, 4), 0);
  EXPECT_EQ(RTO_CreatePlane(-1, -1, 2, 1, 1, 1, 1), 0);
  EXPECT_EQ(RTO_CreatePlane(-1, 1, 2, 0, 1, 1, 1), 0);
  EXPECT_EQ(RTO_CreateCube(-1, 0), 0);
  EXPECT_EQ(RTO_CreateCylinder(-1, 1, -1), 0);
  EXPECT_EQ(RTO_CreateSprite(-1, nullptr, 4, 4, 32, 16, 0), 0);
  const uint8_t pixels[64] = {};
  EXPECT_EQ(RTO_CreateSprite(-1, pixels, 4, 4, 32, 8, 0), 0) << "pitch shorter than a row";
  EXPECT_EQ(RTO_CreateSprite(-1, pixels, 4, 4, 16, 16, 0), 0);
  EXPECT_EQ(RTO_LoadTexture(-1, nullptr), 0);
  EXPECT_EQ(RTO_LoadTexture(-1, "no-such-picture.png"), 0);
  EXPECT_EQ(RTO_Add3DArchive(nullptr, RTO_ARCHIVE_FOLDER), 0);
  EXPECT_EQ(RTO_CreateText3D2(-1, "x", nullptr, 1, -1), 0);
  EXPECT_EQ(RTO_ReadScreen(nullptr, 0), 0);
  const int camera = RTO_CreateCamera(-1, 0, 0, 100, 100);
  EXPECT_EQ(RTO_CameraLookAt(camera, 0, 0, 0), 0) << "looking at its own position";
  EXPECT_EQ(RTO_CameraFOV(camera, 180), 0);
  const int mesh = RTO_CreateCube(-1, 1);
  const int e = RTO_CreateEntity2(-1, RTO_MeshID(mesh), 0);
  EXPECT_EQ(RTO_MoveEntity2(e, 1, 1, 1, RTO_RELATIVE + 1), 0) << "no such mode";
  EXPECT_EQ(RTO_SetRenderQueue(e, 100), 0);
  EXPECT_EQ(RTO_AntialiasingMode(-1), 0);
}

TEST(Screenless, EntriesWorkOrRefuseWithoutAScreen) {
  RTO_InitEngine3D();
  EXPECT_EQ(RTO_RenderWorld(), 0);
  EXPECT_EQ(RTO_FlipBuffers(), 0);
  EXPECT_EQ(RTO_OpenScreen(0, 0, nullptr, nullptr, nullptr), 0);
  EXPECT_NE(RTO_CreateTexture(1, 4, 4), 0) << "objects may be made before the screen opens";
  EXPECT_EQ(RTO_UnlockTexture(1), 1);
  EXPECT_EQ(RTO_CloseScreen(), 0);
  EXPECT_EQ(RTO_IsTexture(1), 0) << "closing releases every object";
}

}  // namespace
