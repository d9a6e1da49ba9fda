#include "scene/overlay_text.h"

#include "scene/engine_api.h"

namespace scene {

int CreateOverlayText(int number, const std::string& caption, int colour) {
  EngineApi& rto = Rto();
  const int created = rto.CreateText3D2(number, caption.c_str(), "Days", 1.0f, colour);
  const int text = number >= 0 ? number : created;
  if (created == 0 || rto.IsText3D(text) == 0) return -1;
  rto.Text3DAlignment(text, RTO_ALIGN_BASELINE_LEFT);
  return text;
}

}  // namespace scene
