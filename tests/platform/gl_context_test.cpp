// Pixel formats, WGL contexts, the buffer swap with its host hook and
// read-back, the surface size override and entry points.
#include <EGL/egl.h>
#include <link.h>

#include <set>
#include <string>

#include "platform_fixture.h"

namespace {

using sgtest::GLWindow;
using sgtest::PlatformTest;

class GLContextTest : public PlatformTest {};

std::set<std::string> LoadedLibraries() {
  std::set<std::string> names;
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* out) {
        if (info->dlpi_name && *info->dlpi_name) static_cast<std::set<std::string>*>(out)->insert(info->dlpi_name);
        return 0;
      },
      &names);
  return names;
}

TEST_F(GLContextTest, TheProgramsPixelFormatGivesADepthBufferOfAtLeast16Bits) {
  GLWindow gl;
  ASSERT_TRUE(sgtest::OpenGLWindow(gl, 64, 48));
  GLint depthBits = 0;
  glGetIntegerv(GL_DEPTH_BITS, &depthBits);
  EXPECT_GE(depthBits, 16);
  GLint redBits = 0;
  glGetIntegerv(GL_RED_BITS, &redBits);
  EXPECT_GE(redBits, 8);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  EXPECT_NE(glGetString(GL_VERSION), nullptr);
}

TEST_F(GLContextTest, OnlyOpenGLRgbaFormatsAreOffered) {
  HWND hwnd = sgtest::CreateRecordingWindow(WS_POPUP, 16, 16);
  HDC dc = GetDC(hwnd);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDC(hwnd), dc);  // the window's own DC every time
  PIXELFORMATDESCRIPTOR pfd = sgtest::ProgramPixelFormat();
  EXPECT_EQ(ChoosePixelFormat(dc, &pfd), 1);
  PIXELFORMATDESCRIPTOR noGL = pfd;
  noGL.dwFlags = PFD_DRAW_TO_WINDOW | PFD_DOUBLEBUFFER;
  EXPECT_EQ(ChoosePixelFormat(dc, &noGL), 0);
  PIXELFORMATDESCRIPTOR indexed = pfd;
  indexed.iPixelType = 1;
  EXPECT_EQ(ChoosePixelFormat(dc, &indexed), 0);
  EXPECT_EQ(ChoosePixelFormat(NULL, &pfd), 0);
  EXPECT_FALSE(SetPixelFormat(dc, 2, &pfd));
  // No context before the window has a pixel format.
  EXPECT_EQ(wglCreateContext(dc), nullptr);
  ASSERT_TRUE(SetPixelFormat(dc, 1, &pfd));
  EXPECT_TRUE(SetPixelFormat(dc, 1, &pfd));  // the same format again is harmless
}

TEST_F(GLContextTest, InjectedFailuresMakeEachStepFailAsWin32Does) {
  HWND hwnd = sgtest::CreateRecordingWindow(WS_POPUP, 16, 16);
  host::FailStep(host::Step::GetDC);
  EXPECT_EQ(GetDC(hwnd), nullptr);
  host::FailStep(host::Step::GetDC, false);
  HDC dc = GetDC(hwnd);
  PIXELFORMATDESCRIPTOR pfd = sgtest::ProgramPixelFormat();

  host::FailStep(host::Step::ChoosePixelFormat);
  EXPECT_EQ(ChoosePixelFormat(dc, &pfd), 0);
  host::FailStep(host::Step::ChoosePixelFormat, false);
  host::FailStep(host::Step::SetPixelFormat);
  EXPECT_FALSE(SetPixelFormat(dc, 1, &pfd));
  host::FailStep(host::Step::SetPixelFormat, false);
  ASSERT_TRUE(SetPixelFormat(dc, 1, &pfd));

  host::FailStep(host::Step::CreateContext);
  EXPECT_EQ(wglCreateContext(dc), nullptr);
  host::FailStep(host::Step::CreateContext, false);
  HGLRC rc = wglCreateContext(dc);
  ASSERT_NE(rc, nullptr);
  host::FailStep(host::Step::MakeCurrent);
  EXPECT_FALSE(wglMakeCurrent(dc, rc));
  host::FailStep(host::Step::MakeCurrent, false);
  ASSERT_TRUE(wglMakeCurrent(dc, rc));

  host::FailStep(host::Step::ReleaseCurrent);
  EXPECT_FALSE(wglMakeCurrent(NULL, NULL));
  host::FailStep(host::Step::DeleteContext);
  EXPECT_FALSE(wglDeleteContext(rc));
  EXPECT_EQ(host::Contexts().deleted, 0);
  host::Reset();
  EXPECT_TRUE(wglMakeCurrent(NULL, NULL));
  EXPECT_TRUE(wglDeleteContext(rc));
  EXPECT_FALSE(wglDeleteContext(rc));  // only once
}

