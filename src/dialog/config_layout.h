// The configuration dialog's controls as data: number, kind, page, place, label and range.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "dialog/box.h"

namespace dialog {

enum class ControlKind {
  kPicture,
  kTabPanel,
  kIconButton,
  kPushButton,
  kFrame,
  kText,
  kDropDown,
  kSpinBox,
  kSlider,
  kTickSlider,  // a slider with a tick per step
  kCheckBox,
  kOptionButton,
  kTextField,
  kDigitsField,  // a text field that takes digits only
  kList,
};

// The pages of the tab panel, in tab order; window-level controls are on no page.
inline constexpr int32_t kNoPage = -1;
inline constexpr int32_t kPageCount = 9;
enum Page : int32_t {
  kPageGeneral,
  kPageBackground,
  kPageForeground,
  kPageSnowflakes,
  kPageWind,
  kPageSound,
  kPageClock,
  kPageCalendar,
  kPageAbout,
};

struct ControlDef {
  int32_t id = 0;
  ControlKind kind = ControlKind::kText;
  int32_t page = kNoPage;
  Box box;                 // client pixels; on a page, relative to the page
  std::string_view label;  // look-up key of the label or button text ("" for none)
  std::string_view group = "General";
  int32_t min = 0;  // spin boxes and sliders
  int32_t max = 0;
  std::vector<std::string_view> items;  // look-up keys of a fixed list's items
  std::string_view tooltip;             // look-up key, icon buttons
  int32_t picture = -1;                 // built-in picture number shown (pictures and icon buttons)
};

// The window's client size when config.ini says nothing else.
inline constexpr int32_t kDialogWidth = 530;
inline constexpr int32_t kDialogHeight = 330;

// Every control, in the order they are created: the window-level ones, then the tab panel and
// its pages in tab order.
const std::vector<ControlDef>& DialogControls();
// The control with number `id`, or null.
const ControlDef* FindControl(int32_t id);
// The look-up keys of the tab panel's pages, in order.
const std::vector<std::string_view>& PageTitles();

// Built-in picture numbers the dialog shows.
inline constexpr int32_t kBannerPicture = 0;
inline constexpr int32_t kPreviewPicture = 3;      // the preview slot (thumbnails replace it)
inline constexpr int32_t kNoImagePicture = 4;      // the "no image" placeholder
inline constexpr int32_t kFirstFlakePicture = 12;  // built-in snowflake 1; 2 to 8 follow

}  // namespace dialog
