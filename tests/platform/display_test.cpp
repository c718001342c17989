// Display modes and the cursor counter.
#include <cstring>

#include "platform_fixture.h"

namespace {

using sgtest::PlatformTest;

class DisplayTest : public PlatformTest {};

DEVMODEA ModeOf(int width, int height, int bits) {
  DEVMODEA mode;
  std::memset(&mode, 0, sizeof(mode));
  mode.dmSize = sizeof(mode);
  mode.dmPelsWidth = width;
  mode.dmPelsHeight = height;
  mode.dmBitsPerPel = bits;
  mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
  return mode;
}

TEST_F(DisplayTest, HeadlessAcceptsAnyModeUntilRestored) {
  DEVMODEA mode = ModeOf(1920, 1080, 32);
  EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
  EXPECT_TRUE(host::DisplayModeChanged());
  EXPECT_EQ(ChangeDisplaySettingsA(NULL, 0), DISP_CHANGE_SUCCESSFUL);
  EXPECT_FALSE(host::DisplayModeChanged());
}

TEST_F(DisplayTest, TheHostCanRefuseEveryMode) {
  host::SetDisplayModes(host::DisplayModes::RejectAll);
  DEVMODEA mode = ModeOf(1920, 1080, 32);
  EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
  EXPECT_FALSE(host::DisplayModeChanged());
  host::SetDisplayModes(host::DisplayModes::AcceptAll);
  EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
}

TEST_F(DisplayTest, ModesNoDisplayHasAreRefused) {
  DEVMODEA noSize = ModeOf(1920, 1080, 32);
  noSize.dmFields = DM_BITSPERPEL;
  EXPECT_EQ(ChangeDisplaySettingsA(&noSize, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
  DEVMODEA palette = ModeOf(640, 480, 8);
  EXPECT_EQ(ChangeDisplaySettingsA(&palette, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
}

TEST_F(DisplayTest, TheCursorFollowsTheWin32Counter) {
  EXPECT_EQ(host::CursorCounter(), 0);
  EXPECT_EQ(ShowCursor(FALSE), -1);
  EXPECT_EQ(ShowCursor(FALSE), -2);
  EXPECT_EQ(ShowCursor(TRUE), -1);
  EXPECT_EQ(host::CursorCounter(), -1);
  EXPECT_EQ(ShowCursor(TRUE), 0);
}

TEST_F(DisplayTest, AFullScreenWindowDrawsAtItsModeSizeHeadless) {
  DEVMODEA mode = ModeOf(640, 360, 32);
  ASSERT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
  sgtest::GLWindow gl;
  ASSERT_TRUE(sgtest::OpenGLWindow(gl, 640, 360, WS_POPUP));
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 640);
  EXPECT_EQ(viewport[3], 360);
}

}  // namespace
