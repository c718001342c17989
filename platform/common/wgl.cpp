// WGL: rendering contexts and their records, which window each belongs to,
// the current one, and entry points by name. The contexts themselves are the
// back end's.
#include <cstring>
#include <deque>
#include <string>

#include "common/backend.h"
#include "common/handles.h"
#include "common/window_table.h"
#include "opengl.h"

namespace sgwin {

namespace {

struct ContextRecord {
  backend::Context* context;
  Window* window;  // the window it was made for; its surface stays while the context lives
  bool alive;
  bool cleared;  // its surface has been cleared once
};

std::deque<ContextRecord> g_contexts;  // a deque: records never move
ContextRecord* g_current = nullptr;
Window* g_currentWindow = nullptr;

ContextRecord* LookUpContext(HGLRC handle) {
  size_t index = HandleIndex(HandleKind::GLContext, handle);
  if (index >= g_contexts.size() || !g_contexts[index].alive) return nullptr;
  return &g_contexts[index];
}

void ReleaseCurrent() {
  backend::ReleaseCurrent();
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
  for (const ContextRecord& record : g_contexts) {
    if (record.alive && record.window == &window) return true;
  }
  return false;
}

Window* CurrentWindow() { return g_currentWindow; }

}  // namespace sgwin

using sgwin::Window;
namespace backend = sgwin::backend;

HGLRC WINAPI wglCreateContext(HDC hdc) {
  if (backend::Refuses(backend::Call::CreateContext)) return NULL;
  Window* window = sgwin::LookUpWindowByDC(hdc);
  if (!window || !window->alive || !window->pixelFormat || !window->surface) return NULL;
  backend::Context* context = backend::CreateContext(*window);
  if (!context) return NULL;
  sgwin::g_contexts.push_back({context, window, true, false});
  return sgwin::MakeHandle<HGLRC>(sgwin::HandleKind::GLContext, sgwin::g_contexts.size() - 1);
}

BOOL WINAPI wglMakeCurrent(HDC hdc, HGLRC hglrc) {
  if (!hglrc) {
    backend::OnContextLeaving();
    if (backend::Refuses(backend::Call::ReleaseCurrent)) return FALSE;
    sgwin::ReleaseCurrent();
    return TRUE;
  }
  if (backend::Refuses(backend::Call::MakeCurrent)) return FALSE;
  sgwin::ContextRecord* record = sgwin::LookUpContext(hglrc);
  Window* window = sgwin::LookUpWindowByDC(hdc);
  if (!record || !window || !window->alive || !window->pixelFormat || !window->surface) return FALSE;
  if (!backend::MakeCurrent(*window, *record->context)) return FALSE;
  // A new surface holds whatever memory it was given; a frame the program
  // swaps without drawing (before the music starts) must show black, the
  // same on every run, not that.
  if (!record->cleared) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    record->cleared = true;
  }
  sgwin::g_current = record;
  sgwin::g_currentWindow = window;
  return TRUE;
}

BOOL WINAPI wglDeleteContext(HGLRC hglrc) {
  sgwin::ContextRecord* record = sgwin::LookUpContext(hglrc);
  if (!record) return FALSE;
  backend::OnContextLeaving();
  if (backend::Refuses(backend::Call::DeleteContext)) return FALSE;
  if (sgwin::g_current == record) sgwin::ReleaseCurrent();
  backend::DeleteContext(*record->context);
  record->alive = false;
  Window* window = record->window;
  record->window = nullptr;
  // A destroyed window's surface waited for its last context.
  if (!window->alive && !sgwin::SurfaceInUse(*window)) backend::OnWindowDestroyed(*window);
  return TRUE;
}

PROC WINAPI wglGetProcAddress(LPCSTR lpszProc) {
  if (!lpszProc || !sgwin::g_current || !sgwin::ExtensionListed(lpszProc)) return NULL;
  return reinterpret_cast<PROC>(backend::ProcAddress(lpszProc));
}
