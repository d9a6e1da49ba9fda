// Files with UTF-8 names: the wide-character C runtime and Win32 calls.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string_view>

#include "platform/platform.h"
#include "platform/win32/wide.h"

namespace platform {

namespace {

// A handle that is a file on a disk; a named pipe, the console, NUL or a COM port is none.
bool IsDiskFile(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info{};
  return GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &info) &&
         !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::FILE* OpenFile(const std::string& path, const char* mode) {
  // fopen would open a pipe or a device too, and a read from it can wait for ever.
  const std::string_view m(mode);
  const bool both = m.find('+') != std::string_view::npos;
  DWORD access = 0;
  DWORD creation = OPEN_ALWAYS;
  int crtFlags = m.find('b') != std::string_view::npos ? _O_BINARY : _O_TEXT;
  switch (m.empty() ? '\0' : m.front()) {
    case 'r':
      access = GENERIC_READ | (both ? GENERIC_WRITE : 0);
      creation = OPEN_EXISTING;
      if (!both) crtFlags |= _O_RDONLY;
      break;
    case 'w':
      access = GENERIC_WRITE | (both ? GENERIC_READ : 0);
      break;
    case 'a':
      access = GENERIC_WRITE | (both ? GENERIC_READ : 0);
      crtFlags |= _O_APPEND;
      break;
    default:
      return nullptr;
  }
  // The sharing of fopen: others may read and write meanwhile.
  HANDLE handle = CreateFileW(Widen(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  // Emptied only now that it is known to be a file on a disk.
  if (!IsDiskFile(handle) || (m.front() == 'w' && !SetEndOfFile(handle))) {
    CloseHandle(handle);
    return nullptr;
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), crtFlags);
  if (fd < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  std::FILE* file = _fdopen(fd, mode);
  if (!file) _close(fd);
  return file;
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& data) {
  const std::string temp = path + "." + std::to_string(GetCurrentProcessId()) + ".part";
  std::FILE* file = OpenFile(temp, "wb");
  if (!file) return false;
  bool ok = std::fwrite(data.data(), 1, data.size(), file) == data.size();
  ok = std::fclose(file) == 0 && ok && RenameOver(temp, path);
  if (!ok) RemoveFile(temp);
  return ok;
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
  // Asks for no access: only the file's facts are read, and a file held open by others counts.
  HANDLE handle =
      CreateFileW(Widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return -1;
  LARGE_INTEGER size{};
  const bool known = IsDiskFile(handle) && GetFileSizeEx(handle, &size);
  CloseHandle(handle);
  return known ? static_cast<int64_t>(size.QuadPart) : -1;
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
