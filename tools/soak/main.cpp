// The soak run: the real full-screen run drawn offscreen (640 x 360 unless --size) for days of
// its clocks, each background in turn with the clocks, calendar, foreground picture and text and
// music all on.
// Each frame moves the run's clock by --step-ms and the local date by --local-step seconds, so
// that slide changes, midnights, month ends, a leap day and daylight-saving jumps (an hour
// forward, later back) come by the hundred. Resident memory, open descriptors and the bytes in
// the settings folder are looked at every few frames and printed every --sample frames; after the
// warm-up the lowest figures of each sample interval must stay within a small allowance of the
// highest such figures of the warm-up. A run that ends by itself, shows an error,
// stops making frames or changes the user's settings fails the soak too.
//   flurrix_soak [--frames N] [--modes slides,desktop,wallpaper,colour,custom,gradients]
//                [--sample N] [--warmup N] [--curve] [--size WxH] [--flakes N] [--step-ms MS]
//                [--local-step S] [--rss-allowance KIB] [--fd-allowance N] [--folder DIR]
//                [--leak BYTES]
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/background_pictures.h"
#include "app/builtin_pictures.h"
#include "images/codecs.h"
#include "platform/platform.h"
#include "run/run_driver.h"
#include "scene/local_time.h"
#include "scene/run_context.h"
#include "settings/modes.h"
#include "settings/settings.h"
#include "settings/settings_folder.h"
#include "text/message_box.h"

namespace {

namespace fs = std::filesystem;

constexpr int64_t kDaylightSavingFrames = 250;  // an hour forward, so many frames later back
constexpr int64_t kDisplayCycleFrames = 1000;   // the display is off for the last 50 of each
constexpr int64_t kDisplayOffFrames = 50;
constexpr int kHangSeconds = 120;

struct Mode {
  const char* name;
  int8_t background;
};
constexpr Mode kModes[] = {{"slides", 0}, {"desktop", 1}, {"wallpaper", 2},
                           {"colour", 3}, {"custom", 4},  {"gradients", 5}};

struct Options {
  int64_t frames = 3000;  // of each mode
  std::vector<Mode> modes{std::begin(kModes), std::end(kModes)};
  int64_t sample = 100;
  int64_t warmup = -1;  // frames of each mode; -1: a quarter of them
  bool curve = false;
  int32_t width = 640;
  int32_t height = 360;
  int32_t flakes = 500;
  int64_t stepMs = 1500;
  int64_t localStep = 600;
  int64_t rssAllowanceKib = 8192;
  int64_t fdAllowance = 0;
  std::string folder;
  int64_t leakBytes = 0;  // a deliberate leak per frame (and a descriptor per sample): the check
                          // must catch it
};

struct Sample {
  int64_t rssKib = 0;
  int64_t fds = 0;
  int64_t diskBytes = 0;
};

int64_t ResidentKib() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atoll(line.c_str() + 6);
  }
  return -1;
}

int64_t OpenDescriptors() {
  std::error_code error;
  int64_t count = 0;
  for (fs::directory_iterator it("/proc/self/fd", error), end; !error && it != end;
       it.increment(error)) {
    ++count;
  }
  return count;
}

int64_t FolderBytes(const std::string& folder) {
  int64_t bytes = 0;
  std::error_code error;
  for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    if (it->is_regular_file(error)) bytes += static_cast<int64_t>(it->file_size(error));
  }
  return bytes;
}

std::string ReadWhole(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string DateText(int64_t date) {
  const scene::DateParts d = scene::SplitDate(date);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d", d.year, d.month, d.day, d.hour,
                d.minute);
  return text;
}

// Every frame in order across the modes, for the watchdog.
std::atomic<int64_t> framesMade{0};

void Watchdog() {
  int64_t seen = -1;
  auto since = std::chrono::steady_clock::now();
  for (;;) {
    std::this_thread::sleep_for(std::chrono::seconds(5));
    const int64_t now = framesMade.load();
    if (now != seen) {
      seen = now;
      since = std::chrono::steady_clock::now();
    } else if (std::chrono::steady_clock::now() - since > std::chrono::seconds(kHangSeconds)) {
      std::fprintf(stderr,
                   "flurrix_soak: FAIL: no frame for %d s after frame %lld: the run hangs\n",
                   kHangSeconds, static_cast<long long>(now));
      std::_Exit(3);
    }
  }
}

