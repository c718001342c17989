// The Layer III frame scan and LAME tag reading from bytes, and the gapless
// trim that the Windows decoder applies to its codec's output, checked
// against hand-made frames and against libmpg123's own gapless decoding.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "audio/mp3_decoder.h"
#include "audio/mp3_frames.h"
#include "audio_test_util.h"
#include "test_audio.h"

namespace {

using sgaudio::Mp3FrameHeader;
using sgaudio::Mp3Layout;
using sgaudio::Mp3Tag;
using sgaudio::Mp3Trim;

#define REQUIRE_LAME() \
  if (!sgaudiotest::LameAvailable()) GTEST_SKIP() << "lame is not available"

// A Layer III frame: header bytes 1–3 given, body filled with `fill`.
std::vector<uint8_t> Frame(uint8_t b1, uint8_t b2, uint8_t b3, uint8_t fill = 0x11) {
  uint8_t header[4] = {0xFF, b1, b2, b3};
  Mp3FrameHeader parsed;
  if (!sgaudio::ParseMp3FrameHeader(header, 4, parsed)) return {};
  std::vector<uint8_t> frame(static_cast<size_t>(parsed.bytes), fill);
  std::memcpy(frame.data(), header, 4);
  return frame;
}

// MPEG-1, 128 kbit/s, 44.1 kHz, no check word; stereo or mono.
std::vector<uint8_t> Mpeg1Frame(bool mono = false, bool padded = false) {
  return Frame(0xFB, static_cast<uint8_t>(0x90 | (padded ? 0x02 : 0)), mono ? 0xC4 : 0x44);
}

void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& bytes) { to.insert(to.end(), bytes.begin(), bytes.end()); }

