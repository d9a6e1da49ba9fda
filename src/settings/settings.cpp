#include "settings/settings.h"

#include "platform/platform.h"
#include "settings/preferences_file.h"

namespace settings {
namespace {

// Every key in file order, with its default and its if-missing value. One list serves setting
// defaults, loading and saving, so the three can never disagree.
template <class Record, class Visitor>
void VisitKeys(Record& s, const SettingsContext& c, Visitor& v) {
  using platform::NativePath;
  v.Group("General");
  v.Text("Language", s.Language, "en", "en");
  v.Long("Update Range", s.UpdateRange, 2, 2);
  v.Long("Update Date", s.UpdateDate, c.now, c.now);
  v.Folder("Path", s.Path, c.programFolder);

  v.Group("Window");
  v.Long("Width", s.Width, 530, 530);
  v.Long("Height", s.Height, 330, 330);
  v.Long("X", s.X, 200, 200);
  v.Long("Y", s.Y, 200, 200);

  v.Group("Screensaver");
  v.Long("videow", s.videow, s.desktopWidth, s.desktopWidth);
  v.Long("videoh", s.videoh, s.desktopHeight, s.desktopHeight);
  v.Long("videod", s.videod, s.desktopDepth, s.desktopDepth);
  v.Long("fps", s.fps, 60, 60);
  v.Long("flakes", s.flakes, 500, 500);
  v.Long("pictime", s.pictime, 20, 20);
  v.Byte("exiton", s.exiton, 0, 0);
  v.Long("exitontimer", s.exitontimer, 30, 30);
  v.Long("exitonsleep", s.exitonsleep, 30, 30);
  v.Byte("background", s.background, 0, 0);
  v.Long("desktopblur", s.desktopblur, 0, 0);
  v.Long("wallpaperblur", s.wallpaperblur, 0, 0);
  v.Long("blankr", s.blankr, 0, 0);
  v.Long("blankg", s.blankg, 0, 0);
  v.Long("blankb", s.blankb, 0, 0);
  v.Byte("perspreview", s.perspreview, 0, 0);
  v.Byte("foreground", s.foreground, 0, 0);
  const std::string foregroundImage = s.Path + NativePath("data/foreground/happynewyear.bmp");
  v.Text("foregroundimage", s.foregroundimage, foregroundImage, foregroundImage);
  v.Long("foregroundimagex", s.foregroundimagex, 150, 150);
  v.Long("foregroundimagey", s.foregroundimagey, 50, 50);
  v.Byte("foregroundtxt", s.foregroundtxt, 0, 0);
  v.Text("foregroundtext", s.foregroundtext, "", "");
  v.Long("foregroundtextx", s.foregroundtextx, 290, 290);
  v.Long("foregroundtexty", s.foregroundtexty, 10, 10);
  v.Byte("flaketype", s.flaketype, 7, 7);
  v.Byte("customflaketype", s.customflaketype, 0, 0);
  const std::string customFlake = s.Path + NativePath("data/snowflakes/myflake2.png");
  v.Text("customflakeimage", s.customflakeimage, customFlake, customFlake);
  v.Long("flakesize", s.flakesize, 3, 3);
  v.Byte("flakerotate", s.flakerotate, 0, 0);
  v.Byte("wind", s.wind, 3, 3);
  v.Long("speed", s.speed, 3, 3);
  v.Byte("music", s.music, 0, 0);
  v.Byte("musicmode", s.musicmode, 0, 1);
  const std::string musicFile = s.Path + NativePath("data/music/forest.mp3");
  v.Text("musicfile", s.musicfile, musicFile, musicFile);
  const std::string musicFolder = s.Path + NativePath("data/music/");
  v.Text("musicfolder", s.musicfolder, musicFolder, musicFolder);
  v.Byte("musicvol", s.musicvol, 2, 2);
  v.Byte("aclock", s.aclock, 1, 1);
  v.Long("aclocksize", s.aclocksize, 3, 20);
  v.Long("aclockx", s.aclockx, -300, -200);
  v.Long("aclocky", s.aclocky, -50, -52);
  v.Byte("dclock", s.dclock, 1, 1);
  v.Long("dclockx", s.dclockx, -260, -150);
  v.Long("dclocky", s.dclocky, -70, -60);
  v.Byte("timefrm", s.timefrm, 1, 1);
  v.Byte("calendar", s.calendar, 0, 0);
  v.Long("calendarx", s.calendarx, -280, -210);
  v.Long("calendary", s.calendary, 10, 10);
  v.Long("calendarm", s.calendarm, 8, 8);
  v.Long("calendarsize", s.calendarsize, 2, 13);
  v.Byte("calendarfont", s.calendarfont, 1, 1);
  v.Byte("calendarbg", s.calendarbg, 0, 0);
  v.Byte("calendarfirst", s.calendarfirst, 1, 1);
  v.End();
}

struct DefaultsVisitor {
  void Group(const char*) {}
  void Text(const char*, std::string& field, const std::string& def, const std::string&) {
    field = def;
  }
  void Long(const char*, int32_t& field, int32_t def, int32_t) { field = def; }
  void Byte(const char*, int8_t& field, int32_t def, int32_t) { field = static_cast<int8_t>(def); }
  void Folder(const char*, std::string& field, const std::string& programFolder) {
    field = programFolder;
  }
  void End() {}
};

struct LoadVisitor {
  PreferencesFile& file;
  void Group(const char* name) { file.SelectGroup(name); }
  void Text(const char* key, std::string& field, const std::string&, const std::string& missing) {
    field = file.ReadText(key, missing);
  }
  void Long(const char* key, int32_t& field, int32_t, int32_t missing) {
    field = file.ReadInteger(key, missing);
  }
  void Byte(const char* key, int8_t& field, int32_t, int32_t missing) {
    field = static_cast<int8_t>(file.ReadInteger(key, missing));
  }
  // An empty value means the program's folder; a folder always ends with its separator, so
  // that names can be joined to it.
  void Folder(const char* key, std::string& field, const std::string& programFolder) {
    field = file.ReadText(key, programFolder);
    if (field.empty()) field = programFolder;
    if (field.back() != platform::kSep) field += platform::kSep;
  }
  void End() {}
};

struct SaveVisitor {
  PreferencesFile& file;
  bool inGroup = false;
  // Each group ends with an empty comment line.
  void Group(const char* name) {
    End();
    file.SelectGroup(name);
    inGroup = true;
  }
  void Text(const char* key, const std::string& field, const std::string&, const std::string&) {
    file.WriteText(key, field);
  }
  void Long(const char* key, const int32_t& field, int32_t, int32_t) {
    file.WriteInteger(key, field);
  }
  void Byte(const char* key, const int8_t& field, int32_t, int32_t) {
    file.WriteInteger(key, field);
  }
  void Folder(const char* key, const std::string& field, const std::string&) {
    file.WriteText(key, field);
  }
  void End() {
    if (inGroup) file.WriteComment("");
    inGroup = false;
  }
};

}  // namespace

void SetDefaults(Settings& s, const SettingsContext& context) {
  DefaultsVisitor visitor;
  VisitKeys(s, context, visitor);
}

void LoadSettings(Settings& s, const SettingsContext& context) {
  PreferencesFile file;
  if (!file.OpenForReading(s.configFile)) {
    SetDefaults(s, context);
    return;
  }
  LoadVisitor visitor{file};
  VisitKeys(s, context, visitor);
}

bool SaveSettings(const Settings& s, std::string* failure) {
  PreferencesFile file;
  bool saved = file.CreateForWriting(s.configFile);
  if (saved) {
    SaveVisitor visitor{file};
    VisitKeys(s, SettingsContext{}, visitor);
    saved = file.Close();
  }
  if (!saved && failure) *failure = file.Failure();
  return saved;
}

}  // namespace settings
