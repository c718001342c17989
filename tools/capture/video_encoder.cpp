#include "video_encoder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace sgcapture {

namespace {

bool IsExecutable(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Starts argv with a pipe on its standard input (stdinPipe) or standard
// output (stdoutPipe) when asked. The child gets a process group of its own,
// so a Ctrl-C at the terminal reaches only the capture, which then finishes
// its file through the encoder.
pid_t Spawn(const std::vector<std::string>& argv, int* stdinPipe, std::string& error, int* stdoutPipe = nullptr) {
  int fds[2] = {-1, -1};
  int* wanted = stdinPipe ? stdinPipe : stdoutPipe;
  if (wanted && pipe(fds) != 0) {
    error = std::string("cannot make a pipe: ") + std::strerror(errno);
    return -1;
  }
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    setpgid(0, 0);
    if (wanted) {
      dup2(stdinPipe ? fds[0] : fds[1], stdinPipe ? STDIN_FILENO : STDOUT_FILENO);
      close(fds[0]);
      close(fds[1]);
    }
    execv(args[0], args.data());
    std::fprintf(stderr, "cannot run %s: %s\n", args[0], std::strerror(errno));
    _exit(127);
  }
  if (pid < 0) {
    error = std::string("cannot start ") + argv[0] + ": " + std::strerror(errno);
    return -1;
  }
  if (wanted) {
    int ours = stdinPipe ? fds[1] : fds[0];
    close(stdinPipe ? fds[0] : fds[1]);
    fcntl(ours, F_SETFD, FD_CLOEXEC);
    *wanted = ours;
  }
  return pid;
}

bool Wait(pid_t pid, const std::string& what, std::string& error) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      error = "lost track of " + what;
      return false;
    }
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
  error = what + (WIFEXITED(status) ? " failed with exit code " + std::to_string(WEXITSTATUS(status))
                                    : std::string(" was killed"));
  return false;
}

// The picture's encoder and its settings, per --codec.
std::vector<std::string> CodecArguments(const EncoderSettings& settings) {
  const std::string& codec = settings.codec;
  if (codec == "hevc") {
    return {"-c:v", "libx265", "-preset", settings.preset, "-crf", std::to_string(settings.crf), "-pix_fmt", "yuv420p",
            "-x265-params", "log-level=error"};
  }
  if (codec == "prores") return {"-c:v", "prores_ks", "-profile:v", "3", "-pix_fmt", "yuv422p10le"};  // 422 HQ
  if (codec == "ffv1") return {"-c:v", "ffv1", "-level", "3", "-pix_fmt", "bgr0"};
  if (codec == "h264-lossless") return {"-c:v", "libx264rgb", "-preset", settings.preset, "-qp", "0", "-pix_fmt", "bgr0"};
  return {"-c:v", "libx264", "-preset", settings.preset, "-crf", std::to_string(settings.crf), "-pix_fmt", "yuv420p"};
}

std::vector<std::string> AudioArguments(const std::string& audioCodec) {
  if (audioCodec == "flac") return {"-c:a", "flac"};
  if (audioCodec == "pcm") return {"-c:a", "pcm_s16le"};
  return {"-c:a", "aac", "-b:a", "192k"};
}

void Append(std::vector<std::string>& argv, const std::vector<std::string>& more) {
  argv.insert(argv.end(), more.begin(), more.end());
}

}  // namespace

std::string MissingEncoder(const std::string& ffmpeg, const std::vector<std::string>& encoders) {
  std::string error, listing;
  if (!RunProgram({ffmpeg, "-hide_banner", "-nostdin", "-encoders"}, error, &listing)) {
    return "cannot list the encoders of " + ffmpeg + ": " + error;
  }
  for (const std::string& encoder : encoders) {
    // Lines read " V....D libx264   description".
    if (listing.find(" " + encoder + " ") == std::string::npos) {
      return "this ffmpeg (" + ffmpeg + ") has no " + encoder + " encoder: install an ffmpeg built with it " +
             "(Debian's ffmpeg package has it), or choose another --codec or --audio-codec";
    }
  }
  return "";
}

std::string FindFfmpeg() {
  const char* configured = std::getenv("STORMGLASS_FFMPEG");
  if (configured && *configured) return IsExecutable(configured) ? configured : "";
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t colon = dirs.find(':', start);
    std::string dir = dirs.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
    if (!dir.empty() && IsExecutable(dir + "/ffmpeg")) return dir + "/ffmpeg";
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  return "";
}

