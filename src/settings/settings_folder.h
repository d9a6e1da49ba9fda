#pragma once

#include <cstdint>
#include <string>

namespace settings {

enum class FolderKind { kProgramFiles = 1, kAppData = 4 };

// The base folder of `kind` followed by the maker's and the product's folders, each created
// when missing (an empty name is skipped). Ends with the platform separator.
std::string SettingsFolder(FolderKind kind, const std::string& maker, const std::string& product);

// The pictures that a run with the "Desktop" or the "Wallpaper" background shows, made in the
// settings folder just before the run and removed after it.
inline std::string DesktopPictureFile(const std::string& configFolder) {
  return configFolder + "desktop.bmp";
}
// A copy in a screensaver host's window (one per monitor) shows the desktop of its own screen,
// so it keeps that picture in a file of its own, named by the host's window.
inline std::string HostedDesktopPictureFile(const std::string& configFolder, uint64_t hostWindow) {
  return configFolder + "desktop-" + std::to_string(hostWindow) + ".bmp";
}
inline std::string WallpaperPictureFile(const std::string& configFolder) {
  return configFolder + "wallpaper.bmp";
}

}  // namespace settings
