#include "capture_options.h"

#include <cstdlib>

namespace sgcapture {

namespace {

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// A whole number of digits only, no sign, no spaces.
bool ParseDigits(const std::string& text, long& value) {
  if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  value = std::strtol(text.c_str(), nullptr, 10);
  return true;
}

bool ParseSize(const std::string& text, int& width, int& height, std::string& error) {
  size_t x = text.find('x');
  long w = 0, h = 0;
  if (x == std::string::npos || !ParseDigits(text.substr(0, x), w) || !ParseDigits(text.substr(x + 1), h)) {
    error = "--size wants WIDTHxHEIGHT, for example 1920x1080; got \"" + text + "\"";
    return false;
  }
  if (w < 16 || h < 16 || w > 7680 || h > 4320) {
    error = "--size " + text + " is out of range (16x16 to 7680x4320)";
    return false;
  }
  if (w % 2 != 0 || h % 2 != 0) {
    error = "--size " + text + ": width and height must be even (the video is 4:2:0)";
    return false;
  }
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  return true;
}

bool ParseSeconds(const std::string& name, const std::string& text, double& seconds, std::string& error) {
  char* end = nullptr;
  double value = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !(value >= 0.0) || value > 1e6) {
    error = name + " wants a time in seconds, for example 21.6; got \"" + text + "\"";
    return false;
  }
  seconds = value;
  return true;
}

bool ParseCrf(const std::string& text, int& crf, std::string& error) {
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < 0 || value > 51) {
    error = "--crf wants a number from 0 to 51; got \"" + text + "\"";
    return false;
  }
  crf = static_cast<int>(value);
  return true;
}

bool ParseCount(const std::string& name, const std::string& text, int low, int high, int& value,
                std::string& error) {
  long parsed = 0;
  if (!ParseDigits(text, parsed) || parsed < low || parsed > high) {
    error = name + " wants a whole number from " + std::to_string(low) + " to " + std::to_string(high) + "; got \"" +
            text + "\"";
    return false;
  }
  value = static_cast<int>(parsed);
  return true;
}

bool ParseName(const std::string& name, const std::string& text, const std::string& encoder, std::string& value,
               const char* known, std::string& error) {
  if (encoder.empty()) {
    error = name + " wants one of " + known + "; got \"" + text + "\"";
    return false;
  }
  value = text;
  return true;
}

std::string Extension(const std::string& path) {
  size_t dot = path.find_last_of('.');
  return dot == std::string::npos ? "" : path.substr(dot);
}

// What each container takes, as this ffmpeg's muxers accept it (checked on
// ffmpeg 5.1: MP4 refuses ProRes, FFV1 and PCM and takes FLAC only as an
// experiment; MOV refuses FLAC).
bool ContainerHolds(const std::string& extension, const std::string& codec, const std::string& audioCodec,
                    std::string& error) {
  bool mp4 = extension == ".mp4", mov = extension == ".mov";
  if (mp4 && (codec == "prores" || codec == "ffv1")) {
    error = "--codec " + codec + " cannot go in an .mp4 file: use .mov or .mkv";
    return false;
  }
  if ((mp4 && audioCodec != "aac") || (mov && audioCodec == "flac")) {
    error = "--audio-codec " + audioCodec + " cannot go in a " + extension + " file: use " +
            (audioCodec == "flac" ? ".mkv" : ".mkv or .mov") + ", or --audio-codec aac";
    return false;
  }
  return true;
}

bool CheckCombination(CaptureOptions& options, std::string& error) {
  if (options.output.empty() && options.framesDir.empty() && options.contactSheet.empty() && !options.renderOnly) {
    options.output = "stormglass.mp4";
  }
  std::string extension = Extension(options.output);
  if (!options.output.empty() && extension != ".mp4" && extension != ".mkv" && extension != ".mov") {
    error = "--output " + options.output + ": the file name must end in .mp4, .mkv or .mov";
    return false;
  }
  if (!options.output.empty() && !ContainerHolds(extension, options.codec, options.audioCodec, error)) return false;
  if (options.renderOnly && !(options.output.empty() && options.framesDir.empty() && options.contactSheet.empty())) {
    error = "--render-only writes nothing, so it takes no --output, --frames or --contact-sheet";
    return false;
  }
  if (!options.contactSheet.empty() && !EndsWith(options.contactSheet, ".png")) {
    error = "--contact-sheet " + options.contactSheet + ": the file name must end in .png";
    return false;
  }
  if (options.to >= 0.0 && options.to <= options.from) {
    error = "--to must be later than --from";
    return false;
  }
  return true;
}

}  // namespace

std::string VideoEncoderName(const std::string& codec) {
  if (codec == "h264") return "libx264";
  if (codec == "hevc") return "libx265";
  if (codec == "prores") return "prores_ks";
  if (codec == "ffv1") return "ffv1";
  if (codec == "h264-lossless") return "libx264rgb";
  return "";
}

