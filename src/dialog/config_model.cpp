#include "dialog/config_model.h"

#include <algorithm>

#include "dialog/config_layout.h"
#include "images/pictures.h"
#include "text/language_table.h"
#include "text/message_box.h"
#include "text/number.h"
#include "web/site.h"

namespace dialog {
namespace {

// Display modes narrower than this or shallower than this are not offered.
constexpr int32_t kMinModeWidth = 800;
constexpr int32_t kMinModeDepth = 16;
// The size and pause of each picture added to the custom library.
constexpr int32_t kLibraryWidth = 800;
constexpr int32_t kLibraryHeight = 600;
constexpr uint32_t kPauseAfterImportMs = 10;

constexpr const char* kCredits =
    "Flurrix Screensaver\n"
    "Copyright (c) Corvantic. All rights reserved.\n\n"
    "The built-in pictures, snowflakes, music and sounds are the program's own work, made for "
    "it and free to use with it.\n\n"
    "Newer versions, news and help are published on the screensaver's homepage: use the house "
    "button below, or the arrows button to check for a new version now.";

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

const std::string& Dialog(const char* key) {
  return text::Lookup("Dialog", key);
}

}  // namespace

std::string ModeText(int32_t width, int32_t height, int32_t depth) {
  return std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth);
}

ConfigModel::ConfigModel(settings::Settings& s, std::vector<platform::DesktopMode> modes,
                         DialogServices& services, std::string titleText)
    : settings_(s),
      modes_(std::move(modes)),
      services_(services),
      titleText_(std::move(titleText)),
      library_(s.configFolder, s.desktopDepth) {
  for (const ControlDef& def : DialogControls()) {
    ControlState& c = controls_[def.id];
    if (!def.label.empty()) c.text = text::Lookup(def.group, def.label);
    for (std::string_view item : def.items) c.items.push_back(text::Lookup("General", item));
    c.value = def.kind == ControlKind::kDropDown || def.kind == ControlKind::kList ? -1 : def.min;
    if (def.picture >= 0) c.value = def.picture;
  }
  for (int32_t id = 102; id <= 105; ++id) Show(id, false);  // never shown, still saved
}

const ControlState& ConfigModel::State(int32_t id) const {
  static const ControlState kNone;
  const auto found = controls_.find(id);
  return found == controls_.end() ? kNone : found->second;
}

void ConfigModel::Enable(int32_t first, int32_t last, bool enabled) {
  for (auto it = controls_.lower_bound(first); it != controls_.end() && it->first <= last; ++it) {
    it->second.enabled = enabled;
  }
}

void ConfigModel::SetSpin(int32_t id, int32_t value) {
  const ControlDef* def = FindControl(id);
  At(id).value = std::clamp(value, def->min, def->max);
  if (def->kind == ControlKind::kSpinBox) At(id).text = std::to_string(At(id).value);
}

void ConfigModel::FillDisplayModes() {
  ControlState& list = At(4);
  list.items = {text::Lookup("General", "Desktop Resolution")};
  for (const platform::DesktopMode& m : modes_) {
    if (m.width < kMinModeWidth || m.depth < kMinModeDepth) continue;
    std::string item = ModeText(m.width, m.height, m.depth);
    // The same mode at several refresh rates comes in a row: offer it once.
    if (item != list.items.back()) list.items.push_back(std::move(item));
  }
  const settings::Settings& s = settings_;
  const std::string stored = ModeText(s.videow, s.videoh, s.videod);
  list.value = -1;
  if (stored == ModeText(s.desktopWidth, s.desktopHeight, s.desktopDepth)) {
    list.value = 0;
  } else {
    const auto found = std::find(list.items.begin() + 1, list.items.end(), stored);
    if (found != list.items.end()) list.value = static_cast<int32_t>(found - list.items.begin());
  }
}

