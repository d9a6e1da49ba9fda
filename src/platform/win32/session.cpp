// The services around a full-screen run: the cursor, the system's screensaver flag, the
// wallpaper, and sleep through powrprof.dll.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

// A text value under HKEY_CURRENT_USER, or "" when the key or value cannot be read.
std::wstring UserRegistryText(const wchar_t* keyPath, const wchar_t* valueName) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  wchar_t buffer[128] = {};
  DWORD type = 0;
  DWORD size = sizeof buffer - sizeof(wchar_t);  // room for a terminator the value may lack
  const LONG status =
      RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
  return std::wstring(buffer, size / sizeof(wchar_t)).c_str();
}

// Leading decimal digits after blanks, as a number; 0 when there are none.
int32_t LeadingNumber(const std::wstring& text) {
  size_t i = text.find_first_not_of(L" \t");
  int64_t value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9' && value < INT32_MAX; ++i) {
    value = value * 10 + (text[i] - L'0');
  }
  return static_cast<int32_t>(value > INT32_MAX ? INT32_MAX : value);
}

// powrprof.dll is loaded for one call and released after it; a system without it, or without
// the function, gets `fallback`.
template <class Result, class... Args>
Result CallPowerFunction(const char* name, Result fallback, Args... args) {
  HMODULE library = LoadLibraryW(L"powrprof.dll");
  if (!library) return fallback;
  Result result = fallback;
  using Function = Result(WINAPI*)(Args...);
  if (FARPROC entry = GetProcAddress(library, name)) {
    result = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(entry))(args...);
  }
  FreeLibrary(library);
  return result;
}

}  // namespace

void ShowMouseCursor(bool show) {
  ShowCursor(show ? TRUE : FALSE);
}

void SetScreensaverRunning(bool running) {
  BOOL previous = FALSE;
  SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, running ? TRUE : FALSE, &previous, 0);
}

Wallpaper QueryWallpaper() {
  Wallpaper wallpaper;
  wchar_t path[MAX_PATH] = {};
  if (SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, path, 0)) {
    path[MAX_PATH - 1] = L'\0';
    if (std::wstring_view(path) != L"(None)") wallpaper.path = Narrow(path);
  }
  wallpaper.style = LeadingNumber(UserRegistryText(L"Control Panel\\Desktop", L"WallpaperStyle"));
  return wallpaper;
}

bool SuspendAllowed() {
  return CallPowerFunction<BOOLEAN>("IsPwrSuspendAllowed", FALSE) != 0;
}

void Suspend() {
  // Sleep rather than hibernate, not forced, wake events left on.
  CallPowerFunction<BOOLEAN, BOOLEAN, BOOLEAN, BOOLEAN>("SetSuspendState", FALSE, FALSE, FALSE,
                                                        FALSE);
}

}  // namespace platform
