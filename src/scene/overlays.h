// The overlays in front of the background: the analog and digital clocks, the month calendar and
// the foreground text. Each is built once while the scene is built and refreshed by the frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scene/geometry.h"
#include "scene/run_context.h"
#include "scene/scene_plan.h"

namespace scene {

struct ClockState {
  bool analog = false;  // which clocks were built
  bool digital = false;
  int8_t timeFormat = 0;
  int32_t clockNode = 0;
  int32_t hourNode = 0;
  int32_t minuteNode = 0;
  int64_t lastRefresh = 0;
};

struct CalendarState {
  CalendarPlan plan;  // as it was built; a rebuild looks the same
  int32_t node = 0;
  int32_t shownDay = 0;
  int32_t shownMonth = 0;      // months since year 0: a sleep of a month or a set clock is a change
  std::vector<int32_t> texts;  // every text created and placed, in creation order
  int64_t lastCheck = 0;
  WorldPoint place;  // where it was built; a rebuild goes there
};

// Date values: seconds since 1970 of the local wall clock (see local_time.h).

// The digital clock's text: timeFormat 1 "19:45:00", 2 "07:45pm", any other the empty text.
std::string FormatClockTime(int64_t date, int32_t timeFormat);

void BuildAnalogClock(ClockState& clocks, const Geometry& g, const AnalogClockPlan& plan);
void BuildDigitalClock(ClockState& clocks, const Geometry& g, const DigitalClockPlan& plan);
// The clocks built: at most once a second (strictly more than 1000 ms since the last refresh)
// unless forced.
void RefreshClocks(ClockState& clocks, const RunContext& context, bool force);

bool IsLeapYear(int32_t year);
// 28 to 31.
int32_t DaysInMonth(int64_t date);
// The empty cells before the 1st of the month, 0 to 6; firstDay 2 puts Sunday first, any other
// value Monday.
int32_t FirstWeekdayOffset(int64_t date, int32_t firstDay);

// The month of `date` on a node at (x, y, z): initials, then the weeks, that day bright.
void BuildCalendar(CalendarState& calendar, const CalendarPlan& plan, int64_t date, float x,
                   float y, float z);
// Once a second (unless forced): rebuilds a calendar that was built in place when the date has
// changed.
void CheckCalendarDay(CalendarState& calendar, const RunContext& context, bool force);

void BuildForegroundText(const Geometry& g, const ForegroundPlan& plan);

}  // namespace scene
