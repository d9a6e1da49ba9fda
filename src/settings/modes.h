// Names for the values of the settings that hold a choice. The stored numbers are the names'
// values and stay as they are: config.ini keeps them, and other versions read them.
#pragma once

#include <cstdint>

namespace settings {

// `background`: what is behind the snow.
enum Background : int8_t {
  kBackgroundForest = 0,     // the winter pictures of data/forest/
  kBackgroundDesktop = 1,    // a snapshot of the desktop
  kBackgroundWallpaper = 2,  // the desktop's wallpaper
  kBackgroundBlank = 3,      // one colour (blankr, blankg, blankb)
  kBackgroundCustom = 4,     // the user's own pictures (imgs/ in the settings folder)
  kBackgroundGradients = 5,  // the gradient pictures of data/gradient/
};

// `exiton`: what ends a run.
enum ExitOn : int8_t {
  kExitOnMouse = 0,
  kExitOnAnyKey = 1,
  kExitOnEscape = 2,
  kExitOnTimer = 3,  // after exitontimer minutes, or the mouse or a key
  kExitOnSleep = 4,  // after exitonsleep minutes the computer sleeps; the mouse or a key before
};

// `wind`: which way the snow drifts.
enum Wind : int8_t {
  kWindNone = 0,
  kWindLeftToRight = 1,
  kWindRightToLeft = 2,
  kWindRandom = 3,  // one of the three above, drawn when a run starts
};

// `musicmode`.
enum MusicMode : int8_t {
  kMusicOneFile = 0,  // musicfile
  kMusicFolder = 1,   // every piece of musicfolder in turn
};

// `timefrm`: the digital clock's format.
enum TimeFormat : int8_t {
  kTimeEuropean = 1,  // 24-hour, "19:45:00"
  kTimeAmerican = 2,  // 12-hour, "07:45pm"
};

// `calendarfirst`: the calendar's first day of the week.
enum FirstWeekday : int8_t {
  kWeekStartsMonday = 1,
  kWeekStartsSunday = 2,
};

// `calendarfont`: shown and saved by the dialog only.
enum CalendarFont : int8_t {
  kCalendarFontSmall = 1,
  kCalendarFontLarge = 2,
};

}  // namespace settings
