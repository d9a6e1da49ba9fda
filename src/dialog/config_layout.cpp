#include "dialog/config_layout.h"

namespace dialog {
namespace {

using K = ControlKind;

ControlDef C(Control id, K kind, int32_t page, Box box, std::string_view label = {}) {
  ControlDef c;
  c.id = id;
  c.kind = kind;
  c.page = page;
  c.box = box;
  c.label = label;
  return c;
}
ControlDef Ranged(Control id, K kind, int32_t page, Box box, int32_t min, int32_t max) {
  ControlDef c = C(id, kind, page, box);
  c.min = min;
  c.max = max;
  return c;
}
ControlDef List(Control id, int32_t page, Box box, std::vector<std::string_view> items) {
  ControlDef c = C(id, K::kDropDown, page, box);
  c.items = std::move(items);
  return c;
}
ControlDef Icon(Control id, int32_t page, Box box, int32_t picture, std::string_view tooltip = {}) {
  ControlDef c = C(id, K::kIconButton, page, box);
  c.picture = picture;
  c.tooltip = tooltip;
  return c;
}
ControlDef Picture(Control id, int32_t page, Box box, int32_t picture) {
  ControlDef c = C(id, K::kPicture, page, box);
  c.picture = picture;
  return c;
}
ControlDef Button(Control id, Box box, std::string_view label) {
  ControlDef c = C(id, K::kPushButton, kNoPage, box, label);
  c.group = "Dialog";
  return c;
}

// Built-in icons.
constexpr int32_t kHomeIcon = 5, kMailIcon = 6, kUpdateIcon = 7, kAddIcon = 8, kRemoveIcon = 9,
                  kFolderIcon = 10, kMusicIcon = 11;

std::vector<ControlDef> MakeControls() {
  constexpr int32_t G = kPageGeneral, B = kPageBackground, F = kPageForeground, S = kPageSnowflakes,
                    W = kPageWind, M = kPageSound, K2 = kPageClock, L = kPageCalendar,
                    A = kPageAbout, N = kNoPage;
  return {
      Picture(kBanner, N, {10, 10, 120, 310}, kBannerPicture),
      C(kTabs, K::kTabPanel, N, {140, 10, 380, 270}),
      Icon(kHomePageButton, N, {140, 290, 24, 24}, kHomeIcon, "Visit Homepage"),
      Icon(kFeedbackButton, N, {175, 290, 24, 24}, kMailIcon, "Send Feedback"),
      Icon(kUpdateButton, N, {210, 290, 24, 24}, kUpdateIcon, "Check For New Version"),
      Button(kOkButton, {350, 290, 80, 25}, "OK"),
      Button(kCancelButton, {440, 290, 80, 25}, "Cancel"),
      // General
      C(kDisplayFrame, K::kFrame, G, {10, 10, 355, 55}, "Display Settings"),
      C(kDisplayModeLabel, K::kText, G, {20, 33, 100, 20}, "Display Mode"),
      List(kDisplayMode, G, {160, 30, 160, 21}, {}),
      C(kGeneralFrame, K::kFrame, G, {10, 75, 355, 155}, "General Options"),
      C(kFlakesLabel, K::kText, G, {20, 98, 140, 20}, "Number of Flakes"),
      Ranged(kFlakes, K::kSpinBox, G, {160, 95, 60, 20}, 10, 2000),
      C(kPictimeLabel, K::kText, G, {20, 128, 140, 20}, "Transition Time"),
      Ranged(kPictime, K::kSpinBox, G, {160, 125, 60, 20}, 10, 2400),
      C(kExitOnLabel, K::kText, G, {20, 158, 100, 20}, "Exit on"),
      List(kExitOn, G, {160, 155, 120, 21},
           {"Mouse move", "Any key press", "Esc key press", "Timer event", "Sleep event"}),
      Ranged(kExitTimer, K::kSpinBox, G, {290, 155, 60, 20}, 1, 1440),
      Ranged(kExitSleep, K::kSpinBox, G, {290, 155, 60, 20}, 1, 1440),
      C(kLanguageLabel, K::kText, G, {20, 188, 100, 20}, "Language"),
      List(kLanguage, G, {160, 185, 120, 21}, {"English"}),
      // Background
      C(kBackgroundFrame, K::kFrame, B, {10, 10, 355, 55}, "Background Options"),
      C(kBackgroundLabel, K::kText, B, {20, 33, 130, 20}, "Background Image"),
      List(kBackground, B, {160, 30, 160, 21},
           {"Winter Images", "Desktop", "Wallpaper", "Blank Screen", "Custom Images",
            "Gradient Screen"}),
      C(kDesktopFrame, K::kFrame, B, {10, 75, 355, 155}, "Desktop"),
      C(kDesktopBlurLabel, K::kText, B, {20, 98, 100, 20}, "Blur"),
      Ranged(kDesktopBlur, K::kSlider, B, {160, 95, 200, 20}, 0, 100),
      C(kWallpaperFrame, K::kFrame, B, {10, 75, 355, 155}, "Wallpaper"),
      C(kWallpaperBlurLabel, K::kText, B, {20, 98, 100, 20}, "Blur"),
      Ranged(kWallpaperBlur, K::kSlider, B, {160, 95, 200, 20}, 0, 100),
      C(kBlankFrame, K::kFrame, B, {10, 75, 355, 155}, "Blank Screen"),
      C(kRedLabel, K::kText, B, {20, 98, 40, 20}, "Red"),
      Ranged(kRed, K::kSlider, B, {60, 95, 200, 20}, 0, 255),
      C(kGreenLabel, K::kText, B, {20, 128, 40, 20}, "Green"),
      Ranged(kGreen, K::kSlider, B, {60, 125, 200, 20}, 0, 255),
      C(kBlueLabel, K::kText, B, {20, 158, 40, 20}, "Blue"),
      Ranged(kBlue, K::kSlider, B, {60, 155, 200, 20}, 0, 255),
      C(kSwatch, K::kPicture, B, {275, 95, 80, 80}),  // the colour swatch
      C(kCustomFrame, K::kFrame, B, {10, 75, 355, 155}, "Custom Images"),
      C(kImageList, K::kList, B, {20, 95, 225, 125}, "Image List"),
      Picture(kPreview, B, {255, 95, 100, 75}, kPreviewPicture),
      C(kPreviewCheck, K::kCheckBox, B, {255, 175, 75, 20}, "Preview"),
      Icon(kAddImageButton, B, {255, 196, 24, 24}, kAddIcon, "Add Image"),
      Icon(kRemoveImageButton, B, {282, 196, 24, 24}, kRemoveIcon, "Remove Image"),
      // Foreground
      C(kForegroundFrame, K::kFrame, F, {10, 10, 355, 220}, "Foreground Options"),
      C(kShowImage, K::kCheckBox, F, {20, 30, 160, 20}, "Display Custom Image"),
      C(kImageFile, K::kTextField, F, {40, 60, 285, 20}),
      Icon(kImageBrowse, F, {330, 58, 24, 24}, kFolderIcon),
      C(kImageXLabel, K::kText, F, {40, 93, 20, 20}, "X"),
      C(kImageX, K::kTextField, F, {60, 90, 40, 20}),
      C(kImageYLabel, K::kText, F, {120, 93, 20, 20}, "Y"),
      C(kImageY, K::kTextField, F, {140, 90, 40, 20}),
      C(kShowText, K::kCheckBox, F, {20, 120, 160, 20}, "Display Custom Text"),
      C(kCustomText, K::kTextField, F, {40, 150, 310, 20}),
      C(kTextXLabel, K::kText, F, {40, 183, 20, 20}, "X"),
      C(kTextX, K::kTextField, F, {60, 180, 40, 20}),
      C(kTextYLabel, K::kText, F, {120, 183, 20, 20}, "Y"),
      C(kTextY, K::kTextField, F, {140, 180, 40, 20}),
      // Snowflakes
      C(kSnowflakesFrame, K::kFrame, S, {10, 10, 355, 220}, "Snowflakes Options"),
      C(kOriginalFlake, K::kOptionButton, S, {20, 30, 160, 20}, "Original Snowflake"),
      Ranged(kFlakeType, K::kTickSlider, S, {40, 60, 240, 20}, 1, 8),
      Picture(kFlakePicture, S, {300, 30, 50, 50}, kFirstFlakePicture),
      C(kCustomFlake, K::kOptionButton, S, {20, 90, 160, 20}, "Custom Snowflake"),
      C(kFlakeFile, K::kTextField, S, {40, 120, 285, 20}),
      Icon(kFlakeBrowse, S, {330, 118, 24, 24}, kFolderIcon),
      C(kFlakeSizeLabel, K::kText, S, {20, 153, 70, 20}, "Snowflake Size"),
      Ranged(kFlakeSize, K::kTickSlider, S, {90, 150, 270, 20}, 1, 40),
      C(kFlakeRotate, K::kCheckBox, S, {20, 180, 120, 20}, "3D Rotation"),
      // Wind
      C(kWindFrame, K::kFrame, W, {10, 10, 355, 85}, "Wind Options"),
      C(kWindLabel, K::kText, W, {20, 33, 100, 20}, "Wind Direction"),
      List(kWind, W, {160, 30, 120, 21}, {"None", "Left to Right", "Right to Left", "Random"}),
      C(kSpeedLabel, K::kText, W, {20, 63, 100, 20}, "Wind Speed"),
      Ranged(kSpeed, K::kTickSlider, W, {160, 60, 200, 20}, 1, 10),
      // Sound
      C(kSoundFrame, K::kFrame, M, {10, 10, 355, 145}, "Sounds and Music"),
      C(kPlayMusic, K::kCheckBox, M, {20, 30, 160, 20}, "Play Music"),
      List(kMusicMode, M, {40, 60, 200, 21}, {"Music file", "Music folder"}),
      C(kMusicFile, K::kTextField, M, {40, 90, 285, 20}),
      C(kMusicFolder, K::kTextField, M, {40, 90, 285, 20}),
      Icon(kMusicBrowse, M, {330, 88, 24, 24}, kMusicIcon),
      C(kVolumeLabel, K::kText, M, {40, 123, 100, 20}, "Music Volume"),
      Ranged(kVolume, K::kTickSlider, M, {140, 120, 220, 20}, 0, 10),
      // Clock
      C(kAnalogFrame, K::kFrame, K2, {10, 10, 355, 85}, "Analog Clock Options"),
      C(kShowAnalog, K::kCheckBox, K2, {20, 30, 160, 20}, "Display Analog Clock"),
      C(kAnalogXLabel, K::kText, K2, {40, 63, 20, 20}, "X"),
      C(kAnalogX, K::kTextField, K2, {60, 60, 30, 20}),
      C(kAnalogYLabel, K::kText, K2, {110, 63, 20, 20}, "Y"),
      C(kAnalogY, K::kTextField, K2, {130, 60, 30, 20}),
      C(kAnalogSizeLabel, K::kText, K2, {190, 63, 90, 20}, "Clock Size"),
      Ranged(kAnalogSize, K::kSpinBox, K2, {280, 60, 40, 20}, 1, 50),
      C(kDigitalFrame, K::kFrame, K2, {10, 105, 355, 85}, "Digital Clock Options"),
      C(kShowDigital, K::kCheckBox, K2, {20, 125, 160, 20}, "Display Digital Clock"),
      C(kDigitalXLabel, K::kText, K2, {40, 158, 20, 20}, "X"),
      C(kDigitalX, K::kTextField, K2, {60, 155, 30, 20}),
      C(kDigitalYLabel, K::kText, K2, {110, 158, 20, 20}, "Y"),
      C(kDigitalY, K::kTextField, K2, {130, 155, 30, 20}),
      C(kTimeFormatLabel, K::kText, K2, {190, 158, 90, 20}, "Time Format"),
      List(kTimeFormat, K2, {280, 155, 75, 21}, {"European", "American"}),
      // Calendar
      C(kCalendarFrame, K::kFrame, L, {10, 10, 355, 115}, "Calendar Options"),
      C(kShowCalendar, K::kCheckBox, L, {20, 30, 160, 20}, "Display Calendar"),
      C(kCalendarXLabel, K::kText, L, {40, 63, 20, 20}, "X"),
      C(kCalendarX, K::kTextField, L, {60, 60, 30, 20}),
      C(kCalendarYLabel, K::kText, L, {110, 63, 20, 20}, "Y"),
      C(kCalendarY, K::kTextField, L, {130, 60, 30, 20}),
      C(kCalendarSizeLabel, K::kText, L, {190, 63, 90, 20}, "Calendar Size"),
      Ranged(kCalendarSize, K::kSpinBox, L, {280, 60, 40, 20}, 1, 10),
      C(kCalendarBorderLabel, K::kText, L, {40, 93, 90, 20}, "Border"),
      C(kCalendarBorder, K::kDigitsField, L, {130, 90, 30, 20}),
      C(kCalendarFontLabel, K::kText, L, {190, 93, 90, 20}, "Calendar Font"),
      List(kCalendarFont, L, {280, 90, 75, 21}, {"Small", "Large"}),
      C(kFirstDayLabel, K::kText, L, {40, 93, 90, 20}, "First Day"),
      List(kFirstDay, L, {130, 90, 75, 21}, {"Monday", "Sunday"}),
      // About
      C(kCreditsFrame, K::kFrame, A, {10, 10, 355, 220}, "Credits"),
      C(kCredits, K::kText, A, {20, 33, 335, 190}),
  };
}

}  // namespace

const std::vector<ControlDef>& DialogControls() {
  static const std::vector<ControlDef> controls = MakeControls();
  return controls;
}

const ControlDef* FindControl(int32_t id) {
  for (const ControlDef& c : DialogControls()) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

const std::vector<std::string_view>& PageTitles() {
  static const std::vector<std::string_view> titles = {"General",    "Background", "Foreground",
                                                       "Snowflakes", "Wind",       "Sound",
                                                       "Clock",      "Calendar",   "About"};
  return titles;
}

}  // namespace dialog
