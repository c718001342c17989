// GL contexts on SDL's. A context drawing to a window shown at another size
// than its client area draws into a scaled back buffer instead, so the
// program keeps its own picture size whatever the screen.
#include <string>

#include "common/backend.h"
#include "opengl.h"
#include "sdl/scaled_back_buffer.h"
#include "sdl/sdl_video.h"

namespace sgwin {
namespace backend {

struct Context {
  SDL_GLContext context;
  ScaledBackBuffer backBuffer;
  bool everCurrent;
};

}  // namespace backend

namespace {

// The context current on this thread and the window it draws to.
backend::Context* g_current = nullptr;
const Window* g_target = nullptr;

bool ShownAtOtherSize(const Window& window, int& width, int& height) {
  SDL_GL_GetDrawableSize(window.surface->window, &width, &height);
  return width != window.clientWidth || height != window.clientHeight;
}

}  // namespace

namespace video {

void FitBackBuffer(Window& window) {
  int width = 0, height = 0;
  if (!g_current || g_target != &window || g_current->backBuffer.Exists()) return;
  if (!ShownAtOtherSize(window, width, height)) return;
  const PixelFormatRequest& request = window.pixelRequest;
  if (!g_current->backBuffer.Create(window.clientWidth, window.clientHeight, request.alphaBits, request.depthBits,
                                    request.stencilBits)) {
    SDL_Log("platform: no back buffer of %d x %d: the picture is cut to the window", window.clientWidth,
            window.clientHeight);
  }
}

void PresentBackBuffer(Window& window) {
  int width = 0, height = 0;
  if (!g_current || !g_current->backBuffer.Exists() || g_target != &window) return;
  ShownAtOtherSize(window, width, height);
  g_current->backBuffer.PresentTo(width, height);
}

}  // namespace video

namespace backend {

// SDL makes a new context current; WGL leaves the current one alone.
Context* CreateContext(Window& window) {
  SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
  SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
  video::ApplyGLAttributes(window.pixelRequest);
  SDL_GLContext context = SDL_GL_CreateContext(window.surface->window);
  if (!context) SDL_Log("platform: GL context: %s", SDL_GetError());
  SDL_GL_MakeCurrent(previousContext ? previousWindow : nullptr, previousContext);
  return context ? new Context{context, ScaledBackBuffer(), false} : nullptr;
}

bool MakeCurrent(Window& window, Context& context) {
  if (SDL_GL_MakeCurrent(window.surface->window, context.context) != 0) {
    SDL_Log("platform: make current: %s", SDL_GetError());
    return false;
  }
  g_current = &context;
  g_target = &window;
  video::FitBackBuffer(window);
  // A context's first viewport is its drawing surface: the client area.
  if (!context.everCurrent && context.backBuffer.Exists()) glViewport(0, 0, window.clientWidth, window.clientHeight);
  if (!context.everCurrent) video::ApplySwapInterval();
  context.everCurrent = true;
  return true;
}

void ReleaseCurrent() {
  SDL_GL_MakeCurrent(nullptr, nullptr);
  g_current = nullptr;
  g_target = nullptr;
}

void DeleteContext(Context& context) {
  if (g_current == &context) {
    g_current = nullptr;
    g_target = nullptr;
  }
  SDL_GL_DeleteContext(context.context);
  delete &context;
}

void OnContextLeaving() {}

void* ProcAddress(const char* name) { return SDL_GL_GetProcAddress(name); }

}  // namespace backend
}  // namespace sgwin
