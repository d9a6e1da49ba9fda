// The custom picture library: naming, sizes, removal rules, listing, thumbnails.
#include <gtest/gtest.h>

#include <png.h>

#include "images/codecs.h"
#include "images/custom_library.h"
#include "images/pictures.h"
#include "picture_files.h"
#include "platform/platform.h"

namespace images {
namespace {

using testing::Bytes;
using testing::MakeImage;
using testing::PixelAt;
using testing::SetPixel;

struct RecordingList : LibraryList {
  std::vector<std::string> names;
  std::vector<int32_t> shown;
  void Append(const std::string& name) override { names.push_back(name); }
  void RemoveAt(int32_t position) override { names.erase(names.begin() + position); }
  void ShowPicture(int32_t picture) override { shown.push_back(picture); }
};

class CustomLibrary : public ::testing::Test {
 protected:
  std::string config =
      testing::TempFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
  RecordingList list;

  std::string Source(const std::string& name, const Image& image, uint32_t tag = kTagBmp) {
    const std::string path = config + name;
    EXPECT_TRUE(EncodeImageFile(image, path, tag, 10));
    return path;
  }
  Image Stored(const std::string& folder, const std::string& name) {
    Image image;
    EXPECT_TRUE(DecodeImageFile(config + folder + "/" + name, image)) << name;
    return image;
  }
};

TEST_F(CustomLibrary, RepeatedNamesGetCounters) {
  CustomImageLibrary library(config, 24);
  const std::string sunset = Source("sunset.bmp", MakeImage(10, 10, 24, 0x336699));
  for (int i = 0; i < 3; ++i) library.AddPicture(sunset, list);
  const std::string a = Source("a.jpg", MakeImage(10, 10, 24), kTagJpeg);
  const std::string b = Source("a.bmp", MakeImage(10, 10, 24));
  EXPECT_EQ(library.AddPicture(a, list), "a.jpg");
  EXPECT_EQ(library.AddPicture(b, list), "a1.jpg");
  EXPECT_EQ(list.names, (std::vector<std::string>{"sunset.jpg", "sunset1.jpg", "sunset2.jpg",
                                                  "a.jpg", "a1.jpg"}));
  for (const std::string& name : list.names) {
    const Image stored = Stored("imgs", name);
    EXPECT_EQ(stored.codec, kTagJpeg);
    EXPECT_EQ(stored.width, 800);
    EXPECT_EQ(stored.height, 600);
    const Image thumbnail = Stored("thumbs", name);
    EXPECT_EQ(thumbnail.width, 100);
    EXPECT_EQ(thumbnail.height, 75);
  }
}

TEST_F(CustomLibrary, APhoneTakenUprightIsStoredUpright) {
  // Stored sideways with orientation 6: the stored bottom half is the upright left half.
  Image sideways = MakeImage(160, 120, 24, 0x0000FF);
  for (int32_t y = 60; y < 120; ++y) {
    for (int32_t x = 0; x < 160; ++x) SetPixel(sideways, x, y, 0xFF0000);
  }
  Bytes jpeg;
  ASSERT_TRUE(EncodeImage(sideways, kTagJpeg, 10, 24, jpeg));
  const std::string path = config + "phone.jpg";
  ASSERT_TRUE(testing::WriteFile(path, testing::WithApp1(jpeg, testing::MakeExif(6, false))));
  CustomImageLibrary library(config, 24);
  ASSERT_EQ(library.AddPicture(path, list), "phone.jpg");
  for (const char* folder : {"imgs", "thumbs"}) {
    const Image stored = Stored(folder, "phone.jpg");
    const int32_t w = stored.width, h = stored.height;
    EXPECT_GT(PixelAt(stored, w / 4, h / 2) >> 16, 240u) << folder;
    EXPECT_GT(PixelAt(stored, 3 * w / 4, h / 2) & 255, 240u) << folder;
  }
}

TEST_F(CustomLibrary, PicturesAreStretchedIgnoringTheirAspect) {
  Image wide = MakeImage(1920, 1080, 24, 0xFF0000);
  for (int32_t y = 0; y < 1080; ++y) {
    for (int32_t x = 960; x < 1920; ++x) SetPixel(wide, x, y, 0x0000FF);
  }
  CustomImageLibrary library(config, 32);
  ASSERT_EQ(library.AddPicture(Source("wide.jpg", wide, kTagJpeg), list), "wide.jpg");
  Image stored = Stored("imgs", "wide.jpg");
  EXPECT_GT(PixelAt(stored, 390, 300) >> 16, 240u);
  EXPECT_GT(PixelAt(stored, 410, 300) & 255, 240u);

  ASSERT_EQ(library.AddPicture(Source("small.bmp", MakeImage(100, 100, 24, 0x00FF00)), list),
            "small.jpg");
  stored = Stored("imgs", "small.jpg");
  EXPECT_EQ(stored.width, 800);
  EXPECT_GT((PixelAt(stored, 799, 599) >> 8) & 255, 245u);
}

TEST_F(CustomLibrary, TransparentSourcesAreStoredOpaqueAtDepth32) {
  // A PNG whose every pixel is red at alpha 0: the stored copy shows red, not white.
  testing::PngLayout layout{.width = 4, .height = 4, .colorType = PNG_COLOR_TYPE_RGBA};
  layout.rows.assign(4, {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0});
  ASSERT_TRUE(testing::WriteFile(config + "clear.png", testing::MakePng(layout)));
  CustomImageLibrary library(config, 32);
  ASSERT_EQ(library.AddPicture(config + "clear.png", list), "clear.jpg");
  const uint32_t centre = PixelAt(Stored("imgs", "clear.jpg"), 400, 300);
  EXPECT_GT(centre >> 16, 240u);
  EXPECT_LT(centre & 0xFFFF, 0x1010u);
}

TEST_F(CustomLibrary, UnreadableSourcesAreSkipped) {
  CustomImageLibrary library(config, 24);
  ASSERT_TRUE(testing::WriteFile(config + "notes.txt", {'h', 'i'}));
  EXPECT_EQ(library.AddPicture(config + "notes.txt", list), "");
  EXPECT_EQ(library.AddPicture(config + "absent.jpg", list), "");
  EXPECT_TRUE(list.names.empty());
  EXPECT_TRUE(platform::ListFiles(library.LibraryFolder()).empty());
}

TEST_F(CustomLibrary, RemovalNeedsTheLibraryFileToGo) {
  CustomImageLibrary library(config, 24);
  const std::string src = Source("p.bmp", MakeImage(8, 8, 24));
  library.AddPicture(src, list);
  library.AddPicture(src, list);
  ASSERT_EQ(list.names, (std::vector<std::string>{"p.jpg", "p1.jpg"}));

  // A missing entry, and an empty library file: nothing changes.
  EXPECT_FALSE(library.RemovePicture(0, "gone.jpg", list));
  ASSERT_TRUE(testing::WriteFile(library.LibraryFolder() + "empty.jpg", {}));
  EXPECT_FALSE(library.RemovePicture(1, "empty.jpg", list));
  EXPECT_EQ(list.names.size(), 2u);
  EXPECT_EQ(platform::FileSize(library.LibraryFolder() + "empty.jpg"), 0);

  // Without its thumbnail the entry still goes.
  ASSERT_TRUE(platform::RemoveFile(library.ThumbnailFolder() + "p.jpg"));
  EXPECT_TRUE(library.RemovePicture(0, "p.jpg", list));
  EXPECT_EQ(list.names, (std::vector<std::string>{"p1.jpg"}));
  EXPECT_EQ(platform::FileSize(library.LibraryFolder() + "p.jpg"), -1);

  EXPECT_TRUE(library.RemovePicture(0, "p1.jpg", list));
  EXPECT_TRUE(list.names.empty());
  EXPECT_EQ(platform::FileSize(library.ThumbnailFolder() + "p1.jpg"), -1);
}

TEST_F(CustomLibrary, ListingTakesNonEmptyJpgFilesInDirectoryOrder) {
  CustomImageLibrary library(config, 24);
  const std::string src = Source("x.bmp", MakeImage(8, 8, 24));
  for (int i = 0; i < 4; ++i) library.AddPicture(src, list);
  ASSERT_TRUE(testing::WriteFile(library.LibraryFolder() + "hand.png", {1, 2, 3}));
  ASSERT_TRUE(testing::WriteFile(library.LibraryFolder() + "zero.jpg", {}));
  ASSERT_TRUE(platform::CreateFolder(library.LibraryFolder() + "folder.jpg"));

  std::vector<std::string> expected;
  for (const auto& entry : platform::ListFiles(library.LibraryFolder())) {
    if (entry.name[0] == 'x') expected.push_back(entry.name);
  }
  RecordingList fresh;
  library.FillList(fresh);
  EXPECT_EQ(fresh.names, expected);
  EXPECT_EQ(fresh.names.size(), 4u);
}

TEST_F(CustomLibrary, ThumbnailsLoadAsPictureThree) {
  CustomImageLibrary library(config, 24);
  library.AddPicture(Source("t.bmp", MakeImage(8, 8, 24)), list);
  ASSERT_EQ(CreatePicture(kThumbnailPicture, 1, 1, 24), kThumbnailPicture);
  EXPECT_FALSE(library.ShowThumbnail("none.jpg", list));
  EXPECT_EQ(PictureWidth(kThumbnailPicture), 1);
  EXPECT_TRUE(list.shown.empty());
  EXPECT_TRUE(library.ShowThumbnail("t.jpg", list));
  EXPECT_EQ(PictureWidth(kThumbnailPicture), 100);
  EXPECT_EQ(list.shown, (std::vector<int32_t>{kThumbnailPicture}));
  FreePicture(kThumbnailPicture);
}

}  // namespace
}  // namespace images
