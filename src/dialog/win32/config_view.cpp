// The configuration dialog as native Win32 controls: every control of the layout table created
// at its place, scaled to the monitor's DPI, with its number as the window's id; the pages of
// the tab control share the area below the tabs and are shown one at a time. Events go to the
// model, then every control mirrors the model's state again. No rule lives here.
#include <windows.h>
// After windows.h:
#include <commctrl.h>
#include <shobjidl.h>
#include <uxtheme.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "dialog/config_layout.h"
#include "dialog/config_view.h"
#include "dialog/win32/native.h"
#include "platform/platform.h"
#include "platform/win32/wide.h"
#include "text/language_table.h"

namespace dialog {
namespace {

using platform::Narrow;
using platform::Widen;

constexpr wchar_t kClassName[] = L"FlurrixConfigDialog";
constexpr int kUpDownIds = 1000;      // an up-down control's id: its spin box's id plus this
constexpr int kDropDownHeight = 200;  // the open list of a drop-down list
constexpr int kIconSize = 16;
constexpr int kImageListColumn = 200;
constexpr int kNarrowField = 50;  // layout pixels: number fields narrower than this are fitted
constexpr int kSmallestFont = 6;  // pixels: a fitted font is never smaller

std::string WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return Narrow(text);
}

// One control: its window, the up-down arrows of a spin box, and what it shows now.
struct NativeControl {
  const ControlDef* def = nullptr;
  HWND window = nullptr;
  HWND arrows = nullptr;
  HBITMAP bitmap = nullptr;
  HICON icon = nullptr;
  int32_t shownPicture = -1;
  uint32_t shownSerial = 0;
  std::vector<std::string> shownItems;
};

class ConfigWindow {
 public:
  ConfigWindow(ConfigModel& model, const ConfigWindowOptions& options) : model_(model) {
    Build(options);
  }
  ~ConfigWindow() {
    DestroyControls();
    if (window_) DestroyWindow(window_);
  }
  ConfigWindow(const ConfigWindow&) = delete;
  ConfigWindow& operator=(const ConfigWindow&) = delete;

  bool Created() const { return window_ != nullptr; }

