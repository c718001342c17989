// The BASS_* entry points and the audio_host controls: argument checks and
// error codes here, the work in the mixer, decoders and outputs. Main thread
// only, like the program that calls it; the error code is per thread.
#include <cmath>
#include <functional>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "audio/audio_host.h"
#include "audio/bass.h"
#include "audio/file_bytes.h"
#include "audio/mixer.h"
#include "audio/mp3_decoder.h"
#include "audio/offline/offline_output.h"
#include "audio/output.h"
#include "audio/resample.h"
#include "audio/spectrum.h"
#include "audio/wav_reader.h"

namespace {

constexpr DWORD kMinRate = 4000;
constexpr DWORD kMaxRate = 384000;
constexpr DWORD kMaxPlaybacks = 65535;
constexpr DWORD kFftBytes = sgaudio::kSpectrumBins * sizeof(float);

struct Library {
  // Declared before the output: members go in reverse, so the output stops
  // pulling from the mixer before the mixer is destroyed.
  std::unique_ptr<sgaudio::Mixer> mixer;
  std::unique_ptr<sgaudio::Output> output;
  sgaudio::OfflineOutput* offline = nullptr;  // the output, when it is offline
  audio_host::Output active = audio_host::Output::Automatic;
  bool started = false;

  bool Initialised() const { return mixer != nullptr; }
};

Library& Lib() {
  static Library library;
  return library;
}

audio_host::Output g_selectedOutput = audio_host::Output::Automatic;
bool g_stallOffline = false;
std::function<void()> g_freeHook;
thread_local int t_errorCode = BASS_OK;

// Records the outcome of a call and passes a result through.
template <typename T>
T Result(int code, T value) {
  t_errorCode = code;
  return value;
}

void NoteMixChanged(Library& lib) {
  if (lib.started) lib.output->MixChanged();
}

const QWORD kBadPosition = static_cast<QWORD>(-1);
const DWORD kBadData = static_cast<DWORD>(-1);

void Release(Library& lib) {
  if (lib.output) lib.output->Stop();
  lib.output.reset();
  lib.offline = nullptr;
  lib.mixer.reset();
  lib.active = audio_host::Output::Automatic;
  lib.started = false;
}

void OpenOutput(Library& lib, int device) {
  audio_host::Output wanted = g_selectedOutput;
  if (wanted == audio_host::Output::Automatic && device == 0) wanted = audio_host::Output::Silent;
  if (wanted == audio_host::Output::Offline) {
    auto offline = std::make_unique<sgaudio::OfflineOutput>(*lib.mixer);
    if (g_stallOffline) offline->Stall();
    lib.offline = offline.get();
    lib.output = std::move(offline);
  } else if (wanted == audio_host::Output::Automatic) {
    lib.output = sgaudio::OpenDeviceOutput(*lib.mixer);
  }
  if (lib.output) {
    lib.active = wanted;
    return;
  }
  // No device (or none wanted): the show still runs, in silence.
  lib.output = sgaudio::OpenSilentOutput(*lib.mixer);
  lib.active = audio_host::Output::Silent;
}

// The bytes of a file or of a memory block, `offset` and `length` applied.
// Returns BASS_OK, with `data`/`size` pointing into `storage` or the block.
int LoadBytes(BOOL mem, const void* file, DWORD offset, DWORD length, std::vector<uint8_t>& storage,
              const uint8_t*& data, size_t& size) {
  if (file == nullptr) return BASS_ERROR_ILLPARAM;
  if (mem) {
    if (length == 0) return BASS_ERROR_ILLPARAM;  // a block has no end of its own
    data = static_cast<const uint8_t*>(file) + offset;
    size = length;
    return BASS_OK;
  }
  switch (sgaudio::ReadFileWindow(static_cast<const char*>(file), offset, length, storage)) {
    case sgaudio::FileStatus::Ok:
      data = storage.data();
      size = storage.size();
      return BASS_OK;
    case sgaudio::FileStatus::OffsetPastEnd:
      return BASS_ERROR_ILLPARAM;
    case sgaudio::FileStatus::TooLarge:
      return BASS_ERROR_MEM;
    case sgaudio::FileStatus::CannotOpen:
      break;
  }
  return BASS_ERROR_FILEOPEN;
}

int Mp3Error(sgaudio::Mp3Status status) {
  switch (status) {
    case sgaudio::Mp3Status::Ok:
      return BASS_OK;
    case sgaudio::Mp3Status::TooLong:
      return BASS_ERROR_MEM;
    case sgaudio::Mp3Status::DecoderFailed:
      return BASS_ERROR_CODEC;
    case sgaudio::Mp3Status::Empty:
      return BASS_ERROR_EMPTY;
    case sgaudio::Mp3Status::NoAudioFrames:
      return BASS_ERROR_NOTAUDIO;
    case sgaudio::Mp3Status::NotMpegAudio:
      break;
  }
  return BASS_ERROR_FILEFORM;
}

}  // namespace

