#include "audio/wav_reader.h"

#include <cstring>

namespace sgaudio {

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr uint32_t kMaxRate = 384000;

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) { return static_cast<uint32_t>(Get16(p)) | (static_cast<uint32_t>(Get16(p + 2)) << 16); }

struct Format {
  int channels = 0;
  int rate = 0;
  int bytesPerSample = 0;
};

// The extensible header names its real format in the first two bytes of a
// GUID at offset 24; anything but PCM there is compressed.
bool IsPcmTag(const uint8_t* body, uint32_t size, uint16_t tag) {
  if (tag == kFormatPcm) return true;
  return tag == kFormatExtensible && size >= 40 && Get16(body + 24) == kFormatPcm;
}

WavStatus ParseFormat(const uint8_t* body, uint32_t size, Format& format) {
  if (size < 16) return WavStatus::Malformed;
  uint16_t tag = Get16(body);
  uint16_t channels = Get16(body + 2);
  uint32_t rate = Get32(body + 4);
  uint16_t blockAlign = Get16(body + 12);
  uint16_t bits = Get16(body + 14);
  if (channels == 0 || rate == 0 || rate > kMaxRate) return WavStatus::Malformed;
  if (!IsPcmTag(body, size, tag) || channels > 2 || (bits != 8 && bits != 16)) return WavStatus::Unsupported;
  if (blockAlign != channels * (bits / 8)) return WavStatus::Malformed;
  format.channels = channels;
  format.rate = static_cast<int>(rate);
  format.bytesPerSample = bits / 8;
  return WavStatus::Ok;
}

WavStatus ConvertData(const uint8_t* data, uint32_t size, const Format& format, PcmBuffer& out) {
  size_t frameBytes = static_cast<size_t>(format.channels * format.bytesPerSample);
  size_t samples = size / frameBytes * static_cast<size_t>(format.channels);
  if (samples == 0) return WavStatus::Empty;
  out.rate = format.rate;
  out.channels = format.channels;
  out.samples.resize(samples);
  for (size_t i = 0; i < samples; ++i) {
    out.samples[i] = format.bytesPerSample == 1 ? static_cast<int16_t>((data[i] - 128) * 256)
                                                 : static_cast<int16_t>(Get16(data + 2 * i));
  }
  return WavStatus::Ok;
}

}  // namespace

WavStatus ReadWav(const uint8_t* bytes, size_t size, PcmBuffer& out) {
  out = PcmBuffer{};
  if (bytes == nullptr || size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) {
    return WavStatus::NotWave;
  }
  // Writers that stream often leave the RIFF size at 0 or too large, so it
  // only narrows the walk when it is plausible; the chunks inside are what
  // must add up.
  uint64_t riffEnd = 8 + static_cast<uint64_t>(Get32(bytes + 4));
  size_t end = riffEnd > 12 && riffEnd < size ? static_cast<size_t>(riffEnd) : size;
  Format format;
  size_t at = 12;
  while (at + 8 <= end) {
    const uint8_t* header = bytes + at;
    uint32_t chunkSize = Get32(header + 4);
    at += 8;
    if (chunkSize > end - at) return WavStatus::Malformed;
    if (std::memcmp(header, "fmt ", 4) == 0 && format.channels == 0) {
      WavStatus status = ParseFormat(bytes + at, chunkSize, format);
      if (status != WavStatus::Ok) return status;
    } else if (std::memcmp(header, "data", 4) == 0) {
      if (format.channels == 0) return WavStatus::Malformed;  // samples of an unknown format
      WavStatus status = ConvertData(bytes + at, chunkSize, format, out);
      if (status != WavStatus::Ok) out = PcmBuffer{};
      return status;
    }
    // Chunks are word-aligned: an odd size is followed by a pad byte.
    at += chunkSize;
    if ((chunkSize & 1) && at < end) ++at;
  }
  return format.channels == 0 ? WavStatus::Malformed : WavStatus::Empty;
}

}  // namespace sgaudio
