// Pictures by number and handle, and the built-in pictures embedded at build time.
#include <gtest/gtest.h>

#include "embedded/FixturePictures.h"
#include "images/builtin.h"
#include "images/pictures.h"
#include "picture_files.h"

namespace images {
namespace {

using testing::PixelAt;

TEST(Pictures, FixedNumbersAndHandlesNeverCollide) {
  const int32_t a = CreatePicture(kAnyPicture, 2, 2, 24);
  const int32_t b = CreatePicture(kAnyPicture, 2, 2, 24);
  ASSERT_NE(a, kNoPicture);
  ASSERT_NE(b, kNoPicture);
  EXPECT_NE(a, b);
  EXPECT_GT(a, kMaxFixedPicture);
  EXPECT_EQ(CreatePicture(0, 3, 1, 24), 0);
  EXPECT_EQ(CreatePicture(0, 5, 1, 24), 0);  // replaces picture 0
  EXPECT_EQ(PictureWidth(0), 5);
  EXPECT_EQ(CreatePicture(-2, 1, 1, 24), kNoPicture);
  EXPECT_EQ(CreatePicture(kMaxFixedPicture + 1, 1, 1, 24), kNoPicture);
  FreePicture(a);
  FreePicture(b);
  FreePicture(0);
  EXPECT_FALSE(PictureExists(a));
  EXPECT_FALSE(PictureExists(0));
  EXPECT_EQ(PictureWidth(a), 0);
}

TEST(Pictures, CreateRaisesSmallDepthsAndFillsAsDescribed) {
  int32_t id = CreatePicture(kAnyPicture, 2, 2, 8, 0x563412);  // r 0x12, g 0x34, b 0x56
  ASSERT_NE(id, kNoPicture);
  EXPECT_EQ(GetPicture(id)->depth, 24);
  EXPECT_EQ(GetPicture(id)->sourceDepth, 24);
  EXPECT_EQ(PixelAt(*GetPicture(id), 1, 1), 0x123456u);
  FreePicture(id);

  id = CreatePicture(kAnyPicture, 2, 2, 32);
  EXPECT_EQ(PixelAt(*GetPicture(id), 0, 0), 0xFF000000u);
  FreePicture(id);
  id = CreatePicture(kAnyPicture, 2, 2, 32, -1);
  EXPECT_EQ(PixelAt(*GetPicture(id), 0, 0), 0u);
  FreePicture(id);

  EXPECT_EQ(CreatePicture(kAnyPicture, 2, 2, 33), kNoPicture);
  EXPECT_EQ(CreatePicture(kAnyPicture, 0, 2, 24), kNoPicture);
}

TEST(Pictures, FailedLoadsLeaveNoPictureAndKeepAnOldOne) {
  const uint8_t junk[] = {1, 2, 3, 4};
  EXPECT_EQ(LoadPictureFromMemory(kAnyPicture, junk, sizeof junk), kNoPicture);
  ASSERT_EQ(CreatePicture(7, 9, 9, 24), 7);
  EXPECT_EQ(LoadPictureFromMemory(7, junk, sizeof junk), kNoPicture);
  EXPECT_EQ(PictureWidth(7), 9);
  EXPECT_EQ(LoadPicture(7, "/nonexistent/picture.bmp"), kNoPicture);
  EXPECT_EQ(PictureWidth(7), 9);
  FreePicture(7);
}

TEST(Pictures, CopyResizeAndSave) {
  const int32_t id = CreatePicture(kAnyPicture, 4, 4, 24, 0xFF);
  const int32_t copy = CopyPicture(id, kAnyPicture);
  ASSERT_NE(copy, kNoPicture);
  ASSERT_TRUE(ResizePicture(copy, 8, 2, 1));
  EXPECT_EQ(PictureWidth(copy), 8);
  EXPECT_EQ(PictureWidth(id), 4);
  EXPECT_EQ(PixelAt(*GetPicture(copy), 7, 1), 0xFF0000u);
  const std::string path = testing::TempFolder("pictures") + "copy.bmp";
  ASSERT_TRUE(SavePicture(copy, path, kTagBmp));
  EXPECT_EQ(LoadPicture(11, path), 11);
  EXPECT_EQ(PictureHeight(11), 2);
  EXPECT_FALSE(SavePicture(12345, path, kTagBmp));
  EXPECT_EQ(CopyPicture(12345, kAnyPicture), kNoPicture);
  EXPECT_FALSE(ResizePicture(12345, 1, 1, 0));
  for (int32_t p : {id, copy, 11}) FreePicture(p);
}

TEST(BuiltinPictures, EmbeddedFilesLoadByNumberWholeOrInBlocks) {
  const auto files = FixturePictures();
  ASSERT_EQ(files.size(), 2u);
  const EmbeddedFile* blocks = FindEmbedded(files, "blocks.bin");
  ASSERT_NE(blocks, nullptr);
  ASSERT_EQ(blocks->size % 2, 0u);
  const size_t half = blocks->size / 2;
  const BuiltinPicture table[] = {
      {0, "one.bmp"},
      {3, "one.bmp"},
      {4, "one.bmp"},
      {12, "blocks.bin", 0, half},
      {13, "blocks.bin", half, half},
      {14, "blocks.bin", half, half + 1},  // beyond the file
      {15, "missing.png"},
  };
  EXPECT_EQ(LoadBuiltinPictures(files, table), 5);
  EXPECT_EQ(PictureWidth(0), 3);
  EXPECT_EQ(PictureHeight(4), 2);
  EXPECT_EQ(PixelAt(*GetPicture(3), 2, 1), 0x00FF00u);
  EXPECT_EQ(PixelAt(*GetPicture(12), 0, 0), 0x0000FFu);
  EXPECT_EQ(PixelAt(*GetPicture(13), 0, 0), 0xFF0000u);
  EXPECT_FALSE(PictureExists(14));
  EXPECT_FALSE(PictureExists(15));
  for (int32_t p : {0, 3, 4, 12, 13}) FreePicture(p);
}

}  // namespace
}  // namespace images
