// The SDL back end's own state: SDL's video (a real display, or the offscreen
// driver when there is none), the full-screen mode in force, and the SDL
// window behind each Win32 window's surface. Main thread only; SDL objects
// belong to the window and context records that made them.
#pragma once

#include <SDL.h>

#include "common/window_table.h"

namespace sgwin {

struct Surface {
  SDL_Window* window;
};

namespace video {

// Starts SDL's video on first use; false when no driver, not even the
// offscreen one, can start.
bool EnsureVideo();
bool VideoStarted();
// No display to show anything on: decided before SDL starts, then by the
// driver that did.
bool Headless();

// Whether full screen changes the display's mode (STORMGLASS_MODE_SWITCH
// set) rather than covering the desktop as it is with one window.
bool RealModeSwitch();
// For the context current on a shown window: a swap waits for the display's
// refresh (no tearing, one frame a refresh) unless STORMGLASS_VSYNC=0.
void ApplySwapInterval();
// The full-screen mode ChangeDisplaySettingsA put in force, if any.
bool FullscreenModeActive();
int FullscreenWidth();
int FullscreenHeight();

// The SDL window of a Win32 window's surface, or null.
SDL_Window* SdlWindowOf(const Window& window);
// The Win32 virtual-key code of a key; 0 for keys Windows programs would not
// see as one.
int VirtualKeyFor(SDL_Keycode key);
// Turns an SDL event into the Win32 messages it stands for, if any.
void Translate(const SDL_Event& event);
// The current context draws to a back buffer of the client area's size
// where the window is shown at another size, from now on.
void FitBackBuffer(Window& window);
// Scales that back buffer, if any, onto the window before a swap.
void PresentBackBuffer(Window& window);
// Sets SDL's GL attributes (global in SDL) for a surface or a context.
void ApplyGLAttributes(const PixelFormatRequest& request);

}  // namespace video
}  // namespace sgwin
