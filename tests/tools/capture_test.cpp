// stormglass-capture run as users run it: frames, sound, keys, determinism
// and its errors.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "audio/audio_host.h"
#include "capture_cli.h"
#include "capture_options.h"
#include "interrupt.h"
#include "png_image.h"
#include "sequence/show.h"
#include "test_audio.h"

namespace {

using sgcapture::Outcome;
using sgtest::CaptureRun;
using sgtest::CommandResult;
using sgtest::FramePath;
using sgtest::ReadFile;
using sgtest::RunCaptureInChild;
using sgtest::RunCommand;

std::string Capture(const std::string& arguments) { return sgtest::CaptureCommand(arguments); }

int CountFrames(const std::string& dir) {
  int count = 0;
  while (access(FramePath(dir, count).c_str(), F_OK) == 0) ++count;
  return count;
}

// What a frame shows, told by the backgrounds and colours each scene leaves.
enum class Look { Nothing, DarkBlue, TitleRed, Magenta, Tunnel };

const char* Name(Look look) {
  switch (look) {
    case Look::Nothing: return "nothing";
    case Look::DarkBlue: return "dark blue (scene 1 or 4)";
    case Look::TitleRed: return "title red (scene 2)";
    case Look::Magenta: return "magenta (scene 3)";
    case Look::Tunnel: return "tunnel (scene 5)";
  }
  return "?";
}

struct Colours {
  double pixels = 0, darkBlue = 0, magenta = 0, black = 0, neutral = 0;
  double red = 0, green = 0, blue = 0;  // means
};

Colours Count(const sgtest::RgbImage& image) {
  Colours c;
  c.pixels = static_cast<double>(image.rgb.size() / 3);
  for (size_t i = 0; i < image.rgb.size(); i += 3) {
    int r = image.rgb[i], g = image.rgb[i + 1], b = image.rgb[i + 2];
    c.darkBlue += r == 0 && g == 0 && b == 10;
    c.magenta += r == 255 && g == 0 && b == 221;
    c.black += r == 0 && g == 0 && b == 0;
    // Grey cloud walls, black fog, or the magenta lettering added over them.
    c.neutral += (std::abs(r - g) < 16 && std::abs(g - b) < 16) || (g * 2 < r && g * 2 < b);
    c.red += r;
    c.green += g;
    c.blue += b;
  }
  c.red /= c.pixels;
  c.green /= c.pixels;
  c.blue /= c.pixels;
  return c;
}

// Scenes 1 and 4 share the dark blue background (and scene 4's pictures can
// cover it all): the windows between them tell them apart.
Look Classify(const sgtest::RgbImage& image) {
  Colours c = Count(image);
  if (c.black == c.pixels) return Look::Nothing;
  if (c.magenta > 0.05 * c.pixels) return Look::Magenta;
  if (c.red > 100 && c.red > 2 * c.green && c.red > 2 * c.blue) return Look::TitleRed;
  if (c.darkBlue == 0 && c.neutral > 0.85 * c.pixels) return Look::Tunnel;
  return Look::DarkBlue;
}

Look ExpectedLook(float musicSeconds) {
  const Look byScene[] = {Look::Nothing, Look::DarkBlue, Look::TitleRed, Look::Magenta, Look::DarkBlue, Look::Tunnel};
  return byScene[SceneAt(musicSeconds)];
}

Look LookOfFrame(const std::string& dir, int index) {
  sgtest::RgbImage image;
  std::string error;
  if (!sgtest::ReadPng(FramePath(dir, index), image, error)) {
    ADD_FAILURE() << error;
    return Look::Nothing;
  }
  return Classify(image);
}

TEST(Capture, TheWholeShowEndsByItselfAt74SecondsWithEveryFrameInItsScene) {
  std::string dir = sgtest::MakeTempDir("sg_capture_show_");
  CommandResult run = RunCommand(Capture("--size 320x180 --fps 10 --frames " + dir));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  // Frames 0 to 740: the one at 74 s is the last.
  ASSERT_EQ(CountFrames(dir), 741);
  for (int frame = 0; frame <= 740; ++frame) {
    float seconds = static_cast<float>(frame) / 10.0f;
    Look look = LookOfFrame(dir, frame);
    if (look != ExpectedLook(seconds)) {
      sgtest::RgbImage image;
      std::string error;
      sgtest::ReadPng(FramePath(dir, frame), image, error);
      Colours c = Count(image);
      ADD_FAILURE() << "frame " << frame << " shows " << Name(look) << ": mean " << c.red << "," << c.green << ","
                    << c.blue << " dark blue " << c.darkBlue / c.pixels << " neutral " << c.neutral / c.pixels;
    }
  }
  // The sound lasts exactly as long as the frames: 741 tenths of a second.
  std::string wav = ReadFile(dir + "/audio.wav");
  ASSERT_GT(wav.size(), 44u);
  EXPECT_EQ(wav.size() - 44, 741u * 4410u * 2u * 2u);
}

TEST(Capture, TwoCapturesWithTheSameOptionsAreIdentical) {
  std::string first = sgtest::MakeTempDir("sg_capture_a_"), second = sgtest::MakeTempDir("sg_capture_b_");
  std::string options = " --size 96x54 --fps 5 --keys 3:Space,4:F3 --to 9 --frames ";
  ASSERT_EQ(RunCommand(Capture(options + first)).exitCode, 0);
  ASSERT_EQ(RunCommand(Capture(options + second)).exitCode, 0);
  ASSERT_EQ(CountFrames(first), 45);
  ASSERT_EQ(CountFrames(second), 45);
  for (int frame = 0; frame < 45; ++frame) {
    EXPECT_EQ(ReadFile(FramePath(first, frame)), ReadFile(FramePath(second, frame))) << "frame " << frame;
  }
  EXPECT_EQ(ReadFile(first + "/audio.wav"), ReadFile(second + "/audio.wav"));
}

TEST(Capture, AKeyAtFiveSecondsMovesToScene2FromTheFrameAtFiveSeconds) {
  std::string dir = sgtest::MakeTempDir("sg_capture_keys_");
  ASSERT_EQ(RunCommand(Capture("--size 160x90 --fps 10 --keys 5:F2 --to 10 --frames " + dir)).exitCode, 0);
  ASSERT_EQ(CountFrames(dir), 100);
  EXPECT_EQ(LookOfFrame(dir, 49), Look::DarkBlue);
  for (int frame = 50; frame < 90; ++frame) EXPECT_EQ(LookOfFrame(dir, frame), Look::TitleRed) << frame;
  // 17.6 s plus four seconds of music reach scene 3's window at 21.6 s.
  EXPECT_EQ(LookOfFrame(dir, 90), Look::Magenta);
}

TEST(Capture, FromSkipsEarlierFramesButKeepsTheShowsStateExact) {
  std::string whole = sgtest::MakeTempDir("sg_capture_whole_"), part = sgtest::MakeTempDir("sg_capture_part_");
  ASSERT_EQ(RunCommand(Capture("--size 64x36 --fps 10 --to 8 --frames " + whole)).exitCode, 0);
  ASSERT_EQ(RunCommand(Capture("--size 64x36 --fps 10 --from 6 --to 8 --frames " + part)).exitCode, 0);
  ASSERT_EQ(CountFrames(part), 20);
  for (int frame = 0; frame < 20; ++frame) {
    EXPECT_EQ(ReadFile(FramePath(part, frame)), ReadFile(FramePath(whole, frame + 60))) << frame;
  }
  std::string wholeSound = ReadFile(whole + "/audio.wav"), partSound = ReadFile(part + "/audio.wav");
  ASSERT_EQ(partSound.size() - 44, 2u * 44100u * 2u * 2u);
  EXPECT_EQ(partSound.substr(44), wholeSound.substr(44 + 6u * 44100u * 4u));
}

// Mono samples of a media file's sound, decoded by ffmpeg at 44.1 kHz.
std::vector<int16_t> DecodeSound(const std::string& path) {
  std::string raw = sgtest::MakeTempDir("sg_capture_raw_") + "/sound.raw";
  std::string command = "ffmpeg -loglevel error -y -i '" + path + "' -f s16le -ac 1 -ar 44100 '" + raw + "'";
  if (std::system(command.c_str()) != 0) return {};
  std::string bytes = ReadFile(raw);
  std::vector<int16_t> samples(bytes.size() / 2);
  std::copy_n(bytes.data(), samples.size() * 2, reinterpret_cast<char*>(samples.data()));
  return samples;
}

double Correlation(const std::vector<int16_t>& a, size_t aStart, const std::vector<int16_t>& b, size_t bStart,
                   size_t count) {
  double ab = 0, aa = 0, bb = 0;
  for (size_t i = 0; i < count; ++i) {
    double x = a[aStart + i], y = b[bStart + i];
    ab += x * y;
    aa += x * x;
    bb += y * y;
  }
  return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0.0;
}

TEST(Capture, TheVideoCarriesTheSoundtrackForItsWholeLength) {
  std::string dir = sgtest::MakeTempDir("sg_capture_video_");
  std::string video = dir + "/show.mp4";
  CommandResult run = RunCommand(Capture("--size 128x72 --fps 25 --to 14 --output " + video));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  CommandResult probe = RunCommand("ffprobe -v error -show_entries stream=codec_type,duration -of csv=p=0 '" + video + "'");
  double videoSeconds = 0, soundSeconds = 0;
  std::istringstream lines(probe.output);
  std::string line;
  while (std::getline(lines, line)) {
    size_t comma = line.find(',');
    if (comma == std::string::npos) continue;
    double seconds = std::atof(line.c_str() + comma + 1);
    (line.rfind("video", 0) == 0 ? videoSeconds : soundSeconds) = seconds;
  }
  EXPECT_NEAR(videoSeconds, 14.0, 1e-6) << probe.output;
  EXPECT_NEAR(soundSeconds, videoSeconds, 0.05) << probe.output;

  std::vector<int16_t> captured = DecodeSound(video), original = DecodeSound("datas/Brassvale.mp3");
  ASSERT_GT(captured.size(), 13u * 44100u);
  ASSERT_GT(original.size(), 13u * 44100u);
  // Over 10 to 12 s, the track at its own time matches best, and well.
  const size_t start = 10 * 44100, count = 2 * 44100;
  double best = -1;
  int bestLag = 0;
  for (int lag = -2048; lag <= 2048; lag += 1) {
    double c = Correlation(captured, start, original, start + lag, count);
    if (c > best) {
      best = c;
      bestLag = lag;
    }
  }
  EXPECT_GT(best, 0.95);
  EXPECT_LE(std::abs(bestLag), 2);
}

// ---- How a capture ends ----

// A folder holding datas/ with the build's model and sample and, as the
// soundtrack, `seconds` of a tone; empty when lame is missing.
std::string FolderWithShortSoundtrack(double seconds) {
  std::string dir = sgtest::MakeTempDir("sg_capture_short_");
  std::string datas = dir + "/datas";
  std::string build = getcwd(nullptr, 0);
  if (mkdir(datas.c_str(), 0755) != 0) return "";
  for (const char* name : {"s.pak", "qor_fist.3ds"}) {
    if (symlink((build + "/datas/" + name).c_str(), (datas + "/" + name).c_str()) != 0) return "";
  }
  const int rate = 44100;
  std::string wav = dir + "/tone.wav";
  if (!sgtest::WriteWav16(wav, sgtest::Sine(440.0, 0.5, rate, static_cast<int>(seconds * rate)), rate, 1) ||
      !sgtest::EncodeMp3(LAME_PROGRAM, wav, datas + "/Brassvale.mp3", 128)) {
    return "";
  }
  return dir;
}

// The progress bar's last line as "DONE/TOTAL frames PERCENT%".
std::string LastProgress(const std::string& output) {
  size_t end = output.rfind("% ");
  size_t start = output.rfind('\n', end);
  return end == std::string::npos ? "" : output.substr(start == std::string::npos ? 0 : start + 1, end + 1 - (start + 1));
}

TEST(CaptureEnds, AShortSoundtrackEndsTheVideoOnTheFrameThatShowsItsEnd) {
  std::string data = FolderWithShortSoundtrack(5.36);
  if (data.empty()) GTEST_SKIP() << "lame is not available";
  std::string dir = sgtest::MakeTempDir("sg_capture_shortend_");
  CommandResult run = RunCommand(std::string("'") + STORMGLASS_CAPTURE + "' --size 64x36 --fps 10 --data-dir " +
                                 data + " --frames " + dir);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("the soundtrack ends at 5.36 s, before the show's end at 74.00 s; the video stops there"),
            std::string::npos) << run.output;
  // The music's last sample is heard by frame 54 (5.4 s), the last frame.
  EXPECT_EQ(CountFrames(dir), 55);
  EXPECT_EQ(ReadFile(dir + "/audio.wav").size() - 44, 55u * 4410u * 2u * 2u);
  EXPECT_EQ(LastProgress(run.output), "55/55 frames 100%");
}