void PutBigEndian(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

// An "Info" frame (mono MPEG-1: the tag at byte 21) with the given flags and
// frame count, then a LAME extension carrying delay and padding.
std::vector<uint8_t> InfoFrame(uint32_t flags, uint32_t frames, int delay, int padding, const char* encoder = "LAME3.100") {
  std::vector<uint8_t> frame = Mpeg1Frame(true);
  std::fill(frame.begin() + 4, frame.end(), 0);
  size_t at = 21;
  std::memcpy(&frame[at], "Info", 4);
  PutBigEndian(&frame[at + 4], flags);
  at += 8;
  if (flags & 1) PutBigEndian(&frame[at], frames), at += 4;
  if (flags & 2) at += 4;
  if (flags & 4) at += 100;
  if (flags & 8) at += 4;
  std::memcpy(&frame[at], encoder, std::strlen(encoder));
  frame[at + 21] = static_cast<uint8_t>(delay >> 4);
  frame[at + 22] = static_cast<uint8_t>(((delay & 0xF) << 4) | (padding >> 8));
  frame[at + 23] = static_cast<uint8_t>(padding & 0xFF);
  return frame;
}

TEST(Mp3FrameHeader, ReadsTheFormatAndFrameSizeOfEachMpegVersion) {
  struct Case {
    uint8_t b1, b2, b3;
    int version, rate, channels, kbps, bytes, samples, sideInfo;
  } cases[] = {
      {0xFB, 0x90, 0x44, 10, 44100, 2, 128, 417, 1152, 32},  // MPEG-1, joint stereo
      {0xFB, 0x92, 0xC4, 10, 44100, 1, 128, 418, 1152, 17},  // padded, mono
      {0xFB, 0xE4, 0x00, 10, 48000, 2, 320, 960, 1152, 32},
      {0xFB, 0x18, 0x00, 10, 32000, 2, 32, 144, 1152, 32},
      {0xF3, 0x80, 0xC0, 20, 22050, 1, 64, 208, 576, 9},     // MPEG-2
      {0xF3, 0xE4, 0x00, 20, 24000, 2, 160, 480, 576, 17},
      {0xE3, 0x18, 0xC0, 25, 8000, 1, 8, 72, 576, 9},        // MPEG-2.5
  };
  for (const Case& c : cases) {
    uint8_t bytes[4] = {0xFF, c.b1, c.b2, c.b3};
    Mp3FrameHeader h;
    ASSERT_TRUE(sgaudio::ParseMp3FrameHeader(bytes, 4, h)) << std::hex << int{c.b1} << " " << int{c.b2};
    EXPECT_EQ(h.version, c.version);
    EXPECT_EQ(h.rate, c.rate);
    EXPECT_EQ(h.channels, c.channels);
    EXPECT_EQ(h.bitrateKbps, c.kbps);
    EXPECT_EQ(h.bytes, c.bytes);
    EXPECT_EQ(h.samples, c.samples);
    EXPECT_EQ(h.sideInfoBytes, c.sideInfo);
    EXPECT_FALSE(h.crc);
  }
  uint8_t protectedFrame[4] = {0xFF, 0xFA, 0x90, 0x44};
  Mp3FrameHeader h;
  ASSERT_TRUE(sgaudio::ParseMp3FrameHeader(protectedFrame, 4, h));
  EXPECT_TRUE(h.crc);
}

TEST(Mp3FrameHeader, RefusesWhatIsNotALayer3Frame) {
  const uint8_t bad[][4] = {
      {0xFE, 0xFB, 0x90, 0x44},  // no sync
      {0xFF, 0x1B, 0x90, 0x44},  // sync cut short
      {0xFF, 0xEB, 0x90, 0x44},  // reserved version
      {0xFF, 0xFD, 0x90, 0x44},  // Layer II
      {0xFF, 0xFF, 0x90, 0x44},  // Layer I
      {0xFF, 0xF9, 0x90, 0x44},  // reserved layer
      {0xFF, 0xFB, 0x00, 0x44},  // free format
      {0xFF, 0xFB, 0xF0, 0x44},  // bad bit rate
      {0xFF, 0xFB, 0x9C, 0x44},  // reserved rate
      {0xFF, 0xFB, 0x90, 0x46},  // reserved emphasis
  };
  for (const auto& bytes : bad) {
    Mp3FrameHeader h;
    EXPECT_FALSE(sgaudio::ParseMp3FrameHeader(bytes, 4, h)) << std::hex << int{bytes[1]} << " " << int{bytes[2]};
  }
  const uint8_t good[4] = {0xFF, 0xFB, 0x90, 0x44};
  Mp3FrameHeader h;
  EXPECT_FALSE(sgaudio::ParseMp3FrameHeader(good, 3, h));  // not all there
}

TEST(Mp3Tag, ReadsFrameCountDelayAndPaddingWhereverTheFlagsPutThem) {
  for (uint32_t flags : {0xFu, 0x1u, 0x3u, 0x5u, 0x9u}) {
    std::vector<uint8_t> frame = InfoFrame(flags, 97, 576, 918);
    Mp3FrameHeader h;
    ASSERT_TRUE(sgaudio::ParseMp3FrameHeader(frame.data(), frame.size(), h));
    Mp3Tag tag;
    ASSERT_TRUE(sgaudio::ParseMp3Tag(frame.data(), h, tag)) << flags;
    EXPECT_TRUE(tag.hasFrameCount);
    EXPECT_EQ(tag.frameCount, 97u);
    EXPECT_TRUE(tag.hasGapless) << flags;
    EXPECT_EQ(tag.encoderDelay, 576) << flags;
    EXPECT_EQ(tag.encoderPadding, 918) << flags;
  }
  // The twelve-bit fields at their limits.
  std::vector<uint8_t> frame = InfoFrame(0xF, 1, 4095, 4095);
  Mp3FrameHeader h;
  ASSERT_TRUE(sgaudio::ParseMp3FrameHeader(frame.data(), frame.size(), h));
  Mp3Tag tag;
  ASSERT_TRUE(sgaudio::ParseMp3Tag(frame.data(), h, tag));
  EXPECT_EQ(tag.encoderDelay, 4095);
  EXPECT_EQ(tag.encoderPadding, 4095);
}

TEST(Mp3Tag, WithoutAnEncoderExtensionThereIsNoGaplessInformation) {
  std::vector<uint8_t> frame = InfoFrame(0x2, 0, 576, 918, "\x01\x02\x03\x04");
  Mp3FrameHeader h;
  ASSERT_TRUE(sgaudio::ParseMp3FrameHeader(frame.data(), frame.size(), h));
  Mp3Tag tag;
  ASSERT_TRUE(sgaudio::ParseMp3Tag(frame.data(), h, tag));
  EXPECT_FALSE(tag.hasFrameCount);
  EXPECT_FALSE(tag.hasGapless);
  // A plain audio frame carries no tag at all.
  std::vector<uint8_t> audio = Mpeg1Frame(true);
  EXPECT_FALSE(sgaudio::ParseMp3Tag(audio.data(), h, tag));
}

TEST(Mp3Tag, FieldsThatWouldRunPastTheFrameAreNotRead) {
  // MPEG-2.5 at 8 kbit/s: a 72-byte frame, too small for the seek table and
  // the extension after it.
  std::vector<uint8_t> frame = Frame(0xE3, 0x18, 0xC0, 0);
  ASSERT_EQ(frame.size(), 72u);
  std::memcpy(&frame[4 + 9], "Xing", 4);
  PutBigEndian(&frame[4 + 9 + 4], 0xF);
  PutBigEndian(&frame[4 + 9 + 8], 1234);
  Mp3FrameHeader h;
  ASSERT_TRUE(sgaudio::ParseMp3FrameHeader(frame.data(), frame.size(), h));
  Mp3Tag tag;
  ASSERT_TRUE(sgaudio::ParseMp3Tag(frame.data(), h, tag));
  EXPECT_EQ(tag.frameCount, 1234u);
  EXPECT_FALSE(tag.hasGapless);
}

TEST(Mp3Scan, ListsTheAudioFramesAfterTheTagAndAnId3Tag) {
  std::vector<uint8_t> bytes = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 20};
  bytes.resize(30, 0xFF);  // a tag body full of would-be sync bytes
  Append(bytes, InfoFrame(0xF, 3, 576, 300));
  for (int i = 0; i < 3; ++i) Append(bytes, Mpeg1Frame(true, i == 1));
  Mp3Layout layout;
  ASSERT_TRUE(sgaudio::ScanMp3(bytes.data(), bytes.size(), layout));
  EXPECT_EQ(layout.leadingTagBytes, 30u);
  EXPECT_TRUE(layout.hasTag);
  ASSERT_EQ(layout.frames.size(), 3u);
  EXPECT_EQ(layout.frames[0].offset, 30u + 417u);
  EXPECT_EQ(layout.frames[1].bytes, 418u);
  EXPECT_EQ(layout.frames[2].offset, 30u + 417u + 417u + 418u);
  EXPECT_EQ(layout.format.channels, 1);
  EXPECT_EQ(layout.DecodedSamples(), 3u * 1152u);
}

