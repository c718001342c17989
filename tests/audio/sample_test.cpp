// The key-triggered sample: one playback at a time, restart after a stop,
// heard together with the music without moving the music's position or its
// spectrum; WAV formats and rates as heard in the offline mix.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "audio_test_util.h"
#include "test_audio.h"

namespace {

using sgaudiotest::kRate;
using sgaudiotest::Library;
using sgtest::Pcm16Bytes;

// A ramp 1, 2, 3, … so that where playback is within the sample shows.
std::vector<int16_t> Ramp(int count) {
  std::vector<int16_t> ramp(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) ramp[static_cast<size_t>(i)] = static_cast<int16_t>(i + 1);
  return ramp;
}

HSAMPLE LoadFromMemory(const std::vector<uint8_t>& wav, DWORD max = 1) {
  return BASS_SampleLoad(TRUE, wav.data(), 0, static_cast<DWORD>(wav.size()), max, 0);
}

TEST(Sample, PlaysOnceAtATimeAndRestartsFromItsBeginningAfterAStop) {
  Library library(audio_host::Output::Offline);
  HSAMPLE sample = LoadFromMemory(sgaudiotest::WavBytes(Pcm16Bytes(Ramp(1000)), 1, kRate, 16));
  ASSERT_NE(sample, 0u) << BASS_ErrorGetCode();
  ASSERT_TRUE(BASS_Start());
  HCHANNEL first = BASS_SamplePlay(sample);
  ASSERT_NE(first, 0u);
  uint64_t produced = 0;
  std::vector<int16_t> mix = sgaudiotest::MixFrames(produced, 300);
  EXPECT_EQ(mix[0], 1);
  EXPECT_EQ(mix[1], 1);  // mono is heard on both sides
  EXPECT_EQ(mix[2 * 299], 300);

  EXPECT_EQ(BASS_SamplePlay(sample), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOCHAN);
  mix = sgaudiotest::MixFrames(produced, 10);
  EXPECT_EQ(mix[0], 301);  // the refused play left the first one going

  ASSERT_TRUE(BASS_SampleStop(sample));
  HCHANNEL second = BASS_SamplePlay(sample);
  ASSERT_NE(second, 0u);
  EXPECT_NE(second, first);
  mix = sgaudiotest::MixFrames(produced, 1200);
  EXPECT_EQ(mix[0], 1);
  EXPECT_EQ(mix[2 * 999], 1000);
  EXPECT_EQ(mix[2 * 1000], 0);  // ended
  // Once it has ended it may play again without a stop.
  EXPECT_NE(BASS_SamplePlay(sample), 0u);
  EXPECT_TRUE(BASS_SampleStop(sample));
  EXPECT_TRUE(BASS_SampleStop(sample));  // stopping a stopped sample is fine
}

TEST(Sample, AllowsAsManyPlaybacksAsItsMaximum) {
  Library library(audio_host::Output::Offline);
  std::vector<uint8_t> wav = sgaudiotest::WavBytes(Pcm16Bytes(Ramp(100)), 1, kRate, 16);
  EXPECT_EQ(LoadFromMemory(wav, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
  HSAMPLE sample = LoadFromMemory(wav, 2);
  ASSERT_NE(sample, 0u);
  EXPECT_NE(BASS_SamplePlay(sample), 0u);
  EXPECT_NE(BASS_SamplePlay(sample), 0u);
  EXPECT_EQ(BASS_SamplePlay(sample), 0u);
  ASSERT_TRUE(BASS_Start());
  uint64_t produced = 0;
  EXPECT_EQ(sgaudiotest::MixFrames(produced, 10)[0], 2);  // two playbacks summed
}

TEST(Sample, EightBitStereoAndOtherRatesAreConverted) {
  Library library(audio_host::Output::Offline);
  // 8-bit unsigned stereo: 0x80 is silence; left full down, right full up.
  std::vector<uint8_t> data;
  for (int i = 0; i < 100; ++i) {
    data.push_back(0x00);
    data.push_back(0xFF);
  }
  HSAMPLE eightBit = LoadFromMemory(sgaudiotest::WavBytes(data, 2, kRate, 8));
  ASSERT_NE(eightBit, 0u) << BASS_ErrorGetCode();
  // 22050 Hz plays twice as many output frames at 44100.
  HSAMPLE slow = LoadFromMemory(sgaudiotest::WavBytes(Pcm16Bytes(std::vector<int16_t>(1000, 1000)), 1, 22050, 16));
  ASSERT_NE(slow, 0u) << BASS_ErrorGetCode();
  ASSERT_TRUE(BASS_Start());
  ASSERT_NE(BASS_SamplePlay(eightBit), 0u);
  uint64_t produced = 0;
  std::vector<int16_t> mix = sgaudiotest::MixFrames(produced, 200);
  EXPECT_EQ(mix[0], -32768);
  EXPECT_EQ(mix[1], 127 * 256);
  EXPECT_EQ(mix[2 * 100], 0);

  ASSERT_NE(BASS_SamplePlay(slow), 0u);
  mix = sgaudiotest::Left(sgaudiotest::MixFrames(produced, 3000));
  size_t heard = 0;
  for (int16_t v : mix) heard += v != 0;
  EXPECT_NEAR(static_cast<double>(heard), 2000.0, 2.0);
}

TEST(Sample, IsHeardWithTheMusicButLeavesItsPositionAndSpectrumAlone) {
  if (!sgaudiotest::LameAvailable()) GTEST_SKIP() << "lame is not available";
  std::string mp3 = sgaudiotest::MakeMp3(sgtest::Sine(8 * kRate / 1024.0, 0.3, kRate, kRate), kRate, 1, 128);
  ASSERT_FALSE(mp3.empty());
  std::vector<int16_t> chime = sgtest::Sine(50 * kRate / 1024.0, 0.4, kRate, kRate / 2);
  std::vector<uint8_t> wav = sgaudiotest::WavBytes(Pcm16Bytes(chime), 1, kRate, 16);

  struct Run {
    std::vector<int16_t> mix;
    QWORD position = 0;
    std::vector<float> bands = std::vector<float>(512);
  };
  auto run = [&](bool withSample) {
    Run r;
    Library library(audio_host::Output::Offline);
    HSTREAM music = BASS_StreamCreateFile(FALSE, mp3.c_str(), 0, 0, BASS_SAMPLE_MONO);
    HSAMPLE sample = LoadFromMemory(wav);
    BASS_Start();
    BASS_StreamPlay(music, FALSE, 0);
    uint64_t produced = 0;
    r.mix = sgaudiotest::MixFrames(produced, 4000);
    if (withSample) BASS_SamplePlay(sample);
    std::vector<int16_t> more = sgaudiotest::MixFrames(produced, 8000);
    r.mix.insert(r.mix.end(), more.begin(), more.end());
    r.position = BASS_ChannelGetPosition(music);
    BASS_ChannelGetData(music, r.bands.data(), BASS_DATA_FFT1024);
    return r;
  };
  Run plain = run(false);
  Run mixed = run(true);
  EXPECT_EQ(mixed.position, plain.position);
  EXPECT_EQ(mixed.position, 12000u * 2);
  EXPECT_TRUE(mixed.bands == plain.bands);
  EXPECT_LT(plain.bands[50], 0.01f);
  for (size_t i = 0; i < plain.mix.size(); ++i) {
    size_t frame = i / 2;
    int sampleValue = frame >= 4000 ? chime[frame - 4000] : 0;
    ASSERT_EQ(mixed.mix[i], plain.mix[i] + sampleValue) << "at frame " << frame;
  }
}

TEST(Sample, LoadsAnyFileNameAndRefusesBadHandles) {
  Library library(audio_host::Output::Offline);
  std::string pak = sgaudiotest::WriteTempFile("s.pak", sgaudiotest::WavBytes(Pcm16Bytes(Ramp(10)), 1, kRate, 16));
  HSAMPLE sample = BASS_SampleLoad(FALSE, pak.c_str(), 0, 0, 1, 0);
  EXPECT_NE(sample, 0u) << BASS_ErrorGetCode();
  EXPECT_EQ(BASS_SampleLoad(FALSE, "/nonexistent/s.pak", 0, 0, 1, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
  EXPECT_EQ(BASS_SamplePlay(0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
  EXPECT_FALSE(BASS_SampleStop(0));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
  EXPECT_EQ(BASS_SamplePlay(sample + 1), 0u);
  HCHANNEL channel = BASS_SamplePlay(sample);
  ASSERT_NE(channel, 0u);
  // A playing channel is not a stream.
  EXPECT_EQ(BASS_ChannelGetPosition(channel), static_cast<QWORD>(-1));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
  EXPECT_EQ(BASS_ChannelGetPosition(sample), static_cast<QWORD>(-1));
}

TEST(Sample, NeedsAnInitialisedLibrary) {
  audio_host::Reset();
  std::vector<uint8_t> wav = sgaudiotest::WavBytes(Pcm16Bytes(Ramp(10)), 1, kRate, 16);
  EXPECT_EQ(LoadFromMemory(wav), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
  EXPECT_EQ(BASS_SamplePlay(1), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
}

}  // namespace