TEST(CaptureEnds, AShowShorterThanTheSheetsStepHasItsFirstAndLastFrameOnTheSheet) {
  std::string data = FolderWithShortSoundtrack(1.5);
  if (data.empty()) GTEST_SKIP() << "lame is not available";
  std::string sheet = sgtest::MakeTempDir("sg_capture_sheet_") + "/sheet.png";
  CaptureRun run = RunCaptureInChild("--size 64x36 --fps 10 --data-dir " + data + " --contact-sheet " + sheet);
  EXPECT_EQ(run.outcome, Outcome::Written) << run.err;
  sgtest::RgbImage image;
  std::string error;
  ASSERT_TRUE(sgtest::ReadPng(sheet, image, error)) << error;
  // Two thumbnails at the frames' own width, in 4-pixel gaps.
  EXPECT_EQ(image.width, 2 * 64 + 3 * 4);
}

TEST(CaptureEnds, TheProgressTotalIsTheNumberOfFramesTheShowDraws) {
  struct Case {
    const char* keys;
    int frames;
  };
  // F4 jumps to 62 s, so 12 s more; F2 then F1 jump back to 17.6 s and 6.8 s; Esc ends at once.
  for (const Case& c : {Case{"2:F4", 141}, Case{"5:F2,20.05:F1", 874}, Case{"3:Space,4:Esc", 40}}) {
    SCOPED_TRACE(c.keys);
    std::string dir = sgtest::MakeTempDir("sg_capture_total_");
    CommandResult run =
        RunCommand(std::string("'") + STORMGLASS_CAPTURE + "' --size 32x18 --fps 10 --keys " + c.keys + " --frames " + dir);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(CountFrames(dir), c.frames);
    std::string all = std::to_string(c.frames);
    EXPECT_EQ(LastProgress(run.output), all + "/" + all + " frames 100%") << run.output;
  }
}

