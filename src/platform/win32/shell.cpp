// Opening web and mail addresses with the shell's "open" verb.
#include <objbase.h>
#include <shellapi.h>
#include <windows.h>

#include <cstdint>

#include "platform/platform.h"
#include "platform/win32/wide.h"

namespace platform {

bool OpenAddress(const std::string& address) {
  if (address.empty()) return false;
  // Some protocol handlers are COM objects: the shell expects COM to be started.
  static const HRESULT com =
      CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  (void)com;
  HINSTANCE result =
      ShellExecuteW(nullptr, L"open", Widen(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  // Values above 32 mean success.
  return reinterpret_cast<intptr_t>(result) > 32;
}

}  // namespace platform
