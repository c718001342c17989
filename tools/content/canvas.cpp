#include "canvas.h"

namespace sgcontent {

Color Hsv(float hue, float saturation, float value) {
  const float h = (hue - std::floor(hue)) * 6.0f;
  const int sector = static_cast<int>(h) % 6;
  const float f = h - std::floor(h);
  const float p = value * (1 - saturation);
  const float q = value * (1 - saturation * f);
  const float t = value * (1 - saturation * (1 - f));
  switch (sector) {
    case 0: return {value, t, p};
    case 1: return {q, value, p};
    case 2: return {p, value, t};
    case 3: return {p, q, value};
    case 4: return {t, p, value};
    default: return {value, p, q};
  }
}

Canvas::Canvas(int width, int height, Color fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

void Canvas::Blend(int x, int y, Color c, float alpha) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  At(x, y) = Mix(At(x, y), c, alpha);
}

void Canvas::Add(int x, int y, Color c, float amount) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  Color& p = At(x, y);
  p.r += c.r * amount;
  p.g += c.g * amount;
  p.b += c.b * amount;
}

void Canvas::MirrorHorizontally() {
  for (int y = 0; y < height_; ++y) {
    Color* row = &pixels_[static_cast<size_t>(y) * width_];
    std::reverse(row, row + width_);
  }
}

RgbImage Canvas::ToImage() const {
  RgbImage image;
  image.width = width_;
  image.height = height_;
  image.pixels.resize(pixels_.size() * 3);
  auto byte = [](float v) { return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0f)); };
  for (size_t i = 0; i < pixels_.size(); ++i) {
    image.pixels[i * 3 + 0] = byte(pixels_[i].r);
    image.pixels[i * 3 + 1] = byte(pixels_[i].g);
    image.pixels[i * 3 + 2] = byte(pixels_[i].b);
  }
  return image;
}

void FillRect(Canvas& canvas, float x0, float y0, float x1, float y1, Color color, float alpha) {
  const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  const float hx = (x1 - x0) / 2, hy = (y1 - y0) / 2;
  FillSdf(canvas, x0, y0, x1, y1,
          [=](float x, float y) { return std::max(std::fabs(x - cx) - hx, std::fabs(y - cy) - hy); },
          color, alpha);
}

void FillCircle(Canvas& canvas, float cx, float cy, float radius, Color color, float alpha) {
  FillSdf(canvas, cx - radius, cy - radius, cx + radius, cy + radius,
          [=](float x, float y) { return std::hypot(x - cx, y - cy) - radius; }, color, alpha);
}

void FillEllipse(Canvas& canvas, float cx, float cy, float rx, float ry, Color color, float alpha) {
  const float minRadius = std::min(rx, ry);
  FillSdf(canvas, cx - rx, cy - ry, cx + rx, cy + ry,
          [=](float x, float y) {
            // Distance in the unit circle's space, scaled back by the smaller
            // radius: exact enough for a one-pixel edge.
            const float k = std::hypot((x - cx) / rx, (y - cy) / ry);
            return (k - 1) * minRadius;
          },
          color, alpha);
}

void StrokeLine(Canvas& canvas, Point a, Point b, float radius, Color color, float alpha) {
  const float dx = b.x - a.x, dy = b.y - a.y;
  const float lengthSquared = dx * dx + dy * dy;
  FillSdf(canvas, std::min(a.x, b.x) - radius, std::min(a.y, b.y) - radius, std::max(a.x, b.x) + radius,
          std::max(a.y, b.y) + radius,
          [=](float x, float y) {
            float t = lengthSquared > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / lengthSquared : 0;
            t = Clamp01(t);
            return std::hypot(x - (a.x + t * dx), y - (a.y + t * dy)) - radius;
          },
          color, alpha);
}

void StrokePath(Canvas& canvas, const std::vector<Point>& points, float radius, Color color, float alpha) {
  for (size_t i = 1; i < points.size(); ++i) StrokeLine(canvas, points[i - 1], points[i], radius, color, alpha);
}

void FillPolygon(Canvas& canvas, const std::vector<Point>& points, Color color, float alpha) {
  if (points.size() < 3) return;
  float minX = points[0].x, maxX = minX, minY = points[0].y, maxY = minY;
  for (const Point& p : points) {
    minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
  }
  const int x0 = std::max(0, static_cast<int>(std::floor(minX)));
  const int x1 = std::min(canvas.width(), static_cast<int>(std::ceil(maxX)) + 1);
  const int y0 = std::max(0, static_cast<int>(std::floor(minY)));
  const int y1 = std::min(canvas.height(), static_cast<int>(std::ceil(maxY)) + 1);
  if (x0 >= x1) return;
  constexpr int kSamples = 4;
  std::vector<float> coverage(static_cast<size_t>(x1 - x0));
  std::vector<float> crossings;
  for (int y = y0; y < y1; ++y) {
    std::fill(coverage.begin(), coverage.end(), 0.0f);
    for (int sy = 0; sy < kSamples; ++sy) {
      const float py = y + (sy + 0.5f) / kSamples;
      crossings.clear();
      for (size_t i = 0; i < points.size(); ++i) {
        const Point& a = points[i];
        const Point& b = points[(i + 1) % points.size()];
        if ((a.y <= py) != (b.y <= py)) crossings.push_back(a.x + (py - a.y) / (b.y - a.y) * (b.x - a.x));
      }
      std::sort(crossings.begin(), crossings.end());
      for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
        for (int sx = 0; sx < kSamples * (x1 - x0); ++sx) {
          const float px = x0 + (sx + 0.5f) / kSamples;
          if (px >= crossings[i] && px < crossings[i + 1]) coverage[sx / kSamples] += 1.0f / (kSamples * kSamples);
        }
      }
    }
    for (int x = x0; x < x1; ++x) {
      if (coverage[x - x0] > 0) canvas.Blend(x, y, color, Clamp01(coverage[x - x0]) * alpha);
    }
  }
}

