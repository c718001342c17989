// The program's spectrum query over the audio library's FFT of a real stream.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "audio/audio_host.h"
#include "sequence/music.h"
#include "test_audio.h"

namespace {

constexpr int kRate = 44100;

// A loud tone at the centre of band 1 over a quieter one in band 3, so every
// band the tests read holds a distinct level.
class SpectrumLevelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = sgtest::MakeTempDir("sg_spectrum_");
    std::vector<int16_t> low = sgtest::Sine(kRate / 1024.0, 0.5, kRate, kRate * 2);
    std::vector<int16_t> high = sgtest::Sine(3 * kRate / 1024.0, 0.2, kRate, kRate * 2);
    for (size_t i = 0; i < low.size(); ++i) low[i] = static_cast<int16_t>(low[i] + high[i]);
    std::string wav = dir_ + "/tone.wav", mp3 = dir_ + "/tone.mp3";
    ASSERT_TRUE(sgtest::WriteWav16(wav, low, kRate, 1));
    if (!sgtest::EncodeMp3(LAME_PROGRAM, wav, mp3)) GTEST_SKIP() << "lame is not available";
    audio_host::Reset();
    audio_host::SelectOutput(audio_host::Output::Offline);
    ASSERT_TRUE(BASS_Init(-1, kRate, 0, NULL));
    stream_ = BASS_StreamCreateFile(FALSE, mp3.c_str(), 0, 0, BASS_SAMPLE_MONO);
    ASSERT_NE(stream_, 0u) << BASS_ErrorGetCode();
    BASS_Start();
    BASS_StreamPlay(stream_, FALSE, 0);
    audio_host::OfflineAdvanceTo(kRate);  // one second in: the tone is steady
    ASSERT_EQ(BASS_ChannelGetData(stream_, bands_, BASS_DATA_FFT1024), 2048u);
  }
  void TearDown() override { BASS_Free(); }

  std::string dir_;
  HSTREAM stream_ = 0;
  float bands_[512] = {};
};

TEST_F(SpectrumLevelTest, ReturnsTheBandOnlyWhenStrictlyAboveTheThreshold) {
  ASSERT_GT(bands_[1], 0.3f);
  EXPECT_EQ(SpectrumLevel(stream_, 3.0f, bands_[1]), 0.0f);
  EXPECT_EQ(SpectrumLevel(stream_, 3.0f, std::nextafter(bands_[1], 0.0f)), bands_[1]);
  EXPECT_EQ(SpectrumLevel(stream_, 3.0f, 0.125f), bands_[1]);
}

TEST_F(SpectrumLevelTest, LowFrequenciesReadBandOneAndTheBandFollowsAConstantRate) {
  EXPECT_EQ(SpectrumLevel(stream_, 0.0f, -1.0f), bands_[1]);
  EXPECT_EQ(SpectrumLevel(stream_, 3.0f, -1.0f), bands_[1]);
  // 43.07 Hz a band, from the constant 44100 whatever the stream's rate.
  EXPECT_EQ(SpectrumLevel(stream_, 43.0f, -1.0f), bands_[1]);
  EXPECT_EQ(SpectrumLevel(stream_, 44.0f, -1.0f), bands_[2]);
  EXPECT_EQ(SpectrumLevel(stream_, 2.0f * 44100.0f / 1024.0f + 1.0f, -1.0f), bands_[3]);
  EXPECT_NE(bands_[1], bands_[2]);
  EXPECT_NE(bands_[2], bands_[3]);
}

TEST_F(SpectrumLevelTest, BandsOutsideTheSpectrumReadAsSilence) {
  EXPECT_EQ(SpectrumLevel(stream_, -5000.0f, -1.0f), 0.0f);
  EXPECT_EQ(SpectrumLevel(stream_, 30000.0f, -1.0f), 0.0f);
}

TEST(SpectrumLevelWithoutData, AChannelThatDeliversNothingReadsZero) {
  audio_host::Reset();
  EXPECT_EQ(SpectrumLevel(0, 3.0f, -1.0f), 0.0f);
  EXPECT_EQ(SpectrumLevel(12345, 3.0f, 0.125f), 0.0f);
}

}  // namespace
