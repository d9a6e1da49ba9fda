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
  for (const screen::DisplayMode& m : screen_->DisplayModes()) {
    offered.insert(ModeText(m.width, m.height, m.depth));
  }
  if (!offered.count(ModeText(s.videow, s.videoh, s.videod))) {
    s.videow = s.desktopWidth;
    s.videoh = s.desktopHeight;
    s.videod = s.desktopDepth;
  }
  return screen_->Open(screen::OpenRequest::FullScreen(
      {s.videow, s.videoh, s.videod}, text::TitleText(text::kProductName, text::kVersionNumber)));
}

bool SaverRun::Open(settings::Settings& s, const RunSetup& setup) {
  switch (setup.placement) {
    case Placement::kFullScreen:
      return OpenOwnScreen(s);
    case Placement::kHostWindow:
      return screen_->Open(screen::OpenRequest::InHostWindow(setup.hostWindow));
    case Placement::kWaylandOutputs:
      return screen_->Open(screen::OpenRequest::EveryOutput());
  }
  return false;
}

void SaverRun::BuildViews() {
  scene::BuildScene(scene_, plan_.scene, context_, ScreenWidth(), ScreenHeight());
  sceneBuilt_ = true;
  for (int32_t i = 1; i < screen_->SurfaceCount(); ++i) {
    const screen::GlSurface other = screen_->SurfaceAt(i);
    scene::AddMonitorView(scene_, plan_.scene.flakes, context_, i, other.width, other.height);
  }
  scene::StartBackground(scene_.background, scene_.Planes());
  scene::RefreshClocks(scene_.clocks, context_, true);
}

void SaverRun::Rebuild() {
  if (engineScreenOpen_) scene::Rto().CloseScreen();
  engineScreenOpen_ = false;
  sceneBuilt_ = false;
  scene_ = scene::SceneState{};
  // Without a surface nothing is drawn until one comes.
  if (screen_->SurfaceCount() == 0) return;
  screen_->MakeCurrent(0);
  if (OpenEngineScreen()) BuildViews();
  pacer_.SetRefreshMilliHz(screen_->RefreshMilliHz());
}

// Hands the opened screen to the engine.
bool SaverRun::OpenEngineScreen() {
  const screen::GlSurface surface = screen_->Surface();
  engineScreenOpen_ = scene::Rto().OpenScreen(surface.width, surface.height, surface.glEntry,
                                              surface.present, surface.window) != 0;
  return engineScreenOpen_;
}

bool SaverRun::Start(settings::Settings& s, const RunSetup& setup) {
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
  hosted_ = setup.placement != Placement::kFullScreen;
  screen_ = setup.placement == Placement::kWaylandOutputs
                ? screen::MakeWaylandScreen()
                : screen::MakeSdlScreen(setup.placement == Placement::kHostWindow);
  if (!screen_ || !screen_->Connect()) {
    screen_.reset();
    scene::StopEngine();
    Fail("Graphics is not initialized");
    return false;
  }
  scene::Rto().AntialiasingMode(1);
  const bool opened = Open(s, setup);
  // A signal must not leave the display in the run's mode: it ends the run through its close.
  platform::DeferTermination(screen_->SwitchedDisplayMode());
  if (!opened || !OpenEngineScreen()) {
    screen_->Close();
    platform::DeferTermination(false);
    scene::StopEngine();
    Fail("Screen is not initialized");
    return false;
  }
  end_ = RunEnd::kRunning;
  // From here on the run works from its plan alone.
  plan_ = MakeRunPlan(s, context_.random, setup);
  screen_->PlaceMouse(kMouseStartX, kMouseStartY);
  BuildViews();
  MusicStart(music_, plan_.music);
  pacer_ = FramePacer(context_.NowMs(), context_, screen_->RefreshMilliHz());
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

void SaverRun::ShowForeground() {
  if (scene::SpriteExists(scene::kForegroundSprite)) {
    const scene::ForegroundPlan& f = plan_.scene.foreground;
    scene::ShowSprite(scene::kForegroundSprite, f.pictureX, f.pictureY);
  }
}

RunEnd SaverRun::FunctionKeys() {
  screen::InputState& input = screen_->Input();
  if (input.KeyReleased(screen::kKeyF1)) {
    web::OpenLink(web::HomePageAddress());
    return RunEnd::kHomePage;
  }
  if (input.KeyReleased(screen::kKeyF3)) return RunEnd::kDialog;
  if (input.KeyReleased(screen::kKeyF12)) {
    Screenshot(plan_.screenshotFolder + "scr" + std::to_string(context_.NowMs()) + ".bmp");
  }
  return RunEnd::kRunning;
}

bool SaverRun::Frame() {
  scene::EngineApi& rto = scene::Rto();
  context_.SleepMs(pacer_.WaitMs(context_.NowMs()));
  const FramePlan frame = pacer_.Begin(context_.NowMs());
  if (screen_->SurfacesChanged()) Rebuild();
  for (int32_t step = 0; sceneBuilt_ && step < frame.steps; ++step) {
    scene::StepSnow(scene_, context_.random);
    scene::UpdateBackground(scene_.background, context_.NowMs());
  }
  if (sceneBuilt_) {
    scene::RefreshClocks(scene_.clocks, context_, false);
    scene::CheckCalendarDay(scene_.calendar, context_, false);
  }
  if (frame.draw && engineScreenOpen_) {
    // The snow and the fades as they are at the frame's own moment, between the last two steps.
    if (sceneBuilt_) scene::PlaceMoment(scene_, frame.fraction);
    DrawOtherMonitors();
    rto.RenderWorld();
    ShowForeground();
    PresentFrame();
  }
  MusicStep(music_);
  screen_->PollInput();
  if (screen_->QuitRequested() || platform::TerminationRequested()) {
    end_ = RunEnd::kTerminated;
  } else if (!hosted_) {
    // A host owns the input of its window and ends the run itself.
    end_ = FunctionKeys();
    if (end_ == RunEnd::kRunning) {
      end_ = ExitTest(screen_->Input(), plan_.exit, context_.NowMs() - scene_.runStart);
    }
  }
  return end_ == RunEnd::kRunning;
}

void SaverRun::Finish() {
  MusicClose(music_);
  sceneBuilt_ = false;
  if (engineScreenOpen_ && scene::Rto().CloseScreen) scene::Rto().CloseScreen();
  engineScreenOpen_ = false;
  if (screen_) screen_->Close();
  platform::DeferTermination(false);
  // The engine library stays loaded until the process ends (a run is the last thing a process
  // draws): unloading it would leave what it holds to be reported as lost in unnamed code.
}

bool SaverRun::Screenshot(const std::string& path) {
  images::Image frame;
  if (!images::AllocateImage(frame, ScreenWidth(), ScreenHeight(), 32)) return false;
  // Nothing has moved since the frame was presented: drawing it again gives the same picture.
  scene::Rto().RenderWorld();
  ShowForeground();
  return scene::Rto().ReadScreen(frame.pixels.data(), frame.pitch) != 0 &&
         images::EncodeImageFile(frame, path, images::kTagBmp, 7, 24);
}

RunEnd Run(settings::Settings& s, scene::RunContext& context, const RunSetup& setup) {
  SaverRun run(context);
  if (!run.Start(s, setup)) return run.End();
  while (run.Frame()) {
  }
  run.Finish();
  return run.End();
}

}  // namespace run
