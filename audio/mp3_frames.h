// The frames of an MPEG Layer III stream read from bytes, the encoder's delay
// and padding from its LAME/Xing tag, and the trim that leaves only the music
// in the output of a decoder that does not do it itself (the Windows codec).
// Pure functions; caller's thread; results belong to the caller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sgaudio {

// One Layer III frame header, decoded.
struct Mp3FrameHeader {
  int version = 0;        // 10 for MPEG-1, 20 for MPEG-2, 25 for MPEG-2.5
  int rate = 0;           // samples per second
  int channels = 0;       // 1 or 2
  int bitrateKbps = 0;
  int bytes = 0;          // the whole frame, header included
  int samples = 0;        // samples per channel: 1152 (MPEG-1) or 576
  bool crc = false;       // a 16-bit check follows the header
  int sideInfoBytes = 0;  // side information after the header (and check)
};

// Reads the four bytes at `at` as a Layer III header. False for anything
// else: no sync, other layers, free-format or reserved bit rates and rates.
bool ParseMp3FrameHeader(const uint8_t* at, size_t available, Mp3FrameHeader& header);

// An ID3v2 tag in front of the audio: its whole size, or 0 when there is none.
size_t Id3v2Bytes(const uint8_t* bytes, size_t size);

// What a LAME/Xing ("Xing" or "Info") tag frame says.
struct Mp3Tag {
  bool hasFrameCount = false;
  uint32_t frameCount = 0;  // audio frames after the tag frame
  bool hasGapless = false;  // a LAME extension with delay and padding
  int encoderDelay = 0;     // samples of silence the encoder put in front
  int encoderPadding = 0;   // samples it added at the end
};

// Reads the tag in the frame at `frame` (with its parsed header); false when
// the frame is an ordinary audio frame.
bool ParseMp3Tag(const uint8_t* frame, const Mp3FrameHeader& header, Mp3Tag& tag);

struct Mp3FrameSpan {
  size_t offset;
  size_t bytes;
};

// The audio frames of a whole file, in order, and what describes them.
struct Mp3Layout {
  Mp3FrameHeader format;  // of the first audio frame; every frame listed shares it
  std::vector<Mp3FrameSpan> frames;  // the tag frame is not among them
  bool hasTag = false;
  Mp3Tag tag;
  size_t frameBytes = 0;  // all frames found, the tag frame included
  size_t leadingTagBytes = 0;  // an ID3v2 tag in front, not counted as junk

  uint64_t DecodedSamples() const { return static_cast<uint64_t>(frames.size()) * static_cast<uint64_t>(format.samples); }
};

// How far to search for the next frame after bytes that are not one: junk is
// skipped, but a run of garbage ends the stream instead of being scanned.
constexpr size_t kMp3ResyncLimitBytes = 4096;

// Finds the frames of `bytes`. The stream ends at its last frame, before a
// stretch of junk longer than the resync limit, or before a frame of another
// rate, channel count or MPEG version. False when there are fewer than two
// frames or when frames make up less than half of what follows a leading
// ID3v2 tag: such data is not an MP3 stream.
bool ScanMp3(const uint8_t* bytes, size_t size, Mp3Layout& layout);

// Samples per channel every standard Layer III decoder puts in front of the
// encoder's own delay (its synthesis filter bank), 528 + 1.
constexpr int kMp3DecoderDelay = 529;

// The stretch of a decoder's output that is the music: `skip` samples per
// channel to drop in front, then `length` to keep.
struct Mp3Trim {
  uint64_t skip = 0;
  uint64_t length = 0;
};

// For `decoded` samples per channel of output from the stream's audio frames
// (tag frame excluded) by a decoder whose output lags the standard decoder's
// by `codecDelay` samples. Without delay and padding in the tag the whole
// output is the music (less the codec's own lag).
Mp3Trim GaplessTrim(const Mp3Layout& layout, uint64_t decoded, int codecDelay);

}  // namespace sgaudio
