// The configuration dialog's model without a window: filling, rules, events, requesters,
// the custom image list, validation and saving.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "../images/picture_files.h"
#include "dialog/config_model.h"
#include "images/codecs.h"
#include "images/pictures.h"
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
    previousBoxes =
        text::SetMessageBoxHandler([this](const std::string&, const std::string& text, int32_t) {
          boxes.push_back(text);
          return platform::kAnswerOk;
        });
    previousOpener = web::SetLinkOpener([this](const std::string& a) { links.push_back(a); });
  }
  void TearDown() override {
    text::SetMessageBoxHandler(previousBoxes);
    web::SetLinkOpener(previousOpener);
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
  std::vector<std::string> boxes, links;
  text::MessageBoxHandler previousBoxes;
  web::LinkOpener previousOpener;
};

TEST_F(ConfigModelTest, RulesAtFillingAndOnTheirEvents) {
  s.exiton = 3;
  s.background = 2;
  s.foreground = 1;
  s.foregroundtxt = 0;
  s.customflaketype = 1;
  s.music = 0;
  s.musicmode = 1;
  s.aclock = 1;
  s.dclock = 0;
  s.calendar = 0;
  s.flaketype = 5;
  ConfigModel& m = Open();
  auto visible = [&m](int32_t id) { return m.State(id).visible; };
  auto enabled = [&m](int32_t id) { return m.State(id).enabled; };
  // Filled state.
  EXPECT_TRUE(visible(14));  // R1
  EXPECT_FALSE(visible(15));
  EXPECT_FALSE(visible(23));  // R2 to R5: only the wallpaper group
  EXPECT_TRUE(visible(24) && visible(26));
  EXPECT_FALSE(visible(27) || visible(34) || visible(35) || visible(40));
  EXPECT_TRUE(enabled(43) && enabled(48));  // R6
  EXPECT_FALSE(enabled(50) || enabled(54));
  EXPECT_EQ(m.State(58).value, 16);  // R7: flake 5
  EXPECT_FALSE(enabled(57));         // R8
  EXPECT_TRUE(enabled(60) && enabled(61));
  EXPECT_TRUE(visible(74));  // R9
  EXPECT_FALSE(visible(73));
  EXPECT_FALSE(enabled(72) || enabled(77));                   // R10
  EXPECT_TRUE(enabled(80) && enabled(85));                    // R11
  EXPECT_FALSE(enabled(88) || enabled(93));                   // R12
  EXPECT_FALSE(enabled(96) || enabled(105) || enabled(109));  // R13
  EXPECT_FALSE(visible(102) || visible(103) || visible(104) || visible(105));

  // The same rules on their events.
  m.Choose(13, 4);
  EXPECT_FALSE(visible(14));
  EXPECT_TRUE(visible(15));
  m.Choose(20, 3);
  EXPECT_FALSE(visible(24));
  EXPECT_TRUE(visible(27) && visible(34));
  m.Choose(20, 4);
  EXPECT_FALSE(visible(27));
  EXPECT_TRUE(visible(35) && visible(39));
  m.Choose(42, 0);
  m.Choose(49, 1);
  EXPECT_FALSE(enabled(43) || enabled(48));
  EXPECT_TRUE(enabled(50) && enabled(54));
  m.Choose(57, 8);
  EXPECT_EQ(m.State(58).value, 19);
  m.Choose(56, 1);
  EXPECT_EQ(m.State(59).value, 0);
  EXPECT_TRUE(enabled(57));
  EXPECT_FALSE(enabled(60) || enabled(61));
  m.Choose(72, 0);
  EXPECT_TRUE(visible(73));
  EXPECT_FALSE(visible(74));
  m.Choose(71, 1);
  EXPECT_TRUE(enabled(72) && enabled(77));
  m.Choose(79, 0);
  EXPECT_FALSE(enabled(80) || enabled(85));
  m.Choose(87, 1);
  EXPECT_TRUE(enabled(88) && enabled(93));
  m.Choose(95, 1);
  EXPECT_TRUE(enabled(96) && enabled(105) && enabled(108) && enabled(109));
  EXPECT_FALSE(visible(102) || visible(105));
  m.Choose(29, 255);
  m.Choose(33, 16);
  EXPECT_EQ(m.State(34).value, 255 + 16 * 65536);  // the swatch, 0x00BBGGRR
}

