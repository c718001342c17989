// The generated soundtrack and sample, through the same calls the program
// makes: the WAV's format and length, the MP3 lame makes of it, and the kick
// that scene 3's jolt follows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio_test_util.h"
#include "test_audio.h"
#include "tools/content/music/music_synth.h"

namespace {

using sgaudiotest::kRate;

struct WavHeader {
  int format = 0, channels = 0, rate = 0, bits = 0;
  size_t dataBytes = 0;
};

WavHeader ParseCanonicalWav(const std::vector<uint8_t>& b) {
  WavHeader h;
  if (b.size() < 44) return h;
  auto u16 = [&b](size_t at) { return static_cast<int>(b[at] | (b[at + 1] << 8)); };
  h.format = u16(20);
  h.channels = u16(22);
  h.rate = u16(24) | (u16(26) << 16);
  h.bits = u16(34);
  h.dataBytes = static_cast<size_t>(u16(40)) | (static_cast<size_t>(u16(42)) << 16);
  return h;
}

TEST(SoundtrackWav, IsAboutThreeMinutesOfMono16BitAt44100AndTheSameEveryRun) {
  std::string dir = sgaudiotest::TempDir();
  std::string error;
  ASSERT_TRUE(sgcontent::WriteSoundtrackWav(dir + "/a.wav", error)) << error;
  ASSERT_TRUE(sgcontent::WriteSoundtrackWav(dir + "/b.wav", error)) << error;
  std::vector<uint8_t> a = sgaudiotest::ReadFile(dir + "/a.wav");
  WavHeader h = ParseCanonicalWav(a);
  EXPECT_EQ(h.format, 1);
  EXPECT_EQ(h.channels, 1);
  EXPECT_EQ(h.rate, 44100);
  EXPECT_EQ(h.bits, 16);
  EXPECT_EQ(h.dataBytes + 44, a.size());
  double seconds = static_cast<double>(h.dataBytes) / 2 / 44100;
  EXPECT_GE(seconds, 160.0);
  EXPECT_LE(seconds, 200.0);
  EXPECT_TRUE(a == sgaudiotest::ReadFile(dir + "/b.wav"));
}

TEST(SoundtrackWav, ReportsAFolderThatCannotBeWritten) {
  std::string error;
  EXPECT_FALSE(sgcontent::WriteSoundtrackWav("/nonexistent-folder/x/track.wav", error));
  EXPECT_NE(error.find("/nonexistent-folder/x/track.wav"), std::string::npos) << error;
  error.clear();
  EXPECT_FALSE(sgcontent::WriteSampleWav("/nonexistent-folder/x/s.pak", error));
  EXPECT_FALSE(error.empty());
}

// Runs of frames (10 ms apart) in which band 1 is above the threshold.
struct BandRuns {
  int runs = 0;
  double longestRunSeconds = 0.0;
  double secondsAbove = 0.0;
};

BandRuns BandOneRuns(HSTREAM music, double from, double to, float threshold) {
  const uint64_t kStep = kRate / 100;
  BandRuns result;
  BASS_ChannelSetPosition(music, BASS_ChannelSeconds2Bytes(music, static_cast<float>(from)));
  uint64_t produced = 0;
  bool above = false;
  double runStart = 0.0;
  for (double t = from; t <= to; t += static_cast<double>(kStep) / kRate) {
    float bands[512];
    if (BASS_ChannelGetData(music, bands, BASS_DATA_FFT1024) != 2048) return BandRuns{};
    bool now = bands[1] > threshold;
    if (now && !above) {
      ++result.runs;
      runStart = t;
    }
    if (now) {
      result.secondsAbove += 0.01;
      result.longestRunSeconds = std::max(result.longestRunSeconds, t - runStart);
    }
    above = now;
    sgaudiotest::MixFrames(produced, kStep);
  }
  return result;
}

TEST(SoundtrackMp3, KickLiftsBandOneOnTheBeatsOfTheLatticeSceneAndLetsItFallBetween) {
  if (!sgaudiotest::LameAvailable()) GTEST_SKIP() << "lame is not available";
  std::string dir = sgaudiotest::TempDir();
  std::string error;
  ASSERT_TRUE(sgcontent::WriteSoundtrackWav(dir + "/track.wav", error)) << error;
  ASSERT_TRUE(sgtest::EncodeMp3(LAME_PROGRAM, dir + "/track.wav", dir + "/track.mp3", 160));
  sgaudiotest::Library library(audio_host::Output::Offline);
  ASSERT_TRUE(library.ok());
  HSTREAM music = BASS_StreamCreateFile(FALSE, (dir + "/track.mp3").c_str(), 0, 0, BASS_SAMPLE_MONO);
  ASSERT_NE(music, 0u) << BASS_ErrorGetCode();
  // Every seek key lands inside the track; three minutes and a bit end it.
  EXPECT_TRUE(BASS_ChannelSetPosition(music, BASS_ChannelSeconds2Bytes(music, 155.87f)));
  EXPECT_TRUE(BASS_ChannelSetPosition(music, BASS_ChannelSeconds2Bytes(music, 160.0f)));
  EXPECT_FALSE(BASS_ChannelSetPosition(music, BASS_ChannelSeconds2Bytes(music, 200.0f)));
  ASSERT_TRUE(BASS_Start());
  ASSERT_TRUE(BASS_StreamPlay(music, FALSE, 0));

  BandRuns lattice = BandOneRuns(music, 21.6, 29.0, 0.125f);
  EXPECT_GE(lattice.runs, 10);
  EXPECT_LT(lattice.longestRunSeconds, 0.3);  // falls back between beats
  EXPECT_LT(lattice.secondsAbove, 0.6 * 7.4);
  std::printf("band1.runs=%d band1.longest=%.3f band1.above=%.2f\n", lattice.runs, lattice.longestRunSeconds,
              lattice.secondsAbove);
}

TEST(SampleWav, IsAShortSoundTheLibraryLoadsAndPlays) {
  std::string dir = sgaudiotest::TempDir();
  std::string error;
  ASSERT_TRUE(sgcontent::WriteSampleWav(dir + "/s.pak", error)) << error;
  std::vector<uint8_t> bytes = sgaudiotest::ReadFile(dir + "/s.pak");
  WavHeader h = ParseCanonicalWav(bytes);
  double seconds = static_cast<double>(h.dataBytes) / (2.0 * h.channels * h.rate);
  EXPECT_GT(seconds, 0.2);
  EXPECT_LT(seconds, 2.0);
  sgaudiotest::Library library(audio_host::Output::Offline);
  ASSERT_TRUE(library.ok());
  HSAMPLE sample = BASS_SampleLoad(FALSE, (dir + "/s.pak").c_str(), 0, 0, 1, 0);
  ASSERT_NE(sample, 0u) << BASS_ErrorGetCode();
  ASSERT_TRUE(BASS_Start());
  ASSERT_NE(BASS_SamplePlay(sample), 0u);
  uint64_t produced = 0;
  std::vector<int16_t> mix = sgaudiotest::MixFrames(produced, kRate / 10);
  int peak = 0;
  for (int16_t v : mix) peak = std::max(peak, std::abs(static_cast<int>(v)));
  EXPECT_GT(peak, 8000);  // clearly audible from its first tenth of a second
}

}  // namespace
