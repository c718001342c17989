#include "platform_fixture.h"

#include <cstdlib>
#include <cstring>

namespace sgtest {

std::vector<ReceivedMessage>& Received() {
  static std::vector<ReceivedMessage> received;
  return received;
}

std::vector<ReceivedMessage> ReceivedOf(UINT message) {
  std::vector<ReceivedMessage> matching;
  for (const ReceivedMessage& received : Received()) {
    if (received.message == message) matching.push_back(received);
  }
  return matching;
}

LRESULT CALLBACK RecordingProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  Received().push_back({hWnd, uMsg, wParam});
  return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

std::string RegisterRecordingClass() {
  static int made = 0;
  std::string name = "RecordingClass" + std::to_string(++made);
  WNDCLASSA wc;
  std::memset(&wc, 0, sizeof(wc));
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  wc.lpfnWndProc = RecordingProc;
  wc.hInstance = GetModuleHandleA(NULL);
  wc.lpszClassName = name.c_str();
  EXPECT_NE(RegisterClassA(&wc), 0);
  return name;
}

HWND CreateRecordingWindow(DWORD style, int width, int height) {
  std::string className = RegisterRecordingClass();
  RECT rect = {0, 0, width, height};
  AdjustWindowRectEx(&rect, style, FALSE, WS_EX_APPWINDOW);
  return CreateWindowExA(WS_EX_APPWINDOW, className.c_str(), "test", style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                         rect.right - rect.left, rect.bottom - rect.top, NULL, NULL, GetModuleHandleA(NULL), NULL);
}

PIXELFORMATDESCRIPTOR ProgramPixelFormat() {
  PIXELFORMATDESCRIPTOR pfd;
  std::memset(&pfd, 0, sizeof(pfd));
  pfd.nSize = sizeof(pfd);
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = 32;
  pfd.cDepthBits = 16;
  pfd.iLayerType = PFD_MAIN_PLANE;
  return pfd;
}

bool OpenGLWindow(GLWindow& out, int width, int height, DWORD style) {
  out.hwnd = CreateRecordingWindow(style, width, height);
  EXPECT_NE(out.hwnd, nullptr);
  if (!out.hwnd) return false;
  out.dc = GetDC(out.hwnd);
  PIXELFORMATDESCRIPTOR pfd = ProgramPixelFormat();
  int format = ChoosePixelFormat(out.dc, &pfd);
  EXPECT_NE(format, 0);
  EXPECT_TRUE(SetPixelFormat(out.dc, format, &pfd));
  out.rc = wglCreateContext(out.dc);
  EXPECT_NE(out.rc, nullptr);
  BOOL current = wglMakeCurrent(out.dc, out.rc);
  EXPECT_TRUE(current);
  ShowWindow(out.hwnd, SW_SHOW);
  return out.rc && current;
}

}  // namespace sgtest
