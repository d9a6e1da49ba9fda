// The volume scale shared by both media players, so that both platforms sound alike.
#include <algorithm>
#include <cmath>

#include "platform/platform.h"

namespace platform {

int32_t MediaAttenuation(int32_t volume) {
  if (volume <= 0) return -10000;
  if (volume >= 100) return 0;
  return static_cast<int32_t>(2000.0 * std::log10(1000.0 * volume)) - 10000;
}

double AttenuationToAmplitude(int32_t attenuation) {
  if (attenuation <= -10000) return 0.0;
  // Hundredths of a decibel: amplitude = 10^(dB / 20) = 10^(attenuation / 2000).
  return std::pow(10.0, std::min(attenuation, 0) / 2000.0);
}

}  // namespace platform
