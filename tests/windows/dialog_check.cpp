// Drives the configuration dialog of a running "flurrix.scr /c" through its real controls, as a
// user's clicks would: the window found by its title, the controls by their numbers, each
// change followed by the notification the control itself would send, tabs clicked. Run by
// scripts/test.d/40-windows.sh:
//   dialog_check rules TITLE      the show/hide/enable rules and the spin box clamp
//   dialog_check page TITLE N     shows page N
//   dialog_check dpi TITLE N      the window moves to a monitor of N DPI
//   dialog_check click TITLE ID   clicks button ID without waiting for what it opens
//   dialog_check boxes TITLE      two requesters cancelled; OK with two failing checks: two
//                                 error boxes in order
// Exit code 0 when every check held; each failure is printed.
#include <windows.h>
// After windows.h:
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "text/language_table.h"

namespace {

int failures = 0;
HWND dialog = nullptr;

void Expect(bool held, const std::string& what) {
  if (held) return;
  std::printf("FAILED: %s\n", what.c_str());
  ++failures;
}

std::wstring Wide(const std::string& text) {
  std::wstring out(text.size() + 1, L'\0');
  out.resize(static_cast<size_t>(
      MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), static_cast<int>(out.size())) -
      1));
  return out;
}

// The top-level window of class `windowClass` (null: any) titled `title`, polled for 30 s.
HWND WaitWindow(const wchar_t* windowClass, const std::wstring& title, HWND other = nullptr) {
  for (int i = 0; i < 300; ++i) {
    HWND found = FindWindowW(windowClass, title.c_str());
    if (found && found != other) return found;
    Sleep(100);
  }
  return nullptr;
}

HWND Control(int id) {
  HWND control = GetDlgItem(dialog, id);
  if (!control) {
    std::printf("FAILED: no control %d\n", id);
    std::exit(1);
  }
  return control;
}

bool Visible(int id) {
  return IsWindowVisible(Control(id)) != FALSE;
}
bool Enabled(int id) {
  return IsWindowEnabled(Control(id)) != FALSE;
}
bool Checked(int id) {
  return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Notify(int id, int code) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Control(id)));
}

void Click(int id) {
  SendMessageW(Control(id), BM_CLICK, 0, 0);
}

void Choose(int id, int item) {
  SendMessageW(Control(id), CB_SETCURSEL, static_cast<WPARAM>(item), 0);
  Notify(id, CBN_SELCHANGE);
}

void Slide(int id, int position) {
  SendMessageW(Control(id), TBM_SETPOS, TRUE, position);
  SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
               reinterpret_cast<LPARAM>(Control(id)));
}

void Type(int id, const std::string& text) {
  const std::wstring wide = Wide(text);
  SendMessageW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  Notify(id, EN_CHANGE);
}

std::string Text(HWND window) {
  wchar_t buffer[512] = {};
  SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer));
  char out[1024] = {};
  WideCharToMultiByte(CP_UTF8, 0, buffer, -1, out, sizeof(out), nullptr, nullptr);
  return out;
}

// Sends `message` to `window` with a pointer to `data` copied into the dialog's process (the
// system copies no pointers between processes for these messages), and copies it back.
template <typename T>
LRESULT SendWithPointer(HWND window, UINT message, WPARAM wParam, T& data) {
  DWORD process = 0;
  GetWindowThreadProcessId(dialog, &process);
  HANDLE target =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
  void* remote =
      target ? VirtualAllocEx(target, nullptr, sizeof(T), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)
             : nullptr;
  if (!remote || !WriteProcessMemory(target, remote, &data, sizeof(T), nullptr)) {
    std::printf("FAILED: could not write into the dialog's process\n");
    std::exit(1);
  }
  const LRESULT result = SendMessageW(window, message, wParam, reinterpret_cast<LPARAM>(remote));
  ReadProcessMemory(target, remote, &data, sizeof(T), nullptr);
  VirtualFreeEx(target, remote, 0, MEM_RELEASE);
  CloseHandle(target);
  return result;
}

