#include "app/run_wrapper.h"

#include <cstdio>

#include "app/background_pictures.h"
#include "app/builtin_pictures.h"
#include "dialog/configuration_dialog.h"
#include "platform/platform.h"
#include "run/run_driver.h"
#include "text/message_box.h"

namespace app {
namespace {

// SIGTERM and SIGINT (a host, a logout, `timeout`, Ctrl+C) end the program at once from here on,
// whatever it is doing (a slow start, a message box nobody sees), and take the prepared picture
// with them. The video layer leaves a signal alone that the program handles itself.
void EndOnTermination(const settings::Settings& s, uint64_t hostWindow) {
  const std::string picture = BackgroundPictureFile(s, hostWindow);
  platform::EndOnTermination(picture.empty() ? std::vector<std::string>{}
                                             : std::vector<std::string>{picture});
}

}  // namespace

void RunWrapper(settings::Settings& s) {
  EndOnTermination(s, 0);
  // An unreadable wallpaper has been reported; the program ends without a run.
  if (!PrepareBackgroundPicture(s)) return;
  platform::ShowMouseCursor(false);
  platform::SetScreensaverRunning(true);
  scene::RunContext context;
  const run::RunEnd end = run::Run(s, context, run::RunSetup::FullScreen(BuiltInFiles()));
  platform::SetScreensaverRunning(false);
  platform::ShowMouseCursor(true);
  RemoveBackgroundPicture(s);
  run::SleepAfterRun(end, context);
  if (end == run::RunEnd::kDialog) dialog::OpenConfigurationDialog(s, 0);
}

void RunHosted(settings::Settings& s, run::Placement placement, uint64_t hostWindow) {
  // Nobody can answer a box in front of the host's window, and the host's signal must end the
  // program at any time: failures go to the standard error, which the host shows.
  text::SetMessageBoxHandler(
      [](const std::string& caption, const std::string& text, int32_t style) {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return style == platform::kStyleQuestion ? platform::kAnswerNo : platform::kAnswerOk;
      });
  EndOnTermination(s, hostWindow);
  if (!PrepareBackgroundPicture(s, hostWindow)) return;
  scene::RunContext context;
  const std::string desktop = hostWindow ? BackgroundPictureFile(s, hostWindow) : "";
  run::Run(s, context, {placement, hostWindow, BuiltInFiles(), desktop});
  RemoveBackgroundPicture(s, hostWindow);
}

}  // namespace app
