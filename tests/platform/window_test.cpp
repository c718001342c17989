// Window classes and windows: registration, WM_CREATE during creation, frame
// geometry, and the default handling of WM_CLOSE.
#include <cstring>

#include "platform_fixture.h"

namespace {

using sgtest::PlatformTest;
using sgtest::ReceivedOf;

class WindowTest : public PlatformTest {};

// What the procedure saw while CreateWindowExA was still running.
std::vector<UINT> g_seenDuringCreate;
bool g_creating = false;
LRESULT g_createAnswer = 0;

LRESULT CALLBACK CreateWatchingProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (g_creating) g_seenDuringCreate.push_back(uMsg);
  if (uMsg == WM_CREATE) {
    const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    EXPECT_STREQ(create->lpszName, "TVK");
    EXPECT_EQ(create->cx, 300);
    return g_createAnswer;
  }
  return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

WNDCLASSA ClassWith(WNDPROC proc, const char* name) {
  WNDCLASSA wc;
  std::memset(&wc, 0, sizeof(wc));
  wc.style = CS_OWNDC;
  wc.lpfnWndProc = proc;
  wc.lpszClassName = name;
  return wc;
}

TEST_F(WindowTest, RegistrationNeedsAProcedureAndAFreshName) {
  WNDCLASSA wc = ClassWith(sgtest::RecordingProc, "OpenGL");
  EXPECT_NE(RegisterClassA(&wc), 0);
  EXPECT_EQ(RegisterClassA(&wc), 0);  // already registered
  WNDCLASSA upper = ClassWith(sgtest::RecordingProc, "OPENGL");
  EXPECT_EQ(RegisterClassA(&upper), 0);  // names ignore case
  WNDCLASSA noProc = ClassWith(nullptr, "NoProc");
  EXPECT_EQ(RegisterClassA(&noProc), 0);
  WNDCLASSA noName = ClassWith(sgtest::RecordingProc, nullptr);
  EXPECT_EQ(RegisterClassA(&noName), 0);
  EXPECT_EQ(RegisterClassA(nullptr), 0);
}

TEST_F(WindowTest, InjectedFailuresRefuseClassAndWindow) {
  host::FailStep(host::Step::RegisterClass);
  WNDCLASSA wc = ClassWith(sgtest::RecordingProc, "Refused");
  EXPECT_EQ(RegisterClassA(&wc), 0);
  host::FailStep(host::Step::RegisterClass, false);
  ASSERT_NE(RegisterClassA(&wc), 0);
  host::FailStep(host::Step::CreateWindow);
  EXPECT_EQ(CreateWindowExA(0, "Refused", "x", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL), nullptr);
  EXPECT_TRUE(sgtest::Received().empty());
  host::FailStep(host::Step::CreateWindow, false);
  EXPECT_NE(CreateWindowExA(0, "Refused", "x", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL), nullptr);
}

TEST_F(WindowTest, UnknownClassGivesNoWindow) {
  EXPECT_EQ(CreateWindowExA(0, "NeverRegistered", "x", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL), nullptr);
}

TEST_F(WindowTest, WmCreateArrivesBeforeCreateWindowReturns) {
  WNDCLASSA wc = ClassWith(CreateWatchingProc, "Watched");
  ASSERT_NE(RegisterClassA(&wc), 0);
  g_seenDuringCreate.clear();
  g_creating = true;
  HWND hwnd = CreateWindowExA(0, "Watched", "TVK", WS_POPUP, 0, 0, 300, 200, NULL, NULL, NULL, NULL);
  g_creating = false;
  ASSERT_NE(hwnd, nullptr);
  ASSERT_FALSE(g_seenDuringCreate.empty());
  EXPECT_EQ(g_seenDuringCreate[0], static_cast<UINT>(WM_CREATE));
  EXPECT_TRUE(IsWindow(hwnd));
}

TEST_F(WindowTest, AProcedureAnsweringMinusOneRefusesTheWindow) {
  WNDCLASSA wc = ClassWith(CreateWatchingProc, "Refusing");
  ASSERT_NE(RegisterClassA(&wc), 0);
  g_createAnswer = -1;
  g_seenDuringCreate.clear();
  g_creating = true;
  HWND hwnd = CreateWindowExA(0, "Refusing", "TVK", WS_POPUP, 0, 0, 300, 200, NULL, NULL, NULL, NULL);
  g_creating = false;
  g_createAnswer = 0;
  EXPECT_EQ(hwnd, nullptr);
  // The refused window was still destroyed properly.
  ASSERT_EQ(g_seenDuringCreate.size(), 3u);
  EXPECT_EQ(g_seenDuringCreate[1], static_cast<UINT>(WM_DESTROY));
}

TEST_F(WindowTest, AdjustedRectGivesExactlyTheClientSizeAsked) {
  for (DWORD style : {static_cast<DWORD>(WS_OVERLAPPEDWINDOW), static_cast<DWORD>(WS_POPUP),
                      static_cast<DWORD>(WS_POPUP | WS_CAPTION)}) {
    HWND hwnd = sgtest::CreateRecordingWindow(style, 1920, 1080);
    ASSERT_NE(hwnd, nullptr);
    RECT client;
    ASSERT_TRUE(GetClientRect(hwnd, &client));
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.top, 0);
    EXPECT_EQ(client.right, 1920) << "style " << std::hex << style;
    EXPECT_EQ(client.bottom, 1080) << "style " << std::hex << style;
  }
}

