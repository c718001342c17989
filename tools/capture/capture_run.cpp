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
#include "frame_average.h"
#include "frame_pipeline.h"
#include "image_files.h"
#include "interrupt.h"
#include "opengl.h"
#include "progress.h"
#include "read_ring.h"
#include "sequence/show_course.h"
#include "show_end.h"
#include "video_encoder.h"

namespace sgcapture {

namespace {

// A show still running this long after its predicted end has stalled.
constexpr double kStallMarginSeconds = 10.0;
// A show asked to end that still draws this long afterwards is stopped.
constexpr double kEndGraceSeconds = 1.0;
constexpr int kFailureExitCode = 1;

void Say(const std::string& message) {
  std::fprintf(stderr, "stormglass-capture: %s\n", message.c_str());
  std::fflush(stderr);
}

bool Fail(const std::string& message) {
  Say(message);
  return false;
}

int Failure(const std::string& message) {
  Say(message);
  return kFailureExitCode;
}

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof(text), "%.2f s", seconds);
  return text;
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

// Everything one capture holds while the program runs.
class Capture {
 public:
  explicit Capture(const CaptureOptions& options) : options_(options) {}
  int Run();

 private:
  bool Prepare();
  bool OpenOutputs();
  void OnFrame(const host::FrameInfo& info, double seconds);
  void PlanShow();
  void WatchShow(const host::FrameInfo& info, double seconds);
  void EndShow(int64_t frame);
  void TakeSound();
  void HearRestOfLastFrame(const host::FrameInfo& info);
  bool WriteFrame(const Frame& frame, std::string& error);
  bool CheckSurfaceSize();
  void ReadCurrentFrame(const host::FrameInfo& info);
  void OnRead(int64_t subframe, const uint8_t* bgra);
  void FlushAverage();
  void Emit(int64_t frame, const uint8_t* bgra);
  void DrainReads();
  int Finish(int programCode);
  bool FinishVideo(const std::vector<int16_t>& sound);
  std::string Holds() const;
  std::vector<int16_t> WrittenSound() const;

