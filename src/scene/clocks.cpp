// The analog clock (twelve marks, a centre disc, an hour and a minute hand) and the digital clock.
#include <cmath>
#include <numbers>

#include "scene/engine_api.h"
#include "scene/engine_objects.h"
#include "scene/local_time.h"
#include "scene/overlay_text.h"
#include "scene/overlays.h"
#include "settings/modes.h"

namespace scene {
namespace {

// The clock is drawn in its own units (marks on a circle of radius 5) and its node carries the
// size: the engine scales what hangs on a node, sizes and positions alike.
constexpr float kMarkRadius = 5.0f;

int32_t Hour12(int32_t hour) {
  const int32_t h = hour % 12;
  return h == 0 ? 12 : h;
}

std::string TwoDigits(int32_t value) {
  // Not "0" + text: GCC 12 at -O3 warns falsely about joining the two.
  std::string text = std::to_string(value);
  if (value < 10) text.insert(text.begin(), '0');
  return text;
}

// A hand turning about its node's origin: a flat bar `length` units long whose centre is lifted
// `lift` units up the 12 o'clock direction.
int MakeHand(int clockNode, int cubeMesh, float length, float lift) {
  EngineApi& rto = Rto();
  const int node = rto.CreateNode2(-1, 0, 0, 0);
  const int bar = rto.CreateEntity2(-1, rto.MeshID(cubeMesh), 0);
  rto.ScaleEntity(bar, 1, length, 0.1f);
  rto.AttachNodeObject(node, rto.EntityID(bar));
  rto.MoveEntity2(bar, 0, lift, 0, RTO_RELATIVE);
  rto.AttachNodeObject(clockNode, rto.NodeID(node));
  return node;
}

}  // namespace

std::string FormatClockTime(int64_t date, int32_t timeFormat) {
  const DateParts t = SplitDate(date);
  if (timeFormat == settings::kTimeEuropean)
    return TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second);
  if (timeFormat == settings::kTimeAmerican) {
    return TwoDigits(Hour12(t.hour)) + ":" + TwoDigits(t.minute) + (t.hour <= 11 ? "am" : "pm");
  }
  return {};
}

void BuildAnalogClock(ClockState& clocks, const Geometry& g, const AnalogClockPlan& plan) {
  EngineApi& rto = Rto();
  const float size = static_cast<float>(plan.size) * 0.03f;
  const WorldPoint p = AnchorToWorld(g, plan.x, plan.y, kAnalogClockMargins);
  clocks.analog = true;

  clocks.clockNode = rto.CreateNode2(-1, 0, 0, 0);
  const int cube = rto.CreateCube(-1, 0.5f);
  const int cylinder = rto.CreateCylinder(-1, 0.5f, 0.1f);

  for (int i = 1; i <= 12; ++i) {
    const int mark = rto.CreateEntity2(-1, rto.MeshID(cube), 0);
    rto.ScaleEntity(mark, 1, 2, 0.1f);
    const double a = (30.0 * i + 90.0) * std::numbers::pi / 180.0;
    rto.MoveEntity2(mark, static_cast<float>(kMarkRadius * std::cos(a)),
                    static_cast<float>(kMarkRadius * std::sin(a)), 0, RTO_ABSOLUTE);
    rto.RotateEntity(mark, 0, 0, 30.0f * static_cast<float>(i));
    rto.AttachNodeObject(clocks.clockNode, rto.EntityID(mark));
  }

  const int disc = rto.CreateEntity3(-1, rto.MeshID(cylinder), 0, 0, 0, 0);
  rto.RotateEntity(disc, 90, 0, 0);
  rto.AttachNodeObject(clocks.clockNode, rto.EntityID(disc));

  clocks.hourNode = MakeHand(clocks.clockNode, cube, 6, 1.5f);
  clocks.minuteNode = MakeHand(clocks.clockNode, cube, 8, 2.0f);

  rto.ScaleNode2(clocks.clockNode, size, size, size, RTO_ABSOLUTE);
  rto.MoveNode2(clocks.clockNode, p.x, p.y, 0, RTO_ABSOLUTE);
}

void BuildDigitalClock(ClockState& clocks, const Geometry& g, const DigitalClockPlan& plan) {
  const WorldPoint p = AnchorToWorld(g, plan.x, plan.y, kTextMargins);
  clocks.digital = true;
  clocks.timeFormat = plan.timeFormat;
  if (CreateOverlayText(kDigitalClockText, "00:00:00", kBrightWhite) >= 0) {
    Rto().MoveText3D(kDigitalClockText, p.x, p.y, 0);
  }
}

void RefreshClocks(ClockState& clocks, const RunContext& context, bool force) {
  const int64_t now = context.NowMs();
  if (!force && now - clocks.lastRefresh <= 1000) return;
  const int64_t date = context.LocalNow();
  if (clocks.analog) {
    const DateParts t = SplitDate(date);
    const float minute = static_cast<float>(t.minute);
    const float hour = static_cast<float>(Hour12(t.hour));
    EngineApi& rto = Rto();
    rto.RotateNode2(clocks.hourNode, 0, 0, (minute / 60.0f + hour) * -30.0f, RTO_ABSOLUTE);
    rto.RotateNode2(clocks.minuteNode, 0, 0, minute * -6.0f, RTO_ABSOLUTE);
  }
  if (clocks.digital) {
    Rto().Text3DCaption(kDigitalClockText, FormatClockTime(date, clocks.timeFormat).c_str());
  }
  clocks.lastRefresh = now;
}

}  // namespace scene
