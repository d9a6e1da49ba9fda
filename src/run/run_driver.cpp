#include "run/run_driver.h"

#include <set>

#include "images/codecs.h"
#include "platform/platform.h"
#include "run/exit_conditions.h"
#include "scene/engine_api.h"
#include "scene/run_clock.h"
#include "scene/screen.h"
#include "scene/sprites.h"
#include "settings/mode_text.h"
#include "settings/settings_folder.h"
#include "text/language_table.h"
#include "text/message_box.h"
#include "text/version.h"
#include "web/site.h"

namespace run {
namespace {

constexpr int kForegroundSprite = 7;

bool HasEngine(const std::string& folder) {
  return platform::FileSize(folder + scene::kEngineFileName) > 0;
}

void Fail(const char* key) {
  text::ShowError(text::Lookup("Msg", key));
}

using settings::ModeText;

void ShowForeground(const settings::Settings& s) {
  if (scene::SpriteExists(kForegroundSprite)) {
    scene::ShowSprite(kForegroundSprite, s.foregroundimagex, s.foregroundimagey);
  }
}

// The mode check and the full-screen window of a run of our own; the replacement mode is kept.
bool OpenOwnScreen(settings::Settings& s) {
  std::set<std::string> offered;
  if (scene::ListDisplayModes()) {
    while (scene::NextDisplayMode()) {
      offered.insert(ModeText(scene::DisplayModeWidth(), scene::DisplayModeHeight(),
                              scene::DisplayModeDepth()));
    }
  }
  if (!offered.count(ModeText(s.videow, s.videoh, s.videod))) {
    s.videow = s.desktopWidth;
    s.videoh = s.desktopHeight;
    s.videod = s.desktopDepth;
  }
  return scene::OpenFullScreen(s.videow, s.videoh, s.videod,
                               text::TitleText(text::kProductName, text::kVersionNumber));
}

}  // namespace

bool& OpenDialogAfterRun() {
  static bool flag = false;
  return flag;
}

bool& SleepRequested() {
  static bool flag = false;
  return flag;
}

bool LocateEngine(settings::Settings& s) {
  if (HasEngine(s.Path)) return true;
  s.Path = settings::SettingsFolder(settings::FolderKind::kProgramFiles, text::kMakerName,
                                    text::kProductName);
  if (HasEngine(s.Path)) return true;
  s.Path = platform::CurrentFolder();
  if (HasEngine(s.Path)) return true;
  s.Path.clear();
  return HasEngine(s.Path);
}

bool SaverRun::Start(settings::Settings& s, uint64_t hostWindow) {
  if (!LocateEngine(s)) {
    Fail("3D is not located");
    return false;
  }
  if (!scene::StartEngine(0, s.Path + scene::kEngineFileName) &&
      !scene::StartEngine(0, scene::kEngineFileName)) {
    Fail("3D is not initialized");
    return false;
  }
  hosted_ = hostWindow != 0;
  if (!scene::StartSprites(hosted_)) {
    scene::StopEngine();
    Fail("Graphics is not initialized");
    return false;
  }
  scene::StartKeyboard();
  scene::StartMouse();
  scene::Rto().AntialiasingMode(1);

  if (hosted_ ? !scene::OpenInWindow(hostWindow) : !OpenOwnScreen(s)) {
    scene::CloseFullScreen();
    scene::StopEngine();
    Fail("Screen is not initialized");
    return false;
  }
  started_ = true;
  scene::BuildScene(scene_, s, scene::ScreenWidth(), scene::ScreenHeight());
  music_.list = BuildMusicList(s);
  scene::StartBackground(scene_.background, s, scene_.picturePlane, scene_.coverPlane);
  scene::RefreshClocks(scene_.clocks, s, true);
  MusicStart(music_, s);
  pacer_ = FramePacer(scene::NowMs());
  return true;
}

void SaverRun::FunctionKeys(settings::Settings& s, bool& exit) {
  if (scene::KeyReleased(scene::kKeyF1)) {
    web::OpenLink(web::HomePageAddress());
    exit = true;
  } else if (scene::KeyReleased(scene::kKeyF3)) {
    OpenDialogAfterRun() = true;
    exit = true;
  } else if (scene::KeyReleased(scene::kKeyF12)) {
    Screenshot(s.configFolder + "scr" + std::to_string(scene::NowMs()) + ".bmp", s);
  }
}

bool SaverRun::Frame(settings::Settings& s) {
  scene::EngineApi& rto = scene::Rto();
  platform::SleepMs(static_cast<uint32_t>(pacer_.WaitMs(scene::NowMs())));
  const FramePlan plan = pacer_.Begin(scene::NowMs());
  for (int32_t step = 0; step < plan.steps; ++step) {
    scene::UpdateFlakeField(scene_.field, s);
    scene::UpdateBackground(scene_.background, s, scene::NowMs());
  }
  scene::RefreshClocks(scene_.clocks, s, false);
  scene::CheckCalendarDay(scene_.calendar, s, false);
  if (plan.draw) {
    rto.RenderWorld();
    ShowForeground(s);
    scene::PresentFrame();
  }
  MusicStep(music_, s);
  scene::PollKeyboard();
  scene::PollMouse();
  bool exit = scene::QuitRequested();
  // A host owns the input of its window and ends the run itself.
  if (hosted_) return !exit;
  if (!exit) FunctionKeys(s, exit);
  if (!exit) {
    exit = ExitTest(scene::CurrentInput(), s, scene::NowMs() - scene_.runStart, SleepRequested());
  }
  return !exit;
}

void SaverRun::Finish(settings::Settings& s) {
  MusicClose(music_);
  if (started_) scene::RestoreStoredUnits(scene_, s);
  scene::CloseFullScreen();
  // The engine library stays loaded until the process ends (a run is the last thing a process
  // draws): unloading it would leave what it holds to be reported as lost in unnamed code.
  started_ = false;
}

void Run(settings::Settings& s, uint64_t hostWindow) {
  SaverRun run;
  if (!run.Start(s, hostWindow)) return;
  while (run.Frame(s)) {
  }
  run.Finish(s);
}

bool Screenshot(const std::string& path, const settings::Settings& s) {
  images::Image frame;
  if (!images::AllocateImage(frame, scene::ScreenWidth(), scene::ScreenHeight(), 32)) return false;
  // Nothing has moved since the frame was presented: drawing it again gives the same picture.
  scene::Rto().RenderWorld();
  ShowForeground(s);
  return scene::Rto().ReadScreen(frame.pixels.data(), frame.pitch) != 0 &&
         images::EncodeImageFile(frame, path, images::kTagBmp, 7, 24);
}

}  // namespace run
