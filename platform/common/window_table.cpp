// Window classes, windows, their geometry and the default window procedure.
#include "common/window_table.h"

#include <strings.h>

#include "common/backend.h"
#include "common/handles.h"

namespace sgwin {

namespace {

struct WindowClass {
  std::string name;
  UINT style;
  WNDPROC proc;
  WORD atom;
};

std::vector<WindowClass> g_classes;
WORD g_nextAtom = 0xC000;
std::vector<std::unique_ptr<Window>> g_windows;
HWND g_foreground = NULL;
HWND g_focus = NULL;

// Frame sizes of a classic desktop theme.
constexpr int kSizingBorder = 8;
constexpr int kDialogBorder = 3;
constexpr int kThinBorder = 1;
constexpr int kCaptionHeight = 23;

WindowClass* LookUpClass(const char* name) {
  if (!name) return nullptr;
  for (WindowClass& windowClass : g_classes) {
    // Class names compare without regard to case, as on Windows.
    if (strcasecmp(windowClass.name.c_str(), name) == 0) return &windowClass;
  }
  return nullptr;
}

bool AnyLiveWindowOfClass(const std::string& className) {
  for (const auto& window : g_windows) {
    if (window->alive && strcasecmp(window->className.c_str(), className.c_str()) == 0) return true;
  }
  return false;
}

LRESULT CallProcedure(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
  return window.proc(window.handle, message, wParam, lParam);
}

int ClampedSize(int size) { return size < 0 ? 0 : size; }

Window& AddWindow(DWORD exStyle, const WindowClass& windowClass, LPCSTR title, DWORD style, RECT outer) {
  size_t index = g_windows.size();
  g_windows.push_back(std::make_unique<Window>());
  Window& window = *g_windows.back();
  window.handle = MakeHandle<HWND>(HandleKind::Window, index);
  window.dc = MakeHandle<HDC>(HandleKind::DeviceContext, index);
  window.className = windowClass.name;
  window.title = title ? title : "";
  window.proc = windowClass.proc;
  window.style = style;
  window.exStyle = exStyle;
  window.windowRect = outer;
  FrameMetrics frame = FrameMetricsFor(style);
  window.clientWidth = ClampedSize(outer.right - outer.left - 2 * frame.border);
  window.clientHeight = ClampedSize(outer.bottom - outer.top - 2 * frame.border - frame.caption);
  return window;
}

}  // namespace

FrameMetrics FrameMetricsFor(DWORD style) {
  FrameMetrics frame = {0, 0};
  if (style & WS_THICKFRAME) {
    frame.border = kSizingBorder;
  } else if (style & WS_DLGFRAME) {
    frame.border = kDialogBorder;
  } else if (style & WS_BORDER) {
    frame.border = kThinBorder;
  }
  if ((style & WS_CAPTION) == WS_CAPTION) frame.caption = kCaptionHeight;
  return frame;
}

Window* LookUpWindow(HWND handle) {
  size_t index = HandleIndex(HandleKind::Window, handle);
  if (index >= g_windows.size() || !g_windows[index]->alive) return nullptr;
  return g_windows[index].get();
}

Window* LookUpWindowByDC(HDC dc) {
  size_t index = HandleIndex(HandleKind::DeviceContext, dc);
  return index < g_windows.size() ? g_windows[index].get() : nullptr;
}

const std::vector<std::unique_ptr<Window>>& AllWindows() { return g_windows; }

HWND InputWindow() {
  if (LookUpWindow(g_foreground)) return g_foreground;
  for (auto it = g_windows.rbegin(); it != g_windows.rend(); ++it) {
    if ((*it)->alive) return (*it)->handle;
  }
  return NULL;
}

void SetForegroundHandle(HWND handle) { g_foreground = handle; }

}  // namespace sgwin

using sgwin::LookUpWindow;
using sgwin::Window;

