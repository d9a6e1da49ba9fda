#pragma once

#include <cstdint>
#include <span>

#include "images/embedded.h"

namespace app {

// Decodes the pictures built into the program (the dialog's banner, preview picture,
// placeholder, icons and flakes) as their fixed numbers. Returns how many loaded.
int32_t LoadBuiltInPictures();

// The files built into the program, the run's flake pictures among them.
std::span<const images::EmbeddedFile> BuiltInFiles();

}  // namespace app
