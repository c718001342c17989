// The video file through the ffmpeg program: raw frames as read back (BGRA,
// bottom row first; ffmpeg's vflip only moves its row pointers, so it costs
// less than flipping here) go down a pipe to the picture's encode, then a
// second, quick run muxes that picture with the mixed soundtrack into the
// final .mp4, .mkv or .mov.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "lockstep.h"

namespace sgcapture {

// The ffmpeg to run: $STORMGLASS_FFMPEG, else "ffmpeg" found on PATH; empty
// when there is none.
std::string FindFfmpeg();

// Runs argv[0] with the rest as arguments; true when it exits with 0.
// `output`, when given, receives what it writes on standard output.
bool RunProgram(const std::vector<std::string>& argv, std::string& error, std::string* output = nullptr);

// The number of video frames in a file, counted by the ffprobe beside
// `ffmpeg`; -1 when it cannot tell.
int64_t CountVideoFrames(const std::string& ffmpeg, const std::string& path);

// Empty when this ffmpeg has the encoders named (as `ffmpeg -encoders` lists
// them); else a message naming the first one missing.
std::string MissingEncoder(const std::string& ffmpeg, const std::vector<std::string>& encoders);

struct EncoderSettings {
  std::string codec = "h264";      // as --codec names it
  std::string audioCodec = "aac";  // as --audio-codec names it
  std::string preset = "veryfast"; // x264 and x265
  int crf = 20;
};

class VideoEncoder {
 public:
  ~VideoEncoder();

  // Starts encoding frames of the given size and rate into a temporary file
  // beside `output`.
  bool Start(const std::string& ffmpeg, const std::string& output, int width, int height,
             sglockstep::FrameRate rate, const EncoderSettings& settings, std::string& error);
  // One frame, BGRA, bottom row first.
  bool Write(const uint8_t* rgb, size_t size, std::string& error);
  // Ends the picture encode and muxes it with the WAV into `output`. After
  // the encoder died (`salvage`), muxes what it wrote, the sound cut to it.
  bool Finish(const std::string& wavPath, std::string& error, bool salvage = false);

 private:
  bool StopEncoder(std::string& error);

  std::string ffmpeg_;
  EncoderSettings settings_;
  std::string output_;
  std::string videoPath_;
  pid_t pid_ = -1;
  int pipe_ = -1;
};

}  // namespace sgcapture
