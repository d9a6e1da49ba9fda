// Whether the run draws: the X server's display power state. Xvfb and Xephyr have no DPMS, so
// this program stands in for the server: its own DPMS entries answer in place of libXext's.
// gtest first: X11's macros (None, Bool, Status) clash with its names.
#include <gtest/gtest.h>

#include <stdlib.h>

#include "platform/platform.h"
#include "scene/run_context.h"

#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>

namespace {

bool capable = true;
BOOL enabled = True;
CARD16 level = DPMSModeOn;
char fakeDisplay;

}  // namespace

extern "C" {
Display* XOpenDisplay(const char*) {
  return reinterpret_cast<Display*>(&fakeDisplay);
}
Bool DPMSQueryExtension(Display*, int*, int*) {
  return True;
}
Bool DPMSCapable(Display*) {
  return capable ? True : False;
}
Status DPMSInfo(Display*, CARD16* powerLevel, BOOL* state) {
  *powerLevel = level;
  *state = enabled;
  return 1;
}
}

namespace platform {
namespace {

TEST(DisplayPower, DrawsWhenOnOrWhenPowerSavingIsOffOrUnknown) {
  struct Case {
    bool capable;
    BOOL enabled;
    CARD16 level;
    bool on;
  };
  // Disabled with a level left at Off: only the switch tells that the screen is not saving.
  for (const Case& c :
       {Case{true, True, DPMSModeOn, true}, Case{true, False, DPMSModeOff, true},
        Case{true, True, DPMSModeStandby, false}, Case{true, True, DPMSModeSuspend, false},
        Case{true, True, DPMSModeOff, false}, Case{false, True, DPMSModeOff, true}}) {
    capable = c.capable;
    enabled = c.enabled;
    level = c.level;
    EXPECT_EQ(DisplayIsOn(), c.on)
        << "capable " << c.capable << ", enabled " << int{c.enabled} << ", level " << c.level;
  }
}

// A run given no sources of its own asks the platform, each question of its own function: the
// display's state is not the battery's.
TEST(DisplayPower, ARunAsksThePlatformUnlessToldOtherwise) {
  setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/flurrix-test-bus", 1);
  ASSERT_FALSE(OnBattery()) << "without a system bus the machine counts as on mains";
  const scene::RunContext context;
  capable = true;
  enabled = True;
  for (CARD16 l : {DPMSModeOn, DPMSModeOff}) {
    level = l;
    EXPECT_EQ(context.DisplayOn(), l == DPMSModeOn) << l;
    EXPECT_EQ(context.OnBattery(), OnBattery()) << l;
    EXPECT_EQ(context.SuspendAllowed(), SuspendAllowed()) << l;
  }
}

}  // namespace
}  // namespace platform