void ConfigModel::Fill() {
  const settings::Settings& s = settings_;
  auto select = [this](int32_t id, int32_t index) {
    At(id).value = index >= 0 && index < static_cast<int32_t>(At(id).items.size()) ? index : -1;
  };
  FillDisplayModes();
  SetSpin(9, s.flakes);
  SetSpin(11, s.pictime);
  select(13, s.exiton);
  SetSpin(14, s.exitontimer);
  SetSpin(15, s.exitonsleep);
  ApplyRule(1);
  select(17, 0);

  select(20, s.background);
  SetSpin(23, s.desktopblur);
  ApplyRule(2);
  SetSpin(26, s.wallpaperblur);
  ApplyRule(3);
  SetSpin(29, s.blankr);
  SetSpin(31, s.blankg);
  SetSpin(33, s.blankb);
  UpdateSwatch();
  ApplyRule(4);
  ApplyRule(5);
  At(36).items.clear();
  At(36).value = -1;
  library_.FillList(*this);
  Enable(40, 40, false);

  At(38).value = s.perspreview != 0;
  At(42).value = s.foreground != 0;
  At(43).text = s.foregroundimage;
  SetField(46, s.foregroundimagex);
  SetField(48, s.foregroundimagey);
  At(49).value = s.foregroundtxt != 0;
  At(50).text = s.foregroundtext;
  SetField(52, s.foregroundtextx);
  SetField(54, s.foregroundtexty);
  ApplyRule(6);

  SetSpin(57, s.flaketype);
  ApplyRule(7);
  At(60).text = s.customflakeimage;
  At(59).value = s.customflaketype != 0;
  At(56).value = s.customflaketype == 0;
  ApplyRule(8);
  SetSpin(63, s.flakesize);
  At(64).value = s.flakerotate != 0;

  select(67, s.wind);
  SetSpin(69, s.speed);

  At(71).value = s.music != 0;
  select(72, s.musicmode);
  At(73).text = s.musicfile;
  At(74).text = s.musicfolder;
  SetSpin(77, s.musicvol);
  ApplyRule(9);
  ApplyRule(10);

  At(79).value = s.aclock != 0;
  SetField(81, s.aclockx);
  SetField(83, s.aclocky);
  SetSpin(85, s.aclocksize);
  ApplyRule(11);

  At(87).value = s.dclock != 0;
  SetField(89, s.dclockx);
  SetField(91, s.dclocky);
  select(93, s.timefrm - 1);
  ApplyRule(12);

  At(95).value = s.calendar != 0;
  SetSpin(101, s.calendarsize);
  SetField(97, s.calendarx);
  SetField(99, s.calendary);
  SetField(103, s.calendarm);
  select(105, s.calendarfont - 1);
  select(109, s.calendarfirst - 1);
  ApplyRule(13);

  At(111).text = kCredits;
}

void ConfigModel::ApplyRule(int32_t rule) {
  switch (rule) {
    case 1:
      Show(14, Value(13) == 3);
      Show(15, Value(13) == 4);
      break;
    case 2:
      for (int32_t id = 21; id <= 23; ++id) Show(id, Value(20) == 1);
      break;
    case 3:
      for (int32_t id = 24; id <= 26; ++id) Show(id, Value(20) == 2);
      break;
    case 4:
      for (int32_t id = 27; id <= 34; ++id) Show(id, Value(20) == 3);
      break;
    case 5:
      for (int32_t id = 35; id <= 40; ++id) Show(id, Value(20) == 4);
      break;
    case 6:
      Enable(43, 48, On(42));
      Enable(50, 54, On(49));
      break;
    case 7:
      At(58).value = kFirstFlakePicture + Value(57) - 1;
      break;
    case 8:
      Enable(57, 57, On(56));
      Enable(60, 61, On(59));
      break;
    case 9:
      Show(73, Value(72) != 1);
      Show(74, Value(72) == 1);
      break;
    case 10:
      Enable(72, 77, On(71));
      break;
    case 11:
      Enable(80, 85, On(79));
      break;
    case 12:
      Enable(88, 93, On(87));
      break;
    case 13:
      Enable(96, 105, On(95));
      Enable(108, 109, On(95));
      break;
    default:
      break;
  }
}

void ConfigModel::UpdateSwatch() {
  At(34).value = Value(29) + Value(31) * 256 + Value(33) * 65536;
}

void ConfigModel::ShowPreviewOfSelection() {
  const int32_t selected = Value(36);
  if (selected >= 0 && On(38)) library_.ShowThumbnail(At(36).items[selected], *this);
}