bool Fail(const std::string& mode, const std::string& why) {
  std::fprintf(stderr, "flurrix_soak: FAIL: %s: %s\n", mode.c_str(), why.c_str());
  return false;
}

settings::Settings LegSettings(const Options& o, const Mode& mode, int index) {
  settings::Settings s;
  s.configFolder = o.folder;
  s.configFile = o.folder + "config.ini";
  s.desktopWidth = o.width;
  s.desktopHeight = o.height;
  s.desktopDepth = 32;
  settings::SetDefaults(s, {platform::ProgramFolder(), 0});
  s.exiton = settings::kExitOnEscape;  // Escape only: nothing presses it offscreen, so only a fault
                                       // ends the run
  s.flakes = o.flakes;
  s.pictime = 5;
  s.background = mode.background;
  s.blankr = 20;
  s.blankg = 40;
  s.blankb = 90;
  s.foreground = 1;
  s.foregroundtxt = 1;
  s.foregroundtext = "Frohe Weihnachten – Joyeux Noël!";
  s.flakerotate = static_cast<int8_t>(index % 2);
  s.music = 1;
  s.musicmode = static_cast<int8_t>(index % 2 == 0);  // folder and single file by turns
  s.aclock = 1;
  s.dclock = 1;
  s.timefrm = static_cast<int8_t>(1 + index % 2);
  s.calendar = 1;
  s.calendarbg = static_cast<int8_t>(index % 2);
  s.calendarfirst = static_cast<int8_t>(1 + index % 2);
  return s;
}

// The pictures a mode needs beyond the program's own: the user's library, and the desktop and
// wallpaper pictures that the run wrapper prepares. Offscreen there is no desktop to capture,
// so a prepared picture stands in for it.
bool PreparePictures(const settings::Settings& s) {
  const std::string data = s.Path + "data/";
  std::error_code error;
  if (s.background == settings::kBackgroundCustom) {
    const std::string library = s.configFolder + "imgs/";
    fs::create_directories(library, error);
    for (const char* name : {"forest/aurora.jpg", "forest/dusk.jpg", "gradient/frost.jpg",
                             "foreground/happynewyear.bmp"}) {
      fs::copy_file(data + name, library + fs::path(name).filename().string(),
                    fs::copy_options::overwrite_existing, error);
    }
    // A damaged file in the library is passed over.
    std::ofstream(library + "damaged.jpg") << "not a picture";
  }
  if (s.background == settings::kBackgroundDesktop) {
    app::PrepareDesktopPicture(s);
    images::Image source, picture;
    if (platform::FileSize(settings::DesktopPictureFile(s.configFolder)) <= 0 &&
        (!images::DecodeImageFile(data + "forest/mountains.jpg", source) ||
         !app::ComposeWallpaper(source, 2, s.videow, s.videoh, picture) ||
         !images::EncodeImageFile(picture, settings::DesktopPictureFile(s.configFolder),
                                  images::kTagBmp))) {
      return false;
    }
  }
  if (s.background == settings::kBackgroundWallpaper &&
      !app::PrepareWallpaperPicture(s, {data + "forest/dawn.jpg", 0}))
    return false;
  return true;
}