TEST_F(WindowTest, OverlappedWindowsGetAFramePopupsNone) {
  RECT overlapped = {0, 0, 640, 480};
  AdjustWindowRectEx(&overlapped, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_APPWINDOW | WS_EX_WINDOWEDGE);
  EXPECT_LT(overlapped.left, 0);
  EXPECT_LT(overlapped.top, overlapped.left);  // the caption adds to the top only
  EXPECT_GT(overlapped.right, 640);
  EXPECT_EQ(overlapped.bottom - 480, 0 - overlapped.left);

  RECT popup = {0, 0, 640, 480};
  AdjustWindowRectEx(&popup, WS_POPUP, FALSE, WS_EX_APPWINDOW);
  EXPECT_EQ(popup.left, 0);
  EXPECT_EQ(popup.top, 0);
  EXPECT_EQ(popup.right, 640);
  EXPECT_EQ(popup.bottom, 480);
}

TEST_F(WindowTest, WindowRectIsWhereTheWindowWasPlaced) {
  HWND hwnd = sgtest::CreateRecordingWindow(WS_OVERLAPPEDWINDOW, 200, 100);
  RECT outer;
  ASSERT_TRUE(GetWindowRect(hwnd, &outer));
  EXPECT_EQ(outer.left, 0);
  EXPECT_EQ(outer.top, 0);
  EXPECT_GT(outer.right, 200);
  EXPECT_GT(outer.bottom, 100);
}

TEST_F(WindowTest, DefaultCloseHandlingDestroysTheWindow) {
  HWND hwnd = sgtest::CreateRecordingWindow(WS_POPUP, 32, 32);
  ASSERT_TRUE(PostMessageA(hwnd, WM_CLOSE, 0, 0));
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  DispatchMessageA(&msg);

  ASSERT_EQ(ReceivedOf(WM_CLOSE).size(), 1u);
  ASSERT_EQ(ReceivedOf(WM_DESTROY).size(), 1u);
  EXPECT_EQ(ReceivedOf(WM_DESTROY)[0].hwnd, hwnd);
  EXPECT_FALSE(IsWindow(hwnd));
  RECT rect;
  EXPECT_FALSE(GetClientRect(hwnd, &rect));
  EXPECT_EQ(GetDC(hwnd), nullptr);
  EXPECT_FALSE(DestroyWindow(hwnd));  // only once
  EXPECT_EQ(ReceivedOf(WM_DESTROY).size(), 1u);
}

TEST_F(WindowTest, OtherMessagesGetZeroFromTheDefaultProcedure) {
  HWND hwnd = sgtest::CreateRecordingWindow(WS_POPUP, 32, 32);
  EXPECT_EQ(DefWindowProcA(hwnd, WM_KEYDOWN, VK_F9, 0), 0);
  EXPECT_EQ(SendMessageA(hwnd, WM_PAINT, 0, 0), 0);
  EXPECT_TRUE(IsWindow(hwnd));
}

TEST_F(WindowTest, ShowingReportsThePreviousVisibility) {
  HWND hwnd = sgtest::CreateRecordingWindow(WS_POPUP, 32, 32);
  EXPECT_FALSE(ShowWindow(hwnd, SW_SHOW));
  EXPECT_TRUE(ShowWindow(hwnd, SW_SHOW));
  ASSERT_EQ(ReceivedOf(WM_SHOWWINDOW).size(), 1u);
  EXPECT_TRUE(ShowWindow(hwnd, SW_HIDE));
  EXPECT_FALSE(ShowWindow(hwnd, SW_HIDE));
  EXPECT_TRUE(SetForegroundWindow(hwnd));
  EXPECT_EQ(SetFocus(hwnd), nullptr);
  EXPECT_EQ(SetFocus(hwnd), hwnd);
}

TEST_F(WindowTest, ClassesWithLiveWindowsStayRegistered) {
  std::string name = sgtest::RegisterRecordingClass();
  HWND hwnd = CreateWindowExA(0, name.c_str(), "x", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
  EXPECT_FALSE(UnregisterClassA(name.c_str(), NULL));
  DestroyWindow(hwnd);
  EXPECT_TRUE(UnregisterClassA(name.c_str(), NULL));
  EXPECT_FALSE(UnregisterClassA(name.c_str(), NULL));
}

}  // namespace
