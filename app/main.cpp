// Program entry: the setup dialog, the window, content setup, the frame loop
// and shutdown. Everything here runs on the main thread.
#include "app/shell.h"
#include "audio/bass.h"
#include "sequence/content.h"
#include "sequence/frame_timer.h"
#include "sequence/timeline.h"

int g_width = 1920;
int g_height = 1080;
int g_bits = 32;
int g_fullscreen = 1;
int g_running = 1;
AtomicFloat g_frameTime = 0.0f;
MSG g_msg;

namespace {

void DrawOneFrame() {
  g_frameTime = static_cast<float>(UpdateFrameTimer());
  DrawFrame();
  SwapBuffers(g_hDC);
}

// Handles at most one message per iteration and draws only when the queue
// is empty; never blocks.
void RunMainLoop() {
  while (g_running) {
    if (PeekMessageA(&g_msg, NULL, 0, 0, PM_REMOVE)) {
      if (g_msg.message == WM_QUIT) {
        g_running = 0;
      } else {
        TranslateMessage(&g_msg);
        DispatchMessageA(&g_msg);
      }
    } else {
      DrawOneFrame();
    }
  }
}

void Shutdown() {
  BASS_Stop();
  BASS_Free();
  FreeContent();
  ReleaseDemoWindow();
}

// A retrieved quit message carries the exit code of a failed start; every
// other end (Esc, close, the end of the show) is a normal one.
int ExitCode() {
  return g_msg.message == WM_QUIT ? static_cast<int>(g_msg.wParam) : 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
  DialogBoxParamA(hInstance, MAKEINTRESOURCEA(kSetupDialogId), NULL, SetupDialogProc, 0);
  if (!CreateDemoWindow("TVK", g_width, g_height, g_bits, g_fullscreen)) {
    return kStartupFailureExitCode;
  }
  InitContent();
  g_frameTime = 0.0f;
  RunMainLoop();
  Shutdown();
  return ExitCode();
}