TEST(CaptureEnds, AStalledShowEndsTheCaptureWithAMessageAndAFailure) {
  std::string dir = sgtest::MakeTempDir("sg_capture_stall_");
  // The music never moves.
  CaptureRun run = RunCaptureInChild("--size 32x18 --fps 10 --frames " + dir, [] { audio_host::StallOffline(true); });
  ASSERT_TRUE(run.ran) << run.err;
  EXPECT_EQ(run.outcome, Outcome::Stalled) << run.err;
  EXPECT_EQ(run.exitCode, 1);
  // Ten seconds past the show's end at 74 s, the frame at 84 s is the last.
  EXPECT_EQ(CountFrames(dir), 841);
}

TEST(CaptureEnds, AnInterruptedCaptureKeepsWhatItRenderedAndExits128PlusTheSignal) {
  std::string dir = sgtest::MakeTempDir("sg_capture_interrupt_");
  CaptureRun run = RunCaptureInChild("--size 320x180 --frames " + dir, [dir] {
    sgcapture::CatchInterrupts();
    // From outside the render loop, as a user's kill comes, once frames are written.
    std::thread([dir] {
      for (int i = 0; i < 600 && access(FramePath(dir, 30).c_str(), F_OK) != 0; ++i) usleep(50000);
      kill(getpid(), SIGTERM);
    }).detach();
  });
  ASSERT_TRUE(run.ran) << run.err;
  EXPECT_EQ(run.outcome, Outcome::Interrupted) << run.err;
  EXPECT_EQ(run.exitCode, 128 + SIGTERM);
  int frames = CountFrames(dir);
  EXPECT_GT(frames, 30);
  EXPECT_LT(frames, 4441);
  // What it says it holds is what it wrote.
  EXPECT_NE(run.err.find(dir + " holds " + std::to_string(frames) + " frames"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFile(dir + "/audio.wav").size() - 44, static_cast<size_t>(frames) * 735u * 2u * 2u);
}

TEST(CaptureErrors, BadOptionsAreRefusedWithAReasonBeforeAnythingRuns) {
  const char* bad[] = {"--size 321x180", "--size 1920", "--size 0x0", "--fps 0", "--fps 30/0", "--fps abc",
                       "--keys 5", "--keys 5:Hyper", "--from -3", "--from 10 --to 5", "--output show.avi",
                       "--contact-sheet sheet.jpg", "--bogus", "stray", "--fps"};
  for (const char* arguments : bad) {
    CommandResult run = RunCommand(Capture(arguments));
    EXPECT_EQ(run.exitCode, 2) << arguments;
    EXPECT_NE(run.output.find("stormglass-capture: "), std::string::npos) << arguments << run.output;
    EXPECT_NE(run.output.find("--help"), std::string::npos) << arguments;
  }
  CommandResult help = RunCommand(Capture("--help"));
  EXPECT_EQ(help.exitCode, 0);
  for (const char* option : {"--fps", "--size", "--output", "--frames", "--keys", "--from", "--to",
                             "--contact-sheet", "--quiet"}) {
    EXPECT_NE(help.output.find(option), std::string::npos) << option;
  }
}

TEST(CaptureErrors, NoFfmpegMeansNoVideoButFramesStillWork) {
  std::string empty = sgtest::MakeTempDir("sg_capture_path_");
  std::string dir = sgtest::MakeTempDir("sg_capture_noffmpeg_");
  auto withoutFfmpeg = [empty] {
    unsetenv("STORMGLASS_FFMPEG");
    setenv("PATH", empty.c_str(), 1);
  };
  CaptureRun video = RunCaptureInChild("--size 64x36 --to 1 --output " + dir + "/a.mp4", withoutFfmpeg);
  EXPECT_EQ(video.outcome, Outcome::NoFfmpeg) << video.err;
  EXPECT_EQ(video.exitCode, 1);
  EXPECT_NE(access((dir + "/a.mp4").c_str(), F_OK), 0);
  CaptureRun frames = RunCaptureInChild("--size 64x36 --fps 10 --to 1 --frames " + dir, withoutFfmpeg);
  EXPECT_EQ(frames.outcome, Outcome::Written) << frames.err;
  EXPECT_EQ(frames.exitCode, 0);
  EXPECT_EQ(CountFrames(dir), 10);
}

TEST(CaptureErrors, AnUnwritableOutputIsRefusedAtOnce) {
  for (const char* arguments : {"--to 1 --output /proc/stormglass.mp4", "--to 1 --contact-sheet /nonexistent/folder/sheet.png"}) {
    CaptureRun run = RunCaptureInChild(arguments);
    EXPECT_EQ(run.outcome, Outcome::CannotWrite) << arguments << run.err;
    EXPECT_EQ(run.exitCode, 1) << arguments;
  }
}

TEST(CaptureErrors, AShowThatFailsToStartFailsTheCapture) {
  std::string dataDir = sgtest::MakeTempDir("sg_capture_nodata_");
  ASSERT_EQ(mkdir((dataDir + "/datas").c_str(), 0755), 0);
  std::string frames = sgtest::MakeTempDir("sg_capture_noframes_");
  CaptureRun run = RunCaptureInChild("--size 64x36 --data-dir " + dataDir + " --frames " + frames);
  EXPECT_EQ(run.outcome, Outcome::ShowFailed) << run.err;
  EXPECT_EQ(run.exitCode, 1);
  // The program's own message box names the problem.
  EXPECT_NE(run.err.find("ERROR: Can't open the soundtrack"), std::string::npos) << run.err;
  CaptureRun noData = RunCaptureInChild("--size 64x36 --data-dir /nonexistent --frames " + frames);
  EXPECT_EQ(noData.outcome, Outcome::NoDataFolder) << noData.err;
  EXPECT_EQ(noData.exitCode, 1);
}

TEST(CaptureOptions, FrameRatesAndSizesParseExactly) {
  sgcapture::CaptureOptions options;
  std::string error;
  ASSERT_TRUE(sgcapture::ParseCaptureOptions({"--fps", "60000/1001", "--size", "1280x720"}, options, error))
      << error;
  EXPECT_EQ(options.rate.num, 60000);
  EXPECT_EQ(options.rate.den, 1001);
  EXPECT_EQ(options.width, 1280);
  EXPECT_EQ(options.output, "stormglass.mp4");
  // Frame n lands at n * 1001 / 60000 s; its first sample in whole numbers.
  EXPECT_EQ(sglockstep::FrameSample(options.rate, 60, 44100), 60u * 44100u * 1001u / 60000u);
  EXPECT_NEAR(sglockstep::FrameSeconds(options.rate, 60000), 1001.0, 1e-9);
  for (const char* size : {"64x36x", "x36", "64x", "+64x36", "64x-36", " 64x36", "64X36", "1e3x36"}) {
    sgcapture::CaptureOptions other;
    EXPECT_FALSE(sgcapture::ParseCaptureOptions({"--size", size}, other, error)) << size;
  }
}

}  // namespace
