#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string_view>

#include "platform/platform.h"

namespace platform {

std::FILE* OpenFile(const std::string& path, const char* mode) {
  // Without O_NONBLOCK, opening a named pipe waits for its other end, for ever if none comes.
  const std::string_view m(mode);
  const bool both = m.find('+') != std::string_view::npos;
  int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  switch (m.empty() ? '\0' : m.front()) {
    case 'r':
      flags |= both ? O_RDWR : O_RDONLY;
      break;
    case 'w':
      flags |= (both ? O_RDWR : O_WRONLY) | O_CREAT;
      break;
    case 'a':
      flags |= (both ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
      break;
    default:
      errno = EINVAL;
      return nullptr;
  }
  const int fd = open(path.c_str(), flags, 0666);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int reason = S_ISDIR(st.st_mode) ? EISDIR : ENXIO;
    close(fd);
    errno = reason;
    return nullptr;
  }
  // A plain file never waits; it is emptied only now that it is known to be one.
  std::FILE* file = nullptr;
  if (fcntl(fd, F_SETFL, flags & O_APPEND) == 0 && (m.front() != 'w' || ftruncate(fd, 0) == 0)) {
    file = fdopen(fd, mode);
  }
  if (!file) close(fd);
  return file;
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& data) {
  // A termination signal waits until the new file is in place or gone: its handler ends the
  // process at once, which would leave the half-written file of a unique name behind.
  sigset_t termination, saved;
  sigemptyset(&termination);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&termination, signal);
  pthread_sigmask(SIG_BLOCK, &termination, &saved);
  std::string temp = path + ".XXXXXX";
  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  bool ok = fd >= 0;
  for (size_t done = 0; ok && done < data.size();) {
    const ssize_t n = write(fd, data.data() + done, data.size() - done);
    ok = n > 0 || (n < 0 && errno == EINTR);
    if (n > 0) done += static_cast<size_t>(n);
  }
  if (fd >= 0) ok = close(fd) == 0 && ok;
  ok = ok && RenameOver(temp, path);
  if (!ok && fd >= 0) unlink(temp.c_str());
  pthread_sigmask(SIG_SETMASK, &saved, nullptr);
  return ok;
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
