// The uninstall page as a native window: a check box and the "Next" button, in the system's
// font; Return presses the button, Escape and the close box close the page.
#include <windows.h>

#include "dialog/uninstall_view.h"
#include "dialog/win32/native.h"
#include "platform/platform.h"
#include "platform/win32/wide.h"

namespace dialog {
namespace {

constexpr wchar_t kClassName[] = L"FlurrixUninstallPage";

struct PageState {
  bool done = false;
  bool next = false;
};

LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<PageState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kUninstallNext && HIWORD(wParam) == BN_CLICKED && state) {
        state->next = true;
      }
      if ((LOWORD(wParam) == kUninstallNext || LOWORD(wParam) == IDCANCEL) && state) {
        state->done = true;
      }
      return 0;
    case DM_GETDEFID:
      return MAKELRESULT(kUninstallNext, DC_HASDEFID);
    case WM_CLOSE:
      if (state) state->done = true;
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

UninstallChoice ShowUninstallPage(const UninstallPageLayout& layout) {
  win32::RegisterViewClass(kClassName, PageProc);
  HINSTANCE instance = GetModuleHandleW(nullptr);

  HWND window = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kClassName,
                                platform::Widen(layout.title).c_str(),
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                                CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, nullptr);
  if (!window) return UninstallChoice::kClosed;
  PageState state;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
  const win32::Scale S(window);
  win32::CentreWithClientSize(window, S(layout.window.width), S(layout.window.height));

  auto make = [&](const Box& box, const std::string& text, DWORD style, int id) {
    return CreateWindowExW(0, L"BUTTON", platform::Widen(text).c_str(),
                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, S(box.x), S(box.y),
                           S(box.width), S(box.height), window,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  };
  HWND check = make(layout.check, layout.checkText, BS_AUTOCHECKBOX, kUninstallCheck);
  HWND next = make(layout.button, layout.buttonText, BS_DEFPUSHBUTTON, kUninstallNext);
  SendMessageW(check, BM_SETCHECK, layout.checked ? BST_CHECKED : BST_UNCHECKED, 0);
  HFONT font = win32::CreateMessageFont(S.Dpi());
  win32::SetFontOnTree(window, font);

  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
  SetFocus(next);
  MSG msg;
  while (!state.done && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  const bool ticked = SendMessageW(check, BM_GETCHECK, 0, 0) == BST_CHECKED;
  DestroyWindow(window);
  DeleteObject(font);
  if (!state.next) return UninstallChoice::kClosed;
  return ticked ? UninstallChoice::kNextTicked : UninstallChoice::kNext;
}

}  // namespace dialog
