#pragma once

#include <cstdint>

namespace app {

// Decodes the pictures built into the program (the dialog's banner, preview picture,
// placeholder, icons and flakes) as their fixed numbers. Returns how many loaded.
int32_t LoadBuiltInPictures();

}  // namespace app
