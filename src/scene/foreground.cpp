// The foreground text; the foreground picture is a sprite that the background set-up loads and
// the frame shows.
#include "scene/engine_api.h"
#include "scene/engine_objects.h"
#include "scene/overlay_text.h"
#include "scene/overlays.h"

namespace scene {

void BuildForegroundText(const Geometry& g, const settings::Settings& s) {
  const WorldPoint p = AnchorToWorld(g, s.foregroundtextx, s.foregroundtexty, kTextMargins);
  if (CreateOverlayText(kForegroundText, s.foregroundtext, kBrightWhite) >= 0) {
    Rto().MoveText3D(kForegroundText, p.x, p.y, 0);
  }
}

}  // namespace scene
