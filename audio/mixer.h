// The state shared by the main thread and the output's mixer thread: music
// streams, samples and their playbacks, positions and syncs, behind one lock.
// The main thread creates, starts, seeks and queries; the output calls Render,
// which runs the due sync procs after mixing, outside the lock, on its thread.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/bass.h"
#include "audio/frame_lead.h"
#include "audio/pcm.h"

namespace sgaudio {

class Mixer {
 public:
  static constexpr int kOutputChannels = 2;
  // Callers pass the time, so the latency model needs no clock of its own.
  using Clock = std::chrono::steady_clock;
  using TimePoint = Clock::time_point;

  explicit Mixer(int outputRate);
  ~Mixer();
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  int OutputRate() const { return outputRate_; }
  // For outputs with a device buffer: what each delivery of renders put in it
  // is still to be heard, draining in real time, so the position lags the mix.
  void SetDeviceBuffered(bool buffered);
  // For outputs that can ask the device how much of their output it has
  // played (waveOut): `playedFrames` gives the frames played since the output
  // last started, held steady while it is stopped; whatever was rendered
  // beyond that is still to be heard. Replaces the model above. Called on
  // the main thread with the mixer's lock held: it must not call back in.
  void SetDeviceClock(std::function<uint64_t()> playedFrames);
  // For outputs a viewer watches frames beside: each position read starts a
  // frame, and positions (and the spectrum) are those that will be heard
  // when that frame reaches the screen, as long as recent frames took.
  void SetFrameLead(bool lead);
  // For outputs behind a sound server (any thread): at `at`, the whole way
  // to the ear held `frames` frames. What it holds beyond the device
  // buffer's own model is counted in every later position, smoothed.
  void NotePathHeld(uint64_t frames, TimePoint at);

  // Main thread. Those returning int give BASS_OK or a BASS_ERROR_* code.
  DWORD AddStream(PcmBuffer pcm);
  DWORD AddSample(PcmBuffer pcmAtOutputRate, int maxPlaybacks);
  int Play(DWORD stream, bool fromStart);
  int StreamFormat(DWORD stream, int& rate, int& channels);
  int Position(DWORD stream, TimePoint now, QWORD& bytes);
  int SetPosition(DWORD stream, QWORD bytes);
  int AddSync(DWORD stream, QWORD bytes, SYNCPROC* proc, DWORD user, HSYNC& sync);
  int PlaySample(DWORD sample, HCHANNEL& channel);
  int StopSample(DWORD sample);
  struct StreamState {
    uint64_t lengthFrames = 0;
    int rate = 0;
    bool ended = false;  // played to its end; it stays there
  };
  // The first stream added; false when there is none.
  bool FirstStreamState(StreamState& state);
  // 512 magnitudes of the music around the position heard.
  int Spectrum(DWORD stream, TimePoint now, float* bins);
  // Called once the output has stopped rendering: what was mixed but not yet
  // heard is taken back, so positions hold and a restart continues seamlessly.
  void Freeze(TimePoint now);
  // For outputs that queue far ahead of what is heard (the page): the output
  // dropped the last `frames` frames it was given, unheard, so a seek or a
  // new sample is heard at once. They are mixed again from the current
  // state: streams step back (never before a position already reported or
  // sought), sample playbacks too, and the device clock's count with them.
  void TakeBack(uint64_t frames);

  // The output's thread: mixes `frames` interleaved stereo frames, handed to
  // the device at `now`.
  void Render(int16_t* out, size_t frames, TimePoint now);

 private:
  struct Stream;
  struct Sample;
  struct PendingSync {
    SYNCPROC* proc;
    HSYNC sync;
    DWORD channel;
    DWORD user;
  };
  Stream* FindStream(DWORD handle);
  Sample* FindSample(DWORD handle);
  uint64_t HeardFrame(Stream& stream, TimePoint now);
  uint64_t DeviceHeldFrames(TimePoint now) const;
  uint64_t HeldOutputFrames(TimePoint now) const;
  TimePoint ShownAt(TimePoint now, bool frameStarts);
  void NoteDelivery(size_t frames, TimePoint now);
  void MixStream(Stream& stream, int32_t* mix, size_t frames);
  void MixSample(Sample& sample, int32_t* mix, size_t frames);

  const int outputRate_;
  std::mutex mutex_;
  std::vector<std::unique_ptr<Stream>> streams_;
  std::vector<std::unique_ptr<Sample>> samples_;
  size_t syncCount_ = 0;
  bool deviceBuffered_ = false;
  bool rendered_ = false;
  TimePoint lastRender_{};
  uint64_t deliveredFrames_ = 0;  // rendered back to back into the device, up to lastRender_
  std::function<uint64_t()> deviceClock_;
  uint64_t renderedFrames_ = 0;  // since the output last started, for the device clock
  bool frameLead_ = false;
  FrameLead lead_;
  bool pathNoted_ = false;
  double pathBeyondDevice_ = 0.0;  // frames, may be negative where the model is generous
  // Touched only by the rendering thread, so procs can run outside the lock;
  // sized under the lock before use (each sync fires at most once a render).
  std::vector<PendingSync> dueSyncs_;
};

}  // namespace sgaudio
