// The operating-system services the program uses. posix/ and win32/ each implement this file;
// nothing outside platform/ (and the screen layer, the dialog view and the engine) includes an
// OS or toolkit header.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The folder separator: folder strings end with it and are joined by concatenation.
#ifdef _WIN32
inline constexpr char kSep = '\\';
#else
inline constexpr char kSep = '/';
#endif

// A relative name written with '/' (as in "data/forest/"), with the platform's separator.
std::string NativePath(std::string_view relative);

// ---- Folders (each ends with kSep) ----

// The user's application-data folder: $XDG_CONFIG_HOME or ~/.config; CSIDL_APPDATA on Windows.
std::string AppDataFolder();
// The program-files folder: the install prefix's share folder; CSIDL_PROGRAM_FILES on Windows.
std::string ProgramFilesFolder();
// The folder of the running program file.
std::string ProgramFolder();
std::string CurrentFolder();

bool FolderExists(const std::string& path);
// Creates one folder (its parent must exist). True when it exists afterwards.
bool CreateFolder(const std::string& path);

// ---- Files (paths are UTF-8 on every platform) ----

// Opens a plain file with fopen's `mode` ("rb", "wb", ...). Nothing else opens, and nothing
// waits: a named pipe, a device or a folder gives nullptr, as a missing file does ("w" empties
// only a plain file).
std::FILE* OpenFile(const std::string& path, const char* mode);
// Flushes `file` to the disk and closes it. False when any of it failed.
bool SyncAndClose(std::FILE* file);
// Renames `from` over `to`, replacing `to` in one step.
bool RenameOver(const std::string& from, const std::string& to);
bool RemoveFile(const std::string& path);
// Writes `data` as the file `path` in one step: into a new file of its own beside it, renamed
// over `path`, so that whoever reads `path` meanwhile (another copy of the program) reads the
// old file or the new one whole. False, with `path` untouched, when it fails.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& data);
// Size in bytes, or -1 when there is no such plain file.
int64_t FileSize(const std::string& path);

// The plain files of a folder, in the order the file system lists them.
struct FolderEntry {
  std::string name;
  int64_t size = 0;
};
std::vector<FolderEntry> ListFiles(const std::string& folder);
// Why the last failed file call of this thread failed, in the system's words (strerror of errno
// on POSIX, FormatMessage of GetLastError on Windows); "" when the system gave no reason. Read it
// straight after the failure: later calls may change it.
std::string LastErrorText();

// ---- Single-instance guard ----

// Takes the process-wide guard named `name`. False when another process holds it (or it cannot
// be made). The guard is released by ReleaseInstanceGuard or, whatever happens, when the process
// ends: a killed process never blocks the next start.
bool AcquireInstanceGuard(const std::string& name);
void ReleaseInstanceGuard();

// ---- Desktop ----

// The primary monitor's width and height in pixels and the storage bits per pixel (32 for a
// true-colour desktop). The screen layer reports display modes in the same convention.
struct DesktopMode {
  int32_t width = 0;
  int32_t height = 0;
  int32_t depth = 0;
};
DesktopMode QueryDesktop();

// The monitors of the desktop in desktop pixels, the primary one first; empty without a display.
struct Monitor {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};
std::vector<Monitor> ListMonitors();

// The primary display's modes in the order the system lists them (the same size may come several
// times, at different refresh rates). X11 RandR on Linux, EnumDisplaySettings on Windows; empty
// without a display.
std::vector<DesktopMode> ListDisplayModes();

// True when a window system is there to show windows on (an X display on Linux).
bool HasDisplay();

// Pixels exchanged with the window system: top row first, 4 bytes per pixel (blue, green, red,
// unused), width * 4 bytes per row.
struct ScreenPixels {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> bgrx;
};

// The top-left width x height pixels of the desktop at 1:1 (the X root window on Linux, the
// desktop window's device context on Windows), cut to the desktop's own size: the result may be
// smaller than asked. Nothing when the desktop cannot be read (no X display, a refused copy).
// While XScreenSaver covers the screen, the parts it covers come from the pictures of the
// desktop it kept, when the user lets its display modes show the desktop (grabDesktopImages).
std::optional<ScreenPixels> CaptureDesktop(int32_t width, int32_t height);

