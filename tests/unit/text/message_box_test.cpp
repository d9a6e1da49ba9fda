#include "text/message_box.h"

#include <gtest/gtest.h>

#include <vector>

#include "scoped_hook.h"

namespace text {
namespace {

struct Box {
  std::string caption;
  std::string text;
  int32_t style;
};

TEST(MessageBoxes, ErrorBoxUsesTheErrorCaptionAndStyleAndHandlersCanBeReplaced) {
  std::vector<Box> boxes;
  flurrixtest::ScopedHook handler(
      SetMessageBoxHandler,
      [&](const std::string& caption, const std::string& text, int32_t style) {
        boxes.push_back({caption, text, style});
        return platform::kAnswerYes;
      });
  ShowError("Something broke");
  EXPECT_EQ(ShowMessage("Q", "Sure?", platform::kStyleQuestion), platform::kAnswerYes);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].text, "Something broke");
  EXPECT_EQ(boxes[0].style, 16);
  EXPECT_EQ(boxes[1].style, 36);

  // Restoring the platform's boxes: without a display they go to stderr and a question is No.
  SetMessageBoxHandler(nullptr);
  unsetenv("DISPLAY");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(ShowMessage("Caption", "Question?", platform::kStyleQuestion), platform::kAnswerNo);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Caption: Question?\n");
  EXPECT_EQ(boxes.size(), 2u);
}

}  // namespace
}  // namespace text