// Selects a tab with a click on it.
void ShowPage(int page) {
  HWND tabs = Control(1);
  RECT place{};
  if (!SendWithPointer(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(page), place)) {
    std::printf("FAILED: the place of tab %d could not be read\n", page);
    std::exit(1);
  }
  const LPARAM at = MAKELPARAM((place.left + place.right) / 2, (place.top + place.bottom) / 2);
  SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(tabs, WM_LBUTTONUP, 0, at);
  Expect(SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == page,
         "tab " + std::to_string(page) + " chosen");
}

// The window is told that it moved to a monitor of `dpi`, as the system would: every control is
// made again at that scale and keeps its state.
void ChangeDpi(int dpi) {
  ShowPage(0);
  const std::string flakes = Text(Control(9));
  RECT frame{};
  GetWindowRect(dialog, &frame);
  RECT suggested{frame.left, frame.top, frame.left + MulDiv(frame.right - frame.left, dpi, 96),
                 frame.top + MulDiv(frame.bottom - frame.top, dpi, 96)};
  SendWithPointer(dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), suggested);
  RECT ok{};
  GetWindowRect(Control(116), &ok);
  Expect(ok.right - ok.left == MulDiv(80, dpi, 96),
         "OK is " + std::to_string(ok.right - ok.left) + " pixels wide at " + std::to_string(dpi));
  Expect(Text(Control(9)) == flakes, "Number of Flakes after the DPI change: " + Text(Control(9)));
  Expect(Visible(9) && !Visible(20), "the page shown stays shown after the DPI change");
}

HANDLE Picture(int id) {
  return reinterpret_cast<HANDLE>(SendMessageW(Control(id), STM_GETIMAGE, IMAGE_BITMAP, 0));
}

void CheckRules() {
  ShowPage(0);
  Type(9, "5000");
  Expect(Text(Control(9)) == "2000", "5000 flakes read back as " + Text(Control(9)));
  Type(11, "3");
  Expect(Text(Control(11)) == "10", "transition time 3 read back as " + Text(Control(11)));
  Choose(13, 3);
  Expect(Visible(14) && !Visible(15), "Timer event shows the timer box only");
  Choose(13, 4);
  Expect(!Visible(14) && Visible(15), "Sleep event shows the sleep box only");
  Choose(13, 0);
  Expect(!Visible(14) && !Visible(15), "Mouse move shows neither box");

  ShowPage(1);
  Expect(!Visible(9) && Visible(20), "page Background hides page General");
  Choose(20, 1);
  Expect(Visible(23) && !Visible(26) && !Visible(29) && !Visible(36), "Desktop group only");
  Choose(20, 3);
  Expect(Visible(29) && Visible(33) && Visible(34) && !Visible(23), "Blank Screen group only");
  Slide(29, 0);
  const HANDLE swatch = Picture(34);
  Slide(29, 255);
  Expect(Picture(34) != swatch, "moving Red repaints the swatch");
  Choose(20, 4);
  Expect(Visible(36) && Visible(39) && Visible(40) && !Visible(29), "Custom Images group only");
  Expect(!Enabled(40), "Remove Image is disabled with nothing selected");
  Choose(20, 5);
  Expect(!Visible(21) && !Visible(24) && !Visible(27) && !Visible(35), "Gradient: no group");
  Choose(20, 0);

  ShowPage(2);
  const bool image = Checked(42);
  Click(42);
  Expect(Checked(42) != image && Enabled(43) == !image && Enabled(48) == !image,
         "Display Custom Image enables 43 to 48");
  Click(42);
  Expect(Enabled(43) == image, "unticking disables the image fields again");

  ShowPage(3);
  Slide(57, 1);
  const HANDLE flake = Picture(58);
  Slide(57, 5);
  Expect(Picture(58) != flake, "the slider shows another snowflake");
  Click(59);
  Expect(Checked(59) && !Checked(56) && !Enabled(57) && Enabled(60) && Enabled(61),
         "Custom Snowflake");
  Click(56);
  Expect(Checked(56) && !Checked(59) && Enabled(57) && !Enabled(60), "Original Snowflake");

  ShowPage(5);
  const bool music = Checked(71);
  Click(71);
  Expect(Enabled(72) == !music && Enabled(77) == !music, "Play Music enables 72 to 77");
  Choose(72, 1);
  Expect(Visible(74) && !Visible(73), "Music folder shows the folder field");
  Choose(72, 0);
  Expect(Visible(73) && !Visible(74), "Music file shows the file field");
  Click(71);

  ShowPage(6);
  for (int box : {79, 87}) {
    const bool on = Checked(box);
    Click(box);
    Expect(Enabled(box + 2) == !on && Enabled(box + 6) == !on,
           "check box " + std::to_string(box) + " enables its fields");
    Click(box);
  }
  ShowPage(7);
  const bool calendar = Checked(95);
  Click(95);
  Expect(Enabled(97) == !calendar && Enabled(109) == !calendar, "Display Calendar");
  Click(95);
  Expect(!Visible(102) && !Visible(103) && !Visible(104) && !Visible(105) && Visible(109),
         "controls 102 to 105 stay hidden on the Calendar page");
  ShowPage(0);
  Expect(Visible(9) && !Visible(97), "back on page General");
}