// The screensaver preview: a child window filling the client area of the host window `host`
// (an HWND on Windows, an X11 window id on Linux), showing `picture` at its own size in its
// top-left corner on black. Returns when the host closes or destroys it; at once for handle 0
// or a handle that names no window.
void ShowPreview(int64_t host, const ScreenPixels& picture);

// The window a screensaver host started this program to draw in, 0 when none did (always 0 on
// Windows). On Linux that is XScreenSaver: "-window-id ID", else the XSCREENSAVER_WINDOW
// variable, else the root window for "-root".
uint64_t HostWindow(const std::vector<std::string>& args);
// The size of the host's window; false when the handle names no window or an empty one.
bool HostWindowSize(uint64_t host, int32_t& width, int32_t& height);
// Puts the program's window `child` inside `host`, filling it, and shows it. Our window keeps a
// pixel format of its own, whatever the host's window was made with.
bool EmbedWindow(uint64_t child, uint64_t host);
// From now on a termination signal (SIGTERM, SIGINT, SIGHUP) deletes `filesToRemove` (unless
// another copy still uses their folder, see below) and ends the process at once with exit code
// 0, whatever it is doing. Nothing on Windows.
void EndOnTermination(const std::vector<std::string>& filesToRemove);
// While something must be undone before the process may end (a display mode of the run's own),
// a termination signal only asks: TerminationRequested turns true and the program ends through
// its normal close, or after a second at the latest as above. Ending the deferral with a request
// pending ends the process then, as a signal would. Nothing on Windows.
void DeferTermination(bool deferred);
bool TerminationRequested();
// Copies of the program that run at once (one per monitor under a screensaver host) share the
// files they make in one folder. Each copy joins the folder's users before it writes them and
// leaves when its run is over; LeaveFolderUsers is true when no other copy uses the folder any
// more (or this one never joined), and only then may the files go. Windows runs one copy at a
// time: there every copy is the last.
void JoinFolderUsers(const std::string& folder);
bool LeaveFolderUsers();

// ---- Message boxes ----

// Message-box styles as the program passes them, and the answers they return.
enum MessageStyle : int32_t {
  kStyleError = 16,     // OK button, error icon
  kStyleQuestion = 36,  // Yes and No buttons, question icon
  kStyleInfo = 64,      // OK button, information icon
};
enum MessageAnswer : int32_t { kAnswerOk = 1, kAnswerYes = 6, kAnswerNo = 7 };

// A modal box with `caption`, `text` and the buttons of `style`. Without a display the box is
// written to stderr and a question is answered No.
MessageAnswer ShowMessageBox(const std::string& caption, const std::string& text, int32_t style);

// ---- Owner windows (window handles: an HWND on Windows, an X11 window id on Linux) ----

// The window that the configuration dialog started with window handle `handle` belongs to.
// Windows: the handle's parent, or the foreground window when the handle is 0. Linux: the
// handle itself (0: none).
int64_t DialogOwner(int64_t handle);
// Lets `window` take input again or not (EnableWindow); nothing on Linux, where the dialog is
// only transient for its owner.
void EnableWindowInput(int64_t window, bool enable);
// Gives `window` the keyboard focus (SetFocus); nothing on Linux.
void FocusWindow(int64_t window);

// ---- Shell ----

// Opens a web or mail address in the user's programs without waiting for them.
// False when nothing could be started.
bool OpenAddress(const std::string& address);

// ---- Around a full-screen run ----

// Shows or hides the mouse cursor (ShowCursor on Windows). Nothing on Linux, where the screen
// layer hides the cursor inside its own window.
void ShowMouseCursor(bool show);
// Tells the system whether a screensaver runs (SPI_SETSCREENSAVERRUNNING). Nothing on Linux.
void SetScreensaverRunning(bool running);

// Whether the display shows anything: false while the monitor is powered down (X11 DPMS on
// Linux, the console display state on Windows); true when it cannot be told.
bool DisplayIsOn();
// Whether the machine runs on battery (UPower over the system D-Bus on Linux,
// GetSystemPowerStatus on Windows); false when it cannot be told.
bool OnBattery();

// The desktop wallpaper: its file ("" when none is set) and the desktop's WallpaperStyle value
// (0 when missing or unreadable). Windows reads SPI_GETDESKWALLPAPER and the registry; Linux
// reads GNOME's org.gnome.desktop.background, where "wallpaper" (tiled) gives 0 and every other
// placement 2 (stretched).
struct Wallpaper {
  std::string path;
  int32_t style = 0;
};
Wallpaper QueryWallpaper();

