// OpenGL without a display, through EGL: each window's surface is a pbuffer of
// the host's size (or the window's), each context a desktop-GL context on the
// surfaceless platform (Mesa's, or a GPU's driver where a machine has one).
// The swap hands the frame to the host before it is shown; the host reads it
// back at once, or through a ring of pixel buffers a frame later.
#define GL_GLEXT_PROTOTYPES 1
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/backend.h"
#include "common/surface_store.h"
#include "common/window_table.h"
#include "host/host_state.h"
#include "opengl.h"
#include <GL/glext.h>

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
// and stencil at least those asked for. A host that reads frames back may
// ask for an alpha channel the program did not: the colours drawn are the
// same, and Mesa reads a surface without one through a slow conversion.
bool ChooseConfig(PixelFormatRequest request, EGLConfig& chosen) {
  if (request.alphaBits == 0 && Host().alphaForReadBack) request.alphaBits = 8;
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
  int width = 0, height = 0;
  HostSurfaceSize(window, width, height);
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
  NoteSwap(window, window.surface->width, window.surface->height);
  // Nothing paces a pbuffer's swaps: without a wait here the software
  // rasteriser queues frame after frame, gigabytes deep.
  if (CurrentWindow() == &window) glFinish();
  eglSwapBuffers(Display(), window.surface->pbuffer);
  return true;
}

Context* CreateContext(Window& window) {
  EGLContext context = eglCreateContext(Display(), window.surface->config, EGL_NO_CONTEXT, nullptr);
  if (context == EGL_NO_CONTEXT) {
    std::fprintf(stderr, "platform: no GL context (EGL error 0x%x)\n", eglGetError());
    return nullptr;
  }
  NoteContext(ContextEvent::Created);
  return new Context{context};
}

bool MakeCurrent(Window& window, Context& context) {
  if (!eglMakeCurrent(Display(), window.surface->pbuffer, window.surface->pbuffer, context.context)) {
    std::fprintf(stderr, "platform: make current (EGL error 0x%x)\n", eglGetError());
    return false;
  }
  NoteContext(ContextEvent::MadeCurrent);
  return true;
}

