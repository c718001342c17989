// Starting SDL's video, display modes and the cursor.
#include "sdl/sdl_video.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "headless/host_state.h"

namespace sgwin {
namespace video {

namespace {

bool g_videoStarted = false;
bool g_videoFailed = false;
bool g_modeActive = false;
int g_modeWidth = 0;
int g_modeHeight = 0;
int g_cursorCounter = 0;  // Windows starts at 0 where a mouse is installed

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

bool IsHeadlessDriver(const char* driver) {
  return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

bool DecideHeadless() {
  if (Host().forceHeadless) return true;
  if (IsSet("SDL_VIDEODRIVER")) return IsHeadlessDriver(std::getenv("SDL_VIDEODRIVER"));
  return !IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY");
}

bool StartDriver(const char* forcedDriver) {
  if (forcedDriver) SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, forcedDriver, SDL_HINT_OVERRIDE);
  return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

// SDL unloads the GL driver with the last GL window; a window destroyed and
// made again (a new pixel format, the next test) would reload all of Mesa.
// One reference held for the life of the process keeps it loaded; it also
// keeps the uninstrumented driver in place for ThreadSanitizer, which stops
// the program when a library it was told to ignore is unloaded.
void HoldGLDriver() {
  if (SDL_GL_LoadLibrary(nullptr) != 0) SDL_ClearError();  // no GL here: windows will say so
}

void ApplyCursor() {
  if (g_videoStarted && !Headless()) SDL_ShowCursor(g_cursorCounter >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

bool BitsOffered(const DEVMODEA& mode) {
  if (!(mode.dmFields & DM_BITSPERPEL)) return true;
  DWORD bits = mode.dmBitsPerPel;
  return bits == 16 || bits == 24 || bits == 32;
}

bool DisplayOffers(int width, int height) {
  if (!EnsureVideo()) return false;
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w == width && mode.h == height) return true;
  int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count; ++i) {
    if (SDL_GetDisplayMode(0, i, &mode) == 0 && mode.w == width && mode.h == height) return true;
  }
  return false;
}

bool ModeOffered(const DEVMODEA& mode, int width, int height) {
  switch (Host().displayModes) {
    case host::DisplayModes::AcceptAll:
      return true;
    case host::DisplayModes::RejectAll:
      return false;
    case host::DisplayModes::Default:
      break;
  }
  if (width <= 0 || height <= 0 || !BitsOffered(mode)) return false;
  return Headless() || DisplayOffers(width, height);
}

void LeaveFullscreen() {
  g_modeActive = false;
  for (const auto& window : AllWindows()) {
    if (window->surface && (SDL_GetWindowFlags(window->surface) & SDL_WINDOW_FULLSCREEN)) {
      SDL_SetWindowFullscreen(window->surface, 0);
    }
  }
}

}  // namespace

bool EnsureVideo() {
  if (g_videoStarted) return true;
  if (g_videoFailed) return false;
  bool headless = DecideHeadless();
  // A display that cannot be opened leaves the offscreen driver.
  g_videoStarted = StartDriver(headless ? "offscreen" : nullptr) || (!headless && StartDriver("offscreen"));
  if (!g_videoStarted) {
    std::fprintf(stderr, "platform: no video driver could start: %s\n", SDL_GetError());
    g_videoFailed = true;
    return false;
  }
  HoldGLDriver();
  ApplyCursor();
  return true;
}

bool VideoStarted() { return g_videoStarted; }

bool Headless() {
  if (!g_videoStarted) return DecideHeadless();
  return IsHeadlessDriver(SDL_GetCurrentVideoDriver());
}

bool FullscreenModeActive() { return g_modeActive; }
int FullscreenWidth() { return g_modeWidth; }
int FullscreenHeight() { return g_modeHeight; }

}  // namespace video
}  // namespace sgwin

LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* lpDevMode, DWORD) {
  using namespace sgwin::video;
  if (!lpDevMode) {
    LeaveFullscreen();
    return DISP_CHANGE_SUCCESSFUL;
  }
  int width = (lpDevMode->dmFields & DM_PELSWIDTH) ? static_cast<int>(lpDevMode->dmPelsWidth) : 0;
  int height = (lpDevMode->dmFields & DM_PELSHEIGHT) ? static_cast<int>(lpDevMode->dmPelsHeight) : 0;
  if (!ModeOffered(*lpDevMode, width, height)) return DISP_CHANGE_BADMODE;
  g_modeActive = true;
  g_modeWidth = width;
  g_modeHeight = height;
  return DISP_CHANGE_SUCCESSFUL;
}

int WINAPI ShowCursor(BOOL bShow) {
  using namespace sgwin::video;
  g_cursorCounter += bShow ? 1 : -1;
  ApplyCursor();
  return g_cursorCounter;
}

namespace host {

bool IsHeadless() { return sgwin::video::Headless(); }

bool DisplayModeChanged() { return sgwin::video::FullscreenModeActive(); }

int CursorCounter() { return sgwin::video::g_cursorCounter; }

}  // namespace host
