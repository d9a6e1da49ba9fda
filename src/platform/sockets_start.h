// Inside the platform layer: the system's sockets made ready for use (Winsock is started once;
// BSD sockets need nothing). False when they cannot be used.
#pragma once

namespace platform {

bool StartSockets();

}  // namespace platform
