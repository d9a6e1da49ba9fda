#include "app/preview.h"

#include "images/pictures.h"
#include "platform/platform.h"

namespace app {

namespace {
// The built-in preview picture's number.
constexpr int32_t kPreviewPicture = 1;
}  // namespace

void RunPreview(int64_t host) {
  platform::ScreenPixels pixels;
  if (const images::Image* picture = images::GetPicture(kPreviewPicture)) {
    pixels.width = picture->width;
    pixels.height = picture->height;
    pixels.bgrx.resize(static_cast<size_t>(pixels.width) * pixels.height * 4);
    const int32_t step = picture->depth / 8;
    for (int32_t y = 0; y < pixels.height; ++y) {
      const uint8_t* in = picture->TopRow(y);
      uint8_t* out = pixels.bgrx.data() + static_cast<size_t>(y) * pixels.width * 4;
      for (int32_t x = 0; x < pixels.width; ++x, in += step, out += 4) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
      }
    }
  }
  platform::ShowPreview(host, pixels);
}

}  // namespace app
