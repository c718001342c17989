#include "audio/resample.h"

#include <cmath>

namespace sgaudio {

PcmBuffer ResampleLinear(const PcmBuffer& in, int rate) {
  if (in.rate == rate || in.rate <= 0 || rate <= 0 || in.Frames() == 0) return in;
  PcmBuffer out;
  out.rate = rate;
  out.channels = in.channels;
  size_t inFrames = in.Frames();
  size_t outFrames = static_cast<size_t>((static_cast<uint64_t>(inFrames) * static_cast<uint64_t>(rate) +
                                          static_cast<uint64_t>(in.rate) - 1) /
                                         static_cast<uint64_t>(in.rate));
  out.samples.resize(outFrames * static_cast<size_t>(out.channels));
  double step = static_cast<double>(in.rate) / rate;
  for (size_t frame = 0; frame < outFrames; ++frame) {
    double source = static_cast<double>(frame) * step;
    size_t left = static_cast<size_t>(source);
    size_t right = left + 1 < inFrames ? left + 1 : inFrames - 1;
    double t = source - static_cast<double>(left);
    for (int c = 0; c < out.channels; ++c) {
      double a = in.samples[left * static_cast<size_t>(in.channels) + static_cast<size_t>(c)];
      double b = in.samples[right * static_cast<size_t>(in.channels) + static_cast<size_t>(c)];
      out.samples[frame * static_cast<size_t>(out.channels) + static_cast<size_t>(c)] =
          static_cast<int16_t>(std::lround(a + (b - a) * t));
    }
  }
  return out;
}

}  // namespace sgaudio
