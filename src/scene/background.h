// The background behind the snow: the picture plane's material (a slide show with fades, a still
// picture or nothing) and the black cover in front of it whose opacity is the fade level.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scene/scene_plan.h"

namespace scene {

struct SceneState;

struct BackgroundState {
  BackgroundPlan::Source source = BackgroundPlan::Source::kPictureFolder;
  std::vector<std::string> pictures;  // the picture list: full paths, in folder order
  int32_t blankColour = 0;            // r + g * 256 + b * 65536
  int32_t FadeLevel = 255;            // alpha of the cover, 0..255
  int32_t previousFade = 255;         // FadeLevel before the last step
  int32_t shownFade = 255;            // the alpha the cover's material has now
  int32_t fadeStep = 2;
  int32_t pictureIndex = 0;  // the next entry to show
  int32_t lastIndex = -1;
  bool cycling = false;
  bool fading = false;
  bool fadingOut = false;
  int64_t lastChange = 0;   // when the current picture finished fading in
  int64_t pictureTime = 0;  // milliseconds a picture stays after its fade-in
};

// Appends the pictures of `folder` (files of size above 0 whose lower-cased extension is bmp, jpg,
// jpeg or png) in the order the file system lists them.
void ScanPictureFolder(std::vector<std::string>& list, const std::string& folder);

// The picture and cover materials and the picture list. Called while the scene is built, before
// the camera and planes exist.
void SetUpBackground(BackgroundState& b, const BackgroundPlan& plan);

// Puts one picture file on the picture material; "" does nothing. False when the file could not
// be loaded: the material is then left without a picture.
bool LoadBackgroundPicture(const std::string& path);

void FadeOutStep(BackgroundState& b);
void FadeInStep(BackgroundState& b);

// A picture plane and the cover in front of it: the primary screen's, and one pair per other
// monitor. All show the one background, whose materials they share.
struct BackgroundPlanes {
  int32_t picture = 0;
  int32_t cover = 0;
};

// The steps before the first frame: a still picture is put up, a colour hides the planes, a slide
// show starts fading its first picture in.
void StartBackground(BackgroundState& b, const std::vector<BackgroundPlanes>& planes);
// One step of a slide show (`now`: the run's clock); nothing for a still picture or a colour.
void UpdateBackground(BackgroundState& b, int64_t now);
// Gives the cover the fade level `fraction` of the way from the step before the last to the last
// (1: the last step's).
void ShowFade(BackgroundState& b, float fraction);

}  // namespace scene
