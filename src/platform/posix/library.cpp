// Libraries loaded at run time with the dynamic linker.
#include <dlfcn.h>

#include "platform/platform.h"

namespace platform {

Library OpenLibrary(const std::string& path) {
  if (path.empty()) return nullptr;
  return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

LibraryEntry FindLibraryEntry(Library library, const char* name) {
  // dlsym with a null handle would search the whole program instead.
  if (!library || !name) return nullptr;
  return reinterpret_cast<LibraryEntry>(dlsym(library, name));
}

void CloseLibrary(Library library) {
  if (library) dlclose(library);
}

}  // namespace platform
