// The layer on a real display (X11, e.g. Xvfb): a visible window with a
// double-buffered context, display modes the screen offers, and full screen
// for popup windows. Every case skips itself where there is no display.
#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "platform_fixture.h"

namespace {

class RealDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no X display";
    unsetenv("SDL_VIDEODRIVER");
    sgtest::Received().clear();
  }
};

DEVMODEA ModeOf(int width, int height) {
  DEVMODEA mode;
  std::memset(&mode, 0, sizeof(mode));
  mode.dmSize = sizeof(mode);
  mode.dmPelsWidth = width;
  mode.dmPelsHeight = height;
  mode.dmBitsPerPel = 32;
  mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
  return mode;
}

TEST_F(RealDisplayTest, AWindowGetsADoubleBufferedContextWithDepth) {
  sgtest::GLWindow gl;
  ASSERT_TRUE(sgtest::OpenGLWindow(gl, 320, 200, WS_OVERLAPPEDWINDOW));
  EXPECT_STREQ(SDL_GetCurrentVideoDriver(), "x11");
  GLboolean doubleBuffered = GL_FALSE;
  glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
  EXPECT_TRUE(doubleBuffered);
  GLint depthBits = 0;
  glGetIntegerv(GL_DEPTH_BITS, &depthBits);
  EXPECT_GE(depthBits, 16);
  SDL_Window* surface = SDL_GL_GetCurrentWindow();
  ASSERT_NE(surface, nullptr);
  EXPECT_TRUE(SDL_GetWindowFlags(surface) & SDL_WINDOW_SHOWN);
  EXPECT_FALSE(SDL_GetWindowFlags(surface) & SDL_WINDOW_FULLSCREEN);
  EXPECT_FALSE(SDL_GetWindowFlags(surface) & SDL_WINDOW_BORDERLESS);
  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(surface, &width, &height);
  EXPECT_EQ(width, 320);
  EXPECT_EQ(height, 200);

  glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  std::vector<unsigned char> pixels(320u * 200u * 3u);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  EXPECT_EQ(pixels[2], 255);
  EXPECT_TRUE(SwapBuffers(gl.dc));
}

TEST_F(RealDisplayTest, AnyModeIsAcceptedUnlessARealModeSwitchIsAskedFor) {
  DEVMODEA odd = ModeOf(1234, 567);
  EXPECT_EQ(ChangeDisplaySettingsA(&odd, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(ChangeDisplaySettingsA(NULL, 0), DISP_CHANGE_SUCCESSFUL);

  setenv("STORMGLASS_MODE_SWITCH", "1", 1);
  EXPECT_EQ(ChangeDisplaySettingsA(&odd, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
  SDL_DisplayMode desktop;
  ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
  DEVMODEA screen = ModeOf(desktop.w, desktop.h);
  EXPECT_EQ(ChangeDisplaySettingsA(&screen, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(ChangeDisplaySettingsA(NULL, 0), DISP_CHANGE_SUCCESSFUL);
  unsetenv("STORMGLASS_MODE_SWITCH");
}

// A mode smaller than the screen: the window covers the desktop, and the
// program draws into a back buffer of its own size, viewport included.
TEST_F(RealDisplayTest, AFullScreenPopupOfAnotherSizeDrawsIntoABackBufferOfItsOwnSize) {
  DEVMODEA mode = ModeOf(1280, 720);
  ASSERT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
  sgtest::GLWindow gl;
  ASSERT_TRUE(sgtest::OpenGLWindow(gl, 1280, 720, WS_POPUP));
  SDL_Window* surface = SDL_GL_GetCurrentWindow();
  EXPECT_EQ(SDL_GetWindowFlags(surface) & SDL_WINDOW_FULLSCREEN_DESKTOP, SDL_WINDOW_FULLSCREEN_DESKTOP);
  SwapBuffers(gl.dc);
  GLint framebuffer = 0, viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_NE(framebuffer, 0);
  EXPECT_EQ(viewport[2], 1280);
  EXPECT_EQ(viewport[3], 720);
  EXPECT_EQ(ChangeDisplaySettingsA(NULL, 0), DISP_CHANGE_SUCCESSFUL);
}

TEST_F(RealDisplayTest, APopupAfterAModeChangeIsFullScreenUntilRestored) {
  DEVMODEA probe = ModeOf(1, 1);
  ChangeDisplaySettingsA(&probe, CDS_FULLSCREEN);  // starts video so the screen can be asked
  SDL_DisplayMode desktop;
  ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
  DEVMODEA screen = ModeOf(desktop.w, desktop.h);
  ASSERT_EQ(ChangeDisplaySettingsA(&screen, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(ShowCursor(FALSE), -1);

  sgtest::GLWindow gl;
  ASSERT_TRUE(sgtest::OpenGLWindow(gl, desktop.w, desktop.h, WS_POPUP));
  SDL_Window* surface = SDL_GL_GetCurrentWindow();
  EXPECT_TRUE(SDL_GetWindowFlags(surface) & SDL_WINDOW_FULLSCREEN);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);

  EXPECT_EQ(ChangeDisplaySettingsA(NULL, 0), DISP_CHANGE_SUCCESSFUL);
  EXPECT_FALSE(SDL_GetWindowFlags(surface) & SDL_WINDOW_FULLSCREEN);
  EXPECT_EQ(ShowCursor(TRUE), 0);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

}  // namespace
