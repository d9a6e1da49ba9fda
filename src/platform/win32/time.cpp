// Time: the performance counter for the monotonic clock, and 1 ms timer resolution for Sleep.
#include <windows.h>

#include "platform/platform.h"

namespace platform {
namespace {

// The system's timer resolution is 15.6 ms by default, too coarse to pace frames.
void FineTimerResolution() {
  static const bool done = timeBeginPeriod(1) == TIMERR_NOERROR;
  (void)done;
}

}  // namespace

uint64_t MonotonicMs() {
  static const uint64_t frequency = [] {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    return static_cast<uint64_t>(f.QuadPart);
  }();
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  const uint64_t ticks = static_cast<uint64_t>(counter.QuadPart);
  // Split so that ticks * 1000 cannot overflow.
  return ticks / frequency * 1000u + ticks % frequency * 1000u / frequency;
}

void SleepMs(uint32_t ms) {
  FineTimerResolution();
  Sleep(ms);
}

int64_t LocalSecondsSince1970() {
  SYSTEMTIME local{};
  GetLocalTime(&local);
  // The local calendar time read as if it were UTC.
  FILETIME asFileTime{};
  SystemTimeToFileTime(&local, &asFileTime);
  const uint64_t hundredNs =
      (static_cast<uint64_t>(asFileTime.dwHighDateTime) << 32) | asFileTime.dwLowDateTime;
  constexpr uint64_t kFrom1601To1970 = 116444736000000000ull;
  return static_cast<int64_t>((hundredNs - kFrom1601To1970) / 10000000ull);
}

}  // namespace platform
