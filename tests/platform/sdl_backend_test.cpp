// The SDL back end itself: display events into Win32 messages, and the
// offscreen driver where there is no display (or none that opens). Each case
// runs in a process of its own (CTest), so video starts afresh.
#include <SDL.h>

#include <cstdlib>

#include "platform_fixture.h"

namespace {

// SDL's events read from a window of the back end on the offscreen driver.
class DisplayEventTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    sgtest::Received().clear();
  }
  // A window with a surface, so SDL's video runs and its events are read.
  HWND ShownWindow() {
    HWND hwnd = sgtest::CreateRecordingWindow(WS_POPUP, 16, 16);
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    return hwnd;
  }
};

void PushKey(SDL_Keycode key, bool down, bool repeat) {
  SDL_Event event = {};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.repeat = repeat ? 1 : 0;
  event.key.keysym.sym = key;
  ASSERT_EQ(SDL_PushEvent(&event), 1);
}

TEST_F(DisplayEventTest, KeysBecomeKeyMessagesWithVirtualKeyCodes) {
  HWND hwnd = ShownWindow();
  PushKey(SDLK_F5, true, false);
  PushKey(SDLK_F5, true, true);  // auto-repeat is a key press too
  PushKey(SDLK_AUDIOMUTE, true, false);  // no virtual key: dropped
  PushKey(SDLK_a, true, false);
  PushKey(SDLK_ESCAPE, false, false);

  std::vector<MSG> messages;
  MSG msg;
  while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) messages.push_back(msg);
  ASSERT_EQ(messages.size(), 4u);
  for (const MSG& m : messages) EXPECT_EQ(m.hwnd, hwnd);
  EXPECT_EQ(messages[0].message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(messages[0].wParam, static_cast<WPARAM>(VK_F5));
  EXPECT_EQ(messages[1].wParam, static_cast<WPARAM>(VK_F5));
  EXPECT_NE(messages[1].lParam & (LPARAM(1) << 30), 0);  // previously down
  EXPECT_EQ(messages[2].wParam, static_cast<WPARAM>('A'));
  EXPECT_EQ(messages[3].message, static_cast<UINT>(WM_KEYUP));
  EXPECT_EQ(messages[3].wParam, static_cast<WPARAM>(VK_ESCAPE));
}

TEST_F(DisplayEventTest, ClosingTheWindowSendsOneClose) {
  sgtest::GLWindow gl;
  ASSERT_TRUE(sgtest::OpenGLWindow(gl, 16, 16));
  HWND hwnd = gl.hwnd;
  sgtest::CreateRecordingWindow(WS_POPUP, 8, 8);  // newer, but not the one closed
  SDL_Event close = {};
  close.type = SDL_WINDOWEVENT;
  close.window.event = SDL_WINDOWEVENT_CLOSE;
  close.window.windowID = SDL_GetWindowID(SDL_GL_GetCurrentWindow());
  ASSERT_EQ(SDL_PushEvent(&close), 1);
  SDL_Event quit = {};
  quit.type = SDL_QUIT;
  ASSERT_EQ(SDL_PushEvent(&quit), 1);

  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));
  EXPECT_EQ(msg.hwnd, hwnd);
  DispatchMessageA(&msg);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
}


// Video starts on the first window; these need a process where it has not.
class DriverChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (SDL_WasInit(SDL_INIT_VIDEO)) GTEST_SKIP() << "needs a process where video has not started";
    unsetenv("SDL_VIDEODRIVER");
    unsetenv("WAYLAND_DISPLAY");
  }
  static void ShowAWindow() {
    HWND hwnd = sgtest::CreateRecordingWindow(WS_POPUP, 8, 8);
    ShowWindow(hwnd, SW_SHOW);
  }
};

TEST_F(DriverChoiceTest, WithoutADisplayTheOffscreenDriverStarts) {
  unsetenv("DISPLAY");
  ShowAWindow();
  EXPECT_STREQ(SDL_GetCurrentVideoDriver(), "offscreen");
}

TEST_F(DriverChoiceTest, ADisplayThatCannotBeOpenedLeavesTheOffscreenDriver) {
  setenv("DISPLAY", ":4711", 1);
  ShowAWindow();
  EXPECT_STREQ(SDL_GetCurrentVideoDriver(), "offscreen");
}

}  // namespace
