// The clocks, the calendar and the foreground text, built on a small recording engine.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "scene/engine_api.h"
#include "scene/local_time.h"
#include "scene/overlays.h"
#include "scene/run_clock.h"

namespace scene {
namespace {

constexpr int kBright = static_cast<int>(0xFFFFFFFFu);
constexpr int kDim = static_cast<int>(0xB4FFFFFFu);

// Identities of the recording engine: kind base plus number.
constexpr int kNodeIds = 100000, kEntityIds = 200000, kTextIds = 300000, kMeshIds = 400000;

struct Xyz {
  float x = 0, y = 0, z = 0;
};

struct Text {
  std::string caption;
  int colour = 0;
  int alignment = -1;
  Xyz at;
};

struct Node {
  Xyz at, turn, scale{1, 1, 1};
  std::vector<int> attached;  // identities
};

struct Entity {
  int mesh = 0, material = -1;
  Xyz at, turn, scale{1, 1, 1};
};

// What the overlays asked the engine for. Captions listed in failCaptions cannot be created.
struct Recording {
  std::map<int, Text> texts;
  std::map<int, Node> nodes;
  std::map<int, Entity> entities;
  std::map<int, std::string> meshes;
  std::vector<std::string> failCaptions;
  int next = 1024;
};
Recording rec;

int Fresh(int number) {
  return number >= 0 ? number : rec.next++;
}

void Set(Xyz& v, float x, float y, float z, int mode) {
  if (mode == RTO_RELATIVE) {
    v = {v.x + x, v.y + y, v.z + z};
  } else {
    v = {x, y, z};
  }
}

void InstallRecordingEngine() {
  rec = Recording{};
  EngineApi& e = Rto();
  e = EngineApi{};
  e.CreateNode2 = [](int n, float x, float y, float z) {
    n = Fresh(n);
    rec.nodes[n].at = {x, y, z};
    return n;
  };
  e.NodeID = [](int n) { return rec.nodes.count(n) ? kNodeIds + n : 0; };
  e.IsNode = [](int n) { return static_cast<int>(rec.nodes.count(n)); };
  e.FreeNode = [](int n) { return static_cast<int>(rec.nodes.erase(n)); };
  e.AttachNodeObject = [](int n, int id) {
    rec.nodes.at(n).attached.push_back(id);
    return 1;
  };
  e.MoveNode2 = [](int n, float x, float y, float z, int m) {
    Set(rec.nodes.at(n).at, x, y, z, m);
    return 1;
  };
  e.RotateNode2 = [](int n, float x, float y, float z, int m) {
    Set(rec.nodes.at(n).turn, x, y, z, m);
    return 1;
  };
  e.ScaleNode2 = [](int n, float x, float y, float z, int m) {
    Set(rec.nodes.at(n).scale, x, y, z, m);
    return 1;
  };
  e.CreateCube = [](int n, float size) {
    n = Fresh(n);
    rec.meshes[n] = "cube " + std::to_string(size);
    return n;
  };
  e.CreateCylinder = [](int n, float radius, float height) {
    n = Fresh(n);
    rec.meshes[n] = "cylinder " + std::to_string(radius) + " " + std::to_string(height);
    return n;
  };
  e.MeshID = [](int n) { return kMeshIds + n; };
  e.CreateEntity2 = [](int n, int mesh, int material) {
    n = Fresh(n);
    rec.entities[n] = {mesh, material, {}, {}, {1, 1, 1}};
    return n;
  };
  e.CreateEntity3 = [](int n, int mesh, int material, float x, float y, float z) {
    n = Fresh(n);
    rec.entities[n] = {mesh, material, {x, y, z}, {}, {1, 1, 1}};
    return n;
  };
  e.EntityID = [](int n) { return kEntityIds + n; };
  e.MoveEntity2 = [](int n, float x, float y, float z, int m) {
    Set(rec.entities.at(n).at, x, y, z, m);
    return 1;
  };
  e.RotateEntity = [](int n, float x, float y, float z) {
    Set(rec.entities.at(n).turn, x, y, z, RTO_ABSOLUTE);
    return 1;
  };
  e.ScaleEntity = [](int n, float x, float y, float z) {
    Set(rec.entities.at(n).scale, x, y, z, RTO_ABSOLUTE);
    return 1;
  };
  e.CreateText3D2 = [](int n, const char* caption, const char* font, float size, int colour) {
    for (const std::string& fail : rec.failCaptions) {
      if (fail == caption) return 0;
    }
    if (std::string(font) != "Days" || size != 1.0f) return 0;
    const int made = Fresh(n);
    rec.texts[made] = {caption, colour, -1, {}};
    return n >= 0 ? kTextIds + n : made;  // a fixed number gives its identity
  };
  e.Text3DID = [](int n) { return kTextIds + n; };
  e.IsText3D = [](int n) { return static_cast<int>(rec.texts.count(n)); };
  e.FreeText3D = [](int n) { return static_cast<int>(rec.texts.erase(n)); };
  e.Text3DAlignment = [](int n, int a) {
    rec.texts.at(n).alignment = a;
    return 1;
  };
  e.MoveText3D = [](int n, float x, float y, float z) {
    Set(rec.texts.at(n).at, x, y, z, RTO_ABSOLUTE);
    return 1;
  };
  e.Text3DCaption = [](int n, const char* caption) {
    if (!rec.texts.count(n)) return 0;
    rec.texts[n].caption = caption;
    return 1;
  };
}

int64_t localNow = 0;
int64_t msNow = 0;

class Overlays : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallRecordingEngine();
    SetLocalTime([] { return localNow; });
    SetClock([] { return msNow; });
    msNow = 50000;
    s.timefrm = 1;
    s.aclock = s.dclock = s.calendar = 1;
    s.aclocksize = 10;
    s.calendarsize = 2;
    s.calendarfirst = 1;
  }
  void TearDown() override {
    Rto() = EngineApi{};
    SetLocalTime({});
    SetClock({});
  }