BOOL BASS_Init(int device, DWORD freq, DWORD, HWND) {
  Library& lib = Lib();
  if (lib.Initialised()) return Result(BASS_ERROR_ALREADY, FALSE);
  if (device < -1) return Result(BASS_ERROR_DEVICE, FALSE);
  if (freq < kMinRate || freq > kMaxRate) return Result(BASS_ERROR_FREQ, FALSE);
  lib.mixer = std::make_unique<sgaudio::Mixer>(static_cast<int>(freq));
  OpenOutput(lib, device);
  return Result(BASS_OK, TRUE);
}

BOOL BASS_Free(void) {
  Library& lib = Lib();
  if (!lib.Initialised()) return Result(BASS_ERROR_INIT, FALSE);
  std::function<void()> hook = g_freeHook;
  if (hook) hook();
  Release(lib);
  return Result(BASS_OK, TRUE);
}

BOOL BASS_Start(void) {
  Library& lib = Lib();
  if (!lib.Initialised()) return Result(BASS_ERROR_INIT, FALSE);
  if (!lib.started) lib.output->Start();
  lib.started = true;
  return Result(BASS_OK, TRUE);
}

BOOL BASS_Stop(void) {
  Library& lib = Lib();
  if (!lib.Initialised()) return Result(BASS_ERROR_INIT, FALSE);
  if (lib.started) {
    lib.output->Stop();
    lib.mixer->Freeze(sgaudio::Mixer::Clock::now());
  }
  lib.started = false;
  return Result(BASS_OK, TRUE);
}

HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags) {
  Library& lib = Lib();
  if (!lib.Initialised()) return Result(BASS_ERROR_INIT, HSTREAM{0});
  // Callers are C-style code: running out of memory is an error code here,
  // never an exception.
  try {
    std::vector<uint8_t> storage;
    const uint8_t* data = nullptr;
    size_t size = 0;
    int code = LoadBytes(mem, file, offset, length, storage, data, size);
    if (code != BASS_OK) return Result(code, HSTREAM{0});
    sgaudio::PcmBuffer pcm;
    code = Mp3Error(sgaudio::DecodeMp3(data, size, (flags & BASS_SAMPLE_MONO) != 0, pcm));
    if (code != BASS_OK) return Result(code, HSTREAM{0});
    return Result(BASS_OK, lib.mixer->AddStream(std::move(pcm)));
  } catch (const std::bad_alloc&) {
    return Result(BASS_ERROR_MEM, HSTREAM{0});
  }
}

HSAMPLE BASS_SampleLoad(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD max, DWORD) {
  Library& lib = Lib();
  if (!lib.Initialised()) return Result(BASS_ERROR_INIT, HSAMPLE{0});
  if (max == 0 || max > kMaxPlaybacks) return Result(BASS_ERROR_ILLPARAM, HSAMPLE{0});
  try {
    std::vector<uint8_t> storage;
    const uint8_t* data = nullptr;
    size_t size = 0;
    int code = LoadBytes(mem, file, offset, length, storage, data, size);
    if (code != BASS_OK) return Result(code, HSAMPLE{0});
    sgaudio::PcmBuffer pcm;
    if (sgaudio::ReadWav(data, size, pcm) != sgaudio::WavStatus::Ok) return Result(BASS_ERROR_FILEFORM, HSAMPLE{0});
    // A header rate far below the output's (1 Hz, say) would blow a small
    // file up by that ratio: a sample is bounded like the music.
    uint64_t resampled = static_cast<uint64_t>(pcm.Frames()) * static_cast<uint64_t>(lib.mixer->OutputRate()) /
                         static_cast<uint64_t>(pcm.rate) * static_cast<uint64_t>(pcm.channels);
    if (resampled > sgaudio::kMaxDecodedSamples) return Result(BASS_ERROR_MEM, HSAMPLE{0});
    pcm = sgaudio::ResampleLinear(pcm, lib.mixer->OutputRate());
    return Result(BASS_OK, lib.mixer->AddSample(std::move(pcm), static_cast<int>(max)));
  } catch (const std::bad_alloc&) {
    return Result(BASS_ERROR_MEM, HSAMPLE{0});
  }
}

HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD param, SYNCPROC* proc, DWORD user) {
  Library& lib = Lib();
  if (!lib.Initialised()) return Result(BASS_ERROR_INIT, HSYNC{0});
  if (type != BASS_SYNC_POS) return Result(BASS_ERROR_ILLTYPE, HSYNC{0});
  if (proc == nullptr) return Result(BASS_ERROR_ILLPARAM, HSYNC{0});
  HSYNC sync = 0;
  int code = lib.mixer->AddSync(handle, param, proc, user, sync);
  return Result(code, code == BASS_OK ? sync : HSYNC{0});
}

