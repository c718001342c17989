// The 1024-point magnitude spectrum behind BASS_DATA_FFT1024: Hann window,
// scaled so that a full-scale sine centred on a bin reads 1.0 in that bin.
// Pure function without allocation; any thread.
#pragma once

namespace sgaudio {

constexpr int kSpectrumWindow = 1024;
constexpr int kSpectrumBins = kSpectrumWindow / 2;

// `samples`: 1024 values on the 16-bit scale (full scale 32768). `bins`: 512
// magnitudes, bin 0 the constant component, bin k at k × rate / 1024 Hz.
void Spectrum1024(const float* samples, float* bins);

}  // namespace sgaudio
