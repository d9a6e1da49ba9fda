#include "gl_api.h"

#include <cstring>

namespace gl {

#define FLX_GL_DEFINE(ret, name, params) Pfn##name name = nullptr;
FLX_GL_FUNCTIONS(FLX_GL_DEFINE)
#undef FLX_GL_DEFINE

bool Load(void* (*getProcAddress)(const char*)) {
  bool complete = true;
#define FLX_GL_LOAD(ret, name, params)                            \
  name = reinterpret_cast<Pfn##name>(getProcAddress("gl" #name)); \
  complete = complete && name != nullptr;
  FLX_GL_FUNCTIONS(FLX_GL_LOAD)
#undef FLX_GL_LOAD
  return complete;
}

bool HasExtension(const char* name) {
  GLint count = 0;
  GetIntegerv(kNumExtensions, &count);
  for (GLint i = 0; i < count; ++i) {
    const GLubyte* ext = GetStringi(kExtensions, static_cast<GLuint>(i));
    if (ext != nullptr && std::strcmp(reinterpret_cast<const char*>(ext), name) == 0) return true;
  }
  return false;
}

}  // namespace gl
