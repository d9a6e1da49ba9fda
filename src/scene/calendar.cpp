// The month calendar: a row of weekday initials over the days of the month, today bright.
#include <array>

#include "scene/engine_api.h"
#include "scene/local_time.h"
#include "scene/overlay_text.h"
#include "scene/overlays.h"
#include "settings/modes.h"

namespace scene {
namespace {

constexpr float kCell = 1.5f;
constexpr std::array<const char*, 7> kMondayFirst{"M", "T", "W", "T", "F", "S", "S"};
constexpr std::array<const char*, 7> kSundayFirst{"S", "M", "T", "W", "T", "F", "S"};
constexpr std::array<int32_t, 12> kMonthLengths{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Places a created text in the next cell of the row; a text that could not be created takes no
// cell.
void AddText(CalendarState& calendar, const std::string& caption, int colour, float& column,
             float row) {
  const int text = CreateOverlayText(-1, caption, colour);
  if (text < 0) return;
  EngineApi& rto = Rto();
  rto.MoveText3D(text, column, row, 0);
  rto.AttachNodeObject(calendar.node, rto.Text3DID(text));
  column += kCell;
  calendar.texts.push_back(text);
}

int32_t MonthCount(const DateParts& date) {
  return date.year * 12 + date.month - 1;
}

}  // namespace

bool IsLeapYear(int32_t year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int32_t DaysInMonth(int64_t date) {
  const DateParts d = SplitDate(date);
  return kMonthLengths[d.month - 1] + (d.month == 2 && IsLeapYear(d.year) ? 1 : 0);
}

int32_t FirstWeekdayOffset(int64_t date, int32_t firstDay) {
  const DateParts d = SplitDate(date);
  int32_t weekday = SplitDate(MakeDate(d.year, d.month, 1)).weekday;
  if (firstDay == settings::kWeekStartsSunday) weekday += 1;
  if (weekday == 0) weekday = 7;
  return weekday - 1;
}

void BuildCalendar(CalendarState& calendar, const CalendarPlan& plan, int64_t date, float x,
                   float y, float z) {
  EngineApi& rto = Rto();
  calendar.plan = plan;
  calendar.node = rto.CreateNode2(-1, x, y, z);
  calendar.place = {x, y, z};
  const DateParts today = SplitDate(date);
  calendar.shownDay = today.day;
  calendar.shownMonth = MonthCount(today);

  float column = 0;
  float row = 0;
  // Any value but 2 puts Monday first, for the initials as for the day grid.
  for (const char* initial :
       plan.firstWeekday == settings::kWeekStartsSunday ? kSundayFirst : kMondayFirst) {
    AddText(calendar, initial, kBrightWhite, column, row);
  }
  column = 0;
  row -= kCell;

  const int32_t offset = FirstWeekdayOffset(date, plan.firstWeekday);
  const int32_t days = DaysInMonth(date);
  for (int32_t i = 1; i <= days + offset; ++i) {
    const int32_t day = i - offset;
    if (day < 1) {
      column += kCell;
      continue;
    }
    AddText(calendar, std::to_string(day), day == calendar.shownDay ? kBrightWhite : kDimWhite,
            column, row);
    if (i % 7 == 0) {
      column = 0;
      row -= kCell;
    }
  }

  const float scale = static_cast<float>(plan.size) * 0.2f;
  rto.ScaleNode2(calendar.node, scale, scale, scale, RTO_ABSOLUTE);
  rto.MoveNode2(calendar.node, x, y, z, RTO_ABSOLUTE);
}

void CheckCalendarDay(CalendarState& calendar, const RunContext& context, bool force) {
  const int64_t now = context.NowMs();
  if (!force && now - calendar.lastCheck <= 1000) return;
  const int64_t date = context.LocalNow();
  const DateParts today = SplitDate(date);
  if (calendar.plan.shown &&
      (today.day != calendar.shownDay || MonthCount(today) != calendar.shownMonth)) {
    EngineApi& rto = Rto();
    for (const int text : calendar.texts) {
      if (rto.IsText3D(text)) rto.FreeText3D(text);
    }
    calendar.texts.clear();
    if (rto.IsNode(calendar.node)) rto.FreeNode(calendar.node);
    const WorldPoint place = calendar.place;
    BuildCalendar(calendar, calendar.plan, date, place.x, place.y, place.z);
  }
  calendar.lastCheck = now;
}

}  // namespace scene
