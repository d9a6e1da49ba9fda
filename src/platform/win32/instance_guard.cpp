// The single-instance guard: a named mutex, owned by the first copy. The system closes it with
// the process, however the process ends.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

HANDLE guard = nullptr;

}  // namespace

bool AcquireInstanceGuard(const std::string& name) {
  if (guard) return true;
  SetLastError(0);
  HANDLE mutex = CreateMutexW(nullptr, TRUE, Widen(name).c_str());
  // A mutex that existed before (ERROR_ALREADY_EXISTS) belongs to another copy.
  if (!mutex || GetLastError() != 0) {
    if (mutex) CloseHandle(mutex);
    return false;
  }
  guard = mutex;
  return true;
}

void ReleaseInstanceGuard() {
  if (!guard) return;
  ReleaseMutex(guard);
  CloseHandle(guard);
  guard = nullptr;
}

}  // namespace platform
