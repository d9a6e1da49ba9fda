#include "scene/background.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/platform.h"
#include "scene/engine_api.h"
#include "scene/engine_objects.h"
#include "scene/texture_drawing.h"

namespace scene {
namespace {

int White(int alpha) {
  return static_cast<int>(0x00FFFFFFu | static_cast<uint32_t>(alpha) << 24);
}

bool AcceptedExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  std::string ext = name.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == "bmp" || ext == "jpg" || ext == "jpeg" || ext == "png";
}

// A 256 x 256 texture filled with one colour; false when it cannot be made.
bool FilledTexture(int texture, int32_t colour, uint32_t mode) {
  if (Rto().CreateTexture(texture, 256, 256) == 0) return false;
  DrawOnTexture(texture, [&](images::DrawTarget& target) {
    target.mode = mode;
    images::FloodFill(target, 1, 1, -1, colour);
  });
  return true;
}

bool IsSlideShow(const BackgroundState& b) {
  return b.source == BackgroundPlan::Source::kPictureFolder;
}

}  // namespace

void ScanPictureFolder(std::vector<std::string>& list, const std::string& folder) {
  for (const platform::FolderEntry& entry : platform::ListFiles(folder)) {
    if (entry.size > 0 && AcceptedExtension(entry.name)) list.push_back(folder + entry.name);
  }
}

void SetUpBackground(BackgroundState& b, const BackgroundPlan& plan) {
  using Source = BackgroundPlan::Source;
  EngineApi& rto = Rto();
  b.source = plan.source;
  b.blankColour = plan.colour;
  b.pictureTime = plan.pictureTimeMs;
  if (FilledTexture(kPictureTexture, 0x00FF00, 0)) {
    rto.CreateMaterial(kPictureMaterial, rto.TextureID(kPictureTexture));
    rto.RotateMaterial(kPictureMaterial, 180.0f, RTO_ABSOLUTE);
    rto.DisableMaterialLighting(kPictureMaterial, 1);
    rto.MaterialCullingMode(kPictureMaterial, RTO_CULL_NONE);
    rto.MaterialShadingMode(kPictureMaterial, RTO_SHADE_SMOOTH);
    rto.MaterialFilteringMode2(kPictureMaterial, RTO_FILTER_ANISOTROPIC, 2);
    rto.SetMaterialAttribute(kPictureMaterial, RTO_ATTR_DEPTH_TEST, 0);
    rto.SetMaterialAttribute(kPictureMaterial, RTO_ATTR_DEPTH_WRITE, 0);
  }

  if (plan.source == Source::kPictureFolder && !plan.folder.empty()) {
    ScanPictureFolder(b.pictures, plan.folder);
  } else if (plan.source == Source::kDesktop || plan.source == Source::kWallpaper) {
    b.pictures.push_back(plan.picture);
  }

  if (FilledTexture(kCoverTexture, static_cast<int32_t>(0xFF000000u), images::kDrawAlphaChannel)) {
    rto.CreateMaterial(kCoverMaterial, rto.TextureID(kCoverTexture));
    rto.MaterialCullingMode(kCoverMaterial, RTO_CULL_NONE);
    rto.MaterialShadingMode(kCoverMaterial, RTO_SHADE_SMOOTH);
    rto.MaterialBlendingMode(kCoverMaterial, RTO_BLEND_ALPHA);
    rto.SetMaterialColor(kCoverMaterial, 0, White(b.FadeLevel));
    rto.SetMaterialAttribute(kCoverMaterial, RTO_ATTR_DEPTH_TEST, 0);
    rto.SetMaterialAttribute(kCoverMaterial, RTO_ATTR_DEPTH_WRITE, 0);
  }
}

