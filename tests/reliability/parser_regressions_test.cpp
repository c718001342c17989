// Inputs the fuzzers turned up, replayed through the same entry points.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "audio/audio_host.h"
#include "audio/bass.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(Bytes& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A mono 16-bit PCM WAVE of `frames` zero samples at `rate`.
Bytes MonoWav(uint32_t rate, uint32_t frames) {
  Bytes wav = {'R', 'I', 'F', 'F'};
  Put32(wav, 36 + 2 * frames);
  wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  Put32(wav, 16);
  Put16(wav, 1);  // PCM
  Put16(wav, 1);  // mono
  Put32(wav, rate);
  Put32(wav, rate * 2);
  Put16(wav, 2);
  Put16(wav, 16);
  wav.insert(wav.end(), {'d', 'a', 't', 'a'});
  Put32(wav, 2 * frames);
  wav.resize(wav.size() + 2 * frames, 0);
  return wav;
}

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
