// GL contexts on SDL's.
#include <string>

#include "common/backend.h"
#include "sdl/sdl_video.h"

namespace sgwin {
namespace backend {

struct Context {
  SDL_GLContext context;
};

// SDL makes a new context current; WGL leaves the current one alone.
Context* CreateContext(Window& window) {
  SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
  SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
  video::ApplyGLAttributes(window.pixelRequest);
  SDL_GLContext context = SDL_GL_CreateContext(window.surface->window);
  if (!context) SDL_Log("platform: GL context: %s", SDL_GetError());
  SDL_GL_MakeCurrent(previousContext ? previousWindow : nullptr, previousContext);
  return context ? new Context{context} : nullptr;
}

bool MakeCurrent(Window& window, Context& context) {
  if (SDL_GL_MakeCurrent(window.surface->window, context.context) != 0) {
    SDL_Log("platform: make current: %s", SDL_GetError());
    return false;
  }
  return true;
}

void ReleaseCurrent() { SDL_GL_MakeCurrent(nullptr, nullptr); }

void DeleteContext(Context& context) {
  SDL_GL_DeleteContext(context.context);
  delete &context;
}

void OnContextLeaving() {}

void* ProcAddress(const char* name) { return SDL_GL_GetProcAddress(name); }

}  // namespace backend
}  // namespace sgwin