WORD WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
  if (sgwin::backend::Refuses(sgwin::backend::Call::RegisterClass)) return 0;
  if (!lpWndClass || !lpWndClass->lpfnWndProc || !lpWndClass->lpszClassName || !*lpWndClass->lpszClassName) {
    return 0;
  }
  if (sgwin::LookUpClass(lpWndClass->lpszClassName)) return 0;  // already registered
  WORD atom = sgwin::g_nextAtom++;
  sgwin::g_classes.push_back({lpWndClass->lpszClassName, lpWndClass->style, lpWndClass->lpfnWndProc, atom});
  return atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE) {
  sgwin::WindowClass* windowClass = sgwin::LookUpClass(lpClassName);
  if (!windowClass || sgwin::AnyLiveWindowOfClass(windowClass->name)) return FALSE;
  sgwin::g_classes.erase(sgwin::g_classes.begin() + (windowClass - sgwin::g_classes.data()));
  return TRUE;
}

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR lpIconName) {
  return lpIconName ? sgwin::MakeHandle<HICON>(sgwin::HandleKind::Icon, LOWORD(lpIconName)) : NULL;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR lpCursorName) {
  return lpCursorName ? sgwin::MakeHandle<HCURSOR>(sgwin::HandleKind::Cursor, LOWORD(lpCursorName)) : NULL;
}

BOOL WINAPI AdjustWindowRectEx(RECT* lpRect, DWORD dwStyle, BOOL, DWORD) {
  if (!lpRect) return FALSE;
  sgwin::FrameMetrics frame = sgwin::FrameMetricsFor(dwStyle);
  lpRect->left -= frame.border;
  lpRect->right += frame.border;
  lpRect->top -= frame.border + frame.caption;
  lpRect->bottom += frame.border;
  return TRUE;
}

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,
                            int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam) {
  if (sgwin::backend::Refuses(sgwin::backend::Call::CreateWindow)) return NULL;
  const sgwin::WindowClass* windowClass = sgwin::LookUpClass(lpClassName);
  if (!windowClass) return NULL;
  RECT outer = {X, Y, X + nWidth, Y + nHeight};
  Window& window = sgwin::AddWindow(dwExStyle, *windowClass, lpWindowName, dwStyle, outer);
  HWND handle = window.handle;
  CREATESTRUCTA create = {lpParam, hInstance, hMenu, hWndParent, nHeight, nWidth, Y, X,
                          static_cast<LONG>(dwStyle), lpWindowName, lpClassName, dwExStyle};
  // A procedure that answers WM_CREATE with -1 refuses the window.
  if (sgwin::CallProcedure(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
    DestroyWindow(handle);
    return NULL;
  }
  if (LookUpWindow(handle) && (dwStyle & WS_VISIBLE)) ShowWindow(handle, SW_SHOW);
  return LookUpWindow(handle) ? handle : NULL;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
  Window* window = LookUpWindow(hWnd);
  if (!window) return FALSE;
  window->alive = false;  // first, so that a nested DestroyWindow does nothing
  window->visible = false;
  window->proc(hWnd, WM_DESTROY, 0, 0);
  window->proc(hWnd, WM_NCDESTROY, 0, 0);
  if (sgwin::g_foreground == hWnd) sgwin::g_foreground = NULL;
  if (sgwin::g_focus == hWnd) sgwin::g_focus = NULL;
  sgwin::backend::OnWindowDestroyed(*window);
  return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd) { return LookUpWindow(hWnd) ? TRUE : FALSE; }

HWND WINAPI SetFocus(HWND hWnd) {
  HWND previous = sgwin::g_focus;
  if (hWnd && !LookUpWindow(hWnd)) return NULL;
  sgwin::g_focus = hWnd;
  return previous;
}

HWND WINAPI GetForegroundWindow(void) { return LookUpWindow(sgwin::g_foreground) ? sgwin::g_foreground : NULL; }

BOOL WINAPI GetClientRect(HWND hWnd, RECT* lpRect) {
  Window* window = LookUpWindow(hWnd);
  if (!window || !lpRect) return FALSE;
  *lpRect = {0, 0, window->clientWidth, window->clientHeight};
  return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, RECT* lpRect) {
  Window* window = LookUpWindow(hWnd);
  if (!window || !lpRect) return FALSE;
  *lpRect = window->windowRect;
  return TRUE;
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  Window* window = LookUpWindow(hWnd);
  return window ? window->proc(hWnd, Msg, wParam, lParam) : 0;
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM, LPARAM) {
  if (Msg == WM_CLOSE) DestroyWindow(hWnd);
  return 0;
}
