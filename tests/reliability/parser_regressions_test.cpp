// Inputs the fuzzers turned up, replayed through the same entry points.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "audio/audio_host.h"
#include "audio/bass.h"
#include "test_audio.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A mono 16-bit PCM WAVE of `frames` zero samples at `rate`.
Bytes MonoWav(int rate, uint32_t frames) { return sgtest::WavBytes(Bytes(2 * size_t{frames}, 0), 1, rate, 16); }

class OfflineLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    audio_host::SelectOutput(audio_host::Output::Offline);
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr));
  }
  void TearDown() override { audio_host::Reset(); }
};

// 12 KB claiming one sample a second: resampled to 44.1 kHz it would be 269
// million samples (half a gigabyte; a whole sample file, gigabytes). Refused
// as too large instead of allocated.
TEST_F(OfflineLibrary, ASampleWhoseRateWouldBlowItUpIsRefusedAsTooLarge) {
  const Bytes wav = MonoWav(1, 6100);
  EXPECT_EQ(BASS_SampleLoad(TRUE, wav.data(), 0, static_cast<DWORD>(wav.size()), 1, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_MEM);
}

TEST_F(OfflineLibrary, TheSameSamplesAtARealRateOrASlowButShortOneLoad) {
  const Bytes real = MonoWav(8000, 6100);
  EXPECT_NE(BASS_SampleLoad(TRUE, real.data(), 0, static_cast<DWORD>(real.size()), 1, 0), 0u);
  const Bytes slowButShort = MonoWav(1, 100);  // 4.4 million samples once resampled
  EXPECT_NE(BASS_SampleLoad(TRUE, slowButShort.data(), 0, static_cast<DWORD>(slowButShort.size()), 1, 0), 0u);
}

}  // namespace
