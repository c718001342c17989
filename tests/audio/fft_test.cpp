// The hand-written FFT against a naive DFT, and the spectrum's window and
// scale, from plain sample arrays.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "audio/fft.h"
#include "audio/spectrum.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

std::vector<std::complex<double>> NaiveDft(const std::vector<float>& re, const std::vector<float>& im) {
  size_t n = re.size();
  std::vector<std::complex<double>> out(n);
  for (size_t k = 0; k < n; ++k) {
    std::complex<double> sum = 0.0;
    for (size_t t = 0; t < n; ++t) {
      sum += std::complex<double>(re[t], im[t]) * std::polar(1.0, -kTwoPi * static_cast<double>(k * t % n) / n);
    }
    out[k] = sum;
  }
  return out;
}

TEST(Fft, MatchesANaiveDftOnRandomComplexInputOfEverySize) {
  std::mt19937 random(1234);
  std::uniform_real_distribution<float> value(-1.0f, 1.0f);
  for (int n : {1, 2, 4, 8, 64, 1024}) {
    std::vector<float> re(static_cast<size_t>(n)), im(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
      re[static_cast<size_t>(i)] = value(random);
      im[static_cast<size_t>(i)] = value(random);
    }
    std::vector<std::complex<double>> expected = NaiveDft(re, im);
    sgaudio::FftInPlace(re.data(), im.data(), n);
    double worst = 0.0;
    for (size_t k = 0; k < static_cast<size_t>(n); ++k) {
      worst = std::max(worst, std::abs(std::complex<double>(re[k], im[k]) - expected[k]));
    }
    // Values of size ~√n·0.6; float rounding over log2(n) stages.
    EXPECT_LT(worst, 1e-4 * std::sqrt(static_cast<double>(n)) * 10) << "n=" << n;
  }
}

std::vector<float> Sine(double cyclesPerWindow, double amplitude, double phase = 0.0) {
  std::vector<float> s(sgaudio::kSpectrumWindow);
  for (int i = 0; i < sgaudio::kSpectrumWindow; ++i) {
    s[static_cast<size_t>(i)] =
        static_cast<float>(amplitude * 32768.0 * std::sin(kTwoPi * cyclesPerWindow * i / sgaudio::kSpectrumWindow + phase));
  }
  return s;
}

TEST(Spectrum, AFullScaleSineCentredOnABinReadsOneThereWhateverItsPhase) {
  float bins[sgaudio::kSpectrumBins];
  for (int bin : {1, 5, 100, 511}) {
    for (double phase : {0.0, 0.7, 2.0}) {
      std::vector<float> s = Sine(bin, 1.0, phase);
      sgaudio::Spectrum1024(s.data(), bins);
      EXPECT_NEAR(bins[bin], 1.0f, 0.01f) << "bin " << bin;
      // The Hann window spreads a centred sine to its two neighbours at half height, nowhere else.
      if (bin > 1) {
        EXPECT_NEAR(bins[bin - 1], 0.5f, 0.01f);
      }
      if (bin + 2 < sgaudio::kSpectrumBins) {
        EXPECT_NEAR(bins[bin + 2], 0.0f, 0.001f);
      }
    }
  }
}

TEST(Spectrum, ScalesWithAmplitudeAndPutsAConstantInBinZero) {
  float bins[sgaudio::kSpectrumBins];
  std::vector<float> s = Sine(43, 0.25);
  sgaudio::Spectrum1024(s.data(), bins);
  EXPECT_NEAR(bins[43], 0.25f, 0.003f);

  std::vector<float> constant(sgaudio::kSpectrumWindow, 8192.0f);
  sgaudio::Spectrum1024(constant.data(), bins);
  EXPECT_GT(bins[0], 0.4f);
  EXPECT_NEAR(bins[1], bins[0] / 2, 0.001f);  // the window's own leakage
  for (int k = 2; k < sgaudio::kSpectrumBins; ++k) ASSERT_LT(bins[k], 1e-4f) << k;

  std::vector<float> silence(sgaudio::kSpectrumWindow, 0.0f);
  sgaudio::Spectrum1024(silence.data(), bins);
  for (int k = 0; k < sgaudio::kSpectrumBins; ++k) ASSERT_EQ(bins[k], 0.0f);
}

}  // namespace
