#include "dialog/view/look.h"

#include <FL/Fl.H>
#include <FL/Fl_Tooltip.H>

namespace dialog {

void UseDialogLook(int tooltipSize) {
  Fl::scheme("gleam");
  Fl::background(0xF3, 0xF3, 0xF3);
  Fl::background2(0xFF, 0xFF, 0xFF);
  Fl::foreground(0x1F, 0x1F, 0x1F);
  Fl::set_color(FL_SELECTION_COLOR, kAccent);
  Fl::visible_focus(1);
  Fl_Tooltip::size(tooltipSize);
  Fl_Tooltip::color(0xFFFFF000);
}

}  // namespace dialog
