// Message boxes: the system's own, whose styles and answers are the program's numbers. The box
// is owned by the program's window in the foreground, which it disables while open; with none,
// all of the thread's windows are disabled, so that no second action starts behind the box.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

HWND ForegroundWindowOfOurs() {
  HWND window = GetForegroundWindow();
  DWORD process = 0;
  if (window) GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId() ? window : nullptr;
}

}  // namespace

MessageAnswer ShowMessageBox(const std::string& caption, const std::string& text, int32_t style) {
  HWND owner = ForegroundWindowOfOurs();
  const UINT modality = owner ? MB_APPLMODAL : MB_TASKMODAL;
  const int answer = MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(),
                                 static_cast<UINT>(style) | modality);
  if (style == kStyleQuestion) return answer == IDYES ? kAnswerYes : kAnswerNo;
  return kAnswerOk;
}

}  // namespace platform
