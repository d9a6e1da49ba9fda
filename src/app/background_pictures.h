// The still pictures of the "Desktop" and "Wallpaper" backgrounds: written into the settings
// folder before a run, where the background set-up finds them, and removed after it. A copy in a
// screensaver host's window (`hostWindow` not 0, one copy per monitor) keeps the desktop of its
// own screen in a file of its own; the wallpaper, the same for every copy, they share.
#pragma once

#include <cstdint>
#include <string>

#include "images/image.h"
#include "platform/platform.h"
#include "settings/settings.h"

namespace app {

// The wallpaper at width x height (24-bit): style 0 tiles it at its own size from the top-left
// corner, clipped at the right and bottom; any other style stretches it over the whole picture.
// False when the picture cannot be made.
bool ComposeWallpaper(const images::Image& wallpaper, int32_t style, int32_t width, int32_t height,
                      images::Image& out);

// The desktop's top-left videow x videoh at 1:1, blurred by desktopblur, as "desktop.bmp" (a
// hosted copy's own file). Writes nothing when the desktop cannot be read.
void PrepareDesktopPicture(const settings::Settings& s, uint64_t hostWindow = 0);

// `wallpaper` composed at videow x videoh, blurred by wallpaperblur, as "wallpaper.bmp". When
// its file cannot be read, shows the "Wallpaper not found" error and returns false: the run
// must not start.
bool PrepareWallpaperPicture(const settings::Settings& s, const platform::Wallpaper& wallpaper);

// Deletes `path` when it is a file with something in it.
void RemovePictureFile(const std::string& path);

// Before and after a run: the picture that its background needs. Prepare returns false when the
// run must not start. Copies of the program running at once share the wallpaper's picture: the
// last of them to end removes it.
bool PrepareBackgroundPicture(const settings::Settings& s, uint64_t hostWindow = 0);
void RemoveBackgroundPicture(const settings::Settings& s, uint64_t hostWindow = 0);
// The file Prepare writes; empty when it writes none.
std::string BackgroundPictureFile(const settings::Settings& s, uint64_t hostWindow = 0);

}  // namespace app
