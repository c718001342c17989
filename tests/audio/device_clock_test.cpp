// The mixer's position when the output can ask its device how much it has
// played (the waveOut output on Windows): the mix less what the device has
// not yet played, monotonic, never ahead of the mix, and kept over a stop.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "audio/mixer.h"

namespace {

using sgaudio::Mixer;

constexpr int kRate = 44100;
const Mixer::TimePoint kT0 = Mixer::TimePoint{} + std::chrono::seconds(100);

struct Fixture {
  Mixer mixer{kRate};
  uint64_t played = 0;  // what the pretend device reports
  DWORD music = 0;

  explicit Fixture(int streamRate = kRate) {
    mixer.SetDeviceClock([this] { return played; });
    sgaudio::PcmBuffer pcm;
    pcm.rate = streamRate;
    pcm.channels = 1;
    pcm.samples.assign(static_cast<size_t>(streamRate) * 2, 1000);
    music = mixer.AddStream(std::move(pcm));
    EXPECT_EQ(mixer.Play(music, false), BASS_OK);
  }
  void Render(size_t frames, Mixer::TimePoint now = kT0) {
    std::vector<int16_t> out(frames * Mixer::kOutputChannels);
    mixer.Render(out.data(), frames, now);
  }
  uint64_t Heard(Mixer::TimePoint now = kT0) {
    QWORD bytes = 0;
    EXPECT_EQ(mixer.Position(music, now, bytes), BASS_OK);
    return bytes / 2;
  }
};

TEST(MixerDeviceClock, ThePositionIsWhatTheDeviceHasPlayed) {
  Fixture f;
  f.Render(1024);
  f.Render(1024);
  f.Render(1024);
  EXPECT_EQ(f.Heard(), 0u);  // queued, nothing played
  f.played = 700;
  EXPECT_EQ(f.Heard(), 700u);
  // Wall time plays no part: only the device's count moves the position.
  EXPECT_EQ(f.Heard(kT0 + std::chrono::seconds(5)), 700u);
  f.played = 3000;
  EXPECT_EQ(f.Heard(), 3000u);
  f.played = 5000;  // a device that claims more than it was given
  EXPECT_EQ(f.Heard(), 3072u);
  f.played = 2000;  // or goes back
  EXPECT_EQ(f.Heard(), 3072u);
}

TEST(MixerDeviceClock, FollowsTheStreamsOwnRate) {
  Fixture f(22050);  // half the output rate: one stream frame per two output frames
  f.Render(4096);
  f.played = 1000;
  EXPECT_EQ(f.Heard(), 2048u - 1548u);
}

TEST(MixerDeviceClock, AStopKeepsThePositionHeardAndARestartContinuesFromIt) {
  Fixture f;
  f.Render(4096);
  f.played = 1500;
  EXPECT_EQ(f.Heard(), 1500u);
  // The output stops its device at 1800 frames played; the mixer takes back
  // what was mixed beyond that.
  f.played = 1800;
  f.mixer.Freeze(kT0);
  EXPECT_EQ(f.Heard(), 1800u);
  // The device restarts from 0 and plays the mix from where it was heard.
  f.played = 0;
  f.Render(1024);
  EXPECT_EQ(f.Heard(), 1800u);
  f.played = 500;
  EXPECT_EQ(f.Heard(), 2300u);
}

TEST(MixerDeviceClock, ASeekReadsTheTargetAtOnceAndMovesOnFromIt) {
  Fixture f;
  f.Render(4096);
  f.played = 1000;
  ASSERT_EQ(f.mixer.SetPosition(f.music, 50000 * 2), BASS_OK);
  EXPECT_EQ(f.Heard(), 50000u);
  f.Render(1024);
  // The device still holds 3096 frames from before the seek, then 1024 new.
  f.played = 4096;
  EXPECT_EQ(f.Heard(), 50000u);
  f.played = 4096 + 600;
  EXPECT_EQ(f.Heard(), 50600u);
}

}  // namespace
