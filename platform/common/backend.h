// The one seam between the portable Win32/WGL code (common/) and a back end:
// every function below is defined once by the back end an executable links
// (sdl/ for real windows, headless/ for tests and capture). The portable code
// keeps the Win32 records and rules; a back end puts them on a display, or
// on none. Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/calls.h"
#include "win32.h"

namespace sgwin {

struct Window;
class DialogChooser;

namespace backend {

using Call = FallibleCall;
bool Refuses(Call call);

// ---- Input and time ----
// Moves pending input (keys, close requests) into the message queue.
void PumpEvents();
// The performance counter: its rate and its reading; false when it fails.
bool CounterFrequency(int64_t& ticksPerSecond);
bool CounterTicks(int64_t& ticks);

// ---- Display ----
// Whether ChangeDisplaySettingsA may set this full-screen mode.
bool ModeOffered(const DEVMODEA& mode, int width, int height);
// A full-screen mode was set (or, with false, the desktop mode restored).
void OnDisplayMode(bool fullscreen, int width, int height);
void ApplyCursor(bool visible);

// ---- Window surfaces: what a window shows; Window::surface is the back
// end's own ----
// Made on first need with the window's pixel format; false when it cannot be.
bool EnsureSurface(Window& window);
// The pixel format changed: a surface made before it goes.
void DropSurface(Window& window);
void ShowSurface(Window& window, bool show);
void RaiseSurface(Window& window);
// The window is gone for the program: hide its surface, free it once no GL
// context needs it any more.
void OnWindowDestroyed(Window& window);
// Shows the drawn frame of the window's surface.
bool SwapSurface(Window& window);

// ---- GL contexts ----
struct Context;
// A context for the window's surface, without making it current; null on failure.
Context* CreateContext(Window& window);
bool MakeCurrent(Window& window, Context& context);
void ReleaseCurrent();
void DeleteContext(Context& context);
// A context is about to stop being current or go (before either may fail).
void OnContextLeaving();
// The driver's entry point; null where there is none (or the back end hides it).
void* ProcAddress(const char* name);

// ---- Boxes and dialogs ----
struct BoxButton {
  int id;
  std::string text;
  bool onEnter;
  bool onEscape;
};
// Puts up a modal box: true with the pressed button's id (-1 when the box was
// closed); false when no box could be shown.
bool ShowMessageBox(const std::string& caption, const std::string& text, UINT type,
                    const std::vector<BoxButton>& buttons, int& pressed);
// Who answers the next modal dialog: a person, a script; null when nobody can.
std::unique_ptr<DialogChooser> NewDialogChooser();

}  // namespace backend

// ---- What the portable code tells a back end ----
// True while a live GL context was made for this window or is current on it.
bool SurfaceInUse(const Window& window);
// The window whose surface the current context draws to; null when none.
Window* CurrentWindow();
// ShowCursor's counter (>= 0: visible).
int CursorCounter();
// A mode of a size above zero and of 16, 24 or 32 bits (or no bits given).
bool PlausibleMode(const DEVMODEA& mode, int width, int height);

}  // namespace sgwin
