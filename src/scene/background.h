// The background behind the snow: the picture plane's material (a slide show with fades, a still
// picture or nothing) and the black cover in front of it whose opacity is the fade level.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/settings.h"

namespace scene {

struct SceneState;

struct BackgroundState {
  std::vector<std::string> pictures;  // the picture list: full paths, in folder order
  bool picturesShown = true;
  int32_t blankColour = 0;  // r + g * 256 + b * 65536
  int32_t FadeLevel = 255;  // alpha of the cover, 0..255
  int32_t fadeStep = 2;
  int32_t pictureIndex = 0;  // the next entry to show
  int32_t lastIndex = -1;
  bool cycling = false;
  bool fading = false;
  bool fadingOut = false;
  int64_t lastChange = 0;   // when the current picture finished fading in
  int64_t pictureTime = 0;  // `pictime` in milliseconds
};

// Appends the pictures of `folder` (files of size above 0 whose lower-cased extension is bmp, jpg,
// jpeg or png) in the order the file system lists them.
void ScanPictureFolder(std::vector<std::string>& list, const std::string& folder);

// Resource folders, the picture and cover materials, the picture list, the flake texture and the
// foreground sprite. Called while the scene is built, before the camera and planes exist.
void SetUpBackground(BackgroundState& b, const settings::Settings& s);

// Puts one picture file on the picture material (texture 1); "" does nothing. False when the
// file could not be loaded: the material is then left without a picture.
bool LoadBackgroundPicture(const std::string& path);

void FadeOutStep(BackgroundState& b);
void FadeInStep(BackgroundState& b);

// A picture plane and the cover in front of it: the primary screen's, and one pair per other
// monitor. All show the one background, whose materials they share.
struct BackgroundPlanes {
  int32_t picture = 0;
  int32_t cover = 0;
};

// The steps before the first frame, and the per-frame slide show (`now`: the run's clock).
void StartBackground(BackgroundState& b, const settings::Settings& s,
                     const std::vector<BackgroundPlanes>& planes);
void UpdateBackground(BackgroundState& b, const settings::Settings& s, int64_t now);

}  // namespace scene
