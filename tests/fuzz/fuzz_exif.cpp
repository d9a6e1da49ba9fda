// The EXIF orientation reader on arbitrary blocks: ASan watches every read, and the result must
// be an orientation.
#include <cstdlib>

#include "images/codec_internal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int32_t orientation = images::detail::ExifOrientation(data, size);
  if (orientation < 1 || orientation > 8) std::abort();
  return 0;
}
