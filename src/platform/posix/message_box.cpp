// Message boxes: FLTK's modal message windows when a display is there, stderr otherwise.
#include <FL/Fl.H>
#include <FL/Fl_Widget.H>
#include <FL/fl_ask.H>

#include <cstdio>

#include "platform/platform.h"

namespace platform {

MessageAnswer ShowMessageBox(const std::string& caption, const std::string& text, int32_t style) {
  if (!HasDisplay()) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return style == kStyleQuestion ? kAnswerNo : kAnswerOk;
  }
  fl_message_title(caption.c_str());
  fl_close = "OK";
  // The icon's glyph follows the kind of box; an error is told apart by its colour too.
  fl_message_icon()->labelcolor(style == kStyleError ? FL_RED : FL_BLUE);
  switch (style) {
    case kStyleQuestion:
      return fl_choice("%s", "No", "Yes", nullptr, text.c_str()) == 1 ? kAnswerYes : kAnswerNo;
    case kStyleError:
      fl_alert("%s", text.c_str());
      return kAnswerOk;
    default:
      fl_message("%s", text.c_str());
      return kAnswerOk;
  }
}

}  // namespace platform
