// The one engine instance behind the C entries.
#pragma once

#include <string>
#include <vector>

#include "flurrix_engine.h"
#include "fonts.h"
#include "renderer.h"
#include "scene.h"

namespace engine {

struct Engine {
  Scene scene;
  Fonts fonts;
  Renderer renderer;
  std::vector<std::string> archives;  // resource folders, in the order they were added
  int antialiasing = 1;
  bool spriteLinear = true;
  RTO_PresentFn present = nullptr;
  void* presentUser = nullptr;
};

Engine& TheEngine();

}  // namespace engine
