// The WAVE reader from bytes: what it accepts, and every way a file's chunks
// can contradict its data. The last case goes through BASS_SampleLoad.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "audio/wav_reader.h"
#include "audio_test_util.h"

namespace {

using sgaudio::PcmBuffer;
using sgaudio::ReadWav;
using sgaudio::WavStatus;

std::vector<uint8_t> FourSamples() { return {0x01, 0x00, 0xFF, 0x7F, 0x00, 0x80, 0xFF, 0xFF}; }

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.at(at + static_cast<size_t>(i)) = static_cast<uint8_t>(v >> (8 * i));
}

WavStatus Read(const std::vector<uint8_t>& bytes, PcmBuffer& out) { return ReadWav(bytes.data(), bytes.size(), out); }

TEST(WavReader, Reads16BitMonoAndStereo) {
  PcmBuffer pcm;
  ASSERT_EQ(Read(sgaudiotest::WavBytes(FourSamples(), 1, 8000, 16), pcm), WavStatus::Ok);
  EXPECT_EQ(pcm.rate, 8000);
  EXPECT_EQ(pcm.channels, 1);
  EXPECT_EQ(pcm.samples, (std::vector<int16_t>{1, 32767, -32768, -1}));
  ASSERT_EQ(Read(sgaudiotest::WavBytes(FourSamples(), 2, 96000, 16), pcm), WavStatus::Ok);
  EXPECT_EQ(pcm.channels, 2);
  EXPECT_EQ(pcm.Frames(), 2u);
}

TEST(WavReader, SkipsUnknownChunksWithTheirPaddingAndIgnoresATrailingPartialFrame) {
  std::vector<uint8_t> wav = sgaudiotest::WavBytes({0x10, 0x00, 0x20, 0x00, 0x30}, 1, 44100, 16);
  // A LIST chunk of odd size (plus its pad byte) between RIFF header and fmt.
  std::vector<uint8_t> list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  wav.insert(wav.begin() + 12, list.begin(), list.end());
  Put32(wav, 4, static_cast<uint32_t>(wav.size() - 8));
  PcmBuffer pcm;
  ASSERT_EQ(Read(wav, pcm), WavStatus::Ok);
  EXPECT_EQ(pcm.samples, (std::vector<int16_t>{0x10, 0x20}));
}

TEST(WavReader, AcceptsExtensiblePcmAndToleratesAWrongRiffSize) {
  std::vector<uint8_t> wav = sgaudiotest::WavBytes(FourSamples(), 1, 44100, 16, 0xFFFE);
  // Grow fmt to 40 bytes with PCM as the sub-format.
  std::vector<uint8_t> extension(24, 0);
  extension[0] = 22;
  extension[8] = 1;
  wav.insert(wav.begin() + 36, extension.begin(), extension.end());
  Put32(wav, 16, 40);
  Put32(wav, 4, 0xFFFFFFFF);  // as streaming writers leave it
  PcmBuffer pcm;
  EXPECT_EQ(Read(wav, pcm), WavStatus::Ok);
  extension[8] = 3;  // float
  std::vector<uint8_t> floatWav = wav;
  floatWav[36 + 8] = 3;
  EXPECT_EQ(Read(floatWav, pcm), WavStatus::Unsupported);

  for (uint32_t riffSize : {0u, 3u, 4u}) {  // left unset by a streaming writer
    std::vector<uint8_t> unset = sgaudiotest::WavBytes(FourSamples(), 1, 44100, 16);
    Put32(unset, 4, riffSize);
    EXPECT_EQ(Read(unset, pcm), WavStatus::Ok) << riffSize;
    EXPECT_EQ(pcm.Frames(), 4u);
    unset.resize(36);  // no data chunk: the walk must stop at the file's end
    EXPECT_EQ(Read(unset, pcm), WavStatus::Empty) << riffSize;
  }

  std::vector<uint8_t> shortRiff = sgaudiotest::WavBytes(FourSamples(), 1, 44100, 16);
  shortRiff.insert(shortRiff.end(), {'j', 'u', 'n', 'k'});  // trailing bytes outside the RIFF size
  EXPECT_EQ(Read(shortRiff, pcm), WavStatus::Ok);
}

