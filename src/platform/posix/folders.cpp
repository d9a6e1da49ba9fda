// Folders on POSIX systems.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/platform.h"

namespace platform {
namespace {

std::string WithSep(std::string path) {
  if (path.empty() || path.back() != kSep) path += kSep;
  return path;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  const passwd* pw = getpwuid(getuid());
  return pw && pw->pw_dir ? pw->pw_dir : "/tmp";
}

}  // namespace

std::string AppDataFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  // Relative values are ignored, as the base-directory convention asks.
  std::string base = xdg && xdg[0] == '/' ? xdg : HomeFolder() + "/.config";
  base = WithSep(base);
  // The base is usually there; a fresh account may lack ~/.config itself.
  CreateFolder(base);
  return base;
}

std::string ProgramFilesFolder() {
  return WithSep(FLURRIX_SHARE_DIR);
}

std::string ProgramFolder() {
  char buffer[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return CurrentFolder();
  std::string path(buffer, static_cast<size_t>(n));
  return path.substr(0, path.rfind(kSep) + 1);
}

std::string CurrentFolder() {
  char buffer[PATH_MAX];
  if (!getcwd(buffer, sizeof buffer)) return "./";
  return WithSep(buffer);
}

bool FolderExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0755) == 0) return true;
  return errno == EEXIST && FolderExists(path);
}

}  // namespace platform
