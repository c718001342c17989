// Command-line options of stormglass-capture: parsed and checked before
// anything runs, so a bad option costs nothing.
#pragma once

#include <string>
#include <vector>

#include "lockstep.h"

namespace sgcapture {

struct CaptureOptions {
  sglockstep::FrameRate rate;  // default 60
  int width = 1920;
  int height = 1080;
  std::string output;          // .mp4, .mkv or .mov, through ffmpeg
  std::string framesDir;       // a PNG per frame and audio.wav
  std::string contactSheet;    // a PNG grid of thumbnails
  std::vector<sglockstep::ScheduledKey> keys;
  double from = 0.0;           // frames before this show time are not written
  double to = -1.0;            // the capture ends before this time (< 0: the show's end)
  bool quiet = false;
  bool help = false;
  std::string dataDir;         // folder holding datas/; empty: found automatically
  std::string x264Preset = "veryfast";
  int crf = 20;
  std::string codec = "h264";      // h264, hevc, prores, ffv1, h264-lossless
  std::string audioCodec = "aac";  // aac, flac, pcm
  int motionBlur = 1;              // sub-frames averaged into each frame
  int supersample = 1;             // rendered at this many times the size, then scaled down
  bool renderOnly = false;         // nothing read back or written: for timing the show alone
};

// The ffmpeg encoder behind a --codec or --audio-codec name; empty if unknown.
std::string VideoEncoderName(const std::string& codec);
std::string AudioEncoderName(const std::string& audioCodec);

// Parses argv; on failure returns false with a message for the user.
bool ParseCaptureOptions(const std::vector<std::string>& args, CaptureOptions& options, std::string& error);

std::string CaptureUsage();

}  // namespace sgcapture