TEST_F(GLContextTest, ContextsAreCountedAndCreationLeavesTheCurrentOneAlone) {
  GLWindow gl;
  ASSERT_TRUE(sgtest::OpenGLWindow(gl, 16, 16));
  EGLContext current = eglGetCurrentContext();
  HGLRC second = wglCreateContext(gl.dc);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(eglGetCurrentContext(), current);

  host::ContextCounts counts = host::Contexts();
  EXPECT_EQ(counts.created, 2);
  EXPECT_EQ(counts.madeCurrent, 1);
  EXPECT_EQ(counts.releasedCurrent, 0);
  EXPECT_TRUE(wglMakeCurrent(NULL, NULL));
  EXPECT_EQ(eglGetCurrentContext(), nullptr);
  EXPECT_TRUE(wglDeleteContext(second));
  EXPECT_TRUE(wglDeleteContext(gl.rc));
  counts = host::Contexts();
  EXPECT_EQ(counts.releasedCurrent, 1);
  EXPECT_EQ(counts.deleted, 2);
  EXPECT_FALSE(wglMakeCurrent(gl.dc, gl.rc));
}

TEST_F(GLContextTest, TheDefaultViewportIsTheClientSize) {
  GLWindow gl;
  ASSERT_TRUE(sgtest::OpenGLWindow(gl, 96, 54, WS_OVERLAPPEDWINDOW));
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 96);
  EXPECT_EQ(viewport[3], 54);
}

TEST_F(GLContextTest, TheHostSurfaceSizeReplacesTheRequestedSize) {
  host::SetSurfaceSize(320, 180);
  GLWindow gl;
  ASSERT_TRUE(sgtest::OpenGLWindow(gl, 1920, 1080));
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[0], 0);
  EXPECT_EQ(viewport[1], 0);
  EXPECT_EQ(viewport[2], 320);
  EXPECT_EQ(viewport[3], 180);
  RECT client;
  GetClientRect(gl.hwnd, &client);
  EXPECT_EQ(client.right, 1920);  // the program still sees what it asked for
}

TEST_F(GLContextTest, TheSwapHookSeesTheFrameBeforeTheSwap) {
  host::SetSurfaceSize(40, 30);
  GLWindow gl;
  ASSERT_TRUE(sgtest::OpenGLWindow(gl, 1920, 1080));
  std::vector<host::FrameInfo> frames;
  std::vector<unsigned char> firstPixel;
  host::SetSwapHook([&](const host::FrameInfo& frame) {
    frames.push_back(frame);
    std::vector<unsigned char> pixels;
    int width = 0, height = 0;
    host::ReadBackBuffer(pixels, width, height);
    EXPECT_EQ(width, 40);
    EXPECT_EQ(height, 30);
    ASSERT_EQ(pixels.size(), 40u * 30u * 3u);
    firstPixel.assign(pixels.begin(), pixels.begin() + 3);
    // Every pixel has the cleared colour.
    for (size_t i = 0; i < pixels.size(); i += 3) {
      ASSERT_EQ(pixels[i], firstPixel[0]);
      ASSERT_EQ(pixels[i + 1], firstPixel[1]);
      ASSERT_EQ(pixels[i + 2], firstPixel[2]);
    }
  });
  glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_TRUE(SwapBuffers(gl.dc));
  ASSERT_EQ(firstPixel.size(), 3u);
  EXPECT_EQ(firstPixel[0], 255);
  EXPECT_EQ(firstPixel[1], 0);
  EXPECT_EQ(firstPixel[2], 0);

  glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_TRUE(SwapBuffers(gl.dc));
  EXPECT_EQ(firstPixel[2], 255);
  EXPECT_EQ(firstPixel[0], 0);

  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].index, 0);
  EXPECT_EQ(frames[1].index, 1);
  EXPECT_EQ(frames[1].width, 40);
  EXPECT_EQ(frames[1].height, 30);
  EXPECT_EQ(host::SwapCount(), 2);
}