void ReleaseCurrent() {
  eglMakeCurrent(Display(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  NoteContext(ContextEvent::ReleasedCurrent);
}

void DeleteContext(Context& context) {
  eglDestroyContext(Display(), context.context);
  delete &context;
  NoteContext(ContextEvent::Deleted);
}

void OnContextLeaving() { NoteContextLeaving(); }

void* ProcAddress(const char* name) {
  if (ProcHidden(name)) return nullptr;
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

namespace host {

namespace {

// One pixel buffer of the read-back ring, and the frame size it was read at.
struct PendingRead {
  GLuint buffer = 0;
  size_t bytes = 0;
  int width = 0;
  int height = 0;
};

std::vector<PendingRead> g_reads;

GLenum DrawnBuffer() {
  GLboolean doubleBuffered = GL_FALSE;
  glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
  // Pbuffers have a single buffer, which is the one drawn to.
  return doubleBuffered ? GL_BACK : GL_FRONT;
}

}  // namespace

bool QueueRead(int slot) {
  sgwin::Window* window = sgwin::CurrentWindow();
  if (!window || !window->surface || slot < 0) return false;
  if (g_reads.size() <= static_cast<size_t>(slot)) g_reads.resize(static_cast<size_t>(slot) + 1);
  PendingRead& read = g_reads[static_cast<size_t>(slot)];
  read.width = window->surface->width;
  read.height = window->surface->height;
  size_t bytes = static_cast<size_t>(read.width) * read.height * 4;
  if (read.buffer == 0) glGenBuffers(1, &read.buffer);
  glBindBuffer(GL_PIXEL_PACK_BUFFER, read.buffer);
  if (read.bytes != bytes) {
    glBufferData(GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(bytes), nullptr, GL_STREAM_READ);
    read.bytes = bytes;
  }
  GLint readBuffer = GL_BACK;
  glGetIntegerv(GL_READ_BUFFER, &readBuffer);
  glReadBuffer(DrawnBuffer());
  glReadPixels(0, 0, read.width, read.height, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
  glReadBuffer(static_cast<GLenum>(readBuffer));
  glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  return glGetError() == GL_NO_ERROR;
}

const unsigned char* MapRead(int slot, int& width, int& height) {
  width = height = 0;
  if (slot < 0 || static_cast<size_t>(slot) >= g_reads.size() || g_reads[static_cast<size_t>(slot)].buffer == 0) {
    return nullptr;
  }
  PendingRead& read = g_reads[static_cast<size_t>(slot)];
  glBindBuffer(GL_PIXEL_PACK_BUFFER, read.buffer);
  void* pixels = glMapBufferRange(GL_PIXEL_PACK_BUFFER, 0, static_cast<GLsizeiptr>(read.bytes), GL_MAP_READ_BIT);
  glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  if (!pixels) return nullptr;
  width = read.width;
  height = read.height;
  return static_cast<const unsigned char*>(pixels);
}

void UnmapRead(int slot) {
  if (slot < 0 || static_cast<size_t>(slot) >= g_reads.size()) return;
  glBindBuffer(GL_PIXEL_PACK_BUFFER, g_reads[static_cast<size_t>(slot)].buffer);
  glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
  glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
}

void FreeReads() {
  for (PendingRead& read : g_reads) {
    if (read.buffer != 0 && sgwin::CurrentWindow()) glDeleteBuffers(1, &read.buffer);
  }
  g_reads.clear();
}

namespace {

// A throwaway pbuffer and context, made straight through EGL so the
// program's context counts are not touched. False with the reason.
bool TrySurface(EGLDisplay display, EGLConfig config, int width, int height, GLint limits[3], std::string& error) {
  const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
  EGLSurface surface = eglCreatePbufferSurface(display, config, size);
  EGLContext context = surface == EGL_NO_SURFACE ? EGL_NO_CONTEXT
                                                 : eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
  bool ok = context != EGL_NO_CONTEXT && eglMakeCurrent(display, surface, surface, context);
  char reason[128];
  std::snprintf(reason, sizeof(reason), "the driver cannot make a %dx%d surface (EGL error 0x%x)", width, height,
                eglGetError());
  if (ok) {
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, limits);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, limits + 2);
  } else {
    error = reason;
  }
  eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  if (context != EGL_NO_CONTEXT) eglDestroyContext(display, context);
  if (surface != EGL_NO_SURFACE) eglDestroySurface(display, surface);
  return ok;
}

}  // namespace

// The limits are asked with a small surface first, so a size past them is
// never allocated; then the size itself is tried, since a driver may refuse
// a pbuffer its GL limits allow (and Mesa allows pbuffers past the
// EGL_MAX_PBUFFER_WIDTH it reports, so that figure decides nothing).
bool CheckSurfaceSize(int width, int height, std::string& error) {
  EGLDisplay display = sgwin::Display();
  const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                           EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_NONE};
  EGLConfig config;
  EGLint count = 0;
  if (display == EGL_NO_DISPLAY || !eglChooseConfig(display, wanted, &config, 1, &count) || count < 1) {
    error = "no EGL configuration for an OpenGL pbuffer";
    return false;
  }
  GLint limits[3] = {0, 0, 0};  // viewport width and height, renderbuffer size
  if (!TrySurface(display, config, 16, 16, limits, error)) return false;
  int maxWidth = std::min(limits[0], limits[2]), maxHeight = std::min(limits[1], limits[2]);
  if (width > maxWidth || height > maxHeight) {
    error = std::to_string(width) + "x" + std::to_string(height) + " is larger than the " + std::to_string(maxWidth) +
            "x" + std::to_string(maxHeight) + " the driver can draw";
    return false;
  }
  return TrySurface(display, config, width, height, limits, error);
}

}  // namespace host
