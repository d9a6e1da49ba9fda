// Folders on Windows: the shell's special folders and the program file's own folder.
#include <shlobj.h>
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

std::string WithSep(std::string path) {
  if (path.empty() || path.back() != kSep) path += kSep;
  return path;
}

// A shell folder by its CSIDL value; the current folder if the shell does not know it.
std::string ShellFolder(int csidl) {
  wchar_t buffer[MAX_PATH];
  if (FAILED(SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                              buffer))) {
    return CurrentFolder();
  }
  return WithSep(Narrow(buffer));
}

}  // namespace

std::string AppDataFolder() {
  return ShellFolder(CSIDL_APPDATA);
}

std::string ProgramFilesFolder() {
  return ShellFolder(CSIDL_PROGRAM_FILES);
}

std::string ProgramFolder() {
  // Long paths do not fit MAX_PATH: grow until the name is not cut.
  std::wstring buffer(MAX_PATH, L'\0');
  while (true) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (n == 0) return CurrentFolder();
    if (n < size) {
      buffer.resize(n);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  const size_t cut = buffer.find_last_of(L"\\/");
  return Narrow(buffer.substr(0, cut == std::wstring::npos ? 0 : cut + 1));
}

std::string CurrentFolder() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  std::wstring buffer(size, L'\0');
  const DWORD n = GetCurrentDirectoryW(size, buffer.data());
  if (n == 0 || n >= size) return std::string(".") + kSep;
  buffer.resize(n);
  return WithSep(Narrow(buffer));
}

bool FolderExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateFolder(const std::string& path) {
  if (CreateDirectoryW(Widen(path).c_str(), nullptr)) return true;
  return GetLastError() == ERROR_ALREADY_EXISTS && FolderExists(path);
}

}  // namespace platform
