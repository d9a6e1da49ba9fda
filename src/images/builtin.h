// The built-in pictures: decoded from files built into the program, once at start-up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "images/embedded.h"

namespace images {

// Picture `number` is the part of embedded file `file` from `offset`, `length` bytes long
// (0: to its end). One file may serve several numbers, whole or in back-to-back blocks.
struct BuiltinPicture {
  int32_t number;
  const char* file;
  size_t offset = 0;
  size_t length = 0;
};

// Loads every listed picture as its fixed number. Returns how many loaded; a missing file, a
// block outside its file or data no decoder takes leaves that number out.
int32_t LoadBuiltinPictures(std::span<const EmbeddedFile> files,
                            std::span<const BuiltinPicture> table);

}  // namespace images
