#include "scene/engine_api.h"

#include "platform/platform.h"

namespace scene {

const char* const kEngineEntryNames[] = {
#define FLURRIX_ENGINE_NAME(name) "RTO_" #name,
    FLURRIX_ENGINE_ENTRIES(FLURRIX_ENGINE_NAME)
#undef FLURRIX_ENGINE_NAME
};
const int kEngineEntryCount =
    static_cast<int>(sizeof kEngineEntryNames / sizeof *kEngineEntryNames);

namespace {

platform::Library loadedLibrary = nullptr;

// Binds every entry by name; false when any is missing.
bool Bind(platform::Library library, EngineApi& api) {
  bool all = true;
#define FLURRIX_ENGINE_BIND(name)                                                              \
  api.name =                                                                                   \
      reinterpret_cast<decltype(api.name)>(platform::FindLibraryEntry(library, "RTO_" #name)); \
  all = all && api.name != nullptr;
  FLURRIX_ENGINE_ENTRIES(FLURRIX_ENGINE_BIND)
#undef FLURRIX_ENGINE_BIND
  return all;
}

}  // namespace

EngineApi& Rto() {
  static EngineApi api;
  return api;
}

bool StartEngine(int /*flags*/, const std::string& libraryPath) {
  StopEngine();
  platform::Library library = platform::OpenLibrary(libraryPath);
  if (!library) return false;
  EngineApi api;
  if (!Bind(library, api) || api.GetVersion() != RTO_VERSION || api.InitEngine3D() == 0) {
    platform::CloseLibrary(library);
    return false;
  }
  loadedLibrary = library;
  Rto() = api;
  return true;
}

void StopEngine() {
  Rto() = EngineApi{};
  if (loadedLibrary) platform::CloseLibrary(loadedLibrary);
  loadedLibrary = nullptr;
}

}  // namespace scene
