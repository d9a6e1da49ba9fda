#include "app/program.h"

#include "app/builtin_pictures.h"
#include "app/command_line.h"
#include "app/preview.h"
#include "app/run_wrapper.h"
#include "app/uninstall_page.h"
#include "dialog/configuration_dialog.h"
#include "platform/platform.h"
#include "settings/settings.h"
#include "settings/settings_folder.h"
#include "text/language_table.h"
#include "text/version.h"

namespace app {
namespace {

settings::Settings& ProcessSettings() {
  static settings::Settings settings;
  return settings;
}

void RunMode(Mode mode, const std::vector<std::string>& args) {
  switch (mode) {
    case Mode::kUninstall:
      RunUninstallPage();
      break;
    case Mode::kPreview:
      RunPreview(ParseWindowHandle(args));
      break;
    case Mode::kConfigure:
      dialog::OpenConfigurationDialog(ProcessSettings(),
                                      platform::DialogOwner(ParseWindowHandle(args)));
      break;
    case Mode::kRun:
      RunWrapper(ProcessSettings());
      break;
    case Mode::kNothing:
      break;
    case Mode::kSaveSettings:
      SaveSettings(ProcessSettings());
      break;
  }
}

}  // namespace

int RunProgram(const std::vector<std::string>& args) {
  // A screensaver host runs one copy per monitor, so its runs take no instance guard. Any other
  // second copy, whatever its switch, ends at once and silently.
  // Nor does a run on Wayland's outputs, which an idle daemon or a locker starts and ends.
  const uint64_t hostWindow = platform::HostWindow(args);
  const bool wayland = WaylandRequested(args);
  const std::string guardName = text::TitleText(text::kProductName, text::kVersionNumber);
  if (!hostWindow && !wayland && !platform::AcquireInstanceGuard(guardName)) return 0;

  settings::Settings& s = ProcessSettings();
  s.configFolder = settings::SettingsFolder(settings::FolderKind::kAppData, text::kMakerName,
                                            text::kProductName);
  s.configFile = s.configFolder + "config.ini";
  const platform::DesktopMode desktop = platform::QueryDesktop();
  s.desktopWidth = desktop.width;
  s.desktopHeight = desktop.height;
  s.desktopDepth = desktop.depth;
  settings::LoadSettings(
      s, {platform::ProgramFolder(), static_cast<int32_t>(platform::LocalSecondsSince1970())});
  text::GlobalLanguageTable();
  LoadBuiltInPictures();

  if (wayland) {
    RunHosted(s, run::Placement::kWaylandOutputs, 0);
    return 0;
  }
  if (hostWindow) {
    RunHosted(s, run::Placement::kHostWindow, hostWindow);
    return 0;
  }
  RunMode(SelectMode(args), args);

  platform::ReleaseInstanceGuard();
  return 0;
}

}  // namespace app