TEST_F(GLContextTest, ReadBackWithAlphaAndWithoutAContext) {
  GLWindow gl;
  ASSERT_TRUE(sgtest::OpenGLWindow(gl, 5, 3));  // odd width: rows must not be padded
  glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  std::vector<unsigned char> pixels;
  int width = 0, height = 0;
  host::ReadBackBuffer(pixels, width, height, true);
  ASSERT_EQ(pixels.size(), 5u * 3u * 4u);
  EXPECT_EQ(pixels[pixels.size() - 3], 255);  // green of the last pixel
  GLint alignment = 0;
  glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
  EXPECT_EQ(alignment, 4);  // the program's pack state is left as it was

  wglMakeCurrent(NULL, NULL);
  host::ReadBackBuffer(pixels, width, height);
  EXPECT_TRUE(pixels.empty());
  EXPECT_EQ(width, 0);
}

TEST_F(GLContextTest, MultitextureEntryPointsAreFoundUnlessHidden) {
  EXPECT_EQ(wglGetProcAddress("glActiveTextureARB"), nullptr);  // no context yet
  GLWindow gl;
  ASSERT_TRUE(sgtest::OpenGLWindow(gl, 16, 16));
  EXPECT_NE(wglGetProcAddress("glActiveTextureARB"), nullptr);
  EXPECT_NE(wglGetProcAddress("glMultiTexCoord2fARB"), nullptr);
  host::HideProcAddress("glMultiTexCoord2fARB");
  EXPECT_EQ(wglGetProcAddress("glMultiTexCoord2fARB"), nullptr);
  EXPECT_NE(wglGetProcAddress("glActiveTextureARB"), nullptr);
}

TEST_F(GLContextTest, TheReleaseHookRunsWhileTheContextIsStillCurrent) {
  GLWindow gl;
  ASSERT_TRUE(sgtest::OpenGLWindow(gl, 8, 8));
  std::vector<bool> currentAtHook;
  host::SetContextReleaseHook([&] { currentAtHook.push_back(eglGetCurrentContext() != nullptr); });
  ASSERT_TRUE(wglMakeCurrent(NULL, NULL));
  ASSERT_TRUE(wglDeleteContext(gl.rc));
  ASSERT_EQ(currentAtHook.size(), 2u);
  EXPECT_TRUE(currentAtHook[0]);
  EXPECT_FALSE(currentAtHook[1]);
}

TEST_F(GLContextTest, GLStaysUsableAfterTheWindowIsClosedUntilTheContextGoes) {
  GLWindow gl;
  ASSERT_TRUE(sgtest::OpenGLWindow(gl, 8, 8));
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  ASSERT_TRUE(glIsTexture(texture));

  PostMessageA(gl.hwnd, WM_CLOSE, 0, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  DispatchMessageA(&msg);
  ASSERT_FALSE(IsWindow(gl.hwnd));

  // The program frees its textures after the window is gone.
  ASSERT_NE(eglGetCurrentContext(), nullptr);
  EXPECT_TRUE(glIsTexture(texture));
  glDeleteTextures(1, &texture);
  EXPECT_FALSE(glIsTexture(texture));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  EXPECT_TRUE(wglMakeCurrent(NULL, NULL));
  EXPECT_TRUE(wglDeleteContext(gl.rc));
  EXPECT_EQ(eglGetCurrentContext(), nullptr);
}

TEST_F(GLContextTest, NothingSwapsForAWindowThatIsGone) {
  GLWindow gl;
  ASSERT_TRUE(sgtest::OpenGLWindow(gl, 8, 8));
  DestroyWindow(gl.hwnd);
  EXPECT_FALSE(SwapBuffers(gl.dc));
  EXPECT_EQ(host::SwapCount(), 0);
  EXPECT_FALSE(wglMakeCurrent(gl.dc, gl.rc));  // its DC is gone too
}

// Unloading the driver with the last window would make every new window
// reload it, and sanitizers stop the program when an ignored library goes.
TEST_F(GLContextTest, TheGLDriverStaysLoadedAfterTheLastWindowGoes) {
  std::set<std::string> withWindow;
  {
    GLWindow gl;
    ASSERT_TRUE(sgtest::OpenGLWindow(gl, 8, 8));
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    withWindow = LoadedLibraries();
    ASSERT_TRUE(wglMakeCurrent(NULL, NULL));
    ASSERT_TRUE(wglDeleteContext(gl.rc));
    ASSERT_TRUE(DestroyWindow(gl.hwnd));
  }
  std::set<std::string> after = LoadedLibraries();
  for (const std::string& name : withWindow) EXPECT_EQ(after.count(name), 1u) << name << " was unloaded";
  GLWindow again;
  EXPECT_TRUE(sgtest::OpenGLWindow(again, 8, 8));
}

}  // namespace
