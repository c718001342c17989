#include "capture_run.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "audio/audio_host.h"
#include "capture_paths.h"
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

void Say(const std::string& message) {
  std::fprintf(stderr, "stormglass-capture: %s\n", message.c_str());
  std::fflush(stderr);
}

// The user's keys, with --to as Esc, in time order.
std::vector<sglockstep::ScheduledKey> ScheduledKeys(const CaptureOptions& options) {
  std::vector<sglockstep::ScheduledKey> keys = options.keys;
  if (options.to >= 0.0) keys.push_back({options.to, VK_ESCAPE});
  std::stable_sort(keys.begin(), keys.end(), [](const sglockstep::ScheduledKey& a, const sglockstep::ScheduledKey& b) {
    return a.seconds < b.seconds;
  });
  return keys;
}

// The program runs at motionBlur times the frame rate: every SwapBuffers is
// a sub-frame, and motionBlur of them make a frame of the output.
sglockstep::FrameRate RenderRate(const CaptureOptions& options) {
  return {options.rate.num * options.motionBlur, options.rate.den};
}

// A failure found before anything renders.
using Refusal = std::optional<CaptureResult>;

// The sound mixed so far; its format is read while the audio library is open.
struct MixedSound {
  std::vector<int16_t> samples;
  int rate = 0;
  int channels = 0;
};

// The output frames emitted, first to last.
struct FrameSpan {
  int64_t first;
  int64_t last;
};

// The sub-frames of one output frame, averaged (motion blur, supersampling).
struct Averaging {
  FrameAverager averager;
  int64_t frame = 0;  // the output frame the sub-frames added belong to
  std::vector<uint8_t> resolved;
};

// Owned by the pipeline's worker while it writes; read once it has finished.
struct WorkerSide {
  bool encoderBroken = false;
  int64_t framesEncoded = 0;
  std::vector<uint8_t> rgb;  // the PNG being written
};

// Everything one capture holds while the program runs.
class Capture {
 public:
  explicit Capture(const CaptureOptions& options)
      : options_(options), renderRate_(RenderRate(options)), showEnd_(renderRate_, ScheduledKeys(options)) {}
  CaptureResult Run();

 private:
  Refusal Prepare();
  Refusal CheckSurfaceSize();
  Refusal OpenOutputs();
  void OnFrame(const host::FrameInfo& info);
  void Carry(ShowRequest request);
  void TakeSound();
  void HearRestOfLastFrame(const host::FrameInfo& info);
  bool WriteFrame(const Frame& frame, std::string& error);
  void ReadCurrentFrame(const host::FrameInfo& info);
  void OnRead(int64_t subframe, const uint8_t* bgra);
  void FlushAverage();
  void Emit(int64_t frame, const uint8_t* bgra);
  void DrainReads();
  CaptureResult Finish(int programCode);
  CaptureResult WriteOutputs(const std::string& pipelineError, int signal);
  bool FinishVideo(const std::vector<int16_t>& sound, std::string& error);
  std::string Holds() const;
  std::vector<int16_t> WrittenSound() const;
  CaptureResult Report(CaptureResult result) const;

  CaptureOptions options_;
  sglockstep::FrameRate renderRate_;
  ShowEnd showEnd_;
  std::string ffmpeg_;
  std::string soundPath_;
  VideoEncoder encoder_;
  std::unique_ptr<FramePipeline> pipeline_;
  std::unique_ptr<ReadRing> ring_;
  std::unique_ptr<Averaging> averaging_;  // with motion blur or supersampling
  std::unique_ptr<ContactSheet> sheet_;
  std::unique_ptr<Progress> progress_;
  MixedSound sound_;
  WorkerSide worker_;
  std::optional<FrameSpan> emitted_;
  int64_t framesWritten_ = 0;
  int64_t framesRendered_ = 0;  // written or not (before --from): the progress bar's count
  int64_t lastSubframe_ = 0;
  bool readFailed_ = false;
  bool pipelineFailed_ = false;
  std::optional<int64_t> framesInVideo_;  // after a salvage: what the file holds, when known
};