  // Shows the window and handles its events until the model is closed.
  void Run() {
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
    SetFocus(controls_.at(kOkButton).window);
    MSG msg;
    while (!model_.Closed() && GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (SwitchPageKey(msg)) continue;
      if (!IsDialogMessageW(window_, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    ShowWindow(window_, SW_HIDE);
  }

 private:
  void Build(const ConfigWindowOptions& options) {
    win32::RegisterViewClass(kClassName, Proc);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    window_ = CreateWindowExW(
        WS_EX_CONTROLPARENT, kClassName, Widen(options.title).c_str(),
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, 0,
        0, reinterpret_cast<HWND>(static_cast<intptr_t>(options.owner)), nullptr, instance, this);
    if (!window_) return;
    scale_ = std::make_unique<win32::Scale>(window_);
    win32::CentreWithClientSize(window_, S(options.width), S(options.height));
    CreateControls();
  }

  void CreateControls() {
    font_ = win32::CreateMessageFont(scale_->Dpi());
    for (const ControlDef& def : DialogControls()) {
      if (def.kind == ControlKind::kTabPanel) {
        MakeTabs(def);
      } else {
        Make(def);
      }
    }
    win32::SetFontOnTree(window_, font_);
    FitNarrowControls();
    Stack();
    AddTooltips();
    SendMessageW(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(page_), 0);
    Sync();
  }

  // The controls' order among themselves, which Tab and the arrow keys follow: the pages'
  // controls as the layout lists them (as they read), then the window's own, then the pages'
  // frames, the tab control lowest. Frames and tabs are drawn first and clipped by what lies on
  // them, so a frame that repaints (as when another page's controls hide) never paints over the
  // fields inside it; Tab goes round, so it still reaches the tab strip between Cancel and the
  // page. The option buttons of a page lie together in a group of their own: the arrow keys go
  // from one to the other, and Tab stops at the one that is on.
  void Stack() {
    enum Rank { kOnPage, kOnWindow, kFrames };
    struct Place {
      Rank rank;
      size_t anchor;  // its place in the layout; an option button's, its page's first one's
      size_t index;   // its own place in the layout
      const NativeControl* control;
    };
    const std::vector<ControlDef>& defs = DialogControls();
    std::vector<Place> places;
    std::map<int32_t, size_t> firstOption;  // by page
    for (size_t i = 0; i < defs.size(); ++i) {
      const ControlDef& def = defs[i];
      if (def.kind == ControlKind::kTabPanel) continue;
      const size_t anchor = def.kind == ControlKind::kOptionButton
                                ? firstOption.emplace(def.page, i).first->second
                                : i;
      const Rank rank = def.kind == ControlKind::kFrame ? kFrames
                        : def.page == kNoPage           ? kOnWindow
                                                        : kOnPage;
      places.push_back({rank, anchor, i, &controls_.at(def.id)});
    }
    std::sort(places.begin(), places.end(), [](const Place& a, const Place& b) {
      return std::tie(a.rank, a.anchor, a.index) < std::tie(b.rank, b.anchor, b.index);
    });
    int32_t runPage = kNoPage;  // the page whose option buttons the last control was one of
    for (const Place& place : places) {
      const ControlDef& def = *place.control->def;
      const int32_t run = def.kind == ControlKind::kOptionButton ? def.page : kNoPage;
      // The first option button of a run starts its group; the control after the run the next.
      if (run != runPage) AddStyle(place.control->window, WS_GROUP);
      runPage = run;
      for (HWND part : {place.control->window, place.control->arrows}) {
        if (part) SendToBack(part);
      }
    }
    SendToBack(tabs_);
  }
  static void SendToBack(HWND window) {
    SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  static void AddStyle(HWND window, LONG_PTR style) {
    SetWindowLongPtrW(window, GWL_STYLE, GetWindowLongPtrW(window, GWL_STYLE) | style);
  }

  // Narrow number fields and drop-down lists: thin margins for the fields, and a smaller font
  // where the dialog's cannot show a four-digit number ("-300") or the widest item whole.
  void FitNarrowControls() {
    for (auto& [id, c] : controls_) {
      const ControlKind kind = c.def->kind;
      RECT client{};
      GetClientRect(c.window, &client);
      if ((kind == ControlKind::kTextField || kind == ControlKind::kDigitsField) &&
          c.def->box.width < kNarrowField) {
        const int margin = S(1);
        // The field keeps a pixel of its own inside each margin.
        FitFont(c.window, {L"8888"}, client.right - 2 * (margin + 1));
        // After the font, which sets the margins from its own measures.
        SendMessageW(c.window, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                     MAKELONG(margin, margin));
      } else if (kind == ControlKind::kDropDown) {
        std::vector<std::wstring> items;
        for (const std::string& item : model_.State(c.def->id).items) items.push_back(Widen(item));
        // The text sits beside the arrow button, inside a border and a little space.
        FitFont(c.window, items, client.right - S(GetSystemMetrics(SM_CXVSCROLL)) - S(6));
      }
    }
  }

  // Gives `control` the largest font up to the dialog's in which each of `texts` takes at most
  // `width` pixels. The smaller fonts are made once per height and live with the controls.
  void FitFont(HWND control, const std::vector<std::wstring>& texts, int width) {
    LOGFONTW face{};
    if (texts.empty() || !GetObjectW(font_, sizeof(face), &face)) return;
    HDC dc = GetDC(control);
    auto fits = [&](HFONT font) {
      HGDIOBJ old = SelectObject(dc, font);
      bool all = true;
      for (const std::wstring& text : texts) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        all = all && size.cx <= width;
      }
      SelectObject(dc, old);
      return all;
    };
    const int sign = face.lfHeight < 0 ? -1 : 1;
    HFONT chosen = font_;
    for (int height = std::abs(face.lfHeight); !fits(chosen) && height > kSmallestFont;) {
      --height;
      HFONT& sized = sizedFonts_[height];
      if (!sized) {
        LOGFONTW smaller = face;
        smaller.lfHeight = sign * height;
        smaller.lfWidth = 0;
        sized = CreateFontIndirectW(&smaller);
      }
      if (sized) chosen = sized;
    }
    ReleaseDC(control, dc);
    if (chosen != font_) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(chosen), FALSE);
  }

  void DestroyControls() {
    syncing_ = true;  // the controls' last notifications reach no model
    for (auto& [id, c] : controls_) {
      for (HWND part : {c.window, c.arrows}) {
        if (part) DestroyWindow(part);
      }
      if (c.bitmap) DeleteObject(c.bitmap);
      if (c.icon) DestroyIcon(c.icon);
    }
    for (HWND* window : {&tabs_, &tips_}) {
      if (*window) DestroyWindow(std::exchange(*window, nullptr));
    }
    controls_.clear();
    pageOf_.clear();
    for (HGDIOBJ* object :
         {reinterpret_cast<HGDIOBJ*>(&font_), reinterpret_cast<HGDIOBJ*>(&pageBrush_)}) {
      if (*object) DeleteObject(std::exchange(*object, nullptr));
    }
    for (auto& [height, font] : sizedFonts_) {
      if (font) DeleteObject(font);
    }
    sizedFonts_.clear();
    syncing_ = false;
  }

  // The window moved to a monitor of another DPI: the system's suggested place and size, and
  // every control made again at the new scale.
  void ChangeDpi(int dpi, const RECT& suggested) {
    scale_ = std::make_unique<win32::Scale>(dpi);
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    const bool hadFocus = IsChild(window_, GetFocus());
    DestroyControls();
    CreateControls();
    if (hadFocus) SetFocus(controls_.at(kOkButton).window);
  }

  int S(int pixels) const { return (*scale_)(pixels); }

  HWND Child(const wchar_t* windowClass, const std::wstring& text, DWORD style, DWORD exStyle,
             int x, int y, int w, int h, int id) {
    return CreateWindowExW(exStyle, windowClass, text.c_str(), WS_CHILD | style, x, y, w, h,
                           window_, reinterpret_cast<HMENU>(static_cast<intptr_t>(id)),
                           GetModuleHandleW(nullptr), nullptr);
  }

  void MakeTabs(const ControlDef& def) {
    tabs_ = Child(WC_TABCONTROLW, L"", WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | TCS_MULTILINE, 0,
                  S(def.box.x), S(def.box.y), S(def.box.width), S(def.box.height), def.id);
    SendMessageW(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    for (int32_t page = 0; page < kPageCount; ++page) {
      std::wstring title = Widen(text::Lookup("General", PageTitles()[page]));
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = title.data();
      SendMessageW(tabs_, TCM_INSERTITEMW, page, reinterpret_cast<LPARAM>(&item));
    }
    RECT area{0, 0, S(def.box.width), S(def.box.height)};
    SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    pageX_ = S(def.box.x) + area.left;
    pageY_ = S(def.box.y) + area.top;
  }

  void Make(const ControlDef& def) {
    const ControlState& state = model_.State(def.id);
    const bool onPage = def.page != kNoPage;
    const int x = S(def.box.x) + (onPage ? pageX_ : 0);
    const int y = S(def.box.y) + (onPage ? pageY_ : 0);
    const int w = S(def.box.width), h = S(def.box.height);
    const std::wstring label = Widen(state.text);
    NativeControl c;
    c.def = &def;
    switch (def.kind) {
      case ControlKind::kPicture:
        c.window = Child(L"STATIC", L"", SS_BITMAP, 0, x, y, w, h, def.id);
        break;
      case ControlKind::kIconButton:
        c.window =
            Child(L"BUTTON", L"", WS_TABSTOP | BS_PUSHBUTTON | BS_ICON, 0, x, y, w, h, def.id);
        c.icon = win32::CreatePictureIcon(def.picture, S(kIconSize));
        SendMessageW(c.window, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(c.icon));
        break;
      case ControlKind::kPushButton:
        c.window = Child(L"BUTTON", label,
                         WS_TABSTOP | (def.id == kOkButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0,
                         x, y, w, h, def.id);
        break;
      case ControlKind::kFrame:
        c.window = Child(L"BUTTON", label, BS_GROUPBOX | WS_CLIPSIBLINGS, 0, x, y, w, h, def.id);
        SetWindowSubclass(c.window, FrameProc, 0, reinterpret_cast<DWORD_PTR>(this));
        break;
      case ControlKind::kText:
        c.window = Child(L"STATIC", label, SS_LEFT | SS_NOPREFIX, 0, x, y, w, h, def.id);
        break;
      case ControlKind::kDropDown:
        c.window = Child(WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, x, y, w,
                         h + S(kDropDownHeight), def.id);
        break;
      case ControlKind::kSpinBox:
        c.window = Child(L"EDIT", L"", WS_TABSTOP | ES_RIGHT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, x,
                         y, w, h, def.id);
        c.arrows =
            Child(UPDOWN_CLASSW, L"",
                  UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS | UDS_HOTTRACK,
                  0, 0, 0, 0, 0, def.id + kUpDownIds);
        SendMessageW(c.arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(c.window), 0);
        SendMessageW(c.arrows, UDM_SETRANGE32, def.min, def.max);
        break;
      case ControlKind::kSlider:
      case ControlKind::kTickSlider:
        c.window = Child(
            TRACKBAR_CLASSW, L"",
            WS_TABSTOP | TBS_HORZ |
                (def.kind == ControlKind::kTickSlider ? TBS_AUTOTICKS | TBS_BOTTOM : TBS_NOTICKS),
            0, x, y, w, h, def.id);
        SendMessageW(c.window, TBM_SETRANGEMIN, FALSE, def.min);
        SendMessageW(c.window, TBM_SETRANGEMAX, TRUE, def.max);
        break;
      case ControlKind::kCheckBox:
        c.window = Child(L"BUTTON", label, WS_TABSTOP | BS_AUTOCHECKBOX, 0, x, y, w, h, def.id);
        break;
      case ControlKind::kOptionButton:
        // The model turns the other button off, so the buttons do not do it themselves.
        c.window = Child(L"BUTTON", label, WS_TABSTOP | BS_RADIOBUTTON, 0, x, y, w, h, def.id);
        break;
      case ControlKind::kTextField:
      case ControlKind::kDigitsField:
        c.window = Child(
            L"EDIT", L"",
            WS_TABSTOP | ES_AUTOHSCROLL | (def.kind == ControlKind::kDigitsField ? ES_NUMBER : 0),
            WS_EX_CLIENTEDGE, x, y, w, h, def.id);
        break;
      case ControlKind::kList: {
        c.window =
            Child(WC_LISTVIEWW, L"", WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                  WS_EX_CLIENTEDGE, x, y, w, h, def.id);
        SendMessageW(c.window, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                     LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
        SetWindowTheme(c.window, L"Explorer", nullptr);
        std::wstring title = label;
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = S(kImageListColumn);
        column.pszText = title.data();
        SendMessageW(c.window, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        break;
      }
      case ControlKind::kTabPanel:
        return;
    }
    controls_[def.id] = c;
    if (c.window) pageOf_[c.window] = def.page;
  }

  void AddTooltips() {
    tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    for (const auto& [id, c] : controls_) {
      if (c.def->tooltip.empty()) continue;
      std::wstring tip = Widen(text::Lookup("General", c.def->tooltip));
      TTTOOLINFOW info{};
      info.cbSize = sizeof(info);
      info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      info.hwnd = window_;
      info.uId = reinterpret_cast<UINT_PTR>(c.window);
      info.lpszText = tip.data();
      SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
  }

  // Ctrl+Tab and Ctrl+Page Down go to the next page, with Shift or Page Up to the one before,
  // as in the system's tabbed dialogs.
  bool SwitchPageKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || GetKeyState(VK_CONTROL) >= 0) return false;
    int step = 0;
    if (msg.wParam == VK_TAB) step = GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
    if (msg.wParam == VK_NEXT) step = 1;
    if (msg.wParam == VK_PRIOR) step = -1;
    if (step == 0) return false;
    const int page = (page_ + step + kPageCount) % kPageCount;
    SendMessageW(tabs_, TCM_SETCURSEL, page, 0);
    ShowPage(page);
    return true;
  }

  void ShowPage(int page) {
    page_ = page;
    Sync();
  }

  // A frame lies below the controls inside it and above the tab control, which leaves the
  // frame's area to it: the frame paints the page there before its lines.
  static LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR view) {
    if (message == WM_ERASEBKGND) {
      const auto dc = reinterpret_cast<HDC>(wParam);
      if (HBRUSH page = reinterpret_cast<ConfigWindow*>(view)->PageBackground(frame, dc)) {
        RECT client{};
        GetClientRect(frame, &client);
        FillRect(dc, &client, page);
        return 1;
      }
    }
    return DefSubclassProc(frame, message, wParam, lParam);
  }

  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ConfigWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || !self->window_) return DefWindowProcW(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
  }

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_COMMAND:
        if (!syncing_) OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
      case WM_NOTIFY:
        if (!syncing_) OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        return 0;
      case WM_HSCROLL:
        if (!syncing_ && lParam) {
          auto* slider = reinterpret_cast<HWND>(lParam);
          const auto found = controls_.find(GetDlgCtrlID(slider));
          if (found == controls_.end()) return 0;
          Report([&] {
            model_.Choose(found->second.def->id,
                          static_cast<int32_t>(SendMessageW(slider, TBM_GETPOS, 0, 0)));
          });
        }
        return 0;
      case WM_CTLCOLORSTATIC:
      case WM_CTLCOLORBTN:
        if (HBRUSH brush =
                PageBackground(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam))) {
          return reinterpret_cast<LRESULT>(brush);
        }
        break;
      case WM_DPICHANGED:
        ChangeDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
      case DM_GETDEFID:
        return MAKELRESULT(kOkButton, DC_HASDEFID);
      case WM_CLOSE:
        model_.Close();
        return 0;
      default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
  }

  // Hands one action to the model, then shows what it changed.
  template <typename Action>
  void Report(Action action) {
    action();
    Sync();
  }

  void OnCommand(int number, int code) {
    // Return and Escape come as the system's OK and Cancel.
    if (number == IDOK || number == IDCANCEL) {
      Report([&] { model_.Press(number == IDOK ? kOkButton : kCancelButton); });
      return;
    }
    const auto found = controls_.find(number);
    if (found == controls_.end()) return;
    const Control id = found->second.def->id;
    HWND control = found->second.window;
    switch (found->second.def->kind) {
      case ControlKind::kIconButton:
      case ControlKind::kPushButton:
        if (code == BN_CLICKED) Report([&] { model_.Press(id); });
        break;
      case ControlKind::kCheckBox:
        if (code == BN_CLICKED) {
          Report(
              [&] { model_.Choose(id, SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED); });
        }
        break;
      case ControlKind::kOptionButton:
        if (code == BN_CLICKED) Report([&] { model_.Choose(id, 1); });
        break;
      case ControlKind::kDropDown:
        if (code == CBN_SELCHANGE) {
          Report([&] {
            model_.Choose(id, static_cast<int32_t>(SendMessageW(control, CB_GETCURSEL, 0, 0)));
          });
        }
        break;
      case ControlKind::kSpinBox:
      case ControlKind::kTextField:
      case ControlKind::kDigitsField:
        if (code == EN_CHANGE) Report([&] { model_.Type(id, WindowText(control)); });
        if (code == EN_KILLFOCUS) Sync();  // a spin box shows its clamped number again
        break;
      default:
        break;
    }
  }

  void OnNotify(const NMHDR& note) {
    if (note.hwndFrom == tabs_ && note.code == TCN_SELCHANGE) {
      ShowPage(static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)));
      return;
    }
    const auto found = controls_.find(static_cast<int32_t>(note.idFrom));
    if (found == controls_.end() || found->second.def->kind != ControlKind::kList) return;
    const Control id = found->second.def->id;
    HWND list = found->second.window;
    auto selected = [list] {
      return static_cast<int32_t>(SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
    };
    if (note.code == NM_DBLCLK) {
      Report([&] { model_.DoubleClick(id); });
    } else if (note.code == NM_CLICK) {
      Report([&] { model_.Choose(id, selected()); });
    } else if (note.code == LVN_ITEMCHANGED) {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(note);
      if ((change.uChanged & LVIF_STATE) &&
          ((change.uOldState ^ change.uNewState) & LVIS_SELECTED)) {
        Report([&] { model_.Choose(id, selected()); });
      }
    }
  }