std::string AudioEncoderName(const std::string& audioCodec) {
  if (audioCodec == "aac") return "aac";
  if (audioCodec == "flac") return "flac";
  if (audioCodec == "pcm") return "pcm_s16le";
  return "";
}

bool ParseCaptureOptions(const std::vector<std::string>& args, CaptureOptions& options, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      return true;
    }
    if (arg == "--quiet" || arg == "-q") {
      options.quiet = true;
      continue;
    }
    if (arg == "--render-only") {
      options.renderOnly = true;
      continue;
    }
    if (arg.rfind("--", 0) != 0) {
      error = "unexpected argument \"" + arg + "\"";
      return false;
    }
    if (i + 1 >= args.size()) {
      error = arg + " needs a value";
      return false;
    }
    const std::string& value = args[++i];
    bool ok = true;
    if (arg == "--fps") {
      ok = sglockstep::ParseFrameRate(value, options.rate);
      if (!ok) error = "--fps wants N or N/D frames per second, for example 60 or 60000/1001; got \"" + value + "\"";
    } else if (arg == "--size") {
      ok = ParseSize(value, options.width, options.height, error);
    } else if (arg == "--output" || arg == "-o") {
      options.output = value;
    } else if (arg == "--frames") {
      options.framesDir = value;
    } else if (arg == "--contact-sheet") {
      options.contactSheet = value;
    } else if (arg == "--keys") {
      ok = sglockstep::ParseKeySchedule(value, options.keys, error);
      if (!ok) error = "--keys: " + error;
    } else if (arg == "--from") {
      ok = ParseSeconds(arg, value, options.from, error);
    } else if (arg == "--to") {
      ok = ParseSeconds(arg, value, options.to, error);
    } else if (arg == "--data-dir") {
      options.dataDir = value;
    } else if (arg == "--x264-preset") {
      options.x264Preset = value;
    } else if (arg == "--crf") {
      ok = ParseCrf(value, options.crf, error);
    } else if (arg == "--motion-blur") {
      ok = ParseCount(arg, value, 1, 64, options.motionBlur, error);
    } else if (arg == "--supersample") {
      ok = ParseCount(arg, value, 1, 4, options.supersample, error);
    } else if (arg == "--codec") {
      ok = ParseName(arg, value, VideoEncoderName(value), options.codec, "h264, hevc, prores, ffv1, h264-lossless",
                     error);
    } else if (arg == "--audio-codec") {
      ok = ParseName(arg, value, AudioEncoderName(value), options.audioCodec, "aac, flac, pcm", error);
    } else {
      error = "unknown option " + arg;
      return false;
    }
    if (!ok) return false;
  }
  if (options.rate.num * options.motionBlur / options.rate.den > 1000) {
    error = "--motion-blur " + std::to_string(options.motionBlur) + " at this --fps renders over 1000 sub-frames a second";
    return false;
  }
  return CheckCombination(options, error);
}

std::string CaptureUsage() {
  return "Usage: stormglass-capture [options]\n"
         "Renders the Stormglass show offline, frame-exact, with its sound.\n"
         "\n"
         "Outputs (any combination; with none, --output stormglass.mp4):\n"
         "  --output FILE          .mp4, .mkv or .mov through ffmpeg (H.264 and AAC unless told)\n"
         "  --frames DIR           a PNG per frame (frame_000000.png, ...) and audio.wav\n"
         "  --contact-sheet FILE   a PNG grid of thumbnails every 2 s, each labelled with its time\n"
         "\n"
         "What to render:\n"
         "  --fps N or N/D         frames per second (default 60; 60000/1001 works)\n"
         "  --size WxH             frame size, even numbers (default 1920x1080)\n"
         "  --keys TIME:KEY,...    keys typed at show times, e.g. 20:F3,35:Space\n"
         "                         (Esc, Space, F1..F12, Enter, letters, digits)\n"
         "  --from SECONDS         write frames from this time on (earlier ones still render)\n"
         "  --to SECONDS           stop before this time (default: the show's end at 74 s)\n"
         "  --motion-blur N        each frame the average of N sub-frames, in linear light (default 1)\n"
         "  --supersample K        render at K times the size (1-4) and scale down: antialiased edges\n"
         "\n"
         "Encoding:\n"
         "  --codec NAME           h264 (default), hevc, prores (422 HQ, .mov/.mkv), ffv1 (lossless,\n"
         "                         .mkv/.mov) or h264-lossless (RGB)\n"
         "  --audio-codec NAME     aac (default), flac (.mkv) or pcm (.mkv/.mov)\n"
         "\n"
         "Other:\n"
         "  --data-dir DIR         folder holding datas/ (default: found beside the tool)\n"
         "  --x264-preset NAME     encoder speed preset (default veryfast)\n"
         "  --crf N                encoder quality, 0-51, lower is better (default 20; h264, hevc)\n"
         "  --render-only          render the show without reading frames back or writing: for timing\n"
         "  --quiet                no progress output\n"
         "  --help                 this text\n";
}

}  // namespace sgcapture
