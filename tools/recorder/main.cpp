// Records the run without a display: the real run with the default settings, drawn offscreen at
// 1920 x 1080 for ten seconds of its clock, as PNG stills and a WebM clip made by ffmpeg.
// --flakes and --flakesize replace those two settings; --gif adds an animation of the last five
// seconds at 640 x 360 (the README's: there a default flake would be a pixel, so it shows more
// and larger flakes, see make-readme-gif.sh).
//   flurrix_recorder FOLDER [--flakes N] [--flakesize N] [--gif PATH]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/builtin_pictures.h"
#include "platform/platform.h"
#include "run/run_driver.h"
#include "scene/engine_api.h"
#include "scene/run_context.h"
#include "settings/settings.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kStepsPerSecond = 60;  // the run's own pace: one step per frame at 60 Hz
constexpr int kSeconds = 10;
constexpr int kClipRate = 30;  // every second step goes into the clip
constexpr int kGifRate = 12;
constexpr int kGifStart = 5;  // seconds: the first picture has faded in long before

// ffmpeg reading our frames (bottom row first) at `rate`, flipped, then through `filters`.
std::string RawInput(int rate, const std::string& filters = "") {
  return "ffmpeg -loglevel error -y -f rawvideo -pix_fmt bgra -s " + std::to_string(kWidth) + "x" +
         std::to_string(kHeight) + " -r " + std::to_string(rate) + " -i - -vf 'vflip" + filters +
         "'";
}

// The frame on the screen, drawn again (nothing has moved since it was presented).
bool ReadFrame(std::vector<uint8_t>& pixels) {
  scene::Rto().RenderWorld();
  return scene::Rto().ReadScreen(pixels.data(), 4 * kWidth) != 0;
}

bool WriteStill(const std::vector<uint8_t>& pixels, const std::string& path) {
  std::FILE* ffmpeg = popen((RawInput(1) + " -frames:v 1 '" + path + "'").c_str(), "w");
  if (!ffmpeg) return false;
  const bool written = std::fwrite(pixels.data(), 1, pixels.size(), ffmpeg) == pixels.size();
  return pclose(ffmpeg) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = std::string(argc > 1 ? argv[1] : "demo") + "/";
  if (!platform::FolderExists(folder) && !platform::CreateFolder(folder)) {
    std::fprintf(stderr, "flurrix_recorder: cannot make %s\n", folder.c_str());
    return 1;
  }
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  app::LoadBuiltInPictures();
  settings::Settings s;
  s.configFolder = folder;
  s.desktopWidth = kWidth;
  s.desktopHeight = kHeight;
  s.desktopDepth = 32;
  settings::SetDefaults(
      s, {platform::ProgramFolder(), static_cast<int32_t>(platform::LocalSecondsSince1970())});
  std::string gifPath;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--flakes") {
      s.flakes = std::atoi(argv[i + 1]);
    } else if (option == "--flakesize") {
      s.flakesize = std::atoi(argv[i + 1]);
    } else if (option == "--gif") {
      gifPath = argv[i + 1];
    } else {
      std::fprintf(stderr, "flurrix_recorder: unknown option %s\n", option.c_str());
      return 1;
    }
  }

  int64_t now = 0;
  scene::RunContext context;
  context.clock = [&now] { return now; };
  run::SaverRun run(context);
  if (!run.Start(s, run::RunSetup::FullScreen(app::BuiltInFiles()))) return 1;

  const std::string clip = folder + "flurrix.webm";
  std::FILE* ffmpeg =
      popen((RawInput(kClipRate, ",scale=960:540") +
             " -pix_fmt yuv420p -c:v libvpx -deadline realtime -cpu-used 8 -b:v 3M '" + clip + "'")
                .c_str(),
            "w");
  // A palette of the whole animation, and only what changed drawn in each frame.
  std::FILE* gif =
      gifPath.empty()
          ? nullptr
          : popen((RawInput(kGifRate,
                            ",scale=640:360:flags=lanczos,split[a][b];[a]palettegen=max_colors="
                            "96:stats_mode=full[p];[b][p]paletteuse=dither=none:diff_mode="
                            "rectangle") +
                   " '" + gifPath + "'")
                      .c_str(),
                  "w");
  std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
  std::vector<std::string> stills;
  const int steps = kSeconds * kStepsPerSecond;
  for (int step = 0; step < steps; ++step) {
    now = int64_t{step} * 1000 / kStepsPerSecond;
    run.Frame();
    const bool still = step == 3 * kStepsPerSecond || step == steps - 1;
    const bool inClip = step % (kStepsPerSecond / kClipRate) == 0;
    const bool inGif =
        gif && step >= kGifStart * kStepsPerSecond && step % (kStepsPerSecond / kGifRate) == 0;
    if (!inClip && !inGif && !still) continue;
    if (!ReadFrame(pixels)) break;
    if (ffmpeg && inClip) std::fwrite(pixels.data(), 1, pixels.size(), ffmpeg);
    if (inGif) std::fwrite(pixels.data(), 1, pixels.size(), gif);
    if (still) {
      const std::string path = folder + "still-" + std::to_string(now / 1000) + "s.png";
      if (WriteStill(pixels, path)) stills.push_back(path);
    }
  }
  run.Finish();
  const bool clipMade = ffmpeg && pclose(ffmpeg) == 0;
  const bool gifMade = gif && pclose(gif) == 0;
  std::printf("The run, recorded offscreen at %dx%d:\n", kWidth, kHeight);
  for (const std::string& path : stills) std::printf("  %s\n", path.c_str());
  if (clipMade) std::printf("  %s\n", clip.c_str());
  if (gifMade) std::printf("  %s\n", gifPath.c_str());
  return stills.empty() ? 1 : 0;
}
