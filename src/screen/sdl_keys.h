// The keys as the run knows them: SDL's scancodes turned into DirectInput scan codes.
#pragma once

namespace screen {

// The DirectInput scan code of an SDL scancode; 0 for keys without one.
int DirectInputCode(int sdlScancode);

}  // namespace screen
