#include "audio/mp3_frames.h"

#include <algorithm>
#include <cstring>

namespace sgaudio {

namespace {

// Layer III bit rates in kbit/s by index 1–14; 0 (free format) and 15 are refused.
constexpr int kBitratesMpeg1[15] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
constexpr int kBitratesMpeg2[15] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
constexpr int kRatesMpeg1[3] = {44100, 48000, 32000};

constexpr size_t kHeaderBytes = 4;
constexpr size_t kCrcBytes = 2;

uint32_t BigEndian32(const uint8_t* at) {
  return (uint32_t{at[0]} << 24) | (uint32_t{at[1]} << 16) | (uint32_t{at[2]} << 8) | at[3];
}

bool SameStream(const Mp3FrameHeader& a, const Mp3FrameHeader& b) {
  return a.version == b.version && a.rate == b.rate && a.channels == b.channels;
}


// A header at `at` that starts a real frame: the whole frame is there, and
// the data ends with it or the next frame of the same stream follows.
bool FrameAt(const uint8_t* bytes, size_t size, size_t at, Mp3FrameHeader& header) {
  if (!ParseMp3FrameHeader(bytes + at, size - at, header)) return false;
  size_t next = at + static_cast<size_t>(header.bytes);
  if (next > size) return false;
  if (next == size) return true;
  Mp3FrameHeader following;
  return ParseMp3FrameHeader(bytes + next, size - next, following) && SameStream(header, following);
}

// The first confirmed frame in [from, from + limit], or `size` when none.
size_t FindFrame(const uint8_t* bytes, size_t size, size_t from, size_t limit, Mp3FrameHeader& header) {
  size_t last = std::min(size, from + limit + 1);
  for (size_t at = from; at < last; ++at) {
    if (bytes[at] == 0xFF && FrameAt(bytes, size, at, header)) return at;
  }
  return size;
}

}  // namespace

size_t Id3v2Bytes(const uint8_t* bytes, size_t size) {
  if (size < 10 || bytes[0] != 'I' || bytes[1] != 'D' || bytes[2] != '3') return 0;
  size_t body = 0;
  for (int i = 6; i < 10; ++i) {
    if (bytes[i] & 0x80) return 0;  // not a syncsafe size: not a tag
    body = (body << 7) | bytes[i];
  }
  size_t total = 10 + body + ((bytes[5] & 0x10) ? 10 : 0);
  return std::min(total, size);
}

bool ParseMp3FrameHeader(const uint8_t* at, size_t available, Mp3FrameHeader& header) {
  if (available < kHeaderBytes || at[0] != 0xFF || (at[1] & 0xE0) != 0xE0) return false;
  int versionBits = (at[1] >> 3) & 3;
  int layerBits = (at[1] >> 1) & 3;
  int bitrateIndex = at[2] >> 4;
  int rateIndex = (at[2] >> 2) & 3;
  if (versionBits == 1 || layerBits != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return false;
  if ((at[3] & 3) == 2) return false;  // reserved emphasis

  Mp3FrameHeader h;
  bool mpeg1 = versionBits == 3;
  h.version = mpeg1 ? 10 : (versionBits == 2 ? 20 : 25);
  h.rate = kRatesMpeg1[rateIndex] >> (mpeg1 ? 0 : (versionBits == 2 ? 1 : 2));
  h.channels = (at[3] >> 6) == 3 ? 1 : 2;
  h.bitrateKbps = mpeg1 ? kBitratesMpeg1[bitrateIndex] : kBitratesMpeg2[bitrateIndex];
  h.samples = mpeg1 ? 1152 : 576;
  int padding = (at[2] >> 1) & 1;
  // Bytes per frame: samples / 8 bits per byte × bit rate / rate.
  h.bytes = (h.samples / 8) * h.bitrateKbps * 1000 / h.rate + padding;
  h.crc = (at[1] & 1) == 0;
  if (mpeg1) {
    h.sideInfoBytes = h.channels == 1 ? 17 : 32;
  } else {
    h.sideInfoBytes = h.channels == 1 ? 9 : 17;
  }
  header = h;
  return true;
}

bool ParseMp3Tag(const uint8_t* frame, const Mp3FrameHeader& header, Mp3Tag& tag) {
  const size_t frameBytes = static_cast<size_t>(header.bytes);
  // Encoders place the tag right after the side information; some ignore a
  // check word in between, so look on both sides of it.
  size_t withoutCrc = kHeaderBytes + static_cast<size_t>(header.sideInfoBytes);
  size_t candidates[2] = {withoutCrc + (header.crc ? kCrcBytes : 0), withoutCrc};
  size_t at = 0;
  for (size_t candidate : candidates) {
    if (candidate + 8 <= frameBytes &&
        (std::memcmp(frame + candidate, "Xing", 4) == 0 || std::memcmp(frame + candidate, "Info", 4) == 0)) {
      at = candidate;
      break;
    }
  }
  if (at == 0) return false;

  Mp3Tag t;
  uint32_t flags = BigEndian32(frame + at + 4);
  size_t field = at + 8;
  // Each optional field is there only when its flag says so, and only if it
  // fits in the frame.
  auto take = [&](uint32_t flag, size_t bytes) -> const uint8_t* {
    if (!(flags & flag)) return nullptr;
    if (field + bytes > frameBytes) {
      field = frameBytes;
      return nullptr;
    }
    const uint8_t* value = frame + field;
    field += bytes;
    return value;
  };
  if (const uint8_t* frames = take(0x1, 4)) {
    t.hasFrameCount = true;
    t.frameCount = BigEndian32(frames);
  }
  take(0x2, 4);    // stream bytes
  take(0x4, 100);  // seek table
  take(0x8, 4);    // quality

  // The LAME extension: a 9-character encoder name, then fixed fields; the
  // 12-bit delay and padding are 21 bytes in.
  constexpr size_t kExtensionBytes = 24;
  if (field + kExtensionBytes <= frameBytes) {
    const uint8_t* ext = frame + field;
    bool named = std::all_of(ext, ext + 4, [](uint8_t c) { return c >= 0x20 && c < 0x7F; });
    if (named) {
      const uint8_t* d = ext + 21;
      t.hasGapless = true;
      t.encoderDelay = (d[0] << 4) | (d[1] >> 4);
      t.encoderPadding = ((d[1] & 0x0F) << 8) | d[2];
    }
  }
  tag = t;
  return true;
}

bool ScanMp3(const uint8_t* bytes, size_t size, Mp3Layout& layout) {
  layout = Mp3Layout{};
  if (bytes == nullptr || size == 0) return false;
  layout.leadingTagBytes = Id3v2Bytes(bytes, size);

  Mp3FrameHeader header;
  size_t at = FindFrame(bytes, size, layout.leadingTagBytes, kMp3ResyncLimitBytes, header);
  if (at == size) return false;
  layout.format = header;
  Mp3Tag tag;
  if (ParseMp3Tag(bytes + at, header, tag)) {
    layout.hasTag = true;
    layout.tag = tag;
    layout.frameBytes += static_cast<size_t>(header.bytes);
    at += static_cast<size_t>(header.bytes);
  }
  while (at < size) {
    bool whole = ParseMp3FrameHeader(bytes + at, size - at, header) &&
                 static_cast<size_t>(header.bytes) <= size - at;
    if (!whole) {
      // Junk between frames: skip to the next confirmed frame, if near. A
      // frame cut short at the end of the data is junk too.
      at = FindFrame(bytes, size, at + 1, kMp3ResyncLimitBytes, header);
      if (at == size) break;
    }
    if (!SameStream(header, layout.format)) break;
    layout.frames.push_back({at, static_cast<size_t>(header.bytes)});
    layout.frameBytes += static_cast<size_t>(header.bytes);
    at += static_cast<size_t>(header.bytes);
  }

  size_t audioRegion = size - layout.leadingTagBytes;
  size_t allFrames = layout.frames.size() + (layout.hasTag ? 1 : 0);
  if (allFrames < 2 || layout.frames.empty() || layout.frameBytes * 2 < audioRegion) {
    layout = Mp3Layout{};
    return false;
  }
  return true;
}

Mp3Trim GaplessTrim(const Mp3Layout& layout, uint64_t decoded, int codecDelay) {
  const uint64_t lag = static_cast<uint64_t>(std::max(codecDelay, 0));
  Mp3Trim trim;
  if (!layout.hasTag || !layout.tag.hasGapless) {
    trim.skip = std::min(lag, decoded);
    trim.length = decoded - trim.skip;
    return trim;
  }
  // In the standard decoder's output the music starts after its own delay
  // and the encoder's, and ends where the encoder's padding begins (shifted
  // by the same decoder delay). The tag's frame count says where the stream
  // was meant to end; the frames actually there may be fewer.
  const Mp3Tag& tag = layout.tag;
  uint64_t total = tag.hasFrameCount ? uint64_t{tag.frameCount} * static_cast<uint64_t>(layout.format.samples)
                                     : layout.DecodedSamples();
  uint64_t start = lag + static_cast<uint64_t>(tag.encoderDelay) + kMp3DecoderDelay;
  uint64_t padding = static_cast<uint64_t>(tag.encoderPadding);
  uint64_t end = total > padding ? lag + (total - padding) + kMp3DecoderDelay : 0;
  end = std::min(end, decoded);
  trim.skip = std::min(start, decoded);
  trim.length = end > trim.skip ? end - trim.skip : 0;
  return trim;
}

}  // namespace sgaudio
