#include "web/gl/mipmaps.h"

#include <algorithm>
#include <cmath>

namespace sgwebgl {

namespace {

// Visits each input texel under output texel `at` (of outSize) with its
// share of the box, inSize / outSize texels long: a partly covered texel
// counts by the part covered.
template <typename Visit>
void ForBoxTexels(int at, int inSize, int outSize, Visit visit) {
  const double step = static_cast<double>(inSize) / outSize;
  const double low = at * step;
  const double high = std::min((at + 1) * step, static_cast<double>(inSize));
  for (int texel = static_cast<int>(low); texel < inSize && texel < high; ++texel) {
    const double weight = std::min(texel + 1.0, high) - std::max(static_cast<double>(texel), low);
    if (weight > 0.0) visit(texel, weight / step);
  }
}

// Box-filters each row of a width x height image of doubles to outWidth.
void ScaleRows(const std::vector<double>& in, int width, int height, int outWidth, std::vector<double>& out) {
  out.assign(static_cast<size_t>(outWidth) * height * 4, 0.0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < outWidth; ++x) {
      double* to = &out[(static_cast<size_t>(y) * outWidth + x) * 4];
      ForBoxTexels(x, width, outWidth, [&](int texel, double weight) {
        const double* from = &in[(static_cast<size_t>(y) * width + texel) * 4];
        for (int c = 0; c < 4; ++c) to[c] += from[c] * weight;
      });
    }
  }
}

// Box-filters each column of a width x height image of doubles to outHeight.
void ScaleColumns(const std::vector<double>& in, int width, int height, int outHeight, std::vector<double>& out) {
  out.assign(static_cast<size_t>(width) * outHeight * 4, 0.0);
  for (int y = 0; y < outHeight; ++y) {
    ForBoxTexels(y, height, outHeight, [&](int row, double weight) {
      for (int x = 0; x < width; ++x) {
        const double* from = &in[(static_cast<size_t>(row) * width + x) * 4];
        double* to = &out[(static_cast<size_t>(y) * width + x) * 4];
        for (int c = 0; c < 4; ++c) to[c] += from[c] * weight;
      }
    });
  }
}

// Truncated; a whole number that the sums leave a hair below still counts
// as itself.
uint8_t TruncateTexel(double value) { return static_cast<uint8_t>(std::clamp(std::floor(value + 1e-6), 0.0, 255.0)); }

}  // namespace

void UnpackToRgba(const uint8_t* pixels, int width, int height, int alignment, const PixelLayout& layout,
                  bool keepAlpha, RgbaImage& out) {
  out.width = width;
  out.height = height;
  out.texels.resize(static_cast<size_t>(width) * height * 4);
  const size_t rowBytes = static_cast<size_t>(width) * layout.bytesPerPixel;
  const size_t stride = (rowBytes + alignment - 1) / alignment * alignment;
  uint8_t* to = out.texels.data();
  for (int y = 0; y < height; ++y) {
    const uint8_t* from = pixels + stride * y;
    for (int x = 0; x < width; ++x, from += layout.bytesPerPixel, to += 4) {
      to[0] = from[layout.red];
      to[1] = from[layout.green];
      to[2] = from[layout.blue];
      to[3] = keepAlpha && layout.alpha >= 0 ? from[layout.alpha] : 255;
    }
  }
}

int NearestPowerOfTwo(int size) {
  if (size <= 1) return 1;
  int power = 1;
  while (power * 2 <= size) power *= 2;
  // size lies in [power, 2 x power): the midpoint decides.
  return size >= power + power / 2 ? power * 2 : power;
}

void FitWithin(int maxSize, int& width, int& height) {
  while (width > maxSize || height > maxSize) {
    if (width == 1 && height == 1) return;
    width = std::max(1, width / 2);
    height = std::max(1, height / 2);
  }
}

void ScaleImage(const RgbaImage& in, int width, int height, RgbaImage& out) {
  std::vector<double> source(in.texels.begin(), in.texels.end());
  std::vector<double> across;
  std::vector<double> scaled;
  // The box is separable: rows first, then columns.
  ScaleRows(source, in.width, in.height, width, across);
  ScaleColumns(across, width, in.height, height, scaled);
  out.width = width;
  out.height = height;
  out.texels.resize(scaled.size());
  for (size_t i = 0; i < scaled.size(); ++i) out.texels[i] = TruncateTexel(scaled[i]);
}

void HalveImage(const RgbaImage& in, RgbaImage& out) {
  out.width = std::max(1, in.width / 2);
  out.height = std::max(1, in.height / 2);
  out.texels.resize(static_cast<size_t>(out.width) * out.height * 4);
  // A side already 1 is not halved: its texels pair along the other only.
  const size_t dx = in.width > 1 ? 4 : 0;
  const size_t dy = in.height > 1 ? static_cast<size_t>(in.width) * 4 : 0;
  const int count = (dx ? 2 : 1) * (dy ? 2 : 1);
  uint8_t* to = out.texels.data();
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x, to += 4) {
      const uint8_t* from = &in.texels[(static_cast<size_t>(y) * 2 * in.width + x * 2) * 4];
      for (int c = 0; c < 4; ++c) {
        int sum = from[c];
        if (dx) sum += from[dx + c];
        if (dy) sum += from[dy + c];
        if (dx && dy) sum += from[dx + dy + c];
        to[c] = static_cast<uint8_t>((sum + (count == 4 ? 2 : 0)) / count);
      }
    }
  }
}

}  // namespace sgwebgl
