// The image layer's costly operations: the blur of a screen-sized picture, JPEG decoding and
// encoding at 1920 x 1080, and adding a 4000 x 3000 camera picture to the custom library, stored
// upright or turned by its EXIF orientation. The 4000 x 3000 source is kept at
// $TMPDIR/flurrix-bench/source-4000x3000.jpg so that bench/peers.py measures its peers on the
// same file.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "images/blur.h"
#include "images/codecs.h"
#include "images/custom_library.h"

namespace {

namespace fs = std::filesystem;
using images::Image;

// On a shared machine the fastest of several runs is the steadiest figure; reported beside the
// median with --benchmark_repetitions.
double Fastest(const std::vector<double>& v) {
  return *std::min_element(v.begin(), v.end());
}

// Something like a photograph: soft gradients, some texture, a little noise.
Image Photo(int32_t w, int32_t h) {
  Image image;
  images::AllocateImage(image, w, h, 24);
  std::mt19937 random(42);
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* row = image.TopRow(y);
    for (int32_t x = 0; x < w; ++x) {
      const double fx = double(x) / w, fy = double(y) / h;
      const double texture = 40 * std::sin(x * 0.05 + std::sin(y * 0.03) * 3) * std::cos(y * 0.02);
      const int noise = static_cast<int>(random() % 17) - 8;
      const int r = static_cast<int>(200 * fx + 30 * fy + texture) + noise;
      const int g = static_cast<int>(120 + 80 * fy - texture / 2) + noise;
      const int b = static_cast<int>(220 * (1 - fy) + texture / 3) + noise;
      row[3 * x] = static_cast<uint8_t>(std::clamp(b, 0, 255));
      row[3 * x + 1] = static_cast<uint8_t>(std::clamp(g, 0, 255));
      row[3 * x + 2] = static_cast<uint8_t>(std::clamp(r, 0, 255));
    }
  }
  return image;
}

void BM_Blur(benchmark::State& state) {
  Image image = Photo(1920, 1080);
  const int32_t radius = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    // The cost does not depend on the content, so blurring the same picture again is fair.
    benchmark::DoNotOptimize(images::Blur(image, radius));
  }
}
BENCHMARK(BM_Blur)
    ->Arg(1)
    ->Arg(10)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", Fastest);

void BM_JpegDecode(benchmark::State& state) {
  std::vector<uint8_t> file;
  images::EncodeImage(Photo(1920, 1080), images::kTagJpeg, static_cast<int32_t>(state.range(0)), 24,
                      file);
  for (auto _ : state) {
    Image image;
    benchmark::DoNotOptimize(images::DecodeImage(file.data(), file.size(), image));
  }
  state.counters["file_kB"] = static_cast<double>(file.size()) / 1000;
}
BENCHMARK(BM_JpegDecode)
    ->Arg(9)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", Fastest);

void BM_JpegEncode(benchmark::State& state) {
  const Image image = Photo(1920, 1080);
  std::vector<uint8_t> file;
  for (auto _ : state) {
    benchmark::DoNotOptimize(images::EncodeImage(image, images::kTagJpeg,
                                                 static_cast<int32_t>(state.range(0)), 24, file));
  }
}
BENCHMARK(BM_JpegEncode)
    ->Arg(7)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", Fastest);

struct NullList : images::LibraryList {
  void Append(const std::string&) override {}
  void RemoveAt(int32_t) override {}
  void ShowPicture(int32_t) override {}
};

// A small EXIF block (APP1 segment) saying "turn 90 degrees clockwise to view", put right after
// the start marker: what a phone held upright writes.
std::vector<uint8_t> WithOrientation6(const std::vector<uint8_t>& jpeg) {
  const uint8_t app1[] = {0xFF, 0xE1, 0, 34, 'E', 'x', 'i', 'f', 0,    0,    'I', 'I',
                          42,   0,    8, 0,  0,   0,   1,   0,   0x12, 0x01, 3,   0,
                          1,    0,    0, 0,  6,   0,   0,   0,   0,    0,    0,   0};
  std::vector<uint8_t> out(jpeg.begin(), jpeg.begin() + 2);
  out.insert(out.end(), std::begin(app1), std::end(app1));
  out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
  return out;
}

// The 4000 x 3000 source picture, written once; `turned` stores it with orientation 6, so that
// it reads as 3000 x 4000.
std::string SourcePicture(bool turned) {
  const fs::path folder = fs::temp_directory_path() / "flurrix-bench";
  fs::create_directories(folder);
  const fs::path path = folder / (turned ? "source-4000x3000-turned.jpg" : "source-4000x3000.jpg");
  if (fs::exists(path)) return path.string();
  std::vector<uint8_t> file;
  if (!images::EncodeImage(Photo(4000, 3000), images::kTagJpeg, 9, 24, file)) return "";
  if (turned) file = WithOrientation6(file);
  std::FILE* out = std::fopen(path.string().c_str(), "wb");
  if (out == nullptr) return "";
  const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  return std::fclose(out) == 0 && written ? path.string() : "";
}

// Adding one picture: both files written, 800 x 600 at quality 100 and the thumbnail.
void LibraryAdd(benchmark::State& state, bool turned) {
  const std::string source = SourcePicture(turned);
  if (source.empty()) {
    state.SkipWithError("cannot write the source picture");
    return;
  }
  const fs::path config = fs::temp_directory_path() / "flurrix-bench" / "config";
  fs::remove_all(config);
  fs::create_directories(config);
  images::CustomImageLibrary library(config.string() + "/", static_cast<int32_t>(state.range(0)));
  NullList list;
  for (auto _ : state) {
    const std::string name = library.AddPicture(source, list);
    state.PauseTiming();
    if (name.empty()) state.SkipWithError("add failed");
    fs::remove(config / "imgs" / name);
    fs::remove(config / "thumbs" / name);
    state.ResumeTiming();
  }
  fs::remove_all(config);
}

void BM_LibraryAdd(benchmark::State& state) {
  LibraryAdd(state, false);
}
BENCHMARK(BM_LibraryAdd)
    ->Arg(24)
    ->Arg(32)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", Fastest);

// The same photo taken with the camera held upright: decoded at a reduced scale, then turned.
void BM_LibraryAddTurned(benchmark::State& state) {
  LibraryAdd(state, true);
}
BENCHMARK(BM_LibraryAddTurned)
    ->Arg(24)
    ->Arg(32)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", Fastest);

}  // namespace
