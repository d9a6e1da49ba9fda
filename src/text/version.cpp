#include "text/version.h"

namespace text {

std::string ShortVersion(int32_t number) {
  // A dot before the second and before the third digit (330: 3.3.0); a last 0 drops the rest.
  const std::string digits = std::to_string(number);
  std::string text;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i == 1 || i == 2) text += '.';
    text += digits[i];
  }
  if (!text.empty() && text.back() == '0') text.resize(std::min<size_t>(3, text.size()));
  return text;
}

std::string TitleText(const std::string& name, int32_t number) {
  return name + " " + ShortVersion(number);
}

}  // namespace text
