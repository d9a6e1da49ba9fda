// Date values, the local date and time that the clocks and the calendar show, and their parts.
#pragma once

#include <cstdint>

namespace scene {

// A date value is the seconds since 1970-01-01 00:00:00 of the local wall clock (read as if UTC).

struct DateParts {
  int32_t year = 1970;
  int32_t month = 1;  // 1 = January
  int32_t day = 1;
  int32_t hour = 0;
  int32_t minute = 0;
  int32_t second = 0;
  int32_t weekday = 4;  // 0 = Sunday .. 6 = Saturday
};

DateParts SplitDate(int64_t date);
int64_t MakeDate(int32_t year, int32_t month, int32_t day, int32_t hour = 0, int32_t minute = 0,
                 int32_t second = 0);

}  // namespace scene
