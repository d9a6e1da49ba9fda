// What the Win32 views share: the screen's scale, the system's message font, built-in pictures
// as bitmaps and icons, and a window centred on the screen.
#pragma once

#include <windows.h>

#include <cstdint>

namespace dialog::win32 {

// Loads the common controls (version 6 through the program's manifest) once.
void InitCommonControls();

// Loads the common controls and registers a window class `name` for a view's top-level window:
// `proc`, the arrow cursor, the dialog background and the program's icon.
void RegisterViewClass(const wchar_t* name, WNDPROC proc);

// Layout pixels at 96 DPI to the screen pixels of `window`'s monitor.
class Scale {
 public:
  explicit Scale(HWND window);
  explicit Scale(int dpi) : dpi_(dpi > 0 ? dpi : 96) {}
  int operator()(int pixels) const { return MulDiv(pixels, dpi_, 96); }
  int Dpi() const { return dpi_; }

 private:
  int dpi_ = 96;
};

// The system's message font at `dpi`; the caller deletes it.
HFONT CreateMessageFont(int dpi);

// Built-in picture `picture` drawn into a 24-bit bitmap of width x height (null when there is
// no such picture); the caller deletes it.
HBITMAP CreatePictureBitmap(int32_t picture, int width, int height);
// A width x height bitmap of one colour (0x00BBGGRR).
HBITMAP CreateColourBitmap(uint32_t colour, int width, int height);
// Built-in picture `picture` as a size x size icon with its transparency; null when missing.
HICON CreatePictureIcon(int32_t picture, int size);

// Gives `window` the outer size for a client area of width x height and centres it on the
// primary screen's work area.
void CentreWithClientSize(HWND window, int width, int height);

// Sets `font` on `window` and every window inside it.
void SetFontOnTree(HWND window, HFONT font);

}  // namespace dialog::win32