bool LoadBackgroundPicture(const std::string& path) {
  if (path.empty()) return false;
  EngineApi& rto = Rto();
  rto.RemoveMaterialLayer(kPictureMaterial);
  if (rto.IsTexture(kPictureTexture)) rto.FreeTexture(kPictureTexture);
  const bool loaded = rto.LoadTexture(kPictureTexture, path.c_str()) != 0;
  if (loaded) rto.AddMaterialLayer(kPictureMaterial, rto.TextureID(kPictureTexture));
  rto.RotateMaterial(kPictureMaterial, 180.0f, RTO_ABSOLUTE);
  return loaded;
}

void FadeOutStep(BackgroundState& b) {
  b.FadeLevel = std::min(b.FadeLevel + b.fadeStep, 255);
  b.shownFade = b.FadeLevel;
  Rto().SetMaterialColor(kCoverMaterial, 0, White(b.FadeLevel));
}

void FadeInStep(BackgroundState& b) {
  b.FadeLevel = std::max(b.FadeLevel - b.fadeStep, 0);
  b.shownFade = b.FadeLevel;
  Rto().SetMaterialColor(kCoverMaterial, 0, White(b.FadeLevel));
}

void ShowFade(BackgroundState& b, float fraction) {
  const float back = 1.0f - fraction;
  const int32_t level =
      b.FadeLevel -
      static_cast<int32_t>(std::lround(static_cast<float>(b.FadeLevel - b.previousFade) * back));
  if (level == b.shownFade) return;
  b.shownFade = level;
  Rto().SetMaterialColor(kCoverMaterial, 0, White(level));
}

void StartBackground(BackgroundState& b, const std::vector<BackgroundPlanes>& planes) {
  using Source = BackgroundPlan::Source;
  b.lastIndex = static_cast<int32_t>(b.pictures.size()) - 1;
  b.cycling = IsSlideShow(b) && b.lastIndex > 0;
  bool hidePictures = false, hideCovers = false;
  switch (b.source) {
    case Source::kPictureFolder:
      b.fading = true;
      b.fadingOut = false;
      break;
    case Source::kDesktop:
    case Source::kWallpaper:
      // Without its picture the plane would show blank white: the black behind it shows instead.
      hidePictures = b.pictures.empty() || !LoadBackgroundPicture(b.pictures[0]);
      b.pictureIndex = 1;
      hideCovers = true;
      break;
    case Source::kColour:
      hidePictures = hideCovers = true;
      break;
  }
  for (const BackgroundPlanes& p : planes) {
    if (hidePictures) Rto().HideEntity(p.picture, 1);
    if (hideCovers) Rto().HideEntity(p.cover, 1);
  }
}

void UpdateBackground(BackgroundState& b, int64_t now) {
  b.previousFade = b.FadeLevel;
  // A slide show of a single picture fades it in once and keeps it.
  const bool single = IsSlideShow(b) && b.lastIndex == 0;
  if (!(b.cycling || single)) return;
  if (!b.fading && b.cycling && now - b.lastChange > b.pictureTime) {
    b.fading = true;
    b.fadingOut = true;
  }
  if (!b.fading) return;
  if (b.fadingOut) FadeOutStep(b);
  if (b.FadeLevel == 255) {
    // Files the engine cannot read are passed over. When none can be read the cover stays
    // closed, a black background as for an empty folder, and the files are tried again a
    // picture time later: a run lasts for hours, and pictures may come back in the meantime.
    bool loaded = false;
    for (int32_t tries = 0; !loaded && tries <= b.lastIndex; ++tries) {
      if (b.pictureIndex > b.lastIndex) b.pictureIndex = 0;
      loaded = LoadBackgroundPicture(b.pictures[b.pictureIndex]);
      ++b.pictureIndex;
    }
    if (!loaded) {
      b.lastChange = now;
      b.fading = false;
      return;
    }
    b.fadingOut = false;
  }
  if (!b.fadingOut) FadeInStep(b);
  if (b.FadeLevel == 0) {
    b.lastChange = now;
    b.fading = false;
  }
}

}  // namespace scene