TEST(Mp3Scan, SkipsShortJunkButStopsAtLongJunkARateChangeOrACutFrame) {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < 4; ++i) Append(bytes, Mpeg1Frame());
  bytes.insert(bytes.end(), 100, 0x00);  // a short run of junk
  for (int i = 0; i < 4; ++i) Append(bytes, Mpeg1Frame());
  Mp3Layout layout;
  ASSERT_TRUE(sgaudio::ScanMp3(bytes.data(), bytes.size(), layout));
  EXPECT_EQ(layout.frames.size(), 8u);
  EXPECT_FALSE(layout.hasTag);

  std::vector<uint8_t> longJunk;
  for (int i = 0; i < 20; ++i) Append(longJunk, Mpeg1Frame());
  longJunk.insert(longJunk.end(), sgaudio::kMp3ResyncLimitBytes + 10, 0x00);
  for (int i = 0; i < 2; ++i) Append(longJunk, Mpeg1Frame());
  ASSERT_TRUE(sgaudio::ScanMp3(longJunk.data(), longJunk.size(), layout));
  EXPECT_EQ(layout.frames.size(), 20u);

  std::vector<uint8_t> rateChange;
  for (int i = 0; i < 3; ++i) Append(rateChange, Mpeg1Frame());
  for (int i = 0; i < 2; ++i) Append(rateChange, Frame(0xFB, 0x94, 0x44));  // 48 kHz
  ASSERT_TRUE(sgaudio::ScanMp3(rateChange.data(), rateChange.size(), layout));
  EXPECT_EQ(layout.frames.size(), 3u);

  std::vector<uint8_t> cut;
  for (int i = 0; i < 3; ++i) Append(cut, Mpeg1Frame());
  cut.resize(cut.size() - 10);
  ASSERT_TRUE(sgaudio::ScanMp3(cut.data(), cut.size(), layout));
  EXPECT_EQ(layout.frames.size(), 2u);
}

