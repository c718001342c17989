// Positions, conversions and seeks through the BASS_* calls, on the offline
// output (exact frames), the silent output (real time) and SDL's dummy
// driver (a device buffer between the mixer and the ear); the library's life
// cycle and its handling of bad handles.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include "audio_test_util.h"
#include "test_audio.h"

namespace {

using sgaudiotest::kRate;
using sgaudiotest::Library;

const QWORD kBad = static_cast<QWORD>(-1);

// A mono MP3 of `seconds` (lame required), opened on an initialised library.
HSTREAM OpenTone(double seconds, std::string* path = nullptr) {
  std::string mp3 = sgaudiotest::MakeMp3(sgtest::Sine(440.0, 0.5, kRate, static_cast<int>(seconds * kRate)), kRate, 1, 128);
  if (path) *path = mp3;
  return mp3.empty() ? 0 : BASS_StreamCreateFile(FALSE, mp3.c_str(), 0, 0, BASS_SAMPLE_MONO);
}

#define OPEN_TONE_OR_SKIP(var, seconds)                                    \
  if (!sgaudiotest::LameAvailable()) GTEST_SKIP() << "lame is not available"; \
  HSTREAM var = OpenTone(seconds);                                           \
  ASSERT_NE(var, 0u) << BASS_ErrorGetCode()

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

TEST(Conversions, SecondsBecomeWholeSamplesOfTheStreamAndBack) {
  Library library(audio_host::Output::Offline);
  OPEN_TONE_OR_SKIP(music, 1.0);
  // The seek keys' targets, floor(seconds × 44100) samples of 2 bytes.
  EXPECT_EQ(BASS_ChannelSeconds2Bytes(music, 6.8f), 599760u);
  EXPECT_EQ(BASS_ChannelSeconds2Bytes(music, 10.8f), 952560u);
  EXPECT_EQ(BASS_ChannelSeconds2Bytes(music, 155.87f), 13747732u);
  EXPECT_EQ(BASS_ChannelSeconds2Bytes(music, 74.0f), 6526800u);
  EXPECT_EQ(BASS_ChannelSeconds2Bytes(music, 0.0f), 0u);
  EXPECT_EQ(BASS_ChannelSeconds2Bytes(music, 0.99f / kRate), 0u);
  EXPECT_EQ(BASS_ChannelSeconds2Bytes(music, 1.01f / kRate), 2u);
  // Scene bounds survive the trip: 10.8 s of samples reads 10.8 s exactly.
  EXPECT_EQ(BASS_ChannelBytes2Seconds(music, 952560), 10.8f);
  EXPECT_EQ(BASS_ChannelBytes2Seconds(music, 599760), 6.8f);
  EXPECT_EQ(BASS_ChannelBytes2Seconds(music, 6526800), 74.0f);
  EXPECT_EQ(BASS_ChannelBytes2Seconds(music, 0), 0.0f);
  EXPECT_NEAR(BASS_ChannelBytes2Seconds(music, 13747732), 155.87f, 1.0f / kRate);
  EXPECT_EQ(BASS_ChannelBytes2Seconds(music, 1), 0.5f / kRate);  // bytes, not samples
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
  for (float seconds : {0.001f, 6.8f, 10.8f, 17.6f, 21.6f, 29.0f, 59.5f, 62.0f, 63.5f, 129.02f, 155.87f}) {
    QWORD bytes = BASS_ChannelSeconds2Bytes(music, seconds);
    EXPECT_EQ(bytes % 2, 0u);
    float back = BASS_ChannelBytes2Seconds(music, bytes);
    EXPECT_LE(back, seconds) << seconds;
    EXPECT_GT(static_cast<double>(back), seconds - 1.0 / kRate - seconds * 1.2e-7) << seconds;  // float's own step
  }
  for (QWORD samples : {QWORD{1}, QWORD{3}, QWORD{44099}, QWORD{476281}, QWORD{6873866}, QWORD{7999999}}) {
    QWORD again = BASS_ChannelSeconds2Bytes(music, BASS_ChannelBytes2Seconds(music, samples * 2));
    EXPECT_GE(again + 2, samples * 2) << samples;  // at most one sample lost to float rounding
    EXPECT_LE(again, samples * 2) << samples;
  }
}

TEST(Conversions, RejectNegativeOrNonNumberTimesAndUnknownHandles) {
  Library library(audio_host::Output::Offline);
  OPEN_TONE_OR_SKIP(music, 1.0);
  EXPECT_EQ(BASS_ChannelSeconds2Bytes(music, -0.5f), kBad);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
  EXPECT_EQ(BASS_ChannelSeconds2Bytes(music, std::nanf("")), kBad);
  EXPECT_EQ(BASS_ChannelSeconds2Bytes(music, INFINITY), kBad);
  EXPECT_EQ(BASS_ChannelSeconds2Bytes(0, 1.0f), kBad);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
  EXPECT_EQ(BASS_ChannelBytes2Seconds(music + 1, 100), -1.0f);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
  EXPECT_EQ(BASS_ChannelGetPosition(0), kBad);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
  EXPECT_FALSE(BASS_ChannelSetPosition(12345, 0));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

TEST(OfflinePosition, AdvancesByExactlyTheFramesMixedAndMovesAtOnceOnASeek) {
  Library library(audio_host::Output::Offline);
  OPEN_TONE_OR_SKIP(music, 3.0);
  EXPECT_EQ(BASS_ChannelGetPosition(music), 0u);
  ASSERT_TRUE(BASS_StreamPlay(music, FALSE, 0));
  uint64_t produced = 0;
  sgaudiotest::MixFrames(produced, 1000);  // not started: time passes, the music waits
  EXPECT_EQ(BASS_ChannelGetPosition(music), 0u);
  ASSERT_TRUE(BASS_Start());
  sgaudiotest::MixFrames(produced, 4410);
  EXPECT_EQ(BASS_ChannelGetPosition(music), 4410u * 2);

  ASSERT_TRUE(BASS_ChannelSetPosition(music, BASS_ChannelSeconds2Bytes(music, 2.5f)));
  EXPECT_EQ(BASS_ChannelGetPosition(music), 2u * 110250);
  sgaudiotest::MixFrames(produced, 441);
  EXPECT_EQ(BASS_ChannelGetPosition(music), 2u * (110250 + 441));
  ASSERT_TRUE(BASS_ChannelSetPosition(music, 10001));  // an odd byte rounds down to its sample
  EXPECT_EQ(BASS_ChannelGetPosition(music), 10000u);
  ASSERT_TRUE(BASS_ChannelSetPosition(music, 0));  // back, too
  EXPECT_EQ(BASS_ChannelGetPosition(music), 0u);
}

TEST(OfflinePosition, ASeekPastTheEndFailsAndLeavesThePosition) {
  Library library(audio_host::Output::Offline);
  OPEN_TONE_OR_SKIP(music, 1.0);
  ASSERT_TRUE(BASS_Start());
  ASSERT_TRUE(BASS_StreamPlay(music, FALSE, 0));
  uint64_t produced = 0;
  sgaudiotest::MixFrames(produced, 1000);
  for (QWORD target : {QWORD{kRate * 2}, QWORD{kRate * 2 + 1}, BASS_ChannelSeconds2Bytes(music, 90.0f), kBad}) {
    EXPECT_FALSE(BASS_ChannelSetPosition(music, target)) << target;
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_POSITION);
    EXPECT_EQ(BASS_ChannelGetPosition(music), 2000u);
  }
  EXPECT_TRUE(BASS_ChannelSetPosition(music, kRate * 2 - 2));
}

TEST(OfflinePosition, PlaybackStopsAtTheEndAndStopFreezesIt) {
  Library library(audio_host::Output::Offline);
  OPEN_TONE_OR_SKIP(music, 1.0);
  ASSERT_TRUE(BASS_Start());
  ASSERT_TRUE(BASS_StreamPlay(music, FALSE, 0));
  uint64_t produced = 0;
  sgaudiotest::MixFrames(produced, 20000);
  ASSERT_TRUE(BASS_Stop());
  std::vector<int16_t> quiet = sgaudiotest::MixFrames(produced, 5000);
  EXPECT_EQ(BASS_ChannelGetPosition(music), 40000u);
  for (int16_t v : quiet) ASSERT_EQ(v, 0);
  ASSERT_TRUE(BASS_Start());
  sgaudiotest::MixFrames(produced, 30000);
  EXPECT_EQ(BASS_ChannelGetPosition(music), static_cast<QWORD>(kRate * 2));
  std::vector<int16_t> after = sgaudiotest::MixFrames(produced, 10000);
  EXPECT_EQ(BASS_ChannelGetPosition(music), static_cast<QWORD>(kRate * 2));
  for (int16_t v : after) ASSERT_EQ(v, 0);
  // Played once; a new play from the start goes again.
  ASSERT_TRUE(BASS_StreamPlay(music, TRUE, 0));
  EXPECT_EQ(BASS_ChannelGetPosition(music), 0u);
  sgaudiotest::MixFrames(produced, 100);
  EXPECT_EQ(BASS_ChannelGetPosition(music), 200u);
}

TEST(SilentPosition, FollowsRealTimeAndHoldsWhenStopped) {
  Library library(audio_host::Output::Silent);
  OPEN_TONE_OR_SKIP(music, 5.0);
  EXPECT_EQ(audio_host::ActiveOutput(), audio_host::Output::Silent);
  ASSERT_TRUE(BASS_Start());
  ASSERT_TRUE(BASS_StreamPlay(music, FALSE, 0));
  auto start = std::chrono::steady_clock::now();
  SleepMs(500);
  float seconds = BASS_ChannelBytes2Seconds(music, BASS_ChannelGetPosition(music));
  double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GT(seconds, 0.3f);
  EXPECT_LE(seconds, elapsed + 0.01);
  ASSERT_TRUE(BASS_Stop());
  QWORD held = BASS_ChannelGetPosition(music);
  SleepMs(100);
  EXPECT_EQ(BASS_ChannelGetPosition(music), held);
  ASSERT_TRUE(BASS_ChannelSetPosition(music, BASS_ChannelSeconds2Bytes(music, 4.0f)));
  EXPECT_EQ(BASS_ChannelGetPosition(music), 4u * kRate * 2);
}

TEST(DevicePosition, IsMonotonicLagsTheMixAndJumpsAtOnceOnASeek) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  Library library(audio_host::Output::Automatic);
  ASSERT_TRUE(library.ok());
  ASSERT_EQ(audio_host::ActiveOutput(), audio_host::Output::Automatic);
  OPEN_TONE_OR_SKIP(music, 5.0);
  ASSERT_TRUE(BASS_Start());
  ASSERT_TRUE(BASS_StreamPlay(music, FALSE, 0));
  auto start = std::chrono::steady_clock::now();
  QWORD last = 0;
  for (int i = 0; i < 60; ++i) {
    SleepMs(5);
    QWORD now = BASS_ChannelGetPosition(music);
    ASSERT_GE(now, last) << i;
    last = now;
  }
  double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  float seconds = BASS_ChannelBytes2Seconds(music, last);
  EXPECT_GT(seconds, 0.1f);
  EXPECT_LT(seconds, elapsed + 0.01);
  QWORD target = BASS_ChannelSeconds2Bytes(music, 3.0f);
  ASSERT_TRUE(BASS_ChannelSetPosition(music, target));
  EXPECT_EQ(BASS_ChannelGetPosition(music), target);  // older audio still in the device does not count
  SleepMs(200);
  EXPECT_GT(BASS_ChannelGetPosition(music), target);
  ASSERT_TRUE(BASS_ChannelSetPosition(music, 0));
  EXPECT_EQ(BASS_ChannelGetPosition(music), 0u);
}

