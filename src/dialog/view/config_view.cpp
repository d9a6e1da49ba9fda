#ifdef _WIN32
#define NOMINMAX  // FLTK's x.H brings in windows.h: keep std::min and std::max usable
#endif

#include "dialog/config_view.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Int_Input.H>
#include <FL/Fl_Native_File_Chooser.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Repeat_Button.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Slider.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

#include "dialog/config_layout.h"
#include "dialog/view/look.h"
#include "images/pictures.h"
#include "platform/platform.h"
#include "text/language_table.h"

namespace dialog {
namespace {

// Nine tabs do not fit one row of the panel: they take two rows, four and five, each row's
// tabs sharing its width. Pages start below them.
constexpr int kTabRowHeight = 20;
constexpr int kTabHeight = 2 * kTabRowHeight;
constexpr int kTabsInFirstRow = 4;
constexpr int kFontSize = 12;  // at 96 DPI
constexpr int kNarrow = 100;   // fields and lists narrower than this use a point less
constexpr int kSmallestFont = 8;

// A picture of the image layer as an RGBA image FLTK can draw, top row first, scaled.
std::unique_ptr<Fl_RGB_Image> ToFltk(int32_t number, int width, int height) {
  const images::Image* picture = images::GetPicture(number);
  if (!picture || picture->width <= 0 || picture->height <= 0) return nullptr;
  const int w = picture->width, h = picture->height, bytes = picture->depth / 8;
  auto* rgba = new uchar[static_cast<size_t>(w) * h * 4];
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = picture->TopRow(y);
    for (int x = 0; x < w; ++x) {
      uchar* out = rgba + (static_cast<size_t>(y) * w + x) * 4;
      out[0] = row[x * bytes + 2];
      out[1] = row[x * bytes + 1];
      out[2] = row[x * bytes];
      out[3] = bytes == 4 ? row[x * bytes + 3] : 255;
    }
  }
  auto image = std::make_unique<Fl_RGB_Image>(rgba, w, h, 4);
  image->alloc_array = 1;
  if (w == width && h == height) return image;
  return std::unique_ptr<Fl_RGB_Image>(static_cast<Fl_RGB_Image*>(image->copy(width, height)));
}

// A titled group box: a thin rounded border with its title on the top edge.
class FrameBox : public Fl_Box {
 public:
  using Fl_Box::Fl_Box;
  void draw() override {
    fl_font(FL_HELVETICA_BOLD, labelsize());
    const int top = y() + labelsize() / 2 + 1;
    fl_color(kBorder);
    fl_line(x(), top, x() + 6, top);
    const int titleWidth = static_cast<int>(fl_width(label())) + 8;
    fl_line(x() + 6 + titleWidth, top, x() + w() - 1, top);
    fl_line(x(), top, x(), y() + h() - 1, x() + w() - 1, y() + h() - 1);
    fl_line(x() + w() - 1, y() + h() - 1, x() + w() - 1, top);
    fl_color(active_r() ? kAccent : fl_inactive(kAccent));
    fl_draw(label(), x() + 10, y() + labelsize());
  }
};

// A picture control: a built-in picture by number, or (the swatch) a plain colour.
class PictureBox : public Fl_Box {
 public:
  PictureBox(int x, int y, int w, int h, bool swatch) : Fl_Box(x, y, w, h), swatch_(swatch) {
    box(FL_NO_BOX);
  }
  void Show(int32_t value, uint32_t serial) {
    if (value == value_ && serial == serial_ && (image_ || swatch_)) return;
    value_ = value;
    serial_ = serial;
    if (!swatch_) image_ = ToFltk(value, w(), h());
    redraw();
  }
  void draw() override {
    if (swatch_) {
      fl_color(static_cast<uchar>(value_ & 0xFF), static_cast<uchar>((value_ >> 8) & 0xFF),
               static_cast<uchar>((value_ >> 16) & 0xFF));
      fl_rectf(x(), y(), w(), h());
      fl_color(kBorder);
      fl_rect(x(), y(), w(), h());
    } else if (image_) {
      image_->draw(x(), y());
    }
  }

