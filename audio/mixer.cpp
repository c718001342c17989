#include "audio/mixer.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <utility>

#include "audio/spectrum.h"

namespace sgaudio {

namespace {

// Handles carry their kind in the top bits and never repeat within a process,
// so a handle kept past BASS_Free or of the wrong kind is simply not found.
enum HandleKind : DWORD { kStreamKind = 1, kSampleKind = 2, kChannelKind = 3, kSyncKind = 4 };

DWORD NewHandle(HandleKind kind) {
  static std::atomic<DWORD> counter{0};
  DWORD serial = (counter.fetch_add(1) + 1) & 0x0FFFFFFF;
  return (static_cast<DWORD>(kind) << 28) | (serial == 0 ? 1 : serial);
}

constexpr size_t kBlockFrames = 256;
constexpr uint64_t kOne = uint64_t{1} << 32;  // fixed point 32.32

int16_t Saturate(int32_t value) {
  return static_cast<int16_t>(std::clamp<int32_t>(value, std::numeric_limits<int16_t>::min(),
                                                  std::numeric_limits<int16_t>::max()));
}

}  // namespace

struct Mixer::Stream {
  DWORD handle = 0;
  PcmBuffer pcm;  // never changes once added: read outside the lock
  uint64_t length = 0;
  uint64_t step = kOne;  // stream frames per output frame
  uint64_t cursor = 0;   // next frame to mix
  uint64_t fraction = 0;
  uint64_t heardFloor = 0;  // positions never go back while playing
  bool playing = false;
  struct Sync {
    HSYNC handle;
    uint64_t frame;
    SYNCPROC* proc;
    DWORD user;
  };
  std::vector<Sync> syncs;

