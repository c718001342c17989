// The canvas as every window's surface, and WebGL 2 contexts on it under our
// OpenGL 1.x layer (gl/). A swap hands the frame to the host's hook, then
// yields to the browser, which shows the frame.
#include <emscripten/html5.h>
#include <webgl/webgl1.h>
#include <webgl/webgl2.h>

#include <vector>

#include "common/backend.h"
#include "common/surface_store.h"
#include "common/window_table.h"
#include "gl/web_gl.h"
#include "host/host_state.h"
#include "web/web_page.h"

namespace sgwin {

struct Surface {
  int width;
  int height;
};

namespace backend {

struct Context {
  EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle;
  bool everCurrent;
};

namespace {

SurfaceStore<Surface> g_surfaces;
Context* g_current = nullptr;

}  // namespace

bool EnsureSurface(Window& window) {
  if (window.surface) return true;
  int width = 0, height = 0;
  HostSurfaceSize(window, width, height);
  window.surface = g_surfaces.Add(Surface{width, height});
  sgweb::SetCanvasSize(window.surface->width, window.surface->height);
  return true;
}

void DropSurface(Window& window) {
  g_surfaces.Remove(window.surface);
  window.surface = nullptr;
}

void ShowSurface(Window&, bool show) { sgweb::ShowCanvas(show); }
void RaiseSurface(Window&) {}
void OnWindowDestroyed(Window& window) { sgweb::ShowCanvas(window.visible && window.alive); }

bool SwapSurface(Window& window) {
  NoteSwap(window, window.surface->width, window.surface->height);
  // A scripted run's frames need not wait for the screen.
  sgweb::YieldToBrowser(!Host().scriptedRun);
  return true;
}

// Depth as the pixel format asks (16 bits at least); no multisampling, so
// edges come out as on the desktop; the buffer is kept for read-backs.
Context* CreateContext(Window& window) {
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  attributes.majorVersion = 2;
  attributes.alpha = EM_FALSE;
  attributes.depth = window.pixelRequest.depthBits > 0 ? EM_TRUE : EM_FALSE;
  attributes.stencil = EM_FALSE;
  attributes.antialias = EM_FALSE;
  attributes.preserveDrawingBuffer = EM_TRUE;
  EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle = emscripten_webgl_create_context("#canvas", &attributes);
  if (handle <= 0) return nullptr;
  NoteContext(ContextEvent::Created);
  return new Context{handle, false};
}

bool MakeCurrent(Window& window, Context& context) {
  if (emscripten_webgl_make_context_current(context.handle) != EMSCRIPTEN_RESULT_SUCCESS) return false;
  if (!context.everCurrent) sgwebgl::ResetContext(window.surface->width, window.surface->height);
  context.everCurrent = true;
  g_current = &context;
  NoteContext(ContextEvent::MadeCurrent);
  return true;
}

void ReleaseCurrent() {
  emscripten_webgl_make_context_current(0);
  g_current = nullptr;
  NoteContext(ContextEvent::ReleasedCurrent);
}

void DeleteContext(Context& context) {
  if (g_current == &context) g_current = nullptr;
  emscripten_webgl_destroy_context(context.handle);
  delete &context;
  NoteContext(ContextEvent::Deleted);
}

void OnContextLeaving() { NoteContextLeaving(); }

void* ProcAddress(const char* name) {
  if (ProcHidden(name)) return nullptr;
  return sgwebgl::ProcAddress(name);
}

}  // namespace backend
}  // namespace sgwin

namespace host {

// WebGL reads RGBA; RGB drops the alpha.
void ReadBackBuffer(std::vector<unsigned char>& pixels, int& width, int& height, bool withAlpha) {
  sgwin::Window* window = sgwin::CurrentWindow();
  width = window && window->surface ? window->surface->width : 0;
  height = window && window->surface ? window->surface->height : 0;
  std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
  if (!rgba.empty()) emscripten_glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  if (withAlpha) {
    pixels.swap(rgba);
    return;
  }
  pixels.resize(static_cast<size_t>(width) * height * 3);
  for (size_t i = 0, j = 0; i + 3 < rgba.size(); i += 4, j += 3) {
    pixels[j] = rgba[i];
    pixels[j + 1] = rgba[i + 1];
    pixels[j + 2] = rgba[i + 2];
  }
}

}  // namespace host
