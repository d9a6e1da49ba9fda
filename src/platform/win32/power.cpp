// Whether anyone can see the run and what powers the machine: the console display state, told by
// a power-setting notification, and the power status.
#include <windows.h>

#include <atomic>

#include "platform/platform.h"

namespace platform {
namespace {

// GUID_CONSOLE_DISPLAY_STATE: 0 off, 1 on, 2 dimmed.
constexpr GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr ULONG kPowerSettingChange = 0x8013;  // PBT_POWERSETTINGCHANGE
constexpr DWORD kNotifyCallback = 2;           // DEVICE_NOTIFY_CALLBACK

std::atomic<bool> displayOn{true};

ULONG CALLBACK DisplayStateChanged(PVOID, ULONG type, PVOID data) {
  const auto* setting = static_cast<const POWERBROADCAST_SETTING*>(data);
  if (type == kPowerSettingChange && setting &&
      IsEqualGUID(setting->PowerSetting, kConsoleDisplayState) &&
      setting->DataLength >= sizeof(DWORD)) {
    DWORD state = 0;
    CopyMemory(&state, setting->Data, sizeof state);
    displayOn = state != 0;
  }
  return ERROR_SUCCESS;
}

struct SubscribeParameters {
  ULONG(CALLBACK* callback)(PVOID, ULONG, PVOID);
  PVOID context;
};
using RegisterFunction = DWORD(WINAPI*)(const GUID*, DWORD, HANDLE, PVOID*);

// Subscribes once, for the life of the process, without a window: the system calls back with
// the current state at once and on every change. Without the function (before Windows 8) the
// display counts as on.
void Subscribe() {
  static const bool done = [] {
    HMODULE library = LoadLibraryW(L"powrprof.dll");
    if (!library) return false;
    auto entry = reinterpret_cast<RegisterFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "PowerSettingRegisterNotification")));
    static SubscribeParameters parameters{DisplayStateChanged, nullptr};
    PVOID handle = nullptr;
    return entry && entry(&kConsoleDisplayState, kNotifyCallback, &parameters, &handle) == 0;
  }();
  (void)done;
}

}  // namespace

bool DisplayIsOn() {
  Subscribe();
  return displayOn;
}

bool OnBattery() {
  SYSTEM_POWER_STATUS status{};
  return GetSystemPowerStatus(&status) && status.ACLineStatus == 0;
}

}  // namespace platform
