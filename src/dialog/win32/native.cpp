#include "dialog/win32/native.h"

#include <commctrl.h>

#include <vector>

#include "images/pictures.h"

namespace dialog::win32 {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

// Newer systems' entries, looked up so that older ones still start.
template <typename Fn>
Fn User32Entry(const char* name) {
  return reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

// A top-down DIB section of `bits` bits per pixel and its pixels.
HBITMAP CreateDib(int width, int height, int bits, void** pixels) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(bits);
  info.bmiHeader.biCompression = BI_RGB;
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, pixels, nullptr, 0);
}

// Draws `picture` stretched over the whole of `bitmap` (width x height).
void DrawPicture(const images::Image& picture, HBITMAP bitmap, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = picture.height;  // the picture's rows are stored bottom first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(picture.depth);
  info.bmiHeader.biCompression = BI_RGB;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchDIBits(dc, 0, 0, width, height, 0, 0, picture.width, picture.height, picture.pixels.data(),
                &info, DIB_RGB_COLORS, SRCCOPY);
  SelectObject(dc, old);
  DeleteDC(dc);
}

const images::Image* Picture(int32_t number) {
  const images::Image* picture = images::GetPicture(number);
  if (!picture || picture->width <= 0 || picture->height <= 0) return nullptr;
  if (picture->depth != 24 && picture->depth != 32) return nullptr;
  return picture;
}

}  // namespace

void InitCommonControls() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES |
                                                        ICC_BAR_CLASSES | ICC_UPDOWN_CLASS |
                                                        ICC_LISTVIEW_CLASSES};
    return InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)done;
}

void RegisterViewClass(const wchar_t* name, WNDPROC proc) {
  InitCommonControls();
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = proc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = name;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  RegisterClassExW(&windowClass);
}

Scale::Scale(HWND window) {
  const auto forWindow = User32Entry<GetDpiForWindowFn>("GetDpiForWindow");
  const UINT dpi = forWindow && window ? forWindow(window) : 0;
  dpi_ = dpi > 0 ? static_cast<int>(dpi) : ScreenDpi();
}

HFONT CreateMessageFont(int dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  const auto forDpi = User32Entry<SystemParametersInfoForDpiFn>("SystemParametersInfoForDpi");
  if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
    return CreateFontIndirectW(&metrics.lfMessageFont);
  }
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }
  // The metrics are for the system's DPI: scale them to the window's.
  metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, ScreenDpi());
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

HBITMAP CreatePictureBitmap(int32_t number, int width, int height) {
  const images::Image* picture = Picture(number);
  if (!picture) return nullptr;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDib(width, height, 24, &pixels);
  if (bitmap) DrawPicture(*picture, bitmap, width, height);
  return bitmap;
}

HBITMAP CreateColourBitmap(uint32_t colour, int width, int height) {
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDib(width, height, 24, &pixels);
  if (!bitmap) return nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  HBRUSH brush = CreateSolidBrush(colour);
  const RECT all{0, 0, width, height};
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  SelectObject(dc, old);
  DeleteDC(dc);
  return bitmap;
}

HICON CreatePictureIcon(int32_t number, int size) {
  const images::Image* picture = Picture(number);
  if (!picture) return nullptr;
  // The picture's colours and alpha, nearest pixel, premultiplied as icons want them.
  void* bits = nullptr;
  HBITMAP colour = CreateDib(size, size, 32, &bits);
  if (!colour) return nullptr;
  auto* out = static_cast<uint8_t*>(bits);
  const int bytes = picture->depth / 8;
  // The mask (1: transparent) gives the icon's shape where it is drawn without its alpha, such
  // as greyed on a disabled button. Its rows are padded to 16 bits.
  const int maskPitch = (size + 15) / 16 * 2;
  std::vector<uint8_t> maskBits(static_cast<size_t>(maskPitch) * size, 0);
  for (int y = 0; y < size; ++y) {
    const uint8_t* row = picture->TopRow(y * picture->height / size);
    for (int x = 0; x < size; ++x) {
      const uint8_t* in = row + (x * picture->width / size) * bytes;
      const int alpha = bytes == 4 ? in[3] : 255;
      uint8_t* px = out + (static_cast<size_t>(y) * size + x) * 4;
      for (int c = 0; c < 3; ++c) px[c] = static_cast<uint8_t>(in[c] * alpha / 255);
      px[3] = static_cast<uint8_t>(alpha);
      if (alpha < 128) maskBits[static_cast<size_t>(y) * maskPitch + x / 8] |= 0x80 >> (x % 8);
    }
  }
  HBITMAP mask = CreateBitmap(size, size, 1, 1, maskBits.data());
  ICONINFO info{TRUE, 0, 0, mask, colour};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  DeleteObject(colour);
  return icon;
}

void CentreWithClientSize(HWND window, int width, int height) {
  RECT frame{0, 0, width, height};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  SetWindowPos(window, nullptr, work.left + (work.right - work.left - w) / 2,
               work.top + (work.bottom - work.top - h) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetFontOnTree(HWND window, HFONT font) {
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  EnumChildWindows(
      window,
      [](HWND child, LPARAM f) -> BOOL {
        SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(f), FALSE);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(font));
}

}  // namespace dialog::win32