 private:
  bool swatch_;
  int32_t value_ = -1;
  uint32_t serial_ = 0;
  std::unique_ptr<Fl_RGB_Image> image_;
};

// A slider with a tick per step below its track.
class TickSlider : public Fl_Slider {
 public:
  TickSlider(int x, int y, int w, int h, bool ticks) : Fl_Slider(x, y, w, h), ticks_(ticks) {
    type(FL_HOR_NICE_SLIDER);
    box(FL_FLAT_BOX);
    color(kSurface);
    selection_color(kAccent);
    step(1);
  }
  // A thin rounded track, filled with the accent up to a round knob.
  void draw() override {
    const int track = ticks_ ? h() - 6 : h();
    fl_color(color());
    fl_rectf(x(), y(), w(), h());
    const double span = maximum() - minimum();
    const double fraction = span > 0 ? (value() - minimum()) / span : 0;
    const int knob = std::max(10, track - 4);
    // Where FLTK's horizontal "nice" slider puts the knob's centre for a value.
    const int grip = track / 2 + 5;
    const int left = x() + grip / 2, right = x() + w() - grip + grip / 2;
    const int cx = left + static_cast<int>(std::lround((right - left) * fraction));
    const int cy = y() + track / 2;
    const Fl_Color accent = active_r() ? kAccent : fl_inactive(kAccent);
    fl_color(active_r() ? kBorder : fl_inactive(kBorder));
    fl_rectf(left, cy - 2, right - left, 4);
    fl_color(accent);
    fl_rectf(left, cy - 2, cx - left, 4);
    fl_color(kField);
    fl_pie(cx - knob / 2, cy - knob / 2, knob, knob, 0, 360);
    fl_color(accent);
    fl_arc(cx - knob / 2, cy - knob / 2, knob, knob, 0, 360);
    fl_pie(cx - knob / 4, cy - knob / 4, knob / 2, knob / 2, 0, 360);
    if (Fl::focus() == this) {
      fl_color(kMuted);
      fl_line_style(FL_DOT);
      fl_rect(x(), y(), w(), track);
      fl_line_style(0);
    }
    if (!ticks_ || span <= 0) return;
    fl_color(active_r() ? kMuted : fl_inactive(kMuted));
    const int steps = static_cast<int>(span);
    for (int i = 0; i <= steps; ++i) {
      const int tx = left + (right - left) * i / steps;
      fl_yxline(tx, y() + track + 1, y() + h() - 2);
    }
  }
  int handle(int event) override {
    const int track = ticks_ ? h() - 6 : h();
    return Fl_Slider::handle(event, x(), y(), w(), track);
  }