  // The tab control's own page background behind the pages' texts, boxes and sliders, so that
  // they sit on the page as in the system's dialogs. Null for other controls.
  HBRUSH PageBackground(HWND control, HDC dc) {
    const auto page = pageOf_.find(control);
    if (page == pageOf_.end() || page->second == kNoPage || !tabs_) return nullptr;
    wchar_t kind[16] = {};
    GetClassNameW(control, kind, 16);
    if (lstrcmpiW(kind, L"Edit") == 0) return nullptr;  // read-only and disabled fields
    if (!pageBrush_) pageBrush_ = PaintPageBrush();
    POINT origin{0, 0};
    MapWindowPoints(control, tabs_, &origin, 1);
    SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
    SetBkMode(dc, TRANSPARENT);
    return pageBrush_;
  }

  HBRUSH PaintPageBrush() {
    RECT client{};
    GetClientRect(tabs_, &client);
    HDC screen = GetDC(window_);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, client.right, client.bottom);
    ReleaseDC(window_, screen);
    HGDIOBJ old = SelectObject(dc, picture);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    SendMessageW(tabs_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    SelectObject(dc, old);
    DeleteDC(dc);
    HBRUSH brush = CreatePatternBrush(picture);
    DeleteObject(picture);
    return brush;
  }

  // Mirrors every control's state into its window.
  void Sync() {
    syncing_ = true;
    for (auto& [id, c] : controls_) SyncControl(c);
    syncing_ = false;
  }