void ConfigModel::Choose(int32_t id, int32_t value) {
  const ControlDef* def = FindControl(id);
  if (!def) return;
  switch (def->kind) {
    case ControlKind::kDropDown:
    case ControlKind::kList:
      At(id).value = value >= 0 && value < static_cast<int32_t>(At(id).items.size()) ? value : -1;
      break;
    case ControlKind::kSlider:
    case ControlKind::kTickSlider:
      SetSpin(id, value);
      break;
    case ControlKind::kCheckBox:
    case ControlKind::kOptionButton:
      At(id).value = value != 0;
      break;
    default:
      return;
  }
  switch (id) {
    case 13:
      ApplyRule(1);
      break;
    case 20:
      for (int32_t rule = 2; rule <= 5; ++rule) ApplyRule(rule);
      break;
    case 29:
    case 31:
    case 33:
      UpdateSwatch();
      break;
    case 36:
      ShowPreviewOfSelection();
      Enable(40, 40, Value(36) >= 0);
      break;
    case 38:
      if (On(38) && Value(36) >= 0) {
        ShowPreviewOfSelection();
      } else {
        ShowPicture(kNoImagePicture);
      }
      break;
    case 42:
    case 49:
      ApplyRule(6);
      break;
    case 56:
      At(59).value = 0;
      ApplyRule(8);
      break;
    case 57:
      ApplyRule(7);
      break;
    case 59:
      At(56).value = 0;
      ApplyRule(8);
      break;
    case 71:
      ApplyRule(10);
      break;
    case 72:
      ApplyRule(9);
      break;
    case 79:
      ApplyRule(11);
      break;
    case 87:
      ApplyRule(12);
      break;
    case 95:
      ApplyRule(13);
      break;
    default:
      break;
  }
}

void ConfigModel::Type(int32_t id, const std::string& text) {
  const ControlDef* def = FindControl(id);
  if (!def) return;
  if (def->kind == ControlKind::kSpinBox) {
    SetSpin(id, text::ReadNumber(text));  // out-of-range numbers are clamped at once
  } else if (def->kind == ControlKind::kDigitsField) {
    std::string digits;
    std::copy_if(text.begin(), text.end(), std::back_inserter(digits),
                 [](char c) { return c >= '0' && c <= '9'; });
    At(id).text = digits;
  } else if (def->kind == ControlKind::kTextField) {
    At(id).text = text;
  }
}

void ConfigModel::Press(int32_t id) {
  switch (id) {
    case 39:
      AddImages();
      break;
    case 40:
      RemoveImage();
      break;
    case 44:
      BrowseFile(43, "Open Image",
                 text::Lookup("Dialog", "Image File") + " (*.jpg;*.png;*.bmp)|*.jpg;*.png;*.bmp");
      break;
    case 61:
      BrowseFile(60, "Open Image", text::Lookup("Dialog", "Image File") + " (*.png)|*.png");
      break;
    case 75:
      BrowseMusic();
      break;
    case 112:
      web::OpenLink(web::HomePageAddress());
      break;
    case 113:
      web::OpenLink(web::FeedbackMailLink(titleText_));
      break;
    case 114:
      services_.CheckForUpdates();
      break;
    case 116:
      Ok();
      break;
    case 117:
      closed_ = true;
      break;
    default:
      break;
  }
}

void ConfigModel::DoubleClick(int32_t id) {
  if (id == 36 && Value(36) < 0) AddImages();
}

void ConfigModel::AddImages() {
  const std::string filter =
      text::Lookup("Dialog", "Image File") +
      " (*.jpg, *.bmp, *.png, "
      "*.tga)|*.jpg;*.jpeg;*.jpe;*.jif;*.bmp;*.rle;*.dib;*.png;*.tga;*.targa";
  for (const std::string& file : services_.OpenFiles(Dialog("Add Image"), filter, "", true)) {
    library_.AddPicture(file, *this, kLibraryWidth, kLibraryHeight);
    platform::SleepMs(kPauseAfterImportMs);
  }
}

void ConfigModel::RemoveImage() {
  const int32_t selected = Value(36);
  const auto count = static_cast<int32_t>(At(36).items.size());
  if (selected < 0 || selected >= count) return;
  // The entry stays listed when its file could not be deleted.
  if (!library_.RemovePicture(selected, At(36).items[selected], *this)) return;
  if (count == 1) {
    At(36).value = -1;
    Enable(40, 40, false);
    ShowPicture(kNoImagePicture);
  } else {
    At(36).value = selected == count - 1 ? 0 : selected;
  }
}

void ConfigModel::BrowseFile(int32_t field, const char* title, const std::string& filter) {
  const std::vector<std::string> chosen =
      services_.OpenFiles(Dialog(title), filter, At(field).text, false);
  if (!chosen.empty() && !chosen.front().empty()) At(field).text = chosen.front();
}

void ConfigModel::BrowseMusic() {
  if (Value(72) == 1) {
    std::string start = At(74).text;
    if (start.size() > 3 && (start.back() == '/' || start.back() == '\\')) start.pop_back();
    std::string folder = services_.OpenFolder(Dialog("Open Music Folder"), start);
    if (folder.empty()) return;
    if (folder.back() != platform::kSep) folder += platform::kSep;
    At(74).text = folder;
  } else {
    BrowseFile(73, "Open Music File",
               text::Lookup("Dialog", "Music File") + " (*.mp3;*.wma;*.wav)|*.mp3;*.wma;*.wav");
  }
}

