// One real update check with the platform's message boxes, for trying a site or a mirror by hand:
//   FLURRIX_SITE=http://127.0.0.1:8000 build/flurrix_update_check
// The exit code is the outcome: 0 connection problems, 1 newer version, 2 up to date.
#include "web/update_check.h"

int main() {
  return static_cast<int>(web::CheckForUpdates("Flurrix Screensaver 3.3", 330));
}
