// The outputs a Wayland compositor announces, and whether the run's surface on each can be drawn
// on: a surface is ready once the compositor has given it a size. Bookkeeping only, so that tests
// can follow outputs coming, going and changing size without a compositor.
#pragma once

#include <cstdint>
#include <vector>

namespace screen {

struct Output {
  uint32_t name = 0;  // the compositor's name for the output's global
  int32_t width = 0;  // the size the compositor gave its surface; 0 until it has
  int32_t height = 0;
};

class OutputSet {
 public:
  // A new output, in the order the compositor announces them.
  void Add(uint32_t name);
  // The output went away, or the compositor closed its surface. False when it was not known.
  bool Remove(uint32_t name);
  // The compositor's size for the output's surface; 0 x 0 leaves it not ready.
  void Configure(uint32_t name, int32_t width, int32_t height);
  // The outputs whose surface can be drawn on, in announcement order.
  std::vector<Output> Ready() const;
  // True once after the ready outputs or the size of one of them changed.
  bool TakeChanged();

 private:
  std::vector<Output> outputs_;
  bool changed_ = false;
};

}  // namespace screen
