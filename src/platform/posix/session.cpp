// The services around a full-screen run on Linux. The screen layer hides the cursor in its own
// window and no system flag needs setting; the wallpaper comes from GNOME's settings.
#include <cstdio>
#include <string>

#include "platform/platform.h"

namespace platform {
namespace {

// One value of org.gnome.desktop.background as gsettings prints it ('text' and a newline), with
// the quotes removed; "" when gsettings is missing or the key unknown.
std::string GnomeBackground(const char* key) {
  const std::string command =
      std::string("gsettings get org.gnome.desktop.background ") + key + " 2>/dev/null";
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {};
  std::string out;
  char buffer[512];
  while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
  pclose(pipe);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  if (out.size() >= 2 && out.front() == '\'' && out.back() == '\'')
    return out.substr(1, out.size() - 2);
  return {};
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The local path of a file:// address, percent escapes decoded; "" for any other address.
std::string PathOfFileUri(const std::string& uri) {
  const std::string scheme = "file://";
  if (uri.compare(0, scheme.size(), scheme) != 0) return {};
  std::string path;
  for (size_t i = scheme.size(); i < uri.size(); ++i) {
    const int high = uri[i] == '%' && i + 2 < uri.size() ? HexDigit(uri[i + 1]) : -1;
    const int low = high >= 0 ? HexDigit(uri[i + 2]) : -1;
    if (low >= 0) {
      path += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      path += uri[i];
    }
  }
  return path;
}

}  // namespace

void ShowMouseCursor(bool) {}

void SetScreensaverRunning(bool) {}

Wallpaper QueryWallpaper() {
  Wallpaper wallpaper;
  wallpaper.path = PathOfFileUri(GnomeBackground("picture-uri"));
  // Tiled ("wallpaper") is style 0, as is an unreadable setting; every other placement stretches.
  const std::string options = GnomeBackground("picture-options");
  wallpaper.style = options.empty() || options == "wallpaper" ? 0 : 2;
  return wallpaper;
}


}  // namespace platform
