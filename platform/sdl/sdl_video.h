// The SDL side of the layer: starting SDL's video (a real display, or the
// offscreen driver when there is none), display modes, window surfaces, GL
// contexts and modal boxes. Main thread only; SDL objects belong to the
// window and context records that made them.
#pragma once

#include <string>
#include <vector>

#include "common/window_table.h"

namespace sgwin {
namespace video {

// Starts SDL's video on first use; false when no driver, not even the
// offscreen one, can start.
bool EnsureVideo();
bool VideoStarted();
// No display to show anything on: decided before SDL starts, then by the
// driver that did.
bool Headless();

// The full-screen mode ChangeDisplaySettingsA put in force, if any.
bool FullscreenModeActive();
int FullscreenWidth();
int FullscreenHeight();

// The window's GL surface, made on first need; null when SDL cannot make it.
SDL_Window* EnsureSurface(Window& window);
// Sets SDL's GL attributes (global in SDL) for a surface or a context.
void ApplyGLAttributes(const PixelFormatRequest& request);
// True while a live GL context was made for this window or is current on it.
bool SurfaceInUse(const Window& window);
// Frees the surfaces of destroyed windows that no context needs any more.
void CollectSurfaces();

// A button of a modal box.
struct BoxButton {
  int id;
  std::string text;
  bool onEnter;
  bool onEscape;
};
// Shows a modal box; true with the pressed button's id (-1 when the box was
// closed), false when no box could be shown.
bool ShowBox(const std::string& caption, const std::string& text, unsigned flags,
             const std::vector<BoxButton>& buttons, int& pressed);

}  // namespace video
}  // namespace sgwin
