// The Windows side of platform/, run under Wine. Besides the tests it has two helper modes that
// the tests and the Wine stage start as separate processes:
//   --guard NAME          exit code 1 when the instance guard NAME was taken, 0 when refused
//   --message-box CAPTION TEXT STYLE   shows the box; the exit code is the answer
//   --preview HWND        a 16 x 16 red preview picture inside window HWND until it goes away
// winsock2.h must come before windows.h.
#include <winsock2.h>

#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/platform.h"
#include "platform/win32/wide.h"
#include "screen/screen.h"

namespace platform {
namespace {

std::wstring ProgramPath() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

// Runs this program with `arguments` and returns its exit code.
DWORD RunSelf(const std::wstring& arguments) {
  std::wstring line = L"\"" + ProgramPath() + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return 0xFFFF;
  }
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 0xFFFF;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

// Pumps this thread's window messages for `ms` milliseconds.
void PumpMessages(DWORD ms) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(10);
  }
}

// A shown top-level window of `width` x `height` at (0, 0), filled with `colour`.
HWND SolidWindow(int width, int height, COLORREF colour) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hbrBackground = CreateSolidBrush(colour);
  windowClass.lpszClassName = L"FlurrixCheckSolid";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"Flurrix Check Host",
                                WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
  UpdateWindow(window);
  PumpMessages(500);
  return window;
}

class WindowsFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    // A name outside the ANSI code page: every call must go through UTF-16.
    folder_ = Narrow(temp) + "flurrix-check-" + std::to_string(GetCurrentProcessId()) +
              "-Schnee \xE2\x9D\x84\\";
    ASSERT_TRUE(CreateFolder(folder_));
  }
  void TearDown() override {
    for (const FolderEntry& entry : ListFiles(folder_)) RemoveFile(folder_ + entry.name);
    RemoveDirectoryW(Widen(folder_).c_str());
  }
  bool Write(const std::string& path, const std::string& content) {
    std::FILE* file = OpenFile(path, "wb");
    if (!file) return false;
    const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    return SyncAndClose(file) && written;
  }
  std::string folder_;
};

TEST_F(WindowsFiles, UnicodeNamesWriteListRenameAndRemove) {
  EXPECT_TRUE(FolderExists(folder_));
  EXPECT_TRUE(CreateFolder(folder_)) << "an existing folder counts as created";
  EXPECT_FALSE(CreateFolder(folder_ + "missing\\child\\"));

  const std::string name =
      "fl\xC3\xB6"
      "ckchen \xE2\x9D\x84.ini";
  ASSERT_TRUE(Write(folder_ + name, "abc\r\n"));
  EXPECT_EQ(FileSize(folder_ + name), 5);
  EXPECT_EQ(FileSize(folder_), -1) << "a folder is not a file";
  EXPECT_EQ(FileSize(folder_ + "nothing.ini"), -1);

  std::FILE* in = OpenFile(folder_ + name, "rb");
  ASSERT_NE(in, nullptr);
  char buffer[16] = {};
  EXPECT_EQ(std::fread(buffer, 1, sizeof buffer, in), 5u) << "binary mode keeps CR LF as it is";
  std::fclose(in);

  ASSERT_TRUE(CreateFolder(folder_ + "sub\\"));
  const auto listed = ListFiles(folder_);
  ASSERT_EQ(listed.size(), 1u) << "folders are not listed";
  EXPECT_EQ(listed[0].name, name);
  EXPECT_EQ(listed[0].size, 5);
  EXPECT_TRUE(RemoveDirectoryW(Widen(folder_ + "sub").c_str()));

  ASSERT_TRUE(Write(folder_ + "new.tmp", "replacement"));
  EXPECT_TRUE(RenameOver(folder_ + "new.tmp", folder_ + name)) << "replaces an existing file";
  EXPECT_EQ(FileSize(folder_ + name), 11);
  EXPECT_EQ(FileSize(folder_ + "new.tmp"), -1);
  EXPECT_FALSE(RenameOver(folder_ + "new.tmp", folder_ + name));

  EXPECT_TRUE(RemoveFile(folder_ + name));
  EXPECT_FALSE(RemoveFile(folder_ + name));
  EXPECT_TRUE(ListFiles(folder_ + "no such folder\\").empty());
}

