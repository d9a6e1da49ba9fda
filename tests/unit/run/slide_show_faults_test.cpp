// A slide show of the user's own pictures whose files are replaced, cut short, deleted or turned
// into folders while it runs, through the real engine on the offscreen driver: the run goes on,
// what can be read is shown, and the show comes back when a picture does.
#include <gtest/gtest.h>

#include <SDL.h>

#include <filesystem>

#include "../images/picture_files.h"
#include "images/codecs.h"
#include "run/run_driver.h"
#include "scene/engine_api.h"
#include "settings/modes.h"

namespace run {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kBlack = 0x000000, kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF,
                   kWhite = 0xFFFFFF, kYellow = 0xFFFF00, kUnknown = 0x808080;

void WritePicture(const std::string& path, uint32_t colour) {
  ASSERT_TRUE(images::EncodeImageFile(images::testing::MakeImage(64, 48, 24, colour), path,
                                      images::kTagBmp));
}

// The colour at the middle of the frame, as the nearest one the pictures have.
uint32_t MiddleColour(const SaverRun& run) {
  images::Image frame;
  if (!images::AllocateImage(frame, run.ScreenWidth(), run.ScreenHeight(), 32)) return 0;
  scene::Rto().RenderWorld();
  scene::Rto().ReadScreen(frame.pixels.data(), frame.pitch);
  const uint32_t seen = images::testing::PixelAt(frame, frame.width / 2, frame.height / 2);
  for (uint32_t colour : {kBlack, kRed, kGreen, kBlue, kWhite, kYellow}) {
    int32_t distance = 0;
    for (int shift : {0, 8, 16}) {
      distance += std::abs(static_cast<int32_t>((seen >> shift) & 0xFF) -
                           static_cast<int32_t>((colour >> shift) & 0xFF));
    }
    if (distance < 60) return colour;
  }
  return kUnknown;
}

TEST(SlideShow, MangledPicturesArePassedOverAndTheShowComesBack) {
  SDL_setenv("SDL_VIDEODRIVER", "offscreen", 1);
  int64_t now = 0;
  scene::RunContext context;
  context.clock = [&now] { return now; };
  // The machine's own answers must not pace the run: on battery, 30 frames a second against this
  // clock's 60, each frame would really sleep longer than the last; with the display asleep
  // nothing would be drawn.
  context.displayOn = [] { return true; };
  context.onBattery = [] { return false; };
  const std::string folder = images::testing::TempFolder("slide-show-faults");
  fs::create_directory(folder + "imgs");
  const std::vector<uint32_t> colours = {kRed, kGreen, kBlue, kWhite};
  for (size_t i = 0; i < colours.size(); ++i) {
    WritePicture(folder + "imgs/" + std::string(1, char('a' + i)) + ".bmp", colours[i]);
  }

  settings::Settings s;
  settings::SetDefaults(s, {});
  s.Path = fs::path(FLURRIX_ENGINE_LIBRARY).parent_path().string() + "/";
  s.configFolder = folder;
  s.desktopWidth = s.videow = 160;
  s.desktopHeight = s.videoh = 120;
  s.desktopDepth = s.videod = 32;
  s.background = settings::kBackgroundCustom;
  s.pictime = 1;
  s.flakes = 0;
  s.aclock = s.dclock = s.calendar = s.foreground = s.foregroundtxt = s.music = 0;
  s.exiton = 0;
  SaverRun run(context);
  ASSERT_TRUE(run.Start(s));
  // Keeps Mesa's driver loaded after the run closes its screen (see the display-off run).
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
  ASSERT_NE(SDL_CreateWindow("", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN), nullptr);
  const std::vector<std::string> pictures = run.scene().background.pictures;
  ASSERT_EQ(pictures.size(), colours.size());
  std::vector<uint32_t> inOrder;
  for (const std::string& path : pictures) inOrder.push_back(colours[path[path.size() - 5] - 'a']);

  // Runs frames for `seconds` of the run's time and notes the picture shown after each fade-in.
  auto watch = [&](int seconds) {
    std::vector<uint32_t> shown;
    for (const int64_t end = now + seconds * 1000; now < end; now += 17) {
      const int32_t before = run.scene().background.FadeLevel;
      EXPECT_TRUE(run.Frame());
      if (before != 0 && run.scene().background.FadeLevel == 0) shown.push_back(MiddleColour(run));
    }
    return shown;
  };
  // A change is 1 s of showing and 255 steps of fading at 60 a second: 5.25 s. At 19 s the
  // fourth picture is on the screen, and the files are mangled before the next is read.
  EXPECT_EQ(watch(19), inOrder);

  WritePicture(pictures[0], kYellow);  // replaced by another picture
  fs::resize_file(pictures[1], 20);    // cut short
  fs::remove(pictures[2]);             // turned into a folder
  fs::create_directory(pictures[2]);
  fs::remove(pictures[3]);  // deleted
  EXPECT_EQ(watch(11), (std::vector<uint32_t>{kYellow, kYellow}));

  fs::remove(pictures[0]);  // nothing left to show: black, the run goes on
  EXPECT_EQ(watch(16), std::vector<uint32_t>{});
  EXPECT_EQ(MiddleColour(run), kBlack);

  fs::remove(pictures[2]);  // a picture again
  WritePicture(pictures[2], kBlue);
  EXPECT_EQ(watch(6), std::vector<uint32_t>{kBlue});

  run.Finish();
  fs::remove_all(folder);
}

}  // namespace
}  // namespace run
