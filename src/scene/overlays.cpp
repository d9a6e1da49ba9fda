// Interim: the overlays land with their own change.
#include "scene/overlays.h"

namespace scene {

void BuildAnalogClock(ClockState&, const Geometry&, const settings::Settings&) {}
void BuildDigitalClock(const Geometry&, const settings::Settings&) {}
void RefreshClocks(ClockState&, const settings::Settings&, bool) {}
void BuildCalendar(CalendarState&, const settings::Settings&, float, float, float) {}
void CheckCalendarDay(CalendarState&, const settings::Settings&, bool) {}
void BuildForegroundText(const Geometry&, const settings::Settings&) {}

}  // namespace scene
