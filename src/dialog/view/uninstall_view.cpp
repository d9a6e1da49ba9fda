#include "dialog/uninstall_view.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Window.H>

#include "dialog/view/look.h"
#include "platform/platform.h"

namespace dialog {

UninstallChoice ShowUninstallPage(const UninstallPageLayout& layout) {
  if (!platform::HasDisplay()) return UninstallChoice::kClosed;
  UseDialogLook(12);
  Fl_Window window(layout.window.width, layout.window.height, layout.title.c_str());
  Fl_Check_Button check(layout.check.x, layout.check.y, layout.check.width, layout.check.height,
                        layout.checkText.c_str());
  check.value(layout.checked ? 1 : 0);
  check.labelsize(12);  // the size of the system's dialog font, for which the layout is made
  Fl_Button next(layout.button.x, layout.button.y, layout.button.width, layout.button.height,
                 layout.buttonText.c_str());
  next.labelsize(12);
  next.color(kAccent);  // the page's one button, drawn as the dialog draws OK
  next.labelcolor(FL_WHITE);
  bool clicked = false;
  next.callback(
      [](Fl_Widget* button, void* flag) {
        *static_cast<bool*>(flag) = true;
        button->window()->hide();
      },
      &clicked);
  window.end();
  window.position((Fl::w() - window.w()) / 2, (Fl::h() - window.h()) / 2);
  window.show();
  window.take_focus();
  while (window.shown()) Fl::wait();
  if (!clicked) return UninstallChoice::kClosed;
  return check.value() ? UninstallChoice::kNextTicked : UninstallChoice::kNext;
}

}  // namespace dialog
