// Decodes an MP3 with the Windows decoder (the system codec, then our gapless
// trim and mono mix) and compares it with reference samples from another
// decoder: the same length, no lag, the same waveform. Prints the figures.
//
//   acm_decode_check FILE.mp3 REFERENCE.raw mono|stereo|raw
//
// REFERENCE.raw: 16-bit little-endian samples, interleaved as asked (the
// mpg123 program's `-q -s`, with `-m` for mono). With `raw` the codec's own
// untrimmed output is compared instead, with `mpg123 -q --no-gapless -s`:
// that measures the codec's delay. Exit code 0 when they agree.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "audio/file_bytes.h"
#include "audio/mp3_decoder.h"
#include "audio/mp3_frames.h"
#include "audio/win32/acm_mp3.h"

namespace {

// How far either way to look for the best alignment, and over how much audio.
constexpr int kMaxLag = 3000;
constexpr size_t kWindow = 20000;
// Two decoders of the same frames may round differently: allow a few units
// of the 16-bit scale, but nothing like a shifted or missing frame.
constexpr int kMaxSampleDifference = 8;

std::vector<int16_t> ReadRaw(const char* path) {
  std::vector<uint8_t> bytes;
  if (sgaudio::ReadFileWindow(path, 0, 0, bytes) != sgaudio::FileStatus::Ok) return {};
  std::vector<int16_t> samples(bytes.size() / 2);
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<int16_t>(static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
  }
  return samples;
}

std::vector<int16_t> Channel0(const std::vector<int16_t>& samples, int channels) {
  std::vector<int16_t> out;
  for (size_t i = 0; i < samples.size(); i += static_cast<size_t>(channels)) out.push_back(samples[i]);
  return out;
}

// The lag L at which decoded[i + L] best matches reference[i], by the sum of
// absolute differences over a window past the first kMaxLag samples.
int BestLag(const std::vector<int16_t>& reference, const std::vector<int16_t>& decoded) {
  const size_t begin = kMaxLag;
  const size_t end = std::min({reference.size(), decoded.size() > kMaxLag ? decoded.size() - kMaxLag : 0,
                               begin + kWindow});
  int best = 0;
  double bestError = -1.0;
  for (int lag = -kMaxLag; lag <= kMaxLag; ++lag) {
    double error = 0.0;
    for (size_t i = begin; i < end; ++i) {
      size_t at = static_cast<size_t>(static_cast<long long>(i) + lag);  // i >= kMaxLag
      error += std::abs(decoded[at] - reference[i]);
    }
    if (bestError < 0.0 || error < bestError) {
      bestError = error;
      best = lag;
    }
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc == 4 ? argv[3] : "";
  if (mode != "mono" && mode != "stereo" && mode != "raw") {
    std::fprintf(stderr, "usage: acm_decode_check FILE.mp3 REFERENCE.raw mono|stereo|raw\n");
    return 2;
  }
  const bool mono = mode == "mono";
  std::vector<uint8_t> mp3;
  if (sgaudio::ReadFileWindow(argv[1], 0, 0, mp3) != sgaudio::FileStatus::Ok) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 2;
  }
  std::vector<int16_t> reference = ReadRaw(argv[2]);
  if (reference.empty()) {
    std::fprintf(stderr, "cannot read %s\n", argv[2]);
    return 2;
  }

  // The codec's raw output, for the figures.
  sgaudio::Mp3Layout layout;
  if (!sgaudio::ScanMp3(mp3.data(), mp3.size(), layout)) {
    std::fprintf(stderr, "%s: not an MP3 stream\n", argv[1]);
    return 1;
  }
  std::vector<int16_t> raw;
  if (sgaudio::DecodeMp3FramesWithAcm(mp3.data(), layout, raw) != sgaudio::Mp3Status::Ok) {
    std::fprintf(stderr, "%s: the system codec failed\n", argv[1]);
    return 1;
  }
  const int fileChannels = layout.format.channels;
  std::printf("%s: %d Hz, %d channel(s), %zu audio frames of %d samples, tag %s", argv[1], layout.format.rate,
              fileChannels, layout.frames.size(), layout.format.samples, layout.hasTag ? "yes" : "no");
  if (layout.hasTag && layout.tag.hasGapless) {
    std::printf(" (delay %d, padding %d, frames %u)", layout.tag.encoderDelay, layout.tag.encoderPadding,
                layout.tag.frameCount);
  }
  std::printf("\n  codec output: %zu samples per channel (frames x samples: %llu)\n",
              raw.size() / static_cast<size_t>(fileChannels),
              static_cast<unsigned long long>(layout.DecodedSamples()));

  sgaudio::PcmBuffer pcm;
  if (mode == "raw") {
    pcm.rate = layout.format.rate;
    pcm.channels = fileChannels;
    pcm.samples = raw;
  } else {
    sgaudio::Mp3Status status = sgaudio::DecodeMp3(mp3.data(), mp3.size(), mono, pcm);
    if (status != sgaudio::Mp3Status::Ok) {
      std::fprintf(stderr, "%s: DecodeMp3 failed (%d)\n", argv[1], static_cast<int>(status));
      return 1;
    }
  }
  const int channels = pcm.channels;
  const size_t frames = pcm.Frames();
  const size_t referenceFrames = reference.size() / static_cast<size_t>(channels);
  std::vector<int16_t> ours = Channel0(pcm.samples, channels);
  std::vector<int16_t> theirs = Channel0(reference, channels);
  const int lag = BestLag(theirs, ours);
  // Compare the two in full at zero lag.
  int maxDifference = 0;
  size_t worstAt = 0;
  double error = 0.0, energy = 0.0;
  const size_t common = std::min(pcm.samples.size(), reference.size());
  for (size_t i = 0; i < common; ++i) {
    int difference = std::abs(pcm.samples[i] - reference[i]);
    if (difference > maxDifference) {
      maxDifference = difference;
      worstAt = i / static_cast<size_t>(channels);
    }
    error += static_cast<double>(difference) * difference;
    energy += static_cast<double>(reference[i]) * reference[i];
  }
  const double snr = error > 0.0 ? 10.0 * std::log10(energy / error) : 999.0;
  std::printf("  %s: %zu samples per channel x %d, reference %zu; best lag %d; max difference %d (at %zu); "
              "signal to difference %.1f dB\n",
              mode == "raw" ? "untrimmed" : "trimmed", frames, channels, referenceFrames, lag, maxDifference, worstAt, snr);

  bool ok = true;
  if (channels != (mono ? 1 : fileChannels)) {
    std::printf("  FAIL: %d channels\n", channels);
    ok = false;
  }
  if (frames != referenceFrames) {
    std::printf("  FAIL: length %zu, reference %zu\n", frames, referenceFrames);
    ok = false;
  }
  if (lag != 0) {
    std::printf("  FAIL: lag %d samples\n", lag);
    ok = false;
  }
  if (maxDifference > kMaxSampleDifference) {
    std::printf("  FAIL: samples differ by up to %d\n", maxDifference);
    ok = false;
  }
  std::printf("  %s\n", ok ? "OK" : "MISMATCH");
  return ok ? 0 : 1;
}
