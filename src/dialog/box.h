// A place and size in client pixels.
#pragma once

namespace dialog {

struct Box {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

}  // namespace dialog
