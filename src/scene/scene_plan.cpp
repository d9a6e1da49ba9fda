#include "scene/scene_plan.h"

#include <algorithm>

#include "platform/platform.h"
#include "scene/flake_field.h"
#include "settings/modes.h"
#include "settings/settings_folder.h"

namespace scene {
namespace {

Drift PlanDrift(int8_t wind, RandomGenerator& random) {
  if (wind == settings::kWindRandom) {
    wind = static_cast<int8_t>(random.Draw(settings::kWindNone, settings::kWindRightToLeft));
  }
  switch (wind) {
    case settings::kWindLeftToRight:
      return Drift::kLeftToRight;
    case settings::kWindRightToLeft:
      return Drift::kRightToLeft;
    default:
      return Drift::kNone;
  }
}

FlakePlan PlanFlakes(const settings::Settings& s, RandomGenerator& random,
                     std::span<const images::EmbeddedFile> builtInFlakes) {
  FlakePlan f;
  f.count = std::clamp<int32_t>(s.flakes, 0, kMaxFlakes);
  f.scale = static_cast<float>(std::min(s.flakesize, kMaxFlakeSize)) * 0.01f;
  f.speed = s.speed;
  f.drift = PlanDrift(s.wind, random);
  f.rotate = s.flakerotate != 0;
  if (s.customflaketype) f.pictureFile = s.customflakeimage;
  f.builtInNumber = s.flaketype >= 1 && s.flaketype <= 8 ? s.flaketype : 1;
  f.builtInFiles = builtInFlakes;
  return f;
}

}  // namespace

BackgroundPlan PlanBackground(const settings::Settings& s) {
  using Source = BackgroundPlan::Source;
  BackgroundPlan b;
  b.pictureTimeMs = int64_t{s.pictime} * 1000;
  switch (s.background) {
    case settings::kBackgroundForest:
      b.folder = s.Path + platform::NativePath("data/forest/");
      break;
    case settings::kBackgroundDesktop:
      b.source = Source::kDesktop;
      b.picture = settings::DesktopPictureFile(s.configFolder);
      break;
    case settings::kBackgroundWallpaper:
      b.source = Source::kWallpaper;
      b.picture = settings::WallpaperPictureFile(s.configFolder);
      break;
    case settings::kBackgroundBlank:
      b.source = Source::kColour;
      b.colour = std::clamp(s.blankr, 0, 255) | std::clamp(s.blankg, 0, 255) << 8 |
                 std::clamp(s.blankb, 0, 255) << 16;
      break;
    case settings::kBackgroundCustom:
      b.folder = s.configFolder + platform::NativePath("imgs/");
      break;
    case settings::kBackgroundGradients:
      b.folder = s.Path + platform::NativePath("data/gradient/");
      break;
    default:
      break;  // a number no version wrote: a slide show without pictures, black
  }
  return b;
}

ScenePlan MakeScenePlan(const settings::Settings& s, RandomGenerator& random,
                        std::span<const images::EmbeddedFile> builtInFlakes) {
  ScenePlan p;
  const std::string data = s.Path + platform::NativePath("data/");
  p.resourceFolders = {s.configFolder, data, data + platform::NativePath("font/")};
  p.background = PlanBackground(s);
  p.flakes = PlanFlakes(s, random, builtInFlakes);
  p.analogClock = {s.aclock != 0, s.aclockx, s.aclocky, s.aclocksize};
  p.digitalClock = {s.dclock != 0, s.dclockx, s.dclocky, s.timefrm};
  p.calendar = {s.calendar != 0, s.calendarx, s.calendary, s.calendarsize, s.calendarfirst};
  p.foreground = {s.foregroundtxt != 0, s.foregroundtext,  s.foregroundtextx,  s.foregroundtexty,
                  s.foreground != 0,    s.foregroundimage, s.foregroundimagex, s.foregroundimagey};
  return p;
}

}  // namespace scene