  void SetPicture(NativeControl& c, HBITMAP bitmap) {
    if (!bitmap) return;  // a picture that cannot be drawn leaves the one shown
    SendMessageW(c.window, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    if (c.bitmap) DeleteObject(c.bitmap);
    c.bitmap = bitmap;
  }

  void SyncControl(NativeControl& c) {
    const ControlDef& def = *c.def;
    const ControlState& state = model_.State(def.id);
    HWND w = c.window;
    switch (def.kind) {
      case ControlKind::kPicture: {
        const uint32_t serial = def.id == kPreview ? model_.PictureSerial() : 0;
        if (c.bitmap && state.value == c.shownPicture && serial == c.shownSerial) break;
        const int width = S(def.box.width), height = S(def.box.height);
        SetPicture(c, def.id == kSwatch ? win32::CreateColourBitmap(
                                              static_cast<uint32_t>(state.value), width, height)
                                        : win32::CreatePictureBitmap(state.value, width, height));
        c.shownPicture = state.value;
        c.shownSerial = serial;
        break;
      }
      case ControlKind::kDropDown:
        if (c.shownItems != state.items) {
          SendMessageW(w, CB_RESETCONTENT, 0, 0);
          for (const std::string& item : state.items) {
            SendMessageW(w, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
          }
          c.shownItems = state.items;
        }
        if (SendMessageW(w, CB_GETCURSEL, 0, 0) != state.value) {
          SendMessageW(w, CB_SETCURSEL, static_cast<WPARAM>(state.value), 0);
        }
        break;
      case ControlKind::kSpinBox:
        // The field being typed into keeps the user's digits until the focus leaves it.
        if (GetFocus() != w && WindowText(w) != state.text)
          SetWindowTextW(w, Widen(state.text).c_str());
        break;
      case ControlKind::kTextField:
      case ControlKind::kDigitsField:
        if (WindowText(w) != state.text) SetWindowTextW(w, Widen(state.text).c_str());
        break;
      case ControlKind::kSlider:
      case ControlKind::kTickSlider:
        if (SendMessageW(w, TBM_GETPOS, 0, 0) != state.value)
          SendMessageW(w, TBM_SETPOS, TRUE, state.value);
        break;
      case ControlKind::kCheckBox:
      case ControlKind::kOptionButton:
        SendMessageW(w, BM_SETCHECK, state.value ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
      case ControlKind::kList:
        SyncList(c, state);
        break;
      default:
        break;
    }
    const bool visible = state.visible && (def.page == kNoPage || def.page == page_);
    for (HWND part : {c.window, c.arrows}) {
      if (!part) continue;
      if ((IsWindowVisible(part) != FALSE) != visible)
        ShowWindow(part, visible ? SW_SHOWNA : SW_HIDE);
      if ((IsWindowEnabled(part) != FALSE) != state.enabled) EnableWindow(part, state.enabled);
    }
  }

  void SyncList(NativeControl& c, const ControlState& state) {
    HWND list = c.window;
    if (c.shownItems != state.items) {
      SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
      for (size_t i = 0; i < state.items.size(); ++i) {
        std::wstring name = Widen(state.items[i]);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = name.data();
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
      }
      c.shownItems = state.items;
    }
    if (SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED) == state.value) return;
    LVITEMW clear{};
    clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
    if (state.value < 0) return;
    LVITEMW chosen = clear;
    chosen.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(state.value),
                 reinterpret_cast<LPARAM>(&chosen));
    SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(state.value), FALSE);
  }

