// The product's name, maker and version, and the title text built from them.
#pragma once

#include <cstdint>
#include <string>

namespace text {

inline constexpr const char* kProductName = "Flurrix Screensaver";
inline constexpr const char* kMakerName = "Corvantic";
inline constexpr int32_t kVersionNumber = 330;

// The version number in dotted form: 330 gives "3.3", 331 gives "3.3.1".
std::string ShortVersion(int32_t number);

// The name, a blank and the short version: "Flurrix Screensaver 3.3". It names the
// single-instance guard, the run's screen and the dialog.
std::string TitleText(const std::string& name, int32_t number);

}  // namespace text
