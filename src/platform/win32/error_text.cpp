#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/wide.h"

namespace platform {

std::string LastErrorText() {
  const DWORD code = GetLastError();
  if (code == 0) return "";
  wchar_t* words = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&words), 0, nullptr);
  std::wstring text(words ? words : L"", length);
  if (words) LocalFree(words);
  // The system ends its sentences with a line break.
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
    text.pop_back();
  }
  return text.empty() ? "error " + std::to_string(code) : Narrow(text);
}

}  // namespace platform