TEST(Output, FallsBackToSilenceWhenNoDeviceOpensAndDeviceZeroIsSilent) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  {
    audio_host::Reset();
    ASSERT_TRUE(BASS_Init(-1, kRate, 0, NULL));
    EXPECT_EQ(audio_host::ActiveOutput(), audio_host::Output::Silent);
    EXPECT_EQ(audio_host::OutputRate(), kRate);
    EXPECT_EQ(audio_host::OutputChannels(), 2);
    ASSERT_TRUE(BASS_Free());
  }
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  ASSERT_TRUE(BASS_Init(0, 22050, 0, NULL));
  EXPECT_EQ(audio_host::ActiveOutput(), audio_host::Output::Silent);
  EXPECT_EQ(audio_host::OutputRate(), 22050);
  ASSERT_TRUE(BASS_Free());
  EXPECT_EQ(audio_host::OutputRate(), 0);
  EXPECT_EQ(audio_host::OutputChannels(), 0);
}

TEST(Lifecycle, InitOnceFreeOnceAndAgain) {
  audio_host::Reset();
  EXPECT_FALSE(BASS_Free());
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
  EXPECT_FALSE(BASS_Start());
  EXPECT_FALSE(BASS_Stop());
  EXPECT_FALSE(BASS_Init(-2, kRate, 0, NULL));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DEVICE);
  EXPECT_FALSE(BASS_Init(-1, 0, 0, NULL));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FREQ);
  audio_host::SelectOutput(audio_host::Output::Offline);
  ASSERT_TRUE(BASS_Init(-1, kRate, 0, NULL));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
  EXPECT_FALSE(BASS_Init(-1, kRate, 0, NULL));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
  EXPECT_EQ(audio_host::ActiveOutput(), audio_host::Output::Offline);
  ASSERT_TRUE(BASS_Free());
  ASSERT_TRUE(BASS_Init(-1, kRate, 0, NULL));
  ASSERT_TRUE(BASS_Free());
}