// A name the user or a settings file gives may be a pipe or a device: it counts as missing, and
// nothing opens it (a read from it could wait for ever).
TEST_F(WindowsFiles, OnlyFilesOnADiskOpen) {
  const std::wstring pipeName =
      L"\\\\.\\pipe\\flurrix-check-" + std::to_wstring(GetCurrentProcessId());
  HANDLE pipe = CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT,
                                 PIPE_UNLIMITED_INSTANCES, 512, 512, 0, nullptr);
  ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
  for (const std::string& name : {Narrow(pipeName), std::string("NUL"), folder_}) {
    for (const char* mode : {"rb", "wb", "ab"}) {
      std::FILE* file = OpenFile(name, mode);
      EXPECT_EQ(file, nullptr) << name << " " << mode;
      if (file) std::fclose(file);
    }
    EXPECT_EQ(FileSize(name), -1) << name;
  }
  CloseHandle(pipe);
  ASSERT_TRUE(Write(folder_ + "plain.txt", "12345"));
  std::FILE* file = OpenFile(folder_ + "plain.txt", "ab");
  ASSERT_NE(file, nullptr);
  std::fputs("6", file);
  std::fclose(file);
  EXPECT_EQ(FileSize(folder_ + "plain.txt"), 6) << "appends";
  file = OpenFile(folder_ + "plain.txt", "wb");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  EXPECT_EQ(FileSize(folder_ + "plain.txt"), 0) << "emptied for writing";
}

// Reading asks for reading alone: the installed pictures may be read-only to their user, or held
// by another program that lets others only read. "r+b" reads and writes in place. (The holder
// stands in for permissions, which Wine run as root would not enforce.)
TEST_F(WindowsFiles, EachModeAsksOnlyForTheAccessItNeeds) {
  const std::string name = folder_ + "held.txt";
  ASSERT_TRUE(Write(name, "12345"));
  std::FILE* file = OpenFile(name, "r+b");
  ASSERT_NE(file, nullptr);
  std::fputs("ab", file);
  std::fclose(file);
  HANDLE holder = CreateFileW(Widen(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  file = OpenFile(name, "rb");
  char text[8] = {};
  const bool read = file != nullptr && std::fread(text, 1, sizeof text, file) == 5;
  if (file) std::fclose(file);
  for (const char* mode : {"r+b", "wb", "ab"}) {
    file = OpenFile(name, mode);
    EXPECT_EQ(file, nullptr) << mode << " opened a file that others may only read";
    if (file) std::fclose(file);
  }
  CloseHandle(holder);
  EXPECT_TRUE(read) << "a file that others may only read reads";
  EXPECT_STREQ(text, "ab345") << "written in place, the rest kept";
}

TEST(WindowsFolders, SpecialFoldersEndWithABackslashAndExist) {
  for (const std::string& folder : {AppDataFolder(), ProgramFilesFolder(), CurrentFolder()}) {
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\') << folder;
    EXPECT_TRUE(FolderExists(folder)) << folder;
  }
  EXPECT_NE(AppDataFolder(), ProgramFilesFolder());
  const std::string program = ProgramFolder();
  EXPECT_GT(FileSize(program + "flurrix_platform_check.exe"), 0) << program;
  EXPECT_EQ(NativePath("data/forest/"), "data\\forest\\");
}

TEST(WindowsGuard, ASecondProcessIsRefusedUntilTheFirstReleases) {
  const std::string name = "Flurrix Check Guard " + std::to_string(GetCurrentProcessId());
  const std::wstring argument = L"--guard \"" + std::wstring(name.begin(), name.end()) + L"\"";
  EXPECT_EQ(RunSelf(argument), 1u) << "free: the other process takes it";
  ASSERT_TRUE(AcquireInstanceGuard(name));
  EXPECT_TRUE(AcquireInstanceGuard(name)) << "the holder asking again keeps it";
  EXPECT_EQ(RunSelf(argument), 0u) << "held here: refused there";
  ReleaseInstanceGuard();
  EXPECT_EQ(RunSelf(argument), 1u) << "released: taken again";
}

TEST(WindowsDesktop, ReportsTheScreenInPixelsAndBitsPerPixel) {
  const DesktopMode mode = QueryDesktop();
  EXPECT_EQ(mode.width, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(mode.height, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_GT(mode.width, 0);
  EXPECT_TRUE(mode.depth == 16 || mode.depth == 24 || mode.depth == 32) << mode.depth;
  // The stage's virtual screen, when it says which.
  if (const char* expected = std::getenv("FLURRIX_CHECK_SCREEN")) {
    EXPECT_EQ(std::to_string(mode.width) + "x" + std::to_string(mode.height), expected);
  }
}

// Wine's screen context reads back black, so only the shape of the copy is checked here.
TEST(WindowsDesktop, CaptureIsCutToTheScreen) {
  const int wide = GetSystemMetrics(SM_CXSCREEN);
  std::optional<ScreenPixels> shot = CaptureDesktop(wide + 8, 60);
  ASSERT_TRUE(shot.has_value());
  EXPECT_EQ(shot->width, wide);
  EXPECT_EQ(shot->height, 60);
  EXPECT_EQ(shot->bgrx.size(), static_cast<size_t>(wide) * 60 * 4);
  shot = CaptureDesktop(30, 20);
  ASSERT_TRUE(shot.has_value());
  EXPECT_EQ(shot->width, 30);
  EXPECT_EQ(shot->height, 20);
  EXPECT_FALSE(CaptureDesktop(0, 60).has_value());
}

TEST(WindowsPreview, FillsTheHostAndEndsWithIt) {
  EXPECT_EQ(RunSelf(L"--preview 0"), 0u);
  EXPECT_EQ(RunSelf(L"--preview 123456"), 0u) << "a handle that names no window";

  HWND host = SolidWindow(200, 150, RGB(128, 128, 128));
  ASSERT_NE(host, nullptr);
  std::wstring line =
      L"\"" + ProgramPath() + L"\" --preview " + std::to_wstring(reinterpret_cast<intptr_t>(host));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process));
  // The child is made, sized and shown in steps of the other process: wait for the state the
  // checks below look at, then check it.
  HWND child = nullptr;
  RECT hostArea{}, childArea{};
  GetClientRect(host, &hostArea);
  auto shown = [&] {
    child = GetWindow(host, GW_CHILD);
    if (!child || !IsWindowVisible(child)) return false;
    GetWindowRect(child, &childArea);
    MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&childArea), 2);
    return childArea.right == hostArea.right && childArea.bottom == hostArea.bottom;
  };
  for (int i = 0; i < 300 && !shown(); ++i) PumpMessages(50);
  ASSERT_NE(child, nullptr) << "no preview window in the host";
  wchar_t caption[64] = {};
  GetWindowTextW(child, caption, 64);
  EXPECT_EQ(std::wstring(caption), L"PreviewWindowClass");
  EXPECT_EQ(childArea.left, 0);
  EXPECT_EQ(childArea.top, 0);
  EXPECT_EQ(childArea.right, hostArea.right) << "fills the host";
  EXPECT_EQ(childArea.bottom, hostArea.bottom);
  EXPECT_TRUE(IsWindowVisible(child));
  DestroyWindow(host);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 15000), WAIT_OBJECT_0) << "ends with its host";
  DWORD code = 0xFFFF;
  GetExitCodeProcess(process.hProcess, &code);
  EXPECT_EQ(code, 0u);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