  ConfigModel& model_;
  HWND window_ = nullptr;
  HWND tabs_ = nullptr;
  HWND tips_ = nullptr;
  std::unique_ptr<win32::Scale> scale_;
  HFONT font_ = nullptr;
  std::map<int, HFONT> sizedFonts_;  // smaller faces of font_ for narrow controls, by height
  HBRUSH pageBrush_ = nullptr;
  int pageX_ = 0;
  int pageY_ = 0;
  int page_ = 0;
  bool syncing_ = false;  // the controls' notifications about the view's own changes are ignored
  std::map<int32_t, NativeControl> controls_;
  std::map<HWND, int32_t> pageOf_;
};

// The program's own window in the foreground, which owns the requesters; null if none.
HWND ForegroundWindowOfOurs() {
  HWND window = GetForegroundWindow();
  DWORD process = 0;
  if (window) GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId() ? window : nullptr;
}

// COM for the requesters, on this thread, for the duration of one requester.
class ComScope {
 public:
  ComScope() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (ok_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool ok_;
};

template <typename T>
struct Released {
  void operator()(T* object) const {
    if (object) object->Release();
  }
};
template <typename T>
using ComPtr = std::unique_ptr<T, Released<T>>;

std::string ItemPath(IShellItem* item) {
  wchar_t* path = nullptr;
  if (!item || FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path) return "";
  std::string text = Narrow(path);
  CoTaskMemFree(path);
  return text;
}

void StartIn(IFileOpenDialog& chooser, const std::string& folder) {
  if (folder.empty()) return;
  IShellItem* item = nullptr;
  if (SUCCEEDED(SHCreateItemFromParsingName(Widen(folder).c_str(), nullptr, IID_PPV_ARGS(&item)))) {
    chooser.SetFolder(item);
    item->Release();
  }
}

// The system's open dialog with `options` and `title`; null if it cannot be made.
ComPtr<IFileOpenDialog> OpenDialog(const std::string& title, FILEOPENDIALOGOPTIONS options) {
  IFileOpenDialog* chooser = nullptr;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&chooser)))) {
    return nullptr;
  }
  FILEOPENDIALOGOPTIONS current = 0;
  chooser->GetOptions(&current);
  chooser->SetOptions(current | options | FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR |
                      FOS_PATHMUSTEXIST);
  chooser->SetTitle(Widen(title).c_str());
  return ComPtr<IFileOpenDialog>(chooser);
}

}  // namespace

