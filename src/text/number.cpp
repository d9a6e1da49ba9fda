#include "text/number.h"

namespace text {
namespace {

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

}  // namespace

int32_t ReadNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i < text.size() && text[i] == '%') {
    base = 2;
    ++i;
  }
  uint32_t value = 0;  // unsigned, so that overflow wraps instead of being undefined
  for (; i < text.size() && DigitValue(text[i]) < base; ++i) {
    value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(DigitValue(text[i]));
  }
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

}  // namespace text