  CaptureOptions options_;
  // The program runs at motionBlur times the frame rate: every SwapBuffers
  // is a sub-frame, and motionBlur of them make a frame of the output.
  sglockstep::FrameRate renderRate_;
  std::vector<sglockstep::ScheduledKey> keys_;  // the user's, with --to as Esc
  std::string ffmpeg_;
  std::string soundPath_;
  VideoEncoder encoder_;
  std::unique_ptr<FramePipeline> pipeline_;
  std::unique_ptr<ReadRing> ring_;
  std::unique_ptr<FrameAverager> averager_;  // with motion blur or supersampling
  int64_t averagedFrame_ = -1;
  int64_t lastSubframe_ = 0;
  std::vector<uint8_t> resolved_;
  std::vector<uint8_t> sheetRgb_;
  std::unique_ptr<ContactSheet> sheet_;
  std::unique_ptr<Progress> progress_;
  std::vector<int16_t> sound_;
  int soundRate_ = 0;  // kept while the audio library is open
  int soundChannels_ = 0;
  int64_t firstWritten_ = -1;
  int64_t lastWritten_ = -1;
  int64_t framesWritten_ = 0;
  int64_t framesRendered_ = 0;  // written or not (before --from): the progress bar's count
  bool readFailed_ = false;
  bool pipelineFailed_ = false;
  // Written by the pipeline's worker; read once the pipeline has finished.
  bool encoderBroken_ = false;
  int64_t framesEncoded_ = 0;
  int64_t framesInVideo_ = -1;  // after a salvage: what the file holds
  // How the show goes, watched frame by frame.
  int64_t stallFrame_ = 0;
  int64_t predictedLast_ = -1;  // the sub-frame the show is expected to end on
  int64_t endAskedFrame_ = -1;  // the frame after which the show was asked to end
  std::string musicEndNote_;
  std::string stallNote_;
};

bool Capture::Prepare() {
  for (std::string* path : {&options_.output, &options_.framesDir, &options_.contactSheet}) *path = Absolute(*path);
  if (!options_.output.empty()) {
    ffmpeg_ = FindFfmpeg();
    if (ffmpeg_.empty()) {
      return Fail("ffmpeg was not found on PATH: install it (apt-get install ffmpeg), or write PNG frames "
                  "with --frames DIR");
    }
    std::string missing =
        MissingEncoder(ffmpeg_, {VideoEncoderName(options_.codec), AudioEncoderName(options_.audioCodec)});
    if (!missing.empty()) return Fail(missing);
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
    EncoderSettings settings{options_.codec, options_.audioCodec, options_.x264Preset, options_.crf};
    if (!encoder_.Start(ffmpeg_, options_.output, options_.width, options_.height, options_.rate, settings, error)) {
      return Fail(error);
    }
    soundPath_ = options_.output + ".sound.wav";
  }
  if (!options_.output.empty() || !options_.framesDir.empty()) {
    pipeline_ = std::make_unique<FramePipeline>(
        [this](const Frame& frame, std::string& sinkError) { return WriteFrame(frame, sinkError); });
  }
  if (!options_.contactSheet.empty()) sheet_ = std::make_unique<ContactSheet>();
  if (!options_.renderOnly) {
    ring_ = std::make_unique<ReadRing>(
        [this](int64_t subframe, const uint8_t* bgra, int, int) { OnRead(subframe, bgra); });
  }
  if (options_.motionBlur > 1 || options_.supersample > 1) {
    averager_ = std::make_unique<FrameAverager>(options_.width, options_.height, options_.supersample);
  }
  // Refined at the first frame, when the soundtrack's length is known.
  progress_ = std::make_unique<Progress>(
      PredictLastFrame(renderRate_, keys_, kShowEndSeconds) / options_.motionBlur + 1, options_.quiet);
  return true;
}

bool Capture::WriteFrame(const Frame& frame, std::string& error) {
  if (!options_.output.empty()) {
    if (!encoder_.Write(frame.bgra.data(), frame.bgra.size(), error)) {
      encoderBroken_ = true;
      return false;
    }
    ++framesEncoded_;
  }
  if (!options_.framesDir.empty()) {
    char name[64];
    std::snprintf(name, sizeof(name), "/frame_%06lld.png", static_cast<long long>(frame.index));
    // Only the worker thread writes PNGs, so one buffer does.
    static std::vector<uint8_t> rgb;
    BgraBottomUpToRgb(frame.bgra.data(), frame.width, frame.height, rgb);
    return WritePng(options_.framesDir + name, frame.width, frame.height, rgb.data(), 1, error);
  }
  return true;
}

// A supersampled surface the driver cannot make is refused before the show
// starts, rather than failing inside it.
bool Capture::CheckSurfaceSize() {
  if (options_.supersample == 1) return true;
  int width = options_.width * options_.supersample, height = options_.height * options_.supersample;
  std::string error;
  if (host::CheckSurfaceSize(width, height, error)) return true;
  return Fail("--supersample " + std::to_string(options_.supersample) + " at " + std::to_string(options_.width) + "x" +
              std::to_string(options_.height) + " renders at " + std::to_string(width) + "x" + std::to_string(height) +
              ", but " + error + ": choose a smaller --size or --supersample");
}

void Capture::TakeSound() {
  soundRate_ = audio_host::OutputRate();
  soundChannels_ = audio_host::OutputChannels();
  std::vector<int16_t> chunk;
  audio_host::OfflineTakeMix(chunk);
  sound_.insert(sound_.end(), chunk.begin(), chunk.end());
}

// The show's end predicted from the keys and the soundtrack; past it, with a
// margin, the show has stalled.
void Capture::PlanShow() {
  audio_host::MusicState music = audio_host::Music();
  double length = music.lengthSeconds > 0.0 ? music.lengthSeconds : kShowEndSeconds;
  int64_t last = PredictLastFrame(renderRate_, keys_, length);
  progress_->SetTotal(last / options_.motionBlur + 1);
  predictedLast_ = last;
  stallFrame_ = FirstFrameAtOrAfter(renderRate_, sglockstep::FrameSeconds(renderRate_, last) + kStallMarginSeconds);
}

// Asks the program to end after this frame, as a viewer's Esc would.
void Capture::EndShow(int64_t frame) {
  if (endAskedFrame_ < 0) endAskedFrame_ = frame;
  host::QueueKey(VK_ESCAPE);
}

// Ends the show when the soundtrack has ended (it never advances again), when
// the capture is interrupted, or when the show has stalled; and stops the
// process outright if the program goes on drawing after being asked to end.
void Capture::WatchShow(const host::FrameInfo& info, double seconds) {
  if (info.index == 0) PlanShow();
  audio_host::MusicState music = audio_host::Music();
  if (music.ended && endAskedFrame_ < 0) {
    if (music.lengthSeconds < kShowEndSeconds) {
      musicEndNote_ = "the soundtrack ends at " + Seconds(music.lengthSeconds) + ", before the show's end at " +
                      Seconds(kShowEndSeconds) + "; the video stops there";
    }
    EndShow(info.index);
  }
  if (InterruptSignal() != 0 && endAskedFrame_ < 0) EndShow(info.index);
  if (info.index >= stallFrame_ && stallNote_.empty()) {
    stallNote_ = "the show had not ended by " + Seconds(seconds) + " of show time, " + Seconds(kStallMarginSeconds) +
                 " after its predicted end: it has stalled, so the capture stops";
    EndShow(info.index);
    host::QueueClose();
  }
  if (endAskedFrame_ >= 0 && info.index > endAskedFrame_ + FirstFrameAtOrAfter(renderRate_, kEndGraceSeconds)) {
    // The program no longer answers: finish the files from here.
    DrainReads();
    int code = Finish(0);
    std::fflush(nullptr);
    std::_Exit(code == 0 ? kFailureExitCode : code);
  }
}

// The show ends on its first sub-frame at or past its end, before the rest of
// that frame has been heard: the sound goes on to the frame's end, as it
// does without blur.
void Capture::HearRestOfLastFrame(const host::FrameInfo& info) {
  int64_t frame = info.index / options_.motionBlur;
  int sampleRate = audio_host::OutputRate();
  if (info.index != predictedLast_ || options_.motionBlur == 1 || sampleRate <= 0) return;
  audio_host::OfflineAdvanceTo(sglockstep::FrameSample(options_.rate, frame + 1, sampleRate));
}

void Capture::OnFrame(const host::FrameInfo& info, double seconds) {
  HearRestOfLastFrame(info);
  TakeSound();
  lastSubframe_ = info.index;
  framesRendered_ = info.index / options_.motionBlur + 1;
  progress_->Update(framesRendered_);
  WatchShow(info, seconds);
  if (info.index > endAskedFrame_ && endAskedFrame_ >= 0) return;  // past the end asked for
  ReadCurrentFrame(info);
}

void Capture::ReadCurrentFrame(const host::FrameInfo& info) {
  int64_t frame = info.index / options_.motionBlur;
  if (!ring_ || pipelineFailed_ || readFailed_) return;
  if (sglockstep::FrameSeconds(options_.rate, frame) + 1e-9 < options_.from) return;
  if (!ring_->Queue(info.index)) {
    readFailed_ = true;
    Say("reading frames back failed (OpenGL pixel buffers): the capture stops");
    EndShow(info.index);
  }
}

// A sub-frame read back: the output frame itself, or a part of one.
void Capture::OnRead(int64_t subframe, const uint8_t* bgra) {
  int64_t frame = subframe / options_.motionBlur;
  if (!averager_) {
    Emit(frame, bgra);
    return;
  }
  if (frame != averagedFrame_) FlushAverage();
  averagedFrame_ = frame;
  averager_->Add(bgra);
  if (subframe % options_.motionBlur == options_.motionBlur - 1) FlushAverage();
}

// A frame cut short (the show ended within it) averages what it has.
void Capture::FlushAverage() {
  if (!averager_ || averager_->Count() == 0) return;
  averager_->Resolve(resolved_);
  Emit(averagedFrame_, resolved_.data());
}

void Capture::Emit(int64_t frame, const uint8_t* bgra) {
  if (pipelineFailed_) return;
  if (firstWritten_ < 0) firstWritten_ = frame;
  lastWritten_ = frame;
  const int width = options_.width, height = options_.height;
  if (pipeline_) {
    Frame* out = nullptr;
    if (!pipeline_->Acquire(out)) {
      pipelineFailed_ = true;
      EndShow(lastSubframe_);  // nothing more can be written
      return;
    }
    out->index = framesWritten_;
    out->width = width;
    out->height = height;
    out->bgra.assign(bgra, bgra + static_cast<size_t>(width) * height * 4);
    pipeline_->Submit(out);
  }
  double seconds = sglockstep::FrameSeconds(options_.rate, frame);
  if (sheet_ && sheet_->Wants(seconds)) {
    BgraBottomUpToRgb(bgra, width, height, sheetRgb_);
    sheet_->Offer(seconds, width, height, sheetRgb_.data());
  }
  ++framesWritten_;
}

// Called while the context is still current, before it goes.
void Capture::DrainReads() {
  if (ring_) ring_->Drain();
  FlushAverage();
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

bool Capture::FinishVideo(const std::vector<int16_t>& sound) {
  std::string error;
  bool ok = WriteWav(soundPath_, sound, soundRate_, soundChannels_, error) &&
            encoder_.Finish(soundPath_, error, encoderBroken_);
  std::remove(soundPath_.c_str());
  if (!ok) return Fail(error);
  if (encoderBroken_) framesInVideo_ = CountVideoFrames(ffmpeg_, options_.output);
  return true;
}

// What the main output holds now, for the messages of an early end.
std::string Capture::Holds() const {
  const std::string& where = !options_.output.empty()     ? options_.output
                             : !options_.framesDir.empty() ? options_.framesDir
                                                           : options_.contactSheet;
  if (encoderBroken_ && framesInVideo_ < 0) {
    return where + " holds what the encoder finished of the " + std::to_string(framesEncoded_) + " frames it took";
  }
  int64_t frames = encoderBroken_ ? framesInVideo_ : framesWritten_;
  return where + " holds " + std::to_string(frames) + " frames (" +
         Seconds(sglockstep::FrameSeconds(options_.rate, frames)) + ")";
}

// Finishes every output from what was written, says how the capture ended
// and returns the exit code: 0, 1 for a failure or a stall, 128 + the signal
// for an interruption.
int Capture::Finish(int programCode) {
  std::string pipelineError;
  bool framesOk = !pipeline_ || pipeline_->Finish(pipelineError);
  const int signal = InterruptSignal();
  progress_->Done(framesRendered_);
  if (!framesOk && !encoderBroken_) return Failure(pipelineError);
  if (programCode != 0) {
    return Failure("the show ended on a failure (exit code " + std::to_string(programCode) + ")");
  }
  if (options_.renderOnly) return signal ? 128 + signal : 0;
  if (framesWritten_ == 0) {
    Fail(signal ? std::string("interrupted by ") + SignalName(signal) + " before the first frame"
                : "no frame was written: --from lies past the end of the show");
    return signal ? 128 + signal : kFailureExitCode;
  }
  std::string error;
  std::vector<int16_t> sound = WrittenSound();
  if (!options_.framesDir.empty() &&
      !WriteWav(options_.framesDir + "/audio.wav", sound, soundRate_, soundChannels_, error)) {
    return Failure(error);
  }
  if (!options_.output.empty() && !FinishVideo(sound)) return kFailureExitCode;
  if (sheet_ && !sheet_->Write(options_.contactSheet, error)) return Failure(error);
  if (!musicEndNote_.empty()) Say(musicEndNote_);
  if (encoderBroken_) return Failure(pipelineError + ": " + Holds());
  if (!stallNote_.empty()) return Failure(stallNote_ + "; " + Holds());
  if (signal != 0) {
    Say(std::string("interrupted by ") + SignalName(signal) + ": " + Holds());
    return 128 + signal;
  }
  if (!options_.quiet) {
    std::fprintf(stderr, "wrote %lld frames (%.2f s at %lld/%lld fps)\n", static_cast<long long>(framesWritten_),
                 sglockstep::FrameSeconds(options_.rate, framesWritten_), static_cast<long long>(options_.rate.num),
                 static_cast<long long>(options_.rate.den));
  }
  return 0;
}

int Capture::Run() {
  keys_ = options_.keys;
  if (options_.to >= 0.0) keys_.push_back({options_.to, VK_ESCAPE});
  std::stable_sort(keys_.begin(), keys_.end(), [](const sglockstep::ScheduledKey& a, const sglockstep::ScheduledKey& b) {
    return a.seconds < b.seconds;
  });
  renderRate_ = {options_.rate.num * options_.motionBlur, options_.rate.den};
  if (!Prepare() || !CheckSurfaceSize() || !OpenOutputs()) return kFailureExitCode;
  sglockstep::Options lockstep;
  lockstep.rate = renderRate_;
  lockstep.width = options_.width * options_.supersample;
  lockstep.height = options_.height * options_.supersample;
  lockstep.keys = keys_;
  lockstep.onFrame = [this](const host::FrameInfo& info, double seconds) { OnFrame(info, seconds); };
  sglockstep::Install(lockstep);
  host::AddAlphaForReadBack(!options_.renderOnly);
  audio_host::SetFreeHook([this] { TakeSound(); });
  host::SetContextReleaseHook([this] { DrainReads(); });
  int code = WinMain(GetModuleHandleA(NULL), NULL, const_cast<char*>(""), SW_SHOW);
  return Finish(code);
}

}  // namespace

int RunCapture(const CaptureOptions& options) {
  Capture capture(options);
  return capture.Run();
}

}  // namespace sgcapture