// Whether the system may be suspended, and suspending it (sleep, not hibernate; wake events
// stay on). Windows looks the functions up in powrprof.dll at each call: without them the first
// answers false and the second does nothing. Linux asks systemd-logind on the system bus.
bool SuspendAllowed();
void Suspend();

// ---- Libraries loaded at run time ----

// A loaded library, or nullptr. Entries are found by name; cast the entry to its real type.
using Library = void*;
using LibraryEntry = void (*)();
Library OpenLibrary(const std::string& path);
LibraryEntry FindLibraryEntry(Library library, const char* name);
void CloseLibrary(Library library);

// ---- Sockets (TCP over IPv4, the HTTP client's transport) ----

// An open TCP connection (a file descriptor on POSIX, a SOCKET on Windows), or kNoSocket.
// Connections are non-blocking: wait with WaitReadable before Receive. The Windows side starts
// Winsock on first use.
using Socket = intptr_t;
inline constexpr Socket kNoSocket = -1;

// The first IPv4 address of `host` (a dotted address or a name), in host byte order; nothing
// when it does not resolve.
std::optional<uint32_t> ResolveIPv4(const std::string& host);
// Connects to `address` (host byte order) and `port`. kNoSocket when refused, failed, or not
// established within `timeoutMs`.
Socket ConnectTcp(uint32_t address, uint16_t port, uint32_t timeoutMs);
// Sends all of `data`. False on failure or when the peer takes nothing for `timeoutMs`.
bool SendAll(Socket socket, std::string_view data, uint32_t timeoutMs);
// Waits at most `timeoutMs` (0: only looks) until data, or the peer's close, can be read.
// 1 readable, 0 timed out, -1 failure.
int WaitReadable(Socket socket, uint32_t timeoutMs);
// Reads what is waiting, at most `size` bytes: the count, 0 when the peer has closed, -1 on
// failure (nothing waiting included).
int64_t Receive(Socket socket, char* buffer, size_t size);
void CloseSocket(Socket socket);

// ---- Media player (music during a run) ----

// One piece of music (MP3, WMA, WAV) loaded for playing, or nullptr. Audio only: a file that also
// holds pictures never shows a window. GStreamer's playbin on Linux, a DirectShow filter graph on
// Windows. No call waits for the media service: loading starts the work, and the state is polled.
// On Linux the environment variable FLURRIX_AUDIO_SINK, when set, names the audio output as a
// GStreamer element description or chain ("fakesink sync=true" keeps time and makes no sound).
struct MediaPlayerState;
using MediaPlayer = MediaPlayerState*;

enum class MediaState : int32_t {
  kPlaying,  // loaded, playing or about to play
  kEnded,    // played to its end
  kFailed,   // the system could not play it after all (a fault found while decoding)
};

// Starts the media service, once per process. False when there is none; loading then fails.
bool StartMedia();
// Builds a player for the file at `path`; nullptr when the file is missing, empty or of a kind
// the system cannot play.
MediaPlayer LoadMedia(const std::string& path);
// Sets the volume, 0 (silent) to 100 (full), through MediaAttenuation.
void SetMediaVolume(MediaPlayer player, int32_t volume);
// Rewinds to the start and plays.
void PlayMedia(MediaPlayer player);
MediaState PollMedia(MediaPlayer player);
// Stops and frees the player (nullptr is allowed).
void CloseMedia(MediaPlayer player);

// The attenuation in hundredths of a decibel for a volume of 0 to 100: 0 is -10000 (silent),
// 100 is 0, and v in between int(2000 * log10(1000 * v)) - 10000 (50 gives -603).
int32_t MediaAttenuation(int32_t volume);
// The same attenuation as a linear amplitude factor (-10000 gives 0, silence).
double AttenuationToAmplitude(int32_t attenuation);

// ---- Time ----

// Milliseconds from a monotonic clock.
uint64_t MonotonicMs();
void SleepMs(uint32_t ms);
// Seconds since 1970-01-01 of the local wall clock (local time read as if it were UTC).
int64_t LocalSecondsSince1970();

}  // namespace platform