  // Pixels from the right and from the bottom edge of a 1920 x 1080 screen.
  float FromRight(float x) const { return (g.leftEdge + g.planeWidth - x) / g.unitsPerPixel; }
  float FromBottom(float y) const { return (y - (g.topEdge - g.planeHeight)) / g.unitsPerPixel; }

  settings::Settings s;
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
  localNow = MakeDate(1969, 12, 31, 23, 58, 7);  // before 1970 too
  EXPECT_EQ(FormatClockTime(0, 1), "23:58:07") << "0 reads the local time";
}

TEST_F(Overlays, AnalogClockStandsAnchoredAndScaled) {
  s.aclockx = -300;
  s.aclocky = -50;
  BuildAnalogClock(clocks, g, s);
  const Node& clock = rec.nodes.at(clocks.clockNode);
  EXPECT_NEAR(FromRight(clock.at.x), 301, 0.01);
  EXPECT_NEAR(FromBottom(clock.at.y), 51, 0.01);
  EXPECT_FLOAT_EQ(clock.scale.x, 0.3f);
  EXPECT_FLOAT_EQ(clock.scale.z, 0.3f);
  // Twelve marks on a circle of radius 5, the disc and both hand nodes, all on the clock node.
  ASSERT_EQ(clock.attached.size(), 15u);
  int marks = 0;
  for (const auto& [number, e] : rec.entities) {
    EXPECT_EQ(e.material, 0) << "the engine's plain white look";
    if (rec.meshes.at(e.mesh - kMeshIds).starts_with("cube") && e.scale.y == 2) {
      ++marks;
      EXPECT_NEAR(std::hypot(e.at.x, e.at.y), 5, 1e-4);
      const float angle = std::atan2(e.at.y, e.at.x) * 180 / 3.14159265f;
      EXPECT_NEAR(std::remainder(angle - e.turn.z - 90, 360.0f), 0, 1e-3) << "points outwards";
    }
  }
  EXPECT_EQ(marks, 12);
  // The hands turn about the clock's centre: the hour hand (3 units) and the minute hand (4).
  const Entity& hour = rec.entities.at(rec.nodes.at(clocks.hourNode).attached.at(0) - kEntityIds);
  const Entity& minute =
      rec.entities.at(rec.nodes.at(clocks.minuteNode).attached.at(0) - kEntityIds);
  EXPECT_FLOAT_EQ(hour.at.y, 1.5f);
  EXPECT_FLOAT_EQ(hour.scale.y * 0.5f, 3.0f);
  EXPECT_FLOAT_EQ(minute.at.y, 2.0f);
  EXPECT_FLOAT_EQ(minute.scale.y * 0.5f, 4.0f);
}

TEST_F(Overlays, HandsAndDigitalClockFollowTheTimeAtMostOnceASecond) {
  s.timefrm = 2;
  BuildAnalogClock(clocks, g, s);
  BuildDigitalClock(g, s);
  clocks.lastRefresh = msNow;
  localNow = MakeDate(2024, 3, 9, 10, 30, 0);
  RefreshClocks(clocks, s, true);
  EXPECT_FLOAT_EQ(rec.nodes.at(clocks.hourNode).turn.z, -315);
  EXPECT_FLOAT_EQ(rec.nodes.at(clocks.minuteNode).turn.z, -180);
  EXPECT_EQ(rec.texts.at(kDigitalClockText).caption, "10:30am");

  localNow = MakeDate(2024, 3, 10, 0, 30, 0);
  msNow += 1000;
  RefreshClocks(clocks, s, false);
  EXPECT_EQ(rec.texts.at(kDigitalClockText).caption, "10:30am") << "1000 ms is not enough";
  msNow += 1;
  RefreshClocks(clocks, s, false);
  EXPECT_FLOAT_EQ(rec.nodes.at(clocks.hourNode).turn.z, -375) << "half past twelve";
  EXPECT_EQ(rec.texts.at(kDigitalClockText).caption, "12:30am");
}

