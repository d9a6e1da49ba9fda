// Objects addressed by number in a flat array. Numbers below kFirstAutoNumber are left to callers
// that pick fixed numbers; "any" numbers are handed out from kFirstAutoNumber up and reused after
// they are freed.
#pragma once

#include <cstdint>
#include <vector>

namespace engine {

inline constexpr int kAnyNumber = -1;
inline constexpr int kFirstAutoNumber = 1024;
inline constexpr int kMaxNumber = 1 << 22;

// Identities carry their kind in the top byte, so that one kind's identity never names another's.
enum class Kind { kCamera = 1, kTexture, kMaterial, kMesh, kEntity, kNode, kText, kSprite };

inline int MakeId(Kind kind, int number) {
  return (static_cast<int>(kind) << 24) | number;
}
inline int NumberOfId(Kind kind, int id) {
  return (id >> 24) == static_cast<int>(kind) ? (id & 0xFFFFFF) : -1;
}
inline Kind KindOfId(int id) {
  return static_cast<Kind>(id >> 24);
}

template <class T>
class Slots {
 public:
  T* Find(int number) {
    return number >= 0 && number < static_cast<int>(alive_.size()) && alive_[number]
               ? &items_[number]
               : nullptr;
  }
  bool Has(int number) { return Find(number) != nullptr; }

  // Takes `number` (kAnyNumber: a free one) for a fresh object; -1 when the number is out of
  // range. An object already living under that number must have been released first.
  int Claim(int number) {
    if (number == kAnyNumber) {
      number = -1;
      while (!free_.empty() && number < 0) {
        const int candidate = free_.back();
        free_.pop_back();
        if (!Has(candidate)) number = candidate;
      }
      while (number < 0) {
        if (!Has(nextAuto_)) number = nextAuto_;
        ++nextAuto_;
      }
    }
    if (number < 0 || number >= kMaxNumber) return -1;
    if (number >= static_cast<int>(items_.size())) {
      items_.resize(number + 1);
      alive_.resize(number + 1, 0);
    }
    items_[number] = T{};
    alive_[number] = 1;
    return number;
  }

  void Release(int number) {
    if (!Has(number)) return;
    alive_[number] = 0;
    items_[number] = T{};
    if (number >= kFirstAutoNumber) free_.push_back(number);
  }

  template <class F>
  void ForEach(F&& f) {
    for (size_t i = 0; i < items_.size(); ++i) {
      if (alive_[i]) f(static_cast<int>(i), items_[i]);
    }
  }

  void Clear() {
    items_.clear();
    alive_.clear();
    free_.clear();
    nextAuto_ = kFirstAutoNumber;
  }

 private:
  std::vector<T> items_;
  std::vector<uint8_t> alive_;
  std::vector<int> free_;
  int nextAuto_ = kFirstAutoNumber;
};

}  // namespace engine
