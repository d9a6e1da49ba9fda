// What the build made: every file the build rule names, at its size, depth and format (read
// back through the program's own decoders), the same bytes on every run, music that plays.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include "catalog.h"
#include "images/codecs.h"

namespace artgen {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Split(const std::string& joined) {
  std::vector<std::string> out;
  std::stringstream in(joined);
  for (std::string item; std::getline(in, item, '|');) out.push_back(item);
  return out;
}

std::vector<uint8_t> Bytes(const fs::path& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

images::Image Decode(const std::string& path) {
  images::Image img;
  EXPECT_TRUE(images::DecodeImageFile(path, img)) << path;
  return img;
}

std::string Data(const std::string& name) {
  return std::string(ARTGEN_DATA_DIR) + "/" + name;
}
std::string Builtin(const std::string& name) {
  return std::string(ARTGEN_BUILTIN_DIR) + "/" + name;
}

TEST(Output, BuildRuleNamesExactlyWhatArtgenMakes) {
  std::set<std::string> declared;
  for (const std::string& f : Split(ARTGEN_CONTENT_FILES))
    declared.insert(fs::relative(f, ARTGEN_DATA_DIR).generic_string());
  for (const std::string& f : Split(ARTGEN_BUILTIN_FILES))
    declared.insert("builtin:" + fs::path(f).filename().string());
  std::set<std::string> made;
  for (const Entry& e : Catalog()) made.insert(e.builtin ? "builtin:" + e.file : e.file);
  EXPECT_EQ(declared, made);
  for (const std::string& f : Split(ARTGEN_CONTENT_FILES)) EXPECT_GT(fs::file_size(f), 0u) << f;
  for (const std::string& f : Split(ARTGEN_BUILTIN_FILES)) EXPECT_GT(fs::file_size(f), 0u) << f;
}

TEST(Output, WinterPicturesAndGradientsAreFullHdJpegs) {
  int forest = 0, gradient = 0;
  for (const std::string& f : Split(ARTGEN_CONTENT_FILES)) {
    bool isForest = f.find("/forest/") != std::string::npos;
    bool isGradient = f.find("/gradient/") != std::string::npos;
    if (!isForest && !isGradient) continue;
    images::Image img = Decode(f);
    EXPECT_EQ(img.codec, images::kTagJpeg) << f;
    EXPECT_EQ(img.width, 1920) << f;
    EXPECT_EQ(img.height, 1080) << f;
    forest += isForest;
    gradient += isGradient;
  }
  EXPECT_GE(forest, 8);
  EXPECT_GE(gradient, 8);
}

// Share of horizontally neighbouring pixels with identical colour in a picture's smooth parts.
// Undithered gradients are nearly all flat runs between band edges.
double FlatShare(const images::Image& img) {
  size_t same = 0, total = 0;
  for (int y = 0; y < img.height; y += 5) {
    const uint8_t* row = img.TopRow(y);
    for (int x = 1; x < img.width; ++x, ++total)
      same += std::equal(row + 3 * x, row + 3 * x + 3, row + 3 * (x - 1));
  }
  return static_cast<double>(same) / total;
}

TEST(Output, GradientsKeepTheirDitherThroughJpeg) {
  for (const std::string& f : Split(ARTGEN_CONTENT_FILES)) {
    if (f.find("/gradient/") == std::string::npos) continue;
    EXPECT_LT(FlatShare(Decode(f)), 0.7) << f << " shows bands";
  }
}

TEST(Output, FlakesAndIconsAreSixteenPixelRgbaPngs) {
  for (int k = 1; k <= 8; ++k) {
    std::string path = Builtin("flake" + std::to_string(k) + ".png");
    std::vector<uint8_t> b = Bytes(path);
    ASSERT_GT(b.size(), 33u) << path;
    EXPECT_EQ(b[24], 8) << path << ": 8 bits per channel";
    EXPECT_EQ(b[25], 6) << path << ": colour type RGBA";
    images::Image img = Decode(path);
    EXPECT_EQ(img.width, 16);
    EXPECT_EQ(img.height, 16);
    EXPECT_EQ(img.depth, 32);
  }
  for (int n = 5; n <= 11; ++n) {
    std::string path = Builtin((n < 10 ? "picture0" : "picture") + std::to_string(n) + ".png");
    images::Image img = Decode(path);
    EXPECT_EQ(img.width, 16) << path;
    EXPECT_EQ(img.height, 16) << path;
    EXPECT_EQ(img.depth, 32) << path;
  }
  images::Image big = Decode(Data("snowflakes/myflake2.png"));
  EXPECT_GE(big.width, 64);
  EXPECT_EQ(big.width, big.height);
  EXPECT_EQ(big.depth, 32);
}

TEST(Output, DialogPicturesHaveTheirSizesAndDepths) {
  struct Want {
    std::string file;
    int width, height, depth;
    size_t bytes;  // 0: any
  };
  std::vector<Want> wants = {{"picture00.bmp", 120, 310, 24, 0},
                             {"picture01.bmp", 152, 112, 24, 51128},
                             {"picture03.bmp", 100, 75, 24, 0}};
  for (int k = 12; k <= 19; ++k)
    wants.push_back({"picture" + std::to_string(k) + ".bmp", 50, 50, 16, 5056});
  for (const Want& w : wants) {
    images::Image img = Decode(Builtin(w.file));
    EXPECT_EQ(img.codec, images::kTagBmp) << w.file;
    EXPECT_EQ(img.width, w.width) << w.file;
    EXPECT_EQ(img.height, w.height) << w.file;
    EXPECT_EQ(img.sourceDepth, w.depth) << w.file;
    if (w.bytes) {
      EXPECT_EQ(fs::file_size(Builtin(w.file)), w.bytes) << w.file;
    }
  }
  images::Image greeting = Decode(Data("foreground/happynewyear.bmp"));
  EXPECT_EQ(greeting.sourceDepth, 24);
  EXPECT_GE(greeting.width, 200);
  EXPECT_LE(greeting.width + 150, 1024) << "the greeting must fit a small screen at x = 150";
}

TEST(Output, FontIsShippedWithItsLicenceAndNamedDays) {
  EXPECT_EQ(Bytes(Data("font/DejaVuSans.ttf")),
            Bytes(std::string(ARTGEN_FONTS) + "/DejaVuSans.ttf"));
  EXPECT_EQ(Bytes(Data("font/LICENSE")), Bytes(ARTGEN_LICENCE));
  std::vector<uint8_t> def = Bytes(Data("font/days.fontdef"));
  std::string text(def.begin(), def.end());
  EXPECT_NE(text.find("font Days\n"), std::string::npos);
  EXPECT_NE(text.find("source DejaVuSans.ttf\n"), std::string::npos);
}

// Decodes a sound file with GStreamer into 16-bit stereo WAV and returns its samples.
std::vector<int16_t> DecodeWithGStreamer(const std::string& path, const fs::path& wav) {
  std::string cmd =
      "gst-launch-1.0 -q filesrc location='" + path +
      "' ! decodebin ! audioconvert ! audioresample ! "
      "audio/x-raw,format=S16LE,channels=2,rate=44100 ! wavenc ! filesink location='" +
      wav.string() + "' > /dev/null 2>&1";
  if (std::system(cmd.c_str()) != 0) return {};
  std::vector<uint8_t> b = Bytes(wav);
  // Find the data chunk; wavenc may put others before it.
  for (size_t at = 12; at + 8 <= b.size();) {
    uint32_t size =
        b[at + 4] | b[at + 5] << 8 | b[at + 6] << 16 | static_cast<uint32_t>(b[at + 7]) << 24;
    if (std::string(b.begin() + at, b.begin() + at + 4) == "data") {
      size = std::min<uint32_t>(size, static_cast<uint32_t>(b.size() - at - 8));
      std::vector<int16_t> s(size / 2);
      for (size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<int16_t>(b[at + 8 + 2 * i] | b[at + 9 + 2 * i] << 8);
      return s;
    }
    at += 8 + size + (size & 1);
  }
  return {};
}

TEST(Output, MusicDecodesWithTheSystemsMediaFramework) {
  fs::path dir = fs::temp_directory_path() / ("artgen_music_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  struct Want {
    std::string file;
    double minSeconds, maxSeconds;
  };
  for (const Want& w :
       {Want{"music/forest.mp3", 88.0, 92.0}, Want{"music/snowfall.wav", 30.0, 60.0}}) {
    std::vector<int16_t> s = DecodeWithGStreamer(Data(w.file), dir / "out.wav");
    ASSERT_FALSE(s.empty()) << w.file << " did not decode";
    double seconds = s.size() / 2.0 / 44100.0, energy = 0;
    for (int16_t v : s) energy += static_cast<double>(v) * v;
    EXPECT_GE(seconds, w.minSeconds) << w.file;
    EXPECT_LE(seconds, w.maxSeconds) << w.file;
    EXPECT_GT(std::sqrt(energy / s.size()), 1000.0) << w.file << " is nearly silent";
  }
  fs::remove_all(dir);
}

TEST(Output, ASecondRunMakesTheSameBytes) {
  fs::path dir = fs::temp_directory_path() / ("artgen_again_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  std::string cmd = std::string(ARTGEN_EXE) + " --data '" + (dir / "data").string() +
                    "' --builtin '" + (dir / "builtin").string() + "' --fonts '" + ARTGEN_FONTS +
                    "' --font-licence '" + ARTGEN_LICENCE + "' > /dev/null";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  for (const std::string& f : Split(ARTGEN_CONTENT_FILES))
    EXPECT_TRUE(Bytes(f) == Bytes(dir / "data" / fs::relative(f, ARTGEN_DATA_DIR)))
        << f << " differs";
  for (const std::string& f : Split(ARTGEN_BUILTIN_FILES))
    EXPECT_TRUE(Bytes(f) == Bytes(dir / "builtin" / fs::path(f).filename())) << f << " differs";
  fs::remove_all(dir);
}

}  // namespace
}  // namespace artgen