// One mode from start to finish. `frame` counts on across the modes.
bool Soak(const Options& o, const Mode& mode, int index, int64_t& frame) {
  settings::Settings s = LegSettings(o, mode, index);
  if (!PreparePictures(s)) return Fail(mode.name, "its background picture could not be made");
  if (!settings::SaveSettings(s)) return Fail(mode.name, "cannot write " + s.configFile);
  const std::string storedSettings = ReadWhole(s.configFile);

  const int64_t localStart = scene::MakeDate(2028, 2, 27, 22, 0);
  int64_t now = 0;
  int64_t legFrame = 0;
  scene::RunContext context;
  context.clock = [&now] { return now; };
  context.localTime = [&] {
    const bool summer = legFrame / kDaylightSavingFrames % 2 == 1;
    return localStart + legFrame * o.localStep + (summer ? 3600 : 0);
  };
  context.displayOn = [&] {
    return legFrame % kDisplayCycleFrames < kDisplayCycleFrames - kDisplayOffFrames;
  };
  context.onBattery = [] { return false; };
  context.random.Seed(static_cast<uint64_t>(index) + 1);

  run::SaverRun run(context);
  if (!run.Start(s, run::RunSetup::FullScreen(app::BuiltInFiles())))
    return Fail(mode.name, "the run did not start");
  const int64_t warmup = o.warmup >= 0 ? o.warmup : o.frames / 4;
  // Memory is looked at every few frames; each sample interval keeps its lowest figures (its
  // floor), so that a picture being swapped, which holds two for a moment, is not taken for growth.
  // A leak raises the floor. After the warm-up no floor may rise above the highest floor of it.
  const int64_t probe = std::min<int64_t>(10, o.sample);
  Sample ceiling, floor, last;
  bool measured = false;  // the first floor is the ceiling when the warm-up has none
  std::vector<char*> leaked;
  bool ok = true;
  for (legFrame = 0; ok && legFrame < o.frames; ++legFrame, ++frame) {
    now += o.stepMs;
    if (!run.Frame()) {
      ok = Fail(mode.name, "the run ended by itself at frame " + std::to_string(legFrame));
      break;
    }
    ++framesMade;
    if (o.leakBytes > 0) {
      leaked.push_back(new char[o.leakBytes]);
      std::fill_n(leaked.back(), o.leakBytes, 1);
    }
    if ((legFrame + 1) % probe != 0) continue;
    last = {ResidentKib(), OpenDescriptors(), FolderBytes(o.folder)};
    const bool first = (legFrame + 1) % o.sample == probe % o.sample;
    floor = {first ? last.rssKib : std::min(floor.rssKib, last.rssKib),
             first ? last.fds : std::min(floor.fds, last.fds),
             first ? last.diskBytes : std::min(floor.diskBytes, last.diskBytes)};
    if ((legFrame + 1) % o.sample != 0) continue;
    if (o.leakBytes > 0) static_cast<void>(std::fopen("/proc/self/status", "r"));
    if (o.curve) {
      std::printf(
          "curve %s frame %lld run %lld s local %s rss %lld KiB (floor %lld) fds %lld disk %lld\n",
          mode.name, static_cast<long long>(frame + 1), static_cast<long long>(now / 1000),
          DateText(context.LocalNow()).c_str(), static_cast<long long>(last.rssKib),
          static_cast<long long>(floor.rssKib), static_cast<long long>(last.fds),
          static_cast<long long>(last.diskBytes));
      std::fflush(stdout);
    }
    if (legFrame < warmup || !measured) {
      measured = true;
      ceiling = {std::max(ceiling.rssKib, floor.rssKib), std::max(ceiling.fds, floor.fds),
                 std::max(ceiling.diskBytes, floor.diskBytes)};
      continue;
    }
    const std::string at = " by frame " + std::to_string(legFrame + 1);
    if (floor.rssKib > ceiling.rssKib + o.rssAllowanceKib) {
      ok = Fail(mode.name, "resident memory grew from " + std::to_string(ceiling.rssKib) +
                               " KiB to " + std::to_string(floor.rssKib) + " KiB" + at +
                               " (allowed: +" + std::to_string(o.rssAllowanceKib) + " KiB)");
    } else if (floor.fds > ceiling.fds + o.fdAllowance) {
      ok = Fail(mode.name, "open descriptors grew from " + std::to_string(ceiling.fds) + " to " +
                               std::to_string(floor.fds) + at);
    } else if (floor.diskBytes > ceiling.diskBytes) {
      ok = Fail(mode.name, "the settings folder grew from " + std::to_string(ceiling.diskBytes) +
                               " to " + std::to_string(floor.diskBytes) + " bytes" + at);
    }
  }
  const int64_t localEnd = context.LocalNow();
  run.Finish();
  app::RemoveBackgroundPicture(s);
  for (char* block : leaked) delete[] block;
  if (!ok) return false;

  if (!settings::SaveSettings(s)) return Fail(mode.name, "cannot write " + s.configFile);
  if (ReadWhole(s.configFile) != storedSettings) {
    return Fail(mode.name, "the settings after the run differ from those before it");
  }
  std::printf(
      "flurrix_soak: %s: %lld frames, %lld s of run clock, local %s to %s; after "
      "warm-up floors at most %lld KiB resident, %lld descriptors; at the end %lld KiB, %lld\n",
      mode.name, static_cast<long long>(o.frames), static_cast<long long>(now / 1000),
      DateText(localStart).c_str(), DateText(localEnd).c_str(),
      static_cast<long long>(ceiling.rssKib), static_cast<long long>(ceiling.fds),
      static_cast<long long>(last.rssKib), static_cast<long long>(last.fds));
  std::fflush(stdout);
  return true;
}

