#include "text/number.h"

#include <algorithm>

namespace text {
namespace {

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

struct Reading {
  bool negative = false;
  uint32_t wrapped = 0;    // the value's low 32 bits
  uint64_t magnitude = 0;  // the value, held at kBeyond once it is beyond 32 bits
};
constexpr uint64_t kBeyond = uint64_t{1} << 32;

Reading Read(std::string_view text) {
  Reading r;
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) r.negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i < text.size() && text[i] == '%') {
    base = 2;
    ++i;
  }
  for (; i < text.size() && DigitValue(text[i]) < base; ++i) {
    const auto digit = static_cast<uint32_t>(DigitValue(text[i]));
    r.wrapped = r.wrapped * static_cast<uint32_t>(base) + digit;  // unsigned: wraps, defined
    r.magnitude = std::min(r.magnitude * static_cast<uint64_t>(base) + digit, kBeyond);
  }
  return r;
}

}  // namespace

int32_t ReadNumber(std::string_view text) {
  const Reading r = Read(text);
  return static_cast<int32_t>(r.negative ? 0u - r.wrapped : r.wrapped);
}

int32_t ReadNumberSaturated(std::string_view text) {
  const Reading r = Read(text);
  const auto value = static_cast<int64_t>(r.magnitude);
  return static_cast<int32_t>(
      std::clamp<int64_t>(r.negative ? -value : value, INT32_MIN, INT32_MAX));
}

}  // namespace text