TEST_F(Overlays, TextsAnchoredWithTheirMargins) {
  s.dclockx = -260;
  s.dclocky = -70;
  s.foregroundtxt = 1;
  s.foregroundtext = "Happy holidays";
  s.foregroundtextx = -300;
  s.foregroundtexty = 10;
  BuildDigitalClock(g, s);
  BuildForegroundText(g, s);
  const Text& clock = rec.texts.at(kDigitalClockText);
  EXPECT_EQ(clock.caption, "00:00:00");
  EXPECT_EQ(clock.colour, kBright);
  EXPECT_EQ(clock.alignment, RTO_ALIGN_BASELINE_LEFT);
  EXPECT_NEAR(FromRight(clock.at.x), 214, 0.01);
  EXPECT_NEAR(FromBottom(clock.at.y), 8, 0.01);
  const Text& text = rec.texts.at(kForegroundText);
  EXPECT_EQ(text.caption, "Happy holidays");
  EXPECT_EQ(text.colour, kBright);
  EXPECT_EQ(text.alignment, RTO_ALIGN_BASELINE_LEFT);
  EXPECT_NEAR(FromRight(text.at.x), 254, 0.01);
  EXPECT_NEAR((g.topEdge - text.at.y) / g.unitsPerPixel, 50, 0.01);
}

TEST_F(Overlays, TextThatCannotBeCreatedIsNotPlaced) {
  rec.failCaptions = {"00:00:00"};
  s.aclock = 0;
  BuildDigitalClock(g, s);
  EXPECT_TRUE(rec.texts.empty());
  RefreshClocks(clocks, s, true);  // no text to update: nothing happens
  EXPECT_TRUE(rec.texts.empty());
}

TEST(CalendarDates, LeapYearsAndMonthLengths) {
  EXPECT_EQ(DaysInMonth(MakeDate(2024, 2, 10)), 29);
  EXPECT_EQ(DaysInMonth(MakeDate(2023, 2, 10)), 28);
  EXPECT_EQ(DaysInMonth(MakeDate(2023, 1, 31)), 31);
  EXPECT_EQ(DaysInMonth(MakeDate(2023, 4, 1)), 30);
  EXPECT_EQ(DaysInMonth(MakeDate(2023, 12, 31, 23, 59, 59)), 31);
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(2100));
  EXPECT_FALSE(IsLeapYear(2023));
}

