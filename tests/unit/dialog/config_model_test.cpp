// The configuration dialog's model without a window: filling, rules, events, requesters,
// the custom image list, validation and saving.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../images/picture_files.h"
#include "dialog/config_layout.h"
#include "dialog/config_model.h"
#include "images/codecs.h"
#include "images/pictures.h"
#include "scoped_hook.h"
#include "settings/modes.h"
#include "text/language_table.h"
#include "text/message_box.h"
#include "web/site.h"

namespace dialog {
namespace {

struct Requester {
  std::string title, filter, start;
  bool multiple = false;
};

struct ScriptedServices : DialogServices {
  std::vector<std::string> files;  // what the next file requester returns
  std::string folder;
  std::vector<Requester> asked;
  int updateChecks = 0;
  std::vector<std::string> OpenFiles(const std::string& title, const std::string& filter,
                                     const std::string& start, bool multiple) override {
    asked.push_back({title, filter, start, multiple});
    return files;
  }
  std::string OpenFolder(const std::string& title, const std::string& start) override {
    asked.push_back({title, "", start, false});
    return folder;
  }
  void CheckForUpdates() override { ++updateChecks; }
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

class ConfigModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = images::testing::TempFolder(
        std::string("dialog-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    s.desktopWidth = 1920;
    s.desktopHeight = 1080;
    s.desktopDepth = 32;
    settings::SetDefaults(s, {folder, 0});
    s.configFolder = folder;
    s.configFile = folder + "config.ini";
  }

  ConfigModel& Open(std::vector<platform::DesktopMode> modes = {{1920, 1080, 32}}) {
    model = std::make_unique<ConfigModel>(s, std::move(modes), services, "Flurrix Screensaver 3.3");
    model->Fill();
    return *model;
  }
  std::string Source(const std::string& name) {
    const std::string path = folder + name;
    EXPECT_TRUE(images::EncodeImageFile(images::testing::MakeImage(40, 30, 24, 0x4080C0), path,
                                        images::kTagBmp));
    return path;
  }
  static std::string Msg(const char* key) { return text::Lookup("Msg", key); }

  std::string folder;
  settings::Settings s;
  ScriptedServices services;
  std::unique_ptr<ConfigModel> model;
  std::vector<std::string> captions, boxes, links;
  // After what they fill, so that they are put back first.
  flurrixtest::ScopedHook<text::MessageBoxHandler> boxHook{
      text::SetMessageBoxHandler,
      [this](const std::string& caption, const std::string& text, int32_t) {
        captions.push_back(caption);
        boxes.push_back(text);
        return platform::kAnswerOk;
      }};
  flurrixtest::ScopedHook<web::LinkOpener> linkHook{
      web::SetLinkOpener, [this](const std::string& a) { links.push_back(a); }};
};

TEST_F(ConfigModelTest, RulesAtFillingAndOnTheirEvents) {
  s.exiton = settings::kExitOnTimer;
  s.background = settings::kBackgroundWallpaper;
  s.foreground = 1;
  s.foregroundtxt = 0;
  s.customflaketype = 1;
  s.music = 0;
  s.musicmode = settings::kMusicFolder;
  s.aclock = 1;
  s.dclock = 0;
  s.calendar = 0;
  s.flaketype = 5;
  ConfigModel& m = Open();
  auto visible = [&m](Control id) { return m.State(id).visible; };
  auto enabled = [&m](Control id) { return m.State(id).enabled; };
  // Filled state.
  EXPECT_TRUE(visible(kExitTimer));  // the timer event's minutes
  EXPECT_FALSE(visible(kExitSleep));
  EXPECT_FALSE(visible(kDesktopBlur));  // only the wallpaper group
  EXPECT_TRUE(visible(kWallpaperFrame) && visible(kWallpaperBlur));
  EXPECT_FALSE(visible(kBlankFrame) || visible(kSwatch) || visible(kCustomFrame) ||
               visible(kRemoveImageButton));
  EXPECT_TRUE(enabled(kImageFile) && enabled(kImageY));
  EXPECT_FALSE(enabled(kCustomText) || enabled(kTextY));
  EXPECT_EQ(m.State(kFlakePicture).value, kFirstFlakePicture + 4);  // flake 5
  EXPECT_FALSE(enabled(kFlakeType));
  EXPECT_TRUE(enabled(kFlakeFile) && enabled(kFlakeBrowse));
  EXPECT_TRUE(visible(kMusicFolder));
  EXPECT_FALSE(visible(kMusicFile));
  EXPECT_FALSE(enabled(kMusicMode) || enabled(kVolume));
  EXPECT_TRUE(enabled(kAnalogXLabel) && enabled(kAnalogSize));
  EXPECT_FALSE(enabled(kDigitalXLabel) || enabled(kTimeFormat));
  EXPECT_FALSE(enabled(kCalendarXLabel) || enabled(kCalendarFont) || enabled(kFirstDay));
  EXPECT_FALSE(visible(kCalendarBorderLabel) || visible(kCalendarBorder) ||
               visible(kCalendarFontLabel) || visible(kCalendarFont));

  // The same rules on their events.
  m.Choose(kExitOn, settings::kExitOnSleep);
  EXPECT_FALSE(visible(kExitTimer));
  EXPECT_TRUE(visible(kExitSleep));
  m.Choose(kBackground, settings::kBackgroundBlank);
  EXPECT_FALSE(visible(kWallpaperFrame));
  EXPECT_TRUE(visible(kBlankFrame) && visible(kSwatch));
  m.Choose(kBackground, settings::kBackgroundCustom);
  EXPECT_FALSE(visible(kBlankFrame));
  EXPECT_TRUE(visible(kCustomFrame) && visible(kAddImageButton));
  m.Choose(kShowImage, 0);
  m.Choose(kShowText, 1);
  EXPECT_FALSE(enabled(kImageFile) || enabled(kImageY));
  EXPECT_TRUE(enabled(kCustomText) && enabled(kTextY));
  m.Choose(kFlakeType, 8);
  EXPECT_EQ(m.State(kFlakePicture).value, kFirstFlakePicture + 7);
  m.Choose(kOriginalFlake, 1);
  EXPECT_EQ(m.State(kCustomFlake).value, 0);
  EXPECT_TRUE(enabled(kFlakeType));
  EXPECT_FALSE(enabled(kFlakeFile) || enabled(kFlakeBrowse));
  m.Choose(kMusicMode, 0);
  EXPECT_TRUE(visible(kMusicFile));
  EXPECT_FALSE(visible(kMusicFolder));
  m.Choose(kPlayMusic, 1);
  EXPECT_TRUE(enabled(kMusicMode) && enabled(kVolume));
  m.Choose(kShowAnalog, 0);
  EXPECT_FALSE(enabled(kAnalogXLabel) || enabled(kAnalogSize));
  m.Choose(kShowDigital, 1);
  EXPECT_TRUE(enabled(kDigitalXLabel) && enabled(kTimeFormat));
  m.Choose(kShowCalendar, 1);
  EXPECT_TRUE(enabled(kCalendarXLabel) && enabled(kCalendarFont) && enabled(kFirstDayLabel) &&
              enabled(kFirstDay));
  EXPECT_FALSE(visible(kCalendarBorderLabel) || visible(kCalendarFont));
  m.Choose(kRed, 255);
  m.Choose(kBlue, 16);
  EXPECT_EQ(m.State(kSwatch).value, 255 + 16 * 65536);  // the swatch, 0x00BBGGRR
}

TEST_F(ConfigModelTest, SpinBoxesClampWhatIsTyped) {
  ConfigModel& m = Open();
  m.Type(kFlakes, "5000");
  EXPECT_EQ(m.State(kFlakes).value, 2000);
  EXPECT_EQ(m.State(kFlakes).text, "2000");
  m.Type(kFlakes, "3");
  EXPECT_EQ(m.State(kFlakes).value, 10);
  m.Type(kFlakes, "4294967306");  // beyond 32 bits: the largest number, not 10
  EXPECT_EQ(m.State(kFlakes).value, 2000);
  m.Type(kFlakes, "1234");
  EXPECT_EQ(m.State(kFlakes).value, 1234);
  m.Type(kPictime, "$64");
  EXPECT_EQ(m.State(kPictime).value, 100);
  m.Type(kPictime, "2401");
  EXPECT_EQ(m.State(kPictime).value, 2400);
  m.Type(kExitTimer, "0");
  EXPECT_EQ(m.State(kExitTimer).value, 1);
  m.Type(kCalendarSize, "$B");
  EXPECT_EQ(m.State(kCalendarSize).value, 10);
  m.Press(kOkButton);
  EXPECT_EQ(s.flakes, 1234);
  EXPECT_EQ(s.pictime, 2400);
}

TEST_F(ConfigModelTest, DisplayModes) {
  ConfigModel& m = Open({{640, 480, 32},
                         {1024, 768, 8},
                         {1024, 768, 32},
                         {1024, 768, 32},
                         {1280, 1024, 16},
                         {1024, 768, 32},
                         {1920, 1080, 32}});
  EXPECT_EQ(m.State(kDisplayMode).items,
            (std::vector<std::string>{text::Lookup("General", "Desktop Resolution"), "1024x768x32",
                                      "1280x1024x16", "1024x768x32", "1920x1080x32"}));
  EXPECT_EQ(m.State(kDisplayMode).value, 0);  // the stored mode is the desktop's
  s.desktopWidth = 1280;                      // the desktop changed since: OK stores the new one
  s.desktopHeight = 1024;
  m.Press(kOkButton);
  EXPECT_EQ(s.videow, 1280);
  EXPECT_EQ(s.videoh, 1024);
  EXPECT_EQ(s.videod, 32);

  s.videow = 1280;
  s.videoh = 1024;
  s.videod = 16;
  ConfigModel& other = Open({{1024, 768, 32}, {1280, 1024, 16}});
  EXPECT_EQ(other.State(kDisplayMode).value, 2);
  other.Choose(kDisplayMode, 1);
  other.Press(kOkButton);
  EXPECT_EQ(s.videow, 1024);
  EXPECT_EQ(s.videoh, 768);
  EXPECT_EQ(s.videod, 32);

  // A stored mode the display no longer offers selects nothing and is kept on OK.
  s.videow = 3000;
  ConfigModel& gone = Open({{1024, 768, 32}});
  EXPECT_EQ(gone.State(kDisplayMode).value, -1);
  gone.Press(kOkButton);
  EXPECT_EQ(s.videow, 3000);
}

TEST_F(ConfigModelTest, OkShowsEveryFailureInOrderAndSavesNothing) {
  s.background = settings::kBackgroundCustom;
  s.foregroundtxt = 1;
  s.foregroundtext = "  ";
  const settings::Settings before = s;
  ConfigModel& m = Open();
  m.Type(kFlakes, "700");
  m.Press(kOkButton);
  EXPECT_EQ(boxes,
            (std::vector<std::string>{Msg("No custom images"), Msg("Invalid foreground text")}));
  EXPECT_FALSE(m.Closed());
  EXPECT_EQ(s.flakes, before.flakes);
  EXPECT_EQ(platform::FileSize(s.configFile), -1);

  boxes.clear();
  m.Choose(kBackground, settings::kBackgroundForest);
  m.Choose(kShowImage, 1);
  m.Type(kImageFile, " \t ");  // blanks only, as good as empty
  m.Choose(kCustomFlake, 1);
  m.Type(kFlakeFile, " \t");
  m.Choose(kPlayMusic, 1);
  m.Choose(kMusicMode, settings::kMusicFolder);
  m.Type(kMusicFolder, " ");
  m.Press(kOkButton);
  EXPECT_EQ(boxes, (std::vector<std::string>{
                       Msg("Invalid foreground image"), Msg("Invalid foreground text"),
                       Msg("Invalid snowflake image"), Msg("Invalid music folder")}));
  m.Choose(kMusicMode, settings::kMusicOneFile);
  m.Type(kMusicFile, "");
  boxes.clear();
  m.Press(kOkButton);
  EXPECT_EQ(boxes.back(), Msg("Invalid music file"));

  m.Press(kCancelButton);  // Cancel
  EXPECT_TRUE(m.Closed());
  EXPECT_FALSE(m.Saved());
  EXPECT_EQ(s.flakes, before.flakes);
  EXPECT_EQ(platform::FileSize(s.configFile), -1);
}

TEST_F(ConfigModelTest, AddAndRemoveImages) {
  services.files = {Source("one.bmp"), Source("two.bmp"), Source("three.bmp")};
  s.background = settings::kBackgroundCustom;
  s.perspreview = 1;
  ConfigModel& m = Open();
  EXPECT_FALSE(m.State(kRemoveImageButton).enabled);
  m.DoubleClick(kImageList);  // on no entry: Add Image
  ASSERT_EQ(services.asked.size(), 1u);
  EXPECT_EQ(services.asked[0].title, "Add Image");
  EXPECT_EQ(services.asked[0].filter,
            "Image File (*.jpg, *.bmp, *.png, *.tga)|*.jpg;*.jpeg;*.jpe;*.jif;*.bmp;*.rle;*.dib;"
            "*.png;*.tga;*.targa");
  EXPECT_TRUE(services.asked[0].multiple);
  EXPECT_EQ(m.State(kImageList).items,
            (std::vector<std::string>{"one.jpg", "two.jpg", "three.jpg"}));

  const uint32_t serial = m.PictureSerial();
  m.Choose(kImageList, 1);  // the preview shows the thumbnail
  EXPECT_TRUE(m.State(kRemoveImageButton).enabled);
  EXPECT_GT(m.PictureSerial(), serial);
  EXPECT_EQ(images::PictureWidth(m.State(kPreview).value), 100);
  m.DoubleClick(kImageList);  // on an entry: nothing
  EXPECT_EQ(services.asked.size(), 1u);

  m.Press(kRemoveImageButton);  // the middle entry: the next one takes its place
  EXPECT_EQ(m.State(kImageList).items, (std::vector<std::string>{"one.jpg", "three.jpg"}));
  EXPECT_EQ(m.State(kImageList).value, 1);
  EXPECT_EQ(platform::FileSize(folder + "imgs/two.jpg"), -1);
  m.Press(kRemoveImageButton);  // the last entry: the first is selected
  EXPECT_EQ(m.State(kImageList).items, (std::vector<std::string>{"one.jpg"}));
  EXPECT_EQ(m.State(kImageList).value, 0);
  EXPECT_TRUE(m.State(kRemoveImageButton).enabled);
  m.Press(kRemoveImageButton);  // the only entry
  EXPECT_TRUE(m.State(kImageList).items.empty());
  EXPECT_EQ(m.State(kImageList).value, -1);
  EXPECT_FALSE(m.State(kRemoveImageButton).enabled);
  EXPECT_EQ(m.State(kPreview).value, kNoImagePicture);

  m.Choose(kPreviewCheck, 0);
  EXPECT_EQ(m.State(kPreview).value, kNoImagePicture);
}

// Library files deleted, cut short or blocked by another program while the dialog is open.
TEST_F(ConfigModelTest, LibraryFilesGoneUnderTheDialog) {
  services.files = {Source("one.bmp"), Source("two.bmp")};
  s.background = settings::kBackgroundCustom;
  s.perspreview = 1;
  ConfigModel& m = Open();
  m.Press(kAddImageButton);
  const std::vector<std::string> both = {"one.jpg", "two.jpg"};
  ASSERT_EQ(m.State(kImageList).items, both);
  m.Choose(kImageList, 0);
  ASSERT_EQ(m.State(kPreview).value, kPreviewPicture);
  const uint32_t serial = m.PictureSerial();

  std::filesystem::resize_file(folder + "thumbs/one.jpg", 10);
  std::filesystem::remove(folder + "thumbs/two.jpg");
  std::filesystem::remove(folder + "imgs/two.jpg");
  m.Choose(kImageList, 1);  // no thumbnail: the box keeps what it showed
  m.Choose(kImageList, 0);  // a broken one likewise
  EXPECT_EQ(m.State(kPreview).value, kPreviewPicture);
  EXPECT_EQ(m.PictureSerial(), serial);
  m.Choose(kImageList, 1);
  m.Press(kRemoveImageButton);  // its file is gone: the entry stays
  EXPECT_EQ(m.State(kImageList).items, both);

  std::filesystem::remove_all(folder + "imgs");  // a file where the library folder was
  std::ofstream(folder + "imgs") << "x";
  services.files = {Source("three.bmp")};
  m.Press(kAddImageButton);
  EXPECT_EQ(m.State(kImageList).items, both);
  m.Press(kOkButton);
  EXPECT_TRUE(m.Saved());
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ConfigModelTest, RequestersLinksAndUpdateCheck) {
  s.foregroundimage = "/pictures/old.png";
  s.musicfolder = "/music/";
  s.musicmode = settings::kMusicFolder;
  ConfigModel& m = Open();
  m.Press(kImageBrowse);  // cancelled: the field keeps its text
  EXPECT_EQ(m.State(kImageFile).text, "/pictures/old.png");
  services.files = {"/pictures/new.jpg"};
  m.Press(kImageBrowse);
  EXPECT_EQ(m.State(kImageFile).text, "/pictures/new.jpg");
  m.Press(kFlakeBrowse);
  services.files = {"/music/song.mp3"};
  m.Choose(kMusicMode, 0);
  m.Press(kMusicBrowse);
  EXPECT_EQ(m.State(kMusicFile).text, "/music/song.mp3");
  m.Choose(kMusicMode, 1);
  m.Press(kMusicBrowse);  // cancelled folder requester
  EXPECT_EQ(m.State(kMusicFolder).text, "/music/");
  services.folder = "/other";
  m.Press(kMusicBrowse);
  EXPECT_EQ(m.State(kMusicFolder).text, std::string("/other") + platform::kSep);
  ASSERT_EQ(services.asked.size(), 6u);
  EXPECT_EQ(services.asked[0].title, "Open Image");
  EXPECT_EQ(services.asked[0].filter, "Image File (*.jpg;*.png;*.bmp)|*.jpg;*.png;*.bmp");
  EXPECT_EQ(services.asked[0].start, "/pictures/old.png");
  EXPECT_FALSE(services.asked[0].multiple);
  EXPECT_EQ(services.asked[2].filter, "Image File (*.png)|*.png");
  EXPECT_EQ(services.asked[3].title, "Open Music File");
  EXPECT_EQ(services.asked[3].filter, "Music File (*.mp3;*.wma;*.wav)|*.mp3;*.wma;*.wav");
  EXPECT_EQ(services.asked[4].title, "Open Music Folder");
  EXPECT_EQ(services.asked[4].start, "/music");  // without its trailing separator

  m.Press(kHomePageButton);
  m.Press(kFeedbackButton);
  m.Press(kUpdateButton);
  EXPECT_EQ(links,
            (std::vector<std::string>{web::HomePageAddress(),
                                      "mailto:" + web::SupportMailAddress() +
                                          "?subject=Flurrix%20Screensaver%203.3%20Feedback"}));
  EXPECT_EQ(services.updateChecks, 1);
}

TEST_F(ConfigModelTest, OkWritesFieldsBack) {
  s.calendarm = 7;
  s.calendarfont = settings::kCalendarFontLarge;
  s.calendarfirst = settings::kWeekStartsSunday;
  s.timefrm = settings::kTimeAmerican;
  ConfigModel& m = Open();
  m.Type(kImageX, "$FF");
  m.Type(kImageY, "%101");
  m.Type(kTextX, "  -12abc");
  m.Type(kTextY, "abc");
  m.Choose(kShowImage, 1);
  m.Type(kImageFile, "  /pictures/a b.png \t");
  m.Type(kAnalogX, "-4294967306");
  m.Choose(kFirstDay, 0);
  m.Choose(kSpeed, 11);  // a slider stays within its range
  m.Press(kOkButton);
  EXPECT_TRUE(m.Closed());
  EXPECT_TRUE(m.Saved());
  EXPECT_EQ(s.foregroundimagex, 255);
  EXPECT_EQ(s.foregroundimagey, 5);
  EXPECT_EQ(s.foregroundtextx, -12);
  EXPECT_EQ(s.foregroundtexty, 0);
  EXPECT_EQ(s.foregroundimage, "/pictures/a b.png");
  EXPECT_EQ(s.aclockx, INT32_MIN);  // held at the limit, not wrapped
  EXPECT_EQ(s.calendarfirst, settings::kWeekStartsMonday);
  EXPECT_EQ(s.speed, 10);
  EXPECT_EQ(s.timefrm, settings::kTimeAmerican);
  // The hidden controls pass their keys through.
  EXPECT_EQ(s.calendarm, 7);
  EXPECT_EQ(s.calendarfont, settings::kCalendarFontLarge);
}

TEST_F(ConfigModelTest, KeysTheDialogDoesNotShowSurviveASave) {
  s.fps = 77;
  s.calendarbg = 1;
  s.Width = 640;
  s.X = -20;
  s.Language = "English";
  ASSERT_TRUE(settings::SaveSettings(s));
  const std::string before = ReadAll(s.configFile);
  settings::Settings loaded = s;
  settings::LoadSettings(loaded, {folder, 0});
  s = loaded;
  Open().Press(kOkButton);
  EXPECT_TRUE(model->Saved());
  EXPECT_EQ(ReadAll(s.configFile), before);
}

// Hand-edited values that no item of their list shows stay as they are on OK.
TEST_F(ConfigModelTest, ListsShowingNoItemKeepTheStoredValue) {
  s.exiton = 9;
  s.background = 7;
  s.wind = -1;
  s.musicmode = 2;
  s.timefrm = 3;
  s.calendarfont = 0;
  s.calendarfirst = 5;
  ConfigModel& m = Open();
  for (Control list :
       {kExitOn, kBackground, kWind, kMusicMode, kTimeFormat, kCalendarFont, kFirstDay}) {
    EXPECT_EQ(m.State(list).value, -1) << "list " << list;
  }
  m.Press(kOkButton);
  ASSERT_TRUE(m.Saved());
  EXPECT_EQ(s.exiton, 9);
  EXPECT_EQ(s.background, 7);
  EXPECT_EQ(s.wind, -1);
  EXPECT_EQ(s.musicmode, 2);
  EXPECT_EQ(s.timefrm, 3);
  EXPECT_EQ(s.calendarfont, 0);
  EXPECT_EQ(s.calendarfirst, 5);
}

// A config.ini written by hand in the writer's form. OK with nothing touched writes it again
// byte for byte; so it does when the record is set back to its defaults after filling, so that
// every field the dialog shows comes from its own control. The keys the dialog does not show
// hold their defaults; the others each a value of their own.
TEST_F(ConfigModelTest, OkWithNothingTouchedWritesTheSameBytes) {
  // clang-format off
  const std::vector<std::string> lines = {
      "", "[General]", "Language = en", "Update Range = 2", "Update Date = 0", "Path = " + folder,
      "; ", "[Window]", "Width = 530", "Height = 330", "X = 200", "Y = 200", "; ",
      "[Screensaver]", "videow = 1280", "videoh = 1024", "videod = 16", "fps = 60",
      "flakes = 1234", "pictime = 321", "exiton = 4", "exitontimer = 45", "exitonsleep = 67",
      "background = 5", "desktopblur = 12", "wallpaperblur = 34", "blankr = 56", "blankg = 78",
      "blankb = 90", "perspreview = 1", "foreground = 1",
      "foregroundimage = /pictures/fore ground.png", "foregroundimagex = -151",
      "foregroundimagey = 52", "foregroundtxt = 1", "foregroundtext = Let it snow",
      "foregroundtextx = 291", "foregroundtexty = -11", "flaketype = 6", "customflaketype = 1",
      "customflakeimage = /flakes/my flake.png", "flakesize = 17", "flakerotate = 1", "wind = 2",
      "speed = 8", "music = 1", "musicmode = 1", "musicfile = /music/song.mp3",
      "musicfolder = /music/all/", "musicvol = 9", "aclock = 0", "aclocksize = 44",
      "aclockx = -301", "aclocky = -51", "dclock = 0", "dclockx = -261", "dclocky = -71",
      "timefrm = 2", "calendar = 1", "calendarx = -281", "calendary = 13", "calendarm = 14",
      "calendarsize = 9", "calendarfont = 2", "calendarbg = 0", "calendarfirst = 2", "; "};
  // clang-format on
  std::string bytes = "\xEF\xBB\xBF";
  for (const std::string& line : lines) bytes += line + "\r\n";
  const std::vector<platform::DesktopMode> modes = {{1920, 1080, 32}, {1280, 1024, 16}};
  for (bool fromControlsOnly : {false, true}) {
    std::ofstream(s.configFile, std::ios::binary) << bytes;
    settings::LoadSettings(s, {folder, 0});
    ASSERT_EQ(s.calendarsize, 9);
    ConfigModel& m = Open(modes);
    if (fromControlsOnly) settings::SetDefaults(s, {folder, 0});
    m.Press(kOkButton);
    EXPECT_TRUE(m.Saved());
    EXPECT_EQ(ReadAll(s.configFile), bytes) << (fromControlsOnly ? "from the controls only" : "");
  }
}

// OK whose save fails keeps the dialog open with the edits and says which file and why, in
// the system's words; once the folder is there, OK saves them.
TEST_F(ConfigModelTest, OkThatCannotSaveSaysWhyAndKeepsTheEdits) {
  s.configFile = folder + "gone/config.ini";
  ConfigModel& m = Open();
  m.Type(kFlakes, "700");
  m.Press(kOkButton);
  EXPECT_EQ(captions, std::vector<std::string>{text::Lookup("Msg", "Error")});
  EXPECT_EQ(boxes, std::vector<std::string>{s.configFile + "\n\n" + std::strerror(ENOENT)});
  EXPECT_FALSE(m.Closed());
  EXPECT_FALSE(m.Saved());
  EXPECT_EQ(s.flakes, 500);
  EXPECT_EQ(m.State(kFlakes).value, 700);
  std::filesystem::create_directory(folder + "gone");
  m.Press(kOkButton);
  EXPECT_TRUE(m.Closed());
  EXPECT_TRUE(m.Saved());
  EXPECT_EQ(s.flakes, 700);
}

}  // namespace
}  // namespace dialog