TEST_F(ConfigModelTest, SpinBoxesClampWhatIsTyped) {
  ConfigModel& m = Open();
  m.Type(9, "5000");
  EXPECT_EQ(m.State(9).value, 2000);
  EXPECT_EQ(m.State(9).text, "2000");
  m.Type(9, "3");
  EXPECT_EQ(m.State(9).value, 10);
  m.Type(9, "1234");
  EXPECT_EQ(m.State(9).value, 1234);
  m.Type(11, "$64");
  EXPECT_EQ(m.State(11).value, 100);
  m.Type(11, "2401");
  EXPECT_EQ(m.State(11).value, 2400);
  m.Type(14, "0");
  EXPECT_EQ(m.State(14).value, 1);
  m.Type(101, "$B");
  EXPECT_EQ(m.State(101).value, 10);
  m.Press(116);
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
  EXPECT_EQ(m.State(4).items,
            (std::vector<std::string>{text::Lookup("General", "Desktop Resolution"), "1024x768x32",
                                      "1280x1024x16", "1024x768x32", "1920x1080x32"}));
  EXPECT_EQ(m.State(4).value, 0);  // the stored mode is the desktop's
  s.desktopWidth = 1280;           // the desktop changed since: OK stores the new one
  s.desktopHeight = 1024;
  m.Press(116);
  EXPECT_EQ(s.videow, 1280);
  EXPECT_EQ(s.videoh, 1024);
  EXPECT_EQ(s.videod, 32);

  s.videow = 1280;
  s.videoh = 1024;
  s.videod = 16;
  ConfigModel& other = Open({{1024, 768, 32}, {1280, 1024, 16}});
  EXPECT_EQ(other.State(4).value, 2);
  other.Choose(4, 1);
  other.Press(116);
  EXPECT_EQ(s.videow, 1024);
  EXPECT_EQ(s.videoh, 768);
  EXPECT_EQ(s.videod, 32);

  // A stored mode the display no longer offers selects nothing and is kept on OK.
  s.videow = 3000;
  ConfigModel& gone = Open({{1024, 768, 32}});
  EXPECT_EQ(gone.State(4).value, -1);
  gone.Press(116);
  EXPECT_EQ(s.videow, 3000);
}

TEST_F(ConfigModelTest, OkShowsEveryFailureInOrderAndSavesNothing) {
  s.background = 4;
  s.foregroundtxt = 1;
  s.foregroundtext = "  ";
  const settings::Settings before = s;
  ConfigModel& m = Open();
  m.Type(9, "700");
  m.Press(116);
  EXPECT_EQ(boxes,
            (std::vector<std::string>{Msg("No custom images"), Msg("Invalid foreground text")}));
  EXPECT_FALSE(m.Closed());
  EXPECT_EQ(s.flakes, before.flakes);
  EXPECT_EQ(platform::FileSize(s.configFile), -1);

  boxes.clear();
  m.Choose(20, 0);
  m.Choose(42, 1);
  m.Type(43, "");
  m.Choose(59, 1);
  m.Type(60, " \t");
  m.Choose(71, 1);
  m.Choose(72, 1);
  m.Type(74, " ");
  m.Press(116);
  EXPECT_EQ(boxes, (std::vector<std::string>{
                       Msg("Invalid foreground image"), Msg("Invalid foreground text"),
                       Msg("Invalid snowflake image"), Msg("Invalid music folder")}));
  m.Choose(72, 0);
  m.Type(73, "");
  boxes.clear();
  m.Press(116);
  EXPECT_EQ(boxes.back(), Msg("Invalid music file"));

  m.Press(117);  // Cancel
  EXPECT_TRUE(m.Closed());
  EXPECT_FALSE(m.Saved());
  EXPECT_EQ(s.flakes, before.flakes);
  EXPECT_EQ(platform::FileSize(s.configFile), -1);
}

TEST_F(ConfigModelTest, AddAndRemoveImages) {
  services.files = {Source("one.bmp"), Source("two.bmp"), Source("three.bmp")};
  s.background = 4;
  s.perspreview = 1;
  ConfigModel& m = Open();
  EXPECT_FALSE(m.State(40).enabled);
  m.DoubleClick(36);  // on no entry: Add Image
  ASSERT_EQ(services.asked.size(), 1u);
  EXPECT_EQ(services.asked[0].title, "Add Image");
  EXPECT_EQ(services.asked[0].filter,
            "Image File (*.jpg, *.bmp, *.png, *.tga)|*.jpg;*.jpeg;*.jpe;*.jif;*.bmp;*.rle;*.dib;"
            "*.png;*.tga;*.targa");
  EXPECT_TRUE(services.asked[0].multiple);
  EXPECT_EQ(m.State(36).items, (std::vector<std::string>{"one.jpg", "two.jpg", "three.jpg"}));

  const uint32_t serial = m.PictureSerial();
  m.Choose(36, 1);  // the preview shows the thumbnail
  EXPECT_TRUE(m.State(40).enabled);
  EXPECT_GT(m.PictureSerial(), serial);
  EXPECT_EQ(images::PictureWidth(m.State(37).value), 100);
  m.DoubleClick(36);  // on an entry: nothing
  EXPECT_EQ(services.asked.size(), 1u);

  m.Press(40);  // the middle entry: the next one takes its place
  EXPECT_EQ(m.State(36).items, (std::vector<std::string>{"one.jpg", "three.jpg"}));
  EXPECT_EQ(m.State(36).value, 1);
  EXPECT_EQ(platform::FileSize(folder + "imgs/two.jpg"), -1);
  m.Press(40);  // the last entry: the first is selected
  EXPECT_EQ(m.State(36).items, (std::vector<std::string>{"one.jpg"}));
  EXPECT_EQ(m.State(36).value, 0);
  EXPECT_TRUE(m.State(40).enabled);
  m.Press(40);  // the only entry
  EXPECT_TRUE(m.State(36).items.empty());
  EXPECT_EQ(m.State(36).value, -1);
  EXPECT_FALSE(m.State(40).enabled);
  EXPECT_EQ(m.State(37).value, 4);  // the "no image" placeholder

  m.Choose(38, 0);
  EXPECT_EQ(m.State(37).value, 4);
}

