#include "run/run_driver.h"

#include <set>

#include "images/codecs.h"
#include "platform/platform.h"
#include "scene/engine_api.h"
#include "scene/engine_objects.h"
#include "scene/sprites.h"
#include "settings/mode_text.h"
#include "settings/settings_folder.h"
#include "text/language_table.h"
#include "text/message_box.h"
#include "text/version.h"
#include "web/site.h"

namespace run {
namespace {

// Where the scene puts the pointer when it is built: the mouse box lies around it.
constexpr int32_t kMouseStartX = 100;
constexpr int32_t kMouseStartY = 100;

bool HasEngine(const std::string& folder) {
  return platform::FileSize(folder + scene::kEngineFileName) > 0;
}

void Fail(const char* key) {
  text::ShowError(text::Lookup("Msg", key));
}

using settings::ModeText;

}  // namespace

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

SaverRun::SaverRun(scene::RunContext& context) : context_(context), pacer_(0, context) {}

SaverRun::~SaverRun() = default;

int32_t SaverRun::ScreenWidth() const {
  return screen_ ? screen_->Surface().width : 0;
}

int32_t SaverRun::ScreenHeight() const {
  return screen_ ? screen_->Surface().height : 0;
}

// The mode check and the full-screen window of a run of our own; the replacement mode is kept.
bool SaverRun::OpenOwnScreen(settings::Settings& s) {
  std::set<std::string> offered;
  if (screen_->ListDisplayModes()) {
    while (screen_->NextDisplayMode()) {
      offered.insert(ModeText(screen_->DisplayModeWidth(), screen_->DisplayModeHeight(),
                              screen_->DisplayModeDepth()));
    }
  }
  if (!offered.count(ModeText(s.videow, s.videoh, s.videod))) {
    s.videow = s.desktopWidth;
    s.videoh = s.desktopHeight;
    s.videod = s.desktopDepth;
  }
  return screen_->OpenFullScreen(s.videow, s.videoh, s.videod,
                                 text::TitleText(text::kProductName, text::kVersionNumber));
}

void SaverRun::BuildViews(settings::Settings& s) {
  scene::BuildScene(scene_, s, context_, ScreenWidth(), ScreenHeight());
  sceneBuilt_ = true;
  for (int32_t i = 1; i < screen_->SurfaceCount(); ++i) {
    const screen::GlSurface other = screen_->SurfaceAt(i);
    scene::AddMonitorView(scene_, s, context_, i, other.width, other.height);
  }
  scene::StartBackground(scene_.background, s, scene_.Planes());
  scene::RefreshClocks(scene_.clocks, s, context_, true);
}

void SaverRun::Rebuild(settings::Settings& s) {
  if (engineScreenOpen_) scene::Rto().CloseScreen();
  engineScreenOpen_ = false;
  if (sceneBuilt_) scene::RestoreStoredUnits(scene_, s);
  sceneBuilt_ = false;
  scene_ = scene::SceneState{};
  // Without a surface nothing is drawn until one comes.
  if (screen_->SurfaceCount() == 0) return;
  screen_->MakeCurrent(0);
  if (OpenEngineScreen()) BuildViews(s);
}

// Hands the opened screen to the engine.
bool SaverRun::OpenEngineScreen() {
  const screen::GlSurface surface = screen_->Surface();
  engineScreenOpen_ = scene::Rto().OpenScreen(surface.width, surface.height, surface.glEntry,
                                              surface.present, surface.window) != 0;
  return engineScreenOpen_;
}

bool SaverRun::Start(settings::Settings& s, Placement placement, uint64_t hostWindow) {
  end_ = RunEnd::kNotStarted;
  if (!LocateEngine(s)) {
    Fail("3D is not located");
    return false;
  }
  if (!scene::StartEngine(0, s.Path + scene::kEngineFileName) &&
      !scene::StartEngine(0, scene::kEngineFileName)) {
    Fail("3D is not initialized");
    return false;
  }
  hosted_ = placement != Placement::kFullScreen;
  screen_ = placement == Placement::kLayerShell ? screen::MakeWaylandScreen()
                                                : screen::MakeSdlScreen(hosted_);
  if (!screen_->StartSprites()) {
    screen_.reset();
    scene::StopEngine();
    Fail("Graphics is not initialized");
    return false;
  }
  screen_->StartKeyboard();
  screen_->StartMouse();
  scene::Rto().AntialiasingMode(1);

  const bool opened =
      placement == Placement::kHostWindow ? screen_->OpenInWindow(hostWindow) : OpenOwnScreen(s);
  if (!opened || !OpenEngineScreen()) {
    screen_->CloseFullScreen();
    scene::StopEngine();
    Fail("Screen is not initialized");
    return false;
  }
  end_ = RunEnd::kRunning;
  screen_->PlaceMouse(kMouseStartX, kMouseStartY);
  BuildViews(s);
  music_.list = BuildMusicList(s);
  MusicStart(music_, s);
  pacer_ = FramePacer(context_.NowMs(), context_);
  return true;
}

// The other monitors' views, each into its own window, presented at once; the primary screen's
// window is current again afterwards.
void SaverRun::DrawOtherMonitors() {
  for (const scene::MonitorView& m : scene_.monitors) {
    const screen::GlSurface surface = screen_->SurfaceAt(m.screen);
    screen_->MakeCurrent(m.screen);
    scene::Rto().RenderScreen(m.screen, surface.width, surface.height);
    surface.present(surface.window);
  }
  screen_->MakeCurrent(0);
}

void SaverRun::PresentFrame() {
  scene::Rto().FlipBuffers();
  screen_->HandleEvents();
}

void SaverRun::ShowForeground(const settings::Settings& s) {
  if (scene::SpriteExists(scene::kForegroundSprite)) {
    scene::ShowSprite(scene::kForegroundSprite, s.foregroundimagex, s.foregroundimagey);
  }
}

RunEnd SaverRun::FunctionKeys(settings::Settings& s) {
  if (screen_->KeyReleased(screen::kKeyF1)) {
    web::OpenLink(web::HomePageAddress());
    return RunEnd::kHomePage;
  }
  if (screen_->KeyReleased(screen::kKeyF3)) return RunEnd::kDialog;
  if (screen_->KeyReleased(screen::kKeyF12)) {
    Screenshot(s.configFolder + "scr" + std::to_string(context_.NowMs()) + ".bmp", s);
  }
  return RunEnd::kRunning;
}

bool SaverRun::Frame(settings::Settings& s) {
  scene::EngineApi& rto = scene::Rto();
  platform::SleepMs(static_cast<uint32_t>(pacer_.WaitMs(context_.NowMs())));
  const FramePlan plan = pacer_.Begin(context_.NowMs());
  if (screen_->SurfacesChanged()) Rebuild(s);
  for (int32_t step = 0; sceneBuilt_ && step < plan.steps; ++step) {
    scene::UpdateSnow(scene_, s, context_.random);
    scene::UpdateBackground(scene_.background, s, context_.NowMs());
  }
  if (sceneBuilt_) {
    scene::RefreshClocks(scene_.clocks, s, context_, false);
    scene::CheckCalendarDay(scene_.calendar, s, context_, false);
  }
  if (plan.draw && engineScreenOpen_) {
    DrawOtherMonitors();
    rto.RenderWorld();
    ShowForeground(s);
    PresentFrame();
  }
  MusicStep(music_, s);
  screen_->PollKeyboard();
  screen_->PollMouse();
  if (screen_->QuitRequested()) {
    end_ = RunEnd::kTerminated;
  } else if (!hosted_) {
    // A host owns the input of its window and ends the run itself.
    end_ = FunctionKeys(s);
    if (end_ == RunEnd::kRunning) {
      end_ = ExitTest(screen_->CurrentInput(), s, context_.NowMs() - scene_.runStart);
    }
  }
  return end_ == RunEnd::kRunning;
}

void SaverRun::Finish(settings::Settings& s) {
  MusicClose(music_);
  if (sceneBuilt_) scene::RestoreStoredUnits(scene_, s);
  sceneBuilt_ = false;
  if (engineScreenOpen_ && scene::Rto().CloseScreen) scene::Rto().CloseScreen();
  engineScreenOpen_ = false;
  if (screen_) screen_->CloseFullScreen();
  // The engine library stays loaded until the process ends (a run is the last thing a process
  // draws): unloading it would leave what it holds to be reported as lost in unnamed code.
}

bool SaverRun::Screenshot(const std::string& path, const settings::Settings& s) {
  images::Image frame;
  if (!images::AllocateImage(frame, ScreenWidth(), ScreenHeight(), 32)) return false;
  // Nothing has moved since the frame was presented: drawing it again gives the same picture.
  scene::Rto().RenderWorld();
  ShowForeground(s);
  return scene::Rto().ReadScreen(frame.pixels.data(), frame.pitch) != 0 &&
         images::EncodeImageFile(frame, path, images::kTagBmp, 7, 24);
}

RunEnd Run(settings::Settings& s, scene::RunContext& context, Placement placement,
           uint64_t hostWindow) {
  SaverRun run(context);
  if (!run.Start(s, placement, hostWindow)) return run.End();
  while (run.Frame(s)) {
  }
  run.Finish(s);
  return run.End();
}

}  // namespace run
