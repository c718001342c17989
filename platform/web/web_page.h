// The page the program runs in: its canvas (the window), the keys and the
// page's closing, the Fullscreen API, the cursor, and the yield to the
// browser that every swap makes. JavaScript lives in web_page.cpp; main
// thread only.
#pragma once

#include <string>
#include <vector>

#include <cstdint>

namespace sgweb {

struct PageEvent {
  enum class Kind { None, KeyDown, KeyUp, Close, MouseDown, MouseUp, MouseMove };
  Kind kind = Kind::None;
  int a = 0;  // keys: the virtual-key code; mouse: x in dialog pixels
  int b = 0;  // keys: 1 with Shift held; mouse: y
};

// Listens to the page once; safe to call again.
void StartPage();
// The oldest event not yet taken; Kind::None when there is none.
PageEvent TakeEvent();

// A button of the touch strip and the key it types.
struct TouchButton {
  std::string label;
  int key = 0;  // virtual-key code
};

// On a touch screen, a strip of these buttons over the show while it plays:
// a tap on the show brings it up or puts it away, and it goes by itself a
// while after the last touch. Each button types its key as the keyboard
// does, so the program sees nothing new. Once, before the program starts.
void OfferTouchControls(const std::vector<TouchButton>& buttons);

void SetCanvasSize(int width, int height);
void ShowCanvas(bool show);
void ShowCursor(bool visible);
// Full screen for the whole page, so the touch strip stays over the canvas:
// granted while the user's last click, tap or key still counts as a gesture
// (the dialog's GO!), refused quietly otherwise.
void RequestFullscreen(bool fullscreen);

// Gives the browser its turn: until the next animation frame, or only
// until queued work has run (as fast as possible, for deterministic runs).
void YieldToBrowser(bool untilNextFrame);

// Milliseconds since the page started, sub-millisecond (performance.now()).
double NowMilliseconds();

// The query string's value for a name, whole: ?lockstep=... etc. False when
// the name is absent.
bool QueryValue(const char* name, std::string& value);

// Tells the page the program ended with this code (it shows so).
void ReportExit(int code);

}  // namespace sgweb
