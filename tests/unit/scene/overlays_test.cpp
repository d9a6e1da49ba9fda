// The clocks, the calendar and the foreground text, built in the real engine (no screen needed)
// and read back from its scene.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine.h"
#include "scene/engine_api.h"
#include "scene/engine_objects.h"
#include "scene/local_time.h"
#include "scene/overlays.h"
#include "scene/run_context.h"
#include "scoped_hook.h"

namespace scene {
namespace {

constexpr float kDim = 180.0f / 255.0f;

int64_t localNow = 0;
int64_t msNow = 0;
std::string failCaption;  // a text the engine cannot create

engine::Scene& World() {
  return engine::TheEngine().scene;
}
const engine::Text& TextOf(int number) {
  return *World().texts.Find(number);
}
const engine::Node& NodeOf(int number) {
  return *World().nodes.Find(number);
}
const engine::Entity& EntityOf(int number) {
  return *World().entities.Find(number);
}

class Overlays : public ::testing::Test {
 protected:
  // The program's engine table comes back whatever the test does.
  flurrixtest::ScopedTable<EngineApi> engine_{Rto()};
  void SetUp() override {
    const std::filesystem::path fonts = ::testing::TempDir() + "overlay_fonts";
    std::filesystem::create_directories(fonts);
    std::ofstream(fonts / "days.fontdef")
        << "font Days\nsource /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf\n";
    RTO_InitEngine3D();
    RTO_Add3DArchive(fonts.string().c_str(), 0);
    ASSERT_EQ(RTO_Parse3DScripts(), 1);
    EngineApi& rto = Rto();
#define BIND(name) rto.name = &::RTO_##name;
    FLURRIX_ENGINE_ENTRIES(BIND)
#undef BIND
    rto.CreateText3D2 = [](int text, const char* caption, const char* font, float size, int c) {
      return caption == failCaption ? 0 : RTO_CreateText3D2(text, caption, font, size, c);
    };
    failCaption = "never";
    context.localTime = [] { return localNow; };
    context.clock = [] { return msNow; };
    msNow = 50000;
    s.aclock = s.dclock = s.calendar = 1;
    s.aclocksize = 10;
    s.timefrm = s.calendarfirst = 1;
    s.calendarsize = 2;
  }
  void TearDown() override {
    RTO_CloseScreen();
  }

  // Pixels from the right, bottom and top edges of a 1920 x 1080 screen.
  float FromRight(float x) const {
    return (g.leftEdge + g.planeWidth - x) / g.unitsPerPixel;
  }
  float FromBottom(float y) const {
    return (y - g.topEdge + g.planeHeight) / g.unitsPerPixel;
  }
  float FromTop(float y) const {
    return (g.topEdge - y) / g.unitsPerPixel;
  }

  // The overlays of a run with settings `s`.
  ScenePlan Plan() {
    RandomGenerator random;
    return MakeScenePlan(s, random, {});
  }

