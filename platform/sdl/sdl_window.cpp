// Window surfaces: the SDL window behind each Win32 window, made when the
// pixel format is set (SDL needs the GL attributes first) or when the window
// is shown; full screen for a popup while a full-screen mode is in force: a
// window covering the desktop as it is, or, where asked, a real mode switch.
#include "common/backend.h"
#include "common/surface_store.h"
#include "opengl.h"
#include "sdl/sdl_video.h"

namespace sgwin {
namespace video {

namespace {

SurfaceStore<Surface> g_surfaces;

bool WantsFullscreen(const Window& window) {
  bool popup = (window.style & WS_POPUP) && (window.style & WS_CAPTION) != WS_CAPTION;
  return popup && FullscreenModeActive() && !Headless();
}

Uint32 SurfaceFlags(const Window& window) {
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
  if (window.style & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
  if ((window.style & WS_CAPTION) != WS_CAPTION) flags |= SDL_WINDOW_BORDERLESS;
  return flags;
}

void EnterFullscreen(SDL_Window* surface) {
  if (!RealModeSwitch()) {
    // The window is given the desktop's bounds first: where no window
    // manager runs, nothing else would make it cover the screen.
    SDL_Rect desktop;
    if (SDL_GetDisplayBounds(0, &desktop) == 0) {
      SDL_SetWindowPosition(surface, desktop.x, desktop.y);
      SDL_SetWindowSize(surface, desktop.w, desktop.h);
    }
    if (SDL_SetWindowFullscreen(surface, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
      SDL_Log("platform: no full-screen window: %s", SDL_GetError());
    }
    return;
  }
  SDL_DisplayMode mode = {SDL_PIXELFORMAT_UNKNOWN, FullscreenWidth(), FullscreenHeight(), 0, nullptr};
  SDL_DisplayMode closest;
  if (SDL_GetClosestDisplayMode(0, &mode, &closest)) SDL_SetWindowDisplayMode(surface, &closest);
  SDL_SetWindowFullscreen(surface, SDL_WINDOW_FULLSCREEN);
}

SDL_Window* CreateSdlWindow(Window& window) {
  if (!EnsureVideo()) return nullptr;
  ApplyGLAttributes(window.pixelRequest);
  int width = window.clientWidth > 0 ? window.clientWidth : 1;
  int height = window.clientHeight > 0 ? window.clientHeight : 1;
  SDL_Window* surface = SDL_CreateWindow(window.title.c_str(), window.windowRect.left, window.windowRect.top, width,
                                         height, SurfaceFlags(window));
  if (!surface) {
    SDL_Log("platform: window surface: %s", SDL_GetError());
    return nullptr;
  }
  if (WantsFullscreen(window)) EnterFullscreen(surface);
  if (window.visible) SDL_ShowWindow(surface);
  return surface;
}

void FreeSurface(Window& window) {
  SDL_DestroyWindow(window.surface->window);
  g_surfaces.Remove(window.surface);
  window.surface = nullptr;
}

}  // namespace

SDL_Window* SdlWindowOf(const Window& window) { return window.surface ? window.surface->window : nullptr; }

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

}  // namespace video

namespace backend {

bool EnsureSurface(Window& window) {
  if (window.surface) return true;
  SDL_Window* sdlWindow = video::CreateSdlWindow(window);
  if (!sdlWindow) return false;
  window.surface = video::g_surfaces.Add(Surface{sdlWindow});
  return true;
}

void DropSurface(Window& window) {
  if (window.surface) video::FreeSurface(window);
}

void ShowSurface(Window& window, bool show) {
  if (show) {
    SDL_ShowWindow(window.surface->window);
  } else {
    SDL_HideWindow(window.surface->window);
  }
}

void RaiseSurface(Window& window) { SDL_RaiseWindow(window.surface->window); }

void OnWindowDestroyed(Window& window) {
  if (window.surface) {
    if (SDL_GetWindowFlags(window.surface->window) & SDL_WINDOW_FULLSCREEN) {
      SDL_SetWindowFullscreen(window.surface->window, 0);
    }
    SDL_HideWindow(window.surface->window);
  }
  // The surfaces of gone windows that no context needs any more.
  for (const auto& gone : AllWindows()) {
    if (!gone->alive && gone->surface && !SurfaceInUse(*gone)) video::FreeSurface(*gone);
  }
}

bool SwapSurface(Window& window) {
  // An offscreen surface has no display to pace its swaps: without a wait
  // here the software rasteriser queues frame after frame, gigabytes deep.
  if (video::Headless() && SDL_GL_GetCurrentContext()) glFinish();
  video::PresentBackBuffer(window);
  SDL_GL_SwapWindow(window.surface->window);
  // A window resized since: its picture is scaled from the next frame on.
  video::FitBackBuffer(window);
  return true;
}

}  // namespace backend
}  // namespace sgwin
