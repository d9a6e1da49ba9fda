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

// Every control of the dialog by its number, the number the views give its window. Frames and
// labels are named after what they hold.
enum Control : int32_t {
  // The window
  kBanner = 0,
  kTabs = 1,
  kHomePageButton = 112,
  kFeedbackButton = 113,
  kUpdateButton = 114,
  kOkButton = 116,
  kCancelButton = 117,
  // General
  kDisplayFrame = 2,
  kDisplayModeLabel = 3,
  kDisplayMode = 4,
  kGeneralFrame = 7,
  kFlakesLabel = 8,
  kFlakes = 9,
  kPictimeLabel = 10,
  kPictime = 11,
  kExitOnLabel = 12,
  kExitOn = 13,
  kExitTimer = 14,
  kExitSleep = 15,
  kLanguageLabel = 16,
  kLanguage = 17,
  // Background
  kBackgroundFrame = 18,
  kBackgroundLabel = 19,
  kBackground = 20,
  kDesktopFrame = 21,
  kDesktopBlurLabel = 22,
  kDesktopBlur = 23,
  kWallpaperFrame = 24,
  kWallpaperBlurLabel = 25,
  kWallpaperBlur = 26,
  kBlankFrame = 27,
  kRedLabel = 28,
  kRed = 29,
  kGreenLabel = 30,
  kGreen = 31,
  kBlueLabel = 32,
  kBlue = 33,
  kSwatch = 34,
  kCustomFrame = 35,
  kImageList = 36,
  kPreview = 37,
  kPreviewCheck = 38,
  kAddImageButton = 39,
  kRemoveImageButton = 40,
  // Foreground
  kForegroundFrame = 41,
  kShowImage = 42,
  kImageFile = 43,
  kImageBrowse = 44,
  kImageXLabel = 45,
  kImageX = 46,
  kImageYLabel = 47,
  kImageY = 48,
  kShowText = 49,
  kCustomText = 50,
  kTextXLabel = 51,
  kTextX = 52,
  kTextYLabel = 53,
  kTextY = 54,
  // Snowflakes
  kSnowflakesFrame = 55,
  kOriginalFlake = 56,
  kFlakeType = 57,
  kFlakePicture = 58,
  kCustomFlake = 59,
  kFlakeFile = 60,
  kFlakeBrowse = 61,
  kFlakeSizeLabel = 62,
  kFlakeSize = 63,
  kFlakeRotate = 64,
  // Wind
  kWindFrame = 65,
  kWindLabel = 66,
  kWind = 67,
  kSpeedLabel = 68,
  kSpeed = 69,
  // Sound
  kSoundFrame = 70,
  kPlayMusic = 71,
  kMusicMode = 72,
  kMusicFile = 73,
  kMusicFolder = 74,
  kMusicBrowse = 75,
  kVolumeLabel = 76,
  kVolume = 77,
  // Clock
  kAnalogFrame = 78,
  kShowAnalog = 79,
  kAnalogXLabel = 80,
  kAnalogX = 81,
  kAnalogYLabel = 82,
  kAnalogY = 83,
  kAnalogSizeLabel = 84,
  kAnalogSize = 85,
  kDigitalFrame = 86,
  kShowDigital = 87,
  kDigitalXLabel = 88,
  kDigitalX = 89,
  kDigitalYLabel = 90,
  kDigitalY = 91,
  kTimeFormatLabel = 92,
  kTimeFormat = 93,
  // Calendar
  kCalendarFrame = 94,
  kShowCalendar = 95,
  kCalendarXLabel = 96,
  kCalendarX = 97,
  kCalendarYLabel = 98,
  kCalendarY = 99,
  kCalendarSizeLabel = 100,
  kCalendarSize = 101,
  kCalendarBorderLabel = 102,  // 102 to 105: never shown, their keys still pass through
  kCalendarBorder = 103,
  kCalendarFontLabel = 104,
  kCalendarFont = 105,
  kFirstDayLabel = 108,
  kFirstDay = 109,
  // About
  kCreditsFrame = 110,
  kCredits = 111,
};

struct ControlDef {
  Control id = kBanner;
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

// Every control: the window's own (the tab panel among them), then the pages' in tab order. A
// page's controls are listed as they read, top to bottom and left to right, which is the order
// Tab follows on the page.
const std::vector<ControlDef>& DialogControls();
// The control with number `id` (a window's id), or null.
const ControlDef* FindControl(int32_t id);
// The look-up keys of the tab panel's pages, in order.
const std::vector<std::string_view>& PageTitles();

// Built-in picture numbers the dialog shows.
inline constexpr int32_t kBannerPicture = 0;
inline constexpr int32_t kPreviewPicture = 3;      // the preview slot (thumbnails replace it)
inline constexpr int32_t kNoImagePicture = 4;      // the "no image" placeholder
inline constexpr int32_t kFirstFlakePicture = 12;  // built-in snowflake 1; 2 to 8 follow

}  // namespace dialog
