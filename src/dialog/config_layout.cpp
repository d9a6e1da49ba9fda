#include "dialog/config_layout.h"

namespace dialog {
namespace {

using K = ControlKind;

ControlDef C(int32_t id, K kind, int32_t page, Box box, std::string_view label = {}) {
  ControlDef c;
  c.id = id;
  c.kind = kind;
  c.page = page;
  c.box = box;
  c.label = label;
  return c;
}
ControlDef Ranged(int32_t id, K kind, int32_t page, Box box, int32_t min, int32_t max) {
  ControlDef c = C(id, kind, page, box);
  c.min = min;
  c.max = max;
  return c;
}
ControlDef List(int32_t id, int32_t page, Box box, std::vector<std::string_view> items) {
  ControlDef c = C(id, K::kDropDown, page, box);
  c.items = std::move(items);
  return c;
}
ControlDef Icon(int32_t id, int32_t page, Box box, int32_t picture, std::string_view tooltip = {}) {
  ControlDef c = C(id, K::kIconButton, page, box);
  c.picture = picture;
  c.tooltip = tooltip;
  return c;
}
ControlDef Picture(int32_t id, int32_t page, Box box, int32_t picture) {
  ControlDef c = C(id, K::kPicture, page, box);
  c.picture = picture;
  return c;
}
ControlDef Button(int32_t id, Box box, std::string_view label) {
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
      Picture(0, N, {10, 10, 120, 310}, kBannerPicture),
      C(1, K::kTabPanel, N, {140, 10, 380, 270}),
      Icon(112, N, {140, 290, 24, 24}, kHomeIcon, "Visit Homepage"),
      Icon(113, N, {175, 290, 24, 24}, kMailIcon, "Send Feedback"),
      Icon(114, N, {210, 290, 24, 24}, kUpdateIcon, "Check For New Version"),
      Button(116, {350, 290, 80, 25}, "OK"),
      Button(117, {440, 290, 80, 25}, "Cancel"),
      // General
      C(2, K::kFrame, G, {10, 10, 355, 55}, "Display Settings"),
      C(3, K::kText, G, {20, 33, 100, 20}, "Display Mode"),
      List(4, G, {160, 30, 160, 21}, {}),
      C(7, K::kFrame, G, {10, 75, 355, 155}, "General Options"),
      C(8, K::kText, G, {20, 98, 140, 20}, "Number of Flakes"),
      Ranged(9, K::kSpinBox, G, {160, 95, 60, 20}, 10, 2000),
      C(10, K::kText, G, {20, 128, 140, 20}, "Transition Time"),
      Ranged(11, K::kSpinBox, G, {160, 125, 60, 20}, 10, 2400),
      C(12, K::kText, G, {20, 158, 100, 20}, "Exit on"),
      List(13, G, {160, 155, 120, 21},
           {"Mouse move", "Any key press", "Esc key press", "Timer event", "Sleep event"}),
      Ranged(14, K::kSpinBox, G, {290, 155, 60, 20}, 1, 1440),
      Ranged(15, K::kSpinBox, G, {290, 155, 60, 20}, 1, 1440),
      C(16, K::kText, G, {20, 188, 100, 20}, "Language"),
      List(17, G, {160, 185, 120, 21}, {"English"}),
      // Background
      C(18, K::kFrame, B, {10, 10, 355, 55}, "Background Options"),
      C(19, K::kText, B, {20, 33, 130, 20}, "Background Image"),
      List(20, B, {160, 30, 160, 21},
           {"Winter Images", "Desktop", "Wallpaper", "Blank Screen", "Custom Images",
            "Gradient Screen"}),
      C(21, K::kFrame, B, {10, 75, 355, 155}, "Desktop"),
      C(22, K::kText, B, {20, 98, 100, 20}, "Blur"),
      Ranged(23, K::kSlider, B, {160, 95, 200, 20}, 0, 100),
      C(24, K::kFrame, B, {10, 75, 355, 155}, "Wallpaper"),
      C(25, K::kText, B, {20, 98, 100, 20}, "Blur"),
      Ranged(26, K::kSlider, B, {160, 95, 200, 20}, 0, 100),
      C(27, K::kFrame, B, {10, 75, 355, 155}, "Blank Screen"),
      C(28, K::kText, B, {20, 98, 40, 20}, "Red"),
      Ranged(29, K::kSlider, B, {60, 95, 200, 20}, 0, 255),
      C(30, K::kText, B, {20, 128, 40, 20}, "Green"),
      Ranged(31, K::kSlider, B, {60, 125, 200, 20}, 0, 255),
      C(32, K::kText, B, {20, 158, 40, 20}, "Blue"),
      Ranged(33, K::kSlider, B, {60, 155, 200, 20}, 0, 255),
      C(34, K::kPicture, B, {275, 95, 80, 80}),  // the colour swatch
      C(35, K::kFrame, B, {10, 75, 355, 155}, "Custom Images"),
      C(36, K::kList, B, {20, 95, 225, 125}, "Image List"),
      Picture(37, B, {255, 95, 100, 75}, kPreviewPicture),
      C(38, K::kCheckBox, B, {255, 175, 75, 20}, "Preview"),
      Icon(39, B, {255, 196, 24, 24}, kAddIcon, "Add Image"),
      Icon(40, B, {282, 196, 24, 24}, kRemoveIcon, "Remove Image"),
      // Foreground
      C(41, K::kFrame, F, {10, 10, 355, 220}, "Foreground Options"),
      C(42, K::kCheckBox, F, {20, 30, 160, 20}, "Display Custom Image"),
      C(43, K::kTextField, F, {40, 60, 285, 20}),
      Icon(44, F, {330, 58, 24, 24}, kFolderIcon),
      C(45, K::kText, F, {40, 93, 20, 20}, "X"),
      C(46, K::kTextField, F, {60, 90, 40, 20}),
      C(47, K::kText, F, {120, 93, 20, 20}, "Y"),
      C(48, K::kTextField, F, {140, 90, 40, 20}),
      C(49, K::kCheckBox, F, {20, 120, 160, 20}, "Display Custom Text"),
      C(50, K::kTextField, F, {40, 150, 310, 20}),
      C(51, K::kText, F, {40, 183, 20, 20}, "X"),
      C(52, K::kTextField, F, {60, 180, 40, 20}),
      C(53, K::kText, F, {120, 183, 20, 20}, "Y"),
      C(54, K::kTextField, F, {140, 180, 40, 20}),
      // Snowflakes
      C(55, K::kFrame, S, {10, 10, 355, 220}, "Snowflakes Options"),
      C(56, K::kOptionButton, S, {20, 30, 160, 20}, "Original Snowflake"),
      Ranged(57, K::kTickSlider, S, {40, 60, 240, 20}, 1, 8),
      Picture(58, S, {300, 30, 50, 50}, kFirstFlakePicture),
      C(59, K::kOptionButton, S, {20, 90, 160, 20}, "Custom Snowflake"),
      C(60, K::kTextField, S, {40, 120, 285, 20}),
      Icon(61, S, {330, 118, 24, 24}, kFolderIcon),
      C(62, K::kText, S, {20, 153, 70, 20}, "Snowflake Size"),
      Ranged(63, K::kTickSlider, S, {90, 150, 270, 20}, 1, 40),
      C(64, K::kCheckBox, S, {20, 180, 120, 20}, "3D Rotation"),
      // Wind
      C(65, K::kFrame, W, {10, 10, 355, 85}, "Wind Options"),
      C(66, K::kText, W, {20, 33, 100, 20}, "Wind Direction"),
      List(67, W, {160, 30, 120, 21}, {"None", "Left to Right", "Right to Left", "Random"}),
      C(68, K::kText, W, {20, 63, 100, 20}, "Wind Speed"),
      Ranged(69, K::kTickSlider, W, {160, 60, 200, 20}, 1, 10),
      // Sound
      C(70, K::kFrame, M, {10, 10, 355, 145}, "Sounds and Music"),
      C(71, K::kCheckBox, M, {20, 30, 160, 20}, "Play Music"),
      List(72, M, {40, 60, 200, 21}, {"Music file", "Music folder"}),
      C(73, K::kTextField, M, {40, 90, 285, 20}),
      C(74, K::kTextField, M, {40, 90, 285, 20}),
      Icon(75, M, {330, 88, 24, 24}, kMusicIcon),
      C(76, K::kText, M, {40, 123, 100, 20}, "Music Volume"),
      Ranged(77, K::kTickSlider, M, {140, 120, 220, 20}, 0, 10),
      // Clock
      C(78, K::kFrame, K2, {10, 10, 355, 85}, "Analog Clock Options"),
      C(79, K::kCheckBox, K2, {20, 30, 160, 20}, "Display Analog Clock"),
      C(80, K::kText, K2, {40, 63, 20, 20}, "X"),
      C(81, K::kTextField, K2, {60, 60, 30, 20}),
      C(82, K::kText, K2, {110, 63, 20, 20}, "Y"),
      C(83, K::kTextField, K2, {130, 60, 30, 20}),
      C(84, K::kText, K2, {190, 63, 90, 20}, "Clock Size"),
      Ranged(85, K::kSpinBox, K2, {280, 60, 40, 20}, 1, 50),
      C(86, K::kFrame, K2, {10, 105, 355, 85}, "Digital Clock Options"),
      C(87, K::kCheckBox, K2, {20, 125, 160, 20}, "Display Digital Clock"),
      C(88, K::kText, K2, {40, 158, 20, 20}, "X"),
      C(89, K::kTextField, K2, {60, 155, 30, 20}),
      C(90, K::kText, K2, {110, 158, 20, 20}, "Y"),
      C(91, K::kTextField, K2, {130, 155, 30, 20}),
      C(92, K::kText, K2, {190, 158, 90, 20}, "Time Format"),
      List(93, K2, {280, 155, 75, 21}, {"European", "American"}),
      // Calendar
      C(94, K::kFrame, L, {10, 10, 355, 115}, "Calendar Options"),
      C(95, K::kCheckBox, L, {20, 30, 160, 20}, "Display Calendar"),
      C(96, K::kText, L, {40, 63, 20, 20}, "X"),
      C(97, K::kTextField, L, {60, 60, 30, 20}),
      C(98, K::kText, L, {110, 63, 20, 20}, "Y"),
      C(99, K::kTextField, L, {130, 60, 30, 20}),
      C(100, K::kText, L, {190, 63, 90, 20}, "Calendar Size"),
      Ranged(101, K::kSpinBox, L, {280, 60, 40, 20}, 1, 10),
      C(102, K::kText, L, {40, 93, 90, 20}, "Border"),
      C(103, K::kDigitsField, L, {130, 90, 30, 20}),
      C(104, K::kText, L, {190, 93, 90, 20}, "Calendar Font"),
      List(105, L, {280, 90, 75, 21}, {"Small", "Large"}),
      C(108, K::kText, L, {40, 93, 90, 20}, "First Day"),
      List(109, L, {130, 90, 75, 21}, {"Monday", "Sunday"}),
      // About
      C(110, K::kFrame, A, {10, 10, 355, 220}, "Credits"),
      C(111, K::kText, A, {20, 33, 335, 190}),
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
