// Files built into the program as byte arrays (see cmake/Embed.cmake).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace images {

struct EmbeddedFile {
  const char* name;
  const unsigned char* data;
  size_t size;
};

inline const EmbeddedFile* FindEmbedded(std::span<const EmbeddedFile> files,
                                        std::string_view name) {
  for (const EmbeddedFile& file : files) {
    if (name == file.name) return &file;
  }
  return nullptr;
}

}  // namespace images
