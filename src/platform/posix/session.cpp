// The services around a full-screen run on Linux. The screen layer hides the cursor in its own
// window and no system flag needs setting; the wallpaper comes from the desktop's own settings
// (GNOME, Cinnamon, MATE or Xfce).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform {
namespace {

// What `command` prints, without the trailing line end; "" when it cannot run.
std::string CommandOutput(const std::string& command) {
  std::FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (!pipe) return {};
  std::string out;
  char buffer[512];
  while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
  pclose(pipe);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

// One text key of a GSettings schema as gsettings prints it ('text'), with the quotes removed;
// "" when gsettings is missing or the schema or key unknown.
std::string GSetting(const char* schema, const char* key) {
  const std::string out = CommandOutput(std::string("gsettings get ") + schema + " " + key);
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

// Tiled ("wallpaper") is style 0, as is an unreadable setting; every other placement stretches.
int32_t StyleOfPlacement(const std::string& options) {
  return options.empty() || options == "wallpaper" ? 0 : 2;
}

// GNOME and Cinnamon keep a file:// address and the placement under the same keys.
Wallpaper FromUriSchema(const char* schema) {
  return {PathOfFileUri(GSetting(schema, "picture-uri")),
          StyleOfPlacement(GSetting(schema, "picture-options"))};
}

// MATE keeps a plain path.
Wallpaper FromMate() {
  return {GSetting("org.mate.background", "picture-filename"),
          StyleOfPlacement(GSetting("org.mate.background", "picture-options"))};
}

// Xfce keeps one picture per monitor and workspace: the first workspace of the first monitor
// listed. Its image-style 2 is tiled.
Wallpaper FromXfce() {
  const std::string query = "xfconf-query -c xfce4-desktop -p ";
  const std::string list = CommandOutput("xfconf-query -c xfce4-desktop -l");
  const std::string suffix = "/workspace0/last-image";
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find('\n', start);
    if (end == std::string::npos) end = list.size();
    const std::string property = list.substr(start, end - start);
    start = end + 1;
    if (property.size() < suffix.size() ||
        property.compare(property.size() - suffix.size(), suffix.size(), suffix) != 0 ||
        property.find_first_of("'\"\\$`") != std::string::npos)
      continue;
    const std::string folder = property.substr(0, property.size() - 10);  // "last-image"
    Wallpaper wallpaper{CommandOutput(query + "'" + property + "'"), 0};
    if (wallpaper.path.empty()) continue;
    wallpaper.style = CommandOutput(query + "'" + folder + "image-style'") == "2" ? 0 : 2;
    return wallpaper;
  }
  return {};
}

enum class Desktop { kGnome, kCinnamon, kMate, kXfce };

Wallpaper WallpaperOf(Desktop desktop) {
  switch (desktop) {
    case Desktop::kCinnamon:
      return FromUriSchema("org.cinnamon.desktop.background");
    case Desktop::kMate:
      return FromMate();
    case Desktop::kXfce:
      return FromXfce();
    case Desktop::kGnome:
      break;
  }
  return FromUriSchema("org.gnome.desktop.background");
}

// The session's own desktop first (XDG_CURRENT_DESKTOP), then the others.
std::vector<Desktop> DesktopsToAsk() {
  std::vector<Desktop> order{Desktop::kGnome, Desktop::kCinnamon, Desktop::kMate, Desktop::kXfce};
  const char* variable = std::getenv("XDG_CURRENT_DESKTOP");
  const std::string current = variable ? variable : "";
  Desktop own = Desktop::kGnome;
  if (current.find("Cinnamon") != std::string::npos) own = Desktop::kCinnamon;
  if (current.find("MATE") != std::string::npos) own = Desktop::kMate;
  if (current.find("XFCE") != std::string::npos) own = Desktop::kXfce;
  std::erase(order, own);
  order.insert(order.begin(), own);
  return order;
}

}  // namespace

void ShowMouseCursor(bool) {}

void SetScreensaverRunning(bool) {}

Wallpaper QueryWallpaper() {
  for (Desktop desktop : DesktopsToAsk()) {
    const Wallpaper wallpaper = WallpaperOf(desktop);
    if (!wallpaper.path.empty()) return wallpaper;
  }
  return {};
}

}  // namespace platform