void VerticalGradient(Canvas& canvas, Color top, Color bottom) {
  const float span = static_cast<float>(std::max(1, canvas.height() - 1));
  canvas.ForEach([&](int, int y, Color& p) { p = Mix(top, bottom, y / span); });
}

void LayMask(Canvas& canvas, const Canvas& mask, Color color, float alpha, int x, int y) {
  for (int my = 0; my < mask.height(); ++my)
    for (int mx = 0; mx < mask.width(); ++mx) {
      const float coverage = Clamp01(mask.At(mx, my).r);
      if (coverage > 0) canvas.Blend(x + mx, y + my, color, coverage * alpha);
    }
}

void AddMask(Canvas& canvas, const Canvas& mask, Color color, float amount) {
  const int w = std::min(canvas.width(), mask.width());
  const int h = std::min(canvas.height(), mask.height());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) canvas.Add(x, y, color, mask.At(x, y).r * amount);
}

namespace {

// One box pass along a line of n pixels spaced by stride, edges clamped.
void BoxPass(Color* line, int n, int stride, int radius, std::vector<Color>& scratch) {
  scratch.resize(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) scratch[i] = line[static_cast<size_t>(i) * stride];
  const float k = 1.0f / (2 * radius + 1);
  Color sum;
  for (int i = -radius; i <= radius; ++i) {
    const Color& c = scratch[std::clamp(i, 0, n - 1)];
    sum.r += c.r, sum.g += c.g, sum.b += c.b;
  }
  for (int i = 0; i < n; ++i) {
    line[static_cast<size_t>(i) * stride] = Scale(sum, k);
    const Color& out = scratch[std::clamp(i - radius, 0, n - 1)];
    const Color& in = scratch[std::clamp(i + radius + 1, 0, n - 1)];
    sum.r += in.r - out.r, sum.g += in.g - out.g, sum.b += in.b - out.b;
  }
}

}  // namespace

void Blur(Canvas& canvas, int radius) {
  if (radius <= 0) return;
  std::vector<Color> scratch;
  for (int pass = 0; pass < 3; ++pass) {
    for (int y = 0; y < canvas.height(); ++y) BoxPass(&canvas.At(0, y), canvas.width(), 1, radius, scratch);
    for (int x = 0; x < canvas.width(); ++x) BoxPass(&canvas.At(x, 0), canvas.height(), canvas.width(), radius, scratch);
  }
}

void AddGrain(Canvas& canvas, float amount, uint32_t seed) {
  canvas.ForEach([&](int x, int y, Color& p) {
    const float n = (Hash(x, y, seed) - 0.5f) * 2 * amount;
    p.r += n, p.g += n, p.b += n;
  });
}

void Vignette(Canvas& canvas, float strength) {
  const float cx = canvas.width() / 2.0f, cy = canvas.height() / 2.0f;
  canvas.ForEach([&](int x, int y, Color& p) {
    const float dx = (x + 0.5f - cx) / cx, dy = (y + 0.5f - cy) / cy;
    p = Scale(p, 1 - strength * Clamp01((dx * dx + dy * dy) / 2));
  });
}

float Hash(int x, int y, uint32_t seed) {
  uint32_t h = seed * 0x9E3779B9u ^ static_cast<uint32_t>(x) * 0x85EBCA6Bu ^ static_cast<uint32_t>(y) * 0xC2B2AE35u;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return (h >> 8) * (1.0f / 16777216.0f);
}

float ValueNoise(float x, float y, uint32_t seed, int period) {
  const float fx = std::floor(x), fy = std::floor(y);
  int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
  int x1 = x0 + 1, y1 = y0 + 1;
  if (period > 0) {
    auto wrap = [period](int v) { return ((v % period) + period) % period; };
    x0 = wrap(x0), x1 = wrap(x1), y0 = wrap(y0), y1 = wrap(y1);
  }
  const float tx = x - fx, ty = y - fy;
  const float sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
  const float top = Hash(x0, y0, seed) + (Hash(x1, y0, seed) - Hash(x0, y0, seed)) * sx;
  const float bottom = Hash(x0, y1, seed) + (Hash(x1, y1, seed) - Hash(x0, y1, seed)) * sx;
  return top + (bottom - top) * sy;
}

float Fbm(float x, float y, int octaves, uint32_t seed, int period) {
  float sum = 0, weight = 1, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += ValueNoise(x, y, seed + static_cast<uint32_t>(i) * 101u, period) * weight;
    total += weight;
    weight *= 0.5f;
    x *= 2, y *= 2;
    if (period > 0) period *= 2;
  }
  return sum / total;
}

}  // namespace sgcontent