// The error box that follows `previous`, its text, and answered with OK.
std::string AnswerErrorBox(HWND previous) {
  const std::wstring caption = Wide(text::Lookup("Msg", "Error"));
  HWND box = WaitWindow(L"#32770", caption, previous);
  if (!box) return "(no box)";
  const std::string message = Text(GetDlgItem(box, 0xFFFF));
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(100);
  return message;
}

// Button `id` opens the system's requester titled ("Dialog", `key`); it is cancelled.
void CheckRequester(int id, const char* key) {
  PostMessageW(Control(id), BM_CLICK, 0, 0);
  HWND requester = WaitWindow(nullptr, Wide(text::Lookup("Dialog", key)));
  Expect(requester != nullptr, std::string("button ") + std::to_string(id) + " opened no " + key);
  if (!requester) return;
  PostMessageW(requester, WM_COMMAND, IDCANCEL, 0);
  for (int i = 0; i < 100 && IsWindow(requester); ++i) Sleep(100);
  Expect(!IsWindow(requester), std::string(key) + " did not close on Cancel");
}

void CheckTwoBoxes() {
  ShowPage(1);
  Choose(20, 4);  // Custom Images, with an empty list
  CheckRequester(39, "Add Image");
  Expect(SendMessageW(Control(36), LVM_GETITEMCOUNT, 0, 0) == 0, "a cancelled Add Image added");
  ShowPage(5);
  const bool music = Checked(71);
  if (!music) Click(71);
  Choose(72, 1);
  CheckRequester(75, "Open Music Folder");
  Choose(72, 0);
  if (!music) Click(71);
  ShowPage(2);
  if (!Checked(49)) Click(49);
  Type(50, "  ");
  PostMessageW(Control(116), BM_CLICK, 0, 0);  // the boxes are modal: do not wait for them
  const std::string first = AnswerErrorBox(nullptr);
  Expect(first == text::Lookup("Msg", "No custom images"), "first box: " + first);
  const std::string second = AnswerErrorBox(nullptr);
  Expect(second == text::Lookup("Msg", "Invalid foreground text"), "second box: " + second);
  Sleep(1000);
  Expect(IsWindow(dialog) && !FindWindowW(L"#32770", Wide(text::Lookup("Msg", "Error")).c_str()),
         "after two boxes the dialog stays open with no third box");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::puts("usage: dialog_check rules|page|click|boxes TITLE [N]");
    return 2;
  }
  const std::string mode = argv[1];
  dialog = WaitWindow(nullptr, Wide(argv[2]));
  if (!dialog) {
    std::printf("FAILED: no window titled %s\n", argv[2]);
    return 1;
  }
  if (mode == "rules") {
    CheckRules();
  } else if (mode == "page" && argc > 3) {
    ShowPage(std::atoi(argv[3]));
  } else if (mode == "dpi" && argc > 3) {
    ChangeDpi(std::atoi(argv[3]));
  } else if (mode == "click" && argc > 3) {
    PostMessageW(Control(std::atoi(argv[3])), BM_CLICK, 0, 0);
  } else if (mode == "boxes") {
    CheckTwoBoxes();
  } else {
    std::printf("unknown mode %s\n", mode.c_str());
    return 2;
  }
  return failures == 0 ? 0 : 1;
}
