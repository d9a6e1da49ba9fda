// Drives the configuration dialog of a running "flurrix.scr /c" through its real controls, as a
// user's clicks would: the window found by its title, the controls by their names, each
// change followed by the notification the control itself would send, tabs clicked. Run by
// scripts/test.d/40-windows.sh:
//   dialog_check rules TITLE      the show/hide/enable rules and the spin box clamp
//   dialog_check page TITLE N     shows page N
//   dialog_check dpi TITLE N      the window moves to a monitor of N DPI
//   dialog_check click TITLE NAME clicks button NAME (ok, cancel, uninstall-check,
//                                 uninstall-next) without waiting for what it opens
//   dialog_check keys TITLE       Tab goes round in reading order on two pages; the arrow keys
//                                 go between the two option buttons
//   dialog_check boxes TITLE      two requesters cancelled; OK with two failing checks: two
//                                 error boxes in order
//   dialog_check looks TITLE      on every page: fields with their borders, four-character
//                                 numbers seen whole, drop-down items not cut
//   dialog_check unsaved TITLE    OK whose save fails: an error box naming config.ini and the
//                                 system's reason, and the dialog stays open
// Exit code 0 when every check held; each failure is printed.
#include <windows.h>
// After windows.h:
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "dialog/config_layout.h"
#include "dialog/uninstall_view.h"
#include "settings/modes.h"
#include "text/language_table.h"