BOOL BASS_StreamPlay(HSTREAM handle, BOOL flush, DWORD) {
  Library& lib = Lib();
  if (!lib.Initialised()) return Result(BASS_ERROR_INIT, FALSE);
  int code = lib.mixer->Play(handle, flush != FALSE);
  if (code == BASS_OK) NoteMixChanged(lib);
  return Result(code, code == BASS_OK ? TRUE : FALSE);
}

QWORD BASS_ChannelGetPosition(DWORD handle) {
  Library& lib = Lib();
  if (!lib.Initialised()) return Result(BASS_ERROR_INIT, kBadPosition);
  QWORD bytes = 0;
  int code = lib.mixer->Position(handle, sgaudio::Mixer::Clock::now(), bytes);
  return Result(code, code == BASS_OK ? bytes : kBadPosition);
}

float BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos) {
  Library& lib = Lib();
  if (!lib.Initialised()) return Result(BASS_ERROR_INIT, -1.0f);
  int rate = 0, channels = 0;
  int code = lib.mixer->StreamFormat(handle, rate, channels);
  if (code != BASS_OK) return Result(code, -1.0f);
  double seconds = static_cast<double>(pos) / (2.0 * channels * rate);
  return Result(BASS_OK, static_cast<float>(seconds));
}

QWORD BASS_ChannelSeconds2Bytes(DWORD handle, float pos) {
  Library& lib = Lib();
  if (!lib.Initialised()) return Result(BASS_ERROR_INIT, kBadPosition);
  int rate = 0, channels = 0;
  int code = lib.mixer->StreamFormat(handle, rate, channels);
  if (code != BASS_OK) return Result(code, kBadPosition);
  // Whole frames only, so the result is always a valid position to seek to.
  double frames = std::floor(static_cast<double>(pos) * rate);
  if (!(frames >= 0.0) || frames > 1e15) return Result(BASS_ERROR_ILLPARAM, kBadPosition);
  return Result(BASS_OK, static_cast<QWORD>(frames) * 2 * static_cast<QWORD>(channels));
}

BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos) {
  Library& lib = Lib();
  if (!lib.Initialised()) return Result(BASS_ERROR_INIT, FALSE);
  int code = lib.mixer->SetPosition(handle, pos);
  if (code == BASS_OK) NoteMixChanged(lib);
  return Result(code, code == BASS_OK ? TRUE : FALSE);
}

BOOL BASS_SampleStop(HSAMPLE handle) {
  Library& lib = Lib();
  if (!lib.Initialised()) return Result(BASS_ERROR_INIT, FALSE);
  int code = lib.mixer->StopSample(handle);
  if (code == BASS_OK) NoteMixChanged(lib);
  return Result(code, code == BASS_OK ? TRUE : FALSE);
}

HCHANNEL BASS_SamplePlay(HSAMPLE handle) {
  Library& lib = Lib();
  if (!lib.Initialised()) return Result(BASS_ERROR_INIT, HCHANNEL{0});
  HCHANNEL channel = 0;
  int code = lib.mixer->PlaySample(handle, channel);
  if (code == BASS_OK) NoteMixChanged(lib);
  return Result(code, code == BASS_OK ? channel : HCHANNEL{0});
}

DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length) {
  Library& lib = Lib();
  if (!lib.Initialised()) return Result(BASS_ERROR_INIT, kBadData);
  if (buffer == nullptr || length != BASS_DATA_FFT1024) return Result(BASS_ERROR_ILLPARAM, kBadData);
  int code = lib.mixer->Spectrum(handle, sgaudio::Mixer::Clock::now(), static_cast<float*>(buffer));
  return Result(code, code == BASS_OK ? kFftBytes : kBadData);
}

int BASS_ErrorGetCode(void) { return t_errorCode; }

namespace audio_host {

void SelectOutput(Output output) { g_selectedOutput = output; }

Output ActiveOutput() { return Lib().active; }

int OutputRate() { return Lib().Initialised() ? Lib().mixer->OutputRate() : 0; }

int OutputChannels() { return Lib().Initialised() ? sgaudio::Mixer::kOutputChannels : 0; }

void OfflineAdvanceTo(uint64_t frame) {
  if (Lib().offline) Lib().offline->AdvanceTo(frame);
}

void OfflineTakeMix(std::vector<int16_t>& out) {
  out.clear();
  if (Lib().offline) Lib().offline->TakeMix(out);
}

void StallOffline(bool stall) { g_stallOffline = stall; }

MusicState Music() {
  sgaudio::Mixer::StreamState stream;
  if (!Lib().Initialised() || !Lib().mixer->FirstStreamState(stream) || stream.rate <= 0) return {};
  return {static_cast<double>(stream.lengthFrames) / stream.rate, stream.ended};
}

void SetFreeHook(std::function<void()> hook) { g_freeHook = std::move(hook); }

void Reset() {
  Release(Lib());
  g_selectedOutput = Output::Automatic;
  g_stallOffline = false;
  g_freeHook = nullptr;
  t_errorCode = BASS_OK;
}

}  // namespace audio_host
