// Copying the desktop's pixels through GDI, and the preview window inside a host window.
#include <windows.h>

#include <algorithm>

#include "platform/platform.h"

namespace platform {
namespace {

// A top-down 32-bit DIB description for width x height.
BITMAPINFO TopDownInfo(int32_t width, int32_t height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

const ScreenPixels* previewPicture = nullptr;

LRESULT CALLBACK PreviewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT client;
      GetClientRect(window, &client);
      FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      if (previewPicture && !previewPicture->bgrx.empty()) {
        const BITMAPINFO info = TopDownInfo(previewPicture->width, previewPicture->height);
        SetDIBitsToDevice(dc, 0, 0, previewPicture->width, previewPicture->height, 0, 0, 0,
                          previewPicture->height, previewPicture->bgrx.data(), &info,
                          DIB_RGB_COLORS);
      }
      EndPaint(window, &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

std::optional<ScreenPixels> CaptureDesktop(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return std::nullopt;
  HWND desktop = GetDesktopWindow();
  HDC screen = GetDC(desktop);
  if (!screen) return std::nullopt;
  // Only the area that exists on the desktop.
  width = std::min(width, GetDeviceCaps(screen, HORZRES));
  height = std::min(height, GetDeviceCaps(screen, VERTRES));
  std::optional<ScreenPixels> result;
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  const BITMAPINFO info = TopDownInfo(width, height);
  HBITMAP bitmap =
      memory ? CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  if (bitmap && bits) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY)) {
      GdiFlush();
      ScreenPixels& pixels = result.emplace();
      pixels.width = width;
      pixels.height = height;
      const uint8_t* data = static_cast<const uint8_t*>(bits);
      pixels.bgrx.assign(data, data + static_cast<size_t>(width) * height * 4);
    }
    SelectObject(memory, old);
  }
  if (bitmap) DeleteObject(bitmap);
  if (memory) DeleteDC(memory);
  ReleaseDC(desktop, screen);
  return result;
}

void ShowPreview(int64_t host, const ScreenPixels& picture) {
  HWND hostWindow = reinterpret_cast<HWND>(static_cast<intptr_t>(host));
  if (!hostWindow || !IsWindow(hostWindow)) return;
  RECT client{};
  GetClientRect(hostWindow, &client);

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = PreviewProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"FlurrixPreview";
  RegisterClassW(&windowClass);
  previewPicture = &picture;
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"PreviewWindowClass",
                                WS_CHILD | WS_VISIBLE, 0, 0, client.right, client.bottom,
                                hostWindow, nullptr, windowClass.hInstance, nullptr);
  if (window) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  previewPicture = nullptr;
}

}  // namespace platform
