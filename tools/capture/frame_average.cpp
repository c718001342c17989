#include "frame_average.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <thread>

namespace sgcapture {

namespace {

// The sRGB transfer function (IEC 61966-2-1), code values 0..1 to linear.
double Decode(double code) { return code <= 0.04045 ? code / 12.92 : std::pow((code + 0.055) / 1.055, 2.4); }

// Linear light is averaged as floats; the way back quantises it to 16 bits
// and looks the code up. Each entry is the code whose sRGB value is nearest:
// the thresholds are the linear values of the midpoints between codes. The
// nearest code lies at least ten steps of 1/65535 from either threshold, so a
// pixel that is the same in every sample comes back exactly.
constexpr int kLinearSteps = 65535;

struct Tables {
  std::array<float, 256> toLinear;
  std::vector<uint8_t> toSrgb;
  Tables() : toSrgb(kLinearSteps + 1) {
    for (int code = 0; code < 256; ++code) toLinear[code] = static_cast<float>(Decode(code / 255.0));
    int code = 0;
    for (int step = 0; step <= kLinearSteps; ++step) {
      double linear = static_cast<double>(step) / kLinearSteps;
      while (code < 255 && linear >= Decode((code + 0.5) / 255.0)) ++code;
      toSrgb[static_cast<size_t>(step)] = static_cast<uint8_t>(code);
    }
  }
};

const Tables& Table() {
  static const Tables tables;
  return tables;
}

// Runs work over bands of rows, one band a processor: the rasteriser's
// threads are idle while a frame is averaged, so the processors are free.
void ForBands(int rows, const std::function<void(int begin, int end)>& work) {
  int bands = static_cast<int>(std::min(4u, std::max(1u, std::thread::hardware_concurrency())));
  std::vector<std::thread> helpers;
  for (int band = 1; band < bands; ++band) {
    helpers.emplace_back(work, rows * band / bands, rows * (band + 1) / bands);
  }
  work(0, rows / bands);
  for (std::thread& helper : helpers) helper.join();
}

}  // namespace

float SrgbToLinear(uint8_t code) { return Table().toLinear[code]; }

uint8_t LinearToSrgb(float linear) {
  float clamped = std::min(std::max(linear, 0.0f), 1.0f);
  return Table().toSrgb[static_cast<size_t>(std::lround(clamped * kLinearSteps))];
}

FrameAverager::FrameAverager(int outWidth, int outHeight, int factor)
    : outWidth_(outWidth), outHeight_(outHeight), factor_(factor),
      sums_(static_cast<size_t>(outWidth) * outHeight * 3, 0.0f) {}

// Each output pixel sums the factor x factor block it covers: an area filter.
void FrameAverager::Add(const uint8_t* bgra) {
  const std::array<float, 256>& toLinear = Table().toLinear;
  const size_t inWidth = static_cast<size_t>(outWidth_) * factor_;
  ForBands(outHeight_, [&](int begin, int end) { AddRows(bgra, inWidth, toLinear, begin, end); });
  ++count_;
}

void FrameAverager::AddRows(const uint8_t* bgra, size_t inWidth, const std::array<float, 256>& toLinear, int begin,
                            int end) {
  for (int y = begin; y < end; ++y) {
    float* out = &sums_[static_cast<size_t>(y) * outWidth_ * 3];
    for (int sy = 0; sy < factor_; ++sy) {
      const uint8_t* in = bgra + (static_cast<size_t>(y) * factor_ + sy) * inWidth * 4;
      for (int x = 0; x < outWidth_; ++x) {
        float* sum = out + static_cast<size_t>(x) * 3;
        for (int sx = 0; sx < factor_; ++sx, in += 4) {
          sum[0] += toLinear[in[0]];
          sum[1] += toLinear[in[1]];
          sum[2] += toLinear[in[2]];
        }
      }
    }
  }
}

void FrameAverager::Resolve(std::vector<uint8_t>& bgra) {
  const std::vector<uint8_t>& toSrgb = Table().toSrgb;
  const float scale = count_ > 0 ? kLinearSteps / static_cast<float>(count_ * factor_ * factor_) : 0.0f;
  bgra.resize(static_cast<size_t>(outWidth_) * outHeight_ * 4);
  ForBands(outHeight_, [&](int begin, int end) {
    for (size_t pixel = static_cast<size_t>(begin) * outWidth_; pixel < static_cast<size_t>(end) * outWidth_; ++pixel) {
      for (int c = 0; c < 3; ++c) {
        float step = std::min(sums_[pixel * 3 + c] * scale + 0.5f, static_cast<float>(kLinearSteps));
        bgra[pixel * 4 + c] = toSrgb[static_cast<size_t>(step)];
        sums_[pixel * 3 + c] = 0.0f;
      }
      bgra[pixel * 4 + 3] = 255;
    }
  });
  count_ = 0;
}

}  // namespace sgcapture
