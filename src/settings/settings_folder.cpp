#include "settings/settings_folder.h"

#include "platform/platform.h"

namespace settings {

std::string SettingsFolder(FolderKind kind, const std::string& maker, const std::string& product) {
  std::string folder =
      kind == FolderKind::kAppData ? platform::AppDataFolder() : platform::ProgramFilesFolder();
  for (const std::string& name : {maker, product}) {
    if (name.empty()) continue;
    folder += name + platform::kSep;
    if (!platform::FolderExists(folder)) platform::CreateFolder(folder);
  }
  return folder;
}

}  // namespace settings