TEST(WindowsTime, MonotonicClockSleepAndLocalTime) {
  const uint64_t before = MonotonicMs();
  SleepMs(30);
  const uint64_t slept = MonotonicMs() - before;
  EXPECT_GE(slept, 25u);
  EXPECT_LT(slept, 5000u);
  // Local wall-clock seconds differ from UTC by the zone offset only (at most 14 hours).
  const int64_t utc = static_cast<int64_t>(std::time(nullptr));
  EXPECT_LT(std::llabs(LocalSecondsSince1970() - utc), 14 * 3600 + 60);
}

TEST(WindowsLibrary, LoadsFindsAndRefuses) {
  Library kernel = OpenLibrary("kernel32.dll");
  ASSERT_NE(kernel, nullptr);
  auto tick = reinterpret_cast<DWORD(WINAPI*)()>(FindLibraryEntry(kernel, "GetTickCount"));
  ASSERT_NE(tick, nullptr);
  EXPECT_GT(tick(), 0u);
  EXPECT_EQ(FindLibraryEntry(kernel, "NoSuchEntry"), nullptr);
  EXPECT_EQ(FindLibraryEntry(nullptr, "GetTickCount"), nullptr);
  CloseLibrary(kernel);
  EXPECT_EQ(OpenLibrary("C:\\no such folder\\flurrix.dll"), nullptr);
  EXPECT_EQ(OpenLibrary(""), nullptr);
}

