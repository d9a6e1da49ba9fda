// The foreground text; the foreground picture is a sprite that the background set-up loads and
// the frame shows.
#include "scene/engine_api.h"
#include "scene/engine_objects.h"
#include "scene/overlay_text.h"
#include "scene/overlays.h"

namespace scene {

void BuildForegroundText(const Geometry& g, const ForegroundPlan& plan) {
  const WorldPoint p = AnchorToWorld(g, plan.textX, plan.textY, kTextMargins);
  if (CreateOverlayText(kForegroundText, plan.text, kBrightWhite) >= 0) {
    Rto().MoveText3D(kForegroundText, p.x, p.y, 0);
  }
}

}  // namespace scene