TEST(CalendarDates, EmptyCellsBeforeTheFirst) {
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

// A calendar text's grid cell: column, and row (initials in row 0, weeks from row 1).
struct Cell {
  int column, row, colour;
};

class Calendar : public Overlays {
 protected:
  Cell Day(int day) {
    for (const int number : calendar.texts) {
      const Text& t = rec.texts.at(number);
      if (t.caption == std::to_string(day) && t.at.y < 0) {
        return {static_cast<int>(std::lround(t.at.x / 1.5f)),
                static_cast<int>(std::lround(-t.at.y / 1.5f)), t.colour};
      }
    }
    ADD_FAILURE() << "no day " << day;
    return {-1, -1, 0};
  }
  std::string Initials() {
    std::string initials;
    for (const int number : calendar.texts) {
      if (rec.texts.at(number).at.y == 0) initials += rec.texts.at(number).caption;
    }
    return initials;
  }
  void ExpectAttachedToItsNode() {
    ASSERT_TRUE(rec.nodes.count(calendar.node));
    const Node& node = rec.nodes.at(calendar.node);
    ASSERT_EQ(node.attached.size(), calendar.texts.size());
    for (size_t i = 0; i < calendar.texts.size(); ++i) {
      EXPECT_EQ(node.attached[i], kTextIds + calendar.texts[i]);
      EXPECT_EQ(rec.texts.at(calendar.texts[i]).alignment, RTO_ALIGN_BASELINE_LEFT);
    }
  }
};

TEST_F(Calendar, MonthStartingOnSundayWithMondayFirst) {
  localNow = MakeDate(2024, 9, 20, 13, 0, 0);
  BuildCalendar(calendar, s, 1, 2, 0);
  EXPECT_EQ(Initials(), "MTWTFSS");
  EXPECT_EQ(Day(1).column, 6);
  EXPECT_EQ(Day(1).row, 1);
  EXPECT_EQ(Day(2).column, 0);
  EXPECT_EQ(Day(2).row, 2);
  EXPECT_EQ(Day(30).column, 0);
  EXPECT_EQ(Day(30).row, 6);
  EXPECT_EQ(Day(20).colour, kBright);
  EXPECT_EQ(Day(19).colour, kDim);
  EXPECT_EQ(Day(21).colour, kDim);
  EXPECT_EQ(calendar.texts.size(), 7u + 30u);
  ExpectAttachedToItsNode();
  const Node& node = rec.nodes.at(calendar.node);
  EXPECT_FLOAT_EQ(node.scale.y, 0.4f);
  EXPECT_FLOAT_EQ(node.at.x, 1);
  EXPECT_FLOAT_EQ(node.at.y, 2);
}

TEST_F(Calendar, MonthStartingOnSundayWithSundayFirst) {
  s.calendarfirst = 2;
  localNow = MakeDate(2024, 9, 1);
  BuildCalendar(calendar, s, 0, 0, 0);
  EXPECT_EQ(Initials(), "SMTWTFS");
  EXPECT_EQ(Day(1).column, 0);
  EXPECT_EQ(Day(1).row, 1);
  EXPECT_EQ(Day(1).colour, kBright);
  EXPECT_EQ(Day(7).column, 6);
  EXPECT_EQ(Day(8).row, 2);
}

TEST_F(Calendar, LongMonthStartingOnSaturdayEndsOnTheSixthRow) {
  localNow = MakeDate(2025, 3, 5);
  BuildCalendar(calendar, s, 0, 0, 0);
  EXPECT_EQ(Day(1).column, 5);
  EXPECT_EQ(Day(3).column, 0);
  EXPECT_EQ(Day(3).row, 2);
  EXPECT_EQ(Day(31).column, 0);
  EXPECT_EQ(Day(31).row, 6);
}

TEST_F(Calendar, TextThatCannotBeCreatedTakesNoCell) {
  rec.failCaptions = {"3"};
  localNow = MakeDate(2024, 1, 15);  // starts on a Monday
  BuildCalendar(calendar, s, 0, 0, 0);
  EXPECT_EQ(calendar.texts.size(), 7u + 30u);
  EXPECT_EQ(Day(2).column, 1);
  EXPECT_EQ(Day(4).column, 2) << "moves into the missing day's cell";
  EXPECT_EQ(Day(7).column, 5);
  EXPECT_EQ(Day(8).column, 0) << "the week still ends after the 7th";
  EXPECT_EQ(Day(8).row, 2);
  ExpectAttachedToItsNode();
}

TEST_F(Calendar, RebuiltInPlaceWhenTheDayChanges) {
  const WorldPoint p = AnchorToWorld(g, -280, 10, kCalendarMargins);
  localNow = MakeDate(2024, 9, 14, 23, 59, 59);
  BuildCalendar(calendar, s, p.x, p.y, p.z);
  calendar.lastCheck = msNow;
  const std::vector<int> before = calendar.texts;
  const int beforeNode = calendar.node;

  localNow += 2;  // past midnight
  msNow += 1000;
  CheckCalendarDay(calendar, s, false);
  EXPECT_EQ(calendar.texts, before) << "checks only after more than a second";
  msNow += 1;
  CheckCalendarDay(calendar, s, false);
  EXPECT_EQ(calendar.shownDay, 15);
  EXPECT_EQ(Day(15).colour, kBright);
  EXPECT_EQ(Day(14).colour, kDim);
  EXPECT_FALSE(rec.nodes.count(beforeNode));
  for (const int text : before) EXPECT_FALSE(rec.texts.count(text)) << "old texts freed";
  EXPECT_EQ(rec.texts.size(), 7u + 30u);
  ExpectAttachedToItsNode();
  const Node& node = rec.nodes.at(calendar.node);
  EXPECT_FLOAT_EQ(node.at.x, p.x);
  EXPECT_FLOAT_EQ(node.at.y, p.y);

  // Across the month's end: October 2024 starts on a Tuesday and has 31 days.
  localNow = MakeDate(2024, 10, 1, 0, 0, 1);
  CheckCalendarDay(calendar, s, true);
  EXPECT_EQ(Day(1).column, 1);
  EXPECT_EQ(Day(1).colour, kBright);
  EXPECT_EQ(Day(31).row, 5);
  EXPECT_EQ(rec.texts.size(), 7u + 31u);
  EXPECT_FLOAT_EQ(rec.nodes.at(calendar.node).at.x, p.x);

  s.calendar = 0;
  localNow = MakeDate(2024, 10, 2, 0, 0, 1);
  CheckCalendarDay(calendar, s, true);
  EXPECT_EQ(calendar.shownDay, 1) << "a calendar that is off is left alone";
}

}  // namespace
}  // namespace scene
