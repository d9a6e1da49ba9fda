// Files with UTF-8 names: the wide-character C runtime and Win32 calls.
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "platform/platform.h"
#include "platform/win32/wide.h"

namespace platform {

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return _wfopen(Widen(path).c_str(), Widen(mode).c_str());
}

bool SyncAndClose(std::FILE* file) {
  // _commit flushes the system's buffers of the file to the disk (FlushFileBuffers).
  bool ok = std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
  return std::fclose(file) == 0 && ok;
}

bool RenameOver(const std::string& from, const std::string& to) {
  return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFile(const std::string& path) {
  return DeleteFileW(Widen(path).c_str()) != 0;
}

int64_t FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return -1;
  }
  return static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) |
                              data.nFileSizeLow);
}

std::vector<FolderEntry> ListFiles(const std::string& folder) {
  std::vector<FolderEntry> files;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(Widen(folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return files;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const uint64_t size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    files.push_back({Narrow(found.cFileName), static_cast<int64_t>(size)});
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return files;
}

}  // namespace platform