TEST(WindowsSession, WallpaperStyleComesFromTheRegistry) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                            KEY_READ | KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  auto setStyle = [&](const wchar_t* value) {
    RegSetValueExW(key, L"WallpaperStyle", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
  };
  setStyle(L"10");
  EXPECT_EQ(QueryWallpaper().style, 10);
  setStyle(L" 2");
  EXPECT_EQ(QueryWallpaper().style, 2);
  setStyle(L"tile");
  EXPECT_EQ(QueryWallpaper().style, 0) << "no digits read as 0";
  RegDeleteValueW(key, L"WallpaperStyle");
  EXPECT_EQ(QueryWallpaper().style, 0) << "a missing value tiles";
  RegCloseKey(key);
  EXPECT_NE(QueryWallpaper().path, "(None)");
}

TEST(WindowsSession, PowerFunctionsAnswerWithoutSuspending) {
  // Whatever the system allows, asking must not fail; Suspend itself is not called here.
  const bool allowed = SuspendAllowed();
  EXPECT_EQ(allowed, SuspendAllowed());
  ShowMouseCursor(false);
  ShowMouseCursor(true);
  SetScreensaverRunning(true);
  SetScreensaverRunning(false);
}

// A machine with a display and no battery: the display counts as on, the power as mains.
TEST(WindowsSession, DisplayStateAndBattery) {
  EXPECT_TRUE(DisplayIsOn());
  EXPECT_TRUE(DisplayIsOn());  // the subscription is made once
  SYSTEM_POWER_STATUS status{};
  ASSERT_TRUE(GetSystemPowerStatus(&status));
  EXPECT_EQ(OnBattery(), status.ACLineStatus == 0);
}

// The run's video layer asks for no display-required state: the system's screen saver and sleep
// timers keep running.
TEST(WindowsSession, TheVideoLayerLeavesTheSystemsScreenSaverOn) {
  ASSERT_TRUE(screen::MakeSdlScreen()->Connect());
  SDL_Window* window = SDL_CreateWindow("", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
  EXPECT_TRUE(SDL_IsScreenSaverEnabled());
  if (window) SDL_DestroyWindow(window);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

TEST(WindowsSockets, LoopbackConnectSendAndReceive) {
  EXPECT_EQ(ResolveIPv4("127.0.0.1"), std::optional<uint32_t>(0x7F000001u));
  EXPECT_EQ(ResolveIPv4(""), std::nullopt);

  // ConnectTcp starts Winsock; a listener of the test's own is made after it.
  EXPECT_EQ(ConnectTcp(0x7F000001u, 1, 2000), kNoSocket) << "nothing listens on port 1";
  SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  ASSERT_NE(listener, INVALID_SOCKET);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(0x7F000001u);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 1), 0);
  int length = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);

  Socket client = ConnectTcp(0x7F000001u, ntohs(address.sin_port), 5000);
  ASSERT_NE(client, kNoSocket);
  SOCKET server = accept(listener, nullptr, nullptr);
  ASSERT_NE(server, INVALID_SOCKET);
  EXPECT_EQ(WaitReadable(client, 0), 0) << "nothing sent yet";
  ASSERT_TRUE(SendAll(client, "GET / HTTP/1.0\r\n\r\n", 5000));
  char buffer[64] = {};
  EXPECT_EQ(recv(server, buffer, sizeof buffer, 0), 18);
  send(server, "hello", 5, 0);
  closesocket(server);
  ASSERT_EQ(WaitReadable(client, 5000), 1);
  EXPECT_EQ(Receive(client, buffer, sizeof buffer), 5);
  EXPECT_EQ(std::string(buffer, 5), "hello");
  ASSERT_EQ(WaitReadable(client, 5000), 1);
  EXPECT_EQ(Receive(client, buffer, sizeof buffer), 0) << "the peer has closed";
  CloseSocket(client);
  closesocket(listener);
}

}  // namespace
}  // namespace platform

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "--guard" && argc > 2) return platform::AcquireInstanceGuard(argv[2]) ? 1 : 0;
  if (mode == "--message-box" && argc > 4) {
    return platform::ShowMessageBox(argv[2], argv[3], std::atoi(argv[4]));
  }
  if (mode == "--preview" && argc > 2) {
    platform::ScreenPixels red{16, 16, {}};
    for (int i = 0; i < 16 * 16; ++i) red.bgrx.insert(red.bgrx.end(), {0, 0, 255, 0});
    platform::ShowPreview(std::atoll(argv[2]), red);
    return 0;
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
