// The pieces a winter landscape is painted from, back to front. Sizes are fractions of the
// picture's height (and positions across of its width), so a scene paints at any size.
#pragma once

#include <cstdint>
#include <vector>

#include "canvas.h"

namespace artgen {

struct SkyDef {
  std::vector<Color> stops;  // from the top of the picture down to the horizon
  float horizon = 0.6f;      // where the last stop is reached
  Color haze;                // colour of the air near the horizon (atmospheric perspective)
  Color light;               // colour of the sun or moon light
  float lightX = 0.5f, lightY = 0.5f;
  float glow = 0.0f, glowSize = 0.2f;
  int disc = 0;  // 0 none, 1 sun, 2 moon
  float discSize = 0.03f;
  int stars = 0;
  float clouds = 0.0f;  // amount of cloud cover
  float cloudTop = 0.1f, cloudBottom = 0.5f;
  Color cloudLit, cloudShade;
  bool aurora = false;
  uint32_t seed = 1;
};

struct MountainDef {
  float base = 0.6f, height = 0.25f;  // foot line and peak height
  float scale = 1.0f;                 // width of the features (bigger: broader peaks)
  float fog = 0.3f;                   // share of haze colour
  uint32_t seed = 1;
};

struct Palette {
  Color foliage, foliageLit;  // needles in shadow and in light
  Color snowLit, snowShade;   // snow facing the light, snow in shadow (sky-lit, blue)
  Color trunk;
};

struct LayerDef {
  float base = 0.7f;    // ground line
  float hills = 0.01f;  // swell of the ground line
  float treeHeight = 0.1f;
  float spacing = 1.0f;  // gap between trees in tree widths
  float depth = 0.0f;    // spread of the tree feet below the ground line, in tree heights
  float fog = 0.0f;      // share of haze colour
  float mist = 0.0f;     // mist rising from the layer's foot
  float bare = 0.0f;     // share of the height that is bare trunk
  float bank = 0.0f;     // > 0: only a snow bank this high under the trees (a lake shore)
  float gapFrom = 0.0f, gapTo = 0.0f;  // a clearing without trees
  float snow = 1.0f;                   // how laden the branches are
  bool ground = true;                  // paint the snow ground under the trees
  uint32_t seed = 1;
};

struct TreeDef {
  float x, base, height, width;  // pixels
  float bare = 0.0f;             // share of height that is trunk only
  float snow = 1.0f;
  float fog = 0.0f;
  uint32_t seed = 1;
};

// Sky gradient, glow, clouds, stars, aurora and the sun or moon disc.
void PaintSky(Canvas& c, const SkyDef& sky);
// A mountain range with lit and shaded snow faces.
void PaintMountains(Canvas& c, const MountainDef& m, const SkyDef& sky, const Palette& p);
// Ground line of a layer at pixel column x, in pixels.
float GroundLine(const LayerDef& layer, float x, int height);
// One layer of forest on its snow ground, then its mist.
void PaintLayer(Canvas& c, const LayerDef& layer, const SkyDef& sky, const Palette& p);
void PaintTree(Canvas& c, const TreeDef& t, const SkyDef& sky, const Palette& p);
// A frozen lake below the ground line of `shore`: the scene above mirrored in dusted ice.
// `snow` scales the drifts lying on the ice.
void PaintLake(Canvas& c, const LayerDef& shore, const SkyDef& sky, const Palette& p, float snow);
// Near snow field from `top` down: drifts shaded by the light, sparkles.
void PaintSnowField(Canvas& c, float top, const SkyDef& sky, const Palette& p, uint32_t seed);
// Long shadows of unseen trees falling towards the viewer across the snow below `top`.
void PaintCastShadows(Canvas& c, float top, const SkyDef& sky, const Palette& p, uint32_t seed);
// Shafts of light from the sky's light through gaps in what is painted.
void PaintRays(Canvas& c, const SkyDef& sky, float strength);
// Gentle darkening towards the corners.
void Vignette(Canvas& c, float amount);

}  // namespace artgen
