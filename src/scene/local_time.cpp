#include "scene/local_time.h"

namespace scene {
namespace {

constexpr int64_t kSecondsPerDay = 86400;

int64_t FloorDiv(int64_t a, int64_t b) {
  return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back (H. Hinnant's civil algorithms).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = FloorDiv(y, 400);
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

DateParts SplitDate(int64_t date) {
  const int64_t days = FloorDiv(date, kSecondsPerDay);
  const int64_t secondOfDay = date - days * kSecondsPerDay;
  const int64_t z = days + 719468;
  const int64_t era = FloorDiv(z, 146097);
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  DateParts p;
  p.day = static_cast<int32_t>(doy - (153 * mp + 2) / 5 + 1);
  p.month = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);
  p.year = static_cast<int32_t>(yoe + era * 400 + (p.month <= 2));
  p.hour = static_cast<int32_t>(secondOfDay / 3600);
  p.minute = static_cast<int32_t>(secondOfDay / 60 % 60);
  p.second = static_cast<int32_t>(secondOfDay % 60);
  p.weekday = static_cast<int32_t>(days + 4 - FloorDiv(days + 4, 7) * 7);  // 1970-01-01: Thursday
  return p;
}

int64_t MakeDate(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                 int32_t second) {
  return DaysFromCivil(year, month, day) * kSecondsPerDay + int64_t{hour} * 3600 +
         int64_t{minute} * 60 + second;
}

}  // namespace scene