  size_t BytesPerFrame() const { return sizeof(int16_t) * static_cast<size_t>(pcm.channels); }
};

struct Mixer::Sample {
  DWORD handle = 0;
  PcmBuffer pcm;
  size_t maxPlaybacks = 1;
  struct Playback {
    HCHANNEL channel;
    size_t cursor;
  };
  std::vector<Playback> playbacks;  // reserved to maxPlaybacks: no allocation while mixing
};

Mixer::Mixer(int outputRate) : outputRate_(outputRate) {}
Mixer::~Mixer() = default;

void Mixer::SetDeviceBuffered(bool buffered) {
  std::lock_guard<std::mutex> lock(mutex_);
  deviceBuffered_ = buffered;
}

void Mixer::SetDeviceClock(std::function<uint64_t()> playedFrames) {
  std::lock_guard<std::mutex> lock(mutex_);
  deviceClock_ = std::move(playedFrames);
}

void Mixer::SetFrameLead(bool lead) {
  std::lock_guard<std::mutex> lock(mutex_);
  frameLead_ = lead;
}

// Reported latencies jitter by a few milliseconds: a quarter of each new
// difference keeps the positions steady.
void Mixer::NotePathHeld(uint64_t frames, TimePoint at) {
  std::lock_guard<std::mutex> lock(mutex_);
  double beyond = static_cast<double>(frames) - static_cast<double>(DeviceHeldFrames(at));
  pathBeyondDevice_ = pathNoted_ ? pathBeyondDevice_ + (beyond - pathBeyondDevice_) / 4 : beyond;
  pathNoted_ = true;
}

DWORD Mixer::AddStream(PcmBuffer pcm) {
  auto stream = std::make_unique<Stream>();
  stream->handle = NewHandle(kStreamKind);
  stream->length = pcm.Frames();
  stream->step = (static_cast<uint64_t>(pcm.rate) << 32) / static_cast<uint64_t>(outputRate_);
  stream->pcm = std::move(pcm);
  DWORD handle = stream->handle;
  std::lock_guard<std::mutex> lock(mutex_);
  streams_.push_back(std::move(stream));
  return handle;
}

DWORD Mixer::AddSample(PcmBuffer pcmAtOutputRate, int maxPlaybacks) {
  auto sample = std::make_unique<Sample>();
  sample->handle = NewHandle(kSampleKind);
  sample->pcm = std::move(pcmAtOutputRate);
  sample->maxPlaybacks = static_cast<size_t>(maxPlaybacks);
  sample->playbacks.reserve(sample->maxPlaybacks);
  DWORD handle = sample->handle;
  std::lock_guard<std::mutex> lock(mutex_);
  samples_.push_back(std::move(sample));
  return handle;
}

Mixer::Stream* Mixer::FindStream(DWORD handle) {
  for (auto& stream : streams_) {
    if (stream->handle == handle) return stream.get();
  }
  return nullptr;
}

Mixer::Sample* Mixer::FindSample(DWORD handle) {
  for (auto& sample : samples_) {
    if (sample->handle == handle) return sample.get();
  }
  return nullptr;
}

int Mixer::Play(DWORD handle, bool fromStart) {
  std::lock_guard<std::mutex> lock(mutex_);
  Stream* stream = FindStream(handle);
  if (!stream) return BASS_ERROR_HANDLE;
  if (fromStart) {
    stream->cursor = stream->heardFloor = 0;
    stream->fraction = 0;
  }
  stream->playing = stream->cursor < stream->length;
  return BASS_OK;
}

int Mixer::StreamFormat(DWORD handle, int& rate, int& channels) {
  std::lock_guard<std::mutex> lock(mutex_);
  Stream* stream = FindStream(handle);
  if (!stream) return BASS_ERROR_HANDLE;
  rate = stream->pcm.rate;
  channels = stream->pcm.channels;
  return BASS_OK;
}

// A device whose buffer is larger than one render gets several renders in
// quick succession and then none until it has played them (SDL splits its
// buffer into callback-sized pieces): renders that follow one another within
// a quarter of their own duration fill the device together.
void Mixer::NoteDelivery(size_t frames, TimePoint now) {
  double gapFrames = std::chrono::duration<double>(now - lastRender_).count() * outputRate_;
  bool sameDelivery = rendered_ && gapFrames >= 0.0 && gapFrames < static_cast<double>(frames) / 4;
  deliveredFrames_ = (sameDelivery ? deliveredFrames_ : 0) + frames;
  rendered_ = true;
  lastRender_ = now;
}

uint64_t Mixer::HeldOutputFrames(TimePoint now) const {
  double held = static_cast<double>(DeviceHeldFrames(now)) + pathBeyondDevice_;
  return held > 0.0 ? static_cast<uint64_t>(held) : 0;
}

Mixer::TimePoint Mixer::ShownAt(TimePoint now, bool frameStarts) {
  if (!frameLead_) return now;
  if (frameStarts) lead_.NoteRead(now);
  return now + lead_.Lead();
}

uint64_t Mixer::DeviceHeldFrames(TimePoint now) const {
  if (deviceClock_) {
    uint64_t played = deviceClock_();
    return renderedFrames_ > played ? renderedFrames_ - played : 0;
  }
  if (!deviceBuffered_ || !rendered_) return 0;
  double drained = std::max(0.0, std::chrono::duration<double>(now - lastRender_).count()) * outputRate_;
  double delivered = static_cast<double>(deliveredFrames_);
  return drained >= delivered ? 0 : static_cast<uint64_t>(delivered - drained);
}

// The frame being heard: the mix cursor less what the device still holds,
// kept between the last position reported (or sought) and the cursor.
uint64_t Mixer::HeardFrame(Stream& stream, TimePoint now) {
  uint64_t held = HeldOutputFrames(now) * stream.step >> 32;
  uint64_t heard = stream.cursor > held ? stream.cursor - held : 0;
  heard = std::clamp(heard, stream.heardFloor, stream.cursor);
  stream.heardFloor = heard;
  return heard;
}

int Mixer::Position(DWORD handle, TimePoint now, QWORD& bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  Stream* stream = FindStream(handle);
  if (!stream) return BASS_ERROR_HANDLE;
  bytes = HeardFrame(*stream, ShownAt(now, true)) * stream->BytesPerFrame();
  return BASS_OK;
}

int Mixer::SetPosition(DWORD handle, QWORD bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  Stream* stream = FindStream(handle);
  if (!stream) return BASS_ERROR_HANDLE;
  uint64_t frame = bytes / stream->BytesPerFrame();
  if (frame >= stream->length) return BASS_ERROR_POSITION;
  // Audio already in the device keeps playing, but the position reads the
  // target at once and the mixer continues from it.
  stream->cursor = stream->heardFloor = frame;
  stream->fraction = 0;
  return BASS_OK;
}

bool Mixer::FirstStreamState(StreamState& state) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (streams_.empty()) return false;
  const Stream& stream = *streams_.front();
  state = {stream.length, stream.pcm.rate, !stream.playing && stream.cursor >= stream.length};
  return true;
}

