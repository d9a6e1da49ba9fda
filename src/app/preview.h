#pragma once

#include <cstdint>

namespace app {

// The settings page's preview: the built-in preview picture inside the host window `host` until
// the host closes it. Returns at once for handle 0 or a handle that names no window.
void RunPreview(int64_t host);

}  // namespace app