Refusal Capture::Prepare() {
  for (std::string* path : {&options_.output, &options_.framesDir, &options_.contactSheet}) *path = Absolute(*path);
  std::string why;
  if (!options_.output.empty()) {
    ffmpeg_ = FindFfmpeg();
    if (ffmpeg_.empty()) return Result(Outcome::NoFfmpeg);
    std::string missing =
        MissingEncoder(ffmpeg_, {VideoEncoderName(options_.codec), AudioEncoderName(options_.audioCodec)});
    if (!missing.empty()) return Result(Outcome::EncoderMissing, {missing});
    if (!CanWriteFile(options_.output, why)) return Result(Outcome::CannotWrite, {why});
  }
  if (!options_.framesDir.empty() && !CanWriteInto(options_.framesDir, why)) {
    return Result(Outcome::CannotWrite, {why});
  }
  if (!options_.contactSheet.empty() && !CanWriteFile(options_.contactSheet, why)) {
    return Result(Outcome::CannotWrite, {why});
  }
  std::string dataDir = FindDataDir(options_.dataDir);
  if (dataDir.empty()) return Result(Outcome::NoDataFolder);
  if (chdir(dataDir.c_str()) != 0) {
    return Result(Outcome::CannotEnterDataFolder, {dataDir + ": " + std::strerror(errno)});
  }
  return std::nullopt;
}

// A supersampled surface the driver cannot make is refused before the show
// starts, rather than failing inside it.
Refusal Capture::CheckSurfaceSize() {
  if (options_.supersample == 1) return std::nullopt;
  int width = options_.width * options_.supersample, height = options_.height * options_.supersample;
  std::string error;
  if (host::CheckSurfaceSize(width, height, error)) return std::nullopt;
  auto size = [](int w, int h) { return std::to_string(w) + "x" + std::to_string(h); };
  return Result(Outcome::SurfaceTooLarge, {std::to_string(options_.supersample),
                                           size(options_.width, options_.height), size(width, height), error});
}

