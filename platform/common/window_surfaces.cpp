// Showing windows, device contexts, pixel formats and the buffer swap: the
// Win32 rules here, the surfaces behind them in the back end.
#include "common/backend.h"
#include "common/window_table.h"

namespace sgwin {

namespace {

using backend::Call;

// The only pixel format offered: double-buffered RGBA with a depth buffer.
constexpr int kOpenGLFormat = 1;

PixelFormatRequest RequestFrom(const PIXELFORMATDESCRIPTOR* descriptor) {
  PixelFormatRequest request;
  if (!descriptor) return request;
  request.doubleBuffer = (descriptor->dwFlags & PFD_DOUBLEBUFFER) != 0;
  bool highColor = descriptor->cColorBits != 0 && descriptor->cColorBits <= 16;
  request.redBits = highColor ? 5 : 8;
  request.greenBits = highColor ? 6 : 8;
  request.blueBits = highColor ? 5 : 8;
  request.alphaBits = descriptor->cAlphaBits;
  request.depthBits = descriptor->cDepthBits;
  request.stencilBits = descriptor->cStencilBits;
  return request;
}

// A live window behind this DC, or null.
Window* LiveWindowOf(HDC dc) {
  Window* window = LookUpWindowByDC(dc);
  return window && window->alive ? window : nullptr;
}

}  // namespace

}  // namespace sgwin

using sgwin::Window;
namespace backend = sgwin::backend;

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
  Window* window = sgwin::LookUpWindow(hWnd);
  if (!window) return FALSE;
  bool wasVisible = window->visible;
  bool show = nCmdShow != SW_HIDE;
  window->visible = show;
  if (backend::EnsureSurface(*window)) backend::ShowSurface(*window, show);
  if (show != wasVisible) window->proc(hWnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
  return wasVisible ? TRUE : FALSE;
}

BOOL WINAPI SetForegroundWindow(HWND hWnd) {
  Window* window = sgwin::LookUpWindow(hWnd);
  if (!window) return FALSE;
  sgwin::SetForegroundHandle(hWnd);
  if (window->surface && window->visible) backend::RaiseSurface(*window);
  return TRUE;
}

HDC WINAPI GetDC(HWND hWnd) {
  if (backend::Refuses(backend::Call::GetDC)) return NULL;
  Window* window = sgwin::LookUpWindow(hWnd);
  return window ? window->dc : NULL;  // every window keeps its own DC
}

int WINAPI ReleaseDC(HWND hWnd, HDC hDC) {
  Window* window = sgwin::LookUpWindow(hWnd);
  return window && window->dc == hDC ? 1 : 0;
}

int WINAPI ChoosePixelFormat(HDC hdc, const PIXELFORMATDESCRIPTOR* ppfd) {
  if (backend::Refuses(backend::Call::ChoosePixelFormat)) return 0;
  if (!sgwin::LiveWindowOf(hdc) || !ppfd) return 0;
  bool openGL = (ppfd->dwFlags & PFD_SUPPORT_OPENGL) != 0;
  return openGL && ppfd->iPixelType == PFD_TYPE_RGBA ? sgwin::kOpenGLFormat : 0;
}

BOOL WINAPI SetPixelFormat(HDC hdc, int format, const PIXELFORMATDESCRIPTOR* ppfd) {
  if (backend::Refuses(backend::Call::SetPixelFormat)) return FALSE;
  Window* window = sgwin::LiveWindowOf(hdc);
  if (!window || format != sgwin::kOpenGLFormat) return FALSE;
  // A window's pixel format is set once; asking for the same one again is harmless.
  if (window->pixelFormat) return window->pixelFormat == format ? TRUE : FALSE;
  window->pixelRequest = sgwin::RequestFrom(ppfd);
  // A surface made before the format was known has the wrong one.
  if (window->surface) backend::DropSurface(*window);
  if (!backend::EnsureSurface(*window)) return FALSE;
  window->pixelFormat = format;
  return TRUE;
}

BOOL WINAPI SwapBuffers(HDC hdc) {
  Window* window = sgwin::LiveWindowOf(hdc);
  if (!window || !window->surface) return FALSE;
  return backend::SwapSurface(*window) ? TRUE : FALSE;
}
