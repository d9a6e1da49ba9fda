// The engine library's entries as the program calls them: one table of function pointers, bound
// by name from the library loaded at run time. The program never links the engine; tests fill
// the table with fakes.
#pragma once

#include <string>

#include "flurrix_engine.h"

namespace scene {

// Every RTO_ entry of the engine header, by its name without the prefix.
// clang-format off
#define FLURRIX_ENGINE_ENTRIES(X)                                                                  \
  X(GetVersion) X(InitEngine3D) X(OpenScreen) X(FlipBuffers) X(CloseScreen)                        \
  X(AntialiasingMode) X(ReadScreen)                                                                \
  X(RenderWorld) X(RenderScreen) X(AmbientColor) X(Add3DArchive) X(Parse3DScripts)                 \
  X(CreateCamera) X(MoveCamera2) X(CameraLookAt) X(CameraBackColor) X(CameraFOV)                   \
  X(CameraScreen)                                                                                  \
  X(CreateTexture) X(LoadTexture) X(LockTexture) X(UnlockTexture) X(IsTexture) X(FreeTexture)      \
  X(TextureID)                                                                                     \
  X(CreateMaterial) X(MaterialID) X(MaterialBlendingMode) X(MaterialCullingMode)                   \
  X(MaterialFilteringMode2) X(MaterialFog) X(MaterialShadingMode) X(SetMaterialColor)              \
  X(SetMaterialAttribute) X(DisableMaterialLighting) X(AddMaterialLayer)                           \
  X(RemoveMaterialLayer) X(RotateMaterial)                                                         \
  X(CreatePlane) X(CreateCube) X(CreateCylinder) X(MeshID)                                         \
  X(CreateEntity2) X(CreateEntity3) X(CopyEntity) X(EntityID) X(MoveEntity2) X(RotateEntity)       \
  X(RotateEntity2) X(ScaleEntity) X(ScaleEntity2) X(HideEntity) X(SetRenderQueue) X(IsEntity)      \
  X(FreeEntity)                                                                                    \
  X(CreateNode2) X(NodeID) X(AttachNodeObject) X(MoveNode2) X(RotateNode2) X(ScaleNode2)           \
  X(NodeX2) X(NodeY2) X(NodeZ2) X(IsNode) X(FreeNode)                                              \
  X(CreateText3D2) X(Text3DID) X(IsText3D) X(Text3DAlignment) X(MoveText3D) X(Text3DCaption)       \
  X(FreeText3D)                                                                                    \
  X(CreateSprite) X(IsSprite) X(FreeSprite) X(DisplaySprite) X(SpriteFilteringMode)
// clang-format on

struct EngineApi {
#define FLURRIX_ENGINE_FIELD(name) decltype(&::RTO_##name) name = nullptr;
  FLURRIX_ENGINE_ENTRIES(FLURRIX_ENGINE_FIELD)
#undef FLURRIX_ENGINE_FIELD
};

// The names of the entries in the table, "RTO_" included, in table order.
extern const char* const kEngineEntryNames[];
extern const int kEngineEntryCount;

// The table every scene piece calls through. Empty until StartEngine binds a library (or a test
// installs its own table).
EngineApi& Rto();

// The engine library's file name beside the program.
#ifdef _WIN32
inline constexpr const char* kEngineFileName = "flurrix.dll";
#else
inline constexpr const char* kEngineFileName = "libflurrix.so";
#endif

// Loads the library at `libraryPath`, binds every entry, requires RTO_GetVersion to report
// RTO_VERSION and initialises the engine. False (with nothing kept loaded) when any step fails.
// `flags` is reserved and 0.
bool StartEngine(int flags, const std::string& libraryPath);
// Unloads the library started last and empties the table.
void StopEngine();

}  // namespace scene