TEST(Lifecycle, HandlesDieWithFreeAndTheHookSeesThemAlive) {
  Library library(audio_host::Output::Offline);
  OPEN_TONE_OR_SKIP(music, 1.0);
  ASSERT_TRUE(BASS_Start());
  ASSERT_TRUE(BASS_StreamPlay(music, FALSE, 0));
  uint64_t produced = 0;
  sgaudiotest::MixFrames(produced, 500);
  static QWORD s_positionInHook = 0;
  static int s_hookCalls = 0;
  static HSTREAM s_music = music;
  audio_host::SetFreeHook([] {
    ++s_hookCalls;
    s_positionInHook = BASS_ChannelGetPosition(s_music);
  });
  ASSERT_TRUE(BASS_Free());
  EXPECT_EQ(s_hookCalls, 1);
  EXPECT_EQ(s_positionInHook, 1000u);
  EXPECT_FALSE(BASS_Free());
  EXPECT_EQ(s_hookCalls, 1);

  float bands[512] = {};
  EXPECT_EQ(BASS_ChannelGetPosition(music), kBad);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
  EXPECT_EQ(BASS_ChannelBytes2Seconds(music, 2), -1.0f);
  EXPECT_EQ(BASS_ChannelSeconds2Bytes(music, 1.0f), kBad);
  EXPECT_FALSE(BASS_ChannelSetPosition(music, 0));
  EXPECT_FALSE(BASS_StreamPlay(music, FALSE, 0));
  EXPECT_EQ(BASS_ChannelGetData(music, bands, BASS_DATA_FFT1024), static_cast<DWORD>(-1));
  EXPECT_EQ(BASS_ChannelSetSync(music, BASS_SYNC_POS, 0, [](HSYNC, DWORD, DWORD, DWORD) {}, 0), 0u);
  EXPECT_EQ(BASS_SamplePlay(music), 0u);
  EXPECT_FALSE(BASS_SampleStop(music));

  // A new library does not know the old handles.
  audio_host::SelectOutput(audio_host::Output::Offline);
  ASSERT_TRUE(BASS_Init(-1, kRate, 0, NULL));
  EXPECT_EQ(BASS_ChannelGetPosition(music), kBad);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

TEST(Spectrum, ReadsTheMusicAroundThePositionAndRefusesOtherRequests) {
  Library library(audio_host::Output::Offline);
  if (!sgaudiotest::LameAvailable()) GTEST_SKIP() << "lame is not available";
  // Silence, then a full-ish sine centred on band 20 from one second on.
  std::vector<int16_t> signal(kRate, 0);
  std::vector<int16_t> tone = sgtest::Sine(20.0 * kRate / 1024, 0.7, kRate, kRate);
  signal.insert(signal.end(), tone.begin(), tone.end());
  std::string mp3 = sgaudiotest::MakeMp3(signal, kRate, 1);
  ASSERT_FALSE(mp3.empty());
  HSTREAM music = BASS_StreamCreateFile(FALSE, mp3.c_str(), 0, 0, BASS_SAMPLE_MONO);
  ASSERT_NE(music, 0u);
  float bands[512];
  ASSERT_EQ(BASS_ChannelGetData(music, bands, BASS_DATA_FFT1024), 2048u);
  EXPECT_LT(bands[20], 0.01f);  // the stream's start: silence and nothing before it
  ASSERT_TRUE(BASS_ChannelSetPosition(music, BASS_ChannelSeconds2Bytes(music, 1.5f)));
  ASSERT_EQ(BASS_ChannelGetData(music, bands, BASS_DATA_FFT1024), 2048u);
  EXPECT_NEAR(bands[20], 0.7f, 0.03f);
  EXPECT_LT(bands[40], 0.01f);
  // Half the window still in the silence: the tone reads about half.
  ASSERT_TRUE(BASS_ChannelSetPosition(music, BASS_ChannelSeconds2Bytes(music, 1.0f)));
  ASSERT_EQ(BASS_ChannelGetData(music, bands, BASS_DATA_FFT1024), 2048u);
  EXPECT_NEAR(bands[20], 0.35f, 0.05f);
  // Past the end is silence.
  ASSERT_TRUE(BASS_ChannelSetPosition(music, BASS_ChannelSeconds2Bytes(music, 1.9999f)));
  ASSERT_EQ(BASS_ChannelGetData(music, bands, BASS_DATA_FFT1024), 2048u);
  EXPECT_NEAR(bands[20], 0.35f, 0.05f);

  float untouched[512];
  std::fill(std::begin(untouched), std::end(untouched), 7.0f);
  EXPECT_EQ(BASS_ChannelGetData(music, untouched, 0x80000002), static_cast<DWORD>(-1));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
  EXPECT_EQ(BASS_ChannelGetData(music, nullptr, BASS_DATA_FFT1024), static_cast<DWORD>(-1));
  EXPECT_EQ(BASS_ChannelGetData(0, untouched, BASS_DATA_FFT1024), static_cast<DWORD>(-1));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
  EXPECT_EQ(BASS_ChannelGetData(music ^ 0x40000000, untouched, BASS_DATA_FFT1024), static_cast<DWORD>(-1));
  for (float v : untouched) ASSERT_EQ(v, 7.0f);
}

}  // namespace
