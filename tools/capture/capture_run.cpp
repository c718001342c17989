#include "capture_run.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "audio/audio_host.h"
#include "contact_sheet.h"
#include "frame_pipeline.h"
#include "image_files.h"
#include "opengl.h"
#include "progress.h"
#include "video_encoder.h"

namespace sgcapture {

namespace {

constexpr double kShowEndSeconds = 74.0;

bool Fail(const std::string& message) {
  std::fprintf(stderr, "stormglass-capture: %s\n", message.c_str());
  return false;
}

std::string Absolute(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char cwd[4096];
  return getcwd(cwd, sizeof(cwd)) ? std::string(cwd) + "/" + path : path;
}

std::string Parent(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

bool IsDirectory(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool MakeDirectories(const std::string& path) {
  if (path.empty() || IsDirectory(path)) return true;
  if (!MakeDirectories(Parent(path))) return false;
  return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

// Tries the file for real (permissions alone don't tell, for root): opens
// it without truncating, or creates and removes it.
bool ProbeWritable(const std::string& path) {
  bool existed = access(path.c_str(), F_OK) == 0;
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  close(fd);
  if (!existed) unlink(path.c_str());
  return true;
}

bool CheckWritableFile(const std::string& path) {
  if (IsDirectory(path)) return Fail("cannot write " + path + ": it is a folder");
  if (!ProbeWritable(path)) return Fail("cannot write " + path + ": " + std::strerror(errno));
  return true;
}

bool CheckWritableFolder(const std::string& path) {
  if (!MakeDirectories(path) || !ProbeWritable(path + "/.stormglass-write-test")) {
    return Fail("cannot write into " + path + ": " + std::strerror(errno));
  }
  return true;
}

std::string ExecutableFolder() {
  char path[4096];
  ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (length <= 0) return "";
  path[length] = '\0';
  return Parent(path);
}

// The folder whose datas/ the program reads: given, here, or beside the tool.
std::string FindDataDir(const std::string& given) {
  if (!given.empty()) return IsDirectory(given + "/datas") ? given : "";
  std::string exe = ExecutableFolder();
  for (const std::string& candidate : {std::string("."), exe, exe + "/../../share/stormglass"}) {
    if (IsDirectory(candidate + "/datas")) return candidate;
  }
  return "";
}

int64_t FirstFrameAtOrAfter(const sglockstep::FrameRate& rate, double seconds) {
  return static_cast<int64_t>(std::ceil(seconds * static_cast<double>(rate.num) / static_cast<double>(rate.den) - 1e-9));
}

// Everything one capture holds while the program runs.
class Capture {
 public:
  explicit Capture(const CaptureOptions& options) : options_(options) {}
  int Run();

 private:
  bool Prepare();
  bool OpenOutputs();
  void OnFrame(const host::FrameInfo& info, double seconds);
  void TakeSound();
  bool WriteFrame(const Frame& frame, std::string& error);
  bool Finish(int programCode);
  std::vector<int16_t> WrittenSound() const;

  CaptureOptions options_;
  std::string ffmpeg_;
  std::string soundPath_;
  VideoEncoder encoder_;
  std::unique_ptr<FramePipeline> pipeline_;
  std::unique_ptr<ContactSheet> sheet_;
  std::unique_ptr<Progress> progress_;
  std::vector<int16_t> sound_;
  int soundRate_ = 0;  // kept while the audio library is open
  int soundChannels_ = 0;
  int64_t firstWritten_ = -1;
  int64_t lastWritten_ = -1;
  int64_t framesWritten_ = 0;
  bool pipelineFailed_ = false;
};

bool Capture::Prepare() {
  for (std::string* path : {&options_.output, &options_.framesDir, &options_.contactSheet}) *path = Absolute(*path);
  if (!options_.output.empty()) {
    ffmpeg_ = FindFfmpeg();
    if (ffmpeg_.empty()) {
      return Fail("ffmpeg was not found on PATH: install it (apt-get install ffmpeg), or write PNG frames "
                  "with --frames DIR");
    }
    if (!CheckWritableFile(options_.output)) return false;
  }
  if (!options_.framesDir.empty() && !CheckWritableFolder(options_.framesDir)) return false;
  if (!options_.contactSheet.empty() && !CheckWritableFile(options_.contactSheet)) return false;
  std::string dataDir = FindDataDir(options_.dataDir);
  if (dataDir.empty()) {
    return Fail("cannot find the folder holding datas/ (Brassvale.mp3, s.pak, qor_fist.3ds): run from it or "
                "give --data-dir");
  }
  if (chdir(dataDir.c_str()) != 0) return Fail("cannot enter " + dataDir + ": " + std::strerror(errno));
  return true;
}

bool Capture::OpenOutputs() {
  std::string error;
  if (!options_.output.empty()) {
    if (!encoder_.Start(ffmpeg_, options_.output, options_.width, options_.height, options_.rate,
                        options_.x264Preset, options_.crf, error)) {
      return Fail(error);
    }
    soundPath_ = options_.output + ".sound.wav";
  }
  if (!options_.output.empty() || !options_.framesDir.empty()) {
    pipeline_ = std::make_unique<FramePipeline>(
        [this](const Frame& frame, std::string& sinkError) { return WriteFrame(frame, sinkError); });
  }
  if (!options_.contactSheet.empty()) sheet_ = std::make_unique<ContactSheet>();
  double end = options_.to >= 0.0 ? options_.to : kShowEndSeconds;
  int64_t total = FirstFrameAtOrAfter(options_.rate, end) + (options_.to >= 0.0 ? 0 : 1);
  progress_ = std::make_unique<Progress>(total, options_.quiet);
  return true;
}

bool Capture::WriteFrame(const Frame& frame, std::string& error) {
  if (!options_.output.empty() && !encoder_.Write(frame.rgb.data(), frame.rgb.size(), error)) return false;
  if (!options_.framesDir.empty()) {
    char name[64];
    std::snprintf(name, sizeof(name), "/frame_%06lld.png", static_cast<long long>(frame.index));
    return WritePng(options_.framesDir + name, frame.width, frame.height, frame.rgb.data(), 1, error);
  }
  return true;
}

// Reads the frame back (OpenGL rows are bottom-up) into a top-down buffer.
void ReadFrame(const host::FrameInfo& info, std::vector<uint8_t>& rgb) {
  size_t rowBytes = static_cast<size_t>(info.width) * 3;
  rgb.resize(rowBytes * info.height);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, info.width, info.height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  std::vector<uint8_t> row(rowBytes);
  for (int top = 0, bottom = info.height - 1; top < bottom; ++top, --bottom) {
    uint8_t* a = &rgb[static_cast<size_t>(top) * rowBytes];
    uint8_t* b = &rgb[static_cast<size_t>(bottom) * rowBytes];
    std::copy_n(a, rowBytes, row.data());
    std::copy_n(b, rowBytes, a);
    std::copy_n(row.data(), rowBytes, b);
  }
}

void Capture::TakeSound() {
  soundRate_ = audio_host::OutputRate();
  soundChannels_ = audio_host::OutputChannels();
  std::vector<int16_t> chunk;
  audio_host::OfflineTakeMix(chunk);
  sound_.insert(sound_.end(), chunk.begin(), chunk.end());
}

void Capture::OnFrame(const host::FrameInfo& info, double seconds) {
  TakeSound();
  progress_->Update(info.index + 1);
  if (seconds + 1e-9 < options_.from || pipelineFailed_) return;
  if (firstWritten_ < 0) firstWritten_ = info.index;
  lastWritten_ = info.index;
  if (pipeline_) {
    Frame* frame = nullptr;
    if (!pipeline_->Acquire(frame)) {
      pipelineFailed_ = true;
      host::QueueKey(VK_ESCAPE);  // end the show: the output is lost anyway
      return;
    }
    frame->index = framesWritten_;
    frame->width = info.width;
    frame->height = info.height;
    ReadFrame(info, frame->rgb);
    if (sheet_) sheet_->Offer(seconds, info.width, info.height, frame->rgb.data());
    pipeline_->Submit(frame);
  } else if (sheet_) {
    static std::vector<uint8_t> rgb;
    ReadFrame(info, rgb);
    sheet_->Offer(seconds, info.width, info.height, rgb.data());
  }
  ++framesWritten_;
}

std::vector<int16_t> Capture::WrittenSound() const {
  int rate = soundRate_, channels = soundChannels_;
  if (firstWritten_ < 0 || rate <= 0) return {};
  size_t begin = sglockstep::FrameSample(options_.rate, firstWritten_, rate) * channels;
  size_t end = sglockstep::FrameSample(options_.rate, lastWritten_ + 1, rate) * channels;
  std::vector<int16_t> written(end - std::min(begin, end), 0);
  if (begin < sound_.size()) {
    std::copy(sound_.begin() + begin, sound_.begin() + std::min(end, sound_.size()), written.begin());
  }
  return written;
}

bool Capture::Finish(int programCode) {
  std::string error;
  bool framesOk = !pipeline_ || pipeline_->Finish(error);
  progress_->Done(framesWritten_);
  if (!framesOk) return Fail(error);
  if (programCode != 0) return Fail("the show ended on a failure (exit code " + std::to_string(programCode) + ")");
  if (framesWritten_ == 0) return Fail("no frame was written: --from lies past the end of the show");
  int rate = soundRate_, channels = soundChannels_;
  std::vector<int16_t> sound = WrittenSound();
  if (!options_.framesDir.empty() && !WriteWav(options_.framesDir + "/audio.wav", sound, rate, channels, error)) {
    return Fail(error);
  }
  if (!options_.output.empty()) {
    bool ok = WriteWav(soundPath_, sound, rate, channels, error) && encoder_.Finish(soundPath_, error);
    std::remove(soundPath_.c_str());
    if (!ok) return Fail(error);
  }
  if (sheet_ && !sheet_->Write(options_.contactSheet, error)) return Fail(error);
  if (!options_.quiet) {
    std::fprintf(stderr, "wrote %lld frames (%.2f s at %lld/%lld fps)\n", static_cast<long long>(framesWritten_),
                 sglockstep::FrameSeconds(options_.rate, framesWritten_), static_cast<long long>(options_.rate.num),
                 static_cast<long long>(options_.rate.den));
  }
  return true;
}

int Capture::Run() {
  if (!Prepare() || !OpenOutputs()) return 1;
  sglockstep::Options lockstep;
  lockstep.rate = options_.rate;
  lockstep.width = options_.width;
  lockstep.height = options_.height;
  lockstep.keys = options_.keys;
  if (options_.to >= 0.0) lockstep.keys.push_back({options_.to, VK_ESCAPE});
  std::stable_sort(lockstep.keys.begin(), lockstep.keys.end(),
                   [](const sglockstep::ScheduledKey& a, const sglockstep::ScheduledKey& b) {
                     return a.seconds < b.seconds;
                   });
  lockstep.onFrame = [this](const host::FrameInfo& info, double seconds) { OnFrame(info, seconds); };
  sglockstep::Install(lockstep);
  audio_host::SetFreeHook([this] { TakeSound(); });
  int code = WinMain(GetModuleHandleA(NULL), NULL, const_cast<char*>(""), SW_SHOW);
  return Finish(code) ? 0 : 1;
}

}  // namespace

int RunCapture(const CaptureOptions& options) {
  Capture capture(options);
  return capture.Run();
}

}  // namespace sgcapture
