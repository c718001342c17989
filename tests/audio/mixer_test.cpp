// The mixer on its own, with the time passed in: the latency model behind the
// reported position, seeks with audio still in the device, stop and restart,
// rate conversion, channel layout, clipping, and syncs run outside its lock.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "audio/mixer.h"

namespace {

using sgaudio::Mixer;
using sgaudio::PcmBuffer;
using std::chrono::milliseconds;

constexpr int kRate = 44100;
const Mixer::TimePoint kT0 = Mixer::TimePoint{} + std::chrono::seconds(100);

PcmBuffer Ramp(int rate, int channels, int frames) {
  PcmBuffer pcm;
  pcm.rate = rate;
  pcm.channels = channels;
  for (int i = 0; i < frames * channels; ++i) pcm.samples.push_back(static_cast<int16_t>(i % 30000 + 1));
  return pcm;
}

QWORD FramesAt(Mixer& mixer, DWORD stream, Mixer::TimePoint now) {
  QWORD bytes = 0;
  EXPECT_EQ(mixer.Position(stream, now, bytes), BASS_OK);
  return bytes / 2;
}

std::vector<int16_t> Render(Mixer& mixer, size_t frames, Mixer::TimePoint now) {
  std::vector<int16_t> out(frames * Mixer::kOutputChannels, -1);
  mixer.Render(out.data(), frames, now);
  return out;
}

// A ramp of `frames` playing into a device with a buffer.
DWORD PlayBuffered(Mixer& mixer, int frames) {
  mixer.SetDeviceBuffered(true);
  DWORD music = mixer.AddStream(Ramp(kRate, 1, frames));
  EXPECT_EQ(mixer.Play(music, false), BASS_OK);
  return music;
}

TEST(MixerLatency, ThePositionIsTheMixLessWhatTheDeviceStillHolds) {
  Mixer mixer(kRate);
  DWORD music = PlayBuffered(mixer, kRate);
  EXPECT_EQ(FramesAt(mixer, music, kT0), 0u);
  Render(mixer, 1024, kT0);
  EXPECT_EQ(FramesAt(mixer, music, kT0), 0u);  // all of it still in the device
  EXPECT_NEAR(static_cast<double>(FramesAt(mixer, music, kT0 + milliseconds(10))), 441.0, 1.0);
  EXPECT_EQ(FramesAt(mixer, music, kT0 + milliseconds(500)), 1024u);  // never ahead of the mix
  EXPECT_EQ(FramesAt(mixer, music, kT0 + milliseconds(5)), 1024u);    // nor backwards
  Render(mixer, 1024, kT0 + milliseconds(600));
  EXPECT_EQ(FramesAt(mixer, music, kT0 + milliseconds(600)), 1024u);
  EXPECT_NEAR(static_cast<double>(FramesAt(mixer, music, kT0 + milliseconds(610))), 1024.0 + 441.0, 1.0);
}

TEST(MixerLatency, RendersInQuickSuccessionFillTheDeviceTogether) {
  Mixer mixer(kRate);
  DWORD music = PlayBuffered(mixer, kRate);
  // A device that takes 2048 frames at a time, in two callbacks.
  for (int period = 0; period < 3; ++period) {
    Mixer::TimePoint at = kT0 + std::chrono::microseconds(46440 * period);
    Render(mixer, 1024, at);
    Render(mixer, 1024, at + std::chrono::microseconds(100));
    EXPECT_NEAR(static_cast<double>(FramesAt(mixer, music, at + milliseconds(10))), 2048.0 * period + 437.0, 2.0);
  }
  // Renders a full period apart are separate deliveries.
  Render(mixer, 1024, kT0 + milliseconds(500));
  Render(mixer, 1024, kT0 + milliseconds(523));
  EXPECT_NEAR(static_cast<double>(FramesAt(mixer, music, kT0 + milliseconds(523))), 6144.0 + 1024.0, 1.0);
}

TEST(MixerLatency, ASeekReadsAtOnceAndAStreamStartedMidBufferStartsAtZero) {
  Mixer mixer(kRate);
  mixer.SetDeviceBuffered(true);
  DWORD music = mixer.AddStream(Ramp(kRate, 1, kRate));
  Render(mixer, 1024, kT0);  // the device runs before the music plays
  ASSERT_EQ(mixer.Play(music, false), BASS_OK);
  EXPECT_EQ(FramesAt(mixer, music, kT0 + milliseconds(1)), 0u);
  Render(mixer, 1024, kT0 + milliseconds(23));
  EXPECT_EQ(FramesAt(mixer, music, kT0 + milliseconds(23)), 0u);

  ASSERT_EQ(mixer.SetPosition(music, 20000 * 2), BASS_OK);
  EXPECT_EQ(FramesAt(mixer, music, kT0 + milliseconds(24)), 20000u);
  std::vector<int16_t> out = Render(mixer, 1024, kT0 + milliseconds(46));
  EXPECT_EQ(out[0], 20001);  // the ramp's value at frame 20000
  EXPECT_EQ(FramesAt(mixer, music, kT0 + milliseconds(46)), 20000u);
  EXPECT_NEAR(static_cast<double>(FramesAt(mixer, music, kT0 + milliseconds(56))), 20441.0, 1.0);
  EXPECT_EQ(mixer.SetPosition(music, kRate * 2), BASS_ERROR_POSITION);
  EXPECT_NEAR(static_cast<double>(FramesAt(mixer, music, kT0 + milliseconds(56))), 20441.0, 1.0);
}

TEST(MixerLatency, FreezeTakesBackWhatWasNotHeardAndARestartContinuesFromThere) {
  Mixer mixer(kRate);
  DWORD music = PlayBuffered(mixer, kRate);
  Render(mixer, 1024, kT0);
  mixer.Freeze(kT0 + milliseconds(10));
  QWORD frozen = FramesAt(mixer, music, kT0 + milliseconds(10));
  EXPECT_NEAR(static_cast<double>(frozen), 441.0, 1.0);
  EXPECT_EQ(FramesAt(mixer, music, kT0 + std::chrono::seconds(5)), frozen);
  std::vector<int16_t> out = Render(mixer, 16, kT0 + std::chrono::seconds(5));
  EXPECT_EQ(out[0], static_cast<int16_t>(frozen + 1));
}

// Frames 20 ms apart, then a slow one and a long pause: the position runs
// ahead by the typical frame, is never ahead of the mix, never goes back.
TEST(MixerLatency, WithAFrameLeadThePositionIsWhatWillBeHeardWhenTheFrameIsShown) {
  Mixer mixer(kRate);
  mixer.SetFrameLead(true);
  DWORD music = PlayBuffered(mixer, kRate * 4);
  Render(mixer, 16384, kT0);
  for (int frame = 0; frame < 5; ++frame) FramesAt(mixer, music, kT0 + milliseconds(20 * frame));
  // 100 ms heard, and 20 ms more by the time this frame is shown; a slow
  // frame does not move the typical one.
  EXPECT_NEAR(static_cast<double>(FramesAt(mixer, music, kT0 + milliseconds(100))), 5292.0, 1.0);
  EXPECT_NEAR(static_cast<double>(FramesAt(mixer, music, kT0 + milliseconds(190))), 9261.0, 1.0);
  EXPECT_EQ(FramesAt(mixer, music, kT0 + milliseconds(400)), 16384u);
  // A pause is no frame; then a lead that shrinks holds the position back.
  const Mixer::TimePoint later = kT0 + std::chrono::seconds(2);
  Render(mixer, 16384, later);
  QWORD held = FramesAt(mixer, music, later);
  EXPECT_NEAR(static_cast<double>(held), 16384.0 + 882.0, 1.0);
  for (int frame = 1; frame <= 9; ++frame) {
    QWORD now = FramesAt(mixer, music, later + milliseconds(5 * frame));
    EXPECT_GE(now, held);
    held = now;
  }
  EXPECT_NEAR(static_cast<double>(held), 16384.0 + 0.050 * kRate, 1.0);
}

// A sound server holding 40 ms beyond what the device buffer says.
TEST(MixerLatency, WhatTheSoundServerHoldsBeyondTheDeviceIsCounted) {
  Mixer mixer(kRate);
  DWORD music = PlayBuffered(mixer, kRate);
  Render(mixer, 4096, kT0);
  mixer.NotePathHeld(4096 - 441 + 1764, kT0 + milliseconds(10));
  // 60 ms played, 40 of them still held.
  EXPECT_NEAR(static_cast<double>(FramesAt(mixer, music, kT0 + milliseconds(60))), 2646.0 - 1764, 1.0);
  // A later report is smoothed: a quarter of the change at once.
  mixer.NotePathHeld(4096 - 2646, kT0 + milliseconds(60));
  EXPECT_NEAR(static_cast<double>(FramesAt(mixer, music, kT0 + milliseconds(70))), 3087.0 - 1323, 1.0);
}

// An output queued far ahead drops its unplayed tail to make a change heard
// at once: the music, a sample and an ended stream are mixed again from
// where the drop left them, a seek target is never stepped back over.
TEST(MixerLatency, FramesTakenBackAreMixedAgainFromWhereTheyLeftOff) {
  Mixer mixer(kRate);
  uint64_t played = 0;
  mixer.SetDeviceClock([&] { return played; });
  DWORD music = mixer.AddStream(Ramp(kRate, 1, 12000));
  ASSERT_EQ(mixer.Play(music, false), BASS_OK);
  Render(mixer, 8192, kT0);
  played = 1024;
  mixer.TakeBack(8192 - 1280);
  EXPECT_EQ(FramesAt(mixer, music, kT0), 1024u);
  EXPECT_EQ(Render(mixer, 16, kT0)[0], 1281);  // the ramp's value at frame 1280

  ASSERT_EQ(mixer.SetPosition(music, 11000 * 2), BASS_OK);
  mixer.TakeBack(16);
  EXPECT_EQ(Render(mixer, 4096, kT0)[0], 11001);
  mixer.TakeBack(4096 - 16);  // the music had ended inside what was dropped
  Mixer::StreamState state;
  ASSERT_TRUE(mixer.FirstStreamState(state));
  EXPECT_FALSE(state.ended);
  EXPECT_EQ(Render(mixer, 1, kT0)[0], 11001);

  Mixer samples(kRate);
  DWORD sample = samples.AddSample(Ramp(kRate, 2, 6000), 1);
  HCHANNEL channel = 0;
  ASSERT_EQ(samples.PlaySample(sample, channel), BASS_OK);
  Render(samples, 4096, kT0);
  samples.TakeBack(1096);
  EXPECT_EQ(Render(samples, 1, kT0)[0], 3000 * 2 + 1);
}

TEST(Mixer, PlaysMonoOnBothSidesStereoAsIsAndStopsAtTheEnd) {
  Mixer mixer(kRate);
  DWORD mono = mixer.AddStream(Ramp(kRate, 1, 100));
  ASSERT_EQ(mixer.Play(mono, false), BASS_OK);
  std::vector<int16_t> out = Render(mixer, 150, kT0);
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(out[1], 1);
  EXPECT_EQ(out[2 * 99 + 1], 100);
  for (size_t i = 200; i < out.size(); ++i) ASSERT_EQ(out[i], 0);
  EXPECT_EQ(FramesAt(mixer, mono, kT0), 100u);

  Mixer stereoMixer(kRate);
  DWORD stereo = stereoMixer.AddStream(Ramp(kRate, 2, 100));
  ASSERT_EQ(stereoMixer.Play(stereo, false), BASS_OK);
  out = Render(stereoMixer, 10, kT0);
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(out[1], 2);
  EXPECT_EQ(out[18], 19);
  QWORD bytes = 0;
  ASSERT_EQ(stereoMixer.Position(stereo, kT0, bytes), BASS_OK);
  EXPECT_EQ(bytes, 40u);  // 10 frames of 2 channels
}

TEST(Mixer, ConvertsAStreamsRateByInterpolating) {
  Mixer mixer(kRate);
  DWORD music = mixer.AddStream(Ramp(22050, 1, 100));
  ASSERT_EQ(mixer.Play(music, false), BASS_OK);
  std::vector<int16_t> out = Render(mixer, 20, kT0);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(out[static_cast<size_t>(4 * i)], i + 1);
    EXPECT_EQ(out[static_cast<size_t>(4 * i + 2)], i + 1);  // halfway between i+1 and i+2, rounded down
  }
  EXPECT_EQ(FramesAt(mixer, music, kT0), 10u);
}