bool ParseModes(const std::string& list, std::vector<Mode>& modes) {
  modes.clear();
  std::stringstream names(list);
  std::string name;
  while (std::getline(names, name, ',')) {
    const Mode* found = nullptr;
    for (const Mode& mode : kModes) {
      if (name == mode.name) found = &mode;
    }
    if (!found) return false;
    modes.push_back(*found);
  }
  return !modes.empty();
}

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--curve") {
      o.curve = true;
      continue;
    }
    if (i + 1 >= argc) return false;
    const std::string value = argv[++i];
    char* end = nullptr;
    const long long number = std::strtoll(value.c_str(), &end, 10);
    const bool isNumber = !value.empty() && *end == '\0' && number >= 0;
    if (option == "--modes") {
      if (!ParseModes(value, o.modes)) return false;
    } else if (option == "--size") {
      if (std::sscanf(value.c_str(), "%dx%d", &o.width, &o.height) != 2 || o.width < 16 ||
          o.height < 16)
        return false;
    } else if (option == "--folder") {
      o.folder = value;
    } else if (!isNumber) {
      return false;
    } else if (option == "--frames") {
      o.frames = number;
    } else if (option == "--sample" && number > 0) {
      o.sample = number;
    } else if (option == "--warmup") {
      o.warmup = number;
    } else if (option == "--flakes") {
      o.flakes = static_cast<int32_t>(number);
    } else if (option == "--step-ms" && number > 1000) {
      o.stepMs = number;  // above a second, so that the clocks and the calendar look every frame
    } else if (option == "--local-step") {
      o.localStep = number;
    } else if (option == "--rss-allowance") {
      o.rssAllowanceKib = number;
    } else if (option == "--fd-allowance") {
      o.fdAllowance = number;
    } else if (option == "--leak") {
      o.leakBytes = number;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, o)) {
    std::fprintf(stderr,
                 "usage: flurrix_soak [--frames N] [--modes "
                 "slides,desktop,wallpaper,colour,custom,gradients] [--sample N] [--warmup N] "
                 "[--curve] [--size WxH] [--flakes N] [--step-ms MS (over 1000)] [--local-step S] "
                 "[--rss-allowance KIB] [--fd-allowance N] [--folder DIR] [--leak BYTES]\n");
    return 2;
  }
  std::error_code error;
  if (o.folder.empty()) o.folder = (fs::temp_directory_path(error) / "flurrix-soak").string();
  if (o.folder.back() != '/') o.folder += '/';
  // Only files of fixed names are written there (config.ini, imgs/, desktop.bmp, wallpaper.bmp).
  fs::create_directories(o.folder, error);
  if (!fs::is_directory(o.folder, error)) {
    std::fprintf(stderr, "flurrix_soak: cannot make %s\n", o.folder.c_str());
    return 2;
  }
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  setenv("FLURRIX_AUDIO_SINK", "fakesink", 0);
  bool errorShown = false;
  text::SetMessageBoxHandler(
      [&errorShown](const std::string& caption, const std::string& text, int32_t) {
        std::fprintf(stderr, "flurrix_soak: the run showed \"%s: %s\"\n", caption.c_str(),
                     text.c_str());
        errorShown = true;
        return platform::kAnswerOk;
      });
  app::LoadBuiltInPictures();
  std::thread(Watchdog).detach();

  const auto started = std::chrono::steady_clock::now();
  int64_t frame = 0;
  int64_t firstFds = -1;
  bool ok = true;
  for (size_t i = 0; ok && i < o.modes.size(); ++i) {
    ok = Soak(o, o.modes[i], static_cast<int>(i), frame);
    if (ok && errorShown) ok = Fail(o.modes[i].name, "an error was shown");
    // What one run opened, the next must not find still open.
    const int64_t fds = OpenDescriptors();
    if (firstFds < 0) firstFds = fds;
    if (ok && fds > firstFds + o.fdAllowance) {
      ok = Fail(o.modes[i].name, "the run left " + std::to_string(fds - firstFds) +
                                     " descriptors open after it ended");
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("flurrix_soak: %s after %lld frames in %.0f s (%.0f frames a second)\n",
              ok ? "passed" : "FAILED", static_cast<long long>(frame), seconds,
              seconds > 0 ? static_cast<double>(frame) / seconds : 0.0);
  return ok ? 0 : 1;
}
