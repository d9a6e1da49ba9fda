#include "app/run_wrapper.h"

#include <cstdio>

#include "app/background_pictures.h"
#include "dialog/configuration_dialog.h"
#include "platform/platform.h"
#include "run/run_driver.h"
#include "text/message_box.h"

namespace app {

void RunWrapper(settings::Settings& s) {
  // An unreadable wallpaper has been reported; the program ends without a run.
  if (!PrepareBackgroundPicture(s)) return;
  platform::ShowMouseCursor(false);
  platform::SetScreensaverRunning(true);
  scene::RunContext context;
  const run::RunEnd end = run::Run(s, context);
  platform::SetScreensaverRunning(false);
  platform::ShowMouseCursor(true);
  RemoveBackgroundPicture(s);
  run::SleepAfterRun(s, end, context);
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
  // The host's SIGTERM must end the program within a second even while a slow start-up loads.
  const std::string picture = BackgroundPictureFile(s);
  platform::EndOnTermination(picture.empty() ? std::vector<std::string>{}
                                             : std::vector<std::string>{picture});
  if (!PrepareBackgroundPicture(s)) return;
  scene::RunContext context;
  run::Run(s, context, placement, hostWindow);
  RemoveBackgroundPicture(s);
}

}  // namespace app
