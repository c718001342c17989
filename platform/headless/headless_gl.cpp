// OpenGL without a display, through EGL: each window's surface is a pbuffer of
// the host's size (or the window's), each context a desktop-GL context on the
// surfaceless platform (Mesa's, or a GPU's driver where a machine has one).
// The swap hands the frame to the host before it is shown.
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/backend.h"
#include "common/surface_store.h"
#include "common/window_table.h"
#include "headless/headless_state.h"
#include "opengl.h"

namespace sgwin {

struct Surface {
  EGLSurface pbuffer;
  EGLConfig config;
  int width;
  int height;
};

namespace backend {

struct Context {
  EGLContext context;
};

}  // namespace backend

namespace {

EGLDisplay g_display = EGL_NO_DISPLAY;
bool g_displayFailed = false;
SurfaceStore<Surface> g_surfaces;

// Started on first need and kept for the process: a display made again for
// every window would load the driver again each time.
EGLDisplay Display() {
  if (g_display != EGL_NO_DISPLAY || g_displayFailed) return g_display;
  EGLDisplay display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (display == EGL_NO_DISPLAY) display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
  if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr) || !eglBindAPI(EGL_OPENGL_API)) {
    std::fprintf(stderr, "platform: no EGL display for OpenGL (error 0x%x)\n", eglGetError());
    g_displayFailed = true;
    return EGL_NO_DISPLAY;
  }
  g_display = display;
  return g_display;
}

// The first configuration with exactly the colour sizes asked for, the depth
// and stencil at least those asked for.
bool ChooseConfig(const PixelFormatRequest& request, EGLConfig& chosen) {
  const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                               EGL_RED_SIZE, request.redBits, EGL_GREEN_SIZE, request.greenBits,
                               EGL_BLUE_SIZE, request.blueBits, EGL_ALPHA_SIZE, request.alphaBits,
                               EGL_DEPTH_SIZE, request.depthBits, EGL_STENCIL_SIZE, request.stencilBits,
                               EGL_NONE};
  EGLint count = 0;
  if (!eglChooseConfig(Display(), attributes, nullptr, 0, &count) || count <= 0) return false;
  std::vector<EGLConfig> configs(static_cast<size_t>(count));
  eglChooseConfig(Display(), attributes, configs.data(), count, &count);
  for (EGLint i = 0; i < count; ++i) {
    EGLint r = 0, g = 0, b = 0, a = 0;
    eglGetConfigAttrib(Display(), configs[i], EGL_RED_SIZE, &r);
    eglGetConfigAttrib(Display(), configs[i], EGL_GREEN_SIZE, &g);
    eglGetConfigAttrib(Display(), configs[i], EGL_BLUE_SIZE, &b);
    eglGetConfigAttrib(Display(), configs[i], EGL_ALPHA_SIZE, &a);
    if (r == request.redBits && g == request.greenBits && b == request.blueBits && a == request.alphaBits) {
      chosen = configs[i];
      return true;
    }
  }
  chosen = configs[0];
  return true;
}

void FreeSurface(Window& window) {
  eglDestroySurface(Display(), window.surface->pbuffer);
  g_surfaces.Remove(window.surface);
  window.surface = nullptr;
}

}  // namespace

namespace backend {

bool EnsureSurface(Window& window) {
  if (window.surface) return true;
  EGLConfig config;
  if (Display() == EGL_NO_DISPLAY || !ChooseConfig(window.pixelRequest, config)) return false;
  // The host may render at another size than the program asked for.
  int width = Host().surfaceWidth > 0 ? Host().surfaceWidth : window.clientWidth;
  int height = Host().surfaceHeight > 0 ? Host().surfaceHeight : window.clientHeight;
  width = width > 0 ? width : 1;
  height = height > 0 ? height : 1;
  const EGLint attributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
  EGLSurface pbuffer = eglCreatePbufferSurface(Display(), config, attributes);
  if (pbuffer == EGL_NO_SURFACE) {
    std::fprintf(stderr, "platform: no %dx%d surface (EGL error 0x%x)\n", width, height, eglGetError());
    return false;
  }
  window.surface = g_surfaces.Add(Surface{pbuffer, config, width, height});
  return true;
}

void DropSurface(Window& window) {
  if (window.surface) FreeSurface(window);
}

void ShowSurface(Window&, bool) {}

void RaiseSurface(Window&) {}

void OnWindowDestroyed(Window&) {
  for (const auto& gone : AllWindows()) {
    if (!gone->alive && gone->surface && !SurfaceInUse(*gone)) FreeSurface(*gone);
  }
}

bool SwapSurface(Window& window) {
  bool drawing = CurrentWindow() == &window;
  if (Host().swapHook && drawing) {
    host::FrameInfo frame = {Host().swapCount, window.surface->width, window.surface->height};
    Host().swapHook(frame);
  }
  // Nothing paces a pbuffer's swaps: without a wait here the software
  // rasteriser queues frame after frame, gigabytes deep.
  if (drawing) glFinish();
  eglSwapBuffers(Display(), window.surface->pbuffer);
  ++Host().swapCount;
  return true;
}

Context* CreateContext(Window& window) {
  EGLContext context = eglCreateContext(Display(), window.surface->config, EGL_NO_CONTEXT, nullptr);
  if (context == EGL_NO_CONTEXT) {
    std::fprintf(stderr, "platform: no GL context (EGL error 0x%x)\n", eglGetError());
    return nullptr;
  }
  ++Host().contexts.created;
  return new Context{context};
}

bool MakeCurrent(Window& window, Context& context) {
  if (!eglMakeCurrent(Display(), window.surface->pbuffer, window.surface->pbuffer, context.context)) {
    std::fprintf(stderr, "platform: make current (EGL error 0x%x)\n", eglGetError());
    return false;
  }
  ++Host().contexts.madeCurrent;
  return true;
}

void ReleaseCurrent() {
  eglMakeCurrent(Display(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  ++Host().contexts.releasedCurrent;
}

void DeleteContext(Context& context) {
  eglDestroyContext(Display(), context.context);
  delete &context;
  ++Host().contexts.deleted;
}

void OnContextLeaving() {
  if (Host().contextReleaseHook) Host().contextReleaseHook();
}

void* ProcAddress(const char* name) {
  if (Host().hiddenProcs.count(name)) return nullptr;
  return reinterpret_cast<void*>(eglGetProcAddress(name));
}

}  // namespace backend
}  // namespace sgwin

namespace host {

void ReadBackBuffer(std::vector<unsigned char>& pixels, int& width, int& height, bool withAlpha) {
  pixels.clear();
  width = height = 0;
  sgwin::Window* window = sgwin::CurrentWindow();
  if (!window || !window->surface) return;
  width = window->surface->width;
  height = window->surface->height;
  GLint packAlignment = 4, readBuffer = GL_BACK;
  GLboolean doubleBuffered = GL_FALSE;
  glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
  glGetIntegerv(GL_READ_BUFFER, &readBuffer);
  glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
  pixels.resize(static_cast<size_t>(width) * height * (withAlpha ? 4 : 3));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  // Pbuffers have a single buffer, which is the one drawn to.
  glReadBuffer(doubleBuffered ? GL_BACK : GL_FRONT);
  glReadPixels(0, 0, width, height, withAlpha ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  glReadBuffer(static_cast<GLenum>(readBuffer));
  glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
}

}  // namespace host
