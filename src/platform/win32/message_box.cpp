// Message boxes: the system's own, whose styles and answers are the program's numbers.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/wide.h"

namespace platform {

MessageAnswer ShowMessageBox(const std::string& caption, const std::string& text, int32_t style) {
  const int answer =
      MessageBoxW(nullptr, Widen(text).c_str(), Widen(caption).c_str(), static_cast<UINT>(style));
  if (style == kStyleQuestion) return answer == IDYES ? kAnswerYes : kAnswerNo;
  return kAnswerOk;
}

}  // namespace platform