 private:
  bool ticks_;
};

// A number field with small up and down arrows beside it.
class SpinBox : public Fl_Group {
 public:
  SpinBox(int x, int y, int w, int h, int arrowWidth)
      : Fl_Group(x, y, w, h),
        input(x, y, w - arrowWidth, h),
        up(x + w - arrowWidth, y, arrowWidth, h / 2, "@-18>"),
        down(x + w - arrowWidth, y + h / 2, arrowWidth, h - h / 2, "@-12>") {
    // "@-18>" and "@-12>" are the arrow glyphs pointing up and down.
    for (Fl_Repeat_Button* arrow : {&up, &down}) {
      arrow->labelsize(arrowWidth / 2);
      arrow->box(FL_FLAT_BOX);
      arrow->down_box(FL_FLAT_BOX);
      arrow->color(0xE6E6E600);
      arrow->selection_color(kBorder);
      arrow->labelcolor(kMuted);
      arrow->clear_visible_focus();
    }
    end();
  }
  Fl_Int_Input input;
  Fl_Repeat_Button up;
  Fl_Repeat_Button down;
};

// A list with a column title above its entries.
class ListBox : public Fl_Group {
 public:
  ListBox(int x, int y, int w, int h, const char* title, int titleHeight)
      : Fl_Group(x, y, w, h),
        header(x + 1, y + 1, w - 2, titleHeight, title),
        browser(x + 1, y + 1 + titleHeight, w - 2, h - 2 - titleHeight) {
    box(FL_BORDER_FRAME);
    color(kBorder);
    browser.box(FL_FLAT_BOX);
    browser.color(kField);
    header.box(FL_FLAT_BOX);
    header.color(0xE8E8E800);
    header.align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
    end();
  }
  Fl_Box header;
  Fl_Hold_Browser browser;
};

// The largest text size up to `size` at which every item fits a closed list: beside its arrow
// button and inside its border, as Fl_Choice lays them out.
int FittingSize(const Fl_Choice& choice, const std::vector<std::string>& items, int size) {
  const int dx = Fl::box_dx(FL_DOWN_BOX), dy = Fl::box_dy(FL_DOWN_BOX);
  const int room = choice.w() - std::min(20, choice.h() - 2 * dy) - 2 * dx - 6;
  for (; size > kSmallestFont; --size) {
    fl_font(choice.textfont(), size);
    if (std::all_of(items.begin(), items.end(),
                    [room](const std::string& item) { return fl_width(item.c_str()) <= room; })) {
      break;
    }
  }
  return size;
}

// Menu texts treat "/", "&", "_" and "\" specially; items are plain texts.
std::string MenuText(const std::string& item) {
  std::string out;
  for (char c : item) {
    if (c == '/' || c == '&' || c == '_' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

// FLTK's filter form, "description\t*.{a,b}", from "description|*.a;*.b".
std::string FltkFilter(const std::string& filter) {
  const size_t bar = filter.find('|');
  if (bar == std::string::npos) return filter;
  std::string patterns = filter.substr(bar + 1), list;
  size_t start = 0;
  while (start <= patterns.size()) {
    size_t end = patterns.find(';', start);
    if (end == std::string::npos) end = patterns.size();
    std::string pattern = patterns.substr(start, end - start);
    if (pattern.rfind("*.", 0) == 0) pattern = pattern.substr(2);
    if (!pattern.empty()) list += (list.empty() ? "" : ",") + pattern;
    start = end + 1;
  }
  return filter.substr(0, bar) + "\t*.{" + list + "}";
}

// The tab strip: two rows of flat tabs; the chosen one is white with an accent bar. Choosing a
// tab shows its page and hides the others. It takes the keyboard focus, Tab reaching it before
// the page below it, and the left and right arrows then choose the tab beside.
class TabBar : public Fl_Widget {
 public:
  TabBar(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) {}
  std::vector<Fl_Group*> pages;
  std::vector<const char*> titles;
  int current = 0;

  void Select(int page) {
    current = page;
    for (size_t i = 0; i < pages.size(); ++i) {
      if (static_cast<int>(i) == page) {
        pages[i]->show();
      } else {
        pages[i]->hide();
      }
    }
    redraw();
  }
  void draw() override {
    fl_push_clip(x(), y(), w(), h());
    fl_color(kSurface);
    fl_rectf(x(), y(), w(), h());
    for (int i = 0; i < static_cast<int>(titles.size()); ++i) {
      int tx, ty, tw, th;
      Place(i, tx, ty, tw, th);
      const bool chosen = i == current;
      fl_color(chosen ? kField : 0xE6E6E600);
      fl_rectf(tx + 1, ty + 1, tw - 2, th - 2);
      if (chosen) {
        fl_color(kAccent);
        fl_rectf(tx + 1, ty + th - 3, tw - 2, 2);
      }
      fl_font(chosen ? FL_HELVETICA_BOLD : FL_HELVETICA, labelsize());
      fl_color(chosen ? kAccent : kText);
      fl_draw(titles[i], tx, ty, tw, th, FL_ALIGN_CENTER);
      if (chosen && Fl::focus() == this) {
        fl_color(kMuted);
        fl_line_style(FL_DOT);
        fl_rect(tx + 3, ty + 3, tw - 6, th - 8);
        fl_line_style(0);
      }
    }
    fl_pop_clip();
  }
  int handle(int event) override {
    switch (event) {
      case FL_FOCUS:
      case FL_UNFOCUS:
        redraw();
        return 1;
      case FL_KEYBOARD: {
        const int step = Fl::event_key() == FL_Right ? 1 : Fl::event_key() == FL_Left ? -1 : 0;
        if (step == 0 || Fl::event_state(FL_SHIFT | FL_CTRL | FL_ALT | FL_META)) return 0;
        const int page = current + step;
        if (page >= 0 && page < static_cast<int>(pages.size())) Select(page);
        return 1;
      }
      case FL_PUSH:
        break;
      default:
        return Fl_Widget::handle(event);
    }
    for (int i = 0; i < static_cast<int>(titles.size()); ++i) {
      int tx, ty, tw, th;
      Place(i, tx, ty, tw, th);
      if (Fl::event_inside(tx, ty, tw, th)) {
        Select(i);
        return 1;
      }
    }
    return 0;
  }

 private:
  void Place(int i, int& tx, int& ty, int& tw, int& th) const {
    const int count = static_cast<int>(titles.size());
    const int row = i < kTabsInFirstRow ? 0 : 1;
    const int inRow = row == 0 ? std::min(count, kTabsInFirstRow) : count - kTabsInFirstRow;
    const int column = row == 0 ? i : i - kTabsInFirstRow;
    th = h() / 2;
    ty = y() + row * th;
    tx = x() + w() * column / inRow;
    tw = x() + w() * (column + 1) / inRow - tx;
  }
};

// The dialog's window: Ctrl+Tab and Ctrl+Page Down go to the next page, with Shift or Page Up
// to the previous one, as in the system's tabbed dialogs.
class DialogWindow : public Fl_Double_Window {
 public:
  using Fl_Double_Window::Fl_Double_Window;
  TabBar* tabs = nullptr;
  int handle(int event) override {
    if (event == FL_SHORTCUT && tabs && Fl::event_state(FL_CTRL)) {
      const int key = Fl::event_key();
      int step = 0;
      if (key == FL_Tab) step = Fl::event_state(FL_SHIFT) ? -1 : 1;
      if (key == FL_Page_Down) step = 1;
      if (key == FL_Page_Up) step = -1;
      if (step != 0) {
        const int count = static_cast<int>(tabs->pages.size());
        tabs->Select((tabs->current + step + count) % count);
        return 1;
      }
    }
    return Fl_Double_Window::handle(event);
  }
};

class ConfigView {
 public:
  ConfigView(ConfigModel& model, const ConfigWindowOptions& options) : model_(model) {
    float hdpi = 96, vdpi = 96;
    Fl::screen_dpi(hdpi, vdpi);
    // Whole quarter steps above 96 DPI; a screen that reports less is drawn at 1.
    scale_ = std::max(1.0, std::round(vdpi / 96.0 * 4) / 4);
    Build(options);
  }

  void Run(int64_t owner) {
    window_->show();
    if (owner) {
#ifdef _WIN32
      SetWindowLongPtrW(fl_xid(window_.get()), GWLP_HWNDPARENT, static_cast<LONG_PTR>(owner));
#else
      XSetTransientForHint(fl_display, fl_xid(window_.get()), static_cast<Window>(owner));
#endif
    }
    // For the dialog's test: with FLURRIX_REPORT_FOCUS set, each control that takes the keyboard
    // focus writes "focus NUMBER" on standard output.
    const bool reportFocus = std::getenv("FLURRIX_REPORT_FOCUS") != nullptr;
    const Fl_Widget* reported = nullptr;
    while (!model_.Closed() && window_->shown()) {
      Fl::wait();
      if (reportFocus && Fl::focus() != reported) {
        reported = Fl::focus();
        std::printf("focus %d\n", FocusedControl());
        std::fflush(stdout);
      }
    }
    window_->hide();
    Fl::flush();
  }

 private:
  // The control holding the keyboard focus; -1 for none.
  int32_t FocusedControl() const {
    if (Fl::focus() == window_->tabs) return kTabs;
    const auto owner = owners_.find(Fl::focus());
    return owner == owners_.end() ? -1 : owner->second;
  }

  int S(int v) const {
    return static_cast<int>(std::lround(v * scale_));
  }

  void Build(const ConfigWindowOptions& options) {
    UseDialogLook(S(kFontSize));
    title_ = options.title;
    window_ = std::make_unique<DialogWindow>(S(options.width), S(options.height), title_.c_str());
    window_->color(kSurface);
    window_->size_range(window_->w(), window_->h(), window_->w(), window_->h());
    window_->callback(
        [](Fl_Widget*, void* view) { static_cast<ConfigView*>(view)->model_.Close(); }, this);

    TabBar* tabs = nullptr;
    std::vector<Fl_Group*> pages;
    Box panel;
    for (const ControlDef& def : DialogControls()) {
      if (def.kind == ControlKind::kTabPanel) {
        panel = def.box;
        window_->begin();
        tabs = new TabBar(S(panel.x), S(panel.y), S(panel.width), S(kTabHeight));
        tabs->labelsize(S(kFontSize));
        for (int32_t p = 0; p < kPageCount; ++p) {
          auto* page = new Fl_Group(S(panel.x), S(panel.y + kTabHeight), S(panel.width),
                                    S(panel.height - kTabHeight));
          page->box(FL_FLAT_BOX);
          page->color(kPage);
          page->end();
          pages.push_back(page);
          // The table's texts live as long as the process, so the tab may point into it.
          tabs->titles.push_back(text::Lookup("General", PageTitles()[p]).c_str());
        }
        tabs->pages = pages;
        tabs->Select(kPageGeneral);
        window_->tabs = tabs;
        continue;
      }
      Fl_Group* parent = def.page == kNoPage ? window_.get() : pages[def.page];
      const int ox = def.page == kNoPage ? 0 : panel.x;
      const int oy = def.page == kNoPage ? 0 : panel.y + kTabHeight;
      parent->begin();
      Make(def, S(ox + def.box.x), S(oy + def.box.y), S(def.box.width), S(def.box.height));
      parent->end();
    }
    window_->end();
    Fl_Widget* ok = widgets_.at(kOkButton);
    window_->position((Fl::w() - window_->w()) / 2, (Fl::h() - window_->h()) / 2);
    ok->take_focus();
    Sync();
  }

  static void OnWidget(Fl_Widget* widget, void* view) {
    auto* self = static_cast<ConfigView*>(view);
    self->Handle(widget);
    self->Sync();
  }

  void Make(const ControlDef& def, int x, int y, int w, int h) {
    const ControlState& state = model_.State(def.id);
    Fl_Widget* widget = nullptr;
    switch (def.kind) {
      case ControlKind::kPicture:
        widget = new PictureBox(x, y, w, h, def.id == kSwatch);
        break;
      case ControlKind::kIconButton: {
        auto* button = new Fl_Button(x, y, w, h);
        icons_.push_back(ToFltk(def.picture, S(16), S(16)));
        if (icons_.back()) {
          button->image(icons_.back().get());
          auto deimage = std::unique_ptr<Fl_Image>(icons_.back()->copy());
          deimage->inactive();
          button->deimage(deimage.get());
          inactiveIcons_.push_back(std::move(deimage));
        }
        if (!def.tooltip.empty()) button->tooltip(text::Lookup("General", def.tooltip).c_str());
        widget = button;
        break;
      }
      case ControlKind::kPushButton:
        if (def.id == kOkButton) {
          auto* ok = new Fl_Button(x, y, w, h, state.text.c_str());
          ok->shortcut(FL_Enter);  // the default button
          widget = ok;
          widget->color(kAccent);
          widget->labelcolor(FL_WHITE);
        } else {
          widget = new Fl_Button(x, y, w, h, state.text.c_str());
        }
        break;
      case ControlKind::kFrame:
        widget = new FrameBox(x, y, w, h, state.text.c_str());
        break;
      case ControlKind::kText: {
        widget = new Fl_Box(x, y, w, h, state.text.c_str());
        const bool tall = def.box.height > 30;
        widget->align(FL_ALIGN_INSIDE | (tall ? FL_ALIGN_TOP_LEFT | FL_ALIGN_WRAP : FL_ALIGN_LEFT));
        break;
      }
      case ControlKind::kDropDown: {
        auto* choice = new Fl_Choice(x, y, w, h);
        choice->down_box(FL_BORDER_BOX);
        choice->textsize(FittingSize(*choice, state.items,
                                     S(def.box.width < kNarrow ? kFontSize - 1 : kFontSize)));
        widget = choice;
        break;
      }
      case ControlKind::kSpinBox: {
        auto* spin = new SpinBox(x, y, w, h, S(16));
        spin->input.textsize(S(kFontSize));
        spin->input.when(FL_WHEN_RELEASE | FL_WHEN_ENTER_KEY_ALWAYS);
        for (Fl_Widget* part :
             {static_cast<Fl_Widget*>(&spin->input), static_cast<Fl_Widget*>(&spin->up),
              static_cast<Fl_Widget*>(&spin->down)}) {
          part->callback(OnWidget, this);
          owners_[part] = def.id;
        }
        widget = spin;
        break;
      }
      case ControlKind::kSlider:
      case ControlKind::kTickSlider: {
        auto* slider = new TickSlider(x, y, w, h, def.kind == ControlKind::kTickSlider);
        slider->bounds(def.min, def.max);
        widget = slider;
        break;
      }
      case ControlKind::kCheckBox:
        widget = new Fl_Check_Button(x, y, w, h, state.text.c_str());
        break;
      case ControlKind::kOptionButton:
        widget = new Fl_Round_Button(x, y, w, h, state.text.c_str());
        break;
      case ControlKind::kTextField:
      case ControlKind::kDigitsField: {
        auto* input = def.kind == ControlKind::kDigitsField ? new Fl_Int_Input(x, y, w, h)
                                                            : new Fl_Input(x, y, w, h);
        input->textsize(S(def.box.width < kNarrow ? kFontSize - 1 : kFontSize));
        input->when(FL_WHEN_CHANGED);
        widget = input;
        break;
      }
      case ControlKind::kList: {
        auto* list = new ListBox(x, y, w, h, state.text.c_str(), S(20));
        list->header.labelsize(S(kFontSize));
        list->browser.textsize(S(kFontSize));
        list->browser.when(FL_WHEN_CHANGED | FL_WHEN_NOT_CHANGED);
        list->browser.callback(OnWidget, this);
        owners_[&list->browser] = def.id;
        widget = list;
        break;
      }
      case ControlKind::kTabPanel:
        return;
    }
    widget->labelsize(S(kFontSize));
    if (def.kind != ControlKind::kSpinBox && def.kind != ControlKind::kList) {
      widget->callback(OnWidget, this);
      owners_[widget] = def.id;
    }
    widgets_[def.id] = widget;
  }

  // Hands one widget event to the model.
  void Handle(Fl_Widget* widget) {
    const auto owner = owners_.find(widget);
    if (owner == owners_.end()) return;
    const Control id = owner->second;
    const ControlDef& def = *FindControl(id);
    switch (def.kind) {
      case ControlKind::kIconButton:
      case ControlKind::kPushButton:
        CommitTexts();
        model_.Press(id);
        break;
      case ControlKind::kDropDown:
        model_.Choose(id, static_cast<Fl_Choice*>(widget)->value());
        break;
      case ControlKind::kSlider:
      case ControlKind::kTickSlider:
        model_.Choose(id, static_cast<int32_t>(static_cast<Fl_Slider*>(widget)->value()));
        break;
      case ControlKind::kCheckBox:
        model_.Choose(id, static_cast<Fl_Button*>(widget)->value());
        break;
      case ControlKind::kOptionButton:
        model_.Choose(id, 1);  // an option button is turned on by a click, never off
        break;
      case ControlKind::kTextField:
      case ControlKind::kDigitsField:
        model_.Type(id, static_cast<Fl_Input*>(widget)->value());
        break;
      case ControlKind::kSpinBox: {
        auto* spin = static_cast<SpinBox*>(widgets_.at(id));
        const int32_t value = model_.State(id).value;
        if (widget == &spin->up) {
          model_.Type(id, std::to_string(value + 1));
        } else if (widget == &spin->down) {
          model_.Type(id, std::to_string(value - 1));
        } else {
          model_.Type(id, spin->input.value());
        }
        break;
      }
      case ControlKind::kList: {
        auto* browser = static_cast<Fl_Hold_Browser*>(widget);
        if (Fl::event_clicks() && Fl::event() == FL_RELEASE) {
          Fl::event_clicks(0);
          model_.DoubleClick(id);
        } else {
          model_.Choose(id, browser->value() - 1);
        }
        break;
      }
      default:
        break;
    }
    if (model_.Closed()) window_->hide();
  }

  // A spin box being typed into reads its number when the user moves on; a button press
  // reads it first.
  void CommitTexts() {
    for (const auto& [id, widget] : widgets_) {
      if (FindControl(id)->kind != ControlKind::kSpinBox) continue;
      auto* spin = static_cast<SpinBox*>(widget);
      if (model_.State(id).text != spin->input.value()) model_.Type(id, spin->input.value());
    }
  }

  // Mirrors every control's state into its widget.
  void Sync() {
    for (const auto& [id, widget] : widgets_) {
      const ControlDef& def = *FindControl(id);
      const ControlState& state = model_.State(id);
      switch (def.kind) {
        case ControlKind::kPicture:
          static_cast<PictureBox*>(widget)->Show(state.value, model_.PictureSerial());
          break;
        case ControlKind::kDropDown: {
          auto* choice = static_cast<Fl_Choice*>(widget);
          if (shownItems_[id] != state.items) {
            choice->clear();
            for (const std::string& item : state.items) choice->add(MenuText(item).c_str());
            shownItems_[id] = state.items;
          }
          if (choice->value() != state.value) choice->value(state.value);
          break;
        }
        case ControlKind::kSpinBox: {
          auto* spin = static_cast<SpinBox*>(widget);
          if (state.text != spin->input.value()) spin->input.value(state.text.c_str());
          break;
        }
        case ControlKind::kSlider:
        case ControlKind::kTickSlider:
          static_cast<Fl_Slider*>(widget)->value(state.value);
          break;
        case ControlKind::kCheckBox:
        case ControlKind::kOptionButton:
          static_cast<Fl_Button*>(widget)->value(state.value);
          break;
        case ControlKind::kTextField:
        case ControlKind::kDigitsField: {
          auto* input = static_cast<Fl_Input*>(widget);
          if (state.text != input->value()) {
            input->value(state.text.c_str());
            input->position(0);  // a long path shows its beginning, as system fields do
          }
          break;
        }
        case ControlKind::kList: {
          Fl_Hold_Browser& browser = static_cast<ListBox*>(widget)->browser;
          if (shownItems_[id] != state.items) {
            browser.clear();
            for (const std::string& item : state.items) browser.add(item.c_str());
            shownItems_[id] = state.items;
          }
          if (browser.value() != state.value + 1) browser.value(state.value + 1);
          break;
        }
        case ControlKind::kText:
          if (def.id == kCredits && widget->label() != state.text.c_str()) {
            widget->label(state.text.c_str());
          }
          break;
        default:
          break;
      }
      if (state.visible && !widget->visible()) widget->show();
      if (!state.visible && widget->visible()) widget->hide();
      if (state.enabled && !widget->active()) widget->activate();
      if (!state.enabled && widget->active()) widget->deactivate();
    }
  }

  ConfigModel& model_;
  double scale_ = 1;
  std::string title_;
  std::unique_ptr<DialogWindow> window_;
  std::map<Control, Fl_Widget*> widgets_;
  std::map<Fl_Widget*, Control> owners_;
  std::map<Control, std::vector<std::string>> shownItems_;
  std::vector<std::unique_ptr<Fl_RGB_Image>> icons_;
  std::vector<std::unique_ptr<Fl_Image>> inactiveIcons_;
};

}  // namespace

bool RunConfigView(ConfigModel& model, const ConfigWindowOptions& options) {
  if (!platform::HasDisplay()) return false;
  ConfigView view(model, options);
  BlockedOwner blocked(options.owner);
  view.Run(options.owner);
  return true;
}

std::vector<std::string> ChooseFiles(const std::string& title, const std::string& filter,
                                     const std::string& start, bool multiple) {
  Fl_Native_File_Chooser chooser(multiple ? Fl_Native_File_Chooser::BROWSE_MULTI_FILE
                                          : Fl_Native_File_Chooser::BROWSE_FILE);
  chooser.title(title.c_str());
  const std::string fltkFilter = FltkFilter(filter);
  chooser.filter(fltkFilter.c_str());
  chooser.filter_value(0);
  if (!start.empty()) chooser.preset_file(start.c_str());
  std::vector<std::string> chosen;
  if (chooser.show() != 0) return chosen;  // cancelled or failed
  for (int i = 0; i < chooser.count(); ++i) {
    if (const char* name = chooser.filename(i)) chosen.emplace_back(name);
  }
  return chosen;
}

std::string ChooseFolder(const std::string& title, const std::string& start) {
  Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_DIRECTORY);
  chooser.title(title.c_str());
  chooser.options(Fl_Native_File_Chooser::NEW_FOLDER);
  if (!start.empty()) chooser.directory(start.c_str());
  if (chooser.show() != 0 || !chooser.filename()) return "";
  std::string folder = chooser.filename();
  if (!folder.empty() && folder.back() != platform::kSep) folder += platform::kSep;
  return folder;
}

}  // namespace dialog
