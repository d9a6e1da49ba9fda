// Libraries loaded at run time.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/wide.h"

namespace platform {

Library OpenLibrary(const std::string& path) {
  if (path.empty()) return nullptr;
  // No system error box for a missing or broken library: the caller reports the failure.
  DWORD previousMode = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previousMode);
  // With a full path, the library's own dependencies are looked for beside it.
  HMODULE library = LoadLibraryExW(Widen(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  SetThreadErrorMode(previousMode, nullptr);
  return reinterpret_cast<Library>(library);
}

LibraryEntry FindLibraryEntry(Library library, const char* name) {
  if (!library || !name) return nullptr;
  return reinterpret_cast<LibraryEntry>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseLibrary(Library library) {
  if (library) FreeLibrary(static_cast<HMODULE>(library));
}

}  // namespace platform
