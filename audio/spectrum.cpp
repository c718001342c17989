#include "audio/spectrum.h"

#include <array>
#include <cmath>

#include "audio/fft.h"

namespace sgaudio {

namespace {

// Periodic Hann: its sum is exactly N/2, which the scale below relies on.
const std::array<float, kSpectrumWindow>& HannWindow() {
  static const std::array<float, kSpectrumWindow> window = [] {
    std::array<float, kSpectrumWindow> w{};
    const double kTwoPi = 6.283185307179586;
    for (int i = 0; i < kSpectrumWindow; ++i) w[i] = static_cast<float>(0.5 - 0.5 * std::cos(kTwoPi * i / kSpectrumWindow));
    return w;
  }();
  return window;
}

}  // namespace

void Spectrum1024(const float* samples, float* bins) {
  const std::array<float, kSpectrumWindow>& window = HannWindow();
  float re[kSpectrumWindow];
  float im[kSpectrumWindow];
  for (int i = 0; i < kSpectrumWindow; ++i) {
    re[i] = samples[i] * window[i];
    im[i] = 0.0f;
  }
  FftInPlace(re, im, kSpectrumWindow);
  // A sine of amplitude A on a bin gives |X| = A·N/4 under this window.
  const float kScale = 4.0f / (kSpectrumWindow * 32768.0f);
  for (int k = 0; k < kSpectrumBins; ++k) bins[k] = std::sqrt(re[k] * re[k] + im[k] * im[k]) * kScale;
}

}  // namespace sgaudio
