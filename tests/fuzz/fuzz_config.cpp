// config.ini reading: any bytes parse, and what the writer lays out reads back to the same
// document, so a damaged file is never made worse by the next save.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/preferences_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  settings::PreferencesFile first;
  first.Parse(bytes);
  const std::string laidOut = first.Serialize();

  settings::PreferencesFile second;
  second.Parse(laidOut);
  if (second.Serialize() != laidOut) std::abort();

  // Reads and a write in the groups the program uses.
  for (const char* group : {"", "Screensaver", "Window"}) {
    second.SelectGroup(group);
    const std::string value = second.ReadText("fps", "");
    if (second.ReadInteger("fps", 0) != settings::Atoi(value)) std::abort();
    second.WriteInteger("fps", 42);
    if (second.ReadInteger("fps", 0) != 42) std::abort();
  }
  return 0;
}