void ConfigModel::Ok() {
  bool valid = true;
  auto check = [&valid](bool failed, const char* message) {
    if (!failed) return;
    text::ShowError(text::Lookup("Msg", message));
    valid = false;
  };
  check(Value(20) == 4 && At(36).items.empty(), "No custom images");
  check(On(42) && Trim(At(43).text).empty(), "Invalid foreground image");
  check(On(49) && Trim(At(50).text).empty(), "Invalid foreground text");
  check(On(59) && Trim(At(60).text).empty(), "Invalid snowflake image");
  if (On(71) && Value(72) == 0) check(Trim(At(73).text).empty(), "Invalid music file");
  if (On(71) && Value(72) == 1) check(Trim(At(74).text).empty(), "Invalid music folder");
  if (!valid) return;
  WriteBack();
  saved_ = settings::SaveSettings(settings_);
  closed_ = true;
}

void ConfigModel::WriteBack() {
  settings::Settings& s = settings_;
  auto number = [this](int32_t id) { return text::ReadNumber(At(id).text); };
  auto flag = [this](int32_t id) { return static_cast<int8_t>(On(id)); };
  auto index = [this](int32_t id, int32_t plus = 0) {
    return static_cast<int8_t>(Value(id) + plus);
  };

  if (Value(4) == 0) {
    s.videow = s.desktopWidth;
    s.videoh = s.desktopHeight;
    s.videod = s.desktopDepth;
  } else if (Value(4) > 0) {
    // "1024x768x32": the three numbers between the "x"s. With no item chosen the stored
    // mode stays, rather than becoming 0 x 0.
    const std::string& item = At(4).items[Value(4)];
    const size_t x1 = item.find('x'), x2 = item.find('x', x1 + 1);
    s.videow = text::ReadNumber(item.substr(0, x1));
    s.videoh = text::ReadNumber(item.substr(x1 + 1, x2 - x1 - 1));
    s.videod = text::ReadNumber(item.substr(x2 + 1));
  }
  s.flakes = Value(9);
  s.pictime = Value(11);
  s.exiton = index(13);
  s.exitontimer = Value(14);
  s.exitonsleep = Value(15);
  s.background = index(20);
  s.desktopblur = Value(23);
  s.wallpaperblur = Value(26);
  s.blankr = Value(29);
  s.blankg = Value(31);
  s.blankb = Value(33);
  s.perspreview = flag(38);
  s.foreground = flag(42);
  s.foregroundimage = Trim(At(43).text);
  s.foregroundimagex = number(46);
  s.foregroundimagey = number(48);
  s.foregroundtxt = flag(49);
  s.foregroundtext = Trim(At(50).text);
  s.foregroundtextx = number(52);
  s.foregroundtexty = number(54);
  s.flaketype = static_cast<int8_t>(Value(57));
  s.customflaketype = flag(59);
  s.customflakeimage = Trim(At(60).text);
  s.flakesize = Value(63);
  s.flakerotate = flag(64);
  s.wind = index(67);
  s.speed = Value(69);
  s.music = flag(71);
  s.musicmode = index(72);
  s.musicfile = Trim(At(73).text);
  s.musicfolder = Trim(At(74).text);
  s.musicvol = static_cast<int8_t>(Value(77));
  s.aclock = flag(79);
  s.aclockx = number(81);
  s.aclocky = number(83);
  s.aclocksize = Value(85);
  s.dclock = flag(87);
  s.dclockx = number(89);
  s.dclocky = number(91);
  s.timefrm = index(93, 1);
  s.calendar = flag(95);
  s.calendarx = number(97);
  s.calendary = number(99);
  s.calendarm = number(103);
  s.calendarsize = Value(101);
  s.calendarfont = index(105, 1);
  s.calendarfirst = index(109, 1);
}

void ConfigModel::Append(const std::string& name) {
  At(36).items.push_back(name);
}

void ConfigModel::RemoveAt(int32_t position) {
  auto& items = At(36).items;
  if (position >= 0 && position < static_cast<int32_t>(items.size())) {
    items.erase(items.begin() + position);
  }
}

void ConfigModel::ShowPicture(int32_t picture) {
  At(37).value = picture;
  ++pictureSerial_;
}

}  // namespace dialog
