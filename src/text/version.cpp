#include "text/version.h"

namespace text {

std::string ShortVersion(int32_t number) {
  std::string text = std::to_string(number);
  if (text.size() >= 2) text.insert(1, ".");
  if (text.size() >= 4) text.insert(3, ".");
  if (!text.empty() && text.back() == '0') text.resize(std::min<size_t>(3, text.size()));
  return text;
}

std::string TitleText(const std::string& name, int32_t number) {
  return name + " " + ShortVersion(number);
}

}  // namespace text
