#include "gl_test_context.h"

#include <cstdio>
#include <cstdlib>

namespace sgtest {

namespace {

const char kClassName[] = "sg_gl_test";

// The buffer drawn to: pbuffers have only one.
GLenum DrawnBuffer() {
  GLboolean doubleBuffered = GL_FALSE;
  glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
  return doubleBuffered ? GL_BACK : GL_FRONT;
}

}  // namespace

GLTestContext::GLTestContext(int width, int height) : width_(width), height_(height) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = kClassName;
  RegisterClassA(&windowClass);  // already there for a later context of the process
  HWND window = CreateWindowExA(0, kClassName, "test", WS_POPUP, 0, 0, width, height, NULL, NULL, NULL, NULL);
  HDC dc = window ? GetDC(window) : NULL;
  PIXELFORMATDESCRIPTOR format = {};
  format.nSize = sizeof(format);
  format.nVersion = 1;
  format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  format.iPixelType = PFD_TYPE_RGBA;
  format.cColorBits = 32;
  format.cAlphaBits = 8;
  format.cDepthBits = 16;
  if (!dc || !SetPixelFormat(dc, ChoosePixelFormat(dc, &format), &format)) {
    std::fprintf(stderr, "GLTestContext: no %dx%d GL window\n", width, height);
    return;
  }
  HGLRC context = wglCreateContext(dc);
  if (!context || !wglMakeCurrent(dc, context)) {
    std::fprintf(stderr, "GLTestContext: no GL context\n");
    return;
  }
  window_ = window;
  dc_ = dc;
  context_ = context;
  glViewport(0, 0, width, height);
  ok_ = true;
}

GLTestContext::~GLTestContext() {
  if (context_) {
    wglMakeCurrent(NULL, NULL);
    wglDeleteContext(static_cast<HGLRC>(context_));
  }
  if (window_) DestroyWindow(static_cast<HWND>(window_));
}

Rgba GLTestContext::Pixel(int x, int y) const {
  Rgba pixel{};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(DrawnBuffer());
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
  return pixel;
}

std::vector<uint8_t> GLTestContext::ReadAll() const {
  std::vector<uint8_t> pixels(static_cast<size_t>(width_) * height_ * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(DrawnBuffer());
  glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

void GLTestContext::Swap() { SwapBuffers(static_cast<HDC>(dc_)); }

TextureImage ReadBoundTexture(int level) {
  TextureImage image;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &image.width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &image.height);
  image.rgba.resize(static_cast<size_t>(image.width) * image.height * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  if (!image.rgba.empty()) glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, image.rgba.data());
  return image;
}

bool NearRgb(const Rgba& a, const Rgba& b, int tolerance) {
  for (int i = 0; i < 3; ++i) {
    if (std::abs(int(a[i]) - int(b[i])) > tolerance) return false;
  }
  return true;
}

}  // namespace sgtest
