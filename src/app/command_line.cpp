#include "app/command_line.h"

#include <algorithm>

#include "text/number.h"

namespace app {

std::string CommandLineArgument(const std::vector<std::string>& args, size_t n) {
  if (n >= args.size()) return {};
  std::string arg = args[n];
  size_t first = arg.find_first_not_of(" \t");
  size_t last = arg.find_last_not_of(" \t");
  arg = first == std::string::npos ? std::string() : arg.substr(first, last - first + 1);
  for (char& c : arg) {
    if (c == '/') c = '-';
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return arg;
}

std::string HandleField(const std::vector<std::string>& args, size_t n) {
  std::string arg = CommandLineArgument(args, n);
  size_t colon = arg.find(':');
  if (colon == std::string::npos) return {};
  return arg.substr(colon + 1, arg.find(':', colon + 1) - colon - 1);
}

Mode SelectMode(const std::vector<std::string>& args) {
  const std::string m = CommandLineArgument(args, 0).substr(0, 2);
  if (m == "-U") return Mode::kUninstall;
  if (m == "-P" || m == "-L") return Mode::kPreview;
  if (m == "-C") return Mode::kConfigure;
  if (m == "-S") return Mode::kRun;
  if (m == "-A") return Mode::kNothing;
  if (m == "-I") return Mode::kSaveSettings;
  return Mode::kRun;
}

int32_t ParseWindowHandle(const std::vector<std::string>& args) {
  int32_t handle = text::ReadNumber(HandleField(args, 0));
  return handle != 0 ? handle : text::ReadNumber(CommandLineArgument(args, 1));
}

bool WaylandRequested(const std::vector<std::string>& args) {
#ifdef _WIN32
  static_cast<void>(args);
  return false;
#else
  for (size_t n = 0; n < args.size(); ++n) {
    if (CommandLineArgument(args, n) == "--WAYLAND") return true;
  }
  return false;
#endif
}

}  // namespace app
