// A display mode written as text, as the dialog lists modes and the run compares them.
#pragma once

#include <cstdint>
#include <string>

namespace settings {

// 1024, 768 and 32 give "1024x768x32".
std::string ModeText(int32_t width, int32_t height, int32_t depth);

}  // namespace settings