Refusal Capture::OpenOutputs() {
  std::string error;
  if (!options_.output.empty()) {
    EncoderSettings settings{options_.codec, options_.audioCodec, options_.x264Preset, options_.crf};
    if (!encoder_.Start(ffmpeg_, options_.output, options_.width, options_.height, options_.rate, settings, error)) {
      return Result(Outcome::OutputFailed, {error});
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
    averaging_ = std::make_unique<Averaging>(
        Averaging{FrameAverager(options_.width, options_.height, options_.supersample), 0, {}});
  }
  // Refined at the first frame, when the soundtrack's length is known.
  progress_ = std::make_unique<Progress>(showEnd_.PredictedLast() / options_.motionBlur + 1, options_.quiet);
  return std::nullopt;
}

// The pipeline's sink, on its worker thread.
bool Capture::WriteFrame(const Frame& frame, std::string& error) {
  if (!options_.output.empty()) {
    if (!encoder_.Write(frame.bgra.data(), frame.bgra.size(), error)) {
      worker_.encoderBroken = true;
      return false;
    }
    ++worker_.framesEncoded;
  }
  if (!options_.framesDir.empty()) {
    char name[64];
    std::snprintf(name, sizeof(name), "/frame_%06lld.png", static_cast<long long>(frame.index));
    BgraBottomUpToRgb(frame.bgra.data(), frame.width, frame.height, worker_.rgb);
    return WritePng(options_.framesDir + name, frame.width, frame.height, worker_.rgb.data(), 1, error);
  }
  return true;
}

void Capture::TakeSound() {
  sound_.rate = audio_host::OutputRate();
  sound_.channels = audio_host::OutputChannels();
  std::vector<int16_t> chunk;
  audio_host::OfflineTakeMix(chunk);
  sound_.samples.insert(sound_.samples.end(), chunk.begin(), chunk.end());
}

// The show ends on its first sub-frame at or past its end, before the rest of
// that frame has been heard: the sound goes on to the frame's end, as it
// does without blur.
void Capture::HearRestOfLastFrame(const host::FrameInfo& info) {
  int64_t frame = info.index / options_.motionBlur;
  int sampleRate = audio_host::OutputRate();
  if (!showEnd_.IsPredictedLast(info.index) || options_.motionBlur == 1 || sampleRate <= 0) return;
  audio_host::OfflineAdvanceTo(sglockstep::FrameSample(options_.rate, frame + 1, sampleRate));
}

// The swap hook: takes the frame's sound, watches the show's end and reads
// the frame back.
void Capture::OnFrame(const host::FrameInfo& info) {
  HearRestOfLastFrame(info);
  TakeSound();
  lastSubframe_ = info.index;
  framesRendered_ = info.index / options_.motionBlur + 1;
  progress_->Update(framesRendered_);
  ShowRequest request = showEnd_.Watch(info.index, audio_host::Music(), InterruptSignal() != 0);
  if (info.index == 0) progress_->SetTotal(showEnd_.PredictedLast() / options_.motionBlur + 1);
  Carry(request);
  if (showEnd_.PastEnd(info.index)) return;
  ReadCurrentFrame(info);
}

// What the show's end asks of the program, done as a viewer or the system
// would: never by leaving the process from inside the hook.
void Capture::Carry(ShowRequest request) {
  switch (request) {
    case ShowRequest::None:
      break;
    case ShowRequest::End:
      host::QueueKey(VK_ESCAPE);
      break;
    case ShowRequest::EndAndClose:
      host::QueueKey(VK_ESCAPE);
      host::QueueClose();
      break;
    case ShowRequest::Stop:
      // Esc went unanswered: the quit message ends the main loop itself, and
      // the run finishes the files once the program has shut down.
      PostQuitMessage(0);
      break;
  }
}

void Capture::ReadCurrentFrame(const host::FrameInfo& info) {
  int64_t frame = info.index / options_.motionBlur;
  if (!ring_ || pipelineFailed_ || readFailed_) return;
  if (sglockstep::FrameSeconds(options_.rate, frame) + 1e-9 < options_.from) return;
  if (!ring_->Queue(info.index)) {
    readFailed_ = true;
    Say("reading frames back failed (OpenGL pixel buffers): the capture stops");
    Carry(showEnd_.AskEnd(info.index));
  }
}

// A sub-frame read back: the output frame itself, or a part of one.
void Capture::OnRead(int64_t subframe, const uint8_t* bgra) {
  int64_t frame = subframe / options_.motionBlur;
  if (!averaging_) {
    Emit(frame, bgra);
    return;
  }
  if (frame != averaging_->frame) FlushAverage();
  averaging_->frame = frame;
  averaging_->averager.Add(bgra);
  if (subframe % options_.motionBlur == options_.motionBlur - 1) FlushAverage();
}

// A frame cut short (the show ended within it) averages what it has.
void Capture::FlushAverage() {
  if (!averaging_ || averaging_->averager.Count() == 0) return;
  averaging_->averager.Resolve(averaging_->resolved);
  Emit(averaging_->frame, averaging_->resolved.data());
}

void Capture::Emit(int64_t frame, const uint8_t* bgra) {
  if (pipelineFailed_) return;
  emitted_ = FrameSpan{emitted_ ? emitted_->first : frame, frame};
  const int width = options_.width, height = options_.height;
  if (pipeline_) {
    Frame* out = nullptr;
    if (!pipeline_->Acquire(out)) {
      pipelineFailed_ = true;
      Carry(showEnd_.AskEnd(lastSubframe_));  // nothing more can be written
      return;
    }
    out->index = framesWritten_;
    out->width = width;
    out->height = height;
    out->bgra.assign(bgra, bgra + static_cast<size_t>(width) * height * 4);
    pipeline_->Submit(out);
  }
  if (sheet_) sheet_->Offer(sglockstep::FrameSeconds(options_.rate, frame), width, height, bgra);
  ++framesWritten_;
}

// Called while the context is still current, before it goes.
void Capture::DrainReads() {
  if (ring_) ring_->Drain();
  FlushAverage();
}

std::vector<int16_t> Capture::WrittenSound() const {
  int rate = sound_.rate, channels = sound_.channels;
  if (!emitted_ || rate <= 0) return {};
  size_t begin = sglockstep::FrameSample(options_.rate, emitted_->first, rate) * channels;
  size_t end = sglockstep::FrameSample(options_.rate, emitted_->last + 1, rate) * channels;
  std::vector<int16_t> written(end - std::min(begin, end), 0);
  const std::vector<int16_t>& all = sound_.samples;
  if (begin < all.size()) std::copy(all.begin() + begin, all.begin() + std::min(end, all.size()), written.begin());
  return written;
}

bool Capture::FinishVideo(const std::vector<int16_t>& sound, std::string& error) {
  bool ok = WriteWav(soundPath_, sound, sound_.rate, sound_.channels, error) &&
            encoder_.Finish(soundPath_, error, worker_.encoderBroken);
  std::remove(soundPath_.c_str());
  if (ok && worker_.encoderBroken) {
    int64_t frames = CountVideoFrames(ffmpeg_, options_.output);
    if (frames >= 0) framesInVideo_ = frames;
  }
  return ok;
}

// What the main output holds now, for the messages of an early end.
std::string Capture::Holds() const {
  const std::string& where = !options_.output.empty()     ? options_.output
                             : !options_.framesDir.empty() ? options_.framesDir
                                                           : options_.contactSheet;
  if (worker_.encoderBroken && !framesInVideo_) {
    return where + " holds what the encoder finished of the " + std::to_string(worker_.framesEncoded) +
           " frames it took";
  }
  int64_t frames = worker_.encoderBroken ? *framesInVideo_ : framesWritten_;
  return where + " holds " + std::to_string(frames) + " frames (" +
         SecondsText(sglockstep::FrameSeconds(options_.rate, frames)) + ")";
}

// Finishes every output from what was written and says how the capture
// ended: a failure of the program or of the writing first, then an early end.
CaptureResult Capture::Finish(int programCode) {
  std::string pipelineError;
  bool framesOk = !pipeline_ || pipeline_->Finish(pipelineError);
  const int signal = InterruptSignal();
  progress_->Done(framesRendered_);
  if (!framesOk && !worker_.encoderBroken) return Result(Outcome::OutputFailed, {pipelineError});
  if (programCode != 0) return Result(Outcome::ShowFailed, {std::to_string(programCode)});
  if (options_.renderOnly) return Result(signal ? Outcome::RenderInterrupted : Outcome::Rendered, {}, signal);
  if (framesWritten_ == 0) {
    return signal ? Result(Outcome::InterruptedEarly, {SignalName(signal)}, signal) : Result(Outcome::NothingWritten);
  }
  return WriteOutputs(pipelineError, signal);
}

CaptureResult Capture::WriteOutputs(const std::string& pipelineError, int signal) {
  std::string error;
  std::vector<int16_t> sound = WrittenSound();
  if (!options_.framesDir.empty() &&
      !WriteWav(options_.framesDir + "/audio.wav", sound, sound_.rate, sound_.channels, error)) {
    return Result(Outcome::OutputFailed, {error});
  }
  if (!options_.output.empty() && !FinishVideo(sound, error)) return Result(Outcome::OutputFailed, {error});
  if (sheet_ && !sheet_->Write(options_.contactSheet, error)) return Result(Outcome::OutputFailed, {error});
  if (!showEnd_.MusicEndNote().empty()) Say(showEnd_.MusicEndNote());
  if (worker_.encoderBroken) return Result(Outcome::EncoderBroke, {pipelineError, Holds()});
  if (std::optional<double> stalledAt = showEnd_.StalledAtSeconds()) {
    return Result(Outcome::Stalled, {SecondsText(*stalledAt), SecondsText(ShowEnd::kStallMarginSeconds), Holds()});
  }
  if (signal != 0) return Result(Outcome::Interrupted, {SignalName(signal), Holds()}, signal);
  if (showEnd_.CurrentState() == ShowEnd::State::Stopped) return Result(Outcome::KeptDrawing, {Holds()});
  return Result(Outcome::Written, {std::to_string(framesWritten_),
                                   SecondsText(sglockstep::FrameSeconds(options_.rate, framesWritten_)),
                                   std::to_string(options_.rate.num), std::to_string(options_.rate.den)});
}

// A success is reported plainly (unless --quiet); anything else is the
// tool's complaint.
CaptureResult Capture::Report(CaptureResult result) const {
  if (result.message.empty()) return result;
  if (result.exitCode != 0) {
    Say(result.message);
  } else if (!options_.quiet) {
    std::fprintf(stderr, "%s\n", result.message.c_str());
  }
  return result;
}

CaptureResult Capture::Run() {
  Refusal refusal = Prepare();
  if (!refusal) refusal = CheckSurfaceSize();
  if (!refusal) refusal = OpenOutputs();
  if (refusal) return Report(*refusal);
  sglockstep::Options lockstep;
  lockstep.rate = renderRate_;
  lockstep.width = options_.width * options_.supersample;
  lockstep.height = options_.height * options_.supersample;
  lockstep.keys = ScheduledKeys(options_);
  lockstep.onFrame = [this](const host::FrameInfo& info, double) { OnFrame(info); };
  sglockstep::Install(lockstep);
  host::AddAlphaForReadBack(!options_.renderOnly);
  audio_host::SetFreeHook([this] { TakeSound(); });
  host::SetContextReleaseHook([this] { DrainReads(); });
  int code = WinMain(GetModuleHandleA(NULL), NULL, const_cast<char*>(""), SW_SHOW);
  return Report(Finish(code));
}

}  // namespace

CaptureResult RunCapture(const CaptureOptions& options) {
  Capture capture(options);
  return capture.Run();
}

}  // namespace sgcapture
