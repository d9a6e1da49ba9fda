#include "app/background_pictures.h"

#include "images/blur.h"
#include "images/codecs.h"
#include "images/drawing.h"
#include "scene/scene_plan.h"
#include "settings/settings_folder.h"
#include "text/language_table.h"
#include "text/message_box.h"

namespace app {
namespace {

using Source = scene::BackgroundPlan::Source;

std::string DesktopFile(const settings::Settings& s, uint64_t hostWindow) {
  return hostWindow ? settings::HostedDesktopPictureFile(s.configFolder, hostWindow)
                    : settings::DesktopPictureFile(s.configFolder);
}

std::string WallpaperFile(const settings::Settings& s) {
  return settings::WallpaperPictureFile(s.configFolder);
}

// Whether the background shows a still picture that the program makes, and which.
Source StillSource(const settings::Settings& s) {
  return scene::PlanBackground(s).source;
}

void BlurAndSave(const settings::Settings& s, images::Image& picture, int32_t radius,
                 const std::string& path, bool shared) {
  if (radius != 0) images::Blur(picture, radius);
  // Copies run at once under a screensaver host, one per monitor, and share the wallpaper's file:
  // each writes it whole in one step, and only the last to end removes it.
  if (shared) platform::JoinFolderUsers(s.configFolder);
  // A picture that cannot be saved is simply not there for the run.
  std::vector<uint8_t> bytes;
  if (images::EncodeImage(picture, images::kTagBmp, 7, 24, bytes)) {
    platform::WriteWholeFile(path, bytes);
  }
}

}  // namespace

bool ComposeWallpaper(const images::Image& wallpaper, int32_t style, int32_t width, int32_t height,
                      images::Image& out) {
  if (wallpaper.width <= 0 || wallpaper.height <= 0) return false;
  images::Image picture;
  if (!images::AllocateImage(picture, width, height, 24)) return false;
  std::optional<images::DrawTarget> target = images::StartDrawing(picture);
  if (!target) return false;
  if (style == 0) {
    for (int32_t y = 0; y <= height; y += wallpaper.height) {
      for (int32_t x = 0; x <= width; x += wallpaper.width) {
        images::DrawImage(*target, wallpaper, x, y);
      }
    }
  } else {
    images::DrawImageStretched(*target, wallpaper, 0, 0, width, height);
  }
  out = std::move(picture);
  return true;
}

void PrepareDesktopPicture(const settings::Settings& s, uint64_t hostWindow) {
  // A run larger than the desktop shows black beyond it; a size no picture can have gives none.
  images::Image picture;
  if (!images::AllocateImage(picture, s.videow, s.videoh, 24)) return;
  const std::optional<platform::ScreenPixels> desktop =
      platform::CaptureDesktop(s.videow, s.videoh);
  if (!desktop) return;
  for (int32_t y = 0; y < desktop->height; ++y) {
    const uint8_t* in = desktop->bgrx.data() + static_cast<size_t>(y) * desktop->width * 4;
    uint8_t* out = picture.TopRow(y);
    for (int32_t x = 0; x < desktop->width; ++x, in += 4, out += 3) {
      out[0] = in[0];
      out[1] = in[1];
      out[2] = in[2];
    }
  }
  BlurAndSave(s, picture, s.desktopblur, DesktopFile(s, hostWindow), hostWindow == 0);
}

bool PrepareWallpaperPicture(const settings::Settings& s, const platform::Wallpaper& wallpaper) {
  images::Image source;
  if (wallpaper.path.empty() || wallpaper.path == "(None)" ||
      !images::DecodeImageFile(wallpaper.path, source)) {
    text::ShowError(text::Lookup("Msg", "Wallpaper not found"));
    return false;
  }
  images::Image picture;
  // A screen-sized picture that cannot be made leaves the run without a wallpaper file.
  if (ComposeWallpaper(source, wallpaper.style, s.videow, s.videoh, picture))
    BlurAndSave(s, picture, s.wallpaperblur, WallpaperFile(s), true);
  return true;
}

void RemovePictureFile(const std::string& path) {
  if (platform::FileSize(path) > 0) platform::RemoveFile(path);
}

bool PrepareBackgroundPicture(const settings::Settings& s, uint64_t hostWindow) {
  switch (StillSource(s)) {
    case Source::kDesktop:
      PrepareDesktopPicture(s, hostWindow);
      return true;
    case Source::kWallpaper:
      return PrepareWallpaperPicture(s, platform::QueryWallpaper());
    default:
      return true;
  }
}

void RemoveBackgroundPicture(const settings::Settings& s, uint64_t hostWindow) {
  const std::string file = BackgroundPictureFile(s, hostWindow);
  // A copy that never joined the users (one with a picture of its own) is its picture's last.
  if (platform::LeaveFolderUsers() && !file.empty()) RemovePictureFile(file);
}

std::string BackgroundPictureFile(const settings::Settings& s, uint64_t hostWindow) {
  switch (StillSource(s)) {
    case Source::kDesktop:
      return DesktopFile(s, hostWindow);
    case Source::kWallpaper:
      return WallpaperFile(s);
    default:
      return "";
  }
}

}  // namespace app
