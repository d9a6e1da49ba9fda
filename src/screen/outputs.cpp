#include "screen/outputs.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace screen {
namespace {

bool IsReady(const Output& o) {
  return o.width > 0 && o.height > 0;
}

}  // namespace

void OutputSet::Add(uint32_t name) {
  const auto known = std::find_if(outputs_.begin(), outputs_.end(),
                                  [name](const Output& o) { return o.name == name; });
  if (known == outputs_.end()) outputs_.push_back({name, 0, 0});
}

bool OutputSet::Remove(uint32_t name) {
  const auto known = std::find_if(outputs_.begin(), outputs_.end(),
                                  [name](const Output& o) { return o.name == name; });
  if (known == outputs_.end()) return false;
  changed_ = changed_ || IsReady(*known);
  outputs_.erase(known);
  return true;
}

void OutputSet::Configure(uint32_t name, int32_t width, int32_t height) {
  for (Output& o : outputs_) {
    if (o.name != name) continue;
    const bool wasReady = IsReady(o);
    const bool resized = o.width != width || o.height != height;
    o.width = std::max(width, 0);
    o.height = std::max(height, 0);
    changed_ = changed_ || (resized && (wasReady || IsReady(o)));
  }
}

std::vector<Output> OutputSet::Ready() const {
  std::vector<Output> ready;
  std::copy_if(outputs_.begin(), outputs_.end(), std::back_inserter(ready), IsReady);
  return ready;
}

bool OutputSet::TakeChanged() {
  return std::exchange(changed_, false);
}

}  // namespace screen