int Mixer::AddSync(DWORD handle, QWORD bytes, SYNCPROC* proc, DWORD user, HSYNC& sync) {
  std::lock_guard<std::mutex> lock(mutex_);
  Stream* stream = FindStream(handle);
  if (!stream) return BASS_ERROR_HANDLE;
  sync = NewHandle(kSyncKind);
  stream->syncs.push_back({sync, bytes / stream->BytesPerFrame(), proc, user});
  ++syncCount_;
  return BASS_OK;
}

int Mixer::PlaySample(DWORD handle, HCHANNEL& channel) {
  std::lock_guard<std::mutex> lock(mutex_);
  Sample* sample = FindSample(handle);
  if (!sample) return BASS_ERROR_HANDLE;
  if (sample->playbacks.size() >= sample->maxPlaybacks) return BASS_ERROR_NOCHAN;
  channel = NewHandle(kChannelKind);
  sample->playbacks.push_back({channel, 0});
  return BASS_OK;
}

int Mixer::StopSample(DWORD handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  Sample* sample = FindSample(handle);
  if (!sample) return BASS_ERROR_HANDLE;
  sample->playbacks.clear();
  return BASS_OK;
}

int Mixer::Spectrum(DWORD handle, TimePoint now, float* bins) {
  const PcmBuffer* pcm = nullptr;
  int64_t centre = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    Stream* stream = FindStream(handle);
    if (!stream) return BASS_ERROR_HANDLE;
    centre = static_cast<int64_t>(HeardFrame(*stream, ShownAt(now, false)));
    pcm = &stream->pcm;  // immutable and kept until the mixer goes: safe unlocked
  }
  const int64_t frames = static_cast<int64_t>(pcm->Frames());
  const int channels = pcm->channels;
  float window[kSpectrumWindow];
  for (int i = 0; i < kSpectrumWindow; ++i) {
    int64_t frame = centre - kSpectrumWindow / 2 + i;
    float value = 0.0f;
    if (frame >= 0 && frame < frames) {
      const int16_t* at = &pcm->samples[static_cast<size_t>(frame * channels)];
      value = channels == 1 ? at[0] : 0.5f * (static_cast<float>(at[0]) + static_cast<float>(at[1]));
    }
    window[i] = value;
  }
  Spectrum1024(window, bins);
  return BASS_OK;
}

void Mixer::Freeze(TimePoint now) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto& stream : streams_) {
    stream->cursor = HeardFrame(*stream, now);
    stream->fraction = 0;
  }
  rendered_ = false;
  renderedFrames_ = 0;
}

