#pragma once

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
inline std::string WallpaperPictureFile(const std::string& configFolder) {
  return configFolder + "wallpaper.bmp";
}

}  // namespace settings
