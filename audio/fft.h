// Forward complex FFT, radix-2, in place and without allocation, so it can run
// on any thread and build anywhere. Unscaled: X[k] = Σ x[n]·e^(−2πi·kn/N).
#pragma once

namespace sgaudio {

// n must be a power of two, at least 1; `re` and `im` hold n values each.
void FftInPlace(float* re, float* im, int n);

}  // namespace sgaudio
