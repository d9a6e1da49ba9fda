#include "app/builtin_pictures.h"

#include <gtest/gtest.h>

#include "images/pictures.h"

namespace app {
namespace {

TEST(BuiltInPictures, EveryNumberLoadsAtItsSize) {
  ASSERT_EQ(LoadBuiltInPictures(), 19);
  const struct {
    int32_t number, width, height, sourceDepth;
  } expected[] = {{0, 120, 310, 24}, {1, 152, 112, 24}, {3, 100, 75, 24}, {4, 100, 75, 24},
                  {5, 16, 16, 32},   {11, 16, 16, 32},  {12, 50, 50, 16}, {19, 50, 50, 16}};
  for (const auto& e : expected) {
    const images::Image* picture = images::GetPicture(e.number);
    ASSERT_NE(picture, nullptr) << e.number;
    EXPECT_EQ(picture->width, e.width) << e.number;
    EXPECT_EQ(picture->height, e.height) << e.number;
    EXPECT_EQ(picture->sourceDepth, e.sourceDepth) << e.number;
  }
  // 3 and 4 share their data but are separate pictures.
  EXPECT_NE(images::GetPicture(3), images::GetPicture(4));
  EXPECT_FALSE(images::PictureExists(2));
}

}  // namespace
}  // namespace app
