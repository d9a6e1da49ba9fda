// Writes small seed files for the decoder fuzzers: make_seeds FOLDER writes FOLDER/bmp/*,
// FOLDER/tga/*, FOLDER/png/* and FOLDER/jpeg/*, one file for each kind of picture a decoder
// knows, and FOLDER/exif/* with EXIF blocks in both byte orders; and for the text parsers
// FOLDER/config/* (config.ini), FOLDER/language/* (the built-in texts as NAME<TAB>TEXT lines),
// FOLDER/http_token/* (server responses), FOLDER/command_line/* (NUL-separated switches) and
// FOLDER/font_script/* (.fontdef).
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "../unit/images/picture_files.h"
#include "images/codecs.h"
#include "settings/preferences_file.h"
#include "text/language_table.h"

namespace {

using images::testing::Bytes;
namespace fs = std::filesystem;

bool Write(const fs::path& folder, const std::string& name, const Bytes& data) {
  fs::create_directories(folder);
  return images::testing::WriteFile((folder / name).string(), data);
}

bool WriteText(const fs::path& folder, const std::string& name, std::string_view text) {
  return Write(folder, name, Bytes(text.begin(), text.end()));
}

Bytes Ramp(size_t n) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i * 37 + 11);
  return b;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const fs::path root = argv[1];
  bool ok = true;
  using namespace images::testing;
  const std::vector<uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  ok &= Write(root / "bmp", "1.bmp", MakeBmp({5, 3, 1, 0, 0, {0, 0xFFFFFF}, Ramp(12)}));
  ok &= Write(root / "bmp", "4.bmp", MakeBmp({5, 3, 4, 0, 5, palette, Ramp(12)}));
  ok &= Write(root / "bmp", "8.bmp", MakeBmp({5, 3, 8, 0, 5, palette, Ramp(24)}));
  ok &= Write(root / "bmp", "rle8.bmp",
              MakeBmp({6, 4, 8, 1, 5, palette, {3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 0,
                                                2, 1, 1, 2, 4, 0, 0, 6, 2, 0, 1}}));
  ok &= Write(root / "bmp", "rle4.bmp", MakeBmp({4, 2, 4, 2, 0, palette, {4, 0x12, 0, 1}}));
  ok &= Write(root / "bmp", "555.bmp", MakeBmp({3, 2, 16, 0, 0, {}, Ramp(16)}));
  ok &= Write(root / "bmp", "565.bmp", MakeBmp({3, 2, 16, 3, 0, {}, Ramp(16)}));
  ok &= Write(root / "bmp", "555fields.bmp",
              MakeBmp({3, 2, 16, 3, 0, {}, Ramp(16), {0x7C00, 0x03E0, 0x001F}}));
  ok &= Write(root / "bmp", "32fields.bmp",
              MakeBmp({3, 2, 32, 3, 0, {}, Ramp(24), {0x000000FF, 0x0000FF00, 0x00FF0000}}));
  ok &= Write(root / "bmp", "1whiteblack.bmp", MakeBmp({5, 3, 1, 0, 0, {0xFFFFFF, 0}, Ramp(12)}));
  ok &= Write(root / "bmp", "24.bmp", MakeBmp({3, 2, 24, 0, 0, {}, Ramp(24)}));
  ok &= Write(root / "bmp", "32.bmp", MakeBmp({3, 2, 32, 0, 0, {}, Ramp(24)}));
  ok &= Write(root / "bmp", "topdown.bmp", MakeBmp({3, -2, 24, 0, 0, {}, Ramp(24)}));

  ok &= Write(root / "tga", "24.tga", MakeTga({0, 0, 2, 0, 0, 3, 2, 24, 0, Ramp(18)}));
  ok &= Write(root / "tga", "32top.tga", MakeTga({3, 1, 2, 2, 24, 3, 2, 32, 0x20, Ramp(24)}));
  ok &= Write(root / "tga", "16.tga", MakeTga({0, 0, 2, 0, 0, 3, 2, 16, 0, Ramp(12)}));
  ok &= Write(
      root / "tga", "rle.tga",
      MakeTga(
          {0, 0, 10, 0, 0, 4, 2, 24, 0, {0x82, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9, 0x81, 1, 1, 1}}));

  ok &= Write(root / "png", "rgb.png", MakePng({2, 2, PNG_COLOR_TYPE_RGB, 8, {Ramp(6), Ramp(6)}}));
  ok &= Write(root / "png", "rgba16.png",
              MakePng({1, 2, PNG_COLOR_TYPE_RGBA, 16, {Ramp(8), Ramp(8)}}));
  ok &= Write(root / "png", "palette.png",
              MakePng({4, 1, PNG_COLOR_TYPE_PALETTE, 4, {{0x01, 0x34}}, palette, {0, 128}}));
  ok &= Write(root / "png", "grey1.png", MakePng({8, 1, PNG_COLOR_TYPE_GRAY, 1, {{0xA5}}}));

  ok &= Write(root / "jpeg", "rgb.jpg", MakeJpeg(16, 8, 3, Ramp(16 * 8 * 3)));
  ok &= Write(root / "jpeg", "grey.jpg", MakeJpeg(8, 8, 1, Ramp(64)));
  ok &= Write(root / "jpeg", "cmyk.jpg", MakeJpeg(8, 8, 4, Ramp(256)));
  ok &= Write(root / "jpeg", "turned.jpg",
              WithApp1(MakeJpeg(16, 8, 3, Ramp(16 * 8 * 3)), MakeExif(6, false)));

  ok &= Write(root / "exif", "intel.exif", MakeExif(6, false));
  ok &= Write(root / "exif", "motorola.exif", MakeExif(8, true));

  settings::PreferencesFile config;
  config.WriteComment("Flurrix");
  config.SelectGroup("Screensaver");
  config.WriteInteger("fps", 60);
  config.WriteText("foregroundtext", "Hello \xC3\xA9");
  config.SelectGroup("Window");
  config.WriteInteger("Width", -530);
  ok &= WriteText(root / "config", "written.ini", config.Serialize());
  ok &= WriteText(root / "config", "latin1.ini",
                  "[screensaver]\nFPS=  $3C \n;note\r\n  [Window\rwidth\n=x\xE9\n");

  std::string block;
  for (const text::LanguagePair& pair : text::BuiltInLanguageBlock()) {
    block.append(pair.name).append("\t").append(pair.text).append("\n");
    if (block.size() > 4000) break;
  }
  ok &= WriteText(root / "language", "builtin.txt", block);
  ok &= WriteText(root / "language", "small.txt",
                  "_GROUP_\tmain\nb\tsecond\nA\tfirst\nab\tthird\n_group_\tMAIN\na\tx\n_END_\n");

  ok &= WriteText(root / "http_token", "ok.txt",
                  "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n  2.5 \r\n\r\nmore");
  ok &= WriteText(root / "http_token", "latin1.txt", "HTTP/1.0 200 OK\r\n\r\n\xE9t\xE9");

  using namespace std::string_view_literals;
  ok &= WriteText(root / "command_line", "preview.txt", "/p:1234"sv);
  ok &= WriteText(root / "command_line", "configure.txt", " -c \0$1F"sv);
  ok &= WriteText(root / "command_line", "binary.txt", "-L\0-%1011"sv);

  ok &= WriteText(
      root / "font_script", "days.fontdef",
      "# fonts\nfont Days\nsource DejaVuSans.ttf\n\r\nFONT  Other \r\n\tSource x.ttf\nfont lone\n");
  return ok ? 0 : 1;
}
