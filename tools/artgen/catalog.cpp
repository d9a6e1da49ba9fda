#include "catalog.h"

#include "flakes.h"
#include "gradients.h"
#include "icons.h"
#include "music.h"
#include "scenes.h"
#include "write.h"

namespace artgen {

namespace {

constexpr int kWide = 1920, kHigh = 1080;

char Digit(int v) {
  return static_cast<char>('0' + v);
}
std::string Two(int v) {
  return std::string{Digit(v / 10), Digit(v % 10)};
}

bool SaveJpeg(const std::string& path, const Canvas& c, uint32_t seed, int quality) {
  return WriteJpeg(path, c.Width(), c.Height(), ToRgb8(c, seed), quality);
}
bool SavePng(const std::string& path, const Canvas& c, uint32_t seed) {
  return WritePng(path, c.Width(), c.Height(), 4, ToRgba8(c, seed));
}
bool SaveBmp(const std::string& path, const Canvas& c, uint32_t seed, size_t fileSize = 0) {
  return WriteBmp24(path, c.Width(), c.Height(), ToRgb8(c, seed), fileSize);
}

// The full-size pictures are previewed at a quarter of their width.
void Preview(const Canvas& c, Canvas* preview) {
  if (preview) *preview = Downscale(c, c.Width() / 4, c.Height() / 4);
}

}  // namespace

std::vector<Entry> Catalog() {
  std::vector<Entry> list;
  auto picture = [&](std::string file, bool builtin, std::function<Canvas()> paint,
                     std::function<bool(const std::string&, const Canvas&)> save) {
    list.push_back(
        {file, builtin, [paint, save](const std::string& path, const Options&, Canvas* preview) {
           Canvas c = paint();
           if (preview) *preview = c;
           return save(path, c);
         }});
  };
  auto png = [](uint32_t seed) {
    return [seed](const std::string& path, const Canvas& c) { return SavePng(path, c, seed); };
  };

  // The longest job first, so that it runs beside the pictures rather than after them.
  list.push_back({"music/forest.mp3", false, [](const std::string& path, const Options&, Canvas*) {
                    Piece p = ComposeForest();
                    return WriteMp3(path, p.left, p.right, p.rate, 160);
                  }});
  list.push_back(
      {"music/snowfall.wav", false, [](const std::string& path, const Options&, Canvas*) {
         Piece p = ComposeSnowfall();
         return WriteWav(path, ToPcm16(p), p.rate, 2);
       }});

  for (int i = 0; i < kForestScenes; ++i) {
    list.push_back({"forest/" + ForestName(i) + ".jpg", false,
                    [i](const std::string& path, const Options&, Canvas* preview) {
                      Canvas c = PaintForest(i, kWide, kHigh);
                      Preview(c, preview);
                      return SaveJpeg(path, c, 100u + i, 9);
                    }});
  }
  for (int i = 0; i < kGradients; ++i) {
    list.push_back({"gradient/" + GradientName(i) + ".jpg", false,
                    [i](const std::string& path, const Options&, Canvas* preview) {
                      Canvas c = PaintGradient(i, kWide, kHigh);
                      Preview(c, preview);
                      return SaveJpeg(path, c, 200u + i, 10);
                    }});
  }
  picture(
      "snowflakes/myflake2.png", false, [] { return PaintLargeFlake(128); }, png(300));

  list.push_back({"foreground/happynewyear.bmp", false,
                  [](const std::string& path, const Options& o, Canvas* preview) {
                    Canvas c = PaintGreeting(o.fonts);
                    if (preview) *preview = c;
                    return SaveBmp(path, c, 301);
                  }});
  list.push_back(
      {"font/DejaVuSans.ttf", false, [](const std::string& path, const Options& o, Canvas*) {
         return CopyFile(o.fonts.Sans(), path);
       }});
  list.push_back({"font/LICENSE", false, [](const std::string& path, const Options& o, Canvas*) {
                    return CopyFile(o.fontLicence, path);
                  }});
  list.push_back({"font/days.fontdef", false, [](const std::string& path, const Options&, Canvas*) {
                    return WriteText(path, "font Days\nsource DejaVuSans.ttf\n");
                  }});
  // Built-in pictures, named by their number.
  list.push_back(
      {"picture00.bmp", true, [](const std::string& path, const Options& o, Canvas* preview) {
         Canvas c = PaintBanner(o.fonts);
         if (preview) *preview = c;
         return SaveBmp(path, c, 400);
       }});
  // The preview picture is kept as a 51128-byte file, two bytes beyond its pixels.
  picture(
      "picture01.bmp", true, [] { return PaintPreview(); },
      [](const std::string& path, const Canvas& c) { return SaveBmp(path, c, 401, 51128); });
  list.push_back(
      {"picture03.bmp", true, [](const std::string& path, const Options& o, Canvas* preview) {
         Canvas c = PaintPlaceholder(o.fonts);
         if (preview) *preview = c;
         return SaveBmp(path, c, 403);
       }});
  for (int n = 5; n <= 11; ++n)
    picture(
        "picture" + Two(n) + ".png", true, [n] { return PaintIcon(n); }, png(400u + n));
  for (int k = 1; k <= kFlakeKinds; ++k) {
    picture(
        "picture" + Two(11 + k) + ".bmp", true, [k] { return PaintDialogFlake(k); },
        [](const std::string& path, const Canvas& c) {
          // The dialog keeps these eight back to back in 5056-byte blocks.
          return WriteBmp555(path, c.Width(), c.Height(), ToRgb555(c), 5056);
        });
  }
  for (int k = 1; k <= kFlakeKinds; ++k)
    picture(
        "flake" + std::string{Digit(k)} + ".png", true, [k] { return PaintFlake(k, 16); },
        png(500u + k));
  return list;
}

}  // namespace artgen
