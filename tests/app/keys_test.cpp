// Playback keys, closing the window and the setup dialog's outcomes, on the
// real program.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "app/shell.h"
#include "audio/audio_host.h"
#include "program_run.h"
#include "sequence/music.h"

namespace {

using sgtest::ProgramOptions;
using sgtest::ProgramResult;
using sgtest::RunProgram;

ProgramOptions KeysAt(const std::string& schedule) {
  ProgramOptions options;
  std::string error;
  EXPECT_TRUE(sglockstep::ParseKeySchedule(schedule, options.lockstep.keys, error)) << error;
  return options;
}

TEST(Keys, EachFunctionKeyMovesTheMusicAndThePictureFromTheNextFrame) {
  for (const SeekKey& seek : kSeekKeys) {
    SCOPED_TRACE(seek.key);
    ProgramOptions options;
    options.lockstep.keys = {{3.0, static_cast<int>(seek.key)}, {5.0, VK_ESCAPE}};
    ProgramResult run = RunProgram(options);
    EXPECT_EQ(run.exitCode, 0) << run.child.err;
    ASSERT_GE(run.frames.size(), 31u);
    EXPECT_FLOAT_EQ(run.frames[29].musicSeconds, 2.9f);
    // The seek lands on a whole sample of the stream.
    EXPECT_NEAR(run.frames[30].musicSeconds, seek.seconds, 1.0f / 44100.0f);
    if (seek.seconds >= 74.0f) {
      // Beyond the end of the show: that frame is drawn, then the show ends.
      EXPECT_EQ(run.swaps, 31);
    } else {
      EXPECT_EQ(run.swaps, 50);
      EXPECT_NEAR(run.frames[40].musicSeconds, seek.seconds + 1.0f, 1e-3f);
    }
  }
}

TEST(Keys, F2FromScene4BringsScene2BackAndTheClockKeepsRunning) {
  ProgramOptions options = KeysAt("0:F3,2:F2,3:Esc");
  options.onFrame = [](const host::FrameInfo& frame) {
    if (frame.index == 19 || frame.index == 21) std::printf("clock%d=%.3f\n", frame.index,
                                                             static_cast<double>(g_frameTime));
  };
  ProgramResult run = RunProgram(options);
  ASSERT_GE(run.frames.size(), 22u);
  EXPECT_GE(run.frames[19].musicSeconds, 29.0f);
  EXPECT_NEAR(run.frames[20].musicSeconds, 17.6f, 1e-4f);
  EXPECT_EQ(run.Value("clock19"), "1.900");
  EXPECT_EQ(run.Value("clock21"), "2.100");
}

// The offline mix of the first seconds, as a checksum per half second.
std::string MixSignature(const ProgramResult& run) { return run.Value("mix"); }

ProgramOptions WithMixReport(ProgramOptions options) {
  options.onFrame = [](const host::FrameInfo& frame) {
    static std::vector<int16_t> mixed;
    std::vector<int16_t> chunk;
    audio_host::OfflineTakeMix(chunk);
    mixed.insert(mixed.end(), chunk.begin(), chunk.end());
    if (frame.index == 30) {
      std::string signature;
      size_t half = static_cast<size_t>(audio_host::OutputRate()) * audio_host::OutputChannels() / 2;
      for (size_t start = 0; start + half <= mixed.size(); start += half) {
        long long sum = 0;
        for (size_t i = start; i < start + half; ++i) sum += std::llabs(mixed[i]);
        signature += std::to_string(sum) + ",";
      }
      std::printf("mix=%s\n", signature.c_str());
      host::QueueKey(VK_ESCAPE);
    }
  };
  return options;
}

TEST(Keys, SpaceRestartsTheSampleOverTheMusicWithoutMovingIt) {
  ProgramResult plain = RunProgram(WithMixReport(ProgramOptions{}));
  ProgramResult once = RunProgram(WithMixReport(KeysAt("1:Space")));
  ProgramResult twice = RunProgram(WithMixReport(KeysAt("1:Space,1.5:Space")));
  ASSERT_FALSE(MixSignature(plain).empty()) << plain.child.err;
  ASSERT_EQ(plain.frames.size(), once.frames.size());
  for (size_t i = 0; i < plain.frames.size(); ++i) {
    EXPECT_EQ(plain.frames[i].musicSeconds, once.frames[i].musicSeconds) << i;
  }
  auto halves = [](const std::string& signature) {
    std::vector<std::string> parts;
    size_t start = 0, comma;
    while ((comma = signature.find(',', start)) != std::string::npos) {
      parts.push_back(signature.substr(start, comma - start));
      start = comma + 1;
    }
    return parts;
  };
  std::vector<std::string> a = halves(MixSignature(plain)), b = halves(MixSignature(once)),
                           c = halves(MixSignature(twice));
  ASSERT_GE(a.size(), 4u);
  ASSERT_EQ(a.size(), b.size());
  ASSERT_EQ(a.size(), c.size());
  EXPECT_EQ(a[0], b[0]);  // before the key: the music alone
  EXPECT_EQ(a[1], b[1]);
  EXPECT_NE(a[2], b[2]);  // from 1 s: the sample over it
  EXPECT_EQ(b[2], c[2]);  // the second press restarts it at 1.5 s
  EXPECT_NE(b[3], c[3]);
}

TEST(Keys, OtherKeysChangeNothing) {
  ProgramResult plain = RunProgram(WithMixReport(ProgramOptions{}));
  ProgramResult keys = RunProgram(WithMixReport(KeysAt("0.5:A,1:Enter,1.2:F9,1.4:Tab,1.6:Left,1.8:5")));
  EXPECT_EQ(keys.exitCode, 0) << keys.child.err;
  EXPECT_EQ(MixSignature(plain), MixSignature(keys));
  ASSERT_EQ(plain.frames.size(), keys.frames.size());
  for (size_t i = 0; i < plain.frames.size(); ++i) {
    EXPECT_EQ(plain.frames[i].musicSeconds, keys.frames[i].musicSeconds) << i;
  }
}

TEST(Keys, EscEndsTheShowWithoutAnotherFrame) {
  ProgramResult run = RunProgram(KeysAt("2:Esc"));
  EXPECT_EQ(run.exitCode, 0) << run.child.err;
  EXPECT_EQ(run.swaps, 20);
}

TEST(Keys, ClosingTheWindowEndsTheShowWithoutAnotherFrame) {
  ProgramOptions options;
  options.onFrame = [](const host::FrameInfo& frame) {
    if (frame.index == 12) host::QueueClose();
  };
  options.finish = [] { std::printf("windowAlive=%d\nrunning=%d\n", IsWindow(g_hWnd), g_running); };
  ProgramResult run = RunProgram(options);
  EXPECT_EQ(run.exitCode, 0) << run.child.err;
  EXPECT_EQ(run.swaps, 13);
  EXPECT_EQ(run.Value("windowAlive"), "0");
  EXPECT_EQ(run.Value("running"), "0");
}

TEST(SetupDialog, ExitEndsTheProcessWithZeroBeforeAnyWindowExists) {
  ProgramOptions options;
  options.prepare = [] {
    host::SetDialogAnswer(host::DialogAnswer::Exit);
    std::atexit([] { std::printf("atexit.contexts=%d\natexit.running=%d\n", host::Contexts().created, g_running); });
  };
  ProgramResult run = RunProgram(options);
  ASSERT_TRUE(run.child.exited) << run.child.err;
  EXPECT_EQ(run.child.exitCode, 0);
  EXPECT_EQ(run.Value("exit"), "");  // WinMain never returned
  EXPECT_EQ(run.Value("atexit.contexts"), "0");
  EXPECT_EQ(run.Value("atexit.running"), "0");
}

TEST(SetupDialog, EitherResolutionOrNoDialogAtAllGivesTheSameSettings) {
  for (host::DialogAnswer answer :
       {host::DialogAnswer::Go, host::DialogAnswer::Clicks, host::DialogAnswer::Fail}) {
    ProgramOptions options;
    // The clicks: "1920 x 1080", then GO!.
    options.prepare = [answer] {
      host::SetDialogAnswer(answer);
      host::SetDialogClicks({kSetupRadio1920x1080, kSetupGoId});
    };
    options.onFrame = [](const host::FrameInfo& frame) {
      if (frame.index == 0) {
        std::printf("settings=%dx%dx%d full=%d\n", g_width, g_height, g_bits, g_fullscreen);
        host::QueueKey(VK_ESCAPE);
      }
    };
    ProgramResult run = RunProgram(options);
    EXPECT_EQ(run.exitCode, 0) << run.child.err;
    EXPECT_EQ(run.Value("settings"), "1920x1080x32 full=1");
  }
}

}  // namespace
