// Start-up of the configuration dialog: the time from starting `flurrix /c` until its window is
// mapped on the X server. Needs a display: run it under xvfb-run (or on a desktop).
#include <X11/Xlib.h>
#include <benchmark/benchmark.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr const char* kTitle = "Flurrix Screensaver 3.3";

bool IsDialog(Display* display, Window window) {
  char* name = nullptr;
  const bool found = XFetchName(display, window, &name) && name && std::string(name) == kTitle;
  if (name) XFree(name);
  return found;
}

// Waits up to `timeoutMs` for the dialog's window to be mapped.
bool WaitForDialog(Display* display, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < end) {
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && IsDialog(display, event.xmap.window)) return true;
    }
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    poll(&fd, 1, 5);
  }
  return false;
}

void BM_DialogOnScreen(benchmark::State& state) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    state.SkipWithError("needs an X display (run under xvfb-run)");
    return;
  }
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  namespace fs = std::filesystem;
  const fs::path home =
      fs::temp_directory_path() / ("flurrix-dialog-bench-" + std::to_string(getpid()));
  fs::create_directories(home / "runtime");
  setenv("XDG_CONFIG_HOME", home.c_str(), 1);
  setenv("XDG_RUNTIME_DIR", (home / "runtime").c_str(), 1);
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
      execl(FLURRIX_PROGRAM, FLURRIX_PROGRAM, "/c", static_cast<char*>(nullptr));
      _exit(127);
    }
    const bool shown = WaitForDialog(display, 10000);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    if (!shown) {
      state.SkipWithError("the dialog did not appear");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
  }
  XCloseDisplay(display);
  fs::remove_all(home);
}
BENCHMARK(BM_DialogOnScreen)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
