// Position syncs: when they fire, how often, and on which thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "audio_test_util.h"
#include "test_audio.h"

namespace {

using sgaudiotest::kRate;
using sgaudiotest::Library;

struct Fired {
  std::atomic<int> count{0};
  std::atomic<HSYNC> sync{0};
  std::atomic<DWORD> channel{0};
  std::atomic<DWORD> data{99};
  std::atomic<DWORD> user{0};
  std::thread::id thread;
};
Fired g_fired[2];

template <int kIndex>
void CALLBACK Record(HSYNC sync, DWORD channel, DWORD data, DWORD user) {
  Fired& f = g_fired[kIndex];
  f.thread = std::this_thread::get_id();
  f.sync = sync;
  f.channel = channel;
  f.data = data;
  f.user = user;
  ++f.count;
}

HSTREAM OpenTone(double seconds) {
  std::string mp3 = sgaudiotest::MakeMp3(sgtest::Sine(440.0, 0.5, kRate, static_cast<int>(seconds * kRate)), kRate, 1, 128);
  return mp3.empty() ? 0 : BASS_StreamCreateFile(FALSE, mp3.c_str(), 0, 0, BASS_SAMPLE_MONO);
}

// Each case starts with nothing recorded, should cases share a process.
class Sync : public ::testing::Test {
 protected:
  void SetUp() override {
    for (Fired& f : g_fired) {
      f.count = 0;
      f.thread = std::thread::id();
    }
  }
};

#define OPEN_TONE_OR_SKIP(var, seconds)                                    \
  if (!sgaudiotest::LameAvailable()) GTEST_SKIP() << "lame is not available"; \
  HSTREAM var = OpenTone(seconds);                                           \
  ASSERT_NE(var, 0u) << BASS_ErrorGetCode()

TEST_F(Sync, AtTheStartFiresOnceOnTheMixerThreadOfTheSilentOutput) {
  Library library(audio_host::Output::Silent);
  OPEN_TONE_OR_SKIP(music, 2.0);
  HSYNC sync = BASS_ChannelSetSync(music, BASS_SYNC_POS, 0, Record<0>, 1234);
  ASSERT_NE(sync, 0u);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(g_fired[0].count, 0);  // not before the output starts
  ASSERT_TRUE(BASS_Start());
  ASSERT_TRUE(BASS_StreamPlay(music, FALSE, 0));
  for (int i = 0; i < 200 && g_fired[0].count == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_TRUE(BASS_Stop());
  EXPECT_EQ(g_fired[0].count, 1);
  EXPECT_NE(g_fired[0].thread, std::this_thread::get_id());
  EXPECT_EQ(g_fired[0].sync, sync);
  EXPECT_EQ(g_fired[0].channel, music);
  EXPECT_EQ(g_fired[0].data, 0u);
  EXPECT_EQ(g_fired[0].user, 1234u);
}

TEST_F(Sync, FiresOnTheDeviceCallbackThreadToo) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  Library library(audio_host::Output::Automatic);
  ASSERT_EQ(audio_host::ActiveOutput(), audio_host::Output::Automatic);
  OPEN_TONE_OR_SKIP(music, 2.0);
  ASSERT_NE(BASS_ChannelSetSync(music, BASS_SYNC_POS, 0, Record<0>, 0), 0u);
  ASSERT_TRUE(BASS_Start());
  ASSERT_TRUE(BASS_StreamPlay(music, FALSE, 0));
  for (int i = 0; i < 400 && g_fired[0].count == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  ASSERT_TRUE(BASS_Free());
  EXPECT_EQ(g_fired[0].count, 1);
  EXPECT_NE(g_fired[0].thread, std::this_thread::get_id());
}

TEST_F(Sync, OfflineFiresOnTheCallersThreadWhenMixingCrossesItsPosition) {
  Library library(audio_host::Output::Offline);
  OPEN_TONE_OR_SKIP(music, 2.0);
  ASSERT_NE(BASS_ChannelSetSync(music, BASS_SYNC_POS, 0, Record<0>, 0), 0u);
  ASSERT_NE(BASS_ChannelSetSync(music, BASS_SYNC_POS, 1000 * 2, Record<1>, 0), 0u);
  ASSERT_TRUE(BASS_Start());
  ASSERT_TRUE(BASS_StreamPlay(music, FALSE, 0));
  uint64_t produced = 0;
  sgaudiotest::MixFrames(produced, 1);
  EXPECT_EQ(g_fired[0].count, 1);
  EXPECT_EQ(g_fired[0].thread, std::this_thread::get_id());
  sgaudiotest::MixFrames(produced, 999);  // frames 1..999: one short of the second
  EXPECT_EQ(g_fired[1].count, 0);
  sgaudiotest::MixFrames(produced, 1);
  EXPECT_EQ(g_fired[1].count, 1);
  sgaudiotest::MixFrames(produced, kRate);
  EXPECT_EQ(g_fired[0].count, 1);
  EXPECT_EQ(g_fired[1].count, 1);

  // A seek back before a sync passes it again; a seek onto it fires it again.
  ASSERT_TRUE(BASS_ChannelSetPosition(music, 500 * 2));
  sgaudiotest::MixFrames(produced, 1000);
  EXPECT_EQ(g_fired[1].count, 2);
  ASSERT_TRUE(BASS_ChannelSetPosition(music, 0));
  sgaudiotest::MixFrames(produced, 10);
  EXPECT_EQ(g_fired[0].count, 2);
  // Landing past it does not.
  ASSERT_TRUE(BASS_ChannelSetPosition(music, 1001 * 2));
  sgaudiotest::MixFrames(produced, 1000);
  EXPECT_EQ(g_fired[1].count, 2);
}

TEST_F(Sync, NeverFiresBeyondTheEndOrWhileStopped) {
  Library library(audio_host::Output::Offline);
  OPEN_TONE_OR_SKIP(music, 1.0);
  ASSERT_NE(BASS_ChannelSetSync(music, BASS_SYNC_POS, kRate * 2, Record<0>, 0), 0u);
  ASSERT_NE(BASS_ChannelSetSync(music, BASS_SYNC_POS, 0, Record<1>, 0), 0u);
  ASSERT_TRUE(BASS_StreamPlay(music, FALSE, 0));
  uint64_t produced = 0;
  sgaudiotest::MixFrames(produced, 1000);  // output not started
  EXPECT_EQ(g_fired[1].count, 0);
  ASSERT_TRUE(BASS_Start());
  sgaudiotest::MixFrames(produced, kRate * 2);
  EXPECT_EQ(g_fired[0].count, 0);
  EXPECT_EQ(g_fired[1].count, 1);
}

TEST_F(Sync, RefusesOtherTypesMissingProcsAndUnknownHandles) {
  Library library(audio_host::Output::Offline);
  OPEN_TONE_OR_SKIP(music, 1.0);
  EXPECT_EQ(BASS_ChannelSetSync(music, 1, 0, Record<0>, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLTYPE);
  EXPECT_EQ(BASS_ChannelSetSync(music, BASS_SYNC_POS, 0, nullptr, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
  EXPECT_EQ(BASS_ChannelSetSync(0, BASS_SYNC_POS, 0, Record<0>, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
  HSYNC a = BASS_ChannelSetSync(music, BASS_SYNC_POS, 0, Record<0>, 0);
  HSYNC b = BASS_ChannelSetSync(music, BASS_SYNC_POS, 0, Record<0>, 0);
  EXPECT_NE(a, 0u);
  EXPECT_NE(b, 0u);
  EXPECT_NE(a, b);
}

}  // namespace
