// MP3 streams through BASS_StreamCreateFile: gapless length and alignment,
// channels and rates, memory and file windows, and every kind of bad input.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "audio_test_util.h"
#include "test_audio.h"

namespace {

using sgaudiotest::kRate;
using sgaudiotest::Library;

#define REQUIRE_LAME() \
  if (!sgaudiotest::LameAvailable()) GTEST_SKIP() << "lame is not available"

// Plays a stream from its start on the offline output and returns the left
// channel of `frames` output frames.
std::vector<int16_t> PlayFromStart(HSTREAM stream, uint64_t frames) {
  BASS_Start();
  BASS_StreamPlay(stream, TRUE, 0);
  uint64_t produced = 0;
  return sgaudiotest::Left(sgaudiotest::MixFrames(produced, frames));
}

// Decodes with the mpg123 program (mono, raw 16-bit), an independent path.
bool DecodeWithMpg123(const std::string& mp3, std::vector<int16_t>& samples) {
  std::string program = MPG123_PROGRAM;
  if (program.empty() || program.find("NOTFOUND") != std::string::npos) return false;
  std::string raw = mp3 + ".raw";
  std::string command = "'" + program + "' -q -m -s '" + mp3 + "' > '" + raw + "'";
  if (std::system(command.c_str()) != 0) return false;
  std::vector<uint8_t> bytes = sgaudiotest::ReadFile(raw);
  samples.resize(bytes.size() / 2);
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  return true;
}

// The lag (within ±maxLag) at which `decoded` best matches `original`.
int BestLag(const std::vector<int16_t>& original, const std::vector<int16_t>& decoded, int maxLag) {
  int best = 0;
  double bestScore = -1e300;
  for (int lag = -maxLag; lag <= maxLag; ++lag) {
    double score = 0.0;
    for (int i = maxLag; i < 20000; ++i) {
      score += static_cast<double>(original[static_cast<size_t>(i)]) * decoded[static_cast<size_t>(i + lag)];
    }
    if (score > bestScore) {
      bestScore = score;
      best = lag;
    }
  }
  return best;
}

TEST(Mp3Stream, DecodesExactlyTheEncodedSamplesWithNoLagAndStopsAtTheEnd) {
  REQUIRE_LAME();
  const int kSamples = 110250;
  std::vector<int16_t> original = sgaudiotest::TestSignal(kSamples, 7);
  std::string mp3 = sgaudiotest::MakeMp3(original, kRate, 1);
  ASSERT_FALSE(mp3.empty());
  Library library(audio_host::Output::Offline);
  HSTREAM stream = BASS_StreamCreateFile(FALSE, mp3.c_str(), 0, 0, BASS_SAMPLE_MONO);
  ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
  // The last sample is a valid position, one past it is not.
  EXPECT_TRUE(BASS_ChannelSetPosition(stream, (kSamples - 1) * 2));
  EXPECT_FALSE(BASS_ChannelSetPosition(stream, kSamples * 2));

  std::vector<int16_t> played = PlayFromStart(stream, kSamples + 5000);
  EXPECT_EQ(BASS_ChannelGetPosition(stream), static_cast<QWORD>(kSamples * 2));  // held at the end
  for (size_t i = kSamples; i < played.size(); ++i) ASSERT_EQ(played[i], 0) << "no loop, at " << i;
  EXPECT_EQ(BestLag(original, played, 1200), 0);
  double error = 0.0, energy = 0.0;
  for (size_t i = 0; i < kSamples; ++i) {
    error += std::pow(played[i] - original[i], 2.0);
    energy += std::pow(original[i], 2.0);
  }
  EXPECT_LT(error / energy, 0.01);

  std::vector<int16_t> reference;
  if (!DecodeWithMpg123(mp3, reference)) GTEST_SKIP() << "the mpg123 program is not available";
  ASSERT_EQ(reference.size(), static_cast<size_t>(kSamples));
  played.resize(kSamples);
  EXPECT_TRUE(played == reference);
}

TEST(Mp3Stream, StereoKeepsTwoChannelsUnlessMixedToMono) {
  REQUIRE_LAME();
  std::vector<int16_t> left = sgtest::Sine(441.0, 0.5, kRate, kRate);
  std::vector<int16_t> stereo;
  for (int16_t v : left) {
    stereo.push_back(v);
    stereo.push_back(static_cast<int16_t>(-v / 2));
  }
  std::string mp3 = sgaudiotest::MakeMp3(stereo, kRate, 2);
  ASSERT_FALSE(mp3.empty());
  Library library(audio_host::Output::Offline);
  HSTREAM both = BASS_StreamCreateFile(FALSE, mp3.c_str(), 0, 0, 0);
  HSTREAM mono = BASS_StreamCreateFile(FALSE, mp3.c_str(), 0, 0, BASS_SAMPLE_MONO);
  ASSERT_NE(both, 0u);
  ASSERT_NE(mono, 0u);
  EXPECT_NE(both, mono);
  EXPECT_EQ(BASS_ChannelSeconds2Bytes(both, 0.5f), static_cast<QWORD>(kRate / 2 * 4));
  EXPECT_EQ(BASS_ChannelSeconds2Bytes(mono, 0.5f), static_cast<QWORD>(kRate / 2 * 2));
  EXPECT_FLOAT_EQ(BASS_ChannelBytes2Seconds(both, kRate * 4), 1.0f);
  EXPECT_TRUE(BASS_ChannelSetPosition(both, (kRate - 1) * 4));
  EXPECT_FALSE(BASS_ChannelSetPosition(both, kRate * 4));

  // The mono mix is the average: (x − x/2) / 2 = x / 4.
  std::vector<int16_t> reference;
  if (!DecodeWithMpg123(mp3, reference)) GTEST_SKIP() << "the mpg123 program is not available";
  std::vector<int16_t> played = PlayFromStart(mono, kRate);
  ASSERT_EQ(played.size(), reference.size());
  EXPECT_TRUE(played == reference);
  int peak = 0;
  for (int16_t v : played) peak = std::max(peak, std::abs(static_cast<int>(v)));
  EXPECT_NEAR(peak, 0.125 * 32767, 0.02 * 32767);
}

TEST(Mp3Stream, KeepsItsOwnRateForPositionsAndPlaysAtTheRightSpeed) {
  REQUIRE_LAME();
  std::vector<int16_t> tone = sgtest::Sine(300.0, 0.5, 22050, 22050 * 2);
  std::string mp3 = sgaudiotest::MakeMp3(tone, 22050, 1, 64);
  ASSERT_FALSE(mp3.empty());
  Library library(audio_host::Output::Offline);
  HSTREAM stream = BASS_StreamCreateFile(FALSE, mp3.c_str(), 0, 0, BASS_SAMPLE_MONO);
  ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
  EXPECT_EQ(BASS_ChannelSeconds2Bytes(stream, 1.0f), 22050u * 2);
  EXPECT_FLOAT_EQ(BASS_ChannelBytes2Seconds(stream, 22050 * 2), 1.0f);
  PlayFromStart(stream, kRate);  // one second of output
  EXPECT_EQ(BASS_ChannelGetPosition(stream), 22050u * 2);
}

TEST(Mp3Stream, OpensFromMemoryAndFromAWindowOfAFile) {
  REQUIRE_LAME();
  std::vector<int16_t> original = sgaudiotest::TestSignal(kRate, 3);
  std::string mp3 = sgaudiotest::MakeMp3(original, kRate, 1);
  ASSERT_FALSE(mp3.empty());
  std::vector<uint8_t> bytes = sgaudiotest::ReadFile(mp3);
  std::vector<uint8_t> padded(3000 + bytes.size() + 2000, 0xAA);
  std::fill_n(padded.begin(), 3000, 0x55);
  std::copy(bytes.begin(), bytes.end(), padded.begin() + 3000);
  std::string paddedPath = sgaudiotest::WriteTempFile("padded.bin", padded);
  Library library(audio_host::Output::Offline);

  HSTREAM fromMemory = BASS_StreamCreateFile(TRUE, bytes.data(), 0, static_cast<DWORD>(bytes.size()), BASS_SAMPLE_MONO);
  ASSERT_NE(fromMemory, 0u) << BASS_ErrorGetCode();
  HSTREAM fromWindow = BASS_StreamCreateFile(FALSE, paddedPath.c_str(), 3000, static_cast<DWORD>(bytes.size()),
                                             BASS_SAMPLE_MONO);
  ASSERT_NE(fromWindow, 0u) << BASS_ErrorGetCode();
  HSTREAM fromMemoryWindow = BASS_StreamCreateFile(TRUE, padded.data(), 3000, static_cast<DWORD>(bytes.size()),
                                                   BASS_SAMPLE_MONO);
  ASSERT_NE(fromMemoryWindow, 0u) << BASS_ErrorGetCode();
  for (HSTREAM stream : {fromMemory, fromWindow, fromMemoryWindow}) {
    EXPECT_TRUE(BASS_ChannelSetPosition(stream, (kRate - 1) * 2));
    EXPECT_FALSE(BASS_ChannelSetPosition(stream, kRate * 2));
  }
  // The decoded audio is the stream's own: the caller's bytes may go.
  std::fill(bytes.begin(), bytes.end(), 0);
  std::vector<int16_t> played = PlayFromStart(fromMemory, 20000);
  double error = 0.0, energy = 0.0;
  for (size_t i = 0; i < played.size(); ++i) {
    error += std::pow(played[i] - original[i], 2.0);
    energy += std::pow(original[i], 2.0);
  }
  EXPECT_LT(error / energy, 0.01);
}

TEST(Mp3Stream, AcceptsALargeTagInFrontAndATruncatedTail) {
  REQUIRE_LAME();
  std::string mp3 = sgaudiotest::MakeMp3(sgaudiotest::TestSignal(kRate, 5), kRate, 1, 128);
  ASSERT_FALSE(mp3.empty());
  std::vector<uint8_t> bytes = sgaudiotest::ReadFile(mp3);
  // An ID3v2 tag (a cover picture, say) far larger than the audio.
  const uint32_t kTagBody = 100000;
  std::vector<uint8_t> tagged = {'I', 'D', '3', 3, 0, 0};
  for (int shift : {21, 14, 7, 0}) tagged.push_back(static_cast<uint8_t>((kTagBody >> shift) & 0x7F));
  tagged.resize(tagged.size() + kTagBody, 0);
  tagged.insert(tagged.end(), bytes.begin(), bytes.end());
  std::vector<uint8_t> half(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2));
  Library library(audio_host::Output::Offline);
  HSTREAM withTag = BASS_StreamCreateFile(TRUE, tagged.data(), 0, static_cast<DWORD>(tagged.size()), BASS_SAMPLE_MONO);
  EXPECT_NE(withTag, 0u) << BASS_ErrorGetCode();
  HSTREAM truncated = BASS_StreamCreateFile(TRUE, half.data(), 0, static_cast<DWORD>(half.size()), BASS_SAMPLE_MONO);
  ASSERT_NE(truncated, 0u) << BASS_ErrorGetCode();
  EXPECT_TRUE(BASS_ChannelSetPosition(truncated, kRate / 4 * 2));
  EXPECT_FALSE(BASS_ChannelSetPosition(truncated, kRate * 2));
}

