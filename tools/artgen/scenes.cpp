#include "scenes.h"

#include <vector>

#include "scene_parts.h"

namespace artgen {

namespace {

struct SceneDef {
  std::string name;
  SkyDef sky;
  Palette palette;
  std::vector<MountainDef> mountains;
  std::vector<LayerDef> layers;
  int lakeAfter = -1;      // the lake lies in front of this layer
  float lakeSnow = 1.0f;   // how much snow the wind left on the ice
  float snowField = 0.0f;  // top of the near snow field, 0 for none
  bool shadows = false;
  float rays = 0.0f;
  float vignette = 0.22f;
};

LayerDef Layer(float base, float treeHeight, float fog, float mist, uint32_t seed) {
  LayerDef l;
  l.base = base;
  l.treeHeight = treeHeight;
  l.hills = treeHeight * 0.45f;
  l.spacing = base < 0.7f ? 0.3f : 0.7f;
  l.depth = base < 0.7f ? 0.6f : 0.25f;
  l.fog = fog;
  l.mist = mist;
  l.seed = seed;
  return l;
}

SceneDef MistyPines() {
  SceneDef s;
  s.name = "misty_pines";
  s.sky.stops = {Rgb(0x8A9DB2), Rgb(0xAFBECC), Rgb(0xD3DBE3)};
  s.sky.horizon = 0.55f;
  s.sky.haze = Rgb(0xD2DAE2);
  s.sky.light = Rgb(0xFFEBD0);
  s.sky.lightX = 0.66f, s.sky.lightY = 0.22f, s.sky.glow = 0.22f, s.sky.glowSize = 0.35f;
  s.sky.clouds = 0.45f, s.sky.cloudTop = 0.02f, s.sky.cloudBottom = 0.38f;
  s.sky.cloudLit = Rgb(0xEEEFF0), s.sky.cloudShade = Rgb(0x9EAEBF);
  s.sky.seed = 11;
  s.palette = {Rgb(0x1C342F), Rgb(0x2E4F44), Rgb(0xF3F6F9), Rgb(0xA4B4C8), Rgb(0x3A3230)};
  s.layers = {Layer(0.47f, 0.05f, 0.82f, 0.55f, 101), Layer(0.52f, 0.07f, 0.70f, 0.55f, 102),
              Layer(0.58f, 0.10f, 0.55f, 0.50f, 103), Layer(0.65f, 0.15f, 0.38f, 0.45f, 104),
              Layer(0.75f, 0.24f, 0.18f, 0.30f, 105), Layer(0.93f, 0.55f, 0.02f, 0.0f, 106)};
  s.layers[0].spacing = s.layers[1].spacing = 0.6f;
  s.layers[5].spacing = 2.2f;
  s.layers[5].gapFrom = 0.2f, s.layers[5].gapTo = 0.8f;
  s.snowField = 0.86f;
  return s;
}

SceneDef MoonlitNight() {
  SceneDef s;
  s.name = "moonlit_night";
  s.sky.stops = {Rgb(0x040817), Rgb(0x0A1733), Rgb(0x16305A), Rgb(0x2A4B7A)};
  s.sky.horizon = 0.62f;
  s.sky.haze = Rgb(0x2F4C78);
  s.sky.light = Rgb(0xD8E4FF);
  s.sky.lightX = 0.76f, s.sky.lightY = 0.19f, s.sky.glow = 0.30f, s.sky.glowSize = 0.22f;
  s.sky.disc = 2, s.sky.discSize = 0.034f;
  s.sky.stars = 1600;
  s.sky.clouds = 0.18f, s.sky.cloudTop = 0.26f, s.sky.cloudBottom = 0.46f;
  s.sky.cloudLit = Rgb(0x6E84A8), s.sky.cloudShade = Rgb(0x1B2A4A);
  s.sky.seed = 22;
  s.palette = {Rgb(0x08141C), Rgb(0x1A3344), Rgb(0xC9DAF5), Rgb(0x3E5788), Rgb(0x141416)};
  s.mountains = {{0.64f, 0.10f, 0.9f, 0.55f, 201}};
  s.layers = {Layer(0.63f, 0.06f, 0.55f, 0.25f, 202), Layer(0.67f, 0.10f, 0.38f, 0.2f, 203),
              Layer(0.73f, 0.16f, 0.20f, 0.1f, 204), Layer(0.97f, 0.60f, 0.0f, 0.0f, 205)};
  s.layers[3].spacing = 2.5f;
  s.layers[3].gapFrom = 0.12f, s.layers[3].gapTo = 1.1f;
  s.snowField = 0.76f;
  s.shadows = true;
  s.vignette = 0.3f;
  return s;
}

SceneDef Dawn() {
  SceneDef s;
  s.name = "dawn";
  s.sky.stops = {Rgb(0x3A4A8A), Rgb(0x7F78B0), Rgb(0xD99DB4), Rgb(0xFFCFA0)};
  s.sky.horizon = 0.6f;
  s.sky.haze = Rgb(0xE6B6B6);
  s.sky.light = Rgb(0xFFC48E);
  s.sky.lightX = 0.34f, s.sky.lightY = 0.62f, s.sky.glow = 0.55f, s.sky.glowSize = 0.28f;
  s.sky.clouds = 0.42f, s.sky.cloudTop = 0.08f, s.sky.cloudBottom = 0.36f;
  s.sky.cloudLit = Rgb(0xFFB39A), s.sky.cloudShade = Rgb(0x8478A8);
  s.sky.seed = 33;
  s.palette = {Rgb(0x1C2536), Rgb(0x3A3D52), Rgb(0xFFE1D6), Rgb(0x8A8CC0), Rgb(0x2A2228)};
  s.mountains = {{0.60f, 0.45f, 1.2f, 0.12f, 301}};
  s.layers = {Layer(0.64f, 0.05f, 0.55f, 0.65f, 303), Layer(0.70f, 0.09f, 0.38f, 0.45f, 304),
              Layer(0.80f, 0.24f, 0.10f, 0.15f, 305)};
  s.layers[2].gapFrom = 0.28f, s.layers[2].gapTo = 1.1f;
  s.snowField = 0.82f;
  return s;
}

SceneDef Dusk() {
  SceneDef s;
  s.name = "dusk";
  s.sky.stops = {Rgb(0x121A3C), Rgb(0x392E62), Rgb(0x9C4E6C), Rgb(0xEE8848), Rgb(0xFFC46A)};
  s.sky.horizon = 0.62f;
  s.sky.haze = Rgb(0xC47A6C);
  s.sky.light = Rgb(0xFF9A48);
  s.sky.lightX = 0.58f, s.sky.lightY = 0.585f, s.sky.glow = 0.85f, s.sky.glowSize = 0.22f;
  s.sky.disc = 1, s.sky.discSize = 0.03f;
  s.sky.stars = 500;
  s.sky.clouds = 0.25f, s.sky.cloudTop = 0.32f, s.sky.cloudBottom = 0.52f;
  s.sky.cloudLit = Rgb(0xFFA070), s.sky.cloudShade = Rgb(0x5A3A60);
  s.sky.seed = 44;
  s.palette = {Rgb(0x0E1120), Rgb(0x2A2030), Rgb(0xFFC8A4), Rgb(0x56568E), Rgb(0x120E16)};
  s.layers = {Layer(0.60f, 0.06f, 0.38f, 0.3f, 401), Layer(0.65f, 0.10f, 0.22f, 0.15f, 402),
              Layer(0.72f, 0.20f, 0.05f, 0.0f, 403)};
  s.layers[2].gapFrom = 0.45f, s.layers[2].gapTo = 0.7f;
  s.snowField = 0.74f;
  s.shadows = true;
  s.vignette = 0.28f;
  return s;
}

SceneDef FrozenLake() {
  SceneDef s;
  s.name = "frozen_lake";
  s.sky.stops = {Rgb(0x4A82C4), Rgb(0x82AEDB), Rgb(0xC2DAEE), Rgb(0xE4EDF5)};
  s.sky.horizon = 0.5f;
  s.sky.haze = Rgb(0xD6E2EE);
  s.sky.light = Rgb(0xFFF3DE);
  s.sky.lightX = 0.2f, s.sky.lightY = 0.14f, s.sky.glow = 0.28f, s.sky.glowSize = 0.3f;
  s.sky.clouds = 0.3f, s.sky.cloudTop = 0.04f, s.sky.cloudBottom = 0.3f;
  s.sky.cloudLit = Rgb(0xFFFFFF), s.sky.cloudShade = Rgb(0xB4C8DC);
  s.sky.seed = 55;
  s.palette = {Rgb(0x1B342E), Rgb(0x34574A), Rgb(0xFAFCFF), Rgb(0xA2B8D4), Rgb(0x3A302A)};
  s.mountains = {{0.48f, 0.30f, 1.1f, 0.3f, 501}};
  LayerDef shore = Layer(0.5f, 0.085f, 0.3f, 0.25f, 502);
  shore.hills = 0.006f;
  shore.bank = 0.012f;
  shore.depth = 0.25f;
  LayerDef near = Layer(0.95f, 0.5f, 0.02f, 0.0f, 503);
  near.spacing = 0.9f;
  near.gapFrom = 0.1f, near.gapTo = 0.88f;
  s.layers = {shore, near};
  s.lakeAfter = 0;
  s.lakeSnow = 0.55f;
  s.snowField = 0.86f;
  return s;
}

SceneDef Mountains() {
  SceneDef s;
  s.name = "mountains";
  s.sky.stops = {Rgb(0x2A66B0), Rgb(0x5A92CE), Rgb(0xA6C8E8), Rgb(0xDCE8F3)};
  s.sky.horizon = 0.55f;
  s.sky.haze = Rgb(0xC8DAEA);
  s.sky.light = Rgb(0xFFF4E2);
  s.sky.lightX = 0.86f, s.sky.lightY = 0.1f, s.sky.glow = 0.22f, s.sky.glowSize = 0.25f;
  s.sky.clouds = 0.15f, s.sky.cloudTop = 0.05f, s.sky.cloudBottom = 0.2f;
  s.sky.cloudLit = Rgb(0xFFFFFF), s.sky.cloudShade = Rgb(0xB0C6DE);
  s.sky.seed = 66;
  s.palette = {Rgb(0x1A3228), Rgb(0x2E523F), Rgb(0xFFFFFF), Rgb(0x93AACF), Rgb(0x3A3230)};
  s.mountains = {{0.60f, 0.6f, 1.3f, 0.06f, 601}};
  s.layers = {Layer(0.64f, 0.05f, 0.45f, 0.55f, 603), Layer(0.70f, 0.09f, 0.28f, 0.3f, 604),
              Layer(0.79f, 0.17f, 0.10f, 0.12f, 605)};
  s.layers[2].gapFrom = 0.3f, s.layers[2].gapTo = 0.78f;
  s.snowField = 0.86f;
  return s;
}

SceneDef LightThroughTrees() {
  SceneDef s;
  s.name = "light_through_trees";
  s.sky.stops = {Rgb(0x8494A4), Rgb(0xC8C4B4), Rgb(0xF0E2C4)};
  s.sky.horizon = 0.62f;
  s.sky.haze = Rgb(0xE4D8C2);
  s.sky.light = Rgb(0xFFDDA0);
  s.sky.lightX = 0.56f, s.sky.lightY = 0.36f, s.sky.glow = 0.9f, s.sky.glowSize = 0.18f;
  s.sky.disc = 1, s.sky.discSize = 0.018f;
  s.sky.seed = 77;
  s.palette = {Rgb(0x232C28), Rgb(0x464632), Rgb(0xFFF2DA), Rgb(0x8896B4), Rgb(0x3A2C24)};
  s.layers = {Layer(0.60f, 0.28f, 0.70f, 0.35f, 701), Layer(0.63f, 0.48f, 0.50f, 0.25f, 702),
              Layer(0.68f, 0.85f, 0.30f, 0.15f, 703), Layer(0.77f, 1.40f, 0.08f, 0.0f, 704)};
  const float bare[] = {0.40f, 0.45f, 0.5f, 0.55f}, spacing[] = {0.5f, 0.55f, 0.6f, 1.1f};
  for (int i = 0; i < 4; ++i) {
    s.layers[i].bare = bare[i];
    s.layers[i].spacing = spacing[i];
    s.layers[i].hills = 0.01f;
  }
  s.layers[3].gapFrom = 0.3f, s.layers[3].gapTo = 0.72f;
  s.snowField = 0.7f;
  s.shadows = true;
  s.rays = 1.1f;
  return s;
}

SceneDef Aurora() {
  SceneDef s;
  s.name = "aurora";
  s.sky.stops = {Rgb(0x02040E), Rgb(0x05122C), Rgb(0x0A2242), Rgb(0x153256)};
  s.sky.horizon = 0.56f;
  s.sky.haze = Rgb(0x1A3656);
  s.sky.light = Rgb(0x7CFFC8);
  s.sky.lightX = 0.5f, s.sky.lightY = 0.3f, s.sky.glow = 0.06f, s.sky.glowSize = 0.5f;
  s.sky.stars = 2200;
  s.sky.aurora = true;
  s.sky.seed = 88;
  s.palette = {Rgb(0x040A10), Rgb(0x0B1A1E), Rgb(0x6FA8A0), Rgb(0x1E3050), Rgb(0x0A0A0C)};
  s.mountains = {{0.56f, 0.2f, 1.1f, 0.45f, 801}};
  LayerDef shore = Layer(0.56f, 0.05f, 0.3f, 0.1f, 802);
  shore.hills = 0.004f;
  shore.bank = 0.01f;
  LayerDef near = Layer(0.95f, 0.45f, 0.0f, 0.0f, 803);
  near.spacing = 2.2f;
  near.gapFrom = 0.18f, near.gapTo = 0.85f;
  s.layers = {shore, near};
  s.lakeAfter = 0;
  s.lakeSnow = 0.6f;
  s.snowField = 0.92f;
  s.vignette = 0.3f;
  return s;
}

SceneDef Scene(int index) {
  switch (index) {
    case 0:
      return MistyPines();
    case 1:
      return MoonlitNight();
    case 2:
      return Dawn();
    case 3:
      return Dusk();
    case 4:
      return FrozenLake();
    case 5:
      return Mountains();
    case 6:
      return LightThroughTrees();
    default:
      return Aurora();
  }
}

}  // namespace

std::string ForestName(int index) {
  return Scene(index).name;
}

Canvas PaintForest(int index, int width, int height, float lightX, float lightY) {
  SceneDef s = Scene(index);
  if (lightX >= 0.0f) s.sky.lightX = lightX;
  if (lightY >= 0.0f) s.sky.lightY = lightY;
  Canvas c(width, height, {0.0f, 0.0f, 0.0f, 1.0f});
  PaintSky(c, s.sky);
  for (const MountainDef& m : s.mountains) PaintMountains(c, m, s.sky, s.palette);
  for (size_t i = 0; i < s.layers.size(); ++i) {
    // The near layer's own ground waits for the snow field; its trees stand in front of it.
    bool last = i + 1 == s.layers.size() && s.snowField > 0.0f;
    if (last) {
      PaintSnowField(c, s.snowField, s.sky, s.palette, s.sky.seed + 7);
      if (s.shadows) PaintCastShadows(c, s.snowField, s.sky, s.palette, s.sky.seed + 9);
    }
    LayerDef layer = s.layers[i];
    layer.ground = !last;
    PaintLayer(c, layer, s.sky, s.palette);
    if (static_cast<int>(i) == s.lakeAfter) PaintLake(c, s.layers[i], s.sky, s.palette, s.lakeSnow);
  }
  if (s.rays > 0.0f) PaintRays(c, s.sky, s.rays);
  Vignette(c, s.vignette);
  return c;
}

}  // namespace artgen
