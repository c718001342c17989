// stormglass-capture for video makers: motion blur and supersampling in
// linear light, the codecs and their containers, and their refusals.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "capture_cli.h"
#include "frame_average.h"
#include "png_image.h"
#include "test_audio.h"

namespace {

using Outcome = sgtest::CommandResult;
using sgtest::FramePath;
using sgtest::ReadFile;

Outcome Shell(const std::string& command) { return sgtest::RunCommand(command); }
Outcome Capture(const std::string& arguments) { return Shell(sgtest::CaptureCommand(arguments)); }

sgtest::RgbImage Frame(const std::string& dir, int index) {
  sgtest::RgbImage image;
  std::string error;
  EXPECT_TRUE(sgtest::ReadPng(FramePath(dir, index), image, error)) << error;
  return image;
}

// Frames written to a new folder by a capture with these options.
std::string CaptureFrames(const std::string& options) {
  std::string dir = sgtest::MakeTempDir("sg_quality_frames_");
  Outcome run = Capture(options + " --frames " + dir);
  EXPECT_EQ(run.exitCode, 0) << options << "\n" << run.output;
  return dir;
}

// The test's own sRGB curve, in double precision.
double ToLinear(int code) {
  double c = code / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double ToCode(double linear) {
  double c = linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
  return c * 255.0;
}

TEST(CaptureBlur, BlurOneAndSupersampleOneChangeNothing) {
  std::string plain = CaptureFrames("--size 64x36 --fps 10 --to 1");
  std::string same = CaptureFrames("--size 64x36 --fps 10 --to 1 --motion-blur 1 --supersample 1");
  for (int frame = 0; frame < 10; ++frame) {
    EXPECT_EQ(ReadFile(FramePath(plain, frame)), ReadFile(FramePath(same, frame))) << frame;
  }
  EXPECT_EQ(ReadFile(plain + "/audio.wav"), ReadFile(same + "/audio.wav"));
}

TEST(CaptureBlur, EachFrameIsTheLinearLightMeanOfItsSubframesAndTheSoundIsUnchanged) {
  const std::string common = "--size 64x36 --to 1 --keys 0.5:Space";
  std::string blurred = CaptureFrames(common + " --fps 10 --motion-blur 4");
  std::string fast = CaptureFrames(common + " --fps 40");
  std::string plain = CaptureFrames(common + " --fps 10");
  int moving = 0;
  for (int k = 0; k < 10; ++k) {
    sgtest::RgbImage out = Frame(blurred, k);
    std::vector<sgtest::RgbImage> subframes;
    for (int i = 0; i < 4; ++i) subframes.push_back(Frame(fast, 4 * k + i));
    ASSERT_EQ(out.rgb.size(), subframes[0].rgb.size());
    int worst = 0;
    for (size_t c = 0; c < out.rgb.size(); ++c) {
      double sum = 0;
      for (const auto& sub : subframes) sum += ToLinear(sub.rgb[c]);
      worst = std::max(worst, std::abs(out.rgb[c] - static_cast<int>(std::lround(ToCode(sum / 4)))));
      moving += subframes[0].rgb[c] != subframes[3].rgb[c];
    }
    EXPECT_LE(worst, 1) << "frame " << k;
  }
  EXPECT_GT(moving, 100) << "the span chosen must move, or the mean proves nothing";
  EXPECT_EQ(ReadFile(blurred + "/audio.wav"), ReadFile(plain + "/audio.wav"));
}

// The show ends on the first sub-frame at 74 s; the rest of that frame's
// sound must still be there.
TEST(CaptureBlur, TheSoundIsUnchangedToTheShowsOwnEnd) {
  const std::string common = "--size 32x18 --fps 10 --from 73";
  std::string plain = CaptureFrames(common);
  std::string blurred = CaptureFrames(common + " --motion-blur 4");
  EXPECT_EQ(ReadFile(blurred + "/audio.wav"), ReadFile(plain + "/audio.wav"));
}

TEST(CaptureBlur, TheAveragerRoundTripsEveryCodeAndMixesInLinearLight) {
  // Four identical sub-frames of every code value come back exactly.
  std::vector<uint8_t> bgra(256 * 4), out;
  for (int code = 0; code < 256; ++code) {
    for (int c = 0; c < 4; ++c) bgra[static_cast<size_t>(code) * 4 + c] = static_cast<uint8_t>(code);
  }
  sgcapture::FrameAverager same(256, 1, 1);
  for (int i = 0; i < 4; ++i) same.Add(bgra.data());
  same.Resolve(out);
  for (int code = 0; code < 256; ++code) EXPECT_EQ(out[static_cast<size_t>(code) * 4 + 1], code);
  // A 2 x 2 block, one white pixel in four: a quarter of the light is code
  // 137, where averaging code values would give 64.
  std::vector<uint8_t> block(2 * 2 * 4, 0);
  for (int c = 0; c < 3; ++c) block[static_cast<size_t>(c)] = 255;
  sgcapture::FrameAverager area(1, 1, 2);
  area.Add(block.data());
  area.Resolve(out);
  EXPECT_EQ(out[0], 137);
  EXPECT_EQ(out[3], 255);
  EXPECT_EQ(area.Count(), 0);
}

// Pixels within a small distance of scene 3's magenta background, but not
// it: the blends an antialiased edge leaves between it and the cubes.
int NearBackground(const sgtest::RgbImage& image) {
  int count = 0;
  for (size_t i = 0; i < image.rgb.size(); i += 3) {
    int distance = std::abs(255 - image.rgb[i]) + image.rgb[i + 1] + std::abs(221 - image.rgb[i + 2]);
    count += distance > 0 && distance <= 60;
  }
  return count;
}

TEST(CaptureSupersample, EdgesGetIntermediateValuesAndOversizedSurfacesAreRefused) {
  const std::string at = "--size 160x90 --fps 10 --from 23 --to 23.1";
  sgtest::RgbImage plain = Frame(CaptureFrames(at), 0), smooth = Frame(CaptureFrames(at + " --supersample 2"), 0);
  EXPECT_EQ(NearBackground(plain), 0);
  EXPECT_GT(NearBackground(smooth), 20);

  sgtest::CaptureRun huge =
      sgtest::RunCaptureInChild("--size 7680x4320 --supersample 4 --to 1 --contact-sheet /tmp/sg_never.png");
  EXPECT_EQ(huge.outcome, sgcapture::Outcome::SurfaceTooLarge) << huge.err;
  EXPECT_EQ(huge.exitCode, 1);
  EXPECT_NE(huge.err.find("renders at 30720x17280"), std::string::npos) << huge.err;
}

std::string Probe(const std::string& path, const std::string& stream, const std::string& entries) {
  return Shell("ffprobe -v error -select_streams " + stream + " -count_frames -show_entries stream=" + entries +
               " -of csv=p=0 '" + path + "'")
      .output;
}

// The video's frames as RGB, top row first.
std::string DecodeFrames(const std::string& path) {
  std::string raw = sgtest::MakeTempDir("sg_quality_raw_") + "/frames.rgb";
  Shell("ffmpeg -loglevel error -y -i '" + path + "' -f rawvideo -pix_fmt rgb24 '" + raw + "'");
  return ReadFile(raw);
}

std::string FramesTopDown(const std::string& dir, int count) {
  std::string all;
  for (int frame = 0; frame < count; ++frame) {
    sgtest::RgbImage image = Frame(dir, frame);
    size_t row = static_cast<size_t>(image.width) * 3;
    for (int y = image.height - 1; y >= 0; --y) all.append(reinterpret_cast<const char*>(&image.rgb[y * row]), row);
  }
  return all;
}

TEST(CaptureCodecs, EachCodecPlaysWithEveryFrameAndTheLosslessOnesAreExact) {
  struct Case {
    const char* codec;
    const char* audio;
    const char* file;
    const char* video;  // as ffprobe names the codec (and profile), with the frame count
    const char* sound;
    bool lossless;
  };
  const Case cases[] = {{"h264", "aac", "a.mp4", "h264,High,10", "aac", false},
                        {"hevc", "aac", "b.mp4", "hevc,Main,10", "aac", false},
                        {"prores", "pcm", "c.mov", "prores,HQ,10", "pcm_s16le", false},
                        {"ffv1", "flac", "d.mkv", "ffv1,unknown,10", "flac", true},
                        {"h264-lossless", "pcm", "e.mkv", "h264,High 4:4:4 Predictive,10", "pcm_s16le", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.codec);
    std::string dir = sgtest::MakeTempDir("sg_quality_codec_"), video = dir + "/" + c.file;
    Outcome run = Capture(std::string("--size 64x36 --fps 10 --to 1 --codec ") + c.codec + " --audio-codec " + c.audio +
                      " --output " + video + " --frames " + dir);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(Probe(video, "v:0", "codec_name,profile,nb_read_frames"), std::string(c.video) + "\n");
    EXPECT_EQ(Probe(video, "a:0", "codec_name"), std::string(c.sound) + "\n");
    if (c.lossless) {
      EXPECT_TRUE(DecodeFrames(video) == FramesTopDown(dir, 10)) << "decoded frames differ";
    }
  }
}

TEST(CaptureCodecs, CombinationsAndEncodersThatCannotWorkAreRefusedByName) {
  struct Case {
    const char* arguments;
    const char* message;
  };
  const Case refused[] = {
      {"--codec prores --output a.mp4", "--codec prores cannot go in an .mp4 file"},
      {"--codec ffv1 --output a.mp4", "--codec ffv1 cannot go in an .mp4 file"},
      {"--audio-codec pcm --output a.mp4", "--audio-codec pcm cannot go in a .mp4 file"},
      {"--audio-codec flac --output a.mov", "--audio-codec flac cannot go in a .mov file"},
      {"--codec vp9", "--codec wants one of h264, hevc, prores, ffv1, h264-lossless; got \"vp9\""},
      {"--audio-codec mp3", "--audio-codec wants one of aac, flac, pcm"},
      {"--motion-blur 0", "--motion-blur wants a whole number from 1 to 64"},
      {"--motion-blur 2.5", "--motion-blur wants a whole number"},
      {"--supersample 5", "--supersample wants a whole number from 1 to 4"},
      {"--fps 300 --motion-blur 4", "renders over 1000 sub-frames a second"},
      {"--render-only --output a.mp4", "--render-only writes nothing"},
  };
  for (const Case& c : refused) {
    Outcome run = Capture(c.arguments);
    EXPECT_EQ(run.exitCode, 2) << c.arguments;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << c.arguments << "\n" << run.output;
  }
  // An ffmpeg built without libx265 is named before anything renders.
  std::string dir = sgtest::MakeTempDir("sg_quality_fake_");
  std::string fake = dir + "/ffmpeg";
  std::ofstream(fake) << "#!/bin/sh\necho ' V....D libx264              libx264 H.264'\necho ' A..... aac   AAC'\n";
  ASSERT_EQ(chmod(fake.c_str(), 0755), 0);
  sgtest::CaptureRun missing = sgtest::RunCaptureInChild("--to 1 --codec hevc --output " + dir + "/x.mkv",
                                                         [fake] { setenv("STORMGLASS_FFMPEG", fake.c_str(), 1); });
  EXPECT_EQ(missing.outcome, sgcapture::Outcome::EncoderMissing) << missing.err;
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("libx265"), std::string::npos) << missing.err;
}

}  // namespace
