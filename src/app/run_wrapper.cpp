#include "app/run_wrapper.h"

#include "dialog/configuration_dialog.h"
#include "platform/platform.h"
#include "run/exit_conditions.h"
#include "run/run_driver.h"

namespace app {

void RunWrapper(settings::Settings& s) {
  if (s.exiton == 4) run::SleepRequested() = false;
  platform::ShowMouseCursor(false);
  platform::SetScreensaverRunning(true);
  run::Run(s);
  platform::SetScreensaverRunning(false);
  platform::ShowMouseCursor(true);
  run::SleepAfterRun(s, run::SleepRequested());
  if (run::OpenDialogAfterRun()) {
    run::OpenDialogAfterRun() = false;
    dialog::OpenConfigurationDialog(s, 0);
  }
}

}  // namespace app
