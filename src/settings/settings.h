// The process-wide record of every config.ini key, plus the values worked out at start-up.
#pragma once

#include <cstdint>
#include <string>

namespace settings {

struct Settings {
  // Start-up values, never saved.
  std::string configFile;    // settings folder + "config.ini"
  std::string configFolder;  // folder of configFile, with its separator
  int32_t desktopWidth = 0;
  int32_t desktopHeight = 0;
  int32_t desktopDepth = 0;

  // "General"
  std::string Language;
  int32_t UpdateRange = 0;
  int32_t UpdateDate = 0;
  std::string Path;  // the data folder, with its separator

  // "Window": the configuration dialog's place and size
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t X = 0;
  int32_t Y = 0;

  // "Screensaver"
  int32_t videow = 0;
  int32_t videoh = 0;
  int32_t videod = 0;
  int32_t fps = 0;
  int32_t flakes = 0;
  int32_t pictime = 0;
  int8_t exiton = 0;
  int32_t exitontimer = 0;
  int32_t exitonsleep = 0;
  int8_t background = 0;
  int32_t desktopblur = 0;
  int32_t wallpaperblur = 0;
  int32_t blankr = 0;
  int32_t blankg = 0;
  int32_t blankb = 0;
  int8_t perspreview = 0;
  int8_t foreground = 0;
  std::string foregroundimage;
  int32_t foregroundimagex = 0;
  int32_t foregroundimagey = 0;
  int8_t foregroundtxt = 0;
  std::string foregroundtext;
  int32_t foregroundtextx = 0;
  int32_t foregroundtexty = 0;
  int8_t flaketype = 0;
  int8_t customflaketype = 0;
  std::string customflakeimage;
  int32_t flakesize = 0;
  int8_t flakerotate = 0;
  int8_t wind = 0;
  int32_t speed = 0;
  int8_t music = 0;
  int8_t musicmode = 0;
  std::string musicfile;
  std::string musicfolder;
  int8_t musicvol = 0;
  int8_t aclock = 0;
  int32_t aclocksize = 0;
  int32_t aclockx = 0;
  int32_t aclocky = 0;
  int8_t dclock = 0;
  int32_t dclockx = 0;
  int32_t dclocky = 0;
  int8_t timefrm = 0;
  int8_t calendar = 0;
  int32_t calendarx = 0;
  int32_t calendary = 0;
  int32_t calendarm = 0;
  int32_t calendarsize = 0;
  int8_t calendarfont = 0;
  int8_t calendarbg = 0;
  int8_t calendarfirst = 0;
};

// What the defaults depend on besides the record's start-up values.
struct SettingsContext {
  std::string programFolder;  // with its separator
  int32_t now = 0;            // local date and time in seconds since 1970
};

// Fills every key with its default (the values used when there is no config.ini). videow,
// videoh and videod take desktopWidth, desktopHeight and desktopDepth.
void SetDefaults(Settings& s, const SettingsContext& context);

// Loads configFile; a key the file lacks takes its if-missing value. Without a readable file
// every key takes its default and nothing is written.
void LoadSettings(Settings& s, const SettingsContext& context);

// Writes every key to configFile. False when the file could not be written; the old file is
// then left whole, and `failure` (when given) says why in the system's words.
bool SaveSettings(const Settings& s, std::string* failure = nullptr);

}  // namespace settings