bool RunConfigView(ConfigModel& model, const ConfigWindowOptions& options) {
  ConfigWindow window(model, options);
  if (!window.Created()) return false;
  BlockedOwner blocked(options.owner);
  window.Run();
  return true;
}

std::vector<std::string> ChooseFiles(const std::string& title, const std::string& filter,
                                     const std::string& start, bool multiple) {
  ComScope com;
  std::vector<std::string> chosen;
  FILEOPENDIALOGOPTIONS options = FOS_FILEMUSTEXIST;
  if (multiple) options |= FOS_ALLOWMULTISELECT;
  auto chooser = OpenDialog(title, options);
  if (!chooser) return chosen;
  const size_t bar = filter.find('|');
  const std::wstring description = Widen(filter.substr(0, bar));
  const std::wstring patterns = Widen(bar == std::string::npos ? "*.*" : filter.substr(bar + 1));
  const COMDLG_FILTERSPEC fileType{description.c_str(), patterns.c_str()};
  chooser->SetFileTypes(1, &fileType);
  chooser->SetFileTypeIndex(1);
  if (!start.empty()) {
    const size_t cut = start.find_last_of("\\/");
    if (cut != std::string::npos) StartIn(*chooser, start.substr(0, cut + 1));
    chooser->SetFileName(Widen(cut == std::string::npos ? start : start.substr(cut + 1)).c_str());
  }
  if (FAILED(chooser->Show(ForegroundWindowOfOurs()))) return chosen;  // cancelled
  IShellItemArray* items = nullptr;
  if (FAILED(chooser->GetResults(&items)) || !items) return chosen;
  DWORD count = 0;
  items->GetCount(&count);
  for (DWORD i = 0; i < count; ++i) {
    IShellItem* item = nullptr;
    if (SUCCEEDED(items->GetItemAt(i, &item))) {
      std::string path = ItemPath(item);
      if (!path.empty()) chosen.push_back(std::move(path));
      item->Release();
    }
  }
  items->Release();
  return chosen;
}

std::string ChooseFolder(const std::string& title, const std::string& start) {
  ComScope com;
  auto chooser = OpenDialog(title, FOS_PICKFOLDERS);
  if (!chooser) return "";
  StartIn(*chooser, start);
  if (FAILED(chooser->Show(ForegroundWindowOfOurs()))) return "";
  IShellItem* item = nullptr;
  if (FAILED(chooser->GetResult(&item))) return "";
  std::string folder = ItemPath(item);
  item->Release();
  if (!folder.empty() && folder.back() != platform::kSep) folder += platform::kSep;
  return folder;
}

}  // namespace dialog
