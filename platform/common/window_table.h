// Window classes and windows: their records, frame geometry and the calls to
// class procedures. Main thread only. Records live for the whole process; a
// destroyed window keeps its slot, so its handle is never handed out again.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "win32.h"

namespace sgwin {

// What a window shows, as its back end makes it (an SDL window, a pbuffer).
struct Surface;

// What SetPixelFormat asked of the window's GL surface.
struct PixelFormatRequest {
  bool doubleBuffer = true;
  int redBits = 8;
  int greenBits = 8;
  int blueBits = 8;
  int alphaBits = 0;
  int depthBits = 16;
  int stencilBits = 0;
};

struct Window {
  HWND handle = NULL;
  HDC dc = NULL;
  std::string className;
  std::string title;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT windowRect = {0, 0, 0, 0};  // outer frame, screen coordinates
  int clientWidth = 0;
  int clientHeight = 0;
  bool alive = true;
  bool visible = false;
  int pixelFormat = 0;  // 0 until SetPixelFormat
  PixelFormatRequest pixelRequest;
  Surface* surface = nullptr;  // the back end's, made when first needed
};

// Frame added around the client area for a window style.
struct FrameMetrics {
  int border;   // each side
  int caption;  // above the client area
};
FrameMetrics FrameMetricsFor(DWORD style);

// A live window, or null for a destroyed, foreign or null handle.
Window* LookUpWindow(HWND handle);
// The window whose own DC this is, live or destroyed; null when none.
Window* LookUpWindowByDC(HDC dc);
// Every window record ever made, in creation order.
const std::vector<std::unique_ptr<Window>>& AllWindows();

// Where keyboard input goes: the foreground window, else the newest live one.
HWND InputWindow();
// Records the window SetForegroundWindow brought to the front.
void SetForegroundHandle(HWND handle);

}  // namespace sgwin
