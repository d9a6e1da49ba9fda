#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "platform/platform.h"

namespace platform {

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

bool SyncAndClose(std::FILE* file) {
  bool ok = std::fflush(file) == 0 && fsync(fileno(file)) == 0;
  return std::fclose(file) == 0 && ok;
}

bool RenameOver(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveFile(const std::string& path) {
  return std::remove(path.c_str()) == 0;
}

int64_t FileSize(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

std::vector<FolderEntry> ListFiles(const std::string& folder) {
  std::vector<FolderEntry> files;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return files;
  while (const dirent* entry = readdir(dir)) {
    int64_t size = FileSize(folder + entry->d_name);
    if (size >= 0) files.push_back({entry->d_name, size});
  }
  closedir(dir);
  return files;
}

}  // namespace platform