TEST(Mp3Scan, RefusesDataThatIsNotMostlyFrames) {
  Mp3Layout layout;
  EXPECT_FALSE(sgaudio::ScanMp3(nullptr, 0, layout));
  std::vector<uint8_t> one = Mpeg1Frame();
  EXPECT_FALSE(sgaudio::ScanMp3(one.data(), one.size(), layout));
  std::vector<uint8_t> tagOnly = InfoFrame(0xF, 0, 576, 0);
  Append(tagOnly, std::vector<uint8_t>(50, 0));
  EXPECT_FALSE(sgaudio::ScanMp3(tagOnly.data(), tagOnly.size(), layout));

  std::vector<uint8_t> mostlyJunk(3000, 0x42);
  for (int i = 0; i < 3; ++i) Append(mostlyJunk, Mpeg1Frame());
  mostlyJunk.insert(mostlyJunk.end(), 3000, 0x42);
  EXPECT_FALSE(sgaudio::ScanMp3(mostlyJunk.data(), mostlyJunk.size(), layout));
  EXPECT_TRUE(layout.frames.empty());

  std::mt19937 random(5);
  std::vector<uint8_t> noise(200000);
  for (uint8_t& b : noise) b = static_cast<uint8_t>(random());
  EXPECT_FALSE(sgaudio::ScanMp3(noise.data(), noise.size(), layout));
}

// Damaged copies of a real stream: whatever the scan makes of them, every
// frame it lists lies inside the data and the trim stays inside the output.
TEST(Mp3Scan, DamagedStreamsStayWithinTheirBytes) {
  std::vector<uint8_t> original = InfoFrame(0xF, 40, 576, 1000);
  for (int i = 0; i < 40; ++i) Append(original, Mpeg1Frame(true, i % 3 == 0));
  std::mt19937 random(11);
  int scanned = 0;
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> bytes = original;
    bytes.resize(random() % (bytes.size() + 1));
    for (int flips = static_cast<int>(random() % 40); flips > 0 && !bytes.empty(); --flips) {
      bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
    }
    Mp3Layout layout;
    if (!sgaudio::ScanMp3(bytes.data(), bytes.size(), layout)) continue;
    ++scanned;
    for (const sgaudio::Mp3FrameSpan& frame : layout.frames) {
      ASSERT_LE(frame.offset + frame.bytes, bytes.size()) << "round " << round;
    }
    uint64_t decoded = layout.DecodedSamples();
    Mp3Trim trim = sgaudio::GaplessTrim(layout, decoded, 0);
    ASSERT_LE(trim.skip + trim.length, decoded) << "round " << round;
  }
  EXPECT_GT(scanned, 100);  // most copies still hold a stream worth scanning
}

Mp3Layout TaggedLayout(uint32_t frames, int delay, int padding, bool withCount = true) {
  Mp3Layout layout;
  layout.format.samples = 1152;
  layout.frames.assign(frames, {0, 417});
  layout.hasTag = true;
  layout.tag.hasFrameCount = withCount;
  layout.tag.frameCount = frames;
  layout.tag.hasGapless = true;
  layout.tag.encoderDelay = delay;
  layout.tag.encoderPadding = padding;
  return layout;
}

TEST(GaplessTrim, DropsBothDelaysInFrontAndThePaddingAtTheEnd) {
  // 110,250 samples encoded in 97 frames with 576 in front and 918 behind.
  Mp3Layout layout = TaggedLayout(97, 576, 918);
  Mp3Trim trim = sgaudio::GaplessTrim(layout, 97 * 1152, 0);
  EXPECT_EQ(trim.skip, 576u + 529u);
  EXPECT_EQ(trim.length, 110250u);
  // A codec whose output lags by 100 more: the same music, 100 later.
  trim = sgaudio::GaplessTrim(layout, 97 * 1152 + 100, 100);
  EXPECT_EQ(trim.skip, 576u + 529u + 100u);
  EXPECT_EQ(trim.length, 110250u);
  // Without the frame count the frames found stand in for it.
  trim = sgaudio::GaplessTrim(TaggedLayout(97, 576, 918, false), 97 * 1152, 0);
  EXPECT_EQ(trim.length, 110250u);
}

