// Motion blur and supersampling: sub-frames (BGRA, bottom row first, `factor`
// times the output size each way) are scaled down with an area filter and
// summed in linear light; Resolve gives their mean, back in sRGB, at the
// output size. Called from one thread; the work is spread over the processors.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sgcapture {

class FrameAverager {
 public:
  FrameAverager(int outWidth, int outHeight, int factor);

  // One sub-frame of factor * outWidth by factor * outHeight pixels.
  void Add(const uint8_t* bgra);
  int Count() const { return count_; }
  // The mean of the sub-frames added since the last Resolve (BGRA, alpha
  // opaque, bottom row first), and starts over.
  void Resolve(std::vector<uint8_t>& bgra);

 private:
  void AddRows(const uint8_t* bgra, size_t inWidth, const std::array<float, 256>& toLinear, int begin, int end);

  int outWidth_;
  int outHeight_;
  int factor_;
  int count_ = 0;
  std::vector<float> sums_;  // linear light, 3 a pixel (B, G, R)
};

// The sRGB curve both ways, as the averager converts: code value to linear
// light exactly, and linear light to the nearest code value.
float SrgbToLinear(uint8_t code);
uint8_t LinearToSrgb(float linear);

}  // namespace sgcapture