// Opens `bytes` as a soundtrack file; returns the handle and the error code.
std::pair<HSTREAM, int> OpenBytesAsFile(const std::vector<uint8_t>& bytes) {
  std::string path = sgaudiotest::WriteTempFile("soundtrack.mp3", bytes);
  HSTREAM stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_SAMPLE_MONO);
  return {stream, BASS_ErrorGetCode()};
}

TEST(Mp3StreamRejects, FilesThatAreNotThereOrNotFiles) {
  Library library(audio_host::Output::Offline);
  EXPECT_EQ(BASS_StreamCreateFile(FALSE, "/nonexistent/Brassvale.mp3", 0, 0, BASS_SAMPLE_MONO), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
  std::string dir = sgaudiotest::TempDir();
  EXPECT_EQ(BASS_StreamCreateFile(FALSE, dir.c_str(), 0, 0, BASS_SAMPLE_MONO), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
  std::string small = sgaudiotest::WriteTempFile("small.mp3", std::vector<uint8_t>(10, 0xFF));
  EXPECT_EQ(BASS_StreamCreateFile(FALSE, small.c_str(), 11, 0, BASS_SAMPLE_MONO), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);  // a window starting past the end
  EXPECT_EQ(BASS_StreamCreateFile(FALSE, nullptr, 0, 0, BASS_SAMPLE_MONO), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
  uint8_t one = 0;
  EXPECT_EQ(BASS_StreamCreateFile(TRUE, &one, 0, 0, BASS_SAMPLE_MONO), 0u);  // a block needs a length
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
}

TEST(Mp3StreamRejects, EmptyGarbageTextAndWaveData) {
  Library library(audio_host::Output::Offline);
  std::mt19937 random(99);
  std::vector<uint8_t> noise(300000);
  for (uint8_t& b : noise) b = static_cast<uint8_t>(random());
  // Frame-sync-like bytes everywhere: the most tempting garbage for a resyncing decoder.
  std::vector<uint8_t> syncs(200000);
  for (size_t i = 0; i < syncs.size(); ++i) syncs[i] = (i % 2 == 0) ? 0xFF : static_cast<uint8_t>(0xE0 | (random() & 0x1F));
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "This is not an MP3 file. ";
  std::vector<uint8_t> wav;
  {
    std::vector<int16_t> tone = sgtest::Sine(440.0, 0.8, kRate, kRate);
    std::vector<uint8_t> data(tone.size() * 2);
    for (size_t i = 0; i < tone.size(); ++i) {
      data[2 * i] = static_cast<uint8_t>(tone[i] & 0xFF);
      data[2 * i + 1] = static_cast<uint8_t>((tone[i] >> 8) & 0xFF);
    }
    wav = sgaudiotest::WavBytes(data, 1, kRate, 16);
  }
  const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
      {"empty", {}},
      {"one byte", {0xFF}},
      {"random", noise},
      {"sync-like", syncs},
      {"text", std::vector<uint8_t>(text.begin(), text.end())},
      {"wav", wav},
  };
  for (const auto& c : cases) {
    std::pair<HSTREAM, int> result = OpenBytesAsFile(c.second);
    EXPECT_EQ(result.first, 0u) << c.first;
    EXPECT_EQ(result.second, c.second.empty() ? BASS_ERROR_EMPTY : BASS_ERROR_FILEFORM) << c.first;
  }
}

TEST(Mp3StreamRejects, AStreamCutToAFewBytesOrBuriedInGarbage) {
  REQUIRE_LAME();
  std::string mp3 = sgaudiotest::MakeMp3(sgaudiotest::TestSignal(kRate / 2, 1), kRate, 1, 128);
  ASSERT_FALSE(mp3.empty());
  std::vector<uint8_t> bytes = sgaudiotest::ReadFile(mp3);
  Library library(audio_host::Output::Offline);
  std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + 300);
  EXPECT_EQ(OpenBytesAsFile(cut).first, 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
  // A real stream, but under a tenth of the file: not a soundtrack.
  std::mt19937 random(5);
  std::vector<uint8_t> buried(bytes.size() * 10);
  for (uint8_t& b : buried) b = static_cast<uint8_t>(random());
  std::copy(bytes.begin(), bytes.end(), buried.begin() + static_cast<std::ptrdiff_t>(bytes.size() * 4));
  EXPECT_EQ(OpenBytesAsFile(buried).first, 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
}

TEST(Mp3StreamRejects, EverythingBeforeInitAndAfterFree) {
  audio_host::Reset();
  EXPECT_EQ(BASS_StreamCreateFile(FALSE, "/nonexistent.mp3", 0, 0, BASS_SAMPLE_MONO), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
  {
    Library library(audio_host::Output::Offline);
    ASSERT_TRUE(library.ok());
  }
  EXPECT_EQ(BASS_StreamCreateFile(FALSE, "/nonexistent.mp3", 0, 0, BASS_SAMPLE_MONO), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
}

}  // namespace
