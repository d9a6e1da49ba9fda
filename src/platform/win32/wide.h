// UTF-8 (the program's text) to UTF-16 (the Win32 calls' text) and back, at each call.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

}  // namespace platform