TEST(Mixer, ClipsTheSumInsteadOfWrappingAround) {
  Mixer mixer(kRate);
  PcmBuffer loud;
  loud.rate = kRate;
  loud.channels = 1;
  loud.samples.assign(10, 30000);
  PcmBuffer quiet = loud;
  for (int16_t& v : quiet.samples) v = -30000;
  DWORD music = mixer.AddStream(loud);
  DWORD sample = mixer.AddSample(loud, 1);
  DWORD negative = mixer.AddSample(quiet, 2);
  HCHANNEL channel = 0;
  ASSERT_EQ(mixer.Play(music, false), BASS_OK);
  ASSERT_EQ(mixer.PlaySample(sample, channel), BASS_OK);
  EXPECT_EQ(Render(mixer, 1, kT0)[0], 32767);
  ASSERT_EQ(mixer.StopSample(sample), BASS_OK);
  ASSERT_EQ(mixer.PlaySample(negative, channel), BASS_OK);
  ASSERT_EQ(mixer.PlaySample(negative, channel), BASS_OK);
  EXPECT_EQ(Render(mixer, 1, kT0)[0], -30000);
  ASSERT_EQ(mixer.StopSample(music), BASS_ERROR_HANDLE);
  ASSERT_EQ(mixer.Play(sample, false), BASS_ERROR_HANDLE);
}

Mixer* g_mixer = nullptr;
DWORD g_music = 0;
QWORD g_positionInProc = 0;

void CALLBACK ReadPositionFromTheProc(HSYNC, DWORD, DWORD, DWORD) {
  // Would deadlock if the mixer held its lock while calling procs.
  g_mixer->Position(g_music, kT0, g_positionInProc);
}

TEST(Mixer, RunsSyncProcsAfterMixingWithoutHoldingItsLock) {
  Mixer mixer(kRate);
  g_mixer = &mixer;
  g_music = mixer.AddStream(Ramp(kRate, 1, 10000));
  HSYNC sync = 0;
  ASSERT_EQ(mixer.AddSync(g_music, 1000 * 2, ReadPositionFromTheProc, 0, sync), BASS_OK);
  ASSERT_EQ(mixer.Play(g_music, false), BASS_OK);
  Render(mixer, 4096, kT0);
  EXPECT_EQ(g_positionInProc, 4096u * 2);  // the whole render is mixed before procs run
}

}  // namespace
