// An OpenGL context for rendering tests, on a window of the platform layer's
// headless back end (no display), plus pixel read-back helpers. One at a
// time; main thread only.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "opengl.h"
#include "win32.h"

namespace sgtest {

using Rgba = std::array<uint8_t, 4>;

class GLTestContext {
 public:
  GLTestContext(int width, int height);
  ~GLTestContext();
  GLTestContext(const GLTestContext&) = delete;
  GLTestContext& operator=(const GLTestContext&) = delete;

  bool Ok() const { return ok_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Pixel (x, y) of the back buffer, y counted from the bottom row as in GL.
  Rgba Pixel(int x, int y) const;
  // The whole back buffer, RGBA, bottom row first.
  std::vector<uint8_t> ReadAll() const;
  void Swap();

 private:
  bool ok_ = false;
  int width_;
  int height_;
  void* window_ = nullptr;
  void* dc_ = nullptr;
  void* context_ = nullptr;
};

// One level of the bound 2D texture: its size and its texels as RGBA, bottom
// row first; empty when the level is absent.
struct TextureImage {
  GLint width = 0;
  GLint height = 0;
  std::vector<uint8_t> rgba;
};
TextureImage ReadBoundTexture(int level = 0);

// True when every channel of a and b differs by at most tolerance (alpha ignored).
bool NearRgb(const Rgba& a, const Rgba& b, int tolerance);

}  // namespace sgtest
