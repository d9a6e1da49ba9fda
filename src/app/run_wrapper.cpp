#include "app/run_wrapper.h"

#include "app/background_pictures.h"
#include "dialog/configuration_dialog.h"
#include "platform/platform.h"
#include "run/exit_conditions.h"
#include "run/run_driver.h"

namespace app {

void RunWrapper(settings::Settings& s) {
  // An unreadable wallpaper has been reported; the program ends without a run.
  if (!PrepareBackgroundPicture(s)) return;
  if (s.exiton == 4) run::SleepRequested() = false;
  platform::ShowMouseCursor(false);
  platform::SetScreensaverRunning(true);
  run::Run(s);
  platform::SetScreensaverRunning(false);
  platform::ShowMouseCursor(true);
  RemoveBackgroundPicture(s);
  run::SleepAfterRun(s, run::SleepRequested());
  if (run::OpenDialogAfterRun()) {
    run::OpenDialogAfterRun() = false;
    dialog::OpenConfigurationDialog(s, 0);
  }
}

}  // namespace app