bool RunProgram(const std::vector<std::string>& argv, std::string& error, std::string* output) {
  int out = -1;
  pid_t pid = Spawn(argv, nullptr, error, output ? &out : nullptr);
  if (pid <= 0) return false;
  if (output) {
    char buffer[4096];
    ssize_t got;
    while ((got = read(out, buffer, sizeof(buffer))) != 0) {
      if (got > 0) output->append(buffer, static_cast<size_t>(got));
      else if (errno != EINTR) break;
    }
    close(out);
  }
  return Wait(pid, argv[0], error);
}

int64_t CountVideoFrames(const std::string& ffmpeg, const std::string& path) {
  size_t slash = ffmpeg.find_last_of('/');
  std::string ffprobe = (slash == std::string::npos ? "" : ffmpeg.substr(0, slash + 1)) + "ffprobe";
  if (!IsExecutable(ffprobe)) return -1;
  std::string error, output;
  if (!RunProgram({ffprobe, "-v", "error", "-select_streams", "v:0", "-count_packets", "-show_entries",
                   "stream=nb_read_packets", "-of", "csv=p=0", path},
                  error, &output)) {
    return -1;
  }
  char* end = nullptr;
  long long frames = std::strtoll(output.c_str(), &end, 10);
  return end != output.c_str() ? frames : -1;
}

VideoEncoder::~VideoEncoder() {
  std::string ignored;
  StopEncoder(ignored);
  if (!videoPath_.empty()) std::remove(videoPath_.c_str());
}

bool VideoEncoder::Start(const std::string& ffmpeg, const std::string& output, int width, int height,
                         sglockstep::FrameRate rate, const EncoderSettings& settings, std::string& error) {
  ffmpeg_ = ffmpeg;
  settings_ = settings;
  output_ = output;
  videoPath_ = output + ".picture.mkv";
  std::vector<std::string> argv = {ffmpeg,
                                   "-hide_banner", "-loglevel", "error", "-y",
                                   "-f", "rawvideo", "-pix_fmt", "bgr0",
                                   "-s", std::to_string(width) + "x" + std::to_string(height),
                                   "-framerate", std::to_string(rate.num) + "/" + std::to_string(rate.den),
                                   "-i", "pipe:0", "-vf", "vflip"};
  Append(argv, CodecArguments(settings));
  argv.push_back(videoPath_);
  pid_ = Spawn(argv, &pipe_, error);
  return pid_ > 0;
}

bool VideoEncoder::Write(const uint8_t* rgb, size_t size, std::string& error) {
  while (size > 0) {
    ssize_t written = write(pipe_, rgb, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      error = "the video encoder stopped taking frames (" + std::string(std::strerror(errno)) + ")";
      return false;
    }
    rgb += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

bool VideoEncoder::StopEncoder(std::string& error) {
  if (pipe_ >= 0) {
    close(pipe_);
    pipe_ = -1;
  }
  if (pid_ <= 0) return true;
  pid_t pid = pid_;
  pid_ = -1;
  return Wait(pid, "the video encoder (ffmpeg)", error);
}

bool VideoEncoder::Finish(const std::string& wavPath, std::string& error, bool salvage) {
  if (!StopEncoder(error) && !salvage) return false;
  std::vector<std::string> argv = {ffmpeg_, "-hide_banner", "-loglevel", "error", "-nostdin", "-y",
                                   "-i", videoPath_, "-i", wavPath,
                                   "-map", "0:v", "-map", "1:a", "-c:v", "copy"};
  Append(argv, AudioArguments(settings_.audioCodec));
  // Players on Apple's systems want HEVC tagged this way in MP4 and MOV.
  if (settings_.codec == "hevc" && !EndsWith(output_, ".mkv")) Append(argv, {"-tag:v", "hvc1"});
  if (salvage) argv.push_back("-shortest");
  if (EndsWith(output_, ".mp4")) {
    argv.push_back("-movflags");
    argv.push_back("+faststart");
  }
  argv.push_back(output_);
  bool ok = RunProgram(argv, error);
  std::remove(videoPath_.c_str());
  videoPath_.clear();
  if (!ok) error = "muxing " + output_ + ": " + error;
  return ok;
}

}  // namespace sgcapture
