#include "audio/fft.h"

#include <cmath>
#include <utility>

namespace sgaudio {

namespace {

void BitReverse(float* re, float* im, int n) {
  for (int i = 1, j = 0; i < n; ++i) {
    int bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j |= bit;
    if (i < j) {
      std::swap(re[i], re[j]);
      std::swap(im[i], im[j]);
    }
  }
}

}  // namespace

void FftInPlace(float* re, float* im, int n) {
  BitReverse(re, im, n);
  const double kPi = 3.14159265358979323846;
  for (int len = 2; len <= n; len <<= 1) {
    // Twiddles by recurrence in double: exact enough for 2^20 points and far
    // cheaper than a sine and cosine per butterfly.
    double angle = -2.0 * kPi / len;
    double stepRe = std::cos(angle), stepIm = std::sin(angle);
    double wRe = 1.0, wIm = 0.0;
    int half = len / 2;
    for (int k = 0; k < half; ++k) {
      float twRe = static_cast<float>(wRe), twIm = static_cast<float>(wIm);
      for (int start = 0; start < n; start += len) {
        int a = start + k, b = a + half;
        float tRe = re[b] * twRe - im[b] * twIm;
        float tIm = re[b] * twIm + im[b] * twRe;
        re[b] = re[a] - tRe;
        im[b] = im[a] - tIm;
        re[a] += tRe;
        im[a] += tIm;
      }
      double nextRe = wRe * stepRe - wIm * stepIm;
      wIm = wRe * stepIm + wIm * stepRe;
      wRe = nextRe;
    }
  }
}

}  // namespace sgaudio
