// WGL on SDL's GL contexts, and the host's read-back of the back buffer.
#include <SDL.h>

#include <cstring>
#include <deque>
#include <string>

#include "common/handles.h"
#include "headless/host_state.h"
#include "opengl.h"
#include "sdl/sdl_video.h"

namespace sgwin {
namespace video {

namespace {

struct GLContextRecord {
  SDL_GLContext context;
  Window* window;  // the window it was made for; its surface stays while the context lives
  bool alive;
  bool cleared;  // its surface has been cleared once
};

std::deque<GLContextRecord> g_contexts;  // a deque: records never move
GLContextRecord* g_current = nullptr;
Window* g_currentWindow = nullptr;

GLContextRecord* LookUpContext(HGLRC handle) {
  size_t index = HandleIndex(HandleKind::GLContext, handle);
  if (index >= g_contexts.size() || !g_contexts[index].alive) return nullptr;
  return &g_contexts[index];
}

// SDL makes a new context current; WGL leaves the current one alone.
SDL_GLContext CreateWithoutSwitching(Window& window) {
  SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
  SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
  ApplyGLAttributes(window.pixelRequest);
  SDL_GLContext context = SDL_GL_CreateContext(window.surface);
  if (!context) SDL_Log("platform: GL context: %s", SDL_GetError());
  SDL_GL_MakeCurrent(previousContext ? previousWindow : nullptr, previousContext);
  return context;
}

void RunReleaseHook() {
  if (Host().contextReleaseHook) Host().contextReleaseHook();
}

void ReleaseCurrent() {
  SDL_GL_MakeCurrent(nullptr, nullptr);
  g_current = nullptr;
  g_currentWindow = nullptr;
}

bool HasExtension(const char* name) {
  const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  if (!extensions) return false;
  size_t length = std::strlen(name);
  for (const char* at = std::strstr(extensions, name); at; at = std::strstr(at + 1, name)) {
    bool starts = at == extensions || at[-1] == ' ';
    bool ends = at[length] == ' ' || at[length] == '\0';
    if (starts && ends) return true;
  }
  return false;
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// Entry points of an extension the driver does not list are not offered,
// as on Windows (GL loaders elsewhere hand out stubs for any name).
bool ExtensionListed(const std::string& name) {
  bool multitexture = (StartsWith(name, "glActiveTexture") || StartsWith(name, "glClientActiveTexture") ||
                       StartsWith(name, "glMultiTexCoord")) &&
                      name.size() > 3 && name.compare(name.size() - 3, 3, "ARB") == 0;
  return !multitexture || HasExtension("GL_ARB_multitexture");
}

}  // namespace

bool SurfaceInUse(const Window& window) {
  if (g_currentWindow == &window) return true;
  for (const GLContextRecord& record : g_contexts) {
    if (record.alive && record.window == &window) return true;
  }
  return false;
}

}  // namespace video
}  // namespace sgwin

using sgwin::Host;
using sgwin::Window;
namespace video = sgwin::video;

HGLRC WINAPI wglCreateContext(HDC hdc) {
  if (sgwin::StepFails(host::Step::CreateContext)) return NULL;
  Window* window = sgwin::LookUpWindowByDC(hdc);
  if (!window || !window->alive || !window->pixelFormat || !window->surface) return NULL;
  SDL_GLContext context = video::CreateWithoutSwitching(*window);
  if (!context) return NULL;
  video::g_contexts.push_back({context, window, true, false});
  ++Host().contexts.created;
  return sgwin::MakeHandle<HGLRC>(sgwin::HandleKind::GLContext, video::g_contexts.size() - 1);
}

BOOL WINAPI wglMakeCurrent(HDC hdc, HGLRC hglrc) {
  if (!hglrc) {
    video::RunReleaseHook();
    if (sgwin::StepFails(host::Step::ReleaseCurrent)) return FALSE;
    video::ReleaseCurrent();
    ++Host().contexts.releasedCurrent;
    return TRUE;
  }
  if (sgwin::StepFails(host::Step::MakeCurrent)) return FALSE;
  video::GLContextRecord* record = video::LookUpContext(hglrc);
  Window* window = sgwin::LookUpWindowByDC(hdc);
  if (!record || !window || !window->alive || !window->pixelFormat || !window->surface) return FALSE;
  if (SDL_GL_MakeCurrent(window->surface, record->context) != 0) {
    SDL_Log("platform: make current: %s", SDL_GetError());
    return FALSE;
  }
  // A new surface holds whatever memory it was given; a frame the program
  // swaps without drawing (before the music starts) must show black, the
  // same on every run, not that.
  if (!record->cleared) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    record->cleared = true;
  }
  video::g_current = record;
  video::g_currentWindow = window;
  ++Host().contexts.madeCurrent;
  return TRUE;
}

BOOL WINAPI wglDeleteContext(HGLRC hglrc) {
  video::GLContextRecord* record = video::LookUpContext(hglrc);
  if (!record) return FALSE;
  video::RunReleaseHook();
  if (sgwin::StepFails(host::Step::DeleteContext)) return FALSE;
  if (video::g_current == record) video::ReleaseCurrent();
  SDL_GL_DeleteContext(record->context);
  record->alive = false;
  record->window = nullptr;
  ++Host().contexts.deleted;
  video::CollectSurfaces();
  return TRUE;
}

PROC WINAPI wglGetProcAddress(LPCSTR lpszProc) {
  if (!lpszProc || !video::g_current) return NULL;
  std::string name = lpszProc;
  if (Host().hiddenProcs.count(name) || !video::ExtensionListed(name)) return NULL;
  return reinterpret_cast<PROC>(SDL_GL_GetProcAddress(lpszProc));
}

namespace host {

void ReadBackBuffer(std::vector<unsigned char>& pixels, int& width, int& height, bool withAlpha) {
  pixels.clear();
  width = height = 0;
  if (!video::g_currentWindow || !video::g_currentWindow->surface) return;
  SDL_GL_GetDrawableSize(video::g_currentWindow->surface, &width, &height);
  GLint packAlignment = 4, readBuffer = GL_BACK;
  GLboolean doubleBuffered = GL_FALSE;
  glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
  glGetIntegerv(GL_READ_BUFFER, &readBuffer);
  glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
  pixels.resize(static_cast<size_t>(width) * height * (withAlpha ? 4 : 3));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  // Offscreen surfaces have a single buffer, which is the one drawn to.
  glReadBuffer(doubleBuffered ? GL_BACK : GL_FRONT);
  glReadPixels(0, 0, width, height, withAlpha ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  glReadBuffer(static_cast<GLenum>(readBuffer));
  glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
}

}  // namespace host
