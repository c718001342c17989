// Feeds arbitrary bytes to the WAVE reader; what it accepts must hold
// exactly the frames its header promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "audio/wav_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sgaudio::PcmBuffer pcm;
  if (sgaudio::ReadWav(data, size, pcm) == sgaudio::WavStatus::Ok) {
    if (pcm.channels < 1 || pcm.channels > 2 || pcm.rate <= 0 || pcm.Frames() == 0) std::abort();
    if (pcm.samples.size() % static_cast<size_t>(pcm.channels) != 0 || pcm.samples.size() > size) std::abort();
  }
  return 0;
}