// Library files deleted, cut short or blocked by another program while the dialog is open.
TEST_F(ConfigModelTest, LibraryFilesGoneUnderTheDialog) {
  services.files = {Source("one.bmp"), Source("two.bmp")};
  s.background = 4;
  s.perspreview = 1;
  ConfigModel& m = Open();
  m.Press(39);
  const std::vector<std::string> both = {"one.jpg", "two.jpg"};
  ASSERT_EQ(m.State(36).items, both);
  m.Choose(36, 0);
  ASSERT_EQ(m.State(37).value, 3);
  const uint32_t serial = m.PictureSerial();

  std::filesystem::resize_file(folder + "thumbs/one.jpg", 10);
  std::filesystem::remove(folder + "thumbs/two.jpg");
  std::filesystem::remove(folder + "imgs/two.jpg");
  m.Choose(36, 1);  // no thumbnail: the box keeps what it showed
  m.Choose(36, 0);  // a broken one likewise
  EXPECT_EQ(m.State(37).value, 3);
  EXPECT_EQ(m.PictureSerial(), serial);
  m.Choose(36, 1);
  m.Press(40);  // its file is gone: the entry stays
  EXPECT_EQ(m.State(36).items, both);

  std::filesystem::remove_all(folder + "imgs");  // a file where the library folder was
  std::ofstream(folder + "imgs") << "x";
  services.files = {Source("three.bmp")};
  m.Press(39);
  EXPECT_EQ(m.State(36).items, both);
  m.Press(116);
  EXPECT_TRUE(m.Saved());
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ConfigModelTest, RequestersLinksAndUpdateCheck) {
  s.foregroundimage = "/pictures/old.png";
  s.musicfolder = "/music/";
  s.musicmode = 1;
  ConfigModel& m = Open();
  m.Press(44);  // cancelled: the field keeps its text
  EXPECT_EQ(m.State(43).text, "/pictures/old.png");
  services.files = {"/pictures/new.jpg"};
  m.Press(44);
  EXPECT_EQ(m.State(43).text, "/pictures/new.jpg");
  m.Press(61);
  services.files = {"/music/song.mp3"};
  m.Choose(72, 0);
  m.Press(75);
  EXPECT_EQ(m.State(73).text, "/music/song.mp3");
  m.Choose(72, 1);
  m.Press(75);  // cancelled folder requester
  EXPECT_EQ(m.State(74).text, "/music/");
  services.folder = "/other";
  m.Press(75);
  EXPECT_EQ(m.State(74).text, std::string("/other") + platform::kSep);
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

  m.Press(112);
  m.Press(113);
  m.Press(114);
  EXPECT_EQ(links,
            (std::vector<std::string>{web::HomePageAddress(),
                                      "mailto:" + web::SupportMailAddress() +
                                          "?subject=Flurrix%20Screensaver%203.3%20Feedback"}));
  EXPECT_EQ(services.updateChecks, 1);
}

TEST_F(ConfigModelTest, OkWritesFieldsBack) {
  s.calendarm = 7;
  s.calendarfont = 2;
  s.timefrm = 2;
  ConfigModel& m = Open();
  m.Type(46, "$FF");
  m.Type(48, "%101");
  m.Type(52, "  -12abc");
  m.Type(54, "abc");
  m.Choose(42, 1);
  m.Type(43, "  /pictures/a b.png \t");
  m.Choose(109, 1);
  m.Choose(69, 11);  // a slider stays within its range
  m.Press(116);
  EXPECT_TRUE(m.Closed());
  EXPECT_TRUE(m.Saved());
  EXPECT_EQ(s.foregroundimagex, 255);
  EXPECT_EQ(s.foregroundimagey, 5);
  EXPECT_EQ(s.foregroundtextx, -12);
  EXPECT_EQ(s.foregroundtexty, 0);
  EXPECT_EQ(s.foregroundimage, "/pictures/a b.png");
  EXPECT_EQ(s.calendarfirst, 2);
  EXPECT_EQ(s.speed, 10);
  EXPECT_EQ(s.timefrm, 2);
  // The hidden controls pass their keys through.
  EXPECT_EQ(s.calendarm, 7);
  EXPECT_EQ(s.calendarfont, 2);
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
  Open().Press(116);
  EXPECT_TRUE(model->Saved());
  EXPECT_EQ(ReadAll(s.configFile), before);
}

}  // namespace
}  // namespace dialog
