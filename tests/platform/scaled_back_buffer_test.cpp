// The scaled back buffer on surfaces of other sizes than the picture's: the
// letterbox arithmetic, and the picture itself against a software bilinear
// scaling of the same frame, with black bars where they belong.
#define GL_GLEXT_PROTOTYPES 1
#include "sdl/scaled_back_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "gl_test_context.h"
#include <GL/glext.h>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

TEST(Letterbox, KeepsTheAspectAndCentresWithBarsOnTheLongerSide) {
  auto same = sgwin::FitWithAspect(kWidth, kHeight, 1920, 1080);
  EXPECT_TRUE(same.x == 0 && same.y == 0 && same.width == 1920 && same.height == 1080);
  auto tall = sgwin::FitWithAspect(kWidth, kHeight, 1920, 1200);
  EXPECT_EQ(tall.y, 60);
  EXPECT_EQ(tall.height, 1080);
  auto square = sgwin::FitWithAspect(kWidth, kHeight, 1280, 1024);
  EXPECT_EQ(square.width, 1280);
  EXPECT_EQ(square.height, 720);
  EXPECT_EQ(square.y, 152);
  auto wide = sgwin::FitWithAspect(kWidth, kHeight, 2560, 1000);
  EXPECT_EQ(wide.height, 1000);
  EXPECT_EQ(wide.width, 1778);
  EXPECT_EQ(wide.x, 391);
  auto none = sgwin::FitWithAspect(kWidth, kHeight, 0, 768);
  EXPECT_EQ(none.width, 0);
}

// A frame with structure at every scale: smooth waves, so a scaling off by a
// fraction of a pixel shows, but no edge a filter may round either way.
uint8_t Wave(double at, double period, double phase) {
  return static_cast<uint8_t>(std::lround(127.5 + 127.0 * std::sin(6.283185307 * at / period + phase)));
}

std::vector<uint8_t> Frame() {
  std::vector<uint8_t> rgba(static_cast<size_t>(kWidth) * kHeight * 4);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      uint8_t* texel = &rgba[(static_cast<size_t>(y) * kWidth + x) * 4];
      texel[0] = Wave(x, 61.0, 0.0);
      texel[1] = Wave(y, 47.0, 1.0);
      texel[2] = Wave(x + y, 83.0, 2.0);
      texel[3] = 255;
    }
  }
  return rgba;
}

// Bilinear, sampling at pixel centres, edges clamped: what a linear blit does.
double Sample(const std::vector<uint8_t>& frame, double x, double y, int channel) {
  x = std::clamp(x, 0.0, kWidth - 1.0);
  y = std::clamp(y, 0.0, kHeight - 1.0);
  int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
  int x1 = std::min(x0 + 1, kWidth - 1), y1 = std::min(y0 + 1, kHeight - 1);
  double fx = x - x0, fy = y - y0;
  auto at = [&](int px, int py) { return frame[(static_cast<size_t>(py) * kWidth + px) * 4 + channel]; };
  return (at(x0, y0) * (1 - fx) + at(x1, y0) * fx) * (1 - fy) + (at(x0, y1) * (1 - fx) + at(x1, y1) * fx) * fy;
}

// Draws the frame into the back buffer, presents it on a surface of the
// context's size, and returns the largest difference from the reference.
int LargestError(int surfaceWidth, int surfaceHeight) {
  sgtest::GLTestContext context(surfaceWidth, surfaceHeight);
  EXPECT_TRUE(context.Ok());
  if (!context.Ok()) return 255;
  sgwin::ScaledBackBuffer buffer;
  EXPECT_TRUE(buffer.Create(kWidth, kHeight, 0, 16, 0));
  std::vector<uint8_t> frame = Frame();
  glWindowPos2i(0, 0);
  glDrawPixels(kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, frame.data());
  buffer.PresentTo(surfaceWidth, surfaceHeight);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  std::vector<uint8_t> shown = context.ReadAll();

  sgwin::Letterbox box = sgwin::FitWithAspect(kWidth, kHeight, surfaceWidth, surfaceHeight);
  double scaleX = static_cast<double>(kWidth) / box.width, scaleY = static_cast<double>(kHeight) / box.height;
  int largest = 0;
  for (int y = 0; y < surfaceHeight; ++y) {
    for (int x = 0; x < surfaceWidth; ++x) {
      bool inside = x >= box.x && x < box.x + box.width && y >= box.y && y < box.y + box.height;
      for (int c = 0; c < 3; ++c) {
        double expected =
            inside ? Sample(frame, (x - box.x + 0.5) * scaleX - 0.5, (y - box.y + 0.5) * scaleY - 0.5, c) : 0.0;
        int error = std::abs(shown[(static_cast<size_t>(y) * surfaceWidth + x) * 4 + c] - static_cast<int>(std::lround(expected)));
        largest = std::max(largest, error);
      }
    }
  }
  return largest;
}

TEST(ScaledBackBuffer, ScalesDownWithinOneCodeOfASoftwareScaling) { EXPECT_LE(LargestError(1366, 768), 1); }

TEST(ScaledBackBuffer, ATallerScreenGetsTheFrameExactlyBetweenBlackBars) { EXPECT_EQ(LargestError(1920, 1200), 0); }

TEST(ScaledBackBuffer, AFourKScreenScalesUpWithinOneCode) { EXPECT_LE(LargestError(3840, 2160), 1); }

}  // namespace
