// The engine's font scripts (.fontdef): any text gives definitions that each have a name and a
// source file, with no blanks around either.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fonts.h"

namespace {

bool Trimmed(const std::string& s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  return !s.empty() && !blank(s.front()) && !blank(s.back());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string script(reinterpret_cast<const char*>(data), size);
  for (const engine::FontDef& def : engine::ParseFontScript(script)) {
    if (!Trimmed(def.name) || !Trimmed(def.source)) std::abort();
  }
  return 0;
}