TEST(WavReader, RefusesChunksThatContradictTheData) {
  PcmBuffer pcm;
  std::vector<uint8_t> good = sgaudiotest::WavBytes(FourSamples(), 1, 44100, 16);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    WavStatus expected;
  };
  std::vector<Case> cases;
  auto with = [&](const char* what, auto change, WavStatus expected) {
    std::vector<uint8_t> b = good;
    change(b);
    cases.push_back({what, b, expected});
  };
  with("data size past the end", [](std::vector<uint8_t>& b) { Put32(b, 40, 9); }, WavStatus::Malformed);
  with("data size far past the end", [](std::vector<uint8_t>& b) { Put32(b, 40, 0xFFFFFFF0); }, WavStatus::Malformed);
  with("fmt size past the end", [](std::vector<uint8_t>& b) { Put32(b, 16, 1000); }, WavStatus::Malformed);
  with("fmt too short", [](std::vector<uint8_t>& b) {
    Put32(b, 16, 14);
    b.erase(b.begin() + 34, b.begin() + 36);
  }, WavStatus::Malformed);
  with("zero channels", [](std::vector<uint8_t>& b) { b[22] = 0; }, WavStatus::Malformed);
  with("zero rate", [](std::vector<uint8_t>& b) { Put32(b, 24, 0); }, WavStatus::Malformed);
  with("absurd rate", [](std::vector<uint8_t>& b) { Put32(b, 24, 0x7FFFFFFF); }, WavStatus::Malformed);
  with("block size that is not the frame size", [](std::vector<uint8_t>& b) { b[32] = 3; }, WavStatus::Malformed);
  with("three channels", [](std::vector<uint8_t>& b) {
    b[22] = 3;
    b[32] = 6;
  }, WavStatus::Unsupported);
  with("24 bits", [](std::vector<uint8_t>& b) {
    b[34] = 24;
    b[32] = 3;
  }, WavStatus::Unsupported);
  with("compressed (ADPCM)", [](std::vector<uint8_t>& b) { b[20] = 2; }, WavStatus::Unsupported);
  with("data before fmt", [](std::vector<uint8_t>& b) {
    std::vector<uint8_t> fmt(b.begin() + 12, b.begin() + 36);
    b.erase(b.begin() + 12, b.begin() + 36);
    b.insert(b.end(), fmt.begin(), fmt.end());
  }, WavStatus::Malformed);
  with("no data chunk", [](std::vector<uint8_t>& b) { b.resize(36); }, WavStatus::Empty);
  with("empty data chunk", [](std::vector<uint8_t>& b) {
    b.resize(44);
    Put32(b, 40, 0);
  }, WavStatus::Empty);
  with("header cut inside a chunk header", [](std::vector<uint8_t>& b) { b.resize(40); }, WavStatus::Empty);
  with("not RIFF", [](std::vector<uint8_t>& b) { b[0] = 'X'; }, WavStatus::NotWave);
  with("not WAVE", [](std::vector<uint8_t>& b) { b[8] = 'A'; }, WavStatus::NotWave);
  with("only the RIFF header", [](std::vector<uint8_t>& b) { b.resize(12); }, WavStatus::Malformed);
  with("shorter than a RIFF header", [](std::vector<uint8_t>& b) { b.resize(11); }, WavStatus::NotWave);
  for (const Case& c : cases) {
    pcm.samples = {1, 2, 3};
    EXPECT_EQ(Read(c.bytes, pcm), c.expected) << c.what;
    EXPECT_TRUE(pcm.samples.empty()) << c.what;
  }
  EXPECT_EQ(ReadWav(nullptr, 0, pcm), WavStatus::NotWave);
}

TEST(WavReader, ALyingFileLoadsAsNoSample) {
  sgaudiotest::Library library(audio_host::Output::Offline);
  std::vector<uint8_t> wav = sgaudiotest::WavBytes(FourSamples(), 1, 44100, 16);
  Put32(wav, 40, 1u << 30);
  std::string path = sgaudiotest::WriteTempFile("s.pak", wav);
  EXPECT_EQ(BASS_SampleLoad(FALSE, path.c_str(), 0, 0, 1, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
  std::vector<uint8_t> mp3ish(1000, 0xFF);
  EXPECT_EQ(BASS_SampleLoad(TRUE, mp3ish.data(), 0, 1000, 1, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
}

}  // namespace
