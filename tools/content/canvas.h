// A floating-point drawing surface for the procedural pictures: antialiased
// shapes, gradients, hashed noise and blurs. Single-threaded; each Canvas owns
// its pixels. Everything is deterministic: no clocks, fixed seeds only.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "bmp.h"

namespace sgcontent {

struct Color {
  float r = 0, g = 0, b = 0;
};

inline Color Rgb(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f}; }
inline Color Mix(Color a, Color b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline Color Scale(Color c, float k) { return {c.r * k, c.g * k, c.b * k}; }
// Hue in turns (0..1), saturation and value 0..1.
Color Hsv(float hue, float saturation, float value);

inline float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline float SmoothStep(float edge0, float edge1, float x) {
  const float t = Clamp01((x - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}

struct Point {
  float x = 0, y = 0;
};

class Canvas {
 public:
  Canvas(int width, int height, Color fill = {});

  int width() const { return width_; }
  int height() const { return height_; }
  Color& At(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  const Color& At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

  // Paints c over the pixel with the given opacity; out-of-range is ignored.
  void Blend(int x, int y, Color c, float alpha);
  // Adds c * amount to the pixel (light, glow); out-of-range is ignored.
  void Add(int x, int y, Color c, float amount);

  // Calls f(x, y, pixel) for every pixel, top row first.
  template <typename F>
  void ForEach(F f) {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) f(x, y, At(x, y));
  }

  void MirrorHorizontally();
  // Rounds every channel to 8 bits, clamped to 0..255.
  RgbImage ToImage() const;

 private:
  int width_;
  int height_;
  std::vector<Color> pixels_;
};

// Fills the pixels inside a signed distance field (negative inside, in pixels),
// with one pixel of antialiasing at the edge, within the box [x0, x1) x [y0, y1).
template <typename Sdf>
void FillSdf(Canvas& canvas, float x0, float y0, float x1, float y1, Sdf sdf, Color color, float alpha = 1) {
  const int ix0 = std::max(0, static_cast<int>(std::floor(x0)) - 1);
  const int iy0 = std::max(0, static_cast<int>(std::floor(y0)) - 1);
  const int ix1 = std::min(canvas.width(), static_cast<int>(std::ceil(x1)) + 1);
  const int iy1 = std::min(canvas.height(), static_cast<int>(std::ceil(y1)) + 1);
  for (int y = iy0; y < iy1; ++y) {
    for (int x = ix0; x < ix1; ++x) {
      const float coverage = Clamp01(0.5f - sdf(x + 0.5f, y + 0.5f));
      if (coverage > 0) canvas.Blend(x, y, color, coverage * alpha);
    }
  }
}

void FillRect(Canvas& canvas, float x0, float y0, float x1, float y1, Color color, float alpha = 1);
void FillCircle(Canvas& canvas, float cx, float cy, float radius, Color color, float alpha = 1);
void FillEllipse(Canvas& canvas, float cx, float cy, float rx, float ry, Color color, float alpha = 1);
// A line with round ends, radius being half its thickness.
void StrokeLine(Canvas& canvas, Point a, Point b, float radius, Color color, float alpha = 1);
// Connected segments through the points.
void StrokePath(Canvas& canvas, const std::vector<Point>& points, float radius, Color color, float alpha = 1);
// Even-odd fill, 4 x 4 samples a pixel.
void FillPolygon(Canvas& canvas, const std::vector<Point>& points, Color color, float alpha = 1);
// Vertical gradient from top to bottom over the whole canvas.
void VerticalGradient(Canvas& canvas, Color top, Color bottom);
// Paints color through a coverage mask (its red channel, 0..1) placed with
// its top-left corner at (x, y).
void LayMask(Canvas& canvas, const Canvas& mask, Color color, float alpha = 1, int x = 0, int y = 0);
// Adds color scaled by a mask's red channel: light and glow.
void AddMask(Canvas& canvas, const Canvas& mask, Color color, float amount = 1);
// Three passes of a box blur of the given radius: close to a Gaussian.
void Blur(Canvas& canvas, int radius);
// Film grain: adds a signed amount of hashed noise to every pixel.
void AddGrain(Canvas& canvas, float amount, uint32_t seed);
// Darkens towards the corners.
void Vignette(Canvas& canvas, float strength);

// Hashed noise, all in 0..1 and repeatable from the seed.
float Hash(int x, int y, uint32_t seed);
// Smooth value noise; a non-zero period makes it tile with that many cells.
float ValueNoise(float x, float y, uint32_t seed, int period = 0);
// Sum of octaves of value noise, normalised to 0..1.
float Fbm(float x, float y, int octaves, uint32_t seed, int period = 0);

}  // namespace sgcontent