namespace {

using namespace dialog;  // the controls' and pages' names

int failures = 0;
HWND dialogWindow = nullptr;

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

std::string Narrow(const wchar_t* text) {
  char out[1024] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof(out), nullptr, nullptr);
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

HWND ControlWindow(int id) {
  HWND control = GetDlgItem(dialogWindow, id);
  if (!control) {
    std::printf("FAILED: no control %d\n", id);
    std::exit(1);
  }
  return control;
}

bool Visible(int id) {
  return IsWindowVisible(ControlWindow(id)) != FALSE;
}
bool Enabled(int id) {
  return IsWindowEnabled(ControlWindow(id)) != FALSE;
}
bool Checked(int id) {
  return SendMessageW(ControlWindow(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Notify(int id, int code) {
  SendMessageW(dialogWindow, WM_COMMAND, MAKEWPARAM(id, code),
               reinterpret_cast<LPARAM>(ControlWindow(id)));
}

void Click(int id) {
  SendMessageW(ControlWindow(id), BM_CLICK, 0, 0);
}

void Choose(int id, int item) {
  SendMessageW(ControlWindow(id), CB_SETCURSEL, static_cast<WPARAM>(item), 0);
  Notify(id, CBN_SELCHANGE);
}

void Slide(int id, int position) {
  SendMessageW(ControlWindow(id), TBM_SETPOS, TRUE, position);
  SendMessageW(dialogWindow, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
               reinterpret_cast<LPARAM>(ControlWindow(id)));
}

void Type(int id, const std::string& text) {
  const std::wstring wide = Wide(text);
  SendMessageW(ControlWindow(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  Notify(id, EN_CHANGE);
}

std::string Text(HWND window) {
  wchar_t buffer[512] = {};
  SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer));
  return Narrow(buffer);
}

// Sends `message` to `window` with a pointer to `data` copied into the dialog's process (the
// system copies no pointers between processes for these messages), and copies it back.
template <typename T>
LRESULT SendWithPointer(HWND window, UINT message, WPARAM wParam, T& data) {
  DWORD process = 0;
  GetWindowThreadProcessId(dialogWindow, &process);
  HANDLE target =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
  void* remote =
      target ? VirtualAllocEx(target, nullptr, sizeof(T), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)
             : nullptr;
  if (!remote || !WriteProcessMemory(target, remote, &data, sizeof(T), nullptr)) {
    std::printf("FAILED: could not write into the dialogWindow's process\n");
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
  HWND tabs = ControlWindow(kTabs);
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
  ShowPage(kPageGeneral);
  const std::string flakes = Text(ControlWindow(kFlakes));
  RECT frame{};
  GetWindowRect(dialogWindow, &frame);
  RECT suggested{frame.left, frame.top, frame.left + MulDiv(frame.right - frame.left, dpi, 96),
                 frame.top + MulDiv(frame.bottom - frame.top, dpi, 96)};
  SendWithPointer(dialogWindow, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), suggested);
  RECT ok{};
  GetWindowRect(ControlWindow(kOkButton), &ok);
  Expect(ok.right - ok.left == MulDiv(80, dpi, 96),
         "OK is " + std::to_string(ok.right - ok.left) + " pixels wide at " + std::to_string(dpi));
  Expect(Text(ControlWindow(kFlakes)) == flakes,
         "Number of Flakes after the DPI change: " + Text(ControlWindow(kFlakes)));
  Expect(Visible(kFlakes) && !Visible(kBackground),
         "the page shown stays shown after the DPI change");
}

HANDLE Picture(int id) {
  return reinterpret_cast<HANDLE>(SendMessageW(ControlWindow(id), STM_GETIMAGE, IMAGE_BITMAP, 0));
}

void CheckRules() {
  ShowPage(kPageGeneral);
  Type(kFlakes, "5000");
  Expect(Text(ControlWindow(kFlakes)) == "2000",
         "5000 flakes read back as " + Text(ControlWindow(kFlakes)));
  Type(kPictime, "3");
  Expect(Text(ControlWindow(kPictime)) == "10",
         "transition time 3 read back as " + Text(ControlWindow(kPictime)));
  Choose(kExitOn, settings::kExitOnTimer);
  Expect(Visible(kExitTimer) && !Visible(kExitSleep), "Timer event shows the timer box only");
  Choose(kExitOn, settings::kExitOnSleep);
  Expect(!Visible(kExitTimer) && Visible(kExitSleep), "Sleep event shows the sleep box only");
  Choose(kExitOn, settings::kExitOnMouse);
  Expect(!Visible(kExitTimer) && !Visible(kExitSleep), "Mouse move shows neither box");

  ShowPage(kPageBackground);
  Expect(!Visible(kFlakes) && Visible(kBackground), "page Background hides page General");
  Choose(kBackground, settings::kBackgroundDesktop);
  Expect(
      Visible(kDesktopBlur) && !Visible(kWallpaperBlur) && !Visible(kRed) && !Visible(kImageList),
      "Desktop group only");
  Choose(kBackground, settings::kBackgroundBlank);
  Expect(Visible(kRed) && Visible(kBlue) && Visible(kSwatch) && !Visible(kDesktopBlur),
         "Blank Screen group only");
  Slide(kRed, 0);
  const HANDLE swatch = Picture(kSwatch);
  Slide(kRed, 255);
  Expect(Picture(kSwatch) != swatch, "moving Red repaints the swatch");
  Choose(kBackground, settings::kBackgroundCustom);
  Expect(Visible(kImageList) && Visible(kAddImageButton) && Visible(kRemoveImageButton) &&
             !Visible(kRed),
         "Custom Images group only");
  Expect(!Enabled(kRemoveImageButton), "Remove Image is disabled with nothing selected");
  Choose(kBackground, settings::kBackgroundGradients);
  Expect(!Visible(kDesktopFrame) && !Visible(kWallpaperFrame) && !Visible(kBlankFrame) &&
             !Visible(kCustomFrame),
         "Gradient: no group");
  Choose(kBackground, settings::kBackgroundForest);

  ShowPage(kPageForeground);
  const bool image = Checked(kShowImage);
  Click(kShowImage);
  Expect(
      Checked(kShowImage) != image && Enabled(kImageFile) == !image && Enabled(kImageY) == !image,
      "Display Custom Image enables the image's fields");
  Click(kShowImage);
  Expect(Enabled(kImageFile) == image, "unticking disables the image fields again");

  ShowPage(kPageSnowflakes);
  Slide(kFlakeType, 1);
  const HANDLE flake = Picture(kFlakePicture);
  Slide(kFlakeType, 5);
  Expect(Picture(kFlakePicture) != flake, "the slider shows another snowflake");
  Click(kCustomFlake);
  Expect(Checked(kCustomFlake) && !Checked(kOriginalFlake) && !Enabled(kFlakeType) &&
             Enabled(kFlakeFile) && Enabled(kFlakeBrowse),
         "Custom Snowflake");
  Click(kOriginalFlake);
  Expect(Checked(kOriginalFlake) && !Checked(kCustomFlake) && Enabled(kFlakeType) &&
             !Enabled(kFlakeFile),
         "Original Snowflake");

  ShowPage(kPageSound);
  const bool music = Checked(kPlayMusic);
  Click(kPlayMusic);
  Expect(Enabled(kMusicMode) == !music && Enabled(kVolume) == !music,
         "Play Music enables the music controls");
  Choose(kMusicMode, settings::kMusicFolder);
  Expect(Visible(kMusicFolder) && !Visible(kMusicFile), "Music folder shows the folder field");
  Choose(kMusicMode, settings::kMusicOneFile);
  Expect(Visible(kMusicFile) && !Visible(kMusicFolder), "Music file shows the file field");
  Click(kPlayMusic);

  ShowPage(kPageClock);
  for (auto [box, first, last] : {std::tuple{kShowAnalog, kAnalogX, kAnalogSize},
                                  std::tuple{kShowDigital, kDigitalX, kTimeFormat}}) {
    const bool on = Checked(box);
    Click(box);
    Expect(Enabled(first) == !on && Enabled(last) == !on,
           "check box " + std::to_string(box) + " enables its fields");
    Click(box);
  }
  ShowPage(kPageCalendar);
  const bool calendar = Checked(kShowCalendar);
  Click(kShowCalendar);
  Expect(Enabled(kCalendarX) == !calendar && Enabled(kFirstDay) == !calendar, "Display Calendar");
  Click(kShowCalendar);
  Expect(!Visible(kCalendarBorderLabel) && !Visible(kCalendarBorder) &&
             !Visible(kCalendarFontLabel) && !Visible(kCalendarFont) && Visible(kFirstDay),
         "the hidden Calendar controls stay hidden on their page");
  ShowPage(kPageGeneral);
  Expect(Visible(kFlakes) && !Visible(kCalendarX), "back on page General");
}

// ---- Looks: what the controls show, read from the controls and the screen ----

std::string ClassOf(HWND window) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  return Narrow(name);
}

// The visible child windows of the dialog of class `windowClass` (case ignored).
std::vector<HWND> VisibleOfClass(const char* windowClass) {
  struct Search {
    const char* windowClass;
    std::vector<HWND> found;
  } search{windowClass, {}};
  EnumChildWindows(
      dialogWindow,
      [](HWND child, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        if (IsWindowVisible(child) && lstrcmpiA(ClassOf(child).c_str(), s.windowClass) == 0) {
          s.found.push_back(child);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Whether the single-line field shows its whole text: the first character at the left of its
// text area and the end of the last one inside it.
bool ShowsWhole(HWND field) {
  const auto length = static_cast<int>(Wide(Text(field)).size());
  if (length < 2) return true;
  RECT area{};
  SendMessageW(field, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
  auto left = [field](int index) {
    const LRESULT at = SendMessageW(field, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0);
    return static_cast<int>(static_cast<short>(LOWORD(at)));
  };
  // Past the last character the field answers nothing: the last two characters (digits) are
  // taken to be as wide.
  const int end = 2 * left(length - 1) - left(length - 2);
  return left(0) >= area.left && end <= area.right;
}

// The narrow number fields show four characters whole: their own numbers and "8888".
void CheckNumbersFit() {
  const std::pair<int, std::vector<int>> pages[] = {
      {kPageForeground, {kImageX, kImageY, kTextX, kTextY}},
      {kPageClock, {kAnalogX, kAnalogY, kDigitalX, kDigitalY}},
      {kPageCalendar, {kCalendarX, kCalendarY}}};
  for (const auto& [page, fields] : pages) {
    ShowPage(page);
    for (int id : fields) {
      const std::string own = Text(ControlWindow(id));
      for (const std::string& number : {own, std::string("8888")}) {
        Type(id, number);
        Expect(ShowsWhole(ControlWindow(id)),
               "field " + std::to_string(id) + " cuts \"" + number + "\"");
      }
      Type(id, own);
    }
  }
}

// Every item of the visible drop-down lists is seen whole in its closed list: chosen in turn
// and photographed, no text reaches the columns next to the arrow button.
void CheckListsFit() {
  HDC screen = GetDC(nullptr);
  for (HWND combo : VisibleOfClass("ComboBox")) {
    RECT client{};
    GetClientRect(combo, &client);
    POINT corner{0, 0};
    ClientToScreen(combo, &corner);
    // The text area ends at the arrow button, inside the list's border.
    const int right = corner.x + client.right - GetSystemMetrics(SM_CXVSCROLL) - 2;
    const int top = corner.y + 3, bottom = corner.y + client.bottom - 3;
    const auto chosen = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    const auto count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
      UpdateWindow(combo);
      Sleep(100);
      const COLORREF ground = GetPixel(screen, right - 1, top);
      bool clear = true;
      for (int x = right - 3; x < right; ++x) {
        for (int y = top; y < bottom; ++y) clear = clear && GetPixel(screen, x, y) == ground;
      }
      Expect(clear, "item " + std::to_string(i) + " of list " +
                        std::to_string(GetDlgCtrlID(combo)) + " is cut at its right edge");
    }
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
  }
  ReleaseDC(nullptr, screen);
}

// The fields of the page shown have their borders drawn: a field's top edge is not the colour
// of the page just above it.
void CheckBorders(int page) {
  ShowPage(page);
  Sleep(500);  // the dialog paints in its own time
  HDC screen = GetDC(nullptr);
  for (HWND field : VisibleOfClass("Edit")) {
    RECT place{};
    GetWindowRect(field, &place);
    const int x = (place.left + place.right) / 2;
    Expect(GetPixel(screen, x, place.top) != GetPixel(screen, x, place.top - 2),
           "field " + std::to_string(GetDlgCtrlID(field)) + " on page " + std::to_string(page) +
               " is drawn without its border");
  }
  ReleaseDC(nullptr, screen);
}

void CheckLooks() {
  CheckNumbersFit();
  for (int page = 0; page < kPageCount; ++page) {
    CheckBorders(page);
    CheckListsFit();
  }
  ShowPage(kPageGeneral);
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
  PostMessageW(ControlWindow(id), BM_CLICK, 0, 0);
  HWND requester = WaitWindow(nullptr, Wide(text::Lookup("Dialog", key)));
  Expect(requester != nullptr, std::string("button ") + std::to_string(id) + " opened no " + key);
  if (!requester) return;
  PostMessageW(requester, WM_COMMAND, IDCANCEL, 0);
  for (int i = 0; i < 100 && IsWindow(requester); ++i) Sleep(100);
  Expect(!IsWindow(requester), std::string(key) + " did not close on Cancel");
}

void CheckTwoBoxes() {
  ShowPage(kPageBackground);
  Choose(kBackground, settings::kBackgroundCustom);  // Custom Images, with an empty list
  CheckRequester(kAddImageButton, "Add Image");
  Expect(SendMessageW(ControlWindow(kImageList), LVM_GETITEMCOUNT, 0, 0) == 0,
         "a cancelled Add Image added");
  ShowPage(kPageSound);
  const bool music = Checked(kPlayMusic);
  if (!music) Click(kPlayMusic);
  Choose(kMusicMode, settings::kMusicFolder);
  CheckRequester(kMusicBrowse, "Open Music Folder");
  Choose(kMusicMode, settings::kMusicOneFile);
  if (!music) Click(kPlayMusic);
  ShowPage(kPageForeground);
  if (!Checked(kShowText)) Click(kShowText);
  Type(kCustomText, "  ");
  PostMessageW(ControlWindow(kOkButton), BM_CLICK, 0,
               0);  // the boxes are modal: do not wait for them
  const std::string first = AnswerErrorBox(nullptr);
  Expect(first == text::Lookup("Msg", "No custom images"), "first box: " + first);
  const std::string second = AnswerErrorBox(nullptr);
  Expect(second == text::Lookup("Msg", "Invalid foreground text"), "second box: " + second);
  Sleep(1000);
  Expect(
      IsWindow(dialogWindow) && !FindWindowW(L"#32770", Wide(text::Lookup("Msg", "Error")).c_str()),
      "after two boxes the dialogWindow stays open with no third box");
}

// ---- Keys: Tab and the arrow keys pressed as a user does, the focus read after each ----

// The number of the control that holds the dialog's keyboard focus; 0 for none.
int Focused() {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialogWindow, nullptr), &info)) return 0;
  return info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0;
}

// Presses and lets go of `key` in the dialog; the control then focused (after up to 3 s for
// the focus to move).
int Press(WORD key) {
  const int before = Focused();
  SetForegroundWindow(dialogWindow);
  INPUT presses[2] = {};
  presses[0].type = INPUT_KEYBOARD;
  presses[0].ki.wVk = key;
  presses[1] = presses[0];
  presses[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, presses, sizeof(INPUT));
  for (int i = 0; i < 30 && Focused() == before; ++i) Sleep(100);
  return Focused();
}

std::string Numbers(const std::vector<int>& ids) {
  std::string text;
  for (int id : ids) text += (text.empty() ? "" : " ") + std::to_string(id);
  return text;
}

// From the tab strip, Tab goes through `page`'s controls and back to the tab strip.
void CheckTabOrder(const char* what, const std::vector<int>& page) {
  for (int i = 0; i < 60 && Focused() != kTabs; ++i) Press(VK_TAB);
  std::vector<int> expected = {kTabs};
  expected.insert(expected.end(), page.begin(), page.end());
  for (int id :
       {kHomePageButton, kFeedbackButton, kUpdateButton, kOkButton, kCancelButton, kTabs}) {
    expected.push_back(id);
  }
  std::vector<int> seen = {Focused()};
  while (seen.size() < expected.size()) seen.push_back(Press(VK_TAB));
  Expect(seen == expected,
         std::string("Tab order ") + what + ": " + Numbers(seen) + ", not " + Numbers(expected));
}

void CheckKeys() {
  ShowPage(kPageSnowflakes);
  const bool custom = Checked(kCustomFlake);
  Click(kOriginalFlake);
  // One Tab stop for the pair, the chosen button; the other's controls are disabled.
  CheckTabOrder("on Snowflakes", {kOriginalFlake, kFlakeType, kFlakeSize, kFlakeRotate});
  for (int i = 0; i < 20 && Focused() != kOriginalFlake; ++i) Press(VK_TAB);
  // The pair is a group of its own: the arrows go round it and leave it for no other control.
  Expect(Press(VK_DOWN) == kCustomFlake, "Down from Original Snowflake goes to Custom Snowflake");
  Expect(Press(VK_DOWN) == kOriginalFlake, "Down from Custom Snowflake goes to Original Snowflake");
  Expect(Press(VK_UP) == kCustomFlake, "Up from Original Snowflake goes to Custom Snowflake");
  Click(kCustomFlake);
  CheckTabOrder("on Snowflakes with a custom one",
                {kCustomFlake, kFlakeFile, kFlakeBrowse, kFlakeSize, kFlakeRotate});
  Click(custom ? kCustomFlake : kOriginalFlake);

  ShowPage(kPageForeground);
  const bool image = Checked(kShowImage), text = Checked(kShowText);
  if (!image) Click(kShowImage);
  if (!text) Click(kShowText);
  CheckTabOrder("on Foreground", {kShowImage, kImageFile, kImageBrowse, kImageX, kImageY, kShowText,
                                  kCustomText, kTextX, kTextY});
  if (!image) Click(kShowImage);
  if (!text) Click(kShowText);
  ShowPage(kPageGeneral);
}

// OK while config.ini cannot be written (the script sees to that).
void CheckUnsaved() {
  PostMessageW(ControlWindow(kOkButton), BM_CLICK, 0, 0);
  const std::string box = AnswerErrorBox(nullptr);
  std::printf("the box said: %s\n", box.c_str());
  const size_t gap = box.find("\n\n");
  Expect(gap != std::string::npos && box.substr(0, gap).size() > 10 &&
             box.substr(gap - 10, 10) == "config.ini" && box.size() > gap + 2,
         "the box names config.ini and a reason: " + box);
  Sleep(1000);
  Expect(IsWindow(dialogWindow) != FALSE, "the dialog stays open after a failed save");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::puts("usage: dialog_check rules|page|dpi|click|keys|boxes|looks|unsaved TITLE [N|NAME]");
    return 2;
  }
  const std::string mode = argv[1];
  dialogWindow = WaitWindow(nullptr, Wide(argv[2]));
  if (!dialogWindow) {
    std::printf("FAILED: no window titled %s\n", argv[2]);
    return 1;
  }
  // The window is found as soon as it exists; its controls come after, then it is shown.
  for (int i = 0;
       i < 300 && !(GetDlgItem(dialogWindow, kOkButton) && IsWindowVisible(dialogWindow)); ++i) {
    Sleep(100);
  }
  if (mode == "rules") {
    CheckRules();
  } else if (mode == "page" && argc > 3) {
    ShowPage(std::atoi(argv[3]));
  } else if (mode == "dpi" && argc > 3) {
    ChangeDpi(std::atoi(argv[3]));
  } else if (mode == "click" && argc > 3) {
    const std::pair<std::string, int> buttons[] = {{"ok", kOkButton},
                                                   {"cancel", kCancelButton},
                                                   {"uninstall-check", kUninstallCheck},
                                                   {"uninstall-next", kUninstallNext}};
    const auto* button = std::find_if(std::begin(buttons), std::end(buttons),
                                      [&](const auto& b) { return b.first == argv[3]; });
    if (button == std::end(buttons)) {
      std::printf("no button named %s\n", argv[3]);
      return 2;
    }
    PostMessageW(ControlWindow(button->second), BM_CLICK, 0, 0);
  } else if (mode == "keys") {
    CheckKeys();
  } else if (mode == "boxes") {
    CheckTwoBoxes();
  } else if (mode == "looks") {
    CheckLooks();
  } else if (mode == "unsaved") {
    CheckUnsaved();
  } else {
    std::printf("unknown mode %s\n", mode.c_str());
    return 2;
  }
  return failures == 0 ? 0 : 1;
}
