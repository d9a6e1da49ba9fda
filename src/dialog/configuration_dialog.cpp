#include "dialog/configuration_dialog.h"

#include <algorithm>
#include <cstdio>

#include "dialog/config_layout.h"
#include "dialog/config_model.h"
#include "dialog/config_view.h"
#include "platform/platform.h"
#include "text/version.h"
#include "web/update_check.h"

namespace dialog {
namespace {

class SystemServices : public DialogServices {
 public:
  explicit SystemServices(std::string title) : title_(std::move(title)) {}
  std::vector<std::string> OpenFiles(const std::string& title, const std::string& filter,
                                     const std::string& start, bool multiple) override {
    return ChooseFiles(title, filter, start, multiple);
  }
  std::string OpenFolder(const std::string& title, const std::string& start) override {
    return ChooseFolder(title, start);
  }
  void CheckForUpdates() override { web::CheckForUpdates(title_, text::kVersionNumber); }

 private:
  std::string title_;
};

}  // namespace

BlockedOwner::BlockedOwner(int64_t owner) : owner_(owner) {
  if (owner_) platform::EnableWindowInput(owner_, false);
}

BlockedOwner::~BlockedOwner() {
  if (!owner_) return;
  platform::EnableWindowInput(owner_, true);
  platform::FocusWindow(owner_);
}

void OpenConfigurationDialog(settings::Settings& s, int64_t ownerWindow) {
  if (!platform::HasDisplay()) {
    std::fputs("flurrix: the configuration dialog needs a display\n", stderr);
    return;
  }
  const std::string title = text::TitleText(text::kProductName, text::kVersionNumber);
  SystemServices services(title);
  ConfigModel model(s, platform::ListDisplayModes(), services, title);
  model.Fill();
  // A window smaller than the layout would cut off OK and Cancel.
  RunConfigView(model, {title, std::max(s.Width, kDialogWidth), std::max(s.Height, kDialogHeight),
                        ownerWindow});
}

}  // namespace dialog
