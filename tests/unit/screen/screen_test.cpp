// The screen layer without a display: key snapshots and their "released" reading, the SDL
// layer's scan codes, every key the system reports counting as a key, and the system's screen
// saver left on.
#include "screen/screen.h"

#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_syswm.h>

#include <array>

#include "platform/platform.h"
#include "screen/sdl_keys.h"

namespace screen {
namespace {

std::array<bool, InputState::kKeyCount> Down(std::initializer_list<int> codes) {
  std::array<bool, InputState::kKeyCount> keys{};
  for (int c : codes) keys[c] = true;
  return keys;
}

TEST(Keys, ReleasedOnceAfterBeingSeenDownAndAnyKeyCoversEveryCode) {
  InputState in;
  EXPECT_FALSE(in.KeyReleased(kKeyF12));  // never down
  in.SetKeys(Down({kKeyF12, 0x1E}));
  EXPECT_FALSE(in.KeyReleased(kKeyF12));  // a press alone does not count
  in.SetKeys(Down({}));
  EXPECT_FALSE(in.KeyReleased(0x1E));  // let go, but never seen down by a call for it
  EXPECT_TRUE(in.KeyReleased(kKeyF12));
  EXPECT_FALSE(in.KeyReleased(kKeyF12));  // reported once

  in.SetKeys(Down({0x01, 0xFE}));
  EXPECT_FALSE(in.KeyReleased(kAnyKey));
  in.SetKeys(Down({0x01}));
  EXPECT_TRUE(in.KeyReleased(kAnyKey));  // 0xFE let go
  in.SetKeys(Down({}));
  EXPECT_TRUE(in.KeyReleased(kKeyEscape));  // taken here first...
  EXPECT_FALSE(in.KeyReleased(kAnyKey));    // ...and not counted again
}

TEST(Keys, DirectInputCodesOfTheKeysTheRunUses) {
  EXPECT_EQ(DirectInputCode(SDL_SCANCODE_ESCAPE), kKeyEscape);
  EXPECT_EQ(DirectInputCode(SDL_SCANCODE_F1), kKeyF1);
  EXPECT_EQ(DirectInputCode(SDL_SCANCODE_F2), kKeyF2);
  EXPECT_EQ(DirectInputCode(SDL_SCANCODE_F3), kKeyF3);
  EXPECT_EQ(DirectInputCode(SDL_SCANCODE_F10), 0x44);
  EXPECT_EQ(DirectInputCode(SDL_SCANCODE_F11), 0x57);
  EXPECT_EQ(DirectInputCode(SDL_SCANCODE_F12), kKeyF12);
  EXPECT_EQ(DirectInputCode(SDL_SCANCODE_A), 0x1E);
  EXPECT_EQ(DirectInputCode(SDL_SCANCODE_Z), 0x2C);
  EXPECT_EQ(DirectInputCode(SDL_SCANCODE_0), 0x0B);
  EXPECT_EQ(DirectInputCode(SDL_SCANCODE_SPACE), 0x39);
  EXPECT_EQ(DirectInputCode(SDL_SCANCODE_RIGHT), 0xCD);
  EXPECT_EQ(DirectInputCode(-1), 0);
}

class SdlLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!platform::HasDisplay()) SDL_setenv("SDL_VIDEODRIVER", "offscreen", 1);
    screen_ = MakeSdlScreen(false);
    ASSERT_TRUE(screen_->Connect());
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  }

  // A key tapped between two polls: pressed and let go before the next poll looks.
  bool TapEndsAnyKeyRun(const SDL_Event& press) {
    SDL_Event event = press;
    SDL_PushEvent(&event);
    screen_->PollInput();
    const bool early = screen_->Input().KeyReleased(kAnyKey);
    screen_->PollInput();
    return !early && screen_->Input().KeyReleased(kAnyKey);
  }

  std::unique_ptr<Screen> screen_;
};

// Media, browser, mail and input-method keys have no scan code in the table, and keys the video
// layer does not know at all reach it only as the window system's raw events: all end a run
// that any key ends.
TEST_F(SdlLayer, EveryKeyTheSystemReportsCountsAsAKey) {
  SDL_Event key{};
  key.type = SDL_KEYDOWN;
  key.key.keysym.scancode = SDL_SCANCODE_A;
  EXPECT_TRUE(TapEndsAnyKeyRun(key));
  for (const SDL_Scancode code : {SDL_SCANCODE_AUDIOPLAY, SDL_SCANCODE_MAIL, SDL_SCANCODE_WWW,
                                  SDL_SCANCODE_LANG1, SDL_SCANCODE_INTERNATIONAL4}) {
    ASSERT_EQ(DirectInputCode(code), 0);
    key.key.keysym.scancode = code;
    EXPECT_TRUE(TapEndsAnyKeyRun(key)) << SDL_GetScancodeName(code);
  }
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMmsg raw{};
  raw.subsystem = SDL_SYSWM_X11;
  raw.msg.x11.event.type = KeyPress;
  SDL_Event unknown{};
  unknown.type = SDL_SYSWMEVENT;
  unknown.syswm.msg = &raw;
  EXPECT_TRUE(TapEndsAnyKeyRun(unknown));
  raw.msg.x11.event.type = ButtonPress;
  EXPECT_FALSE(TapEndsAnyKeyRun(unknown)) << "a mouse button is not a key";
#endif
}

// The system's screen blanking and sleep timers keep working during a run: the video layer holds
// no screen-saver or display inhibition (on X11 a reset of the screen saver and a D-Bus inhibit,
// on Windows a display-required execution state).
TEST_F(SdlLayer, TheVideoLayerLeavesTheSystemsScreenSaverOn) {
  SDL_Window* window = SDL_CreateWindow("", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
  EXPECT_TRUE(SDL_IsScreenSaverEnabled());
  // The video layer stays up, as in a run: shutting it down unloads the GL driver.
  if (window) SDL_DestroyWindow(window);
}

}  // namespace
}  // namespace screen
