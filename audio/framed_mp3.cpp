// The frame decoders' common ground: scan, bounds, trim and mix.
#include "audio/framed_mp3.h"

#include <new>

namespace sgaudio {

namespace {

// Keeps the trimmed stretch, averaging the channels into one when asked.
void TrimAndMix(const std::vector<int16_t>& decoded, int channels, const Mp3Trim& trim, bool mono, PcmBuffer& out) {
  const size_t c = static_cast<size_t>(channels);
  const int16_t* from = decoded.data() + trim.skip * c;
  const size_t frames = static_cast<size_t>(trim.length);
  if (!mono || channels == 1) {
    out.channels = channels;
    out.samples.assign(from, from + frames * c);
    return;
  }
  out.channels = 1;
  out.samples.resize(frames);
  for (size_t i = 0; i < frames; ++i) {
    int sum = from[2 * i] + from[2 * i + 1];
    out.samples[i] = static_cast<int16_t>(sum >= 0 ? (sum + 1) / 2 : (sum - 1) / 2);  // rounded half away from zero
  }
}

}  // namespace

std::vector<uint8_t> JoinMp3Frames(const uint8_t* bytes, const Mp3Layout& layout) {
  size_t total = 0;
  for (const Mp3FrameSpan& frame : layout.frames) total += frame.bytes;
  std::vector<uint8_t> joined;
  joined.reserve(total);
  for (const Mp3FrameSpan& frame : layout.frames) {
    joined.insert(joined.end(), bytes + frame.offset, bytes + frame.offset + frame.bytes);
  }
  return joined;
}

Mp3Status DecodeFramedMp3(const uint8_t* bytes, size_t size, bool mono, PcmBuffer& out, const FrameDecoder& decode,
                          int codecDelay) {
  out = PcmBuffer{};
  try {
    Mp3Layout layout;
    if (bytes == nullptr || size == 0) return Mp3Status::Empty;
    if (!ScanMp3(bytes, size, layout)) {
      return Id3v2Bytes(bytes, size) == size ? Mp3Status::NoAudioFrames : Mp3Status::NotMpegAudio;
    }
    if (layout.DecodedSamples() * static_cast<uint64_t>(layout.format.channels) > kMaxDecodedSamples) {
      return Mp3Status::TooLong;
    }
    std::vector<int16_t> decoded;
    Mp3Status status = decode(bytes, layout, decoded);
    if (status != Mp3Status::Ok) return status;
    const uint64_t frames = decoded.size() / static_cast<size_t>(layout.format.channels);
    Mp3Trim trim = GaplessTrim(layout, frames, codecDelay);
    if (trim.length == 0) return Mp3Status::NoAudioFrames;
    out.rate = layout.format.rate;
    TrimAndMix(decoded, layout.format.channels, trim, mono, out);
    return Mp3Status::Ok;
  } catch (const std::bad_alloc&) {
    out = PcmBuffer{};
    return Mp3Status::TooLong;
  }
}

}  // namespace sgaudio