void Mixer::TakeBack(uint64_t frames) {
  std::lock_guard<std::mutex> lock(mutex_);
  frames = std::min(frames, renderedFrames_);
  renderedFrames_ -= frames;
  for (auto& stream : streams_) {
    uint64_t back = frames * stream->step >> 32;
    uint64_t cursor = std::max(stream->cursor > back ? stream->cursor - back : 0, stream->heardFloor);
    if (cursor >= stream->cursor) continue;
    bool ended = !stream->playing && stream->cursor >= stream->length;
    stream->cursor = cursor;
    stream->fraction = 0;
    if (ended) stream->playing = true;
  }
  for (auto& sample : samples_) {
    for (Sample::Playback& playback : sample->playbacks) playback.cursor -= std::min<size_t>(playback.cursor, frames);
  }
}

void Mixer::MixStream(Stream& stream, int32_t* mix, size_t frames) {
  const uint64_t start = stream.cursor;
  const int16_t* pcm = stream.pcm.samples.data();
  const size_t channels = static_cast<size_t>(stream.pcm.channels);
  for (size_t i = 0; i < frames && stream.cursor < stream.length; ++i) {
    const int16_t* a = pcm + stream.cursor * channels;
    const int16_t* b = stream.cursor + 1 < stream.length ? a + channels : a;
    for (size_t c = 0; c < kOutputChannels; ++c) {
      size_t from = c < channels ? c : 0;  // mono goes to both sides
      int64_t value = a[from];
      if (stream.fraction != 0) value += ((b[from] - value) * static_cast<int64_t>(stream.fraction)) >> 32;
      mix[i * kOutputChannels + c] += static_cast<int32_t>(value);
    }
    uint64_t advance = stream.fraction + stream.step;
    stream.cursor += advance >> 32;
    stream.fraction = advance & (kOne - 1);
  }
  if (stream.cursor >= stream.length) {
    stream.cursor = stream.length;
    stream.fraction = 0;
    stream.playing = false;  // played once: no loop
  }
  for (const Stream::Sync& sync : stream.syncs) {
    if (sync.frame >= start && sync.frame < stream.cursor) {
      dueSyncs_.push_back({sync.proc, sync.handle, stream.handle, sync.user});
    }
  }
}

void Mixer::MixSample(Sample& sample, int32_t* mix, size_t frames) {
  const size_t length = sample.pcm.Frames();
  const size_t channels = static_cast<size_t>(sample.pcm.channels);
  for (Sample::Playback& playback : sample.playbacks) {
    for (size_t i = 0; i < frames && playback.cursor < length; ++i, ++playback.cursor) {
      const int16_t* at = &sample.pcm.samples[playback.cursor * channels];
      mix[i * kOutputChannels] += at[0];
      mix[i * kOutputChannels + 1] += at[channels > 1 ? 1 : 0];
    }
  }
  auto finished = [length](const Sample::Playback& p) { return p.cursor >= length; };
  sample.playbacks.erase(std::remove_if(sample.playbacks.begin(), sample.playbacks.end(), finished),
                         sample.playbacks.end());
}

void Mixer::Render(int16_t* out, size_t frames, TimePoint now) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    dueSyncs_.clear();
    if (dueSyncs_.capacity() < syncCount_) dueSyncs_.reserve(syncCount_);  // once per new sync
    for (size_t done = 0; done < frames;) {
      size_t block = std::min(frames - done, kBlockFrames);
      int32_t mix[kBlockFrames * kOutputChannels] = {};
      for (auto& stream : streams_) {
        if (stream->playing) MixStream(*stream, mix, block);
      }
      for (auto& sample : samples_) MixSample(*sample, mix, block);
      for (size_t i = 0; i < block * kOutputChannels; ++i) out[done * kOutputChannels + i] = Saturate(mix[i]);
      done += block;
    }
    NoteDelivery(frames, now);
    renderedFrames_ += frames;
  }
  // Outside the lock: a proc may take its time without stalling the main
  // thread's calls. It must not call BASS_Stop or BASS_Free, which wait for
  // this render to end.
  for (const PendingSync& due : dueSyncs_) due.proc(due.sync, due.channel, 0, due.user);
}

}  // namespace sgaudio
