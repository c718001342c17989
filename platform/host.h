// Hooks for deterministic runs of the real program: tests and the capture
// tool use them; the program never includes this header. Set them from the
// main thread before calling WinMain (the clock may also be moved from a swap
// hook). host::Reset() restores every default.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "win32.h"

namespace host {

void Reset();

// ---- Display and surface ----
// The GL surface's size, whatever size the program asks its window to be.
// 0 x 0 (the default) keeps the requested client size.
void SetSurfaceSize(int width, int height);
// Use SDL's offscreen driver even where a display exists. Without a display
// the layer goes headless by itself.
void ForceHeadless(bool headless);
// True once the video layer runs without a display.
bool IsHeadless();
// Whether ChangeDisplaySettingsA accepts the program's full-screen mode.
// Default: headless accepts any mode; with a display it asks the display.
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
// Never show real boxes even where a display exists (tests, capture); an
// Interactive setup dialog then fails as it does headless.
void SuppressMessageBoxes(bool suppress);
std::vector<MessageBoxRecord> MessageBoxes();

// ---- Setup dialog ----
enum class DialogAnswer {
  Interactive,  // show it where a display exists; fail headless (the default)
  Fail,         // DialogBoxParamA fails at once and returns -1
  Go,           // WM_INITDIALOG, then the GO! command
  Exit,         // WM_INITDIALOG, then the EXIT command
  Radio1007Go,  // WM_INITDIALOG, choose "1920 x 1080", then GO!
};
void SetDialogAnswer(DialogAnswer answer);

// ---- Failure injection ----
enum class Step {
  RegisterClass,
  CreateWindow,
  GetDC,
  ChoosePixelFormat,
  SetPixelFormat,
  CreateContext,
  MakeCurrent,
  ReleaseCurrent,  // wglMakeCurrent(NULL, NULL)
  DeleteContext,
};
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
