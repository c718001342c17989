// Shared set-up for the platform tests of either back end: a window
// procedure that records what it receives, and a window with a current GL
// context made through the Win32 calls; for the headless back end's tests,
// fresh host state (PlatformTest).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host.h"
#include "opengl.h"

namespace sgtest {

struct ReceivedMessage {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
};

// Every message RecordingProc saw, in order.
std::vector<ReceivedMessage>& Received();
// The messages of one kind RecordingProc saw.
std::vector<ReceivedMessage> ReceivedOf(UINT message);
// Records the message, then hands it to DefWindowProcA.
LRESULT CALLBACK RecordingProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Registers a class with RecordingProc under a name no other test uses.
std::string RegisterRecordingClass();
// A window whose client area is width x height, sized as the program does it.
HWND CreateRecordingWindow(DWORD style, int width, int height);

struct GLWindow {
  HWND hwnd = NULL;
  HDC dc = NULL;
  HGLRC rc = NULL;
};
// A window with the program's pixel format and a current context; false
// (with a test failure) when a step fails.
bool OpenGLWindow(GLWindow& out, int width, int height, DWORD style = WS_POPUP);
// The descriptor the program asks for.
PIXELFORMATDESCRIPTOR ProgramPixelFormat();

class PlatformTest : public ::testing::Test {
 protected:
  void SetUp() override;
};

}  // namespace sgtest
