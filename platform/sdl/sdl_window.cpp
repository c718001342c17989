// Window surfaces: the SDL window behind each Win32 window, made when the
// pixel format is set (SDL needs the GL attributes first) or when the window
// is shown, plus device contexts, pixel formats and the buffer swap.
#include <SDL.h>
#include "opengl.h"

#include "headless/host_state.h"
#include "sdl/sdl_video.h"

namespace sgwin {
namespace video {

namespace {

// The only pixel format offered: double-buffered RGBA with a depth buffer.
constexpr int kOpenGLFormat = 1;

bool WantsFullscreen(const Window& window) {
  bool popup = (window.style & WS_POPUP) && (window.style & WS_CAPTION) != WS_CAPTION;
  return popup && FullscreenModeActive() && !Headless() && Host().surfaceWidth == 0;
}

Uint32 SurfaceFlags(const Window& window) {
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
  if (window.style & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
  if ((window.style & WS_CAPTION) != WS_CAPTION) flags |= SDL_WINDOW_BORDERLESS;
  return flags;
}

void EnterFullscreen(SDL_Window* surface) {
  SDL_DisplayMode mode = {SDL_PIXELFORMAT_UNKNOWN, FullscreenWidth(), FullscreenHeight(), 0, nullptr};
  SDL_DisplayMode closest;
  if (SDL_GetClosestDisplayMode(0, &mode, &closest)) SDL_SetWindowDisplayMode(surface, &closest);
  SDL_SetWindowFullscreen(surface, SDL_WINDOW_FULLSCREEN);
}

SDL_Window* CreateSurface(Window& window) {
  if (!EnsureVideo()) return nullptr;
  ApplyGLAttributes(window.pixelRequest);
  // The host may render at another size than the program asked for.
  int width = Host().surfaceWidth > 0 ? Host().surfaceWidth : window.clientWidth;
  int height = Host().surfaceHeight > 0 ? Host().surfaceHeight : window.clientHeight;
  SDL_Window* surface = SDL_CreateWindow(window.title.c_str(), window.windowRect.left, window.windowRect.top,
                                         width > 0 ? width : 1, height > 0 ? height : 1, SurfaceFlags(window));
  if (!surface) {
    SDL_Log("platform: window surface: %s", SDL_GetError());
    return nullptr;
  }
  if (WantsFullscreen(window)) EnterFullscreen(surface);
  if (window.visible) SDL_ShowWindow(surface);
  return surface;
}

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

SDL_Window* EnsureSurface(Window& window) {
  if (!window.surface) window.surface = CreateSurface(window);
  return window.surface;
}

void ApplyGLAttributes(const PixelFormatRequest& request) {
  SDL_GL_ResetAttributes();
  // OpenGL 1.x entry points with the multitexture and combine extensions.
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, request.doubleBuffer ? 1 : 0);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, request.redBits);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, request.greenBits);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, request.blueBits);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, request.alphaBits);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, request.depthBits);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, request.stencilBits);
}

void OnWindowDestroyed(Window& window) {
  if (!window.surface) return;
  if (SDL_GetWindowFlags(window.surface) & SDL_WINDOW_FULLSCREEN) SDL_SetWindowFullscreen(window.surface, 0);
  SDL_HideWindow(window.surface);
  CollectSurfaces();
}

void CollectSurfaces() {
  for (const auto& window : AllWindows()) {
    if (window->alive || !window->surface || SurfaceInUse(*window)) continue;
    SDL_DestroyWindow(window->surface);
    window->surface = nullptr;
  }
}

}  // namespace video
}  // namespace sgwin

using sgwin::Host;
using sgwin::Window;

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
  Window* window = sgwin::LookUpWindow(hWnd);
  if (!window) return FALSE;
  bool wasVisible = window->visible;
  bool show = nCmdShow != SW_HIDE;
  window->visible = show;
  if (SDL_Window* surface = sgwin::video::EnsureSurface(*window)) {
    if (show) {
      SDL_ShowWindow(surface);
    } else {
      SDL_HideWindow(surface);
    }
  }
  if (show != wasVisible) window->proc(hWnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
  return wasVisible ? TRUE : FALSE;
}

BOOL WINAPI SetForegroundWindow(HWND hWnd) {
  Window* window = sgwin::LookUpWindow(hWnd);
  if (!window) return FALSE;
  sgwin::SetForegroundHandle(hWnd);
  if (window->surface && window->visible) SDL_RaiseWindow(window->surface);
  return TRUE;
}

HDC WINAPI GetDC(HWND hWnd) {
  if (sgwin::StepFails(host::Step::GetDC)) return NULL;
  Window* window = sgwin::LookUpWindow(hWnd);
  return window ? window->dc : NULL;  // every window keeps its own DC
}

int WINAPI ReleaseDC(HWND hWnd, HDC hDC) {
  Window* window = sgwin::LookUpWindow(hWnd);
  return window && window->dc == hDC ? 1 : 0;
}

int WINAPI ChoosePixelFormat(HDC hdc, const PIXELFORMATDESCRIPTOR* ppfd) {
  if (sgwin::StepFails(host::Step::ChoosePixelFormat)) return 0;
  if (!sgwin::video::LiveWindowOf(hdc) || !ppfd) return 0;
  bool openGL = (ppfd->dwFlags & PFD_SUPPORT_OPENGL) != 0;
  return openGL && ppfd->iPixelType == PFD_TYPE_RGBA ? sgwin::video::kOpenGLFormat : 0;
}

BOOL WINAPI SetPixelFormat(HDC hdc, int format, const PIXELFORMATDESCRIPTOR* ppfd) {
  if (sgwin::StepFails(host::Step::SetPixelFormat)) return FALSE;
  Window* window = sgwin::video::LiveWindowOf(hdc);
  if (!window || format != sgwin::video::kOpenGLFormat) return FALSE;
  // A window's pixel format is set once; asking for the same one again is harmless.
  if (window->pixelFormat) return window->pixelFormat == format ? TRUE : FALSE;
  window->pixelRequest = sgwin::video::RequestFrom(ppfd);
  // A surface made before the format was known has the wrong GL attributes.
  if (window->surface) {
    SDL_DestroyWindow(window->surface);
    window->surface = nullptr;
  }
  if (!sgwin::video::EnsureSurface(*window)) return FALSE;
  window->pixelFormat = format;
  return TRUE;
}

BOOL WINAPI SwapBuffers(HDC hdc) {
  Window* window = sgwin::video::LiveWindowOf(hdc);
  if (!window || !window->surface) return FALSE;
  if (Host().swapHook && SDL_GL_GetCurrentWindow() == window->surface && SDL_GL_GetCurrentContext()) {
    host::FrameInfo frame = {Host().swapCount, 0, 0};
    SDL_GL_GetDrawableSize(window->surface, &frame.width, &frame.height);
    Host().swapHook(frame);
  }
  // An offscreen surface has no display to pace its swaps: without a wait
  // here the software rasteriser queues frame after frame, gigabytes deep.
  if (sgwin::video::Headless() && SDL_GL_GetCurrentContext()) glFinish();
  SDL_GL_SwapWindow(window->surface);
  ++Host().swapCount;
  return TRUE;
}
