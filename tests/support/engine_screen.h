// A screen of the program's own screen layer with the engine's screen opened on it, for tests and
// benchmarks that draw the program's scene without a whole run (the run does the same in Start).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "scene/engine_api.h"
#include "screen/screen.h"

namespace flurrixtest {

class EngineScreen {
 public:
  // Opens width x height at 32 bits (offscreen or a window, as SDL_VIDEODRIVER says).
  EngineScreen(int32_t width, int32_t height, const std::string& title = "test")
      : screen_(screen::MakeSdlScreen(false)) {
    ok_ = screen_->Connect() &&
          screen_->Open(screen::OpenRequest::FullScreen({width, height, 32}, title));
    if (!ok_) return;
    const screen::GlSurface s = screen_->Surface();
    ok_ = scene::Rto().OpenScreen(s.width, s.height, s.glEntry, s.present, s.window) != 0;
  }
  ~EngineScreen() {
    if (ok_) scene::Rto().CloseScreen();
    screen_->Close();
  }
  EngineScreen(const EngineScreen&) = delete;
  EngineScreen& operator=(const EngineScreen&) = delete;

  bool ok() const { return ok_; }
  int32_t width() const { return screen_->Surface().width; }
  int32_t height() const { return screen_->Surface().height; }
  screen::Screen& screen() { return *screen_; }
  // The frame drawn so far shown, as the run presents it.
  void Present() {
    scene::Rto().FlipBuffers();
    screen_->HandleEvents();
  }

 private:
  std::unique_ptr<screen::Screen> screen_;
  bool ok_ = false;
};

}  // namespace flurrixtest
