// The demo window: display mode, window class, window, pixel format and the
// OpenGL context, and their release.
#include <cstring>

#include "app/shell.h"

HINSTANCE g_hInstance = NULL;
HWND g_hWnd = NULL;
HDC g_hDC = NULL;
HGLRC g_hGLRC = NULL;
PIXELFORMATDESCRIPTOR g_pixelFormat;

namespace {

bool g_pixelFormatFilled = false;

void ShowError(const char* text) {
  MessageBoxA(NULL, text, "ERROR", MB_OK | MB_ICONEXCLAMATION);
}

// From window creation on, a failure first undoes what was done.
bool FailAfterWindow(const char* text) {
  ReleaseDemoWindow();
  ShowError(text);
  return false;
}

bool RegisterDemoClass() {
  WNDCLASSA wc;
  std::memset(&wc, 0, sizeof(wc));
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  wc.lpfnWndProc = DemoWindowProc;
  wc.hInstance = g_hInstance;
  wc.hIcon = LoadIconA(NULL, IDI_WINLOGO);
  wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
  wc.lpszClassName = "OpenGL";
  return RegisterClassA(&wc) != 0;
}

// Switches to the full-screen mode; when the display refuses it, the user
// may go on in a window. Returns false when the user chose to quit.
bool EnterFullscreenOrWindowed(int width, int height, int bits) {
  DEVMODEA mode;
  std::memset(&mode, 0, sizeof(mode));
  mode.dmSize = sizeof(mode);
  mode.dmPelsWidth = width;
  mode.dmPelsHeight = height;
  mode.dmBitsPerPel = bits;
  mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
  if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL) {
    return true;
  }
  if (MessageBoxA(NULL,
                  "Damn the requested fullscreen mode is not supported by\n"
                  "your video card. Use windowed mode perhaps ?",
                  "Vexa GL", MB_YESNO | MB_ICONEXCLAMATION) == IDYES) {
    g_fullscreen = FALSE;
    return true;
  }
  MessageBoxA(NULL, "Program Will Now Close.", "ERROR", MB_OK | MB_ICONSTOP);
  return false;
}

void FillPixelFormatOnce(int bits) {
  if (g_pixelFormatFilled) {
    return;
  }
  std::memset(&g_pixelFormat, 0, sizeof(g_pixelFormat));
  g_pixelFormat.nSize = sizeof(PIXELFORMATDESCRIPTOR);
  g_pixelFormat.nVersion = 1;
  g_pixelFormat.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  g_pixelFormat.iPixelType = PFD_TYPE_RGBA;
  g_pixelFormat.cColorBits = static_cast<BYTE>(bits);
  g_pixelFormat.cDepthBits = 16;
  g_pixelFormat.iLayerType = PFD_MAIN_PLANE;
  g_pixelFormatFilled = true;
}

bool CreateGLContext(int bits) {
  FillPixelFormatOnce(bits);
  if (!(g_hDC = GetDC(g_hWnd))) {
    return FailAfterWindow("Can't create a GL device context, wtf !");
  }
  int format = ChoosePixelFormat(g_hDC, &g_pixelFormat);
  if (!format) {
    return FailAfterWindow("Can't find a suitable PixelFormat, wtf !");
  }
  if (!SetPixelFormat(g_hDC, format, &g_pixelFormat)) {
    return FailAfterWindow("Damn, can't set the PixelFormat.");
  }
  if (!(g_hGLRC = wglCreateContext(g_hDC))) {
    return FailAfterWindow("Can't create a GL rendering context.");
  }
  if (!wglMakeCurrent(g_hDC, g_hGLRC)) {
    return FailAfterWindow("Can't activate the GL rendering context.");
  }
  return true;
}

}  // namespace

bool CreateDemoWindow(const char* title, int width, int height, int bits, int fullscreen) {
  g_fullscreen = fullscreen;
  RECT rect = {0, 0, width, height};
  g_hInstance = GetModuleHandleA(NULL);
  if (!RegisterDemoClass()) {
    ShowError("Failed To Register The Window Class.");
    return false;
  }
  if (g_fullscreen && !EnterFullscreenOrWindowed(width, height, bits)) {
    return false;
  }
  DWORD exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
  DWORD style = WS_OVERLAPPEDWINDOW;
  if (g_fullscreen) {
    exStyle = WS_EX_APPWINDOW;
    style = WS_POPUP;
    ShowCursor(FALSE);
  }
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  g_hWnd = CreateWindowExA(exStyle, "OpenGL", title, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                           rect.right - rect.left, rect.bottom - rect.top, NULL, NULL, g_hInstance, NULL);
  if (!g_hWnd) {
    return FailAfterWindow("Window creation error.");
  }
  if (!CreateGLContext(bits)) {
    return false;
  }
  ShowWindow(g_hWnd, SW_SHOW);
  SetForegroundWindow(g_hWnd);
  SetFocus(g_hWnd);
  return true;
}

// Restores the display mode and releases the context; reports its own
// failures and goes on. The window itself goes with WM_CLOSE or the process.
void ReleaseDemoWindow() {
  if (g_fullscreen) {
    ChangeDisplaySettingsA(NULL, 0);
    ShowCursor(TRUE);
  }
  if (g_hGLRC) {
    if (!wglMakeCurrent(NULL, NULL)) {
      MessageBoxA(NULL, "DC and RC release failed.", "SHUTDOWN ERROR", MB_OK | MB_ICONINFORMATION);
    }
    if (!wglDeleteContext(g_hGLRC)) {
      MessageBoxA(NULL, "Rendering Context release failed.", "SHUTDOWN ERROR", MB_OK | MB_ICONINFORMATION);
    }
    g_hGLRC = NULL;
  }
}
