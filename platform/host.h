// Hooks for deterministic runs of the real program, kept in platform/host/
// and taken by the headless back end (platform/headless/), which tests and
// the capture tool link, and by the page's; the program never includes this
// header. Set them from the main thread before
// calling WinMain (the clock may also be moved from a swap hook).
// host::Reset() restores every default.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/calls.h"
#include "win32.h"

namespace host {

void Reset();
// The run is driven by these hooks, not by a viewer. The headless back end
// has no viewer anyway; the page's sets its viewer's input and screen aside.
void SetScriptedRun(bool scripted);

// ---- Display and surface ----
// The GL surface's size, whatever size the program asks its window to be.
// 0 x 0 (the default) keeps the requested client size.
void SetSurfaceSize(int width, int height);
// Surfaces get an alpha channel when the program asks for none: the colours
// drawn are the same, and reading them back becomes a plain copy (on Mesa a
// surface without alpha is read through a conversion, some 2.5 ms against
// 0.7 ms at 1920 x 1080).
void AddAlphaForReadBack(bool add);
// Whether ChangeDisplaySettingsA accepts the program's full-screen mode.
// Default: any plausible mode (a size above zero, 16, 24 or 32 bits).
enum class DisplayModes { Default, AcceptAll, RejectAll };
void SetDisplayModes(DisplayModes modes);
// True while a full-screen mode set by ChangeDisplaySettingsA is in force.
bool DisplayModeChanged();
// Visibility of the cursor as ShowCursor's counter tells it (>= 0 visible).
int CursorCounter();

// ---- Clock ----
// Replace the performance counter by a virtual one: QueryPerformanceFrequency
// reports ticksPerSecond and QueryPerformanceCounter the virtual ticks.
void UseVirtualClock(int64_t ticksPerSecond);
void SetVirtualTicks(int64_t ticks);
void AdvanceVirtualTicks(int64_t ticks);
int64_t VirtualTicks();
void FailPerformanceFrequency(bool fail);
void FailPerformanceCounter(bool fail);

// ---- Input ----
// A key press (WM_KEYDOWN with this virtual-key code) for the program's
// window, delivered by the next PeekMessageA that finds the queue empty.
void QueueKey(int virtualKey);
// The window's close box, delivered the same way as WM_CLOSE.
void QueueClose();
// Keys given by name ("Esc", "Space", "F1".."F12", "A".."Z", "0".."9",
// "Enter", "Tab", "Left", ...); returns 0 for a name it does not know.
int VirtualKeyFromName(const std::string& name);

// ---- Frames ----
struct FrameInfo {
  int index;   // 0 for the first SwapBuffers
  int width;   // surface size in pixels
  int height;
};
// Called inside SwapBuffers before the buffers are swapped, with the
// program's context current, so the frame can be read back.
void SetSwapHook(std::function<void(const FrameInfo&)> hook);
// Reads the back buffer as RGB (3 bytes a pixel) or RGBA, rows bottom-up as
// OpenGL gives them. Call from the swap hook (or while the context is current).
void ReadBackBuffer(std::vector<unsigned char>& pixels, int& width, int& height, bool withAlpha = false);
// The cheaper read-back, asynchronous through a ring of pixel buffers:
// QueueRead starts copying the back buffer into buffer `slot` and returns at
// once; MapRead waits for that copy and gives its pixels until UnmapRead. The
// layout is the surface's own (BGRA bytes, rows bottom-up), so the driver
// converts nothing. Call with the context current; FreeReads before it goes.
bool QueueRead(int slot);
const unsigned char* MapRead(int slot, int& width, int& height);
void UnmapRead(int slot);
void FreeReads();
// Whether the driver can make and draw a surface this big (its viewport and
// renderbuffer limits, and a pbuffer of the size tried for real); false with
// the reason.
bool CheckSurfaceSize(int width, int height, std::string& error);
// Called at the start of wglMakeCurrent(NULL, NULL) while the context is
// still current, and at the start of wglDeleteContext.
void SetContextReleaseHook(std::function<void()> hook);
int SwapCount();

// ---- Message boxes ----
struct MessageBoxRecord {
  std::string text;
  std::string caption;
  UINT type;
  int answer;
};
// Answers for the next boxes, in order; once used up, boxes are answered
// OK (or Yes to a Yes/No question) without being shown.
void QueueMessageBoxAnswer(int answer);
// Every box so far; boxes are never shown here, only answered and recorded.
std::vector<MessageBoxRecord> MessageBoxes();

// ---- Setup dialog ----
enum class DialogAnswer {
  Interactive,  // nobody to answer: DialogBoxParamA fails with -1 (the default)
  Fail,         // the same, said on purpose
  Go,           // WM_INITDIALOG, then a click on IDOK
  Exit,         // WM_INITDIALOG, then a click on IDCANCEL
  Clicks,       // WM_INITDIALOG, then a click on each control SetDialogClicks gave
};
void SetDialogAnswer(DialogAnswer answer);
// The controls clicked, in order, for DialogAnswer::Clicks (ids from the
// program's resource table); the dialog fails once they are used up.
void SetDialogClicks(const std::vector<int>& controlIds);

// ---- Failure injection ----
// The step of the platform's own work that fails (RegisterClass ...
// DeleteContext), as the back end names it.
using Step = sgwin::FallibleCall;
void FailStep(Step step, bool fail = true);
// wglGetProcAddress returns null for this name.
void HideProcAddress(const std::string& name);

// ---- Observations ----
struct ContextCounts {
  int created;
  int deleted;
  int madeCurrent;
  int releasedCurrent;
};
ContextCounts Contexts();

}  // namespace host
