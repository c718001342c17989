// The video file through the ffmpeg program: raw RGB frames go down a pipe to
// an H.264 encode of the picture, then a second, quick run muxes that picture
// with the mixed soundtrack (AAC) into the final .mp4 or .mkv.
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
bool RunProgram(const std::vector<std::string>& argv, std::string& error);

class VideoEncoder {
 public:
  ~VideoEncoder();

  // Starts encoding frames of the given size and rate into a temporary file
  // beside `output`.
  bool Start(const std::string& ffmpeg, const std::string& output, int width, int height,
             sglockstep::FrameRate rate, const std::string& preset, int crf, std::string& error);
  // One frame, RGB, top row first.
  bool Write(const uint8_t* rgb, size_t size, std::string& error);
  // Ends the picture encode and muxes it with the WAV into `output`.
  bool Finish(const std::string& wavPath, std::string& error);

 private:
  bool StopEncoder(std::string& error);

  std::string ffmpeg_;
  std::string output_;
  std::string videoPath_;
  pid_t pid_ = -1;
  int pipe_ = -1;
};

}  // namespace sgcapture
