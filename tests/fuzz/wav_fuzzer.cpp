// libFuzzer target for the sample path: any bytes given to BASS_SampleLoad
// from memory load or are refused with an error code, and what loads plays,
// restarts and mixes. The WAVE reader alone must agree with the library and
// hold exactly the frames its header promises.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "audio/wav_reader.h"
#include "audio_fuzz.h"

namespace {

// The rate the reader gives, or 0 when it refuses the bytes.
int ReaderRate(const uint8_t* data, size_t size) {
  sgaudio::PcmBuffer pcm;
  if (sgaudio::ReadWav(data, size, pcm) != sgaudio::WavStatus::Ok) {
    if (!pcm.samples.empty()) std::abort();
    return 0;
  }
  if (pcm.channels < 1 || pcm.channels > 2 || pcm.rate <= 0 || pcm.Frames() == 0) std::abort();
  if (pcm.samples.size() % static_cast<size_t>(pcm.channels) != 0 || pcm.samples.size() > size) std::abort();
  return pcm.rate;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int rate = ReaderRate(data, size);
  const bool readable = rate > 0;
  if (size == 0) return 0;  // a memory block needs a length
  // The library resamples to the output's rate: a header rate of a few hertz
  // makes each run resample millions of samples without reaching new code
  // (the bound on that has a regression test), so those stop here.
  if (readable && rate < 1000) return 0;
  sgfuzz::OfflineLibrary library;
  HSAMPLE sample = BASS_SampleLoad(TRUE, data, 0, static_cast<DWORD>(size), 1, 0);
  if (sample == 0) {
    int code = BASS_ErrorGetCode();
    if (code != BASS_ERROR_FILEFORM && code != BASS_ERROR_MEM) std::abort();
    if (readable && code == BASS_ERROR_FILEFORM) std::abort();
    return 0;
  }
  if (!readable) std::abort();
  if (!BASS_Start() || BASS_SamplePlay(sample) == 0) std::abort();
  library.Advance(1024);
  if (!BASS_SampleStop(sample) || BASS_SamplePlay(sample) == 0) std::abort();
  library.Advance(256);
  return 0;
}
