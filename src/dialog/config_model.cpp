#include "dialog/config_model.h"

#include <algorithm>
#include <variant>

#include "dialog/config_layout.h"
#include "images/pictures.h"
#include "settings/mode_text.h"
#include "settings/modes.h"
#include "text/language_table.h"
#include "text/message_box.h"
#include "text/number.h"
#include "web/site.h"

namespace dialog {
namespace {

using settings::Settings;

// Display modes narrower than this or shallower than this are not offered.
constexpr int32_t kMinModeWidth = 800;
constexpr int32_t kMinModeDepth = 16;
// The size and pause of each picture added to the custom library.
constexpr int32_t kLibraryWidth = 800;
constexpr int32_t kLibraryHeight = 600;
constexpr uint32_t kPauseAfterImportMs = 10;

constexpr const char* kCreditsText =
    "Flurrix Screensaver\n"
    "Copyright (c) Corvantic. All rights reserved.\n\n"
    "The built-in pictures, snowflakes, music and sounds are the program's own work, made for "
    "it and free to use with it.\n\n"
    "Newer versions, news and help are published on the screensaver's homepage: use the house "
    "button below, or the arrows button to check for a new version now.";

// How a control holds the settings field it edits.
enum class Holds {
  kPosition,  // spin box or slider: its position, clamped to its range
  kCheck,     // check box or option button: on for any value but 0
  kChoice,    // drop-down list: the item's index plus `offset`; with none chosen the field stays
  kNumber,    // number field: the value as decimal text, read back as a number
  kText,      // text field: the text, stored without blanks at either end
};

using Field = std::variant<int32_t Settings::*, int8_t Settings::*, std::string Settings::*>;

struct Binding {
  Control control;
  Holds holds;
  Field field;
  int32_t offset = 0;  // what item 0 of a list stores: 1 for the lists stored one above
};

// Every control that edits one settings field: filling the dialog and writing it back both go
// through this list. The display mode, the option pair, the swatch and the custom image list
// are handled beside it.
constexpr Binding kBindings[] = {
    {kFlakes, Holds::kPosition, &Settings::flakes},
    {kPictime, Holds::kPosition, &Settings::pictime},
    {kExitOn, Holds::kChoice, &Settings::exiton},
    {kExitTimer, Holds::kPosition, &Settings::exitontimer},
    {kExitSleep, Holds::kPosition, &Settings::exitonsleep},
    {kBackground, Holds::kChoice, &Settings::background},
    {kDesktopBlur, Holds::kPosition, &Settings::desktopblur},
    {kWallpaperBlur, Holds::kPosition, &Settings::wallpaperblur},
    {kRed, Holds::kPosition, &Settings::blankr},
    {kGreen, Holds::kPosition, &Settings::blankg},
    {kBlue, Holds::kPosition, &Settings::blankb},
    {kPreviewCheck, Holds::kCheck, &Settings::perspreview},
    {kShowImage, Holds::kCheck, &Settings::foreground},
    {kImageFile, Holds::kText, &Settings::foregroundimage},
    {kImageX, Holds::kNumber, &Settings::foregroundimagex},
    {kImageY, Holds::kNumber, &Settings::foregroundimagey},
    {kShowText, Holds::kCheck, &Settings::foregroundtxt},
    {kCustomText, Holds::kText, &Settings::foregroundtext},
    {kTextX, Holds::kNumber, &Settings::foregroundtextx},
    {kTextY, Holds::kNumber, &Settings::foregroundtexty},
    {kFlakeType, Holds::kPosition, &Settings::flaketype},  // kept when a custom flake is chosen
    {kCustomFlake, Holds::kCheck, &Settings::customflaketype},
    {kFlakeFile, Holds::kText, &Settings::customflakeimage},
    {kFlakeSize, Holds::kPosition, &Settings::flakesize},
    {kFlakeRotate, Holds::kCheck, &Settings::flakerotate},
    {kWind, Holds::kChoice, &Settings::wind},
    {kSpeed, Holds::kPosition, &Settings::speed},
    {kPlayMusic, Holds::kCheck, &Settings::music},
    {kMusicMode, Holds::kChoice, &Settings::musicmode},
    {kMusicFile, Holds::kText, &Settings::musicfile},
    {kMusicFolder, Holds::kText, &Settings::musicfolder},
    {kVolume, Holds::kPosition, &Settings::musicvol},
    {kShowAnalog, Holds::kCheck, &Settings::aclock},
    {kAnalogX, Holds::kNumber, &Settings::aclockx},
    {kAnalogY, Holds::kNumber, &Settings::aclocky},
    {kAnalogSize, Holds::kPosition, &Settings::aclocksize},
    {kShowDigital, Holds::kCheck, &Settings::dclock},
    {kDigitalX, Holds::kNumber, &Settings::dclockx},
    {kDigitalY, Holds::kNumber, &Settings::dclocky},
    {kTimeFormat, Holds::kChoice, &Settings::timefrm, settings::kTimeEuropean},
    {kShowCalendar, Holds::kCheck, &Settings::calendar},
    {kCalendarX, Holds::kNumber, &Settings::calendarx},
    {kCalendarY, Holds::kNumber, &Settings::calendary},
    {kCalendarBorder, Holds::kNumber, &Settings::calendarm},
    {kCalendarSize, Holds::kPosition, &Settings::calendarsize},
    {kCalendarFont, Holds::kChoice, &Settings::calendarfont, settings::kCalendarFontSmall},
    {kFirstDay, Holds::kChoice, &Settings::calendarfirst, settings::kWeekStartsMonday},
};

int32_t NumberOf(const Settings& s, const Field& field) {
  if (const auto* member = std::get_if<int32_t Settings::*>(&field)) return s.*(*member);
  return s.*std::get<int8_t Settings::*>(field);
}

void SetNumber(Settings& s, const Field& field, int32_t value) {
  if (const auto* member = std::get_if<int32_t Settings::*>(&field)) {
    s.*(*member) = value;
  } else {
    s.*std::get<int8_t Settings::*>(field) = static_cast<int8_t>(value);
  }
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

const std::string& Dialog(const char* key) {
  return text::Lookup("Dialog", key);
}

}  // namespace

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
  // Never shown, still saved.
  Show({kCalendarBorderLabel, kCalendarBorder, kCalendarFontLabel, kCalendarFont}, false);
}

const ControlState& ConfigModel::State(Control id) const {
  static const ControlState kNone;
  const auto found = controls_.find(id);
  return found == controls_.end() ? kNone : found->second;
}

void ConfigModel::Show(std::initializer_list<Control> ids, bool visible) {
  for (Control id : ids) At(id).visible = visible;
}

void ConfigModel::Enable(std::initializer_list<Control> ids, bool enabled) {
  for (Control id : ids) At(id).enabled = enabled;
}

void ConfigModel::SetSpin(Control id, int32_t value) {
  const ControlDef* def = FindControl(id);
  At(id).value = std::clamp(value, def->min, def->max);
  if (def->kind == ControlKind::kSpinBox) At(id).text = std::to_string(At(id).value);
}

void ConfigModel::Select(Control id, int32_t index) {
  At(id).value = index >= 0 && index < static_cast<int32_t>(At(id).items.size()) ? index : -1;
}

void ConfigModel::FillDisplayModes() {
  ControlState& list = At(kDisplayMode);
  list.items = {text::Lookup("General", "Desktop Resolution")};
  for (const platform::DesktopMode& m : modes_) {
    if (m.width < kMinModeWidth || m.depth < kMinModeDepth) continue;
    std::string item = settings::ModeText(m.width, m.height, m.depth);
    // The same mode at several refresh rates comes in a row: offer it once.
    if (item != list.items.back()) list.items.push_back(std::move(item));
  }
  const Settings& s = settings_;
  const std::string stored = settings::ModeText(s.videow, s.videoh, s.videod);
  list.value = -1;
  if (stored == settings::ModeText(s.desktopWidth, s.desktopHeight, s.desktopDepth)) {
    list.value = 0;
  } else {
    const auto found = std::find(list.items.begin() + 1, list.items.end(), stored);
    if (found != list.items.end()) list.value = static_cast<int32_t>(found - list.items.begin());
  }
}

void ConfigModel::Fill() {
  const Settings& s = settings_;
  FillDisplayModes();
  for (const Binding& b : kBindings) {
    switch (b.holds) {
      case Holds::kPosition:
        SetSpin(b.control, NumberOf(s, b.field));
        break;
      case Holds::kCheck:
        At(b.control).value = NumberOf(s, b.field) != 0;
        break;
      case Holds::kChoice:
        Select(b.control, NumberOf(s, b.field) - b.offset);
        break;
      case Holds::kNumber:
        At(b.control).text = std::to_string(NumberOf(s, b.field));
        break;
      case Holds::kText:
        At(b.control).text = s.*std::get<std::string Settings::*>(b.field);
        break;
    }
  }
  Select(kLanguage, 0);  // the one language there is
  At(kOriginalFlake).value = !On(kCustomFlake);
  UpdateSwatch();
  At(kImageList).items.clear();
  At(kImageList).value = -1;
  library_.FillList(*this);
  Enable({kRemoveImageButton}, false);
  At(kCredits).text = kCreditsText;
  ApplyRules();
}

// What each choice shows, hides, enables and disables. Applied after filling and after every
// choice the user makes, so the controls always follow their sources.
void ConfigModel::ApplyRules() {
  Show({kExitTimer}, Value(kExitOn) == settings::kExitOnTimer);
  Show({kExitSleep}, Value(kExitOn) == settings::kExitOnSleep);
  const int32_t background = Value(kBackground);
  Show({kDesktopFrame, kDesktopBlurLabel, kDesktopBlur},
       background == settings::kBackgroundDesktop);
  Show({kWallpaperFrame, kWallpaperBlurLabel, kWallpaperBlur},
       background == settings::kBackgroundWallpaper);
  Show({kBlankFrame, kRedLabel, kRed, kGreenLabel, kGreen, kBlueLabel, kBlue, kSwatch},
       background == settings::kBackgroundBlank);
  Show({kCustomFrame, kImageList, kPreview, kPreviewCheck, kAddImageButton, kRemoveImageButton},
       background == settings::kBackgroundCustom);
  Enable({kImageFile, kImageBrowse, kImageXLabel, kImageX, kImageYLabel, kImageY}, On(kShowImage));
  Enable({kCustomText, kTextXLabel, kTextX, kTextYLabel, kTextY}, On(kShowText));
  At(kFlakePicture).value = kFirstFlakePicture + Value(kFlakeType) - 1;
  Enable({kFlakeType}, On(kOriginalFlake));
  Enable({kFlakeFile, kFlakeBrowse}, On(kCustomFlake));
  const bool folder = Value(kMusicMode) == settings::kMusicFolder;
  Show({kMusicFile}, !folder);
  Show({kMusicFolder}, folder);
  Enable({kMusicMode, kMusicFile, kMusicFolder, kMusicBrowse, kVolumeLabel, kVolume},
         On(kPlayMusic));
  Enable({kAnalogXLabel, kAnalogX, kAnalogYLabel, kAnalogY, kAnalogSizeLabel, kAnalogSize},
         On(kShowAnalog));
  Enable({kDigitalXLabel, kDigitalX, kDigitalYLabel, kDigitalY, kTimeFormatLabel, kTimeFormat},
         On(kShowDigital));
  // The hidden border and font controls follow the box too.
  Enable({kCalendarXLabel, kCalendarX, kCalendarYLabel, kCalendarY, kCalendarSizeLabel,
          kCalendarSize, kCalendarBorderLabel, kCalendarBorder, kCalendarFontLabel, kCalendarFont,
          kFirstDayLabel, kFirstDay},
         On(kShowCalendar));
}

void ConfigModel::UpdateSwatch() {
  At(kSwatch).value = Value(kRed) + Value(kGreen) * 256 + Value(kBlue) * 65536;
}

void ConfigModel::ShowPreviewOfSelection() {
  const int32_t selected = Value(kImageList);
  if (selected >= 0 && On(kPreviewCheck)) {
    library_.ShowThumbnail(At(kImageList).items[selected], *this);
  }
}

void ConfigModel::Choose(Control id, int32_t value) {
  const ControlDef* def = FindControl(id);
  if (!def) return;
  switch (def->kind) {
    case ControlKind::kDropDown:
    case ControlKind::kList:
      Select(id, value);
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
    case kRed:
    case kGreen:
    case kBlue:
      UpdateSwatch();
      break;
    case kImageList:
      ShowPreviewOfSelection();
      Enable({kRemoveImageButton}, Value(kImageList) >= 0);
      break;
    case kPreviewCheck:
      if (On(kPreviewCheck) && Value(kImageList) >= 0) {
        ShowPreviewOfSelection();
      } else {
        ShowPicture(kNoImagePicture);
      }
      break;
    case kOriginalFlake:  // the option pair: choosing one turns the other off
      At(kCustomFlake).value = 0;
      break;
    case kCustomFlake:
      At(kOriginalFlake).value = 0;
      break;
    default:
      break;
  }
  ApplyRules();
}

void ConfigModel::Type(Control id, const std::string& text) {
  const ControlDef* def = FindControl(id);
  if (!def) return;
  if (def->kind == ControlKind::kSpinBox) {
    SetSpin(id, text::ReadNumberSaturated(text));  // out-of-range numbers are clamped at once
  } else if (def->kind == ControlKind::kDigitsField) {
    std::string digits;
    std::copy_if(text.begin(), text.end(), std::back_inserter(digits),
                 [](char c) { return c >= '0' && c <= '9'; });
    At(id).text = digits;
  } else if (def->kind == ControlKind::kTextField) {
    At(id).text = text;
  }
}

void ConfigModel::Press(Control id) {
  switch (id) {
    case kAddImageButton:
      AddImages();
      break;
    case kRemoveImageButton:
      RemoveImage();
      break;
    case kImageBrowse:
      BrowseFile(kImageFile, "Open Image",
                 text::Lookup("Dialog", "Image File") + " (*.jpg;*.png;*.bmp)|*.jpg;*.png;*.bmp");
      break;
    case kFlakeBrowse:
      BrowseFile(kFlakeFile, "Open Image", text::Lookup("Dialog", "Image File") + " (*.png)|*.png");
      break;
    case kMusicBrowse:
      BrowseMusic();
      break;
    case kHomePageButton:
      web::OpenLink(web::HomePageAddress());
      break;
    case kFeedbackButton:
      web::OpenLink(web::FeedbackMailLink(titleText_));
      break;
    case kUpdateButton:
      services_.CheckForUpdates();
      break;
    case kOkButton:
      Ok();
      break;
    case kCancelButton:
      closed_ = true;
      break;
    default:
      break;
  }
}

void ConfigModel::DoubleClick(Control id) {
  if (id == kImageList && Value(kImageList) < 0) AddImages();
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
  const int32_t selected = Value(kImageList);
  const auto count = static_cast<int32_t>(At(kImageList).items.size());
  if (selected < 0 || selected >= count) return;
  // The entry stays listed when its file could not be deleted.
  if (!library_.RemovePicture(selected, At(kImageList).items[selected], *this)) return;
  if (count == 1) {
    At(kImageList).value = -1;
    Enable({kRemoveImageButton}, false);
    ShowPicture(kNoImagePicture);
  } else {
    At(kImageList).value = selected == count - 1 ? 0 : selected;
  }
}

void ConfigModel::BrowseFile(Control field, const char* title, const std::string& filter) {
  const std::vector<std::string> chosen =
      services_.OpenFiles(Dialog(title), filter, At(field).text, false);
  if (!chosen.empty() && !chosen.front().empty()) At(field).text = chosen.front();
}

void ConfigModel::BrowseMusic() {
  if (Value(kMusicMode) == settings::kMusicFolder) {
    std::string start = At(kMusicFolder).text;
    if (start.size() > 3 && (start.back() == '/' || start.back() == '\\')) start.pop_back();
    std::string folder = services_.OpenFolder(Dialog("Open Music Folder"), start);
    if (folder.empty()) return;
    if (folder.back() != platform::kSep) folder += platform::kSep;
    At(kMusicFolder).text = folder;
  } else {
    BrowseFile(kMusicFile, "Open Music File",
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
  auto blank = [this](Control field) { return Trim(At(field).text).empty(); };
  const bool music = On(kPlayMusic);
  const int32_t musicMode = Value(kMusicMode);
  check(Value(kBackground) == settings::kBackgroundCustom && At(kImageList).items.empty(),
        "No custom images");
  check(On(kShowImage) && blank(kImageFile), "Invalid foreground image");
  check(On(kShowText) && blank(kCustomText), "Invalid foreground text");
  check(On(kCustomFlake) && blank(kFlakeFile), "Invalid snowflake image");
  if (music && musicMode == settings::kMusicOneFile) {
    check(blank(kMusicFile), "Invalid music file");
  }
  if (music && musicMode == settings::kMusicFolder) {
    check(blank(kMusicFolder), "Invalid music folder");
  }
  if (!valid) return;
  // The record changes only with the file: a save that fails keeps the dialog open with the
  // edits, and says why.
  Settings edited = settings_;
  WriteBack(edited);
  std::string failure;
  if (!settings::SaveSettings(edited, &failure)) {
    text::ShowError(failure.empty() ? edited.configFile : edited.configFile + "\n\n" + failure);
    return;
  }
  settings_ = std::move(edited);
  saved_ = true;
  closed_ = true;
}

void ConfigModel::WriteBack(Settings& s) const {
  const int32_t mode = Value(kDisplayMode);
  if (mode == 0) {
    s.videow = s.desktopWidth;
    s.videoh = s.desktopHeight;
    s.videod = s.desktopDepth;
  } else if (mode > 0) {
    // "1024x768x32": the three numbers between the "x"s. With no item chosen the stored
    // mode stays, rather than becoming 0 x 0.
    const std::string& item = State(kDisplayMode).items[mode];
    const size_t x1 = item.find('x'), x2 = item.find('x', x1 + 1);
    s.videow = text::ReadNumber(item.substr(0, x1));
    s.videoh = text::ReadNumber(item.substr(x1 + 1, x2 - x1 - 1));
    s.videod = text::ReadNumber(item.substr(x2 + 1));
  }
  for (const Binding& b : kBindings) {
    const ControlState& c = State(b.control);
    switch (b.holds) {
      case Holds::kPosition:
        SetNumber(s, b.field, c.value);
        break;
      case Holds::kCheck:
        SetNumber(s, b.field, c.value != 0);
        break;
      case Holds::kChoice:
        // A hand-edited value that no item shows stays as it is.
        if (c.value >= 0) SetNumber(s, b.field, c.value + b.offset);
        break;
      case Holds::kNumber:
        SetNumber(s, b.field, text::ReadNumberSaturated(c.text));
        break;
      case Holds::kText:
        s.*std::get<std::string Settings::*>(b.field) = Trim(c.text);
        break;
    }
  }
}

void ConfigModel::Append(const std::string& name) {
  At(kImageList).items.push_back(name);
}

void ConfigModel::RemoveAt(int32_t position) {
  auto& items = At(kImageList).items;
  if (position >= 0 && position < static_cast<int32_t>(items.size())) {
    items.erase(items.begin() + position);
  }
}

void ConfigModel::ShowPicture(int32_t picture) {
  At(kPreview).value = picture;
  ++pictureSerial_;
}

}  // namespace dialog
