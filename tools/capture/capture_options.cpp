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

bool CheckCombination(CaptureOptions& options, std::string& error) {
  if (options.output.empty() && options.framesDir.empty() && options.contactSheet.empty()) {
    options.output = "stormglass.mp4";
  }
  if (!options.output.empty() && !EndsWith(options.output, ".mp4") && !EndsWith(options.output, ".mkv")) {
    error = "--output " + options.output + ": the file name must end in .mp4 or .mkv";
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
    } else {
      error = "unknown option " + arg;
      return false;
    }
    if (!ok) return false;
  }
  return CheckCombination(options, error);
}

std::string CaptureUsage() {
  return "Usage: stormglass-capture [options]\n"
         "Renders the Stormglass show offline, frame-exact, with its sound.\n"
         "\n"
         "Outputs (any combination; with none, --output stormglass.mp4):\n"
         "  --output FILE          .mp4 or .mkv: H.264 video and AAC sound through ffmpeg\n"
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
         "\n"
         "Other:\n"
         "  --data-dir DIR         folder holding datas/ (default: found beside the tool)\n"
         "  --x264-preset NAME     encoder speed preset (default veryfast)\n"
         "  --crf N                encoder quality, 0-51, lower is better (default 20)\n"
         "  --quiet                no progress output\n"
         "  --help                 this text\n";
}

}  // namespace sgcapture