TEST(GaplessTrim, NeverReachesPastWhatWasDecoded) {
  Mp3Layout layout = TaggedLayout(97, 576, 918);
  // Padding shorter than the decoder delay: the last samples were never
  // decoded, so the music ends with the output.
  Mp3Trim trim = sgaudio::GaplessTrim(TaggedLayout(97, 576, 100), 97 * 1152, 0);
  EXPECT_EQ(trim.skip + trim.length, 97u * 1152u);
  // A file cut short: the tag promises 97 frames, 40 are there.
  trim = sgaudio::GaplessTrim(layout, 40 * 1152, 0);
  EXPECT_EQ(trim.skip, 1105u);
  EXPECT_EQ(trim.length, 40u * 1152u - 1105u);
  // Shorter than the delay itself, or a padding larger than the stream.
  trim = sgaudio::GaplessTrim(layout, 1000, 0);
  EXPECT_EQ(trim.length, 0u);
  EXPECT_LE(trim.skip, 1000u);
  trim = sgaudio::GaplessTrim(TaggedLayout(2, 576, 4095), 2 * 1152, 0);
  EXPECT_EQ(trim.length, 0u);
}

TEST(GaplessTrim, WithoutDelayAndPaddingTheWholeOutputIsTheMusic) {
  Mp3Layout layout;
  layout.format.samples = 1152;
  layout.frames.assign(10, {0, 417});
  Mp3Trim trim = sgaudio::GaplessTrim(layout, 11520, 0);
  EXPECT_EQ(trim.skip, 0u);
  EXPECT_EQ(trim.length, 11520u);
  trim = sgaudio::GaplessTrim(layout, 11520, 300);
  EXPECT_EQ(trim.skip, 300u);
  EXPECT_EQ(trim.length, 11220u);
  layout.hasTag = true;  // a Xing tag with no encoder extension
  trim = sgaudio::GaplessTrim(layout, 11520, 0);
  EXPECT_EQ(trim.length, 11520u);
}

// Real encoder output: the scan finds what lame wrote, and the trim keeps
// exactly as many samples as libmpg123's own gapless decoding does.
TEST(GaplessTrim, AgreesWithLibmpg123OnRealFiles) {
  REQUIRE_LAME();
  struct Case {
    int rate, channels, kbps, samples;
  } cases[] = {{44100, 1, 128, 110250}, {44100, 2, 320, 44100}, {22050, 1, 64, 30000}, {32000, 2, 96, 12345}};
  for (const Case& c : cases) {
    std::vector<int16_t> pcm = sgaudiotest::TestSignal(c.samples * c.channels, 9);
    std::string path = sgaudiotest::MakeMp3(pcm, c.rate, c.channels, c.kbps);
    ASSERT_FALSE(path.empty());
    std::vector<uint8_t> bytes = sgaudiotest::ReadFile(path);
    Mp3Layout layout;
    ASSERT_TRUE(sgaudio::ScanMp3(bytes.data(), bytes.size(), layout)) << c.rate;
    EXPECT_EQ(layout.format.rate, c.rate);
    EXPECT_EQ(layout.format.channels, c.channels);
    ASSERT_TRUE(layout.hasTag);
    ASSERT_TRUE(layout.tag.hasGapless);
    EXPECT_EQ(layout.tag.frameCount, layout.frames.size());
    Mp3Trim trim = sgaudio::GaplessTrim(layout, layout.DecodedSamples(), 0);
    EXPECT_EQ(trim.length, static_cast<uint64_t>(c.samples)) << c.rate << " Hz";

    sgaudio::PcmBuffer decoded;
    ASSERT_EQ(sgaudio::DecodeMp3(bytes.data(), bytes.size(), false, decoded), sgaudio::Mp3Status::Ok);
    EXPECT_EQ(decoded.Frames(), trim.length);
  }
}

}  // namespace
