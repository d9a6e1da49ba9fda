#include "app/uninstall_page.h"

#include <cstdio>

#include "dialog/uninstall_view.h"
#include "platform/platform.h"
#include "text/language_table.h"
#include "web/site.h"

namespace app {

void RunUninstallPage() {
  if (!platform::HasDisplay()) {
    std::fputs("flurrix: the uninstall page needs a display\n", stderr);
    return;
  }
  dialog::UninstallPageLayout layout;
  layout.title = text::Lookup("Uninstall", "Title");
  layout.checkText = text::Lookup("Uninstall", "Uninstall Text");
  layout.buttonText = text::Lookup("Uninstall", "Next");
  if (dialog::ShowUninstallPage(layout) == dialog::UninstallChoice::kNextTicked) {
    web::OpenLink(web::UninstallPageAddress());
  }
}

}  // namespace app
