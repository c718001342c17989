// The application shell: settings and run state, the demo window with its
// OpenGL context, the setup dialog and the window procedure. Main thread
// only, except g_frameTime, which the audio thread may also store.
#pragma once

#include "app/atomic_float.h"
#include "opengl.h"
#include "sequence/show_course.h"  // the playback keys, kSeekKeys

// Settings and run state.
extern int g_width;
extern int g_height;
extern int g_bits;
extern int g_fullscreen;
extern int g_running;
// The frame timer's total as of this frame, in seconds: the scenes' clock.
extern AtomicFloat g_frameTime;
// The message the main loop retrieved last.
extern MSG g_msg;

// Exit code of a run that ended on a start-up failure (window creation,
// soundtrack, multitexture support); a normal end returns 0.
constexpr int kStartupFailureExitCode = 1;

// The window and its OpenGL context.
extern HINSTANCE g_hInstance;
extern HWND g_hWnd;
extern HDC g_hDC;
extern HGLRC g_hGLRC;
extern PIXELFORMATDESCRIPTOR g_pixelFormat;

bool CreateDemoWindow(const char* title, int width, int height, int bits, int fullscreen);
void ReleaseDemoWindow();

LRESULT CALLBACK DemoWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SetupDialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Dialog template and control ids of the setup dialog.
constexpr int kSetupDialogId = 149;
constexpr int kSetupGoId = 1;
constexpr int kSetupExitId = 2;
constexpr int kSetupRadio1080p = 1006;
constexpr int kSetupRadio1920x1080 = 1007;
constexpr int kSetupFullscreenBox = 1012;
constexpr int kSetupFullscreenSureBox = 1014;
