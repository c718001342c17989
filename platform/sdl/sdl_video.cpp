// Starting SDL's video, display modes, the cursor and the clock.
#include "sdl/sdl_video.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/backend.h"

namespace sgwin {
namespace video {

namespace {

bool g_videoStarted = false;
bool g_videoFailed = false;
bool g_modeActive = false;
int g_modeWidth = 0;
int g_modeHeight = 0;

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

bool IsHeadlessDriver(const char* driver) {
  return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

bool DecideHeadless() {
  if (IsSet("SDL_VIDEODRIVER")) return IsHeadlessDriver(std::getenv("SDL_VIDEODRIVER"));
  return !IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY");
}

bool StartDriver(const char* forcedDriver) {
  if (forcedDriver) SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, forcedDriver, SDL_HINT_OVERRIDE);
  return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

// SDL unloads the GL driver with the last GL window; a window destroyed and
// made again (a new pixel format) would reload all of Mesa. One reference
// held for the life of the process keeps it loaded; it also keeps the
// uninstrumented driver in place for ThreadSanitizer, which stops the program
// when a library it was told to ignore is unloaded.
void HoldGLDriver() {
  if (SDL_GL_LoadLibrary(nullptr) != 0) SDL_ClearError();  // no GL here: windows will say so
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

// A desktop a window can be made to cover.
bool DesktopKnown() {
  SDL_DisplayMode mode;
  return EnsureVideo() && SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0;
}

void LeaveFullscreen() {
  g_modeActive = false;
  for (const auto& window : AllWindows()) {
    SDL_Window* sdlWindow = SdlWindowOf(*window);
    if (sdlWindow && (SDL_GetWindowFlags(sdlWindow) & SDL_WINDOW_FULLSCREEN)) SDL_SetWindowFullscreen(sdlWindow, 0);
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
  backend::ApplyCursor(CursorCounter() >= 0);
  return true;
}

bool VideoStarted() { return g_videoStarted; }

bool Headless() {
  if (!g_videoStarted) return DecideHeadless();
  return IsHeadlessDriver(SDL_GetCurrentVideoDriver());
}

bool RealModeSwitch() { return IsSet("STORMGLASS_MODE_SWITCH"); }

void ApplySwapInterval() {
  if (Headless()) return;
  const char* vsync = std::getenv("STORMGLASS_VSYNC");
  int interval = vsync && std::strcmp(vsync, "0") == 0 ? 0 : 1;
  // Drivers without the control keep their own pacing.
  if (SDL_GL_SetSwapInterval(interval) != 0) SDL_Log("platform: swap interval %d: %s", interval, SDL_GetError());
}

bool FullscreenModeActive() { return g_modeActive; }
int FullscreenWidth() { return g_modeWidth; }
int FullscreenHeight() { return g_modeHeight; }

}  // namespace video

namespace backend {

bool Refuses(Call) { return false; }

bool CounterFrequency(int64_t& ticksPerSecond) {
  ticksPerSecond = 1000000000;
  return true;
}

bool CounterTicks(int64_t& ticks) {
  ticks = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
              .count();
  return true;
}

// Any plausible mode where there is a desktop to cover: full screen is a
// window over it, the picture scaled to it. Only a real mode switch needs
// the display to offer the mode.
bool ModeOffered(const DEVMODEA& mode, int width, int height) {
  if (!PlausibleMode(mode, width, height)) return false;
  if (video::Headless()) return true;
  return video::RealModeSwitch() ? video::DisplayOffers(width, height) : video::DesktopKnown();
}

void OnDisplayMode(bool fullscreen, int width, int height) {
  if (!fullscreen) {
    video::LeaveFullscreen();
    return;
  }
  video::g_modeActive = true;
  video::g_modeWidth = width;
  video::g_modeHeight = height;
}

void ApplyCursor(bool visible) {
  if (video::VideoStarted() && !video::Headless()) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

}  // namespace backend
}  // namespace sgwin
