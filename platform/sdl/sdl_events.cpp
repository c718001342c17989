// Display events into Win32 messages: keys become WM_KEYDOWN / WM_KEYUP with
// virtual-key codes, a close request becomes WM_CLOSE.
#include "common/backend.h"
#include "common/message_queue.h"
#include "sdl/sdl_video.h"

namespace sgwin {
namespace video {

namespace {

struct KeyMapping {
  SDL_Keycode key;
  int virtualKey;
};

const KeyMapping kKeys[] = {
    {SDLK_ESCAPE, VK_ESCAPE},     {SDLK_SPACE, VK_SPACE},        {SDLK_RETURN, VK_RETURN},
    {SDLK_KP_ENTER, VK_RETURN},   {SDLK_TAB, VK_TAB},            {SDLK_BACKSPACE, VK_BACK},
    {SDLK_LEFT, VK_LEFT},         {SDLK_RIGHT, VK_RIGHT},        {SDLK_UP, VK_UP},
    {SDLK_DOWN, VK_DOWN},         {SDLK_HOME, VK_HOME},          {SDLK_END, VK_END},
    {SDLK_PAGEUP, VK_PRIOR},      {SDLK_PAGEDOWN, VK_NEXT},      {SDLK_INSERT, VK_INSERT},
    {SDLK_DELETE, VK_DELETE},     {SDLK_LSHIFT, VK_SHIFT},       {SDLK_RSHIFT, VK_SHIFT},
    {SDLK_LCTRL, VK_CONTROL},     {SDLK_RCTRL, VK_CONTROL},      {SDLK_LALT, VK_MENU},
    {SDLK_RALT, VK_MENU},         {SDLK_PAUSE, VK_PAUSE},        {SDLK_CAPSLOCK, VK_CAPITAL},
    {SDLK_NUMLOCKCLEAR, VK_NUMLOCK}, {SDLK_SCROLLLOCK, VK_SCROLL}, {SDLK_KP_MULTIPLY, VK_MULTIPLY},
    {SDLK_KP_PLUS, VK_ADD},       {SDLK_KP_MINUS, VK_SUBTRACT},  {SDLK_KP_PERIOD, VK_DECIMAL},
    {SDLK_KP_DIVIDE, VK_DIVIDE},  {SDLK_SEMICOLON, VK_OEM_1},    {SDLK_EQUALS, VK_OEM_PLUS},
    {SDLK_COMMA, VK_OEM_COMMA},   {SDLK_MINUS, VK_OEM_MINUS},    {SDLK_PERIOD, VK_OEM_PERIOD},
    {SDLK_SLASH, VK_OEM_2},       {SDLK_BACKQUOTE, VK_OEM_3},    {SDLK_LEFTBRACKET, VK_OEM_4},
    {SDLK_BACKSLASH, VK_OEM_5},   {SDLK_RIGHTBRACKET, VK_OEM_6}, {SDLK_QUOTE, VK_OEM_7},
};

}  // namespace

int VirtualKeyFor(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return VK_NUMPAD0 + 1 + (key - SDLK_KP_1);
  if (key == SDLK_KP_0) return VK_NUMPAD0;
  for (const KeyMapping& mapping : kKeys) {
    if (mapping.key == key) return mapping.virtualKey;
  }
  return 0;
}

namespace {

Window* WindowOfSurface(Uint32 windowId) {
  for (const auto& window : AllWindows()) {
    SDL_Window* sdlWindow = SdlWindowOf(*window);
    if (window->alive && sdlWindow && SDL_GetWindowID(sdlWindow) == windowId) return window.get();
  }
  return nullptr;
}

HWND TargetOf(Uint32 windowId) {
  Window* window = WindowOfSurface(windowId);
  return window ? window->handle : InputWindow();
}

// Key messages carry the repeat count, the scan code and the previous state as on Windows.
LPARAM KeyBits(const SDL_KeyboardEvent& key, bool down) {
  LPARAM bits = 1 | (static_cast<LPARAM>(key.keysym.scancode & 0xFF) << 16);
  if (!down || key.repeat) bits |= LPARAM(1) << 30;
  if (!down) bits |= LPARAM(1) << 31;
  return bits;
}

void PostKey(const SDL_KeyboardEvent& key, bool down) {
  int virtualKey = VirtualKeyFor(key.keysym.sym);
  HWND target = TargetOf(key.windowID);
  if (!virtualKey || !target) return;
  PostInputMessage(target, down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(virtualKey), KeyBits(key, down));
}

void PostClose(HWND target) {
  if (target && !IsMessageWaiting(target, WM_CLOSE)) PostInputMessage(target, WM_CLOSE, 0, 0);
}

// A request to quit the whole program (the last window's close box, a
// signal) closes the input window, unless a close is already on its way:
// SDL reports the last window's close twice, as window event and as quit.
void PostQuitRequest() {
  if (!IsMessageWaiting(NULL, WM_CLOSE)) PostClose(InputWindow());
}

void OnWindowEvent(const SDL_WindowEvent& event) {
  Window* window = WindowOfSurface(event.windowID);
  if (!window) return;
  switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
      PostClose(window->handle);
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      SetForegroundHandle(window->handle);
      break;
    default:
      break;
  }
}

}  // namespace

void Translate(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
      PostKey(event.key, true);
      break;
    case SDL_KEYUP:
      PostKey(event.key, false);
      break;
    case SDL_WINDOWEVENT:
      OnWindowEvent(event.window);
      break;
    case SDL_QUIT:
      PostQuitRequest();
      break;
    default:
      break;
  }
}

}  // namespace video

namespace backend {

void PumpEvents() {
  if (!video::VideoStarted()) return;
  SDL_Event event;
  while (SDL_PollEvent(&event)) video::Translate(event);
}

}  // namespace backend
}  // namespace sgwin