  settings::Settings s;
  RunContext context;
  Geometry g = MakeGeometry(1920, 1080);
  ClockState clocks;
  CalendarState calendar;
};

TEST_F(Overlays, ClockTextInEveryFormat) {
  EXPECT_EQ(FormatClockTime(MakeDate(2024, 3, 9, 7, 5, 9), 1), "07:05:09");
  EXPECT_EQ(FormatClockTime(MakeDate(2024, 3, 9, 19, 45, 0), 1), "19:45:00");
  EXPECT_EQ(FormatClockTime(MakeDate(2024, 3, 9, 7, 5, 9), 2), "07:05am");
  EXPECT_EQ(FormatClockTime(MakeDate(2024, 3, 9, 19, 45, 0), 2), "07:45pm");
  EXPECT_EQ(FormatClockTime(MakeDate(2024, 3, 9, 0, 30, 0), 2), "12:30am");
  EXPECT_EQ(FormatClockTime(MakeDate(2024, 3, 9, 12, 0, 0), 2), "12:00pm");
  EXPECT_EQ(FormatClockTime(MakeDate(2024, 3, 9, 11, 59, 0), 2), "11:59am");
  EXPECT_EQ(FormatClockTime(MakeDate(2024, 3, 9, 7, 5, 9), 3), "");
  EXPECT_EQ(FormatClockTime(MakeDate(1969, 12, 31, 23, 58, 7), 1), "23:58:07");
}

TEST_F(Overlays, AnalogClockAnchoredAndScaled) {
  s.aclockx = -300;
  s.aclocky = -50;
  BuildAnalogClock(clocks, g, Plan().analogClock);
  const engine::Node& clock = NodeOf(clocks.clockNode);
  EXPECT_NEAR(FromRight(clock.pos.x), 301, 0.01);
  EXPECT_NEAR(FromBottom(clock.pos.y), 51, 0.01);
  EXPECT_FLOAT_EQ(clock.scale.x, 0.3f);
  ASSERT_EQ(clock.entities.size(), 13u);  // twelve marks and the disc
  EXPECT_EQ(clock.nodes, (std::vector<int>{clocks.hourNode, clocks.minuteNode}));
  int marks = 0;
  for (const int number : clock.entities) {
    const engine::Entity& e = EntityOf(number);
    EXPECT_EQ(e.material, engine::kNoObject) << "the engine's plain white look";
    if (e.scale.y != 2) continue;
    ++marks;  // on a circle of radius 5, pointing outwards
    EXPECT_NEAR(std::hypot(e.pos.x, e.pos.y), 5, 1e-4);
    const float angle = std::atan2(e.pos.y, e.pos.x) * 180 / 3.14159265f;
    EXPECT_NEAR(std::remainder(angle - e.rot.z - 90, 360.0f), 0, 1e-3);
  }
  EXPECT_EQ(marks, 12);
  // Hands of 3 and 4 units (cube 0.5) reaching from the centre.
  const engine::Entity& hour = EntityOf(NodeOf(clocks.hourNode).entities.at(0));
  const engine::Entity& minute = EntityOf(NodeOf(clocks.minuteNode).entities.at(0));
  EXPECT_FLOAT_EQ(hour.pos.y, 1.5f);
  EXPECT_FLOAT_EQ(hour.scale.y * 0.5f, 3);
  EXPECT_FLOAT_EQ(minute.pos.y, 2);
  EXPECT_FLOAT_EQ(minute.scale.y * 0.5f, 4);
}

TEST_F(Overlays, HandsAndDigitalClockFollowTheTimeAtMostOnceASecond) {
  s.timefrm = 2;
  BuildAnalogClock(clocks, g, Plan().analogClock);
  BuildDigitalClock(clocks, g, Plan().digitalClock);
  clocks.lastRefresh = msNow;
  localNow = MakeDate(2024, 3, 9, 10, 30, 0);
  RefreshClocks(clocks, context, true);
  EXPECT_FLOAT_EQ(NodeOf(clocks.hourNode).rot.z, -315);
  EXPECT_FLOAT_EQ(NodeOf(clocks.minuteNode).rot.z, -180);
  EXPECT_EQ(TextOf(kDigitalClockText).caption, "10:30am");

  localNow = MakeDate(2024, 3, 10, 0, 30, 0);
  msNow += 1000;
  RefreshClocks(clocks, context, false);
  EXPECT_EQ(TextOf(kDigitalClockText).caption, "10:30am") << "1000 ms is not enough";
  msNow += 1;
  RefreshClocks(clocks, context, false);
  EXPECT_FLOAT_EQ(NodeOf(clocks.hourNode).rot.z, -375) << "half past twelve";
  EXPECT_EQ(TextOf(kDigitalClockText).caption, "12:30am");
}

TEST_F(Overlays, TextsAnchoredWithTheirMargins) {
  s.dclockx = -260;
  s.dclocky = -70;
  s.foregroundtext = "Happy holidays";
  s.foregroundtextx = -300;
  s.foregroundtexty = 10;
  BuildDigitalClock(clocks, g, Plan().digitalClock);
  BuildForegroundText(g, Plan().foreground);
  for (const int number : {kDigitalClockText, kForegroundText}) {
    EXPECT_FLOAT_EQ(TextOf(number).color.a, 1);
    EXPECT_EQ(TextOf(number).alignment, RTO_ALIGN_BASELINE_LEFT);
  }
  EXPECT_EQ(TextOf(kDigitalClockText).caption, "00:00:00");
  EXPECT_NEAR(FromRight(TextOf(kDigitalClockText).pos.x), 214, 0.01);
  EXPECT_NEAR(FromBottom(TextOf(kDigitalClockText).pos.y), 8, 0.01);
  EXPECT_EQ(TextOf(kForegroundText).caption, "Happy holidays");
  EXPECT_NEAR(FromRight(TextOf(kForegroundText).pos.x), 254, 0.01);
  EXPECT_NEAR(FromTop(TextOf(kForegroundText).pos.y), 50, 0.01);
}

TEST(CalendarDates, MonthLengthsAndEmptyCells) {
  EXPECT_EQ(DaysInMonth(MakeDate(2024, 2, 10)), 29);
  EXPECT_EQ(DaysInMonth(MakeDate(2023, 2, 10)), 28);
  EXPECT_EQ(DaysInMonth(MakeDate(2023, 4, 30, 23, 59, 59)), 30);
  EXPECT_EQ(DaysInMonth(MakeDate(2023, 12, 1)), 31);
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(2100));
  const int64_t sundayStart = MakeDate(2024, 9, 20);    // 1 September 2024: a Sunday
  const int64_t saturdayStart = MakeDate(2025, 3, 31);  // 1 March 2025: a Saturday
  const int64_t mondayStart = MakeDate(2024, 1, 1);
  EXPECT_EQ(FirstWeekdayOffset(sundayStart, 1), 6);
  EXPECT_EQ(FirstWeekdayOffset(sundayStart, 2), 0);
  EXPECT_EQ(FirstWeekdayOffset(saturdayStart, 1), 5);
  EXPECT_EQ(FirstWeekdayOffset(saturdayStart, 2), 6);
  EXPECT_EQ(FirstWeekdayOffset(mondayStart, 1), 0);
  EXPECT_EQ(FirstWeekdayOffset(mondayStart, 2), 1);
}

class Calendar : public Overlays {
 protected:
  struct Cell {
    int column = -1, row = -1;
    float alpha = 0;
  };
  // A calendar text's cell: the initials are row 0, the weeks rows 1 to 6.
  Cell Find(const std::string& caption, bool initial = false) {
    for (const int number : calendar.texts) {
      const engine::Text& t = TextOf(number);
      if (t.caption == caption && (t.pos.y == 0) == initial) {
        return {static_cast<int>(std::lround(t.pos.x / 1.5f)),
                static_cast<int>(std::lround(-t.pos.y / 1.5f)), t.color.a};
      }
    }
    ADD_FAILURE() << "no " << caption;
    return {};
  }
  Cell Day(int day) { return Find(std::to_string(day)); }
  std::string Initials() {
    std::string initials;
    for (int column = 0; column < 7; ++column) {
      for (const int number : calendar.texts) {
        if (TextOf(number).pos.y == 0 && std::lround(TextOf(number).pos.x / 1.5f) == column) {
          initials += TextOf(number).caption;
        }
      }
    }
    return initials;
  }
  void ExpectOnItsNode(size_t count) {
    ASSERT_EQ(calendar.texts.size(), count);
    EXPECT_EQ(NodeOf(calendar.node).texts, calendar.texts);
    for (const int number : calendar.texts) {
      EXPECT_EQ(TextOf(number).alignment, RTO_ALIGN_BASELINE_LEFT);
    }
  }
};

TEST_F(Calendar, MonthStartingOnSundayWithMondayFirst) {
  localNow = MakeDate(2024, 9, 20, 13, 0, 0);
  BuildCalendar(calendar, Plan().calendar, localNow, 1, 2, 0);
  EXPECT_EQ(Initials(), "MTWTFSS");
  EXPECT_EQ(Day(1).column, 6);
  EXPECT_EQ(Day(1).row, 1);
  EXPECT_EQ(Day(2).column, 0);
  EXPECT_EQ(Day(2).row, 2);
  EXPECT_EQ(Day(30).row, 6);
  EXPECT_FLOAT_EQ(Day(20).alpha, 1);
  EXPECT_FLOAT_EQ(Day(19).alpha, kDim);
  EXPECT_FLOAT_EQ(Find("M", true).alpha, 1);
  ExpectOnItsNode(7 + 30);
  const engine::Node& node = NodeOf(calendar.node);
  EXPECT_FLOAT_EQ(node.scale.y, 0.4f);
  EXPECT_FLOAT_EQ(node.pos.x, 1);
  EXPECT_FLOAT_EQ(node.pos.y, 2);
}

TEST_F(Calendar, SundayFirstAndALongMonthStartingOnSaturday) {
  s.calendarfirst = 2;
  localNow = MakeDate(2024, 9, 1);
  BuildCalendar(calendar, Plan().calendar, localNow, 0, 0, 0);
  EXPECT_EQ(Initials(), "SMTWTFS");
  EXPECT_EQ(Day(1).column, 0);
  EXPECT_EQ(Day(8).row, 2);

  RTO_CloseScreen();
  calendar = {};
  s.calendarfirst = 1;
  localNow = MakeDate(2025, 3, 5);
  BuildCalendar(calendar, Plan().calendar, localNow, 0, 0, 0);
  EXPECT_EQ(Day(1).column, 5);
  EXPECT_EQ(Day(3).row, 2);
  EXPECT_EQ(Day(31).row, 6);
}

TEST_F(Calendar, TextThatCannotBeCreatedTakesNoCell) {
  failCaption = "3";
  localNow = MakeDate(2024, 1, 15);  // starts on a Monday
  BuildCalendar(calendar, Plan().calendar, localNow, 0, 0, 0);
  EXPECT_EQ(Day(4).column, 2) << "moves into the missing day's cell";
  EXPECT_EQ(Day(8).column, 0) << "the week still ends after the 7th";
  EXPECT_EQ(Day(8).row, 2);
  ExpectOnItsNode(7 + 30);
}

TEST_F(Calendar, RebuiltInPlaceWhenTheDayChanges) {
  const WorldPoint p = AnchorToWorld(g, -280, 10, kCalendarMargins);
  localNow = MakeDate(2024, 9, 14, 23, 59, 59);
  BuildCalendar(calendar, Plan().calendar, localNow, p.x, p.y, p.z);
  calendar.lastCheck = msNow;
  const std::vector<int> before = calendar.texts;

  localNow += 2;  // past midnight
  msNow += 1000;
  CheckCalendarDay(calendar, context, false);
  EXPECT_EQ(calendar.texts, before) << "checks only after more than a second";
  msNow += 1;
  CheckCalendarDay(calendar, context, false);
  EXPECT_FLOAT_EQ(Day(15).alpha, 1);
  EXPECT_FLOAT_EQ(Day(14).alpha, kDim);
  int texts = 0, nodes = 0;
  World().texts.ForEach([&](int, engine::Text&) { ++texts; });
  World().nodes.ForEach([&](int, engine::Node&) { ++nodes; });
  EXPECT_EQ(texts, 7 + 30) << "the old texts freed";
  EXPECT_EQ(nodes, 1) << "the old node freed";
  ExpectOnItsNode(7 + 30);
  EXPECT_FLOAT_EQ(NodeOf(calendar.node).pos.x, p.x);
  EXPECT_FLOAT_EQ(NodeOf(calendar.node).pos.y, p.y);

  // Across the month's end: October 2024 starts on a Tuesday and has 31 days.
  localNow = MakeDate(2024, 10, 1, 0, 0, 1);
  CheckCalendarDay(calendar, context, true);
  EXPECT_EQ(Day(1).column, 1);
  EXPECT_FLOAT_EQ(Day(1).alpha, 1);
  EXPECT_EQ(Day(31).row, 5);
  ExpectOnItsNode(7 + 31);
  EXPECT_FLOAT_EQ(NodeOf(calendar.node).pos.x, p.x);

  // A machine that slept, or a clock set by hand: the same day number of a later month or year.
  localNow = MakeDate(2024, 11, 1, 9, 0, 0);  // starts on a Friday, 30 days
  msNow += 1001;
  CheckCalendarDay(calendar, context, false);
  EXPECT_EQ(Day(1).column, 4);
  ExpectOnItsNode(7 + 30);
  localNow = MakeDate(2025, 11, 1, 9, 0, 0);  // starts on a Saturday
  CheckCalendarDay(calendar, context, true);
  EXPECT_EQ(Day(1).column, 5);

  calendar.plan.shown = false;
  localNow = MakeDate(2025, 11, 2, 0, 0, 1);
  CheckCalendarDay(calendar, context, true);
  EXPECT_EQ(calendar.shownDay, 1) << "a calendar that is off is left alone";
}

}  // namespace
}  // namespace scene
