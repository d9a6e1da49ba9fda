// The switches and window handles the system starts us with: the input's NUL-separated pieces
// are the arguments. Normalised arguments keep their promises, and the number reader skips
// blanks and negates as it says, wrapping at 32 bits without undefined behaviour.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "text/number.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> args;
  for (size_t start = 0; start <= input.size() && args.size() < 4;) {
    size_t end = input.find('\0', start);
    if (end == std::string::npos) end = input.size();
    args.push_back(input.substr(start, end - start));
    start = end + 1;
  }

  for (size_t n = 0; n <= args.size(); ++n) {
    const std::string arg = app::CommandLineArgument(args, n);
    for (char c : arg) {
      if (c == '/' || (c >= 'a' && c <= 'z')) std::abort();
    }
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    if (!arg.empty() && (blank(arg.front()) || blank(arg.back()))) std::abort();
    if (app::HandleField(args, n).find(':') != std::string::npos) std::abort();
  }
  app::SelectMode(args);
  app::ParseWindowHandle(args);

  const int32_t value = text::ReadNumber(input);
  if (text::ReadNumber(" \t" + input) != value) std::abort();
  if (input.empty() || input[0] == ' ' || input[0] == '\t' || input[0] == '-' || input[0] == '+')
    return 0;
  const uint32_t negated = 0u - static_cast<uint32_t>(value);
  if (text::ReadNumber("-" + input) != static_cast<int32_t>(negated)) std::abort();
  return 0;
}
