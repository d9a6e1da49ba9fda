// Keyboard and mouse state as the run reads it: key snapshots by DirectInput scan code with
// "released" meaning let go after being seen down, and a mouse position accumulated from
// relative movements, clamped to the screen. No device code here: the screen layer feeds it.
#pragma once

#include <array>
#include <cstdint>

namespace screen {

// DirectInput scan codes the run acts on.
inline constexpr int kKeyEscape = 0x01;
inline constexpr int kKeyF1 = 0x3B;
inline constexpr int kKeyF2 = 0x3C;
inline constexpr int kKeyF3 = 0x3D;
inline constexpr int kKeyF12 = 0x58;
inline constexpr int kAnyKey = -1;

class InputState {
 public:
  static constexpr int kKeyCount = 256;

  // A new keyboard snapshot: which codes are down now.
  void SetKeys(const std::array<bool, kKeyCount>& down) { down_ = down; }

  // For `code`: down in the snapshot -> remember it, false; up after being remembered down ->
  // forget it, true; otherwise false. kAnyKey does this for every code 0..254 and is true when
  // any of them was let go.
  bool KeyReleased(int code);

  void SetScreenSize(int32_t width, int32_t height);
  void PlaceMouse(int32_t x, int32_t y);
  // Adds one poll's relative movement and wheel movement.
  void AddMouseMotion(int32_t dx, int32_t dy, int32_t wheel);
  int32_t MouseX() const { return mouseX_; }
  int32_t MouseY() const { return mouseY_; }
  // Wheel movement of the latest poll; 0 when the wheel did not move.
  int32_t MouseWheelDelta() const { return wheel_; }

 private:
  bool Released(int code);

  std::array<bool, kKeyCount> down_{};
  std::array<bool, kKeyCount> seenDown_{};
  int32_t width_ = 1, height_ = 1;
  int32_t mouseX_ = 0, mouseY_ = 0;
  int32_t wheel_ = 0;
};

}  // namespace screen
